#include "ekLimits.h"
#include "ekNewtonEdges.h"

#include "ekLocalModels.h"

namespace {

double edgeStep(const ekSimulator& sim, int j)
{
    const double* z = sim.getMesh().sol.z;
    return z[j + 1] - z[j];
}

}  // namespace

ekEdgeFlux ek_electronEdge(const ekSimulator& sim, int j, double Vl, double Fnl, double Vr,
                           double Fnr)
{
    const ekMaterialArrays& m = sim.getMesh().mat;
    const double mu = sim.interpolateParameter(m.Mobn[j], m.Mobn[j + 1], ekLimits::MEAN_HARMONIC);
    const double c = mu / edgeStep(sim, j);
    const double nl = sim.electronDensity(Vl, Fnl, j);
    const double nr = sim.electronDensity(Vr, Fnr, j + 1);
    const double d = (Vr + m.offN[j + 1]) - (Vl + m.offN[j]);
    const ekBernoulliPair b = ek_bernoulliPair(d);
    const double Bp = b.plus, dBp = b.dPlus, Bm = b.minus, dBm = b.dMinus;

    ekEdgeFlux e;
    e.left = nl;
    e.right = nr;
    e.J = c * (nr * Bp - nl * Bm);
    e.scale = c * (nr * Bp + nl * Bm);
    // The step d grows with Vr and shrinks with Vl; n grows with V, falls with Fn.
    const double dJdd = c * (nr * dBp + nl * dBm);
    e.dVr = c * nr * Bp + dJdd;
    e.dVl = -c * nl * Bm - dJdd;
    e.dFr = -c * nr * Bp;
    e.dFl = c * nl * Bm;
    return e;
}

ekEdgeFlux ek_holeEdge(const ekSimulator& sim, int j, double Vl, double Fpl, double Vr,
                       double Fpr)
{
    const ekMaterialArrays& m = sim.getMesh().mat;
    const double mu = sim.interpolateParameter(m.Mobp[j], m.Mobp[j + 1], ekLimits::MEAN_HARMONIC);
    const double c = mu / edgeStep(sim, j);
    const double pl = sim.holeDensity(Vl, Fpl, j);
    const double pr = sim.holeDensity(Vr, Fpr, j + 1);
    const double d = (Vr - m.offP[j + 1]) - (Vl - m.offP[j]);
    const ekBernoulliPair b = ek_bernoulliPair(d);
    const double Bp = b.plus, dBp = b.dPlus, Bm = b.minus, dBm = b.dMinus;

    ekEdgeFlux e;
    e.left = pl;
    e.right = pr;
    e.J = c * (pr * Bm - pl * Bp);
    e.scale = c * (pr * Bm + pl * Bp);
    // p falls with V and grows with Fp.
    const double dJdd = -c * (pr * dBm + pl * dBp);
    e.dVr = -c * pr * Bm + dJdd;
    e.dVl = c * pl * Bp - dJdd;
    e.dFr = c * pr * Bm;
    e.dFl = -c * pl * Bp;
    return e;
}

ekPointValue ek_pointRecombination(const ekSimulator& sim, int i, double V, double Fn,
                                      double Fp)
{
    const ekPointValue srh = sim.recombinationSRH(V, Fn, Fp, i);
    const ekPointValue rad = sim.recombinationRadiative(V, Fn, Fp, i);
    const ekPointValue aug = sim.recombinationAuger(V, Fn, Fp, i);
    ekPointValue r;
    r.value = srh.value + rad.value + aug.value;
    r.dV = srh.dV + rad.dV + aug.dV;
    r.dFn = srh.dFn + rad.dFn + aug.dFn;
    r.dFp = srh.dFp + rad.dFp + aug.dFp;
    return r;
}
