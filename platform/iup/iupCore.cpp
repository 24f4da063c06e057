// The element record, handle names, attributes, callbacks, the element tree
// and the main loop.
#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLayout>
#include <QProcess>
#include <QScreen>
#include <QUrl>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "iupInternal.h"

namespace {

std::map<std::string, Ihandle*> handleNames;
std::map<std::string, StoredAttribute> globals;
std::map<std::string, std::string> globalReadBack;
std::map<std::string, Icallback> functions;
std::vector<Ihandle*>
    allElements;  // freed at IupClose: callbacks may still hold a destroyed element
std::vector<QEventLoop*> loops;
QApplication* ownApplication = nullptr;
int ownArgc = 1;
char ownArgv0[] = "kovra";
char* ownArgv[] = {ownArgv0, nullptr};
bool opened = false;

const char* WIDGET_PROPERTY = "iupHandle";

bool isGeometryAttribute(const std::string& name)
{
    return name == "SIZE" || name == "RASTERSIZE" || name == "EXPAND";
}

}  // namespace

// ---- the element record ---------------------------------------------------

Ihandle_::Ihandle_(const char* k) : kind(k) { iupRegisterKind(this); }

Ihandle_::~Ihandle_() { destroyControl(); }

void Ihandle_::destroyControl()
{
    if (widget) {
        widget->hide();
        widget->setProperty(WIDGET_PROPERTY, QVariant());
        widget->deleteLater();
        widget = nullptr;
    }
}

