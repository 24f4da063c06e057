// Lattice dialog: the layer's lattice constant, spontaneous polarization
// and piezoelectric and elastic constants, and the device-wide
// polarization scale. A ".lua" lattice model computes the six layer values.
#include "Dialogs.h"
#include "kovraHandles.h"

namespace {

const DialogField LatticeFields[] = {
    {.word = "PolarizationScale",
     .key = "Polarization.Scale",
     .caption = "Polarization Scale",
     .source = DIALOG_FROM_DEVICE},
    {.word = "A", .key = "Lattice.a", .caption = "a (nm)", .governed = true},
    {.word = "Psp", .key = "Lattice.Psp", .caption = "Psp (C/m2)", .governed = true},
    {.word = "E31", .key = "Lattice.e31", .caption = "e31 (C/m2)", .governed = true},
    {.word = "E33", .key = "Lattice.e33", .caption = "e33 (C/m2)", .governed = true},
    {.word = "C13", .key = "Lattice.c13", .caption = "c13 (GPa)", .governed = true},
    {.word = "C33", .key = "Lattice.c33", .caption = "c33 (GPa)", .governed = true},
};

const DialogModel LatticeModel = {
    .key = "Lattice.Model",
    .question = "Select lattice model?",
    .caption = "Lattice model",
    .filter = "Kovra lattice model|*.lua||",
};

}  // namespace

const DialogDescription LatticeDialog = {
    .handle = KOV_WindowLattice,
    .title = "Lattice",
    .layerList = true,
    .fields = LatticeFields,
    .model = &LatticeModel,
    .columns = 2,
    .captions = true,
};

void WindowLattice_show() { Dialog_show(&LatticeDialog); }
