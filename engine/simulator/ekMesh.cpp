// Mesh size: per-layer counts, the uniform ladder, exact counts, growth of a
// coarse mesh (of the whole mesh, and of the coarsest layer of a per-layer
// mesh before the run meshes the device), and the mesh and initial-guess
// files.
#include <cmath>
#include <cwchar>
#include <string>

#include "ekPointLimits.h"
#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekLimits.h"
#include "ekMesh.h"
#include "ekSimulator.h"
#include "focore.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr int FILE_ROWS_MAX = 20000;

// A file's last position must be the device thickness. The thickness is a
// sum of layer thicknesses and the file a printed number, so both carry
// rounding far below any physical length: compare to 1e-9 relative.
bool isDeviceEnd(double z, double thickness)
{
    return std::fabs(z - thickness) <= 1e-9 * std::fabs(thickness);
}

// ---- point count ------------------------------------------------------------------

// Point count of mode 0x20 or 0x10, or of the file (current when the mode
// decides none); 0 after an error, which is reported.
int decidePoints(nuSigma* sigma, const ElecDevice* device, uint8_t mode, int current, int total)
{
    int N = current;
    if (mode & nuParam::MESH_LAYER) {
        const bool verbose = sigma->isVerbose();
        if (verbose) {
            sigma->update(L"[INFO]    Layers Mesh:\n", 0);
        }
        int sum = 0;
        for (int l = 0; l < device->getLayerCount(); ++l) {
            const ekLayer* layer = device->getLayer(l);
            const int m = layer->getMeshPoints();
            if (m < ekLayer::MESH_POINTS_MIN || m > ekLayer::MESH_POINTS_MAX) {
                sigma->error(
                    ek_format(L"[Layer%d]:   invalid number of mesh points: %d", l + 1, m));
                return 0;
            }
            sum += m;
            if (verbose) {
                sigma->update(
                    ek_format(L"[INFO]    [Layer%d]:   mesh points = %4d   thickness = %ls\n",
                              l + 1, m, nu_numberText(layer->getThickness()).c_str())
                        .c_str(),
                    0);
            }
        }
        if (sum < ekLimits::DEVICE_POINTS_MIN || sum > ekLimits::DEVICE_POINTS_MAX) {
            sigma->error(L"invalid total number of mesh points: " + std::to_wstring(sum));
            return 0;
        }
        N = sum;
    } else if (mode & nuParam::MESH_UNIFORM) {
        if (total <= ekLimits::DEVICE_POINTS_MIN) {
            N = ekLimits::DEVICE_POINTS_MIN;
        } else if (total >= ekLimits::DEVICE_POINTS_MAX) {
            N = ekLimits::DEVICE_POINTS_MAX;
        } else {
            for (int size : ekSimulator::MESH_LADDER) {
                if (size >= total) {
                    N = size;
                    break;
                }
            }
        }
    } else if (mode & nuParam::MESH_EXACT) {
        N = total;
    }
    return N;
}

}  // namespace

void ekSimulator::setDevice(ElecDevice* deviceIn, int total)
{
    if (isBlocked()) {
        return;
    }
    device = deviceIn;
    if (device == nullptr || total < ekLimits::DEVICE_POINTS_MIN ||
        total > ekLimits::DEVICE_POINTS_MAX) {
        sigma->error(L"invalid simulation parameters");
        return;
    }
    const int N = decidePoints(sigma, device, param->mesh, Points, total);
    if (N == 0) {
        return;
    }
    if (!coarseMesh && sigma->comm) {
        wchar_t line[64];
        std::swprintf(line, 64, L"[SEND]ZP:%d", N);
        sigma->writeComm(line);
    }
    if (sigma->isVerbose()) {
        sigma->update((L"[INFO]    total mesh points = " + std::to_wstring(N) + L"\n").c_str(), 0);
    }
    if (N >= ekLimits::DEVICE_POINTS_MIN && N <= ekLimits::DEVICE_POINTS_MAX) {
        param->points = N;
    }
    Points = N;
    device->updateHeterostructure();
    device->updateGraded();
    assignResources();
}

