// Device: the editor's model of one device file: header text, the three
// [Device] records, two contacts, up to nine layers, the Voltage, Light,
// Numeric and Command sections, and the expression parser that holds the
// device's variables and evaluates every value entered.
#pragma once

#include <vector>

#include "keptLines.h"
#include "layer.h"
#include "notes.h"
#include "param.h"
#include "sections.h"

struct kov_Parser;
struct Document;

constexpr int DEVICE_LAYERS_MAX = 9;
constexpr int DEVICE_RECORDS = 3;
constexpr int DEVICE_HEADER_SIZE = 8192;

// Section numbers of the device file.
enum SectionNumber {
    SEC_DEVICE = 0,
    SEC_ANODE = 1,
    SEC_LAYER1 = 2,
    SEC_LAYER9 = 10,
    SEC_CATHODE = 11,
    SEC_VOLTAGE = 12,
    SEC_LIGHT = 13,
    SEC_NUMERIC = 14,
    SEC_COMMAND = 15,
    SEC_COUNT = 16
};

struct Device {
    char* header;
    int recordCount;
    ParamRecord* records[DEVICE_RECORDS];
    Contact* anode;
    Contact* cathode;
    int layerCount;
    Layer* layers[DEVICE_LAYERS_MAX];
    ParamSection* voltage;
    ParamSection* light;
    ParamSection* numeric;
    ParamSection* command;
    kov_Parser* parser;
    // Engine keys without a record, per section number (layers keep their
    // own); allocated when the first one is kept.
    KeptLines* kept[SEC_COUNT];
    // Variables whose value is a quoted text ("$name = \"My cell\""): the
    // parser holds numbers only, so these stay here, listed after its own.
    KeptLines* textVariables;
    // Comment lines that are no record's comment, by the place they stood
    // at (layers keep their own).
    Notes* notes;
};

Device* Device_create(const char* name);
void Device_free(Device** device);
Layer* Device_appendLayer(Device* device);
Layer* Device_insertLayer(Device* device, int position);
Layer* Device_moveLayer(Device* device, int from, int to);
Layer* Device_moveLayerDown(Device* device, int position);
Layer* Device_moveLayerUp(Device* device, int position);
int Device_removeLayer(Device* device, int position);
int Device_removeAllLayers(Device* device);
int Device_renameLayers(Device* device);
// Mesh points of a layer: -1 when the device takes its mesh from a file.
int Device_getLayerMeshPoints(Document* document, Layer* layer);
// Keeps a line of a section that no record holds.
int Device_keepLine(Device* device, int section, const char* key, const char* value,
                    const char* comment);

// ---- key tables and access by key ----------------------------------------
extern const KeyEntry SectionKeys[];
extern const KeyEntry DeviceKeys[];
extern const KeyEntry AnodeKeys[];
extern const KeyEntry CathodeKeys[];
extern const KeyEntry VoltageKeys[];
extern const KeyEntry LightKeys[];
extern const KeyEntry NumericKeys[];
extern const KeyEntry CommandKeys[];
// Keys the engine reads in a section that no record of it holds (kept as
// written), per section number; null for a section without such keys.
const char* const* Section_keptKeys(int section);
// The key table of a section number (layers: LayerKeys).
const KeyEntry* Section_keyTable(int section);
// Section number of a header name (exact case), -1 when unknown.
int Section_find(const char* name);

int Device_setDeviceParam(ParamRecord** records, const char* key, const char* text,
                          const char* comment, int* changed, int console);
int Device_setAnodeItem(Device* device, const char* key, const char* text, const char* comment,
                        int* changed, int console);
int Device_setCathodeItem(Device* device, const char* key, const char* text, const char* comment,
                          int* changed, int console);
int Device_setVoltageParam(Device* device, const char* key, const char* text, const char* comment,
                           int* changed, int console);
int Device_setLightItem(Device* device, const char* key, const char* text, const char* comment,
                        int* changed, int console);
int Device_setNumericParam(Device* device, const char* key, const char* text, const char* comment,
                           int* changed, int console);
int Device_setCommandParam(Device* device, const char* key, const char* text, const char* comment,
                           int* changed, int console);
int Device_getVoltageValueText(Device* device, const char* key, char* out);
int Device_getLightValueText(Device* device, const char* key, char* out);
int Device_getNumericValueText(Device* device, const char* key, char* out);
int Device_getCommandValueText(Device* device, const char* key, char* out);
int Contact_getValueText(Contact* contact, const char* key, char* out);
ParamRecord* Device_findVoltageParam(Device* device, const char* key);
ParamRecord* Device_findLightParam(Device* device, const char* key);
ParamRecord* Device_findNumericParam(Device* device, const char* key);
ParamRecord* Device_findCommandParam(Device* device, const char* key);
ParamRecord* Contact_findParam(Contact* contact, const char* key);
// Marks for writing the records a switched-on source or contact kind needs
// (a voltage sweep its start, end and step; monochromatic light or a
// wavelength sweep its wavelengths and flux; a Schottky contact its barrier
// height), so that what their fields show is what the run takes.
void Device_markSourceRecords(Device* device);
// Applies one entry of a key table found already (rename, index, value entry).
int Params_setEntry(const KeyEntry* entry, ParamRecord** records, const char* prefix,
                    const char* value, const char* comment, int withPrefix, int* changed,
                    int console);
// Applies one key through a key table (rename, index, value entry).
int Params_setByKey(const KeyEntry* table, ParamRecord** records, const char* prefix,
                    const char* key, const char* value, const char* comment, int withPrefix,
                    int* changed, int console);

// ---- variables -------------------------------------------------------------
int Device_hasParser(const Device* device);
int Device_variableCount(Device* device);
const char* Device_variableName(Device* device, int index);
const char* Device_variableValue(Device* device, int index);
int Device_hasVariable(Device* device, const char* name, int flag);
int Device_defineVariable(Device* device, const char* name, const char* value, int line);
int Device_deleteVariable(Device* device, const char* name, int flag);
// Evaluates an expression over the device's variables in place (text holds
// PARAM_WORK_SIZE bytes): 1 with the number's text left in it, 0 when the
// text is no expression.
int Device_evaluate(Device* device, char* text);
// The value text of "$name", or null when there is no such variable.
const char* Device_variableText(Device* device, const char* reference);
// Defines, changes (value given) or deletes (null or empty value) a variable
// and shows the change everywhere: the variables built from it are
// evaluated again and every record that takes it or one of them takes the
// new value. Refused (0, the reason printed and kept for
// Device_variableRefusal): a value built from the variable itself (directly
// or through others), deleting a variable others are built from, and a
// value that leaves one of those without a value.
int Device_setVariable(Device* device, const char* name, const char* value);
// Why the last Device_setVariable refused; empty after an accepted one.
const char* Device_variableRefusal();
// The indices of the variables in an order that gives each after those it
// is built from (the stored order where that is so), as a file defines them.
std::vector<int> Device_variableOrder(Device* device);
// Why the last evaluation through the device's parser refused its text.
const char* Device_evaluationError(Device* device);
