// Photovoltaic figures that do not depend on how the sweep was sampled.
// The tracking of the sweep's points finds Voc by a straight line across an
// exponential and the maximum-power point among the sampled voltages, so a
// coarse step moves both. After the sweep, the device is solved again
// where the figures are: at exactly 0 V for Jsc, between the two points the
// current changed sign between for Voc (a bracketing root search on J(V)),
// and around the best sampled point for the maximum power (a bracketing
// search on V J(V)). Each solve starts from the nearest solved state.
#include <algorithm>
#include <cmath>
#include <vector>

#include "ElecSweep.h"
#include "ekBiasSweep.h"
#include "ekHelpers.h"
#include "ekLimits.h"
#include "ekScalarSearch.h"
#include "ekSimulator.h"
#include "nucore.h"

namespace {

using ekLimits::BIAS_SUBSTEP;

// A start this close (Vt) is solved in one step; a farther one is walked
// in sub-steps, as the sweep walks a long step.
constexpr double WHOLE_STEP_MAX = 1.0;
// Widths (Vt) the searches close their brackets to: Voc to about 1e-7 V;
// the power is flat at its maximum, so Vmp to 1e-3 Vt already gives Pmax
// to the solver's accuracy.
constexpr double VOC_WIDTH = 4e-6;
constexpr double VMP_WIDTH = 1e-3;
constexpr int EVALUATIONS_MAX = 40;

}  // namespace

auto ekBiasDriver::keepState() const -> ekSimulator::BiasWork::State
{
    ekSimulator::BiasWork::State state;
    state.bias = sim.Va;
    state.current = sim.getMeanCurrent();
    state.x.assign(w.x, w.x + 3 * sim.Points);
    return state;
}

void ekBiasDriver::loadState(const ekSimulator::BiasWork::State& state)
{
    const int N = sim.Points;
    std::copy(state.x.begin(), state.x.end(), w.x);
    std::copy(state.x.begin(), state.x.end(), w.x0);
    for (int k = 0; k < N; ++k) {
        w.V[k] = w.V0[k] = state.x[3 * k];
        w.Fn[k] = w.Fn0[k] = state.x[3 * k + 1];
        w.Fp[k] = w.Fp0[k] = state.x[3 * k + 2];
    }
    sim.Va = state.bias;
}

void ekBiasDriver::keepPVStates(int index)
{
    const ElecSweep* sweep = sim.SweepBias;
    using State = ekSimulator::BiasWork::State;
    ekSimulator::BiasWork::PVStates& kept = w.pvStates;
    const int n = 3 * sim.Points;
    auto keep = [&](State& state, double bias, double current, const double* x) {
        state.bias = bias;
        state.current = current;
        state.x.assign(x, x + n);
    };
    if (!kept.nearestZero.held() || std::fabs(w.biasLast) < std::fabs(kept.nearestZero.bias)) {
        keep(kept.nearestZero, w.biasLast, w.currentLast, w.xLast);
    }
    int at = -1;
    sweep->getParam(ekSimulator::PV_VOC, &at);
    if (at == index && w.history > 1) {
        keep(kept.vocBefore, w.biasBefore, w.currentBefore, w.xBefore);
        keep(kept.vocAfter, w.biasLast, w.currentLast, w.xLast);
    }
    sweep->getParam(ekSimulator::PV_PMAX, &at);
    if (at == index) {
        keep(kept.bestPower, w.biasLast, w.currentLast, w.xLast);
    }
}

double ekBiasDriver::currentAt(double Va)
{
    using State = ekSimulator::BiasWork::State;
    const double failed = std::nan("");
    if (refineStates.empty() || sim.interrupted()) {
        return failed;
    }
    const State& nearest = *std::min_element(
        refineStates.begin(), refineStates.end(), [&](const State& a, const State& b) {
            return std::fabs(a.bias - Va) < std::fabs(b.bias - Va);
        });
    if (nearest.bias == Va) {
        return nearest.current;
    }
    const double from = nearest.bias;
    loadState(nearest);
    nuParam* param = sim.param;
    const double h = std::fabs(Va - from) > WHOLE_STEP_MAX ? BIAS_SUBSTEP : std::fabs(Va - from);
    double bias = from;
    do {
        bias = Va > bias ? std::min(bias + h, Va) : std::max(bias - h, Va);
        param->reltol = w.tolerance;
        param->damp = w.damping;
        sim.doBias(bias, w);
        if (sim.prevPoint == 0 || sim.interrupted()) {
            // A failed linear solve may have left its error: the sweep's
            // own results are still to be written.
            ek_resetSigma(sim.sigma);
            return failed;
        }
    } while (bias != Va);
    sim.storeSolution(w.x, w.x + 1, w.x + 2, 3);
    refineStates.push_back(keepState());
    return sim.getMeanCurrent();
}

