// A converged transport point and what the distribution file and the bias
// sweep derive from it: densities, band edges, fields, charges, currents
// and rates per point, the mean current and the space charges per area.
// A whole solution is stored in one pass that takes each point's
// densities and each edge's fluxes once.
#include <cmath>

#include "ekNewtonEdges.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"
#include "nuSigma.h"

namespace {

// Band terms that jump by more than this (Vt) across an edge mark a
// heterointerface, next to which the displayed charge is smoothed.
constexpr double HETERO_JUMP = 3.0;

}  // namespace

void ekSimulator::transportSavePoint(int k, int* state, double Vm, double V0, double Vp, double Fnm,
                                     double Fn0, double Fnp, double Fpm, double Fp0, double Fpp,
                                     double* /*scratch1*/, double* /*scratch2*/)
{
    if (k < 0 || k >= Points || mesh.sol.z == nullptr) {
        return;
    }
    ekEdgeFlux left[2], right[2];
    const bool first = k == 0;
    const bool last = k == Points - 1;
    const double n0 = ek_electronDensity(mesh, V0, Fn0, k);
    const double p0 = ek_holeDensity(mesh, V0, Fp0, k);
    if (!first) {
        ek_edgeFluxPair(mesh, k - 1, Vm, ek_electronDensity(mesh, Vm, Fnm, k - 1),
                        ek_holeDensity(mesh, Vm, Fpm, k - 1), V0, n0, p0, &left[0], &left[1]);
    }
    if (!last) {
        ek_edgeFluxPair(mesh, k, V0, n0, p0, Vp, ek_electronDensity(mesh, Vp, Fnp, k + 1),
                        ek_holeDensity(mesh, Vp, Fpp, k + 1), &right[0], &right[1]);
    }
    const PointStencil at = {.Vm = Vm,
                             .V0 = V0,
                             .Vp = Vp,
                             .Fnm = Fnm,
                             .Fn0 = Fn0,
                             .Fnp = Fnp,
                             .Fpm = Fpm,
                             .Fp0 = Fp0,
                             .Fpp = Fpp};
    savePoint(k, at, first ? nullptr : left, last ? nullptr : right);
    if (state != nullptr) {
        *state = k;
    }
}

void ekSimulator::savePoint(int k, const PointStencil& at, const ekEdgeFlux* left,
                            const ekEdgeFlux* right)
{
    const double Vm = at.Vm, V0 = at.V0, Vp = at.Vp;
    const double Fnm = at.Fnm, Fn0 = at.Fn0, Fnp = at.Fnp;
    const double Fpm = at.Fpm, Fp0 = at.Fp0, Fpp = at.Fpp;
    const int N = Points;
    const bool first = k == 0;
    const bool last = k == N - 1;
    mesh.sol.V[k] = V0;
    mesh.sol.Fn[k] = Fn0;
    mesh.sol.Fp[k] = Fp0;
    // Shown quasi-Fermi potentials of an interface point: the mean of its
    // neighbours (the point itself belongs to neither layer).
    if (k >= 2 && isPairedIndex(k - 1)) {
        mesh.sol.Fn[k - 1] = 0.5 * (mesh.sol.Fn[k - 2] + Fn0);
        mesh.sol.Fp[k - 1] = 0.5 * (mesh.sol.Fp[k - 2] + Fp0);
    }

    const double rho = storePointState(k, V0, Fn0, Fp0);

    // Effective fields on the edge to the next point (the previous one at
    // the end of the mesh).
    if (!last) {
        const double h = mesh.sol.z[k + 1] - mesh.sol.z[k];
        mesh.sol.En[k] = -((Vp + mesh.mat.offN[k + 1]) - (V0 + mesh.mat.offN[k])) / h;
        mesh.sol.Ep[k] = -((Vp - mesh.mat.offP[k + 1]) - (V0 - mesh.mat.offP[k])) / h;
    } else if (k > 0) {
        const double h = mesh.sol.z[k] - mesh.sol.z[k - 1];
        mesh.sol.En[k] = -((V0 + mesh.mat.offN[k]) - (Vm + mesh.mat.offN[k - 1])) / h;
        mesh.sol.Ep[k] = -((V0 - mesh.mat.offP[k]) - (Vm - mesh.mat.offP[k - 1])) / h;
    }

    // Charge: the space charges per area integrate the raw density over the
    // control boxes, which tile the device, so Q+ and Q- are exact sums.
    totals.addCharge(k, mesh.controlWidth(k), rho, Points);
    mesh.sol.Q[k] = rho;
    // The displayed charge of the point before a heterointerface is
    // smoothed when it stands far from its neighbours (a numerical dipole
    // of the band-offset step, not a charge of the device).
    if (k >= 2) {
        const int m = k - 1;
        const bool hetero = std::fabs(mesh.mat.offN[k] - mesh.mat.offN[m]) > HETERO_JUMP ||
                            std::fabs(mesh.mat.offP[k] - mesh.mat.offP[m]) > HETERO_JUMP ||
                            isPairedIndex(m);
        const double mean = 0.5 * (std::fabs(mesh.sol.Q[m - 1]) + std::fabs(rho));
        const double q = std::fabs(mesh.sol.Q[m]);
        if (hetero && (q < 0.5 * mean || q > 2.0 * mean)) {
            mesh.sol.Q[m] = 0.5 * (mesh.sol.Q[m - 1] + rho);
        }
    }

    // Currents: the mean of the two edge fluxes. The arithmetic mean keeps
    // Jn + Jp equal to the terminal current at every point (the edge totals
    // are all equal in a converged solution); end points take their edge.
    double Jn = 0.0;
    double Jp = 0.0;
    int edges = 0;
    if (left != nullptr) {
        Jn += left[0].J;
        Jp -= left[1].J;
        ++edges;
    }
    if (right != nullptr) {
        Jn += right[0].J;
        Jp -= right[1].J;
        ++edges;
        // Edges at an interface pair carry the interface's own balance, not
        // the plain drift-diffusion flux: they never give the terminal current.
        if (!isPairedIndex(k) && !isPairedIndex(k + 1)) {
            totals.offerEdge(right[0].J - right[1].J, right[0].scale + right[1].scale);
        }
    }
    if (edges > 0) {
        Jn /= edges;
        Jp /= edges;
    }
    mesh.sol.Jn[k] = Jn;
    mesh.sol.Jp[k] = Jp;

    // Rates (stored with the point's state); an interface-pair point shows
    // the mean of its neighbours, as the assembly balances it.
    if (!first && !last && isPairedIndex(k)) {
        mesh.sol.RD[k] = 0.5 * (recombinationRadiative(Vm, Fnm, Fpm, k - 1).value +
                                recombinationRadiative(Vp, Fnp, Fpp, k + 1).value);
        mesh.sol.RA[k] = 0.5 * (recombinationAuger(Vm, Fnm, Fpm, k - 1).value +
                                recombinationAuger(Vp, Fnp, Fpp, k + 1).value);
        mesh.sol.RSRH[k] = 0.5 * (recombinationSRH(Vm, Fnm, Fpm, k - 1).value +
                                  recombinationSRH(Vp, Fnp, Fpp, k + 1).value);
    }
}

