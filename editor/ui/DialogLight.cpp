// Light dialog: the illumination of the run: monochromatic light, the
// AM1.5 spectrum, a wavelength sweep for quantum-efficiency runs, or a
// spectrum file, with the photon flux and the wavelength range. Three
// toggles act as radio buttons (all may be off: no light) and decide which
// fields mean something; a spectrum file replaces them all.
#include <string>

#include "Dialogs.h"
#include "FileNames.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "param.h"
#include "kovraHandles.h"

namespace {

const DialogField LightFields[] = {
    {.word = "Flux", .key = "Light.Flux", .caption = "Flux (1/cm2/s)", .source = DIALOG_FROM_LIGHT},
    {.word = "LambdaStart",
     .key = "Light.Start",
     .caption = "Start (um)",
     .source = DIALOG_FROM_LIGHT},
    {.word = "LambdaEnd", .key = "Light.End", .caption = "End (um)", .source = DIALOG_FROM_LIGHT},
    {.word = "LambdaStep",
     .key = "Light.Step",
     .caption = "Step (um)",
     .source = DIALOG_FROM_LIGHT},
};

// The toggles and the source each one stands for.
struct Toggle {
    const char* word;
    const char* title;
    const char* source;
};
const Toggle Toggles[] = {
    {"Mono", "Light, Mono", "Mono"},
    {"AM15", "AM1.5", "AM1.5"},
    {"Sweep", "Sweep <QE>", "Sweep"},
};

ParamRecord* source(const DialogDescription* description)
{
    return Dialog_findRecord(description, DIALOG_FROM_LIGHT, "Light.Source");
}

bool isSpectrumFile(const std::string& text) { return FileNames_namesLightFile(text); }

bool toggleOn(const DialogDescription* description, const char* word)
{
    Ihandle* toggle = Dialog_control(description, word);
    return toggle != nullptr && IupGetInt(toggle, "VALUE") != 0;
}

void setActive(const DialogDescription* description, const char* word, bool active)
{
    if (Ihandle* ctl = Dialog_control(description, word)) {
        IupSetAttribute(ctl, "ACTIVE", active ? "YES" : "NO");
    }
}

// Flux and the start wavelength mean something for monochromatic light and
// the sweep; the end and the step for the sweep only.
void enableFields(const DialogDescription* description)
{
    const bool mono = toggleOn(description, "Mono");
    const bool sweep = toggleOn(description, "Sweep");
    setActive(description, "Flux", mono || sweep);
    setActive(description, "LambdaStart", mono || sweep);
    setActive(description, "LambdaEnd", sweep);
    setActive(description, "LambdaStep", sweep);
}

// Toggles, file button and fields from the source record.
void showSource(const DialogDescription* description)
{
    ParamRecord* record = source(description);
    Ihandle* file = Dialog_control(description, "File");
    if (record == nullptr || file == nullptr) {
        return;
    }
    const std::string text = Dialog_valueText(record);
    const bool fromFile = isSpectrumFile(text);
    IupSetAttribute(file, KOV_Record, reinterpret_cast<const char*>(record));
    IupSetStrAttribute(file, "TIP", fromFile ? text.c_str() : "");
    IupSetAttribute(file, "TITLE", fromFile ? "File*..." : "File...");
    Dialog_rememberLoaded(file, record);
    for (const Toggle& t : Toggles) {
        Ihandle* toggle = Dialog_control(description, t.word);
        if (toggle == nullptr) {
            continue;
        }
        IupSetAttribute(toggle, KOV_Record, reinterpret_cast<const char*>(record));
        IupSetAttribute(toggle, "VALUE", !fromFile && text == t.source ? "ON" : "OFF");
        IupSetAttribute(toggle, "ACTIVE", fromFile ? "NO" : "YES");
    }
    if (fromFile) {
        for (const DialogField& f : LightFields) {
            setActive(description, f.word, false);
        }
    } else {
        enableFields(description);
    }
}

// The main window (or another dialog) changed the source: the toggles show
// it; toggles changed here and not yet applied stay while it is unchanged.
void follow(const DialogDescription* description)
{
    if (Dialog_changedSinceLoad(Dialog_control(description, "File"), source(description))) {
        showSource(description);
    }
}

void publishLightFile() { Device_getSourceFile(Doc_document(), "Light.Source"); }

void load(const DialogDescription* description)
{
    showSource(description);
    publishLightFile();
}

// A quantum-efficiency sweep runs without a voltage sweep.
int dropVoltageSweep(const DialogDescription* description, bool onlySweep, int* changed)
{
    ParamRecord* voltage = Dialog_findRecord(description, DIALOG_FROM_VOLTAGE, "Voltage.Source");
    if (voltage == nullptr || (onlySweep && Dialog_valueText(voltage) != "Sweep")) {
        return 1;
    }
    return Dialog_storeText(voltage, "None", changed);
}

int onToggle(Ihandle* ih, int state)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    if (description == nullptr || Dialog_device() == nullptr) {
        return IUP_DEFAULT;
    }
    if (state != 0) {
        for (const Toggle& t : Toggles) {
            if (Ihandle* other = Dialog_control(description, t.word);
                other != nullptr && other != ih) {
                IupSetAttribute(other, "VALUE", "OFF");
            }
        }
    }
    enableFields(description);
    if (toggleOn(description, "Sweep")) {
        int changed = 0;
        dropVoltageSweep(description, false, &changed);
        Device_getSourceFile(Doc_document(), "Voltage.Source");
        Dialog_refreshMain();
        if (changed > 0) {
            Document_setModified(Doc_document(), 1);
        }
    }
    return IUP_DEFAULT;
}

