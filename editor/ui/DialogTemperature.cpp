// Temperature dialog: the device's one temperature. Its close box stores
// the typed value instead of dropping it; a refused value keeps the dialog
// open whichever way it is left.
#include "Dialogs.h"

namespace {

const DialogField TemperatureFields[] = {
    {"T", "Temperature", "T (K)", DIALOG_FROM_DEVICE, false},
};

}  // namespace

const DialogSpec TemperatureDialog = {
    "Temperature", "Temperature", false, TemperatureFields, 1, nullptr, 1, true, true, nullptr, nullptr, nullptr,
};

void WindowTemperature_show()
{
    Dialog_show(&TemperatureDialog);
}
