// The sweep files: current-voltage, charge/capacitance-voltage and quantum
// efficiency, one row per computed sweep point.
#include <cmath>
#include <string>
#include <vector>

#include "ElecSweep.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr double EPSILON = 2.220446049250313e-16;

// Equal within rounding: the two voltages give no difference quotient.
bool isSameVoltage(double a, double b)
{
    return a == b || std::fabs(a - b) <= EPSILON * (std::fabs(a) + std::fabs(b));
}

bool isDone(const ElecSweep* sweep, int i)
{
    return i >= 0 && i < sweep->getPoints() && (sweep->getMask(i) & ElecSweep::MASK_COMPUTED) != 0;
}

// Sweep-record columns (column 0 is the swept value).
constexpr int COL_BIAS = 0, COL_CURRENT = 1, COL_QPLUS = 2, COL_QMINUS = 3;
constexpr int COL_WAVELENGTH = 0, COL_EQE = 4, COL_IQE = 5;

// The decimals that write the swept column (bias in volts, or
// wavelength) as start + i*step reads, without the round-off of its
// normalised storage.
int sweptDecimals(const ElecSweep* sweep, double scale)
{
    std::vector<double> swept;
    for (int i = 0; i < sweep->getPoints(); ++i) {
        if (isDone(sweep, i)) {
            swept.push_back(sweep->getData(0, i) * scale);
        }
    }
    return ekResult::sweepDecimals(swept.data(), static_cast<int>(swept.size()));
}

}  // namespace

