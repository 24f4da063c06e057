// ekSimulator: construction, the per-point arrays and the small accessors.
#include "ekSimulator.h"

#include <algorithm>
#include <cwchar>
#include <new>

#include "ElecDevice.h"
#include "ElecSweep.h"
#include "nucore.h"

const int ekSimulator::MESH_LADDER[ekSimulator::LADDER_SIZE] = {
    50,   100,  200,  300,  400,  500,   600,   700,   800,   900,   1000,  2000, 3000,
    4000, 5000, 6000, 7000, 8000, 9000, 10000, 12000, 14000, 16000, 18000, 20000};

ekSimulator::ekSimulator(nuSigma* sigmaIn, nuParam* paramIn) : sigma(sigmaIn), param(paramIn)
{
    for (int& index : interfaceIndex) {
        index = -1;
    }
    for (auto& pair : polPairs) {
        pair[0] = -1;
        pair[1] = -1;
    }
    calcNorm(300.0);
}

ekSimulator::~ekSimulator()
{
    releaseResources();
    deleteSweepBias();
    deleteSweepLight();
    meshFile.releaseMesh(sigma);
    meshFile.releaseGuess(sigma);
}

bool ekSimulator::isBlocked() const
{
    return sigma == nullptr || sigma->err != 0;
}

double ekSimulator::interpolateParameter(double a, double b, int flags) const
{
    const double s = a + b;
    if (s == 0.0 || a * b <= 0.0) {
        return (flags & ekLimits::MEAN_ARITHMETIC) ? s / 2.0 : b;
    }
    double m = b;
    if (flags & ekLimits::MEAN_ARITHMETIC) {
        m = s / 2.0;
    } else if (flags & ekLimits::MEAN_HARMONIC) {
        m = 2.0 * a * b / s;
    }
    if (m >= std::min(a, b) && m <= std::max(a, b)) {
        return m;
    }
    return b;
}

void ekSimulator::setSigma(nuSigma* sigmaIn)
{
    sigma = sigmaIn;
    if (device != nullptr) {
        device->setSigma(sigmaIn);
    }
    if (SweepBias != nullptr) {
        SweepBias->setSigma(sigmaIn);
    }
    if (SweepLight != nullptr) {
        SweepLight->setSigma(sigmaIn);
    }
}

void ekSimulator::deleteSweepBias()
{
    if (SweepBias != nullptr) {
        SweepBias->releaseResources();
        delete SweepBias;
        SweepBias = nullptr;
    }
}

void ekSimulator::deleteSweepLight()
{
    if (SweepLight != nullptr) {
        SweepLight->releaseResources();
        delete SweepLight;
        SweepLight = nullptr;
    }
}

int ekSimulator::getInterfaceIndex(int k) const
{
    return (k >= 0 && k < interfaceCount) ? interfaceIndex[k] : -1;
}

double ekSimulator::getJunctionBound(int k) const
{
    return (k >= 0 && k < junctionCount) ? junctionBounds[k] : 0.0;
}

double ekSimulator::getLayerVeq(int layer) const
{
    return (layer >= 0 && layer < LAYERS_MAX) ? layerVeq[layer] : 0.0;
}

int ekSimulator::getPointLayer(int i) const
{
    return (pointLayer != nullptr && i >= 0 && i < Points) ? pointLayer[i] : -1;
}

bool ekSimulator::stopRequested()
{
    Stopped = Stopped || sigma->stopIt();
    return Stopped;
}

bool ekSimulator::interrupted()
{
    return stopRequested() || sigma->err != 0;
}

double ekSimulator::getLightTotal(int k) const
{
    switch (k) {
    case 0:
    case 1: return lightState.totals.transmitted;
    case 2: return lightState.totals.incident;
    case 3: return lightState.totals.power;
    default: return 0.0;
    }
}

void ekSimulator::setLightState(uint8_t kind, double wavelength, double fluxAfterAnode,
                                double fluxIncident)
{
    lightState.type = kind;
    lightState.wavelength = wavelength;
    lightState.totals.transmitted = fluxAfterAnode;
    lightState.totals.incident = fluxIncident;
    lightState.monoFlux = fluxIncident * norm.photonFlux;
}

bool ekSimulator::isItemValid(double z, double V, double EC, double EV, double Fn, double Fp,
                              double n, double p) const
{
    auto within = [](double x, double lo, double hi) { return x >= lo && x <= hi; };
    return within(z, 0.0, deviceLength * norm.length) && within(V, -20.0, 20.0) &&
           within(EC, -20.0, 20.0) && within(EV, -20.0, 20.0) && within(Fn, -20.0, 20.0) &&
           within(Fp, -20.0, 20.0) && within(n, 0.0, 1e24) && within(p, 0.0, 1e24);
}

bool ekSimulator::isItemValid(int i) const
{
    if (sol.z == nullptr || i < 0 || i >= Points) {
        return false;
    }
    const double Vt = norm.Vt;
    const double N0 = norm.density;
    return isItemValid(sol.z[i] * norm.length, sol.V[i] * Vt, sol.EC[i] * Vt, sol.EV[i] * Vt,
                       sol.Fn[i] * Vt, sol.Fp[i] * Vt, sol.n[i] * N0, sol.p[i] * N0);
}

