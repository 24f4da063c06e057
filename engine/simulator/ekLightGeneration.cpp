// Generation of one line of light over the mesh. The light is absorbed by
// Beer-Lambert's law along each mesh step with the absorption of the layer
// the step lies in; a point's generation is what its control box absorbs,
// so the boxes together absorb exactly the flux that does not reach the
// last point, whatever the steps.
#include <cmath>

#include "ElecDevice.h"
#include "ekContact.h"
#include "ekExcitation.h"
#include "ekSimulator.h"

namespace {

constexpr double FOUR_PI = 12.566370614359172;
constexpr double THIN_CONTACT = 1e-5;  // um

// Fraction of a flux absorbed over a length with absorption alpha, exact
// also when alpha times the length is tiny.
double absorbedFraction(double alpha, double length)
{
    return -std::expm1(-alpha * length);
}

}  // namespace

double ekSimulator::absorbLine(double wavelength, int wavelengthIndex, double flux, bool accumulate)
{
    if (mesh.mat.Gop == nullptr || mesh.mat.photonFlux == nullptr || mesh.pointLayer == nullptr ||
        Points < 2 || device == nullptr) {
        return flux;
    }
    // Absorption coefficient of point i (per length unit), from the same
    // index and band-edge models as the rest of the optics.
    auto alphaAt = [&](int i) {
        ekLightRay probe{1.0, mesh.sol.z[i], 0.0};
        return opticalGeneration(wavelength, wavelengthIndex, i, mesh.pointLayer[i], probe, nullptr,
                                 nullptr);
    };
    double F = flux;
    double carried = 0.0;  // absorbed in the far half of the step before the point
    double alpha = alphaAt(0);
    for (int i = 0; i < Points; ++i) {
        double boxAbsorbed = carried;
        const double fluxAtPoint = F;
        if (i < Points - 1) {
            const double alphaNext = alphaAt(i + 1);
            // An interface point lies on the layer boundary: the step after it
            // belongs to the next layer, whose absorption its neighbour has.
            const bool interfacePoint =
                i > 0 && (mesh.mat.pointKind[i] & ekMeshFields::POINT_INTERFACE);
            const double stepAlpha = interfacePoint ? alphaNext : alpha;
            const double halfStep = 0.5 * (mesh.sol.z[i + 1] - mesh.sol.z[i]);
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
            mesh.mat.Gop[i] += G;
            mesh.mat.photonFlux[i] += fluxAtPoint;
        } else {
            mesh.mat.Gop[i] = G;
            mesh.mat.photonFlux[i] = fluxAtPoint;
        }
    }
    return F;
}

void ekSimulator::updateGoptMono(int index, double wavelength, double flux, double* absorbed)
{
    if (!ekExcitation::isMonoLight(lightType) || mesh.mat.Gop == nullptr || device == nullptr) {
        return;
    }
    double travelling = absorbLine(wavelength, index, flux, false);
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
