// The voltage and light source files travel between the device and the
// application record, which the main window's file choosers show.
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
