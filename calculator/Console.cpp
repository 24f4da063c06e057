// The calculator's console.
#include "Console.h"

#include <algorithm>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "Actionbar.h"
#include "CalcLexer.h"
#include "CalcState.h"
#include "WindowMain.h"
#include "textPrefs.h"
#include "guiCommon.h"
#include "kovbase.h"
#include "kovraHandles.h"
#include "iupScintillaMessages.h"

namespace {

// The lexer's style for each preference slot (-1: the slot drives none).
struct SlotStyle {
    int slot;
    int style;
};
const SlotStyle LEXER_STYLES[] = {{1, 1},  {2, 2},  {4, 4},  {5, 5}, {6, 7},
                                  {9, 10}, {10, 8}, {11, 9}, {16, 6}};

// The Ctrl key commands the control must not run itself: the program's
// menus and the console's own cut, copy and paste own them.
const char CLEARED_CTRL_KEYS[] = "mMnNoOsSpPzZyYxXcCvV0+-fFhHrRgG";

sptr_t lastLineStart(Ihandle* c)
{
    const sptr_t lines = Editor_send(c, SCI_GETLINECOUNT);
    return Editor_send(c, SCI_POSITIONFROMLINE, static_cast<uptr_t>(lines - 1));
}

sptr_t caretLine(Ihandle* c)
{
    return Editor_send(c, SCI_LINEFROMPOSITION,
                       static_cast<uptr_t>(Editor_send(c, SCI_GETCURRENTPOS)));
}

void markLine(Ihandle* c, sptr_t line)
{
    const sptr_t bits = Editor_send(c, SCI_MARKERGET, static_cast<uptr_t>(line));
    if ((bits & (1 << CONSOLE_PROMPT_MARKER)) == 0) {
        Editor_send(c, SCI_MARKERADD, static_cast<uptr_t>(line), CONSOLE_PROMPT_MARKER);
    }
}

void markCaretLine(Ihandle* c) { markLine(c, caretLine(c)); }

std::string lineText(Ihandle* c, sptr_t line)
{
    const sptr_t start = Editor_send(c, SCI_POSITIONFROMLINE, static_cast<uptr_t>(line));
    const sptr_t end = Editor_send(c, SCI_GETLINEENDPOSITION, static_cast<uptr_t>(line));
    std::string text;
    for (sptr_t p = start; p < end; ++p) {
        text.push_back(static_cast<char>(Editor_getCharAt(c, p)));
    }
    return text;
}

// After text was appended at the end: no undo into the transcript, and the
// caret at the end when the appended text began a new line.
void endRule(Ihandle* c)
{
    Editor_send(c, SCI_EMPTYUNDOBUFFER);
    Console_gotoEnd(c);
    // A fresh prompt shows from its first column, even after a long line.
    Editor_send(c, SCI_SETXOFFSET, 0);
    Editor_send(c, SCI_SCROLLCARET);
}

void appendAtEnd(Ihandle* c, const std::string& text)
{
    Editor_appendText(c, text);
    endRule(c);
}

bool isEnter(int key) { return iup_XkeyBase(key) == K_CR || key == K_F12; }

// Keys that move the caret or the selection (with or without Shift) or
// copy: they change no text, so a selection reaching into the transcript
// may stay as it is for them.
bool changesNoText(int key)
{
    const int base = iup_XkeyBase(key);
    return key == K_cC || base == K_LEFT || base == K_RIGHT || base == K_UP || base == K_DOWN ||
           base == K_HOME || base == K_END || base == K_PGUP || base == K_PGDN;
}

// Keys the main window handles itself (help, about, closing with Alt+F4,
// the clipboard and zoom keys, which the control no longer knows): passed
// on from anywhere in the console, the transcript included.
bool isWindowKey(int key)
{
    const int base = iup_XkeyBase(key);
    return (base >= K_F1 && base < K_F12) || key == K_cV || key == K_cX || key == K_cPlus ||
           key == K_cMinus || key == K_c0;
}

// A selection that reaches from the prompt line up into the transcript is
// cut back to the prompt line before anything replaces it: what is typed,
// cut or pasted over it never takes transcript lines with it.
void keepSelectionOnPromptLine(Ihandle* c)
{
    const sptr_t start = lastLineStart(c);
    const sptr_t anchor = Editor_send(c, SCI_GETANCHOR);
    const sptr_t caret = Editor_send(c, SCI_GETCURRENTPOS);
    if (anchor < start || caret < start) {
        Editor_send(c, SCI_SETSEL, static_cast<uptr_t>(std::max(anchor, start)),
                    std::max(caret, start));
    }
}

bool isTypedCharacter(int key)
{
    if (key != iup_XkeyBase(key) && !iup_isShiftXkey(key)) {
        return false;
    }
    const int c = iup_XkeyBase(key);
    return c == '%' || (c >= '(' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '^' ||
           (c >= 'a' && c <= 'z');
}

std::string withoutBlanks(std::string text)
{
    std::string out;
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            out.push_back(c);
        }
    }
    return out;
}

