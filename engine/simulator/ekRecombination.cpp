// Recombination at one mesh point: SRH through the dopant level (or the
// layer's midgap centre), the traps and the band tails; radiative; Auger.
#include <cmath>

#include "ekLocalModels.h"
#include "ekLimits.h"
#include "ekSimulator.h"

ekPointValue ekSimulator::recombinationSRH(double V, double Fn, double Fp, int i) const
{
    const double n = electronDensity(V, Fn, i);
    const double p = holeDensity(V, Fp, i);
    const double ni = mesh.mat.ni[i];
    const double ni2 = ni * ni;
    ekPointValue sum;

    const uint8_t dopant = mesh.mat.dopantKind[i];
    if (ekLimits::isLevelKind(dopant) && mesh.mat.dopantN[i] > 0.0) {
        ek_srhAdd(sum, n, p,
                  {mesh.mat.dopantTaun[i], mesh.mat.dopantTaup[i], mesh.mat.dopantN1[i],
                   mesh.mat.dopantP1[i]});
    } else {
        ek_srhAdd(sum, n, p, {mesh.mat.Taun[i], mesh.mat.Taup[i], ni, ni});
    }
    for (const ekTrapArrays& t : mesh.trap) {
        if (ekLimits::isLevelKind(t.kind[i]) && t.N[i] > 0.0) {
            ek_srhAdd(sum, n, p, {t.Taun[i], t.Taup[i], t.n1[i], t.p1[i]});
        }
    }
    if (mesh.mat.urbachFlag[i] & ekMeshFields::URBACH_ON) {
        // Tail states recombine through their lifetimes; their densities
        // are already in those lifetimes.
        for (int k = 0; k < EK_URBACH_SLICES; ++k) {
            if (mesh.mat.urbachED[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(mesh.mat.urbachED[i], k);
                const double p1 = mesh.mat.NV[i] * std::exp(-e);
                ek_srhAdd(sum, n, p,
                          {mesh.mat.urbachTaunD[i], mesh.mat.urbachTaupD[i], ni2 / p1, p1});
            }
            if (mesh.mat.urbachEA[i] > 0.0) {
                const double e = ek_urbachSliceEnergy(mesh.mat.urbachEA[i], k);
                const double n1 = mesh.mat.NC[i] * std::exp(-e);
                ek_srhAdd(sum, n, p,
                          {mesh.mat.urbachTaunA[i], mesh.mat.urbachTaupA[i], n1, ni2 / n1});
            }
        }
    }
    return ek_srhRate(sum, n, p, ni);
}

ekPointValue ekSimulator::recombinationAuger(double V, double Fn, double Fp, int i) const
{
    return ek_augerRate(electronDensity(V, Fn, i), holeDensity(V, Fp, i), mesh.mat.ni[i],
                        mesh.mat.Cn[i], mesh.mat.Cp[i]);
}

ekPointValue ekSimulator::recombinationRadiative(double V, double Fn, double Fp, int i) const
{
    return ek_radiativeRate(electronDensity(V, Fn, i), holeDensity(V, Fp, i), mesh.mat.ni[i],
                            mesh.mat.Beta[i]);
}
