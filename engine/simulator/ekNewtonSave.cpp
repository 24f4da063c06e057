// A converged transport point and what the distribution file and the bias
// sweep derive from it: densities, band edges, fields, charges, currents
// and rates per point, the mean current and the space charges per area.
#include <cmath>

#include "ekNewtonEdges.h"
#include "ekSimulator.h"
#include "nuSigma.h"

namespace {

// Band terms that jump by more than this (Vt) across an edge mark a
// heterointerface, next to which the displayed charge is smoothed.
constexpr double HETERO_JUMP = 3.0;

}  // namespace

void ekSimulator::transportSavePoint(int k, int* state, double Vm, double V0, double Vp,
                                     double Fnm, double Fn0, double Fnp, double Fpm, double Fp0,
                                     double Fpp, double* /*scratch1*/, double* /*scratch2*/)
{
    if (k < 0 || k >= Points || mesh.sol.z == nullptr) {
        return;
    }
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
    const double w = mesh.controlWidth(k);
    if (hasDepletionPlane()) {
        (k <= depletionPlane ? chargeLeft : chargeRight) += w * rho;
    } else if (rho > 0.0) {
        chargePlus += w * rho;
    } else {
        chargeMinus += w * rho;
    }
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
    if (!first) {
        Jn += ek_edgeFlux(*this, ekCarrier::ELECTRON, k - 1, Vm, Fnm, V0, Fn0).J;
        Jp -= ek_edgeFlux(*this, ekCarrier::HOLE, k - 1, Vm, Fpm, V0, Fp0).J;
        ++edges;
    }
    if (!last) {
        const ekEdgeFlux electrons = ek_edgeFlux(*this, ekCarrier::ELECTRON, k, V0, Fn0, Vp, Fnp);
        const ekEdgeFlux holes = ek_edgeFlux(*this, ekCarrier::HOLE, k, V0, Fp0, Vp, Fpp);
        Jn += electrons.J;
        Jp -= holes.J;
        ++edges;
        // Edges at an interface pair carry the interface's own balance, not
        // the plain drift-diffusion flux: they never give the terminal current.
        const double scale = electrons.scale + holes.scale;
        if (!isPairedIndex(k) && !isPairedIndex(k + 1) &&
            (terminalScale < 0.0 || scale < terminalScale)) {
            terminalScale = scale;
            terminalCurrent = electrons.J - holes.J;
        }
    }
    if (edges > 0) {
        Jn /= edges;
        Jp /= edges;
    }
    mesh.sol.Jn[k] = Jn;
    mesh.sol.Jp[k] = Jp;

    // Rates; an interface-pair point shows the mean of its neighbours, as
    // the assembly balances it.
    if (!first && !last && isPairedIndex(k)) {
        mesh.sol.RD[k] = 0.5 * (recombinationRadiative(Vm, Fnm, Fpm, k - 1).value +
                                recombinationRadiative(Vp, Fnp, Fpp, k + 1).value);
        mesh.sol.RA[k] = 0.5 * (recombinationAuger(Vm, Fnm, Fpm, k - 1).value +
                                recombinationAuger(Vp, Fnp, Fpp, k + 1).value);
        mesh.sol.RSRH[k] = 0.5 * (recombinationSRH(Vm, Fnm, Fpm, k - 1).value +
                                  recombinationSRH(Vp, Fnp, Fpp, k + 1).value);
    } else {
        mesh.sol.RD[k] = recombinationRadiative(V0, Fn0, Fp0, k).value;
        mesh.sol.RA[k] = recombinationAuger(V0, Fn0, Fp0, k).value;
        mesh.sol.RSRH[k] = recombinationSRH(V0, Fn0, Fp0, k).value;
    }
    if (state != nullptr) {
        *state = k;
    }
}

void ekSimulator::beginCharges()
{
    chargePlus = chargeMinus = 0.0;
    chargeLeft = chargeRight = 0.0;
}

void ekSimulator::finishCharges()
{
    if (!hasDepletionPlane()) {
        return;
    }
    for (double side : {chargeLeft, chargeRight}) {
        (side > 0.0 ? chargePlus : chargeMinus) += side;
    }
}

void ekSimulator::locateDepletionPlane(const double* V)
{
    depletionPlane = -1;
    if (V == nullptr || mesh.mat.niRef == nullptr || Points < 2) {
        return;
    }
    double fewest = 0.0;
    for (int k = 0; k < Points; ++k) {
        const double carriers = electronDensity(V[k], 0.0, k) + holeDensity(V[k], 0.0, k);
        if (depletionPlane < 0 || carriers < fewest) {
            fewest = carriers;
            depletionPlane = k;
        }
    }
}

void ekSimulator::storePoints(const double* V, const double* Fn, const double* Fp, int stride)
{
    const int N = Points;
    mesh.sol.Jn[0] = mesh.sol.Jp[0] = 0.0;
    terminalCurrent = 0.0;
    terminalScale = -1.0;
    beginCharges();
    int state = -1;
    for (int k = 0; k < N; ++k) {
        const int l = (k > 0 ? k - 1 : k) * stride;
        const int c = k * stride;
        const int r = (k < N - 1 ? k + 1 : k) * stride;
        // Read the neighbours before the point is stored: storing may
        // smooth the shown value of the point before.
        const double Vm = k > 0 ? V[l] : 0.0, Fnm = k > 0 ? Fn[l] : 0.0, Fpm = k > 0 ? Fp[l] : 0.0;
        transportSavePoint(k, &state, Vm, V[c], V[r], Fnm, Fn[c], Fn[r], Fpm, Fp[c], Fp[r],
                           nullptr, nullptr);
    }
    setMeanCurrent(terminalCurrent);
    finishCharges();
}

void ekSimulator::storeSolution(const double* V, const double* Fn, const double* Fp)
{
    if (V == nullptr || Fn == nullptr || Fp == nullptr || mesh.sol.z == nullptr || Points < 2) {
        return;
    }
    storePoints(V, Fn, Fp, 1);
}

void ekSimulator::transportSaveNewton(double* x, int fileFlag)
{
    if (prevPoint == 0 || x == nullptr || mesh.sol.z == nullptr || Points < 2) {
        return;
    }
    storePoints(x, x + 1, x + 2, 3);
    if (sigma != nullptr && sigma->saveFull) {
        saveDist(nullptr, TAG_EN, -1, fileFlag);
    }
}
