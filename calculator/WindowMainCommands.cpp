// The commands of the calculator's menus, keys and action bar: edit, run,
// view and options, sessions, help and the title.
#include <cstring>
#include <string>
#include <vector>

#include "Console.h"
#include "Numpad.h"
#include "CalcSession.h"
#include "CalcState.h"
#include "WindowMain.h"
#include "guiCommon.h"
#include "kovragui.h"
#include "libkovra.h"
#include "kovraHandles.h"

namespace {

bool parserIdle()
{
    const kov_Parser* parser = App_getParser();
    return parser != nullptr && parser->busy == 0;
}

// A menu item or an action-bar button works on the console wherever the
// focus was: the console takes it first.
Ihandle* focusedConsole()
{
    Ihandle* console = Console_get();
    if (console != nullptr) {
        IupSetFocus(console);
    }
    return console;
}

std::string chooseFile(const char* type, const char* title)
{
    Ihandle* chooser = IupFileDlg();
    IupSetStrAttribute(chooser, "DIALOGTYPE", type);
    IupSetStrAttribute(chooser, "TITLE", title);
    IupSetAttribute(chooser, "EXTFILTER", "KovraCalc files|*.kovracalc|");
    IupSetAttribute(chooser, "PARENTDIALOG", KOV_WindowMain);
    IupPopup(chooser, IUP_CURRENT, IUP_CURRENT);
    const char* value = IupGetAttribute(chooser, "VALUE");
    const std::string name = IupGetInt(chooser, "STATUS") != -1 && value != nullptr ? value : "";
    IupDestroy(chooser);
    return name;
}

}  // namespace

void WindowMain_showStatus(const char* text)
{
    if (Ihandle* status = IupGetHandle(KOV_WindowMain_Status)) {
        IupSetStrAttribute(status, "TITLE", text != nullptr ? text : "");
    }
}

void WindowMain_updateTitle()
{
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    kov_Parser* parser = App_getParser();
    if (dialog == nullptr || parser == nullptr) {
        return;
    }
    char info[64];
    kov_copyA(info, sizeof info, kov_ParserGetInfo(parser));
    IupSetStrAttribute(dialog, "TITLE", (std::string("KovraCalc - ") + info).c_str());
}

int WindowMain_onEditCut(Ihandle*)
{
    Console_cut(focusedConsole());
    return IUP_IGNORE;
}

int WindowMain_onEditCopy(Ihandle*)
{
    Editor_copy(focusedConsole());
    return IUP_IGNORE;
}

int WindowMain_onEditPaste(Ihandle*)
{
    Console_paste(focusedConsole());
    return IUP_IGNORE;
}

int WindowMain_onZoomIn(Ihandle*)
{
    Editor_zoomIn(focusedConsole());
    return IUP_IGNORE;
}

int WindowMain_onZoomOut(Ihandle*)
{
    Editor_zoomOut(focusedConsole());
    return IUP_IGNORE;
}

int WindowMain_onZoomNormal(Ihandle*)
{
    Editor_zoomReset(focusedConsole());
    return IUP_IGNORE;
}

int WindowMain_onEditReset(Ihandle*)
{
    if (!parserIdle()) {
        return IUP_DEFAULT;
    }
    if (kovraAskQuestion("Reset the calculations history and settings?", "KovraCalc", 4,
                         KOV_WindowMain) == 3) {
        kov_ParserReset(App_getParser());
        Console_clear(Console_get());
        WindowMain_updateTitle();
    }
    return IUP_DEFAULT;
}

int WindowMain_onRun(Ihandle*)
{
    Console_run(Console_get());
    return IUP_DEFAULT;
}

int WindowMain_onViewNumpad(Ihandle*)
{
    CalcSettings* settings = App_getSettings();
    if (settings == nullptr || IupGetHandle(KOV_WindowMainBox) == nullptr) {
        return IUP_DEFAULT;
    }
    const bool present = IupGetHandle(KOV_Numpad) != nullptr;
    settings->viewNumpad = present ? 0 : 1;
    if (present) {
        Numpad_destroy();
    } else {
        Numpad_create();
    }
    settings->viewNumpad = IupGetHandle(KOV_Numpad) != nullptr ? 1 : 0;
    return IUP_DEFAULT;
}

