// Shared fixtures of the device-file tests: the objects of one run as the
// run entry creates them, a scratch folder and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ElecDevice.h"
#include "ekContact.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "ekExcitation.h"
#include "ekInput.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"
#include "tempFolder.h"

namespace inputtest {

inline std::string corpusPath(const std::string& name)
{
    return std::string(KOVRA_SOURCE_DIR) + "/engine/input/tests/corpus/" + name;
}

inline std::string examplesPath(const std::string& name)
{
    return std::string(KOVRA_SOURCE_DIR) + "/examples/" + name;
}

// Every "*.kovra" file of a folder, sorted.
inline std::vector<std::string> deviceFiles(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".kovra") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string readText(const std::string& path) { return readAll(path); }

// One n-type layer, four lines: the body most device files of these tests start with.
const std::string LAYER = "[Layer1]\n    Thickness=1\n    Dopant.Type=\"N\"\n    Dopant.N=1e16\n";

// Writes "# Kovra <SL>" and body into a device file of the scratch folder.
inline std::string deviceFile(const TempFolder& scratch, const std::string& body,
                              const std::string& name = "device.kovra")
{
    const std::string path = scratch.file(name);
    writeText(path, "# Kovra <SL>\n" + body);
    return path;
}

// The objects of one run, made as the run entry makes them, and one load.
struct DeviceRun {
    // Every line given to the channel also goes to this log file when set.
    explicit DeviceRun(uint8_t outputType = 0, const std::string& logFile = "")
    {
        sigma.reset();
        sigma.setOutputType(outputType);
        if (!logFile.empty()) {
            sigma.setOutputType(static_cast<uint8_t>(outputType | nuSigma::OUTPUT_LOGFILE));
            kov_copyW(sigma.logFilename, nuSigma::PATH_SIZE, kov_toWide(logFile).c_str());
        }
        param.reset();
        param.mesh = nuParam::MESH_LAYER;
        device = std::make_unique<ElecDevice>(&sigma, &param);
        simulator = std::make_unique<ekSimulator>(&sigma, &param);
        excitation = std::make_unique<ekExcitation>(&sigma);
        excitation->reset();
    }

    bool load(const std::string& path, int lineBefore = -1)
    {
        line = lineBefore;
        return input.load(kov_toWide(path).c_str(), simulator.get(), device.get(), excitation.get(),
                          &sigma, &param, &line);
    }

    bool save(const std::string& path)
    {
        return input.save(kov_toWide(path).c_str(), simulator.get(), device.get(), excitation.get(),
                          &sigma, &param);
    }

    std::string message() const { return kov_toUtf8(sigma.message); }

    ekLayer* layer(int index) const { return device->getLayer(index); }

    nuSigma sigma;
    nuParam param;
    std::unique_ptr<ElecDevice> device;
    std::unique_ptr<ekSimulator> simulator;
    std::unique_ptr<ekExcitation> excitation;
    ekInput input;
    int line = -1;
};

}  // namespace inputtest
