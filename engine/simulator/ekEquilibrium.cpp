// The equilibrium solution: Poisson's equation alone with both quasi-Fermi
// potentials at zero, relaxed pass by pass until it converges.
#include <cmath>
#include <cwchar>
#include <string>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ekBandMatrix.h"
#include "ekBiasWork.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "ekSolvePasses.h"
#include "nucore.h"

namespace {

using ekLimits::EQUILIBRIUM_BIAS;


// Work arrays of one equilibrium solve: the solution, its backup and the
// residual (N each).
struct PoissonArrays : ekSolutionWork {
    double* residual = nullptr;
    double** all[7] = {&V, &Fn, &Fp, &V0, &Fn0, &Fp0, &residual};
};

bool needsDirichlet(const ekLayer* layer)
{
    return layer != nullptr && (layer->getTrapCount() > 0 ||
                                (layer->isDopingScript() && layer->isDopingScriptGraded()));
}

}  // namespace

int ekSimulator::setEquilibrium()
{
    if (!checkMeshStep()) {
        return -1;
    }
    param->Tic();
    if (sigma->isVerbose()) {
        sigma->update(L"[INFO]    starting simulation at equilibrium...\n", 0);
    }
    Va = 0.0;
    const int iters = solvePoisson();
    if (stopRequested()) {
        sigma->update(L"[INFO]    simulation at equilibrium stopped by the user\n", 0);
    }
    const std::wstring seconds = nu_numberText(param->Toc() / 1000.0);
    if (sigma->debug) {
        wchar_t head[160];
        std::swprintf(head, 160,
                      L"[INFO]    simulation at equilibrium done: system solver: %ls   iters: %d   "
                      L"duration: ",
                      param->getSolverLinsysName(), iters + 1);
        std::wstring line = head;
        line += seconds + L" sec.   damp: " + nu_numberText(param->damp) + L"   relerr: " +
                nu_numberText(param->lastError) + L" (" + nu_numberText(param->reltol) + L")\n";
        sigma->update(line.c_str(), 0);
    } else if (sigma->isVerbose()) {
        const std::wstring line =
            L"[INFO]    simulation at equilibrium done: duration: " + seconds + L" sec.\n";
        sigma->update(line.c_str(), 0);
    }
    return iters;
}

int ekSimulator::solvePoisson()
{
    if (!doCheckPoisson()) {
        return -1;
    }
    // The mesh must have its final size before the work arrays are sized
    // for it: growing it afterwards would leave them too short.
    const int refined = refineCoarseMesh();
    if (refined < 1) {
        return refined;
    }
    PoissonArrays a;
    const size_t N = static_cast<size_t>(Points);
    bool ok = true;
    for (double** array : a.all) {
        *array = sigma->mallocDbl(N, true);
        ok = ok && *array != nullptr;
    }
    if (!ok) {
        sigma->update(L"[ERROR]   insufficient memory for simulation\n", 1);
    } else {
        ok = a.allocate(*this);
    }
    int iters = -1;
    if (ok) {
        const size_t band = a.jacobian != nullptr
                                ? sizeof(double) * static_cast<size_t>(a.jacobian->ldab()) *
                                      static_cast<size_t>(a.jacobian->size())
                                : 0;
        solvePeakBytes = sigma->allocatedBytes() + band;
        const int convergedBefore = convergedCount;
        iters = doSolvePoisson(a.V, a.Fn, a.Fp, a.V0, a.Fn0, a.Fp0, a.residual, &a.previous,
                               &a.start, &a.update, &a.rhs, &a.jacobian, &a.lower, &a.diag,
                               &a.upper);
        // The flag may still stand from an earlier point: a solve that did
        // not converge (or was stopped) must not be saved as the equilibrium.
        if (convergedCount == convergedBefore) {
            prevPoint = 0;
        }
        poissonSave(a.V);
    }
    a.release(*this);
    for (double** array : a.all) {
        if (*array != nullptr) {
            sigma->freeDbl(array);
        }
    }
    return iters;
}

