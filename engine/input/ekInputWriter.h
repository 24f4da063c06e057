// The sections ekInput::save builds in its configuration store, one per
// part of the device and settings (ekInputSave.cpp, ekInputSaveLayer.cpp).
// Internal to the writer; nothing outside includes it.
#pragma once

#include <string>

#include "ekInput.h"

class ekLayer;

class ekInputWriter {
public:
    ekInputWriter(ekInput& store, ekSimulator* simulator, ElecDevice* device,
                  ekExcitation* excitation, nuSigma* sigma, nuParam* param);
    ekInputWriter(const ekInputWriter&) = delete;
    ekInputWriter& operator=(const ekInputWriter&) = delete;

    // Every section in file order; false after a level-1 line on sigma.
    bool fillSections();

    // Numbers as the file keeps them: the shortest text that reads back
    // to the same double.

private:
    bool begin(const wchar_t* name);
    void add(const wchar_t* key, const std::wstring& value, bool quoted);
    void addText(const wchar_t* key, const wchar_t* value);
    void addNumber(const wchar_t* key, double value);
    void addInteger(const wchar_t* key, int value);

    bool addLayer(int number, const ekLayer* layer);
    // A layer value, left out when it equals the reference layer's (the
    // material's own value); reference null writes it always.
    void addLayerNumber(const wchar_t* key, double value, double referenceValue,
                        const ekLayer* reference);
    void addLayerWord(const wchar_t* key, const wchar_t* value, const wchar_t* referenceValue,
                      const ekLayer* reference);
    void addLayerDopant(const ekLayer* layer);
    void addLayerTraps(const ekLayer* layer);
    void addLayerModels(const ekLayer* layer);

    bool addContact(bool anode);
    void addVoltage();
    void addLight();
    void addNumeric();
    void addCommand();

    ekInput& store;
    ekSimulator* simulator;
    ElecDevice* device;
    ekExcitation* excitation;
    nuSigma* sigma;
    nuParam* param;
    foSection* currentSection = nullptr;
    bool ok = true;      // every value was taken by the store
    bool alloy = false;  // the layer being written takes values from its end members
};
