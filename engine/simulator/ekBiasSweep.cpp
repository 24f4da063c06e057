// The bias sweep: from equilibrium through the segments of the sweep's plan
// (ramps, ranges of sweep points, the equilibrium laid back, rows filled
// without a solve), and the J-V, C-V, distribution and photovoltaic results
// at the end.
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekBandMatrix.h"
#include "ekBiasSweep.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekExcitation.h"
#include "ekSimulator.h"
#include "ekSolvePasses.h"
#include "nucore.h"

namespace {

using ekLimits::EQUILIBRIUM_BIAS;
constexpr double POWER_MIN = 1e-9;  // W/cm2

}  // namespace

bool ekSimulator::allocBiasWork(BiasWork& w)
{
    const size_t N = static_cast<size_t>(Points);
    // Both lists are tried whatever the first gives, so that every array
    // is made or null for freeBiasWork.
    const bool made3N = ek_allocArrays(sigma, w.vectors3N, 3 * N);
    bool ok = ek_allocArrays(sigma, w.vectorsN, N) && made3N;
    if (ok) {
        ok = w.allocate(*this);
    }
    w.allocFailed = !ok;
    return ok;
}

void ekSimulator::freeBiasWork(BiasWork& w)
{
    ek_freeArrays(sigma, w.vectors3N);
    ek_freeArrays(sigma, w.vectorsN);
    w.release(*this);
}

int ekSimulator::sweepBias(double /*Jinf*/, double /*Jsup*/, bool* jinfReached, bool* jsupReached)
{
    if (jinfReached != nullptr) {
        *jinfReached = false;
    }
    if (jsupReached != nullptr) {
        *jsupReached = false;
    }
    if (!checkMeshStep()) {
        return 0;
    }
    if (lightState.type == ekExcitation::LIGHT_MONO) {
        double absorbed = 0.0;
        updateGoptMono(0, lightState.wavelength, lightState.totals.transmitted, &absorbed);
    }
    ElecSweep* sweep = SweepBias;
    if (sweep == nullptr || !sweep->isAllocated()) {
        return -1;
    }
    const int points = sweep->getPoints();
    ekSweepShape shape;
    shape.points = points;
    shape.S = sweep->getData(0, 0);
    shape.E = sweep->getData(0, points - 1);
    shape.d = points > 1 ? sweep->getData(0, 1) - shape.S : 0.0;
    shape.posL = biasPosL;
    shape.posC = biasPosC;
    shape.posR = biasPosR;
    shape.posRAtZero = biasPosR >= 0 && biasPosR < points &&
                       std::fabs(sweep->getData(0, biasPosR)) < EQUILIBRIUM_BIAS;
    shape.dark = isDark();
    shape.biases.resize(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
        shape.biases[static_cast<size_t>(i)] = sweep->getData(0, i);
    }
    if (points == 1 && std::fabs(shape.S) < EQUILIBRIUM_BIAS && shape.dark) {
        param->Tic();
        if (sigma->isVerbose()) {
            sigma->update(L"[INFO]    starting simulation at equilibrium...\n", 0);
        }
        Va = 0.0;
        return solvePoisson();
    }

    param->Tic();
    progressReportedAt = 0.0;
    // The relaxation ladders serve this sweep only.
    const double tolerance = param->reltol;
    const double damping = param->damp;
    itersMin = itersMax = 0;
    BiasWork w;
    w.lightOn = !shape.dark;
    int result = -1;
    if (!allocBiasWork(w)) {
        ekBiasDriver(*this, w).finish(0, &result);
        freeBiasWork(w);
        return result;
    }

    if (sigma->comm) {
        wchar_t line[64];
        std::swprintf(line, 64, L"[SEND]VP:%d", points);
        sigma->writeComm(line);
    }

    if (!ensureEquilibrium(w, w.work, EquilibriumRoad::Sweep)) {
        ekBiasDriver(*this, w).finish(0, &result);
        freeBiasWork(w);
        return result;
    }
    ekBiasDriver driver(*this, w);
    driver.keepEquilibrium();
    // Charges of the equilibrium, the reference of the 0 V point, split at
    // the plane the bias does not charge.
    totals.locateDepletionPlane(mesh, w.V, Points);
    Va = 0.0;
    storeSolution(w.V, w.Fn, w.Fp);
    totals.keepAsEquilibrium();
    prevPoint = 1;
    driver.run(ekPlanSweep(shape), shape, tolerance, damping);
    driver.refinePV();
    driver.finish(driver.stored(), &result);
    freeBiasWork(w);
    param->reltol = tolerance;
    param->damp = damping;
    if (jinfReached != nullptr) {
        *jinfReached = sweep->isLowLimitReached();
    }
    if (jsupReached != nullptr) {
        *jsupReached = sweep->isHighLimitReached();
    }
    return result;
}

