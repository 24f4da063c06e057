// Material dialog: changes the material of one layer, the one the main
// window showed when the dialog opened. The user picks a material (the
// database's names, else the built-in ones); for an alloy sets its
// composition x and the bowing of bandgap and affinity. The dialog works on
// a scratch copy of the layer and shows the resulting bandgap, affinity and
// permittivity; Apply or OK writes the material's values into the layer,
// keeping its doping and thickness. "Default" makes the chosen built-in
// material the one new layers take.
#include <cstdlib>
#include <cstring>
#include <string>

#include "App.h"
#include "Dialogs.h"
#include "ParamControls.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "layer.h"
#include "materials.h"
#include "param.h"
#include "settings.h"
#include "kovraHandles.h"

namespace {

const char* const CURRENT_MARK = " <";

// The layer the dialog was opened for (1-based), kept while it is open:
// layer commands are refused meanwhile, so the number keeps naming it.
int targetNumber = 0;
// The scratch layer when the program has no application record (the
// dialog then runs alone, as in its tests).
Layer* ownScratch = nullptr;

const ControlRow AlloyTable[] = {
    {KOV_WindowMaterial_CompositionX, "Composition.x"},
    {KOV_WindowMaterial_BandgapBowing, "Bandgap.Bowing"},
    {KOV_WindowMaterial_AffinityBowing, "Affinity.Bowing"},
    {nullptr, nullptr},
};

const ControlRow DerivedTable[] = {
    {KOV_WindowMaterial_Bandgap, "Bandgap"},
    {KOV_WindowMaterial_Affinity, "Affinity"},
    {KOV_WindowMaterial_Permittivity, "Permittivity"},
    {nullptr, nullptr},
};

struct Range {
    const char* word;
    double low, high;
};
const Range EditableRanges[] = {
    {"CompositionX", 0.0, 1.0}, {"BandgapBowing", -20.0, 20.0}, {"AffinityBowing", -20.0, 20.0}};

Layer* scratch()
{
    if (Layer* layer = App_getScratchLayer()) {
        return layer;
    }
    if (ownScratch == nullptr) {
        ownScratch = Layer_create();
    }
    return ownScratch;
}

void freshScratch()
{
    App_freeScratchLayer();
    if (ownScratch != nullptr) {
        Layer_free(&ownScratch);
    }
    ownScratch = nullptr;
}

Layer* targetLayer()
{
    Device* device = Dialog_device();
    if (device == nullptr || targetNumber < 1 || targetNumber > device->layerCount) {
        return nullptr;
    }
    return device->layers[targetNumber - 1];
}

std::string layerText(Layer* layer, const char* key)
{
    char text[PARAM_VALUE_SIZE] = "";
    if (layer != nullptr) {
        Layer_getValueText(layer, key, text);
    }
    return text;
}

double layerValue(Layer* layer, const char* key)
{
    ParamRecord* record = layer != nullptr ? Layer_findParam(layer, key) : nullptr;
    return record != nullptr && record->type == PARAM_REAL ? record->value.real : 0.0;
}

std::string formatted(double value)
{
    char text[64];
    kov_reformatAuto(value, text, 31, 6);
    return text;
}

bool endsInMark(const std::string& text)
{
    return text.size() >= 2 && text.compare(text.size() - 2, 2, CURRENT_MARK) == 0;
}

void bind(const char* word, ParamRecord* record)
{
    char name[96];
    if (Ihandle* control =
            IupGetHandle(Dialog_controlName(&MaterialDialog, word, name, sizeof name))) {
        ParamControl_bind(control, record);
    }
}

Ihandle* control(const char* word) { return Dialog_control(&MaterialDialog, word); }

// The scratch layer takes the chosen material (item) and the fields show
// what the layer would receive; a null item recomputes the derived values
// after the composition or a bowing changed.
void update(const char* item)
{
    Layer* s = scratch();
    if (!Dialog_isOpen(&MaterialDialog) || s == nullptr) {
        return;
    }
    const std::string chosen = item != nullptr ? item : layerText(s, "Material");
    const bool current = endsInMark(chosen);
    if (!current) {
        Layer_setMaterial(s, chosen.c_str(), s->label, DOPANT_INTRINSIC);
    }
    const std::string material = current ? layerText(targetLayer(), "Material") : chosen;
    char first[16] = "", second[16] = "";
    const bool alloy = Material_getBinaries(material.c_str(), first, second) != 0;
    Layer* a = nullptr;
    Layer* b = nullptr;
    if (alloy) {
        a = Layer_create();
        b = Layer_create();
        if (a == nullptr || b == nullptr) {
            Layer_free(&a);
            Layer_free(&b);
            return;
        }
        Layer_setMaterial(a, first, a->label, DOPANT_INTRINSIC);
        Layer_setMaterial(b, second, b->label, DOPANT_INTRINSIC);
    }
    if (item != nullptr) {
        for (const ControlRow* row = AlloyTable; row->handleName != nullptr; ++row) {
            Ihandle* field = IupGetHandle(row->handleName);
            ParamRecord* record = Layer_findParam(s, row->key);
            if (field == nullptr || record == nullptr) {
                continue;
            }
            IupSetAttribute(field, "ACTIVE", alloy ? "YES" : "NO");
            // Live, so that the layer and its file receive it.
            record->revision = 2;
            ParamControl_bind(field, record);
            IupSetStrAttribute(field, "VALUE", Dialog_valueText(record).c_str());
        }
    }
    bind("Bandgap", Layer_findParam(s, "Bandgap"));
    bind("Affinity", Layer_findParam(s, "Affinity"));
    bind("Permittivity", Layer_findParam(s, "Permittivity"));
    std::string bandgap, affinity, permittivity;
    if (alloy) {
        const double x = layerValue(s, "Composition.x");
        const double bg = layerValue(s, "Bandgap.Bowing");
        const double bchi = layerValue(s, "Affinity.Bowing");
        auto mix = [&](const char* key, double bowing) {
            return x * layerValue(a, key) + (1.0 - x) * layerValue(b, key) - x * (1.0 - x) * bowing;
        };
        bandgap = formatted(mix("Bandgap", bg));
        affinity = formatted(mix("Affinity", bchi));
        permittivity = formatted(mix("Permittivity", 0.0));
    } else {
        bandgap = layerText(s, "Bandgap");
        affinity = layerText(s, "Affinity");
        permittivity = layerText(s, "Permittivity");
    }
    IupSetStrAttribute(control("Bandgap"), "VALUE", bandgap.c_str());
    IupSetStrAttribute(control("Affinity"), "VALUE", affinity.c_str());
    IupSetStrAttribute(control("Permittivity"), "VALUE", permittivity.c_str());
    Layer_free(&a);
    Layer_free(&b);
}

// Applies a table of controls to their records; on a refusal the field is
// focused and the reason shown.
int applyTable(const ControlRow* table, int* changed)
{
    if (Params_applyControls(table, changed, 1)) {
        return 1;
    }
    for (const ControlRow* row = table; row->handleName != nullptr; ++row) {
        Ihandle* field = IupGetHandle(row->handleName);
        ParamRecord* record = ParamControl_record(field);
        if (field == nullptr || record == nullptr || IupGetInt(field, "ACTIVE") == 0) {
            continue;
        }
        if (!Dialog_testText(&MaterialDialog, field, record, IupGetAttribute(field, "PARAMTIP"))) {
            return 0;
        }
    }
    Dialog_showMessage(&MaterialDialog, "Material: a value was not accepted");
    return 0;
}

// The composition and bowings go into the scratch layer only: the
// document changes at Apply.
int storeAlloy()
{
    if (Dialog_device() == nullptr) {
        return 0;
    }
    int changed = 0;
    return applyTable(AlloyTable, &changed);
}

// Show and every rebinding: the scratch layer starts again as a copy of
// the layer, the list offers the materials after the layer's own.
void load(const DialogDescription* description)
{
    if (targetLayer() == nullptr) {
        targetNumber = Dialog_mainLayer();
    }
    Layer* layer = targetLayer();
    Layer* s = scratch();
    Ihandle* list = Dialog_control(description, "MaterialList");
    if (layer == nullptr || s == nullptr || list == nullptr) {
        return;
    }
    Layer_copy(layer, s, 0, 0, nullptr);
    const std::string current = layerText(layer, "Material") + CURRENT_MARK;
    IupSetAttribute(list, "REMOVEITEM", "ALL");
    IupSetStrAttribute(list, "APPENDITEM", current.c_str());
    Material_listNames(
        [](const char* name, void* context) {
            IupSetStrAttribute(static_cast<Ihandle*>(context), "APPENDITEM", name);
        },
        list);
    IupSetAttribute(list, "VALUE", "1");
    update(current.c_str());
}

int store(const DialogDescription* description, int* changed)
{
    Layer* layer = targetLayer();
    Layer* s = scratch();
    if (layer == nullptr || s == nullptr) {
        return 0;
    }
    if (!storeAlloy()) {
        return 0;
    }
    if (!applyTable(DerivedTable, changed)) {
        return 0;
    }
    Layer_copy(s, layer, 1, 1, changed);
    Layer_updateColors(layer);
    Doc_hooks().fillLayerList();
    Doc_hooks().updateActionbar();
    Doc_hooks().updateTitle();
    Dialog_redrawCanvas();
    (void)description;
    return 1;
}

int onListAction(Ihandle* /*list*/, char* text, int /*item*/, int state)
{
    if (state != 1) {
        return IUP_DEFAULT;
    }
    storeAlloy();
    Dialog_showMessage(&MaterialDialog, "");
    update(text);
    return IUP_DEFAULT;
}

// A complete number: not empty, at most 63 characters, ending in a digit,
// and nothing but blanks after it.
bool completeNumber(const char* text, double* value)
{
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length == 0 || length > 63 || text[length - 1] < '0' || text[length - 1] > '9') {
        return false;
    }
    char* end = nullptr;
    *value = kov_strtod(text, &end);
    return end != text && (*end == '\0' || *end == ' ');
}