void ekBiasDriver::refinePV()
{
    ElecSweep* sweep = sim.SweepBias;
    using State = ekSimulator::BiasWork::State;
    const ekSimulator::BiasWork::PVStates& kept = w.pvStates;
    if (!w.lightOn || sweep == nullptr || storedPoints == 0 || sim.interrupted() ||
        !kept.nearestZero.held()) {
        return;
    }
    nuSigma* sigma = sim.sigma;
    nuParam* param = sim.param;
    // What the sweep's closing files and messages read, put back at the
    // end: the stored solution is the last stored point's (the last
    // distribution file), Va and the counts those of the sweep.
    const double Va = sim.Va;
    const uint8_t prevPoint = sim.prevPoint;
    const int convergedCount = sim.convergedCount;
    const int itersMin = sim.itersMin;
    const int itersMax = sim.itersMax;
    const double lastError = param->lastError;
    const double tolerance = param->reltol;
    const double damping = param->damp;
    const State lastStored{w.biasLast, w.currentLast,
                           std::vector<double>(w.xLast, w.xLast + 3 * sim.Points)};

    refineStates.clear();
    for (const State* state :
         {&kept.nearestZero, &kept.vocBefore, &kept.vocAfter, &kept.bestPower}) {
        if (state->held()) {
            refineStates.push_back(*state);
        }
    }
    auto current = [&](double V) { return currentAt(V); };
    std::wstring failed;

    // Jsc: the current at exactly 0 V, when the stored points reach 0 V.
    double lowest = 0.0, highest = 0.0;
    int zeroIndex = -1;
    for (int k = 0; k < sweep->getPoints(); ++k) {
        if (!(sweep->getMask(k) & ElecSweep::MASK_COMPUTED)) {
            continue;
        }
        const double V = sweep->getData(0, k);
        lowest = std::min(lowest, V);
        highest = std::max(highest, V);
        if (zeroIndex < 0 || std::fabs(V) < std::fabs(sweep->getData(0, zeroIndex))) {
            zeroIndex = k;
        }
    }
    int jscIndex = -1;
    sweep->getParam(ekSimulator::PV_JSC, &jscIndex);
    // A sweep planned across 0 V whose half beyond it failed still has its
    // Jsc: solved at 0 V from the stored point nearest it.
    const bool plannedAcross = sim.biasPosL >= 0 && (sim.biasPosC >= 0 || sim.biasPosR >= 0);
    if (jscIndex >= 0 || (lowest < 0.0 && highest > 0.0) || plannedAcross) {
        const double Jsc = current(0.0);
        if (std::isfinite(Jsc)) {
            sweep->setParam(ekSimulator::PV_JSC, Jsc, zeroIndex);
        } else {
            failed += L"Jsc";
        }
    }

    // Voc: the zero of the current between the two points it changed sign
    // between.
    int vocIndex = -1;
    sweep->getParam(ekSimulator::PV_VOC, &vocIndex);
    if (vocIndex >= 0 && kept.vocBefore.held() && kept.vocAfter.held()) {
        const auto root =
            ek_findRoot(current, {kept.vocBefore.bias, kept.vocBefore.current},
                        {kept.vocAfter.bias, kept.vocAfter.current}, VOC_WIDTH, EVALUATIONS_MAX);
        if (root) {
            sweep->setParam(ekSimulator::PV_VOC, root->x, vocIndex);
        } else {
            failed += failed.empty() ? L"Voc" : L", Voc";
        }
    }

    // The maximum power point: the largest -V J between the neighbours of
    // the best stored point.
    int bestIndex = -1;
    sweep->getParam(ekSimulator::PV_PMAX, &bestIndex);
    if (bestIndex >= 0 && kept.bestPower.held()) {
        const double Vbest = kept.bestPower.bias;
        double low = Vbest, high = Vbest;
        for (int k : {bestIndex - 1, bestIndex + 1}) {
            if (k >= 0 && k < sweep->getPoints() &&
                (sweep->getMask(k) & ElecSweep::MASK_COMPUTED)) {
                low = std::min(low, sweep->getData(0, k));
                high = std::max(high, sweep->getData(0, k));
            }
        }
        auto power = [&](double V) { return -V * currentAt(V); };
        const auto best = ek_findMaximum(power, low, high, {Vbest, -Vbest * kept.bestPower.current},
                                         VMP_WIDTH, EVALUATIONS_MAX);
        if (best && best->x != 0.0 && best->f > 0.0) {
            sweep->setParam(ekSimulator::PV_VMP, best->x, bestIndex);
            sweep->setParam(ekSimulator::PV_JMP, -best->f / best->x, bestIndex);
            sweep->setParam(ekSimulator::PV_PMAX, best->f, bestIndex);
        } else {
            failed += failed.empty() ? L"the maximum power point" : L", the maximum power point";
        }
    }

    loadState(lastStored);
    sim.storeSolution(w.x, w.x + 1, w.x + 2, 3);
    sim.Va = Va;
    sim.prevPoint = prevPoint;
    sim.convergedCount = convergedCount;
    sim.itersMin = itersMin;
    sim.itersMax = itersMax;
    param->lastError = lastError;
    param->reltol = tolerance;
    param->damp = damping;
    if (!failed.empty() && !sim.interrupted()) {
        const std::wstring line = L"[WARNING] " + failed +
                                  L" could not be solved for at its own voltage: taken from the "
                                  L"sweep's points, so it depends on Voltage.Step\n";
        sigma->update(line.c_str(), 2);
        ek_resetSigma(sigma);
    }
}