bool ekSimulator::increasePoints()
{
    if (isBlocked() || Points >= ekLimits::DEVICE_POINTS_MAX) {
        return false;
    }
    int next = 0;
    for (int i = 1; i < LADDER_SIZE; ++i) {
        if (MESH_LADDER[i - 1] <= Points && Points < MESH_LADDER[i]) {
            next = MESH_LADDER[i];
            break;
        }
    }
    if (next == 0) {
        return false;
    }
    Points = next;
    assignResources();
    if (!sigma->isOK()) {
        return false;
    }
    if (!coarseMesh && sigma->comm) {
        wchar_t line[64];
        std::swprintf(line, 64, L"[SEND]ZP:%d", Points);
        sigma->writeComm(line);
    }
    return true;
}

ekSimulator::MeshGrowth ekSimulator::growCoarseMesh()
{
    for (int growth = 0; growth < ekLimits::MESH_REFINEMENTS && coarseMesh; ++growth) {
        if (!increasePoints()) {
            return MeshGrowth::LadderEnds;
        }
    }
    return coarseMesh ? MeshGrowth::StillCoarse : MeshGrowth::Fine;
}

bool ekSimulator::checkMeshStep()
{
    if (isBlocked() || device == nullptr) {
        return false;
    }
    const int layers = device->getLayerCount();
    if (device->getThickness() < 0.01 || Points < ekLimits::DEVICE_POINTS_MIN ||
        Points > ekLimits::DEVICE_POINTS_MAX || layers < 1 || layers > LAYERS_MAX) {
        sigma->error(L"invalid device mesh parameters (points, dimension, layers count)\n"
                     L"Simulation Ended");
        return false;
    }
    if (!coarseMesh) {
        return true;
    }
    if (sigma->isVerbose()) {
        sigma->update(L"[INFO]    too large step relatively to the thinnest layer: increasing "
                      L"the number of points...\n",
                      0);
    }
    switch (growCoarseMesh()) {
    case MeshGrowth::Fine: return true;
    case MeshGrowth::LadderEnds:
        if (sigma->isOK()) {
            sigma->error(L"too large spatial step, relatively to the thinnest "
                         L"layer");
        }
        return false;
    case MeshGrowth::StillCoarse: break;
    }
    sigma->error(L"Too large spatial step, relatively to the thinnest layer");
    return false;
}

// ---- mesh and initial-guess files ---------------------------------------------------

void ekMeshFile::releaseMesh(nuSigma* sigma)
{
    if (z != nullptr && sigma != nullptr) {
        sigma->freeDbl(&z);
    }
    z = nullptr;
    count = 0;
}

void ekMeshFile::releaseGuess(nuSigma* sigma)
{
    if (sigma != nullptr) {
        if (V != nullptr) {
            sigma->freeDbl(&V);
        }
        if (Fn != nullptr) {
            sigma->freeDbl(&Fn);
        }
        if (Fp != nullptr) {
            sigma->freeDbl(&Fp);
        }
    }
    V = Fn = Fp = nullptr;
}