void ekSimulator::storeSolution(const double* V, const double* Fn, const double* Fp, int stride)
{
    if (V == nullptr || Fn == nullptr || Fp == nullptr || mesh.sol.z == nullptr || Points < 2) {
        return;
    }
    const int N = Points;
    solutionBias = Va;
    mesh.sol.Jn[0] = mesh.sol.Jp[0] = 0.0;
    totals.begin();
    // Each edge's fluxes serve both its points, and each point's densities
    // both its edges. The neighbours are read from the arrays given, before
    // the point is stored: storing may smooth the shown value of the point
    // before.
    auto densities = [&](int k, double* n, double* p) {
        const int c = k * stride;
        *n = ek_electronDensity(mesh, V[c], Fn[c], k);
        *p = ek_holeDensity(mesh, V[c], Fp[c], k);
    };
    double n0 = 0.0, p0 = 0.0, n1 = 0.0, p1 = 0.0;
    densities(0, &n0, &p0);
    ekEdgeFlux left[2], right[2];
    for (int k = 0; k < N; ++k) {
        const int l = (k > 0 ? k - 1 : k) * stride;
        const int c = k * stride;
        const int r = (k < N - 1 ? k + 1 : k) * stride;
        if (k < N - 1) {
            densities(k + 1, &n1, &p1);
            ek_edgeFluxPair(mesh, k, V[c], n0, p0, V[r], n1, p1, &right[0], &right[1]);
        }
        const double Vm = k > 0 ? V[l] : 0.0, Fnm = k > 0 ? Fn[l] : 0.0, Fpm = k > 0 ? Fp[l] : 0.0;
        const PointStencil at = {.Vm = Vm,
                                 .V0 = V[c],
                                 .Vp = V[r],
                                 .Fnm = Fnm,
                                 .Fn0 = Fn[c],
                                 .Fnp = Fn[r],
                                 .Fpm = Fpm,
                                 .Fp0 = Fp[c],
                                 .Fpp = Fp[r]};
        savePoint(k, at, k > 0 ? left : nullptr, k < N - 1 ? right : nullptr);
        left[0] = right[0];
        left[1] = right[1];
        n0 = n1;
        p0 = p1;
    }
    totals.finish(N);
}

void ekSimulator::transportSaveNewton(double* x, int fileFlag)
{
    if (prevPoint == 0 || x == nullptr || mesh.sol.z == nullptr || Points < 2) {
        return;
    }
    storeSolution(x, x + 1, x + 2, 3);
    if (sigma != nullptr && sigma->saveFull) {
        saveDist(nullptr, TAG_EN, -1, fileFlag);
    }
}
