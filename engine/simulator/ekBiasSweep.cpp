// The bias sweep: from equilibrium to the first bias, the sweep points in
// order (a sweep that crosses 0 V runs as two halves from 0 V outwards),
// and the J-V, C-V, distribution and photovoltaic results at the end.
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekBandMatrix.h"
#include "ekBiasWork.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekExcitation.h"
#include "ekSimulator.h"
#include "ekSolvePasses.h"
#include "nucore.h"

namespace {

using ekLimits::EQUILIBRIUM_BIAS;
constexpr double FIRST_STEP = 0.4;          // Vt: start of a ramp to a far single point
constexpr double RAMP_STEP = 1.0;           // Vt: ramp step towards a far first point
constexpr double POWER_MIN = 1e-9;          // W/cm2


}  // namespace

bool ekSimulator::allocBiasWork(BiasWork& w)
{
    const size_t N = static_cast<size_t>(Points);
    bool ok = true;
    for (double** a : w.vectors3N) {
        *a = sigma->mallocDbl(3 * N, true);
        ok = ok && *a != nullptr;
    }
    for (double** a : w.vectorsN) {
        *a = sigma->mallocDbl(N, true);
        ok = ok && *a != nullptr;
    }
    if (ok) {
        ok = w.allocate(*this);
    }
    w.allocFailed = !ok;
    return ok;
}

void ekSimulator::freeBiasWork(BiasWork& w)
{
    for (double** a : w.vectors3N) {
        if (*a != nullptr) {
            sigma->freeDbl(a);
        }
    }
    for (double** a : w.vectorsN) {
        if (*a != nullptr) {
            sigma->freeDbl(a);
        }
    }
    w.release(*this);
}

bool ekSimulator::ensureEquilibrium(BiasWork& w)
{
    if (equilibriumSolved) {
        std::copy(sol.Veq, sol.Veq + Points, w.V);
        return true;
    }
    Va = 0.0;
    doSolvePoisson(w.V, w.Fn, w.Fp, w.V0, w.Fn0, w.Fp0, w.work, &w.previous, &w.start, &w.update,
                   &w.rhs, &w.jacobian, &w.lower, &w.diag, &w.upper);
    if (interrupted()) {
        return false;
    }
    poissonSave(w.V);
    return true;
}

