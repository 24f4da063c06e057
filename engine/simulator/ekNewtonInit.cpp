// Start of a transport run: the equilibrium solution when it is not known
// yet, then the starting profile of the first bias point; and the
// precondition of the equilibrium solver.
#include <cmath>

#include "ekLimits.h"
#include "ekPointLimits.h"
#include "ElecDevice.h"
#include "ekBiasWork.h"
#include "ekHelpers.h"
#include "ekSimulator.h"
#include "ekSolvePasses.h"
#include "nucore.h"

namespace {

using ekLimits::EQUILIBRIUM_BIAS;
// Fractions of the device over which the quasi-Fermi potentials of a biased
// start fall from the contacts' values.
constexpr double ANODE_ZONE = 0.2;
constexpr double CATHODE_ZONE = 0.8;

// Where the caller keeps the arrays of the iteration driver: a solve may
// allocate them, so they must go back there when it is done.
struct SystemArraySlots {
    double** previous;
    double** start;
    double** update;
    double** rhs;
    ekBandMatrix** jacobian;
    double** lower;
    double** diag;
    double** upper;
};

// The work struct the equilibrium takes, made of arrays passed one by one:
// the solution as given, the system arrays taken from the caller's slots
// and put back into them when it goes out of scope.
struct SystemSlots {
    ekSolutionWork work;
    SystemArraySlots slots;

    SystemSlots(const ekSolutionWork& solution, const SystemArraySlots& slots)
        : work(solution), slots(slots)
    {
        work.previous = *slots.previous;
        work.start = *slots.start;
        work.update = *slots.update;
        work.rhs = *slots.rhs;
        work.jacobian = *slots.jacobian;
        work.lower = *slots.lower;
        work.diag = *slots.diag;
        work.upper = *slots.upper;
    }
    ~SystemSlots()
    {
        *slots.previous = work.previous;
        *slots.start = work.start;
        *slots.update = work.update;
        *slots.rhs = work.rhs;
        *slots.jacobian = work.jacobian;
        *slots.lower = work.lower;
        *slots.diag = work.diag;
        *slots.upper = work.upper;
    }
    SystemSlots(const SystemSlots&) = delete;
    SystemSlots& operator=(const SystemSlots&) = delete;
};

}  // namespace

bool ekSimulator::doCheckPoisson()
{
    if (sigma == nullptr || sigma->err != 0) {
        return false;
    }
    ek_resetSigma(sigma);
    if (std::fabs(Va) >= EQUILIBRIUM_BIAS) {
        sigma->error(L"This Poisson solver handles only the equilibrium case");
        return false;
    }
    const int layers = device != nullptr ? device->getLayerCount() : 0;
    if (device == nullptr || deviceLength * norm.length < 0.01 ||
        Points < ekLimits::DEVICE_POINTS_MIN || Points > ekLimits::DEVICE_POINTS_MAX ||
        layers < 1 || layers > LAYERS_MAX) {
        sigma->error(L"invalid device mesh parameters (points, dimension, layers count)");
        return false;
    }
    return true;
}

bool ekSimulator::transportInit(double* x, double* V, double* Fn, double* Fp, double* x0,
                                double* V0, double* Fn0, double* Fp0, double* work,
                                double** previous, double** start, double** update, double** rhs,
                                ekBandMatrix** jacobian, double** lower, double** diag,
                                double** upper)
{
    if (sigma == nullptr || sigma->err != 0 || device == nullptr || V == nullptr || Fn == nullptr ||
        Fp == nullptr || V0 == nullptr || Fn0 == nullptr || Fp0 == nullptr || work == nullptr ||
        Points < ekLimits::DEVICE_POINTS_MIN || mesh.sol.z == nullptr) {
        return false;
    }
    const int N = Points;
    bool ready = false;
    {
        // The start of every bias point is the equilibrium: known, or solved
        // at 0 V whatever the bias about to be applied.
        const double bias = Va;
        ekSolutionWork solution;
        solution.V = V;
        solution.Fn = Fn;
        solution.Fp = Fp;
        solution.V0 = V0;
        solution.Fn0 = Fn0;
        solution.Fp0 = Fp0;
        SystemSlots slots(solution, {.previous = previous,
                                     .start = start,
                                     .update = update,
                                     .rhs = rhs,
                                     .jacobian = jacobian,
                                     .lower = lower,
                                     .diag = diag,
                                     .upper = upper});
        ready = ensureEquilibrium(slots.work, work, EquilibriumRoad::Transport);
        Va = bias;
    }
    if (!ready || !equilibriumSolved) {
        return false;
    }

    // Bias start: the equilibrium potential, and quasi-Fermi potentials that
    // fall from the anode's Va to the cathode's 0 near the contacts.
    const bool biased = std::fabs(Va) >= EQUILIBRIUM_BIAS;
    const double D = deviceLength;
    const double a = ANODE_ZONE * D;
    const double b = CATHODE_ZONE * D;
    for (int k = 0; k < N; ++k) {
        V[k] = V0[k] = mesh.sol.V[k] = mesh.sol.Veq[k];
        double fn = 0.0;
        double fp = 0.0;
        if (biased) {
            const double z = mesh.sol.z[k];
            if (z <= a) {
                fn = Va * (1.0 - z / a);
                fp = Va;
            } else if (z <= b) {
                fp = Va;
            } else {
                fp = Va - Va * (z - b) / (D - b);
            }
        }
        Fn[k] = Fn0[k] = fn;
        Fp[k] = Fp0[k] = fp;
    }
    if (x != nullptr && x0 != nullptr) {
        for (int k = 0; k < N; ++k) {
            x[3 * k] = x0[3 * k] = V[k];
            x[3 * k + 1] = x0[3 * k + 1] = Fn[k];
            x[3 * k + 2] = x0[3 * k + 2] = Fp[k];
        }
    }
    return true;
}
