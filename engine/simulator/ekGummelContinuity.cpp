// The electron and hole continuity equations in their quasi-Fermi
// potentials with V (and the other quasi-Fermi potential) held fixed: the
// second and third equations of the Gummel scheme.
//
// Densities depend on the unknowns as n = c exp(V - Fn + tn) and
// p = c exp(Fp - V + tp): dn/dFn = -n, dp/dFp = p. The fluxes are the
// Newton assembly's (ekNewtonEdges.h): the electron flux Jn and the hole
// flux Pp (the hole current is -Pp), so both balances read
// (J(right edge) - J(left edge)) / h + (G - R) / lambda = 0.
#include <algorithm>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ekLayer.h"
#include "ekNewtonEdges.h"
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

void ekSimulator::continuityRows(bool electrons, const double* V, const double* Fn,
                                 const double* Fp, int N, double* residual, double* rhs,
                                 double* lower, double* diag, double* upper, double* sum) const
{
    const double lambda = norm.rate;
    auto edge = [&](int j) {
        return electrons ? ek_electronEdge(*this, j, V[j], Fn[j], V[j + 1], Fn[j + 1])
                         : ek_holeEdge(*this, j, V[j], Fp[j], V[j + 1], Fp[j + 1]);
    };
    // The recombination's derivative by this equation's own unknown.
    auto own = [electrons](const ekPointValue& r) { return electrons ? r.dFn : r.dFp; };
    for (int i = 1; i < N - 1; ++i) {
        const double hM = mesh.controlWidth(i);
        const ekEdgeFlux left = edge(i - 1);
        const ekEdgeFlux right = edge(i);
        ekPointValue dL, dR;
        const ekPointValue R = netRecombination(i, V, Fn, Fp, &dL, &dR);
        setRow(residual, rhs, sum, i,
               (right.J - left.J) / hM + (mesh.mat.Gop[i] - R.value) / lambda);
        lower[i] = -left.dFl / hM - own(dL) / lambda;
        diag[i] = (right.dFl - left.dFr) / hM - own(R) / lambda;
        upper[i] = right.dFr / hM - own(dR) / lambda;
    }
}

void ekSimulator::transportElectron(double* Fn, double* residual, double* rhs, double* lower,
                                    double* diag, double* upper, ekBandMatrix* /*jacobian*/,
                                    double* V, double* Fp, int n, double* residualNorm)
{
    const int N = std::min(n, Points);
    if (N < 3 || V == nullptr || Fn == nullptr || Fp == nullptr || lower == nullptr ||
        diag == nullptr || upper == nullptr) {
        return;
    }
    double sum = 0.0;
    continuityRows(true, V, Fn, Fp, N, residual, rhs, lower, diag, upper, &sum);

    const double T = device != nullptr ? device->getT() : norm.T;
    // Anode: the flux into the metal is Sn (n - nEq). At a tunnelling
    // contact field emission through the barrier is a second path in
    // parallel with thermionic emission, driven by the same excess n - nEq
    // (so it carries nothing at equilibrium): its term adds to that flux,
    // at the anode and, mirrored, at the cathode, each called with its own
    // contact node first. Only its Fn derivative (through n) enters a row.
    lower[0] = upper[0] = 0.0;
    diag[0] = 1.0;
    if (mesh.anodeState.ohmic) {
        setRow(residual, rhs, &sum, 0, Fn[0] - Va);
    } else {
        const ekEdgeFlux e = ek_electronEdge(*this, 0, V[0], Fn[0], V[1], Fn[1]);
        const double S = mesh.anodeState.Sn;
        double F = e.J - S * (e.left - mesh.sol.nEq[0]);
        diag[0] = e.dFl + S * e.left;
        upper[0] = e.dFr;
        const ekLayer* layer = device != nullptr ? device->getFirstLayer() : nullptr;
        if (mesh.anodeState.tunnel && layer != nullptr) {
            double dVc = 0.0, dVn = 0.0, dFn = 0.0;
            F -= tunnelCurrent(V[0], V[1], e.left, layer->getMe(), mesh.anodeState.phi,
                               mesh.sol.z[1] - mesh.sol.z[0], T, 0, &dVc, &dVn, &dFn);
            diag[0] -= dFn;
        }
        setRow(residual, rhs, &sum, 0, F);
    }

    const int c = N - 1;
    lower[c] = upper[c] = 0.0;
    diag[c] = 1.0;
    if (mesh.cathodeState.ohmic) {
        setRow(residual, rhs, &sum, c, Fn[c]);
    } else {
        const ekEdgeFlux e = ek_electronEdge(*this, c - 1, V[c - 1], Fn[c - 1], V[c], Fn[c]);
        const double S = mesh.cathodeState.Sn;
        double F = S * (e.right - mesh.sol.nEq[c]) + e.J;
        lower[c] = e.dFl;
        diag[c] = -S * e.right + e.dFr;
        const ekLayer* layer = device != nullptr ? device->getLastLayer() : nullptr;
        if (mesh.cathodeState.tunnel && layer != nullptr) {
            double dVc = 0.0, dVn = 0.0, dFn = 0.0;
            F += tunnelCurrent(V[c], V[c - 1], e.right, layer->getMe(), mesh.cathodeState.phi,
                               mesh.sol.z[c] - mesh.sol.z[c - 1], T, 1, &dVc, &dVn, &dFn);
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
    double sum = 0.0;
    continuityRows(false, V, Fn, Fp, N, residual, rhs, lower, diag, upper, &sum);

    lower[0] = upper[0] = 0.0;
    diag[0] = 1.0;
    if (mesh.anodeState.ohmic) {
        setRow(residual, rhs, &sum, 0, Fp[0] - Va);
    } else {
        const ekEdgeFlux e = ek_holeEdge(*this, 0, V[0], Fp[0], V[1], Fp[1]);
        const double S = mesh.anodeState.Sp;
        setRow(residual, rhs, &sum, 0, S * (e.left - mesh.sol.pEq[0]) - e.J);
        diag[0] = S * e.left - e.dFl;
        upper[0] = -e.dFr;
    }

    const int c = N - 1;
    lower[c] = upper[c] = 0.0;
    diag[c] = 1.0;
    if (mesh.cathodeState.ohmic) {
        setRow(residual, rhs, &sum, c, Fp[c]);
    } else {
        const ekEdgeFlux e = ek_holeEdge(*this, c - 1, V[c - 1], Fp[c - 1], V[c], Fp[c]);
        const double S = mesh.cathodeState.Sp;
        setRow(residual, rhs, &sum, c, -e.J - S * (e.right - mesh.sol.pEq[c]));
        lower[c] = -e.dFl;
        diag[c] = -e.dFr - S * e.right;
    }
    if (residualNorm != nullptr) {
        *residualNorm = sum == 0.0 ? NORM_FLOOR : sum;
    }
}
