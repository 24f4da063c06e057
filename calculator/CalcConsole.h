// The calculator's console: one Scintilla control, KOV_Console, whose last
// line is the prompt and whose lines above are the transcript. Every way of
// evaluating (Enter, Run > Calculate, the keypad's "=", session files) goes
// through Console_execute. Every routine finds the control by its handle
// name and does nothing when it is missing.
#pragma once

#include <string>

#include "iup.h"
#include "kovbase.h"
#include "kovragui.h"

constexpr const char* CONSOLE_HANDLE = "KOV_Console";
constexpr int CONSOLE_PROMPT_MARKER = 9;
// Typing stops this many characters into the prompt line; the parser takes
// 255, so there is room to finish a word.
constexpr int CONSOLE_TYPING_LIMIT = 240;
// The lexer "kovra": autocompletion is offered only under it.
constexpr int CONSOLE_LEXER_ID = 108;

// The program's parser (the console evaluates with it when given none).
void Console_setParser(kov_Parser* parser);
kov_Parser* Console_parser();

// Called after every successful evaluation (the window refreshes its title).
void Console_setOnEvaluated(void (*onEvaluated)());
// Called after every caret move (the window refreshes its action bar).
void Console_setOnCaretMoved(void (*onCaretMoved)());
void Console_notifyCaretMoved();

// The program's text-view preferences: colours, fonts, syntax flag, lexer.
void Console_setPrefs(EditorPrefs* prefs);
EditorPrefs* Console_prefs();

Ihandle* Console_create();
void Console_destroy();
Ihandle* Console_get();
// Layout, prompt margin with its '>' marker, the lexer and every style from
// the preferences; -2 without preferences (nothing changed), else 1. Runs
// again whenever the colours dialog changes the preferences.
int Console_setup(Ihandle* console);
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
