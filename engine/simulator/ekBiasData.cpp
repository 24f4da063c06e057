// The bias sweep record of a run: a uniform sweep, the voltages of a bias
// file, or one point at 0 V. Columns: bias (Vt), current density, positive
// and negative space charge per area.
#include <algorithm>
#include <cmath>
#include <new>

#include "ElecDevice.h"
#include "ekLimits.h"
#include "ElecSweep.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekExcitation.h"
#include "ekSimulator.h"
#include "focore.h"
#include "nucore.h"

namespace {

constexpr int SWEEP_COLUMNS = 4;
constexpr int SWEEP_POINTS_MAX = ElecSweep::MAX_POINTS;
constexpr double CURRENT_LIMIT = 1e6;                 // A/cm2
constexpr double FILE_VOLTAGE_MAX = 100.0;            // V
constexpr double FILE_STEP_MIN = 0.001;               // V
constexpr double STEP_MIN = ekLimits::BIAS_STEP_MIN;  // Vt
using ekLimits::BIAS_RANGE_BANDGAPS;
using ekLimits::BIAS_STEP_BANDGAPS;
// A swept voltage this close to 0 (Vt) is 0 V: the grid start + k step
// misses 0 by rounding only.
constexpr double ZERO_SNAP = 1e-9;

// The rule of a bias file, as every refusal of one ends.
const wchar_t* const BIAS_FILE_RULE =
    L"a bias file holds one voltage per line, at least two, each from -100 to 100 V and above "
    L"the one before by 0.001 V or more";

// "invalid bias file PATH: WHAT (RULE)".
std::wstring biasFileError(const wchar_t* file, const std::wstring& what)
{
    return L"invalid bias file " + std::wstring(file) + L": " + what + L" (" + BIAS_FILE_RULE +
           L")";
}

// Zero crossing of the sweep's voltages: the last point below 0 V, the
// point at 0 V, the first point above 0 V (-1: none).
void locateZero(const ElecSweep* sweep, int* posL, int* posC, int* posR)
{
    *posL = *posC = *posR = -1;
    if (sweep == nullptr) {
        return;
    }
    const int points = sweep->getPoints();
    for (int i = 0; i < points; ++i) {
        const double v = sweep->getData(0, i);
        if (v < 0.0) {
            *posL = i;
        } else if (v == 0.0 && *posC < 0) {
            *posC = i;
        } else if (v > 0.0 && *posR < 0) {
            *posR = i;
        }
    }
}

}  // namespace

