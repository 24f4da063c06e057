#include "App.h"

#include <cstring>
#include <string>

#include "appFolders.h"
#include "Dialogs.h"
#include "FileNames.h"
#include "Output.h"
#include "WindowMain.h"
#include "document.h"
#include "docHooks.h"
#include "kovbase.h"
#include "kovragui.h"
#include "layer.h"
#include "libkovra.h"
#include "settings.h"
#include "kovraHandles.h"

namespace {

AppRecord* app = nullptr;

void setPath(char* buffer, const char* path)
{
    if (app == nullptr) {
        return;
    }
    if (path == nullptr) {
        std::memset(buffer, 0, APP_PATH_SIZE);
        return;
    }
    kov_copyA(buffer, APP_PATH_SIZE, path);
}

void showInfo(const char* text, int kind) { kovraShowInfo(text, 0, kind); }
void prepareMain() { WindowMain_prepare(); }
void updateTitle() { WindowMain_updateTitle(); }
void updateActionbar() { WindowMain_updateActionbar(); }
void updateSaveButton() { WindowMain_updateSaveButton(App_getDocument()); }
void fillLayerList() { WindowMain_fillLayerList(); }
void showLayer() { WindowMain_showLayer(); }
const char* appDir() { return IupGetGlobal(KOV_AppDir); }
int hasFocus(void* control) { return control != nullptr && IupGetFocus() == control; }
void showValue(void* control, const char* text)
{
    Ihandle* ih = static_cast<Ihandle*>(control);
    IupSetStrAttribute(ih, "VALUE", text);
    IupSetAttribute(ih, "CARET", "64");
}
void printColored(const char* text) { Output_printColored(text); }
void endRun(Document* document, int kill)
{
    const RunnerCalls* runner = WindowMain_runner();
    if (runner != nullptr && runner->end != nullptr) {
        runner->end(document, kill);
    }
}

void installDocumentHooks()
{
    DocHooks hooks{};
    // Every line the document library prints starts with its tag, and a
    // refused or clamped value must stand out like the engine's own errors.
    hooks.print = printColored;
    hooks.printColored = printColored;
    hooks.showInfo = showInfo;
    hooks.getDocument = App_getDocument;
    hooks.getSettings = App_getSettings;
    hooks.setDocument = App_setDocument;
    hooks.setVoltageFile = App_setVoltageFile;
    hooks.setLightFile = App_setLightFile;
    hooks.appDir = appDir;
    hooks.nextDocumentNumber = App_nextDocumentNumber;
    hooks.screenSize = getScreenSize;
    hooks.prepareMain = prepareMain;
    hooks.updateTitle = updateTitle;
    hooks.updateActionbar = updateActionbar;
    hooks.updateSaveButton = updateSaveButton;
    hooks.fillLayerList = fillLayerList;
    hooks.showLayer = showLayer;
    hooks.hasFocus = hasFocus;
    hooks.showValue = showValue;
    hooks.endRun = endRun;
    hooks.applyTrapModel = [](Layer* layer) { WindowTrap_applyModel(layer); };
    hooks.deviceReplaced = Dialogs_rebindAll;
    hooks.voltageFile = []() -> const char* { return App_getVoltageFile(); };
    hooks.lightFile = []() -> const char* { return App_getLightFile(); };
    Doc_setHooks(&hooks);
}

}  // namespace

AppRecord* App_create()
{
    if (app != nullptr) {
        return app;
    }
    app = static_cast<AppRecord*>(kov_MemoryAlloc(sizeof(AppRecord)));
    if (app == nullptr) {
        return nullptr;
    }
    std::memset(app, 0, sizeof(AppRecord));
    app->documentCounter = 1;
    installDocumentHooks();
    return app;
}

void App_free()
{
    if (app == nullptr) {
        return;
    }
    Settings_free();
    App_freeScratchLayer();
    kov_MemoryFreeT(&app);
    Doc_setHooks(nullptr);
}

Document* App_getDocument() { return app ? app->document : nullptr; }
Document* App_currentDocument() { return App_getDocument(); }
void App_setDocument(Document* document)
{
    if (app) {
        // Dialogs of a document that goes away close with it.
        if (app->document != document) {
            Dialogs_closeAll();
        }
        app->document = document;
    }
}
int App_nextDocumentNumber() { return app ? ++app->documentCounter : 0; }
int App_getDocumentNumber() { return app ? app->documentCounter : 0; }
Settings* App_getSettings() { return app ? app->settings : nullptr; }
EditorPrefs* App_getEditorPrefs() { return app ? app->editorPrefs : nullptr; }
Runner* App_getRunRecord()
{
    Document* document = App_getDocument();
    return document ? document->runner : nullptr;
}

Layer* App_getScratchLayer()
{
    if (app == nullptr) {
        return nullptr;
    }
    if (app->scratchLayer == nullptr) {
        app->scratchLayer = Layer_create();
    }
    return app->scratchLayer;
}

void App_freeScratchLayer()
{
    if (app && app->scratchLayer) {
        Layer_free(&app->scratchLayer);
        app->scratchLayer = nullptr;
    }
}