namespace {

// Scratch columns of a file read, freed on every path.
struct Columns {
    nuSigma* sigma;
    double* data[4] = {};
    int count;
    Columns(nuSigma* s, int n) : sigma(s), count(n) {}
    bool allocate()
    {
        for (int c = 0; c < count; ++c) {
            data[c] = sigma->mallocDbl(FILE_ROWS_MAX, true);
            if (data[c] == nullptr) {
                return false;
            }
        }
        return true;
    }
    ~Columns()
    {
        for (double*& d : data) {
            if (d != nullptr) {
                sigma->freeDbl(&d);
            }
        }
    }
};

// First position zero, last the device end, every position inside and
// strictly after the one before. Reports the first violation, naming the
// file, the position and its value.
bool checkPositions(nuSigma* sigma, const wchar_t* kind, const wchar_t* file, const double* z,
                    int rows, double thickness)
{
    const std::wstring where = L"invalid " + std::wstring(kind) + L" " + file + L": ";
    const std::wstring device = L"the device, 0 to " + nu_numberText(thickness) + L" um";
    if (!ek_isZero(z[0]) || z[0] < 0.0 || z[0] >= thickness ||
        !isDeviceEnd(z[rows - 1], thickness)) {
        sigma->error(where + L"the positions run from " + nu_numberText(z[0]) + L" to " +
                     nu_numberText(z[rows - 1]) +
                     L" um (the first and last position values "
                     L"should correspond to the device limits, 0 and " +
                     nu_numberText(thickness) + L" um)");
        return false;
    }
    for (int r = 0; r < rows; ++r) {
        const bool inside = z[r] >= 0.0 && z[r] >= z[0] && (z[r] <= thickness || r == rows - 1);
        if (!inside) {
            sigma->error(where + L"position " + std::to_wstring(r + 1) + L", " +
                         nu_numberText(z[r]) + L" um, lies outside " + device);
            return false;
        }
        if (r > 0 && !(z[r] > z[r - 1])) {
            sigma->error(where + L"position " + std::to_wstring(r + 1) + L", " +
                         nu_numberText(z[r]) + L" um, is not above position " + std::to_wstring(r) +
                         L", " + nu_numberText(z[r - 1]) + L" um (positions increase)");
            return false;
        }
    }
    return true;
}

// A file whose row count is no mesh: how many it holds against the limits.
void refuseRows(nuSigma* sigma, const wchar_t* kind, const wchar_t* file, int rows)
{
    const std::wstring limits = L"a mesh has " + std::to_wstring(ekLimits::DEVICE_POINTS_MIN) +
                                L" to " + std::to_wstring(FILE_ROWS_MAX) +
                                L" positions, one row each";
    if (rows <= 0) {
        sigma->error(L"cannot read the " + std::wstring(kind) + L" " + file +
                     L" as rows of numbers (" + limits + L")");
        return;
    }
    sigma->error(L"invalid " + std::wstring(kind) + L" " + file + L": " +
                 (rows > FILE_ROWS_MAX ? L"more than " + std::to_wstring(FILE_ROWS_MAX)
                                       : std::to_wstring(rows)) +
                 L" positions (" + limits + L")");
}

// The loading line, cut to 287 characters (its line end kept).
void logLoading(nuSigma* sigma, const wchar_t* what, const wchar_t* name)
{
    std::wstring line = L"[INFO]    loading the ";
    line += what;
    line += L" \"";
    line += name;
    line += L"\"...\n";
    if (line.size() > 287) {
        line = line.substr(0, 286) + L"\n";
    }
    sigma->update(line.c_str(), 0);
}

}  // namespace

int ekSimulator::meshInit(double thickness)
{
    if (isBlocked() || MeshFilename[0] == 0) {
        return 0;
    }
    if (kov_fileExistsW(MeshFilename) < 1) {
        sigma->error(L"invalid custom mesh file");
        return 0;
    }
    meshFile.releaseMesh(sigma);
    if (sigma->debug) {
        logLoading(sigma, L"custom mesh file", MeshFilename);
    }
    Columns scratch(sigma, 1);
    if (!scratch.allocate()) {
        sigma->error(L"insufficient memory to handle the custom mesh");
        return 0;
    }
    const int rows = fo_importAscii(MeshFilename, scratch.data, 1, FILE_ROWS_MAX, L'\t', 0, sigma);
    // Every point of the mesh is a row of the file, and a mesh has 50 to
    // 20000 points: a shorter file cannot be a mesh.
    if (rows < ekLimits::DEVICE_POINTS_MIN || rows > FILE_ROWS_MAX) {
        refuseRows(sigma, L"mesh file", MeshFilename, rows);
        return 0;
    }
    if (!checkPositions(sigma, L"mesh file", MeshFilename, scratch.data[0], rows, thickness)) {
        return 0;
    }
    meshFile.z = sigma->mallocDbl(static_cast<size_t>(rows), true);
    if (meshFile.z == nullptr) {
        sigma->error(L"insufficient memory to handle the custom mesh");
        return 0;
    }
    for (int r = 0; r < rows; ++r) {
        meshFile.z[r] = scratch.data[0][r] / norm.length;
    }
    meshFile.count = rows;
    if (sigma->debug) {
        sigma->update(L"[INFO]    custom mesh loaded\n", 0);
    }
    param->mesh = nuParam::MESH_EXACT;
    return rows;
}

