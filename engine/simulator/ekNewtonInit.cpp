// Start of a transport run: the equilibrium solution when it is not known
// yet, then the starting profile of the first bias point; and the
// precondition of the equilibrium solver.
#include <cmath>
#include <cwchar>
#include <string>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "ekSolvePasses.h"
#include "nucore.h"

namespace {

using ekLimits::EQUILIBRIUM_BIAS;
// Fractions of the device over which the quasi-Fermi potentials of a biased
// start fall from the contacts' values.
constexpr double ANODE_ZONE = 0.2;
constexpr double CATHODE_ZONE = 0.8;


// Boundary types of both contacts, put back when the guard goes.
struct BoundaryGuard {
    ekContact* contacts[2];
    uint8_t types[2];
    explicit BoundaryGuard(ElecDevice* device)
        : contacts{device->getAnode(), device->getCathode()}
    {
        for (int c = 0; c < 2; ++c) {
            types[c] = contacts[c] != nullptr ? contacts[c]->getBoundary() : 0;
        }
    }
    ~BoundaryGuard()
    {
        for (int c = 0; c < 2; ++c) {
            if (contacts[c] != nullptr) {
                contacts[c]->setBoundary(types[c]);
            }
        }
    }
};

}  // namespace

bool ekSimulator::doCheckPoisson()
{
    if (sigma == nullptr || sigma->err != 0) {
        return false;
    }
    ek_resetSigma(sigma);
    if (std::fabs(Va) >= EQUILIBRIUM_BIAS) {
        sigma->update(L"[ERROR]   This Poisson solver handles only the equilibrium case\n", 1);
        return false;
    }
    const int layers = device != nullptr ? device->getLayerCount() : 0;
    if (device == nullptr || deviceLength * norm.length < 0.01 || Points < ekLimits::DEVICE_POINTS_MIN ||
        Points > ekLimits::DEVICE_POINTS_MAX || layers < 1 || layers > LAYERS_MAX) {
        sigma->update(
            L"[ERROR]   invalid device mesh parameters (points, dimension, layers count)\n", 1);
        return false;
    }
    return true;
}

bool ekSimulator::transportInit(double* x, double* V, double* Fn, double* Fp, double* x0,
                                double* V0, double* Fn0, double* Fp0, double* work,
                                double** previous, double** start, double** update,
                                double** rhs, ekBandMatrix** jacobian, double** lower,
                                double** diag, double** upper)
{
    if (sigma == nullptr || sigma->err != 0 || device == nullptr || V == nullptr || Fn == nullptr ||
        Fp == nullptr || V0 == nullptr || Fn0 == nullptr || Fp0 == nullptr || work == nullptr ||
        Points < ekLimits::DEVICE_POINTS_MIN || mesh.sol.z == nullptr) {
        return false;
    }
    const int N = Points;
    if (!equilibriumSolved) {
        BoundaryGuard remembered(device);
        uint8_t anodeType = 0;
        setDefaultBoundaries(&anodeType);
        ekContact* contacts[2] = {device->getAnode(), device->getCathode()};
        // The start of every bias point is the equilibrium: solve it at 0 V
        // whatever the bias about to be applied.
        const double bias = Va;
        Va = 0.0;
        struct BiasRestore {
            double* target;
            double value;
            ~BiasRestore() { *target = value; }
        } restoreBias{&Va, bias};
        const EquilibriumScope equilibrium(solvingEquilibrium);

        const double startMs = param->Toc();
        auto solve = [&]() {
            return solveSystem(SYSTEM_POISSON, V, work, Fn, Fp, N, param->maxiter, previous, start,
                               update, rhs, jacobian, lower, diag, upper);
        };
        auto initProfile = [&]() {
            poissonInit(V, Fn, Fp, V0, Fn0, Fp0, 0.0);
            return sigma->err == 0;
        };
        if (!initProfile()) {
            return false;
        }
        int iters = 0;
        if (!ek_solveRelaxed(*this, solve, initProfile, &iters)) {
            return false;
        }
        if (stopRequested()) {
            return false;
        }
        if (sigma->err != 0) {
            // One more try with the other boundary type at both contacts.
            prevPoint = 0;
            if (sigma->isVerbose() && contacts[0] != nullptr && contacts[0]->isBoundarySet()) {
                sigma->update(L"[INFO]    boundary conditions modified\n", 0);
            }
            for (int c = 0; c < 2; ++c) {
                if (contacts[c] != nullptr) {
                    contacts[c]->setBoundary(remembered.types[c] == ekContact::BOUNDARY_DIRICHLET
                                                 ? ekContact::BOUNDARY_NEUMANN
                                                 : ekContact::BOUNDARY_DIRICHLET);
                }
            }
            ek_resetSigma(sigma);
            if (!initProfile()) {
                return false;
            }
            iters = solve();
        }
        const std::wstring tail = nu_numberText(param->lastError) + L" (" +
                                  nu_numberText(param->reltol) + L")\n";
        wchar_t head[200];
        if (sigma->err != 0 || !(param->reltol > param->lastError)) {
            if (!sigma->debug) {
                sigma->update(L"[ERROR]   Poisson convergence not achieved\n", 1);
            } else if (sigma->err != 0) {
                std::swprintf(head, 200,
                              L"[ERROR]   Poisson convergence not achieved: method: %ls (%ls)   "
                              L"iters: %d   Relerr: ",
                              ek_methodName(param), param->getSolverLinsysName(), iters + 1);
                sigma->update((head + tail).c_str(), 1);
            } else {
                std::swprintf(head, 200,
                              L"[ERROR]   Poisson convergence not achieved: system solver: %ls   "
                              L"iters: %d   Relerr: ",
                              param->getSolverLinsysName(), iters + 1);
                sigma->update((head + tail).c_str(), 1);
            }
            return false;
        }
        prevPoint = 1;
        if (sigma->debug) {
            std::swprintf(head, 200,
                          L"[DEBUG]   Poisson solver successfully converged: system solver: %ls   "
                          L"iters: %d   Relerr: ",
                          param->getSolverLinsysName(), iters + 1);
            sigma->update((head + tail).c_str(), 0);
        } else if (sigma->isVerbose()) {
            const std::wstring line = L"[INFO]    distribution at equilibrium simulated: duration: " +
                                      nu_numberText((param->Toc() - startMs) / 1000.0) +
                                      L" sec.\n";
            sigma->update(line.c_str(), 0);
        }
        // The solve converged at 0 V: it is the equilibrium, whatever the
        // iteration driver decided about the bias.
        equilibriumSolved = 1;
        poissonSave(V);
    }
    if (!equilibriumSolved) {
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
