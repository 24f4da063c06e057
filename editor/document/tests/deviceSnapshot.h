// Every field of a device that a device file carries, as "where=value"
// lines: records in use (with comment and reference), kept lines,
// variables and the header, so that two devices compare field by field.
#pragma once

#include <map>
#include <string>

#include "device.h"

inline void snapshotRecords(std::map<std::string, std::string>* out, const std::string& where,
                            ParamRecord* const* records, int count, const KeptLines* kept)
{
    for (int i = 0; i < count; ++i) {
        const ParamRecord* r = records[i];
        if (r == nullptr || r->type == PARAM_EMPTY || r->alias != nullptr) {
            continue;
        }
        bool inUse = r->revision > 0;
        if (r->type == PARAM_TEXT && std::string(r->key).find(".Model") != std::string::npos) {
            inUse = std::string(r->value.text).find(".lua") != std::string::npos;
        }
        if (!inUse) {
            continue;
        }
        char value[PARAM_VALUE_SIZE];
        Param_valueText(r, value, sizeof value);
        // Reals compare by value (a saved file writes the shortest form).
        std::string shown = value;
        if (r->type == PARAM_REAL && value[0] != '$') {
            char exact[64];
            Real_format(r->value.real, exact, sizeof exact);
            shown = exact;
        }
        (*out)[where + "/" + r->key] = shown + " | " + r->comment;
    }
    if (kept != nullptr) {
        for (int i = 0; i < kept->count; ++i) {
            (*out)[where + "/" + kept->lines[i].key] =
                std::string("kept ") + kept->lines[i].value + " | " + kept->lines[i].comment;
        }
    }
}

inline std::map<std::string, std::string> snapshotDevice(Device* d)
{
    std::map<std::string, std::string> out;
    out["header"] = d->header;
    for (int i = 0; i < Device_variableCount(d); ++i) {
        out[std::string("$") + Device_variableName(d, i)] = Device_variableValue(d, i);
    }
    snapshotRecords(&out, "Device", d->records, d->recordCount, d->kept[SEC_DEVICE]);
    for (int i = 0; i < d->layerCount; ++i) {
        snapshotRecords(&out, d->layers[i]->name, d->layers[i]->records, d->layers[i]->count,
                        &d->layers[i]->kept);
    }
    snapshotRecords(&out, "Anode", d->anode->records, d->anode->count, d->kept[SEC_ANODE]);
    snapshotRecords(&out, "Cathode", d->cathode->records, d->cathode->count, d->kept[SEC_CATHODE]);
    snapshotRecords(&out, "Voltage", d->voltage->records, d->voltage->count, d->kept[SEC_VOLTAGE]);
    snapshotRecords(&out, "Light", d->light->records, d->light->count, d->kept[SEC_LIGHT]);
    snapshotRecords(&out, "Numeric", d->numeric->records, d->numeric->count, d->kept[SEC_NUMERIC]);
    snapshotRecords(&out, "Command", d->command->records, d->command->count, d->kept[SEC_COMMAND]);
    return out;
}
