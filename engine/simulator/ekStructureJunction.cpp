// Equilibrium potentials of the layers and the contacts (charge neutrality
// with incomplete ionisation) and the depletion zones around the junctions
// that seed the equilibrium solution.
#include <algorithm>
#include <cmath>

#include "ElecDevice.h"
#include "ekLayer.h"
#include "ekLimits.h"
#include "ekStructureBuilder.h"

ekNeutralState ek_neutralPotential(const ekNormalisation& norm, const ekNeutralInput& in)
{
    ekNeutralState out;
    const ekLayer* layer = in.layer;
    const double N = in.N;
    const double ni = in.ni;
    const bool graded =
        layer != nullptr && layer->isDopingScript() && layer->isDopingScriptGraded();
    double C = 0.0;  // net ionised acceptors minus donors
    if (N > 1e6 || (graded && N > 1e-6)) {
        // Ionised fraction x of a level with ionisation term g: x = 1/(1 + g N x),
        // solved in the form free of cancellation.
        if (in.kind == 0 || in.kind == ekLimits::KIND_DONOR) {
            const double Nd = (in.kind == 0 ? 1e10 : N) / norm.density;
            const double t = std::exp(in.E / norm.Vt) / in.NC;
            const double x = 2.0 / (1.0 + std::sqrt(1.0 + 4.0 * in.Fd * Nd * t));
            out.fracD = x;
            C -= x * Nd;
            out.ionD = t * in.Fd;
        } else if (in.kind == ekLimits::KIND_ACCEPTOR) {
            const double Na = N / norm.density;
            const double t = std::exp(in.E / norm.Vt) / in.NV;
            const double x = 2.0 / (1.0 + std::sqrt(1.0 + 4.0 * in.Fa * Na * t));
            out.fracA = x;
            C += x * Na;
            out.ionA = t * in.Fa;
        }
    }
    if (C < 0.0) {
        out.majority = (std::sqrt(4.0 * ni * ni + C * C) - C) / 2.0;
        out.potential = std::log(out.majority / ni);
    } else if (C > 0.0) {
        out.majority = (std::sqrt(4.0 * ni * ni + C * C) + C) / 2.0;
        out.potential = std::log(ni / out.majority);
    } else {
        out.majority = ni;
    }
    return out;
}

double ekStructureBuilder::layerVeqOf(int l, const ekLayerValues& v, double* majority,
                                      double* signedDoping) const
{
    ekLayer* L = device->getLayer(l);
    double Eg, Chi, NC, NV, ni, offN, offP;
    bandValues(v, &Eg, &Chi, &NC, &NV, &ni, &offN, &offP);
    const bool graded = L->isDopingScript() && L->isDopingScriptGraded();
    uint8_t kind = 0;
    double N = 0.0, E = 0.0, taun = 0.0, taup = 0.0;
    dopantValues(v.dopant, Eg, graded, &kind, &N, &E, &taun, &taup);
    const double F = std::max(1.0, v.dopant.F);
    const double Ein = kind != 0 ? E * norm.Vt : std::min(v.dopant.E, v.Eg / 2.0);
    ekNeutralInput in;
    in.layer = L;
    in.N = v.dopant.N;
    in.E = Ein;
    in.kind = v.dopant.kind;
    in.ni = ni;
    in.NC = NC;
    in.NV = NV;
    in.Fd = F;
    in.Fa = F;
    const ekNeutralState state = ek_neutralPotential(norm, in);
    if (majority) {
        *majority = state.majority;
    }
    if (signedDoping) {
        *signedDoping =
            kind == ekLimits::KIND_ACCEPTOR ? -N : (kind == ekLimits::KIND_DONOR ? N : 0.0);
    }
    // psi is measured from the layer's own intrinsic level; the potential
    // of the solver is referred to the first layer's bands.
    return state.potential - (offN - offP) / 2.0;
}

double ekStructureBuilder::pointVeq(int i, int l, double* majority) const
{
    const double F = std::max(1.0, mesh.mat.dopantF[i]);
    ekNeutralInput in;
    in.layer = device->getLayer(l);
    in.N = mesh.mat.dopantN[i] * norm.density;
    in.E = mesh.mat.dopantE[i] * norm.Vt;
    in.kind = mesh.mat.dopantKind[i];
    in.ni = mesh.mat.ni[i];
    in.NC = mesh.mat.NC[i];
    in.NV = mesh.mat.NV[i];
    in.Fd = F;
    in.Fa = F;
    const ekNeutralState state = ek_neutralPotential(norm, in);
    if (majority) {
        *majority = state.majority;
    }
    return state.potential - (mesh.mat.offN[i] - mesh.mat.offP[i]) / 2.0;
}

void ekStructureBuilder::computeJunctions()
{
    const std::vector<ekLayerGeometry>& g = geometry;
    mesh.junctionCount = 0;
    const double h = mesh.baseStep;
    auto margin = [h](double x) { return std::min(5.0 * h, x); };
    if (layers == 1) {
        mesh.junctionBounds[mesh.junctionCount++] = g[0].start + g[0].thickness / 2.0;
        return;
    }
    const double lightDoping = 2e14 / norm.density;
    for (int l = 0; l + 1 < layers && mesh.junctionCount + 2 <= ekMeshFields::JUNCTION_BOUNDS;
         ++l) {
        const double z0 = g[l].start;
        const double t1 = g[l].thickness;
        const double t2 = g[l + 1].thickness;
        const double zi = z0 + t1;
        const bool first = (l == 0);
        const bool nextLast = (l + 1 == layers - 1);
        double M1 = 0.0, M2 = 0.0, N1 = 0.0, N2 = 0.0;
        const double phi1 = layerVeqOf(l, values[l], &M1, &N1);
        const double phi2 = layerVeqOf(l + 1, values[l + 1], &M2, &N2);
        double b1 = 0.0;
        double b2 = 0.0;
        if (N1 * N2 < 0.0 && M1 > 0.0 && M2 > 0.0) {
            // Abrupt junction: depletion width and its split by the majorities.
            const double W =
                std::sqrt(2.0 * values[l].Eps * (1.0 / M1 + 1.0 / M2) * std::fabs(phi2 - phi1));
            const double x1 = W / (M1 / M2 + 1.0);
            const double x2 = x1 * M1 / M2;
            b1 = zi - ekLimits::JUNCTION_ZONE_MARGIN * x1;
            b2 = zi + ekLimits::JUNCTION_ZONE_MARGIN * x2;
            const double ref1 = first ? z0 : z0 + t1 / 2.0;
            if (b1 < ref1 + 2.0 * h) {
                b1 = ref1 + margin(t1 / 4.0);
            }
            const double lim2 = nextLast ? zi + t2 : zi + t2 / 2.0;
            if (b2 >= lim2 - 2.0 * h) {
                b2 = lim2 - (first ? margin(t2 / 10.0) : margin(t1 / 4.0));
            }
        } else {
            b1 = std::fabs(N1) <= lightDoping ? z0 + margin(t1 / 4.0) : z0 + t1 / 2.0;
            if (nextLast) {
                b2 = std::fabs(N2) <= lightDoping ? zi + t2 - margin(t1 / 4.0) : zi + t2 / 2.0;
            } else {
                b2 = zi + t2 / 2.0 - margin(t1 / 4.0);
            }
        }
        mesh.junctionBounds[mesh.junctionCount++] = b1;
        mesh.junctionBounds[mesh.junctionCount++] = b2;
    }
}
