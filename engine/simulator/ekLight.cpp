// Light sources: the built-in AM1.5 spectrum, a spectrum file, one line, or
// the wavelength grid of a quantum-efficiency sweep. Each is installed as
// the light spectrum record (wavelength, incident flux, absorbed flux, flux
// after the anode, EQE, IQE) before the mesh is built; the structure set-up
// and the sweeps turn it into generation.
#include <cmath>
#include <cwchar>
#include <new>
#include <string>

#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekResultWriter.h"
#include "ekExcitation.h"
#include "ekSimulator.h"
#include "ekSpectrumAM15.h"
#include "focore.h"
#include "nucore.h"

namespace {

constexpr double FOUR_PI = 12.566370614359172;
constexpr double PHOTON_EV_UM = 1.239842;  // photon energy (eV) times wavelength (um)
constexpr double CHARGE = 1.602176e-19;    // C
constexpr double NO_LIGHT_FLUX = 1000.0;   // 1/cm2/s: below it the light counts as off
constexpr double THIN_CONTACT = 1e-5;      // um: a thinner contact absorbs nothing
constexpr double WAVELENGTH_MIN = 0.1;     // um
constexpr double WAVELENGTH_MAX = 10.0;
constexpr double FLUX_MAX = 1e28;
constexpr double STEP_MIN = 1e-6;  // um
constexpr int ROWS_MAX = ElecSweep::MAX_POINTS;

double photonPower(double wavelength, double flux)
{
    return flux * (PHOTON_EV_UM / wavelength) * CHARGE;
}

// Tracked scratch blocks that go back to the channel on every way out.
class ScratchBlocks {
public:
    explicit ScratchBlocks(nuSigma* sigma) : sigma(sigma) {}
    ~ScratchBlocks()
    {
        for (double*& block : blocks) {
            sigma->freeDbl(&block);
        }
    }
    ScratchBlocks(const ScratchBlocks&) = delete;
    ScratchBlocks& operator=(const ScratchBlocks&) = delete;
    double* take(size_t n)
    {
        for (double*& block : blocks) {
            if (block == nullptr) {
                block = sigma->mallocDbl(n, true);
                return block;
            }
        }
        return nullptr;
    }

private:
    nuSigma* sigma;
    double* blocks[3] = {};
};

// n and k of the anode at a wavelength (1 and 0 without one); false after
// a model error.
bool anodeIndex(const ElecDevice* dev, double wavelength, double* n, double* k)
{
    ekContact* anode = dev->getAnode();
    *n = 1.0;
    *k = 0.0;
    if (anode == nullptr) {
        return true;
    }
    return anode->getIndex(0.0, anode->getThickness(), 0.01, wavelength, n, k, false);
}

// Verbose lines of a light just installed: which source, and for a spectrum
// what share of its power the anode takes (incidentFlux in 1/cm2/s).
void reportLightOn(nuSigma* sigma, unsigned char kind, double incidentFlux, double powerIn,
                   double powerOut)
{
    if (!sigma->isVerbose()) {
        return;
    }
    const wchar_t* name =
        (kind & ekExcitation::LIGHT_AM15)
            ? L"AM1.5"
            : ((kind & ekExcitation::LIGHT_FILE) ? L"External" : L"Monochromatic");
    if (kind & ekExcitation::LIGHT_AM15) {
        sigma->update(L"[LIGHT]   AM1.5 source switched ON\n", 0);
    } else if (kind & ekExcitation::LIGHT_FILE) {
        sigma->update(L"[LIGHT]   External light source switched ON\n", 0);
    } else {
        sigma->update(L"[LIGHT]   Monochromatic light source switched ON\n", 0);
    }
    if (kind >= ekExcitation::LIGHT_AM15 && incidentFlux > NO_LIGHT_FLUX && powerIn > 0.0 &&
        powerOut > 0.0 && powerIn > powerOut) {
        const std::wstring line = std::wstring(L"[LIGHT]   ") + name +
                                  L" light absorption in the anode A = " +
                                  nu_numberText((powerIn - powerOut) * 100.0 / powerIn) + L" %\n";
        sigma->update(line.c_str(), 0);
    }
}

}  // namespace

