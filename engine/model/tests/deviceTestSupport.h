// Shared set-up of the device, contact, interface and variable tests: one
// status channel and numeric settings per test, a device on them, and the
// last line the channel received.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ElecDevice.h"
#include "ekLayer.h"
#include "nuParam.h"
#include "nuSigma.h"

class DeviceTest : public ::testing::Test {
protected:
    nuSigma sigma;
    nuParam param;
    std::unique_ptr<ElecDevice> device = std::make_unique<ElecDevice>(&sigma, &param);

    std::wstring lastLine() const { return sigma.message; }

    // Appends layers named by the given texts, each of material Si.
    void addLayers(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names) {
            ASSERT_NE(device->addLayer(L"Si", name, 0x10), nullptr);
        }
    }

    // The layer names of the stack, joined by blanks.
    std::wstring stackNames() const
    {
        std::wstring names;
        for (int i = 0; i < device->getLayerCount(); ++i) {
            if (!names.empty()) {
                names += L' ';
            }
            names += device->getLayer(i)->getName();
        }
        return names;
    }
};

// Reaches a layer's protected bandgap without pretending the layer is of
// another class: a pointer to the inherited member applies to any ekLayer.
struct LayerGap : ekLayer {
    static void set(ekLayer* layer, double Eg) { layer->*(&LayerGap::Eg) = Eg; }
};