void historyStep(Ihandle* c, kov_Parser* parser, int direction)
{
    int h = parser->current;
    const sptr_t caretOffset =
        Editor_send(c, SCI_GETCURRENTPOS) -
        Editor_send(c, SCI_POSITIONFROMLINE, static_cast<uptr_t>(caretLine(c)));
    // With the caret at the start of a fresh prompt the entry last
    // recorded is shown first; after that each key moves one entry.
    if (caretOffset > 0) {
        h += direction;
    }
    if (h < 0) {
        h = 0;
    }
    if (h >= parser->count) {
        h = parser->count - 1;
    }
    parser->current = h;
    Console_replaceLine(c, parser->history[h]);
}

}  // namespace

void Console_onPrefsChanged(EditorPrefs*) { Console_setup(Console_get()); }

void Console_markCaretLine(Ihandle* c)
{
    if (c != nullptr) {
        markCaretLine(c);
    }
}

Ihandle* Console_get() { return IupGetHandle(CONSOLE_HANDLE); }

Ihandle* Console_create()
{
    if (Ihandle* existing = Console_get()) {
        return existing;
    }
    Ihandle* c = IupScintilla();
    IupSetAttributes(c, "EXPAND=YES, BORDER=NO, VISIBLECOLUMNS=80, RASTERSIZE=100x100");
    IupSetHandle(CONSOLE_HANDLE, c);
    IupSetCallback(c, "K_ANY", Console_onKey);
    IupSetCallback(c, "BUTTON_CB", Console_onButton);
    IupSetCallback(c, "CARET_CB", Console_onCaret);
    IupSetCallback(c, "VALUECHANGED_CB", Console_onValueChanged);
    return c;
}

void Console_destroy() { Iup_destroyNamed(CONSOLE_HANDLE); }

const ConsoleLexer ConsoleLexerTable = {
    "kovra",
    "*.kovra",
    CONSOLE_LEXER_ID,
    {
        {0, 5,
         "INFO WARNING ERROR exp ln log log2 log10 pow sinh cosh tanh asinh acosh atanh abs fabs "
         "sqrt ceil floor fmod "
         "erf erfc j0 j1 jn y0 y1 yn bern dbern gauss lorentz hypot min max rand time sign gammaln "
         "beta fact trunc "
         "round rint sin cos tan asin acos atan pi _m _q _k _h _c _e _n "},
        {1, 6,
         "author version release copyright format real dec bin hex oct iter tol int auto radian "
         "rad degree deg unit "
         "grad gon all unset set reset name solve cls "},
        {-1, 0, nullptr},
    },
};

void Console_setLexerStyles(EditorPrefs* prefs)
{
    if (prefs == nullptr) {
        return;
    }
    // The default slot reaches every style first and is no lexer style of
    // its own.
    for (int slot = 0; slot < 20; ++slot) {
        prefs->styles[slot].styleId = -1;
    }
    for (const SlotStyle& s : LEXER_STYLES) {
        prefs->styles[s.slot].styleId = s.style;
    }
    prefs->styles[2].fore = 0x1988DD;  // errors stand out in orange
    prefs->styles[2].fontStyle = prefs->styles[5].fontStyle;
    prefs->styles[9].fontStyle = prefs->styles[5].fontStyle;
}

