// One bias point of a sweep: Poisson alone at equilibrium, or the Gummel
// or the Newton iteration, each with its relaxation passes; and the switch
// to the other method when a point fails.
#include <algorithm>
#include <cmath>

#include "ekLimits.h"
#include "ekBandMatrix.h"
#include "ekBiasSweep.h"
#include "ekHelpers.h"
#include "ekSimulator.h"
#include "ekSolvePasses.h"
#include "nucore.h"

namespace {

using ekLimits::EQUILIBRIUM_BIAS;
// Newton steps a whole-step trial may take: from a good prediction Newton
// converges in a few; one that needs more is better served by the ramp.
constexpr int WHOLE_STEP_ITERATIONS = 12;
// Furthest extrapolation, in steps of the last two points.
constexpr double EXTRAPOLATION_MAX = 1.5;

void copy(double* to, const double* from, int n) { std::copy(from, from + n, to); }

void interleave(double* x, const double* V, const double* Fn, const double* Fp, int N)
{
    for (int k = 0; k < N; ++k) {
        x[3 * k] = V[k];
        x[3 * k + 1] = Fn[k];
        x[3 * k + 2] = Fp[k];
    }
}

void unpack(const double* x, double* V, double* Fn, double* Fp, int N)
{
    for (int k = 0; k < N; ++k) {
        V[k] = x[3 * k];
        Fn[k] = x[3 * k + 1];
        Fp[k] = x[3 * k + 2];
    }
}

}  // namespace

void ekSimulator::restoreStart(BiasWork& w)
{
    const int N = Points;
    copy(w.V, w.V0, N);
    copy(w.Fn, w.Fn0, N);
    copy(w.Fp, w.Fp0, N);
    copy(w.x, w.x0, 3 * N);
}

bool ekSimulator::switchMethod(BiasWork& w, bool /*reallocate*/)
{
    const bool toNewton = param->method != nuParam::METHOD_NEWTON;
    param->method = toNewton ? nuParam::METHOD_NEWTON : nuParam::METHOD_GUMMEL;
    // The driver's arrays are sized for the method (N, or 3N with the band
    // Jacobian): always make them anew.
    if (!w.allocate(*this)) {
        w.allocFailed = true;
        return false;
    }
    if (sigma->debug) {
        sigma->update(toNewton ? L"[DEBUG]   switching to the Newton method...\n"
                               : L"[DEBUG]   switching to the Gummel method...\n",
                      0);
    }
    // A failed solve may have left an error on the channel: the other
    // method gets its chance all the same.
    ek_resetSigma(sigma);
    param->reltol = w.tolerance;
    param->damp = w.damping;
    restoreStart(w);
    return true;
}

int ekBiasDriver::solveEquilibrium()
{
    const int N = sim.Points;
    nuParam* param = sim.param;
    sim.Va = 0.0;
    std::fill(w.Fn, w.Fn + N, 0.0);
    std::fill(w.Fp, w.Fp + N, 0.0);
    auto solve = [&]() {
        return sim.solveSystem(ekSimulator::SYSTEM_POISSON, w.V, w.work, w.Fn, w.Fp, N,
                               param->maxiter, &w.previous, &w.start, &w.update, &w.rhs,
                               &w.jacobian, &w.lower, &w.diag, &w.upper);
    };
    // Restart from charge neutrality; the copies go to scratch so the
    // backups keep the start of the point. A failed restart ends the
    // passes with what the last one left.
    auto restart = [&]() {
        sim.poissonInit(w.V, w.Fn, w.Fp, w.work, w.work + N, w.work + 2 * N, 0.0);
        return sim.sigma->err == 0;
    };
    int iters = 0;
    ek_solveRelaxed(sim, solve, restart, &iters);
    interleave(w.x, w.V, w.Fn, w.Fp, N);
    return iters;
}

int ekBiasDriver::solveGummel()
{
    const int N = sim.Points;
    nuParam* param = sim.param;
    // Each equation's update, as damped (the convergence test) and undamped
    // (how far the iteration was: the error a failure reports).
    double rawSum = 0.0;
    auto solve = [&](int kind, double* u, double* a, double* b) {
        sim.solveSystem(kind, u, w.work, a, b, N, 1, &w.previous, &w.start, &w.update, &w.rhs,
                        &w.jacobian, &w.lower, &w.diag, &w.upper);
        rawSum += sim.iteration.lastRawError;
        return param->lastError;
    };
    int iters = 0;
    int pass = 0;
    for (int attempt = 0; attempt < nuParam::ARRLEN; ++attempt) {
        bool converged = false;
        bool ended = false;
        iters = 0;
        for (int it = 0; it < param->maxiter && !converged && !ended; ++it) {
            double sum = 0.0;
            const int kinds[3] = {ekSimulator::SYSTEM_POISSON, ekSimulator::SYSTEM_ELECTRON,
                                  ekSimulator::SYSTEM_HOLE};
            double* unknowns[3] = {w.V, w.Fn, w.Fp};
            double* others[3][2] = {{w.Fn, w.Fp}, {w.V, w.Fp}, {w.V, w.Fn}};
            // One Gummel iteration's error is the sum of its three
            // equations' updates, not any one of them.
            const double best = sim.iteration.bestError;
            rawSum = 0.0;
            for (int e = 0; e < 3; ++e) {
                sum += solve(kinds[e], unknowns[e], others[e][0], others[e][1]);
                if (sim.stopRequested()) {
                    interleave(w.x, w.V, w.Fn, w.Fp, N);
                    return iters;
                }
                if (sim.sigma->err != 0) {
                    ended = true;
                    break;
                }
            }
            // The point's error is the summed update of the three equations,
            // not the last one alone.
            param->lastError = ended ? 1.0 : sum;
            sim.iteration.bestError = ended ? best : std::min(best, rawSum);
            converged = !ended && param->reltol > sum;
            ++iters;
        }
        if (ended || converged) {
            break;
        }
        pass = sim.relaxSolver(pass);
        if (pass >= 2) {
            break;
        }
        sim.restoreStart(w);
    }
    interleave(w.x, w.V, w.Fn, w.Fp, N);
    return iters;
}

