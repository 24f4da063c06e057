// Solar-cell figures of an illuminated bias sweep: Jsc, Voc and the maximum
// power point followed point by point, then efficiency, fill factor and the
// series and parallel resistances, reported on the console, in
// "simulout_photovoltaic.txt" and in the run's summary file.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "ElecSweep.h"
#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr int SLOT_JSC = ekSimulator::PV_JSC;
constexpr int SLOT_VOC = ekSimulator::PV_VOC;
constexpr int SLOT_VMP = ekSimulator::PV_VMP;
constexpr int SLOT_JMP = ekSimulator::PV_JMP;
constexpr int SLOT_PMAX = ekSimulator::PV_PMAX;

constexpr double CURRENT_MIN = 1e-9;   // A/cm2
constexpr double VOLTAGE_MIN = 0.001;  // V
constexpr double POWER_MIN = 1e-11;    // W/cm2
constexpr double LIGHT_MIN = 1e-9;     // W/cm2

// A resistance as "%.1f" would write it, whatever the locale, then tidied.
std::wstring resistanceText(double value)
{
    std::wstring text;
    ekResult::appendFixed(text, value, 1);
    nu_reformat(text.data());
    return text.c_str();
}

}  // namespace

void ekSimulator::trackPVPoint(bool lightOn, bool* started, double* prevJ, double* prevV,
                               double* maxPower, int index)
{
    if (!lightOn || started == nullptr || prevJ == nullptr || prevV == nullptr ||
        maxPower == nullptr || SweepBias == nullptr) {
        return;
    }
    const double V = Va;
    const double J = getMeanCurrent();
    if (!*started) {
        *prevJ = J;
        *prevV = V;
        *started = true;
        return;
    }
    const double Vp = *prevV;
    const double Jp = *prevJ;
    if (V * Vp <= 0.0) {
        // The voltage reached or crossed 0 V: the current there.
        double Jsc = 0.0;
        if (V == 0.0) {
            Jsc = J;
        } else if (Vp == 0.0) {
            Jsc = Jp;
        } else if (ek_isEqual(V, Vp)) {
            Jsc = 0.5 * (J + Jp);
        } else {
            Jsc = 0.5 * ((J + Jp) - (V + Vp) * (Jp - J) / (Vp - V));
        }
        SweepBias->setParam(SLOT_JSC, Jsc, index);
    } else if (J * Jp <= 0.0) {
        // The current reached or crossed 0: the voltage there.
        double Voc = 0.0;
        if (J == 0.0) {
            Voc = V;
        } else if (Jp == 0.0) {
            Voc = Vp;
        } else if (ek_isEqual(J, Jp)) {
            Voc = 0.5 * (V + Vp);
        } else {
            Voc = 0.5 * ((V + Vp) - (Vp - V) * (Jp + J) / (Jp - J));
        }
        SweepBias->setParam(SLOT_VOC, Voc, index);
    }
    const double P = V * J;
    if (P < 0.0 && std::fabs(P) > *maxPower) {
        *maxPower = std::fabs(P);
        SweepBias->setParam(SLOT_VMP, V, index);
        SweepBias->setParam(SLOT_JMP, J, index);
        SweepBias->setParam(SLOT_PMAX, std::fabs(P), index);
    }
    *prevJ = J;
    *prevV = V;
}

void ekSimulator::warnPVReach()
{
    if (SweepBias == nullptr || sigma->isNoWarn()) {
        return;
    }
    const ElecSweep& sweep = *SweepBias;
    bool below = false, above = false, negative = false, positive = false;
    for (int k = 0; k < sweep.getPoints(); ++k) {
        if (!(sweep.getMask(k) & ElecSweep::MASK_COMPUTED)) {
            continue;
        }
        const double V = sweep.getData(0, k), J = sweep.getData(1, k);
        below = below || V <= 0.0;
        above = above || V >= 0.0;
        negative = negative || J <= 0.0;
        positive = positive || J >= 0.0;
    }
    if (!(below && above)) {
        sigma->update(L"[WARNING] the J-V characteristic does not reach 0 V: no short-circuit "
                      L"current\n",
                      2);
    }
    if (!(negative && positive)) {
        sigma->update(L"[WARNING] the current keeps one sign over the whole J-V characteristic: "
                      L"no open-circuit voltage (a cell delivers power where V x J < 0; with an "
                      L"n-type anode side its forward bias is negative)\n",
                      2);
    }
    ek_resetSigma(sigma);
}

