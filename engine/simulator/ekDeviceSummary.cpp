// "simuldevice.txt": a readable summary of the device the run simulates,
// written before anything is solved.
#include <algorithm>
#include <cwchar>
#include <string>

#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "ekResultWriter.h"
#include "ekLimits.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

// Longest output folder that still leaves room for a file name.
constexpr size_t FOLDER_MAX = 991;

std::wstring layerBlock(int number, const ekLayer* layer)
{
    const ekLevel* dopant = layer->getDopant();
    const bool donor = dopant != nullptr && dopant->getType() == ekLimits::KIND_DONOR;
    std::wstring text =
        L"   Layer" + std::to_wstring(number) + L":\n     " + (donor ? L"ND" : L"NA") + L" = ";
    ekResult::appendNumber(text, dopant != nullptr ? dopant->getN() : 0.0);
    text += L" 1/cm3   t = ";
    ekResult::appendNumber(text, layer->getThickness());
    text += L" um   Eg = ";
    ekResult::appendNumber(text, layer->getBandgap());
    text += L" eV   Chi = ";
    ekResult::appendNumber(text, layer->getAffinity());
    text += L" eV   un = ";
    ekResult::appendNumber(text, layer->getMobn());
    text += L" cm2/Vs   up = ";
    ekResult::appendNumber(text, layer->getMobp());
    text += L" cm2/Vs\n";
    return text;
}

}  // namespace

void ekSimulator::saveDevice()
{
    if (isBlocked()) {
        return;
    }
    ek_resetSigma(sigma);
    std::wstring path(output.folder, std::min(std::wcslen(output.folder), FOLDER_MAX));
    path += L"simuldevice.txt";
    if (!ekResult::deviceValid(device, deviceLength * norm.length, Points, sigma)) {
        return;
    }
    FILE* f = ekResult::open(path);
    if (f == nullptr) {
        ekResult::logCannotOpen(sigma, path);
        return;
    }
    printHeader(f, TAG_DE);
    std::wstring text = L"#\n";
    const int layers = device->getLayerCount();
    if (layers < 1) {
        text += L"[ERROR]   The device '";
        text += device->getName();
        text += L"' does not contain any layer.\n";
    } else {
        if (sigma->isVerbose()) {
            text += L"Device '";
            text += device->getName();
            text += L"': " + std::to_wstring(layers) + (layers == 1 ? L" layer:\n" : L" layers:\n");
        }
        for (int i = 0; i < layers; ++i) {
            const ekLayer* layer = device->getLayer(i);
            if (layer != nullptr) {
                text += layerBlock(i + 1, layer);
            }
        }
    }
    kov_FileWriteW(f, text.c_str());
    if (!ekResult::close(f, sigma)) {
        return;
    }
    if (sigma->isVerbose()) {
        sigma->update(
            ek_format(L"[INFO]    device summary saved to \"%ls\"\n", path.c_str()).c_str(), 0);
    }
}