bool ekSimulator::setBiasData(ElecDevice* dev, double Vstart, double Vend, double Vstep,
                              double Jinf, double Jsup, unsigned char mode, const wchar_t* biasFile)
{
    if (sigma == nullptr || sigma->err != 0) {
        return false;
    }
    ek_resetSigma(sigma);
    if (dev == nullptr) {
        return false;
    }
    const double J0 = norm.current;
    Jinf =
        std::clamp(std::isfinite(Jinf) ? Jinf : -CURRENT_LIMIT, -CURRENT_LIMIT, CURRENT_LIMIT) / J0;
    Jsup =
        std::clamp(std::isfinite(Jsup) ? Jsup : CURRENT_LIMIT, -CURRENT_LIMIT, CURRENT_LIMIT) / J0;
    if (Jinf >= Jsup) {
        Jinf = -CURRENT_LIMIT / J0;
    }
    const double Vt = norm.Vt;

    auto build = [&](int points, double start, double end, double step) {
        deleteSweepBias();
        SweepBias = new (std::nothrow) ElecSweep(sigma);
        if (SweepBias == nullptr) {
            sigma->reportNoMemory();
            return false;
        }
        int posL = -1, posC = -1, posR = -1;
        if (!SweepBias->set(ElecSweep::TYPE_BIAS, SWEEP_COLUMNS, points, start, end, step, Jinf,
                            Jsup, 0.0, &posL, &posC, &posR, true)) {
            deleteSweepBias();
            if (sigma->err == 0) {
                sigma->reportNoMemory();
            }
            return false;
        }
        return true;
    };

    if (!(mode & ekExcitation::BIAS_SWEEP) && (mode & ekExcitation::BIAS_FILE) &&
        biasFile != nullptr) {
        double* rows = sigma->mallocDbl(SWEEP_POINTS_MAX, true);
        if (rows == nullptr) {
            sigma->error(L"insufficient memory to handle the custom bias data");
            return false;
        }
        struct Release {
            nuSigma* sigma;
            double** block;
            ~Release() { sigma->freeDbl(block); }
        } release{sigma, &rows};
        const int count = fo_importAscii(biasFile, &rows, 1, SWEEP_POINTS_MAX, L'\t', 0, sigma);
        if (count < 1 || count > SWEEP_POINTS_MAX) {
            return false;
        }
        // A sweep needs a step: one row gives none.
        if (count < 2) {
            sigma->error(biasFileError(biasFile, L"one voltage, no sweep"));
            return false;
        }
        const double start = rows[0] / Vt;
        const double end = std::max(rows[count - 1], rows[0]) / Vt;
        if (!build(count, start, end, (rows[1] - rows[0]) / Vt)) {
            return false;
        }
        for (int i = 0; i < count; ++i) {
            const double v = rows[i];
            const bool inRange =
                std::isfinite(v) && v >= -FILE_VOLTAGE_MAX && v <= FILE_VOLTAGE_MAX;
            if (!inRange) {
                deleteSweepBias();
                sigma->error(biasFileError(
                    biasFile, ek_format(L"voltage %d is %ls V", i + 1, nu_numberText(v).c_str())));
                return false;
            }
            if (i > 0 && !(v - rows[i - 1] >= FILE_STEP_MIN)) {
                deleteSweepBias();
                const std::wstring order =
                    v <= rows[i - 1] ? L"not above" : L"less than 0.001 V above";
                sigma->error(biasFileError(
                    biasFile, ek_format(L"voltage %d, %ls V, is %ls voltage %d, %ls V", i + 1,
                                        nu_numberText(v).c_str(), order.c_str(), i,
                                        nu_numberText(rows[i - 1]).c_str())));
                return false;
            }
            SweepBias->setData(0, i, v / Vt);
        }
        biasType = mode;
        locateZero(SweepBias, &biasPosL, &biasPosC, &biasPosR);
        return true;
    }

    if (!(mode & ekExcitation::BIAS_SWEEP)) {
        if (!build(1, 0.0, 0.0, 0.0)) {
            return false;
        }
        biasType = 0;
        locateZero(SweepBias, &biasPosL, &biasPosC, &biasPosR);
        return true;
    }

    const ekLayer* first = dev->getFirstLayer();
    const double Eg = first != nullptr ? first->getBandgap() / norm.energy : 0.0;
    double start = Vstart / Vt;
    double end = Vend / Vt;
    double step = Vstep / Vt;
    // The limits in volts, as the messages give them (the bandgap in eV
    // reads as volts).
    const std::wstring bandgap =
        L"the bandgap of Layer1, " + nu_numberText(Eg * norm.energy) + L" eV";
    if (!std::isfinite(start) || !std::isfinite(end) ||
        std::fabs(start) > BIAS_RANGE_BANDGAPS * Eg || std::fabs(end) > BIAS_RANGE_BANDGAPS * Eg) {
        const double reach = BIAS_RANGE_BANDGAPS * Eg * norm.energy;
        sigma->error(L"invalid voltage range (too large value relatively to the bandgap): from " +
                     nu_numberText(Vstart) + L" to " + nu_numberText(Vend) +
                     L" V (accepted: from " + nu_numberText(-reach) + L" to " +
                     nu_numberText(reach) + L" V, " + nu_numberText(BIAS_RANGE_BANDGAPS) +
                     L" times " + bandgap + L")");
        return false;
    }
    if (!std::isfinite(step) || step > BIAS_STEP_BANDGAPS * Eg ||
        (step < STEP_MIN && !ek_isEqual(start, end))) {
        sigma->error(L"invalid voltage step " + nu_numberText(Vstep) + L" V (accepted: from " +
                     nu_numberText(STEP_MIN * Vt) +
                     L" V, a thousandth of the thermal voltage, to " +
                     nu_numberText(BIAS_STEP_BANDGAPS * Eg * norm.energy) + L" V, a fifth of " +
                     bandgap + L")");
        return false;
    }
    if (start > end) {
        std::swap(start, end);
    }
    int points = 1;
    if (!ek_isEqual(start, end)) {
        const double intervals = std::round((end - start) / step);
        if (intervals > SWEEP_POINTS_MAX - 1) {
            sigma->update(L"[INFO]    Bias number of points too high. Decreasing it...\n", 0);
            points = SWEEP_POINTS_MAX;
            step = (end - start) / (SWEEP_POINTS_MAX - 1);
        } else {
            points = static_cast<int>(intervals) + 1;
        }
    } else {
        end = start;
    }
    if (step < STEP_MIN) {
        step = STEP_MIN;
        points = static_cast<int>(std::round((end - start) / STEP_MIN)) + 1;
    }
    if (points < 1) {
        sigma->error(L"invalid bias number of points");
        return false;
    }
    if (!build(points, start, end, step)) {
        return false;
    }
    for (int i = 0; i < points; ++i) {
        if (std::fabs(SweepBias->getData(0, i)) < ZERO_SNAP) {
            SweepBias->setData(0, i, 0.0);
        }
    }
    biasType = mode;
    locateZero(SweepBias, &biasPosL, &biasPosC, &biasPosR);
    return true;
}
