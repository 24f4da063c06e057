// Set-up steps of a run before the solvers: bias, light and mesh.
#include <algorithm>
#include <cwchar>

#include "ekLimits.h"
#include "ekPointLimits.h"
#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekExcitation.h"
#include "ekInput.h"
#include "ekLayer.h"
#include "ekMesh.h"
#include "ekRunFolders.h"
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
    ek_unlockOutputFolder(folderLock);
    delete device;
    delete excitation;
    delete simulator;
    delete input;
    delete param;
    delete sigma;
}

bool ekRun::isFailed() const { return sigma->err != 0; }

void ek_runReadSettings(ekRun& run)
{
    wchar_t file[ekExcitation::FILENAME_SIZE] = {};
    run.excitation->getV(&run.Vstart, &run.Vend, &run.Vstep, &run.Jinf, &run.Jsup, &run.biasType,
                         file);
    run.biasFile = file;
    run.excitation->getW(&run.Wstart, &run.Wend, &run.Wstep, &run.flux, &run.lightType, &run.sweep);
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
        run.flux = std::clamp(run.flux, ekLimits::QE_FLUX_MIN, ekLimits::QE_FLUX_MAX);
    }
    run.equilibriumOnly = !run.isBiasOn() && !run.isLightOn();

    const uint8_t light = run.lightType;
    if (light & ekExcitation::LIGHT_AM15) {
        if (!run.isBiasOn()) {
            run.sigma->error(L"with AM1.5 light, voltage source must be set");
            return false;
        }
        sim->setLightData(run.device, EK_SPECTRUM_AM15_ROWS, ekSpectrumAM15,
                          ekExcitation::LIGHT_AM15);
    } else if (light & ekExcitation::LIGHT_FILE) {
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
            run.sigma->error(L"with one-point monochromatic light, voltage source must be set");
            return false;
        }
        sim->setLightMono(run.device, run.Wstart, run.flux, light);
    } else {
        run.lightType = 0;
        sim->setLightMono(run.device, run.Wstart, 0.0, 0);
    }
    return !run.isFailed();
}

void ek_runMeshSetup(ekRun& run)
{
    // The total only matters for the uniform and exact modes; a file that
    // gives none must not make the per-layer mesh refuse the run.
    int total = run.param->points;
    total = total < DEVICE_POINTS_MIN ? DEVICE_POINTS_MIN
                                      : (total > DEVICE_POINTS_MAX ? DEVICE_POINTS_MAX : total);
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
        run.sigma->error(L"invalid mesh file");
        return false;
    }
    int count = 0;
    if (guessFile[0] != 0) {
        if (kov_fileExistsW(guessFile) < 1) {
            run.sigma->error(L"invalid initial guess file");
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
        const int refined = ek_refineCoarsestLayer(run.device);
        if (refined >= 0) {
            wchar_t line[160];
            std::swprintf(line, 160,
                          L"[INFO]    too large step relatively to the thinnest layer: increasing "
                          L"the number of points in [Layer%d]...\n",
                          refined + 1);
            run.sigma->update(line, 0);
        }
    }
    ek_runMeshSetup(run);
    return !run.isFailed();
}
