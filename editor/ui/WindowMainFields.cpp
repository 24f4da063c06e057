// The right side of the main window: the selected layer's thickness, doping
// and bandgap, the voltage sweep and the light source, committed field by
// field while typing and all at once before any command that needs a
// consistent device; the status text of the focused parameter; the file
// chooser of the dialogs' model and data files.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "App.h"
#include "DeviceCanvas.h"
#include "DialogFrame.h"
#include "FileNames.h"
#include "ParamControls.h"
#include "WindowMain.h"
#include "device.h"
#include "document.h"
#include "kovbase.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

const ControlRow layerFields[] = {{KOV_WindowMain_Thickness, "Thickness"},
                                  {KOV_WindowMain_Doping, "Dopant.N"},
                                  {KOV_WindowMain_Bandgap, "Bandgap"},
                                  {nullptr, nullptr}};
const ControlRow voltageFields[] = {{KOV_WindowMain_VoltageStart, "Voltage.Start"},
                                    {KOV_WindowMain_VoltageEnd, "Voltage.End"},
                                    {KOV_WindowMain_VoltageStep, "Voltage.Step"},
                                    {nullptr, nullptr}};
const char* const lightToggles[] = {KOV_WindowMain_LightMono, KOV_WindowMain_LightAM15,
                                    KOV_WindowMain_LightSweep};
const char* const lightWords[] = {"Mono", "AM1.5", "Sweep"};

Device* currentDevice()
{
    Document* document = App_getDocument();
    return document ? document->device : nullptr;
}

bool isValueField(Ihandle* control)
{
    for (const ControlRow* table : {layerFields, voltageFields}) {
        for (const ControlRow* row = table; row->handleName; ++row) {
            if (IupGetHandle(row->handleName) == control) {
                return true;
            }
        }
    }
    return false;
}

std::string layerValue(Layer* layer, const char* key)
{
    char text[PARAM_VALUE_SIZE] = {};
    Layer_getValueText(layer, key, text);
    return text;
}

void setActive(const char* name, bool active)
{
    if (Ihandle* ih = IupGetHandle(name)) {
        IupSetAttribute(ih, "ACTIVE", active ? "YES" : "NO");
    }
}

void voltageFieldsActive(bool active)
{
    for (const ControlRow* row = voltageFields; row->handleName; ++row) {
        setActive(row->handleName, active);
    }
}

void fillVoltageFields(Device* device)
{
    ParamRecord** records = device->voltage ? device->voltage->records : nullptr;
    int count = device->voltage ? device->voltage->count : 0;
    Params_fillControls(voltageFields, records, count);
}

void showFileInVoltageFields()
{
    for (const ControlRow* row = voltageFields; row->handleName; ++row) {
        if (Ihandle* ih = IupGetHandle(row->handleName)) {
            IupSetAttribute(ih, "VALUE", "File");
        }
    }
}

// A model button shows a star while a Lua model file is set.
void showModelButton(const char* name, const char* title, ParamRecord* record)
{
    Ihandle* button = IupGetHandle(name);
    if (button == nullptr) {
        return;
    }
    ParamControl_bind(button, record);
    std::string value = record && record->type == PARAM_TEXT ? record->value.text.c_str() : "";
    if (FileNames_namesLua(value)) {
        IupSetStrAttribute(button, "TITLE", (std::string(title) + "*...").c_str());
        IupSetStrAttribute(button, "TIP", value.c_str());
    } else {
        IupSetStrAttribute(button, "TITLE", (std::string(title) + "...").c_str());
        IupSetAttribute(button, "TIP", "");
    }
}

void redrawCanvas(Layer* layer)
{
    if (layer != nullptr) {
        Layer_updateColors(layer);
    }
    DeviceCanvas_redraw();
}

}  // namespace