void ekBiasDriver::keepEquilibrium()
{
    const int N = sim.Points;
    for (int k = 0; k < N; ++k) {
        w.Veq[k] = w.V0[k] = w.V[k];
        w.Fneq[k] = w.Fn0[k] = w.Fn[k] = 0.0;
        w.Fpeq[k] = w.Fp0[k] = w.Fp[k] = 0.0;
        w.x[3 * k] = w.x0[3 * k] = w.V[k];
        w.x[3 * k + 1] = w.x0[3 * k + 1] = 0.0;
        w.x[3 * k + 2] = w.x0[3 * k + 2] = 0.0;
    }
}

void ekBiasDriver::restoreEquilibrium()
{
    const int N = sim.Points;
    for (int k = 0; k < N; ++k) {
        w.V[k] = w.V0[k] = w.Veq[k];
        w.Fn[k] = w.Fn0[k] = w.Fneq[k];
        w.Fp[k] = w.Fp0[k] = w.Fpeq[k];
        w.x[3 * k] = w.x0[3 * k] = w.Veq[k];
        w.x[3 * k + 1] = w.x0[3 * k + 1] = w.Fneq[k];
        w.x[3 * k + 2] = w.x0[3 * k + 2] = w.Fpeq[k];
    }
}

void ekBiasDriver::run(const std::vector<ekSweepSegment>& plan, const ekSweepShape& shape,
                       double tolerance, double damping)
{
    startTolerance = tolerance;
    startDamping = damping;
    w.pv.maxPower = std::fabs(sim.SweepBias->getParam(ekSimulator::PV_PMAX, nullptr));
    for (const ekSweepSegment& s : plan) {
        if (s.kind != ekSweepStep::Announce && sim.interrupted()) {
            return;
        }
        if (!runSegment(s, shape)) {
            return;
        }
    }
}

bool ekBiasDriver::runSegment(const ekSweepSegment& s, const ekSweepShape& shape)
{
    switch (s.kind) {
    case ekSweepStep::Derivatives: solveDerivatives(s.step); return true;
    case ekSweepStep::Announce: announce(shape); return true;
    case ekSweepStep::Start:
        sim.Va = s.from;
        return sim.transportInit(w.x, w.V, w.Fn, w.Fp, w.x0, w.V0, w.Fn0, w.Fp0, w.work,
                                 &w.previous, &w.start, &w.update, &w.rhs, &w.jacobian, &w.lower,
                                 &w.diag, &w.upper);
    case ekSweepStep::Ramp:
        sim.gotoBias(s.from, s.to, s.step, w);
        if (sim.prevPoint == 0) {
            // The range starts from the last state the ramp solved, not
            // from what a failed solve left.
            sim.restoreStart(w);
        }
        return true;
    case ekSweepStep::Range: {
        int count = 0;
        sim.doSweepBias(s.first, s.last, w, &count, true);
        storedPoints += count;
        return true;
    }
    case ekSweepStep::RestoreEquilibrium: restoreEquilibrium(); return true;
    case ekSweepStep::ZeroRowLit: fillZeroRow(s.first, false); return true;
    case ekSweepStep::ZeroRowDark: fillZeroRow(s.first, true); return true;
    case ekSweepStep::EquilibriumRow: fillEquilibriumRow(s.first); return true;
    }
    return true;
}

