// The electron and hole continuity equations in their quasi-Fermi
// potentials with V (and the other quasi-Fermi potential) held fixed: the
// second and third equations of the Gummel scheme.
//
// Densities depend on the unknowns as n = c exp(V - Fn + tn) and
// p = c exp(Fp - V + tp): dn/dFn = -n, dp/dFp = p.
#include <algorithm>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ekLayer.h"
#include "ekSimulator.h"

namespace {

using ekLimits::NORM_FLOOR;

void setRow(double* residual, double* rhs, double* sum, int i, double F)
{
    residual[i] = F;
    rhs[i] = -F;
    *sum += F * F;
}

}  // namespace

void ekSimulator::transportElectron(double* Fn, double* residual, double* rhs, double* lower,
                                    double* diag, double* upper, ekBandMatrix* /*jacobian*/,
                                    double* V, double* Fp, int n, double* residualNorm)
{
    const int N = std::min(n, Points);
    if (N < 3 || V == nullptr || Fn == nullptr || Fp == nullptr || lower == nullptr ||
        diag == nullptr || upper == nullptr) {
        return;
    }
    const double lambda = norm.rate;
    double sum = 0.0;
    for (int i = 1; i < N - 1; ++i) {
        const double hM = controlWidth(i);
        const EdgeFlux left = electronEdge(i - 1, V, Fn);
        const EdgeFlux right = electronEdge(i, V, Fn);
        ekRecombination dL, dR;
        const ekRecombination R = netRecombination(i, V, Fn, Fp, &dL, &dR);
        setRow(residual, rhs, &sum, i, (right.J - left.J) / hM + (mat.Gop[i] - R.R) / lambda);
        lower[i] = left.cLeft * left.left / hM - dL.dFn / lambda;
        diag[i] = (left.cRight * left.right - right.cLeft * right.left) / hM - R.dFn / lambda;
        upper[i] = -right.cRight * right.right / hM - dR.dFn / lambda;
    }

    const double T = device != nullptr ? device->getT() : norm.T;
    // Anode: the flux into the metal is Sn (n - nEq). At a tunnelling
    // contact field emission through the barrier is a second path in
    // parallel with thermionic emission, driven by the same excess n - nEq
    // (so it carries nothing at equilibrium): its term adds to that flux,
    // at the anode and, mirrored, at the cathode, each called with its own
    // contact node first. Only its Fn derivative (through n) enters a row.
    lower[0] = upper[0] = 0.0;
    diag[0] = 1.0;
    if (updateContactOhmic(0)) {
        setRow(residual, rhs, &sum, 0, Fn[0] - Va);
    } else {
        const EdgeFlux e = electronEdge(0, V, Fn);
        const double S = anodeState.Sn;
        double F = e.J - S * (e.left - sol.nEq[0]);
        diag[0] = -e.cLeft * e.left + S * e.left;
        upper[0] = -e.cRight * e.right;
        const ekLayer* layer = device != nullptr ? device->getFirstLayer() : nullptr;
        if (anodeState.tunnel && layer != nullptr) {
            double dVc = 0.0, dVn = 0.0, dFn = 0.0;
            F -= tunnelCurrent(V[0], V[1], e.left, layer->getMe(), anodeState.phi,
                               sol.z[1] - sol.z[0], T, 0, &dVc, &dVn, &dFn);
            diag[0] -= dFn;
        }
        setRow(residual, rhs, &sum, 0, F);
    }

    const int c = N - 1;
    lower[c] = upper[c] = 0.0;
    diag[c] = 1.0;
    if (updateContactOhmic(1)) {
        setRow(residual, rhs, &sum, c, Fn[c]);
    } else {
        const EdgeFlux e = electronEdge(c - 1, V, Fn);
        const double S = cathodeState.Sn;
        double F = S * (e.right - sol.nEq[c]) + e.J;
        lower[c] = -e.cLeft * e.left;
        diag[c] = -S * e.right - e.cRight * e.right;
        const ekLayer* layer = device != nullptr ? device->getLastLayer() : nullptr;
        if (cathodeState.tunnel && layer != nullptr) {
            double dVc = 0.0, dVn = 0.0, dFn = 0.0;
            F += tunnelCurrent(V[c], V[c - 1], e.right, layer->getMe(), cathodeState.phi,
                               sol.z[c] - sol.z[c - 1], T, 1, &dVc, &dVn, &dFn);
            diag[c] += dFn;
        }
        setRow(residual, rhs, &sum, c, F);
    }
    if (residualNorm != nullptr) {
        *residualNorm = sum == 0.0 ? NORM_FLOOR : sum;
    }
}

void ekSimulator::transportHole(double* Fp, double* residual, double* rhs, double* lower,
                                double* diag, double* upper, ekBandMatrix* /*jacobian*/,
                                double* V, double* Fn, int n, double* residualNorm)
{
    const int N = std::min(n, Points);
    if (N < 3 || V == nullptr || Fn == nullptr || Fp == nullptr || lower == nullptr ||
        diag == nullptr || upper == nullptr) {
        return;
    }
    const double lambda = norm.rate;
    double sum = 0.0;
    for (int i = 1; i < N - 1; ++i) {
        const double hM = controlWidth(i);
        const EdgeFlux left = holeEdge(i - 1, V, Fp);
        const EdgeFlux right = holeEdge(i, V, Fp);
        ekRecombination dL, dR;
        const ekRecombination R = netRecombination(i, V, Fn, Fp, &dL, &dR);
        setRow(residual, rhs, &sum, i, (left.J - right.J) / hM + (mat.Gop[i] - R.R) / lambda);
        lower[i] = left.cLeft * left.left / hM - dL.dFp / lambda;
        diag[i] = (left.cRight * left.right - right.cLeft * right.left) / hM - R.dFp / lambda;
        upper[i] = -right.cRight * right.right / hM - dR.dFp / lambda;
    }

    lower[0] = upper[0] = 0.0;
    diag[0] = 1.0;
    if (updateContactOhmic(0)) {
        setRow(residual, rhs, &sum, 0, Fp[0] - Va);
    } else {
        const EdgeFlux e = holeEdge(0, V, Fp);
        const double S = anodeState.Sp;
        setRow(residual, rhs, &sum, 0, S * (e.left - sol.pEq[0]) + e.J);
        diag[0] = S * e.left + e.cLeft * e.left;
        upper[0] = e.cRight * e.right;
    }

    const int c = N - 1;
    lower[c] = upper[c] = 0.0;
    diag[c] = 1.0;
    if (updateContactOhmic(1)) {
        setRow(residual, rhs, &sum, c, Fp[c]);
    } else {
        const EdgeFlux e = holeEdge(c - 1, V, Fp);
        const double S = cathodeState.Sp;
        setRow(residual, rhs, &sum, c, e.J - S * (e.right - sol.pEq[c]));
        lower[c] = e.cLeft * e.left;
        diag[c] = e.cRight * e.right - S * e.right;
    }
    if (residualNorm != nullptr) {
        *residualNorm = sum == 0.0 ? NORM_FLOOR : sum;
    }
}
