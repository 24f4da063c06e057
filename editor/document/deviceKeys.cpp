// The key tables of the device-file sections and the access by key.
#include <cstring>

#include "device.h"
#include "kovbase.h"

const KeyEntry SectionKeys[] = {{"Device", 0},   {"Anode", 1},  {"Layer1", 2},   {"Layer2", 3},
                                {"Layer3", 4},   {"Layer4", 5}, {"Layer5", 6},   {"Layer6", 7},
                                {"Layer7", 8},   {"Layer8", 9}, {"Layer9", 10},  {"Cathode", 11},
                                {"Voltage", 12}, {"Light", 13}, {"Numeric", 14}, {"Command", 15},
                                {nullptr, 0}};

const KeyEntry DeviceKeys[] = {
    {"Name", 0}, {"Temperature", 1}, {"Polarization.Scale", 2}, {nullptr, 0}};

const KeyEntry AnodeKeys[] = {
    {"Anode.Type", 1},        {"Anode.Rn", 2},        {"Anode.Rp", 3},        {"Anode.Phi", 4},
    {"Anode.Tunnel", 5},      {"Anode.Thickness", 6}, {"Anode.Index.n", 7},   {"Anode.Index.k", 8},
    {"Anode.Index.Model", 9}, {"Anode.Material", 10}, {"Anode.Boundary", 11}, {nullptr, 0}};

const KeyEntry CathodeKeys[] = {
    {"Cathode.Type", 1},      {"Cathode.Rn", 2},        {"Cathode.Rp", 3},
    {"Cathode.Phi", 4},       {"Cathode.Tunnel", 5},    {"Cathode.Thickness", 6},
    {"Cathode.Index.n", 7},   {"Cathode.Index.k", 8},   {"Cathode.Index.Model", 9},
    {"Cathode.Material", 10}, {"Cathode.Boundary", 11}, {nullptr, 0}};

const KeyEntry VoltageKeys[] = {{"Voltage.Source", 0}, {"Voltage.Start", 1},  {"Voltage.End", 2},
                                {"Voltage.Step", 3},   {"Voltage.Points", 4}, {"Voltage.Jinf", 5},
                                {"Voltage.Jsup", 6},   {nullptr, 0}};

const KeyEntry LightKeys[] = {
    {"Light.Source", 0}, {"Light.Start", 1},       {"Light.Wavelength", 2},
    {"Light.End", 3},    {"Light.Step", 4},        {"Light.Points", 5},
    {"Light.Flux", 6},   {"Light.Propagation", 7}, {nullptr, 0}};

const KeyEntry NumericKeys[] = {
    {"Numeric.SaveFull", 0}, {"Numeric.Method", 1},          {"Numeric.Points", 3},
    {"Numeric.Mesh", 4},     {"Numeric.Guess", 5},           {"Numeric.Tol", 6},
    {"Numeric.Damp", 7},     {"Numeric.InnermostSolver", 2}, {nullptr, 0}};

const KeyEntry CommandKeys[] = {
    {"Command.OutDir", 1}, {"Command.OutDirDate", 2}, {"Command.Plot", 0}, {nullptr, 0}};

namespace {

const char* const ANODE_KEPT[] = {"Anode.Name", "Anode.Index.File", "Anode.Index.Database",
                                  nullptr};
const char* const CATHODE_KEPT[] = {"Cathode.Name", "Cathode.Index.File", "Cathode.Index.Database",
                                    nullptr};
// The Light section's Propagation slot stays empty, so its line is kept.
const char* const LIGHT_KEPT[] = {"Light.Propagation", nullptr};
const char* const NUMERIC_KEPT[] = {"Numeric.Verbose", nullptr};

void updateSchottky(Contact* contact, const char* typeKey, const char* key, const char* text)
{
    if (std::strcmp(key, typeKey) != 0) {
        return;
    }
    // The word as a file writes it, in quotes, names the same type.
    const bool schottky = text != nullptr && (std::strcmp(text, "Schottky") == 0 ||
                                              std::strcmp(text, "\"Schottky\"") == 0);
    contact->schottky = schottky ? CONTACT_SCHOTTKY : 0;
    Contact_updateColor(contact);
}

int setInSection(ParamSection* section, const KeyEntry* table, const char* key, const char* text,
                 const char* comment, int* changed, int console)
{
    if (section == nullptr) {
        return 0;
    }
    return Params_setByKey(table, section->records, nullptr, key, text, comment, 0, changed,
                           console);
}

int valueText(ParamSection* section, const char* key, char* out)
{
    if (section == nullptr || key == nullptr || out == nullptr) {
        return 0;
    }
    return Params_getValueText(section->records, section->count, key, out);
}

ParamRecord* find(ParamSection* section, const char* key)
{
    if (section == nullptr) {
        return nullptr;
    }
    return Params_find(section->records, section->count, key);
}

}  // namespace

const char* const* Section_keptKeys(int section)
{
    if (section >= SEC_LAYER1 && section <= SEC_LAYER9) {
        return LayerKeptKeys;
    }
    switch (section) {
    case SEC_ANODE: return ANODE_KEPT;
    case SEC_CATHODE: return CATHODE_KEPT;
    case SEC_LIGHT: return LIGHT_KEPT;
    case SEC_NUMERIC: return NUMERIC_KEPT;
    default: return nullptr;
    }
}

const KeyEntry* Section_keyTable(int section)
{
    if (section >= SEC_LAYER1 && section <= SEC_LAYER9) {
        return LayerKeys;
    }
    switch (section) {
    case SEC_DEVICE: return DeviceKeys;
    case SEC_ANODE: return AnodeKeys;
    case SEC_CATHODE: return CathodeKeys;
    case SEC_VOLTAGE: return VoltageKeys;
    case SEC_LIGHT: return LightKeys;
    case SEC_NUMERIC: return NumericKeys;
    case SEC_COMMAND: return CommandKeys;
    default: return nullptr;
    }
}

