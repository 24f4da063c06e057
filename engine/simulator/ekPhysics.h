// The quantities the point-wise physics hands around: the normalisation
// every model works in, a value with its derivatives by the three unknowns
// of a point, the charge held at a point and the light on its way through
// the device. The local models, the assemblies and the simulator share
// these; nothing here knows the simulator.
#pragma once

#include <cmath>

// Scales that turn physical values into the dimensionless ones the solvers
// work on. A value is stored divided by its scale and multiplied back when
// written out. Densities are in N0 = 1e15 cm-3 and lengths in the Debye
// length for N0; with the mobility scale 1000 cm2/Vs and the time scale
// 0.1 s every rate comes out in 1e16 cm-3 s-1.
struct ekNormalisation {
    double T = 300.0;                    // K
    double Vt = 0.0;                     // thermal voltage, V (potential and energy scale)
    double energy = 0.0;                 // energy scale, eV (equal to Vt)
    double length = 0.0;                 // length scale, um
    double lengthCm = 0.0;               // length scale, cm
    double density = 1e15;               // N0, 1/cm3
    double velocity = 0.0;               // D0/L with D0 = mobility scale x Vt, cm/s
    double current = 0.0;                // q N0 D0 / L, A/cm2
    double rate = 0.0;                   // continuity scale: Vt x 0.1 / (10 L^2), L in m
    double sheetCharge = 0.0;            // q N0 L, C/cm2
    double photonFlux = 0.0;             // 1e16 cm-3 s-1 x L, 1/cm2/s
    double unit = 1.0;                   // Poisson scale (Debye length / L)^2
    double mobility = 1000.0;            // cm2/Vs
    double time = 0.1;                   // s
    double recombination = 1e-14;        // cm3/s (radiative); Auger takes it / N0
    double volumeCharge = 0.0001602176;  // q N0, C/cm3
};

// The scales at temperature T (K).
inline ekNormalisation ek_normalisation(double T)
{
    ekNormalisation norm;
    norm.T = T;
    norm.Vt = T * 0.02585202874 / 300.0;
    norm.energy = norm.Vt;
    // Debye length for N0 = 1e21 m-3: q N0 = 1.602176e-19 C x 1e21 m-3.
    const double L = std::sqrt(norm.Vt * 8.854187e-12 / 160.2176);  // m
    norm.length = L * 1e6;
    norm.lengthCm = L * 1e6 * 1e-4;
    norm.density = 1e15;
    norm.velocity = norm.Vt * 10.0 / L;
    norm.current = norm.Vt * 1.602176e-19 / L * 1e16;
    norm.rate = norm.Vt * 0.1 / (L * 10.0 * L);
    norm.sheetCharge = norm.lengthCm * 0.0001602176;
    norm.photonFlux = norm.lengthCm * 1e-14 * 1e15 * 1e15;
    norm.unit = 1.0;  // (Debye length / length scale)^2: the same length
    norm.mobility = 1000.0;
    norm.time = 0.1;
    norm.recombination = 1e-14;
    norm.volumeCharge = 0.0001602176;
    return norm;
}

// A value at one point (a recombination rate, a level's charge, a sum over
// recombination centres) with its derivatives by that point's V, Fn, Fp.
struct ekPointValue {
    double value = 0.0;
    double dV = 0.0;
    double dFn = 0.0;
    double dFp = 0.0;
};

// How the dopants, traps and band tails are occupied: by the equilibrium
// ionisation terms alone, or by the SRH balance of the present n and p.
enum class ekOccupation { EQUILIBRIUM, STEADY_STATE };

// Occupation of the dopants, traps and band tails at one point: ionised
// acceptors and donors, charge of acceptor-like and donor-like traps and
// tails, polarisation charge, and the derivatives of the total
// Na - Nd + Qa - Qd with respect to V, Fn and Fp.
struct ekTrappedCharge {
    double Na = 0.0;
    double Nd = 0.0;
    double Qa = 0.0;
    double Qd = 0.0;
    double Qpol = 0.0;
    double dV = 0.0;
    double dFn = 0.0;
    double dFp = 0.0;
};

// Light travelling through the device at one wavelength: the flux reaching
// the last point handled, that point's position and absorption coefficient
// (normalised), which attenuates the flux up to the next point.
struct ekLightRay {
    double flux = 0.0;
    double z = 0.0;
    double alpha = 0.0;
};
