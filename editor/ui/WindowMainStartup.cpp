// Start-up of the device editor up to the shown main window, the orderly
// close (refused while a run lives or when the user keeps unsaved changes)
// and the shutdown that writes the settings back.
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

#include "App.h"
#include "guiCommon.h"
#include "DeviceCanvas.h"
#include "Output.h"
#include "WindowMain.h"
#include "WindowRunner.h"
#include "document.h"
#include "kovbase.h"
#include "kovragui.h"
#include "settings.h"
#include "Dialogs.h"
#include "kovraHandles.h"

namespace {

const char* const dialogNames[] = {
    KOV_WindowContact,  KOV_WindowDoping,   KOV_WindowIndex,    KOV_WindowLattice,
    KOV_WindowLight,    KOV_WindowMaterial, KOV_WindowMobility, KOV_WindowNumeric,
    KOV_WindowParam,    KOV_WindowTrap,     KOV_WindowUrbach,   KOV_WindowTemperature,
    KOV_WindowVariable, KOV_WindowVoltage,  KOV_WindowAbout,    KOV_WindowColor};

// The command-line file is kept for the window shown later; a single
// argument that names no file is kept to say so once the window shows.
std::string commandLineFile;
std::string missingCommandLineFile;

}  // namespace

int WindowMain_prepare()
{
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    if (dialog == nullptr) {
        return -3;
    }
    int width = 0, height = 0;
    if (IupGetIntInt(dialog, "CHARSIZE", &width, &height) < 1 || width < 3 || width > 48) {
        width = 6;
    }
    IupSetInt(nullptr, KOV_WindowMain_CharSize, width);
    if (App_getSettings() == nullptr) {
        return -3;
    }
    Document* document = Document_create(nullptr, TemplateTable, 0);
    if (document == nullptr || document->device == nullptr) {
        return -3;
    }
    Document_setModified(document, 0);
    return IUP_DEFAULT;
}

int WindowMain_onShown()
{
    Settings* settings = App_getSettings();
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    const char* argvFile = dialog ? IupGetAttribute(dialog, KOV_argvFilename) : nullptr;
    if (argvFile != nullptr && kov_fileExistsA(argvFile) == 1) {
        std::string file = argvFile;
        Document_open(file.c_str(), 0, 1);
    } else if (settings != nullptr && kov_fileExistsA(settings->DefaultInput) == 1) {
        Document_open(settings->DefaultInput, 0, 0);
    } else if (settings != nullptr && settings->FileLastOpenEnable == 1 &&
               kov_fileExistsA(settings->FileLastOpen) == 1) {
        Document_open(settings->FileLastOpen, 0, 0);
    }
    if (Iup_focusNamed(KOV_WindowMain_Doping, 1)) {
        IupSetAttribute(IupGetHandle(KOV_WindowMain_Doping), "CARET", "64");
    }
    if (settings != nullptr && settings->WindowMainMaximized == 1 && dialog != nullptr) {
        IupSetAttribute(dialog, "PLACEMENT", "MAXIMIZED");
        IupShow(dialog);
    }
    WindowMain_updateVoltageControls();
    Output_setup();
    WindowMain_updateActionbar();
    if (Document* document = App_getDocument()) {
        Document_refreshViews(document);
        Document_setModified(document, 0);
    }
    return IUP_DEFAULT;
}

int WindowMain_close()
{
    Iup_destroyNamed(KOV_WindowMain_Menu);
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    if (dialog == nullptr) {
        return IUP_IGNORE;
    }
    IupSetInt(nullptr, KOV_WindowMainClosing, 1);
    if (!Document_canClose("Cannot close document while simulation is running...",
                           "Device modified. Close anyway?", "KovraDevice")) {
        IupSetInt(nullptr, KOV_WindowMainClosing, 0);
        return IUP_IGNORE;
    }
    if (Settings* settings = App_getSettings()) {
        int width = 0, height = 0;
        if (IupGetIntInt(dialog, "RASTERSIZE", &width, &height) == 2 && width > 0 && height > 0) {
            settings->WindowMainWidth = width;
            settings->WindowMainHeight = height;
        }
        const char* maximized = IupGetAttribute(dialog, "MAXIMIZED");
        settings->WindowMainMaximized =
            maximized != nullptr && strcasecmp(maximized, "YES") == 0 ? 1 : 0;
        Document* document = App_getDocument();
        if (settings->FileLastOpenEnable == 1 && document != nullptr &&
            Document_fileExists(document)) {
            kov_copyA(settings->FileLastOpen, sizeof settings->FileLastOpen, document->filename);
        }
    }
    for (const char* name : dialogNames) {
        if (Ihandle* open = IupGetHandle(name)) {
            IupDestroy(open);
            Dialog_register(name, nullptr);
        }
    }
    // The dialog goes, and its names with it.
    IupSetHandle(KOV_WindowMain, nullptr);
    IupDestroy(dialog);
    IupExitLoop();
    return IUP_IGNORE;
}

int WindowMain_onClose(Ihandle*) { return WindowMain_close(); }

void WindowMain_shutdown()
{
    if (Document* document = App_getDocument()) {
        Document_free(document);
    }
    Settings_save();
    Settings_free();
    IupClose();
    Images_destroy();
    App_free();
}

int WindowMain_start(int argc, char** argv)
{
    commandLineFile.clear();
    missingCommandLineFile.clear();
    if (argc == 2 && argv[1] != nullptr && kov_fileExistsA(argv[1]) == 1) {
        commandLineFile = argv[1];
    } else if (argc == 2 && argv[1] != nullptr && argv[1][0] != '\0') {
        missingCommandLineFile = argv[1];
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (App_create() == nullptr) {
        return 1;
    }
    if (IupOpen(&argc, &argv) == IUP_ERROR) {
        App_free();
        return 1;
    }
    IupSetHandle(KOV_WindowMain, nullptr);
    IupSetInt(nullptr, KOV_WindowMainClosing, 0);
    IupSetInt(nullptr, KOV_WindowMainFileOpening, 0);
    IupSetInt(nullptr, KOV_WindowContact_Selected, 1);
    IupSetInt(nullptr, KOV_WindowInput_Shown, 0);
    Images_load();
    Dialogs_install();
    WindowRunner_install();
    IupSetGlobal("UTF8MODE", "Yes");
    IupScintillaOpen();
    Settings_init();
    Settings* settings = App_getSettings();
    Ihandle* dialog = WindowMain_create(settings ? settings->WindowMainWidth : 1024,
                                        settings ? settings->WindowMainHeight : 768);
    IupSetStrAttribute(dialog, KOV_argvFilename,
                       commandLineFile.empty() ? nullptr : commandLineFile.c_str());
    if (WindowMain_prepare() == -3 || IupMap(dialog) == IUP_ERROR) {
        return -1;
    }
    WindowMain_createActionbar();
    if (settings != nullptr && settings->ViewStatusbar != 0) {
        WindowMain_createStatusbar();
    }
    Ihandle* menu = IupMenu(nullptr);
    WindowMain_createMenubar(menu, KOV_WindowMain_Menubar);
    IupSetAttributeHandle(dialog, "MENU", menu);
    IupRefresh(dialog);
    IupShow(dialog);
    WindowMain_onShown();
    Iup_focusNamed(KOV_DeviceName, 1);
    if (!missingCommandLineFile.empty()) {
        std::string text = "Cannot open '" + missingCommandLineFile + "': no such file";
        kovraShowInfo(text.c_str(), 0, 1);
    }
    return 0;
}
