// The layer stack in the main window: selection, the layer list and the
// dialogs' layer lists, the layer commands (refused while a dialog is open),
// the window title, the action bar, the status bar and the recent-file list.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "App.h"
#include "CanvasState.h"
#include "DeviceCanvas.h"
#include "FileNames.h"
#include "LayerStack.h"
#include "WindowMain.h"
#include "device.h"
#include "document.h"
#include "kovbase.h"
#include "kovragui.h"
#include "settings.h"
#include "kovraHandles.h"

namespace {

Device* currentDevice()
{
    Document* document = App_getDocument();
    return document ? document->device : nullptr;
}

Ihandle* layerList() { return IupGetHandle(KOV_WindowMain_LayerList); }

void setListValue(int n)
{
    if (Ihandle* list = layerList()) {
        IupSetInt(list, "VALUE", n);
    }
}

bool layerCommandsAllowed()
{
    return !Dialog_isShown() && currentDevice() != nullptr && layerList() != nullptr;
}

struct ActionButton {
    int image;
    const char* handle;
    Icallback action;
};

int openDialogButton(Ihandle* ih)
{
    const char* dialog = IupGetAttribute(ih, KOV_Dialog);
    return dialog ? WindowMain_openDialog(dialog) : IUP_DEFAULT;
}

int deleteButton(Ihandle*)
{
    if (App_getDocument() != nullptr && !Dialog_isShown()) {
        WindowMain_deleteLayer();
    }
    return IUP_DEFAULT;
}
int insertButton(Ihandle*) { return WindowMain_insertLayer(); }

const char* dialogOfButton(const char* handle)
{
    static const struct {
        const char* handle;
        const char* dialog;
    } table[] = {{KOV_Actionbar_Btn_Doping, KOV_WindowDoping},
                 {KOV_Actionbar_Btn_Trap, KOV_WindowTrap},
                 {KOV_Actionbar_Btn_Mobility, KOV_WindowMobility},
                 {KOV_Actionbar_Btn_Index, KOV_WindowIndex},
                 {KOV_Actionbar_Btn_Contact, KOV_WindowContact},
                 {KOV_Actionbar_Btn_Voltage, KOV_WindowVoltage},
                 {KOV_Actionbar_Btn_Light, KOV_WindowLight},
                 {KOV_Actionbar_Btn_Variable, KOV_WindowVariable}};
    for (const auto& row : table) {
        if (std::strcmp(row.handle, handle) == 0) {
            return row.dialog;
        }
    }
    return nullptr;
}

const ActionButton actionButtons[] = {
    {2, KOV_Actionbar_Btn_New, WindowMain_onFileNew},
    {3, KOV_Actionbar_Btn_Open, WindowMain_onFileOpen},
    {4, KOV_Actionbar_Btn_Save, WindowMain_onFileSave},
    {-1, nullptr, nullptr},
    {121, KOV_Actionbar_Btn_Insert, insertButton},
    {122, KOV_Actionbar_Btn_Delete, deleteButton},
    {-1, nullptr, nullptr},
    {124, KOV_Actionbar_Btn_Doping, openDialogButton},
    {125, KOV_Actionbar_Btn_Trap, openDialogButton},
    {128, KOV_Actionbar_Btn_Mobility, openDialogButton},
    {127, KOV_Actionbar_Btn_Index, openDialogButton},
    {-1, nullptr, nullptr},
    {130, KOV_Actionbar_Btn_Contact, openDialogButton},
    {135, KOV_Actionbar_Btn_Voltage, openDialogButton},
    {136, KOV_Actionbar_Btn_Light, openDialogButton},
    {-1, nullptr, nullptr},
    {131, KOV_Actionbar_Btn_Variable, openDialogButton},
    {-1, nullptr, nullptr},
    {51, KOV_Actionbar_Btn_Run, WindowMain_onRun},
    {52, KOV_Actionbar_Btn_Stop, WindowMain_onStop},
    {-1, nullptr, nullptr},
    {151, KOV_Actionbar_Btn_Plot, WindowMain_onPlot},
};

// Read-only by its permission bits too, so that a file the user marked
// read-only shows so even to an administrator who could write it.
bool isReadOnly(const char* path)
{
    struct stat info {};
    if (stat(path, &info) != 0) {
        return false;
    }
    return (info.st_mode & S_IWUSR) == 0 || access(path, W_OK) != 0;
}

bool runLive(Document* document) { return WindowMain_isRunLive(document); }

bool plotReady(Document* document)
{
    return document != nullptr && !runLive(document) && WindowMain_hasResults(document);
}

// The layer a layer command acts on (1-based), or 0 when commands are
// refused now or no layer is selected.
int commandLayerNumber(const Device* device)
{
    if (!layerCommandsAllowed()) {
        return 0;
    }
    int selected = WindowMain_selectedLayerNumber();
    return selected >= 1 && selected <= device->layerCount ? selected : 0;
}

// After a layer was inserted, moved or removed: the list is rebuilt, the
// target layer selected and shown, and the document marked modified.
void showChangedStack(int target)
{
    WindowMain_fillLayerList();
    setListValue(target);
    WindowMain_setSelection(target, -1);
    WindowMain_showLayer();
    Document_setModified(App_getDocument(), 1);
}

}  // namespace

