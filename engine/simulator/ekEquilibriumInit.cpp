// Starting profile of a Poisson solve: each layer at its charge-neutral
// potential, joined across the junction zones as the depletion picture
// says, and the quasi-Fermi potentials spread from the contacts when a bias
// is applied.
#include <algorithm>
#include <cmath>

#include "ekLimits.h"
#include "ekPointLimits.h"
#include "ElecDevice.h"
#include "ekSimulator.h"
#include "ekStructureValues.h"
#include "nucore.h"

namespace {

using ekLimits::EQUILIBRIUM_BIAS;
// Fractions of the device over which the quasi-Fermi potentials of a
// biased start fall from the contacts' values.
constexpr double ANODE_ZONE = 0.2;
constexpr double CATHODE_ZONE = 0.8;

// Potential at z across a junction zone b1..b2 whose layers meet at zi, the
// zone's ends at the layers' potentials a and b. The depletion picture gives
// two parabolic arcs, flat at the zone's ends and joined smoothly at zi, so
// that the drop on each side grows with that side's width; it starts the
// Poisson iteration within a few thermal voltages of the solution, where a
// straight line across the zone can be ten off. A zone that does not hold
// the interface is joined by a straight line.
double junctionPotential(double z, double b1, double zi, double b2, double a, double b)
{
    if (!(zi > b1 && zi < b2)) {
        return a + (b - a) * (z - b1) / (b2 - b1);
    }
    // The depleted widths: the zone reaches past them by a margin.
    const double w1 = (zi - b1) / ekLimits::JUNCTION_ZONE_MARGIN;
    const double w2 = (b2 - zi) / ekLimits::JUNCTION_ZONE_MARGIN;
    const double slope = (b - a) / (w1 + w2);
    if (z <= zi) {
        const double x = std::max(0.0, z - (zi - w1));
        return a + slope * x * x / w1;
    }
    const double x = std::max(0.0, zi + w2 - z);
    return b - slope * x * x / w2;
}

}  // namespace

double ekSimulator::initialPotential(int i, double bias) const
{
    const int layers = device->getLayerCount();
    const bool biased = std::fabs(bias) >= EQUILIBRIUM_BIAS;
    auto layerPotential = [&](int l) {
        return mesh.layerVeq[l] + ((l == 0 && biased) ? bias : 0.0);
    };
    if (layers == 1) {
        return layerPotential(0);
    }
    const double z = mesh.sol.z[i];
    for (int k = 0; k + 1 < layers && 2 * k + 1 < mesh.junctionCount; ++k) {
        const double b1 = mesh.junctionBounds[2 * k];
        const double b2 = mesh.junctionBounds[2 * k + 1];
        if (b2 > b1 && z >= b1 && z <= b2) {
            return junctionPotential(z, b1, mesh.layerStart[k + 1], b2, layerPotential(k),
                                     layerPotential(k + 1));
        }
    }
    const int l = mesh.getPointLayer(i);
    return layerPotential(l >= 0 && l < layers ? l : 0);
}

void ekSimulator::poissonInit(double* V, double* Fn, double* Fp, double* V0, double* Fn0,
                              double* Fp0, double bias)
{
    if (sigma == nullptr || sigma->err != 0 || V == nullptr || Fn == nullptr || Fp == nullptr ||
        V0 == nullptr || Fn0 == nullptr || Fp0 == nullptr) {
        return;
    }
    const int layers = device != nullptr ? device->getLayerCount() : 0;
    if (deviceLength * norm.length < 0.01 || Points < ekLimits::DEVICE_POINTS_MIN ||
        Points > ekLimits::DEVICE_POINTS_MAX || layers < 1 || layers > LAYERS_MAX ||
        mesh.sol.z == nullptr) {
        sigma->error(L"invalid device parameters");
        return;
    }
    const int N = Points;
    // An initial-guess file gives the whole start, one row per mesh point.
    const bool fromGuess =
        (param->mesh & nuParam::MESH_EXACT) && meshFile.hasGuess() && meshFile.count == N;
    const bool useEquilibrium = prevPoint != 0 && equilibriumSolved != 0;
    const bool biased = std::fabs(bias) >= EQUILIBRIUM_BIAS;
    const double T = deviceLength;
    const double zA = ANODE_ZONE * T;
    const double zC = CATHODE_ZONE * T;
    for (int i = 0; i < N; ++i) {
        if (fromGuess) {
            V[i] = meshFile.V[i];
            Fn[i] = meshFile.Fn[i];
            Fp[i] = meshFile.Fp[i];
        } else {
            // A heterostructure starts from its layers' potentials too: they
            // are referred to the first layer's bands, and a flat start would
            // cost the solve four times the steps.
            V[i] = useEquilibrium ? mesh.sol.Veq[i] : initialPotential(i, bias);
            Fn[i] = Fp[i] = 0.0;
            if (biased) {
                const double z = mesh.sol.z[i];
                if (z <= zA) {
                    Fn[i] = bias * (1.0 - z / zA);
                    Fp[i] = bias;
                } else if (z <= zC) {
                    Fp[i] = bias;
                } else {
                    Fp[i] = bias - bias * (z - zC) / (T - zC);
                }
            }
        }
        V0[i] = V[i];
        Fn0[i] = Fn[i];
        Fp0[i] = Fp[i];
    }
    if (sigma->debug) {
        saveMesh(mesh.sol.z);
        saveInitialGuess(mesh.sol.z, V, Fn, Fp);
    }
}
