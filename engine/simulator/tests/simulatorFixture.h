// A device built in code and a simulator on it, for the mesh and structure
// tests, with a scratch folder for the files they read and write.
#pragma once

#include <unistd.h>

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

class SimulatorFixture : public ::testing::Test {
protected:
    nuSigma sigma;
    nuParam param;
    ElecDevice device{&sigma, &param};
    ekSimulator sim{&sigma, &param};
    std::filesystem::path scratch;

    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The process id keeps the runs of several build trees, testing at
        // once, out of each other's folders.
        scratch = std::filesystem::temp_directory_path() /
                  (std::string("kovra_sim_") + info->test_suite_name() + "_" + info->name() + "_" +
                   std::to_string(getpid()));
        std::filesystem::remove_all(scratch);
        std::filesystem::create_directories(scratch);
        sim.setOutputDir((scratch.wstring() + L"/").c_str());
    }
    void TearDown() override { std::filesystem::remove_all(scratch); }

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
    bool messageHas(const wchar_t* text) const { return lastMessage().find(text) != std::wstring::npos; }
};
