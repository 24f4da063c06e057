// Quantum-efficiency sweep: at a fixed applied voltage, one wavelength of
// the installed grid at a time, the generation of that wavelength alone is
// laid on the mesh and the transport solved; the photocurrent above the
// dark current, per incident and per absorbed photon, gives EQE and IQE.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cwchar>
#include <limits>
#include <string>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekBandMatrix.h"
#include "ekBiasWork.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekQESweep.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr double PHOTON_EV_UM = 1.239842;  // photon energy (eV) times wavelength (um)
constexpr double CHARGE = 1.602176e-19;    // C
constexpr double NO_LIGHT_FLUX = 1000.0;   // 1/cm2/s
constexpr double THIN_CONTACT = 1e-5;      // um
using ekLimits::EQUILIBRIUM_BIAS;
constexpr double RAMP_START = 0.4;  // Vt
constexpr double RAMP_STEP = 0.4;   // Vt
// A quantum efficiency may overshoot 1 by the solver's tolerance; only a
// value clearly above 1 is unphysical.
constexpr double EFFICIENCY_SLACK = 1e-4;
// The IQE is written where the photocurrent is at least this many times
// the uncertainty of the current (a ratio of two numbers drowned in the
// solver's noise would show a false plateau beyond the band gap), and as 0
// elsewhere.
constexpr double IQE_RESOLUTION = 100.0;

void sendPoints(nuSigma* sigma, int count)
{
    if (sigma->comm) {
        wchar_t line[32];
        std::swprintf(line, 32, L"[SEND]WP:%d", count);
        sigma->writeComm(line);
    }
}

}  // namespace

bool ekQESweep::tabulateIndex()
{
    const int count = sim.SweepLight->getPoints();
    ekContact* cathode = sim.device->getCathode();
    if (cathode != nullptr && cathode->getThickness() >= THIN_CONTACT) {
        if (!cathode->assignSpectrum(count)) {
            sim.sigma->reportNoMemory();
            return false;
        }
        for (int i = 0; i < count; ++i) {
            const double wavelength = sim.SweepLight->getData(0, i);
            double n = 1.0;
            double k = 0.0;
            if (!cathode->getIndex(0.0, cathode->getThickness(), 0.01, wavelength, &n, &k, false)) {
                return false;
            }
            cathode->setIndexFromSpectrum(i, wavelength, k);
        }
    }
    // The layers' tables fill as the optics meet each wavelength.
    for (int l = 0; l < sim.device->getLayerCount(); ++l) {
        ekLayer* layer = sim.device->getLayer(l);
        if (layer == nullptr) {
            sim.sigma->error(L"invalid layer");
            return false;
        }
        const bool bandAbsorption = layer->isIndexConstant();
        if (!bandAbsorption && layer->getSpectrumCount() != count &&
            !layer->assignSpectrum(count)) {
            sim.sigma->reportNoMemory();
            return false;
        }
    }
    return true;
}

bool ekQESweep::start(double bias)
{
    const int N = sim.Points;
    // Dark: no wavelength shines yet.
    std::fill(sim.mesh.mat.Gop, sim.mesh.mat.Gop + N, 0.0);
    std::fill(sim.mesh.mat.photonFlux, sim.mesh.mat.photonFlux + N, 0.0);
    if (!sim.ensureEquilibrium(w, w.work, ekSimulator::EquilibriumRoad::Sweep)) {
        return false;
    }
    for (int k = 0; k < N; ++k) {
        w.V0[k] = w.V[k];
        w.Fn[k] = w.Fn0[k] = w.Fp[k] = w.Fp0[k] = 0.0;
        w.x[3 * k] = w.x0[3 * k] = w.V[k];
        w.x[3 * k + 1] = w.x0[3 * k + 1] = w.x[3 * k + 2] = w.x0[3 * k + 2] = 0.0;
    }
    sim.totals.meanCurrent = 0.0;
    auto init = [&](double v) {
        sim.Va = v;
        return sim.transportInit(w.x, w.V, w.Fn, w.Fp, w.x0, w.V0, w.Fn0, w.Fp0, w.work,
                                 &w.previous, &w.start, &w.update, &w.rhs, &w.jacobian, &w.lower,
                                 &w.diag, &w.upper);
    };
    const double s = bias > 0.0 ? RAMP_START : -RAMP_START;
    if (std::fabs(bias) <= 1.0 || std::fabs(bias - s) < RAMP_STEP) {
        if (!init(bias) || sim.interrupted()) {
            return false;
        }
    } else {
        if (!init(s) || sim.interrupted()) {
            return false;
        }
        if (sim.sigma->isVerbose()) {
            sim.sigma->update(L"[INFO]    initializing voltage...\n", 0);
        }
        sim.gotoBias(s, bias, RAMP_STEP, w);
        if (sim.prevPoint == 0 || sim.interrupted()) {
            return false;
        }
    }
    for (ekContact* contact : {sim.device->getAnode(), sim.device->getCathode()}) {
        contact->setBoundary(ekContact::BOUNDARY_DIRICHLET);
    }
    w.tolerance = sim.param->reltol;
    w.damping = sim.param->damp;
    // The dark current is that of the solved point at Va, not of a start
    // profile: solve it (a no-op after a ramp that ended there).
    if (std::fabs(bias) >= EQUILIBRIUM_BIAS) {
        sim.doBias(bias, w);
        if (sim.prevPoint == 0 && !sim.interrupted() && sim.switchMethod(w, true)) {
            sim.doBias(bias, w);
        }
        if (sim.prevPoint == 0 || sim.interrupted()) {
            return false;
        }
    }
    sim.Va = bias;
    return true;
}