int ekSimulator::guessInit(double thickness)
{
    if (isBlocked() || InitialGuessFilename[0] == 0) {
        return 0;
    }
    if (kov_fileExistsW(InitialGuessFilename) < 1) {
        sigma->error(L"invalid initial guess file");
        return 0;
    }
    meshFile.releaseMesh(sigma);
    meshFile.releaseGuess(sigma);
    if (sigma->debug) {
        logLoading(sigma, L"initial guess file", InitialGuessFilename);
    }
    const wchar_t* noMemory = L"insufficient memory to handle the custom initial guess";
    Columns scratch(sigma, 4);
    if (!scratch.allocate()) {
        sigma->error(noMemory);
        return 0;
    }
    const int rows =
        fo_importAscii(InitialGuessFilename, scratch.data, 4, FILE_ROWS_MAX, L'\t', 0, sigma);
    if (rows < ekLimits::DEVICE_POINTS_MIN || rows > FILE_ROWS_MAX) {
        refuseRows(sigma, L"initial guess file", InitialGuessFilename, rows);
        return 0;
    }
    const double* z = scratch.data[0];
    if (!checkPositions(sigma, L"initial guess file", InitialGuessFilename, z, rows, thickness)) {
        return 0;
    }
    for (int r = 0; r < rows; ++r) {
        const double V = scratch.data[1][r];
        const double Fn = scratch.data[2][r];
        const double Fp = scratch.data[3][r];
        if (!(std::fabs(V) <= 20.0 && std::fabs(Fn) <= 20.0 && std::fabs(Fp) <= 20.0)) {
            sigma->error(L"invalid initial guess values (z V  EFn  EFp): " + nu_numberText(z[r]) +
                         L"  " + nu_numberText(V) + L"  " + nu_numberText(Fn) + L"  " +
                         nu_numberText(Fp));
            return 0;
        }
    }
    const size_t n = static_cast<size_t>(rows);
    meshFile.z = sigma->mallocDbl(n, true);
    meshFile.V = sigma->mallocDbl(n, true);
    meshFile.Fn = sigma->mallocDbl(n, true);
    meshFile.Fp = sigma->mallocDbl(n, true);
    if (meshFile.z == nullptr || !meshFile.hasGuess()) {
        meshFile.releaseMesh(sigma);
        meshFile.releaseGuess(sigma);
        sigma->error(noMemory);
        return 0;
    }
    // The guess file's positions are the mesh of the run.
    for (int r = 0; r < rows; ++r) {
        meshFile.z[r] = z[r] / norm.length;
        meshFile.V[r] = scratch.data[1][r] / norm.Vt;
        meshFile.Fn[r] = scratch.data[2][r] / norm.Vt;
        meshFile.Fp[r] = scratch.data[3][r] / norm.Vt;
    }
    meshFile.count = rows;
    if (sigma->debug) {
        sigma->update(L"[INFO]    custom initial guess loaded\n", 0);
    }
    param->mesh = nuParam::MESH_EXACT;
    return rows;
}

int ekSimulator::refineCoarseMesh()
{
    if (!coarseMesh) {
        return 1;
    }
    sigma->update(
        L"[INFO]    too large step, relatively to the thinnest layer: increasing the number of "
        L"points...\n",
        0);
    const MeshGrowth growth = growCoarseMesh();
    if (growth == MeshGrowth::Fine) {
        return 1;
    }
    // The run ends here: an error line, like the mesh check's own, not an
    // information line that raises the error flag.
    sigma->error(L"too large spatial step, relatively to the thinnest layer");
    return growth == MeshGrowth::LadderEnds ? 0 : -1;
}

int ek_refineCoarsestLayer(ElecDevice* device)
{
    const int layers = device->getLayerCount();
    double thinnest = 0.0, largestStep = 0.0;
    int coarsest = -1;
    for (int l = 0; l < layers; ++l) {
        const ekLayer* layer = device->getLayer(l);
        const double t = layer->getThickness();
        const int points = layer->getMeshPoints();
        if (coarsest < 0 || t < thinnest) {
            thinnest = t;
        }
        const double step = points > 0 ? t / points : 0.0;
        if (coarsest < 0 || step > largestStep) {
            largestStep = step;
            coarsest = l;
        }
    }
    if (coarsest < 0 || !(thinnest > 0.0) || !(largestStep > 0.2 * thinnest)) {
        return -1;
    }
    // At least five times the points, and rounded up, so that the step does
    // fall below the threshold: a rounded-down factor could leave it above,
    // and the rewritten input copy would then grow the mesh again when rerun.
    // The count stays within a layer's most.
    constexpr int MOST = ekLayer::MESH_POINTS_MAX;
    const double ratio = largestStep / (0.2 * thinnest);
    int factor = ratio > MOST ? MOST : static_cast<int>(std::ceil(ratio));
    factor = factor < 5 ? 5 : (factor > MOST ? MOST : factor);
    ekLayer* layer = device->getLayer(coarsest);
    const long long points = static_cast<long long>(layer->getMeshPoints()) * factor;
    layer->updateMesh(static_cast<int>(points > MOST ? MOST : points));
    return coarsest;
}
