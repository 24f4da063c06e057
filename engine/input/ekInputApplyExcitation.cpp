// Device-file reader: the bias sweep ([Voltage]) and the light ([Light])
// of the excitation.
#include <cmath>
#include <algorithm>
#include <cwchar>
#include <utility>

#include "ElecDevice.h"
#include "ekFormat.h"
#include "ElecSweep.h"
#include "ekLayer.h"
#include "ekLimits.h"
#include "ekExcitation.h"
#include "ekInputReader.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr double WAVELENGTH_MIN = kov_keyLimit(KovKeySection::LIGHT, "Light.Start").minimum;
constexpr double WAVELENGTH_MAX = kov_keyLimit(KovKeySection::LIGHT, "Light.Start").maximum;
constexpr double FLUX_MAX = kov_keyLimit(KovKeySection::LIGHT, "Light.Flux").maximum;

}  // namespace

// The rules of a sweep, each refusal naming the key that breaks one: the
// voltages within their range and within 20 bandgaps of the first layer
// (the bandgap in eV read as volts), Start not above End, the step from a
// thousandth of the thermal voltage (smaller steps differ by less than
// the solver's error) up to End - Start and to a fifth of the bandgap.
bool ekInputReader::checkSweep(double start, double end, double step)
{
    const wchar_t* s = L"Voltage";
    if (!checkRange(s, L"Voltage.Start") || !checkRange(s, L"Voltage.End")) {
        return false;
    }
    const ekLayer* first = device->getFirstLayer();
    const double Eg = first != nullptr ? first->getBandgap() : 0.0;
    const std::wstring bandgap = L"the bandgap of Layer1, " + nu_numberText(Eg) + L" eV";
    const double reach = ekLimits::BIAS_RANGE_BANDGAPS * Eg;
    for (const auto& [key, value] :
         {std::pair{L"Voltage.Start", start}, std::pair{L"Voltage.End", end}}) {
        if (first != nullptr && !(std::fabs(value) <= reach)) {
            return refuseValue(s, key,
                               L"from " + nu_numberText(-reach) + L" to " + nu_numberText(reach) +
                                   L" V, " + nu_numberText(ekLimits::BIAS_RANGE_BANDGAPS) +
                                   L" times " + bandgap);
        }
    }
    if (start > end) {
        return refuseValue(
            s, L"Voltage.End",
            ek_format(L"at least Voltage.Start, %ls V at line %d: a sweep runs "
                      L"upwards from Voltage.Start to Voltage.End",
                      nu_numberText(start).c_str(), keyLine(s, L"Voltage.Start") + 1));
    }
    const double Vt = simulator->getNorm().Vt;
    const double stepMin = ekLimits::BIAS_STEP_MIN * Vt;
    const double stepMax = ekLimits::BIAS_STEP_BANDGAPS * Eg;
    const std::wstring temperature = nu_numberText(device->getT());
    if (start == end) {
        // One bias: no step is walked.
        if (step > 0.0) {
            return refuseValue(s, L"Voltage.Step",
                               L"0 when Voltage.Start equals Voltage.End, a sweep of one bias");
        }
        return true;
    }
    if (!(step >= stepMin)) {
        return refuseValue(s, L"Voltage.Step",
                           L"from " + nu_numberText(stepMin) +
                               L" V, a thousandth of the thermal voltage kT/q at " + temperature +
                               L" K, to the smaller of End - Start, " + nu_numberText(end - start) +
                               L" V, and " + nu_numberText(stepMax) + L" V, a fifth of " + bandgap);
    }
    if (!ekExcitation::stepFits(step, start, end)) {
        return refuseValue(s, L"Voltage.Step",
                           L"at most End - Start, " + nu_numberText(end - start) + L" V");
    }
    if (first != nullptr && !(step <= stepMax)) {
        return refuseValue(s, L"Voltage.Step",
                           L"at most " + nu_numberText(stepMax) + L" V, a fifth of " + bandgap);
    }
    return true;
}