int Console_setup(Ihandle* c)
{
    EditorPrefs* prefs = App_getEditorPrefs();
    if (c == nullptr || prefs == nullptr) {
        return -2;
    }
    prefs->lexerId = CONSOLE_LEXER_ID;
    Editor_send(c, SCI_SETVIEWWS, 0);
    Editor_send(c, SCI_SETWRAPMODE, 0);
    Editor_send(c, SCI_SETMARGINLEFT, 0, 4);
    Editor_send(c, SCI_SETMARGINRIGHT, 0, 0);
    Editor_send(c, SCI_SETTABWIDTH, 3);
    Editor_send(c, SCI_SETUSETABS, 0);
    Editor_send(c, SCI_SETINDENTATIONGUIDES, 0);
    if (prefs->promptMarginWidth < 16) {
        prefs->promptMarginWidth = 16;
    }
    if (prefs->promptMarginWidth > 80) {
        prefs->promptMarginWidth = 80;
    }
    Editor_send(c, SCI_SETMARGINTYPEN, 3, SC_MARGIN_COLOUR);
    Editor_send(c, SCI_SETMARGINMASKN, 3, 1 << CONSOLE_PROMPT_MARKER);
    Editor_send(c, SCI_SETMARGINWIDTHN, 3, prefs->promptMarginWidth);
    Editor_send(c, SCI_SETMARGINSENSITIVEN, 3, prefs->promptMarginWidth > 0 ? 1 : 0);
    Console_setLexerStyles(prefs);
    Editor_send(c, SCI_SETLEXERLANGUAGE, 0, reinterpret_cast<sptr_t>(ConsoleLexerTable.name));
    for (int k = 0; k < 20; ++k) {
        const ConsoleKeywords& words = ConsoleLexerTable.keywords[k];
        if (words.set < 0 || words.words == nullptr) {
            break;
        }
        Editor_send(c, SCI_SETKEYWORDS, static_cast<uptr_t>(words.set),
                    reinterpret_cast<sptr_t>(words.words));
    }
    // The marker after the lexer: choosing a lexer resets the markers.
    Editor_send(c, SCI_MARKERDEFINE, CONSOLE_PROMPT_MARKER, SC_MARK_CHARACTER + '>');
    Console_applyStyles(c, prefs, prefs->syntaxEnabled, 1);
    prefs->lineNumbers = 0;
    for (int m = 0; m < 3; ++m) {
        Editor_send(c, SCI_SETMARGINWIDTHN, static_cast<uptr_t>(m), 0);
        Editor_send(c, SCI_SETMARGINSENSITIVEN, static_cast<uptr_t>(m), 0);
    }
    Editor_send(c, SCI_AUTOCSETSEPARATOR, '|');
    Editor_send(c, SCI_AUTOCSETCHOOSESINGLE, 0);
    Editor_send(c, SCI_AUTOCSETAUTOHIDE, 1);
    Editor_send(c, SCI_AUTOCSETCANCELATSTART, 0);
    Editor_send(c, SCI_AUTOCSETIGNORECASE, 1);
    Editor_send(c, SCI_SETEXTRAASCENT, static_cast<uptr_t>(prefs->lineSpacing));
    Editor_send(c, SCI_SETEXTRADESCENT, static_cast<uptr_t>(prefs->lineSpacing));
    return 1;
}

void Console_applyScrollWidth(Ihandle* c)
{
    if (c == nullptr) {
        return;
    }
    int width = 0, height = 0;
    const char* size = IupGetAttribute(c, "RASTERSIZE");
    if (size != nullptr) {
        std::sscanf(size, "%dx%d", &width, &height);
    }
    Editor_send(c, SCI_SETSCROLLWIDTH, static_cast<uptr_t>(width - 64 < 64 ? 64 : width - 64));
}

void Console_prepare()
{
    Ihandle* c = Console_get();
    if (c == nullptr) {
        return;
    }
    const EditorPrefs* prefs = App_getEditorPrefs();
    Editor_send(c, SCI_SETBUFFEREDDRAW, 1);
    Editor_send(c, SCI_SETLAYOUTCACHE,
                prefs != nullptr && prefs->layoutCache == 1 ? SC_CACHE_DOCUMENT : SC_CACHE_PAGE);
    Editor_send(c, SCI_SETTWOPHASEDRAW, 1);
    Editor_send(c, SCI_SETHSCROLLBAR, 1);
    Editor_send(c, SCI_SETSCROLLWIDTHTRACKING, 1);
    Console_applyScrollWidth(c);
    Editor_send(c, SCI_SETMODEVENTMASK, SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT);
    Editor_send(c, SCI_SETCODEPAGE, 65001);
    Editor_send(c, SCI_USEPOPUP, 0);
    for (const char* k = CLEARED_CTRL_KEYS; *k != '\0'; ++k) {
        Editor_send(c, SCI_CLEARCMDKEY, static_cast<uptr_t>(*k + (SCMOD_CTRL << 16)));
    }
    markLine(c, 0);
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    if (dialog == nullptr) {
        return;
    }
    // The character width of the dialog's font, for sizes given in
    // characters; an implausible one falls back to 6.
    int charWidth = 0, charHeight = 0;
    const char* charSize = IupGetAttribute(dialog, "CHARSIZE");
    if (charSize == nullptr || std::sscanf(charSize, "%dx%d", &charWidth, &charHeight) != 2 ||
        charWidth < 3 || charWidth > 48) {
        charWidth = 6;
    }
    IupSetInt(nullptr, KOV_WindowMain_CharSize, charWidth);
    if (App_getSettings() == nullptr) {
        return;
    }
    Console_setup(c);
    WindowMain_updateTitle();
    Actionbar_update();
}

