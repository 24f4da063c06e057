// A converged equilibrium potential and everything the equilibrium
// distribution derives from it.
#include <cmath>

#include "ElecDevice.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"
#include "nuSigma.h"

namespace {

// Steps that differ by less than these factors count as uniform for a
// centred difference.
constexpr double STEP_GROWTH = 1.024;
constexpr double STEP_SHRINK = 0.96875;

// Slope of u at point i: centred where the two steps match, one-sided
// (towards the next point, or the previous at the end) elsewhere.
double slope(const double* u, const double* z, int i, int N)
{
    if (i == N - 1) {
        return (u[i] - u[i - 1]) / (z[i] - z[i - 1]);
    }
    if (i > 0) {
        const double ratio = (z[i + 1] - z[i]) / (z[i] - z[i - 1]);
        if (ratio > STEP_SHRINK && ratio < STEP_GROWTH) {
            return (u[i + 1] - u[i - 1]) / (z[i + 1] - z[i - 1]);
        }
    }
    return (u[i + 1] - u[i]) / (z[i + 1] - z[i]);
}

}  // namespace

double ekSimulator::storePointState(int k, double V, double Fn, double Fp)
{
    const double n = ek_electronDensity(mesh, V, Fn, k);
    const double p = ek_holeDensity(mesh, V, Fp, k);
    mesh.sol.n[k] = n;
    mesh.sol.p[k] = p;
    mesh.sol.Vn[k] = V + mesh.mat.offN[k];
    mesh.sol.Vp[k] = V - mesh.mat.offP[k];
    mesh.sol.EC[k] = std::log(mesh.mat.NC[k] / mesh.mat.niRef[k]) - V - mesh.mat.offN[k];
    mesh.sol.EV[k] = mesh.sol.EC[k] - mesh.mat.Eg[k];
    ekTrappedCharge q;
    const ekPointValue srh = ek_levelsAndSrh(mesh, k, n, p, occupation(), &q);
    mesh.sol.RD[k] = ek_radiativeRecombination(mesh, k, n, p).value;
    mesh.sol.RA[k] = ek_augerRecombination(mesh, k, n, p).value;
    mesh.sol.RSRH[k] = srh.value;
    mesh.sol.Nax[k] = q.Na;
    mesh.sol.Ndx[k] = q.Nd;
    mesh.sol.Ntax[k] = q.Qa;
    mesh.sol.Ntdx[k] = q.Qd;
    mesh.sol.Qssp[k] = mesh.mat.polSpont[k];
    mesh.sol.Qspi[k] = mesh.mat.polPiezo[k];
    return -((n - p) + (q.Na - q.Nd) + (q.Qa - q.Qd) - q.Qpol);
}

void ekSimulator::fillEquilibriumPoints()
{
    const int N = Points;
    for (int i = 0; i < N; ++i) {
        const double V = mesh.sol.V[i];
        mesh.sol.Q[i] = storePointState(i, V, 0.0, 0.0);
        mesh.sol.Jn[i] = mesh.sol.Jp[i] = 0.0;
    }
    for (int i = 0; i < N; ++i) {
        mesh.sol.En[i] = -slope(mesh.sol.Vn, mesh.sol.z, i, N);
        mesh.sol.Ep[i] = -slope(mesh.sol.Vp, mesh.sol.z, i, N);
    }
}

void ekSimulator::poissonSave(double* V)
{
    if (prevPoint == 0 || V == nullptr || mesh.sol.V == nullptr || Points < 2) {
        return;
    }
    const int N = Points;
    for (int i = 0; i < N; ++i) {
        mesh.sol.V[i] = V[i];
        mesh.sol.Veq[i] = V[i];
        mesh.sol.nEq[i] = mesh.mat.niRef[i] * std::exp(mesh.mat.offN[i] + V[i]);
        mesh.sol.pEq[i] = mesh.mat.niRef[i] * std::exp(mesh.mat.offP[i] - V[i]);
        mesh.sol.Fn[i] = 0.0;
        mesh.sol.Fp[i] = 0.0;
    }
    fillEquilibriumPoints();
    const int layers = device->getLayerCount();
    mesh.layerVeq[0] = V[0];
    mesh.layerVeq[layers - 1] = V[N - 1];
    mesh.anodeState.Veq = V[0];
    mesh.cathodeState.Veq = V[N - 1];
    setMeanCurrent(0.0);
    saveDist(L"[SEND]EE:", TAG_EE, -1, TAG_JV);
    if (sigma->debug) {
        savePotential(TAG_EE);
        saveCharge();
    }
}
