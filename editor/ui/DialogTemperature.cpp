// Temperature dialog: the device's one temperature. Its close box stores
// the typed value instead of dropping it; a refused value keeps the dialog
// open whichever way it is left.

#include "Dialogs.h"
#include "kovraHandles.h"

namespace {

const DialogField TemperatureFields[] = {
    {.word = "T", .key = "Temperature", .caption = "T (K)", .source = DIALOG_FROM_DEVICE},
};

}  // namespace

const DialogDescription TemperatureDialog = {
    .handle = KOV_WindowTemperature,
    .title = "Temperature",
    .fields = TemperatureFields,
    .columns = 1,
    .captions = true,
    .storeOnClose = true,
};

void WindowTemperature_show() { Dialog_show(&TemperatureDialog); }