int WindowMain_selectedLayerNumber()
{
    Document* document = App_getDocument();
    return document ? document->canvasState[CS_SELECTED_LAYER] : -1;
}

int WindowMain_selectedContact()
{
    Document* document = App_getDocument();
    return document ? document->canvasState[CS_SELECTED_CONTACT] : -1;
}

void WindowMain_setSelection(int layer, int contact)
{
    if (Document* document = App_getDocument()) {
        document->canvasState[CS_SELECTED_LAYER] = layer;
        document->canvasState[CS_SELECTED_CONTACT] = contact;
    }
}

int WindowMain_formatLayerItem(int index0, char* buffer)
{
    Device* device = currentDevice();
    if (App_getDocument() == nullptr || device == nullptr) {
        return 0;
    }
    if (buffer == nullptr || index0 < 0 || index0 >= device->layerCount) {
        return -1;
    }
    Layer* layer = device->layers[index0];
    char material[PARAM_VALUE_SIZE] = {};
    char dopant[PARAM_VALUE_SIZE] = {};
    Layer_getValueText(layer, "Material", material);
    Layer_getValueText(layer, "Dopant.Type", dopant);
    char label[PARAM_VALUE_SIZE] = {};
    Layer_getValueText(layer, "Label", label);
    std::string text = LayerStack_itemText(index0 + 1, label, material, dopant);
    kov_copyA(buffer, 512, text.c_str());
    return static_cast<int>(std::strlen(buffer));
}

void WindowMain_fillLayerList()
{
    Device* device = currentDevice();
    Ihandle* list = layerList();
    if (device == nullptr || list == nullptr) {
        return;
    }
    int kept = LayerStack_keptSelection(IupGetAttribute(list, "VALUE"), device->layerCount);
    IupSetAttribute(list, "REMOVEITEM", "ALL");
    for (int i = 0; i < device->layerCount; ++i) {
        char text[512];
        WindowMain_formatLayerItem(i, text);
        IupSetStrAttribute(list, "APPENDITEM", text);
    }
    IupSetInt(list, "VALUE", kept);
    WindowMain_setSelection(kept, -1);
}

int WindowMain_fillDialogLayerList(Ihandle* list, const char* attributeName)
{
    Device* device = currentDevice();
    if (list == nullptr || device == nullptr) {
        return -1;
    }
    IupSetAttribute(list, "REMOVEITEM", "ALL");
    for (int i = 0; i < device->layerCount; ++i) {
        char text[512];
        WindowMain_formatLayerItem(i, text);
        IupSetStrAttribute(list, "APPENDITEM", text);
    }
    if (attributeName == nullptr) {
        return 1;
    }
    Ihandle* main = layerList();
    int value = main ? IupGetInt(main, "VALUE") : 1;
    if (value < 1) {
        value = 1;
    }
    IupSetInt(list, "VALUE", value);
    IupSetInt(list, attributeName, value);
    return value;
}

