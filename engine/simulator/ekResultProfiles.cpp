// Diagnostic profiles written with debug output: potentials, charges and
// the photon flux on the mesh.
#include <string>

#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

// Writes one profile file: the common header (tag DG), the column header,
// then one row per point from rowValues(i, values) with count values each.
// False when the file cannot be opened.
bool writeProfile(const ekSimulator& simulator, nuSigma* sigma, bool& stopped,
                  const std::wstring& path, const wchar_t* columns, int count, int points,
                  const std::function<void(int, double*)>& rowValues)
{
    FILE* f = ekResult::open(path);
    if (f == nullptr) {
        ekResult::logCannotOpen(sigma, path);
        return false;
    }
    simulator.printHeader(f, 0);
    kov_FileWriteW(f, columns);
    ekResult::writeRows(f, sigma, stopped, count, points, rowValues);
    return ekResult::close(f, sigma);
}

}  // namespace

bool ekSimulator::savePotential(int tagFlags)
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (!clearOutput() || mesh.sol.z == nullptr || Points < 1) {
        return false;
    }
    const wchar_t* suffix = tagFlags == TAG_EE ? L"_potentialeqm.txt" : L"_potential.txt";
    const double Vt = norm.Vt;
    return writeProfile(*this, sigma, Stopped, ekResult::path(output.folder, suffix),
                        L"#\n# z (um)\tV (V)\tVn (V)\tVp (V)\n#\n", 4, Points,
                        [&](int i, double* v) {
                            v[0] = mesh.sol.z[i] * norm.length;
                            v[1] = mesh.sol.V[i] * Vt;
                            v[2] = mesh.sol.Vn[i] * Vt;
                            v[3] = mesh.sol.Vp[i] * Vt;
                        });
}

bool ekSimulator::saveCharge()
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (!clearOutput() || mesh.sol.z == nullptr || Points < 1) {
        return false;
    }
    const double volume = 1000.0 * norm.volumeCharge;
    const double sheet = 1000.0 * norm.sheetCharge;
    return writeProfile(*this, sigma, Stopped, ekResult::path(output.folder, L"_charge.txt"),
                        L"#\n# z (um)\tV (V)\tQ (mC/cm3)\tQpol (mC/cm3)\tQssp (mC/cm2)\t"
                        L"Qspi (mC/cm2)\n#\n",
                        6, Points, [&](int i, double* v) {
                            v[0] = mesh.sol.z[i] * norm.length;
                            v[1] = mesh.sol.V[i] * norm.Vt;
                            v[2] = mesh.sol.Q[i] * volume;
                            v[3] = mesh.mat.polTotal[i] * volume;
                            v[4] = mesh.sol.Qssp[i] * sheet;
                            v[5] = mesh.sol.Qspi[i] * sheet;
                        });
}

bool ekSimulator::saveFlux()
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (!clearOutput() || mesh.sol.z == nullptr || Points < 1) {
        return false;
    }
    const double rate = norm.recombination * norm.density * norm.density;
    return writeProfile(*this, sigma, Stopped, ekResult::path(output.folder, L"_flux.txt"),
                        L"#\n# z (um)\tFlux (1/cm2/s)\tGop (1/cm3/s)\n#\n", 3, Points,
                        [&](int i, double* v) {
                            v[0] = mesh.sol.z[i] * norm.length;
                            v[1] = mesh.mat.photonFlux[i] * norm.photonFlux;
                            v[2] = mesh.mat.Gop[i] * rate;
                        });
}
