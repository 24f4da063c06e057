// The canvas and the IupDraw* calls. Drawing goes into a picture of the
// canvas's size; the canvas shows the last picture drawn. ACTION runs on
// every repaint and draws afresh.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <cstring>
#include <memory>

#include "iupInternal.h"
#include "iupQt.h"

namespace {

class Canvas;

class CanvasWidget : public QWidget {
public:
    explicit CanvasWidget(Canvas* canvas) : owner(canvas)
    {
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override { button(e, 1, false); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { button(e, 1, true); }
    void mouseReleaseEvent(QMouseEvent* e) override { button(e, 0, false); }
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent*) override;
    void dragEnterEvent(QDragEnterEvent* e) override
    {
        if (e->mimeData()->hasUrls()) {
            e->acceptProposedAction();
        }
    }
    void dropEvent(QDropEvent* e) override;

private:
    void button(QMouseEvent* e, int pressed, bool doubleClick);
    Canvas* owner;
};

class Canvas : public Ihandle_ {
public:
    Canvas() : Ihandle_("canvas")
    {
        setControl(new CanvasWidget(this));
        applyGeometry();
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "DROPFILESTARGET") {
            control()->setAcceptDrops(iupIsYes(value));
            return true;
        }
        if (name == "BORDER" || name == "SCROLLBAR" || name == "MARGIN" || name == "GAP" ||
            name == "ALIGN" || name == "DRAWCOLOR" || name == "DRAWSTYLE" ||
            name == "DRAWLINEWIDTH" || name == "DRAWFONT" || name == "DRAWTEXTELLIPSIS" ||
            name == "DRAWTEXTALIGNMENT" || name == "DRAWTEXTWRAP" || name == "DRAWBGCOLOR") {
            return false;  // stored and read while drawing
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "DRAWSIZE") {
            out = std::to_string(control()->width()) + "x" + std::to_string(control()->height());
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }

