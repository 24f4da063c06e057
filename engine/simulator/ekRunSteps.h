// The objects and settings of one run of ek_runSimulation and the set-up
// steps that run before the solvers: bias, light and mesh.
#pragma once

#include <cstdint>
#include <string>

#include "ekExcitation.h"

class nuSigma;
class nuParam;
class ElecDevice;
class ekSimulator;
class ekInput;

struct ekRun {
    nuSigma* sigma = nullptr;
    nuParam* param = nullptr;
    ElecDevice* device = nullptr;
    ekSimulator* simulator = nullptr;
    ekInput* input = nullptr;
    ekExcitation* excitation = nullptr;

    // Bias and light settings as the excitation holds them after loading;
    // lightType and sweep are the run's copies, which the light set-up
    // changes.
    double Vstart = 0.0, Vend = 0.0, Vstep = 0.0, Jinf = 0.0, Jsup = 0.0;
    uint8_t biasType = 0;
    std::wstring biasFile;
    double Wstart = 0.0, Wend = 0.0, Wstep = 0.0, flux = 0.0;
    uint8_t lightType = 0;
    bool sweep = false;
    bool equilibriumOnly = false;
    int folderLock = -1;  // the output folder's lock, held for the whole run

    ekRun() = default;
    ekRun(const ekRun&) = delete;
    ekRun& operator=(const ekRun&) = delete;
    // Frees what exists: device, excitation, simulator, reader, settings,
    // channel (the device goes first, while the channel still exists).
    ~ekRun();

    bool isBiasOn() const { return (biasType & ekExcitation::BIAS_ON_MASK) != 0; }
    bool isLightOn() const { return (lightType & ekExcitation::LIGHT_ON_MASK) != 0; }
    bool isFailed() const;
    // The bias start voltage (V): the quantum-efficiency sweep runs there.
    double startVoltage() const { return isBiasOn() ? Vstart : 0.0; }
};

// Reads the bias and light settings back from the excitation.
void ek_runReadSettings(ekRun& run);
// Builds the bias sweep record. False ends the run.
bool ek_runApplyBias(ekRun& run);
// Installs the light. False ends the run.
bool ek_runApplyLight(ekRun& run);
// Mesh and initial-guess files, the per-layer step rule and the mesh
// set-up with the structure initialisation. False ends the run.
bool ek_runMesh(ekRun& run);
// The mesh set-up alone (point count by mode, arrays, structure).
void ek_runMeshSetup(ekRun& run);
