// The calculator's application record and its settings at start and close.
#include "CalcState.h"

#include <new>
#include <string>

#include "Console.h"
#include "iup.h"
#include "libkovra.h"
#include "kovraHandles.h"

namespace {

CalcState* state = nullptr;

template <typename T>
T* allocate()
{
    void* block = kov_MemoryAlloc(sizeof(T));
    return block != nullptr ? new (block) T{} : nullptr;
}

void publish(const char* name, const std::string& value) { IupSetStrGlobal(name, value.c_str()); }

}  // namespace

int CalcState_create()
{
    if (state == nullptr) {
        state = allocate<CalcState>();
    }
    return state != nullptr ? 1 : 0;
}

void CalcState_free()
{
    Settings_free();
    kov_MemoryFreeT(&state);
}

CalcSettings* App_getSettings() { return state != nullptr ? state->settings : nullptr; }

EditorPrefs* App_getEditorPrefs() { return state != nullptr ? state->prefs : nullptr; }

kov_Parser* App_getParser() { return state != nullptr ? state->parser : nullptr; }

void Settings_free()
{
    if (state == nullptr) {
        return;
    }
    kov_MemoryFreeT(&state->settings);
    kov_MemoryFreeT(&state->prefs);
    kov_ParserDelete(&state->parser);
}

void Settings_reset()
{
    if (state == nullptr) {
        return;
    }
    Settings_free();
    state->settings = allocate<CalcSettings>();
    state->prefs = allocate<EditorPrefs>();
    state->parser = kov_ParserCreate();
    if (state->settings == nullptr || state->prefs == nullptr || state->parser == nullptr) {
        Settings_free();
        return;
    }
    Settings_setDefaults(state->settings);
    EditorPrefs_init(state->prefs, 0);
    state->prefs->onChange = Console_onPrefsChanged;
    state->prefs->onApply = Console_onPrefsChanged;
}

CalcSettings* Settings_init(const AppFolders* folders)
{
    Settings_free();
    std::string settingsFile;
    if (folders != nullptr) {
        // One per-user folder holds the settings on Linux: the file and its
        // fallback are the same.
        settingsFile = folders->config + CALC_SETTINGS_FILE;
        publish(KOV_AppDir, folders->app);
        publish(KOV_BinDir, folders->bin);
        publish(KOV_DocDir, folders->doc);
        publish(KOV_ConfigFilename, settingsFile);
        publish(KOV_ConfigFilenameLocal, settingsFile);
        publish(KOV_HelpFilenameSimulator, folders->doc + "kovra_simulator.pdf");
        publish(KOV_HelpFilenameLua, folders->doc + "kovra_lua.pdf");
    } else {
        // No folders: nothing of an earlier start may be written to or shown.
        for (const char* name : {KOV_ConfigFilename, KOV_ConfigFilenameLocal,
                                 KOV_HelpFilenameSimulator, KOV_HelpFilenameLua}) {
            IupSetGlobal(name, nullptr);
        }
    }
    Settings_reset();
    Config* config = Config_create();
    Settings_readConfig(config, settingsFile.c_str(), App_getSettings(), App_getEditorPrefs(),
                        App_getParser());
    Config_destroy(&config);
    Settings_publishColors(App_getEditorPrefs());
    return App_getSettings();
}

void Settings_save()
{
    const char* fileName = IupGetGlobal(KOV_ConfigFilename);
    if (fileName == nullptr || fileName[0] == '\0') {
        return;
    }
    Config* config = Config_create();
    Settings_writeConfig(config, fileName, IupGetGlobal(KOV_ConfigFilenameLocal), App_getSettings(),
                         App_getEditorPrefs(), App_getParser());
    Config_destroy(&config);
}