int ekBiasDriver::solveNewton()
{
    const int N = sim.Points;
    nuParam* param = sim.param;
    auto solve = [&]() {
        return sim.solveSystem(ekSimulator::SYSTEM_NEWTON, w.x, w.work, nullptr, nullptr, 3 * N,
                               param->maxiter, &w.previous, &w.start, &w.update, &w.rhs,
                               &w.jacobian, &w.lower, &w.diag, &w.upper);
    };
    auto restart = [&]() {
        sim.restoreStart(w);
        return true;
    };
    int iters = 0;
    ek_solveRelaxed(sim, solve, restart, &iters);
    unpack(w.x, w.V, w.Fn, w.Fp, N);
    return iters;
}

int ekSimulator::doBias(double bias, BiasWork& w)
{
    Va = bias;
    iteration.clearBestError();
    prevPoint = 0;
    param->lastError = 1.0;
    ekBiasDriver driver(*this, w);
    int iters = 0;
    if (std::fabs(Va) < EQUILIBRIUM_BIAS && isDark()) {
        iters = driver.solveEquilibrium();
    } else if (param->method == nuParam::METHOD_NEWTON) {
        iters = driver.solveNewton();
    } else {
        iters = driver.solveGummel();
    }
    driver.finishPoint(iters);
    return iters;
}

void ekBiasDriver::finishPoint(int iters)
{
    nuParam* param = sim.param;
    const bool converged = !sim.Stopped && sim.sigma->err == 0 &&
                           param->lastError < param->reltol && std::isfinite(param->lastError);
    if (converged) {
        ++sim.convergedCount;
        sim.prevPoint = 1;
        // The solution is the start of the next point.
        const int N = sim.Points;
        copy(w.V0, w.V, N);
        copy(w.Fn0, w.Fn, N);
        copy(w.Fp0, w.Fp, N);
        copy(w.x0, w.x, 3 * N);
    }
    if (sim.itersMin == 0 || iters < sim.itersMin) {
        sim.itersMin = iters;
    }
    sim.itersMax = std::max(sim.itersMax, iters);
}

void ekBiasDriver::recordPoint()
{
    std::swap(w.xLast, w.xBefore);
    w.biasBefore = w.biasLast;
    w.currentBefore = w.currentLast;
    copy(w.xLast, w.x, 3 * sim.Points);
    w.biasLast = sim.Va;
    w.currentLast = sim.getMeanCurrent();
    w.history = std::min(w.history + 1, 2);
}

int ekBiasDriver::advance(double target, double h)
{
    nuParam* param = sim.param;
    const double from = sim.Va;
    int wasted = 0;
    const bool equilibrium = std::fabs(target) < EQUILIBRIUM_BIAS && sim.isDark();
    if (param->method == nuParam::METHOD_NEWTON && w.history > 0 && !equilibrium) {
        const int n = 3 * sim.Points;
        // Potential and quasi-Fermi levels move nearly linearly with the bias
        // between close points: the extrapolation is a start within Newton's
        // reach where the last solution alone may not be.
        double f = 0.0;
        if (w.history > 1 && w.biasLast != w.biasBefore) {
            f = std::clamp((target - w.biasLast) / (w.biasLast - w.biasBefore), 0.0,
                           EXTRAPOLATION_MAX);
        }
        for (int i = 0; i < n; ++i) {
            w.x[i] = w.xLast[i] + f * (w.xLast[i] - w.xBefore[i]);
        }
        sim.Va = target;
        sim.prevPoint = 0;
        param->lastError = 1.0;
        sim.strictTolerance = true;
        const int iters =
            sim.solveSystem(ekSimulator::SYSTEM_NEWTON, w.x, w.work, nullptr, nullptr, n,
                            std::min(WHOLE_STEP_ITERATIONS, param->maxiter), &w.previous, &w.start,
                            &w.update, &w.rhs, &w.jacobian, &w.lower, &w.diag, &w.upper);
        sim.strictTolerance = false;
        const bool converged = !sim.Stopped && sim.sigma->err == 0 &&
                               param->lastError < param->reltol && std::isfinite(param->lastError);
        if (converged || sim.Stopped) {
            unpack(w.x, w.V, w.Fn, w.Fp, sim.Points);
            finishPoint(iters);
            return iters;
        }
        // Not within reach: the ramp from the last solution, as if the trial
        // had not been made (clearing any error the trial left).
        wasted = iters;
        ek_resetSigma(sim.sigma);
        param->reltol = w.tolerance;
        param->damp = w.damping;
        sim.restoreStart(w);
        sim.Va = from;
    }
    const double next =
        h > 0.0 ? (target > from ? std::min(from + h, target) : std::max(from - h, target))
                : target;
    return wasted + sim.doBias(next, w);
}