double ekQESweep::currentError()
{
    const int N = sim.Points;
    nuParam* param = sim.param;
    const double J = sim.totals.meanCurrent;
    const double lastError = param->lastError;
    const double tolerance = param->reltol;
    const double damping = param->damp;
    // One more iteration on a scratch copy: the solution stays the one the
    // tolerance accepted.
    double* x = w.xBefore;
    std::copy(w.x, w.x + 3 * N, x);
    // A step whose linear system could not be solved leaves its unknowns
    // as they were: that is no sign of convergence.
    bool failed = false;
    auto solve = [&](int kind, double* u, double* a, double* b, int n) {
        sim.solveSystem(kind, u, w.work, a, b, n, 1, &w.previous, &w.start, &w.update, &w.rhs,
                        &w.jacobian, &w.lower, &w.diag, &w.upper);
        failed = failed || sim.iteration.linearFailed || sim.sigma->err != 0;
    };
    if (param->method == nuParam::METHOD_NEWTON) {
        solve(ekSimulator::SYSTEM_NEWTON, x, nullptr, nullptr, 3 * N);
    } else {
        double* V = w.xLast;
        double* Fn = V + N;
        double* Fp = Fn + N;
        for (int k = 0; k < N; ++k) {
            V[k] = x[3 * k];
            Fn[k] = x[3 * k + 1];
            Fp[k] = x[3 * k + 2];
        }
        solve(ekSimulator::SYSTEM_POISSON, V, Fn, Fp, N);
        solve(ekSimulator::SYSTEM_ELECTRON, Fn, V, Fp, N);
        solve(ekSimulator::SYSTEM_HOLE, Fp, V, Fn, N);
        for (int k = 0; k < N; ++k) {
            x[3 * k] = V[k];
            x[3 * k + 1] = Fn[k];
            x[3 * k + 2] = Fp[k];
        }
    }
    // A failed step leaves the current unknown, with or without -debug.
    const bool stepped = !failed;
    ek_resetSigma(sim.sigma);
    sim.storeSolution(x, x + 1, x + 2, 3);
    const double moved = std::fabs(sim.totals.meanCurrent - J);
    sim.storeSolution(w.x, w.x + 1, w.x + 2, 3);
    param->lastError = lastError;
    param->reltol = tolerance;
    param->damp = damping;
    return stepped && std::isfinite(moved) ? moved : std::numeric_limits<double>::infinity();
}

int ekSimulator::doQE(int index, double wavelength, double flux, double* absorbed, BiasWork& w)
{
    if (sigma->err != 0) {
        return 0;
    }
    updateGoptMono(index, wavelength, flux, absorbed);
    // Every wavelength starts from the sweep's own tolerance and damping:
    // the relaxation of a hard one is its own.
    param->reltol = w.tolerance;
    param->damp = w.damping;
    return doBias(Va, w);
}

