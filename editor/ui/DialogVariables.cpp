// Variables dialog: the device's named values that other parameters
// reference with a leading '$'. No records: a name and a value at a time go
// to the device's variable routines.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <strings.h>

#include "Dialogs.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovraHandles.h"

namespace {

constexpr int VARIABLES_MAX = 64;

enum DefineMode {
    DEFINE_SELECT = 1,
    DEFINE_ADD = 2,
    DEFINE_DELETE = 3,
    DEFINE_APPLY = 8,
    DEFINE_OK = 9
};

std::string fieldText(const DialogDescription* description, const char* word)
{
    Ihandle* field = Dialog_control(description, word);
    const char* value = field != nullptr ? IupGetAttribute(field, "VALUE") : nullptr;
    std::string text = value != nullptr ? value : "";
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string shownName(const char* name)
{
    return name[0] == '$' ? std::string(name) : std::string("$") + name;
}

// A name the device accepts: '$' or a letter first, then letters and
// digits; "pi" is the parser's constant and never a variable.
const char* nameRefusal(const std::string& name)
{
    const std::string bare = !name.empty() && name[0] == '$' ? name.substr(1) : name;
    if (bare.empty() || !std::isalpha(static_cast<unsigned char>(bare[0]))) {
        return "invalid variable name";
    }
    for (char c : bare) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return "invalid variable name";
        }
    }
    if (strcasecmp(bare.c_str(), "pi") == 0) {
        return "reserved variable name: pi is a constant";
    }
    return nullptr;
}

void showSelected(const DialogDescription* description);

void fillList(const DialogDescription* description)
{
    Device* device = Dialog_device();
    Ihandle* list = Dialog_control(description, "VariableList");
    if (device == nullptr || list == nullptr) {
        return;
    }
    IupSetAttribute(list, "REMOVEITEM", "ALL");
    const int count = Device_variableCount(device);
    for (int i = 0; i < count; ++i) {
        IupSetStrAttribute(list, "APPENDITEM", shownName(Device_variableName(device, i)).c_str());
    }
    showSelected(description);
}

void showSelected(const DialogDescription* description)
{
    Device* device = Dialog_device();
    Ihandle* list = Dialog_control(description, "VariableList");
    Ihandle* name = Dialog_control(description, "VariableName");
    Ihandle* value = Dialog_control(description, "VariableValue");
    if (!Device_hasParser(device) || list == nullptr || name == nullptr || value == nullptr) {
        return;
    }
    const int count = Device_variableCount(device);
    int selected = IupGetInt(list, KOV_WindowVariable_Selected);
    selected = std::max(1, std::min(selected, count));
    if (count == 0) {
        IupSetAttribute(name, "VALUE", "");
        IupSetAttribute(value, "VALUE", "");
    } else {
        IupSetInt(list, "VALUE", selected);
        IupSetInt(list, KOV_WindowVariable_Selected, selected);
        IupSetStrAttribute(name, "VALUE",
                           shownName(Device_variableName(device, selected - 1)).c_str());
        IupSetStrAttribute(value, "VALUE", Device_variableValue(device, selected - 1));
    }
    IupSetAttribute(Dialog_control(description, "Add"), "ACTIVE",
                    count < VARIABLES_MAX ? "YES" : "NO");
    IupSetAttribute(Dialog_control(description, "Delete"), "ACTIVE", count > 0 ? "YES" : "NO");
    IupSetAttribute(name, "CARET", "64");
}

// Defines, changes or deletes the variable named in the name field: 1 when
// the device took it (or there was nothing to take), 0 with the reason in
// the message line and the offending field focused.
int define(const DialogDescription* description, int mode)
{
    Device* device = Dialog_device();
    if (!Device_hasParser(device)) {
        return 0;
    }
    const std::string name = fieldText(description, "VariableName");
    const std::string value =
        mode == DEFINE_DELETE ? std::string() : fieldText(description, "VariableValue");
    // Leaving the dialog or the item with both fields empty stores nothing.
    if (name.empty() && value.empty() &&
        (mode == DEFINE_OK || mode == DEFINE_SELECT || mode == DEFINE_APPLY)) {
        return 1;
    }
    if (const char* refusal = nameRefusal(name)) {
        Dialog_showMessage(description, ("Name: " + std::string(refusal) + ": " + name).c_str());
        IupSetFocus(Dialog_control(description, "VariableName"));
        return 0;
    }
    const std::string key = name[0] == '$' ? name : "$" + name;
    const int index = [&] {
        const int count = Device_variableCount(device);
        for (int i = 0; i < count; ++i) {
            if (strcasecmp(shownName(Device_variableName(device, i)).c_str(), key.c_str()) == 0) {
                return i;
            }
        }
        return -1;
    }();
    if (mode == DEFINE_DELETE && index < 0) {
        Dialog_showMessage(description, ("Name: no such variable: " + name).c_str());
        return 0;
    }
    // Re-entering a variable's own value changes nothing in the document.
    if (mode != DEFINE_DELETE && index >= 0 && value == Device_variableValue(device, index)) {
        return 1;
    }
    if (Device_setVariable(device, key.c_str(), value.empty() ? nullptr : value.c_str()) == 0) {
        const std::string why = Device_variableRefusal();
        Dialog_showMessage(
            description,
            why.empty() ? ("Value: not accepted for " + key + ": " + value).c_str() : why.c_str());
        IupSetFocus(Dialog_control(description, value.empty() ? "VariableName" : "VariableValue"));
        return 0;
    }
    Document_setModified(Doc_document(), 1);
    Dialog_refreshMain();
    if (Ihandle* canvas = IupGetHandle(KOV_DeviceCanvas)) {
        IupUpdate(canvas);
    }
    Dialog_showMessage(description, "");
    return 1;
}

