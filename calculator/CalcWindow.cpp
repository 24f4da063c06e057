// The calculator's main window.
#include "CalcWindow.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AppFolders.h"
#include "CalcConsole.h"
#include "CalcLexer.h"
#include "CalcSession.h"
#include "CalcSettings.h"
#include "TextPrefs.h"
#include "guiCommon.h"
#include "kovragui.h"
#include "kovbase.h"
#include "libkovra.h"

namespace {

struct WindowState {
    CalcSettings settings {};
    EditorPrefs prefs {};
    kov_Parser* parser = nullptr;
    std::string settingsFile;
    std::string helpFile;
    bool closed = false;
};

WindowState* state = nullptr;

struct Key {
    const char* value;
    const char* handle;
};

const Key NUMPAD_KEYS[] = {
    {"7", "Numpad_Btn_7"}, {"8", "Numpad_Btn_8"},  {"9", "Numpad_Btn_9"},   {"/", "Numpad_Btn_Div"},
    {"4", "Numpad_Btn_4"}, {"5", "Numpad_Btn_5"},  {"6", "Numpad_Btn_6"},   {"*", "Numpad_Btn_Mult"},
    {"1", "Numpad_Btn_1"}, {"2", "Numpad_Btn_2"},  {"3", "Numpad_Btn_3"},   {"-", "Numpad_Btn_Minus"},
    {"0", "Numpad_Btn_0"}, {"E", "Numpad_Btn_E"},  {".", "Numpad_Btn_Dot"}, {"+", "Numpad_Btn_Plus"},
    {"(", "Numpad_Btn_PR"}, {")", "Numpad_Btn_PL"}, {"C", "Numpad_Btn_C"},
};

const char* const FUNCTION_ITEMS[] = {"acos()", "asin()", "atan()", "cos()", "sin()", "tan()", " ",
                                      "exp()",  "log()",  "log10()", "pow(,)", "sqrt()"};

void updateTitle()
{
    Ihandle* dialog = IupGetHandle("KOV_WindowMain");
    if (dialog == nullptr || state == nullptr) return;
    IupSetStrAttribute(dialog, "TITLE", (std::string("KovraCalc - ") + kov_ParserGetInfo(state->parser)).c_str());
}

int onNumpad(Ihandle* button)
{
    const char* value = IupGetAttribute(button, "KOV_Value");
    if (value == nullptr) return IUP_DEFAULT;
    Ihandle* console = Console_get();
    if (std::strcmp(value, "=") == 0) {
        Console_run(console);
        updateTitle();
    } else if (std::strcmp(value, "C") == 0) {
        Console_clearLine(console);
    } else {
        Console_insertText(console, value);
    }
    return IUP_DEFAULT;
}

int onFunctionItem(Ihandle* item)
{
    const char* value = IupGetAttribute(item, "KOV_Value");
    if (value != nullptr && value[0] != ' ') Console_insertText(Console_get(), value);
    return IUP_DEFAULT;
}

Ihandle* functionMenu()
{
    Ihandle* menu = IupMenu(nullptr);
    for (const char* f : FUNCTION_ITEMS) {
        if (f[0] == ' ') {
            IupAppend(menu, IupSeparator());
            continue;
        }
        Ihandle* item = IupItem(f, nullptr);
        IupSetStrAttribute(item, "KOV_Value", f);
        IupSetCallback(item, "ACTION", onFunctionItem);
        IupAppend(menu, item);
    }
    return menu;
}

int onFunctionsPopup(Ihandle*)
{
    Ihandle* menu = functionMenu();
    IupSetAttribute(menu, "PARENTDIALOG", "KOV_WindowMain");
    int x = 0, y = 0;
    Ihandle* console = Console_get();
    const char* size = console != nullptr ? IupGetAttribute(console, "RASTERSIZE") : nullptr;
    int w = 0, h = 0;
    if (Iup_getScreenPosition(console, &x, &y) && size != nullptr && std::sscanf(size, "%dx%d", &w, &h) == 2) {
        IupPopup(menu, x + w, y);
    } else {
        IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    }
    IupDestroy(menu);
    return IUP_DEFAULT;
}

Ihandle* numpadButton(const char* title, const char* value, const char* handle, const char* size)
{
    Ihandle* b = IupButton(title, nullptr);
    IupSetHandle(handle, b);
    IupSetStrAttribute(b, "KOV_Value", value);
    IupSetAttribute(b, "FLAT", "YES");
    IupSetAttribute(b, "CANFOCUS", "NO");
    IupSetAttribute(b, "SIZE", size);
    IupSetCallback(b, "ACTION", onNumpad);
    return b;
}

Ihandle* buildNumpad()
{
    Ihandle* grid = IupGridBox(nullptr);
    for (const Key& k : NUMPAD_KEYS) IupAppend(grid, numpadButton(k.value, k.value, k.handle, "18x14"));
    Ihandle* f = numpadButton("F", "F", "KOV_FuncList", "18x14");
    IupSetAttribute(f, "TIP", "Functions");
    IupSetCallback(f, "ACTION", onFunctionsPopup);
    IupAppend(grid, f);
    IupSetAttributes(grid, "ORIENTATION=HORIZONTAL, NUMDIV=4, GAPLIN=4, GAPCOL=4, HOMOGENEOUSLIN=YES, HOMOGENEOUSCOL=YES");
    Ihandle* run = numpadButton("Calculate", "=", "Numpad_Btn_Run", "84x16");
    Ihandle* box = IupVbox(grid, run, nullptr);
    IupSetAttributes(box, "MARGIN=8x8, GAP=8, ALIGNMENT=ACENTER");
    Ihandle* separator = IupLabel(nullptr);
    IupSetAttribute(separator, "SEPARATOR", "VERTICAL");
    Ihandle* numpad = IupHbox(separator, box, nullptr);
    IupSetAttributes(numpad, "MARGIN=0x0, GAP=0, EXPAND=VERTICAL");
    IupSetHandle("KOV_Numpad", numpad);
    return numpad;
}

// The keypad's labels follow the console's default font style: bold keys
// beside bold text.
void Numpad_update()
{
    if (IupGetHandle("KOV_Numpad") == nullptr || state == nullptr) return;
    const char* style = state->prefs.styles[0].fontStyle == 1 ? "Bold" : "";
    for (const Key& k : NUMPAD_KEYS) IupSetAttribute(IupGetHandle(k.handle), "FONTSTYLE", style);
    IupSetAttribute(IupGetHandle("KOV_FuncList"), "FONTSTYLE", style);
    IupSetAttribute(IupGetHandle("Numpad_Btn_Run"), "FONTSTYLE", style);
}

int onViewNumpad(Ihandle*)
{
    Ihandle* box = IupGetHandle("KOV_WindowMainBox");
    if (box == nullptr || state == nullptr) return IUP_DEFAULT;
    if (IupGetHandle("KOV_Numpad") != nullptr) {
        Iup_destroyNamed("KOV_Numpad");
    } else {
        Ihandle* numpad = buildNumpad();
        IupAppend(box, numpad);
        IupMap(numpad);
        Numpad_update();
    }
    state->settings.viewNumpad = IupGetHandle("KOV_Numpad") != nullptr ? 1 : 0;
    IupRefresh(box);
    return IUP_DEFAULT;
}

int onRun(Ihandle*)
{
    Console_run(Console_get());
    updateTitle();
    return IUP_DEFAULT;
}

int onReset(Ihandle*)
{
    if (state == nullptr || state->parser == nullptr || state->parser->busy) return IUP_DEFAULT;
    if (kovraAskQuestion("Reset the calculations history and settings?", "KovraCalc", 4, "KOV_WindowMain") == 3) {
        kov_ParserReset(state->parser);
        Console_clear(Console_get());
        updateTitle();
    }
    return IUP_DEFAULT;
}

// Edit and zoom commands act on the console only while it has the focus;
// otherwise the focused control keeps its own key.
bool consoleFocused()
{
    Ihandle* console = Console_get();
    return console != nullptr && IupGetFocus() == console;
}
int onCopy(Ihandle*)
{
    if (!consoleFocused()) return IUP_CONTINUE;
    Editor_copy(Console_get());
    return IUP_IGNORE;
}
int onCut(Ihandle*)
{
    if (!consoleFocused()) return IUP_CONTINUE;
    Console_cut(Console_get());
    return IUP_IGNORE;
}
int onPaste(Ihandle*)
{
    if (!consoleFocused()) return IUP_CONTINUE;
    Console_paste(Console_get());
    return IUP_IGNORE;
}
int onZoomIn(Ihandle*)
{
    if (!consoleFocused()) return IUP_CONTINUE;
    Editor_zoomIn(Console_get());
    return IUP_IGNORE;
}
int onZoomOut(Ihandle*)
{
    if (!consoleFocused()) return IUP_CONTINUE;
    Editor_zoomOut(Console_get());
    return IUP_IGNORE;
}
int onZoomNormal(Ihandle*)
{
    if (!consoleFocused()) return IUP_CONTINUE;
    Editor_zoomReset(Console_get());
    return IUP_IGNORE;
}
// The menu items and action-bar buttons give the console the focus back
// first: a click on them must not depend on where the focus was.
int onMenuCut(Ihandle* ih)
{
    IupSetFocus(Console_get());
    return onCut(ih);
}
int onMenuCopy(Ihandle* ih)
{
    IupSetFocus(Console_get());
    return onCopy(ih);
}
int onMenuPaste(Ihandle* ih)
{
    IupSetFocus(Console_get());
    return onPaste(ih);
}
int onMenuZoomIn(Ihandle* ih)
{
    IupSetFocus(Console_get());
    return onZoomIn(ih);
}
int onMenuZoomOut(Ihandle* ih)
{
    IupSetFocus(Console_get());
    return onZoomOut(ih);
}
int onMenuZoomNormal(Ihandle* ih)
{
    IupSetFocus(Console_get());
    return onZoomNormal(ih);
}
int onViewTop(Ihandle*)
{
    Ihandle* dialog = IupGetHandle("KOV_WindowMain");
    if (dialog == nullptr || state == nullptr) return IUP_DEFAULT;
    const char* now = IupGetAttribute(dialog, "TOPMOST");
    const bool on = !(now != nullptr && std::strcmp(now, "YES") == 0);
    IupSetAttribute(dialog, "TOPMOST", on ? "YES" : "NO");
    now = IupGetAttribute(dialog, "TOPMOST");
    state->settings.alwaysOnTop = now != nullptr && std::strcmp(now, "YES") == 0 ? 1 : 0;
    return IUP_DEFAULT;
}
void restyle(EditorPrefs*)
{
    Console_setup(Console_get());
    Numpad_update();
}
int onOptionsColors(Ihandle*)
{
    if (state == nullptr) return IUP_DEFAULT;
    WindowColor_show(&state->prefs, "KOV_WindowMain");
    Numpad_update();
    return IUP_DEFAULT;
}
int onOptionsSyntax(Ihandle*)
{
    if (state == nullptr) return IUP_DEFAULT;
    Console_applyStyles(Console_get(), &state->prefs, state->prefs.syntaxEnabled ? 0 : 1, 1);
    return IUP_DEFAULT;
}
int onOptionsMenuOpen(Ihandle*)
{
    if (Ihandle* item = IupGetHandle("KOV_OptionsHighlight"))
        IupSetAttribute(item, "VALUE", state != nullptr && state->prefs.syntaxEnabled ? "ON" : "OFF");
    return IUP_DEFAULT;
}
int onEditMenuOpen(Ihandle*)
{
    Ihandle* console = Console_get();
    Iup_setActive("KOV_EditCut", Console_hasSelection(console) && Console_caretOnLastLine(console));
    Iup_setActive("KOV_EditCopy", Console_hasSelection(console));
    Iup_setActive("KOV_EditPaste", Console_canPaste(console));
    return IUP_DEFAULT;
}
int onRunMenuOpen(Ihandle*)
{
    Iup_setActive("KOV_RunRun", state != nullptr && state->parser != nullptr && !state->parser->busy);
    return IUP_DEFAULT;
}
int onCheckUpdate(Ihandle* item)
{
    return WindowMain_checkUpdate(item, CALC_PROGRAM_NAME);
}
int onToolsPopup(Ihandle*)
{
    Ihandle* menu = functionMenu();
    IupSetAttribute(menu, "PARENTDIALOG", "KOV_WindowMain");
    IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    IupDestroy(menu);
    return IUP_DEFAULT;
}
int onOpen(Ihandle*)
{
    CalcWindow_openSession();
    return IUP_DEFAULT;
}
int onSave(Ihandle*)
{
    CalcWindow_saveSession();
    return IUP_DEFAULT;
}
int onHelp(Ihandle*)
{
    CalcWindow_onHelpContents();
    return IUP_DEFAULT;
}
int onAbout(Ihandle*)
{
    CalcAbout_show();
    return IUP_DEFAULT;
}
int onClose(Ihandle*)
{
    CalcWindow_close();
    return IUP_CLOSE;
}

int onFileMenuOpen(Ihandle*)
{
    if (state != nullptr && state->parser != nullptr && !state->parser->busy) {
        Iup_setActive("KOV_FileSave", state->parser->count >= 1 ? 1 : 0);
    }
    return IUP_DEFAULT;
}

int onViewMenuOpen(Ihandle*)
{
    if (Ihandle* item = IupGetHandle("KOV_ViewNumpad")) {
        IupSetAttribute(item, "VALUE", IupGetHandle("KOV_Numpad") != nullptr ? "ON" : "OFF");
    }
    if (Ihandle* item = IupGetHandle("KOV_ViewTop")) {
        IupSetAttribute(item, "VALUE", state != nullptr && state->settings.alwaysOnTop ? "ON" : "OFF");
    }
    return IUP_DEFAULT;
}

Ihandle* item(const char* title, const char* handle, int (*action)(Ihandle*))
{
    Ihandle* i = IupItem(title, nullptr);
    if (handle != nullptr) IupSetHandle(handle, i);
    IupSetCallback(i, "ACTION", action);
    return i;
}

Ihandle* buildMenubar()
{
    Ihandle* file = IupMenu(item("&Open\tCtrl+O", "KOV_FileOpen", onOpen), item("&Save\tCtrl+S", "KOV_FileSave", onSave),
                            IupSeparator(), item("E&xit\tAlt+F4", nullptr, onClose), nullptr);
    IupSetCallback(file, "OPEN_CB", onFileMenuOpen);
    Ihandle* edit = IupMenu(item("C&ut\tCtrl+X", "KOV_EditCut", onMenuCut), item("&Copy\tCtrl+C", "KOV_EditCopy", onMenuCopy),
                            item("&Paste\tCtrl+V", "KOV_EditPaste", onMenuPaste), IupSeparator(),
                            item("Reset", "KOV_EditReset", onReset), nullptr);
    IupSetCallback(edit, "OPEN_CB", onEditMenuOpen);
    Ihandle* view = IupMenu(item("Numeric Keypad", "KOV_ViewNumpad", onViewNumpad),
                            item("Always on Top", "KOV_ViewTop", onViewTop), IupSeparator(),
                            item("Zoom In", "KOV_ViewZoomIn", onMenuZoomIn), item("Zoom Out", "KOV_ViewZoomOut", onMenuZoomOut),
                            item("Zoom Normal", "KOV_ViewZoomNormal", onMenuZoomNormal), nullptr);
    IupSetCallback(view, "OPEN_CB", onViewMenuOpen);
    Ihandle* run = IupMenu(item("&Calculate\tF12", "KOV_RunRun", onRun), nullptr);
    IupSetCallback(run, "OPEN_CB", onRunMenuOpen);
    Ihandle* options = IupMenu(item("&Colors and Font...", "KOV_OptionsColors", onOptionsColors), IupSeparator(),
                               item("&Syntax Highlighting", "KOV_OptionsHighlight", onOptionsSyntax), nullptr);
    IupSetCallback(options, "OPEN_CB", onOptionsMenuOpen);
    Ihandle* help = IupMenu(item("&Contents (PDF)\tF1", nullptr, onHelp), IupSeparator(),
                            item("&Check for Update...", nullptr, onCheckUpdate), IupSeparator(),
                            item("&About...", nullptr, onAbout), nullptr);
    Ihandle* bar = IupMenu(IupSubmenu("&File", file), IupSubmenu("&Edit", edit), IupSubmenu("&View", view),
                           IupSubmenu("&Functions", functionMenu()), IupSubmenu("&Run", run),
                           IupSubmenu("&Options", options), IupSubmenu("&Help", help), nullptr);
    IupSetHandle("KOV_WindowMain_Menubar", bar);
    return bar;
}

struct ActionButton {
    int image;  // -1: a separator
    const char* handle;
    int (*action)(Ihandle*);
};

const ActionButton ACTION_BAR[] = {
    {10, "KOV_Actionbar_Btn_Cut", onMenuCut},     {11, "KOV_Actionbar_Btn_Copy", onMenuCopy},
    {12, "KOV_Actionbar_Btn_Paste", onMenuPaste}, {-1, nullptr, nullptr},
    {160, "KOV_Actionbar_Btn_Reset", onReset},    {-1, nullptr, nullptr},
    {50, "KOV_Actionbar_Btn_Tools", onToolsPopup}, {-1, nullptr, nullptr},
    {51, "KOV_Actionbar_Btn_Run", onRun},
};

Ihandle* buildActionbar()
{
    Ihandle* bar = IupHbox(nullptr);
    IupSetHandle("KOV_Actionbar_Toolbar", bar);
    for (const ActionButton& b : ACTION_BAR) {
        if (b.image < 0) {
            Ihandle* separator = IupLabel(nullptr);
            IupSetAttributes(separator, "SEPARATOR=VERTICAL, PADDING=0x0");
            IupAppend(bar, separator);
            continue;
        }
        Ihandle* button = IupButton(nullptr, nullptr);
        IupSetAttributes(button, "FLAT=YES, CANFOCUS=NO, PADDING=0x0");
        IupSetHandle(b.handle, button);
        char tip[256] = "";
        const char* image = Images_get(b.image, tip, sizeof tip);
        if (image != nullptr) IupSetStrAttribute(button, "IMAGE", image);
        IupSetStrAttribute(button, "TIP", b.image == 50 ? "Functions" : b.image == 51 ? "Calculate" : tip);
        IupSetCallback(button, "ACTION", b.action);
        IupAppend(bar, button);
    }
    Ihandle* info = IupLabel("");
    IupSetAttributes(info, "EXPAND=HORIZONTAL, ALIGNMENT=ARIGHT, PADDING=2x0");
    IupSetHandle("KOV_Actionbar_Info", info);
    IupAppend(bar, info);
    IupSetAttributes(bar, "EXPAND=HORIZONTAL, MARGIN=2x2, GAP=5, NORMALIZESIZE=VERTICAL");
    Ihandle* separator = IupLabel(nullptr);
    IupSetAttributes(separator, "SEPARATOR=HORIZONTAL, EXPAND=HORIZONTAL");
    Ihandle* box = IupVbox(bar, separator, nullptr);
    IupSetAttributes(box, "EXPAND=HORIZONTAL, MARGIN=0x0, GAP=0");
    IupSetHandle("KOV_Actionbar", box);
    return box;
}

// Cut and Copy need a selection, Paste a place to paste, Run an idle
// parser; ACTIVE is written only when it changes (this runs on every caret
// move).
void updateActionbar()
{
    Ihandle* console = Console_get();
    const int selection = Console_hasSelection(console);
    Iup_setActive("KOV_Actionbar_Btn_Cut", selection && Console_caretOnLastLine(console));
    Iup_setActive("KOV_Actionbar_Btn_Copy", selection);
    Iup_setActive("KOV_Actionbar_Btn_Paste", Console_canPaste(console));
    Iup_setActive("KOV_Actionbar_Btn_Run", state != nullptr && state->parser != nullptr && !state->parser->busy);
}

void readSettings()
{
    CalcSettings_setDefaults(&state->settings);
    Config* config = Config_create();
    if (config == nullptr) return;
    if (Config_load(CalcSettingsSchema, config, state->settingsFile.c_str()) && Config_sectionCount(config) >= 1 &&
        Config_sectionCount(config) <= 16) {
        CalcSettings_readCommon(config, &state->settings, state->parser);
        TextPrefs_read(config, &state->prefs);
    }
    Config_destroy(&config);
}

}  // namespace