void ekSimulator::printPV(bool enabled, wchar_t* message)
{
    const double Popt = lightState.totals.power;
    if (!enabled || message == nullptr || !(Popt > LIGHT_MIN) || SweepBias == nullptr) {
        return;
    }
    if (sigma->isVerbose()) {
        message[0] = 0;
    }
    const ElecSweep& sweep = *SweepBias;
    const double Vt = norm.Vt;
    const double Js = norm.current;
    int jscIndex = -1;
    int vocIndex = -1;
    double Jsc = std::fabs(sweep.getParam(SLOT_JSC, &jscIndex)) * Js;
    const double Voc = sweep.getParam(SLOT_VOC, &vocIndex) * Vt;
    const double Jmp = std::fabs(sweep.getParam(SLOT_JMP, nullptr)) * Js;
    const double Vmp = std::fabs(sweep.getParam(SLOT_VMP, nullptr)) * Vt;
    const double Pmax = std::fabs(sweep.getParam(SLOT_PMAX, nullptr)) * Vt * Js;

    // V and J of sweep point k (0 outside the sweep).
    auto voltage = [&](int k) { return sweep.getData(0, k); };
    auto current = [&](int k) { return sweep.getData(1, k); };

    // A sweep solved as two halves that meet at no 0 V point never crossed
    // 0 V inside one half: Jsc from the line through the points on either
    // side, as a magnitude like every other Jsc. Only solved points make
    // that line: a point that failed holds no current (its row keeps the
    // sweep record's fill value), and a line through it gives a Jsc
    // thousands of times too large. Without both the figures are left out,
    // and said whatever the warnings switch: the run asked for them.
    const int posL = biasPosL;
    const int posR = biasPosR;
    if (Jsc < CURRENT_MIN && std::fabs(Voc) > VOLTAGE_MIN && Jmp > CURRENT_MIN &&
        Vmp > VOLTAGE_MIN && Pmax > POWER_MIN && Pmax < Popt && posL >= 0 && posR > 0 &&
        posL < posR) {
        auto solved = [&](int k) {
            return k < sweep.getPoints() && (sweep.getMask(k) & ElecSweep::MASK_COMPUTED) != 0;
        };
        if (!solved(posL) || !solved(posR)) {
            const std::wstring side = nu_numberText(voltage(solved(posL) ? posR : posL) * Vt);
            sigma->update((L"[WARNING] no photovoltaic figures: the short-circuit current needs "
                           L"the solved points on both sides of 0 V, and the one at " +
                           side + L" V was not solved\n")
                              .c_str(),
                          2);
            ek_resetSigma(sigma);
            return;
        }
        const double VL = voltage(posL), VR = voltage(posR);
        const double JL = current(posL), JR = current(posR);
        const double J0V = ek_isEqual(VL, VR) ? 0.5 * (JL + JR) : JL - VL * (JR - JL) / (VR - VL);
        Jsc = std::fabs(J0V) * Js;
        jscIndex = posL;
    }
    if (!(Jsc > CURRENT_MIN && std::fabs(Voc) > VOLTAGE_MIN && Jmp > CURRENT_MIN &&
          Vmp > VOLTAGE_MIN && Pmax > POWER_MIN && Pmax < Popt && std::fabs(Voc) * Jsc > Pmax)) {
        return;
    }
    const double Eff = Pmax * 100.0 / Popt;
    const double FF = Pmax * 100.0 / (std::fabs(Voc) * Jsc);

    // Series resistance from the slope at Voc, parallel resistance from the
    // slope at Jsc, each over two steps of the sweep. The slope at Jsc is
    // taken at the sweep point nearest 0 V towards the power quadrant,
    // whichever way the sweep was walked, so that the same points give the
    // same RP.
    if (jscIndex >= 0) {
        for (int k = 0; k < sweep.getPoints(); ++k) {
            if (std::fabs(voltage(k)) < std::fabs(voltage(jscIndex))) {
                jscIndex = k;
            }
        }
    }
    const int first = sweep.getPosStart();
    const int last = sweep.getPosEnd();
    const bool resistances =
        jscIndex >= first && jscIndex <= last && vocIndex > first && vocIndex <= last;
    auto slopeResistance = [&](int a, int b) {
        const double dJ = (current(b) - current(a)) * Js;
        if (ek_isEqual(current(b) * Js, current(a) * Js)) {
            return 0.0;
        }
        return std::fabs((voltage(b) - voltage(a)) * Vt / dJ);
    };
    double RS = 0.0;
    double RP = 0.0;
    if (resistances) {
        RS = Voc > 0.0 ? slopeResistance(vocIndex - 2, vocIndex)
                       : slopeResistance(vocIndex, vocIndex + 2);
        RP = Voc > 0.0 ? slopeResistance(jscIndex, jscIndex + 2)
                       : slopeResistance(jscIndex - 2, jscIndex);
    }

    // The summary file collects the figures of many runs as "name = value"
    // lines; the result file is a table like every other result file.
    std::wstring summary = L"Eff = " + nu_numberText(Eff) + L" %\n";
    summary += L"Jsc = " + nu_numberText(Jsc) + L" A/cm2\n";
    summary += L"Voc = " + nu_numberText(std::fabs(Voc)) + L" V\n";
    summary += L"FF = " + nu_numberText(FF) + L" %\n";
    summary += L"Popt = " + nu_numberText(Popt) + L" W/cm2\n";
    std::wstring titles = L"Eff (%)\tJsc (A/cm2)\tVoc (V)\tFF (%)\tPopt (W/cm2)";
    std::wstring row = nu_numberText(Eff) + L"\t" + nu_numberText(Jsc) + L"\t" +
                       nu_numberText(std::fabs(Voc)) + L"\t" + nu_numberText(FF) + L"\t" +
                       nu_numberText(Popt);
    if (resistances) {
        summary += L"RS = " + resistanceText(RS) + L" Ohms.cm2\n";
        summary += L"RP = " + resistanceText(RP) + L" Ohms.cm2\n";
        titles += L"\tRS (Ohms.cm2)\tRP (Ohms.cm2)";
        row += L"\t" + resistanceText(RS) + L"\t" + resistanceText(RP);
    }

    // The figures are what a run under light is for: they are printed
    // whether or not the run is verbose.
    std::wstring line = L"[PV]      Eff = " + nu_numberText(Eff) + L" %   Jsc = " +
                        nu_numberText(Jsc) + L" A/cm2   Voc = " + nu_numberText(std::fabs(Voc)) +
                        L" V   FF = " + nu_numberText(FF) + L" %" + L"   Popt = " +
                        nu_numberText(Popt) + L" W/cm2";
    if (resistances) {
        line += L"   RS = " + resistanceText(RS) + L" Ohms.cm2   RP = " + resistanceText(RP) +
                L" Ohms.cm2";
    }
    line += L"\n";
    const size_t n = std::min<size_t>(line.size(), 255);
    line.copy(message, n);
    message[n] = 0;
    sigma->update(line.c_str(), 0);

    clearOutput();
    const std::wstring path = ekResult::path(output.folder, L"_photovoltaic.txt");
    FILE* f = ekResult::open(path);
    if (f == nullptr) {
        ekResult::logCannotOpen(sigma, path);
    } else {
        printHeader(f, TAG_PV);
        kov_FileWriteW(f, (L"#\n# " + titles + L"\n#\n" + row).c_str());
        ekResult::close(f, sigma);
    }
    ekResult::appendSummary(sigma->summaryFilename, summary, sigma);
}
