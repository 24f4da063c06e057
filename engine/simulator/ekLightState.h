// The light the sources installed (ekLight*.cpp) and the sweeps, the
// generation and the result files read.
#pragma once

#include <cstdint>

// The photon flux entering the device past the anode and the one falling
// on it (both normalised), and the power density falling on it (W/cm2).
struct ekLightTotals {
    double transmitted = 0.0;
    double incident = 0.0;
    double power = 0.0;
};

struct ekLightState {
    // 0 off, 0x10 one line, 0x11 wavelength sweep, 0x40 AM1.5, 0x80 file.
    uint8_t type = 0;
    // The line's wavelength (um), or the reference one the optics of the
    // structure set-up take for the whole light.
    double wavelength = 0.53;
    double monoFlux = 0.0;  // flux of a single line, 1/cm2/s
    ekLightTotals totals;
};
