// The voltage and light source files travel between the device and the
// application record, which the main window's file choosers show.
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovText.h"

namespace {

bool namesSourceFile(const char* value, bool light)
{
    return kov_endsWith(value, ".txt") || kov_endsWith(value, ".dat") ||
           kov_endsWith(value, light ? ".light" : ".voltage");
}

}  // namespace

int Device_getSourceFile(Document* document, const char* key)
{
    Device* device = document != nullptr ? document->device : nullptr;
    if (device == nullptr || key == nullptr) {
        return 0;
    }
    const bool light = std::strcmp(key, "Light.Source") == 0;
    ParamRecord* record = light ? Device_findLightParam(device, "Light.Source")
                                : Device_findVoltageParam(device, "Voltage.Source");
    const char* value = record != nullptr ? record->value.text : "";
    const char* file = namesSourceFile(value, light) ? value : "";
    if (light) {
        Doc_hooks().setLightFile(file);
    } else {
        Doc_hooks().setVoltageFile(file);
    }
    return 1;
}

int Device_setSourceFile(Document* document, const char* key)
{
    Device* device = document != nullptr ? document->device : nullptr;
    if (device == nullptr || key == nullptr) {
        return 0;
    }
    const bool light = strcasecmp(key, "Light.Source") == 0;
    if (!light && strcasecmp(key, "Voltage.Source") != 0) {
        return 0;
    }
    ParamRecord* record = light ? Device_findLightParam(device, "Light.Source")
                                : Device_findVoltageParam(device, "Voltage.Source");
    const char* kept = light ? Doc_hooks().lightFile() : Doc_hooks().voltageFile();
    // Without a kept file nothing is stored: an empty source would undo the
    // device's sweep or light choice.
    if (record == nullptr || kept == nullptr || kept[0] == '\0') {
        return 0;
    }
    const int taken = Param_setValueText(record, kept, nullptr, 0);
    if (taken != 1) {
        return taken;
    }
    return namesSourceFile(record->value.text, light) ? 1 : 0;
}

namespace {

// Marks a record to be written; one already written keeps its count.
void markWritten(ParamRecord* record)
{
    if (record != nullptr && record->revision <= 0) {
        record->revision = 1;
    }
}

// A source record that is written and holds the word. One the file left
// out stays out, and so do the records it would need.
bool holds(const ParamRecord* record, const char* word)
{
    return record != nullptr && record->type == PARAM_TEXT && record->revision > 0 &&
           strcasecmp(record->value.text, word) == 0;
}

}  // namespace

void Device_markSourceRecords(Device* device)
{
    if (device == nullptr) {
        return;
    }
    // The fields a switched-on source shows are what the run takes; the
    // engine refuses such a source without them.
    if (holds(Device_findVoltageParam(device, "Voltage.Source"), "Sweep")) {
        for (const char* key : {"Voltage.Start", "Voltage.End", "Voltage.Step"}) {
            markWritten(Device_findVoltageParam(device, key));
        }
    }
    const ParamRecord* light = Device_findLightParam(device, "Light.Source");
    const bool sweep = holds(light, "Sweep") || holds(light, "EQE");
    if (sweep || holds(light, "Mono")) {
        for (const char* key : {"Light.Start", "Light.Flux"}) {
            markWritten(Device_findLightParam(device, key));
        }
    }
    if (sweep) {
        for (const char* key : {"Light.End", "Light.Step"}) {
            markWritten(Device_findLightParam(device, key));
        }
    }
    // A Schottky contact is refused without its barrier height.
    for (Contact* contact : {device->anode, device->cathode}) {
        if (contact == nullptr) {
            continue;
        }
        char type[PARAM_KEY_SIZE + 8];
        std::snprintf(type, sizeof type, "%s.Type", contact->name);
        char phi[PARAM_KEY_SIZE + 8];
        std::snprintf(phi, sizeof phi, "%s.Phi", contact->name);
        if (holds(Contact_findParam(contact, type), "Schottky")) {
            markWritten(Contact_findParam(contact, phi));
        }
    }
}
