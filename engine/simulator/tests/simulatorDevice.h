// Small devices built in code for the solver tests: a layer stack with its
// doping, thickness and mesh, two contacts, and a simulator on it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ElecDevice.h"
#include "ekContact.h"
#include "ekLayer.h"
#include "ekSimulator.h"
#include "nuParam.h"
#include "nuSigma.h"
#include "tempFolder.h"

struct LayerSpec {
    const wchar_t* material;
    uint8_t type;      // 0x10 donor, 0x20 acceptor
    double N;          // 1/cm3
    double thickness;  // um
    int points;
    double trapN = 0.0;     // a midgap acceptor-like trap of this density, 1/cm3
    double trapTau = 1e-6;  // its electron and hole lifetimes, s
};

struct ContactSpec {
    uint8_t type = ekContact::TYPE_OHMIC;
    double phi = 0.0;      // eV
    double S = 1e7;        // cm/s, both carriers
    uint8_t boundary = 0;  // 0: left to the solver's default
    bool tunnel = false;
};

class SimulatorDevice {
public:
    nuSigma sigma;
    nuParam param;
    std::unique_ptr<ElecDevice> device;
    std::unique_ptr<ekSimulator> sim;

private:
    // Declared before folder, which is taken from it; removed after the
    // destructor has let go of the simulator that writes into it.
    TempFolder scratch{"kovra_sim_"};

public:
    // Result files of the solves go to a folder of this device's own (no
    // trailing '/'; empty when it could not be made).
    std::filesystem::path folder = scratch.path().empty()
                                       ? std::string()
                                       : scratch.path().substr(0, scratch.path().size() - 1);

    SimulatorDevice() { param.reset(); }
    ~SimulatorDevice() { sim.reset(); }

    // Builds the stack and lays it on a per-layer mesh; false (with the
    // status line in sigma.message) when anything is refused.
    bool build(const std::vector<LayerSpec>& layers, const ContactSpec& anode = {},
               const ContactSpec& cathode = {})
    {
        device = std::make_unique<ElecDevice>(&sigma, &param);
        for (size_t l = 0; l < layers.size(); ++l) {
            const LayerSpec& s = layers[l];
            const std::wstring name = L"L" + std::to_wstring(l + 1);
            ekLayer* layer = device->addLayer(s.material, name.c_str(), s.type);
            if (layer == nullptr || !layer->updateDopant(s.type, s.N, 1e22)) {
                return false;
            }
            if (s.trapN > 0.0 && layer->addTrap(L"T1", 0x20, s.trapN, 1e22, 0.0, 0.0, s.trapTau,
                                                s.trapTau, 1.0, false) == nullptr) {
                return false;
            }
            layer->updateThickness(s.thickness);
            layer->updateMesh(s.points);
        }
        device->updateThickness();
        ekLayer* first = device->getFirstLayer();
        ekLayer* last = device->getLastLayer();
        if (!device->updateAnode(L"Anode", anode.phi, anode.S, anode.S, anode.type, anode.tunnel,
                                 first, 0) ||
            !device->updateCathode(L"Cathode", cathode.phi, cathode.S, cathode.S, cathode.type,
                                   cathode.tunnel, last, 0)) {
            return false;
        }
        setBoundary(device->getAnode(), anode.boundary);
        setBoundary(device->getCathode(), cathode.boundary);
        sim = std::make_unique<ekSimulator>(&sigma, &param);
        sim->setOutputDir((folder.wstring() + L"/").c_str());
        param.mesh = nuParam::MESH_LAYER;
        sim->setDevice(device.get(), 100);
        return sigma.isOK() && sim->getPoints() > 0;
    }

    // The equilibrium solve with the engine's own settings.
    int solveEquilibrium()
    {
        param.method = nuParam::METHOD_GUMMEL;
        param.dampMode = 0x50;
        return sim->setEquilibrium();
    }

    bool converged() const { return sigma.isOK() && param.lastError < param.reltol; }

    // Every line of the status channel also goes to a log file in the
    // folder; log() reads it back.
    void keepLog(uint8_t outputType)
    {
        const std::wstring path = (folder / "simulog.txt").wstring();
        path.copy(sigma.logFilename, nuSigma::PATH_SIZE - 1);
        sigma.outputType = outputType | nuSigma::OUTPUT_LOGFILE;
    }
    std::string log() const
    {
        std::ifstream in(folder / "simulog.txt");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    static void setBoundary(ekContact* contact, uint8_t boundary)
    {
        if (boundary != 0) {
            contact->setBoundary(boundary);
            contact->setBoundarySet(true);
        }
    }
};

// A silicon p-n junction: p-type at the anode, n-type at the cathode.
inline std::vector<LayerSpec> siliconJunction(double Na, double Nd, int pointsPerLayer = 200,
                                              double thickness = 2.0)
{
    return {{L"Si", 0x20, Na, thickness, pointsPerLayer},
            {L"Si", 0x10, Nd, thickness, pointsPerLayer}};
}
