// Files of the set-up: the common result-file header, the material
// parameters on the mesh ("simulout_input.txt"), the mesh and the initial
// guess. Values are written back in physical units.
#include <ctime>
#include <cwchar>
#include <string>

#include "ElecDevice.h"
#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekLimits.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "kovraVersion.h"
#include "nucore.h"

namespace {

const wchar_t* tagOf(int flags)
{
    static const struct {
        int bit;
        const wchar_t* tag;
    } tags[] = {
        {ekSimulator::TAG_DE, L"DE"}, {ekSimulator::TAG_EE, L"EE"}, {ekSimulator::TAG_EN, L"EN"},
        {ekSimulator::TAG_JV, L"JV"}, {ekSimulator::TAG_CV, L"CV"}, {ekSimulator::TAG_QW, L"QW"},
        {ekSimulator::TAG_CF, L"CF"}, {ekSimulator::TAG_PV, L"PV"}, {ekSimulator::TAG_PC, L"PC"}};
    for (const auto& t : tags) {
        if (flags & t.bit) {
            return t.tag;
        }
    }
    return L"DG";
}

}  // namespace

void ekSimulator::printHeader(FILE* stream, int tagFlags) const
{
    if (stream == nullptr) {
        return;
    }
    std::wstring text = L"# Kovra <";
    text += tagOf(tagFlags);
    text += L">\n# The above first line is mandatory\n";
    text += L"#\n# Kovra Version " KOVRA_VERSION_W L" Build " KOVRA_BUILD_W L" Linux\n#\n";
    if (device != nullptr && device->getName() != nullptr && device->getName()[0] != 0) {
        text += L"# ";
        text += device->getName();
        text += L"\n";
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        wchar_t stamp[64];
        if (std::wcsftime(stamp, 63, L"%Y-%m-%d %H:%M:%S", &local) > 0) {
            text += L"# Saved: ";
            text += stamp;
            text += L"\n";
        }
    }
    kov_FileWriteW(stream, text.c_str());
}

bool ekSimulator::saveMesh(const double* positions)
{
    if (isBlocked() || positions == nullptr || Points < 1) {
        return false;
    }
    ek_resetSigma(sigma);
    FILE* f = ekResult::open(ekResult::path(output.folder, L"_mesh.txt"));
    if (f == nullptr) {
        return false;
    }
    printHeader(f, 0);
    kov_FileWriteW(f, L"#\n# z (um)\n#\n");
    ekResult::writeRows(f, sigma, Stopped, 1, Points,
                        [&](int i, double* v) { v[0] = positions[i] * norm.length; });
    return ekResult::close(f, sigma);
}

bool ekSimulator::saveInitialGuess(const double* positions, const double* V, const double* Fn,
                                   const double* Fp)
{
    if (isBlocked() || positions == nullptr || V == nullptr || Fn == nullptr || Fp == nullptr ||
        Points < 1) {
        return false;
    }
    ek_resetSigma(sigma);
    FILE* f = ekResult::open(ekResult::path(output.folder, L"_initialguess.txt"));
    if (f == nullptr) {
        return false;
    }
    printHeader(f, 0);
    kov_FileWriteW(f, L"#\n# z (um)\tV (V)\tFn (eV)\tFp (eV)\n#\n");
    ekResult::writeRows(f, sigma, Stopped, 4, Points, [&](int i, double* v) {
        v[0] = positions[i] * norm.length;
        v[1] = V[i] * norm.Vt;
        v[2] = Fn[i] * norm.Vt;
        v[3] = Fp[i] * norm.Vt;
    });
    return ekResult::close(f, sigma);
}