void Iup_setActive(const char* name, int active)
{
    Ihandle* element = name != nullptr ? IupGetHandle(name) : nullptr;
    if (element == nullptr) return;
    const char* wanted = active == 1 ? "YES" : "NO";
    const char* now = IupGetAttribute(element, "ACTIVE");
    if (now == nullptr || std::strcmp(now, wanted) != 0) IupSetAttribute(element, "ACTIVE", wanted);
}

void CalcWindow_status(const char* text)
{
    if (Ihandle* status = IupGetHandle("KOV_WindowMain_Status")) {
        IupSetStrAttribute(status, "TITLE", text != nullptr ? text : "");
    }
}

Ihandle* CalcWindow_build(const std::string& configFolder, const std::string& docFolder)
{
    delete state;
    state = new WindowState;
    CalcLexer_register();
    Images_load();  // the action bar's pictures and the window icon
    state->parser = kov_ParserCreate();
    Console_setParser(state->parser);
    Console_setOnEvaluated(updateTitle);
    Console_setOnCaretMoved(updateActionbar);
    EditorPrefs_init(&state->prefs, 0);
    state->prefs.onChange = restyle;
    state->prefs.onApply = restyle;
    Console_setPrefs(&state->prefs);
    if (!configFolder.empty()) {
        ::mkdir(configFolder.c_str(), 0755);
        state->settingsFile = configFolder + CALC_SETTINGS_FILE;
    }
    if (!docFolder.empty()) {
        state->helpFile = docFolder + "kovra_lua.pdf";
        IupSetStrGlobal("KOV_HelpFilenameLua", state->helpFile.c_str());
    }
    readSettings();

    Ihandle* console = Console_create();
    Ihandle* box = IupHbox(console, nullptr);
    IupSetAttributes(box, "EXPAND=YES, MARGIN=0x0, GAP=0");
    IupSetHandle("KOV_WindowMainBox", box);
    if (state->settings.viewNumpad) IupAppend(box, buildNumpad());
    Ihandle* status = IupLabel("");
    IupSetAttributes(status, "EXPAND=HORIZONTAL, PADDING=4x2");
    IupSetHandle("KOV_WindowMain_Status", status);
    Ihandle* vbox = IupVbox(buildActionbar(), box, status, nullptr);
    IupSetAttributes(vbox, "EXPAND=YES, MARGIN=0x0, GAP=0");
    IupSetHandle("KOV_WindowMainVBox", vbox);
    Ihandle* dialog = IupDialog(vbox);
    IupSetStrAttribute(dialog, "RASTERSIZE", state->settings.windowSize);
    IupSetAttributes(dialog, "TITLE=KovraCalc, MINSIZE=362x302, RESIZE=YES, MAXBOX=YES");
    IupSetAttribute(dialog, "DEFAULTENTER", "Numpad_Btn_Run");
    IupSetHandle("KOV_WindowMain", dialog);
    IupSetCallback(dialog, "CLOSE_CB", onClose);
    IupSetCallback(dialog, "K_F1", onHelp);
    IupSetCallback(dialog, "K_mF1", onAbout);
    IupSetCallback(dialog, "K_mF4", onClose);
    IupSetCallback(dialog, "K_cC", onCopy);
    IupSetCallback(dialog, "K_cV", onPaste);
    IupSetCallback(dialog, "K_cX", onCut);
    if (const char* icon = Images_getName(181) ? Images_getName(181) : Images_getName(180))
        IupSetStrAttribute(dialog, "ICON", icon);
    IupSetCallback(dialog, "K_cPlus", onZoomIn);
    IupSetCallback(dialog, "K_cMinus", onZoomOut);
    IupSetCallback(dialog, "K_c0", onZoomNormal);
    IupSetAttributeHandle(dialog, "MENU", buildMenubar());
    IupMap(dialog);
    IupSetStrAttribute(dialog, "RASTERSIZE", state->settings.windowSize);  // the stored size, menu bar included
    Console_setup(console);
    updateTitle();
    updateActionbar();
    return dialog;
}