bool ekSimulator::saveSweep(int kind, const wchar_t* prefix)
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    const ElecSweep* sweep = nullptr;
    const wchar_t* suffix = nullptr;
    const wchar_t* columns = nullptr;
    int tag = 0;
    wchar_t* name = nullptr;
    switch (kind) {
    case SWEEP_JV:
        sweep = SweepBias, suffix = L"_jv.txt", tag = TAG_JV, name = FilenameJV;
        columns = L"#\n# Voltage (V)\tJ (A/cm2)\n#\n";
        break;
    case SWEEP_CV:
        sweep = SweepBias, suffix = L"_cv.txt", tag = TAG_CV, name = FilenameCV;
        columns = L"#\n# Voltage (V)\tQ (C/cm2)\tC (F/cm2)\n#\n";
        break;
    case SWEEP_QW:
        sweep = SweepLight, suffix = L"_qw.txt", tag = TAG_QW, name = FilenameQW;
        columns = L"#\n# Wavelength (um)\tEQE\tIQE\n#\n";
        break;
    default: return false;
    }
    if (sweep == nullptr || !sweep->isAllocated() || sweep->getPoints() < 1) {
        return false;
    }
    if (!clearOutput()) {
        return false;
    }
    const std::wstring path = ekResult::path(output.folder, suffix);
    if (!ekResult::deviceValid(device, deviceLength * norm.length, Points, sigma)) {
        return false;
    }
    FILE* f = ekResult::open(path);
    if (f == nullptr) {
        ekResult::logCannotOpen(sigma, path);
        return false;
    }
    printHeader(f, tag);
    const int decimals = sweptDecimals(sweep, kind == SWEEP_QW ? 1.0 : norm.Vt);
    std::wstring voltage;
    ekResult::appendFixed(voltage, Va * norm.Vt, kind == SWEEP_QW ? -1 : decimals);
    const std::wstring state = L"# Voltage = " + voltage + L" V   Current = " +
                               nu_numberText(totals.meanCurrent * norm.current, -1) + L" A/cm2\n";
    kov_FileWriteW(f, state.c_str());
    if (Stopped) {
        // A stopped sweep keeps what it solved; the mark tells a reader the
        // curve ends where the user stopped it, not where it was asked to.
        int solved = 0;
        for (int i = 0; i < sweep->getPoints(); ++i) {
            solved += isDone(sweep, i) ? 1 : 0;
        }
        const std::wstring mark = L"# Partial: stopped by the user after " +
                                  std::to_wstring(solved) + L" of " +
                                  std::to_wstring(sweep->getPoints()) + L" points\n";
        kov_FileWriteW(f, mark.c_str());
    }
    kov_FileWriteW(f, columns);

    const bool guessExists =
        InitialGuessFilename[0] != 0 && kov_fileExistsW(InitialGuessFilename) >= 1;
    const int points = sweep->getPoints();
    const int limit = points >= 20 ? points / 4 : 5;
    const bool dark = isDark();

    // C-V: the charge column is the one larger in magnitude at the first
    // point (the sweep stores the positive and the negative space charge).
    const int chargeColumn =
        std::fabs(sweep->getData(COL_QPLUS, 0)) > std::fabs(sweep->getData(COL_QMINUS, 0))
            ? COL_QPLUS
            : COL_QMINUS;
    double lastQ = 0.0, lastC = 0.0;

    for (int i = 0; i < points; ++i) {
        if (!isDone(sweep, i)) {
            continue;
        }
        double values[3];
        int count = 0;
        if (kind == SWEEP_JV) {
            const double V = sweep->getData(COL_BIAS, i) * norm.Vt;
            double J = sweep->getData(COL_CURRENT, i) * norm.current;
            if (!kov_inRange(J, -1e6, 1e6)) {
                if (i < limit) {
                    ekResult::discard(f);
                    ekResult::logUnphysical(sigma, L"current ", guessExists);
                    return false;
                }
                continue;
            }
            // No current flows at 0 V in the dark; what the solver leaves
            // there is its residual.
            if (std::fabs(V) < 0.001 && dark) {
                J = 0.0;
            }
            values[count++] = V;
            values[count++] = J;
        } else if (kind == SWEEP_CV) {
            double Qout = sweep->getData(chargeColumn, i) * norm.sheetCharge;
            // Difference quotient of the charge over the bias: forward at the
            // first point, backward at the last, central in between; the
            // neighbours must be computed points (point 1 counts whatever its
            // state, as the first point has no other).
            int a = i, b = i;
            bool neighbours = true;
            if (i == 0) {
                b = 1;
                neighbours = points > 1;
            } else if (i == points - 1) {
                a = i - 1;
                neighbours = isDone(sweep, a);
            } else {
                a = i - 1, b = i + 1;
                neighbours = isDone(sweep, a) && isDone(sweep, b);
            }
            double C = lastC;
            if (neighbours) {
                const double Va0 = sweep->getData(COL_BIAS, a), Vb0 = sweep->getData(COL_BIAS, b);
                const double quotient =
                    isSameVoltage(Va0, Vb0)
                        ? 0.0
                        : (sweep->getData(chargeColumn, b) - sweep->getData(chargeColumn, a)) /
                              (Vb0 - Va0);
                if (quotient == 0.0) {
                    Qout = lastQ;
                } else {
                    C = std::fabs(quotient) * norm.sheetCharge / norm.Vt;
                }
            }
            if (!kov_inRange(Qout, -1e11, 1e11) || !kov_inRange(C, 0.0, 0.001)) {
                if (i < limit) {
                    ekResult::discard(f);
                    ekResult::logUnphysical(sigma, L"charge and capacitance ", guessExists);
                    return false;
                }
                continue;
            }
            lastQ = Qout;
            lastC = C;
            values[count++] = sweep->getData(COL_BIAS, i) * norm.Vt;
            values[count++] = Qout;
            values[count++] = C;
        } else {
            const double eqe = sweep->getData(COL_EQE, i);
            const double iqe = sweep->getData(COL_IQE, i);
            // An IQE of 0 beside a non-zero EQE marks light too weakly
            // absorbed for the ratio to mean anything.
            if (!kov_inRange(eqe, 0.0, 1.0) || !kov_inRange(iqe, 0.0, 1.0) ||
                (eqe > iqe && iqe != 0.0)) {
                continue;
            }
            values[count++] = sweep->getData(COL_WAVELENGTH, i);
            values[count++] = eqe;
            values[count++] = iqe;
        }
        ekResult::writeRow(f, values, count, i == points - 1, decimals);
        // The file is finished: a stop must not leave it cut.
        stopRequested();
    }
    if (!ekResult::close(f, sigma)) {
        return false;
    }

    kov_copyW(name, PATH_SIZE, path.c_str());
    if (prefix != nullptr && sigma->comm) {
        sigma->writeComm((prefix + path).c_str());
    }
    if (sigma->isVerbose()) {
        sigma->update(ek_format(L"[INFO]    sweep saved to \"%ls\"\n", path.c_str()).c_str(), 0);
    }
    return true;
}
