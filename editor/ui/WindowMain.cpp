// Construction of the main dialog: its controls with their handle names and
// callbacks, the menu bar, the layer context menu and the 18 key bindings.
#include "WindowMain.h"

#include <cstdio>
#include <map>
#include <string>

#include "App.h"
#include "DeviceCanvas.h"
#include "Output.h"
#include "document.h"
#include "kovbase.h"
#include "kovragui.h"
#include "settings.h"
#include "FileNames.h"
#include "RecentFiles.h"
#include "kovraHandles.h"

namespace {

std::map<std::string, DialogOpener>& openers()
{
    static std::map<std::string, DialogOpener> table;
    return table;
}

Ihandle* named(Ihandle* ih, const char* name)
{
    IupSetHandle(name, ih);
    return ih;
}

Ihandle* item(const char* title, const char* handle, Icallback action)
{
    Ihandle* ih = IupItem(title, nullptr);
    if (handle != nullptr) {
        IupSetHandle(handle, ih);
    }
    if (action != nullptr) {
        IupSetCallback(ih, "ACTION", action);
    }
    return ih;
}

// An item, button or key that opens a parameter dialog carries the dialog's
// name; the one routine below opens it.
int openNamedDialog(Ihandle* ih)
{
    const char* dialog = IupGetAttribute(ih, KOV_Dialog);
    if (dialog != nullptr) {
        WindowMain_openDialog(dialog);
    }
    return IUP_DEFAULT;
}

Ihandle* dialogItem(const char* title, const char* handle, const char* dialog)
{
    Ihandle* ih = item(title, handle, openNamedDialog);
    IupSetStrAttribute(ih, KOV_Dialog, dialog);
    if (!WindowMain_hasDialog(dialog)) {
        IupSetAttribute(ih, "ACTIVE", "NO");
    }
    return ih;
}

int deleteLayerItem(Ihandle*)
{
    if (App_getDocument() != nullptr && !Dialog_isShown()) {
        WindowMain_deleteLayer();
    }
    return IUP_DEFAULT;
}
int insertLayerItem(Ihandle*) { return WindowMain_insertLayer(); }
int moveUpItem(Ihandle*) { return WindowMain_moveLayer(-1); }
int moveDownItem(Ihandle*) { return WindowMain_moveLayer(+1); }

Ihandle* label(const char* title, const char* attributes)
{
    Ihandle* ih = IupLabel(title);
    IupSetAttributes(ih, attributes);
    return ih;
}

Ihandle* valueField(const char* handle, const char* tip)
{
    Ihandle* ih = named(IupText(nullptr), handle);
    IupSetAttributes(ih, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, SIZE=84x, NC=40");
    IupSetStrAttribute(ih, "PARAMTIP", tip);
    IupSetCallback(ih, "GETFOCUS_CB", WindowMain_onParamFocus);
    IupSetCallback(ih, "KILLFOCUS_CB", WindowMain_onFieldLeave);
    IupSetCallback(ih, "K_ANY", WindowMain_onFieldKey);
    return ih;
}

Ihandle* dropdown(const char* handle)
{
    Ihandle* ih = named(IupList(nullptr), handle);
    IupSetAttributes(
        ih, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, SIZE=84x, SHOWIMAGE=NO, DROPDOWN=YES, SORT=NO");
    return ih;
}

Ihandle* row(Ihandle* a, Ihandle* b, Ihandle* c, Ihandle* d)
{
    Ihandle* box = IupHbox(a, b, c, d, nullptr);
    IupSetAttributes(box, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=20");
    return box;
}

Ihandle* layerButton(const char* title, const char* handle, const char* dialog)
{
    Ihandle* ih = IupButton(title, nullptr);
    if (handle != nullptr) {
        IupSetHandle(handle, ih);
    }
    IupSetAttributes(ih, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, SIZE=84x");
    IupSetStrAttribute(ih, KOV_Dialog, dialog);
    IupSetCallback(ih, "ACTION", openNamedDialog);
    if (!WindowMain_hasDialog(dialog)) {
        IupSetAttribute(ih, "ACTIVE", "NO");
    }
    return ih;
}

Ihandle* lightToggle(const char* title, const char* handle)
{
    Ihandle* ih = named(IupToggle(title, nullptr), handle);
    IupSetAttributes(ih, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, SIZE=84x");
    IupSetCallback(ih, "ACTION", WindowMain_onLightSource);
    return ih;
}

Ihandle* buildRightColumn()
{
    const char* columnLabel = "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER:ABOTTOM, SIZE=84x";
    Ihandle* layerLabels =
        row(label("  ", columnLabel), label("Doping (1/cm3)", columnLabel),
            label("Thickness (um)", columnLabel), label("Bandgap (eV)", columnLabel));
    Ihandle* layerList = dropdown(KOV_WindowMain_LayerList);
    IupSetCallback(layerList, "ACTION", WindowMain_onLayerListAction);
    IupSetStrAttribute(layerList, "PARAMTIP", "Layer");
    IupSetCallback(layerList, "GETFOCUS_CB", WindowMain_onParamFocus);
    Ihandle* doping = valueField(KOV_WindowMain_Doping, "Doping (1/cm3)");
    IupSetAttribute(doping, "CUEBANNER", "Intrinsic");
    Ihandle* layerFields =
        row(layerList, doping, valueField(KOV_WindowMain_Thickness, "Thickness (um)"),
            valueField(KOV_WindowMain_Bandgap, "Bandgap (eV)"));
    Ihandle* layerBox = IupVbox(layerLabels, layerFields, nullptr);
    IupSetAttributes(layerBox, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=5");

    Ihandle* buttons =
        row(layerButton("Parameters...", KOV_WindowMain_LayerParam, KOV_WindowParam),
            layerButton("Doping...", KOV_WindowMain_LayerDoping, KOV_WindowDoping),
            layerButton("Mobility...", KOV_WindowMain_LayerMobility, KOV_WindowMobility),
            layerButton("Index...", KOV_WindowMain_LayerIndex, KOV_WindowIndex));

    Ihandle* voltageLabels = row(label(" ", columnLabel), label("Start (V)", columnLabel),
                                 label("End (V)", columnLabel), label("Step (V)", columnLabel));
    Ihandle* sweep = dropdown(KOV_WindowMain_VoltageSweep);
    IupSetCallback(sweep, "ACTION", WindowMain_onVoltageSweep);
    Ihandle* voltageFields = row(sweep, valueField(KOV_WindowMain_VoltageStart, "Init (V)"),
                                 valueField(KOV_WindowMain_VoltageEnd, "End (V)"),
                                 valueField(KOV_WindowMain_VoltageStep, "Step (V)"));
    Ihandle* voltageBox = IupVbox(voltageLabels, voltageFields, nullptr);
    IupSetAttributes(voltageBox, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=5");

    Ihandle* light = row(lightToggle("Light, Mono", KOV_WindowMain_LightMono),
                         lightToggle("AM1.5", KOV_WindowMain_LightAM15),
                         lightToggle("Sweep <QE>", KOV_WindowMain_LightSweep),
                         lightToggle("File", KOV_WindowMain_LightFile));

    Ihandle* right = named(IupVbox(layerBox, buttons, voltageBox, light, Output_create(), nullptr),
                           KOV_RightBox);
    IupSetAttributes(right, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=5x10, GAP=16");
    return right;
}

Ihandle* buildLeftColumn()
{
    Ihandle* name = named(IupText(nullptr), KOV_DeviceName);
    IupSetAttributes(name, "RASTERSIZE=250x, ALIGNMENT=ACENTER");
    IupSetAttribute(name, "PARAMTIP", "Device Name");
    IupSetAttribute(name, "CUEBANNER", "Device Name");
    IupSetCallback(name, "GETFOCUS_CB", WindowMain_onParamFocus);
    IupSetCallback(name, "KILLFOCUS_CB", WindowMain_onFieldLeave);
    Ihandle* left = IupVbox(name, DeviceCanvas_create(), nullptr);
    IupSetAttributes(left, "EXPAND=VERTICAL, ALIGNMENT=ACENTER, MARGIN=5x10, GAP=10");
    return left;
}

// ---- key bindings ---------------------------------------------------------------------
int keyNew(Ihandle* ih) { return WindowMain_onFileNew(ih); }
int keyOpen(Ihandle* ih) { return WindowMain_onFileOpen(ih); }
int keySave(Ihandle* ih) { return WindowMain_onFileSave(ih); }
int keyDialog(const char* name)
{
    WindowMain_openDialog(name);
    return IUP_DEFAULT;
}
int keyParam(Ihandle*) { return keyDialog(KOV_WindowParam); }
int keyDoping(Ihandle*) { return keyDialog(KOV_WindowDoping); }
int keyMobility(Ihandle*) { return keyDialog(KOV_WindowMobility); }
int keyIndex(Ihandle*) { return keyDialog(KOV_WindowIndex); }
int keyLight(Ihandle*) { return keyDialog(KOV_WindowLight); }
int keyVoltage(Ihandle*) { return keyDialog(KOV_WindowVoltage); }

void bindKeys(Ihandle* dialog)
{
    IupSetCallback(dialog, "K_cN", keyNew);
    IupSetCallback(dialog, "K_cO", keyOpen);
    IupSetCallback(dialog, "K_cS", keySave);
    IupSetCallback(dialog, "K_mF4", WindowMain_onClose);
    IupSetCallback(dialog, "K_F12", WindowMain_onRun);
    IupSetCallback(dialog, "K_mF12", WindowMain_onStop);
    IupSetCallback(dialog, "K_F1", WindowMain_onHelp);
    IupSetCallback(dialog, "K_mF1", WindowAbout_show);
    IupSetCallback(dialog, "K_F5", keyParam);
    IupSetCallback(dialog, "K_F6", keyDoping);
    IupSetCallback(dialog, "K_F7", keyMobility);
    IupSetCallback(dialog, "K_F8", keyIndex);
    IupSetCallback(dialog, "K_F10", keyLight);
    IupSetCallback(dialog, "K_F11", keyVoltage);
    IupSetCallback(dialog, "K_cC", WindowMain_onConsoleCopy);
    IupSetCallback(dialog, "K_cPlus", WindowMain_onConsoleZoomIn);
    IupSetCallback(dialog, "K_cMinus", WindowMain_onConsoleZoomOut);
    IupSetCallback(dialog, "K_c0", WindowMain_onConsoleZoomReset);
}

// ---- menus ----------------------------------------------------------------------------
Ihandle* recentMenu()
{
    Settings* settings = App_getSettings();
    Ihandle* menu = IupMenu(nullptr);
    Ihandle* lastOpen =
        item("Load last opened device at startup", KOV_FileRecent00, WindowMain_onFileRecent);
    IupSetAttribute(lastOpen, KOV_RecentFilename, "__File_Last_Open_Enable__");
    IupSetAttribute(lastOpen, "VALUE",
                    settings && settings->FileLastOpenEnable == 1 ? "ON" : "OFF");
    IupAppend(menu, lastOpen);
    IupAppend(menu, IupSeparator());
    int number = 1;
    if (settings != nullptr) {
        // Vanished files leave the list now, so the settings file forgets them too.
        for (int i = 0; i < SETTINGS_RECENT; ++i) {
            const char* path = settings->FileRecent[i];
            if (path[0] == '\0' || kov_fileExistsA(path) != 1) {
                continue;
            }
            char handle[32];
            std::snprintf(handle, sizeof handle, KOV_FileRecent_FORMAT, number++);
            Ihandle* entry =
                item(FileNames_fileName(path).c_str(), handle, WindowMain_onFileRecent);
            IupSetStrAttribute(entry, KOV_RecentFilename, path);
            IupAppend(menu, entry);
        }
        RecentFiles_prune(settings->FileRecent,
                          [](const char* p) { return kov_fileExistsA(p) == 1; });
    }
    for (; number <= SETTINGS_RECENT; ++number) {
        char handle[32];
        std::snprintf(handle, sizeof handle, KOV_FileRecent_FORMAT, number);
        Ihandle* entry = item("Recent Device", handle, WindowMain_onFileRecent);
        IupSetAttribute(entry, KOV_RecentFilename, nullptr);
        IupSetAttribute(entry, "ACTIVE", "NO");
        IupAppend(menu, entry);
    }
    IupSetCallback(menu, "OPEN_CB", WindowMain_onRecentMenuOpen);
    return menu;
}

Ihandle* templateMenu()
{
    Ihandle* menu = IupMenu(nullptr);
    for (int id = 0; id < 4 && TemplateTable[id].id >= 0; ++id) {
        char handle[32];
        std::snprintf(handle, sizeof handle, KOV_Template_FORMAT, id);
        Ihandle* entry = item(TemplateTable[id].name, handle, WindowMain_onFileNewTemplate);
        IupSetInt(entry, KOV_TemplateId, id);
        IupAppend(menu, entry);
    }
    return menu;
}

void appendLayerItems(Ihandle* menu)
{
    IupAppend(menu, item("Insert Layer", KOV_DeviceLayerInsert, insertLayerItem));
    IupAppend(menu, item("Move Layer Up", KOV_DeviceLayerMoveUp, moveUpItem));
    IupAppend(menu, item("Move Layer Down", KOV_DeviceLayerMoveDown, moveDownItem));
    IupAppend(menu, item("Delete Layer", KOV_DeviceLayerDelete, deleteLayerItem));
    IupAppend(menu, dialogItem("Layer Parameters...\tF5", KOV_DeviceLayerParam, KOV_WindowParam));
    IupAppend(menu, dialogItem("Material...", KOV_DeviceLayerMaterial, KOV_WindowMaterial));
    IupAppend(menu, dialogItem("Lattice...", KOV_DeviceLayerLattice, KOV_WindowLattice));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, dialogItem("Variables...", KOV_DeviceLayerVariable, KOV_WindowVariable));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, dialogItem("Doping...\tF6", KOV_DeviceLayerDoping, KOV_WindowDoping));
    IupAppend(menu, dialogItem("Traps...", KOV_DeviceLayerTrap, KOV_WindowTrap));
    IupAppend(menu, dialogItem("Urbach Tail...", KOV_DeviceLayerUrbach, KOV_WindowUrbach));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, dialogItem("Mobility...\tF7", KOV_DeviceLayerMobility, KOV_WindowMobility));
    IupAppend(menu, dialogItem("Index...\tF8", KOV_DeviceLayerIndex, KOV_WindowIndex));
}

Ihandle* submenu(const char* title, Ihandle* menu, Icallback open)
{
    if (open != nullptr) {
        IupSetCallback(menu, "OPEN_CB", open);
    }
    return IupSubmenu(title, menu);
}

}  // namespace

void WindowMain_setDialogOpener(const char* dialogName, DialogOpener opener)
{
    if (dialogName != nullptr) {
        openers()[dialogName] = opener;
    }
}

int WindowMain_hasDialog(const char* dialogName)
{
    auto found = dialogName ? openers().find(dialogName) : openers().end();
    return found != openers().end() && found->second != nullptr;
}

int WindowMain_openDialog(const char* dialogName)
{
    if (!WindowMain_hasDialog(dialogName)) {
        return IUP_DEFAULT;
    }
    if (std::string(dialogName) == KOV_WindowNumeric && App_getDocument() == nullptr) {
        return IUP_DEFAULT;
    }
    openers()[dialogName]();
    return IUP_DEFAULT;
}

Ihandle* WindowMain_create(int width, int height)
{
    Ihandle* split =
        named(IupHbox(buildLeftColumn(), buildRightColumn(), nullptr), KOV_CentralSplitBox);
    IupSetAttributes(split, "EXPAND=YES, ALIGNMENT=ATOP, MARGIN=10x6, GAP=10");
    Ihandle* mainBox = named(IupVbox(split, nullptr), KOV_WindowMainBox);
    IupSetAttributes(mainBox, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=0x2, GAP=0");
    Ihandle* dialog = named(IupDialog(mainBox), KOV_WindowMain);
    IupSetAttributes(
        dialog,
        "ALIGNMENT=CENTER, MARGIN=0x0, GAP=0, EXPAND=YES, RESIZE=YES, SHRINK=YES, MAXBOX=YES, "
        "MINSIZE=720x480");
    IupSetAttribute(dialog, "TITLE", "KovraDevice");
    IupSetfAttribute(dialog, "RASTERSIZE", "%dx%d", width, height);
    IupSetStrAttribute(dialog, "ICON", Images_getName(180));
    IupSetCallback(dialog, "CLOSE_CB", WindowMain_onClose);
    bindKeys(dialog);
    return dialog;
}

void WindowMain_createFileMenu(Ihandle* menu)
{
    IupAppend(menu, item("&New\tCtrl+N", KOV_FileNew, WindowMain_onFileNew));
    IupAppend(menu, IupSubmenu("New <Template>", templateMenu()));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, item("&Open\tCtrl+O", KOV_FileOpen, WindowMain_onFileOpen));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, item("&Save\tCtrl+S", KOV_FileSave, WindowMain_onFileSave));
    IupAppend(menu, item("Save As...", KOV_FileSaveAs, WindowMain_onFileSaveAs));
    IupAppend(menu, item("Reload", KOV_FileReload, WindowMain_onFileReload));
    Ihandle* setDefault = item("Set As &Default", KOV_FileDefault, WindowMain_onFileSetDefault);
    IupSetCallback(setDefault, "HIGHLIGHT_CB", WindowMain_onFileDefaultHighlight);
    IupAppend(menu, setDefault);
    IupAppend(menu, item("Reset Default", KOV_FileDefaultReset, WindowMain_onFileResetDefault));
    IupAppend(menu, item("Open With KovraEdit", KOV_FileReopen, WindowMain_onFileOpenInEditor));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, IupSubmenu("&Recent Files", recentMenu()));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, item("E&xit\tAlt+F4", KOV_FileExit, WindowMain_onClose));
}

Ihandle* WindowMain_createLayerMenu()
{
    if (IupGetHandle(KOV_WindowMain) == nullptr || App_getSettings() == nullptr) {
        return nullptr;
    }
    Ihandle* menu = IupMenu(nullptr);
    appendLayerItems(menu);
    IupSetCallback(menu, "OPEN_CB", WindowMain_onLayerMenuOpen);
    return menu;
}

void WindowMain_createOptionsMenu(Ihandle* menu)
{
    Ihandle* outDir = item("Output &Directory...", KOV_OptionsOutDir, WindowMain_onOptionsOutDir);
    IupSetCallback(outDir, "HIGHLIGHT_CB", WindowMain_onOutDirHighlight);
    IupAppend(menu, outDir);
    IupAppend(menu, item("Save All Output", KOV_OptionsSaveFull, WindowMain_onOptionsSaveFull));
    IupAppend(menu,
              item("Recreate Output Directory", KOV_OptionsDirDate, WindowMain_onOptionsDirDate));
    IupAppend(menu, item("Plot Simulation Results", KOV_OptionsPlot, WindowMain_onOptionsPlot));
    IupAppend(menu, IupSeparator());
    Ihandle* colorize =
        IupMenu(item("Doping", KOV_OptionsColorizeN, WindowMain_onColorize),
                item("Bandgap", KOV_OptionsColorizeEg, WindowMain_onColorize),
                item("Mesh", KOV_OptionsColorizeMesh, WindowMain_onColorize),
                item("None", KOV_OptionsColorizeNone, WindowMain_onColorize), nullptr);
    IupAppend(menu, submenu("&Colorize using", colorize, WindowMain_onColorizeMenuOpen));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, dialogItem("Numeric...", KOV_OptionsNumeric, KOV_WindowNumeric));
}

void WindowMain_createToolsMenu(Ihandle* menu)
{
    IupAppend(menu, item("&Contents (PDF)\tF1", KOV_HelpContents, WindowMain_onHelp));
    Ihandle* examples = IupMenu(nullptr);
    for (int id = 0; id < 4 && ExampleTable[id].id >= 0; ++id) {
        char handle[32];
        std::snprintf(handle, sizeof handle, KOV_Example_FORMAT, id);
        Ihandle* entry = item(ExampleTable[id].name, handle, WindowMain_onExample);
        IupSetInt(entry, KOV_ExampleId, id);
        IupAppend(examples, entry);
    }
    IupAppend(menu, IupSubmenu("&Examples", examples));
    IupAppend(menu, IupSeparator());
    Ihandle* tools =
        IupMenu(item("KovraEdit", KOV_KovraTool_KovraEdit, WindowMain_onTool),
                item("KovraCalc", KOV_KovraTool_KovraCalc, WindowMain_onTool),
                item("KovraPlot", KOV_KovraTool_KovraPlot, WindowMain_onTool),
                item("KovraDatabase", KOV_KovraTool_KovraDatabase, WindowMain_onTool), nullptr);
    IupAppend(menu, IupSubmenu("&Kovra Tools", tools));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, item("&Check for Update...", KOV_HelpUpdate, WindowMain_onCheckUpdate));
    IupAppend(menu, IupSeparator());
    IupAppend(menu, item("&About...\tAlt+F1", KOV_HelpAbout, WindowAbout_show));
}

