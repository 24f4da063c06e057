#include "DialogFrame.h"

#include "App.h"
#include "FileNames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "layer.h"
#include "param.h"
#include "kovraHandles.h"

namespace {

const char* const PROGRAM_TITLE = "KovraDevice";
const char* const DESCRIPTION_ATTRIBUTE = KOV_DialogDescription;

// ---- host -------------------------------------------------------------------
int lonelyCurrentLayer = 1;
DialogHost host = {
    .currentLayer = []() { return lonelyCurrentLayer; },
    .selectLayer = [](int number) { lonelyCurrentLayer = number; },
    .showLayer = []() { Doc_hooks().showLayer(); },
    .saveDocument = []() { return 0; },
};

// Dialogs open now, in the order they opened.
std::vector<const DialogDescription*> openDialogs;

std::string dialogName(const DialogDescription* description) { return description->handle; }

std::string controlName(const DialogDescription* description, const char* word)
{
    return dialogName(description) + "_" + word;
}

Ihandle* control(const DialogDescription* description, const char* word)
{
    return IupGetHandle(controlName(description, word).c_str());
}

std::string layerSelectedAttribute(const DialogDescription* description)
{
    return dialogName(description) + "_LayerSelected";
}

const DialogDescription* descriptionOf(Ihandle* ih)
{
    Ihandle* dialog = IupGetDialog(ih);
    if (dialog == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<const DialogDescription*>(
        IupGetAttribute(dialog, DESCRIPTION_ATTRIBUTE));
}

Device* currentDevice()
{
    Document* document = Doc_document();
    return document != nullptr ? document->device : nullptr;
}

// The layer a layer dialog is bound to, or null when its number no longer
// names a layer of the current device.
Layer* selectedLayer(const DialogDescription* description)
{
    Device* device = currentDevice();
    Ihandle* list = control(description, "LayerList");
    if (device == nullptr || list == nullptr) {
        return nullptr;
    }
    const int number = IupGetInt(list, layerSelectedAttribute(description).c_str());
    if (number < 1 || number > device->layerCount) {
        return nullptr;
    }
    return device->layers[number - 1];
}

// The record a field is bound to, found by key in the current document.
ParamRecord* findRecord(const DialogDescription* description, DialogSource source, const char* key)
{
    Device* device = currentDevice();
    if (device == nullptr) {
        return nullptr;
    }
    switch (source) {
    case DIALOG_FROM_LAYER: {
        Layer* layer = selectedLayer(description);
        return layer != nullptr ? Params_find(layer->records, layer->count, key) : nullptr;
    }
    case DIALOG_FROM_DEVICE: return Params_find(device->records, device->recordCount, key);
    case DIALOG_FROM_VOLTAGE: return Device_findVoltageParam(device, key);
    case DIALOG_FROM_LIGHT: return Device_findLightParam(device, key);
    case DIALOG_FROM_NUMERIC: return Device_findNumericParam(device, key);
    case DIALOG_FROM_CONTACT: {
        Ihandle* list = control(description, "ContactList");
        const int number = list != nullptr ? IupGetInt(list, KOV_WindowContact_Selected) : 0;
        Contact* contact = number == 1 ? device->anode : number == 2 ? device->cathode : nullptr;
        if (contact == nullptr) {
            return nullptr;
        }
        const std::string full = std::string(number == 1 ? "Anode." : "Cathode.") + key;
        return Contact_findParam(contact, full.c_str());
    }
    }
    return nullptr;
}

ParamRecord* modelRecord(const DialogDescription* description)
{
    return description->model != nullptr
               ? findRecord(description, description->model->source, description->model->key)
               : nullptr;
}

bool isLuaModel(const ParamRecord* record)
{
    if (record == nullptr) {
        return false;
    }
    char text[PARAM_VALUE_SIZE];
    Param_valueText(record, text, sizeof text);
    return FileNames_namesLua(text);
}

void showMessage(const DialogDescription* description, const char* text)
{
    if (Ihandle* line = control(description, "Message")) {
        IupSetStrAttribute(line, "TITLE", text != nullptr ? text : "");
        // A long reason wraps onto more lines: the dialog makes room for
        // all of them rather than cutting the text.
        IupRefresh(line);
    }
}

void reportEntryRefusal(const DialogDescription* description, const char* caption,
                        const ParamRecord* record, const char* text);

// The refusal of a value in words: the value entry's message without its
// console tag, after the field's caption.
std::string refusalWords(const ParamRecord* record, const char* text)
{
    std::string reason = record->message.c_str();
    if (reason.rfind("[ERROR]", 0) == 0) {
        reason.erase(0, 7);
    }
    reason.erase(0, reason.find_first_not_of(" \t"));
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    if (reason.empty()) {
        reason = std::string("value not accepted: ") + (text != nullptr ? text : "");
    }
    return reason;
}

void reportEntryRefusal(const DialogDescription* description, const char* caption,
                        const ParamRecord* record, const char* text)
{
    showMessage(description, (std::string(caption) + ": " + refusalWords(record, text)).c_str());
}

void reportRefusal(const DialogDescription* description, const DialogField& field, Ihandle* ctl,
                   const ParamRecord* record)
{
    reportEntryRefusal(description, field.caption, record, IupGetAttribute(ctl, "VALUE"));
    IupSetFocus(ctl);
}

// A value the record took at the nearest limit: the field shows the value
// in force, so that the next store does not enter (and warn about) the
// typed one again. Returns the warning for the message line ("" when the
// value was taken as typed).
std::string showValueInForce(const char* caption, Ihandle* ctl, const ParamRecord* record)
{
    if ((record->status & PARAM_CLAMPED) == 0) {
        return {};
    }
    char text[PARAM_VALUE_SIZE];
    Param_valueText(record, text, sizeof text);
    IupSetStrAttribute(ctl, "VALUE", text);
    std::string warning = record->message.c_str();
    if (warning.rfind("[WARNING]", 0) == 0) {
        warning.erase(0, 9);
    }
    warning.erase(0, warning.find_first_not_of(" \t"));
    while (!warning.empty() && (warning.back() == '\n' || warning.back() == ' ')) {
        warning.pop_back();
    }
    return std::string(caption) + ": " + warning;
}

// Fills a layer dialog's layer list and chooses the main window's layer.
void fillLayerList(const DialogDescription* description, int choose)
{
    Ihandle* list = control(description, "LayerList");
    Device* device = currentDevice();
    if (list == nullptr || device == nullptr) {
        return;
    }
    IupSetAttribute(list, "REMOVEITEM", "ALL");
    for (int i = 0; i < device->layerCount; ++i) {
        Layer* layer = device->layers[i];
        char name[PARAM_VALUE_SIZE] = "";
        if (Layer_getValueText(layer, "Label", name) == 0 || name[0] == '\0') {
            Layer_getValueText(layer, "Material", name);
        }
        const int type = Layer_getDopantType(layer);
        const char* mark = type == DOPANT_ACCEPTOR    ? " (P)"
                           : type == DOPANT_DONOR     ? " (N)"
                           : type == DOPANT_INTRINSIC ? " (I)"
                                                      : "";
        char item[PARAM_VALUE_SIZE + 16];
        std::snprintf(item, sizeof item, "%d %s%s", i + 1, name, mark);
        IupSetStrAttribute(list, "APPENDITEM", item);
    }
    if (choose < 1 || choose > device->layerCount) {
        choose = 1;
    }
    IupSetInt(list, "VALUE", choose);
    IupSetInt(list, layerSelectedAttribute(description).c_str(), choose);
}

// ---- callbacks -------------------------------------------------------------
int onFocus(Ihandle* ih)
{
    const DialogDescription* description = descriptionOf(ih);
    if (description == nullptr || !Dialog_isOpen(description)) {
        return IUP_DEFAULT;
    }
    std::string title = description->title;
    const char* tip = IupGetAttribute(ih, "PARAMTIP");
    if (tip != nullptr && tip[0] != '\0') {
        title += std::string(" - ") + tip;
    }
    IupSetStrAttribute(IupGetDialog(ih), "TITLE", title.c_str());
    return IUP_DEFAULT;
}

int onFocusLost(Ihandle* ih)
{
    const DialogDescription* description = descriptionOf(ih);
    if (description != nullptr && Dialog_isOpen(description)) {
        IupSetStrAttribute(IupGetDialog(ih), "TITLE", description->title);
    }
    return IUP_DEFAULT;
}

int onShow(Ihandle* ih, int state)
{
    const DialogDescription* description = descriptionOf(ih);
    if (description == nullptr || state != IUP_SHOW || currentDevice() == nullptr) {
        return IUP_DEFAULT;
    }
    if (description->layerList) {
        fillLayerList(description, host.currentLayer());
    }
    Dialog_load(description);
    return IUP_DEFAULT;
}

int onApply(Ihandle* ih)
{
    if (const DialogDescription* description = descriptionOf(ih)) {
        Dialog_store(description);
    }
    return IUP_DEFAULT;
}

int onOk(Ihandle* ih)
{
    const DialogDescription* description = descriptionOf(ih);
    if (description == nullptr || Dialog_store(description) == 0) {
        return IUP_DEFAULT;
    }
    Dialog_close(description);
    return IUP_IGNORE;
}

int onCloseBox(Ihandle* ih)
{
    const DialogDescription* description = descriptionOf(ih);
    if (description == nullptr) {
        return IUP_DEFAULT;
    }
    if (description->storeOnClose && Dialog_store(description) == 0) {
        return IUP_IGNORE;  // stays open: the refused value and its reason are shown
    }
    Dialog_close(description);
    return IUP_IGNORE;
}

// Layer change: the fields go to the layer they were loaded from first; a
// refused value keeps the dialog on that layer.
int onSelectLayer(Ihandle* ih, char* /*text*/, int item, int state)
{
    const DialogDescription* description = descriptionOf(ih);
    if (description == nullptr || state != 1 || currentDevice() == nullptr) {
        return IUP_DEFAULT;
    }
    const std::string attribute = layerSelectedAttribute(description);
    const int old = IupGetInt(ih, attribute.c_str());
    if (item == old) {
        return IUP_DEFAULT;
    }
    if (Dialog_store(description) == 0) {
        IupSetInt(ih, "VALUE", old);
        return IUP_DEFAULT;
    }
    // The store may have rebuilt the list on the layer it stored (a new
    // label, a new dopant mark): the list is set to the chosen layer again,
    // so that it names the layer the fields now show and the next store
    // changes.
    IupSetInt(ih, attribute.c_str(), item);
    IupSetInt(ih, "VALUE", item);
    Dialog_load(description);
    host.selectLayer(item);
    return IUP_DEFAULT;
}

// 3 yes, 4 no, 5 cancel (a closed question counts as cancel).
int askQuestion(const char* question)
{
    const int answer = IupAlarm(PROGRAM_TITLE, question, "Yes", "No", "Cancel");
    return answer == 1 ? 3 : answer == 2 ? 4 : 5;
}

// Asks for a model file: the stored text (a bare name when the file lies in
// the document's folder), or empty when the choice was cancelled or the
// document could not be saved first.
std::string chooseFile(const DialogDescription* description, const char* title, const char* filter)
{
    Document* document = Doc_document();
    if (document == nullptr) {
        return {};
    }
    if (document->filename[0] == '\0') {
        if (askQuestion("Save the device before setting the model file?") != 3 ||
            host.saveDocument() == 0 || document->filename[0] == '\0') {
            return {};
        }
    }
    const std::string folder = FileNames_folder(document->filename);
    Ihandle* chooser = IupFileDlg();
    IupSetAttribute(chooser, "DIALOGTYPE", "OPEN");
    IupSetStrAttribute(chooser, "TITLE", title);
    IupSetStrAttribute(chooser, "EXTFILTER", filter);
    IupSetStrAttribute(chooser, "DIRECTORY", folder.c_str());
    IupSetStrAttribute(chooser, "PARENTDIALOG", dialogName(description).c_str());
    IupPopup(chooser, IUP_CENTER, IUP_CENTER);
    std::string chosen;
    if (IupGetInt(chooser, "STATUS") != -1 && IupGetAttribute(chooser, "VALUE") != nullptr) {
        chosen = IupGetAttribute(chooser, "VALUE");
    }
    IupDestroy(chooser);
    if (!chosen.empty() && !folder.empty() && FileNames_folder(chosen) == folder) {
        chosen = chosen.substr(folder.size());
    }
    return chosen;
}

int onModel(Ihandle* ih)
{
    const DialogDescription* description = descriptionOf(ih);
    if (description == nullptr || description->model == nullptr || currentDevice() == nullptr) {
        return IUP_DEFAULT;
    }
    const int answer = askQuestion(description->model->question);
    if (answer == 5) {
        return IUP_DEFAULT;
    }
    std::string file = "None";
    if (answer == 3) {
        file = chooseFile(description, description->model->caption, description->model->filter);
        if (file.empty()) {
            return IUP_DEFAULT;  // a cancelled choice changes nothing
        }
    }
    // The record is found after the choice: saving the document first may
    // have replaced nothing, but nothing found before a question is kept.
    ParamRecord* record = modelRecord(description);
    if (record == nullptr) {
        return IUP_DEFAULT;
    }
    bool changed = false;
    const int taken = Dialog_setFileRecord(record, file, &changed);
    Dialog_load(description);
    if (!taken) {
        reportEntryRefusal(description, description->model->caption, record, file.c_str());
        return IUP_DEFAULT;
    }
    host.showLayer();
    if (changed) {
        Document_setModified(Doc_document(), 1);
    }
    return IUP_DEFAULT;
}

Ihandle* caption(const char* text)
{
    Ihandle* label = IupLabel(text);
    IupSetAttributes(label, "ALIGNMENT=ACENTER:ABOTTOM, SIZE=80x");
    return label;
}

Ihandle* makeButton(const DialogDescription* description, const char* title, const char* word,
                    int (*action)(Ihandle*))
{
    Ihandle* b = IupButton(title, nullptr);
    IupSetAttributes(b, "ALIGNMENT=ACENTER, SIZE=80x");
    IupSetHandle(controlName(description, word).c_str(), b);
    IupSetCallback(b, "ACTION", action);
    return b;
}

Ihandle* box(Ihandle* (*make)(Ihandle*, ...), const std::vector<Ihandle*>& children)
{
    Ihandle* b = make(nullptr);
    for (Ihandle* child : children) {
        IupAppend(b, child);
    }
    IupSetAttributes(b, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=5");
    return b;
}

Ihandle* makeField(const DialogDescription* description, const char* word, const char* caption)
{
    Ihandle* text = IupText(nullptr);
    IupSetAttributes(text, "ALIGNMENT=ACENTER, SIZE=80x, NC=40");
    IupSetStrAttribute(text, "PARAMTIP", caption);
    IupSetHandle(controlName(description, word).c_str(), text);
    IupSetCallback(text, "GETFOCUS_CB", onFocus);
    IupSetCallback(text, "KILLFOCUS_CB", onFocusLost);
    return text;
}

Ihandle* makeLayerList(const DialogDescription* description)
{
    Ihandle* list = IupList(nullptr);
    IupSetAttributes(list, "ALIGNMENT=ACENTER, SIZE=80x, SHOWIMAGE=NO, DROPDOWN=YES, SORT=NO");
    IupSetHandle(controlName(description, "LayerList").c_str(), list);
    IupSetCallback(list, "ACTION", onSelectLayer);
    IupSetCallback(list, "GETFOCUS_CB", onFocus);
    return list;
}

// A dialog with a layout of its own: the frame's controls under their
// handles, placed by the layout.
Ihandle* buildLaidOut(const DialogDescription* description)
{
    if (description->layerList) {
        makeLayerList(description);
    }
    for (const DialogField& field : description->fields) {
        makeField(description, field.word, field.caption);
    }
    if (description->model != nullptr) {
        makeButton(description, "Model...", "Model", onModel);
    }
    makeButton(description, "Apply", "Apply", onApply);
    makeButton(description, "OK", "OK", onOk);
    return description->layout(description);
}

Ihandle* build(const DialogDescription* description)
{
    struct Cell {
        const char* caption;
        Ihandle* control;
    };
    std::vector<Cell> cells;
    std::vector<Ihandle*> rows;
    if (description->layout != nullptr) {
        rows.push_back(buildLaidOut(description));
    } else {
        if (description->layerList) {
            cells.push_back({"Layer", makeLayerList(description)});
        }
        for (const DialogField& field : description->fields) {
            cells.push_back({field.caption, makeField(description, field.word, field.caption)});
        }
    }
    // A layer dialog's own control stands beside the layer list (its
    // caption in "KOV_Caption"); any other dialog's is a row above the fields.
    if (description->buildExtra != nullptr && description->layerList &&
        description->layout == nullptr) {
        Ihandle* extra = description->buildExtra(description);
        const char* text = IupGetAttribute(extra, KOV_Caption);
        cells.insert(cells.begin() + 1, Cell{text != nullptr ? text : "", extra});
    } else if (description->buildExtra != nullptr && description->layout == nullptr) {
        rows.push_back(description->buildExtra(description));
    }
    const int columns = std::max(1, description->columns);
    for (size_t first = 0; first < cells.size(); first += columns) {
        std::vector<Ihandle*> labels, controls;
        for (size_t i = first; i < first + columns; ++i) {
            if (i < cells.size()) {
                labels.push_back(caption(cells[i].caption));
                controls.push_back(cells[i].control);
            } else if (first > 0) {
                // A short last row keeps its fields under the columns above.
                labels.push_back(caption(""));
                Ihandle* blank = IupLabel("");
                IupSetAttribute(blank, "SIZE", "80x");
                controls.push_back(blank);
            }
        }
        if (description->captions) {
            rows.push_back(box(IupVbox, {box(IupHbox, labels), box(IupHbox, controls)}));
        } else {
            rows.push_back(box(IupHbox, controls));
        }
    }
    if (description->model != nullptr && description->layout == nullptr) {
        rows.push_back(
            box(IupHbox, {IupFill(), makeButton(description, "Model...", "Model", onModel)}));
    }
    // A dialog without fields lays out its own controls and buttons.
    if (!description->fields.empty() && description->layout == nullptr) {
        Ihandle* separator = IupLabel(nullptr);
        IupSetAttributes(separator, "SEPARATOR=HORIZONTAL, EXPAND=HORIZONTAL");
        rows.push_back(separator);
        Ihandle* apply = makeButton(description, "Apply", "Apply", onApply);
        Ihandle* ok = makeButton(description, "OK", "OK", onOk);
        // Under two columns the buttons fill the row exactly; a fill before
        // them would widen the dialog and push them past the fields.
        rows.push_back(columns == 2 ? box(IupHbox, {apply, ok})
                                    : box(IupHbox, {IupFill(), apply, ok}));
    }
    // The reason a value was refused, in words, until the next load or store.
    Ihandle* message = IupLabel("");
    IupSetAttributes(message, "EXPAND=HORIZONTAL, WORDWRAP=YES, FGCOLOR=\"180 0 0\"");
    IupSetHandle(controlName(description, "Message").c_str(), message);
    rows.push_back(message);

    Ihandle* outer = IupVbox(nullptr);
    for (Ihandle* row : rows) {
        IupAppend(outer, row);
    }
    IupSetAttributes(outer, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=10x10, GAP=10");
    IupSetHandle(controlName(description, "LayerBox").c_str(), outer);

    Ihandle* dialog = IupDialog(outer);
    IupSetAttributes(dialog, "EXPAND=YES, RESIZE=NO, MAXBOX=NO, MINBOX=NO, MINSIZE=120x80");
    IupSetStrAttribute(dialog, "TITLE", description->title);
    IupSetAttribute(dialog, DESCRIPTION_ATTRIBUTE, reinterpret_cast<const char*>(description));
    IupSetCallback(dialog, "SHOW_CB", onShow);
    IupSetCallback(dialog, "CLOSE_CB", onCloseBox);
    return dialog;
}

}  // namespace

void Dialogs_setHost(const DialogHost* routines)
{
    static const DialogHost defaults = host;
    if (routines == nullptr) {
        host = defaults;
        return;
    }
    host.currentLayer = routines->currentLayer ? routines->currentLayer : defaults.currentLayer;
    host.selectLayer = routines->selectLayer ? routines->selectLayer : defaults.selectLayer;
    host.showLayer = routines->showLayer ? routines->showLayer : defaults.showLayer;
    host.saveDocument = routines->saveDocument ? routines->saveDocument : defaults.saveDocument;
}

const char* Dialog_controlName(const DialogDescription* description, const char* word, char* out,
                               int size)
{
    kov_copyA(out, static_cast<size_t>(size), controlName(description, word).c_str());
    return out;
}

int Dialog_isOpen(const DialogDescription* description)
{
    return IupGetHandle(dialogName(description).c_str()) != nullptr ? 1 : 0;
}

int Dialogs_openCount() { return IupGetInt(nullptr, KOV_WindowInput_Shown); }

void Dialog_show(const DialogDescription* description)
{
    if (Ihandle* open = IupGetHandle(dialogName(description).c_str())) {
        IupShow(open);
        IupSetFocus(open);
        return;
    }
    Ihandle* dialog = build(description);
    Dialog_register(dialogName(description).c_str(), dialog);
    openDialogs.push_back(description);
    if (IupGetHandle(KOV_WindowMain) != nullptr) {
        IupSetAttribute(dialog, "PARENTDIALOG", KOV_WindowMain);
    }
    IupSetStrAttribute(dialog, "DEFAULTENTER", controlName(description, "OK").c_str());
    IupShow(dialog);
}

void Dialog_close(const DialogDescription* description)
{
    Ihandle* dialog = IupGetHandle(dialogName(description).c_str());
    openDialogs.erase(std::remove(openDialogs.begin(), openDialogs.end(), description),
                      openDialogs.end());
    if (dialog == nullptr) {
        return;
    }
    Dialog_register(dialogName(description).c_str(), nullptr);
    IupDestroy(dialog);
}

void Dialog_load(const DialogDescription* description)
{
    if (!Dialog_isOpen(description) || currentDevice() == nullptr) {
        return;
    }
    if (description->layerList && selectedLayer(description) == nullptr) {
        return;
    }
    for (const DialogField& field : description->fields) {
        Ihandle* ctl = control(description, field.word);
        ParamRecord* record = findRecord(description, field.source, field.key);
        if (ctl == nullptr) {
            continue;
        }
        IupSetAttribute(ctl, KOV_Record, reinterpret_cast<const char*>(record));
        if (record == nullptr) {
            continue;
        }
        char text[PARAM_VALUE_SIZE];
        Param_valueText(record, text, sizeof text);
        IupSetAttribute(ctl, "ACTIVE", "YES");
        IupSetStrAttribute(ctl, "VALUE", text);
        IupSetAttribute(ctl, "CARET", "64");
        Dialog_rememberLoaded(ctl, record);
    }
    if (description->model != nullptr) {
        Ihandle* model = control(description, "Model");
        ParamRecord* record = modelRecord(description);
        if (model != nullptr && record != nullptr) {
            char text[PARAM_VALUE_SIZE];
            Param_valueText(record, text, sizeof text);
            const bool lua = isLuaModel(record);
            IupSetAttribute(model, KOV_Record, reinterpret_cast<const char*>(record));
            IupSetStrAttribute(model, "TIP", text);
            IupSetAttribute(model, "TITLE", lua ? "Model*..." : "Model...");
            Dialog_rememberLoaded(model, record);
            for (const DialogField& field : description->fields) {
                if (!field.governed) {
                    continue;
                }
                Ihandle* ctl = control(description, field.word);
                if (ctl == nullptr) {
                    continue;
                }
                if (lua) {
                    IupSetAttribute(ctl, "VALUE", "Model");
                }
                IupSetAttribute(ctl, "ACTIVE", lua ? "NO" : "YES");
            }
        }
    }
    if (description->loadExtra != nullptr) {
        description->loadExtra(description);
    }
    showMessage(description, "");
}

int Dialog_store(const DialogDescription* description)
{
    Document* document = Doc_document();
    if (!Dialog_isOpen(description) || currentDevice() == nullptr) {
        return 0;
    }
    if (description->layerList && selectedLayer(description) == nullptr) {
        return 0;
    }
    int changed = 0;
    int taken = 1;
    std::string note;  // a value taken at its limit, said after the store
    for (const DialogField& field : description->fields) {
        if (!taken) {
            break;
        }
        Ihandle* ctl = control(description, field.word);
        if (ctl == nullptr || IupGetInt(ctl, "ACTIVE") == 0) {
            continue;
        }
        // Bound again by key: the record the field showed may belong to a
        // device that has since been replaced.
        ParamRecord* record = findRecord(description, field.source, field.key);
        IupSetAttribute(ctl, KOV_Record, reinterpret_cast<const char*>(record));
        const char* value = IupGetAttribute(ctl, "VALUE");
        if (record == nullptr || value == nullptr || value[0] == '\0') {
            continue;
        }
        const int revision = record->revision;
        record->control = ctl;
        const std::string text = value;
        taken = Param_setValueText(record, text.c_str(), nullptr, 1);
        if (record->revision != revision) {
            ++changed;
        }
        if (taken) {
            const std::string warning = showValueInForce(field.caption, ctl, record);
            if (!warning.empty()) {
                note = warning;
            }
            Dialog_rememberLoaded(ctl, record);
        } else {
            reportRefusal(description, field, ctl, record);
        }
    }
    if (taken && description->storeExtra != nullptr) {
        taken = description->storeExtra(description, &changed);
    }
    Dialog_refreshMain();
    // Every value taken before a refusal is in the document: it is modified.
    if (changed > 0) {
        Document_setModified(document, 1);
    }
    if (taken) {
        showMessage(description, note.c_str());
    }
    return taken;
}

Ihandle* Dialog_control(const DialogDescription* description, const char* word)
{
    return control(description, word);
}

Ihandle* Dialog_button(const DialogDescription* description, const char* title, const char* word,
                       int (*action)(Ihandle*))
{
    return makeButton(description, title, word, action);
}

int Dialog_onApply(Ihandle* ih) { return onApply(ih); }

int Dialog_onOk(Ihandle* ih) { return onOk(ih); }

int Dialog_onFocus(Ihandle* ih) { return onFocus(ih); }

int Dialog_onFocusLost(Ihandle* ih) { return onFocusLost(ih); }

const DialogDescription* Dialog_descriptionOf(Ihandle* ih) { return descriptionOf(ih); }

ParamRecord* Dialog_findRecord(const DialogDescription* description, DialogSource source,
                               const char* key)
{
    return findRecord(description, source, key);
}

int Dialog_ask(const char* question) { return askQuestion(question); }

std::string Dialog_chooseFile(const DialogDescription* description, const char* caption,
                              const char* filter)
{
    return chooseFile(description, caption, filter);
}

int Dialog_setFileRecord(ParamRecord* record, const std::string& file, bool* changed)
{
    if (record == nullptr) {
        return 0;
    }
    const int revision = record->revision;
    // The comment is given apart (empty) so that a '#' or ';' in a path is
    // never taken for a comment mark.
    const std::string text = "\"" + file + "\"";
    const int taken = Param_setValueText(record, text.c_str(), "", 1);
    if (changed != nullptr) {
        *changed = record->revision != revision;
    }
    return taken;
}

Ihandle* Dialog_caption(const char* text) { return caption(text); }

Ihandle* Dialog_field(const DialogDescription* description, const char* word, const char* caption)
{
    return makeField(description, word, caption);
}

Ihandle* Dialog_hbox(std::initializer_list<Ihandle*> children) { return box(IupHbox, children); }

Ihandle* Dialog_vbox(std::initializer_list<Ihandle*> children) { return box(IupVbox, children); }

Ihandle* Dialog_separator()
{
    Ihandle* separator = IupLabel(nullptr);
    IupSetAttributes(separator, "SEPARATOR=HORIZONTAL, EXPAND=HORIZONTAL");
    return separator;
}

Ihandle* Dialog_list(const DialogDescription* description, const char* word,
                     std::initializer_list<const char*> items)
{
    Ihandle* list = IupList(nullptr);
    IupSetAttributes(list, "ALIGNMENT=ACENTER, SIZE=80x, SHOWIMAGE=NO, DROPDOWN=YES, SORT=NO");
    int position = 0;
    for (const char* item : items) {
        IupSetStrAttribute(list, std::to_string(++position).c_str(), item);
    }
    IupSetAttribute(list, "VALUE", "1");
    IupSetHandle(controlName(description, word).c_str(), list);
    IupSetCallback(list, "GETFOCUS_CB", onFocus);
    return list;
}

int Dialog_takeText(const DialogDescription* description, Ihandle* field, ParamRecord* record,
                    const char* caption, int* changed)
{
    if (field == nullptr || record == nullptr) {
        return 0;
    }
    const char* value = IupGetAttribute(field, "VALUE");
    const std::string text = value != nullptr ? value : "";
    const int revision = record->revision;
    record->control = field;
    const int taken = Param_setValueText(record, text.c_str(), nullptr, 1);
    if (changed != nullptr && record->revision != revision) {
        ++*changed;
    }
    if (!taken) {
        reportEntryRefusal(description, caption, record, text.c_str());
        IupSetFocus(field);
    } else {
        showValueInForce(caption, field, record);
    }
    return taken;
}

int Dialog_testText(const DialogDescription* description, Ihandle* field, const ParamRecord* record,
                    const char* caption)
{
    if (field == nullptr || record == nullptr) {
        return 0;
    }
    const char* value = IupGetAttribute(field, "VALUE");
    const std::string text = value != nullptr ? value : "";
    // A copy that hands nothing on: no alias, no control to show a value in.
    ParamRecord trial = *record;
    trial.alias = nullptr;
    trial.control = nullptr;
    trial.message.clear();
    if (Param_setValueText(&trial, text.c_str(), nullptr, 0)) {
        return 1;
    }
    reportEntryRefusal(description, caption, &trial, text.c_str());
    IupSetFocus(field);
    return 0;
}

int Dialog_storeText(ParamRecord* record, const char* text, int* changed)
{
    if (record == nullptr) {
        return 0;
    }
    const int revision = record->revision;
    const int taken = Param_setValueText(record, text, "", 1);
    if (record->revision != 0 && record->revision != revision) {
        ++*changed;
    }
    return taken;
}

std::string Dialog_valueText(const ParamRecord* record)
{
    char text[PARAM_VALUE_SIZE] = "";
    if (record != nullptr) {
        Param_valueText(record, text, sizeof text);
    }
    return text;
}

void Dialog_redrawCanvas()
{
    if (Ihandle* canvas = IupGetHandle(KOV_DeviceCanvas)) {
        IupUpdate(canvas);
    }
}

void Dialog_showMessage(const DialogDescription* description, const char* text)
{
    showMessage(description, text);
}

Device* Dialog_device() { return currentDevice(); }

void Dialog_refillLayerList(const DialogDescription* description)
{
    Ihandle* list = control(description, "LayerList");
    if (list != nullptr) {
        fillLayerList(description, IupGetInt(list, layerSelectedAttribute(description).c_str()));
    }
}

Layer* Dialog_selectedLayer(const DialogDescription* description)
{
    return selectedLayer(description);
}

void Dialog_refreshMain()
{
    host.showLayer();
    // Another open dialog showing a record that changed shows the new value.
    Dialogs_followChanges();
}

int Dialog_mainLayer() { return host.currentLayer(); }

void Dialogs_rebindAll()
{
    Device* device = currentDevice();
    for (const DialogDescription* description :
         std::vector<const DialogDescription*>(openDialogs)) {
        if (device == nullptr) {
            Dialog_close(description);
            continue;
        }
        if (description->layerList) {
            Ihandle* list = control(description, "LayerList");
            const int number =
                list != nullptr ? IupGetInt(list, layerSelectedAttribute(description).c_str()) : 0;
            fillLayerList(description, number >= 1 && number <= device->layerCount
                                           ? number
                                           : host.currentLayer());
        }
        Dialog_load(description);
    }
}

namespace {
const char* const LOADED_ATTRIBUTE = KOV_LoadedText;

bool modelChangedSinceLoad(const DialogDescription* description)
{
    Ihandle* model = description->model != nullptr ? control(description, "Model") : nullptr;
    ParamRecord* record = modelRecord(description);
    return model != nullptr && record != nullptr && Dialog_changedSinceLoad(model, record);
}

void followChanges(const DialogDescription* description)
{
    if (currentDevice() == nullptr ||
        (description->layerList && selectedLayer(description) == nullptr)) {
        return;
    }
    // A model set or dropped elsewhere changes which fields are locked.
    if (modelChangedSinceLoad(description)) {
        Dialog_load(description);
        return;
    }
    for (const DialogField& field : description->fields) {
        Ihandle* ctl = control(description, field.word);
        ParamRecord* record = findRecord(description, field.source, field.key);
        if (ctl == nullptr || record == nullptr || !Dialog_changedSinceLoad(ctl, record)) {
            continue;
        }
        IupSetAttribute(ctl, KOV_Record, reinterpret_cast<const char*>(record));
        if (IupGetInt(ctl, "ACTIVE") != 0 || !field.governed) {
            IupSetStrAttribute(ctl, "VALUE", Dialog_valueText(record).c_str());
        }
        Dialog_rememberLoaded(ctl, record);
    }
    if (description->followExtra != nullptr) {
        description->followExtra(description);
    }
}
}  // namespace

void Dialog_rememberLoaded(Ihandle* ctl, const ParamRecord* record)
{
    if (ctl != nullptr) {
        IupSetStrAttribute(ctl, LOADED_ATTRIBUTE, Dialog_valueText(record).c_str());
    }
}

bool Dialog_changedSinceLoad(Ihandle* ctl, const ParamRecord* record)
{
    if (ctl == nullptr || record == nullptr) {
        return false;
    }
    const char* loaded = IupGetAttribute(ctl, LOADED_ATTRIBUTE);
    return Dialog_valueText(record) != (loaded != nullptr ? loaded : "");
}

void Dialogs_followChanges()
{
    for (const DialogDescription* description :
         std::vector<const DialogDescription*>(openDialogs)) {
        followChanges(description);
    }
}

void Dialogs_closeAll()
{
    for (const DialogDescription* description :
         std::vector<const DialogDescription*>(openDialogs)) {
        Dialog_close(description);
    }
}
