// Charge of the ionised dopants, the traps and the band tails at one mesh
// point, with the derivatives the Poisson rows need.
#include <cmath>

#include "ekLimits.h"
#include "ekLocalModels.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"

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

// The levels occupied by the SRH balance of the present n and p.
void steadyStateCharge(const ekMeshFields& f, int i, double n, double p, ekTrappedCharge* out)
{
    const ekMaterialArrays& m = f.mat;
    *out = ekTrappedCharge{};
    const double ni2 = m.ni[i] * m.ni[i];
    const double N = m.dopantN[i];
    if (N > 0.0 && ekLimits::isLevelKind(m.dopantKind[i])) {
        const ekSrhCentre c{m.dopantTaun[i], m.dopantTaup[i], m.dopantN1[i], m.dopantP1[i]};
        if (m.dopantKind[i] == ekLimits::KIND_ACCEPTOR) {
            addAcceptor(out, &out->Na, ek_acceptorCharge(N, n, p, c));
        } else {
            addDonor(out, &out->Nd, ek_donorCharge(N, n, p, c));
        }
    }
    for (const ekTrapArrays& t : f.trap) {
        if (t.N[i] > 0.0 && ekLimits::isLevelKind(t.kind[i])) {
            const ekSrhCentre c{t.Taun[i], t.Taup[i], t.n1[i], t.p1[i]};
            if (t.kind[i] == ekLimits::KIND_ACCEPTOR) {
                addAcceptor(out, &out->Qa, ek_acceptorCharge(t.N[i], n, p, c));
            } else {
                addDonor(out, &out->Qd, ek_donorCharge(t.N[i], n, p, c));
            }
        }
    }
    if (m.urbachFlag[i] & ekMeshFields::URBACH_ON) {
        for (int k = 0; k < EK_URBACH_SLICES; ++k) {
            if (m.urbachED[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(m.urbachED[i], k);
                const double Nk = ek_urbachSliceDensity(m.urbachGD[i], m.urbachED[i], e);
                const double p1 = m.NV[i] * std::exp(-e);
                const ekSrhCentre c{m.urbachTaunD[i], m.urbachTaupD[i], ni2 / p1, p1};
                addDonor(out, &out->Qd, ek_donorCharge(Nk, n, p, c));
            }
            if (m.urbachEA[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(m.urbachEA[i], k);
                const double Nk = ek_urbachSliceDensity(m.urbachGA[i], m.urbachEA[i], e);
                const double n1 = m.NC[i] * std::exp(-e);
                const ekSrhCentre c{m.urbachTaunA[i], m.urbachTaupA[i], n1, ni2 / n1};
                addAcceptor(out, &out->Qa, ek_acceptorCharge(Nk, n, p, c));
            }
        }
    }
    out->Qpol = m.polTotal[i];
}

// The levels occupied by their equilibrium ionisation terms alone.
void equilibriumCharge(const ekMeshFields& f, int i, double n, double p, ekTrappedCharge* out)
{
    const ekMaterialArrays& m = f.mat;
    *out = ekTrappedCharge{};
    const double ni2 = m.ni[i] * m.ni[i];
    double d = 0.0;
    const double N = m.dopantN[i];
    if (N > 0.0 && ekLimits::isLevelKind(m.dopantKind[i])) {
        if (m.dopantKind[i] == ekLimits::KIND_ACCEPTOR) {
            out->Na += ek_acceptorEquilibrium(N, m.dopantIon[i], p, &d);
        } else {
            out->Nd += ek_donorEquilibrium(N, m.dopantIon[i], n, &d);
        }
        out->dV += d;
    }
    for (const ekTrapArrays& t : f.trap) {
        if (t.N[i] > 0.0 && ekLimits::isLevelKind(t.kind[i])) {
            if (t.kind[i] == ekLimits::KIND_ACCEPTOR) {
                out->Qa += ek_acceptorEquilibrium(t.N[i], t.g[i], p, &d);
            } else {
                out->Qd += ek_donorEquilibrium(t.N[i], t.g[i], n, &d);
            }
            out->dV += d;
        }
    }
    // The tails hold charge at equilibrium too; leaving them out here would
    // make the charge jump as soon as a bias or light is applied.
    if (m.urbachFlag[i] & ekMeshFields::URBACH_ON) {
        for (int k = 0; k < EK_URBACH_SLICES; ++k) {
            if (m.urbachED[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(m.urbachED[i], k);
                const double Nk = ek_urbachSliceDensity(m.urbachGD[i], m.urbachED[i], e);
                const double n1 = ni2 / (m.NV[i] * std::exp(-e));
                out->Qd += ek_donorEquilibrium(Nk, 1.0 / n1, n, &d);
                out->dV += d;
            }
            if (m.urbachEA[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(m.urbachEA[i], k);
                const double Nk = ek_urbachSliceDensity(m.urbachGA[i], m.urbachEA[i], e);
                const double p1 = ni2 / (m.NC[i] * std::exp(-e));
                out->Qa += ek_acceptorEquilibrium(Nk, 1.0 / p1, p, &d);
                out->dV += d;
            }
        }
    }
    out->Qpol = m.polTotal[i];
}

}  // namespace

void ek_trappedCharge(const ekMeshFields& f, int i, double n, double p, ekOccupation mode,
                      ekTrappedCharge* out)
{
    if (mode == ekOccupation::EQUILIBRIUM) {
        equilibriumCharge(f, i, n, p, out);
    } else {
        steadyStateCharge(f, i, n, p, out);
    }
}

ekOccupation ekSimulator::occupation() const
{
    return solvingEquilibrium || (std::fabs(Va) < ekLimits::EQUILIBRIUM_BIAS && isDark())
               ? ekOccupation::EQUILIBRIUM
               : ekOccupation::STEADY_STATE;
}

void ekSimulator::trappedCharge(double n, double p, int i, ekTrappedCharge* out) const
{
    ek_trappedCharge(mesh, i, n, p, occupation(), out);
}

void ekSimulator::trappedCharge(double n, double p, int i, ekOccupation mode,
                                ekTrappedCharge* out) const
{
    ek_trappedCharge(mesh, i, n, p, mode, out);
}

void ekSimulator::trappedChargeEquilibrium(double n, double p, int i, ekTrappedCharge* out) const
{
    ek_trappedCharge(mesh, i, n, p, ekOccupation::EQUILIBRIUM, out);
}
