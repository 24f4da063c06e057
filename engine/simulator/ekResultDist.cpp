// The distribution file: every quantity of the present solution on the
// mesh, one row per point, in physical units.
#include <cmath>
#include <cwchar>
#include <string>

#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekExcitation.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr int COLUMNS = 24;

constexpr const wchar_t* COLUMN_HEADER =
    L"#\n# z (um)\tV (V)\tEn (V/um)\tEp (V/um)\tFn (eV)\tFp (eV)\tEC (eV)\tEV (eV)\t"
    L"n (1/cm3)\tp (1/cm3)\tNax (1/cm3)\tNdx (1/cm3)\tNtax (1/cm3)\tNtdx (1/cm3)\t"
    L"Q (mC/cm3)\tQssp (mC/cm2)\tQspi (mC/cm2)\tJn (A/cm2)\tJp (A/cm2)\tJ (A/cm2)\t"
    L"Gop (1/cm3/s)\tRD (1/cm3/s)\tRA (1/cm3/s)\tRSRH (1/cm3/s)\n#\n";

struct Range {
    double low;
    double high;
    bool checked;
};

// Accepted range of each column, in the order of the column header.
constexpr Range RANGES[COLUMNS] = {
    {0, 0, false},       {-100, 100, true},   {-1e9, 1e9, true},   {-1e9, 1e9, true},
    {-20, 20, true},     {-20, 20, true},     {-20, 20, true},     {-20, 20, true},
    {0, 1e24, true},     {0, 1e24, true},     {0, 1e24, true},     {0, 1e24, true},
    {0, 1e24, true},     {0, 1e24, true},     {-1e11, 1e11, true}, {-1e11, 1e11, true},
    {-1e11, 1e11, true}, {-1e6, 1e6, true},   {-1e6, 1e6, true},   {-1e6, 1e6, true},
    {0, 1e30, true},     {-1e30, 1e30, true}, {-1e30, 1e30, true}, {-1e30, 1e30, true},
};

}  // namespace

