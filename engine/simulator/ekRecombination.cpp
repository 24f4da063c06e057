// Recombination at one mesh point: radiative, Auger, their sum with SRH
// (whose walk over the centres is in ekPointLevels.cpp), and the
// simulator's entries to them.
#include <cmath>

#include "ekLimits.h"
#include "ekLocalModels.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"

ekPointValue ek_radiativeRecombination(const ekMeshFields& f, int i, double n, double p)
{
    return ek_radiativeRate(n, p, f.mat.ni[i], f.mat.Beta[i]);
}

ekPointValue ek_augerRecombination(const ekMeshFields& f, int i, double n, double p)
{
    return ek_augerRate(n, p, f.mat.ni[i], f.mat.Cn[i], f.mat.Cp[i]);
}

ekPointValue ek_netRate(const ekMeshFields& f, int i, double n, double p, const ekPointValue& srh)
{
    const ekPointValue rad = ek_radiativeRecombination(f, i, n, p);
    const ekPointValue aug = ek_augerRecombination(f, i, n, p);
    ekPointValue r;
    r.value = srh.value + rad.value + aug.value;
    r.dV = srh.dV + rad.dV + aug.dV;
    r.dFn = srh.dFn + rad.dFn + aug.dFn;
    r.dFp = srh.dFp + rad.dFp + aug.dFp;
    return r;
}

ekPointValue ek_recombination(const ekMeshFields& f, int i, double V, double Fn, double Fp)
{
    const double n = ek_electronDensity(f, V, Fn, i);
    const double p = ek_holeDensity(f, V, Fp, i);
    return ek_netRate(f, i, n, p, ek_srhRecombination(f, i, n, p));
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
