// Creating, filling, copying and freeing a layer.
#include "layer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "docHooks.h"
#include "kovbase.h"
#include "materials.h"
#include "settings.h"

namespace {

ParamRecord* rec(Layer* layer, int number) { return layer->records[number]; }

// A number record: its range, unit and out-of-range rule are those the
// engine reads the file with (kovKeyLimits.h).
void number(Layer* l, int n, const char* key, double value, double step, bool live)
{
    Param_setLimited(rec(l, n), key, n, value, step, kov_findKeyLimit(KovKeySection::LAYER, key));
    rec(l, n)->revision = live ? 2 : 0;
}

void text(Layer* l, int n, const char* key, const char* value, bool live)
{
    Param_setText(rec(l, n), key, n, value);
    rec(l, n)->revision = live ? 2 : 0;
}

// Writes a value into a record directly: no revision, no range check.
void put(Layer* l, int n, double value)
{
    rec(l, n)->expression.clear();  // the value no longer comes from it
    if (rec(l, n)->type == PARAM_INTEGER) {
        rec(l, n)->value.integer = static_cast<int>(value);
    } else {
        rec(l, n)->value.real = value;
    }
}

void putText(Layer* l, int n, const char* value)
{
    rec(l, n)->value.text.assign(value, PARAM_TEXT_MAX);
}

const char* defaultMaterial()
{
    const Settings* settings = Doc_settings();
    return settings != nullptr ? settings->DefaultMaterial : "Si";
}

void makeTrap(Layer* l, int k, const TrapGroup* group, const char* type)
{
    const int base = LR_TRAP1 + (k - 1) * 8;
    char key[PARAM_KEY_SIZE];
    const bool fixed = group == nullptr;
    const TrapGroup values = fixed ? TrapGroup{0, 1e19, 0.1, 1, 1e-7, 1e-7} : *group;
    std::snprintf(key, sizeof key, "Trap%d.N", k);
    number(l, base, key, values.n, 1e14, false);
    std::snprintf(key, sizeof key, "Trap%d.Nr", k);
    number(l, base + 1, key, values.nr, 1e14, false);
    std::snprintf(key, sizeof key, "Trap%d.E", k);
    number(l, base + 2, key, values.e, 0.001, false);
    std::snprintf(key, sizeof key, "Trap%d.F", k);
    number(l, base + 3, key, values.f, 1, false);
    std::snprintf(key, sizeof key, "Trap%d.W", k);
    number(l, base + 4, key, 0.01, 0.0001, false);
    std::snprintf(key, sizeof key, "Trap%d.Taun", k);
    number(l, base + 5, key, values.taun, 1e-9, false);
    std::snprintf(key, sizeof key, "Trap%d.Taup", k);
    number(l, base + 6, key, values.taup, 1e-9, false);
    std::snprintf(key, sizeof key, "Trap%d.Type", k);
    text(l, base + 7, key, type, false);
}

void fillRecords(Layer* l, const MaterialRecord& m, const char* material)
{
    text(l, 0, "Name", "LayerX", false);
    text(l, 2, "Material", material, true);
    number(l, 3, "Composition.x", 0, 0.01, false);
    number(l, 5, "Thickness", m.thickness, 0.01, true);
    number(l, 6, "Bandgap", m.bandgap, 0.01, true);
    number(l, 7, "Bandgap.Bowing", 0, 0.1, false);
    number(l, 8, "BandgapType", m.bandgapType, 0, true);
    number(l, 9, "Affinity", m.affinity, 0.0001, true);
    number(l, 10, "Affinity.Bowing", 0, 0.1, false);
    number(l, 11, "Permittivity", m.permittivity, 0.0001, true);
    number(l, 12, "NC", m.nc, 1e14, true);
    number(l, 13, "NV", m.nv, 1e14, true);
    number(l, 14, "Eso", m.eso, 0.001, false);
    number(l, 15, "Me", m.me, 0.001, false);
    number(l, 16, "Mhh", m.mhh, 0.001, false);
    number(l, 17, "Mlh", m.mlh, 0.001, false);
    number(l, 18, "Msh", m.msh, 0.001, false);
    number(l, 19, "Beta", m.beta, 1e-15, false);
    number(l, 20, "Cn", m.cn, 1e-32, false);
    number(l, 21, "Cp", m.cp, 1e-32, false);
    number(l, 22, "Taun", m.taun, 1e-12, false);
    number(l, 23, "Taup", m.taup, 1e-12, false);
    number(l, 24, "Lattice.a", m.latticeA, 0.01, false);
    number(l, 25, "Lattice.e31", m.e31, 0.1, false);
    number(l, 26, "Lattice.e33", m.e33, 0.1, false);
    number(l, 27, "Lattice.c13", m.c13, 1, false);
    number(l, 28, "Lattice.c33", m.c33, 1, false);
    number(l, 29, "Lattice.Psp", m.psp, 0.1, false);
    text(l, 33, "Urbach.Enable", "No", false);
    number(l, 34, "Urbach.EA", m.urbachEA, 0.001, false);
    number(l, 35, "Urbach.ED", m.urbachED, 0.001, false);
    number(l, 36, "Urbach.GA", m.urbachGA, 1e14, false);
    number(l, 37, "Urbach.GD", m.urbachGD, 1e14, false);
    number(l, 38, "Urbach.TaunA", m.urbachTaunA, 1e-12, false);
    number(l, 39, "Urbach.TaupA", m.urbachTaupA, 1e-12, false);
    number(l, 40, "Urbach.TaunD", m.urbachTaunD, 1e-12, false);
    number(l, 41, "Urbach.TaupD", m.urbachTaupD, 1e-12, false);
    number(l, 42, "Index.n", m.indexN, 0.01, false);
    number(l, 43, "Index.k", m.indexK, 0.01, false);
    number(l, 46, "Dopant.N", m.dopantN, 0.01, true);
    text(l, 53, "Dopant.Type", "D", true);
    // Trap 1 takes the database's second trap group and trap 2 its first.
    makeTrap(l, 1, &m.trapSecond, "Donor");
    makeTrap(l, 2, &m.trapFirst, "Acceptor");
    for (int k = 3; k <= 5; ++k) {
        makeTrap(l, k, nullptr, "Acceptor");
    }
    text(l, 94, "Bandgap.Model", "None", false);
    text(l, 95, "Permittivity.Model", "None", false);
    text(l, 96, "Dopant.Model", "None", false);
    text(l, 97, "LayerX.Doping.Model", "None", false);
    rec(l, 97)->alias = rec(l, 96);
    text(l, 98, "Trap.Model", "None", false);
    number(l, 99, "Trap.Count", 0, 1, false);
    text(l, 100, "Mobility.Model", "None", false);
    text(l, 101, "Recombination.Model", "None", false);
    text(l, 102, "Lattice.Model", "None", false);
    text(l, 103, "Index.Model", "None", false);
    text(l, 104, "Index.File", "", false);
    text(l, 105, "Index.Database", "No", false);
    text(l, 106, "Tunnel.Model", "None", false);
    number(l, 107, "Mesh.Points", 100, 1, true);
    Layer_resetMobilityItems(l, m.mobilityN, m.mobilityP);
}

const char* const ALLOYS[] = {"SiGe", "InGaAs", "AlGaAs", "InGaP", "AlGaN", "InGaN", nullptr};

bool isAlloy(const char* name)
{
    for (int i = 0; ALLOYS[i] != nullptr; ++i) {
        if (strcasecmp(ALLOYS[i], name) == 0) {
            return true;
        }
    }
    return false;
}

void applyDatabaseRow(Layer* l, const MaterialRecord& m, int dopantType)
{
    put(l, 5, m.thickness);
    put(l, 6, m.bandgap);
    put(l, 8, m.bandgapType);
    put(l, 9, m.affinity);
    put(l, 14, m.eso);
    put(l, 15, m.me);
    put(l, 16, m.mhh);
    put(l, 17, m.mlh);
    put(l, 18, m.msh);
    put(l, 12, m.nc);
    put(l, 13, m.nv);
    put(l, 11, m.permittivity);
    put(l, 42, m.indexN);
    put(l, 43, m.indexK);
    put(l, 19, m.beta);
    put(l, 20, m.cn);
    put(l, 21, m.cp);
    Layer_resetDopantItems(l, dopantType, 1e-7, 1e-7);
    put(l, 46, m.dopantN);
    put(l, 22, m.taun);
    put(l, 23, m.taup);
    Layer_resetMobilityItems(l, 1000, 500);
    put(l, 44, m.mobilityN);
    put(l, 45, m.mobilityP);
    const double urbach[8] = {m.urbachEA,    m.urbachED,    m.urbachGA,    m.urbachGD,
                              m.urbachTaunA, m.urbachTaupA, m.urbachTaunD, m.urbachTaupD};
    for (int i = 0; i < 8; ++i) {
        put(l, 34 + i, urbach[i]);
    }
    const TrapGroup* groups[2] = {&m.trapFirst, &m.trapSecond};
    for (int t = 0; t < 2; ++t) {
        const int base = LR_TRAP1 + t * 8;
        put(l, base, groups[t]->n);
        put(l, base + 1, groups[t]->nr);
        put(l, base + 2, groups[t]->e);
        put(l, base + 3, groups[t]->f);
        put(l, base + 5, groups[t]->taun);
        put(l, base + 6, groups[t]->taup);
    }
    put(l, 24, m.latticeA);
    put(l, 25, m.e31);
    put(l, 26, m.e33);
    put(l, 27, m.c13);
    put(l, 28, m.c33);
    put(l, 29, m.psp);
}

void applyBuiltinRow(Layer* l, const BuiltinValues& v, int dopantType)
{
    put(l, 5, 1);
    put(l, 8, v.bandgapType);
    put(l, 6, v.bandgap);
    put(l, 9, v.affinity);
    put(l, 12, v.nc);
    put(l, 13, v.nv);
    put(l, 11, v.permittivity);
    put(l, 42, v.indexN);
    put(l, 43, v.indexK);
    put(l, 19, v.beta);
    put(l, 20, v.cn);
    put(l, 21, v.cp);
    kov_copyA(l->reference, sizeof l->reference, Material_referenceText(v.reference));
    if (v.mobilityN >= 0) {
        Layer_resetMobilityItems(l, v.mobilityN, v.mobilityP);
    }
    Layer_resetDopantItems(l, dopantType, 1e-7, 1e-7);
}

}  // namespace

