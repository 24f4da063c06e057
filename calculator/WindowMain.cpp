// The calculator's main window: built, shown, closed.
#include "WindowMain.h"

#include <sys/stat.h>

#include <cstring>

#include "appFolders.h"
#include "Actionbar.h"
#include "Console.h"
#include "CalcLexer.h"
#include "Functions.h"
#include "Numpad.h"
#include "WindowAbout.h"
#include "CalcState.h"
#include "guiCommon.h"
#include "kovragui.h"
#include "libkovra.h"
#include "kovraHandles.h"

namespace {

bool closed = true;  // no window yet, or closed already

// The keys act on the console only while it has the focus; otherwise the
// focused control keeps its own key.
bool consoleFocused()
{
    Ihandle* console = Console_get();
    return console != nullptr && IupGetFocus() == console;
}
int keyCopy(Ihandle* ih) { return consoleFocused() ? WindowMain_onEditCopy(ih) : IUP_CONTINUE; }
int keyCut(Ihandle* ih) { return consoleFocused() ? WindowMain_onEditCut(ih) : IUP_CONTINUE; }
int keyPaste(Ihandle* ih) { return consoleFocused() ? WindowMain_onEditPaste(ih) : IUP_CONTINUE; }
int keyZoomIn(Ihandle* ih) { return consoleFocused() ? WindowMain_onZoomIn(ih) : IUP_CONTINUE; }
int keyZoomOut(Ihandle* ih) { return consoleFocused() ? WindowMain_onZoomOut(ih) : IUP_CONTINUE; }
int keyZoomNormal(Ihandle* ih)
{
    return consoleFocused() ? WindowMain_onZoomNormal(ih) : IUP_CONTINUE;
}

int onOpen(Ihandle*)
{
    WindowMain_openSession();
    return IUP_DEFAULT;
}
int onSave(Ihandle*)
{
    WindowMain_saveSession();
    return IUP_DEFAULT;
}
int onHelp(Ihandle*)
{
    WindowMain_onHelpContents();
    return IUP_DEFAULT;
}
int onAbout(Ihandle*)
{
    WindowAbout_show();
    return IUP_DEFAULT;
}
int onCheckUpdate(Ihandle* item) { return WindowMain_checkUpdate(item, "KovraCalc"); }

int onFileMenuOpen(Ihandle*)
{
    const kov_Parser* parser = App_getParser();
    if (parser != nullptr && !parser->busy) {
        Iup_setActive(KOV_FileSave, parser->count >= 1 ? 1 : 0);
    }
    return IUP_DEFAULT;
}
int onEditMenuOpen(Ihandle*)
{
    Ihandle* console = Console_get();
    Iup_setActive(KOV_EditCut, Console_hasSelection(console) && Console_caretOnLastLine(console));
    Iup_setActive(KOV_EditCopy, Console_hasSelection(console));
    Iup_setActive(KOV_EditPaste, Console_canPaste(console));
    return IUP_DEFAULT;
}
int onViewMenuOpen(Ihandle*)
{
    const CalcSettings* settings = App_getSettings();
    if (Ihandle* item = IupGetHandle(KOV_ViewNumpad)) {
        IupSetAttribute(item, "VALUE",
                        settings != nullptr && settings->viewNumpad == 1 ? "ON" : "OFF");
    }
    if (Ihandle* item = IupGetHandle(KOV_ViewTop)) {
        IupSetAttribute(item, "VALUE",
                        settings != nullptr && settings->alwaysOnTop == 1 ? "ON" : "OFF");
    }
    return IUP_DEFAULT;
}
int onRunMenuOpen(Ihandle*)
{
    const kov_Parser* parser = App_getParser();
    Iup_setActive(KOV_RunRun, parser != nullptr && !parser->busy);
    return IUP_DEFAULT;
}
int onOptionsMenuOpen(Ihandle*)
{
    const EditorPrefs* prefs = App_getEditorPrefs();
    if (Ihandle* item = IupGetHandle(KOV_OptionsHighlight)) {
        IupSetAttribute(item, "VALUE", prefs != nullptr && prefs->syntaxEnabled ? "ON" : "OFF");
    }
    return IUP_DEFAULT;
}

Ihandle* item(const char* title, const char* handle, Icallback action)
{
    Ihandle* i = IupItem(title, nullptr);
    if (handle != nullptr) {
        IupSetHandle(handle, i);
    }
    IupSetCallback(i, "ACTION", action);
    return i;
}

Ihandle* submenu(const char* title, Ihandle* menu, Icallback onOpen)
{
    if (onOpen != nullptr) {
        IupSetCallback(menu, "OPEN_CB", onOpen);
    }
    return IupSubmenu(title, menu);
}

Ihandle* buildMenubar()
{
    Ihandle* file = IupMenu(item("&Open\tCtrl+O", KOV_FileOpen, onOpen),
                            item("&Save\tCtrl+S", KOV_FileSave, onSave), IupSeparator(),
                            item("E&xit\tAlt+F4", nullptr, WindowMain_onClose), nullptr);
    Ihandle* edit =
        IupMenu(item("C&ut\tCtrl+X", KOV_EditCut, WindowMain_onEditCut),
                item("&Copy\tCtrl+C", KOV_EditCopy, WindowMain_onEditCopy),
                item("&Paste\tCtrl+V", KOV_EditPaste, WindowMain_onEditPaste), IupSeparator(),
                item("Reset", KOV_EditReset, WindowMain_onEditReset), nullptr);
    Ihandle* view =
        IupMenu(item("Numeric Keypad", KOV_ViewNumpad, WindowMain_onViewNumpad),
                item("Always on Top", KOV_ViewTop, WindowMain_onViewTop), IupSeparator(),
                item("Zoom In", KOV_ViewZoomIn, WindowMain_onZoomIn),
                item("Zoom Out", KOV_ViewZoomOut, WindowMain_onZoomOut),
                item("Zoom Normal", KOV_ViewZoomNormal, WindowMain_onZoomNormal), nullptr);
    Ihandle* run = IupMenu(item("&Calculate\tF12", KOV_RunRun, WindowMain_onRun), nullptr);
    Ihandle* options = IupMenu(
        item("&Colors and Font...", KOV_OptionsColors, WindowMain_onOptionsColors), IupSeparator(),
        item("&Syntax Highlighting", KOV_OptionsHighlight, WindowMain_onOptionsSyntax), nullptr);
    Ihandle* help = IupMenu(item("&Contents (PDF)\tF1", nullptr, onHelp), IupSeparator(),
                            item("&Check for Update...", nullptr, onCheckUpdate), IupSeparator(),
                            item("&About...", nullptr, onAbout), nullptr);
    Ihandle* bar = IupMenu(
        submenu("&File", file, onFileMenuOpen), submenu("&Edit", edit, onEditMenuOpen),
        submenu("&View", view, onViewMenuOpen),
        submenu("&Functions", Functions_createMainMenu(), nullptr),
        submenu("&Run", run, onRunMenuOpen), submenu("&Options", options, onOptionsMenuOpen),
        submenu("&Help", help, nullptr), nullptr);
    IupSetHandle(KOV_WindowMain_Menubar, bar);
    return bar;
}

void bindKeys(Ihandle* dialog)
{
    IupSetCallback(dialog, "K_mF4", WindowMain_onClose);
    IupSetCallback(dialog, "K_F1", onHelp);
    IupSetCallback(dialog, "K_mF1", onAbout);
    IupSetCallback(dialog, "K_cC", keyCopy);
    IupSetCallback(dialog, "K_cV", keyPaste);
    IupSetCallback(dialog, "K_cX", keyCut);
    IupSetCallback(dialog, "K_cPlus", keyZoomIn);
    IupSetCallback(dialog, "K_cMinus", keyZoomOut);
    IupSetCallback(dialog, "K_c0", keyZoomNormal);
}

}  // namespace

