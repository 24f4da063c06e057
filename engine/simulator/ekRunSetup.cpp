// Set-up steps of a run before the solvers: bias, light and mesh.
#include <cmath>
#include <cwchar>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekExcitation.h"
#include "ekInput.h"
#include "ekLayer.h"
#include "ekRunSteps.h"
#include "ekSimulator.h"
#include "ekSpectrumAM15.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

using ekLimits::DEVICE_POINTS_MAX;
using ekLimits::DEVICE_POINTS_MIN;

}  // namespace

ekRun::~ekRun()
{
    delete device;
    delete excitation;
    delete simulator;
    delete input;
    delete param;
    delete sigma;
}

bool ekRun::isFailed() const
{
    return sigma->err != 0;
}

void ek_runReadSettings(ekRun& run)
{
    wchar_t file[ekExcitation::FILENAME_SIZE] = {};
    run.excitation->getV(&run.Vstart, &run.Vend, &run.Vstep, &run.Jinf, &run.Jsup, &run.biasType,
                         file);
    run.biasFile = file;
    run.excitation->getW(&run.Wstart, &run.Wend, &run.Wstep, &run.flux, &run.lightType,
                         &run.sweep);
}

bool ek_runApplyBias(ekRun& run)
{
    ekSimulator* sim = run.simulator;
    switch (run.biasType & ekExcitation::BIAS_ON_MASK) {
    case 0:
        sim->setBiasData(run.device, 0.0, 0.0, 0.0, run.Jinf, run.Jsup, run.biasType, nullptr);
        break;
    case ekExcitation::BIAS_FILE:
        sim->setBiasData(run.device, run.Vstart, run.Vend, run.Vstep, run.Jinf, run.Jsup,
                         run.biasType, run.biasFile.substr(0, 1023).c_str());
        break;
    default:
        sim->setBiasData(run.device, run.Vstart, run.Vend, run.Vstep, run.Jinf, run.Jsup,
                         run.biasType, nullptr);
        break;
    }
    return !run.isFailed();
}

bool ek_runApplyLight(ekRun& run)
{
    ekSimulator* sim = run.simulator;
    if (run.sweep) {
        run.lightType = ekExcitation::LIGHT_SWEEP;
        run.flux = run.flux < 1e15 ? 1e15 : (run.flux > 1e22 ? 1e22 : run.flux);
    }
    run.equilibriumOnly = !run.isBiasOn() && !run.isLightOn();

    const uint8_t light = run.lightType;
    if (light & 0x40) {
        if (!run.isBiasOn()) {
            run.sigma->update(L"[ERROR]   with AM1.5 light, voltage source must be set\n", 1);
            return false;
        }
        sim->setLightData(run.device, EK_SPECTRUM_AM15_ROWS, ekSpectrumAM15, 0x40);
    } else if (light & 0x80) {
        // Without a voltage source a spectrum file can only be swept
        // wavelength by wavelength.
        if (!run.isBiasOn()) {
            run.sweep = true;
            run.lightType = ekExcitation::LIGHT_SWEEP;
        }
        sim->setLightCustom(run.device, run.excitation->getLightFilename(), run.lightType);
    } else if (ekExcitation::isLightSweep(light)) {
        sim->setLightEQE(run.device, run.Wstart, run.Wend, run.Wstep, run.flux);
    } else if (ekExcitation::isMonoLight(light)) {
        if (!run.isBiasOn()) {
            run.sigma->update(
                L"[ERROR]   with one-point monochromatic light, voltage source must be set\n", 1);
            return false;
        }
        sim->setLightMono(run.device, run.Wstart, run.flux, light);
    } else {
        run.lightType = 0;
        sim->setLightMono(run.device, run.Wstart, 0.0, 0);
    }
    return !run.isFailed();
}

namespace {

// A per-layer mesh whose coarsest layer steps over more than a fifth of the
// thinnest layer gets more points in that layer, so the thin layer is not
// crossed by a handful of points.
void refineCoarsestLayer(ekRun& run)
{
    ElecDevice* device = run.device;
    const int layers = device->getLayerCount();
    double thinnest = 0.0, largestStep = 0.0;
    int coarsest = -1;
    for (int l = 0; l < layers; ++l) {
        const ekLayer* layer = device->getLayer(l);
        const double t = layer->getThickness();
        const int points = layer->getMeshPoints();
        if (coarsest < 0 || t < thinnest) {
            thinnest = t;
        }
        const double step = points > 0 ? t / points : 0.0;
        if (coarsest < 0 || step > largestStep) {
            largestStep = step;
            coarsest = l;
        }
    }
    if (coarsest < 0 || !(thinnest > 0.0) || !(largestStep > 0.2 * thinnest)) {
        return;
    }
    // At least five times the points, and rounded up, so that the step does
    // fall below the threshold: a rounded-down factor could leave it above,
    // and the rewritten input copy would then grow the mesh again when rerun.
    // The count stays within the layer's 5000.
    const double ratio = largestStep / (0.2 * thinnest);
    int factor = ratio > 5000.0 ? 5000 : static_cast<int>(std::ceil(ratio));
    factor = factor < 5 ? 5 : (factor > 5000 ? 5000 : factor);
    ekLayer* layer = device->getLayer(coarsest);
    const long long points = static_cast<long long>(layer->getMeshPoints()) * factor;
    layer->updateMesh(static_cast<int>(points > 5000 ? 5000 : points));
    wchar_t line[160];
    std::swprintf(line, 160,
                  L"[INFO]    too large step relatively to the thinnest layer: increasing the "
                  L"number of points in [Layer%d]...\n",
                  coarsest + 1);
    run.sigma->update(line, 0);
}

}  // namespace

void ek_runMeshSetup(ekRun& run)
{
    // The total only matters for the uniform and exact modes; a file that
    // gives none must not make the per-layer mesh refuse the run.
    int total = run.param->points;
    total = total < DEVICE_POINTS_MIN ? DEVICE_POINTS_MIN : (total > DEVICE_POINTS_MAX ? DEVICE_POINTS_MAX : total);
    run.simulator->setDevice(run.device, total);
}

bool ek_runMesh(ekRun& run)
{
    ekSimulator* sim = run.simulator;
    run.device->updateThickness();
    const double thickness = run.device->getThickness();
    const wchar_t* meshFile = sim->getMeshFilename();
    const wchar_t* guessFile = sim->getInitialGuessFilename();
    if (meshFile[0] != 0 && kov_fileExistsW(meshFile) < 1) {
        run.sigma->update(L"[ERROR]   invalid mesh file\n", 1);
        return false;
    }
    int count = 0;
    if (guessFile[0] != 0) {
        if (kov_fileExistsW(guessFile) < 1) {
            run.sigma->update(L"[ERROR]   invalid initial guess file\n", 1);
            return false;
        }
        count = sim->guessInit(thickness);
    } else if (meshFile[0] != 0) {
        count = sim->meshInit(thickness);
    }
    if (run.isFailed()) {
        return false;
    }
    if (count >= DEVICE_POINTS_MIN && count <= DEVICE_POINTS_MAX) {
        run.param->points = count;
    }
    if (run.param->mesh == nuParam::MESH_LAYER) {
        refineCoarsestLayer(run);
    }
    ek_runMeshSetup(run);
    return !run.isFailed();
}