Layer* Layer_create()
{
    auto* layer = static_cast<Layer*>(kov_MemoryAlloc(sizeof(Layer)));
    if (layer == nullptr) {
        return nullptr;
    }
    std::memset(layer, 0, sizeof *layer);
    kov_copyA(layer->name, sizeof layer->name, "LayerX");
    for (int i = 0; i < LAYER_RECORDS; ++i) {
        layer->records[i] = Param_alloc();
        if (layer->records[i] == nullptr) {
            layer->count = i;
            Layer_free(&layer);
            return nullptr;
        }
    }
    layer->count = LAYER_RECORDS;
    const char* material = defaultMaterial();
    MaterialRecord values;
    MaterialDb_lookup(material, &values);
    fillRecords(layer, values, material);
    // The label has no entry in the key table: it is read and written
    // under its own key, and only once it was given (revision 0 until then).
    text(layer, LR_LABEL, "Label", "", false);
    Layer_updateColors(layer);
    return layer;
}

void Layer_free(Layer** layer)
{
    if (layer == nullptr || *layer == nullptr) {
        return;
    }
    for (int i = 0; i < (*layer)->count; ++i) {
        Param_free(&(*layer)->records[i]);
    }
    (*layer)->count = 0;
    Notes_free(&(*layer)->notes);
    kov_MemoryFreeT(layer);
}

