// Polarisation charges: every layer (or, with a graded lattice model, every
// point) has a spontaneous polarisation and a piezoelectric one from its
// strain against its neighbours' lattice constants. The bound charge of a
// point's control box is the jump of the polarisation across the box, with
// the device's polarisation scale S:
//   sheet = S (P(right edge) - P(left edge)) / Q,  volume = sheet / box width,
// Q the sheet-charge scale. An interface thus carries the difference of the
// two layers' polarisations, spread over its box; inside a uniform layer
// the charge is zero.
#include <cmath>
#include <vector>

#include "ElecDevice.h"
#include "ekLayer.h"
#include "ekSimulator.h"
#include "ekStructureBuilder.h"
#include "nucore.h"

namespace {

// e31 - e33 c13 / c33: the piezoelectric response to biaxial strain.
double piezoConstant(double e31, double e33, double c13, double c33)
{
    return c33 > 0.0 ? e31 - e33 * c13 / c33 : e31;
}

struct Lattice {
    double a, e31, e33, c13, c33, Psp;
};

double strain(double aBelow, double aAbove, double a)
{
    return a > 0.0 ? ((aBelow + aAbove) / 2.0 - a) / a : 0.0;
}

}  // namespace

bool ekStructureBuilder::computePolarisation()
{
    const std::vector<ekLayerGeometry>& g = geometry;
    const double S = device->getPolarizationScale();
    if (!(std::fabs(S) >= 1e-12)) {
        return true;
    }
    const double Q = norm.sheetCharge;
    const int N = in.points;

    // Layer-level polarisations, each layer strained against the mean of
    // its neighbours' lattice constants (its own where there is none).
    std::vector<double> layerPsp(layers), layerPpz(layers);
    for (int l = 0; l < layers; ++l) {
        const ekLayerValues& v = values[l];
        const double below = l > 0 ? values[l - 1].a : v.a;
        const double above = l + 1 < layers ? values[l + 1].a : v.a;
        layerPsp[l] = v.Psp;
        layerPpz[l] = 2.0 * strain(below, above, v.a) * piezoConstant(v.e31, v.e33, v.c13, v.c33);
    }

    std::vector<double> psp(N), ppz(N);
    for (int l = 0; l < layers; ++l) {
        ekLayer* L = device->getLayer(l);
        const bool graded = L->isLatticeScript() && L->isLatticeScriptGraded();
        const double thick = L->getThickness();
        const ekLayerValues& v = values[l];
        for (int i = g[l].first; i < g[l].first + g[l].count; ++i) {
            psp[i] = layerPsp[l];
            ppz[i] = layerPpz[l];
            if (!graded) {
                continue;
            }
            const double zin = (mesh.sol.z[i] - g[l].start) * norm.length;
            const double hNorm = i > g[l].first
                                     ? mesh.sol.z[i] - mesh.sol.z[i - 1]
                                     : (i + 1 < N ? mesh.sol.z[i + 1] - mesh.sol.z[i] : 0.0);
            const double step = hNorm * norm.length;
            // The lattice model at a depth, starting from the layer's values.
            auto latticeAt = [&](double depth) {
                Lattice t{v.a, v.e31, v.e33, v.c13, v.c33, v.Psp};
                L->updateLatticeLua(depth, step, thick, &t.a, &t.e31, &t.e33, &t.c13, &t.c33,
                                    &t.Psp);
                return t;
            };
            const Lattice here =
                zin > 0.0 ? latticeAt(zin) : Lattice{v.a, v.e31, v.e33, v.c13, v.c33, v.Psp};
            const double aAbove = latticeAt(zin + step).a;
            // Within the layer's first step the layer's own constant stands
            // in below (a call there would count as the layer's first point).
            const double aBelow = zin - step > step ? latticeAt(zin - step).a : v.a;
            if (!sigma->isOK()) {
                return false;
            }
            psp[i] = here.Psp;
            ppz[i] = 2.0 * strain(aBelow, aAbove, here.a) *
                     piezoConstant(here.e31, here.e33, here.c13, here.c33);
        }
    }

    // Polarisation on the segment from point i to i + 1: the segment lies in
    // point i's layer (a later interface point starts the next layer).
    auto segment = [&](const std::vector<double>& P, int i) {
        return mesh.pointLayer[i] == mesh.pointLayer[i + 1] ? 0.5 * (P[i] + P[i + 1]) : P[i];
    };
    for (int i = 1; i < N - 1; ++i) {
        const double spont = S * (segment(psp, i) - segment(psp, i - 1)) / Q;
        const double piezo = S * (segment(ppz, i) - segment(ppz, i - 1)) / Q;
        mesh.mat.polSpont[i] = spont;
        mesh.mat.polPiezo[i] = piezo;
        const double w = mesh.controlWidth(i);
        mesh.mat.polTotal[i] = w > 0.0 ? (spont + piezo) / w : 0.0;
    }
    // The contact points take their neighbour's charge.
    mesh.mat.polSpont[0] = mesh.mat.polSpont[1];
    mesh.mat.polPiezo[0] = mesh.mat.polPiezo[1];
    mesh.mat.polTotal[0] = mesh.mat.polTotal[1];
    mesh.mat.polSpont[N - 1] = mesh.mat.polSpont[N - 2];
    mesh.mat.polPiezo[N - 1] = mesh.mat.polPiezo[N - 2];
    mesh.mat.polTotal[N - 1] = mesh.mat.polTotal[N - 2];

    // Interface pairs for the recombination averaging of the assembly.
    for (int k = 0; k < mesh.interfaceCount && mesh.polPairCount < ekMeshFields::POLARISATION_PAIRS;
         ++k) {
        mesh.polPairs[mesh.polPairCount][0] = mesh.interfaceIndex[k];
        mesh.polPairs[mesh.polPairCount][1] = k > 0 ? mesh.interfaceIndex[k - 1] : 0;
        ++mesh.polPairCount;
    }
    return true;
}

bool ekSimulator::isPairedIndex(int i) const
{
    // Only inner points have the two neighbours the averaging needs.
    if (i <= 0 || i >= Points - 1) {
        return false;
    }
    for (int k = 0; k < mesh.polPairCount; ++k) {
        if (mesh.polPairs[k][0] == i || mesh.polPairs[k][1] == i) {
            return true;
        }
    }
    return false;
}
