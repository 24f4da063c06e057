// The handlers behind the Run, Options and Help menus, the action bar and
// the function keys: run, stop and plot, the output options kept in the
// device, the canvas colour mode, the console keys, help, the built-in
// examples, the About box and the sibling tools.
#include <cstring>
#include <string>
#include <strings.h>

#include "App.h"
#include "ChildReaper.h"
#include "guiCommon.h"
#include "DeviceCanvas.h"
#include "EditorLaunch.h"
#include "FileNames.h"
#include "WindowMain.h"
#include "device.h"
#include "document.h"
#include "iupScintillaMessages.h"
#include "kovbase.h"
#include "kovProcess.h"
#include "kovragui.h"
#include "settings.h"
#include "kovraHandles.h"

namespace {

Device* currentDevice()
{
    Document* document = App_getDocument();
    return document ? document->device : nullptr;
}

std::string commandValue(Device* device, const char* key)
{
    char text[PARAM_VALUE_SIZE] = {};
    Device_getCommandValueText(device, key, text);
    return text;
}

std::string numericValue(Device* device, const char* key)
{
    char text[PARAM_VALUE_SIZE] = {};
    Device_getNumericValueText(device, key, text);
    return text;
}

// A switch of the Command or Numeric section is on for the simulator when
// its value is one of these words, in any letter case.
bool isYesWord(const std::string& value)
{
    return strcasecmp(value.c_str(), "Yes") == 0 || strcasecmp(value.c_str(), "Y") == 0;
}

bool isNoWord(const std::string& value)
{
    return value.empty() || strcasecmp(value.c_str(), "No") == 0 ||
           strcasecmp(value.c_str(), "N") == 0 || strcasecmp(value.c_str(), "None") == 0;
}

// Stores a value of the device's Command or Numeric section and marks the
// document modified when the record changed.
void storeOption(bool numeric, const char* key, const char* value)
{
    Device* device = currentDevice();
    int changed = 0;
    if (numeric) {
        Device_setNumericParam(device, key, value, nullptr, &changed, 0);
    } else {
        Device_setCommandParam(device, key, value, nullptr, &changed, 0);
    }
    if (changed) {
        Document_setModified(App_getDocument(), 1);
    }
}

bool consoleFocused()
{
    return IupGetFocus() != nullptr && IupGetFocus() == IupGetHandle(KOV_Output);
}

int onConsole(void (*action)(Ihandle*))
{
    if (!consoleFocused()) {
        return IUP_CONTINUE;
    }
    action(IupGetHandle(KOV_Output));
    return IUP_IGNORE;
}

void setCheck(const char* name, bool on)
{
    if (Ihandle* ih = IupGetHandle(name)) {
        IupSetAttribute(ih, "VALUE", on ? "ON" : "OFF");
    }
}

}  // namespace

namespace {
RunnerCalls installedRunner{};
bool runnerInstalled = false;
}  // namespace

void WindowMain_setRunner(const RunnerCalls* calls)
{
    runnerInstalled =
        calls != nullptr && calls->start && calls->stop && calls->plot && calls->isRunning;
    installedRunner = runnerInstalled ? *calls : RunnerCalls{};
}

const RunnerCalls* WindowMain_runner() { return runnerInstalled ? &installedRunner : nullptr; }

bool WindowMain_isRunLive(Document* document)
{
    return document != nullptr && runnerInstalled && installedRunner.isRunning(document) != 0;
}

bool WindowMain_hasResults(const Document* document)
{
    return document != nullptr && (document->results.flags & 0x01) != 0 &&
           document->results.meshPoints > 0 && document->filename[0] != '\0' &&
           std::strcmp(document->runDocumentPath, document->filename) == 0;
}

int WindowMain_onRun(Ihandle*)
{
    Document* document = App_getDocument();
    if (document == nullptr) {
        return IUP_DEFAULT;
    }
    kovraShowInfo("", 0, 9);
    if (WindowMain_applyFields(1, 1)) {
        if (const RunnerCalls* runner = WindowMain_runner()) {
            runner->start(document);
        }
    }
    return IUP_DEFAULT;
}

int WindowMain_onStop(Ihandle*)
{
    Document* document = App_getDocument();
    if (document != nullptr && WindowMain_runner() != nullptr) {
        WindowMain_runner()->stop(document);
    }
    return IUP_DEFAULT;
}

int WindowMain_onPlot(Ihandle*)
{
    Document* document = App_getDocument();
    if (document != nullptr && WindowMain_runner() != nullptr) {
        WindowMain_runner()->plot(document, 0);
    }
    return IUP_DEFAULT;
}

