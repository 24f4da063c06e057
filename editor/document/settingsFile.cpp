// Reading and writing the settings file "kovradevice.kovr".
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "docHooks.h"
#include "kovbase.h"
#include "libkovra.h"
#include "materials.h"
#include "settings.h"

namespace {

const ConfigKey COMMON_KEYS[] = {{"DefaultMaterial", 1}, {"DefaultInput", 1}, {"DeviceColorize", 1},
                                 {"TerminalPath", 1},    {"TerminalArgs", 1}, {nullptr, 0}};
const ConfigKey RECENT_KEYS[] = {
    {"FileLastOpenEnable", 0}, {"FileLastOpen", 1}, {"FileRecent01", 1}, {"FileRecent02", 1},
    {"FileRecent03", 1},       {"FileRecent04", 1}, {"FileRecent05", 1}, {"FileRecent06", 1},
    {"FileRecent07", 1},       {"FileRecent08", 1}, {"FileRecent09", 1}, {"FileRecent10", 1},
    {"FileRecent11", 1},       {"FileRecent12", 1}, {nullptr, 0}};
// ReopenRecent belongs to the file's layout only; no value is read or written.
const ConfigKey GUI_KEYS[] = {{"WindowMainWidth", 0},
                              {"WindowMainHeight", 0},
                              {"WindowMainMaximized", 0},
                              {"ViewStatusbar", 0},
                              {"ViewActionbar", 0},
                              {"ReopenRecent", 0},
                              {nullptr, 0}};

const char* const COLORIZE_WORDS[] = {"None", "Bandgap", "Doping", "Mesh"};

struct Value {
    char text[SETTINGS_PATH_SIZE];
};

bool get(const Config* config, const char* section, const char* key, Value* out)
{
    return Config_getValue(config, section, key, out->text, sizeof out->text) != 0;
}

// "Yes"/"No" read exactly, or ignoring case.
void readSwitch(const char* text, int* field, bool ignoreCase)
{
    auto same = [&](const char* word) {
        return ignoreCase ? strcasecmp(text, word) == 0 : std::strcmp(text, word) == 0;
    };
    if (same("No")) {
        *field = 0;
    } else if (same("Yes")) {
        *field = 1;
    }
}

void readSize(const char* text, int minimum, bool width, int* field)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || value < minimum) {
        return;
    }
    int screenWidth = 0;
    int screenHeight = 0;
    if (Doc_hooks().screenSize(&screenWidth, &screenHeight) != 0) {
        const int limit = width ? screenWidth : screenHeight;
        if (value > limit) {
            return;
        }
    }
    *field = static_cast<int>(value);
}

void takeExistingFile(const char* text, char* field)
{
    if (kov_fileExistsA(text) != 0) {
        kov_copyA(field, SETTINGS_PATH_SIZE, text);
    }
}

}  // namespace

const ConfigSection SettingsSchema[] = {{1, "Common", COMMON_KEYS},
                                        {2, "Recent", RECENT_KEYS},
                                        {3, "GUI", GUI_KEYS},
                                        {-1, nullptr, nullptr}};

