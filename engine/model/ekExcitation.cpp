#include "ekExcitation.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "kovbase.h"

ekExcitation::ekExcitation(nuSigma* /*sigma*/) { reset(); }

void ekExcitation::reset()
{
    Vstart = 0.0;
    Vend = 0.5;
    Vstep = 0.01;
    Jinf = -1000.0;
    Jsup = 1000.0;
    biasType = BIAS_SWEEP;
    Wstart = 0.3;
    Wend = 1.2;
    Wstep = 0.01;
    flux[0] = flux[1] = flux[2] = 1e17;
    lightType = LIGHT_OFF;
    qeSweep = false;
    lightFilename[0] = L'\0';
    biasFilename[0] = L'\0';
}

bool ekExcitation::stepFits(double step, double start, double end)
{
    const double slack = 1e-12 * std::max({std::fabs(start), std::fabs(end), std::fabs(step)});
    return step <= end - start + slack;
}

void ekExcitation::setV(double newVstart, double newVend, double newVstep, double newJinf,
                        double newJsup, uint8_t newBiasType, const wchar_t* biasFile)
{
    const double range = newVend - newVstart;
    const bool valid =
        kov_inRange(newVstart, -100.0, 100.0) && kov_inRange(newVend, -100.0, 100.0) &&
        range >= 0.0 && stepFits(newVstep, newVstart, newVend) && kov_inRange(newJinf, -1e6, 1e6) &&
        kov_inRange(newJsup, -1e6, 1e6) && newJinf < newJsup &&
        (newBiasType == BIAS_OFF || newBiasType == BIAS_SWEEP || newBiasType == BIAS_FILE);
    if (!valid) {
        biasType = BIAS_OFF;
        return;
    }
    Vstart = newVstart;
    Vend = newVend;
    Vstep = newVstep;
    Jinf = newJinf;
    Jsup = newJsup;
    biasType = newBiasType;
    if (biasFile != nullptr) {
        kov_copyW(biasFilename, FILENAME_SIZE, biasFile);
    }
}

void ekExcitation::getV(double* newVstart, double* newVend, double* newVstep, double* newJinf,
                        double* newJsup, uint8_t* newBiasType, wchar_t* biasFile) const
{
    if (!newVstart || !newVend || !newVstep || !newJinf || !newJsup || !newBiasType) {
        return;
    }
    *newVstart = Vstart;
    *newVend = Vend;
    *newVstep = Vstep;
    *newJinf = Jinf;
    *newJsup = Jsup;
    *newBiasType = biasType;
    if (biasFile != nullptr) {
        kov_copyW(biasFile, FILENAME_SIZE, biasFilename);
    }
}

void ekExcitation::setBiasFilename(const wchar_t* name)
{
    if (name == nullptr || name[0] == L'\0') {
        biasFilename[0] = L'\0';
        return;
    }
    kov_copyW(biasFilename, FILENAME_SIZE, name);
    biasType = BIAS_FILE;
}

void ekExcitation::setW(double newWstart, double newWend, double newWstep, double newFlux,
                        uint8_t newLightType, bool newQeSweep)
{
    const bool valid = kov_inRange(newWstart, 0.1, 10.0) && kov_inRange(newWend, 0.1, 10.0) &&
                       newWstart <= newWend && stepFits(newWstep, newWstart, newWend) &&
                       kov_inRange(newFlux, 0.0, 1e28);
    if (!valid) {
        lightType = LIGHT_OFF;
        qeSweep = false;
        return;
    }
    Wstart = newWstart;
    Wend = newWend;
    Wstep = newWstep;
    flux[0] = flux[1] = flux[2] = newFlux;
    lightType = newLightType;
    qeSweep = newQeSweep;
}

void ekExcitation::getW(double* newWstart, double* newWend, double* newWstep, double* newFlux,
                        uint8_t* newLightType, bool* newQeSweep) const
{
    if (!newWstart || !newWend || !newWstep || !newFlux || !newLightType) {
        return;
    }
    *newWstart = Wstart;
    *newWend = Wend;
    *newWstep = Wstep;
    *newFlux = flux[2];
    *newLightType = lightType;
    if (newQeSweep != nullptr) {
        *newQeSweep = qeSweep;
    }
}

bool ekExcitation::setW(const wchar_t* name)
{
    if (name == nullptr || name[0] == L'\0') {
        const bool wasCustom = isCustomSpectrum();
        lightFilename[0] = L'\0';
        if (wasCustom) {
            lightType = LIGHT_OFF;
        }
        return false;
    }
    kov_copyW(lightFilename, FILENAME_SIZE, name);
    if (!isCustomSpectrum()) {
        return false;
    }
    lightType = LIGHT_FILE;
    return true;
}

void ekExcitation::getW(wchar_t* buffer) const
{
    if (buffer != nullptr) {
        kov_copyW(buffer, FILENAME_SIZE, lightFilename);
    }
}

void ekExcitation::setLightFilename(const wchar_t* name)
{
    kov_copyW(lightFilename, FILENAME_SIZE, name);
}

bool ekExcitation::isCustomSpectrum() const
{
    const size_t length = std::wcslen(lightFilename);
    if (length < 5 || length > FILENAME_SIZE - 1) {
        return false;
    }
    return kov_endsWith(lightFilename, L".txt") || kov_endsWith(lightFilename, L".dat");
}
