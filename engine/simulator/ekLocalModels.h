// Point-wise physical models on normalised quantities: recombination, level
// occupation, band-tail slices, band-edge absorption, the Bernoulli function
// and the contact tunnelling term. Pure functions: values in, value and
// derivatives out; ekSimulator gathers a point's parameters and calls them.
//
// Carrier densities depend on the potentials as n = c exp(V - Fn + tn),
// p = c exp(Fp - V + tp), so dn/dV = n, dn/dFn = -n, dp/dV = -p, dp/dFp = p;
// every derivative below is taken through these relations.
#pragma once

#include "ekPhysics.h"

// One recombination centre: capture lifetimes and emission terms
// (n1 p1 = ni^2 for a centre in equilibrium with the bands).
struct ekSrhCentre {
    double taun;
    double taup;
    double n1;
    double p1;
};

// The SRH denominator den = taup (n + n1) + taun (p + p1) of a centre for
// densities n and p, with 1/den and 1/den^2 (all 0 for a centre without
// lifetimes, den <= 0, which then adds nothing). A point's centre serves
// its SRH rate and its level's occupation alike, so one denominator (and
// one division) serves both.
struct ekCentreDen {
    double inv = 0.0;
    double inv2 = 0.0;
};
inline ekCentreDen ek_centreDen(double n, double p, const ekSrhCentre& c)
{
    const double den = c.taup * (n + c.n1) + c.taun * (p + c.p1);
    if (!(den > 0.0)) {
        return {};
    }
    const double inv = 1.0 / den;
    return {inv, inv * inv};
}

// Adds one centre to the running sum over the centres of a point of 1/den
// and to its derivatives.
inline void ek_srhAdd(ekPointValue& sum, double n, double p, const ekSrhCentre& c,
                      const ekCentreDen& d)
{
    sum.value += d.inv;
    // d(1/den) = -(taup dn + taun dp) / den^2
    sum.dV += -(c.taup * n - c.taun * p) * d.inv2;
    sum.dFn += c.taup * n * d.inv2;
    sum.dFp += -c.taun * p * d.inv2;
}
void ek_srhAdd(ekPointValue& sum, double n, double p, const ekSrhCentre& centre);
// R = (np - ni^2) S with its derivatives.
ekPointValue ek_srhRate(const ekPointValue& sum, double n, double p, double ni);
ekPointValue ek_radiativeRate(double n, double p, double ni, double beta);
ekPointValue ek_augerRate(double n, double p, double ni, double cn, double cp);

// Steady-state occupation of a level of density N by the SRH balance:
// negative charge of an acceptor N (taun p1 + taup n)/den, positive charge
// of a donor N (taup n1 + taun p)/den.
ekPointValue ek_acceptorCharge(double N, double n, double p, const ekSrhCentre& centre);
ekPointValue ek_donorCharge(double N, double n, double p, const ekSrhCentre& centre);
// The same with the centre's denominator at hand.
ekPointValue ek_acceptorCharge(double N, double n, double p, const ekSrhCentre& centre,
                               const ekCentreDen& d);
ekPointValue ek_donorCharge(double N, double n, double p, const ekSrhCentre& centre,
                            const ekCentreDen& d);
// Equilibrium occupation with the ionisation term g = 1/p1 (acceptor) or
// 1/n1 (donor): N/(1 + g p) and N/(1 + g n); dQdV is the derivative of the
// charge counted positive for acceptors, i.e. d(Na-)/dV and -d(Nd+)/dV.
double ek_acceptorEquilibrium(double N, double g, double p, double* dQdV);
double ek_donorEquilibrium(double N, double g, double n, double* dQdV);

// Band tails are cut into ten slices k = 0..9 at energies 0.1 E 1.5^k from
// the band edge, each of width e (sqrt(1.5) - 1/sqrt(1.5)).
constexpr int EK_URBACH_SLICES = 10;
double ek_urbachSliceEnergy(double tailEnergy, int k);
double ek_urbachSliceDensity(double edgeDensity, double tailEnergy, double sliceEnergy);

// Extinction coefficient of band-to-band absorption with an Urbach tail,
// all energies normalised. Above the edge (or without a tail) the band
// absorption k0 sqrt(x) (direct) or k0 x^2 (indirect), x = (E - Eg)/Eg;
// below the edge the tail kEdge exp((E - Eg)/EU). Both carry the factor
// 2 Eg/E, so the two branches join smoothly at the edge.
double ek_bandgapExtinction(double photonEnergy, double Eg, double k0, bool direct, double EU,
                            double edge, double kEdge);
// Where the tail meets the band absorption, and the tail's coefficient at Eg,
// chosen so that k and its slope are continuous there.
double ek_absorptionEdge(double Eg, double EU, bool direct);
double ek_absorptionKEdge(double Eg, double EU, double k0, bool direct);
// Absorption coefficient (per length unit L) of extinction k at wavelength
// lambda: 4 pi k L / lambda (lambda and L in the same unit).
double ek_absorptionCoefficient(double k, double wavelength, double lengthScale);

// B(x) = x / (exp(x) - 1) and its derivative, accurate at every x.
double ek_bernoulli(double x, double* derivative);
// B(x) and B(-x) with their derivatives B'(x) and B'(-x), as a
// Scharfetter-Gummel edge needs them, from one exponential.
struct ekBernoulliPair {
    double plus = 0.0;
    double dPlus = 0.0;
    double minus = 0.0;
    double dMinus = 0.0;
};
ekBernoulliPair ek_bernoulliPair(double x);

// Tunnelling exponent factor K = 63.4109077 L h sqrt(me T phi^3) (L in um,
// h and phi normalised, T in K): the WKB exponent through a triangular
// barrier of height phi under the field a / h is K / a.
double ek_tunnelExponent(double lengthScale, double h, double me, double T, double phi);
// Tunnelling term t = +-exp(-K/a) S (n - nEq) (a = |Vneighbour - Vcontact|,
// sign of Vneighbour - Vcontact): a tunnel-enhanced surface velocity acting
// on the excess density, so that it vanishes at equilibrium. Positive for
// an excess behind a barrier (neighbour potential higher), so that added
// to the thermionic flux S (n - nEq) it raises the velocity to S (1 + E),
// at the anode and the cathode alike. Derivatives (any output may be null)
// by the contact node's V, its neighbour's V and the contact node's Fn,
// taking n = c exp(V - Fn + tn) at the contact node.
double ek_tunnelTerm(double Vcontact, double Vneighbour, double n, double nEq, double K, double S,
                     double* dVcontact, double* dVneighbour, double* dFn);
