#include "ekLimits.h"
#include "ekNewtonEdges.h"

#include "ekLocalModels.h"
#include "ekPointPhysics.h"

double ekSimulator::bernoulli(double x, double* derivative) { return ek_bernoulli(x, derivative); }

ekEdgeFlux ek_edgeFlux(const ekSimulator& sim, ekCarrier carrier, int j, double Vl, double Fl,
                       double Vr, double Fr)
{
    const ekMeshFields& f = sim.getMesh();
    const ekMaterialArrays& m = f.mat;
    const bool electrons = carrier == ekCarrier::ELECTRON;
    const double c = electrons ? f.edgeMobn()[j] : f.edgeMobp()[j];
    const double ul = electrons ? ek_electronDensity(f, Vl, Fl, j) : ek_holeDensity(f, Vl, Fl, j);
    const double ur =
        electrons ? ek_electronDensity(f, Vr, Fr, j + 1) : ek_holeDensity(f, Vr, Fr, j + 1);
    const double d = electrons ? (Vr + m.offN[j + 1]) - (Vl + m.offN[j])
                               : (Vr - m.offP[j + 1]) - (Vl - m.offP[j]);
    return ek_edgeFluxOf(carrier, c, ul, ur, ek_bernoulliPair(d));
}

void ek_edgeFluxPair(const ekMeshFields& f, int j, double Vl, double nl, double pl, double Vr,
                     double nr, double pr, ekEdgeFlux* electrons, ekEdgeFlux* holes)
{
    const ekMaterialArrays& m = f.mat;
    const double cn = f.edgeMobn()[j];
    const double cp = f.edgeMobp()[j];
    const double dn = (Vr + m.offN[j + 1]) - (Vl + m.offN[j]);
    const double dp = (Vr - m.offP[j + 1]) - (Vl - m.offP[j]);
    const ekBernoulliPair bn = ek_bernoulliPair(dn);
    *electrons = ek_edgeFluxOf(ekCarrier::ELECTRON, cn, nl, nr, bn);
    *holes = ek_edgeFluxOf(ekCarrier::HOLE, cp, pl, pr, dp == dn ? bn : ek_bernoulliPair(dp));
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
        return ek_recombination(sim.getMesh(), k, V[at], Fn[at], Fp[at]);
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