void Console_applyStyles(Ihandle* c, EditorPrefs* prefs, int syntax, int resetAll)
{
    if (prefs == nullptr) {
        prefs = App_getEditorPrefs();
    }
    if (c == nullptr || prefs == nullptr) {
        return;
    }
    TextPrefs_applyStyles(c, prefs, syntax, resetAll);
    const EditorStyle& text = prefs->styles[0];
    Editor_send(c, SCI_SETMARGINBACKN, 3, text.back);
    Editor_send(c, SCI_MARKERSETFORE, CONSOLE_PROMPT_MARKER,
                normalizeColor(text.fore, -80, -80, -80));
    Editor_send(c, SCI_MARKERSETBACK, CONSOLE_PROMPT_MARKER, text.back);
    Editor_send(c, SCI_COLOURISE, 0, -1);
}

int Console_caretOnLastLine(Ihandle* c)
{
    return c != nullptr && Editor_send(c, SCI_GETCURRENTPOS) >= lastLineStart(c) ? 1 : 0;
}

int Console_execute(const char* text, Ihandle* console, kov_Parser* parser, int interactive)
{
    Ihandle* c = console != nullptr ? console : Console_get();
    if (c == nullptr) {
        return 0;
    }
    if (parser == nullptr) {
        parser = App_getParser();
    }
    if (parser == nullptr || parser->busy == 1) {
        if (Console_caretOnLastLine(c)) {
            appendAtEnd(c, parser == nullptr ? "[ERROR]   Fatal error: parser not loaded"
                                             : "[ERROR]   Parser running");
        }
        return 0;
    }
    const sptr_t firstLine = caretLine(c);
    if (text != nullptr) {
        Console_replaceLine(c, text);
    }
    const std::string typed = lineText(c, caretLine(c));
    if (withoutBlanks(typed).empty()) {
        return 0;
    }
    if (interactive == 1) {
        const std::string word = withoutBlanks(typed);
        if (kov_equalsNoCase(word, "cls")) {
            Console_clear(c);
            return 1;
        }
        if (kov_equalsNoCase(word, "reset")) {
            if (kovraAskQuestion("Reset the calculations history and settings?", "KovraCalc", 4,
                                 KOV_WindowMain) != 3) {
                return 0;
            }
            kov_ParserReset(parser);
            Console_clear(c);
            return 1;
        }
    }
    const bool quiet = kov_endwith(typed.c_str(), ";", 0) != 0;
    char work[4096];
    kov_copyA(work, sizeof work, typed.c_str());  // whole: a long line is refused, not cut
    kov_ParserRemSpace(work, 0);
    if (work[0] == '\0') {
        return 0;
    }
    char answer[KOV_PARSER_LINE];
    const int r = kov_ParserRun(work, answer, parser);
    if (r == 1) {
        kov_ParserHistory(parser, typed.c_str());
        WindowMain_updateTitle();
    }
    if (Console_caretOnLastLine(c)) {
        if (!(r == 1 && quiet) && answer[0] != '\0') {
            appendAtEnd(c, std::string("\n") + answer);
            if (r != 1) {
                // The answer line is an error: the lexer colours it so.
                const sptr_t answerLine = Editor_send(c, SCI_GETLINECOUNT) - 1;
                Editor_send(c, SCI_MARKERADD, static_cast<uptr_t>(answerLine), CALC_ERROR_MARKER);
                Editor_send(c, SCI_COLOURISE,
                            static_cast<uptr_t>(Editor_send(c, SCI_POSITIONFROMLINE,
                                                            static_cast<uptr_t>(answerLine))),
                            -1);
            }
        }
        appendAtEnd(c, "\n");
    }
    markLine(c, firstLine);
    markCaretLine(c);
    parser->busy = 0;
    return r;
}