void WindowMain_updateVoltageControls()
{
    Device* device = currentDevice();
    Ihandle* list = IupGetHandle(KOV_WindowMain_VoltageSweep);
    if (device == nullptr || list == nullptr) {
        return;
    }
    IupSetAttribute(list, "REMOVEITEM", "ALL");
    IupSetAttribute(list, "APPENDITEM", "Voltage, Sweep: ");
    IupSetAttribute(list, "APPENDITEM", "Voltage, None");
    char source[PARAM_VALUE_SIZE] = {};
    Device_getVoltageValueText(device, "Voltage.Source", source);
    const char* kept = App_getVoltageFile();
    bool sweep = false;
    if (FileNames_namesVoltageFile(source)) {
        ParamControl_bind(list, Device_findVoltageParam(device, "Voltage.Source"));
        IupSetAttribute(list, "APPENDITEM", "Voltage, File");
        IupSetStrAttribute(list, "TIP", source);
        IupSetAttribute(list, "VALUE", "3");
        fillVoltageFields(device);
        showFileInVoltageFields();
    } else if (kept != nullptr && FileNames_namesVoltageFile(kept)) {
        IupSetAttribute(list, "APPENDITEM", "Voltage, File");
        IupSetAttribute(list, "TIP", "");
        fillVoltageFields(device);
        IupSetAttribute(list, "VALUE", std::strcmp(source, "Sweep") == 0 ? "1" : "2");
        sweep = std::strcmp(source, "Sweep") == 0;
    } else {
        IupSetAttribute(list, "TIP", "");
        IupSetAttribute(list, "ACTIVE", "YES");
        sweep = std::strcmp(source, "Sweep") == 0;
        IupSetAttribute(list, "VALUE", sweep ? "1" : "2");
        fillVoltageFields(device);
    }
    ParamControl_bind(list, Device_findVoltageParam(device, "Voltage.Source"));
    voltageFieldsActive(sweep);
}

void WindowMain_showLayer()
{
    Document* document = App_getDocument();
    Device* device = currentDevice();
    Layer* layer = WindowMain_getSelectedLayer();
    if (document == nullptr || device == nullptr || layer == nullptr) {
        return;
    }
    if (Ihandle* name = IupGetHandle(KOV_DeviceName)) {
        char text[PARAM_VALUE_SIZE] = {};
        Params_getValueText(device->records, device->recordCount, "Name", text);
        IupSetStrAttribute(name, "VALUE", text);
        ParamControl_bind(name, Params_find(device->records, device->recordCount, "Temperature"));
    }
    Params_fillControls(layerFields, layer->records, layer->count);
    std::string dopantType = layerValue(layer, "Dopant.Type");
    if (dopantType == "I" || dopantType == "Intrinsic") {
        if (Ihandle* doping = IupGetHandle(KOV_WindowMain_Doping)) {
            IupSetAttribute(doping, "VALUE", "");
        }
    }
    for (auto [field, modelKey] : {std::pair{KOV_WindowMain_Bandgap, "Bandgap.Model"},
                                   std::pair{KOV_WindowMain_Doping, "Dopant.Model"}}) {
        if (FileNames_namesLua(layerValue(layer, modelKey))) {
            Ihandle* ih = IupGetHandle(field);
            IupSetAttribute(ih, "VALUE", "Model");
            IupSetAttribute(ih, "ACTIVE", "NO");
        }
    }
    WindowMain_updateVoltageControls();

    char source[PARAM_VALUE_SIZE] = {};
    if (Device_getLightValueText(device, "Light.Source", source)) {
        ParamRecord* record = Device_findLightParam(device, "Light.Source");
        Ihandle* fileToggle = IupGetHandle(KOV_WindowMain_LightFile);
        for (const char* name : lightToggles) {
            ParamControl_bind(IupGetHandle(name), record);
        }
        ParamControl_bind(fileToggle, record);
        bool file = FileNames_namesLightFile(source);
        if (fileToggle != nullptr) {
            IupSetStrAttribute(fileToggle, "TIP", file ? source : "");
            IupSetAttribute(fileToggle, "ACTIVE", file ? "YES" : "NO");
            IupSetAttribute(fileToggle, "VALUE", file ? "ON" : "OFF");
        }
        bool taken = file;
        for (int i = 0; i < 3; ++i) {
            Ihandle* toggle = IupGetHandle(lightToggles[i]);
            bool on = !taken && std::strcmp(source, lightWords[i]) == 0;
            taken = taken || on;
            if (toggle != nullptr) {
                IupSetAttribute(toggle, "VALUE", on ? "ON" : "OFF");
            }
        }
    }
    showModelButton(KOV_WindowMain_LayerMobility, "Mobility",
                    Layer_findParam(layer, "Mobility.Model"));
    showModelButton(KOV_WindowMain_LayerIndex, "Index", Layer_findParam(layer, "Index.Model"));
    showModelButton(KOV_WindowMain_LayerDoping, "Doping", Layer_findParam(layer, "Dopant.Model"));
    redrawCanvas(layer);
    WindowMain_restoreCaret();
}

