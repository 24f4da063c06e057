// Net recombination of a point as the Gummel assemblers use it (an interface
// pair's point takes its neighbours' mean), and the Bernoulli function of the
// Scharfetter-Gummel fluxes.
#include "ekLimits.h"
#include "ekLocalModels.h"
#include "ekNewtonEdges.h"
#include "ekSimulator.h"

namespace {

ekPointValue half(const ekPointValue& r)
{
    return {0.5 * r.value, 0.5 * r.dV, 0.5 * r.dFn, 0.5 * r.dFp};
}

}  // namespace

ekPointValue ekSimulator::netRecombination(int i, const double* V, const double* Fn,
                                              const double* Fp, ekPointValue* dLeft,
                                              ekPointValue* dRight) const
{
    auto at = [&](int k) {
        return ek_pointRecombination(*this, k, V[k], Fn[k], Fp[k]);
    };
    *dLeft = ekPointValue{};
    *dRight = ekPointValue{};
    if (!isPairedIndex(i)) {
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

double ekSimulator::bernoulli(double x, double* derivative)
{
    return ek_bernoulli(x, derivative);
}