void ekQESweep::warnUncheckedWavelengths(const ekQEOutcome& out) const
{
    if (out.darkUnchecked) {
        sim.sigma->update((L"[WARNING] QE spectrum at Va = " + nu_numberText(sim.Va * sim.norm.Vt) +
                           L" V: every IQE written as 0 (not resolved): the step that checks how "
                           L"well the dark current is known could not be solved\n")
                              .c_str(),
                          2);
    }
    for (const double wavelength : out.uncheckedWavelengths) {
        sim.sigma->update((L"[WARNING] QE spectrum at " + nu_numberText(wavelength) +
                           L" um: IQE written as 0 (not resolved): the step that checks how "
                           L"well the current is known could not be solved\n")
                              .c_str(),
                          2);
    }
}

ekQESettings::ekQESettings(const nuParam* p)
    : method(p->method), solver(p->solver), maxiter(p->maxiter), damp(p->damp), reltol(p->reltol)
{
}

void ekQESettings::restore(nuParam* p) const
{
    p->method = method;
    p->solver = solver;
    p->maxiter = maxiter;
    p->damp = damp;
    p->reltol = reltol;
}

double ekPhysicalEfficiency(double value)
{
    if (!(value <= 1.0 + EFFICIENCY_SLACK)) {
        return 0.0;
    }
    return std::min(value, 1.0);
}

