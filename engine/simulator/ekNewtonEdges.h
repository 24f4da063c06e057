// Scharfetter-Gummel edge fluxes with their exact derivatives by the four
// unknowns they touch, and the net recombination of a point with its
// derivatives: the one definition of both laws, used by the Gummel and the
// Newton assemblies and by the saving of a converged point, so the stored
// currents are the ones the system balanced.
#pragma once

#include "ekSimulator.h"

// The carrier of a continuity equation.
enum class ekCarrier { ELECTRON, HOLE };

// Flux on the edge j..j+1 and its derivatives by V and by the carrier's
// quasi-Fermi potential (Fn for electrons, Fp for holes) at both ends.
struct ekEdgeFlux {
    double J = 0.0;
    double dVl = 0.0;
    double dVr = 0.0;
    double dFl = 0.0;
    double dFr = 0.0;
    // The carrier density at j and at j+1.
    double left = 0.0;
    double right = 0.0;
    // Sum of the magnitudes of the two terms whose difference is J: how
    // much cancels on this edge, the scale of J's round-off.
    double scale = 0.0;
};

// Electron current density Jn = mu/h (n_r B(d) - n_l B(-d)), d the step of
// V + offN; holes Pp = mu/h (p_r B(-d) - p_l B(d)), d the step of V - offP
// (the hole current density is -Pp). Mobilities between the points are
// harmonic means. Fl and Fr are the carrier's own quasi-Fermi potentials.
ekEdgeFlux ek_edgeFlux(const ekSimulator& sim, ekCarrier carrier, int j, double Vl, double Fl,
                       double Vr, double Fr);

// Radiative, Auger and SRH recombination at point i for the given
// potentials, with the derivatives by that point's V, Fn, Fp.
ekPointValue ek_pointRecombination(const ekSimulator& sim, int i, double V, double Fn,
                                      double Fp);

// Net recombination at point i of the potentials V[k * stride], Fn[k *
// stride], Fp[k * stride] (stride 1 for separate arrays, 3 for the Newton
// unknowns), with the derivatives by point i's unknowns. A point of an
// interface pair takes the mean of its two neighbours' rates: its own
// derivatives are then zero, and dLeft and dRight receive those that fall
// on the neighbours' unknowns (zero elsewhere).
ekPointValue ek_netRecombination(const ekSimulator& sim, int i, const double* V, const double* Fn,
                                 const double* Fp, int stride, ekPointValue* dLeft,
                                 ekPointValue* dRight);
