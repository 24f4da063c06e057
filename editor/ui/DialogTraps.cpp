// Traps dialog: up to five trap levels of the layer, each with its type,
// density, reference density, energy and capture lifetimes, a trap count,
// and an optional trap model that replaces them all.
//
// The dialog decides which trap records reach the device file through their
// revisions (0: not written). The engine takes a trap only when all six of
// its type, N, Nr, E, Taun and Taup are written, so a trap is written whole
// or not at all: a present trap (N not 0) within the count has all six
// written, an absent one or one above the count none. Without a model the
// engine counts the traps it finds and the count is not written; with a
// model the count is written and the traps are not.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "Dialogs.h"
#include "FileNames.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "layer.h"
#include "param.h"
#include "kovraHandles.h"

namespace {

constexpr int TRAPS_MAX = 5;
const char* const TRAP_SELECTED = KOV_WindowTrap_TrapSelected;

// The shown fields of a trap, in the order they are tested and stored.
struct TrapField {
    const char* word;
    const char* name;  // "Trap%d." + name is the key
    const char* caption;
    const char* refusal;    // the caption of a refusal
    const char* modelText;  // what the field shows while a model makes the traps
};
const TrapField TrapFields[] = {
    {"N", "N", "N (1/cm3)", "Trap N not valid", "0"},
    {"Nr", "Nr", "Nr (1/cm3)", "Trap Nr not valid", "1e19"},
    {"E", "E", "E (eV)", "Trap E not valid", "0.0"},
    {"Taun", "Taun", "Taun (s)", "Trap Taun not valid", "1e-8"},
    {"Taup", "Taup", "Taup (s)", "Trap Taup not valid", "1e-8"},
};
// The records written together for a present trap (the fields and the type).
const char* const WrittenTogether[] = {"Type", "N", "Nr", "E", "Taun", "Taup"};

const DialogModel TrapModel = {
    .key = "Trap.Model",
    .question = "Select trap model?",
    .caption = "Trap model",
    .filter = "Kovra trap model|*.lua||",
};

ParamRecord* trapRecord(Layer* layer, int trap, const char* name)
{
    char key[64];
    std::snprintf(key, sizeof key, "Trap%d.%s", trap, name);
    return Layer_findParam(layer, key);
}

bool hasModel(Layer* layer)
{
    return FileNames_namesLua(Dialog_valueText(Layer_findParam(layer, "Trap.Model")));
}

// A trap whose records reach the file.
bool isWritten(Layer* layer, int trap)
{
    const ParamRecord* n = trapRecord(layer, trap, "N");
    return n != nullptr && n->revision > 0;
}

// Sets the written state of a trap's records; changed rises when the file
// would change by it.
void setWritten(Layer* layer, int trap, bool written, int* changed)
{
    for (const char* name : WrittenTogether) {
        ParamRecord* record = trapRecord(layer, trap, name);
        if (record == nullptr) {
            continue;
        }
        if (written && record->revision == 0) {
            record->revision = 2;
            ++*changed;
        } else if (!written && record->revision != 0) {
            record->revision = 0;
            ++*changed;
        }
    }
}

// Traps above the count are not written.
void dropTrapsAbove(Layer* layer, int count, int* changed)
{
    for (int trap = count + 1; trap <= TRAPS_MAX; ++trap) {
        setWritten(layer, trap, false, changed);
    }
}

// The count as its record holds it: 0 to 5 (a text not in 1..5 counts 0).
int countOf(Layer* layer)
{
    const std::string text = Dialog_valueText(Layer_findParam(layer, "Trap.Count"));
    return !text.empty() && text[0] >= '1' && text[0] <= '5' ? text[0] - '0' : 0;
}

void setCount(Layer* layer, int count, int* changed)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", count);
    Layer_setParam(layer, "Trap.Count", text, "", changed, 1);
}

// The count is not in a file written without a model: a layer read from
// one shows the traps it has, up to the last one written.
void deriveCount(Layer* layer)
{
    if (hasModel(layer) || countOf(layer) != 0) {
        return;
    }
    int last = 0;
    for (int trap = 1; trap <= TRAPS_MAX; ++trap) {
        if (isWritten(layer, trap)) {
            last = trap;
        }
    }
    if (last > 0) {
        setCount(layer, last, nullptr);
        Layer_findParam(layer, "Trap.Count")->revision = 0;
    }
}

void bind(Ihandle* ctl, ParamRecord* record)
{
    IupSetAttribute(ctl, KOV_Record, reinterpret_cast<const char*>(record));
}

void setActive(Ihandle* ctl, bool active)
{
    if (ctl != nullptr) {
        IupSetAttribute(ctl, "ACTIVE", active ? "YES" : "NO");
    }
}