void CalcWindow_close()
{
    if (state == nullptr || state->closed) return;
    state->closed = true;
    Ihandle* dialog = IupGetHandle("KOV_WindowMain");
    if (dialog != nullptr) {
        const char* size = IupGetAttribute(dialog, "RASTERSIZE");
        if (size != nullptr) kov_copyA(state->settings.windowSize, sizeof state->settings.windowSize, size);
    }
    if (!state->settingsFile.empty()) {
        Config* config = Config_create();
        if (config != nullptr && CalcSettings_writeCommon(config, &state->settings, state->parser)) {
            TextPrefs_write(config, &state->prefs);
            Config_save(config, state->settingsFile.c_str(), nullptr);
        }
        Config_destroy(&config);
    }
    Console_setParser(nullptr);
    Console_setOnEvaluated(nullptr);
    Console_setOnCaretMoved(nullptr);
    Console_setPrefs(nullptr);
    Iup_destroyNamed("KOV_WindowAbout");
    if (dialog != nullptr) {
        IupSetHandle("KOV_WindowMain", nullptr);
        IupSetHandle(CONSOLE_HANDLE, nullptr);
        IupSetHandle("KOV_Numpad", nullptr);
        IupHide(dialog);
        IupDestroy(dialog);
    }
    kov_ParserDelete(&state->parser);
}

