// The physics of one mesh point over the mesh fields: the carrier
// densities, the recombination and the charge the levels hold. Each law is
// written once here; the Gummel and the Newton assemblies, the saving of a
// converged point and the simulator's own model methods all call these, so
// what a solve balances is what the result files show. Nothing here knows
// the simulator.
#pragma once

#include <cmath>

#include "ekMeshFields.h"
#include "ekPhysics.h"

// Boltzmann densities with the point's band offsets: n = ni exp(V - Fn + tn),
// p = ni exp(Fp - V + tp) (ni of the reference layer). Inline: the
// assemblies take several per point.
inline double ek_electronDensity(const ekMeshFields& f, double V, double Fn, int i)
{
    return f.mat.niRef[i] * std::exp(V - Fn + f.mat.offN[i]);
}

inline double ek_holeDensity(const ekMeshFields& f, double V, double Fp, int i)
{
    return f.mat.niRef[i] * std::exp(Fp - V + f.mat.offP[i]);
}

// Rates at point i for its densities n and p, with the derivatives by the
// point's V, Fn, Fp: SRH through the dopant level (or the layer's midgap
// centre), the traps and the band tails; radiative; Auger.
ekPointValue ek_srhRecombination(const ekMeshFields& f, int i, double n, double p);
ekPointValue ek_radiativeRecombination(const ekMeshFields& f, int i, double n, double p);
ekPointValue ek_augerRecombination(const ekMeshFields& f, int i, double n, double p);
// Their sum at point i from its potentials (the net rate of a point,
// interface pairs aside: see ek_netRecombination in ekNewtonEdges.h), and
// the same with the SRH rate at hand.
ekPointValue ek_recombination(const ekMeshFields& f, int i, double V, double Fn, double Fp);
ekPointValue ek_netRate(const ekMeshFields& f, int i, double n, double p, const ekPointValue& srh);

// Charge of the dopants, traps, band tails and polarisation at point i for
// its densities n and p, in the occupation given.
void ek_trappedCharge(const ekMeshFields& f, int i, double n, double p, ekOccupation mode,
                      ekTrappedCharge* out);
// Both of the above in one walk over the point's centres, each centre's
// SRH denominator serving its rate and its level's occupation: the charge
// goes to out, the SRH rate is returned.
ekPointValue ek_levelsAndSrh(const ekMeshFields& f, int i, double n, double p, ekOccupation mode,
                             ekTrappedCharge* out);