int WindowMain_commitField(Ihandle* control)
{
    kovraShowInfo("", 0, 9);
    if (control == nullptr || !isValueField(control)) {
        return IUP_DEFAULT;
    }
    ParamRecord* record = ParamControl_record(control);
    const char* value = IupGetAttribute(control, "VALUE");
    const char* active = IupGetAttribute(control, "ACTIVE");
    if (record == nullptr || record->type != PARAM_REAL || value == nullptr ||
        (active != nullptr && std::strcmp(active, "NO") == 0)) {
        return IUP_DEFAULT;
    }
    int revision = record->revision;
    record->control = control;
    std::string text = value;
    if (!Param_setValueText(record, text.c_str(), nullptr, 0)) {
        return IUP_DEFAULT;
    }
    if (Layer* layer = WindowMain_getSelectedLayer()) {
        redrawCanvas(layer);
    }
    if (record->revision != 0 && record->revision != revision) {
        Document_setModified(App_getDocument(), 1);
    }
    Dialogs_followChanges();
    return IUP_DEFAULT;
}

int WindowMain_onFieldKey(Ihandle* control, int key)
{
    if (App_getDocument() == nullptr) {
        return IUP_CONTINUE;
    }
    if (iup_XkeyBase(key) == K_CR) {
        WindowMain_commitField(control);
    }
    return IUP_CONTINUE;
}

int WindowMain_onFieldLeave(Ihandle* control)
{
    WindowMain_clearStatusPane();
    return WindowMain_commitField(control);
}

namespace {

// The sweep list's choice into the voltage source record: 1 taken.
int storeVoltageSweep(int report, int* changed)
{
    Ihandle* list = IupGetHandle(KOV_WindowMain_VoltageSweep);
    ParamRecord* record = list != nullptr ? ParamControl_record(list) : nullptr;
    if (record == nullptr) {
        return 1;
    }
    int revision = record->revision;
    int result = 1;
    int item = IupGetInt(list, "VALUE");
    if (item == 1) {
        result = Param_setValueText(record, "Sweep", nullptr, report);
    } else if (record->type == PARAM_TEXT && std::strcmp(record->value.text, "Sweep") == 0) {
        result = Param_setValueText(record, "None", nullptr, report);
    }
    *changed += record->revision != revision;
    return result;
}

// The light toggles' choice into the light source record: 1 taken.
int storeLightSource(int report, int* changed)
{
    ParamRecord* record = ParamControl_record(IupGetHandle(KOV_WindowMain_LightMono));
    if (record == nullptr) {
        return 1;
    }
    int revision = record->revision;
    std::string word = "None";
    Ihandle* fileToggle = IupGetHandle(KOV_WindowMain_LightFile);
    const char* kept = App_getLightFile();
    if (fileToggle && IupGetInt(fileToggle, "VALUE") && kept != nullptr && kept[0] != '\0') {
        word = kept;
    } else if (fileToggle && IupGetInt(fileToggle, "VALUE") &&
               FileNames_namesLightFile(record->value.text.c_str())) {
        word = record->value.text;  // the file the device names stays
    } else {
        for (int i = 0; i < 3; ++i) {
            if (IupGetInt(IupGetHandle(lightToggles[i]), "VALUE")) {
                word = lightWords[i];
                break;
            }
        }
    }
    int result = Param_setValueText(record, word.c_str(), nullptr, report);
    *changed += record->revision != revision;
    return result;
}

}  // namespace