Layer* WindowMain_getSelectedLayer()
{
    Device* device = currentDevice();
    int n = WindowMain_selectedLayerNumber();
    if (device == nullptr || layerList() == nullptr || n < 1 || n > device->layerCount) {
        return nullptr;
    }
    return device->layers[n - 1];
}

void WindowMain_selectLayer(int n)
{
    if (n == WindowMain_selectedLayerNumber()) {
        return;
    }
    setListValue(n);
    WindowMain_setSelection(n, -1);
    WindowMain_showLayer();
}

int WindowMain_onLayerListAction(Ihandle* list, char* text, int item, int state)
{
    if (currentDevice() == nullptr || state != 1) {
        return IUP_DEFAULT;
    }
    if (Dialog_isShown()) {
        setListValue(WindowMain_selectedLayerNumber());
        return IUP_DEFAULT;
    }
    WindowMain_applyFields(0, 0);
    WindowMain_setSelection(item, -1);
    WindowMain_showLayer();
    return IUP_DEFAULT;
}

void WindowMain_stepSelection(int index0, int direction)
{
    Device* device = currentDevice();
    if (device == nullptr) {
        return;
    }
    StackSelection current{WindowMain_selectedLayerNumber(), WindowMain_selectedContact()};
    StackSelection target;
    if (!LayerStack_step(current, device->layerCount, index0, direction, target)) {
        return;
    }
    if (target.contact > 0) {
        WindowMain_setSelection(current.layer, target.contact);
        WindowMain_showLayer();
        return;
    }
    if (target.layer != current.layer || current.contact > 0) {
        WindowMain_applyFields(0, 0);
        setListValue(target.layer);
        WindowMain_setSelection(target.layer, -1);
        WindowMain_showLayer();
    }
}

int WindowMain_moveLayer(int direction)
{
    Device* device = currentDevice();
    int selected = commandLayerNumber(device);
    if (selected == 0) {
        return IUP_DEFAULT;
    }
    // Fields first: they belong to the layer at its old place.
    WindowMain_applyFields(0, 0);
    Layer* moved = direction == -1 ? Device_moveLayerUp(device, selected - 1)
                                   : Device_moveLayerDown(device, selected - 1);
    if (moved == nullptr) {
        return IUP_DEFAULT;
    }
    int target = selected + (direction == -1 ? -1 : 1);
    setListValue(target);
    showChangedStack(target);
    return IUP_DEFAULT;
}

int WindowMain_insertLayer()
{
    Device* device = currentDevice();
    int selected = commandLayerNumber(device);
    if (selected == 0) {
        return IUP_DEFAULT;
    }
    WindowMain_applyFields(0, 0);
    if (Device_insertLayer(device, selected - 1) == nullptr) {
        return IUP_DEFAULT;
    }
    showChangedStack(std::min(selected + 1, device->layerCount));
    return IUP_DEFAULT;
}

int WindowMain_deleteLayer()
{
    Device* device = currentDevice();
    int selected = commandLayerNumber(device);
    if (selected == 0) {
        return IUP_DEFAULT;
    }
    if (kovraAskQuestion("Delete the selected layer?", "KovraDevice", 4, KOV_WindowMain) != 3) {
        return IUP_DEFAULT;
    }
    WindowMain_applyFields(0, 0);
    if (Device_removeLayer(device, selected - 1) != 1) {
        return IUP_DEFAULT;
    }
    int target = selected - 1 < 1 ? 1 : selected - 1;
    setListValue(target);
    showChangedStack(target);
    return IUP_DEFAULT;
}

