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
    using ekLayer::ekLayer;
    using ekLayer::Eg;
    using ekLayer::Chi;
    using ekLayer::NC;
    using ekLayer::NV;
    using ekLayer::Eps;
    using ekLayer::Me;
    using ekLayer::Eso;
    using ekLayer::UrbachEA;
    using ekLayer::UrbachGD;
    using ekLayer::UrbachTaupD;
    using ekLayer::urbach;
    using ekLayer::Thermc;
    using ekLayer::Heat;
    using ekLayer::Ebr;
    using ekLayer::Mobn;
    using ekLayer::Beta;
    using ekLayer::Cp;
    using ekLayer::Taup;
    using ekLayer::LatticeA;
    using ekLayer::LatticeB;
    using ekLayer::LatticeC;
    using ekLayer::LatticeE31;
    using ekLayer::LatticeE33;
    using ekLayer::LatticeC11;
    using ekLayer::LatticeC13;
    using ekLayer::Psp;
    using ekLayer::script;
    using ekLayer::scriptActive;
};

inline std::wstring lastLine(const nuSigma& sigma)
{
    return sigma.message;
}

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