bool ekSimulator::setLightData(ElecDevice* dev, int count, const double* pairs, unsigned char kind)
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (dev == nullptr) {
        return false;
    }
    // The record holds at most 5000 points; a longer spectrum would be cut
    // to a default size and lose its light silently.
    if (pairs == nullptr || count < 1 || count > ROWS_MAX) {
        sigma->error(L"invalid wavelength number of points (valid range: [1 ; 5000])");
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const double wavelength = pairs[2 * i];
        const double flux = pairs[2 * i + 1];
        if (!(wavelength >= WAVELENGTH_MIN && wavelength <= WAVELENGTH_MAX && flux >= 0.0 &&
              flux <= FLUX_MAX)) {
            sigma->error(L"invalid light spectrum: wavelengths between 0.1 and 10 um "
                         L"and fluxes between 0 and 1e28 1/cm2/s");
            return false;
        }
    }
    deleteSweepLight();
    const double first = pairs[0];
    const double last = pairs[2 * (count - 1)];
    const double step = count > 1 ? pairs[2] - pairs[0] : 0.0;
    SweepLight = new (std::nothrow)
        ElecSweep(sigma, ElecSweep::TYPE_LIGHT, 6, count, first, last, step, 0.0, 1.0, 0.0);
    if (SweepLight == nullptr || !SweepLight->isAllocated()) {
        deleteSweepLight();
        sigma->error(L"insufficient memory to handle the light spectrum");
        return false;
    }
    lightState.totals = ekLightTotals{};
    const ekContact* anode = dev->getAnode();
    const double t = anode != nullptr ? anode->getThickness() : 0.0;
    double powerIn = 0.0;
    double powerOut = 0.0;
    for (int i = 0; i < count; ++i) {
        const double wavelength = pairs[2 * i];
        const double flux = pairs[2 * i + 1];
        const double incident = flux / norm.photonFlux;
        double transmitted = incident;
        if (t >= THIN_CONTACT) {
            double n = 1.0;
            double k = 0.0;
            if (!anodeIndex(dev, wavelength, &n, &k)) {
                deleteSweepLight();
                return false;
            }
            transmitted = incident * std::exp(-(FOUR_PI * k / wavelength) * t);
        }
        SweepLight->setData(0, i, wavelength);
        SweepLight->setData(1, i, incident);
        SweepLight->setData(2, i, incident);
        SweepLight->setData(3, i, transmitted);
        SweepLight->setData(4, i, 0.0);
        SweepLight->setData(5, i, 0.0);
        powerIn += photonPower(wavelength, flux);
        powerOut += photonPower(wavelength, transmitted * norm.photonFlux);
        lightState.totals.transmitted += transmitted;
        lightState.totals.incident += incident;
        lightState.totals.power += photonPower(wavelength, incident * norm.photonFlux);
    }
    lightState.type = kind;
    reportLightOn(sigma, kind, norm.photonFlux * lightState.totals.incident, powerIn, powerOut);
    return true;
}

bool ekSimulator::setLightAM15(ElecDevice* dev)
{
    return setLightData(dev, EK_SPECTRUM_AM15_ROWS, ekSpectrumAM15, ekExcitation::LIGHT_AM15);
}

bool ekSimulator::setLightCustom(ElecDevice* dev, const wchar_t* file, unsigned char kind)
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (dev == nullptr) {
        return false;
    }
    ScratchBlocks scratch(sigma);
    double* wavelength = scratch.take(ROWS_MAX);
    double* density = scratch.take(ROWS_MAX);
    if (wavelength == nullptr || density == nullptr) {
        sigma->error(L"insufficient memory to handle the custom light spectrum");
        return false;
    }
    double* columns[2] = {wavelength, density};
    const int rows = fo_importAscii(file, columns, 2, ROWS_MAX, L'\t', 0, sigma);
    if (rows < 1 || rows > ROWS_MAX) {
        if (sigma->isOK()) {
            sigma->error(L"cannot read the custom light spectrum");
        }
        return false;
    }
    double* pairs = scratch.take(2 * static_cast<size_t>(rows));
    if (pairs == nullptr) {
        sigma->error(L"insufficient memory to handle the custom light spectrum");
        return false;
    }
    for (int i = 0; i < rows; ++i) {
        const bool inRange = wavelength[i] >= WAVELENGTH_MIN && wavelength[i] <= WAVELENGTH_MAX &&
                             density[i] >= 0.0 && density[i] <= FLUX_MAX;
        const bool increasing = i == 0 || wavelength[i] - wavelength[i - 1] >= STEP_MIN;
        if (!inRange || !increasing) {
            sigma->error(L"invalid custom light spectrum: the increasing ordered "
                         L"wavelength should be between 0.1 and 10 um, and flux between 0 and "
                         L"1e28 1/cm2/s");
            return false;
        }
    }
    // Each row stands for the bin that reaches half way to its neighbours.
    for (int i = 0; i < rows; ++i) {
        double width = 1.0;
        if (rows > 1) {
            const double left = wavelength[i > 0 ? i - 1 : 0];
            const double right = wavelength[i < rows - 1 ? i + 1 : rows - 1];
            width = (right - left) / 2.0;
        }
        pairs[2 * i] = wavelength[i];
        pairs[2 * i + 1] = width * density[i];
    }
    return setLightData(dev, rows, pairs, kind);
}

