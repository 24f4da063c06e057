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

void ekSimulator::fillEquilibriumPoints()
{
    const int N = Points;
    for (int i = 0; i < N; ++i) {
        const double V = sol.V[i];
        const double n = electronDensity(V, 0.0, i);
        const double p = holeDensity(V, 0.0, i);
        sol.n[i] = n;
        sol.p[i] = p;
        sol.Vn[i] = V + mat.offN[i];
        sol.Vp[i] = V - mat.offP[i];
        sol.EC[i] = std::log(mat.NC[i] / mat.niRef[i]) - V - mat.offN[i];
        sol.EV[i] = sol.EC[i] - mat.Eg[i];
        ekTrappedCharge q;
        trappedCharge(n, p, i, &q);
        sol.Nax[i] = q.Na;
        sol.Ndx[i] = q.Nd;
        sol.Ntax[i] = q.Qa;
        sol.Ntdx[i] = q.Qd;
        sol.Q[i] = -((n - p) + (q.Na - q.Nd) + (q.Qa - q.Qd) - q.Qpol);
        sol.Jn[i] = sol.Jp[i] = 0.0;
        sol.RD[i] = recombinationRadiative(V, 0.0, 0.0, i).value;
        sol.RA[i] = recombinationAuger(V, 0.0, 0.0, i).value;
        sol.RSRH[i] = recombinationSRH(V, 0.0, 0.0, i).value;
        sol.Qssp[i] = mat.polSpont[i];
        sol.Qspi[i] = mat.polPiezo[i];
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
