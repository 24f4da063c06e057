// Moving along the bias: a ramp towards the first point of a sweep, and the
// solving of a range of sweep points with sub-steps, method switching and
// the current window.
#include <algorithm>
#include <cmath>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekBiasSweep.h"
#include "ekContact.h"
#include "ekSimulator.h"
#include "nucore.h"

namespace {

using ekLimits::BIAS_SUBSTEP;
using ekLimits::EQUILIBRIUM_BIAS;
constexpr double RAMP_STEP_MIN = 0.001;  // Vt

// Moves v by h towards target without passing it.
double stepToward(double v, double target, double h)
{
    if (target > v) {
        return std::min(v + h, target);
    }
    return std::max(v - h, target);
}

void setDirichlet(ElecDevice* device)
{
    for (ekContact* contact : {device->getAnode(), device->getCathode()}) {
        if (contact != nullptr) {
            contact->setBoundary(ekContact::BOUNDARY_DIRICHLET);
        }
    }
}

// The damping a sweep sets from its step h (Vt): 0.1 / h, but no stronger
// than 1. A finer step (a 1 mV sweep is 0.04 Vt) damped every Newton update
// so hard that the iteration stalled at its first point.
double dampingForStep(double h) { return std::min(0.1 / h, 1.0); }

}  // namespace

int ekSimulator::retryPoint(BiasWork& w)
{
    // A failure report covers both methods' tries at the point.
    const double best = iteration.bestError;
    const int iters = doBias(Va, w);
    iteration.bestError = std::min(iteration.bestError, best);
    return iters;
}

int ekSimulator::gotoBias(double from, double to, double step, BiasWork& w)
{
    const double h = std::clamp(step, RAMP_STEP_MIN, BIAS_SUBSTEP);
    const double distance = std::fabs(to - from);
    const long steps = distance >= h ? std::lround(distance / h) + 1 : 1;
    setDirichlet(device);
    if (param->dampMode != 0) {
        param->setDamp(dampingForStep(h));
    }
    w.damping = param->damp;
    w.tolerance = param->reltol;

    Va = from;
    int total = doBias(from, w);
    long count = 0;
    while (!stopRequested()) {
        if (prevPoint == 0) {
            if (!switchMethod(w, true) || sigma->err != 0) {
                return total;
            }
            total += retryPoint(w);
            if (prevPoint == 0) {
                return total;
            }
        }
        if ((to >= from && Va >= to) || (to < from && Va <= to)) {
            return total;
        }
        const double next = stepToward(Va, to, h);
        if (++count >= steps) {
            return total;
        }
        param->reltol = w.tolerance;
        param->damp = w.damping;
        total += doBias(next, w);
    }
    return total;
}

int ekSimulator::doSweepBias(int from, int to, BiasWork& w, int* stored, bool keepMask)
{
    ekBiasDriver driver(*this, w);
    ElecSweep* sweep = SweepBias;
    double Jinf = 0.0;
    double Jsup = 0.0;
    sweep->getLimit(&Jinf, &Jsup, nullptr);
    const int points = sweep->getPoints();
    const double d = points > 1 ? std::fabs(sweep->getData(0, 1) - sweep->getData(0, 0)) : 1.0;
    const int dir = to >= from ? 1 : -1;
    const int count = std::abs(to - from) + 1;
    // Steps of more than one thermal voltage are walked in sub-steps; only
    // the sweep points themselves are stored.
    const bool substeps = count > 1 && d >= EQUILIBRIUM_BIAS && d > 1.0;
    const double h = substeps ? BIAS_SUBSTEP : d;
    setDirichlet(device);
    if (param->dampMode != 0 && h > 0.0) {
        param->setDamp(dampingForStep(h));
    }
    w.damping = param->damp;
    w.tolerance = param->reltol;
    *stored = 0;
    w.pv.started = false;
    w.history = 0;

    int target = from;
    int total = doBias(sweep->getData(0, target), w);
    if (Stopped) {
        return total;
    }
    bool limitFlag = false;
    for (;;) {
        if (stopRequested()) {
            return total;
        }
        if (prevPoint == 0) {
            if (!switchMethod(w, false)) {
                return total;
            }
            total += retryPoint(w);
            if (Stopped) {
                return total;
            }
            if (prevPoint == 0) {
                w.failure = biasFailure(Va * norm.Vt, L"[WARNING] ");
                break;
            }
        }
        const double targetBias = sweep->getData(0, target);
        if (substeps && std::fabs(Va - targetBias) > EQUILIBRIUM_BIAS * h) {
            // An intermediate sub-step: move on towards the sweep point.
            param->reltol = w.tolerance;
            param->damp = w.damping;
            total += doBias(stepToward(Va, targetBias, h), w);
            if (Stopped) {
                return total;
            }
            continue;
        }

        driver.storePoint();
        const double J = getMeanCurrent();
        sweep->setData(1, target, J);
        sweep->setData(2, target, totals.chargePlus);
        sweep->setData(3, target, totals.chargeMinus);
        if (keepMask && !(sweep->getMask(target) & ElecSweep::MASK_COMPUTED)) {
            sweep->setMask(target, ElecSweep::MASK_COMPUTED);
        }
        driver.recordPoint();
        trackPVPoint(w.lightOn, &w.pv.started, &w.pv.prevJ, &w.pv.prevV, &w.pv.maxPower, target);
        if (w.lightOn) {
            driver.keepPVStates(target);
        }
        sweep->incPos();
        ++*stored;
        reportProgress(sweep, L"V", sweep->getData(0, target) * norm.Vt, L"V");

        // The point after the first one outside the current window is still
        // solved and stored; then the sweep ends.
        if (limitFlag) {
            sweep->setLimit(J < Jinf ? -1 : 1);
            return total;
        }
        if (*stored >= 3 && (J < Jinf || J > Jsup)) {
            limitFlag = true;
        }
        if (target == to) {
            if (limitFlag) {
                sweep->setLimit(J < Jinf ? -1 : 1);
            }
            return total;
        }
        target += dir;
        const double nextBias = sweep->getData(0, target);
        param->reltol = w.tolerance;
        param->damp = w.damping;
        total += driver.advance(nextBias, substeps ? h : 0.0);
        if (Stopped) {
            return total;
        }
    }
    // Neither method solved the point: it ends the range. A failed solve has
    // no current, so it does not enter the photovoltaic figures.
    if (keepMask) {
        sweep->setMask(target, ElecSweep::MASK_FAILED);
    }
    return total;
}

void ekBiasDriver::storePoint()
{
    if (sim.param->method == nuParam::METHOD_NEWTON) {
        sim.transportSaveNewton(w.x, ekSimulator::TAG_JV);
    } else {
        sim.transportSaveGummel(w.V, w.Fn, w.Fp, ekSimulator::TAG_JV);
    }
    // At 0 V in the dark the device is at equilibrium: no current, and the
    // equilibrium charges.
    if (std::fabs(sim.Va) < EQUILIBRIUM_BIAS && sim.isDark()) {
        sim.Va = 0.0;
        sim.solutionBias = 0.0;
        sim.totals.restoreEquilibrium();
    }
}