int Layer_setMaterial(Layer* layer, const char* name, const char* label, int dopantType)
{
    if (layer == nullptr || name == nullptr) {
        return 0;
    }
    ParamRecord* material = rec(layer, LR_MATERIAL);
    if (std::strcmp(material->value.text, name) != 0) {
        const char* stored = name;
        if (std::strcmp(name, "Germanium") == 0) {
            stored = "Ge";
        } else if (std::strcmp(name, "Silicon") == 0) {
            stored = "Si";
        } else if (std::strcmp(name, "Diamond") == 0) {
            stored = "C";
        } else if (!Material_isKnown(name)) {
            stored = "Si";
        }
        char cut[16];
        kov_copyA(cut, sizeof cut, stored);
        putText(layer, LR_MATERIAL, cut);
    }
    if (label != nullptr && label != layer->label) {
        kov_copyA(layer->label, sizeof layer->label, label);
    }

    MaterialRecord row;
    if (MaterialDb_lookup(name, &row)) {
        char cut[16];
        kov_copyA(cut, sizeof cut, name);
        putText(layer, LR_MATERIAL, cut);
        applyDatabaseRow(layer, row, dopantType);
        return 1;
    }
    // The spelling stored above decides the built-in row: an unknown name
    // became "Si" and takes silicon's values, never the previous ones.
    const char* current = material->value.text;
    const char* rowName = current;
    char first[16];
    char second[16];
    if (isAlloy(current) && Material_getBinaries(current, first, second)) {
        for (int n : {LR_COMPOSITION_X, LR_BANDGAP_BOWING, LR_AFFINITY_BOWING}) {
            rec(layer, n)->revision = 2;
        }
        rowName = second;
    }
    const BuiltinValues* values = Material_builtinValues(rowName);
    if (values == nullptr) {
        return 0;
    }
    applyBuiltinRow(layer, *values, dopantType);
    return 1;
}

