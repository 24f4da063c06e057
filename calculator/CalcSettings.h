// KovraCalc's settings file "kovracalc.kovr": the schema of its sections,
// the window settings and the expression history. (The console's colours
// and fonts, sections "EditorCommon" to "EditorWhitespace", belong to the
// text-view preferences and are read and written beside these.)
#pragma once

#include "kovbase.h"
#include "kovParser.h"
#include "kovragui.h"
#include "libkovra.h"

constexpr const char* CALC_SETTINGS_FILE = "kovracalc.kovr";
constexpr const char* CALC_PROGRAM_NAME = "KovraCalc";

struct CalcSettings {
    int viewNumpad;       // 1: the keypad is shown
    int alwaysOnTop;      // not stored
    char windowSize[16];  // the main dialog's RASTERSIZE, "480x340"
};

// The sections in file order, ended by a record with no name; the id is the
// text-view style slot a section fills (-1 for the others).
extern const ConfigSection SettingsSchema[];
// Schema indexes of the sections this file's own code reads and writes.
enum CalcSettingsSection {
    CALC_SECTION_COMMON = 0,
    CALC_SECTION_HISTORY = 1,
    CALC_SECTION_FIRST_STYLE = 3
};

// Window sizes taken from the file: narrower or lower ones would clip the
// keypad, larger ones come from a broken file.
constexpr int CALC_MIN_WIDTH = 362;
constexpr int CALC_MIN_HEIGHT = 302;
constexpr int CALC_MAX_SIZE = 2400;

// viewNumpad 1, alwaysOnTop 0, windowSize "480x340".
void Settings_setDefaults(CalcSettings* settings);

// Reads the window settings and the history (all 32 entries) from a loaded
// configuration: "ViewNumpad" other than exactly "No" shows the keypad; a
// "WindowSize" is taken within 362..2400 by 302..2400; the history becomes
// the parser's, with current on its last entry. 1 when read.
int CalcSettings_readCommon(const Config* config, CalcSettings* settings, kov_Parser* parser);

// Adds every section of the schema (0 when one cannot be added: nothing is
// to be saved then), then writes the window settings and the history.
int CalcSettings_writeCommon(Config* config, const CalcSettings* settings,
                             const kov_Parser* parser);

// The whole file: the defaults first, then, when the file loads with 1..16
// sections, the window settings, the history and the console's colours and
// fonts. 1 when read, 0 otherwise (a missing file is no error: the defaults
// stay).
int Settings_readConfig(Config* config, const char* fileName, CalcSettings* settings,
                        EditorPrefs* prefs, kov_Parser* parser);
// Writes everything to fileName (alternativeFileName when that cannot be
// written); the result of Config_save, 0 when a section cannot be added.
int Settings_writeConfig(Config* config, const char* fileName, const char* alternativeFileName,
                         const CalcSettings* settings, const EditorPrefs* prefs,
                         const kov_Parser* parser);
// Publishes the five colours the GUI library draws lists and separators
// with (KOV_ColorSelection, KOV_ColorSelectionMotion, KOV_ColorDefault,
// KOV_ColorBack, KOV_ColorSeparator, each "r g b"). 0 without prefs.
int Settings_publishColors(const EditorPrefs* prefs);