void Ihandle_::setControl(QWidget* w)
{
    widget = w;
    if (w != nullptr) {
        w->setProperty(WIDGET_PROPERTY, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    }
}

void Ihandle_::replaceControl(QWidget* w)
{
    QWidget* old = widget.data();
    setControl(w);
    if (old == nullptr) {
        return;
    }
    if (QWidget* holder = old->parentWidget()) {
        w->setParent(holder);
        if (QLayout* layout = holder->layout()) {
            const Qt::Alignment alignment = [&] {
                for (int i = 0; i < layout->count(); ++i) {
                    if (layout->itemAt(i)->widget() == old) {
                        return layout->itemAt(i)->alignment();
                    }
                }
                return Qt::Alignment();
            }();
            delete layout->replaceWidget(old, w);
            layout->setAlignment(w, alignment);
        }
        w->setVisible(old->isVisible() || !old->isHidden());
    }
    w->setEnabled(old->isEnabled());
    w->setToolTip(old->toolTip());
    old->setProperty(WIDGET_PROPERTY, QVariant());
    old->hide();
    old->deleteLater();
    applyGeometry();
}

const char* Ihandle_::stored(const char* name) const
{
    auto it = attributes.find(name);
    if (it == attributes.end()) {
        return nullptr;
    }
    return it->second.isPointer ? static_cast<const char*>(it->second.pointer)
                                : it->second.text.c_str();
}

bool Ihandle_::storedYes(const char* name, bool otherwise) const
{
    const char* value = stored(name);
    return value == nullptr ? otherwise : iupIsYes(value);
}

bool Ihandle_::expandsHorizontally() const
{
    const char* e = stored("EXPAND");
    if (e == nullptr) {
        return kind == "fill" ? parent && parent->direction() == Qt::Horizontal : false;
    }
    return iupIsYes(e) || strcasecmp(e, "HORIZONTAL") == 0 || strcasecmp(e, "HORIZONTALFREE") == 0;
}

bool Ihandle_::expandsVertically() const
{
    const char* e = stored("EXPAND");
    if (e == nullptr) {
        return kind == "fill" ? parent && parent->direction() == Qt::Vertical : false;
    }
    return iupIsYes(e) || strcasecmp(e, "VERTICAL") == 0 || strcasecmp(e, "VERTICALFREE") == 0;
}

void Ihandle_::applyGeometry()
{
    QWidget* w = widget.data();
    if (w == nullptr || kind == "dialog") {
        return;
    }
    int width = -1, height = -1;
    if (const char* raster = stored("RASTERSIZE")) {
        iupParseSize(raster, &width, &height);
    }
    if (const char* size = stored("SIZE")) {
        int cw = 0, ch = 0, sw = -1, sh = -1;
        iupCharSize(w, &cw, &ch);
        if (iupParseSize(size, &sw, &sh)) {
            if (sw >= 0) {
                width = sw * cw / 4;
            }
            if (sh >= 0) {
                height = sh * ch / 8;
            }
        }
    }
    const bool growH = expandsHorizontally(), growV = expandsVertically();
    const bool container = acceptsChildren();
    // A container without EXPAND follows its children (Qt's Preferred); a
    // control keeps its natural size unless told to expand.
    auto policy = [container](bool grow, bool told) {
        if (grow) {
            return QSizePolicy::Expanding;
        }
        return container && !told ? QSizePolicy::Preferred : QSizePolicy::Fixed;
    };
    const bool told = stored("EXPAND") != nullptr;
    w->setSizePolicy(policy(growH, told), policy(growV, told));
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (width >= 0) {
        w->setMinimumWidth(width);
        if (!growH && !container) {
            w->setMaximumWidth(width);
        }
    }
    if (height >= 0) {
        w->setMinimumHeight(height);
        if (!growV && !container) {
            w->setMaximumHeight(height);
        }
    }
    if (parent != nullptr) {
        parent->childAdded(nullptr, -1);  // let the container settle alignment
    }
}

bool Ihandle_::setAttribute(const std::string& name, const char* value)
{
    QWidget* w = widget.data();
    if (isGeometryAttribute(name)) {
        // stored by the caller first; apply once the value is there
        return true;
    }
    if (w == nullptr) {
        return false;
    }
    if (name == "ACTIVE") {
        w->setEnabled(value == nullptr || iupIsYes(value));
        return true;
    }
    if (name == "VISIBLE") {
        w->setVisible(value == nullptr || iupIsYes(value));
        return true;
    }
    if (name == "TIP") {
        w->setToolTip(iupQ(value));
        return true;
    }
    if (name == "CANFOCUS") {
        w->setFocusPolicy(value != nullptr && !iupIsYes(value) ? Qt::NoFocus : Qt::StrongFocus);
        return true;
    }
    if (name == "FONT") {
        // "Family, Bold Italic 10" or "Family 10"
        QFont font = w->font();
        if (value != nullptr) {
            QString text = iupQ(value);
            const int comma = text.indexOf(',');
            QString family = comma >= 0 ? text.left(comma).trimmed() : QString();
            QString rest = comma >= 0 ? text.mid(comma + 1) : text;
            if (!family.isEmpty()) {
                font.setFamily(family);
            }
            for (const QString& word : rest.split(' ', Qt::SkipEmptyParts)) {
                bool ok = false;
                const int size = word.toInt(&ok);
                if (ok && size > 0) {
                    font.setPointSize(size);
                } else if (word.compare("Bold", Qt::CaseInsensitive) == 0) {
                    font.setBold(true);
                } else if (word.compare("Italic", Qt::CaseInsensitive) == 0) {
                    font.setItalic(true);
                } else if (word.compare("Underline", Qt::CaseInsensitive) == 0) {
                    font.setUnderline(true);
                }
            }
        }
        w->setFont(value == nullptr ? QFont() : font);
        applyGeometry();
        return true;
    }
    if (name == "FONTSTYLE") {
        QFont font = w->font();
        const QString style = iupQ(value);
        font.setBold(style.contains("Bold", Qt::CaseInsensitive));
        font.setItalic(style.contains("Italic", Qt::CaseInsensitive));
        w->setFont(font);
        return true;
    }
    if (name == "FONTSIZE") {
        QFont font = w->font();
        if (value != nullptr && std::atoi(value) > 0) {
            font.setPointSize(std::atoi(value));
        }
        w->setFont(font);
        applyGeometry();
        return true;
    }
    if (name == "FGCOLOR" || name == "BGCOLOR") {
        int r, g, b;
        QPalette palette = w->palette();
        const bool fg = name == "FGCOLOR";
        if (iupParseColor(value, &r, &g, &b)) {
            if (fg) {
                palette.setColor(QPalette::WindowText, QColor(r, g, b));
                palette.setColor(QPalette::Text, QColor(r, g, b));
                palette.setColor(QPalette::ButtonText, QColor(r, g, b));
            } else {
                palette.setColor(QPalette::Window, QColor(r, g, b));
                palette.setColor(QPalette::Base, QColor(r, g, b));
                w->setAutoFillBackground(true);
            }
            w->setPalette(palette);
        }
        return true;
    }
    if (name == "MINSIZE" || name == "MAXSIZE") {
        int width = -1, height = -1;
        iupParseSize(value, &width, &height);
        if (name == "MINSIZE") {
            w->setMinimumSize(std::max(width, 0), std::max(height, 0));
        } else {
            w->setMaximumSize(width > 0 ? width : QWIDGETSIZE_MAX,
                              height > 0 ? height : QWIDGETSIZE_MAX);
        }
        return true;
    }
    if (name == "CURSOR") {
        const QString c = iupQ(value).toUpper();
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (c == "RESIZE_NS") {
            shape = Qt::SizeVerCursor;
        } else if (c == "RESIZE_WE") {
            shape = Qt::SizeHorCursor;
        } else if (c == "HAND") {
            shape = Qt::PointingHandCursor;
        } else if (c == "BUSY") {
            shape = Qt::BusyCursor;
        } else if (c == "MOVE") {
            shape = Qt::SizeAllCursor;
        } else if (c == "TEXT") {
            shape = Qt::IBeamCursor;
        } else if (c == "CROSS") {
            shape = Qt::CrossCursor;
        }
        w->setCursor(shape);
        return true;
    }
    return false;
}

bool Ihandle_::getAttribute(const std::string& name, std::string& out)
{
    QWidget* w = widget.data();
    if (w == nullptr) {
        return false;
    }
    if (name == "ACTIVE") {
        out = w->isEnabled() ? "YES" : "NO";
        return true;
    }
    if (name == "VISIBLE") {
        out = w->isVisible() ? "YES" : "NO";
        return true;
    }
    if (name == "RASTERSIZE" || name == "CLIENTSIZE" || name == "NATURALSIZE") {
        const QSize s = name == "NATURALSIZE" ? w->sizeHint() : w->size();
        out = std::to_string(s.width()) + "x" + std::to_string(s.height());
        return true;
    }
    if (name == "SCREENPOSITION") {
        const QPoint p = w->mapToGlobal(QPoint(0, 0));
        out = std::to_string(p.x()) + "," + std::to_string(p.y());
        return true;
    }
    if (name == "POSITION") {
        out = std::to_string(w->x()) + "," + std::to_string(w->y());
        return true;
    }
    if (name == "CHARSIZE") {
        int cw, ch;
        iupCharSize(w, &cw, &ch);
        out = std::to_string(cw) + "x" + std::to_string(ch);
        return true;
    }
    if (name == "HASFOCUS") {
        out = w->hasFocus() ? "YES" : "NO";
        return true;
    }
    if (name == "TIP") {
        out = iupS(w->toolTip());
        return true;
    }
    if (name == "WID") {
        out = std::to_string(static_cast<unsigned long long>(w->winId()));
        return true;
    }
    return false;
}

void iupRegisterKind(Ihandle* ih) { allElements.push_back(ih); }

Ihandle* iupFindHandle(QObject* object)
{
    for (QObject* o = object; o != nullptr; o = o->parent()) {
        const QVariant v = o->property(WIDGET_PROPERTY);
        if (v.isValid()) {
            Ihandle* ih = reinterpret_cast<Ihandle*>(v.value<quintptr>());
            if (ih != nullptr && !ih->destroyed) {
                return ih;
            }
        }
        if (o->isWidgetType() && static_cast<QWidget*>(o)->isWindow() && !v.isValid()) {
            return nullptr;
        }
    }
    return nullptr;
}

// ---- small text helpers -----------------------------------------------------

QString iupQ(const char* text) { return text == nullptr ? QString() : QString::fromUtf8(text); }

std::string iupS(const QString& text) { return text.toUtf8().toStdString(); }

bool iupIsYes(const char* value)
{
    return value != nullptr && (strcasecmp(value, "YES") == 0 || strcasecmp(value, "ON") == 0 ||
                                strcasecmp(value, "1") == 0 || strcasecmp(value, "TRUE") == 0);
}

bool iupParseSize(const char* value, int* w, int* h)
{
    *w = -1;
    *h = -1;
    if (value == nullptr) {
        return false;
    }
    const char* x = std::strpbrk(value, "xX");
    if (x == nullptr) {
        if (*value == '\0') {
            return false;
        }
        *w = std::atoi(value);
        return true;
    }
    if (x != value) {
        *w = std::atoi(value);
    }
    if (x[1] != '\0') {
        *h = std::atoi(x + 1);
    }
    return true;
}

bool iupParseColor(const char* value, int* r, int* g, int* b)
{
    if (value == nullptr) {
        return false;
    }
    if (value[0] == '#' && std::strlen(value) == 7) {
        const long v = std::strtol(value + 1, nullptr, 16);
        *r = static_cast<int>((v >> 16) & 0xFF), *g = static_cast<int>((v >> 8) & 0xFF),
        *b = static_cast<int>(v & 0xFF);
        return true;
    }
    return std::sscanf(value, "%d %d %d", r, g, b) == 3;
}

std::string iupColorText(int r, int g, int b)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d %d %d", r, g, b);
    return text;
}

