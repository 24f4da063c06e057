// The calculator's console: one Scintilla control, KOV_Console, whose last
// line is the prompt and whose lines above are the transcript. Every way of
// evaluating (Enter, Run > Calculate, the keypad's "=", session files) goes
// through Console_execute. Every routine finds the control by its handle
// name and does nothing when it is missing.
#pragma once

#include <string>

#include "iup.h"
#include "kovbase.h"
#include "kovParser.h"
#include "kovragui.h"
#include "kovraHandles.h"

constexpr const char* CONSOLE_HANDLE = KOV_Console;
constexpr int CONSOLE_PROMPT_MARKER = 9;
// Typing stops this many characters into the prompt line; the parser takes
// 255, so there is room to finish a word.
constexpr int CONSOLE_TYPING_LIMIT = 240;
// The lexer "kovra": autocompletion is offered only under it.
constexpr int CONSOLE_LEXER_ID = 108;

// The lexer "kovra" the console asks the text control for, with its
// keyword lists (ended by a set below 0; at most 20 are read).
struct ConsoleKeywords {
    int set;
    int style;  // the style the lexer gives the set's words
    const char* words;
};
struct ConsoleLexer {
    const char* name;
    const char* filePattern;
    int lexerId;
    ConsoleKeywords keywords[20];
};
extern const ConsoleLexer ConsoleLexerTable;

// The parser, settings and preferences are the application record's
// (App_getParser, App_getEditorPrefs of CalcState.h).

Ihandle* Console_create();
void Console_destroy();
Ihandle* Console_get();
// Layout, prompt margin with its '>' marker, the lexer and every style from
// the preferences; -2 without preferences (nothing changed), else 1. Runs
// again whenever the colours dialog changes the preferences.
int Console_setup(Ihandle* console);
// Behind both change callbacks of the preferences: Console_setup again.
void Console_onPrefsChanged(EditorPrefs* prefs);
// Once after the main dialog is shown: drawing (buffered, two phases, the
// layout cache the preferences ask for), scroll bar and width, UTF-8, no
// built-in menu or Ctrl key commands of the control's own, the first
// prompt marker, KOV_WindowMain_CharSize (the dialog's character width,
// 3..48, else 6); then, with settings, Console_setup, title and action bar.
void Console_prepare();
// The lexer's style id of each preference slot (the slots it does not use
// get -1); error and preprocessor slots take the keyword slot's font style.
void Console_setLexerStyles(EditorPrefs* prefs);
// The scroll width a cleared console starts with: the control's width less
// 64, at least 64.
void Console_applyScrollWidth(Ihandle* console);
// The styles alone (syntax highlighting switched): see TextPrefs_applyStyles,
// plus the prompt margin's colours.
void Console_applyStyles(Ihandle* console, EditorPrefs* prefs, int syntax, int resetAll);

// While typing: the completion list of function and command words after
// two characters (not glued to a name before them), matching parentheses.
void Console_autocomplete(Ihandle* console);
// Enter with the list open: takes the chosen word; 1 when the line is to be
// evaluated now (a word ending in ")" or ":" waits for its arguments, the
// caret then standing after its last "(").
int Console_acceptCompletion(Ihandle* console);
// Highlights the parenthesis at or before the caret and its partner (style
// 34), or marks it unmatched (35); force: even when the caret did not move.
void Console_matchBrace(Ihandle* console, bool force);
int Console_onCaret(Ihandle* console, int line, int column, int position);
int Console_onValueChanged(Ihandle* console);
int Console_onButton(Ihandle* console, int button, int pressed, int x, int y, char* status);
// The right-button menu: Cut, Copy, Paste, Select All, Clear and zoom, as
// the caret and the selection allow.
void Console_showContextMenu();
void Console_markCaretLine(Ihandle* console);

// Evaluates one line: the caret line (text NULL) or text, which first
// replaces the caret line. interactive: "cls" and "reset" are commands.
// Returns kov_ParserRun's result, 1 for cls/reset, 0 when nothing ran.
int Console_execute(const char* text, Ihandle* console, kov_Parser* parser, int interactive);
void Console_run(Ihandle* console);
int Console_onKey(Ihandle* console, int key);
// Enter or F12 on the prompt: takes a word from an open completion list
// (evaluating it only when it needs no arguments), else evaluates the line.
int Console_onEnter();
// The caret to the end of the selection on the last line (no undo change).
void Console_gotoEnd(Ihandle* console);
// 1 when the key may change the text where the caret stands.
int Console_canEdit(Ihandle* console, int key);

void Console_clear(Ihandle* console);
void Console_clearLine(Ihandle* console);
void Console_replaceLine(Ihandle* console, const char* text);
void Console_insertText(Ihandle* console, const char* text);
void Console_appendText(Ihandle* console, const char* text);
int Console_caretOnLastLine(Ihandle* console);
int Console_hasSelection(Ihandle* console);
int Console_canPaste(Ihandle* console);
void Console_cut(Ihandle* console);
void Console_paste(Ihandle* console);
// The whole text (for tests and the window's status).
std::string Console_text(Ihandle* console);
