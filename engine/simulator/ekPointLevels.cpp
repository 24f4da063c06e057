// The levels of one mesh point: the charge of the ionised dopants, the
// traps and the band tails, and the SRH recombination through the same
// centres. Both walk the point's centres the same way; the Newton assembly
// wants both at once, and each centre's SRH denominator then serves the
// rate and the level's steady-state occupation.
#include <cmath>

#include "ekLimits.h"
#include "ekLocalModels.h"
#include "ekPointPhysics.h"

namespace {

void addAcceptor(ekTrappedCharge* out, double* Q, const ekPointValue& c)
{
    *Q += c.value;
    out->dV += c.dV;
    out->dFn += c.dFn;
    out->dFp += c.dFp;
}

void addDonor(ekTrappedCharge* out, double* Q, const ekPointValue& c)
{
    *Q += c.value;
    out->dV -= c.dV;
    out->dFn -= c.dFn;
    out->dFp -= c.dFp;
}

// What the walk fills: the charge (CHARGE) in the occupation given, and the
// sum over the SRH centres (SRH) of 1/den with its derivatives.
template <bool CHARGE, bool SRH>
struct LevelWalk {
    const ekMeshFields& f;
    int i;
    double n;
    double p;
    bool steady;  // SRH occupation of the levels, else the equilibrium one
    ekTrappedCharge* charge;
    ekPointValue* sum;

    // A level of density N (0: a recombination centre without charge) with
    // its SRH centre; g is its equilibrium ionisation term.
    void level(bool acceptor, double N, double* Q, const ekSrhCentre& c, double g)
    {
        // The denominator serves the rate and the steady-state occupation;
        // the equilibrium occupation has its own ionisation term.
        const ekCentreDen d = SRH || steady ? ek_centreDen(n, p, c) : ekCentreDen{};
        if (SRH) {
            ek_srhAdd(*sum, n, p, c, d);
        }
        if (!CHARGE || !(N > 0.0)) {
            return;
        }
        if (steady) {
            if (acceptor) {
                addAcceptor(charge, Q, ek_acceptorCharge(N, n, p, c, d));
            } else {
                addDonor(charge, Q, ek_donorCharge(N, n, p, c, d));
            }
            return;
        }
        double dQ = 0.0;
        *Q += acceptor ? ek_acceptorEquilibrium(N, g, p, &dQ) : ek_donorEquilibrium(N, g, n, &dQ);
        charge->dV += dQ;
    }

    void run()
    {
        const ekMaterialArrays& m = f.mat;
        if (CHARGE) {
            *charge = ekTrappedCharge{};
        }
        if (SRH) {
            *sum = ekPointValue{};
        }
        const double ni = m.ni[i];
        const double N = m.dopantN[i];
        const uint8_t kind = m.dopantKind[i];
        if (N > 0.0 && ekLimits::isLevelKind(kind)) {
            const bool acceptor = kind == ekLimits::KIND_ACCEPTOR;
            level(acceptor, N, CHARGE ? (acceptor ? &charge->Na : &charge->Nd) : nullptr,
                  {m.dopantTaun[i], m.dopantTaup[i], m.dopantN1[i], m.dopantP1[i]}, m.dopantIon[i]);
        } else if (SRH) {
            // Without a dopant level the layer's midgap centre recombines.
            ek_srhAdd(*sum, n, p, {m.Taun[i], m.Taup[i], ni, ni});
        }
        for (const ekTrapArrays& t : f.trap) {
            if (t.N[i] > 0.0 && ekLimits::isLevelKind(t.kind[i])) {
                const bool acceptor = t.kind[i] == ekLimits::KIND_ACCEPTOR;
                level(acceptor, t.N[i], CHARGE ? (acceptor ? &charge->Qa : &charge->Qd) : nullptr,
                      {t.Taun[i], t.Taup[i], t.n1[i], t.p1[i]}, t.g[i]);
            }
        }
        if (m.urbachFlag[i] & ekMeshFields::URBACH_ON) {
            // Tail states recombine through their lifetimes (their densities
            // are already in those lifetimes) and hold the charge of their
            // slice densities, at equilibrium too: leaving them out there
            // would make the charge jump as soon as a bias or light is applied.
            const double ni2 = ni * ni;
            for (int k = 0; k < EK_URBACH_SLICES; ++k) {
                if (m.urbachED[i] > 0.0) {
                    const double e = ek_urbachSliceEnergy(m.urbachED[i], k);
                    const double Nk =
                        CHARGE ? ek_urbachSliceDensity(m.urbachGD[i], m.urbachED[i], e) : 0.0;
                    const double p1 = m.NV[i] * std::exp(-e);
                    const double n1 = ni2 / p1;
                    level(false, Nk, CHARGE ? &charge->Qd : nullptr,
                          {m.urbachTaunD[i], m.urbachTaupD[i], n1, p1}, 1.0 / n1);
                }
                if (m.urbachEA[i] > 0.0) {
                    const double e = ek_urbachSliceEnergy(m.urbachEA[i], k);
                    const double Nk =
                        CHARGE ? ek_urbachSliceDensity(m.urbachGA[i], m.urbachEA[i], e) : 0.0;
                    const double n1 = m.NC[i] * std::exp(-e);
                    const double p1 = ni2 / n1;
                    level(true, Nk, CHARGE ? &charge->Qa : nullptr,
                          {m.urbachTaunA[i], m.urbachTaupA[i], n1, p1}, 1.0 / p1);
                }
            }
        }
        if (CHARGE) {
            charge->Qpol = m.polTotal[i];
        }
    }
};

}  // namespace

void ek_trappedCharge(const ekMeshFields& f, int i, double n, double p, ekOccupation mode,
                      ekTrappedCharge* out)
{
    LevelWalk<true, false>{f, i, n, p, mode == ekOccupation::STEADY_STATE, out, nullptr}.run();
}

ekPointValue ek_srhRecombination(const ekMeshFields& f, int i, double n, double p)
{
    ekPointValue sum;
    LevelWalk<false, true>{f, i, n, p, true, nullptr, &sum}.run();
    return ek_srhRate(sum, n, p, f.mat.ni[i]);
}

ekPointValue ek_levelsAndSrh(const ekMeshFields& f, int i, double n, double p, ekOccupation mode,
                             ekTrappedCharge* charge)
{
    ekPointValue sum;
    LevelWalk<true, true>{f, i, n, p, mode == ekOccupation::STEADY_STATE, charge, &sum}.run();
    return ek_srhRate(sum, n, p, f.mat.ni[i]);
}