void iupCharSize(QWidget* widget, int* w, int* h)
{
    const QFontMetrics metrics(widget != nullptr ? widget->font() : QApplication::font());
    *w = std::max(1, metrics.averageCharWidth());
    *h = std::max(1, metrics.height());
}

QString iupTitle(const char* title) { return iupQ(title); }

Ihandle* iupNamedOrHandle(const char* value)
{
    if (value == nullptr) {
        return nullptr;
    }
    if (Ihandle* ih = IupGetHandle(value)) {
        return ih;
    }
    for (Ihandle* ih : allElements) {  // a handle passed as a pointer
        if (reinterpret_cast<const char*>(ih) == value && !ih->destroyed) {
            return ih;
        }
    }
    return nullptr;
}

bool iupHeadless()
{
    return QGuiApplication::platformName() == "offscreen" ||
           QGuiApplication::platformName() == "minimal";
}

// ---- system ---------------------------------------------------------------

int IupOpen(int* argc, char*** argv)
{
    if (opened) {
        return IUP_OPENED;
    }
    if (QApplication::instance() == nullptr) {
        // Qt keeps references to argc/argv for the application's life.
        if (argc != nullptr && argv != nullptr && *argv != nullptr) {
            ownApplication = new QApplication(*argc, *argv);
        } else {
            ownApplication = new QApplication(ownArgc, ownArgv);
        }
    }
    QApplication::setQuitOnLastWindowClosed(false);
    iupInstallEventFilter();
    opened = true;
    return IUP_NOERROR;
}

