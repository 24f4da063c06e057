// The simulator's entries to the charge of the ionised dopants, the traps
// and the band tails (ekPointLevels.cpp), and the occupation it takes.
#include <cmath>

#include "ekLimits.h"
#include "ekLocalModels.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"

ekOccupation ekSimulator::occupation() const
{
    return solvingEquilibrium || (std::fabs(Va) < ekLimits::EQUILIBRIUM_BIAS && isDark())
               ? ekOccupation::EQUILIBRIUM
               : ekOccupation::STEADY_STATE;
}

void ekSimulator::trappedCharge(double n, double p, int i, ekTrappedCharge* out) const
{
    ek_trappedCharge(mesh, i, n, p, occupation(), out);
}

void ekSimulator::trappedCharge(double n, double p, int i, ekOccupation mode,
                                ekTrappedCharge* out) const
{
    ek_trappedCharge(mesh, i, n, p, mode, out);
}

void ekSimulator::trappedChargeEquilibrium(double n, double p, int i, ekTrappedCharge* out) const
{
    ek_trappedCharge(mesh, i, n, p, ekOccupation::EQUILIBRIUM, out);
}