int Settings_readConfig(Config* config, const char* fileName, Settings* s)
{
    if (config == nullptr || fileName == nullptr || s == nullptr) {
        return 0;
    }
    Settings_setDefaults(s);
    if (Config_load(SettingsSchema, config, fileName) == 0) {
        return 0;
    }
    const int sections = Config_sectionCount(config);
    if (sections < 1 || sections > 4) {
        return 0;
    }
    Value v;
    if (get(config, "Common", "DefaultMaterial", &v) && Material_isKnown(v.text)) {
        kov_copyA(s->DefaultMaterial, sizeof s->DefaultMaterial, v.text);
    }
    if (get(config, "Common", "DefaultInput", &v)) {
        takeExistingFile(v.text, s->DefaultInput);
    }
    if (get(config, "Common", "DeviceColorize", &v)) {
        for (int i = 0; i < 4; ++i) {
            if (strcasecmp(v.text, COLORIZE_WORDS[i]) == 0) {
                s->DeviceColorize = i;
            }
        }
    }
    if (get(config, "Common", "TerminalPath", &v)) {
        takeExistingFile(v.text, s->TerminalPath);
    }
    if (get(config, "Common", "TerminalArgs", &v)) {
        kov_copyA(s->TerminalArgs, sizeof s->TerminalArgs, v.text);
    }
    int recent = 0;
    for (int i = 1; i <= SETTINGS_RECENT; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "FileRecent%02d", i);
        if (!get(config, "Recent", key, &v) || v.text[0] == '\0') {
            continue;
        }
        bool known = false;
        for (int j = 0; j < recent && !known; ++j) {
            known = strcasecmp(s->FileRecent[j], v.text) == 0;
        }
        if (!known) {
            kov_copyA(s->FileRecent[recent++], SETTINGS_PATH_SIZE - 1, v.text);
        }
    }
    if (get(config, "Recent", "FileLastOpenEnable", &v)) {
        readSwitch(v.text, &s->FileLastOpenEnable, false);
    }
    if (s->FileLastOpenEnable == 1 && get(config, "Recent", "FileLastOpen", &v)) {
        takeExistingFile(v.text, s->FileLastOpen);
    }
    if (get(config, "GUI", "WindowMainWidth", &v)) {
        readSize(v.text, 720, true, &s->WindowMainWidth);
    }
    if (get(config, "GUI", "WindowMainHeight", &v)) {
        readSize(v.text, 480, false, &s->WindowMainHeight);
    }
    if (get(config, "GUI", "WindowMainMaximized", &v)) {
        readSwitch(v.text, &s->WindowMainMaximized, true);
    }
    if (get(config, "GUI", "ViewStatusbar", &v)) {
        readSwitch(v.text, &s->ViewStatusbar, false);
    }
    if (get(config, "GUI", "ViewActionbar", &v)) {
        readSwitch(v.text, &s->ViewActionbar, false);
    }
    return 1;
}

int Settings_writeConfig(Config* config, const char* fileName, const char* alternativeFileName,
                         const Settings* s)
{
    if (config == nullptr || fileName == nullptr || s == nullptr) {
        return 0;
    }
    Config_removeAll(config);
    for (int i = 0; SettingsSchema[i].name != nullptr; ++i) {
        if (Config_addSection(config, SettingsSchema[i].name,
                              Config_sectionRecordCount(SettingsSchema, config, i)) == 0) {
            return 0;
        }
    }
    auto set = [&](const char* section, const char* key, const char* text, int kind) {
        Config_setValue(config, section, key, text, 0, kind);
    };
    auto yesNo = [](int flag) { return flag != 0 ? "Yes" : "No"; };
    set("Common", "DefaultMaterial", s->DefaultMaterial, 1);
    set("Common", "DefaultInput", s->DefaultInput, 1);
    const int colorize = s->DeviceColorize >= 0 && s->DeviceColorize <= 3 ? s->DeviceColorize : 0;
    set("Common", "DeviceColorize", COLORIZE_WORDS[colorize], 1);
    set("Common", "TerminalPath", s->TerminalPath, 1);
    set("Common", "TerminalArgs", s->TerminalArgs, 1);
    for (int i = 0; i < SETTINGS_RECENT && s->FileRecent[i][0] != '\0'; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "FileRecent%02d", i + 1);
        set("Recent", key, s->FileRecent[i], 1);
    }
    set("Recent", "FileLastOpenEnable", yesNo(s->FileLastOpenEnable), 0);
    set("Recent", "FileLastOpen", s->FileLastOpen, 1);
    char number[16];
    std::snprintf(number, sizeof number, "%d", s->WindowMainWidth);
    set("GUI", "WindowMainWidth", number, 0);
    std::snprintf(number, sizeof number, "%d", s->WindowMainHeight);
    set("GUI", "WindowMainHeight", number, 0);
    set("GUI", "WindowMainMaximized", yesNo(s->WindowMainMaximized), 0);
    set("GUI", "ViewStatusbar", yesNo(s->ViewStatusbar), 0);
    set("GUI", "ViewActionbar", yesNo(s->ViewActionbar), 0);
    return Config_save(config, fileName, alternativeFileName);
}
