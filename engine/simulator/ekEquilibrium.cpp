// The equilibrium solution: Poisson's equation alone with both quasi-Fermi
// potentials at zero, relaxed pass by pass until it converges; and
// ensureEquilibrium, the one way every caller (the equilibrium run, the
// transport start, the bias and quantum-efficiency sweeps) comes by it.
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <functional>
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

// Boundary types of both contacts, put back when the guard goes.
struct BoundaryGuard {
    ekContact* contacts[2];
    uint8_t types[2];
    explicit BoundaryGuard(ElecDevice* device) : contacts{device->getAnode(), device->getCathode()}
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

bool needsDirichlet(const ekLayer* layer)
{
    return layer != nullptr && (layer->getTrapCount() > 0 ||
                                (layer->isDopingScript() && layer->isDopingScriptGraded()));
}

// Contacts whose boundary type the device leaves open get Dirichlet next
// to a layer with traps or a graded doping script, Neumann otherwise.
// Returns the anode's type (0 without an anode).
uint8_t setDefaultBoundaries(ElecDevice* device)
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
    return contacts[0] != nullptr ? contacts[0]->getBoundary() : 0;
}

}  // namespace

// The Poisson passes of an equilibrium solve, which every road to the
// equilibrium runs, and the transport start's own solve and report.
class ekEquilibriumPasses {
public:
    explicit ekEquilibriumPasses(ekSimulator& sim) : sim(sim) {}
    // Default boundary types (*anodeType: the anode's), the starting
    // profile (layProfile), passes with relaxation between them; when they
    // end on an error, beforeRetry (may be empty), a status reset and one
    // more solve from the profile. *iters: iterations of the last solve.
    // False when a profile could not be laid; a stop leaves Stopped set.
    bool run(const std::function<int()>& solve, const std::function<bool()>& layProfile,
             const std::function<void()>& beforeRetry, int* iters, uint8_t* anodeType);
    // The transport start's solve: a failed one is tried once more with the
    // contacts' other boundary type, and the contacts keep the types they
    // had. True when it converged.
    bool forTransport(ekSolutionWork& w, double* residual, int* iters);

private:
    ekSimulator& sim;
};

bool ekEquilibriumPasses::run(const std::function<int()>& solve,
                              const std::function<bool()>& layProfile,
                              const std::function<void()>& beforeRetry, int* iters,
                              uint8_t* anodeType)
{
    *iters = 0;
    sim.iteration.clearBestError();
    *anodeType = setDefaultBoundaries(sim.device);
    if (!layProfile()) {
        return false;
    }
    // The count reported is that of the profile in V: none once the passes
    // run out on a fresh start.
    auto restart = [&]() {
        *iters = 0;
        return layProfile();
    };
    if (!ek_solveRelaxed(sim, solve, restart, iters)) {
        return false;
    }
    // Short of memory, a retry runs short again; the memory is the cause
    // to report, not the convergence.
    if (sim.sigma->reportIfOutOfMemory()) {
        return false;
    }
    if (sim.stopRequested() || sim.sigma->err == 0) {
        return true;
    }
    // A solve that left an error on the channel: one more try
    // from the starting profile.
    if (beforeRetry) {
        beforeRetry();
    }
    ek_resetSigma(sim.sigma);
    if (!layProfile()) {
        return false;
    }
    *iters = solve();
    return true;
}