// Derivative points on both sides of 0 V: the 0 V row of a dark sweep
// that crosses 0 V takes their means (a centred difference for C-V).
void ekBiasDriver::solveDerivatives(double delta)
{
    for (ekContact* contact : {sim.device->getAnode(), sim.device->getCathode()}) {
        contact->setBoundary(ekContact::BOUNDARY_DIRICHLET);
    }
    nuParam* param = sim.param;
    w.tolerance = param->reltol;
    w.damping = param->damp;
    bool converged = true;
    for (int side = 0; side < 2 && converged; ++side) {
        sim.doBias(side == 0 ? -delta : delta, w);
        if (sim.interrupted()) {
            return;
        }
        converged = sim.prevPoint != 0;
        if (converged) {
            storePoint();
            double* keep = side == 0 ? minus : plus;
            keep[0] = sim.getMeanCurrent();
            keep[1] = sim.totals.chargePlus;
            keep[2] = sim.totals.chargeMinus;
        }
        param->reltol = startTolerance;
        param->damp = startDamping;
    }
    derivatives = converged;
}

void ekBiasDriver::announce(const ekSweepShape& shape) const
{
    nuSigma* sigma = sim.sigma;
    if (!sigma->isVerbose()) {
        return;
    }
    sigma->update((sim.biasType & ekExcitation::BIAS_FILE)
                      ? L"[VOLTAGE] custom source switched ON\n"
                      : L"[VOLTAGE] source switched ON\n",
                  0);
    const double Vt = sim.norm.Vt;
    const std::wstring line = L"[VOLTAGE] starting J-V characteristic simulation with: Start = " +
                              nu_numberText(shape.S * Vt) + L" V  End = " +
                              nu_numberText(shape.E * Vt) + L" V  Step = " +
                              nu_numberText(shape.d * Vt) + L" V\n";
    sigma->update(line.c_str(), 0);
    sigma->update(L"[VOLTAGE] sweeping...", 0);
}

// The 0 V row of a sweep across 0 V. Under light its current was solved
// and its charges are the means of the rows around it; in the dark it is
// the equilibrium, seen through the derivative points when they were made.
void ekBiasDriver::fillZeroRow(int z, bool dark)
{
    ElecSweep* sweep = sim.SweepBias;
    const int points = sweep->getPoints();
    const bool between = z >= 1 && z + 1 < points;
    sweep->setData(0, z, 0.0);
    auto mean = [&](int column) {
        return 0.5 * (sweep->getData(column, z - 1) + sweep->getData(column, z + 1));
    };
    if (!dark) {
        if (between) {
            sweep->setData(2, z, mean(2));
            sweep->setData(3, z, mean(3));
        }
        return;
    }
    if (derivatives) {
        sweep->setData(1, z, 0.5 * (minus[0] + plus[0]));
        sweep->setData(2, z, 0.5 * (minus[1] + plus[1]));
        sweep->setData(3, z, 0.5 * (minus[2] + plus[2]));
    } else {
        sweep->setData(1, z, between ? mean(1) : 0.0);
        sweep->setData(2, z, between ? mean(2) : sim.totals.chargePlusEq);
        sweep->setData(3, z, between ? mean(3) : sim.totals.chargeMinusEq);
    }
    if (!(sweep->getMask(z) & ElecSweep::MASK_COMPUTED)) {
        sweep->setMask(z, ElecSweep::MASK_COMPUTED);
        ++storedPoints;
    }
}

// 0 V in the dark is the equilibrium: no current.
void ekBiasDriver::fillEquilibriumRow(int index)
{
    ElecSweep* sweep = sim.SweepBias;
    sweep->setData(1, index, 0.0);
    sweep->setData(2, index, sim.totals.chargePlusEq);
    sweep->setData(3, index, sim.totals.chargeMinusEq);
    sweep->setMask(index, ElecSweep::MASK_COMPUTED);
    sweep->incPos();
    ++storedPoints;
}