int CalcWindow_saveSession()
{
    if (state == nullptr || state->parser == nullptr || state->parser->busy || state->parser->count < 1) return 0;
    Ihandle* chooser = IupFileDlg();
    IupSetAttributes(chooser, "DIALOGTYPE=SAVE, TITLE=\"Save file\"");
    IupSetAttribute(chooser, "EXTFILTER", "KovraCalc files|*.kovracalc|");
    IupSetAttribute(chooser, "PARENTDIALOG", "KOV_WindowMain");
    IupPopup(chooser, IUP_CURRENT, IUP_CURRENT);
    const std::string name = IupGetInt(chooser, "STATUS") != -1 ? CalcSession_fileName(IupGetAttribute(chooser, "VALUE")) : "";
    IupDestroy(chooser);
    if (name.empty()) return 0;
    if (!CalcSession_save(name.c_str(), state->parser)) {
        CalcWindow_status(("Cannot save the session to " + name).c_str());
        return 0;
    }
    CalcWindow_status(("Session saved: " + name).c_str());
    return 1;
}

int CalcWindow_openSession()
{
    if (state == nullptr || state->parser == nullptr || state->parser->busy) return 0;
    if (state->parser->count > 0 &&
        kovraAskQuestion("Opening new session will reset history and settings.\nProceed anyway?", "KovraCalc", 4,
                         "KOV_WindowMain") != 3) {
        return 0;
    }
    Ihandle* chooser = IupFileDlg();
    IupSetAttributes(chooser, "DIALOGTYPE=OPEN, TITLE=\"Open file\"");
    IupSetAttribute(chooser, "EXTFILTER", "KovraCalc files|*.kovracalc|");
    IupSetAttribute(chooser, "PARENTDIALOG", "KOV_WindowMain");
    IupPopup(chooser, IUP_CURRENT, IUP_CURRENT);
    const char* value = IupGetAttribute(chooser, "VALUE");
    const std::string name = IupGetInt(chooser, "STATUS") != -1 && value != nullptr ? value : "";
    IupDestroy(chooser);
    if (name.empty()) return 0;
    std::vector<std::string> lines;
    if (!CalcSession_read(name.c_str(), &lines)) {
        CalcWindow_status(("Cannot open the session " + name).c_str());
        return 0;
    }
    // Replayed into a cleared console, so every line and its answer appear
    // in order, whatever the caret stood on.
    Ihandle* console = Console_get();
    Console_clear(console);
    state->parser->count = 0;
    state->parser->current = 0;
    for (const std::string& line : lines) {
        if (Console_execute(line.c_str(), console, state->parser, 0) != 1) break;
    }
    updateTitle();
    return 1;
}