void Layer_resetDopantItems(Layer* l, int dopantType, double taun, double taup)
{
    if (l == nullptr) {
        return;
    }
    // The revisions are kept: a reset gives values, not a new file line.
    auto dopant = [&](int n, const char* key, double value, double step) {
        const int revision = rec(l, n)->revision;
        number(l, n, key, value, step, false);
        rec(l, n)->revision = revision;
    };
    dopant(46, "Dopant.N", 1e16, 1e10);
    rec(l, 46)->revision = 2;
    dopant(47, "Dopant.Nr", 1e19, 1e10);
    dopant(48, "Dopant.E", 0, 0.001);
    dopant(49, "Dopant.F", 2, 1);
    dopant(50, "Dopant.W", 0.005, 0.001);
    rec(l, 50)->revision = 0;
    dopant(51, "Dopant.Taun", taun, 1e-9);
    dopant(52, "Dopant.Taup", taup, 1e-9);
    const char* letter = dopantType == DOPANT_INTRINSIC  ? "I"
                         : dopantType == DOPANT_ACCEPTOR ? "A"
                                                         : "D";
    Param_setText(rec(l, 53), "Dopant.Type", 53, letter);
    rec(l, 53)->revision = 2;
}

void Layer_resetMobilityItems(Layer* l, double mobilityN, double mobilityP)
{
    if (l == nullptr) {
        return;
    }
    number(l, 44, "Mobility.N", mobilityN, 1, true);
    number(l, 45, "Mobility.P", mobilityP, 1, true);
}

int Dopant_decode(const char* text)
{
    if (text == nullptr) {
        return DOPANT_UNKNOWN;
    }
    for (const char* word : {"I", "Intrinsic"}) {
        if (strcasecmp(text, word) == 0) {
            return DOPANT_INTRINSIC;
        }
    }
    for (const char* word : {"D", "N", "Donor"}) {
        if (strcasecmp(text, word) == 0) {
            return DOPANT_DONOR;
        }
    }
    for (const char* word : {"A", "P", "Acceptor"}) {
        if (strcasecmp(text, word) == 0) {
            return DOPANT_ACCEPTOR;
        }
    }
    return DOPANT_UNKNOWN;
}

int Layer_getDopantType(Layer* layer)
{
    if (layer == nullptr) {
        return DOPANT_UNKNOWN;
    }
    char text[PARAM_VALUE_SIZE];
    if (!Params_getValueText(layer->records, layer->count, "Dopant.Type", text)) {
        return DOPANT_UNKNOWN;
    }
    return Dopant_decode(text);
}

int Layer_setDopantType(Layer* layer, int code)
{
    const char* letter = code == DOPANT_INTRINSIC  ? "I"
                         : code == DOPANT_DONOR    ? "D"
                         : code == DOPANT_ACCEPTOR ? "A"
                                                   : nullptr;
    if (layer == nullptr || letter == nullptr) {
        return DOPANT_UNKNOWN;
    }
    Param_setValueText(rec(layer, LR_DOPANT_TYPE), letter, nullptr, 0);
    Layer_updateColors(layer);
    return code;
}