bool ekEquilibriumPasses::forTransport(ekSolutionWork& w, double* residual, int* iters)
{
    // The contacts keep the boundary types they had: the defaults and the
    // retry's other type serve this solve only.
    const BoundaryGuard remembered(sim.device);
    const int N = sim.Points;
    const double startMs = sim.param->Toc();
    auto solve = [&]() {
        return sim.solveSystem(ekSimulator::SYSTEM_POISSON, w.V, residual, w.Fn, w.Fp, N,
                               sim.param->maxiter, &w.previous, &w.start, &w.update, &w.rhs,
                               &w.jacobian, &w.lower, &w.diag, &w.upper);
    };
    auto layProfile = [&]() {
        sim.poissonInit(w.V, w.Fn, w.Fp, w.V0, w.Fn0, w.Fp0, 0.0);
        return sim.sigma->err == 0;
    };
    // One more try with the other boundary type at both contacts.
    auto otherBoundaries = [&]() {
        sim.prevPoint = 0;
        ekContact* anode = remembered.contacts[0];
        if (sim.sigma->isVerbose() && anode != nullptr && anode->isBoundarySet()) {
            sim.sigma->update(L"[INFO]    boundary conditions modified\n", 0);
        }
        for (int c = 0; c < 2; ++c) {
            if (remembered.contacts[c] != nullptr) {
                remembered.contacts[c]->setBoundary(remembered.types[c] ==
                                                            ekContact::BOUNDARY_DIRICHLET
                                                        ? ekContact::BOUNDARY_NEUMANN
                                                        : ekContact::BOUNDARY_DIRICHLET);
            }
        }
    };
    uint8_t anodeType = 0;
    if (!run(solve, layProfile, otherBoundaries, iters, &anodeType) || sim.Stopped) {
        return false;
    }
    std::wstring tail =
        nu_numberText(sim.param->lastError) + L" (" + nu_numberText(sim.param->reltol) + L")\n";
    wchar_t head[200];
    if (sim.sigma->err != 0 || !(sim.param->reltol > sim.param->lastError)) {
        sim.equilibriumFailed = true;
        tail =
            nu_numberText(sim.reachedError()) + L" (" + nu_numberText(sim.param->reltol) + L")\n";
        if (sim.sigma->reportIfOutOfMemory()) {
            return false;
        }
        if (!sim.sigma->debug) {
            sim.reportFailure(sim.equilibriumFailure(), 1);
        } else if (sim.sigma->err != 0) {
            std::swprintf(head, 200,
                          L"[ERROR]   Poisson convergence not achieved: method: %ls (%ls)   "
                          L"iters: %d   Relerr: ",
                          ek_methodName(sim.param), ek_linearSolverName(sim.param), *iters + 1);
            sim.reportFailure(head + tail, 1);
        } else {
            std::swprintf(head, 200,
                          L"[ERROR]   Poisson convergence not achieved: system solver: %ls   "
                          L"iters: %d   Relerr: ",
                          ek_linearSolverName(sim.param), *iters + 1);
            sim.reportFailure(head + tail, 1);
        }
        return false;
    }
    if (sim.sigma->debug) {
        std::swprintf(head, 200,
                      L"[DEBUG]   Poisson solver successfully converged: system solver: %ls   "
                      L"iters: %d   Relerr: ",
                      ek_linearSolverName(sim.param), *iters + 1);
        sim.sigma->update((head + tail).c_str(), 0);
    } else if (sim.sigma->isVerbose()) {
        const std::wstring line = L"[INFO]    distribution at equilibrium simulated: duration: " +
                                  nu_numberText((sim.param->Toc() - startMs) / 1000.0) + L" sec.\n";
        sim.sigma->update(line.c_str(), 0);
    }
    return true;
}

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
                      ek_linearSolverName(param), iters + 1);
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
    bool ok = ek_allocArrays(sigma, a.all, static_cast<size_t>(Points));
    if (!ok) {
        sigma->reportNoMemory();
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
        ensureEquilibrium(a, a.residual, EquilibriumRoad::Fresh, &iters);
    }
    a.release(*this);
    ek_freeArrays(sigma, a.all);
    return iters;
}

