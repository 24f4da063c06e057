// A device built in code and a simulator on it, for the mesh and structure
// tests, with a scratch folder for the files they read and write.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "ElecDevice.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "ekSimulator.h"
#include "nucore.h"
#include "tempFolder.h"

class SimulatorFixture : public ::testing::Test {
protected:
    nuSigma sigma;
    nuParam param;
    ElecDevice device{&sigma, &param};
    ekSimulator sim{&sigma, &param};
    // A folder of its own for each test, named after it and removed with it.
    TempFolder scratchFolder{TempFolder::prefixForTest("kovra_sim_")};
    std::filesystem::path scratch = scratchFolder.folder();

    void SetUp() override
    {
        ASSERT_FALSE(scratch.empty());
        sim.setOutputDir((scratch.wstring() + L"/").c_str());
    }

    // A layer of material with thickness (um), dopant kind and density
    // (1/cm3) and per-layer point count.
    ekLayer* addLayer(const wchar_t* material, double thickness, uint8_t type, double N,
                      int points = 100)
    {
        ekLayer* layer = device.addLayer(material, L"LayerX", type);
        EXPECT_NE(layer, nullptr);
        layer->updateMain(L"LayerX", type, thickness, 0.0, 0.0);
        layer->updateDopant(type, N, 1e19);
        layer->updateMesh(points);
        return layer;
    }

    // Meshes the device in the given mode and point count.
    void build(uint8_t mode, int total)
    {
        param.mesh = mode;
        device.updateThickness();
        sim.setDevice(&device, total);
    }

    std::wstring path(const char* name) const { return (scratch / name).wstring(); }

    std::wstring writeFile(const char* name, const std::string& text) const
    {
        std::ofstream out(scratch / name);
        out << text;
        return path(name);
    }

    std::string readFile(const std::wstring& file) const
    {
        std::ifstream in(std::filesystem::path{file});
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::wstring lastMessage() const { return sigma.message; }
    bool messageHas(const wchar_t* text) const
    {
        return lastMessage().find(text) != std::wstring::npos;
    }
};
