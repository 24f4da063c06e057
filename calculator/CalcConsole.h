// The calculator's console: one Scintilla control, KOV_Console, whose last
// line is the prompt and whose lines above are the transcript. Every way of
// evaluating (Enter, Run > Calculate, the keypad's "=", session files) goes
// through Console_execute. Every routine finds the control by its handle
// name and does nothing when it is missing.
#pragma once

#include <string>

#include "iup.h"
#include "kovbase.h"

constexpr const char* CONSOLE_HANDLE = "KOV_Console";
constexpr int CONSOLE_PROMPT_MARKER = 9;
// Typing stops this many characters into the prompt line; the parser takes
// 255, so there is room to finish a word.
constexpr int CONSOLE_TYPING_LIMIT = 240;

// The program's parser (the console evaluates with it when given none).
void Console_setParser(kov_Parser* parser);
kov_Parser* Console_parser();

// Called after every successful evaluation (the window refreshes its title).
void Console_setOnEvaluated(void (*onEvaluated)());

Ihandle* Console_create();
void Console_destroy();
Ihandle* Console_get();
// Prompt margin with its '>' marker, fonts and colours.
void Console_setup(Ihandle* console);

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
