// Lattice dialog: the layer's lattice constant, spontaneous polarization
// and piezoelectric and elastic constants, and the device-wide
// polarization scale. A ".lua" lattice model computes the six layer values.
#include "Dialogs.h"

#include <iterator>

namespace {

const DialogField LatticeFields[] = {
    {"PolarizationScale", "Polarization.Scale", "Polarization Scale", DIALOG_FROM_DEVICE, false},
    {"A", "Lattice.a", "a (nm)", DIALOG_FROM_LAYER, true},
    {"Psp", "Lattice.Psp", "Psp (C/m2)", DIALOG_FROM_LAYER, true},
    {"E31", "Lattice.e31", "e31 (C/m2)", DIALOG_FROM_LAYER, true},
    {"E33", "Lattice.e33", "e33 (C/m2)", DIALOG_FROM_LAYER, true},
    {"C13", "Lattice.c13", "c13 (GPa)", DIALOG_FROM_LAYER, true},
    {"C33", "Lattice.c33", "c33 (GPa)", DIALOG_FROM_LAYER, true},
};

const DialogModel LatticeModel = {"Lattice.Model", "Select lattice model?", "Lattice model",
                                  "Kovra lattice model|*.lua||"};

}  // namespace

const DialogSpec LatticeDialog = {
    "Lattice", "Lattice", true, LatticeFields, static_cast<int>(std::size(LatticeFields)), &LatticeModel, 2, true, false, nullptr, nullptr, nullptr,
};

void WindowLattice_show()
{
    Dialog_show(&LatticeDialog);
}