bool ekInputReader::applyVoltage()
{
    const wchar_t* s = L"Voltage";
    const int line = headerLine(ekInput::SECTION_VOLTAGE);
    double start = -1.0, end = 1.0, step = 0.02, Jinf = -1000.0, Jsup = 1000.0;
    const bool hasStart = real(s, L"Voltage.Start", &start);
    const bool hasEnd = real(s, L"Voltage.End", &end);
    const bool hasStep = real(s, L"Voltage.Step", &step);
    real(s, L"Voltage.Jinf", &Jinf);
    real(s, L"Voltage.Jsup", &Jsup);
    const bool sweepGiven = hasStart && hasEnd && hasStep;
    uint8_t type = sweepGiven ? ekExcitation::BIAS_SWEEP : ekExcitation::BIAS_OFF;

    std::wstring source, file;
    if (text(s, L"Voltage.Source", &source)) {
        if (isWord(source, {L"Sweep"})) {
            if (!sweepGiven) {
                return fail(line, ek_format(L"sweep voltage source start/end/step not "
                                            L"specified at line %d",
                                            line + 1));
            }
            type = ekExcitation::BIAS_SWEEP;
        } else if (isWord(source, {L"None"})) {
            type = ekExcitation::BIAS_OFF;
        } else if (kov_fileExistsW(resolvePath(source).c_str())) {
            type = ekExcitation::BIAS_FILE;
            file = resolvePath(source);
        } else {
            return refuseValue(
                s, L"Voltage.Source",
                L"Sweep, None, or an existing bias file; " + lookedFor(resolvePath(source)));
        }
    } else if ((hasStart || hasEnd || hasStep) && !sweepGiven) {
        unusedValue(s,
                    hasStart ? L"Voltage.Start"
                    : hasEnd ? L"Voltage.End"
                             : L"Voltage.Step",
                    L"a bias sweep needs all of Voltage.Start, Voltage.End and Voltage.Step");
    }
    if (type == ekExcitation::BIAS_SWEEP && !checkSweep(start, end, step)) {
        return false;
    }
    if (type == ekExcitation::BIAS_FILE) {
        // The file gives the voltages; a sweep written beside it would only
        // make the excitation refuse the file.
        for (const wchar_t* key : {L"Voltage.Start", L"Voltage.End", L"Voltage.Step"}) {
            if (has(s, key)) {
                unusedValue(s, key, L"the bias file gives the voltages");
            }
        }
        start = -1.0;
        end = 1.0;
        step = 0.02;
    }
    if (type != ekExcitation::BIAS_OFF) {
        if (!checkRange(s, L"Voltage.Jinf") || !checkRange(s, L"Voltage.Jsup")) {
            return false;
        }
        if (!(Jinf < Jsup)) {
            return refuseValue(
                s, L"Voltage.Jsup",
                ek_format(L"above Voltage.Jinf, %ls A/cm2 at line %d", nu_numberText(Jinf).c_str(),
                          keyLine(s, L"Voltage.Jinf") + 1));
        }
    }
    excitation->setV(start, end, step, Jinf, Jsup, type, file.empty() ? nullptr : file.c_str());
    if (type != ekExcitation::BIAS_OFF &&
        (excitation->biasType & ekExcitation::BIAS_ON_MASK) == 0) {
        // Every rule of the excitation is checked above; this is a fault of
        // the program, said as such rather than blamed on the file.
        return fail(line, ek_format(L"voltage parameters at line %d not taken by the excitation",
                                    line + 1));
    }
    if (type == ekExcitation::BIAS_SWEEP && step > 0.0) {
        // The sweep keeps its ends and spreads its points more widely when
        // the step asks for more points than a sweep holds.
        const double intervals = std::round(std::fabs(end - start) / step);
        if (intervals > ElecSweep::MAX_POINTS - 1) {
            changedValue(s, L"Voltage.Step",
                         nu_numberText(std::fabs(end - start) / (ElecSweep::MAX_POINTS - 1)),
                         ek_format(L"a sweep has at most %d points", ElecSweep::MAX_POINTS));
        }
    }
    return true;
}

