// Optical generation: the light enters through the anode and is absorbed
// along the mesh by Beer-Lambert's law, point by point.
#include <cmath>

#include "ElecDevice.h"
#include "ekLayer.h"
#include "ekLocalModels.h"
#include "ekExcitation.h"
#include "ekSimulator.h"
#include "nucore.h"

bool ekSimulator::isDark() const
{
    return (lightState.type & ekExcitation::LIGHT_ON_MASK) == 0 ||
           lightState.totals.incident * norm.photonFlux < 1000.0;
}

namespace {

// An index that does not depend on the position may be kept per wavelength.
bool isPositionFree(const ekLayer* layer)
{
    if (layer->isIndexScript()) {
        return !layer->isIndexScriptGraded();
    }
    return true;
}

}  // namespace

double ekSimulator::opticalGeneration(double wavelength, int wavelengthIndex, int i, int layer,
                                      ekLightRay& ray, double* nOut, double* kOut)
{
    if (device == nullptr || layer < 0 || layer >= device->getLayerCount() || i < 0 ||
        i >= Points) {
        return 0.0;
    }
    ekLayer* L = device->getLayer(layer);
    if (L == nullptr) {
        return 0.0;
    }
    const double z = mesh.sol.z[i];
    // The segment from the previous point carries that point's absorption.
    if (z > ray.z) {
        ray.flux *= std::exp(-ray.alpha * (z - ray.z));
    }
    double n = mesh.mat.indexN[i];
    double k = 0.0;
    double extinction = 0.0;
    if (L->isIndexConstant()) {
        const double E = (1.239842 / wavelength) / norm.Vt;
        extinction = ek_bandgapExtinction(
            E, mesh.mat.Eg[i], mesh.mat.indexK[i], mesh.mat.gapKind[i] == ekMeshFields::GAP_DIRECT,
            mesh.mat.absorptionEU[i], mesh.mat.absorptionEdge[i], mesh.mat.absorptionKEdge[i]);
        k = extinction;
    } else {
        bool cached = false;
        const bool keep =
            isPositionFree(L) && wavelengthIndex >= 0 && wavelengthIndex < L->getSpectrumCount();
        if (keep && L->isIndexSpectrumAcquired()) {
            double wl = 0.0;
            cached = L->getIndexFromSpectrum(wavelengthIndex, &wl, &k) &&
                     std::fabs(wl - wavelength) <= 1e-12 * wavelength;
        }
        if (!cached) {
            const double depth = (z - mesh.layerStart[layer]) * norm.length;
            if (!L->getIndex(depth, L->getThickness(), mesh.mat.Eg[i] * norm.Vt, wavelength, &n, &k,
                             false)) {
                n = mesh.mat.indexN[i];
                k = 0.0;
            }
            if (keep) {
                L->setIndexFromSpectrum(wavelengthIndex, wavelength, k);
            }
        }
        extinction = k;
    }
    const double alpha =
        extinction > 0.0 ? ek_absorptionCoefficient(extinction, wavelength, norm.length) : 0.0;
    ray.z = z;
    ray.alpha = alpha;
    if (nOut != nullptr) {
        *nOut = n;
    }
    if (kOut != nullptr) {
        *kOut = k;
    }
    return alpha * ray.flux;
}
