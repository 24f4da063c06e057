// The editor's settings record, its defaults and the settings file
// "kovradevice.kovr".
#pragma once

constexpr int SETTINGS_RECENT = 12;
constexpr int SETTINGS_PATH_SIZE = 1024;

enum DeviceColorize {
    COLORIZE_NONE = 0,
    COLORIZE_BANDGAP = 1,
    COLORIZE_DOPING = 2,
    COLORIZE_MESH = 3
};

struct Settings {
    int WindowMainWidth;
    int WindowMainHeight;
    int WindowMainMaximized;
    int ViewStatusbar;
    int ViewActionbar;
    char FileRecent[SETTINGS_RECENT][SETTINGS_PATH_SIZE];
    char FileLastOpen[SETTINGS_PATH_SIZE];
    int FileLastOpenEnable;
    char DefaultMaterial[16];
    char DefaultInput[SETTINGS_PATH_SIZE];
    char TerminalPath[SETTINGS_PATH_SIZE];
    char TerminalArgs[SETTINGS_PATH_SIZE];
    int DeviceColorize;
};

struct Config;
struct ConfigSection;

// Sections and keys of "kovradevice.kovr".
extern const ConfigSection SettingsSchema[];

void Settings_setDefaults(Settings* settings);
// 1 when the file was loaded; the record always ends with at least its
// defaults, each value that fails its check keeping the default.
int Settings_readConfig(Config* config, const char* fileName, Settings* settings);
// The result of Config_save; 0 for missing arguments (nothing written).
int Settings_writeConfig(Config* config, const char* fileName, const char* alternativeFileName,
                         const Settings* settings);