int WindowMain_onRunMenuOpen(Ihandle*)
{
    Document* document = App_getDocument();
    if (document == nullptr) {
        return IUP_DEFAULT;
    }
    bool busy = WindowMain_isRunLive(document) || IupGetFunction("IDLE_ACTION") != nullptr;
    bool plot = !busy && WindowMain_hasResults(document);
    auto active = [](const char* name, bool on) {
        if (Ihandle* ih = IupGetHandle(name)) {
            IupSetAttribute(ih, "ACTIVE", on ? "YES" : "NO");
        }
    };
    const bool runner = WindowMain_runner() != nullptr;
    active(KOV_RunRun, runner && !busy);
    active(KOV_RunStop, busy);
    active(KOV_RunPlot, runner && plot);
    Ihandle* console = IupGetHandle(KOV_Output);
    if (Ihandle* clear = IupGetHandle(KOV_RunClear)) {
        IupSetAttribute(clear, KOV_Output, reinterpret_cast<char*>(console));
    }
    active(KOV_RunClear,
           console != nullptr && IupScintillaSendMessage(console, SCI_GETLENGTH, 0, 0) > 0);
    return IUP_DEFAULT;
}

int WindowMain_onOptionsOutDir(Ihandle*)
{
    Device* device = currentDevice();
    kovraShowInfo("", 0, 9);
    if (device == nullptr || Device_findCommandParam(device, "Command.OutDir") == nullptr) {
        return IUP_DEFAULT;
    }
    int answer = kovraAskQuestion("Manually select the output directory?", "Output Directory", 5,
                                  KOV_WindowMain);
    if (answer == 5) {
        return IUP_DEFAULT;
    }
    if (answer == 4) {
        storeOption(false, "Command.OutDir", "");
        return IUP_DEFAULT;
    }
    Ihandle* chooser = IupFileDlg();
    IupSetAttribute(chooser, "PARENTDIALOG", KOV_WindowMain);
    IupSetAttribute(chooser, "DIALOGTYPE", "DIR");
    IupSetAttribute(chooser, "TITLE", "Select Output Directory");
    IupSetStrAttribute(chooser, "DIRECTORY", commandValue(device, "Command.OutDir").c_str());
    IupPopup(chooser, IUP_CENTERPARENT, IUP_CENTERPARENT);
    if (IupGetInt(chooser, "STATUS") != -1 && IupGetAttribute(chooser, "VALUE") != nullptr) {
        std::string folder = IupGetAttribute(chooser, "VALUE");
        storeOption(false, "Command.OutDir", folder.c_str());
    }
    IupDestroy(chooser);
    return IUP_DEFAULT;
}

int WindowMain_onOutDirHighlight(Ihandle*)
{
    Document* document = App_getDocument();
    Device* device = currentDevice();
    if (device == nullptr) {
        return IUP_DEFAULT;
    }
    std::string outDir =
        FileNames_folderBesideDocument(commandValue(device, "Command.OutDir"), document->filename);
    std::string text =
        FileNames_outputFolderText(outDir, !outDir.empty() && kov_dirExistsA(outDir.c_str()) == 1,
                                   document->filename, Document_fileExists(document) == 1);
    kovraShowInfo(text.c_str(), 0, 0);
    return IUP_DEFAULT;
}

int WindowMain_onOptionsSaveFull(Ihandle*)
{
    if (Device* device = currentDevice()) {
        storeOption(true, "Numeric.SaveFull",
                    isYesWord(numericValue(device, "Numeric.SaveFull")) ? "No" : "Yes");
    }
    WindowMain_updateOptionChecks();
    return IUP_DEFAULT;
}

int WindowMain_onOptionsDirDate(Ihandle*)
{
    // A value the simulator takes for neither is left for the user to mend.
    if (Device* device = currentDevice()) {
        const std::string value = commandValue(device, "Command.OutDirDate");
        if (isYesWord(value)) {
            storeOption(false, "Command.OutDirDate", "No");
        } else if (isNoWord(value)) {
            storeOption(false, "Command.OutDirDate", "Yes");
        }
    }
    WindowMain_updateOptionChecks();
    return IUP_DEFAULT;
}

int WindowMain_onOptionsPlot(Ihandle*)
{
    if (Document* document = App_getDocument()) {
        document->plotAfterRun = document->plotAfterRun == 1 ? 0 : 1;
    }
    WindowMain_updateOptionChecks();
    return IUP_DEFAULT;
}

