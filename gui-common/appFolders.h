// A GUI program's folders (the editor's and the calculator's): programs and
// the engine library in the program's own folder (bin/), data below it
// (bin/etc/), the guides in bin/doc/ and the example device files in
// bin/examples/, as the build lays them out; the per-user settings folder
// after the XDG rule ($XDG_CONFIG_HOME, else ~/.config) with the program's
// own subfolder. Every folder ends in '/'.
#pragma once

#include <string>

struct AppFolders {
    std::string app;  // the running program's folder
    std::string bin;  // programs: the same folder
    std::string doc;  // guides (PDF)
    std::string examples;
    std::string config;  // per-user settings folder, created when missing
};

// Fills the folders for a program folder (with its trailing '/'); false when
// programFolder is empty or no settings folder can be named (no
// XDG_CONFIG_HOME and no HOME).
bool AppFolders_make(const std::string& programFolder, const char* xdgConfigHome, const char* home,
                     const std::string& programName, AppFolders& folders);

// The folders of the running program (kov_getAppDirA, so KOVRA_APPDIR
// overrides the program folder), creating the settings folder.
bool AppFolders_get(const std::string& programName, AppFolders& folders);
