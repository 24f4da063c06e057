#include "ekExcitation.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "kovbase.h"

namespace {

// A step may equal its range: end - start carries the rounding of both
// ends (-0.4 - -0.5 gives 0.09999999999999998), so the step is compared
// with a tolerance relative to the values.
bool stepFits(double step, double start, double end)
{
    const double slack = 1e-12 * std::max({std::fabs(start), std::fabs(end), std::fabs(step)});
    return step <= end - start + slack;
}

}  // namespace

ekExcitation::ekExcitation(nuSigma* /*sigma*/)
{
    reset();
}

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

void ekExcitation::setV(double Vstart_, double Vend_, double Vstep_, double Jinf_,
                        double Jsup_, uint8_t biasType_, const wchar_t* biasFile)
{
    const double range = Vend_ - Vstart_;
    const bool valid = kov_inRange(Vstart_, -100.0, 100.0) && kov_inRange(Vend_, -100.0, 100.0)
                       && range >= 0.0 && stepFits(Vstep_, Vstart_, Vend_)
                       && kov_inRange(Jinf_, -1e6, 1e6)
                       && kov_inRange(Jsup_, -1e6, 1e6) && Jinf_ < Jsup_
                       && (biasType_ == BIAS_OFF || biasType_ == BIAS_SWEEP
                           || biasType_ == BIAS_FILE);
    if (!valid) {
        biasType = BIAS_OFF;
        return;
    }
    Vstart = Vstart_;
    Vend = Vend_;
    Vstep = Vstep_;
    Jinf = Jinf_;
    Jsup = Jsup_;
    biasType = biasType_;
    if (biasFile != nullptr)
        kov_copyW(biasFilename, FILENAME_SIZE, biasFile);
}

void ekExcitation::getV(double* Vstart_, double* Vend_, double* Vstep_, double* Jinf_,
                        double* Jsup_, uint8_t* biasType_, wchar_t* biasFile) const
{
    if (!Vstart_ || !Vend_ || !Vstep_ || !Jinf_ || !Jsup_ || !biasType_)
        return;
    *Vstart_ = Vstart;
    *Vend_ = Vend;
    *Vstep_ = Vstep;
    *Jinf_ = Jinf;
    *Jsup_ = Jsup;
    *biasType_ = biasType;
    if (biasFile != nullptr)
        kov_copyW(biasFile, FILENAME_SIZE, biasFilename);
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

void ekExcitation::setW(double Wstart_, double Wend_, double Wstep_, double flux_,
                        uint8_t lightType_, bool qeSweep_)
{
    const bool valid = kov_inRange(Wstart_, 0.1, 10.0) && kov_inRange(Wend_, 0.1, 10.0)
                       && Wstart_ <= Wend_ && stepFits(Wstep_, Wstart_, Wend_)
                       && kov_inRange(flux_, 0.0, 1e28);
    if (!valid) {
        lightType = LIGHT_OFF;
        qeSweep = false;
        return;
    }
    Wstart = Wstart_;
    Wend = Wend_;
    Wstep = Wstep_;
    flux[0] = flux[1] = flux[2] = flux_;
    lightType = lightType_;
    qeSweep = qeSweep_;
}

void ekExcitation::getW(double* Wstart_, double* Wend_, double* Wstep_, double* flux_,
                        uint8_t* lightType_, bool* qeSweep_) const
{
    if (!Wstart_ || !Wend_ || !Wstep_ || !flux_ || !lightType_)
        return;
    *Wstart_ = Wstart;
    *Wend_ = Wend;
    *Wstep_ = Wstep;
    *flux_ = flux[2];
    *lightType_ = lightType;
    if (qeSweep_ != nullptr)
        *qeSweep_ = qeSweep;
}

bool ekExcitation::setW(const wchar_t* name)
{
    if (name == nullptr || name[0] == L'\0') {
        const bool wasCustom = isCustomSpectrum();
        lightFilename[0] = L'\0';
        if (wasCustom)
            lightType = LIGHT_OFF;
        return false;
    }
    kov_copyW(lightFilename, FILENAME_SIZE, name);
    if (!isCustomSpectrum())
        return false;
    lightType = LIGHT_FILE;
    return true;
}

void ekExcitation::getW(wchar_t* buffer) const
{
    if (buffer != nullptr)
        kov_copyW(buffer, FILENAME_SIZE, lightFilename);
}

void ekExcitation::setLightFilename(const wchar_t* name)
{
    kov_copyW(lightFilename, FILENAME_SIZE, name);
}

bool ekExcitation::isCustomSpectrum() const
{
    const size_t length = std::wcslen(lightFilename);
    if (length < 5 || length > FILENAME_SIZE - 1)
        return false;
    return kov_endsWith(lightFilename, L".txt") || kov_endsWith(lightFilename, L".dat");
}
