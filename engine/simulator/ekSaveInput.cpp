// Files of the set-up: the common result-file header, the material
// parameters on the mesh ("simulout_input.txt"), the mesh and the initial
// guess. Values are written back in physical units.
#include <ctime>
#include <cwchar>
#include <string>

#include "ElecDevice.h"
#include "ekHelpers.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

const wchar_t* tagOf(int flags)
{
    static const struct {
        int bit;
        const wchar_t* tag;
    } tags[] = {{0x10, L"DE"},   {0x100, L"EE"},  {0x200, L"EN"}, {0x1000, L"JV"},
                {0x2000, L"CV"}, {0x4000, L"QW"}, {0x8000, L"CF"}};
    for (const auto& t : tags) {
        if (flags & t.bit) {
            return t.tag;
        }
    }
    return L"DG";
}

// One number as the result files write it: the library's shortest exact text.
void appendNumber(std::wstring& row, double value)
{
    wchar_t text[32];
    nu_reformatAuto(value, text, 32, nullptr, nullptr, -1);
    row += text;
}

std::wstring resultPath(const wchar_t* folder, const wchar_t* name)
{
    std::wstring path = folder;
    path += name;
    return path;
}

// Opens a result file for writing, replacing an existing one.
FILE* openResult(const std::wstring& path)
{
    kov_fileReadWriteW(path.c_str());
    return kov_FileOpenW(path.c_str(), "w");
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
    text += L"#\n# Kovra Version 3.0 Build 2412 Linux\n#\n";
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
    FILE* f = openResult(resultPath(outputDir, L"simulout_mesh.txt"));
    if (f == nullptr) {
        return false;
    }
    printHeader(f, 0);
    kov_FileWriteW(f, L"#\n# z (um)\n#\n");
    for (int i = 0; i < Points; ++i) {
        std::wstring row;
        appendNumber(row, positions[i] * norm.length);
        if (i < Points - 1) {
            row += L"\n";
        }
        kov_FileWriteW(f, row.c_str());
        if (Stopped || sigma->stopIt()) {
            Stopped = true;
            break;
        }
    }
    kov_FileClose(&f);
    return true;
}

bool ekSimulator::saveInitialGuess(const double* positions, const double* V, const double* Fn,
                                   const double* Fp)
{
    if (isBlocked() || positions == nullptr || V == nullptr || Fn == nullptr || Fp == nullptr ||
        Points < 1) {
        return false;
    }
    ek_resetSigma(sigma);
    FILE* f = openResult(resultPath(outputDir, L"simulout_initialguess.txt"));
    if (f == nullptr) {
        return false;
    }
    printHeader(f, 0);
    kov_FileWriteW(f, L"#\n# z (um)\tV (V)\tFn (eV)\tFp (eV)\n#\n");
    for (int i = 0; i < Points; ++i) {
        std::wstring row;
        appendNumber(row, positions[i] * norm.length);
        row += L"\t";
        appendNumber(row, V[i] * norm.Vt);
        row += L"\t";
        appendNumber(row, Fn[i] * norm.Vt);
        row += L"\t";
        appendNumber(row, Fp[i] * norm.Vt);
        if (i < Points - 1) {
            row += L"\n";
        }
        kov_FileWriteW(f, row.c_str());
        if (Stopped || sigma->stopIt()) {
            Stopped = true;
            break;
        }
    }
    kov_FileClose(&f);
    return true;
}