int WindowMain_onLayerMenuOpen(Ihandle* menu)
{
    if (App_getDocument() == nullptr || layerList() == nullptr) {
        return IUP_DEFAULT;
    }
    const bool onLayer = WindowMain_selectedContact() < 1 && WindowMain_selectedLayerNumber() >= 1;
    static const char* const layerItems[] = {
        KOV_DeviceLayerInsert,   KOV_DeviceLayerMoveUp, KOV_DeviceLayerMoveDown,
        KOV_DeviceLayerDelete,   KOV_DeviceLayerParam,  KOV_DeviceLayerMaterial,
        KOV_DeviceLayerDoping,   KOV_DeviceLayerTrap,   KOV_DeviceLayerUrbach,
        KOV_DeviceLayerMobility, KOV_DeviceLayerIndex};
    for (const char* name : layerItems) {
        Ihandle* ih = IupGetHandle(name);
        if (ih == nullptr) {
            continue;
        }
        const char* dialog = IupGetAttribute(ih, KOV_Dialog);
        bool available = dialog == nullptr || WindowMain_hasDialog(dialog);
        IupSetAttribute(ih, "ACTIVE", onLayer && available ? "YES" : "NO");
    }
    return IUP_DEFAULT;
}

void WindowMain_updateTitle()
{
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    if (dialog == nullptr) {
        return;
    }
    Document* document = App_getDocument();
    std::string title = "KovraDevice";
    if (document != nullptr && document->device != nullptr) {
        if (Document_fileExists(document)) {
            title = std::string(document->filename) + " - KovraDevice";
            if (IupGetHandle(KOV_Actionbar_Info) != nullptr) {
                std::string info = FileNames_fileName(document->filename).substr(0, 48);
                const char* marker = nullptr;
                if (runLive(document)) {
                    marker = "  [running] ";
                } else if (isReadOnly(document->filename)) {
                    marker = "  [readonly] ";
                } else if (Document_isChangedOnDisk(document)) {
                    marker = " *[outside] ";
                } else if (Document_isModified(document)) {
                    marker = " * ";
                }
                if (marker != nullptr) {
                    info += marker;
                }
                kovraShowActionbarInfo(info.c_str(), marker ? "180 100 10" : "60 100 170");
            }
        } else {
            if (Document_isModified(document)) {
                title += " *";
            }
            kovraShowActionbarInfo("", "60 100 170");
        }
    }
    const char* current = IupGetAttribute(dialog, "TITLE");
    if (current == nullptr || title != current) {
        IupSetStrAttribute(dialog, "TITLE", title.c_str());
    }
}

void WindowMain_setButtonActive(const char* name, int active)
{
    Ihandle* ih = IupGetHandle(name);
    const char* current = ih ? IupGetAttribute(ih, "ACTIVE") : nullptr;
    if (current == nullptr) {
        return;
    }
    bool isActive = std::strcmp(current, "YES") == 0;
    if (isActive != (active == 1)) {
        IupSetAttribute(ih, "ACTIVE", active == 1 ? "YES" : "NO");
    }
}

void WindowMain_updateSaveButton(Document* document)
{
    if (document != nullptr) {
        WindowMain_setButtonActive(KOV_Actionbar_Btn_Save, Document_isModified(document) ? 1 : 0);
    }
}

void WindowMain_updateRunButtons(Document* document)
{
    if (document == nullptr) {
        return;
    }
    bool live = runLive(document);
    const bool runner = WindowMain_runner() != nullptr;
    WindowMain_setButtonActive(KOV_Actionbar_Btn_Run, runner && !live ? 1 : 0);
    WindowMain_setButtonActive(KOV_Actionbar_Btn_Stop, live ? 1 : 0);
    WindowMain_setButtonActive(KOV_Actionbar_Btn_Plot, runner && plotReady(document) ? 1 : 0);
}

void WindowMain_updateActionbar()
{
    Document* document = App_getDocument();
    WindowMain_updateSaveButton(document);
    WindowMain_updateRunButtons(document);
    WindowMain_updateOptionChecks();
}

