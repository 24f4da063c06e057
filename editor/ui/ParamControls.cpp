#include "ParamControls.h"

#include <cstring>
#include "kovraHandles.h"

ParamRecord* ParamControl_record(Ihandle* control)
{
    return control ? reinterpret_cast<ParamRecord*>(IupGetAttribute(control, KOV_Record)) : nullptr;
}

void ParamControl_bind(Ihandle* control, ParamRecord* record)
{
    if (control != nullptr) {
        IupSetAttribute(control, KOV_Record, reinterpret_cast<char*>(record));
    }
}

namespace {

template <typename Show>
void fill(const ControlRow* table, ParamRecord* const* records, int count, Show show)
{
    if (table == nullptr || records == nullptr || count <= 0) {
        return;
    }
    for (const ControlRow* row = table; row->handleName != nullptr; ++row) {
        Ihandle* control = IupGetHandle(row->handleName);
        if (control == nullptr || row->key == nullptr) {
            continue;
        }
        char text[PARAM_VALUE_SIZE];
        if (!Params_getValueText(records, count, row->key, text)) {
            continue;
        }
        IupSetAttribute(control, "ACTIVE", "YES");
        show(control, text);
        ParamControl_bind(control, Params_find(records, count, row->key));
    }
}

}  // namespace

void Params_fillControls(const ControlRow* table, ParamRecord* const* records, int count)
{
    fill(table, records, count, [](Ihandle* control, const char* text) {
        IupSetStrAttribute(control, "VALUE", text);
        IupSetAttribute(control, "CARET", "64");
    });
}

void Params_fillControlsFromTexts(const ControlRow* table, ParamRecord* const* records, int count)
{
    fill(table, records, count, [](Ihandle* control, const char* text) {
        IupSetAttribute(control, "VALUE", std::strcmp(text, "Yes") == 0 ? "ON" : "OFF");
    });
}

int Params_applyControls(const ControlRow* table, int* changed, int console)
{
    if (table == nullptr) {
        return 1;
    }
    for (const ControlRow* row = table; row->handleName != nullptr; ++row) {
        Ihandle* control = IupGetHandle(row->handleName);
        if (control == nullptr) {
            continue;
        }
        const char* active = IupGetAttribute(control, "ACTIVE");
        if (active != nullptr && std::strcmp(active, "NO") == 0) {
            continue;
        }
        ParamRecord* record = ParamControl_record(control);
        if (record == nullptr) {
            continue;
        }
        int revision = record->revision;
        record->control = control;
        const char* value = IupGetAttribute(control, "VALUE");
        if (value != nullptr && value[0] != '\0') {
            if (!Param_setValueText(record, value, nullptr, console)) {
                return 0;
            }
        }
        if (changed != nullptr && record->revision != revision) {
            ++*changed;
        }
    }
    return 1;
}
