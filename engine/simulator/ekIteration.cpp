// The iteration loop behind every nonlinear solve: assemble, solve the
// linearised system, apply the (damped) update, compare the largest update
// with the tolerance; on failure loosen the tolerance and start again.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <string>

#include "ekLimits.h"
#include "ekBandMatrix.h"
#include "ekDamping.h"
#include "ekLinearDrivers.h"
#include "ekLinearSolver.h"
#include "ekResultWriter.h"
#include "ekSolverOptions.h"
#include "ekSimulator.h"
#include "ekSolvePasses.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

// The largest undamped component of a damped update dx of n unknowns (a
// Newton update: V, Fn, Fp per point).
double undampedSize(const double* dx, int n, bool triDiagonal, double damp, int mode)
{
    double largest = 0.0;
    if (triDiagonal) {
        for (int i = 0; i < n; ++i) {
            largest = std::max(largest, std::fabs(ek_undampTriDiag(dx[i], damp, mode)));
        }
        return largest;
    }
    for (int i = 0; i + 2 < n; i += 3) {
        double node[3] = {dx[i], dx[i + 1], dx[i + 2]};
        ek_undampNewtonNode(&node[0], &node[1], &node[2], damp, mode);
        for (double v : node) {
            largest = std::max(largest, std::fabs(v));
        }
    }
    return largest;
}

// The Poisson solve counts as the equilibrium one below this bias (Vt).
using ekLimits::EQUILIBRIUM_BIAS;

std::atomic<long> newtonSteps{0};

bool isKnownKind(int kind)
{
    return kind == ekSimulator::SYSTEM_POISSON || kind == ekSimulator::SYSTEM_ELECTRON ||
           kind == ekSimulator::SYSTEM_HOLE || kind == ekSimulator::SYSTEM_NEWTON;
}

void logLadderLine(nuSigma* sigma, const wchar_t* what, int number, double tol, double damp)
{
    wchar_t head[64];
    std::swprintf(head, 64, L"[DEBUG]   %ls %d: tol = ", what, number);
    std::wstring line = head;
    line += nu_numberText(tol);
    line += L" damp = ";
    line += nu_numberText(damp);
    line += L"\n";
    if (line.size() > 255) {
        line.resize(255);
    }
    sigma->update(line.c_str(), 0);
}

}  // namespace

