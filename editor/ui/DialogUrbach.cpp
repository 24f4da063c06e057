// Urbach tail dialog: the band-tail states of the layer. The "Urbach"
// toggle decides whether the tail reaches the device file at all: on, the
// enable record and the eight values are written (also values never
// edited); off, none of the nine is written, though the layer keeps them.
#include <cstring>
#include <strings.h>

#include "Dialogs.h"
#include "layer.h"
#include "param.h"
#include "kovraHandles.h"

namespace {

const DialogField UrbachFields[] = {
    {.word = "EA", .key = "Urbach.EA", .caption = "EA (eV)"},
    {.word = "ED", .key = "Urbach.ED", .caption = "ED (eV)"},
    {.word = "GA", .key = "Urbach.GA", .caption = "GA (1/cm3/eV)"},
    {.word = "GD", .key = "Urbach.GD", .caption = "GD (1/cm3/eV)"},
    {.word = "TaunA", .key = "Urbach.TaunA", .caption = "TaunA (s)"},
    {.word = "TaunD", .key = "Urbach.TaunD", .caption = "TaunD (s)"},
    {.word = "TaupA", .key = "Urbach.TaupA", .caption = "TaupA (s)"},
    {.word = "TaupD", .key = "Urbach.TaupD", .caption = "TaupD (s)"},
};

constexpr int REVISION_WRITTEN = 2;

Ihandle* buildToggle(const DialogDescription* description)
{
    Ihandle* toggle = IupToggle("Urbach", nullptr);
    IupSetAttributes(toggle, "ALIGNMENT=ACENTER, SIZE=80x");
    IupSetAttribute(toggle, KOV_Caption, "Tail states");
    char name[96];
    IupSetHandle(Dialog_controlName(description, "Enable", name, sizeof name), toggle);
    return toggle;
}

void loadToggle(const DialogDescription* description)
{
    Layer* layer = Dialog_selectedLayer(description);
    Ihandle* toggle = Dialog_control(description, "Enable");
    if (layer == nullptr || toggle == nullptr) {
        return;
    }
    ParamRecord* enable = Layer_findParam(layer, "Urbach.Enable");
    IupSetAttribute(toggle, KOV_Record, reinterpret_cast<const char*>(enable));
    const std::string text = Dialog_valueText(enable);
    IupSetAttribute(toggle, "VALUE", strcasecmp(text.c_str(), "Yes") == 0 ? "ON" : "OFF");
}

// The toggle is taken only after every value was: a refused value leaves
// the tail as it was.
int storeToggle(const DialogDescription* description, int* changed)
{
    Layer* layer = Dialog_selectedLayer(description);
    Ihandle* toggle = Dialog_control(description, "Enable");
    ParamRecord* enable = layer != nullptr ? Layer_findParam(layer, "Urbach.Enable") : nullptr;
    if (toggle == nullptr || enable == nullptr) {
        return 0;
    }
    const bool on = IupGetInt(toggle, "VALUE") != 0;
    const std::string before = Dialog_valueText(enable);
    const bool wasWritten = enable->revision != 0;
    if (!Param_setValueText(enable, on ? "Yes" : "No", "", 1)) {
        Dialog_showMessage(description, "Urbach: not accepted");
        return 0;
    }
    const int revision = on ? REVISION_WRITTEN : 0;
    enable->revision = revision;
    for (const DialogField& field : UrbachFields) {
        if (ParamRecord* record = Layer_findParam(layer, field.key)) {
            record->revision = revision;
        }
    }
    // Turning the tail off drops nine lines from the file: a change as much
    // as turning it on.
    if (Dialog_valueText(enable) != before || wasWritten != on) {
        ++*changed;
    }
    return 1;
}

}  // namespace

const DialogDescription UrbachDialog = {
    .handle = KOV_WindowUrbach,
    .title = "Urbach Tail",
    .layerList = true,
    .fields = UrbachFields,
    .columns = 2,
    .captions = true,
    .buildExtra = buildToggle,
    .loadExtra = loadToggle,
    .storeExtra = storeToggle,
};

void WindowUrbach_show() { Dialog_show(&UrbachDialog); }