int WindowMain_applyFields(int redraw, int report)
{
    Document* document = App_getDocument();
    Device* device = currentDevice();
    if (device == nullptr) {
        return 0;
    }
    int changed = 0;
    if (Ihandle* name = IupGetHandle(KOV_DeviceName)) {
        const char* value = IupGetAttribute(name, "VALUE");
        int nameChanged = 0;
        if (value != nullptr && value[0] != '\0') {
            std::string text = value;
            if (!Device_setDeviceParam(device->records, "Name", text.c_str(), nullptr, &nameChanged,
                                       report)) {
                return 0;
            }
        }
        changed += nameChanged ? 1 : 0;
    }
    if (!Params_applyControls(layerFields, &changed, report) ||
        !Params_applyControls(voltageFields, &changed, report)) {
        return 0;
    }
    if (!storeVoltageSweep(report, &changed) || !storeLightSource(report, &changed)) {
        return 0;
    }
    int result = 1;
    if (redraw == 1) {
        if (Layer* layer = WindowMain_getSelectedLayer()) {
            redrawCanvas(layer);
        }
    }
    if (changed > 0) {
        Document_setModified(document, 1);
        Dialogs_followChanges();
    }
    return result;
}

std::string WindowMain_refusedField()
{
    std::vector<const char*> names = {KOV_DeviceName};
    for (const ControlRow* table : {layerFields, voltageFields}) {
        for (const ControlRow* row = table; row->handleName; ++row) {
            names.push_back(row->handleName);
        }
    }
    for (const char* name : names) {
        Ihandle* control = IupGetHandle(name);
        ParamRecord* record = control != nullptr ? ParamControl_record(control) : nullptr;
        Device* device = currentDevice();
        if (std::strcmp(name, KOV_DeviceName) == 0 && device != nullptr) {
            record = Params_find(device->records, device->recordCount, "Name");
        }
        if (record == nullptr || (record->status & PARAM_REFUSED) == 0) {
            continue;
        }
        const char* tip = IupGetAttribute(control, "PARAMTIP");
        std::string why = record->message.c_str();
        const std::string mark = "[ERROR]";
        if (why.rfind(mark, 0) == 0) {
            why = why.substr(why.find_first_not_of(' ', mark.size()));
        }
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) {
            why.pop_back();
        }
        return std::string(tip != nullptr ? tip : record->key) + (why.empty() ? "" : ": " + why);
    }
    return {};
}

int WindowMain_onParamFocus(Ihandle* control)
{
    Ihandle* pane = IupGetHandle(KOV_Statusbar_Pane1);
    if (pane == nullptr || control == nullptr) {
        return IUP_DEFAULT;
    }
    const char* tip = IupGetAttribute(control, "PARAMTIP");
    if (tip == nullptr) {
        IupSetAttribute(pane, "TITLE", "");
        return IUP_DEFAULT;
    }
    std::string text = tip;
    ParamRecord* record = ParamControl_record(control);
    const char* followed = Param_followedText(record);
    if (record != nullptr && record->type == PARAM_REAL && followed != nullptr) {
        char value[64];
        Real_format(record->value.real, value, sizeof value);
        text = std::string(tip) + ": " + followed + " = " + value;
        text = text.substr(0, 255);
    }
    IupSetAttribute(pane, "ELLIPSIS", "YES");
    IupSetStrAttribute(pane, "TITLE", text.c_str());
    // A refused value shows why; otherwise the last command's message stays.
    if (record != nullptr && (record->status & PARAM_REFUSED)) {
        kovraShowInfo(record->message, 0, 1);
    }
    return IUP_DEFAULT;
}

int WindowMain_onVoltageSweep(Ihandle* list, char* text, int item, int state)
{
    Document* document = App_getDocument();
    Device* device = currentDevice();
    if (list != IupGetHandle(KOV_WindowMain_VoltageSweep) || device == nullptr || text == nullptr ||
        state != 1) {
        return IUP_DEFAULT;
    }
    int stored = 0;
    if (item == 3) {
        stored = Device_setSourceFile(App_getDocument(), "Voltage.Source");
        ParamRecord* record = Device_findVoltageParam(device, "Voltage.Source");
        ParamControl_bind(list, record);
        IupSetStrAttribute(list, "TIP", stored == 1 && record ? record->value.text : "");
        if (stored == 0) {
            IupSetAttribute(list, "VALUE", "1");
            item = 1;
        }
    }
    if (stored != 1) {
        fillVoltageFields(device);
    }
    voltageFieldsActive(item == 1);
    if (stored == 1) {
        showFileInVoltageFields();
    } else {
        // Taken at once, so that an open voltage dialog shows it and its
        // next Apply does not put the old source back.
        int changed = 0;
        storeVoltageSweep(0, &changed);
    }
    Document_setModified(document, 1);
    Dialogs_followChanges();
    return IUP_DEFAULT;
}

