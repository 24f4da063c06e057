// ekSimulator: construction, the per-point arrays and the small accessors.
#include "ekPointLimits.h"
#include "ekSimulator.h"

#include <cwchar>

#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekStructureBuilder.h"
#include "nucore.h"

const int ekSimulator::MESH_LADDER[ekSimulator::LADDER_SIZE] = {
    50,   100,  200,  300,  400,  500,  600,   700,   800,   900,   1000,  2000, 3000,
    4000, 5000, 6000, 7000, 8000, 9000, 10000, 12000, 14000, 16000, 18000, 20000};

ekSimulator::ekSimulator(nuSigma* sigmaIn, nuParam* paramIn) : sigma(sigmaIn), param(paramIn)
{
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

bool ekSimulator::isBlocked() const { return sigma == nullptr || sigma->err != 0; }

double ekSimulator::interpolateParameter(double a, double b, int flags) const
{
    return ek_interfaceMean(a, b, flags);
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

bool ekSimulator::stopRequested()
{
    Stopped = Stopped || sigma->stopIt();
    return Stopped;
}

bool ekSimulator::interrupted() { return stopRequested() || sigma->err != 0; }

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
    if (mesh.sol.z == nullptr || i < 0 || i >= Points) {
        return false;
    }
    const double Vt = norm.Vt;
    const double N0 = norm.density;
    return isItemValid(mesh.sol.z[i] * norm.length, mesh.sol.V[i] * Vt, mesh.sol.EC[i] * Vt,
                       mesh.sol.EV[i] * Vt, mesh.sol.Fn[i] * Vt, mesh.sol.Fp[i] * Vt,
                       mesh.sol.n[i] * N0, mesh.sol.p[i] * N0);
}

// ---- per-point arrays ---------------------------------------------------------

void ekSimulator::releaseResources() { mesh.release(sigma); }

void ekSimulator::assignResources()
{
    if (isBlocked()) {
        return;
    }
    if (device == nullptr || Points < ekLimits::DEVICE_POINTS_MIN ||
        Points > ekLimits::DEVICE_POINTS_MAX) {
        sigma->error(L"invalid simulation parameters: number of mesh points: " +
                     std::to_wstring(Points));
        return;
    }
    releaseResources();
    prevPoint = 0;
    convergedCount = 0;
    equilibriumSolved = 0;
    if (!mesh.allocate(sigma, Points)) {
        releaseResources();
        sigma->reportNoMemory();
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
                      static_cast<unsigned long>(mesh.getArrayBytes()));
        sigma->update(line, 0);
    }
}