bool ekSimulator::saveInput()
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (device == nullptr || mat.Eg == nullptr) {
        sigma->update(L"[ERROR]   invalid device data\n", 1);
        return false;
    }
    if (deviceLength * norm.length < 0.01) {
        sigma->update(L"[ERROR]   invalid device size\n", 1);
        return false;
    }
    const int layers = device->getLayerCount();
    if (Points < POINTS_MIN || Points > POINTS_MAX || layers < 1 || layers > LAYERS_MAX) {
        sigma->update(L"[ERROR]   invalid device data\n", 1);
        return false;
    }
    const std::wstring path = resultPath(outputDir, L"simulout_input.txt");
    FILE* f = openResult(path);
    if (f == nullptr) {
        wchar_t line[1100];
        std::swprintf(line, 1100, L"[ERROR]   input data not saved: cannot open file \"%ls\"\n",
                      path.c_str());
        sigma->update(line, 1);
        return false;
    }
    kov_FileWriteW(f, L"#\n# z (um)\tEg (eV)\tEps\tNC (1/cm3)\tNV (1/cm3)\tni (1/cm3)\t"
                      L"Mobn (cm2/Vs)\tMobp (cm2/Vs)\tBeta (cm3/s)\tCn (cm6/s)\tCp (cm6/s)\t"
                      L"Taun (s)\tTaup (s)\tNd (1/cm3)\tEd (eV)\tTaunD (s)\tTaupD (s)\t"
                      L"Na (1/cm3)\tEa (eV)\tTaunA (s)\tTaupA (s)\tn\tk\n");
    const double N0 = norm.density;
    const double T0 = norm.time;
    for (int i = 0; i < Points; ++i) {
        const uint8_t kind = mat.dopantKind[i];
        const bool donor = kind == 0x10;
        const bool acceptor = kind == 0x20;
        const double values[] = {
            sol.z[i] * norm.length,
            mat.Eg[i] * norm.Vt,
            mat.Eps[i],
            mat.NC[i] * N0,
            mat.NV[i] * N0,
            mat.ni[i] * N0,
            mat.Mobn[i] * norm.mobility,
            mat.Mobp[i] * norm.mobility,
            mat.Beta[i] * norm.recombination,
            mat.Cn[i] * norm.recombination / N0,
            mat.Cp[i] * norm.recombination / N0,
            (donor || acceptor ? mat.dopantTaun[i] : mat.Taun[i]) * T0,
            (donor || acceptor ? mat.dopantTaup[i] : mat.Taup[i]) * T0,
            donor ? mat.dopantN[i] * N0 : 0.0,
            donor ? mat.dopantE[i] * norm.Vt : 0.0,
            donor ? mat.dopantTaun[i] * T0 : 0.0,
            donor ? mat.dopantTaup[i] * T0 : 0.0,
            acceptor ? mat.dopantN[i] * N0 : 0.0,
            acceptor ? mat.dopantE[i] * norm.Vt : 0.0,
            acceptor ? mat.dopantTaun[i] * T0 : 0.0,
            acceptor ? mat.dopantTaup[i] * T0 : 0.0,
            mat.indexN[i],
            mat.indexK[i],
        };
        std::wstring row;
        for (size_t c = 0; c < sizeof(values) / sizeof(values[0]); ++c) {
            if (c > 0) {
                row += L"\t";
            }
            appendNumber(row, values[c]);
        }
        if (i < Points - 1) {
            row += L"\n";
        }
        kov_FileWriteW(f, row.c_str());

        if (i >= 1 && i <= Points - 2 && (mat.pointKind[i] & 0xF0) == POINT_INTERFACE &&
            !sigma->isNoWarn() &&
            (mat.Mobp[i - 1] > mat.Mobn[i - 1] || mat.Mobp[i + 1] > mat.Mobn[i + 1])) {
            sigma->update(L"[WARNING] electron/hole mobility values seems to be inconsistent\n", 2);
            ek_resetSigma(sigma);
        }
        if (Stopped || sigma->stopIt()) {
            Stopped = true;
            break;
        }
    }
    kov_FileClose(&f);
    if (sigma->isVerbose()) {
        wchar_t line[1100];
        std::swprintf(line, 1100, L"[INFO]    device structure saved to \"%ls\"\n", path.c_str());
        sigma->update(line, 0);
    }
    return true;
}