void IupClose()
{
    if (!opened) {
        return;
    }
    for (Ihandle* ih : allElements) {
        if (!ih->destroyed && ih->kind == "dialog") {
            IupDestroy(ih);
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    for (Ihandle* ih : std::vector<Ihandle*>(allElements)) {
        delete ih;
    }
    allElements.clear();
    handleNames.clear();
    globals.clear();
    globalReadBack.clear();
    functions.clear();
    opened = false;
    delete ownApplication;
    ownApplication = nullptr;
}

int IupMainLoop()
{
    QEventLoop loop;
    loops.push_back(&loop);
    loop.exec();
    loops.pop_back();
    return IUP_NOERROR;
}

int IupLoopStep()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return IUP_DEFAULT;
}

void IupExitLoop()
{
    if (!loops.empty()) {
        loops.back()->exit(0);
    }
}

void IupFlush()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void iupDialogHidden()
{
    if (loops.empty()) {
        return;
    }
    for (Ihandle* ih : allElements) {
        if (!ih->destroyed && ih->kind == "dialog" && ih->control() != nullptr &&
            ih->control()->isVisible()) {
            return;
        }
    }
    IupExitLoop();
}

int IupHelp(const char* url)
{
    if (url == nullptr || *url == '\0') {
        return -1;
    }
    if (iupSeamLaunch(url)) {
        return 1;
    }
    QString target = iupQ(url);
    const QUrl address = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(address) ? 1 : -1;
}

int IupExecute(const char* filename, const char* parameters)
{
    if (filename == nullptr || *filename == '\0') {
        return -1;
    }
    const std::string what =
        std::string(filename) + (parameters && *parameters ? std::string(" ") + parameters : "");
    if (iupSeamLaunch(what.c_str())) {
        return 1;
    }
    return QProcess::startDetached(iupQ(filename), QProcess::splitCommand(iupQ(parameters))) ? 1
                                                                                             : -1;
}

// ---- attributes -------------------------------------------------------------

namespace {

void setGlobal(const char* name, const char* value, bool copy)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        globals.erase(name);
        return;
    }
    StoredAttribute a;
    if (copy) {
        a.text = value;
    } else {
        a.pointer = value;
        a.isPointer = true;
    }
    globals[name] = a;
}