int ekSimulator::sweepBias(double /*Jinf*/, double /*Jsup*/, bool* jinfReached,
                           bool* jsupReached)
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
    const double S = sweep->getData(0, 0);
    const double E = sweep->getData(0, points - 1);
    const double d = points > 1 ? sweep->getData(0, 1) - S : 0.0;
    const bool dark = isDark();
    if (points == 1 && std::fabs(S) < EQUILIBRIUM_BIAS && dark) {
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
    w.lightOn = !dark;
    int stored = 0;
    int result = -1;
    if (!allocBiasWork(w)) {
        finishSweep(w, 0, &result);
        freeBiasWork(w);
        return result;
    }
    const int N = Points;
    auto keepEquilibrium = [&]() {
        for (int k = 0; k < N; ++k) {
            w.Veq[k] = w.V0[k] = w.V[k];
            w.Fneq[k] = w.Fn0[k] = w.Fn[k] = 0.0;
            w.Fpeq[k] = w.Fp0[k] = w.Fp[k] = 0.0;
            w.x[3 * k] = w.x0[3 * k] = w.V[k];
            w.x[3 * k + 1] = w.x0[3 * k + 1] = 0.0;
            w.x[3 * k + 2] = w.x0[3 * k + 2] = 0.0;
        }
    };
    auto restoreEquilibrium = [&]() {
        for (int k = 0; k < N; ++k) {
            w.V[k] = w.V0[k] = w.Veq[k];
            w.Fn[k] = w.Fn0[k] = w.Fneq[k];
            w.Fp[k] = w.Fp0[k] = w.Fpeq[k];
            w.x[3 * k] = w.x0[3 * k] = w.Veq[k];
            w.x[3 * k + 1] = w.x0[3 * k + 1] = w.Fneq[k];
            w.x[3 * k + 2] = w.x0[3 * k + 2] = w.Fpeq[k];
        }
    };

    if (sigma->comm) {
        wchar_t line[64];
        std::swprintf(line, 64, L"[SEND]VP:%d", points);
        sigma->writeComm(line);
    }

    if (!ensureEquilibrium(w)) {
        finishSweep(w, 0, &result);
        freeBiasWork(w);
        return result;
    }
    keepEquilibrium();
    // Charges of the equilibrium, the reference of the 0 V point, split at
    // the plane the bias does not charge.
    locateDepletionPlane(w.V);
    storeSolution(w.V, w.Fn, w.Fp);
    chargePlusEq = chargePlus;
    chargeMinusEq = chargeMinus;
    prevPoint = 1;

    // Derivative points on both sides of 0 V: the 0 V row of a dark sweep
    // that crosses 0 V takes their means (a centred difference for C-V).
    bool derivatives = false;
    double minus[3] = {};
    double plus[3] = {};
    if (dark && S < 0.0 && E >= 0.0) {
        const double delta = std::clamp(0.1 * std::fabs(d), EQUILIBRIUM_BIAS, 1.0);
        for (ekContact* contact : {device->getAnode(), device->getCathode()}) {
            contact->setBoundary(ekContact::BOUNDARY_DIRICHLET);
        }
        w.tolerance = param->reltol;
        w.damping = param->damp;
        bool converged = true;
        for (int side = 0; side < 2 && converged; ++side) {
            doBias(side == 0 ? -delta : delta, w);
            if (interrupted()) {
                finishSweep(w, 0, &result);
                freeBiasWork(w);
                return result;
            }
            converged = prevPoint != 0;
            if (converged) {
                storeBiasPoint(w);
                double* keep = side == 0 ? minus : plus;
                keep[0] = getMeanCurrent();
                keep[1] = chargePlus;
                keep[2] = chargeMinus;
            }
            param->reltol = tolerance;
            param->damp = damping;
        }
        derivatives = converged;
        restoreEquilibrium();
    }

    if (sigma->isVerbose()) {
        sigma->update((biasType & ekExcitation::BIAS_FILE)
                          ? L"[VOLTAGE] custom source switched ON\n"
                          : L"[VOLTAGE] source switched ON\n",
                      0);
        const double Vt = norm.Vt;
        const std::wstring line = L"[VOLTAGE] starting J-V characteristic simulation with: Start = " +
                                  nu_numberText(S * Vt) + L" V  End = " + nu_numberText(E * Vt) +
                                  L" V  Step = " + nu_numberText(d * Vt) + L" V\n";
        sigma->update(line.c_str(), 0);
        sigma->update(L"[VOLTAGE] sweeping...", 0);
    }

    PVTrack pv;
    pv.maxPower = std::fabs(sweep->getParam(4, nullptr));
    auto init = [&](double bias) {
        Va = bias;
        return transportInit(w.x, w.V, w.Fn, w.Fp, w.x0, w.V0, w.Fn0, w.Fp0, w.work, &w.previous,
                             &w.start, &w.update, &w.rhs, &w.jacobian, &w.lower, &w.diag,
                             &w.upper);
    };

    if (points == 1) {
        bool ok = true;
        if (std::fabs(S) > RAMP_STEP) {
            // Far from 0 V: start 0.4 Vt out and ramp to 0.4 Vt short of it.
            double s = S > 0.0 ? FIRST_STEP : -FIRST_STEP;
            const double t = S - s;
            if (std::fabs(t - s) < FIRST_STEP) {
                s = S;
            }
            ok = init(s);
            if (ok && s != S) {
                gotoBias(s, t, FIRST_STEP, w);
            }
        } else {
            ok = init(S);
        }
        if (ok && !interrupted()) {
            doSweepBias(0, 0, w, &stored, true, pv);
        }
    } else if (S < 0.0 && E >= 0.0) {
        // z: the 0 V point when the sweep has one, else the last point
        // below 0 V. A sweep that ends at 0 V has no point above it.
        const int posL = biasPosL;
        const int posR = biasPosR;
        int posC = biasPosC;
        if (posC < 0 && posR >= 0 && posR < points &&
            std::fabs(sweep->getData(0, posR)) < EQUILIBRIUM_BIAS) {
            posC = posR;  // a custom bias a rounding away from 0 V
        }
        int z = -1;
        if (posC >= 0 && posC < points) {
            z = posC;
        } else if (posL >= 0 && posL < points) {
            z = posL;
        }
        if (z >= 0) {
            // Lower half, downwards from 0 V (the 0 V point itself is solved
            // under light only; in the dark it is the equilibrium).
            // Without a point at 0 V, z is the last point below it.
            const bool zeroIsPoint = z == posC;
            const int f1 = (zeroIsPoint && dark) ? z - 1 : z;
            int lower = 0;
            if (f1 >= 0) {
                doSweepBias(f1, 0, w, &lower, true, pv);
            }
            stored += lower;
            if (!interrupted()) {
                restoreEquilibrium();
                const int f2 = (zeroIsPoint && !dark) ? z : z + 1;
                int upper = 0;
                // A sweep that ends at 0 V has no upper half: its 0 V point
                // is already the lower half's first.
                if (f2 <= points - 1 && z < points - 1) {
                    doSweepBias(f2, points - 1, w, &upper, true, pv);
                }
                stored += upper;
                if (zeroIsPoint && !interrupted()) {
                    sweep->setData(0, z, 0.0);
                    auto mean = [&](int column) {
                        return 0.5 * (sweep->getData(column, z - 1) + sweep->getData(column, z + 1));
                    };
                    if (!dark) {
                        if (z >= 1 && z + 1 < points) {
                            sweep->setData(2, z, mean(2));
                            sweep->setData(3, z, mean(3));
                        }
                    } else {
                        if (derivatives) {
                            sweep->setData(1, z, 0.5 * (minus[0] + plus[0]));
                            sweep->setData(2, z, 0.5 * (minus[1] + plus[1]));
                            sweep->setData(3, z, 0.5 * (minus[2] + plus[2]));
                        } else {
                            sweep->setData(1, z, z >= 1 && z + 1 < points ? mean(1) : 0.0);
                            sweep->setData(2, z, z >= 1 && z + 1 < points ? mean(2) : chargePlusEq);
                            sweep->setData(3, z, z >= 1 && z + 1 < points ? mean(3) : chargeMinusEq);
                        }
                        if (!(sweep->getMask(z) & ElecSweep::MASK_COMPUTED)) {
                            sweep->setMask(z, ElecSweep::MASK_COMPUTED);
                            ++stored;
                        }
                    }
                }
            }
        }
    } else if (S < 0.0 && E < 0.0) {
        bool ok = true;
        if (std::fabs(E) > RAMP_STEP) {
            ok = init(-RAMP_STEP);
            if (ok) {
                gotoBias(-RAMP_STEP, E, RAMP_STEP, w);
            }
        } else {
            ok = init(E);
        }
        if (ok && !interrupted()) {
            doSweepBias(points - 1, 0, w, &stored, true, pv);
        }
    } else if (S >= 0.0 && E > 0.0) {
        bool ok = true;
        if (S > RAMP_STEP) {
            ok = init(RAMP_STEP);
            if (ok) {
                gotoBias(RAMP_STEP, S, RAMP_STEP, w);
            }
        } else {
            ok = init(S);
        }
        if (ok && !interrupted()) {
            if (ek_isEqual(S, 0.0) && dark) {
                // 0 V in the dark is the equilibrium: no current.
                sweep->setData(1, 0, 0.0);
                sweep->setData(2, 0, chargePlusEq);
                sweep->setData(3, 0, chargeMinusEq);
                sweep->setMask(0, ElecSweep::MASK_COMPUTED);
                sweep->incPos();
                int rest = 0;
                doSweepBias(1, points - 1, w, &rest, true, pv);
                stored = rest + 1;
            } else {
                doSweepBias(0, points - 1, w, &stored, true, pv);
            }
        }
    }

    finishSweep(w, stored, &result);
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

void ekSimulator::finishSweep(BiasWork& w, int stored, int* result)
{
    ElecSweep* sweep = SweepBias;
    const bool stopped = stopRequested();
    if (sweep != nullptr && sweep->isLimitReached() && sigma->comm) {
        wchar_t line[64];
        std::swprintf(line, 64, L"[SEND]VP:%d", sweep->getPointsValid());
        sigma->writeComm(line);
    }
    const std::wstring seconds = nu_numberText(param->Toc() / 1000.0);
    wchar_t head[256];
    if (w.allocFailed) {
        sigma->update(L"[ERROR]   insufficient memory for simulation\n", 1);
        *result = -1;
        return;
    }
    if (stopped) {
        // Said whatever the verbosity: the user asked for it and waits.
        sigma->update(L"[VOLTAGE] J-V characteristic simulation stopped by the user\n", 0);
        if (stored > 0 && sweep != nullptr) {
            // The points solved so far are kept, marked partial.
            saveSweep(SWEEP_JV, L"[SEND]JV:");
            saveSweep(SWEEP_CV, L"[SEND]CV:");
        }
        *result = stored > 0 ? itersMax : -1;
        return;
    }
    if (stored > 0) {
        ek_resetSigma(sigma);
        saveSweep(SWEEP_JV, L"[SEND]JV:");
        saveSweep(SWEEP_CV, L"[SEND]CV:");
        if (sigma->debug) {
            savePotential(TAG_EN);
            saveCharge();
        }
        if (w.lightOn && lightState.totals.power > POWER_MIN) {
            warnPVReach();
            wchar_t message[256] = {};
            printPV(true, message);
        }
        if (sigma->debug) {
            std::swprintf(head, 256,
                          L"[DEBUG]   J-V characteristic simulated: method: %ls (%ls)   iters: %d   "
                          L"duration: ",
                          ek_methodName(param), param->getSolverLinsysName(), itersMax);
            const std::wstring line = head + seconds + L" sec.   damp: " +
                                      nu_numberText(param->damp) + L"   relerr: " +
                                      nu_numberText(param->lastError) + L" (" +
                                      nu_numberText(param->reltol) + L")\n";
            sigma->update(line.c_str(), 0);
        } else if (sigma->isVerbose()) {
            const std::wstring line =
                L"[VOLTAGE] J-V characteristic simulated: duration: " + seconds + L" sec.\n";
            sigma->update(line.c_str(), 0);
        }
        // With full saving the last stored point already has its file (the
        // latest automatic number); the writer then only announces it.
        saveDist(L"[SEND]EN:", TAG_EN, sigma->saveFull ? std::max(FileIndex, 1) : stored + 1,
                 TAG_JV);
        *result = itersMax;
        return;
    }

    *result = -1;
    const bool lastConverged = prevPoint != 0;
    if (sigma->debug) {
        std::swprintf(head, 256,
                      lastConverged ? L"[ERROR]   J-V characteristic not simulated (Iters: %d   Relerr: "
                                    : L"[ERROR]   Poisson-Continuity convergence not achieved within the "
                                      L"given tolerance (Iters: %d   Relerr: ",
                      itersMax);
        sigma->update((head + nu_numberText(param->lastError) + L")\n").c_str(), 0);
    } else {
        sigma->update(lastConverged ? L"[ERROR]   J-V characteristic not simulated\n"
                                    : L"[ERROR]   convergence not achieved\n",
                      0);
    }
    const ekContact* anode = device->getAnode();
    const ekContact* cathode = device->getCathode();
    if (device->isUniformlyDoped() && anode != nullptr && cathode != nullptr &&
        !anode->isSchottky() && !cathode->isSchottky()) {
        sigma->update(
            L"[ERROR]   no junction in the device: in this case, transport model applies only for "
            L"low doping concentration\n",
            0);
    }
}
