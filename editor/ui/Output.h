// The output console "KOV_Output": the editor's read-only log under a small
// bar with the title "Simulation Output" and a clear button. Messages of the
// document layer and every line the simulator driver prints are appended
// here, styled by their tag. Every routine finds the console by its handle
// name and does nothing while it does not exist, so the document layer may
// print before the window is built.
#pragma once

#include "iup.h"

struct EditorPrefs;

// Builds the console box (or returns the existing console).
Ihandle* Output_create();
// Configures the mapped view: margins, code page, styles, keys left to the
// main window, read-only.
void Output_setup();

// The console's text preferences before the user changes any: the library's
// light theme with line numbers shown.
void Output_setDefaultPrefs(EditorPrefs* prefs);
// Gives the view the record's look (the application's record when prefs is
// NULL): with full, every style first takes the default text style; then
// the tagged styles 122..126 take the default text's font, size, flags,
// case and background with the plain, information, warning, error (always
// bold) and fifth colours; line numbers, caret, caret line and selection.
// value is kept as the record's applied flag. Returns IUP_DEFAULT.
int Editor_applyStyle(Ihandle* view, EditorPrefs* prefs, int value, int full);

void Output_print(const char* text);
// Appends and styles exactly the appended bytes by the message's tag;
// returns the style used (122..125).
int Output_printColored(const char* text);
// mode 1 appends; any other mode replaces the whole text (an empty text
// with mode 0 clears).
void Output_appendText(Ihandle* view, const char* text, int mode);
void Output_clear();
long Output_getLength();
void Output_updateResetButton();

// Callbacks of the console, its bar and its context menu.
int Output_onButton(Ihandle* view, int button, int pressed, int x, int y, char* status);
int Output_onMarginClick(Ihandle* view, int margin, int line, char* status);
int Output_onClear(Ihandle* item);
int Output_onCopy(Ihandle* item);
int Output_onSelectAll(Ihandle* item);
int Output_onZoomIn(Ihandle* item);
int Output_onZoomOut(Ihandle* item);
int Output_onZoomReset(Ihandle* item);
int Output_openInEditor(Ihandle* item);
void Output_contextMenu();
// The file name under the caret (or the selection) that the console's menu
// offers to open: adds "Open '<name>'" to the menu and returns 1 with the
// full path in out (1024 bytes).
int Output_findFileAtCaret(Ihandle* menu, Ihandle* view, char* out);