bool ekInputReader::applyLight()
{
    const wchar_t* s = L"Light";
    const int line = headerLine(ekInput::SECTION_LIGHT);
    double start = 0.3, end = 3.0, step = 0.01, flux = 1e15;
    const bool hasStart = real(s, L"Light.Start", &start) || real(s, L"Light.Wavelength", &start);
    if (has(s, L"Light.Start") && has(s, L"Light.Wavelength")) {
        unusedValue(s, L"Light.Wavelength", L"Light.Start gives the wavelength");
    }
    const bool hasEnd = real(s, L"Light.End", &end);
    const bool hasStep = real(s, L"Light.Step", &step);
    const bool hasFlux = real(s, L"Light.Flux", &flux);
    uint8_t type = ekExcitation::LIGHT_OFF;
    bool qeSweep = false;
    if (hasFlux && hasStart) {
        type = ekExcitation::LIGHT_MONO;
        if (!hasEnd || !hasStep) {
            end = start + 0.1;
            step = 0.01;
        }
    }

    std::wstring source, file;
    if (text(s, L"Light.Source", &source)) {
        if (isWord(source, {L"AM1.5"})) {
            type = ekExcitation::LIGHT_AM15;
        } else if (isWord(source, {L"Mono"})) {
            if (!hasStart || !hasFlux) {
                return fail(line, ek_format(L"monochromatic light source wavelength and "
                                            L"flux not specified at line %d",
                                            line + 1));
            }
            type = ekExcitation::LIGHT_MONO;
        } else if (isWord(source, {L"Sweep", L"EQE"})) {
            if (!hasStart || !hasEnd || !hasStep || !hasFlux) {
                return fail(line, ek_format(L"sweep monochromatic light source "
                                            L"start/end/step wavelength and flux not specified at "
                                            L"line %d",
                                            line + 1));
            }
            type = ekExcitation::LIGHT_SWEEP;
            qeSweep = true;
        } else if (isWord(source, {L"None"})) {
            type = ekExcitation::LIGHT_OFF;
        } else if (kov_fileExistsW(resolvePath(source).c_str())) {
            type = ekExcitation::LIGHT_FILE;
            file = resolvePath(source);
        } else {
            const int at = keyLine(s, L"Light.Source");
            return fail(at, ek_format(L"unknown light source specified at line %d: %ls "
                                      L"(accepted: AM1.5, Mono, Sweep, EQE, None, or an existing "
                                      L"spectrum file; %ls)",
                                      at + 1, written(s, L"Light.Source").c_str(),
                                      lookedFor(resolvePath(source)).c_str()));
        }
    }

    const bool valid = start >= WAVELENGTH_MIN && start <= WAVELENGTH_MAX &&
                       end >= WAVELENGTH_MIN && end <= WAVELENGTH_MAX && start <= end &&
                       step <= end - start && flux >= 0.0 && flux <= FLUX_MAX;
    if (valid && qeSweep) {
        const double used = std::clamp(flux, ekLimits::QE_FLUX_MIN, ekLimits::QE_FLUX_MAX);
        if (used != flux) {
            changedValue(s, L"Light.Flux", nu_numberText(used),
                         L"a quantum-efficiency sweep takes a flux from " +
                             nu_numberText(ekLimits::QE_FLUX_MIN) + L" to " +
                             nu_numberText(ekLimits::QE_FLUX_MAX) + L" 1/cm2/s");
            flux = used;
        }
    }
    if (valid) {
        excitation->Wstart = start;
        excitation->Wend = end;
        excitation->Wstep = step;
        for (double& slot : excitation->flux) {
            slot = flux;
        }
        excitation->lightType = type;
        excitation->qeSweep = qeSweep;
    } else {
        excitation->lightType = ekExcitation::LIGHT_OFF;
        excitation->qeSweep = false;
        // The ranges as the editor names them for the same keys.
        const std::wstring ranges = L"wavelength: " +
                                    kov_toWide(kov_rangeText(limitOf(s, L"Light.Start"))) +
                                    L"; step at most End - Start; flux: " +
                                    kov_toWide(kov_rangeText(limitOf(s, L"Light.Flux")));
        if (type == ekExcitation::LIGHT_MONO || type == ekExcitation::LIGHT_AM15 ||
            type == ekExcitation::LIGHT_FILE) {
            sigma->update(
                ek_format(L"[WARNING] light parameters at line %d not valid (%ls): the run "
                          L"has no light\n",
                          line + 1, ranges.c_str())
                    .c_str(),
                2);
        }
        if (type == ekExcitation::LIGHT_SWEEP) {
            return fail(line, ek_format(L"light parameters not valid at line %d (%ls)", line + 1,
                                        ranges.c_str()));
        }
    }
    if (type == ekExcitation::LIGHT_FILE) {
        excitation->setW(file.c_str());
    }
    // The whole spectrum and the single line are simulated along a bias;
    // only a sweep of wavelengths runs without one.
    const uint8_t light = excitation->lightType;
    if ((light == ekExcitation::LIGHT_AM15 || light == ekExcitation::LIGHT_MONO) &&
        (excitation->biasType & ekExcitation::BIAS_ON_MASK) == 0) {
        const int at = keyLine(s, has(s, L"Light.Source") ? L"Light.Source" : L"Light.Flux");
        return fail(
            at, ek_format(
                    L"light without a voltage source at line %d: %ls needs a bias "
                    L"sweep or a bias file in [Voltage] (without one, use "
                    L"Light.Source=\"EQE\" for a wavelength sweep)",
                    at + 1,
                    written(s, has(s, L"Light.Source") ? L"Light.Source" : L"Light.Flux").c_str()));
    }
    return true;
}