Ihandle* WindowMain_createActionbar()
{
    Settings* settings = App_getSettings();
    Ihandle* mainBox = IupGetHandle(KOV_WindowMainBox);
    if (settings == nullptr || mainBox == nullptr || settings->ViewActionbar == 0) {
        return nullptr;
    }
    if (Ihandle* existing = IupGetHandle(KOV_Actionbar)) {
        return existing;
    }
    Ihandle* buttons = IupHbox(nullptr);
    IupSetAttributes(
        buttons, "MARGIN=4x2, GAP=5, NORMALIZESIZE=VERTICAL, EXPAND=HORIZONTAL, ALIGNMENT=ACENTER");
    for (const ActionButton& b : actionButtons) {
        if (b.image < 0) {
            Ihandle* separator = IupLabel(nullptr);
            IupSetAttribute(separator, "SEPARATOR", "VERTICAL");
            IupAppend(buttons, separator);
            continue;
        }
        char tip[256] = {};
        Ihandle* button = IupButton(nullptr, nullptr);
        IupSetHandle(b.handle, button);
        IupSetAttributes(button, "FLAT=YES, CANFOCUS=NO, PADDING=0x0");
        IupSetStrAttribute(button, "IMAGE", Images_get(b.image, tip));
        if (tip[0] != '\0') {
            IupSetStrAttribute(button, "TIP", tip);
        }
        IupSetCallback(button, "ACTION", b.action);
        if (const char* dialog = dialogOfButton(b.handle)) {
            IupSetStrAttribute(button, KOV_Dialog, dialog);
            IupSetAttribute(button, "ACTIVE", WindowMain_hasDialog(dialog) ? "YES" : "NO");
        } else {
            IupSetAttribute(button, "ACTIVE", "YES");
        }
        IupAppend(buttons, button);
    }
    Ihandle* info = IupLabel("");
    IupSetHandle(KOV_Actionbar_Info, info);
    IupSetAttributes(info,
                     "EXPAND=HORIZONTAL, ALIGNMENT=ARIGHT, PADDING=2x0, SHRINK=YES, ELLIPSIS=YES");
    IupAppend(buttons, info);
    Ihandle* line = IupLabel(nullptr);
    IupSetAttribute(line, "SEPARATOR", "HORIZONTAL");
    IupSetAttribute(line, "EXPAND", "HORIZONTAL");
    Ihandle* bar = IupVbox(buttons, line, nullptr);
    IupSetAttributes(bar, "EXPAND=HORIZONTAL, MARGIN=0x0, GAP=0");
    IupSetHandle(KOV_Actionbar, bar);
    IupInsert(mainBox, IupGetChild(mainBox, 0), bar);
    IupMap(bar);
    IupRefresh(mainBox);
    IupSetInt(nullptr, KOV_MainButtonW, 22);
    IupSetInt(nullptr, KOV_MainButtonH, 22);
    int w = 0, h = 0;
    if (IupGetIntInt(IupGetHandle(KOV_Actionbar_Btn_New), "RASTERSIZE", &w, &h) == 2 && w >= 1 &&
        w <= 64 && h >= 1 && h <= 64) {
        IupSetInt(nullptr, KOV_MainButtonW, w);
        IupSetInt(nullptr, KOV_MainButtonH, h);
    }
    return bar;
}