void WindowMain_updateOptionChecks()
{
    Document* document = App_getDocument();
    Device* device = currentDevice();
    if (device == nullptr) {
        return;
    }
    // On as the simulator reads the value: "Yes" or "Y" in any case.
    setCheck(KOV_OptionsDirDate, isYesWord(commandValue(device, "Command.OutDirDate")));
    setCheck(KOV_OptionsSaveFull, isYesWord(numericValue(device, "Numeric.SaveFull")));
    setCheck(KOV_OptionsPlot, document->plotAfterRun == 1);
}

int WindowMain_onOptionsMenuOpen(Ihandle*)
{
    WindowMain_updateOptionChecks();
    return IUP_DEFAULT;
}

int WindowMain_onColorize(Ihandle* item)
{
    Settings* settings = App_getSettings();
    if (settings == nullptr || item == nullptr) {
        return IUP_DEFAULT;
    }
    int& mode = settings->DeviceColorize;
    // Choosing the mode that is on already goes back to doping colours.
    if (item == IupGetHandle(KOV_OptionsColorizeN)) {
        mode = COLORIZE_DOPING;
    } else if (item == IupGetHandle(KOV_OptionsColorizeEg)) {
        mode = mode == COLORIZE_BANDGAP ? COLORIZE_DOPING : COLORIZE_BANDGAP;
    } else if (item == IupGetHandle(KOV_OptionsColorizeMesh)) {
        mode = mode == COLORIZE_MESH ? COLORIZE_DOPING : COLORIZE_MESH;
    } else if (item == IupGetHandle(KOV_OptionsColorizeNone)) {
        mode = mode == COLORIZE_NONE ? COLORIZE_DOPING : COLORIZE_NONE;
    }
    DeviceCanvas_redraw();
    return IUP_DEFAULT;
}

int WindowMain_onColorizeMenuOpen(Ihandle*)
{
    Settings* settings = App_getSettings();
    if (settings == nullptr) {
        return IUP_DEFAULT;
    }
    setCheck(KOV_OptionsColorizeN, settings->DeviceColorize == COLORIZE_DOPING);
    setCheck(KOV_OptionsColorizeEg, settings->DeviceColorize == COLORIZE_BANDGAP);
    setCheck(KOV_OptionsColorizeMesh, settings->DeviceColorize == COLORIZE_MESH);
    setCheck(KOV_OptionsColorizeNone, settings->DeviceColorize == COLORIZE_NONE);
    return IUP_DEFAULT;
}

int WindowMain_onConsoleCopy(Ihandle*) { return onConsole(Editor_copy); }
int WindowMain_onConsoleZoomIn(Ihandle*) { return onConsole(Editor_zoomIn); }
int WindowMain_onConsoleZoomOut(Ihandle*) { return onConsole(Editor_zoomOut); }
int WindowMain_onConsoleZoomReset(Ihandle*) { return onConsole(Editor_zoomReset); }

int WindowMain_onHelp(Ihandle*)
{
    const char* help = IupGetGlobal(KOV_HelpFilenameSimulator);
    if (help == nullptr || help[0] == '\0') {
        kovraShowMessage("Cannot show help contents: PDF file not found", "KovraDevice", 2,
                         KOV_WindowMain);
        return IUP_DEFAULT;
    }
    if (kov_fileExistsA(help) != 1) {
        std::string text = std::string("Cannot show help contents: ") + help + " not found";
        kovraShowInfo(text.c_str(), 0, 1);
        return IUP_DEFAULT;
    }
    if (IupHelp(help) < 0) {
        std::string text = std::string("Cannot show help contents: no viewer opens ") + help;
        kovraShowInfo(text.c_str(), 0, 1);
    }
    return IUP_DEFAULT;
}

int WindowMain_onExample(Ihandle* item)
{
    const char* attribute = item ? IupGetAttribute(item, KOV_ExampleId) : nullptr;
    int id = -1;
    if (attribute == nullptr || std::sscanf(attribute, "%d", &id) != 1 || id < 0 || id > 3) {
        return IUP_DEFAULT;
    }
    kovraShowInfo("", 0, 9);
    if (Document_canClose("Cannot create document while simulation is running...",
                          "Device modified. Proceed anyway?", "KovraDevice")) {
        IupSetInt(nullptr, KOV_WindowMainFileOpening, 1);
        Document_create(nullptr, ExampleTable, id);
        IupSetInt(nullptr, KOV_WindowMainFileOpening, 0);
    }
    return IUP_DEFAULT;
}

