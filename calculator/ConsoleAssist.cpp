// The console's helpers while typing: the autocompletion lists of function
// and command words, matching parentheses, and the right-button menu.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "Actionbar.h"
#include "Console.h"
#include "CalcState.h"
#include "WindowMain.h"
#include "guiCommon.h"
#include "kovbase.h"
#include "kovraHandles.h"
#include "iupScintillaMessages.h"

namespace {

// Set by a change of the text, taken by the next caret move.
bool textChanged = false;

struct CompletionList {
    int minimum;  // characters typed before the list is offered
    const char* words;
};

const CompletionList COMPLETION_LISTS[] = {
    {2, "acos()|acosh()|asin()|asinh()|atan()|atanh()|cos()|cosh()|sin()|sinh()|tan()|tanh()"},
    {2, "ceil()|fabs()|floor()|fmod()|min()|max()|rand()|round()|sign()"},
    {2, "exp()|ln()|log()|log2()|log10()|pow(,)|sqrt()"},
    {2, "bern()|beta(,)|dbern(,)|erf()|erfc()|fact()|gammaln()|gauss(,,)|j0()|j1()|jn(,)|y0()|y1()|"
        "yn(,)|lorentz(,,)"},
    {2, "solve(,,)"},
    {2, "author|copyright|name|release|version"},
    {2, "format:real|format:int|format:dec|format:bin|format:oct|format:hex"},
    {2, "unit:degree|unit:grad|unit:radian"},
    {2, "iter:|tol:"},
    {2, "cls|reset|unset:|unset:all"},
    {0, nullptr},
};

int charAt(Ihandle* c, sptr_t p) { return p < 0 ? 0 : Editor_getCharAt(c, p); }

// The text from start to end, clipped to the text.
std::string range(Ihandle* c, sptr_t start, sptr_t end)
{
    const sptr_t length = Editor_send(c, SCI_GETLENGTH);
    std::string text;
    for (sptr_t p = start < 0 ? 0 : start; p < end && p < length; ++p) {
        text.push_back(static_cast<char>(charAt(c, p)));
    }
    return text;
}

std::vector<std::string> split(const char* words)
{
    std::vector<std::string> out;
    std::string word;
    for (const char* p = words;; ++p) {
        if (*p == '|' || *p == '\0') {
            if (!word.empty()) {
                out.push_back(word.substr(0, 63));
            }
            word.clear();
            if (*p == '\0') {
                break;
            }
        } else {
            word.push_back(*p);
        }
    }
    return out;
}

bool isWordChar(int c) { return c != 0 && std::isalnum(static_cast<unsigned char>(c)) != 0; }

void cancelList(Ihandle* c)
{
    Editor_send(c, SCI_CALLTIPCANCEL);
    Editor_send(c, SCI_AUTOCCANCEL);
}

void showList(Ihandle* c, sptr_t entered, const char* words)
{
    cancelList(c);
    Editor_send(c, SCI_AUTOCSHOW, static_cast<uptr_t>(entered), reinterpret_cast<sptr_t>(words));
}

// 1 when a list was shown or its choice moved; -1 when the word is glued
// to a name before it (no list at all); 0 when nothing matched.
int offerList(Ihandle* c, sptr_t caret, bool open)
{
    for (const CompletionList* list = COMPLETION_LISTS; list->minimum >= 1; ++list) {
        const sptr_t m = list->minimum;
        if (caret - m < 0) {
            continue;
        }
        const std::vector<std::string> words = split(list->words);
        if (open) {
            for (const std::string& word : words) {
                if (word.size() < 2) {
                    continue;
                }
                for (sptr_t k = 1; k < static_cast<sptr_t>(word.size()); ++k) {
                    const std::string typed = range(c, caret - k, caret + 1);
                    if (typed.empty() || !(isWordChar(typed[0]) || typed[0] == '.')) {
                        break;
                    }
                    if (!kov_startsWith(word, typed)) {
                        continue;
                    }
                    if (isWordChar(charAt(c, caret - k - 1))) {
                        return -1;
                    }
                    if (typed == word) {
                        Editor_send(c, SCI_AUTOCSELECT, 0, reinterpret_cast<sptr_t>(word.c_str()));
                    } else {
                        showList(c, k, list->words);
                    }
                    return 1;
                }
            }
        } else {
            const std::string typed = range(c, caret - m, caret + 1);
            if (typed.empty()) {
                continue;  // nothing typed offers nothing
            }
            for (const std::string& word : words) {
                if (!kov_startsWith(word, typed)) {
                    continue;
                }
                if (isWordChar(charAt(c, caret - m - 1))) {
                    return -1;
                }
                showList(c, m, list->words);
                Editor_send(c, SCI_AUTOCSELECT, 0, reinterpret_cast<sptr_t>(typed.c_str()));
                return 1;
            }
        }
    }
    return 0;
}

int onMenuCut(Ihandle*)
{
    Console_cut(Console_get());
    return IUP_IGNORE;
}
int onMenuCopy(Ihandle*)
{
    Editor_copy(Console_get());
    return IUP_IGNORE;
}
int onMenuPaste(Ihandle*)
{
    Console_paste(Console_get());
    return IUP_IGNORE;
}
int onMenuSelectAll(Ihandle*)
{
    Editor_send(Console_get(), SCI_SELECTALL);
    return IUP_IGNORE;
}
int onMenuClear(Ihandle*)
{
    Console_clear(Console_get());
    return IUP_IGNORE;
}
int onMenuZoomIn(Ihandle*)
{
    Editor_zoomIn(Console_get());
    return IUP_IGNORE;
}
int onMenuZoomOut(Ihandle*)
{
    Editor_zoomOut(Console_get());
    return IUP_IGNORE;
}
int onMenuZoomNormal(Ihandle*)
{
    Editor_zoomReset(Console_get());
    return IUP_IGNORE;
}

void addItem(Ihandle* menu, Ihandle* console, const char* title, int (*action)(Ihandle*))
{
    Ihandle* item = IupItem(title, nullptr);
    IupSetAttribute(item, CONSOLE_HANDLE, reinterpret_cast<char*>(console));
    IupSetCallback(item, "ACTION", action);
    IupAppend(menu, item);
}

}  // namespace