// The fields show trap k's values, bound to its records.
void showTrap(const DialogDescription* description, Layer* layer, int trap)
{
    for (const TrapField& f : TrapFields) {
        Ihandle* ctl = Dialog_control(description, f.word);
        ParamRecord* record = trapRecord(layer, trap, f.name);
        if (ctl == nullptr || record == nullptr) {
            continue;
        }
        bind(ctl, record);
        IupSetStrAttribute(ctl, "VALUE", Dialog_valueText(record).c_str());
        IupSetAttribute(ctl, "CARET", "64");
    }
    if (Ihandle* types = Dialog_control(description, "TypeList")) {
        ParamRecord* type = trapRecord(layer, trap, "Type");
        bind(types, type);
        IupSetAttribute(types, "VALUE", Dialog_valueText(type) == "Donor" ? "1" : "2");
    }
}

// Also settles the count for the model rule: with a model the count is at
// least 1 and written, without it is not written.
void load(const DialogDescription* description)
{
    Layer* layer = Dialog_selectedLayer(description);
    Ihandle* traps = Dialog_control(description, "TrapList");
    Ihandle* counts = Dialog_control(description, "CountList");
    Ihandle* model = Dialog_control(description, "Model");
    ParamRecord* count = Layer_findParam(layer, "Trap.Count");
    if (layer == nullptr || traps == nullptr || counts == nullptr || model == nullptr ||
        count == nullptr) {
        return;
    }
    WindowTrap_applyModel(layer);
    deriveCount(layer);
    const bool modelled = hasModel(layer);
    const int n = countOf(layer);
    bind(counts, count);
    IupSetInt(counts, "VALUE", n == 0 ? 6 : n);

    IupSetAttribute(traps, "REMOVEITEM", "ALL");
    int selected = IupGetInt(traps, TRAP_SELECTED);
    if (selected < 1 || selected > std::max(n, 1)) {
        selected = 1;
    }
    for (int trap = 1; trap <= std::max(n, 1); ++trap) {
        IupSetStrAttribute(traps, "APPENDITEM", ("Trap" + std::to_string(trap)).c_str());
    }
    IupSetInt(traps, "VALUE", selected);
    IupSetInt(traps, TRAP_SELECTED, selected);

    showTrap(description, layer, selected);
    const bool editable = n > 0 && !modelled;
    for (const TrapField& f : TrapFields) {
        Ihandle* ctl = Dialog_control(description, f.word);
        if (modelled && ctl != nullptr) {
            IupSetAttribute(ctl, "VALUE", f.modelText);
        }
        setActive(ctl, editable);
    }
    setActive(traps, editable);
    setActive(Dialog_control(description, "TypeList"), editable);
    setActive(model, n > 0 || modelled);
}

// The selected trap's fields into its records: all five are tried first by
// the value entry's own rules, so a refusal changes nothing and the trap
// stays written as it was.
int storeTrap(const DialogDescription* description, Layer* layer, int trap, int* changed)
{
    for (const TrapField& f : TrapFields) {
        if (!Dialog_testText(description, Dialog_control(description, f.word),
                             trapRecord(layer, trap, f.name), f.refusal)) {
            return 0;
        }
    }
    for (const TrapField& f : TrapFields) {
        Ihandle* ctl = Dialog_control(description, f.word);
        if (!Dialog_takeText(description, ctl, trapRecord(layer, trap, f.name), f.refusal,
                             changed)) {
            return 0;
        }
    }
    const bool present = Dialog_valueText(trapRecord(layer, trap, "N")) != "0";
    Ihandle* types = Dialog_control(description, "TypeList");
    ParamRecord* type = trapRecord(layer, trap, "Type");
    if (present && types != nullptr && type != nullptr) {
        const int revision = type->revision;
        if (!Param_setValueText(type, IupGetInt(types, "VALUE") == 1 ? "Donor" : "Acceptor", "",
                                1)) {
            Dialog_showMessage(description, "Type: not accepted");
            return 0;
        }
        if (type->revision != revision) {
            ++*changed;
        }
    }
    setWritten(layer, trap, present, changed);
    return 1;
}

int store(const DialogDescription* description, int* changed)
{
    Layer* layer = Dialog_selectedLayer(description);
    Ihandle* traps = Dialog_control(description, "TrapList");
    Ihandle* counts = Dialog_control(description, "CountList");
    const int trap = traps != nullptr ? IupGetInt(traps, TRAP_SELECTED) : 0;
    if (layer == nullptr || counts == nullptr || trap < 1 || trap > TRAPS_MAX) {
        return 0;
    }
    if (hasModel(layer)) {
        // The model makes the traps: none is written, the count is.
        for (int k = 1; k <= TRAPS_MAX; ++k) {
            setWritten(layer, k, false, changed);
        }
        WindowTrap_applyModel(layer);
        return 1;
    }
    const int item = IupGetInt(counts, "VALUE");
    const int n = item >= 1 && item <= TRAPS_MAX ? item : 0;
    if (n > 0 && trap <= n && !storeTrap(description, layer, trap, changed)) {
        return 0;
    }
    setCount(layer, n, nullptr);
    Layer_findParam(layer, "Trap.Count")->revision = 0;
    dropTrapsAbove(layer, n, changed);
    return 1;
}