void setAttribute(Ihandle* ih, const char* name, const char* value, bool copy)
{
    if (name == nullptr) {
        return;
    }
    if (ih == nullptr) {
        setGlobal(name, value, copy);
        return;
    }
    if (ih->destroyed) {
        return;
    }
    const std::string key = name;
    // Geometry is stored before applying, as it combines several attributes.
    const bool geometry = isGeometryAttribute(key);
    if (geometry) {
        if (value == nullptr) {
            ih->attributes.erase(key);
        } else {
            ih->attributes[key] = StoredAttribute{value, nullptr, false};
        }
        // A dialog sizes its window itself (its size is not a layout hint).
        if (ih->kind == "dialog") {
            ih->setAttribute(key, value);
        } else {
            ih->applyGeometry();
        }
        return;
    }
    if (ih->setAttribute(key, value)) {
        if (value == nullptr) {
            ih->attributes.erase(key);
        } else {
            ih->attributes[key] = StoredAttribute{value, nullptr, false};
        }
        return;
    }
    if (value == nullptr) {
        ih->attributes.erase(key);
        return;
    }
    StoredAttribute a;
    if (copy) {
        a.text = value;
    } else {
        a.pointer = value;
        a.isPointer = true;
    }
    ih->attributes[key] = a;
}

std::string idName(const char* name, int id)
{
    return std::string(name ? name : "") + std::to_string(id);
}

}  // namespace

void IupSetAttribute(Ihandle* ih, const char* name, const char* value)
{
    setAttribute(ih, name, value, false);
}

void IupSetStrAttribute(Ihandle* ih, const char* name, const char* value)
{
    setAttribute(ih, name, value, true);
}

void IupSetfAttribute(Ihandle* ih, const char* name, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    setAttribute(ih, name, text, true);
}

void IupSetInt(Ihandle* ih, const char* name, int value)
{
    setAttribute(ih, name, std::to_string(value).c_str(), true);
}

Ihandle* IupSetAttributes(Ihandle* ih, const char* text)
{
    if (text == nullptr) {
        return ih;
    }
    const char* p = text;
    while (*p) {
        while (*p == ' ' || *p == ',' || *p == '\t' || *p == '\n') {
            ++p;
        }
        if (!*p) {
            break;
        }
        std::string name;
        while (*p && *p != '=' && *p != ',') {
            name += *p++;
        }
        while (!name.empty() && name.back() == ' ') {
            name.pop_back();
        }
        std::string value;
        bool hasValue = false;
        if (*p == '=') {
            ++p;
            hasValue = true;
            while (*p == ' ') {
                ++p;
            }
            if (*p == '"') {
                ++p;
                while (*p && *p != '"') {
                    value += *p++;
                }
                if (*p == '"') {
                    ++p;
                }
            } else {
                while (*p && *p != ',') {
                    value += *p++;
                }
                while (!value.empty() && value.back() == ' ') {
                    value.pop_back();
                }
            }
        }
        if (!name.empty()) {
            setAttribute(ih, name.c_str(), hasValue ? value.c_str() : nullptr, true);
        }
    }
    return ih;
}

