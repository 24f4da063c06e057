// Equilibrium potentials of the layers and the contacts (charge neutrality
// with incomplete ionisation) and the depletion zones around the junctions
// that seed the equilibrium solution.
#include <algorithm>
#include <cmath>

#include "ElecDevice.h"
#include "ekLayer.h"
#include "ekLimits.h"
#include "ekStructureBuilder.h"

bool ek_neutralPotential(const ekNormalisation& norm, const ekLayer* layer, double N, double Nr,
                         double E, uint8_t kind, double step, double ni, double NC, double NV,
                         double Fd, double Fa, double* ionA, double* ionD, double* fracA,
                         double* fracD, double* majority, double* potential)
{
    double outA = 0.0, outD = 0.0, outFA = 0.0, outFD = 0.0, outM = 0.0, outV = 0.0;
    const bool graded = layer != nullptr && layer->isDopingScript() && layer->isDopingScriptGraded();
    double C = 0.0;  // net ionised acceptors minus donors
    if (N > 1e6 || (graded && N > 1e-6)) {
        // Ionised fraction x of a level with ionisation term g: x = 1/(1 + g N x),
        // solved in the form free of cancellation.
        if (kind == 0 || kind == ekLimits::KIND_DONOR) {
            const double Nd = (kind == 0 ? 1e10 : N) / norm.density;
            const double t = std::exp(E / norm.Vt) / NC;
            const double x = 2.0 / (1.0 + std::sqrt(1.0 + 4.0 * Fd * Nd * t));
            outFD = x;
            C -= x * Nd;
            outD = t * Fd;
        } else if (kind == ekLimits::KIND_ACCEPTOR) {
            const double Na = N / norm.density;
            const double t = std::exp(E / norm.Vt) / NV;
            const double x = 2.0 / (1.0 + std::sqrt(1.0 + 4.0 * Fa * Na * t));
            outFA = x;
            C += x * Na;
            outA = t * Fa;
        }
    }
    if (C < 0.0) {
        outM = (std::sqrt(4.0 * ni * ni + C * C) - C) / 2.0;
        outV = std::log(outM / ni);
    } else if (C > 0.0) {
        outM = (std::sqrt(4.0 * ni * ni + C * C) + C) / 2.0;
        outV = std::log(ni / outM);
    } else {
        outM = ni;
    }
    if (ionA) *ionA = outA;
    if (ionD) *ionD = outD;
    if (fracA) *fracA = outFA;
    if (fracD) *fracD = outFD;
    if (majority) *majority = outM;
    if (potential) *potential = outV;
    return true;
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
    double M = 0.0, psi = 0.0;
    ek_neutralPotential(norm, L, v.dopant.N, v.dopant.Nr, Ein, v.dopant.kind, mesh.baseStep, ni, NC,
                        NV, F, F, nullptr, nullptr, nullptr, nullptr, &M, &psi);
    if (majority) *majority = M;
    if (signedDoping)
        *signedDoping =
            kind == ekLimits::KIND_ACCEPTOR ? -N : (kind == ekLimits::KIND_DONOR ? N : 0.0);
    // psi is measured from the layer's own intrinsic level; the potential
    // of the solver is referred to the first layer's bands.
    return psi - (offN - offP) / 2.0;
}

double ekStructureBuilder::pointVeq(int i, int l, double* majority) const
{
    const double F = std::max(1.0, mesh.mat.dopantF[i]);
    double M = 0.0, psi = 0.0;
    ek_neutralPotential(norm, device->getLayer(l), mesh.mat.dopantN[i] * norm.density, 0.0,
                        mesh.mat.dopantE[i] * norm.Vt, mesh.mat.dopantKind[i], mesh.baseStep,
                        mesh.mat.ni[i], mesh.mat.NC[i], mesh.mat.NV[i], F, F, nullptr, nullptr,
                        nullptr, nullptr, &M, &psi);
    if (majority) *majority = M;
    return psi - (mesh.mat.offN[i] - mesh.mat.offP[i]) / 2.0;
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