int Section_find(const char* name)
{
    if (name == nullptr) {
        return -1;
    }
    for (int i = 0; SectionKeys[i].key != nullptr; ++i) {
        if (std::strcmp(SectionKeys[i].key, name) == 0) {
            return static_cast<int>(SectionKeys[i].number);
        }
    }
    return -1;
}

int Params_setEntry(const KeyEntry* entry, ParamRecord** records, const char* prefix,
                    const char* value, const char* comment, int withPrefix, int* changed,
                    int console)
{
    if (entry == nullptr || entry->key == nullptr || records == nullptr || value == nullptr) {
        return 0;
    }
    const int number = static_cast<int>(entry->number);
    ParamRecord* record = records[number];
    if (record == nullptr) {
        return 0;
    }
    if (withPrefix == 1 && prefix != nullptr) {
        char full[PARAM_KEY_SIZE * 2];
        std::snprintf(full, sizeof full, "%s.%s", prefix, entry->key);
        kov_copyA(record->key, PARAM_KEY_SIZE, full);
    } else {
        kov_copyA(record->key, PARAM_KEY_SIZE, entry->key);
    }
    record->index = number;
    const int before = record->revision;
    const int result = Param_setValueText(record, value, comment, console);
    if (changed != nullptr && record->revision != before) {
        ++*changed;
    }
    return result;
}

int Params_setByKey(const KeyEntry* table, ParamRecord** records, const char* prefix,
                    const char* key, const char* value, const char* comment, int withPrefix,
                    int* changed, int console)
{
    if (table == nullptr || records == nullptr || key == nullptr || value == nullptr) {
        return 0;
    }
    for (int i = 0; table[i].key != nullptr; ++i) {
        if (std::strcmp(table[i].key, key) == 0) {
            return Params_setEntry(&table[i], records, prefix, value, comment, withPrefix, changed,
                                   console);
        }
    }
    return 0;
}

int Device_setDeviceParam(ParamRecord** records, const char* key, const char* text,
                          const char* comment, int* changed, int console)
{
    return Params_setByKey(DeviceKeys, records, nullptr, key, text, comment, 0, changed, console);
}

int Device_setAnodeItem(Device* device, const char* key, const char* text, const char* comment,
                        int* changed, int console)
{
    if (device == nullptr || device->anode == nullptr || key == nullptr || text == nullptr) {
        return 0;
    }
    updateSchottky(device->anode, "Anode.Type", key, text);
    return Params_setByKey(AnodeKeys, device->anode->records, nullptr, key, text, comment, 0,
                           changed, console);
}

int Device_setCathodeItem(Device* device, const char* key, const char* text, const char* comment,
                          int* changed, int console)
{
    if (device == nullptr || device->cathode == nullptr || key == nullptr || text == nullptr) {
        return 0;
    }
    updateSchottky(device->cathode, "Cathode.Type", key, text);
    return Params_setByKey(CathodeKeys, device->cathode->records, nullptr, key, text, comment, 0,
                           changed, console);
}

int Device_setVoltageParam(Device* d, const char* key, const char* text, const char* comment,
                           int* changed, int console)
{
    return d == nullptr
               ? 0
               : setInSection(d->voltage, VoltageKeys, key, text, comment, changed, console);
}

int Device_setLightItem(Device* d, const char* key, const char* text, const char* comment,
                        int* changed, int console)
{
    return d == nullptr ? 0
                        : setInSection(d->light, LightKeys, key, text, comment, changed, console);
}

int Device_setNumericParam(Device* d, const char* key, const char* text, const char* comment,
                           int* changed, int console)
{
    return d == nullptr
               ? 0
               : setInSection(d->numeric, NumericKeys, key, text, comment, changed, console);
}

int Device_setCommandParam(Device* d, const char* key, const char* text, const char* comment,
                           int* changed, int console)
{
    return d == nullptr
               ? 0
               : setInSection(d->command, CommandKeys, key, text, comment, changed, console);
}

int Device_getVoltageValueText(Device* d, const char* key, char* out)
{
    return d == nullptr ? 0 : valueText(d->voltage, key, out);
}

int Device_getLightValueText(Device* d, const char* key, char* out)
{
    return d == nullptr ? 0 : valueText(d->light, key, out);
}

int Device_getNumericValueText(Device* d, const char* key, char* out)
{
    return d == nullptr ? 0 : valueText(d->numeric, key, out);
}

int Device_getCommandValueText(Device* d, const char* key, char* out)
{
    return d == nullptr ? 0 : valueText(d->command, key, out);
}

int Contact_getValueText(Contact* contact, const char* key, char* out)
{
    if (contact == nullptr || key == nullptr || out == nullptr) {
        return 0;
    }
    return Params_getValueText(contact->records, contact->count, key, out);
}

ParamRecord* Device_findVoltageParam(Device* d, const char* key)
{
    return d == nullptr ? nullptr : find(d->voltage, key);
}

ParamRecord* Device_findLightParam(Device* d, const char* key)
{
    return d == nullptr ? nullptr : find(d->light, key);
}

ParamRecord* Device_findNumericParam(Device* d, const char* key)
{
    return d == nullptr ? nullptr : find(d->numeric, key);
}

ParamRecord* Device_findCommandParam(Device* d, const char* key)
{
    return d == nullptr ? nullptr : find(d->command, key);
}

ParamRecord* Contact_findParam(Contact* contact, const char* key)
{
    if (contact == nullptr) {
        return nullptr;
    }
    return Params_find(contact->records, contact->count, key);
}
