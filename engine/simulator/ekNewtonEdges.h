// Scharfetter-Gummel edge fluxes with their exact derivatives by the four
// unknowns they touch, and the net recombination of a point with its
// derivatives: the one definition of both laws, used by the Gummel and the
// Newton assemblies and by the saving of a converged point, so the stored
// currents are the ones the system balanced.
#pragma once

#include "ekLocalModels.h"
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

// The same law from what is known of the edge: c = mu/h, the carrier
// densities ul and ur at its ends and the Bernoulli pair of its step d.
inline ekEdgeFlux ek_edgeFluxOf(ekCarrier carrier, double c, double ul, double ur,
                                const ekBernoulliPair& b)
{
    const bool electrons = carrier == ekCarrier::ELECTRON;
    // s: how the density follows V (n grows with it, p falls); each
    // density moves against s with its own quasi-Fermi potential.
    const double s = electrons ? 1.0 : -1.0;
    // The carrier drifts down its own band: holes see the step -d, so
    // B(d) and B(-d) (and their derivatives) trade places.
    const double Bp = electrons ? b.plus : b.minus;
    const double dBp = electrons ? b.dPlus : b.dMinus;
    const double Bm = electrons ? b.minus : b.plus;
    const double dBm = electrons ? b.dMinus : b.dPlus;
    ekEdgeFlux e;
    e.left = ul;
    e.right = ur;
    const double right = c * ur * Bp;
    const double left = c * ul * Bm;
    e.J = right - left;
    e.scale = right + left;
    // The derivative of J by the carrier's step s d, which grows with Vr
    // and shrinks with Vl.
    const double dJdd = c * (ur * dBp + ul * dBm);
    e.dVr = s * (right + dJdd);
    e.dVl = -s * (left + dJdd);
    e.dFr = -s * right;
    e.dFl = s * left;
    return e;
}

// Both carriers' fluxes on the edge j..j+1 of the mesh fields from the
// potential and the densities at its ends: the Newton assembly and the
// saving of a solution, which know the densities of every point, take
// each edge once this way (one exponential for both carriers' Bernoulli
// pairs where the bands run parallel).
void ek_edgeFluxPair(const ekMeshFields& f, int j, double Vl, double nl, double pl, double Vr,
                     double nr, double pr, ekEdgeFlux* electrons, ekEdgeFlux* holes);

// Net recombination at point i of the potentials V[k * stride], Fn[k *
// stride], Fp[k * stride] (stride 1 for separate arrays, 3 for the Newton
// unknowns), with the derivatives by point i's unknowns. A point of an
// interface pair takes the mean of its two neighbours' rates: its own
// derivatives are then zero, and dLeft and dRight receive those that fall
// on the neighbours' unknowns (zero elsewhere).
ekPointValue ek_netRecombination(const ekSimulator& sim, int i, const double* V, const double* Fn,
                                 const double* Fp, int stride, ekPointValue* dLeft,
                                 ekPointValue* dRight);
