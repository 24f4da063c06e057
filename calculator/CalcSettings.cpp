// The settings file of KovraCalc: schema, window settings and history.
#include "CalcSettings.h"

#include "textPrefs.h"

#include <cstdio>
#include <cstring>

#include "CalcFiles.h"
#include "kovraHandles.h"

namespace {

const ConfigKey COMMON_KEYS[] = {{"ViewNumpad", 1}, {"WindowSize", 1}, {nullptr, 0}};

// All 32 history entries: the parser keeps 32 lines, and every line
// written must be read back.
const ConfigKey HISTORY_KEYS[] = {
    {"Expression01", 1}, {"Expression02", 1}, {"Expression03", 1}, {"Expression04", 1},
    {"Expression05", 1}, {"Expression06", 1}, {"Expression07", 1}, {"Expression08", 1},
    {"Expression09", 1}, {"Expression10", 1}, {"Expression11", 1}, {"Expression12", 1},
    {"Expression13", 1}, {"Expression14", 1}, {"Expression15", 1}, {"Expression16", 1},
    {"Expression17", 1}, {"Expression18", 1}, {"Expression19", 1}, {"Expression20", 1},
    {"Expression21", 1}, {"Expression22", 1}, {"Expression23", 1}, {"Expression24", 1},
    {"Expression25", 1}, {"Expression26", 1}, {"Expression27", 1}, {"Expression28", 1},
    {"Expression29", 1}, {"Expression30", 1}, {"Expression31", 1}, {"Expression32", 1},
    {nullptr, 0}};

void historyKey(int n, char* key, size_t size) { std::snprintf(key, size, "Expression%02d", n); }

}  // namespace

const ConfigSection SettingsSchema[] = {
    {-1, "Common", COMMON_KEYS},
    {-1, "History", HISTORY_KEYS},
    {-1, "EditorCommon", TEXT_PREFS_COMMON_KEYS},
    {0, "EditorDefault", TEXT_PREFS_STYLE_KEYS},
    {5, "EditorKeyword", TEXT_PREFS_STYLE_KEYS},
    {4, "EditorNumber", TEXT_PREFS_STYLE_KEYS},
    {6, "EditorString", TEXT_PREFS_STYLE_KEYS},
    {1, "EditorComment", TEXT_PREFS_STYLE_KEYS},
    {9, "EditorPreprocessor", TEXT_PREFS_STYLE_KEYS},
    {11, "EditorIdentifier", TEXT_PREFS_STYLE_KEYS},
    {16, "EditorLib", TEXT_PREFS_STYLE_KEYS},
    {20, "EditorLineNumber", TEXT_PREFS_STYLE_KEYS},
    {22, "EditorSelection", TEXT_PREFS_STYLE_KEYS},
    {23, "EditorWhitespace", TEXT_PREFS_STYLE_KEYS},
    {-1, nullptr, nullptr},
};

void Settings_setDefaults(CalcSettings* settings)
{
    if (settings == nullptr) {
        return;
    }
    settings->viewNumpad = 1;
    settings->alwaysOnTop = 0;
    kov_copyA(settings->windowSize, sizeof settings->windowSize, "480x340");
}

int CalcSettings_readCommon(const Config* config, CalcSettings* settings, kov_Parser* parser)
{
    if (config == nullptr || settings == nullptr || parser == nullptr) {
        return 0;
    }
    char value[256];
    if (Config_getValue(config, "Common", "ViewNumpad", value, sizeof value)) {
        settings->viewNumpad = std::strcmp(value, "No") == 0 ? 0 : 1;
    }
    if (Config_getValue(config, "Common", "WindowSize", value, sizeof value)) {
        int width = 0, height = 0;
        char rest = 0;
        if (std::sscanf(value, "%dx%d%c", &width, &height, &rest) == 2 && width >= CALC_MIN_WIDTH &&
            width <= CALC_MAX_SIZE && height >= CALC_MIN_HEIGHT && height <= CALC_MAX_SIZE) {
            std::snprintf(settings->windowSize, sizeof settings->windowSize, "%dx%d", width,
                          height);
        }
    }
    parser->count = 0;
    parser->current = 0;
    for (int n = 1; n <= KOV_PARSER_HISTORY; ++n) {
        char key[16];
        historyKey(n, key, sizeof key);
        if (Config_getValue(config, "History", key, value, sizeof value) && value[0] != '\0') {
            kov_copyA(parser->history[parser->count], KOV_PARSER_LINE, value);
            parser->current = parser->count;
            ++parser->count;
        }
    }
    return 1;
}

