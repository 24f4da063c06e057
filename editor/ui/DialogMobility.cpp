// Mobility dialog: the layer's electron and hole mobilities and an optional
// mobility model; a ".lua" model computes both.
#include <iterator>

#include "Dialogs.h"

namespace {

const DialogField MobilityFields[] = {
    {"N", "Mobility.N", "un (cm2/Vs)", DIALOG_FROM_LAYER, true},
    {"P", "Mobility.P", "up (cm2/Vs)", DIALOG_FROM_LAYER, true},
};

const DialogModel MobilityModel = {"Mobility.Model", "Select mobility model?", "Mobility model",
                                   "Kovra mobility model|*.lua||"};

// One row of the layer list and the two fields under their captions, then
// the model button beside Apply and OK.
Ihandle* layout(const DialogSpec* spec)
{
    return Dialog_vbox({
        Dialog_vbox({Dialog_hbox({Dialog_caption("Layer"), Dialog_caption("un (cm2/Vs)"), Dialog_caption("up (cm2/Vs)")}),
                     Dialog_hbox({Dialog_control(spec, "LayerList"), Dialog_control(spec, "N"), Dialog_control(spec, "P")})}),
        Dialog_separator(),
        Dialog_hbox({Dialog_control(spec, "Model"), Dialog_control(spec, "Apply"), Dialog_control(spec, "OK")}),
    });
}

}  // namespace

const DialogSpec MobilityDialog = {
    "Mobility", "Mobility", true, MobilityFields, static_cast<int>(std::size(MobilityFields)), &MobilityModel, 3, true,
    false, nullptr, nullptr, nullptr, layout,
};

void WindowMobility_show()
{
    Dialog_show(&MobilityDialog);
}