void ekBiasDriver::finish(int stored, int* result)
{
    nuSigma* sigma = sim.sigma;
    nuParam* param = sim.param;
    ElecSweep* sweep = sim.SweepBias;
    const bool stopped = sim.stopRequested();
    if (sweep != nullptr && sweep->isLimitReached() && sigma->comm) {
        wchar_t line[64];
        std::swprintf(line, 64, L"[SEND]VP:%d", sweep->getPointsValid());
        sigma->writeComm(line);
    }
    const std::wstring seconds = nu_numberText(param->Toc() / 1000.0);
    wchar_t head[256];
    if (w.allocFailed) {
        sigma->reportNoMemory();
        *result = -1;
        return;
    }
    if (stopped) {
        // Said whatever the verbosity: the user asked for it and waits.
        sigma->update(L"[VOLTAGE] J-V characteristic simulation stopped by the user\n", 0);
        if (stored > 0 && sweep != nullptr) {
            // The points solved so far are kept, marked partial.
            sim.saveSweep(ekSimulator::SWEEP_JV, L"[SEND]JV:");
            sim.saveSweep(ekSimulator::SWEEP_CV, L"[SEND]CV:");
        }
        *result = stored > 0 ? sim.itersMax : -1;
        return;
    }
    if (stored > 0) {
        ek_resetSigma(sigma);
        sim.saveSweep(ekSimulator::SWEEP_JV, L"[SEND]JV:");
        sim.saveSweep(ekSimulator::SWEEP_CV, L"[SEND]CV:");
        if (sigma->debug) {
            sim.savePotential(ekSimulator::TAG_EN);
            sim.saveCharge();
        }
        // A sweep cut short is said whatever the warnings switch: its
        // files hold less than the device file asked for.
        if (!w.failure.empty()) {
            sigma->update((w.failure + L"; the sweep has no points beyond it\n").c_str(), 2);
            ek_resetSigma(sigma);
        }
        if (w.lightOn && sim.lightState.totals.power > POWER_MIN) {
            sim.warnPVReach();
            wchar_t message[256] = {};
            sim.printPV(true, message);
        }
        if (sigma->debug) {
            std::swprintf(
                head, 256,
                L"[DEBUG]   J-V characteristic simulated: method: %ls (%ls)   iters: %d   "
                L"duration: ",
                ek_methodName(param), ek_linearSolverName(param), sim.itersMax);
            const std::wstring line =
                head + seconds + L" sec.   damp: " + nu_numberText(param->damp) + L"   relerr: " +
                nu_numberText(param->lastError) + L" (" + nu_numberText(param->reltol) + L")\n";
            sigma->update(line.c_str(), 0);
        } else if (sigma->isVerbose()) {
            const std::wstring line =
                L"[VOLTAGE] J-V characteristic simulated: duration: " + seconds + L" sec.\n";
            sigma->update(line.c_str(), 0);
        }
        // With full saving the last stored point already has its file (the
        // latest automatic number); the writer then only announces it. The
        // file is headed with the bias of the state it holds, which is not
        // that of a last solve that failed.
        sim.Va = sim.solutionBias;
        sim.saveDist(L"[SEND]EN:", ekSimulator::TAG_EN,
                     sigma->saveFull ? std::max(sim.FileIndex, 1) : stored + 1,
                     ekSimulator::TAG_JV);
        *result = sim.itersMax;
        return;
    }

    *result = -1;
    // A sweep that ran short of memory says so, not what failed after.
    if (sigma->reportIfOutOfMemory()) {
        return;
    }
    const bool lastConverged = sim.prevPoint != 0;
    if (!lastConverged && sim.equilibriumFailed) {
        // The equilibrium the sweep starts from has said why.
        return;
    }
    if (sigma->debug) {
        std::swprintf(head, 256,
                      lastConverged
                          ? L"[ERROR]   J-V characteristic not simulated (Iters: %d   Relerr: "
                          : L"[ERROR]   Poisson-Continuity convergence not achieved within the "
                            L"given tolerance (Iters: %d   Relerr: ",
                      sim.itersMax);
        sim.reportFailure(
            head + nu_numberText(lastConverged ? param->lastError : sim.reachedError()) + L")\n",
            0);
    } else if (lastConverged) {
        sim.reportFailure(L"[ERROR]   J-V characteristic not simulated\n", 0);
    } else {
        sim.reportFailure(sim.biasFailure(sim.Va * sim.norm.Vt, L"[ERROR]   ") + L"\n", 0);
    }
    const ekContact* anode = sim.device->getAnode();
    const ekContact* cathode = sim.device->getCathode();
    if (sim.device->isUniformlyDoped() && anode != nullptr && cathode != nullptr &&
        !anode->isSchottky() && !cathode->isSchottky()) {
        sim.reportFailure(
            L"[ERROR]   no junction in the device: in this case, transport model applies only for "
            L"low doping concentration\n",
            0);
    }
}