int CalcSettings_writeCommon(Config* config, const CalcSettings* settings, const kov_Parser* parser)
{
    if (config == nullptr || settings == nullptr) {
        return 0;
    }
    Config_removeAll(config);
    for (int i = 0; SettingsSchema[i].name != nullptr; ++i) {
        if (!Config_addSection(config, SettingsSchema[i].name,
                               Config_sectionRecordCount(SettingsSchema, config, i))) {
            return 0;
        }
    }
    Config_setValue(config, "Common", "ViewNumpad", settings->viewNumpad ? "Yes" : "No", 0, 1);
    Config_setValue(config, "Common", "WindowSize", settings->windowSize, 0, 1);
    if (parser != nullptr) {
        for (int i = 0; i < parser->count && i < KOV_PARSER_HISTORY; ++i) {
            char key[16];
            historyKey(i + 1, key, sizeof key);
            Config_setValue(config, "History", key, parser->history[i], 0, 1);
        }
    }
    return 1;
}

int Settings_readConfig(Config* config, const char* fileName, CalcSettings* settings,
                        EditorPrefs* prefs, kov_Parser* parser)
{
    if (config == nullptr || fileName == nullptr || settings == nullptr || prefs == nullptr ||
        parser == nullptr) {
        return 0;
    }
    Settings_setDefaults(settings);
    // A FIFO or a device in the settings file's place would hold the window
    // back until something wrote to it: only a regular file is read.
    if (!CalcFile_refusal(fileName).empty() || !Config_load(SettingsSchema, config, fileName)) {
        return 0;
    }
    const int sections = Config_sectionCount(config);
    if (sections < 1 || sections > 16) {
        return 0;
    }
    CalcSettings_readCommon(config, settings, parser);
    return TextPrefs_read(config, prefs);
}

int Settings_writeConfig(Config* config, const char* fileName, const char* alternativeFileName,
                         const CalcSettings* settings, const EditorPrefs* prefs,
                         const kov_Parser* parser)
{
    if (config == nullptr || fileName == nullptr || settings == nullptr) {
        return 0;
    }
    // Only a regular file (or none yet) is written: writing into a FIFO
    // would wait for a reader at close.
    const auto usable = [](const char* name) {
        return name != nullptr && CalcFile_refusal(name).empty() ? name : nullptr;
    };
    fileName = usable(fileName);
    alternativeFileName = usable(alternativeFileName);
    if (fileName == nullptr && alternativeFileName == nullptr) {
        return 0;
    }
    if (!CalcSettings_writeCommon(config, settings, parser)) {
        return 0;
    }
    if (prefs != nullptr) {
        TextPrefs_write(config, prefs);
    }
    return Config_save(config, fileName, alternativeFileName);
}

int Settings_publishColors(const EditorPrefs* prefs)
{
    if (prefs == nullptr) {
        return 0;
    }
    const EditorStyle* st = prefs->styles;
    // The separator stands out from the line-number background: lighter on
    // a dark text background, darker on a light one.
    const int separatorShift = (st[0].back & 0xFF) < 193 ? 48 : -48;
    const struct {
        const char* name;
        long colour;
    } colours[] = {
        {KOV_ColorSelection, st[22].back},
        {KOV_ColorSelectionMotion, normalizeColor(st[22].back, 10, 10, 10)},
        {KOV_ColorDefault, st[0].fore},
        {KOV_ColorBack, st[0].back},
        {KOV_ColorSeparator,
         normalizeColor(st[20].back, separatorShift, separatorShift, separatorShift)},
    };
    for (const auto& c : colours) {
        char rgb[32];
        TextPrefs_rgb(c.colour, rgb, sizeof rgb);
        IupSetStrGlobal(c.name, rgb);
    }
    return 1;
}
