// Recombination at one mesh point: SRH through the dopant level (or the
// layer's midgap centre), the traps and the band tails; radiative; Auger.
#include <cmath>

#include "ekLimits.h"
#include "ekLocalModels.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"

ekPointValue ek_srhRecombination(const ekMeshFields& f, int i, double n, double p)
{
    const ekMaterialArrays& m = f.mat;
    const double ni = m.ni[i];
    const double ni2 = ni * ni;
    ekPointValue sum;

    const uint8_t dopant = m.dopantKind[i];
    if (ekLimits::isLevelKind(dopant) && m.dopantN[i] > 0.0) {
        ek_srhAdd(sum, n, p, {m.dopantTaun[i], m.dopantTaup[i], m.dopantN1[i], m.dopantP1[i]});
    } else {
        ek_srhAdd(sum, n, p, {m.Taun[i], m.Taup[i], ni, ni});
    }
    for (const ekTrapArrays& t : f.trap) {
        if (ekLimits::isLevelKind(t.kind[i]) && t.N[i] > 0.0) {
            ek_srhAdd(sum, n, p, {t.Taun[i], t.Taup[i], t.n1[i], t.p1[i]});
        }
    }
    if (m.urbachFlag[i] & ekMeshFields::URBACH_ON) {
        // Tail states recombine through their lifetimes; their densities
        // are already in those lifetimes.
        for (int k = 0; k < EK_URBACH_SLICES; ++k) {
            if (m.urbachED[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(m.urbachED[i], k);
                const double p1 = m.NV[i] * std::exp(-e);
                ek_srhAdd(sum, n, p, {m.urbachTaunD[i], m.urbachTaupD[i], ni2 / p1, p1});
            }
            if (m.urbachEA[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(m.urbachEA[i], k);
                const double n1 = m.NC[i] * std::exp(-e);
                ek_srhAdd(sum, n, p, {m.urbachTaunA[i], m.urbachTaupA[i], n1, ni2 / n1});
            }
        }
    }
    return ek_srhRate(sum, n, p, ni);
}

ekPointValue ek_radiativeRecombination(const ekMeshFields& f, int i, double n, double p)
{
    return ek_radiativeRate(n, p, f.mat.ni[i], f.mat.Beta[i]);
}

ekPointValue ek_augerRecombination(const ekMeshFields& f, int i, double n, double p)
{
    return ek_augerRate(n, p, f.mat.ni[i], f.mat.Cn[i], f.mat.Cp[i]);
}

ekPointValue ek_recombination(const ekMeshFields& f, int i, double V, double Fn, double Fp)
{
    const double n = ek_electronDensity(f, V, Fn, i);
    const double p = ek_holeDensity(f, V, Fp, i);
    const ekPointValue srh = ek_srhRecombination(f, i, n, p);
    const ekPointValue rad = ek_radiativeRecombination(f, i, n, p);
    const ekPointValue aug = ek_augerRecombination(f, i, n, p);
    ekPointValue r;
    r.value = srh.value + rad.value + aug.value;
    r.dV = srh.dV + rad.dV + aug.dV;
    r.dFn = srh.dFn + rad.dFn + aug.dFn;
    r.dFp = srh.dFp + rad.dFp + aug.dFp;
    return r;
}

ekPointValue ekSimulator::recombinationSRH(double V, double Fn, double Fp, int i) const
{
    return ek_srhRecombination(mesh, i, ek_electronDensity(mesh, V, Fn, i),
                               ek_holeDensity(mesh, V, Fp, i));
}

ekPointValue ekSimulator::recombinationAuger(double V, double Fn, double Fp, int i) const
{
    return ek_augerRecombination(mesh, i, ek_electronDensity(mesh, V, Fn, i),
                                 ek_holeDensity(mesh, V, Fp, i));
}

ekPointValue ekSimulator::recombinationRadiative(double V, double Fn, double Fp, int i) const
{
    return ek_radiativeRecombination(mesh, i, ek_electronDensity(mesh, V, Fn, i),
                                     ek_holeDensity(mesh, V, Fp, i));
}