// Another trap: the fields go to the trap they show first; a refused
// value keeps the dialog on that trap.
int onTrapSelect(Ihandle* ih, char* /*text*/, int item, int state)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    if (description == nullptr || state != 1 || Dialog_device() == nullptr) {
        return IUP_DEFAULT;
    }
    const int old = IupGetInt(ih, TRAP_SELECTED);
    if (item == old) {
        return IUP_DEFAULT;
    }
    if (Dialog_store(description) == 0) {
        IupSetInt(ih, "VALUE", old);
        return IUP_DEFAULT;
    }
    IupSetInt(ih, TRAP_SELECTED, item);
    Dialog_load(description);
    return IUP_DEFAULT;
}

// Another count takes effect at once (typed field text is dropped): traps
// above it leave the file, and the trap list offers the traps within it.
int onCountSelect(Ihandle* ih, char* /*text*/, int item, int state)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    Layer* layer = description != nullptr ? Dialog_selectedLayer(description) : nullptr;
    if (layer == nullptr || state != 1) {
        return IUP_DEFAULT;
    }
    const int n = item >= 1 && item <= TRAPS_MAX ? item : 0;
    int changed = 0;
    setCount(layer, n, nullptr);
    if (!hasModel(layer)) {
        Layer_findParam(layer, "Trap.Count")->revision = 0;
        dropTrapsAbove(layer, n, &changed);
    }
    Dialog_load(description);
    Dialog_refreshMain();
    if (changed > 0) {
        Document_setModified(Doc_document(), 1);
    }
    return IUP_DEFAULT;
}

Ihandle* pair(const DialogDescription* description, const char* leftCaption, Ihandle* left,
              const char* rightCaption, Ihandle* right)
{
    (void)description;
    return Dialog_vbox({Dialog_hbox({Dialog_caption(leftCaption), Dialog_caption(rightCaption)}),
                        Dialog_hbox({left, right})});
}

Ihandle* layout(const DialogDescription* description)
{
    Ihandle* fields[std::size(TrapFields)];
    for (size_t i = 0; i < std::size(TrapFields); ++i) {
        fields[i] = Dialog_field(description, TrapFields[i].word, TrapFields[i].caption);
    }
    Ihandle* traps =
        Dialog_list(description, "TrapList", {"Trap1", "Trap2", "Trap3", "Trap4", "Trap5"});
    IupSetInt(traps, TRAP_SELECTED, 1);
    IupSetCallback(traps, "ACTION", onTrapSelect);
    Ihandle* types = Dialog_list(description, "TypeList", {"Donor", "Acceptor"});
    Ihandle* counts =
        Dialog_list(description, "CountList",
                    {"Count: 1", "Count: 2", "Count: 3", "Count: 4", "Count: 5", "No trap"});
    IupSetCallback(counts, "ACTION", onCountSelect);
    IupSetAttribute(Dialog_control(description, "Model"), "TIP", "");
    return Dialog_vbox({
        Dialog_hbox({Dialog_control(description, "LayerList"), traps}),
        pair(description, TrapFields[0].caption, fields[0], TrapFields[1].caption, fields[1]),
        pair(description, TrapFields[3].caption, fields[3], TrapFields[4].caption, fields[4]),
        pair(description, TrapFields[2].caption, fields[2], "Type", types),
        Dialog_hbox({counts, Dialog_control(description, "Model")}),
        Dialog_separator(),
        Dialog_hbox({Dialog_control(description, "Apply"), Dialog_control(description, "OK")}),
    });
}

}  // namespace

const DialogDescription TrapDialog = {
    .handle = KOV_WindowTrap,
    .title = "Traps",
    .layerList = true,
    .model = &TrapModel,
    .columns = 2,
    .captions = true,
    .loadExtra = load,
    .storeExtra = store,
    .layout = layout,
};

void WindowTrap_show() { Dialog_show(&TrapDialog); }

int WindowTrap_applyModel(Layer* layer)
{
    ParamRecord* count = Layer_findParam(layer, "Trap.Count");
    if (layer == nullptr || count == nullptr || Layer_findParam(layer, "Trap.Model") == nullptr) {
        return 0;
    }
    if (!hasModel(layer)) {
        count->revision = 0;
        return 0;
    }
    if (countOf(layer) == 0) {
        setCount(layer, 1, nullptr);
    }
    count->revision = 2;
    return 1;
}