Ihandle* WindowMain_build(const std::string& configFolder, const std::string& docFolder)
{
    WindowMain_close();  // a window built before is saved and gone first
    if (!CalcState_create()) {
        return nullptr;
    }
    closed = false;
    IupSetHandle(KOV_WindowMain, nullptr);
    IupSetInt(nullptr, KOV_WindowMainClosing, 0);
    IupSetInt(nullptr, KOV_WindowMainFileOpening, 0);
    IupSetInt(nullptr, KOV_WindowPopupShown, 0);
    CalcLexer_register();
    Images_load();  // the action bar's pictures and the window icon
    IupSetGlobal("UTF8MODE", "Yes");
    if (!configFolder.empty()) {
        ::mkdir(configFolder.c_str(), 0755);
        AppFolders folders;
        folders.config = configFolder;
        folders.doc = docFolder;
        char programFolder[1024] = "";
        kov_getAppDirA(programFolder, sizeof programFolder);
        folders.app = folders.bin = programFolder;
        Settings_init(&folders);
    } else {
        Settings_init(nullptr);
    }
    CalcSettings* settings = App_getSettings();

    Ihandle* console = Console_create();
    Ihandle* box = IupHbox(console, nullptr);
    IupSetAttributes(box, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=0");
    IupSetHandle(KOV_WindowMainBox, box);
    // The status line says what a command could not do (a session file
    // that cannot be written, a missing PDF viewer).
    Ihandle* status = IupLabel("");
    IupSetAttributes(status, "EXPAND=HORIZONTAL, PADDING=4x2");
    IupSetHandle(KOV_WindowMain_Status, status);
    Ihandle* vbox = IupVbox(box, status, nullptr);
    IupSetAttributes(vbox, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=0x2, GAP=0");
    IupSetHandle(KOV_WindowMainVBox, vbox);
    Ihandle* dialog = IupDialog(vbox);
    IupSetStrAttribute(dialog, "RASTERSIZE",
                       settings != nullptr ? settings->windowSize : "480x340");
    IupSetAttributes(dialog,
                     "ALIGNMENT=CENTER, MARGIN=0x0, GAP=0, LAYOUTDRAG=NO, EXPAND=YES, SHRINK=YES, "
                     "RESIZE=YES, MAXBOX=YES, TITLE=KovraCalc, MINSIZE=362x302");
    IupSetHandle(KOV_WindowMain, dialog);
    if (const char* icon = Images_getName(181)) {
        IupSetStrAttribute(dialog, "ICON", icon);
    }
    IupSetCallback(dialog, "CLOSE_CB", WindowMain_onClose);
    bindKeys(dialog);
    if (IupMap(dialog) == IUP_ERROR) {
        return nullptr;
    }
    Actionbar_create();
    Numpad_create();
    IupSetAttribute(dialog, "DEFAULTENTER", "Numpad_Btn_Run");
    IupSetAttributeHandle(dialog, "MENU", buildMenubar());
    // The stored size is the whole window's, menu bar included.
    if (settings != nullptr) {
        IupSetStrAttribute(dialog, "RASTERSIZE", settings->windowSize);
    }
    IupRefresh(dialog);
    return dialog;
}

void WindowMain_show()
{
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    if (dialog == nullptr) {
        return;
    }
    IupShow(dialog);
    if (const CalcSettings* settings = App_getSettings()) {
        IupSetStrAttribute(dialog, "RASTERSIZE", settings->windowSize);
    }
    Console_prepare();
    IupSetFocus(Console_get());
}

int WindowMain_close()
{
    if (closed) {
        return IUP_IGNORE;
    }
    closed = true;
    Iup_destroyNamed(KOV_WindowMain_Menu);
    Iup_destroyNamed(KOV_WindowAbout);
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    if (dialog != nullptr) {
        IupSetInt(nullptr, KOV_WindowMainClosing, 1);
        CalcSettings* settings = App_getSettings();
        const char* size = IupGetAttribute(dialog, "RASTERSIZE");
        if (settings != nullptr && size != nullptr) {
            kov_copyA(settings->windowSize, sizeof settings->windowSize, size);
        }
        for (const char* name : {KOV_WindowMain, KOV_Console, KOV_Numpad, KOV_Actionbar,
                                 KOV_WindowMainBox, KOV_WindowMainVBox, KOV_WindowMain_Menubar}) {
            IupSetHandle(name, nullptr);
        }
        IupHide(dialog);
        IupDestroy(dialog);
    }
    Settings_save();
    CalcState_free();
    return IUP_IGNORE;
}

int WindowMain_onClose(Ihandle*)
{
    WindowMain_close();
    return IUP_IGNORE;
}

int WindowMain_run(int argc, char** argv)
{
    if (IupOpen(&argc, &argv) == IUP_ERROR) {
        return 1;
    }
    IupScintillaOpen();
    // Without a settings folder the calculator still runs: it neither reads
    // nor writes settings then.
    AppFolders folders;
    const bool found = AppFolders_get("KovraCalc", folders);
    Ihandle* dialog = WindowMain_build(found ? folders.config : std::string(),
                                       found ? folders.doc : std::string());
    if (dialog == nullptr) {
        WindowMain_close();
        Images_destroy();
        IupClose();
        return 1;  // a window that cannot be built is a failure
    }
    WindowMain_show();
    IupMainLoop();
    WindowMain_close();
    Images_destroy();
    IupClose();
    return 0;
}
