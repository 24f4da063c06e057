// The Bernoulli function of the Scharfetter-Gummel fluxes, as the
// simulator offers it.
#include "ekLocalModels.h"
#include "ekSimulator.h"

double ekSimulator::bernoulli(double x, double* derivative)
{
    return ek_bernoulli(x, derivative);
}
