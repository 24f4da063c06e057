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

double ekSimulator::bernoulli(double x, double* derivative)
{
    return ek_bernoulli(x, derivative);
}

ekEdgeFlux ek_edgeFlux(const ekSimulator& sim, ekCarrier carrier, int j, double Vl, double Fl,
                       double Vr, double Fr)
{
    const ekMaterialArrays& m = sim.getMesh().mat;
    const bool electrons = carrier == ekCarrier::ELECTRON;
    const double* mobility = electrons ? m.Mobn : m.Mobp;
    const double mu =
        sim.interpolateParameter(mobility[j], mobility[j + 1], ekLimits::MEAN_HARMONIC);
    const double c = mu / edgeStep(sim, j);
    // s: how the density follows V (n grows with it, p falls); each
    // density moves against s with its own quasi-Fermi potential.
    const double s = electrons ? 1.0 : -1.0;
    const double ul = electrons ? sim.electronDensity(Vl, Fl, j) : sim.holeDensity(Vl, Fl, j);
    const double ur =
        electrons ? sim.electronDensity(Vr, Fr, j + 1) : sim.holeDensity(Vr, Fr, j + 1);
    const double d = electrons ? (Vr + m.offN[j + 1]) - (Vl + m.offN[j])
                               : (Vr - m.offP[j + 1]) - (Vl - m.offP[j]);
    // The carrier drifts down its own band: holes see the step -d, so
    // B(d) and B(-d) (and their derivatives) trade places.
    const ekBernoulliPair b = ek_bernoulliPair(d);
    const double Bp = electrons ? b.plus : b.minus;
    const double dBp = electrons ? b.dPlus : b.dMinus;
    const double Bm = electrons ? b.minus : b.plus;
    const double dBm = electrons ? b.dMinus : b.dPlus;

    ekEdgeFlux e;
    e.left = ul;
    e.right = ur;
    e.J = c * (ur * Bp - ul * Bm);
    e.scale = c * (ur * Bp + ul * Bm);
    // The derivative of J by the carrier's step s d, which grows with Vr
    // and shrinks with Vl.
    const double dJdd = c * (ur * dBp + ul * dBm);
    e.dVr = s * (c * ur * Bp + dJdd);
    e.dVl = -s * (c * ul * Bm + dJdd);
    e.dFr = -s * (c * ur * Bp);
    e.dFl = s * (c * ul * Bm);
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

namespace {

ekPointValue half(const ekPointValue& r)
{
    return {0.5 * r.value, 0.5 * r.dV, 0.5 * r.dFn, 0.5 * r.dFp};
}

}  // namespace

ekPointValue ek_netRecombination(const ekSimulator& sim, int i, const double* V, const double* Fn,
                                 const double* Fp, int stride, ekPointValue* dLeft,
                                 ekPointValue* dRight)
{
    auto at = [&](int k) {
        const int at = k * stride;
        return ek_pointRecombination(sim, k, V[at], Fn[at], Fp[at]);
    };
    *dLeft = ekPointValue{};
    *dRight = ekPointValue{};
    if (!sim.isPairedIndex(i)) {
        return at(i);
    }
    // The point between two layers takes the mean rate of its neighbours;
    // its derivatives then belong to the neighbours' unknowns.
    const ekPointValue left = half(at(i - 1));
    const ekPointValue right = half(at(i + 1));
    *dLeft = left;
    *dRight = right;
    return {left.value + right.value, 0.0, 0.0, 0.0};
}