int WindowAbout_show(Ihandle*)
{
    if (Ihandle* existing = IupGetHandle(KOV_WindowAbout)) {
        IupShow(existing);
        return IUP_DEFAULT;
    }
    Ihandle* name = IupLabel("KovraDevice");
    IupSetAttribute(name, "FONTSTYLE", "Bold");
    std::string versionText =
        std::string("Version ") + KOVRA_GUI_VERSION + " Build " + KOVRA_GUI_BUILD + KOVRA_RELEASE;
    Ihandle* version = IupLabel(versionText.c_str());
    Ihandle* about = IupLabel("The device editor of the Kovra suite: one-dimensional simulation\n"
                              "of solar cells and photodetectors (drift-diffusion, Poisson).");
    Ihandle* terms =
        IupLabel("Provided as it is, without warranty of any kind. Results are for study and\n"
                 "design work and must be checked before any use that depends on them.");
    Ihandle* ok = IupButton("OK", nullptr);
    IupSetHandle(KOV_WindowAbout_OK, ok);
    IupSetAttributes(ok, "ALIGNMENT=ACENTER, SIZE=48x");
    IupSetCallback(ok, "ACTION", WindowAbout_close);
    Ihandle* buttons = IupHbox(IupFill(), ok, nullptr);
    Ihandle* box = IupVbox(name, version, about, terms, buttons, nullptr);
    IupSetAttributes(box, "MARGIN=16x12, GAP=8");
    Ihandle* dialog = IupDialog(box);
    IupSetAttributes(dialog, "RESIZE=NO, MAXBOX=NO, MINBOX=NO, MINSIZE=120x80");
    IupSetAttribute(dialog, "TITLE", "About KovraDevice");
    if (Ihandle* main = IupGetHandle(KOV_WindowMain)) {
        IupSetStrAttribute(dialog, "ICON", IupGetAttribute(main, "ICON"));
    }
    IupSetAttribute(dialog, "PARENTDIALOG", KOV_WindowMain);
    // Enter presses OK; Escape is the close box (both close the box).
    IupSetAttribute(dialog, "DEFAULTENTER", KOV_WindowAbout_OK);
    IupSetCallback(dialog, "CLOSE_CB", WindowAbout_close);
    Dialog_register(KOV_WindowAbout, dialog);
    IupShowXY(dialog, IUP_CENTERPARENT, IUP_CENTERPARENT);
    return IUP_DEFAULT;
}

int WindowAbout_close(Ihandle*)
{
    Ihandle* dialog = IupGetHandle(KOV_WindowAbout);
    if (dialog == nullptr) {
        return IUP_DEFAULT;
    }
    Dialog_register(KOV_WindowAbout, nullptr);
    IupDestroy(dialog);
    return IUP_IGNORE;
}

int WindowMain_onTool(Ihandle* item)
{
    static const struct {
        const char* handle;
        const char* program;
    } tools[] = {{KOV_KovraTool_KovraEdit, "kovraedit"},
                 {KOV_KovraTool_KovraCalc, "KovraCalc"},
                 {KOV_KovraTool_KovraPlot, "kovraplot"},
                 {KOV_KovraTool_KovraDatabase, "kovradatabase"}};
    const char* binDir = IupGetGlobal(KOV_BinDir);
    kovraShowInfo("", 0, 9);  // an earlier refusal is not this start's
    for (const auto& tool : tools) {
        if (item == nullptr || item != IupGetHandle(tool.handle)) {
            continue;
        }
        std::string program = binDir ? std::string(binDir) + tool.program : std::string();
        std::string command = FileNames_toolCommand(binDir ? binDir : "", tool.program);
        const std::string refusal = std::string("Cannot start ") + tool.program;
        int pid = -1;
        if (command.empty() || kov_fileExistsA(program.c_str()) != 1) {
            kovraShowInfo(refusal.c_str(), 0, 1);
        } else if (std::strcmp(tool.handle, KOV_KovraTool_KovraEdit) == 0) {
            // kovraedit ends at once when it finds no text editor; the
            // launch watch reports that.
            EditorLaunch_open(program, "");
        } else if (!kov_spawnProcess(nullptr, 0, command.c_str(), &pid, nullptr, 0)) {
            kovraShowInfo(refusal.c_str(), 0, 1);
        } else {
            ChildReaper_watch();
        }
        break;
    }
    return IUP_DEFAULT;
}

int WindowMain_onCheckUpdate(Ihandle* item) { return WindowMain_checkUpdate(item, "KovraDevice"); }