void IupSetStrAttributeId(Ihandle* ih, const char* name, int id, const char* value)
{
    setAttribute(ih, idName(name, id).c_str(), value, true);
}

void IupSetAttributeHandle(Ihandle* ih, const char* name, Ihandle* other)
{
    if (other == nullptr) {
        setAttribute(ih, name, nullptr, true);
        return;
    }
    if (other->names.empty()) {
        char generated[64];
        std::snprintf(generated, sizeof generated, "_IUP_NAME(%p)", static_cast<void*>(other));
        IupSetHandle(generated, other);
    }
    setAttribute(ih, name, other->names.front().c_str(), true);
}

char* IupGetAttribute(Ihandle* ih, const char* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    if (ih == nullptr) {
        return IupGetGlobal(name);
    }
    if (ih->destroyed) {
        return nullptr;
    }
    std::string live;
    if (ih->getAttribute(name, live)) {
        std::string& kept = ih->readBack[name];
        kept = live;
        return kept.data();
    }
    auto it = ih->attributes.find(name);
    if (it == ih->attributes.end()) {
        return nullptr;
    }
    if (it->second.isPointer) {
        return const_cast<char*>(static_cast<const char*>(it->second.pointer));
    }
    return it->second.text.data();
}

int IupGetInt(Ihandle* ih, const char* name)
{
    const char* value = IupGetAttribute(ih, name);
    if (value == nullptr) {
        return 0;
    }
    if (strcasecmp(value, "YES") == 0 || strcasecmp(value, "ON") == 0 ||
        strcasecmp(value, "TRUE") == 0) {
        return 1;
    }
    return std::atoi(value);
}

int IupGetIntInt(Ihandle* ih, const char* name, int* i1, int* i2)
{
    const char* value = IupGetAttribute(ih, name);
    if (value == nullptr) {
        return 0;
    }
    int a = 0, b = 0;
    char separator = 0;
    const int n = std::sscanf(value, "%d%c%d", &a, &separator, &b);
    if (i1 != nullptr && n >= 1) {
        *i1 = a;
    }
    if (i2 != nullptr && n >= 3) {
        *i2 = b;
    }
    return n >= 3 ? 2 : (n >= 1 ? 1 : 0);
}

void IupSetGlobal(const char* name, const char* value) { setGlobal(name, value, false); }

void IupSetStrGlobal(const char* name, const char* value) { setGlobal(name, value, true); }

char* IupGetGlobal(const char* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    const std::string key = name;
    std::string live;
    bool known = true;
    if (key == "DLGBGCOLOR") {
        const QColor c = QApplication::palette().color(QPalette::Window);
        live = iupColorText(c.red(), c.green(), c.blue());
    } else if (key == "DLGFGCOLOR") {
        const QColor c = QApplication::palette().color(QPalette::WindowText);
        live = iupColorText(c.red(), c.green(), c.blue());
    } else if (key == "SCREENSIZE" || key == "FULLSIZE") {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect r =
            screen ? (key == "SCREENSIZE" ? screen->availableGeometry() : screen->geometry())
                   : QRect(0, 0, 1024, 768);
        live = std::to_string(r.width()) + "x" + std::to_string(r.height());
    } else if (key == "CURSORPOS") {
        const QPoint p = QCursor::pos();
        live = std::to_string(p.x()) + "x" + std::to_string(p.y());
    } else if (key == "SYSTEM") {
        live = "Linux";
    } else if (key == "DRIVER") {
        live = "Qt";
    } else if (key == "DEFAULTFONT") {
        const QFont f = QApplication::font();
        live = iupS(f.family()) + ", " + std::to_string(f.pointSize());
    } else {
        known = false;
    }
    if (known && globals.count(key) == 0) {
        std::string& kept = globalReadBack[key];
        kept = live;
        return kept.data();
    }
    auto it = globals.find(key);
    if (it == globals.end()) {
        return nullptr;
    }
    if (it->second.isPointer) {
        return const_cast<char*>(static_cast<const char*>(it->second.pointer));
    }
    return it->second.text.data();
}