void Console_autocomplete(Ihandle* c)
{
    if (c == nullptr) {
        return;
    }
    if (App_getParser() == nullptr) {
        Console_appendText(c, "[ERROR]   Fatal error: parser not loaded");
        return;
    }
    const EditorPrefs* prefs = App_getEditorPrefs();
    if (prefs == nullptr || prefs->lexerId != CONSOLE_LEXER_ID) {
        return;
    }
    const sptr_t caret = Editor_send(c, SCI_GETCURRENTPOS);
    bool open = Editor_send(c, SCI_AUTOCACTIVE) != 0;
    const int before = charAt(c, caret - 1);
    const int at = caret < Editor_send(c, SCI_GETLENGTH) ? charAt(c, caret) : 0;
    if (open && (at == '.' || before == 0 || std::isspace(static_cast<unsigned char>(before)))) {
        cancelList(c);
        open = false;
    }
    const int offered = offerList(c, caret, open);
    if (offered == 0 && prefs->syntaxEnabled) {
        Console_matchBrace(c, true);
    }
}

int Console_acceptCompletion(Ihandle* c)
{
    char item[256] = "";
    Editor_send(c, SCI_AUTOCGETCURRENTTEXT, 0, reinterpret_cast<sptr_t>(item));
    Editor_send(c, SCI_AUTOCCOMPLETE);
    const size_t length = std::strlen(item);
    const char last = length > 0 ? item[length - 1] : ' ';
    int evaluate = 1;
    if (length == 0 || length > 62 || last == ' ' || last == ')' || last == ':') {
        evaluate = 0;
    }
    if (length >= 2 && length <= 62 && last == ')') {
        // "pow(,)" leaves the caret between "(" and ",".
        const char* open = std::strrchr(item, '(');
        const char* colon = std::strrchr(item, ':');
        const char* mark = open > colon ? open : colon;
        if (mark != nullptr) {
            const sptr_t back = static_cast<sptr_t>(length) - static_cast<sptr_t>(mark - item) - 1;
            Editor_send(c, SCI_GOTOPOS,
                        static_cast<uptr_t>(Editor_send(c, SCI_GETCURRENTPOS) - back));
        }
    }
    Console_markCaretLine(c);
    return evaluate;
}