void ekQESweep::run(double bias, bool restart, ekQEOutcome& out)
{
    ElecSweep* light = sim.SweepLight;
    const int count = light->getPoints();
    const int N = sim.Points;
    const ekQESettings settings(sim.param);
    auto saveState = [&](double* V, double* Fn, double* Fp) {
        sim.transportSaveGummel(V, Fn, Fp, sim.TAG_QW);
    };
    auto saveCurrent = [&]() {
        if (sim.param->method == nuParam::METHOD_NEWTON) {
            sim.transportSaveNewton(w.x, sim.TAG_QW);
        } else {
            saveState(w.V, w.Fn, w.Fp);
        }
    };
    // The last accepted state lives in the equilibrium copies, which the
    // sweep does not need once the dark state at Va is known.
    auto keepAccepted = [&]() {
        std::copy(w.V, w.V + N, w.Veq);
        std::copy(w.Fn, w.Fn + N, w.Fneq);
        std::copy(w.Fp, w.Fp + N, w.Fpeq);
    };

    out.started = start(bias);
    if (!out.started) {
        return;
    }
    sim.lightState.wavelength = light->getData(0, 0);
    saveCurrent();
    out.Jdark = std::fabs(bias) < EQUILIBRIUM_BIAS ? 0.0 : sim.totals.meanCurrent;
    out.JdarkError = std::fabs(bias) < EQUILIBRIUM_BIAS ? 0.0 : currentError();
    out.darkUnchecked = !std::isfinite(out.JdarkError);
    keepAccepted();
    if (!tabulateIndex()) {
        return;
    }
    sendPoints(sim.sigma, count);
    if (sim.sigma->isVerbose()) {
        const double first = light->getData(0, 0);
        const double step = count > 1 ? light->getData(0, 1) - first : 0.0;
        const std::wstring line =
            std::wstring(restart ? L"[LIGHT]   restarting QE spectrum simulation with: Start = "
                                 : L"[LIGHT]   starting QE spectrum simulation with: Start = ") +
            nu_numberText(first) + L" um  End = " + nu_numberText(light->getData(0, count - 1)) +
            L" um  Step = " + nu_numberText(step) + L" um    Va = " +
            nu_numberText(bias * sim.norm.Vt) + L" V   dark J = " +
            nu_numberText(out.Jdark * sim.norm.current) + L" A/cm2\n";
        sim.sigma->update(line.c_str(), 0);
        sim.sigma->update(L"[LIGHT]   sweeping...", 0);
    }

    const double factor = sim.norm.current / (sim.norm.photonFlux * CHARGE);
    const double edge = sim.mesh.minAbsorptionEdge;
    double previousIQE = 0.0;
    for (int i = 0; i < count; ++i) {
        const double wavelength = light->getData(0, i);
        const double incident = light->getData(1, i);
        const double transmitted = light->getData(3, i);
        if (sim.norm.photonFlux * transmitted < NO_LIGHT_FLUX) {
            light->setData(4, i, 0.0);
            light->setData(5, i, 0.0);
            continue;
        }
        double absorbed = light->getData(2, i);
        sim.doQE(i, wavelength, transmitted, &absorbed, w);
        if (sim.stopRequested()) {
            return;
        }
        if (sim.prevPoint == 0 && sim.sigma->err == 0) {
            // The other method from the last converged state.
            if (!sim.switchMethod(w, true) || sim.sigma->err != 0) {
                return;
            }
            sim.doQE(i, wavelength, transmitted, &absorbed, w);
            if (sim.stopRequested()) {
                return;
            }
        }
        out.lastConverged = sim.prevPoint != 0 && sim.sigma->err == 0;
        if (!out.lastConverged) {
            if (sim.sigma->err != 0) {
                return;
            }
            const bool otherMethod = sim.param->method != settings.method;
            settings.restore(sim.param);
            if (otherMethod && !w.allocate(sim)) {
                return;
            }
            sim.restoreStart(w);
            if (!ek_isZero(bias)) {
                out.failedAtBias = true;
                return;
            }
            light->setMask(i, ElecSweep::MASK_FAILED);
            if (i >= count / 2 + 1) {
                if (i < count - 1) {
                    sendPoints(sim.sigma, i);
                }
                return;
            }
            continue;
        }

        light->setData(2, i, absorbed);
        sim.lightState.wavelength = wavelength;
        saveCurrent();
        const double E = PHOTON_EV_UM / wavelength / sim.norm.Vt;
        const double dJ = std::fabs(sim.totals.meanCurrent - out.Jdark);

        // IQE counts every photon taken from the light (the anode's share
        // too); EQE never exceeds it.
        const double absorbedAll = (incident - transmitted) + absorbed;
        // The IQE is resolved when the photocurrent stands well above what
        // the solver leaves uncertain in the lit and in the dark current,
        // and the absorbed light above the round-off of the fluxes it is
        // the difference of (about one rounding of the incident flux per
        // mesh point).
        const double litError = currentError();
        const bool resolved = dJ >= IQE_RESOLUTION * (litError + out.JdarkError) &&
                              absorbedAll >= IQE_RESOLUTION * sim.Points * DBL_EPSILON * incident;
        double IQE = absorbed > 0.0 && absorbedAll > 0.0
                         ? ekPhysicalEfficiency(dJ / absorbedAll * factor)
                         : 0.0;
        const double perIncident =
            incident > 0.0 ? ekPhysicalEfficiency(dJ / incident * factor) : 0.0;
        const double EQE = std::min(perIncident, IQE);
        if (ek_isEqual(EQE, 0.0)) {
            IQE = 0.0;
        }

        // Acceptance: near and below the absorption edge the photocurrent
        // drowns in the solver's noise; such points are left out.
        const bool aboveEdge = E >= edge + 1.0;
        const bool bothNonZero = EQE != 0.0 && IQE != 0.0;
        bool reject = false;
        if (i >= 2) {
            if (previousIQE > 0.0 && !aboveEdge &&
                ((IQE - previousIQE > 0.001 && EQE < 0.001) ||
                 (IQE > 0.0 && previousIQE / IQE > 100.0))) {
                reject = true;
            } else {
                reject = !(bothNonZero || aboveEdge);
            }
        }
        if (!reject && (i <= count / 4 + 1 || out.accepted > 0)) {
            if (i > 2 && EQE == 0.0 && IQE == 0.0) {
                int zeros = 0;
                for (int j = 0; j < i; ++j) {
                    if (light->getData(4, j) == 0.0 && light->getData(5, j) == 0.0) {
                        light->setMask(j, ElecSweep::MASK_SET);
                        ++zeros;
                    }
                }
                reject = zeros > 1;
            }
            if (!reject) {
                if (out.accepted > 0 || bothNonZero) {
                    light->setData(4, i, EQE);
                    light->setData(5, i, resolved ? IQE : 0.0);
                    if (!std::isfinite(litError) && !out.darkUnchecked) {
                        out.uncheckedWavelengths.push_back(wavelength);
                    }
                    light->setMask(i, ElecSweep::MASK_COMPUTED);
                    sim.reportProgress(light, L"wavelength", wavelength, L"um");
                    ++out.accepted;
                    previousIQE = IQE;
                }
                keepAccepted();
            }
        } else if (!reject) {
            reject = true;
        }
        if (reject) {
            light->setMask(i, ElecSweep::MASK_SET);
            if (i < count - 1) {
                sendPoints(sim.sigma, i);
            }
            sim.lightState.wavelength = i > 0 ? light->getData(0, i - 1) : wavelength;
            saveState(w.Veq, w.Fneq, w.Fpeq);
        }
    }
}