int WindowMain_onViewTop(Ihandle*)
{
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    CalcSettings* settings = App_getSettings();
    if (dialog == nullptr || settings == nullptr) {
        return IUP_DEFAULT;
    }
    const char* now = IupGetAttribute(dialog, "TOPMOST");
    const bool on = !(now != nullptr && std::strcmp(now, "YES") == 0);
    IupSetAttribute(dialog, "TOPMOST", on ? "YES" : "NO");
    now = IupGetAttribute(dialog, "TOPMOST");
    settings->alwaysOnTop = now != nullptr && std::strcmp(now, "YES") == 0 ? 1 : 0;
    return IUP_DEFAULT;
}

int WindowMain_onOptionsColors(Ihandle*)
{
    EditorPrefs* prefs = App_getEditorPrefs();
    if (prefs == nullptr) {
        return IUP_DEFAULT;
    }
    // The dialog's changes come back through the preferences' callbacks
    // (Console_setup); the keypad follows the default font's style.
    WindowColor_show(prefs, KOV_WindowMain);
    Numpad_update();
    Settings_publishColors(prefs);
    return IUP_DEFAULT;
}

int WindowMain_onOptionsSyntax(Ihandle*)
{
    EditorPrefs* prefs = App_getEditorPrefs();
    if (prefs == nullptr) {
        return IUP_DEFAULT;
    }
    Console_applyStyles(Console_get(), prefs, prefs->syntaxEnabled ? 0 : 1, 1);
    return IUP_DEFAULT;
}

int WindowMain_saveSession()
{
    const kov_Parser* parser = App_getParser();
    if (!parserIdle() || parser->count < 1) {
        return 0;
    }
    const std::string name = CalcSession_fileName(chooseFile("SAVE", "Save file").c_str());
    if (name.empty()) {
        return 0;
    }
    std::string reason;
    if (!CalcSession_save(name.c_str(), parser, &reason)) {
        WindowMain_showStatus(("Cannot save the session to " + name + ": " + reason).c_str());
        return 0;
    }
    WindowMain_showStatus(("Session saved: " + name).c_str());
    return 1;
}

int WindowMain_openSession()
{
    kov_Parser* parser = App_getParser();
    if (!parserIdle()) {
        return 0;
    }
    if (parser->count > 0 &&
        kovraAskQuestion("Opening new session will reset history and settings.\nProceed anyway?",
                         "KovraCalc", 4, KOV_WindowMain) != 3) {
        return 0;
    }
    const std::string name = chooseFile("OPEN", "Open file");
    if (name.empty()) {
        return 0;
    }
    std::vector<std::string> lines;
    std::string reason;
    if (!CalcSession_read(name.c_str(), &lines, &reason)) {
        WindowMain_showStatus(("Cannot open the session " + name + ": " + reason).c_str());
        return 0;
    }
    // Replayed into a cleared console, so every line and its answer appear
    // in order, whatever the caret stood on.
    IupSetInt(nullptr, KOV_WindowMainFileOpening, 1);
    Ihandle* console = Console_get();
    Console_clear(console);
    parser->count = 0;
    parser->current = 0;
    for (const std::string& line : lines) {
        if (Console_execute(line.c_str(), console, parser, 0) != 1) {
            break;
        }
    }
    IupSetInt(nullptr, KOV_WindowMainFileOpening, 0);
    WindowMain_updateTitle();
    WindowMain_showStatus(("Session opened: " + name).c_str());
    return 1;
}

int WindowMain_onHelpContents()
{
    const char* help = IupGetGlobal(KOV_HelpFilenameLua);
    if (help == nullptr || help[0] == '\0' || kov_fileExistsA(help) != 1) {
        WindowMain_showStatus("Cannot show help contents: PDF file not found");
        return 0;
    }
    if (IupHelp(help) < 1) {
        WindowMain_showStatus((std::string("No PDF viewer to open ") + help).c_str());
        return 0;
    }
    return 1;
}
