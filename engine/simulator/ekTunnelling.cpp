// Contact tunnelling term, the Bernoulli function and the interface-pair test.
#include "ekLocalModels.h"
#include "ekSimulator.h"

double ekSimulator::tunnelCurrent(double Vcontact, double Vneighbour, double n, double me,
                                  double phi, double h, double T, int side, double* dVcontact,
                                  double* dVneighbour, double* dFn) const
{
    const ekContactState& contact = (side == 0) ? anodeState : cathodeState;
    if (!contact.tunnel) {
        if (dVcontact != nullptr) *dVcontact = 0.0;
        if (dVneighbour != nullptr) *dVneighbour = 0.0;
        if (dFn != nullptr) *dFn = 0.0;
        return 0.0;
    }
    const double K = ek_tunnelExponent(norm.length, h, me, T, phi);
    return ek_tunnelTerm(Vcontact, Vneighbour, n, K, contact.Sn, dVcontact, dVneighbour, dFn);
}

double ekSimulator::bernoulli(double x, double* derivative)
{
    return ek_bernoulli(x, derivative);
}

bool ekSimulator::isPairedIndex(int i) const
{
    // Only inner points have the two neighbours the averaging needs.
    if (i <= 0 || i >= Points - 1) {
        return false;
    }
    for (int k = 0; k < polPairCount; ++k) {
        if (polPairs[k][0] == i || polPairs[k][1] == i) {
            return true;
        }
    }
    return false;
}