void Console_matchBrace(Ihandle* c, bool force)
{
    if (c == nullptr || Console_hasSelection(c)) {
        return;
    }
    const sptr_t caret = Editor_send(c, SCI_GETCURRENTPOS);
    if (!force && caret == IupGetInt(nullptr, KOV_PreviousCaretPos)) {
        return;
    }
    sptr_t brace = -1;
    const int before = caret > 0 ? charAt(c, caret - 1) : 0;
    if (before == '(' || before == ')') {
        brace = caret - 1;
    } else {
        const int at = charAt(c, caret);
        if (at == '(' || at == ')') {
            brace = caret;
        }
    }
    if (brace < 0) {
        Editor_send(c, SCI_BRACEHIGHLIGHT, static_cast<uptr_t>(-1), -1);
        return;
    }
    const sptr_t match = Editor_send(c, SCI_BRACEMATCH, static_cast<uptr_t>(brace), 0);
    if (match >= 0) {
        Editor_send(c, SCI_BRACEHIGHLIGHT, static_cast<uptr_t>(brace), match);
    } else {
        Editor_send(c, SCI_BRACEBADLIGHT, static_cast<uptr_t>(brace));
    }
}

int Console_onCaret(Ihandle* c, int, int, int position)
{
    const EditorPrefs* prefs = App_getEditorPrefs();
    if (textChanged) {
        // The change is complete now and the caret stands after it.
        textChanged = false;
        Console_autocomplete(c);
    } else if (prefs != nullptr && prefs->syntaxEnabled) {
        Console_matchBrace(c, false);
    }
    IupSetInt(nullptr, KOV_PreviousCaretPos, position);
    Actionbar_update();
    return IUP_DEFAULT;
}

int Console_onValueChanged(Ihandle* c)
{
    // The control reports the change while making it, before the caret
    // moves past the typed character: the lists are offered from the caret
    // callback that follows.
    if (!Console_hasSelection(c)) {
        textChanged = true;
    }
    return IUP_DEFAULT;
}

int Console_onButton(Ihandle*, int button, int pressed, int, int, char*)
{
    if (button == IUP_BUTTON3 && pressed == 0) {
        Console_showContextMenu();
        return IUP_IGNORE;
    }
    return IUP_DEFAULT;
}

void Console_showContextMenu()
{
    Iup_destroyNamed(KOV_WindowMain_Menu);
    Ihandle* c = Console_get();
    if (c == nullptr) {
        return;
    }
    const bool hasText = Editor_send(c, SCI_GETLENGTH) > 0;
    if (!hasText && !Console_canPaste(c)) {
        return;
    }
    Ihandle* menu = IupMenu(nullptr);
    if (Console_hasSelection(c)) {
        if (Console_caretOnLastLine(c)) {
            addItem(menu, c, "&Cut\tCtrl+X", onMenuCut);
        }
        addItem(menu, c, "&Copy\tCtrl+C", onMenuCopy);
    }
    if (Console_canPaste(c)) {
        addItem(menu, c, "&Paste\tCtrl+V", onMenuPaste);
    }
    if (hasText) {
        addItem(menu, c, "Select &All\tCtrl+A", onMenuSelectAll);
        IupAppend(menu, IupSeparator());
        addItem(menu, c, "&Clear", onMenuClear);
        IupAppend(menu, IupSeparator());
        addItem(menu, c, "Zoom In\tCtrl++", onMenuZoomIn);
        addItem(menu, c, "Zoom Out\tCtrl+-", onMenuZoomOut);
        addItem(menu, c, "Normal Viewing\tCtrl+0", onMenuZoomNormal);
    }
    IupSetHandle(KOV_WindowMain_Menu, menu);
    IupSetAttribute(menu, "PARENTDIALOG", KOV_WindowMain);
    IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    Iup_destroyNamed(KOV_WindowMain_Menu);
}
