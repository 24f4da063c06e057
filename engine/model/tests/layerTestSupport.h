// Shared helpers of the region and layer tests: a layer whose stored fields
// a test may set directly (to reach states no setter allows), temporary
// files, and the status channel's last line.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ekLayer.h"
#include "ekLevel.h"
#include "kovbase.h"
#include "nuSigma.h"
#include "tempFolder.h"

// Opens the protected fields the tests need to poke.
class ProbeLayer : public ekLayer {
public:
    using ekLayer::Beta;
    using ekLayer::Chi;
    using ekLayer::Cp;
    using ekLayer::Ebr;
    using ekLayer::Eg;
    using ekLayer::ekLayer;
    using ekLayer::Eps;
    using ekLayer::Eso;
    using ekLayer::Heat;
    using ekLayer::LatticeA;
    using ekLayer::LatticeB;
    using ekLayer::LatticeC;
    using ekLayer::LatticeC11;
    using ekLayer::LatticeC13;
    using ekLayer::LatticeE31;
    using ekLayer::LatticeE33;
    using ekLayer::Me;
    using ekLayer::Mobn;
    using ekLayer::NC;
    using ekLayer::NV;
    using ekLayer::Psp;
    using ekLayer::script;
    using ekLayer::scriptActive;
    using ekLayer::Taup;
    using ekLayer::Thermc;
    using ekLayer::urbach;
    using ekLayer::UrbachEA;
    using ekLayer::UrbachGD;
    using ekLayer::UrbachTaupD;
};

inline std::wstring lastLine(const nuSigma& sigma) { return sigma.message; }

// A file in a private temporary folder, removed with the object.
class TempFile {
public:
    TempFile(const std::string& fileName, const std::string& content)
        : filePath(folder.write(fileName, content))
    {
    }
    std::wstring path() const { return filePath.wstring(); }

private:
    TempFolder folder{"kovra_layers_"};
    std::filesystem::path filePath;
};
