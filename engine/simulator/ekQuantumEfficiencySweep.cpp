// The quantum-efficiency sweep's driver: the checks, the mesh growth, the
// attempt at the requested voltage and, when that yields nothing, the one
// repeat at 0 V; then the QW file, the photocurrent summary and the
// distribution of the best wavelength.
#include <cmath>
#include <cwchar>
#include <string>

#include "ekPointLimits.h"
#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekBiasWork.h"
#include "ekContact.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekQESweep.h"
#include "ekResultWriter.h"
#include "ekExcitation.h"
#include "ekSimulator.h"
#include "ekSolvePasses.h"
#include "nucore.h"

namespace {

constexpr double NO_LIGHT_FLUX = 1000.0;  // 1/cm2/s

}  // namespace

int ekSimulator::sweepQE(double voltage)
{
    if (isBlocked() || device == nullptr) {
        return -1;
    }
    const int layers = device->getLayerCount();
    if (deviceLength * norm.length < 0.01 || Points < ekLimits::DEVICE_POINTS_MIN ||
        Points > ekLimits::DEVICE_POINTS_MAX || layers < 1 || layers > LAYERS_MAX) {
        sigma->error(L"invalid device mesh parameters (points, dimension, layers count)",
                     L"Simulation Ended");
        return -1;
    }
    if (coarseMesh) {
        if (sigma->outputType != 0) {
            sigma->update(L"[INFO]    too large step relatively to the thinnest layer: increasing "
                          L"the number of points...\n",
                          0);
        }
        switch (growCoarseMesh()) {
        case MeshGrowth::Fine: break;
        case MeshGrowth::LadderEnds:
            sigma->error(L"too large spatial step, relatively to the thinnest layer");
            return -1;
        case MeshGrowth::StillCoarse:
            sigma->error(L"Too large spatial step, relatively to the thinnest layer");
            return -1;
        }
    }
    const bool sweepKind = ekExcitation::isLightSweep(lightState.type);
    if (!sweepKind || norm.photonFlux * lightState.totals.transmitted < NO_LIGHT_FLUX) {
        return -7;
    }
    if (SweepLight == nullptr || !SweepLight->isAllocated()) {
        sigma->error(L"cannot perform simulation: internal error");
        return -1;
    }

    double bias = voltage / norm.Vt;
    param->Tic();
    progressReportedAt = 0.0;
    const ekQESettings settings(param);
    itersMin = itersMax = 0;
    BiasWork w;
    w.lightOn = true;
    if (!allocBiasWork(w)) {
        freeBiasWork(w);
        sigma->reportNoMemory();
        return -1;
    }
    ekQEOutcome out;
    ekQESweep steps(*this, w);
    for (int attempt = 0;; ++attempt) {
        out = ekQEOutcome{};
        steps.run(bias, attempt > 0, out);
        const bool failed = out.accepted == 0 || out.failedAtBias;
        if (interrupted() || attempt > 0 || !failed || ek_isZero(bias)) {
            break;
        }
        // Nothing usable at the requested voltage: the sweep is made at 0 V
        // instead, and the log says so.
        const std::wstring warning = L"[WARNING] QE spectrum not simulated at Va = " +
                                     nu_numberText(bias * norm.Vt) +
                                     L" V: simulating it again at Va = 0 V\n";
        sigma->update(warning.c_str(), 2);
        settings.restore(param);
        param->method = nuParam::METHOD_NEWTON;
        if (!w.allocate(*this)) {
            break;
        }
        equilibriumSolved = 0;
        bias = 0.0;
        for (int i = 0; i < SweepLight->getPoints(); ++i) {
            SweepLight->setData(4, i, 0.0);
            SweepLight->setData(5, i, 0.0);
            SweepLight->setMask(i, ElecSweep::MASK_SET);
        }
    }
    int result = -1;
    steps.finish(out, &result);
    freeBiasWork(w);
    param->reltol = settings.reltol;
    param->damp = settings.damp;
    return result;
}

void ekQESweep::finish(const ekQEOutcome& out, int* result)
{
    if (sim.Stopped) {
        sim.sigma->update(L"[LIGHT]   QE spectrum simulation stopped by the user\n", 0);
        if (out.accepted > 0) {
            // The wavelengths solved so far are kept, marked partial.
            warnUncheckedWavelengths(out);
            sim.saveSweep(sim.SWEEP_QW, L"[SEND]QW:");
        }
        *result = sim.itersMax;
        return;
    }
    if (sim.sigma->err != 0) {
        *result = -1;
        return;
    }
    if (out.accepted == 0 && sim.sigma->reportIfOutOfMemory()) {
        *result = -1;
        return;
    }
    if (out.accepted == 0) {
        const bool noJunction = sim.device->isUniformlyDoped() &&
                                !sim.device->getAnode()->isSchottky() &&
                                !sim.device->getCathode()->isSchottky();
        if (sim.sigma->debug) {
            sim.sigma->error(ek_format(L"Poisson-Continuity convergence not achieved: method: %ls "
                                       L"(%ls)   iters: %d   relerr: ",
                                       ek_methodName(sim.param), ek_linearSolverName(sim.param),
                                       sim.itersMax) +
                             nu_numberText(sim.param->lastError));
        } else {
            sim.sigma->error(out.lastConverged ? L"QE spectrum not simulated"
                                               : L"convergence not achieved");
        }
        if (noJunction) {
            sim.sigma->error(L"No PN junction in the device: in this case, transport model "
                             L"applies only for low doping concentration");
        }
        *result = -1;
        return;
    }
    ek_resetSigma(sim.sigma);
    warnUncheckedWavelengths(out);
    sim.saveSweep(sim.SWEEP_QW, L"[SEND]QW:");
    wchar_t message[256] = {};
    sim.printEQE(true, message);
    const std::wstring seconds = nu_numberText(sim.param->Toc() / 1000.0);
    if (sim.sigma->isVerbose()) {
        const std::wstring line =
            L"[LIGHT]   QE spectrum simulated: duration: " + seconds + L" sec.\n";
        sim.sigma->update(line.c_str(), 0);
    }
    if (sim.sigma->debug) {
        sim.saveFlux();
        wchar_t head[192];
        std::swprintf(
            head, 192,
            L"[LIGHT]   QE spectrum simulated: method: %ls (%ls)   iters: %d   duration: ",
            ek_methodName(sim.param), ek_linearSolverName(sim.param), sim.itersMax);
        const std::wstring line =
            head + seconds + L" sec.   damp: " + nu_numberText(sim.param->damp) + L"   relerr: " +
            nu_numberText(sim.param->lastError) + L" (" + nu_numberText(sim.param->reltol) + L")\n";
        sim.sigma->update(line.c_str(), 0);
    }
    *result = sim.itersMax;
    const int count = sim.SweepLight->getPoints();
    sim.lightState.wavelength = sim.SweepLight->getData(0, count - 1);
    // Distribution files are numbered as in a bias sweep: 1 the
    // equilibrium, row i + 1 for sweep row i; here the last wavelength,
    // whose state the sweep ends in.
    sim.saveDist(L"[SEND]EN:", sim.TAG_EN, count + 1, sim.TAG_QW);
}
