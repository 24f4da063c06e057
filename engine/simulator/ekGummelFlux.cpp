// Scharfetter-Gummel fluxes between neighbouring points and the net
// recombination of a point, as the Gummel assemblers use them.
#include "ekLimits.h"
#include "ekLocalModels.h"
#include "ekSimulator.h"

namespace {

ekRecombination sum(const ekRecombination& a, const ekRecombination& b, const ekRecombination& c)
{
    return {a.R + b.R + c.R, a.dV + b.dV + c.dV, a.dFn + b.dFn + c.dFn, a.dFp + b.dFp + c.dFp};
}

ekRecombination half(const ekRecombination& r)
{
    return {0.5 * r.R, 0.5 * r.dV, 0.5 * r.dFn, 0.5 * r.dFp};
}

}  // namespace

ekSimulator::EdgeFlux ekSimulator::electronEdge(int j, const double* V, const double* Fn) const
{
    const int k = j + 1;
    const double h = sol.z[k] - sol.z[j];
    const double mu = interpolateParameter(mat.Mobn[j], mat.Mobn[k], ekLimits::MEAN_HARMONIC);
    const double d = (V[k] + mat.offN[k]) - (V[j] + mat.offN[j]);
    EdgeFlux e;
    e.left = electronDensity(V[j], Fn[j], j);
    e.right = electronDensity(V[k], Fn[k], k);
    e.cRight = mu / h * bernoulli(d, nullptr);
    e.cLeft = -mu / h * bernoulli(-d, nullptr);
    e.J = e.cRight * e.right + e.cLeft * e.left;
    return e;
}

ekSimulator::EdgeFlux ekSimulator::holeEdge(int j, const double* V, const double* Fp) const
{
    const int k = j + 1;
    const double h = sol.z[k] - sol.z[j];
    const double mu = interpolateParameter(mat.Mobp[j], mat.Mobp[k], ekLimits::MEAN_HARMONIC);
    const double d = (V[k] - mat.offP[k]) - (V[j] - mat.offP[j]);
    EdgeFlux e;
    e.left = holeDensity(V[j], Fp[j], j);
    e.right = holeDensity(V[k], Fp[k], k);
    e.cLeft = mu / h * bernoulli(d, nullptr);
    e.cRight = -mu / h * bernoulli(-d, nullptr);
    e.J = e.cLeft * e.left + e.cRight * e.right;
    return e;
}

ekRecombination ekSimulator::netRecombination(int i, const double* V, const double* Fn,
                                              const double* Fp, ekRecombination* dLeft,
                                              ekRecombination* dRight) const
{
    auto at = [&](int k) {
        return sum(recombinationRadiative(V[k], Fn[k], Fp[k], k),
                   recombinationAuger(V[k], Fn[k], Fp[k], k),
                   recombinationSRH(V[k], Fn[k], Fp[k], k));
    };
    *dLeft = ekRecombination{};
    *dRight = ekRecombination{};
    if (!isPairedIndex(i)) {
        return at(i);
    }
    // The point between two layers takes the mean rate of its neighbours;
    // its derivatives then belong to the neighbours' unknowns.
    const ekRecombination left = half(at(i - 1));
    const ekRecombination right = half(at(i + 1));
    *dLeft = left;
    *dRight = right;
    return {left.R + right.R, 0.0, 0.0, 0.0};
}

double ekSimulator::bernoulli(double x, double* derivative)
{
    return ek_bernoulli(x, derivative);
}