const DialogDescription* descriptionOf(Ihandle* ih) { return Dialog_descriptionOf(ih); }

int onAdd(Ihandle* ih)
{
    if (const DialogDescription* description = descriptionOf(ih)) {
        if (define(description, DEFINE_ADD) == 1) {
            // The new or changed variable stays selected.
            Device* device = Dialog_device();
            const std::string key = shownName(fieldText(description, "VariableName").c_str());
            for (int i = 0; i < Device_variableCount(device); ++i) {
                if (strcasecmp(shownName(Device_variableName(device, i)).c_str(), key.c_str()) ==
                    0) {
                    IupSetInt(Dialog_control(description, "VariableList"),
                              KOV_WindowVariable_Selected, i + 1);
                }
            }
            fillList(description);
        }
    }
    return IUP_DEFAULT;
}

int onDelete(Ihandle* ih)
{
    if (const DialogDescription* description = descriptionOf(ih)) {
        if (define(description, DEFINE_DELETE) == 1) {
            fillList(description);
        }
    }
    return IUP_DEFAULT;
}

// A changed item is stored before another is shown; a refusal stays.
int onSelect(Ihandle* ih, char* /*text*/, int item, int state)
{
    const DialogDescription* description = descriptionOf(ih);
    if (description == nullptr || state != 1 || Dialog_device() == nullptr) {
        return IUP_DEFAULT;
    }
    const int old = IupGetInt(ih, KOV_WindowVariable_Selected);
    if (item == old) {
        return IUP_DEFAULT;
    }
    if (define(description, DEFINE_SELECT) == 0) {
        IupSetInt(ih, "VALUE", old);
        return IUP_DEFAULT;
    }
    IupSetInt(ih, KOV_WindowVariable_Selected, item);
    fillList(description);
    return IUP_DEFAULT;
}

Ihandle* field(const DialogDescription* description, const char* word, const char* tip)
{
    Ihandle* text = IupText(nullptr);
    IupSetAttributes(text, "ALIGNMENT=ALEFT, SIZE=96x, NC=40");
    IupSetStrAttribute(text, "PARAMTIP", tip);
    char name[96];
    IupSetHandle(Dialog_controlName(description, word, name, sizeof name), text);
    IupSetCallback(text, "GETFOCUS_CB", Dialog_onFocus);
    IupSetCallback(text, "KILLFOCUS_CB", Dialog_onFocusLost);
    return text;
}

Ihandle* caption(const char* text)
{
    Ihandle* label = IupLabel(text);
    IupSetAttributes(label, "ALIGNMENT=ALEFT:ABOTTOM, SIZE=96x");
    return label;
}

Ihandle* buildContent(const DialogDescription* description)
{
    Ihandle* list = IupList(nullptr);
    IupSetAttributes(
        list, "EXPAND=VERTICAL, ALIGNMENT=ACENTER, SIZE=96x96, SHOWIMAGE=NO, DROPDOWN=NO, SORT=NO");
    char name[96];
    IupSetHandle(Dialog_controlName(description, "VariableList", name, sizeof name), list);
    IupSetCallback(list, "ACTION", onSelect);
    IupSetInt(list, KOV_WindowVariable_Selected, 1);

    Ihandle* add = Dialog_button(description, "Add", "Add", onAdd);
    Ihandle* remove = Dialog_button(description, "Delete", "Delete", onDelete);
    Ihandle* apply = Dialog_button(description, "Apply", "Apply", Dialog_onApply);
    Ihandle* ok = Dialog_button(description, "OK", "OK", Dialog_onOk);
    // Two buttons side by side as wide as a field.
    for (Ihandle* b : {add, remove, apply, ok}) {
        IupSetAttribute(b, "SIZE", "46x");
    }
    Ihandle* upper = IupHbox(add, remove, nullptr);
    Ihandle* lower = IupHbox(apply, ok, nullptr);
    for (Ihandle* b : {upper, lower}) {
        IupSetAttributes(b, "MARGIN=0x0, GAP=4");
    }
    Ihandle* right =
        IupVbox(caption("Name"), field(description, "VariableName", "Name"), caption("Value"),
                field(description, "VariableValue", "Value"), upper, IupFill(), lower, nullptr);
    IupSetAttributes(right, "EXPAND=VERTICAL, MARGIN=0x0, GAP=5");
    Ihandle* row = IupHbox(list, right, nullptr);
    IupSetAttributes(row, "EXPAND=YES, MARGIN=0x0, GAP=10");
    return row;
}

// Apply and OK: the fields as they stand.
int store(const DialogDescription* description, int* /*changed*/)
{
    return define(description, DEFINE_APPLY);
}

}  // namespace

const DialogDescription VariableDialog = {
    .handle = KOV_WindowVariable,
    .title = "Variables",
    .columns = 1,
    .buildExtra = buildContent,
    .loadExtra = fillList,
    .storeExtra = store,
};

void WindowVariable_show()
{
    const bool wasOpen = Dialog_isOpen(&VariableDialog) != 0;
    Dialog_show(&VariableDialog);
    // Enter adds (or changes) the variable named in the name field.
    if (!wasOpen) {
        if (Ihandle* dialog = IupGetHandle(KOV_WindowVariable)) {
            IupSetAttribute(dialog, "DEFAULTENTER", KOV_WindowVariable_Add);
        }
    }
}
