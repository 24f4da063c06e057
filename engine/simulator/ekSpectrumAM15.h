// Built-in AM1.5 spectrum: the light that ekSimulator::setLightAM15 installs.
#pragma once

// Rows of the table: 2-nm bins centred on 0.284, 0.286, ... 4.000 um.
constexpr int EK_SPECTRUM_AM15_ROWS = 1859;

// Photon total the table is scaled to, 1/cm2/s. Its power with the engine's
// photon energy 1.239842 / lambda eV is 0.0989 W/cm2.
constexpr double EK_SPECTRUM_AM15_PHOTONS = 4.25799e17;

// Pairs {wavelength um, photon flux of the bin 1/cm2/s}, row after row, in
// the layout ekSimulator::setLightData takes (count = EK_SPECTRUM_AM15_ROWS).
extern const double ekSpectrumAM15[2 * EK_SPECTRUM_AM15_ROWS];
