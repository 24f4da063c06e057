// Generation of the light over the mesh, line by line. Each is absorbed by
// Beer-Lambert's law along each mesh step with the absorption of the layer
// the step lies in; a point's generation is what its control box absorbs,
// so the boxes together absorb exactly the flux that does not reach the
// last point, whatever the steps.
#include <cmath>

#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekContact.h"
#include "ekExcitation.h"
#include "ekLayer.h"
#include "ekSimulator.h"

namespace {

constexpr double FOUR_PI = 12.566370614359172;
constexpr double THIN_CONTACT = 1e-5;  // um

// Fraction of a flux absorbed over a length with absorption alpha, exact
// also when alpha times the length is tiny.
double absorbedFraction(double alpha, double length) { return -std::expm1(-alpha * length); }

// Beer-Lambert absorption of one line over the mesh, box by box: the
// generation of a point is the flux absorbed inside its control box
// divided by the box width, so the generation integrated over the boxes is
// exactly the flux absorbed in the device. Fills (accumulate false) or adds
// to the mesh's Gop and photon flux; returns the flux reaching the last
// point.
double absorbLine(ekSimulator& sim, ekMeshFields& mesh, double wavelength, int wavelengthIndex,
                  double flux, bool accumulate)
{
    const int points = sim.getPoints();
    ekMaterialArrays& mat = mesh.mat;
    if (mat.Gop == nullptr || mat.photonFlux == nullptr || mesh.pointLayer == nullptr ||
        points < 2 || sim.getDevice() == nullptr) {
        return flux;
    }
    const double* z = mesh.sol.z;
    // Absorption coefficient of point i (per length unit), from the same
    // index and band-edge models as the rest of the optics.
    auto alphaAt = [&](int i) {
        ekLightRay probe{1.0, z[i], 0.0};
        return sim.opticalGeneration(wavelength, wavelengthIndex, i, mesh.pointLayer[i], probe,
                                     nullptr, nullptr);
    };
    double F = flux;
    double carried = 0.0;  // absorbed in the far half of the step before the point
    double alpha = alphaAt(0);
    for (int i = 0; i < points; ++i) {
        double boxAbsorbed = carried;
        const double fluxAtPoint = F;
        if (i < points - 1) {
            const double alphaNext = alphaAt(i + 1);
            // An interface point lies on the layer boundary: the step after it
            // belongs to the next layer, whose absorption its neighbour has.
            const bool interfacePoint = i > 0 && (mat.pointKind[i] & ekMeshFields::POINT_INTERFACE);
            const double stepAlpha = interfacePoint ? alphaNext : alpha;
            const double halfStep = 0.5 * (z[i + 1] - z[i]);
            const double nearHalf = F * absorbedFraction(stepAlpha, halfStep);
            const double mid = F - nearHalf;
            const double farHalf = mid * absorbedFraction(stepAlpha, halfStep);
            boxAbsorbed += nearHalf;
            carried = farHalf;
            F = mid - farHalf;
            alpha = alphaNext;
        }
        const double width = mesh.controlWidth(i);
        const double G = width > 0.0 ? boxAbsorbed / width : 0.0;
        if (accumulate) {
            mat.Gop[i] += G;
            mat.photonFlux[i] += fluxAtPoint;
        } else {
            mat.Gop[i] = G;
            mat.photonFlux[i] = fluxAtPoint;
        }
    }
    return F;
}

}  // namespace

void ekSimulator::updateGoptMono(int index, double wavelength, double flux, double* absorbed)
{
    if (!ekExcitation::isMonoLight(lightState.type) || mesh.mat.Gop == nullptr ||
        device == nullptr) {
        return;
    }
    double travelling = absorbLine(*this, mesh, wavelength, index, flux, false);
    // The cathode absorbs part of what leaves the last layer; its index is
    // known per wavelength once the quantum-efficiency sweep tabulated it.
    ekContact* cathode = device->getCathode();
    if (cathode != nullptr && cathode->getThickness() >= THIN_CONTACT &&
        cathode->getSpectrumCount() <= ekRegion::SPECTRUM_MAX) {
        double wl = 0.0;
        double k = 0.0;
        if (cathode->getIndexFromSpectrum(index, &wl, &k) &&
            std::fabs(wl - wavelength) <= 1e-9 * wavelength && k > 0.0) {
            travelling *= std::exp(-(FOUR_PI * k / wavelength) * cathode->getThickness());
        }
    }
    if (absorbed != nullptr) {
        *absorbed = flux - travelling;
    }
}

double ekSimulator::generationProfile(double wavelength, int wavelengthIndex, double flux)
{
    // The same box absorption as the quantum-efficiency sweep, so a
    // wavelength generates alike whichever way the light is installed.
    return absorbLine(*this, mesh, wavelength, wavelengthIndex, flux, false);
}

void ekSimulator::generationProfileLight()
{
    if (mesh.mat.Gop == nullptr) {
        return;
    }
    for (int i = 0; i < Points; ++i) {
        mesh.mat.Gop[i] = 0.0;
        mesh.mat.photonFlux[i] = 0.0;
    }
    const bool qeSweep = ekExcitation::isLightSweep(lightState.type);
    if ((lightState.type & ekExcitation::LIGHT_ON_MASK) == 0 || qeSweep) {
        return;
    }
    const bool spectrum = SweepLight != nullptr && ekExcitation::isSpectrumLight(lightState.type) &&
                          SweepLight->isAllocated();
    if (!spectrum) {
        generationProfile(lightState.wavelength, -1, lightState.totals.transmitted);
        return;
    }
    const int rows = SweepLight->getPoints();
    for (int l = 0; l < device->getLayerCount(); ++l) {
        ekLayer* L = device->getLayer(l);
        if (!L->isIndexConstant() && L->getSpectrumCount() != rows) {
            L->assignSpectrum(rows);
        }
    }
    const int fluxColumn = SweepLight->getCount() >= 4 ? 3 : 1;
    for (int r = 0; r < rows; ++r) {
        absorbLine(*this, mesh, SweepLight->getData(0, r), r, SweepLight->getData(fluxColumn, r),
                   true);
    }
}
