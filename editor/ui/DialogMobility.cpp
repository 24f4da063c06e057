// Mobility dialog: the layer's electron and hole mobilities and an optional
// mobility model; a ".lua" model computes both.

#include "Dialogs.h"
#include "kovraHandles.h"

namespace {

const DialogField MobilityFields[] = {
    {.word = "N", .key = "Mobility.N", .caption = "un (cm2/Vs)", .governed = true},
    {.word = "P", .key = "Mobility.P", .caption = "up (cm2/Vs)", .governed = true},
};

const DialogModel MobilityModel = {
    .key = "Mobility.Model",
    .question = "Select mobility model?",
    .caption = "Mobility model",
    .filter = "Kovra mobility model|*.lua||",
};

// One row of the layer list and the two fields under their captions, then
// the model button beside Apply and OK.
Ihandle* layout(const DialogDescription* description)
{
    return Dialog_vbox({
        Dialog_vbox(
            {Dialog_hbox({Dialog_caption("Layer"), Dialog_caption("un (cm2/Vs)"),
                          Dialog_caption("up (cm2/Vs)")}),
             Dialog_hbox({Dialog_control(description, "LayerList"),
                          Dialog_control(description, "N"), Dialog_control(description, "P")})}),
        Dialog_separator(),
        Dialog_hbox({Dialog_control(description, "Model"), Dialog_control(description, "Apply"),
                     Dialog_control(description, "OK")}),
    });
}

}  // namespace

const DialogDescription MobilityDialog = {
    .handle = KOV_WindowMobility,
    .title = "Mobility",
    .layerList = true,
    .fields = MobilityFields,
    .model = &MobilityModel,
    .columns = 3,
    .captions = true,
    .layout = layout,
};

void WindowMobility_show() { Dialog_show(&MobilityDialog); }