bool ekSimulator::ensureEquilibrium(ekSolutionWork& w, double* residual, EquilibriumRoad road,
                                    int* iters)
{
    if (iters != nullptr) {
        *iters = 0;
    }
    if (road != EquilibriumRoad::Fresh && equilibriumSolved) {
        std::copy(mesh.sol.Veq, mesh.sol.Veq + Points, w.V);
        return true;
    }
    Va = 0.0;
    equilibriumFailed = false;
    // The equilibrium is the dark state at 0 V whatever light the run has
    // installed: solved and stored so on every road, the levels' charges of
    // the stored distribution included.
    const EquilibriumScope equilibrium(solvingEquilibrium);
    int count = 0;
    bool converged = false;
    if (road == EquilibriumRoad::Transport) {
        converged = ekEquilibriumPasses(*this).forTransport(w, residual, &count);
    } else {
        const int convergedBefore = convergedCount;
        count = doSolvePoisson(w.V, w.Fn, w.Fp, w.V0, w.Fn0, w.Fp0, residual, &w.previous, &w.start,
                               &w.update, &w.rhs, &w.jacobian, &w.lower, &w.diag, &w.upper);
        converged = convergedCount != convergedBefore;
    }
    if (iters != nullptr) {
        *iters = count;
    }
    if (!converged) {
        // The flag may still stand from an earlier point: a solve that did
        // not converge (or was stopped) must not be saved as the equilibrium.
        prevPoint = 0;
        return false;
    }
    // Converged at 0 V: it is the equilibrium, whatever the iteration
    // driver decided about the bias on the way.
    prevPoint = 1;
    equilibriumSolved = 1;
    poissonSave(w.V);
    return road != EquilibriumRoad::Sweep || !interrupted();
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
            sigma->error(L"the mesh changed during the Poisson solve");
            return -1;
        }
    }
    // The equilibrium is the dark state at 0 V, whatever light the run
    // has installed.
    const EquilibriumScope equilibrium(solvingEquilibrium);
    const int N = Points;
    auto solve = [&]() {
        return solveSystem(SYSTEM_POISSON, V, residual, Fn, Fp, N, param->maxiter, previous, start,
                           update, rhs, jacobian, lower, diag, upper);
    };
    auto layProfile = [&]() {
        poissonInit(V, Fn, Fp, V0, Fn0, Fp0, 0.0);
        return sigma->err == 0;
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
    uint8_t anodeType = 0;
    if (!ekEquilibriumPasses(*this).run(solve, layProfile, nullptr, &iters, &anodeType)) {
        return -1;
    }
    if (Stopped) {
        return iters;
    }
    const bool converged = sigma->err == 0 && param->reltol > param->lastError;
    if (!converged && sigma->reportIfOutOfMemory()) {
        return -1;
    }
    if (converged) {
        ++convergedCount;
        prevPoint = 1;
    }

    // A failure says the error its iterations reached, not the last
    // damped update.
    const std::wstring tail = nu_numberText((param->Toc() - startMs) / 1000.0) +
                              L" sec.   relerr: " +
                              nu_numberText(converged ? param->lastError : reachedError()) + L" (" +
                              nu_numberText(param->reltol) + L")\n";
    wchar_t head[200];
    if (converged) {
        if (sigma->debug) {
            std::swprintf(head, 200,
                          L"[DEBUG]   Poisson solver successfully converged: boundary: %ls   "
                          L"system solver: %ls   iters: %d   duration: ",
                          anodeType == ekContact::BOUNDARY_NEUMANN ? L"Neumann" : L"Dirichlet",
                          ek_linearSolverName(param), iters + 1);
            sigma->update((head + tail).c_str(), 0);
        }
    } else if (sigma->debug) {
        equilibriumFailed = true;
        std::swprintf(head, 200,
                      L"[ERROR]   Poisson convergence not achieved: system solver: %ls   iters: "
                      L"%d   duration: ",
                      ek_linearSolverName(param), iters + 1);
        reportFailure(head + tail, 1);
    } else {
        equilibriumFailed = true;
        reportFailure(equilibriumFailure(), 1);
    }
    return iters;
}