// ---- per-point arrays ---------------------------------------------------------

template <typename F>
void ekSimulator::forEachArray(F&& f)
{
    // Material block: four runs, each led by its byte array.
    f(mat.pointKind);
    f(mat.Eg), f(mat.Chi), f(mat.NC), f(mat.NV), f(mat.ni), f(mat.niRef), f(mat.offN),
        f(mat.offP), f(mat.Eps);
    f(mat.gapKind);
    f(mat.indexN), f(mat.indexK), f(mat.Mobn), f(mat.Mobp), f(mat.Beta), f(mat.Cn), f(mat.Cp),
        f(mat.Taun), f(mat.Taup), f(mat.Gop), f(mat.photonFlux);
    f(mat.dopantKind);
    f(mat.dopantN), f(mat.dopantE), f(mat.dopantTaun), f(mat.dopantTaup), f(mat.dopantIon),
        f(mat.dopantF), f(mat.dopantN1), f(mat.dopantP1);
    f(mat.urbachFlag);
    f(mat.urbachEA), f(mat.urbachED), f(mat.urbachGA), f(mat.urbachGD), f(mat.urbachTaunA),
        f(mat.urbachTaupA), f(mat.urbachTaunD), f(mat.urbachTaupD), f(mat.absorptionEU),
        f(mat.absorptionEdge), f(mat.absorptionKEdge), f(mat.polTotal), f(mat.polSpont),
        f(mat.polPiezo);
    // Trap block, slot by slot.
    for (ekTrapArrays& t : trap) {
        f(t.kind);
        f(t.N), f(t.E), f(t.W), f(t.Taun), f(t.Taup), f(t.g), f(t.p1), f(t.n1);
    }
    // Solution block.
    f(sol.z), f(sol.V), f(sol.Veq), f(sol.nEq), f(sol.pEq), f(sol.Vn), f(sol.Vp), f(sol.work1),
        f(sol.work2), f(sol.Fn), f(sol.Fp), f(sol.En), f(sol.Ep), f(sol.work3), f(sol.work4),
        f(sol.EC), f(sol.EV), f(sol.n), f(sol.p), f(sol.Ndx), f(sol.Nax), f(sol.Ntdx),
        f(sol.Ntax), f(sol.RD), f(sol.RA), f(sol.RSRH), f(sol.Jn), f(sol.Jp), f(sol.Q),
        f(sol.work5), f(sol.Qssp), f(sol.Qspi);
}

namespace {

struct ArrayAllocator {
    nuSigma* sigma;
    size_t n;
    size_t* bytes;
    bool ok = true;
    void operator()(double*& a)
    {
        a = sigma->mallocDbl(n, true);
        ok = ok && a != nullptr;
        *bytes += n * sizeof(double);
    }
    void operator()(uint8_t*& a)
    {
        a = sigma->mallocBt(n, true);
        ok = ok && a != nullptr;
        *bytes += n;
    }
};

struct ArrayReleaser {
    nuSigma* sigma;
    void operator()(double*& a)
    {
        if (a != nullptr) {
            sigma->freeDbl(&a);
        }
        a = nullptr;
    }
    void operator()(uint8_t*& a)
    {
        if (a != nullptr) {
            sigma->freeBt(&a);
        }
        a = nullptr;
    }
};

}  // namespace

bool ekSimulator::allocateArrays()
{
    arrayBytes = 0;
    ArrayAllocator allocator{sigma, static_cast<size_t>(Points), &arrayBytes};
    forEachArray(allocator);
    pointLayer = new (std::nothrow) int[static_cast<size_t>(Points)]();
    return allocator.ok && pointLayer != nullptr;
}

void ekSimulator::releaseResources()
{
    if (sigma != nullptr) {
        forEachArray(ArrayReleaser{sigma});
    }
    delete[] pointLayer;
    pointLayer = nullptr;
    arrayBytes = 0;
}

void ekSimulator::assignResources()
{
    if (isBlocked()) {
        return;
    }
    if (device == nullptr || Points < ekLimits::DEVICE_POINTS_MIN || Points > ekLimits::DEVICE_POINTS_MAX) {
        wchar_t line[128];
        std::swprintf(line, 128, L"[ERROR]   invalid simulation parameters: number of mesh points: %d",
                      Points);
        sigma->update(line, 1);
        return;
    }
    releaseResources();
    prevPoint = 0;
    convergedCount = 0;
    equilibriumSolved = 0;
    if (!allocateArrays()) {
        releaseResources();
        sigma->update(L"[ERROR]   insufficient memory for simulation\n", 1);
        return;
    }
    if (!init()) {
        releaseResources();
        return;
    }
    if (sigma->debug) {
        saveInput();
        wchar_t line[128];
        std::swprintf(line, 128, L"[DEBUG]   allocated mesh memory: %lu bytes",
                      static_cast<unsigned long>(arrayBytes));
        sigma->update(line, 0);
    }
}