int WindowMain_onLightSource(Ihandle* toggle, int state)
{
    Document* document = App_getDocument();
    Device* device = currentDevice();
    if (device == nullptr || toggle == nullptr) {
        return IUP_DEFAULT;
    }
    Ihandle* fileToggle = IupGetHandle(KOV_WindowMain_LightFile);
    if (IupGetInt(toggle, "VALUE")) {
        for (const char* name : {KOV_WindowMain_LightMono, KOV_WindowMain_LightAM15,
                                 KOV_WindowMain_LightSweep, KOV_WindowMain_LightFile}) {
            Ihandle* other = IupGetHandle(name);
            if (other != nullptr && other != toggle) {
                IupSetAttribute(other, "VALUE", "OFF");
            }
        }
    }
    if (toggle == fileToggle) {
        int stored = IupGetInt(toggle, "VALUE")
                         ? Device_setSourceFile(App_getDocument(), "Light.Source")
                         : 0;
        ParamRecord* record = Device_findLightParam(device, "Light.Source");
        ParamControl_bind(toggle, record);
        IupSetStrAttribute(toggle, "TIP", stored == 1 && record ? record->value.text : "");
        WindowMain_updateVoltageControls();
    } else if (toggle == IupGetHandle(KOV_WindowMain_LightSweep) && IupGetInt(toggle, "VALUE")) {
        // A quantum-efficiency sweep runs at one voltage.
        if (Ihandle* list = IupGetHandle(KOV_WindowMain_VoltageSweep)) {
            IupSetAttribute(list, "VALUE", "2");
        }
        voltageFieldsActive(false);
    } else {
        WindowMain_updateVoltageControls();
    }
    if (toggle != fileToggle) {
        // Taken at once, so that an open light dialog shows it and its next
        // Apply does not put the old source back. (A file is taken when
        // chosen; a cancelled choice changes nothing.)
        int changed = 0;
        storeVoltageSweep(0, &changed);
        storeLightSource(0, &changed);
    }
    Document_setModified(document, 1);
    Dialogs_followChanges();
    return IUP_DEFAULT;
}

int WindowMain_chooseParamFile(const char* controlName, const char* extFilter,
                               const char* parentName, int* changed)
{
    Document* document = App_getDocument();
    if (changed != nullptr) {
        *changed = 0;
    }
    if (document == nullptr) {
        return IUP_DEFAULT;
    }
    if (!Document_fileExists(document)) {
        if (kovraAskQuestion("Save the device before setting the model file?", "KovraDevice", 3,
                             KOV_WindowMain) != 3 ||
            !Document_save(document, nullptr)) {
            return IUP_DEFAULT;
        }
    }
    Ihandle* chooser = IupFileDlg();
    IupSetStrAttribute(chooser, "PARENTDIALOG", parentName ? parentName : KOV_WindowMain);
    IupSetAttribute(chooser, "DIALOGTYPE", "OPEN");
    IupSetAttribute(chooser, "TITLE", "Open file");
    IupSetStrAttribute(chooser, "EXTFILTER", extFilter);
    std::string folder = FileNames_folder(document->filename);
    IupSetStrAttribute(chooser, "DIRECTORY", folder.c_str());
    IupPopup(chooser, IUP_CENTERPARENT, IUP_CENTERPARENT);
    std::string chosen = IupGetInt(chooser, "STATUS") != -1 && IupGetAttribute(chooser, "VALUE")
                             ? IupGetAttribute(chooser, "VALUE")
                             : "";
    IupDestroy(chooser);
    if (chosen.empty()) {
        return IUP_DEFAULT;
    }
    ParamRecord* record = ParamControl_record(IupGetHandle(controlName));
    if (record == nullptr) {
        return IUP_DEFAULT;
    }
    int revision = record->revision;
    // A file of the same name beside the device is named bare, so the device
    // file stays movable with its folder.
    std::string bare = FileNames_fileName(chosen);
    std::string name = chosen;
    if (!FileNames_folder(chosen).empty() && kov_fileExistsA((folder + bare).c_str()) == 1) {
        name = bare;
    }
    Param_setValueText(record, name.c_str(), nullptr, 0);
    if (changed != nullptr) {
        *changed = record->revision != revision ? 1 : 0;
    }
    return IUP_DEFAULT;
}
