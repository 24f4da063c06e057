// KovraCalc's main window (KOV_WindowMain): the console with the keypad on
// its right, the action bar above them, the menu bar, a status line; the
// commands of the menus, keys and buttons; settings read at start and
// written at close; session files and help.
#pragma once

#include <string>

#include "iup.h"

// Builds the main dialog and everything in it, with the settings of
// configFolder (created when missing; none read or written when empty) and
// the guides of docFolder; returns it mapped, not shown.
Ihandle* WindowMain_build(const std::string& configFolder, const std::string& docFolder);
// Shows the built dialog at its stored size, prepares the console once and
// gives it the focus.
void WindowMain_show();
// The whole window mode: IUP, the dialog, the main loop. Exit status.
int WindowMain_run(int argc, char** argv);
// A line of text in the window's status line.
void WindowMain_showStatus(const char* text);

// Stores the window size, writes the settings, destroys the dialog and
// frees the application record; runs once. IUP_IGNORE.
int WindowMain_close();
// CLOSE_CB and File > Exit: WindowMain_close.
int WindowMain_onClose(Ihandle* dialog);
// "KovraCalc - " and the parser's info text.
void WindowMain_updateTitle();

// File > Save and File > Open; 1 when a session was written or replayed.
int WindowMain_saveSession();
int WindowMain_openSession();
// Edit, Run, View and Options commands of the menus, keys and buttons.
int WindowMain_onEditCut(Ihandle* ih);
int WindowMain_onEditCopy(Ihandle* ih);
int WindowMain_onEditPaste(Ihandle* ih);
int WindowMain_onEditReset(Ihandle* ih);
int WindowMain_onRun(Ihandle* ih);
int WindowMain_onZoomIn(Ihandle* ih);
int WindowMain_onZoomOut(Ihandle* ih);
int WindowMain_onZoomNormal(Ihandle* ih);
int WindowMain_onViewNumpad(Ihandle* ih);
int WindowMain_onViewTop(Ihandle* ih);
int WindowMain_onOptionsColors(Ihandle* ih);
int WindowMain_onOptionsSyntax(Ihandle* ih);
// Help > Contents: the Lua guide in the desktop's PDF viewer; a missing
// guide or viewer is said in the status line. 1 when the viewer started.
int WindowMain_onHelpContents();