int CalcWindow_onHelpContents()
{
    if (state == nullptr || state->helpFile.empty() || kov_fileExistsA(state->helpFile.c_str()) != 1) {
        CalcWindow_status("Cannot show help contents: PDF file not found");
        return 0;
    }
    if (IupHelp(state->helpFile.c_str()) < 1) {
        CalcWindow_status(("No PDF viewer to open " + state->helpFile).c_str());
        return 0;
    }
    return 1;
}

int CalcWindow_main(int argc, char** argv)
{
    if (IupOpen(&argc, &argv) == IUP_ERROR) return 1;
    IupScintillaOpen();
    IupSetGlobal("UTF8MODE", "Yes");
    // Without a settings folder the calculator still runs: it neither reads
    // nor writes settings then.
    AppFolders folders;
    const bool found = AppFolders_get(CALC_PROGRAM_NAME, folders);
    Ihandle* dialog = CalcWindow_build(found ? folders.config : std::string(), found ? folders.doc : std::string());
    if (dialog == nullptr) {
        CalcWindow_close();
        IupClose();
        return 1;  // a window that cannot be built is a failure
    }
    IupShow(dialog);
    IupSetStrAttribute(dialog, "RASTERSIZE", state->settings.windowSize);
    IupSetFocus(Console_get());
    IupMainLoop();
    CalcWindow_close();
    Images_destroy();
    IupClose();
    return 0;
}
