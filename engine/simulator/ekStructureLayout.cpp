// Mesh positions: every mesh mode gives exactly N strictly increasing
// points, from 0 to the device end, with the first point of every layer
// after the first (its interface point) on the layer boundary.
#include <cmath>
#include <cwchar>
#include <vector>

#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekLayer.h"
#include "ekStructureBuilder.h"
#include "nucore.h"

namespace {

// A layer needs its interface point and room for at least one step inside.
constexpr int MIN_LAYER_POINTS = 3;

// Shares total among the layers in proportion to weights, each getting at
// least minCount (largest remainders take the points left over).
std::vector<int> distribute(const std::vector<double>& weights, int total, int minCount)
{
    const int layers = static_cast<int>(weights.size());
    std::vector<int> counts(layers, minCount);
    int rest = total - minCount * layers;
    double sum = 0.0;
    for (double w : weights) {
        sum += w;
    }
    if (rest <= 0) {
        return counts;
    }
    std::vector<double> remainder(layers, 0.0);
    int given = 0;
    for (int l = 0; l < layers; ++l) {
        const double share = sum > 0.0 ? rest * weights[l] / sum : double(rest) / layers;
        const int whole = static_cast<int>(std::floor(share));
        counts[l] += whole;
        given += whole;
        remainder[l] = share - whole;
    }
    for (int left = rest - given; left > 0; --left) {
        int best = 0;
        for (int l = 1; l < layers; ++l) {
            if (remainder[l] > remainder[best]) {
                best = l;
            }
        }
        counts[best] += 1;
        remainder[best] = -1.0;
    }
    return counts;
}

// Position (fraction of the layer) of the point at fraction c of the
// layer's points when the outer quarters get twice the point density of
// the middle half: half steps near the layer edges.
double gradedFraction(double c)
{
    const double s = 1.5 * c;
    if (s <= 0.5) {
        return s / 2.0;
    }
    if (s <= 1.0) {
        return 0.25 + (s - 0.5);
    }
    return 0.75 + (s - 1.0) / 2.0;
}

}  // namespace

bool ekStructureBuilder::layoutPoints()
{
    const uint8_t mode = in.meshMode;
    const int N = in.points;
    std::vector<ekLayerGeometry>& g = geometry;
    if ((mode & nuParam::MESH_EXACT) && in.customMesh != nullptr && in.customMeshCount > 0) {
        if (in.customMeshCount != N) {
            sigma->error(ek_format(L"the custom mesh holds %d points for a mesh of %d points",
                                   in.customMeshCount, N));
            return false;
        }
        // A point belongs to the layer it lies in; the first point at or past
        // a boundary is the next layer's interface point.
        const double tol = 1e-9 * deviceLength;
        int l = 0;
        g[0].first = 0;
        for (int i = 0; i < N; ++i) {
            const double z = in.customMesh[i];
            while (l < layers - 1 && z >= g[l + 1].start - tol) {
                ++l;
                g[l].first = i;
            }
            mesh.sol.z[i] = z;
            mesh.pointLayer[i] = l;
        }
        for (int k = l + 1; k < layers; ++k) {
            g[k].first = N;
        }
        for (int k = 0; k < layers; ++k) {
            const int end = (k + 1 < layers) ? g[k + 1].first : N;
            g[k].count = end - g[k].first;
            if (g[k].count < 1) {
                sigma->error(ek_format(L"the custom mesh has no point in [Layer%d]", k + 1));
                return false;
            }
        }
        mesh.sol.z[N - 1] = deviceLength;
        return true;
    }

    const bool perLayer = (mode & nuParam::MESH_LAYER) != 0;
    if (!perLayer && !(mode & nuParam::MESH_UNIFORM)) {
        sigma->error(L"invalid device mesh");
        return false;
    }
    std::vector<int> counts(layers, 0);
    if (perLayer) {
        int sum = 0;
        std::vector<double> weights(layers);
        for (int l = 0; l < layers; ++l) {
            counts[l] = device->getLayer(l)->getMeshPoints();
            weights[l] = counts[l];
            sum += counts[l];
        }
        // A mesh grown or set apart from the layers keeps their proportions.
        if (sum != N) {
            counts = distribute(weights, N, MIN_LAYER_POINTS);
        }
    } else {
        std::vector<double> weights(layers);
        for (int l = 0; l < layers; ++l) {
            weights[l] = g[l].thickness;
        }
        counts = distribute(weights, N, MIN_LAYER_POINTS);
    }
    int i = 0;
    for (int l = 0; l < layers; ++l) {
        const int m = counts[l];
        const bool last = (l == layers - 1);
        // The last layer also holds the device end.
        const int intervals = last ? m - 1 : m;
        g[l].first = i;
        g[l].count = m;
        for (int k = 0; k < m; ++k, ++i) {
            const double c = intervals > 0 ? double(k) / intervals : 0.0;
            const double u = perLayer ? c : gradedFraction(c);
            mesh.sol.z[i] = g[l].start + u * g[l].thickness;
            mesh.pointLayer[i] = l;
        }
    }
    mesh.sol.z[N - 1] = deviceLength;
    return true;
}