// "File...": yes chooses a spectrum file, no drops a spectrum file that is
// set; cancelling the question or the file choice changes nothing.
int onFile(Ihandle* ih)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    if (description == nullptr || Dialog_device() == nullptr || source(description) == nullptr) {
        return IUP_DEFAULT;
    }
    const int answer = Dialog_ask("Select custom light spectrum?");
    if (answer != 3 && answer != 4) {
        return IUP_DEFAULT;
    }
    int changed = 0;
    if (answer == 3) {
        const std::string file = Dialog_chooseFile(
            description, "Light spectrum", "Kovra light spectrum file|*.txt;*.dat;*.light||");
        if (file.empty()) {
            return IUP_DEFAULT;
        }
        if (!isSpectrumFile(file)) {
            Dialog_showMessage(
                description,
                ("Light spectrum: not a spectrum file (.txt, .dat, .light): " + file).c_str());
            return IUP_DEFAULT;
        }
        bool moved = false;
        if (!Dialog_setFileRecord(source(description), file, &moved)) {
            Dialog_showMessage(description, ("Light spectrum: not accepted: " + file).c_str());
            return IUP_DEFAULT;
        }
        changed = moved ? 1 : 0;
    } else if (isSpectrumFile(Dialog_valueText(source(description)))) {
        // Without the file, no light until a toggle says otherwise.
        Dialog_storeText(source(description), "None", &changed);
    }
    showSource(description);
    publishLightFile();
    Dialog_refreshMain();
    if (changed > 0) {
        Document_setModified(Doc_document(), 1);
    }
    Dialog_showMessage(description, "");
    return IUP_DEFAULT;
}

// After the fields: the toggles decide the source, unless a spectrum file
// is the source, which only the file button changes.
int store(const DialogDescription* description, int* changed)
{
    ParamRecord* record = source(description);
    if (record == nullptr) {
        return 0;
    }
    if (isSpectrumFile(Dialog_valueText(record))) {
        return 1;
    }
    const Toggle* on = nullptr;
    for (const Toggle& t : Toggles) {
        if (on == nullptr && toggleOn(description, t.word)) {
            on = &t;
        }
    }
    if (!Dialog_storeText(record, on != nullptr ? on->source : "None", changed)) {
        Dialog_showMessage(description, "Light source: not accepted");
        return 0;
    }
    Dialog_rememberLoaded(Dialog_control(description, "File"), record);
    if (on != nullptr && std::string(on->source) == "Sweep" &&
        !dropVoltageSweep(description, true, changed)) {
        return 0;
    }
    publishLightFile();
    return 1;
}

Ihandle* toggle(const DialogDescription* description, const Toggle& t)
{
    Ihandle* ih = IupToggle(t.title, nullptr);
    IupSetAttributes(ih, "ALIGNMENT=ACENTER, SIZE=80x");
    char name[96];
    IupSetHandle(Dialog_controlName(description, t.word, name, sizeof name), ih);
    IupSetCallback(ih, "ACTION", onToggle);
    return ih;
}

Ihandle* blank()
{
    Ihandle* label = IupLabel(" ");
    IupSetAttribute(label, "SIZE", "80x");
    return label;
}

Ihandle* layout(const DialogDescription* description)
{
    return Dialog_vbox({
        Dialog_hbox({toggle(description, Toggles[0]), toggle(description, Toggles[1]),
                     Dialog_button(description, "File...", "File", onFile)}),
        Dialog_separator(),
        Dialog_vbox({Dialog_hbox({Dialog_caption(" "), Dialog_caption(" "),
                                  Dialog_caption(LightFields[0].caption)}),
                     Dialog_hbox({toggle(description, Toggles[2]), blank(),
                                  Dialog_control(description, "Flux")})}),
        Dialog_vbox({Dialog_hbox({Dialog_caption(LightFields[1].caption),
                                  Dialog_caption(LightFields[2].caption),
                                  Dialog_caption(LightFields[3].caption)}),
                     Dialog_hbox({Dialog_control(description, "LambdaStart"),
                                  Dialog_control(description, "LambdaEnd"),
                                  Dialog_control(description, "LambdaStep")})}),
        Dialog_separator(),
        Dialog_hbox(
            {IupFill(), Dialog_control(description, "Apply"), Dialog_control(description, "OK")}),
    });
}

}  // namespace

const DialogDescription LightDialog = {
    .handle = KOV_WindowLight,
    .title = "Light",
    .fields = LightFields,
    .columns = 3,
    .captions = true,
    .loadExtra = load,
    .storeExtra = store,
    .layout = layout,
    .followExtra = follow,
};

void WindowLight_show() { Dialog_show(&LightDialog); }
