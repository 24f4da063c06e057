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
#include "ekPointPhysics.h"
#include "ekSimulator.h"

namespace {

using ekLimits::NORM_FLOOR;

void setRow(double* residual, double* rhs, double* sum, int i, double F)
{
    residual[i] = F;
    rhs[i] = -F;
    *sum += F * F;
}

// The carrier's flux on the edge j..j+1, F its quasi-Fermi potentials.
ekEdgeFlux edge(const ekSimulator& sim, ekCarrier carrier, const double* V, const double* F, int j)
{
    return ek_edgeFlux(sim, carrier, j, V[j], F[j], V[j + 1], F[j + 1]);
}

// The solution the equation is assembled at: n points of V, Fn, Fp.
struct ContinuityPoint {
    const double* V;
    const double* Fn;
    const double* Fp;
    int n;
};

// The assembled equation: its residual and the right side (the residual
// negated), the three diagonals of its matrix, and the residual's squared
// norm (may be null).
struct ContinuityRows {
    double* residual;
    double* rhs;
    double* lower;
    double* diag;
    double* upper;
    double* residualNorm;
};

// The electron (electrons true) or hole continuity equation in its
// quasi-Fermi potential, the work of transportElectron and transportHole:
// the two carriers' equations differ only in which flux, recombination
// derivative and contact signs they take (and electrons alone tunnel).
void continuityEquation(const ekSimulator& sim, bool electrons, const ContinuityPoint& at,
                        const ContinuityRows& rows)
{
    const double* V = at.V;
    const double* Fn = at.Fn;
    const double* Fp = at.Fp;
    const int n = at.n;
    double* residual = rows.residual;
    double* rhs = rows.rhs;
    double* lower = rows.lower;
    double* diag = rows.diag;
    double* upper = rows.upper;
    const ekMeshFields& mesh = sim.getMesh();
    const ekNormalisation& norm = sim.getNorm();
    const ElecDevice* device = sim.getDevice();
    const double Va = sim.getAppliedVoltage();
    const int N = std::min(n, sim.getPoints());
    if (N < 3 || V == nullptr || Fn == nullptr || Fp == nullptr || lower == nullptr ||
        diag == nullptr || upper == nullptr) {
        return;
    }
    const double lambda = norm.rate;
    const ekCarrier carrier = electrons ? ekCarrier::ELECTRON : ekCarrier::HOLE;
    const double* F = electrons ? Fn : Fp;
    // The recombination's derivative by this equation's own unknown.
    auto own = [electrons](const ekPointValue& r) { return electrons ? r.dFn : r.dFp; };
    double sum = 0.0;
    for (int i = 1; i < N - 1; ++i) {
        const double hM = mesh.controlWidth(i);
        const ekEdgeFlux left = edge(sim, carrier, V, F, i - 1);
        const ekEdgeFlux right = edge(sim, carrier, V, F, i);
        ekPointValue dL, dR;
        const ekPointValue R = ek_netRecombination(sim, i, V, Fn, Fp, 1, &dL, &dR);
        setRow(residual, rhs, &sum, i,
               (right.J - left.J) / hM + (mesh.mat.Gop[i] - R.value) / lambda);
        lower[i] = -left.dFl / hM - own(dL) / lambda;
        diag[i] = (right.dFl - left.dFr) / hM - own(R) / lambda;
        upper[i] = right.dFr / hM - own(dR) / lambda;
    }

    // The contact point owns half a mesh step: what is generated and
    // recombines there, (G - R) times that width, joins its balance as an
    // inner point's does over its control box, or the carriers made in
    // that half step would be lost. halfCell gives it with the derivative
    // of the rate by this equation's unknown.
    auto halfCell = [&](int i, double* dRate) {
        const ekPointValue R = ek_recombination(mesh, i, V[i], Fn[i], Fp[i]);
        const double width = mesh.controlWidth(i) / lambda;
        *dRate = width * own(R);
        return width * (mesh.mat.Gop[i] - R.value);
    };

    // A Schottky contact balances the flux into the metal with the surface
    // recombination S (u - uEq) of the carrier's density u. The balance is
    // written for the electron flux Jn; the hole rows are the same with the
    // flux Pp (the hole current is -Pp) and the sign s turned over, as p
    // moves with Fp the way n moves against Fn.
    const double s = electrons ? 1.0 : -1.0;
    const double* uEq = electrons ? mesh.sol.nEq : mesh.sol.pEq;
    const double T = device != nullptr ? device->getT() : norm.T;
    // Anode: the flux into the metal is S (u - uEq). At a tunnelling
    // contact field emission through the barrier is a second path in
    // parallel with thermionic emission for the electrons, driven by the
    // same excess n - nEq (so it carries nothing at equilibrium): its term
    // adds to that flux, at the anode and, mirrored, at the cathode, each
    // called with its own contact node first. Only its Fn derivative
    // (through n) enters a row.
    lower[0] = upper[0] = 0.0;
    diag[0] = 1.0;
    if (mesh.anodeState.ohmic) {
        setRow(residual, rhs, &sum, 0, F[0] - Va);
    } else {
        const ekEdgeFlux e = edge(sim, carrier, V, F, 0);
        const double S = electrons ? mesh.anodeState.Sn : mesh.anodeState.Sp;
        double dRate = 0.0;
        const double GR = halfCell(0, &dRate);
        double Fa = s * (e.J - S * (e.left - uEq[0]) + GR);
        diag[0] = s * (e.dFl - dRate) + S * e.left;
        upper[0] = s * e.dFr;
        const ekLayer* layer = device != nullptr ? device->getFirstLayer() : nullptr;
        if (electrons && mesh.anodeState.tunnel && layer != nullptr) {
            double dVc = 0.0, dVn = 0.0, dFn = 0.0;
            Fa -= sim.tunnelCurrent(V[0], V[1], e.left, layer->getMe(), mesh.anodeState.phi,
                                    mesh.sol.z[1] - mesh.sol.z[0], T, 0, &dVc, &dVn, &dFn);
            diag[0] -= dFn;
        }
        setRow(residual, rhs, &sum, 0, Fa);
    }

    const int c = N - 1;
    lower[c] = upper[c] = 0.0;
    diag[c] = 1.0;
    if (mesh.cathodeState.ohmic) {
        setRow(residual, rhs, &sum, c, F[c]);
    } else {
        const ekEdgeFlux e = edge(sim, carrier, V, F, c - 1);
        const double S = electrons ? mesh.cathodeState.Sn : mesh.cathodeState.Sp;
        double dRate = 0.0;
        const double GR = halfCell(c, &dRate);
        double Fc = s * (S * (e.right - uEq[c]) + e.J - GR);
        lower[c] = s * e.dFl;
        diag[c] = s * (e.dFr + dRate) - S * e.right;
        const ekLayer* layer = device != nullptr ? device->getLastLayer() : nullptr;
        if (electrons && mesh.cathodeState.tunnel && layer != nullptr) {
            double dVc = 0.0, dVn = 0.0, dFn = 0.0;
            Fc += sim.tunnelCurrent(V[c], V[c - 1], e.right, layer->getMe(), mesh.cathodeState.phi,
                                    mesh.sol.z[c] - mesh.sol.z[c - 1], T, 1, &dVc, &dVn, &dFn);
            diag[c] += dFn;
        }
        setRow(residual, rhs, &sum, c, Fc);
    }
    if (rows.residualNorm != nullptr) {
        *rows.residualNorm = sum == 0.0 ? NORM_FLOOR : sum;
    }
}

}  // namespace

void ekSimulator::transportElectron(double* Fn, double* residual, double* rhs, double* lower,
                                    double* diag, double* upper, ekBandMatrix* /*jacobian*/,
                                    double* V, double* Fp, int n, double* residualNorm)
{
    continuityEquation(*this, true, {.V = V, .Fn = Fn, .Fp = Fp, .n = n},
                       {.residual = residual,
                        .rhs = rhs,
                        .lower = lower,
                        .diag = diag,
                        .upper = upper,
                        .residualNorm = residualNorm});
}

void ekSimulator::transportHole(double* Fp, double* residual, double* rhs, double* lower,
                                double* diag, double* upper, ekBandMatrix* /*jacobian*/, double* V,
                                double* Fn, int n, double* residualNorm)
{
    continuityEquation(*this, false, {.V = V, .Fn = Fn, .Fp = Fp, .n = n},
                       {.residual = residual,
                        .rhs = rhs,
                        .lower = lower,
                        .diag = diag,
                        .upper = upper,
                        .residualNorm = residualNorm});
}
