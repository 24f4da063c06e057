// KovraCalc's main window: the console with the keypad on its right, the
// menu bar, the status line, settings read at start and written at close,
// session files and help.
#pragma once

#include <string>

#include "iup.h"

// Builds the main dialog (KOV_WindowMain) and everything in it from the
// settings in configFolder (created when missing); returns it, not shown.
Ihandle* CalcWindow_build(const std::string& configFolder, const std::string& docFolder);
// Stores the window size, writes the settings and destroys the dialog (once).
void CalcWindow_close();
// The whole window mode: IUP, the dialog, the main loop. Exit status.
int CalcWindow_main(int argc, char** argv);

int CalcWindow_saveSession();
int CalcWindow_openSession();
int CalcWindow_onHelpContents();
void CalcWindow_status(const char* text);
// ACTIVE of the named control := "YES"/"NO", written only when it changes.
void Iup_setActive(const char* name, int active);
// The About dialog (KOV_WindowAbout): shown again when it is open already.
void CalcAbout_show();