void Layer_copy(const Layer* source, Layer* target, int keepDoping, int keepThickness, int* changed)
{
    if (source == nullptr || target == nullptr || source == target) {
        return;
    }
    auto count = [&](bool differs) {
        if (changed != nullptr && differs) {
            ++*changed;
        }
    };
    if (changed != nullptr) {
        for (auto field : {&Layer::name, &Layer::label}) {
            if (std::strcmp(source->*field, target->*field) != 0) {
                kov_copyA(target->*field, 32, source->*field);
                ++*changed;
            }
        }
        if (std::strcmp(source->reference, target->reference) != 0) {
            kov_copyA(target->reference, sizeof target->reference, source->reference);
            ++*changed;
        }
        count(std::memcmp(source->dopingColor, target->dopingColor, sizeof source->dopingColor) !=
              0);
        count(std::memcmp(source->canvasRect, target->canvasRect, sizeof source->canvasRect) != 0);
        count(source->count != target->count);
    }
    std::memcpy(target->dopingColor, source->dopingColor, sizeof target->dopingColor);
    std::memcpy(target->canvasRect, source->canvasRect, sizeof target->canvasRect);
    target->count = source->count;

    static const char* const DOPING_KEYS[] = {"Dopant.N", "Dopant.Nr",   "Dopant.E",
                                              "Dopant.F", "Dopant.Taun", "Dopant.Taup"};
    char keptDoping[6][PARAM_VALUE_SIZE] = {};
    int keptType = DOPANT_UNKNOWN;
    char keptThickness[PARAM_VALUE_SIZE] = "";
    if (keepDoping == 1) {
        for (int i = 0; i < 6; ++i) {
            Layer_getValueText(target, DOPING_KEYS[i], keptDoping[i]);
        }
        keptType = Layer_getDopantType(target);
    }
    if (keepThickness == 1) {
        Layer_getValueText(target, "Thickness", keptThickness);
    }

    for (int i = 0; i < source->count && i < LAYER_RECORDS; ++i) {
        if (source->records[i] == nullptr || target->records[i] == nullptr) {
            continue;
        }
        const ParamRecord* a = source->records[i];
        const ParamRecord* b = target->records[i];
        count(a->type != b->type || (a->type != PARAM_EMPTY && !Param_equals(a, b)));
        Param_copy(source->records[i], target->records[i]);
        // A variable reference or an expression travels with the value it
        // gave.
        kov_copyA(target->records[i]->variableRef, PARAM_VARREF_SIZE,
                  source->records[i]->variableRef);
        target->records[i]->expression = source->records[i]->expression;
        target->records[i]->flags = source->records[i]->flags;
        target->records[i]->comment = source->records[i]->comment;
    }
    target->kept = source->kept;

    if (keepDoping == 1) {
        for (int i = 0; i < 6; ++i) {
            Layer_setParam(target, DOPING_KEYS[i], keptDoping[i], nullptr, changed, 0);
        }
        if (keptType != DOPANT_UNKNOWN) {
            Layer_setDopantType(target, keptType);
        }
    }
    if (keepThickness == 1) {
        Layer_setParam(target, "Thickness", keptThickness, nullptr, changed, 0);
    }
    // A copied layer never carries these Lua models.
    for (const char* key : {"Index.Model", "Mobility.Model", "Bandgap.Model", "Permittivity.Model",
                            "Dopant.Model", "Trap.Model", "Recombination.Model"}) {
        ParamRecord* r = Layer_findParam(target, key);
        if (r != nullptr) {
            Param_setValueText(r, "None", nullptr, 0);
        }
    }
}

int Layer_setParam(Layer* layer, const char* key, const char* text, const char* comment,
                   int* changed, int console)
{
    if (layer == nullptr || key == nullptr) {
        return 0;
    }
    for (int i = 0; LayerKeys[i].key != nullptr; ++i) {
        if (std::strcmp(LayerKeys[i].key, key) != 0) {
            continue;
        }
        const int number = static_cast<int>(LayerKeys[i].number);
        ParamRecord* r = layer->records[number];
        kov_copyA(r->key, PARAM_KEY_SIZE, key);
        r->index = number;
        const int before = r->revision;
        const int result = Param_setValueText(r, text, comment, console);
        if (changed != nullptr && r->revision != before) {
            ++*changed;
        }
        return result;
    }
    return 0;
}

ParamRecord* Layer_findParam(Layer* layer, const char* key)
{
    if (layer == nullptr || key == nullptr) {
        return nullptr;
    }
    return Params_find(layer->records, layer->count, key);
}

int Layer_getValueText(Layer* layer, const char* key, char* out)
{
    if (layer == nullptr || key == nullptr || out == nullptr) {
        return 0;
    }
    return Params_getValueText(layer->records, layer->count, key, out);
}

int Material_getBinaries(const char* name, char* first, char* second)
{
    static const char* const PAIRS[][3] = {{"AlGaN", "AlN", "GaN"},    {"InGaN", "InN", "GaN"},
                                           {"AlGaAs", "AlAs", "GaAs"}, {"InGaAs", "InAs", "GaAs"},
                                           {"InGaP", "InP", "GaP"},    {"SiGe", "Si", "Ge"}};
    if (name == nullptr) {
        return 0;
    }
    for (const auto& pair : PAIRS) {
        if (strcasecmp(pair[0], name) != 0) {
            continue;
        }
        if (first != nullptr && second != nullptr) {
            kov_copyA(first, 16, pair[1]);
            kov_copyA(second, 16, pair[2]);
        }
        return 1;
    }
    return 0;
}