Ihandle* WindowMain_createStatusbar()
{
    Settings* settings = App_getSettings();
    Ihandle* mainBox = IupGetHandle(KOV_WindowMainBox);
    if (settings == nullptr || mainBox == nullptr || settings->ViewStatusbar == 0) {
        return nullptr;
    }
    if (Ihandle* existing = IupGetHandle(KOV_Statusbar)) {
        return existing;
    }
    Ihandle* pane0 = IupLabel("Ready");
    IupSetHandle(KOV_Statusbar_Pane0, pane0);
    IupSetAttributes(pane0, "EXPAND=HORIZONTAL, ALIGNMENT=ALEFT, PADDING=2x0, ELLIPSIS=YES");
    Ihandle* pane1 = IupLabel(" ");
    IupSetHandle(KOV_Statusbar_Pane1, pane1);
    IupSetAttributes(pane1, "SIZE=220x, ALIGNMENT=ARIGHT, PADDING=2x0, ELLIPSIS=YES");
    Ihandle* panes = IupHbox(pane0, pane1, nullptr);
    IupSetAttributes(panes, "EXPAND=HORIZONTAL, MARGIN=2x2, GAP=6");
    Ihandle* line = IupLabel(nullptr);
    IupSetAttribute(line, "SEPARATOR", "HORIZONTAL");
    IupSetAttribute(line, "EXPAND", "HORIZONTAL");
    Ihandle* bar = IupVbox(line, panes, nullptr);
    IupSetAttributes(bar, "EXPAND=HORIZONTAL, MARGIN=0x0, GAP=0");
    IupSetHandle(KOV_Statusbar, bar);
    IupAppend(mainBox, bar);
    IupMap(bar);
    IupRefresh(mainBox);
    return bar;
}

void WindowMain_destroyStatusbar()
{
    Ihandle* bar = IupGetHandle(KOV_Statusbar);
    if (bar == nullptr) {
        return;
    }
    IupSetHandle(KOV_Statusbar, nullptr);
    IupSetHandle(KOV_Statusbar_Pane0, nullptr);
    IupSetHandle(KOV_Statusbar_Pane1, nullptr);
    IupDestroy(bar);
    if (Ihandle* mainBox = IupGetHandle(KOV_WindowMainBox)) {
        IupRefresh(mainBox);
    }
}

void WindowMain_clearStatusPane()
{
    if (Ihandle* pane = IupGetHandle(KOV_Statusbar_Pane1)) {
        IupSetAttribute(pane, "TITLE", "");
    }
}

int WindowMain_onViewStatusbar(Ihandle*)
{
    Settings* settings = App_getSettings();
    if (settings == nullptr) {
        return IUP_DEFAULT;
    }
    if (IupGetHandle(KOV_Statusbar) != nullptr) {
        WindowMain_destroyStatusbar();
    } else {
        settings->ViewStatusbar = 1;
        WindowMain_createStatusbar();
    }
    settings->ViewStatusbar = IupGetHandle(KOV_Statusbar) != nullptr ? 1 : 0;
    return IUP_DEFAULT;
}

int WindowMain_onViewActionbar(Ihandle*)
{
    Settings* settings = App_getSettings();
    if (settings == nullptr) {
        return IUP_DEFAULT;
    }
    if (Ihandle* bar = IupGetHandle(KOV_Actionbar)) {
        for (const ActionButton& b : actionButtons) {
            if (b.handle != nullptr) {
                IupSetHandle(b.handle, nullptr);
            }
        }
        IupSetHandle(KOV_Actionbar_Info, nullptr);
        IupSetHandle(KOV_Actionbar, nullptr);
        IupDestroy(bar);
        IupRefresh(IupGetHandle(KOV_WindowMainBox));
    } else {
        settings->ViewActionbar = 1;
        WindowMain_createActionbar();
        WindowMain_updateActionbar();
        WindowMain_updateTitle();
    }
    settings->ViewActionbar = IupGetHandle(KOV_Actionbar) != nullptr ? 1 : 0;
    return IUP_DEFAULT;
}

int WindowMain_onViewMenuOpen(Ihandle*)
{
    if (Ihandle* item = IupGetHandle(KOV_ViewStatusbar)) {
        IupSetAttribute(item, "VALUE", IupGetHandle(KOV_Statusbar) ? "ON" : "OFF");
    }
    if (Ihandle* item = IupGetHandle(KOV_ViewActionbar)) {
        IupSetAttribute(item, "VALUE", IupGetHandle(KOV_Actionbar) ? "ON" : "OFF");
    }
    return IUP_DEFAULT;
}