// The derived values follow each keystroke that makes a number within the
// field's range; anything else stays in the field untaken.
int onValueChanged(Ihandle* field)
{
    Layer* s = scratch();
    if (!Dialog_isOpen(&MaterialDialog) || s == nullptr ||
        Material_getBinaries(layerText(s, "Material").c_str(), nullptr, nullptr) == 0) {
        return IUP_DEFAULT;
    }
    for (const Range& range : EditableRanges) {
        if (field != control(range.word)) {
            continue;
        }
        double value = 0.0;
        if (completeNumber(IupGetAttribute(field, "VALUE"), &value) && value >= range.low &&
            value <= range.high && storeAlloy()) {
            update(nullptr);
        }
    }
    return IUP_DEFAULT;
}

// Only a built-in material can be the default of new layers: the name
// shown at the chosen position is taken when it is one.
int onDefault(Ihandle* /*button*/)
{
    Settings* settings = Doc_settings();
    Ihandle* list = control("MaterialList");
    if (settings == nullptr || list == nullptr) {
        return IUP_DEFAULT;
    }
    const int position = IupGetInt(list, "VALUE");
    if (position < 2) {
        return IUP_DEFAULT;
    }
    const char* name = IupGetAttribute(list, std::to_string(position).c_str());
    if (name == nullptr) {
        return IUP_DEFAULT;
    }
    if (Material_isKnown(name) == 0) {
        Dialog_showMessage(&MaterialDialog, (std::string("Default: ") + name +
                                             " is not a built-in material; new layers keep " +
                                             settings->DefaultMaterial)
                                                .c_str());
        return IUP_DEFAULT;
    }
    kov_copyA(settings->DefaultMaterial, sizeof settings->DefaultMaterial, name);
    Dialog_showMessage(&MaterialDialog, (std::string("New layers are made of ") + name).c_str());
    return IUP_DEFAULT;
}

