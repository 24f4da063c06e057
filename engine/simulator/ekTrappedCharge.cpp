// Charge of the ionised dopants, the traps and the band tails at one mesh
// point, with the derivatives the Poisson rows need.
#include <cmath>

#include "ekLocalModels.h"
#include "ekLimits.h"
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

}  // namespace

ekOccupation ekSimulator::occupation() const
{
    return solvingEquilibrium || (std::fabs(Va) < ekLimits::EQUILIBRIUM_BIAS && isDark())
               ? ekOccupation::EQUILIBRIUM
               : ekOccupation::STEADY_STATE;
}

void ekSimulator::trappedCharge(double n, double p, int i, ekTrappedCharge* out) const
{
    trappedCharge(n, p, i, occupation(), out);
}

void ekSimulator::trappedCharge(double n, double p, int i, ekOccupation mode,
                                ekTrappedCharge* out) const
{
    if (mode == ekOccupation::EQUILIBRIUM) {
        trappedChargeEquilibrium(n, p, i, out);
        return;
    }
    *out = ekTrappedCharge{};
    const double ni2 = mesh.mat.ni[i] * mesh.mat.ni[i];
    const double N = mesh.mat.dopantN[i];
    if (N > 0.0 && ekLimits::isLevelKind(mesh.mat.dopantKind[i])) {
        const ekSrhCentre c{mesh.mat.dopantTaun[i], mesh.mat.dopantTaup[i], mesh.mat.dopantN1[i],
                            mesh.mat.dopantP1[i]};
        if (mesh.mat.dopantKind[i] == ekLimits::KIND_ACCEPTOR) {
            addAcceptor(out, &out->Na, ek_acceptorCharge(N, n, p, c));
        } else {
            addDonor(out, &out->Nd, ek_donorCharge(N, n, p, c));
        }
    }
    for (const ekTrapArrays& t : mesh.trap) {
        if (t.N[i] > 0.0 && ekLimits::isLevelKind(t.kind[i])) {
            const ekSrhCentre c{t.Taun[i], t.Taup[i], t.n1[i], t.p1[i]};
            if (t.kind[i] == ekLimits::KIND_ACCEPTOR) {
                addAcceptor(out, &out->Qa, ek_acceptorCharge(t.N[i], n, p, c));
            } else {
                addDonor(out, &out->Qd, ek_donorCharge(t.N[i], n, p, c));
            }
        }
    }
    if (mesh.mat.urbachFlag[i] & ekMeshFields::URBACH_ON) {
        for (int k = 0; k < EK_URBACH_SLICES; ++k) {
            if (mesh.mat.urbachED[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(mesh.mat.urbachED[i], k);
                const double Nk =
                    ek_urbachSliceDensity(mesh.mat.urbachGD[i], mesh.mat.urbachED[i], e);
                const double p1 = mesh.mat.NV[i] * std::exp(-e);
                const ekSrhCentre c{mesh.mat.urbachTaunD[i], mesh.mat.urbachTaupD[i], ni2 / p1, p1};
                addDonor(out, &out->Qd, ek_donorCharge(Nk, n, p, c));
            }
            if (mesh.mat.urbachEA[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(mesh.mat.urbachEA[i], k);
                const double Nk =
                    ek_urbachSliceDensity(mesh.mat.urbachGA[i], mesh.mat.urbachEA[i], e);
                const double n1 = mesh.mat.NC[i] * std::exp(-e);
                const ekSrhCentre c{mesh.mat.urbachTaunA[i], mesh.mat.urbachTaupA[i], n1, ni2 / n1};
                addAcceptor(out, &out->Qa, ek_acceptorCharge(Nk, n, p, c));
            }
        }
    }
    out->Qpol = mesh.mat.polTotal[i];
}

void ekSimulator::trappedChargeEquilibrium(double n, double p, int i, ekTrappedCharge* out) const
{
    *out = ekTrappedCharge{};
    const double ni2 = mesh.mat.ni[i] * mesh.mat.ni[i];
    double d = 0.0;
    const double N = mesh.mat.dopantN[i];
    if (N > 0.0 && ekLimits::isLevelKind(mesh.mat.dopantKind[i])) {
        if (mesh.mat.dopantKind[i] == ekLimits::KIND_ACCEPTOR) {
            out->Na += ek_acceptorEquilibrium(N, mesh.mat.dopantIon[i], p, &d);
        } else {
            out->Nd += ek_donorEquilibrium(N, mesh.mat.dopantIon[i], n, &d);
        }
        out->dV += d;
    }
    for (const ekTrapArrays& t : mesh.trap) {
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
    if (mesh.mat.urbachFlag[i] & ekMeshFields::URBACH_ON) {
        for (int k = 0; k < EK_URBACH_SLICES; ++k) {
            if (mesh.mat.urbachED[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(mesh.mat.urbachED[i], k);
                const double Nk =
                    ek_urbachSliceDensity(mesh.mat.urbachGD[i], mesh.mat.urbachED[i], e);
                const double n1 = ni2 / (mesh.mat.NV[i] * std::exp(-e));
                out->Qd += ek_donorEquilibrium(Nk, 1.0 / n1, n, &d);
                out->dV += d;
            }
            if (mesh.mat.urbachEA[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(mesh.mat.urbachEA[i], k);
                const double Nk =
                    ek_urbachSliceDensity(mesh.mat.urbachGA[i], mesh.mat.urbachEA[i], e);
                const double p1 = ni2 / (mesh.mat.NC[i] * std::exp(-e));
                out->Qa += ek_acceptorEquilibrium(Nk, 1.0 / p1, p, &d);
                out->dV += d;
            }
        }
    }
    out->Qpol = mesh.mat.polTotal[i];
}