bool ekSimulator::saveInput()
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    // Without the material arrays the device data are invalid, whatever
    // its size.
    if (mesh.mat.Eg == nullptr) {
        sigma->error(L"invalid device data");
        return false;
    }
    if (!ekResult::deviceValid(device, deviceLength * norm.length, Points, sigma)) {
        return false;
    }
    const std::wstring path = ekResult::path(output.folder, L"_input.txt");
    FILE* f = ekResult::open(path);
    if (f == nullptr) {
        sigma->error(L"input data not saved: cannot open file \"" + path + L"\"");
        return false;
    }
    kov_FileWriteW(f, L"#\n# z (um)\tEg (eV)\tEps\tNC (1/cm3)\tNV (1/cm3)\tni (1/cm3)\t"
                      L"Mobn (cm2/Vs)\tMobp (cm2/Vs)\tBeta (cm3/s)\tCn (cm6/s)\tCp (cm6/s)\t"
                      L"Taun (s)\tTaup (s)\tNd (1/cm3)\tEd (eV)\tTaunD (s)\tTaupD (s)\t"
                      L"Na (1/cm3)\tEa (eV)\tTaunA (s)\tTaupA (s)\tn\tk\n");
    const double N0 = norm.density;
    const double T0 = norm.time;
    for (int i = 0; i < Points; ++i) {
        const uint8_t kind = mesh.mat.dopantKind[i];
        const bool donor = kind == ekLimits::KIND_DONOR;
        const bool acceptor = kind == ekLimits::KIND_ACCEPTOR;
        const double values[] = {
            mesh.sol.z[i] * norm.length,
            mesh.mat.Eg[i] * norm.Vt,
            mesh.mat.Eps[i],
            mesh.mat.NC[i] * N0,
            mesh.mat.NV[i] * N0,
            mesh.mat.ni[i] * N0,
            mesh.mat.Mobn[i] * norm.mobility,
            mesh.mat.Mobp[i] * norm.mobility,
            mesh.mat.Beta[i] * norm.recombination,
            mesh.mat.Cn[i] * norm.recombination / N0,
            mesh.mat.Cp[i] * norm.recombination / N0,
            (donor || acceptor ? mesh.mat.dopantTaun[i] : mesh.mat.Taun[i]) * T0,
            (donor || acceptor ? mesh.mat.dopantTaup[i] : mesh.mat.Taup[i]) * T0,
            donor ? mesh.mat.dopantN[i] * N0 : 0.0,
            donor ? mesh.mat.dopantE[i] * norm.Vt : 0.0,
            donor ? mesh.mat.dopantTaun[i] * T0 : 0.0,
            donor ? mesh.mat.dopantTaup[i] * T0 : 0.0,
            acceptor ? mesh.mat.dopantN[i] * N0 : 0.0,
            acceptor ? mesh.mat.dopantE[i] * norm.Vt : 0.0,
            acceptor ? mesh.mat.dopantTaun[i] * T0 : 0.0,
            acceptor ? mesh.mat.dopantTaup[i] * T0 : 0.0,
            mesh.mat.indexN[i],
            mesh.mat.indexK[i],
        };
        ekResult::writeRow(f, values, static_cast<int>(sizeof(values) / sizeof(values[0])),
                           i == Points - 1);

        if (i >= 1 && i <= Points - 2 &&
            (mesh.mat.pointKind[i] & ekMeshFields::POINT_INTERFACE) != 0 && !sigma->isNoWarn() &&
            (mesh.mat.Mobp[i - 1] > mesh.mat.Mobn[i - 1] ||
             mesh.mat.Mobp[i + 1] > mesh.mat.Mobn[i + 1])) {
            sigma->update(L"[WARNING] electron/hole mobility values seems to be inconsistent\n", 2);
            ek_resetSigma(sigma);
        }
        // The file is finished: a stop must not leave it cut.
        stopRequested();
    }
    if (!ekResult::close(f, sigma)) {
        return false;
    }
    if (sigma->isVerbose()) {
        wchar_t line[1100];
        std::swprintf(line, 1100, L"[INFO]    device structure saved to \"%ls\"\n", path.c_str());
        sigma->update(line, 0);
    }
    return true;
}