bool ekSimulator::saveDist(const wchar_t* prefix, int tagFlags, int fileNumber, int sweepFlags)
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (!clearOutput()) {
        return false;
    }
    const bool guessExists =
        InitialGuessFilename[0] != 0 && kov_fileExistsW(InitialGuessFilename) >= 1;

    // With full saving the iterations already wrote the file of an explicit
    // number up to FileIndex; only its name is reported again. An automatic
    // number always means a new file.
    int number = fileNumber;
    bool written = false;
    if (number < 1 && tagFlags == TAG_EE) {
        FileIndex = 0;  // the equilibrium is always file number 1
    }
    if (number < 1) {
        number = ++FileIndex;
    } else if (sigma->saveFull && prefix != nullptr && number <= FileIndex) {
        written = true;
    }
    wchar_t digits[32];
    std::swprintf(digits, 32, output.distFormat, number);
    const std::wstring path =
        ekResult::path(output.folder, (std::wstring(L"_dist_") + digits + L".txt").c_str());

    if (!written) {
        if (!ekResult::deviceValid(device, deviceLength * norm.length, Points, sigma)) {
            return false;
        }
        if (mesh.sol.z == nullptr || mesh.mat.Gop == nullptr) {
            sigma->error(L"invalid device data");
            return false;
        }
        FILE* f = ekResult::open(path);
        if (f == nullptr) {
            ekResult::logCannotOpen(sigma, path);
            return false;
        }
        printHeader(f, tagFlags);
        std::wstring state;
        if (kov_inRange(totals.meanCurrent, -1e6, 1e6)) {
            state += L"# Voltage = " + nu_numberText(Va * norm.Vt, 6) + L" V   Current = " +
                     nu_numberText(totals.meanCurrent * norm.current, 6) + L" A/cm2\n";
        }
        if (sweepFlags & TAG_QW) {
            state += L"# Wavelength = " + nu_numberText(lightState.wavelength, 6) + L" um\n";
        }
        kov_FileWriteW(f, state.c_str());
        kov_FileWriteW(f, COLUMN_HEADER);

        const int limit = Points < 100 ? 25 : Points / 4;
        const double Vt = norm.Vt;
        const double N0 = norm.density;
        const double field = Vt / norm.length;
        const double volume = 1000.0 * norm.volumeCharge;
        const double sheet = 1000.0 * norm.sheetCharge;
        const double rate = norm.recombination * N0 * N0;
        for (int i = 0; i < Points; ++i) {
            // Quasi-Fermi levels below a picovolt are rounding noise of the
            // solver; they are cleared so that the files show a clean zero.
            if (std::fabs(mesh.sol.Fn[i] * Vt) < 1e-12) {
                mesh.sol.Fn[i] = 0.0;
            }
            if (std::fabs(mesh.sol.Fp[i] * Vt) < 1e-12) {
                mesh.sol.Fp[i] = 0.0;
            }
            const double values[COLUMNS] = {
                mesh.sol.z[i] * norm.length,
                mesh.sol.V[i] * Vt,
                mesh.sol.En[i] * field,
                mesh.sol.Ep[i] * field,
                -mesh.sol.Fn[i] * Vt,
                -mesh.sol.Fp[i] * Vt,
                mesh.sol.EC[i] * Vt,
                mesh.sol.EV[i] * Vt,
                mesh.sol.n[i] * N0,
                mesh.sol.p[i] * N0,
                mesh.sol.Nax[i] * N0,
                mesh.sol.Ndx[i] * N0,
                mesh.sol.Ntax[i] * N0,
                mesh.sol.Ntdx[i] * N0,
                mesh.sol.Q[i] * volume,
                mesh.sol.Qssp[i] * sheet,
                mesh.sol.Qspi[i] * sheet,
                mesh.sol.Jn[i] * norm.current,
                mesh.sol.Jp[i] * norm.current,
                (mesh.sol.Jn[i] + mesh.sol.Jp[i]) * norm.current,
                mesh.mat.Gop[i] * rate,
                mesh.sol.RD[i] * rate,
                mesh.sol.RA[i] * rate,
                mesh.sol.RSRH[i] * rate,
            };
            bool valid = true;
            for (int c = 0; c < COLUMNS && valid; ++c) {
                valid = !RANGES[c].checked || kov_inRange(values[c], RANGES[c].low, RANGES[c].high);
            }
            if (!valid) {
                if (i < limit) {
                    ekResult::discard(f);
                    ekResult::logUnphysical(sigma, L"", guessExists);
                    return false;
                }
            } else {
                ekResult::writeRow(f, values, COLUMNS, i == Points - 1);
            }
            // The file is finished: a stop must not leave it cut.
            stopRequested();
        }
        if (!ekResult::close(f, sigma)) {
            return false;
        }
    }

    if (tagFlags == TAG_EE) {
        kov_copyW(FilenameEE, PATH_SIZE, path.c_str());
    } else if (tagFlags == TAG_EN) {
        kov_copyW(FilenameEN, PATH_SIZE, path.c_str());
    }
    if (prefix != nullptr && sigma->comm) {
        sigma->writeComm((prefix + path).c_str());
    }
    if (sigma->isVerbose()) {
        std::wstring line = L"[INFO]    distribution at ";
        if (std::fabs(Va) < 0.001 && isDark()) {
            line += L"equilibrium ";
        } else {
            line += L"Voltage = " + nu_numberText(Va * norm.Vt, 6) + L" V ";
            if (sweepFlags & TAG_QW) {
                line += L"Wavelength = " + nu_numberText(lightState.wavelength, 6) + L" um ";
            } else if (ekExcitation::isMonoLight(lightState.type)) {
                line += L"(monochromatic light) ";
            } else if (lightState.type & ekExcitation::LIGHT_AM15) {
                line += L"(AM1.5 light) ";
            } else if (lightState.type & ekExcitation::LIGHT_FILE) {
                line += L"(custom light) ";
            }
        }
        line += L"saved to \"" + path + L"\"\n";
        sigma->update(line.c_str(), 0);
    }
    return true;
}