int ekSimulator::solveSystem(int kind, double* x, double* residual, double* other1, double* other2,
                             int n, int maxIter, double** previous, double** start, double** update,
                             double** rhs, ekBandMatrix** jacobian, double** lower, double** diag,
                             double** upper)
{
    if (sigma == nullptr || param == nullptr) {
        return 0;
    }
    if (n < 1 || x == nullptr || residual == nullptr || maxIter < 1 || maxIter > param->maxiter) {
        return 0;
    }
    if (previous == nullptr || start == nullptr || update == nullptr || rhs == nullptr ||
        jacobian == nullptr || lower == nullptr || diag == nullptr || upper == nullptr) {
        return 0;
    }
    if (*previous == nullptr || *start == nullptr || *update == nullptr || *rhs == nullptr ||
        !isKnownKind(kind)) {
        return 0;
    }
    const bool newtonMethod = param->method == nuParam::METHOD_NEWTON;
    if (*jacobian == nullptr && newtonMethod) {
        if (!allocSystem(previous, start, update, rhs, jacobian, lower, diag, upper) &&
            sigma->err != 0) {
            return 0;
        }
    }
    if (!(newtonMethod && *jacobian != nullptr) &&
        (*lower == nullptr || *diag == nullptr || *upper == nullptr)) {
        return 0;
    }
    // The coupled system needs its band Jacobian, sized for it.
    if (kind == SYSTEM_NEWTON && (*jacobian == nullptr || (*jacobian)->size() != n)) {
        return 0;
    }
    const double t0 = param->reltol;
    if (!(t0 > 0.0 && t0 <= 1.0)) {
        return 0;
    }
    double t = t0;

    double* xPrev = *previous;
    double* xStart = *start;
    double* dx = *update;
    double* b = *rhs;
    const bool triDiagonal = kind != SYSTEM_NEWTON;
    for (int i = 0; i < n; ++i) {
        xPrev[i] = xStart[i] = x[i];
        dx[i] = b[i] = 0.0;
        if (triDiagonal) {
            (*lower)[i] = (*diag)[i] = (*upper)[i] = 0.0;
        }
    }
    const bool atEquilibrium = kind == SYSTEM_POISSON && std::fabs(Va) < EQUILIBRIUM_BIAS;

    char options[128];
    std::memset(options, 0, sizeof options);
    makeSolverOptions(options);
    char* logged = iteration.loggedOptions;
    if (sigma->debug && std::strcmp(options, logged) != 0) {
        std::memcpy(logged, options, sizeof iteration.loggedOptions);
        wchar_t line[192];
        std::swprintf(line, 192, L"[DEBUG]   linear solver options: %s\n", options);
        sigma->update(line, 0);
    }
    if (nuParam::ARRLEN < 1) {
        return 0;
    }
    const bool directTriDiag = (param->solver & nuParam::SOLVER_MASK) == nuParam::SOLVER_TRIDIAG;
    // Whether a Schottky contact without a barrier counts as ohmic is
    // settled before the first assembly, so the contacts keep one type
    // through every step of the iteration.
    decideContactsOhmic();
    const SystemAssembler newton =
        newtonAssembler != nullptr ? newtonAssembler : &ekSimulator::transportNewton;

    iteration.linearFailed = false;
    for (int pass = 0;; ++pass) {
        int count = 0;
        for (int k = 0; k < maxIter; ++k) {
            double norm = 0.0;
            double* lo = triDiagonal ? *lower : nullptr;
            double* di = triDiagonal ? *diag : nullptr;
            double* up = triDiagonal ? *upper : nullptr;
            switch (kind) {
            case SYSTEM_POISSON:
                transportPoisson(x, residual, b, lo, di, up, *jacobian, other1, other2, n, &norm);
                break;
            case SYSTEM_ELECTRON:
                transportElectron(x, residual, b, lo, di, up, *jacobian, other1, other2, n, &norm);
                break;
            case SYSTEM_HOLE:
                transportHole(x, residual, b, lo, di, up, *jacobian, other1, other2, n, &norm);
                break;
            default:
                ++newtonSteps;
                // transportNewton writes every entry of the band; another
                // assembler adds to a cleared one.
                if (newton != &ekSimulator::transportNewton) {
                    (*jacobian)->clear();
                }
                (this->*newton)(x, residual, b, *lower, *diag, *upper, *jacobian, other1, other2, n,
                                &norm);
                break;
            }

            // The drivers leave x, previous and update untouched unless the
            // solve succeeded and every new value is finite.
            double error = 1.0;
            int iterations = 0;
            bool solved = false;
            bool noMemory = false;
            if (triDiagonal && directTriDiag) {
                solved =
                    nu_solveTriDiag(lo, di, up, b, dx, xPrev, x, n, &iterations, &error, &noMemory);
            } else {
                const int status =
                    triDiagonal
                        ? ek_solveTriDiagLis(lo, di, up, b, dx, xPrev, x, n, &iterations, &error,
                                             options, param->damp, param->dampMode)
                        : ek_solveNewtonLis(*jacobian, b, dx, xPrev, x, n, &iterations, &error,
                                            maxIter, t, options, param->damp, param->dampMode);
                solved = status == EK_LINSOLVE_OK;
                noMemory = status == EK_LINSOLVE_NO_MEMORY;
            }
            if (noMemory) {
                // Not a singular system: every retry would run short again.
                param->lastError = 1.0;
                sigma->reportNoMemory();
                return count;
            }
            if (!solved) {
                iteration.linearFailed = true;
                if (!std::isfinite(error)) {
                    error = 1.0;
                }
                param->lastError = error;
                // Said at the information level: a debug line must not
                // raise the error flag, which would end the solve, its
                // relaxation passes and the refinement after a sweep and so
                // change the results of a run made with -debug.
                if (sigma->debug) {
                    sigma->update(L"[DEBUG]   singular matrix found in the transport system\n", 0);
                }
                return count;
            }
            if (maxIter > 1 && iteration.errorHistory != nullptr && k < iteration.historyLength) {
                iteration.errorHistory[k] = error;
            }
            param->lastError = error;
            iteration.lastRawError =
                (triDiagonal && directTriDiag)
                    ? error
                    : undampedSize(dx, n, triDiagonal, param->damp, param->dampMode);
            iteration.bestError = std::min(iteration.bestError, iteration.lastRawError);
            if (t > error) {
                if (atEquilibrium) {
                    equilibriumSolved = 1;
                }
                break;
            }
            if (stopRequested()) {
                break;
            }
            ++count;
        }

        if (stopRequested()) {
            return count;
        }
        if (t > param->lastError) {
            return count;
        }
        if (t >= nuParam::RELTOL[0] || maxIter == 1 || strictTolerance) {
            if (param->lastError > t) {
                param->reltol = t0;
            }
            return count;
        }
        param->increaseReltol();
        const double next = param->reltol;
        if (!(next > t)) {
            param->reltol = t0;
            return count;
        }
        if (sigma->debug) {
            logLadderLine(sigma, L"retry", pass + 1, next, param->damp);
        }
        for (int i = 0; i < n; ++i) {
            x[i] = xPrev[i] = xStart[i];
            dx[i] = b[i] = 0.0;
        }
        t = next;
        if (pass + 1 >= nuParam::ARRLEN) {
            return count;
        }
    }
}

