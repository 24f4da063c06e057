// The Scintilla text control over QScintilla: messages pass straight to
// SendScintilla; lexers of our own are selected by name.
#include <QMouseEvent>
#include <QPainter>

#include <Qsci/qsciscintilla.h>

#include <cstring>
#include <map>
#include <sstream>

#include "iupInternal.h"
#include "iupQt.h"
#include "iupScintillaMessages.h"

namespace {

std::map<std::string, IupLexerFactory>& lexers()
{
    static std::map<std::string, IupLexerFactory> registry;
    return registry;
}

class ScintillaWidget : public QsciScintilla {
public:
    explicit ScintillaWidget(Ihandle* element) : owner(element) {}
    // The colours given with SCI_MARKERSETFORE/BACK (Scintilla has no getter
    // for them); Scintilla's defaults until then.
    void setMarkerColour(unsigned long marker, long colour, bool fore)
    {
        if (marker < 32) {
            (fore ? markerFore : markerBack)[marker] = colour;
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (!button(e, 1, false)) {
            QsciScintilla::mousePressEvent(e);
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (!button(e, 0, false)) {
            QsciScintilla::mouseReleaseEvent(e);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (!button(e, 1, true)) {
            QsciScintilla::mouseDoubleClickEvent(e);
        }
    }
    // BUTTON_CB may take the click (IUP_IGNORE).
    bool button(QMouseEvent* e, int pressed, bool doubleClick)
    {
        const char code = e->button() == Qt::RightButton
                              ? IUP_BUTTON3
                              : (e->button() == Qt::MiddleButton ? IUP_BUTTON2 : IUP_BUTTON1);
        const std::string status =
            iupMouseStatus(e->buttons() | e->button(), e->modifiers(), doubleClick);
        const QPoint at = e->position().toPoint();
        return owner->call("BUTTON_CB", static_cast<int>(code), pressed, at.x(), at.y(),
                           const_cast<char*>(status.c_str())) == IUP_IGNORE;
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QsciScintilla::paintEvent(e);
        paintCharacterMarkers();
    }

private:
    // The Scintilla inside QScintilla 2.13 clips a character marker to a box
    // that ends one glyph width after the margin's left edge while it draws
    // the glyph centred: in a margin wider than about three glyphs the
    // character never shows (a prompt's '>' went missing so). Each character
    // marker is drawn again here, whole: centred in its margin, in the
    // line-number style's font, on the baseline of the line's text.
    void paintCharacterMarkers()
    {
        const long margins = SendScintilla(SCI_GETMARGINS);
        const long first = SendScintilla(SCI_GETFIRSTVISIBLELINE);
        const long last = first + SendScintilla(SCI_LINESONSCREEN) + 1;
        const long lineCount = SendScintilla(SCI_GETLINECOUNT);
        QPainter painter(viewport());
        painter.setFont(lineNumberFont());
        const QFontMetricsF metrics(painter.font());
        const long descent = SendScintilla(SCI_GETEXTRADESCENT);
        long left = 0;
        for (long m = 0; m < margins; ++m) {
            const long width = SendScintilla(SCI_GETMARGINWIDTHN, static_cast<unsigned long>(m));
            const unsigned long mask = static_cast<unsigned long>(
                SendScintilla(SCI_GETMARGINMASKN, static_cast<unsigned long>(m)));
            for (long visible = first; width > 0 && mask != 0 && visible <= last; ++visible) {
                const long line =
                    SendScintilla(SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(visible));
                if (line >= lineCount) {
                    break;
                }
                unsigned long marks = static_cast<unsigned long>(SendScintilla(
                                          SCI_MARKERGET, static_cast<unsigned long>(line))) &
                                      mask;
                for (unsigned long bit = 0; bit < 32 && marks != 0; ++bit, marks >>= 1) {
                    const long symbol =
                        (marks & 1) ? SendScintilla(SCI_MARKERSYMBOLDEFINED, bit) : 0;
                    if (symbol <= SC_MARK_CHARACTER) {
                        continue;
                    }
                    const QString character(
                        QChar(static_cast<char32_t>(symbol - SC_MARK_CHARACTER)));
                    const long top = SendScintilla(
                        SCI_POINTYFROMPOSITION, 0UL,
                        SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
                    const long height =
                        SendScintilla(SCI_TEXTHEIGHT, static_cast<unsigned long>(line));
                    const qreal glyph = metrics.horizontalAdvance(character);
                    const QRectF box(left + (width - glyph) / 2, top, glyph, height);
                    painter.fillRect(box, colour(markerBack[bit]));
                    painter.setPen(colour(markerFore[bit]));
                    painter.drawText(
                        QPointF(box.left(), top + height - descent - metrics.descent()), character);
                }
            }
            left += width;
        }
    }
    QFont lineNumberFont()
    {
        char name[128] = "";
        SendScintilla(SCI_STYLEGETFONT, STYLE_LINENUMBER, name);
        QFont font(QString::fromUtf8(name));
        const double size = SendScintilla(SCI_STYLEGETSIZEFRACTIONAL, STYLE_LINENUMBER) / 100.0 +
                            SendScintilla(SCI_GETZOOM);
        font.setPointSizeF(size < 2 ? 2 : size);
        font.setBold(SendScintilla(SCI_STYLEGETBOLD, STYLE_LINENUMBER) != 0);
        font.setItalic(SendScintilla(SCI_STYLEGETITALIC, STYLE_LINENUMBER) != 0);
        return font;
    }
    static QColor colour(long bgr)
    {
        return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    }

    Ihandle* owner;
    long markerFore[32] = {};
    long markerBack[32] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                           0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                           0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                           0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                           0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
};

class Scintilla : public Ihandle_ {
public:
    Scintilla() : Ihandle_("scintilla")
    {
        auto* w = new ScintillaWidget(this);
        w->SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 65001);
        w->setUtf8(true);
        w->setMarginWidth(1, 0);
        QObject::connect(
            w, &QsciScintilla::cursorPositionChanged, w, [this, w](int line, int index) {
                const long pos = w->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
                call("CARET_CB", line, index, static_cast<int>(pos));
            });
        QObject::connect(w, &QsciScintillaBase::SCN_MODIFIED, w,
                         [this](int, int type, const char*, int, int, int, int, int, int, int) {
                             // Changes the user made (typing, paste, delete), not
                             // those the program sends.
                             if ((type & (QsciScintillaBase::SC_MOD_INSERTTEXT |
                                          QsciScintillaBase::SC_MOD_DELETETEXT)) &&
                                 programChanges == 0) {
                                 call("VALUECHANGED_CB");
                             }
                         });
        QObject::connect(w, &QsciScintillaBase::SCN_MARGINCLICK, w,
                         [this, w](int position, int modifiers, int margin) {
                             const long line =
                                 w->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                                  static_cast<unsigned long>(position));
                             const std::string status =
                                 iupMouseStatus(Qt::LeftButton, Qt::KeyboardModifiers(), false);
                             call("MARGINCLICK_CB", margin, static_cast<int>(line),
                                  const_cast<char*>(status.c_str()));
                         });
        setControl(w);
        applyGeometry();
    }
    ScintillaWidget* editor() const { return static_cast<ScintillaWidget*>(control()); }

    bool setAttribute(const std::string& name, const char* value) override;
    bool setAttributeNow(const std::string& name, const char* value)
    {
        ScintillaWidget* e = editor();
        if (name == "VALUE") {
            e->SendScintilla(QsciScintillaBase::SCI_SETTEXT, value ? value : "");
            return true;
        }
        if (name == "APPEND") {
            e->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, value ? std::strlen(value) : 0,
                             value ? value : "");
            return true;
        }
        if (name == "READONLY") {
            e->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, iupIsYes(value) ? 1 : 0);
            return true;
        }
        if (name == "CARETCOLOR" || name == "WHITESPACEFGCOLOR") {
            int r, g, b;
            if (iupParseColor(value, &r, &g, &b)) {
                const long color = r | (g << 8) | (b << 16);
                if (name == "CARETCOLOR") {
                    e->SendScintilla(QsciScintillaBase::SCI_SETCARETFORE, color);
                } else {
                    e->SendScintilla(QsciScintillaBase::SCI_SETWHITESPACEFORE, 1, color);
                }
            }
            return true;
        }
        if (name == "CARET") {
            int lin = 0, col = 0;
            if (value != nullptr) {
                std::sscanf(value, "%d,%d", &lin, &col);
            }
            e->setCursorPosition(lin, col);
            return true;
        }
        if (name == "CARETPOS") {
            const long pos = value ? std::atol(value) : 0;
            e->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, pos);
            return true;
        }
        if (name == "LEXERLANGUAGE") {
            IupScintillaSendMessage(this, SCI_SETLEXERLANGUAGE, 0,
                                    reinterpret_cast<sptr_t>(value ? value : ""));
            return true;
        }
        if (name == "BORDER") {
            e->setFrameShape(value == nullptr || iupIsYes(value) ? QFrame::StyledPanel
                                                                 : QFrame::NoFrame);
            return true;
        }
        if (name == "VISIBLECOLUMNS") {
            int cw, ch;
            iupCharSize(e, &cw, &ch);
            e->setMinimumWidth(std::max(0, value ? std::atoi(value) : 0) * cw);
            return true;
        }
        if (name == "SCROLLWIDTH") {
            e->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH,
                             value ? std::max(1, std::atoi(value)) : 1);
            return true;
        }
        if (name == "CLEARALL") {
            e->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
            return true;
        }
        if (name == "MARGIN" || name == "GAP" || name == "ALIGNMENT" || name == "PADDING") {
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        ScintillaWidget* e = editor();
        if (name == "VALUE") {
            out = iupS(e->text());
            return true;
        }
        if (name == "COUNT") {
            out = std::to_string(e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
            return true;
        }
        if (name == "LINECOUNT") {
            out = std::to_string(e->lines());
            return true;
        }
        if (name == "CARET") {
            int lin = 0, col = 0;
            e->getCursorPosition(&lin, &col);
            out = std::to_string(lin) + "," + std::to_string(col);
            return true;
        }
        if (name == "CARETPOS") {
            out = std::to_string(e->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
            return true;
        }
        if (name == "READONLY") {
            out = e->isReadOnly() ? "YES" : "NO";
            return true;
        }
        if (name == "SELECTEDTEXT") {
            out = iupS(e->selectedText());
            return true;
        }
        if (name == "LEXERLANGUAGE") {
            out = currentLexer;
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }
    std::string currentLexer;  // the registered lexer in use
    int programChanges = 0;    // above 0 while the program changes the text
};

// Counts a change the program makes, so that VALUECHANGED_CB stays for the user's.
struct ProgramChange {
    explicit ProgramChange(Scintilla* s) : s(s) { ++s->programChanges; }
    ~ProgramChange() { --s->programChanges; }
    Scintilla* s;
};

bool Scintilla::setAttribute(const std::string& name, const char* value)
{
    ProgramChange change(this);
    return setAttributeNow(name, value);
}

}  // namespace

void IupLexer::setKeywordList(int set, const char* words)
{
    if (set < 0 || set >= static_cast<int>(keywordSets.size())) {
        return;
    }
    std::vector<std::string>& list = keywordSets[static_cast<size_t>(set)];
    list.clear();
    std::istringstream in(words ? words : "");
    std::string word;
    while (in >> word) {
        list.push_back(word);
    }
}

const std::vector<std::string>& IupLexer::keywordList(int set) const
{
    static const std::vector<std::string> none;
    if (set < 0 || set >= static_cast<int>(keywordSets.size())) {
        return none;
    }
    return keywordSets[static_cast<size_t>(set)];
}

bool IupLexer::isKeyword(int set, const std::string& word) const
{
    const auto& list = keywordList(set);
    return std::find(list.begin(), list.end(), word) != list.end();
}

void iupScintillaRegisterLexer(const char* name, IupLexerFactory factory)
{
    if (name != nullptr) {
        lexers()[name] = factory;
    }
}

void IupScintillaOpen() {}

Ihandle* IupScintilla() { return new Scintilla(); }

QsciScintilla* iupScintillaWidget(Ihandle* ih)
{
    return ih != nullptr && ih->kind == "scintilla" ? static_cast<Scintilla*>(ih)->editor()
                                                    : nullptr;
}

sptr_t IupScintillaSendMessage(Ihandle* ih, unsigned int message, uptr_t wParam, sptr_t lParam)
{
    QsciScintilla* e = iupScintillaWidget(ih);
    if (e == nullptr || ih->destroyed) {
        return 0;
    }
    auto* s = static_cast<Scintilla*>(ih);
    ProgramChange change(s);
    if (message == SCI_SETLEXERLANGUAGE) {
        const char* name = reinterpret_cast<const char*>(lParam);
        auto it = name ? lexers().find(name) : lexers().end();
        if (it != lexers().end()) {
            IupLexer* lexer = it->second(e);
            if (lexer != nullptr) {
                lexer->setParent(e);
                QsciLexer* old = e->lexer();
                e->setLexer(lexer);
                delete old;
                s->currentLexer = name;
                return 0;
            }
        }
        if (e->lexer() != nullptr) {
            QsciLexer* old = e->lexer();
            e->setLexer(nullptr);
            delete old;
        }
        s->currentLexer.clear();
    }
    if (message == SCI_MARKERSETFORE || message == SCI_MARKERSETBACK) {
        static_cast<ScintillaWidget*>(e)->setMarkerColour(wParam, static_cast<long>(lParam),
                                                          message == SCI_MARKERSETFORE);
    }
    if (message == SCI_SETKEYWORDS) {
        if (auto* lexer = dynamic_cast<IupLexer*>(e->lexer())) {
            lexer->setKeywordList(static_cast<int>(wParam), reinterpret_cast<const char*>(lParam));
            return 0;
        }
    }
    return e->SendScintilla(message, static_cast<unsigned long>(wParam), static_cast<long>(lParam));
}