// ---- names, callbacks, functions -------------------------------------------------

Ihandle* IupSetHandle(const char* name, Ihandle* ih)
{
    if (name == nullptr || *name == '\0') {
        return nullptr;
    }
    Ihandle* old = nullptr;
    auto it = handleNames.find(name);
    if (it != handleNames.end()) {
        old = it->second;
        auto& n = old->names;
        n.erase(std::remove(n.begin(), n.end(), std::string(name)), n.end());
        handleNames.erase(it);
    }
    if (ih != nullptr && !ih->destroyed) {
        handleNames[name] = ih;
        ih->names.push_back(name);
    }
    return old;
}

Ihandle* IupGetHandle(const char* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    auto it = handleNames.find(name);
    return it == handleNames.end() ? nullptr : it->second;
}

Icallback IupSetCallback(Ihandle* ih, const char* name, Icallback func)
{
    if (ih == nullptr || name == nullptr) {
        return nullptr;
    }
    Icallback old = IupGetCallback(ih, name);
    if (func == nullptr) {
        ih->callbacks.erase(name);
    } else {
        ih->callbacks[name] = func;
    }
    return old;
}

Icallback IupGetCallback(Ihandle* ih, const char* name)
{
    if (ih == nullptr || name == nullptr) {
        return nullptr;
    }
    auto it = ih->callbacks.find(name);
    return it == ih->callbacks.end() ? nullptr : it->second;
}

Icallback IupSetFunction(const char* name, Icallback func)
{
    if (name == nullptr) {
        return nullptr;
    }
    Icallback old = IupGetFunction(name);
    if (func == nullptr) {
        functions.erase(name);
    } else {
        functions[name] = func;
    }
    return old;
}

Icallback IupGetFunction(const char* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    auto it = functions.find(name);
    return it == functions.end() ? nullptr : it->second;
}

char* IupGetClassName(Ihandle* ih) { return ih == nullptr ? nullptr : ih->kind.data(); }

// ---- the element tree ---------------------------------------------------------

void IupDestroy(Ihandle* ih)
{
    if (ih == nullptr || ih->destroyed) {
        return;
    }
    for (Ihandle* child : std::vector<Ihandle*>(ih->children)) {
        IupDestroy(child);
    }
    if (ih->parent != nullptr) {
        IupDetach(ih);
    }
    for (const std::string& name : std::vector<std::string>(ih->names)) {
        IupSetHandle(name.c_str(), nullptr);
    }
    ih->destroyControl();
    ih->destroyed = true;
    ih->callbacks.clear();
    if (ih->kind == "dialog") {
        iupDialogHidden();
    }
}

Ihandle* IupAppend(Ihandle* container, Ihandle* child)
{
    return IupInsert(container, nullptr, child) ? child : nullptr;
}

Ihandle* IupInsert(Ihandle* container, Ihandle* refChild, Ihandle* child)
{
    if (container == nullptr || child == nullptr || container->destroyed || child->destroyed ||
        !container->acceptsChildren() || child->parent != nullptr) {
        return nullptr;
    }
    int position = static_cast<int>(container->children.size());
    if (refChild != nullptr) {
        position = IupGetChildPos(container, refChild);
        if (position < 0) {
            return nullptr;
        }
    }
    container->children.insert(container->children.begin() + position, child);
    child->parent = container;
    container->childAdded(child, position);
    child->applyGeometry();
    return child;
}

