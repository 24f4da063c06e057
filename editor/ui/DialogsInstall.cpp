// The dialogs' place in the main window: their entries for the menus, keys
// and canvas, and the main-window routines they call.
#include "App.h"
#include "Dialogs.h"
#include "WindowMain.h"
#include "kovraHandles.h"

void Dialogs_install()
{
    WindowMain_setDialogOpener(KOV_WindowLattice, WindowLattice_show);
    WindowMain_setDialogOpener(KOV_WindowTemperature, WindowTemperature_show);
    WindowMain_setDialogOpener(KOV_WindowVoltage, WindowVoltage_show);
    WindowMain_setDialogOpener(KOV_WindowVariable, WindowVariable_show);
    WindowMain_setDialogOpener(KOV_WindowDoping, WindowDoping_show);
    WindowMain_setDialogOpener(KOV_WindowContact, WindowContact_show);
    WindowMain_setDialogOpener(KOV_WindowTrap, WindowTrap_show);
    WindowMain_setDialogOpener(KOV_WindowIndex, WindowIndex_show);
    WindowMain_setDialogOpener(KOV_WindowLight, WindowLight_show);
    WindowMain_setDialogOpener(KOV_WindowParam, WindowParam_show);
    WindowMain_setDialogOpener(KOV_WindowUrbach, WindowUrbach_show);
    WindowMain_setDialogOpener(KOV_WindowMobility, WindowMobility_show);
    WindowMain_setDialogOpener(KOV_WindowNumeric, WindowNumeric_show);
    WindowMain_setDialogOpener(KOV_WindowMaterial, WindowMaterial_show);
    DialogHost host{};
    host.currentLayer = []() { return WindowMain_selectedLayerNumber(); };
    host.selectLayer = [](int number) { WindowMain_selectLayer(number); };
    host.showLayer = []() { WindowMain_showLayer(); };
    // A model file is named relative to the device file, so a document
    // without one is saved first (the file chooser asks for its name).
    host.saveDocument = []() { return Document_save(App_getDocument(), nullptr); };
    Dialogs_setHost(&host);
}