    QImage picture;
    std::unique_ptr<QPainter> painter;
    bool painting = false;
    bool inPaintEvent = false;  // drawing for a repaint that shows the picture at once
};

void CanvasWidget::paintEvent(QPaintEvent*)
{
    if (!owner->destroyed && !owner->painting) {
        owner->inPaintEvent = true;
        owner->call("ACTION", 0.0f, 0.0f);
        owner->inPaintEvent = false;
    }
    QPainter p(this);
    if (owner->picture.isNull()) {
        p.fillRect(rect(), palette().color(QPalette::Window));
    } else {
        p.drawImage(0, 0, owner->picture);
    }
}

void CanvasWidget::resizeEvent(QResizeEvent*) { owner->call("RESIZE_CB", width(), height()); }

void CanvasWidget::button(QMouseEvent* e, int pressed, bool doubleClick)
{
    const char code = e->button() == Qt::RightButton
                          ? IUP_BUTTON3
                          : (e->button() == Qt::MiddleButton ? IUP_BUTTON2 : IUP_BUTTON1);
    const std::string status =
        iupMouseStatus(e->buttons() | e->button(), e->modifiers(), doubleClick);
    const QPoint at = e->position().toPoint();
    owner->call("BUTTON_CB", static_cast<int>(code), pressed, at.x(), at.y(),
                const_cast<char*>(status.c_str()));
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* e)
{
    const std::string status = iupMouseStatus(e->buttons(), e->modifiers(), false);
    const QPoint at = e->position().toPoint();
    owner->call("MOTION_CB", at.x(), at.y(), const_cast<char*>(status.c_str()));
}

void CanvasWidget::dropEvent(QDropEvent* e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    const QPoint at = e->position().toPoint();
    int remaining = static_cast<int>(urls.size());
    for (const QUrl& url : urls) {
        --remaining;
        const std::string file = iupS(url.toLocalFile());
        if (owner->call("DROPFILES_CB", file.c_str(), remaining, at.x(), at.y()) == IUP_IGNORE) {
            break;
        }
    }
    e->acceptProposedAction();
}

Canvas* canvasOf(Ihandle* ih)
{
    return ih != nullptr && ih->kind == "canvas" ? static_cast<Canvas*>(ih) : nullptr;
}

QColor drawColor(Canvas* c)
{
    int r = 0, g = 0, b = 0;
    if (!iupParseColor(c->stored("DRAWCOLOR"), &r, &g, &b)) {
        return Qt::black;
    }
    return QColor(r, g, b);
}

bool filled(Canvas* c)
{
    const char* style = c->stored("DRAWSTYLE");
    return style != nullptr && strcasecmp(style, "FILL") == 0;
}

QPen drawPen(Canvas* c)
{
    QPen pen(drawColor(c));
    const char* width = c->stored("DRAWLINEWIDTH");
    pen.setWidth(width ? std::max(1, std::atoi(width)) : 1);
    const char* style = c->stored("DRAWSTYLE");
    if (style && strcasecmp(style, "STROKE_DASH") == 0) {
        pen.setStyle(Qt::DashLine);
    } else if (style && strcasecmp(style, "STROKE_DOT") == 0) {
        pen.setStyle(Qt::DotLine);
    }
    return pen;
}

QFont drawFont(Canvas* c)
{
    QFont font = c->control()->font();
    if (const char* f = c->stored("DRAWFONT")) {
        QString text = iupQ(f);
        const int comma = text.indexOf(',');
        if (comma > 0) {
            font.setFamily(text.left(comma).trimmed());
        }
        for (const QString& word : text.mid(comma + 1).split(' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            const int size = word.toInt(&ok);
            if (ok && size > 0) {
                font.setPointSize(size);
            } else if (word.compare("Bold", Qt::CaseInsensitive) == 0) {
                font.setBold(true);
            } else if (word.compare("Italic", Qt::CaseInsensitive) == 0) {
                font.setItalic(true);
            }
        }
    }
    return font;
}

}  // namespace

std::string iupMouseStatus(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                           bool doubleClick)
{
    std::string s(10, ' ');
    if (modifiers & Qt::ShiftModifier) {
        s[0] = 'S';
    }
    if (modifiers & Qt::ControlModifier) {
        s[1] = 'C';
    }
    if (buttons & Qt::LeftButton) {
        s[2] = '1';
    }
    if (buttons & Qt::MiddleButton) {
        s[3] = '2';
    }
    if (buttons & Qt::RightButton) {
        s[4] = '3';
    }
    if (doubleClick) {
        s[5] = 'D';
    }
    if (modifiers & Qt::AltModifier) {
        s[6] = 'A';
    }
    if (modifiers & Qt::MetaModifier) {
        s[7] = 'Y';
    }
    return s;
}

Ihandle* IupCanvas(const char* action)
{
    Ihandle* ih = new Canvas();
    if (action != nullptr) {
        IupSetCallback(ih, "ACTION", IupGetFunction(action));
    }
    return ih;
}

QImage iupCanvasImage(Ihandle* ih)
{
    Canvas* c = canvasOf(ih);
    return c ? c->picture : QImage();
}

void IupDrawBegin(Ihandle* ih)
{
    Canvas* c = canvasOf(ih);
    if (c == nullptr || c->painting) {
        return;
    }
    const QSize size = c->control()->size().expandedTo(QSize(1, 1));
    if (c->picture.size() != size) {
        c->picture = QImage(size, QImage::Format_RGB32);
    }
    c->painter = std::make_unique<QPainter>(&c->picture);
    c->painter->setFont(drawFont(c));
    c->painting = true;
}

void IupDrawEnd(Ihandle* ih)
{
    Canvas* c = canvasOf(ih);
    if (c == nullptr || !c->painting) {
        return;
    }
    c->painter.reset();
    c->painting = false;
    // A repaint shows the new picture itself; asking for another from
    // inside it would repaint the canvas over and over.
    if (!c->inPaintEvent) {
        c->control()->update();
    }
}

void IupDrawParentBackground(Ihandle* ih)
{
    Canvas* c = canvasOf(ih);
    if (c == nullptr || !c->painter) {
        return;
    }
    QWidget* parent = c->control()->parentWidget();
    const QColor background = (parent ? parent : c->control())->palette().color(QPalette::Window);
    c->painter->fillRect(c->picture.rect(), background);
}

void IupDrawRectangle(Ihandle* ih, int x1, int y1, int x2, int y2)
{
    Canvas* c = canvasOf(ih);
    if (c == nullptr || !c->painter) {
        return;
    }
    const QRect r(QPoint(std::min(x1, x2), std::min(y1, y2)),
                  QPoint(std::max(x1, x2), std::max(y1, y2)));
    if (filled(c)) {
        c->painter->fillRect(r, drawColor(c));
    } else {
        c->painter->setPen(drawPen(c));
        c->painter->setBrush(Qt::NoBrush);
        c->painter->drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void IupDrawText(Ihandle* ih, const char* text, int len, int x, int y, int w, int h)
{
    Canvas* c = canvasOf(ih);
    if (c == nullptr || !c->painter || text == nullptr) {
        return;
    }
    QString s = len > 0 ? QString::fromUtf8(text, len) : QString::fromUtf8(text);
    c->painter->setPen(drawColor(c));
    const QFontMetrics metrics(c->painter->font());
    if (w <= 0) {
        w = metrics.horizontalAdvance(s) + 1;
    }
    if (h <= 0) {
        h = metrics.height();
    }
    if (c->storedYes("DRAWTEXTELLIPSIS")) {
        s = metrics.elidedText(s, Qt::ElideRight, w);
    }
    Qt::Alignment align = Qt::AlignLeft;
    if (const char* a = c->stored("DRAWTEXTALIGNMENT")) {
        align = strcasecmp(a, "ACENTER") == 0
                    ? Qt::AlignHCenter
                    : (strcasecmp(a, "ARIGHT") == 0 ? Qt::AlignRight : Qt::AlignLeft);
    }
    c->painter->drawText(QRect(x, y, w, h), static_cast<int>(align | Qt::AlignTop), s);
}

void IupDrawGetSize(Ihandle* ih, int* w, int* h)
{
    Canvas* c = canvasOf(ih);
    const QSize s = c ? c->control()->size() : QSize(0, 0);
    if (w) {
        *w = s.width();
    }
    if (h) {
        *h = s.height();
    }
}

void IupDrawGetTextSize(Ihandle* ih, const char* text, int len, int* w, int* h)
{
    Canvas* c = canvasOf(ih);
    const QFont font = c ? (c->painter ? c->painter->font() : drawFont(c)) : QApplication::font();
    const QFontMetrics metrics(font);
    const QString s = text == nullptr
                          ? QString()
                          : (len > 0 ? QString::fromUtf8(text, len) : QString::fromUtf8(text));
    if (w) {
        *w = metrics.horizontalAdvance(s);
    }
    if (h) {
        *h = metrics.height();
    }
}