bool ekSimulator::setLightEQE(ElecDevice* dev, double start, double end, double step, double flux)
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (dev == nullptr) {
        return false;
    }
    if (!(start >= WAVELENGTH_MIN && start <= WAVELENGTH_MAX && end >= WAVELENGTH_MIN &&
          end <= WAVELENGTH_MAX && step >= STEP_MIN && step <= end - start)) {
        sigma->error(L"invalid wavelength range (valid range: [0.1 ; 10] um ; min "
                     L"step: 1e-6 um)");
        return false;
    }
    if (!(flux >= 0.0 && flux <= FLUX_MAX)) {
        lightState.type = 0;
        sigma->error(L"light spectrum not set: invalid flux (valid range: [0 ; 1e28] "
                     L"1/cm2/s)");
        return false;
    }
    const double r = std::round((end - start) / step);
    if (r > ROWS_MAX - 1) {
        sigma->error(L"invalid wavelength number of points (valid range: [1 ; 5000])");
        return false;
    }
    const int points = static_cast<int>(r) + 1;
    ScratchBlocks scratch(sigma);
    double* pairs = scratch.take(2 * static_cast<size_t>(points));
    if (pairs == nullptr) {
        sigma->error(L"insufficient memory to handle the light spectrum");
        return false;
    }
    for (int i = 0; i < points; ++i) {
        pairs[2 * i] = start + i * step;
        pairs[2 * i + 1] = flux;
    }
    lightState.wavelength = start;
    return setLightData(dev, points, pairs, ekExcitation::LIGHT_SWEEP);
}

bool ekSimulator::setLightMono(ElecDevice* dev, double wavelength, double flux, unsigned char kind)
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    if (dev == nullptr) {
        return false;
    }
    if (!(wavelength >= WAVELENGTH_MIN && wavelength <= WAVELENGTH_MAX && flux >= 0.0 &&
          flux <= FLUX_MAX)) {
        lightState.type = 0;
        sigma->error(L"light spectrum not set: invalid [wavelength flux] data", L"light");
        return false;
    }
    if (flux < NO_LIGHT_FLUX) {
        lightState.totals = ekLightTotals{};
        lightState.type = 0;
        lightState.monoFlux = 0.0;
        return true;
    }
    const double F = flux / norm.photonFlux;
    lightState.type = kind;
    lightState.totals.transmitted = lightState.totals.incident = F;
    lightState.wavelength = wavelength;
    lightState.monoFlux = flux;
    double absorbedFraction = 0.0;
    const ekContact* anode = dev->getAnode();
    if (anode != nullptr && anode->getThickness() >= THIN_CONTACT) {
        double n = 1.0;
        double k = 0.0;
        if (!anodeIndex(dev, wavelength, &n, &k)) {
            lightState.type = 0;
            return false;
        }
        const double T = std::exp(-(FOUR_PI * k / wavelength) * anode->getThickness());
        lightState.totals.transmitted = F * T;
        absorbedFraction = 1.0 - T;
    }
    if (!sigma->isNoWarn() && ekExcitation::isMonoLight(kind) &&
        norm.photonFlux * lightState.totals.transmitted < NO_LIGHT_FLUX) {
        if (norm.photonFlux * lightState.totals.incident > NO_LIGHT_FLUX) {
            sigma->update(L"[WARNING] monochromatic light flux decreases to almost zero (due to "
                          L"absorption in the anode)\n",
                          2);
        } else {
            sigma->update(L"[WARNING] monochromatic light flux almost equal to zero\n", 2);
        }
        ek_resetSigma(sigma);
    }
    lightState.totals.power = photonPower(wavelength, flux);
    if (sigma->isVerbose()) {
        const std::wstring line =
            L"[INFO]    Monochromatic light source switched ON: wavelength = " +
            nu_numberText(wavelength) + L" um   flux = " + nu_numberText(flux) +
            L" 1/cm2/s   power = " + nu_numberText(lightState.totals.power) + L" W/cm2\n";
        sigma->update(line.c_str(), 0);
        if (ekExcitation::isMonoLight(kind) &&
            norm.photonFlux * lightState.totals.incident > NO_LIGHT_FLUX &&
            absorbedFraction > 0.0 && absorbedFraction <= 1.0) {
            const std::wstring absorption =
                L"[INFO]    monochromatic light absorption in the anode A = " +
                nu_numberText(100.0 * absorbedFraction) + L" % at " + nu_numberText(wavelength) +
                L" um\n";
            sigma->update(absorption.c_str(), 0);
        }
    }
    return true;
}