void IupDetach(Ihandle* child)
{
    if (child == nullptr || child->parent == nullptr) {
        return;
    }
    Ihandle* container = child->parent;
    auto& c = container->children;
    c.erase(std::remove(c.begin(), c.end(), child), c.end());
    child->parent = nullptr;
    container->childRemoved(child);
}

Ihandle* IupGetChild(Ihandle* ih, int position)
{
    if (ih == nullptr || position < 0 || position >= static_cast<int>(ih->children.size())) {
        return nullptr;
    }
    return ih->children[static_cast<size_t>(position)];
}

int IupGetChildPos(Ihandle* ih, Ihandle* child)
{
    if (ih == nullptr) {
        return -1;
    }
    for (size_t i = 0; i < ih->children.size(); ++i) {
        if (ih->children[i] == child) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int IupGetChildCount(Ihandle* ih)
{
    return ih == nullptr ? 0 : static_cast<int>(ih->children.size());
}

Ihandle* IupGetNextChild(Ihandle* ih, Ihandle* child)
{
    if (child == nullptr) {
        return IupGetChild(ih, 0);
    }
    return IupGetChild(ih, IupGetChildPos(ih, child) + 1);
}

Ihandle* IupGetBrother(Ihandle* ih)
{
    return ih == nullptr ? nullptr : IupGetNextChild(ih->parent, ih);
}

Ihandle* IupGetDialog(Ihandle* ih)
{
    while (ih != nullptr && ih->kind != "dialog") {
        ih = ih->parent;
    }
    return ih;
}

// ---- showing (the dialog kind does the work) --------------------------------------

int IupMap(Ihandle* ih)
{
    if (ih == nullptr || ih->destroyed) {
        return IUP_ERROR;
    }
    std::vector<Ihandle*> pending{ih};
    while (!pending.empty()) {
        Ihandle* e = pending.back();
        pending.pop_back();
        e->mapped = true;
        pending.insert(pending.end(), e->children.begin(), e->children.end());
    }
    return IUP_NOERROR;
}

void IupRefresh(Ihandle* ih)
{
    Ihandle* dialog = IupGetDialog(ih);
    QWidget* w = dialog != nullptr ? dialog->control() : (ih ? ih->control() : nullptr);
    if (w == nullptr || w->layout() == nullptr) {
        return;
    }
    QLayout* layout = w->layout();
    layout->invalidate();
    layout->activate();
    // A dialog of fixed size (RESIZE=NO) grows to its natural size again
    // when its content has grown (a label wrapped onto more lines), as a
    // resizable one may be grown by the user; it never shrinks here.
    if (dialog == nullptr || !dialog->mapped || dialog->stored("RESIZE") == nullptr ||
        dialog->storedYes("RESIZE")) {
        return;
    }
    const QSize hint = w->sizeHint();
    const int width = std::max(w->width(), hint.width());
    int height = hint.height();
    if (layout->hasHeightForWidth()) {
        height = std::max(height, layout->totalHeightForWidth(width));
    }
    const QSize wanted = w->size().expandedTo(QSize(width, height));
    if (wanted != w->size()) {
        w->setFixedSize(wanted);
    }
}

void IupUpdate(Ihandle* ih)
{
    if (ih != nullptr && ih->control() != nullptr) {
        ih->control()->update();
    }
}

void IupRedraw(Ihandle* ih, int children)
{
    if (ih != nullptr && ih->control() != nullptr) {
        ih->control()->repaint();
    }
}

Ihandle* IupSetFocus(Ihandle* ih)
{
    Ihandle* old = IupGetFocus();
    if (ih != nullptr && ih->control() != nullptr) {
        QWidget* w = ih->control();
        if (QWidget* proxy = w->focusProxy()) {
            w = proxy;
        }
        if (QWidget* window = w->window()) {
            window->activateWindow();
        }
        w->setFocus(Qt::OtherFocusReason);
    }
    return old;
}

Ihandle* IupGetFocus()
{
    QWidget* focus = QApplication::focusWidget();
    return focus == nullptr ? nullptr : iupFindHandle(focus);
}
