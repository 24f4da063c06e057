// The calculator's main window.
#include "CalcWindow.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "CalcConsole.h"
#include "CalcLexer.h"
#include "CalcSession.h"
#include "CalcSettings.h"
#include "guiCommon.h"
#include "kovbase.h"
#include "libkovra.h"

namespace {

struct WindowState {
    CalcSettings settings {};
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
    if (IupAlarm("KovraCalc", "Reset the calculations history and settings?", "Yes", "No", nullptr) == 1) {
        kov_ParserReset(state->parser);
        Console_clear(Console_get());
        updateTitle();
    }
    return IUP_DEFAULT;
}

int onCopy(Ihandle*)
{
    Editor_copy(Console_get());
    return IUP_DEFAULT;
}
int onCut(Ihandle*)
{
    Console_cut(Console_get());
    return IUP_DEFAULT;
}
int onPaste(Ihandle*)
{
    Console_paste(Console_get());
    return IUP_DEFAULT;
}
int onZoomIn(Ihandle*)
{
    Editor_zoomIn(Console_get());
    return IUP_DEFAULT;
}
int onZoomOut(Ihandle*)
{
    Editor_zoomOut(Console_get());
    return IUP_DEFAULT;
}
int onZoomNormal(Ihandle*)
{
    Editor_zoomReset(Console_get());
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
    IupMessage("About KovraCalc", "KovraCalc\nVersion 3.0 Build 2412a\n\nThe scientific calculator of the Kovra suite.");
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
    Ihandle* edit = IupMenu(item("C&ut\tCtrl+X", "KOV_EditCut", onCut), item("&Copy\tCtrl+C", "KOV_EditCopy", onCopy),
                            item("&Paste\tCtrl+V", "KOV_EditPaste", onPaste), IupSeparator(),
                            item("Reset", "KOV_EditReset", onReset), nullptr);
    Ihandle* view = IupMenu(item("Numeric Keypad", "KOV_ViewNumpad", onViewNumpad), IupSeparator(),
                            item("Zoom In", "KOV_ViewZoomIn", onZoomIn), item("Zoom Out", "KOV_ViewZoomOut", onZoomOut),
                            item("Zoom Normal", "KOV_ViewZoomNormal", onZoomNormal), nullptr);
    IupSetCallback(view, "OPEN_CB", onViewMenuOpen);
    Ihandle* run = IupMenu(item("&Calculate\tF12", "KOV_RunRun", onRun), nullptr);
    Ihandle* help = IupMenu(item("&Contents (PDF)\tF1", nullptr, onHelp), IupSeparator(),
                            item("&About...", nullptr, onAbout), nullptr);
    Ihandle* bar = IupMenu(IupSubmenu("&File", file), IupSubmenu("&Edit", edit), IupSubmenu("&View", view),
                           IupSubmenu("F&unctions", functionMenu()), IupSubmenu("&Run", run),
                           IupSubmenu("&Help", help), nullptr);
    IupSetHandle("KOV_WindowMain_Menubar", bar);
    return bar;
}

void readSettings()
{
    CalcSettings_setDefaults(&state->settings);
    Config* config = Config_create();
    if (config == nullptr) return;
    if (Config_load(CalcSettingsSchema, config, state->settingsFile.c_str()) && Config_sectionCount(config) >= 1 &&
        Config_sectionCount(config) <= 16) {
        CalcSettings_readCommon(config, &state->settings, state->parser);
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

std::string CalcWindow_configFolder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string root;
    if (xdg != nullptr && xdg[0] == '/') {
        root = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        root = std::string(home) + "/.config";
    } else {
        return "";
    }
    if (root.back() != '/') root += '/';
    return root + CALC_PROGRAM_NAME + "/";
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
    state->parser = kov_ParserCreate();
    Console_setParser(state->parser);
    Console_setOnEvaluated(updateTitle);
    if (!configFolder.empty()) {
        ::mkdir(configFolder.c_str(), 0755);
        state->settingsFile = configFolder + CALC_SETTINGS_FILE;
    }
    state->helpFile = docFolder + "kovra_lua.pdf";
    IupSetStrGlobal("KOV_HelpFilenameLua", state->helpFile.c_str());
    readSettings();

    Ihandle* console = Console_create();
    Ihandle* box = IupHbox(console, nullptr);
    IupSetAttributes(box, "EXPAND=YES, MARGIN=0x0, GAP=0");
    IupSetHandle("KOV_WindowMainBox", box);
    if (state->settings.viewNumpad) IupAppend(box, buildNumpad());
    Ihandle* status = IupLabel("");
    IupSetAttributes(status, "EXPAND=HORIZONTAL, PADDING=4x2");
    IupSetHandle("KOV_WindowMain_Status", status);
    Ihandle* topSeparator = IupLabel(nullptr);
    IupSetAttributes(topSeparator, "SEPARATOR=HORIZONTAL");
    Ihandle* vbox = IupVbox(topSeparator, box, status, nullptr);
    IupSetAttributes(vbox, "EXPAND=YES, MARGIN=0x0, GAP=0");
    IupSetHandle("KOV_WindowMainVBox", vbox);
    Ihandle* dialog = IupDialog(vbox);
    IupSetStrAttribute(dialog, "RASTERSIZE", state->settings.windowSize);
    IupSetAttributes(dialog, "TITLE=KovraCalc, MINSIZE=362x302, RESIZE=YES, MAXBOX=YES");
    IupSetAttribute(dialog, "DEFAULTENTER", "Numpad_Btn_Run");
    IupSetHandle("KOV_WindowMain", dialog);
    IupSetCallback(dialog, "CLOSE_CB", onClose);
    IupSetCallback(dialog, "K_F1", onHelp);
    IupSetCallback(dialog, "K_cPlus", onZoomIn);
    IupSetCallback(dialog, "K_cMinus", onZoomOut);
    IupSetCallback(dialog, "K_c0", onZoomNormal);
    IupSetAttributeHandle(dialog, "MENU", buildMenubar());
    IupMap(dialog);
    IupSetStrAttribute(dialog, "RASTERSIZE", state->settings.windowSize);  // the stored size, menu bar included
    Console_setup(console);
    updateTitle();
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
            Config_save(config, state->settingsFile.c_str(), nullptr);
        }
        Config_destroy(&config);
    }
    Console_setParser(nullptr);
    Console_setOnEvaluated(nullptr);
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
        IupAlarm("KovraCalc", "Opening new session will reset history and settings.\nProceed anyway?", "Yes", "No",
                 nullptr) != 1) {
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
    char appDir[1024] = "";
    kov_getAppDirA(appDir, sizeof appDir);
    Ihandle* dialog = CalcWindow_build(CalcWindow_configFolder(), std::string(appDir) + "doc/");
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
    IupClose();
    return 0;
}
