// Values the structure set-up carries per layer while it lays the device
// out on the mesh: what the layer's models give (physical units) and where
// the layer lies on the mesh.
#pragma once

#include <cstdint>

// A dopant or trap level as a model gives it.
struct ekLevelValues {
    uint8_t kind = 0;
    double N = 0.0;     // 1/cm3
    double Nr = 0.0;    // 1/cm3
    double E = 0.0;     // eV
    double W = 0.0;     // eV
    double Taun = 0.0;  // s
    double Taup = 0.0;  // s
    double F = 1.0;
};

struct ekLayerValues {
    double Eg = 0.0, Chi = 0.0;     // eV
    double NC = 0.0, NV = 0.0;      // 1/cm3
    bool ownBandValues = true;      // material values at 300 K (scaled with T)
    double Mobn = 0.0, Mobp = 0.0;  // cm2/Vs
    double Eps = 1.0;
    double a = 0.0;               // lattice constant, nm
    double e31 = 0.0, e33 = 0.0;  // piezoelectric constants
    double c13 = 0.0, c33 = 0.0;  // elastic constants
    double Psp = 0.0;             // spontaneous polarisation
    ekLevelValues dopant;
    double Beta = 0.0, Cn = 0.0, Cp = 0.0;
    double Taun = 0.0, Taup = 0.0;
    double n = 1.0, k = 0.0;  // optical index at the reference wavelength
    int trapCount = 0;
    ekLevelValues traps[5];
};

// Where a layer lies, normalised, and which points it holds.
struct ekLayerGeometry {
    double start = 0.0;
    double thickness = 0.0;
    int first = 0;
    int count = 0;
};
