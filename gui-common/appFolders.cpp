#include "appFolders.h"

#include <cstdlib>
#include <filesystem>

#include "kovbase.h"

bool AppFolders_make(const std::string& programFolder, const char* xdgConfigHome, const char* home,
                     const std::string& programName, AppFolders& folders)
{
    if (programFolder.empty() || programName.empty()) {
        return false;
    }
    std::string base = programFolder;
    if (base.back() != '/') {
        base += '/';
    }
    std::string configRoot;
    // The XDG rule: an absolute $XDG_CONFIG_HOME, else $HOME/.config.
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        configRoot = xdgConfigHome;
    } else if (home != nullptr && home[0] != '\0') {
        configRoot = home;
        if (configRoot.back() != '/') {
            configRoot += '/';
        }
        configRoot += ".config";
    } else {
        return false;
    }
    if (configRoot.back() != '/') {
        configRoot += '/';
    }
    folders.app = base;
    folders.bin = base;
    folders.doc = base + "doc/";
    folders.examples = base + "examples/";
    folders.config = configRoot + programName + "/";
    return true;
}

bool AppFolders_get(const std::string& programName, AppFolders& folders)
{
    char programFolder[1024];
    if (kov_getAppDirA(programFolder, sizeof programFolder) == 0) {
        return false;
    }
    if (!AppFolders_make(programFolder, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                         programName, folders)) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folders.config, error);
    return kov_dirExistsA(folders.config.c_str()) == 1;
}
