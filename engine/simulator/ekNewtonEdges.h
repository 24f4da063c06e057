// Scharfetter-Gummel edge fluxes with their exact derivatives by the four
// unknowns they touch: the one definition of the law, used by the Gummel
// and the Newton assemblies and by the saving of a converged point, so the
// stored currents are the ones the system balanced.
#pragma once

#include "ekSimulator.h"

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
// harmonic means.
ekEdgeFlux ek_electronEdge(const ekSimulator& sim, int j, double Vl, double Fnl, double Vr,
                           double Fnr);
ekEdgeFlux ek_holeEdge(const ekSimulator& sim, int j, double Vl, double Fpl, double Vr,
                       double Fpr);