void WindowMain_createMenubar(Ihandle* menu, const char* name)
{
    if (menu == nullptr || name == nullptr || IupGetHandle(KOV_WindowMain) == nullptr ||
        App_getSettings() == nullptr) {
        return;
    }
    IupSetHandle(name, menu);

    Ihandle* file = IupMenu(nullptr);
    WindowMain_createFileMenu(file);
    IupAppend(menu, submenu("&File", file, WindowMain_onFileMenuOpen));

    Ihandle* statusbar = item("Statusbar", KOV_ViewStatusbar, WindowMain_onViewStatusbar);
    Ihandle* actionbar = item("Actionbar", KOV_ViewActionbar, WindowMain_onViewActionbar);
    IupAppend(menu,
              submenu("&View", IupMenu(statusbar, actionbar, nullptr), WindowMain_onViewMenuOpen));

    Ihandle* device = IupMenu(nullptr);
    appendLayerItems(device);
    IupAppend(device, IupSeparator());
    IupAppend(device, dialogItem("Temperature...", KOV_DeviceTemperature, KOV_WindowTemperature));
    IupAppend(device, dialogItem("Contacts...", KOV_DeviceContact, KOV_WindowContact));
    IupAppend(menu, submenu("&Device", device, WindowMain_onLayerMenuOpen));

    IupAppend(
        menu,
        IupSubmenu("&Excitation",
                   IupMenu(dialogItem("Light...\tF10", KOV_ExcitationLight, KOV_WindowLight),
                           dialogItem("Voltage...\tF11", KOV_ExcitationVoltage, KOV_WindowVoltage),
                           nullptr)));

    Ihandle* clear = item("&Clear Output", KOV_RunClear, Output_onClear);
    IupSetAttribute(clear, KOV_Output, reinterpret_cast<char*>(IupGetHandle(KOV_Output)));
    Ihandle* run =
        IupMenu(item("&Run\tF12", KOV_RunRun, WindowMain_onRun),
                item("&Stop\tAlt+F12", KOV_RunStop, WindowMain_onStop), IupSeparator(),
                item("&Plot", KOV_RunPlot, WindowMain_onPlot), IupSeparator(), clear, nullptr);
    IupAppend(menu, submenu("&Run", run, WindowMain_onRunMenuOpen));

    Ihandle* options = IupMenu(nullptr);
    WindowMain_createOptionsMenu(options);
    IupAppend(menu, submenu("&Options", options, WindowMain_onOptionsMenuOpen));

    Ihandle* help = IupMenu(nullptr);
    WindowMain_createToolsMenu(help);
    IupAppend(menu, IupSubmenu("&Help", help));
}