long ek_newtonSteps() { return newtonSteps.load(); }

int ekSimulator::relaxSolver(int pass)
{
    if (pass >= 2 || param == nullptr) {
        return pass;
    }
    if (pass == 0) {
        const double t = param->reltol;
        if (t >= nuParam::RELTOL[0]) {
            param->reltol = nuParam::RELTOL[4];
            param->damp = nuParam::DAMP[0];
            pass = 1;
        } else {
            param->increaseReltol();
            if (!(param->reltol > t)) {
                param->reltol = nuParam::RELTOL[4];
                param->damp = nuParam::DAMP[0];
                pass = 1;
            }
            if (sigma != nullptr && sigma->debug) {
                logLadderLine(sigma, L"pass ", pass + 1, param->reltol, param->damp);
            }
            if (pass == 0) {
                return 0;
            }
        }
    }
    const double damp = param->damp;
    param->increaseDamp();
    if (!(param->damp > damp)) {
        return 2;
    }
    if (sigma != nullptr && sigma->debug) {
        logLadderLine(sigma, L"pass ", 2, param->reltol, param->damp);
    }
    return 1;
}

bool ek_solveRelaxed(ekSimulator& sim, const std::function<int()>& solve,
                     const std::function<bool()>& restart, int* iters)
{
    nuParam* param = sim.getParam();
    int pass = 0;
    for (int attempt = 0; attempt < nuParam::ARRLEN; ++attempt) {
        param->lastError = 1.0;
        *iters = solve();
        if (sim.stopRequested()) {
            break;
        }
        if (sim.getSigma()->err != 0 || param->reltol > param->lastError) {
            break;
        }
        pass = sim.relaxSolver(pass);
        if (pass >= 2) {
            break;
        }
        if (!restart()) {
            return false;
        }
    }
    return true;
}

const wchar_t* ek_methodName(const nuParam* param)
{
    return param->method == nuParam::METHOD_NEWTON ? L"Newton" : L"Gummel";
}

const wchar_t* ek_linearSolverName(const nuParam* param)
{
    switch (ek_linearMethodOf(kov_toUtf8(param->getSolverLinsysName()).c_str())) {
    case ekLinearMethod::BiCGSTAB: return L"bicgstab";
    case ekLinearMethod::GMRES: return L"gmres";
    case ekLinearMethod::IDRS: return L"idrs";
    case ekLinearMethod::BandLU: break;
    }
    return L"banded LU";
}