char* App_getVoltageFile() { return app ? app->voltageFile : nullptr; }
char* App_getLightFile() { return app ? app->lightFile : nullptr; }
char* App_getMeshFile() { return app ? app->meshFile : nullptr; }
char* App_getGuessFile() { return app ? app->guessFile : nullptr; }
void App_setVoltageFile(const char* path) { setPath(app ? app->voltageFile : nullptr, path); }
void App_setLightFile(const char* path) { setPath(app ? app->lightFile : nullptr, path); }
void App_setMeshFile(const char* path) { setPath(app ? app->meshFile : nullptr, path); }
void App_setGuessFile(const char* path) { setPath(app ? app->guessFile : nullptr, path); }

char* App_getEditorPath(char* buffer)
{
    const char* binDir = IupGetGlobal(KOV_BinDir);
    if (buffer == nullptr || binDir == nullptr || binDir[0] == '\0') {
        return nullptr;
    }
    std::string path = std::string(binDir) + "kovraedit";
    if (path.size() >= APP_PATH_SIZE) {
        return nullptr;
    }
    kov_copyA(buffer, APP_PATH_SIZE, path.c_str());
    return kov_fileExistsA(buffer) == 1 ? buffer : nullptr;
}

void Settings_init()
{
    if (app == nullptr) {
        return;
    }
    Settings_free();
    AppFolders folders;
    std::string configName;
    if (AppFolders_get("KovraDevice", folders)) {
        IupSetStrGlobal(KOV_AppDir, folders.app.c_str());
        IupSetStrGlobal(KOV_BinDir, folders.bin.c_str());
        IupSetStrGlobal(KOV_DocDir, folders.doc.c_str());
        IupSetStrGlobal(KOV_ExpDir, folders.examples.c_str());
        // One settings file per user: read from and written to the same place.
        configName = folders.config + "kovradevice.kovr";
        IupSetStrGlobal(KOV_ConfigFilename, configName.c_str());
        IupSetStrGlobal(KOV_ConfigFilenameLocal, configName.c_str());
        IupSetStrGlobal(KOV_HelpFilenameSimulator, (folders.doc + "kovra_simulator.pdf").c_str());
        IupSetStrGlobal(KOV_HelpFilenameLua, (folders.doc + "kovra_lua.pdf").c_str());
    }
    app->settings = static_cast<Settings*>(kov_MemoryAlloc(sizeof(Settings)));
    app->editorPrefs = static_cast<EditorPrefs*>(kov_MemoryAlloc(sizeof(EditorPrefs)));
    if (app->editorPrefs != nullptr) {
        EditorPrefs_init(app->editorPrefs, 0);
    }
    if (app->settings == nullptr || app->editorPrefs == nullptr) {
        Settings_free();
        return;
    }
    std::memset(app->settings, 0, sizeof(Settings));
    Settings_setDefaults(app->settings);
    Config* config = Config_create();
    Settings_readConfig(config, configName.c_str(), app->settings);
    Config_destroy(&config);
}

void Settings_save()
{
    if (app == nullptr || app->settings == nullptr) {
        return;
    }
    Config* config = Config_create();
    Settings_writeConfig(config, IupGetGlobal(KOV_ConfigFilename),
                         IupGetGlobal(KOV_ConfigFilenameLocal), app->settings);
    Config_destroy(&config);
}

void Settings_free()
{
    if (app == nullptr) {
        return;
    }
    kov_MemoryFreeT(&app->settings);
    kov_MemoryFreeT(&app->editorPrefs);
}

Ihandle* Iup_getHandle(const char* name) { return name ? IupGetHandle(name) : nullptr; }

int Iup_focusNamed(const char* name, int focus)
{
    if (name == nullptr || name[0] == '\0') {
        return 0;
    }
    Ihandle* ih = IupGetHandle(name);
    if (ih == nullptr) {
        return 0;
    }
    if (focus == 1) {
        IupSetFocus(ih);
    }
    return 1;
}

void Dialog_register(const char* name, Ihandle* dialog)
{
    // Open dialogs are counted, not flagged: with two open, closing one
    // keeps layer moves refused under the other.
    const bool known = name != nullptr && IupGetHandle(name) != nullptr;
    int shown = IupGetInt(nullptr, KOV_WindowInput_Shown);
    IupSetHandle(name, dialog);
    if (dialog != nullptr) {
        IupSetInt(nullptr, KOV_WindowInput_Shown, known ? shown : shown + 1);
        WindowMain_applyFields(0, 0);
    } else {
        IupSetInt(nullptr, KOV_WindowInput_Shown, known && shown > 0 ? shown - 1 : shown);
        WindowMain_restoreCaret();
    }
}

int Dialog_isShown() { return IupGetInt(nullptr, KOV_WindowInput_Shown); }

void WindowMain_restoreCaret()
{
    Ihandle* focus = IupGetFocus();
    if (focus != nullptr && focus != IupGetHandle(KOV_Output)) {
        const char* cls = IupGetClassName(focus);
        if (cls != nullptr && std::strcmp(cls, "text") == 0) {
            IupSetAttribute(focus, "CARET", "64");
        }
    }
}