void ekSimulator::setDefaultBoundaries(uint8_t* anodeType)
{
    ekContact* contacts[2] = {device->getAnode(), device->getCathode()};
    const ekLayer* layers[2] = {device->getFirstLayer(), device->getLastLayer()};
    for (int c = 0; c < 2; ++c) {
        ekContact* contact = contacts[c];
        if (contact == nullptr || contact->isBoundarySet()) {
            continue;
        }
        contact->setBoundary(needsDirichlet(layers[c]) ? ekContact::BOUNDARY_DIRICHLET
                                                       : ekContact::BOUNDARY_NEUMANN);
    }
    *anodeType = contacts[0] != nullptr ? contacts[0]->getBoundary() : 0;
}

int ekSimulator::doSolvePoisson(double* V, double* Fn, double* Fp, double* V0, double* Fn0,
                                double* Fp0, double* residual, double** previous, double** start,
                                double** update, double** rhs, ekBandMatrix** jacobian,
                                double** lower, double** diag, double** upper)
{
    if (!doCheckPoisson()) {
        return -1;
    }
    if (coarseMesh) {
        // The arrays were sized for the mesh as it is; a grown mesh would
        // not fit them, so the caller must refine first (solvePoisson does).
        const int sizedFor = Points;
        const int refined = refineCoarseMesh();
        if (refined < 1) {
            return refined;
        }
        if (Points != sizedFor) {
            sigma->update(L"[ERROR]   the mesh changed during the Poisson solve\n", 1);
            return -1;
        }
    }
    // The equilibrium is the dark state at 0 V, whatever light the run
    // has installed.
    const EquilibriumScope equilibrium(solvingEquilibrium);
    uint8_t anodeType = 0;
    setDefaultBoundaries(&anodeType);
    auto initProfile = [&]() {
        poissonInit(V, Fn, Fp, V0, Fn0, Fp0, 0.0);
        return sigma->err == 0;
    };
    if (!initProfile()) {
        return -1;
    }
    const int N = Points;
    auto solve = [&]() {
        return solveSystem(SYSTEM_POISSON, V, residual, Fn, Fp, N, param->maxiter, previous,
                           start, update, rhs, jacobian, lower, diag, upper);
    };
    const double startMs = param->Toc();
    // The relaxation ladders serve this solve only; later solves start from
    // the settings as they were.
    struct LadderGuard {
        nuParam* param;
        double tolerance;
        double damping;
        ~LadderGuard()
        {
            param->reltol = tolerance;
            param->damp = damping;
        }
    } guard{param, param->reltol, param->damp};
    int iters = 0;
    // The count reported is that of the profile in V: none once the passes
    // run out on a fresh start.
    auto restart = [&]() {
        iters = 0;
        return initProfile();
    };
    if (!ek_solveRelaxed(*this, solve, restart, &iters)) {
        return -1;
    }
    if (Stopped) {
        return iters;
    }
    if (sigma->err != 0) {
        // A failed linear solve in debug mode leaves an error: one more try
        // from the starting profile.
        ek_resetSigma(sigma);
        if (!initProfile()) {
            return -1;
        }
        iters = solve();
    }
    const bool converged = sigma->err == 0 && param->reltol > param->lastError;
    if (converged) {
        ++convergedCount;
        prevPoint = 1;
    }

    const std::wstring tail = nu_numberText((param->Toc() - startMs) / 1000.0) +
                              L" sec.   relerr: " + nu_numberText(param->lastError) + L" (" +
                              nu_numberText(param->reltol) + L")\n";
    wchar_t head[200];
    if (converged) {
        if (sigma->debug) {
            std::swprintf(head, 200,
                          L"[DEBUG]   Poisson solver successfully converged: boundary: %ls   "
                          L"system solver: %ls   iters: %d   duration: ",
                          anodeType == ekContact::BOUNDARY_NEUMANN ? L"Neumann" : L"Dirichlet",
                          param->getSolverLinsysName(), iters + 1);
            sigma->update((head + tail).c_str(), 0);
        }
    } else if (sigma->debug) {
        std::swprintf(head, 200,
                      L"[ERROR]   Poisson convergence not achieved: system solver: %ls   iters: "
                      L"%d   duration: ",
                      param->getSolverLinsysName(), iters + 1);
        sigma->update((head + tail).c_str(), 1);
    } else {
        sigma->update(L"[ERROR]   Poisson convergence not achieved\n", 1);
    }
    return iters;
}