Ihandle* field(const DialogDescription* description, const char* word, const char* caption,
               bool editable)
{
    Ihandle* text = Dialog_field(description, word, caption);
    IupSetAttribute(text, "READONLY", editable ? "NO" : "YES");
    if (editable) {
        IupSetCallback(text, "VALUECHANGED_CB", onValueChanged);
    }
    return text;
}

Ihandle* pair(const char* a, const char* b, Ihandle* first, Ihandle* second)
{
    return Dialog_vbox(
        {Dialog_hbox({Dialog_caption(a), Dialog_caption(b)}), Dialog_hbox({first, second})});
}

Ihandle* layout(const DialogDescription* description)
{
    Ihandle* list = Dialog_list(description, "MaterialList", {});
    IupSetCallback(list, "ACTION", onListAction);
    Ihandle* defaultButton = IupButton("Default", nullptr);
    IupSetAttributes(defaultButton, "ALIGNMENT=ACENTER, SIZE=80x");
    IupSetCallback(defaultButton, "ACTION", onDefault);
    return Dialog_vbox({
        Dialog_hbox({list, defaultButton}),
        pair("Bandgap (eV)", "Affinity (eV)", field(description, "Bandgap", "Bandgap (eV)", false),
             field(description, "Affinity", "Affinity (eV)", false)),
        pair("Bg. Bowing (eV)", "Aff. Bowing (eV)",
             field(description, "BandgapBowing", "Bandgap Bowing (eV)", true),
             field(description, "AffinityBowing", "Affinity Bowing (eV)", true)),
        pair("Permittivity", "Composition x",
             field(description, "Permittivity", "Permittivity", false),
             field(description, "CompositionX", "Composition x", true)),
        Dialog_separator(),
        Dialog_hbox({Dialog_control(description, "Apply"), Dialog_control(description, "OK")}),
    });
}

}  // namespace

const DialogDescription MaterialDialog = {
    .handle = KOV_WindowMaterial,
    .title = "Material",
    .columns = 2,
    .captions = true,
    .loadExtra = load,
    .storeExtra = store,
    .layout = layout,
};

void WindowMaterial_show()
{
    if (Dialog_isOpen(&MaterialDialog)) {
        Dialog_show(&MaterialDialog);
        return;
    }
    freshScratch();
    targetNumber = Dialog_mainLayer();
    if (scratch() == nullptr || targetLayer() == nullptr) {
        return;
    }
    Dialog_show(&MaterialDialog);
}