int Console_onEnter()
{
    Ihandle* c = Console_get();
    if (c == nullptr) {
        return IUP_IGNORE;
    }
    // A word taken from the open list is evaluated at once only when it
    // needs no arguments; the control never breaks the line itself.
    if (Editor_send(c, SCI_AUTOCACTIVE) && !Console_acceptCompletion(c)) {
        return IUP_IGNORE;
    }
    Console_execute(nullptr, c, nullptr, 1);
    return IUP_IGNORE;
}

void Console_gotoEnd(Ihandle* c)
{
    if (c == nullptr) {
        return;
    }
    const sptr_t end = Editor_send(c, SCI_GETLINESELENDPOSITION,
                                   static_cast<uptr_t>(Editor_send(c, SCI_GETLINECOUNT) - 1));
    Editor_send(c, SCI_SETEMPTYSELECTION,
                static_cast<uptr_t>(end < 0 ? Editor_send(c, SCI_GETLENGTH) : end));
}

void Console_run(Ihandle* console) { Console_execute(nullptr, console, nullptr, 1); }

int Console_canEdit(Ihandle* c, int key)
{
    if (c == nullptr) {
        return 0;
    }
    if (!Console_caretOnLastLine(c)) {
        return 0;
    }
    const sptr_t start = lastLineStart(c);
    const sptr_t caret = Editor_send(c, SCI_GETCURRENTPOS);
    if (key == K_BS && caret == start) {
        return 0;
    }
    if (isTypedCharacter(key) && caret - start >= CONSOLE_TYPING_LIMIT) {
        return 0;
    }
    return 1;
}

int Console_onKey(Ihandle* c, int key)
{
    if (c == nullptr) {
        return IUP_CONTINUE;
    }
    const int base = iup_XkeyBase(key);
    if (Editor_send(c, SCI_AUTOCACTIVE) &&
        (base == K_UP || base == K_DOWN || base == K_PGUP || base == K_PGDN)) {
        return IUP_CONTINUE;
    }
    const sptr_t start = lastLineStart(c);
    const sptr_t caret = Editor_send(c, SCI_GETCURRENTPOS);
    if (caret >= start) {
        if (!changesNoText(key)) {
            keepSelectionOnPromptLine(c);
        }
        if (caret == start && key == K_LEFT) {
            return IUP_CONTINUE;
        }
        if (caret == start && key == K_BS) {
            return IUP_IGNORE;  // lines are never joined
        }
        if (Editor_send(c, SCI_GETLINECOUNT) == 1 && caret == start + 1 && key == K_BS) {
            Console_clear(c);
            return IUP_IGNORE;
        }
        if (isEnter(key)) {
            return Console_onEnter();
        }
        if (key == K_UP || key == K_PGUP || key == K_DOWN || key == K_PGDN) {
            kov_Parser* parser = App_getParser();
            if (parser == nullptr || parser->count < 1) {
                return IUP_CONTINUE;
            }
            historyStep(c, parser, key == K_UP || key == K_PGUP ? -1 : 1);
            return IUP_IGNORE;
        }
        if (isTypedCharacter(key)) {
            return caret - start >= CONSOLE_TYPING_LIMIT ? IUP_IGNORE : IUP_CONTINUE;
        }
        return IUP_CONTINUE;
    }
    // In the transcript: look and copy, never change; the window's own keys
    // (Alt+F4 among them) still reach it.
    if (key == K_LEFT || key == K_RIGHT || key == K_cC || isWindowKey(key)) {
        return IUP_CONTINUE;
    }
    if (key == K_UP || key == K_PGUP) {
        const sptr_t line = caretLine(c);
        if (line > 0) {
            Editor_send(c, SCI_GOTOLINE, static_cast<uptr_t>(line - 1));
        }
    } else if (key == K_DOWN || key == K_PGDN) {
        Editor_send(c, SCI_GOTOLINE, static_cast<uptr_t>(caretLine(c) + 1));
    }
    return IUP_IGNORE;
}

void Console_clear(Ihandle* c)
{
    if (c == nullptr) {
        return;
    }
    Editor_send(c, SCI_CLEARALL);
    Editor_send(c, SCI_MARKERDELETEALL, static_cast<uptr_t>(-1));
    Editor_send(c, SCI_EMPTYUNDOBUFFER);
    markLine(c, 0);
    Console_applyScrollWidth(c);
}

void Console_clearLine(Ihandle* c) { Console_replaceLine(c, ""); }

