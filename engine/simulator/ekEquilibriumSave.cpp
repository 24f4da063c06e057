// A converged equilibrium potential and everything the equilibrium
// distribution derives from it.
#include <cmath>

#include "ElecDevice.h"
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
    const double n = electronDensity(V, Fn, k);
    const double p = holeDensity(V, Fp, k);
    sol.n[k] = n;
    sol.p[k] = p;
    sol.Vn[k] = V + mat.offN[k];
    sol.Vp[k] = V - mat.offP[k];
    sol.EC[k] = std::log(mat.NC[k] / mat.niRef[k]) - V - mat.offN[k];
    sol.EV[k] = sol.EC[k] - mat.Eg[k];
    ekTrappedCharge q;
    trappedCharge(n, p, k, &q);
    sol.Nax[k] = q.Na;
    sol.Ndx[k] = q.Nd;
    sol.Ntax[k] = q.Qa;
    sol.Ntdx[k] = q.Qd;
    sol.Qssp[k] = mat.polSpont[k];
    sol.Qspi[k] = mat.polPiezo[k];
    return -((n - p) + (q.Na - q.Nd) + (q.Qa - q.Qd) - q.Qpol);
}

void ekSimulator::fillEquilibriumPoints()
{
    const int N = Points;
    for (int i = 0; i < N; ++i) {
        const double V = sol.V[i];
        sol.Q[i] = storePointState(i, V, 0.0, 0.0);
        sol.Jn[i] = sol.Jp[i] = 0.0;
        sol.RD[i] = recombinationRadiative(V, 0.0, 0.0, i).value;
        sol.RA[i] = recombinationAuger(V, 0.0, 0.0, i).value;
        sol.RSRH[i] = recombinationSRH(V, 0.0, 0.0, i).value;
    }
    for (int i = 0; i < N; ++i) {
        sol.En[i] = -slope(sol.Vn, sol.z, i, N);
        sol.Ep[i] = -slope(sol.Vp, sol.z, i, N);
    }
}

void ekSimulator::poissonSave(double* V)
{
    if (prevPoint == 0 || V == nullptr || sol.V == nullptr || Points < 2) {
        return;
    }
    const int N = Points;
    for (int i = 0; i < N; ++i) {
        sol.V[i] = V[i];
        sol.Veq[i] = V[i];
        sol.nEq[i] = mat.niRef[i] * std::exp(mat.offN[i] + V[i]);
        sol.pEq[i] = mat.niRef[i] * std::exp(mat.offP[i] - V[i]);
        sol.Fn[i] = 0.0;
        sol.Fp[i] = 0.0;
    }
    fillEquilibriumPoints();
    const int layers = device->getLayerCount();
    layerVeq[0] = V[0];
    layerVeq[layers - 1] = V[N - 1];
    anodeState.Veq = V[0];
    cathodeState.Veq = V[N - 1];
    setMeanCurrent(0.0);
    saveDist(L"[SEND]EE:", TAG_EE, -1, TAG_JV);
    if (sigma->debug) {
        savePotential(TAG_EE);
        saveCharge();
    }
}
