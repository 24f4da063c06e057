// Voltage dialog: the sweep of the applied voltage, the current limits and
// the voltage source (a sweep, a voltage file, or none).
#include <cstring>

#include "Dialogs.h"
#include "FileNames.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "param.h"
#include "kovraHandles.h"

namespace {

const DialogField VoltageFields[] = {
    {.word = "Start",
     .key = "Voltage.Start",
     .caption = "Start (V)",
     .source = DIALOG_FROM_VOLTAGE},
    {.word = "End", .key = "Voltage.End", .caption = "End (V)", .source = DIALOG_FROM_VOLTAGE},
    {.word = "Step", .key = "Voltage.Step", .caption = "Step (V)", .source = DIALOG_FROM_VOLTAGE},
    {.word = "Jinf",
     .key = "Voltage.Jinf",
     .caption = "Jinf (A/cm2)",
     .source = DIALOG_FROM_VOLTAGE},
    {.word = "Jsup",
     .key = "Voltage.Jsup",
     .caption = "Jsup (A/cm2)",
     .source = DIALOG_FROM_VOLTAGE},
};

const char* const SweepFields[] = {"Start", "End", "Step"};

ParamRecord* source(const DialogDescription* description)
{
    return Dialog_findRecord(description, DIALOG_FROM_VOLTAGE, "Voltage.Source");
}

std::string sourceText(const ParamRecord* record)
{
    char text[PARAM_VALUE_SIZE];
    Param_valueText(record, text, sizeof text);
    return text;
}

bool isSweep(const ParamRecord* record)
{
    return record != nullptr && sourceText(record) == "Sweep";
}

bool isFile(const ParamRecord* record)
{
    if (record == nullptr || isSweep(record)) {
        return false;
    }
    return FileNames_namesVoltageFile(sourceText(record));
}

void setSweepFieldsActive(const DialogDescription* description, bool active)
{
    for (const char* word : SweepFields) {
        if (Ihandle* field = Dialog_control(description, word)) {
            IupSetAttribute(field, "ACTIVE", active ? "YES" : "NO");
        }
    }
}

// Toggle, button and sweep fields from the source record.
void showSource(const DialogDescription* description)
{
    ParamRecord* record = source(description);
    Ihandle* toggle = Dialog_control(description, "Sweep");
    Ihandle* file = Dialog_control(description, "FileBtn");
    if (record == nullptr || toggle == nullptr || file == nullptr) {
        return;
    }
    const bool fromFile = isFile(record);
    IupSetAttribute(toggle, KOV_Record, reinterpret_cast<const char*>(record));
    IupSetAttribute(toggle, "VALUE", isSweep(record) ? "ON" : "OFF");
    IupSetAttribute(toggle, "ACTIVE", fromFile ? "NO" : "YES");
    IupSetAttribute(file, KOV_Record, reinterpret_cast<const char*>(record));
    IupSetStrAttribute(file, "TIP", fromFile ? sourceText(record).c_str() : "");
    IupSetAttribute(file, "TITLE", fromFile ? "File*..." : "File...");
    setSweepFieldsActive(description, isSweep(record));
    Dialog_rememberLoaded(file, record);
}

// The source changed elsewhere (the main window's sweep list, the light
// dialog's quantum-efficiency sweep): the toggle shows it.
void followSource(const DialogDescription* description)
{
    if (Dialog_changedSinceLoad(Dialog_control(description, "FileBtn"), source(description))) {
        showSource(description);
    }
}

int onSweepToggle(Ihandle* ih, int state)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    if (description == nullptr || Dialog_device() == nullptr) {
        return IUP_DEFAULT;
    }
    // The source itself changes at the next store, which marks the
    // document modified when it did.
    setSweepFieldsActive(description, state != 0);
    return IUP_DEFAULT;
}

int onFile(Ihandle* ih)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    if (description == nullptr || Dialog_device() == nullptr || source(description) == nullptr) {
        return IUP_DEFAULT;
    }
    const int answer = Dialog_ask("Select custom voltage file?");
    if (answer == 5) {
        return IUP_DEFAULT;
    }
    bool changed = false;
    int taken = 1;
    if (answer == 3) {
        const std::string file = Dialog_chooseFile(description, "Voltage file",
                                                   "Kovra voltage files|*.txt;*.dat;*.voltage||");
        if (file.empty()) {
            return IUP_DEFAULT;  // a cancelled choice keeps the source
        }
        taken = Dialog_setFileRecord(source(description), file, &changed);
    } else {
        ParamRecord* record = source(description);
        const int revision = record->revision;
        taken = Param_setValueText(record, "None", "", 1);
        changed = record->revision != revision;
    }
    if (!taken) {
        Dialog_showMessage(description, "Voltage file: not accepted");
    }
    showSource(description);
    Device_getSourceFile(Doc_document(), "Voltage.Source");
    Dialog_refreshMain();
    if (changed) {
        Document_setModified(Doc_document(), 1);
    }
    return IUP_DEFAULT;
}

Ihandle* buildSourceRow(const DialogDescription* description)
{
    Ihandle* toggle = IupToggle("Sweep", nullptr);
    IupSetAttributes(toggle, "ALIGNMENT=ACENTER, SIZE=80x");
    char name[96];
    IupSetHandle(Dialog_controlName(description, "Sweep", name, sizeof name), toggle);
    IupSetCallback(toggle, "ACTION", onSweepToggle);
    Ihandle* blank = IupLabel(" ");
    IupSetAttribute(blank, "SIZE", "80x");
    Ihandle* row =
        IupHbox(toggle, blank, Dialog_button(description, "File...", "FileBtn", onFile), nullptr);
    IupSetAttributes(row, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=5");
    return row;
}

// A file source stays as it is; otherwise the toggle says sweep or none.
int storeSource(const DialogDescription* description, int* changed)
{
    ParamRecord* record = source(description);
    Ihandle* toggle = Dialog_control(description, "Sweep");
    if (record == nullptr || toggle == nullptr || isFile(record)) {
        return 1;
    }
    const int revision = record->revision;
    const int taken =
        Param_setValueText(record, IupGetInt(toggle, "VALUE") ? "Sweep" : "None", "", 1);
    if (record->revision != revision) {
        ++*changed;
    }
    Dialog_rememberLoaded(Dialog_control(description, "FileBtn"), record);
    return taken;
}

}  // namespace

const DialogDescription VoltageDialog = {
    .handle = KOV_WindowVoltage,
    .title = "Voltage",
    .fields = VoltageFields,
    .columns = 3,
    .captions = true,
    .buildExtra = buildSourceRow,
    .loadExtra = showSource,
    .storeExtra = storeSource,
    .followExtra = followSource,
};

void WindowVoltage_show()
{
    const bool wasOpen = Dialog_isOpen(&VoltageDialog) != 0;
    Dialog_show(&VoltageDialog);
    if (!wasOpen && Dialog_device() != nullptr) {
        Device_getSourceFile(Doc_document(), "Voltage.Source");
    }
}