void Console_replaceLine(Ihandle* c, const char* text)
{
    if (c == nullptr) {
        return;
    }
    // Only the prompt line is ever replaced: with the caret in the
    // transcript (a line clicked to read it), the keypad's C or a replayed
    // line goes to the prompt, and the transcript stays as written.
    if (!Console_caretOnLastLine(c)) {
        Editor_send(c, SCI_GOTOPOS, static_cast<uptr_t>(Editor_send(c, SCI_GETLENGTH)));
    }
    const sptr_t line = caretLine(c);
    const sptr_t start = Editor_send(c, SCI_POSITIONFROMLINE, static_cast<uptr_t>(line));
    const sptr_t end = Editor_send(c, SCI_GETLINEENDPOSITION, static_cast<uptr_t>(line));
    // History entries and session lines come from files: the helper makes
    // them text the control can hold.
    const long length = Editor_replaceRange(c, start, end, text != nullptr ? text : "");
    Editor_send(c, SCI_GOTOPOS, static_cast<uptr_t>(start + length));
    markCaretLine(c);
}

void Console_insertText(Ihandle* c, const char* text)
{
    if (c == nullptr || text == nullptr || !Console_caretOnLastLine(c)) {
        return;
    }
    const sptr_t caret = Editor_send(c, SCI_GETCURRENTPOS);
    Editor_insertText(c, caret, text);
    const char* paren = std::strrchr(text, '(');
    const size_t offset =
        paren != nullptr ? static_cast<size_t>(paren - text) + 1 : std::strlen(text);
    Editor_send(c, SCI_GOTOPOS, static_cast<uptr_t>(caret + static_cast<sptr_t>(offset)));
    IupSetFocus(c);
}

void Console_appendText(Ihandle* c, const char* text)
{
    if (c == nullptr || !Console_caretOnLastLine(c)) {
        return;
    }
    if (text == nullptr) {
        appendAtEnd(c, "\n");
    } else if (text[0] != '\0') {
        appendAtEnd(c, text);
    }
}

int Console_hasSelection(Ihandle* c)
{
    return c != nullptr && Editor_send(c, SCI_GETSELECTIONEMPTY) == 0 ? 1 : 0;
}

int Console_canPaste(Ihandle* c)
{
    return c != nullptr && Console_caretOnLastLine(c) && Editor_send(c, SCI_CANPASTE) != 0 ? 1 : 0;
}

void Console_cut(Ihandle* c)
{
    if (c == nullptr || !Console_caretOnLastLine(c)) {
        return;
    }
    keepSelectionOnPromptLine(c);
    if (!Console_hasSelection(c)) {
        return;
    }
    Editor_send(c, SCI_CUT);
    markLine(c, 0);
}

void Console_paste(Ihandle* c)
{
    if (!Console_canPaste(c)) {
        return;
    }
    Ihandle* clipboard = IupClipboard();
    const char* text = IupGetAttribute(clipboard, "TEXT");
    const std::string pasted = text != nullptr ? text : "";
    IupDestroy(clipboard);
    if (text == nullptr) {
        return;
    }
    keepSelectionOnPromptLine(c);
    // Pasted lines are taken as if typed: each line that ends in a line
    // break is evaluated in turn, as Enter would (stopping at the first that
    // fails), and the last piece stays on the prompt. Nothing enters the
    // transcript unevaluated.
    size_t from = 0;
    for (;;) {
        const size_t lineEnd = pasted.find_first_of("\r\n", from);
        const std::string piece =
            pasted.substr(from, lineEnd == std::string::npos ? std::string::npos : lineEnd - from);
        // At most 255 bytes a line, never a character cut in two.
        Editor_replaceSelection(c, Editor_validText(piece.c_str(), KOV_PARSER_MAXLINE));
        markLine(c, 0);
        if (lineEnd == std::string::npos) {
            break;
        }
        from = lineEnd + 1;
        if (pasted[lineEnd] == '\r' && from < pasted.size() && pasted[from] == '\n') {
            ++from;  // CR LF is one line break
        }
        if (!withoutBlanks(lineText(c, caretLine(c))).empty() &&
            Console_execute(nullptr, c, nullptr, 1) != 1) {
            break;
        }
    }
}

std::string Console_text(Ihandle* c)
{
    std::string text;
    if (c == nullptr) {
        return text;
    }
    const sptr_t length = Editor_send(c, SCI_GETLENGTH);
    for (sptr_t p = 0; p < length; ++p) {
        text.push_back(static_cast<char>(Editor_getCharAt(c, p)));
    }
    return text;
}
