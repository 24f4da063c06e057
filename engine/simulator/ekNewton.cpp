// Assembly of the coupled Newton system: Poisson's equation and the two
// continuity equations at every point, unknowns V, Fn, Fp interleaved per
// point (row and column 3k + j). Every derivative is exact and every entry
// is kept, contact rows included, so the iteration converges quadratically
// whatever the contacts are.
#include <cmath>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ekBandMatrix.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekNewtonEdges.h"
#include "ekSimulator.h"

namespace {

// A residual sum that is exactly zero is reported as the machine epsilon.
using ekLimits::NORM_FLOOR;

inline double xV(const double* x, int k) { return x[3 * k]; }
inline double xFn(const double* x, int k) { return x[3 * k + 1]; }
inline double xFp(const double* x, int k) { return x[3 * k + 2]; }

// The carrier's flux on the edge k..k+1 of the unknowns x.
ekEdgeFlux edge(const ekSimulator& sim, ekCarrier carrier, const double* x, int k)
{
    if (carrier == ekCarrier::ELECTRON) {
        return ek_edgeFlux(sim, carrier, k, xV(x, k), xFn(x, k), xV(x, k + 1), xFn(x, k + 1));
    }
    return ek_edgeFlux(sim, carrier, k, xV(x, k), xFp(x, k), xV(x, k + 1), xFp(x, k + 1));
}

}  // namespace

void ekSimulator::transportNewton(double* x, double* residual, double* rhs, double* /*lower*/,
                                  double* /*diag*/, double* /*upper*/, ekBandMatrix* jacobian,
                                  double* /*other1*/, double* /*other2*/, int n,
                                  double* residualNorm)
{
    if (x == nullptr || residual == nullptr || rhs == nullptr || jacobian == nullptr ||
        device == nullptr || Points < 3 || n != 3 * Points || jacobian->size() != n ||
        mesh.sol.z == nullptr) {
        return;
    }
    for (int r = 0; r < n; ++r) {
        residual[r] = 0.0;
    }
    newtonContactRows(0, x, jacobian, residual);
    // Each edge's fluxes serve the rows of both its points: the right edge
    // of one point is carried over as the left edge of the next, so every
    // edge (its exponentials and Bernoulli functions) is evaluated once.
    ekEdgeFlux left[2] = {edge(*this, ekCarrier::ELECTRON, x, 0),
                          edge(*this, ekCarrier::HOLE, x, 0)};
    for (int k = 1; k < Points - 1; ++k) {
        const ekEdgeFlux right[2] = {edge(*this, ekCarrier::ELECTRON, x, k),
                                     edge(*this, ekCarrier::HOLE, x, k)};
        newtonPoissonRow(k, x, jacobian, residual);
        newtonContinuityRows(k, x, jacobian, residual, left, right);
        left[0] = right[0];
        left[1] = right[1];
    }
    newtonContactRows(1, x, jacobian, residual);

    double norm = 0.0;
    for (int r = 0; r < n; ++r) {
        rhs[r] = -residual[r];
        norm += residual[r] * residual[r];
        if (ek_isZero(norm)) {
            norm = NORM_FLOOR;
        }
    }
    if (residualNorm != nullptr) {
        *residualNorm = norm;
    }
}

void ekSimulator::newtonPoissonRow(int k, const double* x, ekBandMatrix* J, double* F)
{
    const int r = 3 * k;
    const double V = xV(x, k);
    const double n = electronDensity(V, xFn(x, k), k);
    const double p = holeDensity(V, xFp(x, k), k);
    ekTrappedCharge tc;
    trappedCharge(n, p, k, &tc);

    const double hL = mesh.sol.z[k] - mesh.sol.z[k - 1];
    const double hR = mesh.sol.z[k + 1] - mesh.sol.z[k];
    const double hM = mesh.controlWidth(k);
    const double epsL =
        interpolateParameter(mesh.mat.Eps[k - 1], mesh.mat.Eps[k], ekLimits::MEAN_HARMONIC);
    const double epsR =
        interpolateParameter(mesh.mat.Eps[k], mesh.mat.Eps[k + 1], ekLimits::MEAN_HARMONIC);
    const double lambda = norm.unit;
    // Charge in units of -q N0: electrons and ionised acceptors count positive.
    const double rho = (tc.Na - tc.Nd) + (n - p) + (tc.Qa - tc.Qd) - tc.Qpol;

    F[r] = (epsL * (xV(x, k - 1) - V) / hL + epsR * (xV(x, k + 1) - V) / hR) / hM - rho / lambda;
    J->at(r, r - 3) += epsL / hL / hM;
    J->at(r, r) += -(epsL / hL + epsR / hR) / hM - (n + p + tc.dV) / lambda;
    J->at(r, r + 1) += -(tc.dFn - n) / lambda;
    J->at(r, r + 2) += -(tc.dFp - p) / lambda;
    J->at(r, r + 3) += epsR / hR / hM;
}

void ekSimulator::newtonContinuityRows(int k, const double* x, ekBandMatrix* J, double* F,
                                       const ekEdgeFlux left[2], const ekEdgeFlux right[2])
{
    const int re = 3 * k + 1;
    const int rh = 3 * k + 2;
    const double hM = mesh.controlWidth(k);
    const double s = norm.rate;

    // Net recombination; a point of an interface pair takes the mean of its
    // two neighbours, whose unknowns then carry the derivatives.
    const double G = mesh.mat.Gop[k];
    ekPointValue dL, dR;
    const ekPointValue rate = ek_netRecombination(*this, k, x, x + 1, x + 2, 3, &dL, &dR);
    const double R = rate.value;
    auto subtract = [&](int j, const ekPointValue& d) {
        for (int row : {re, rh}) {
            J->at(row, 3 * j) -= d.dV / s;
            J->at(row, 3 * j + 1) -= d.dFn / s;
            J->at(row, 3 * j + 2) -= d.dFp / s;
        }
    };
    if (isPairedIndex(k)) {
        subtract(k - 1, dL);
        subtract(k + 1, dR);
    } else {
        subtract(k, rate);
    }

    // Electrons: (Jn(k,k+1) - Jn(k-1,k)) / hM + (G - R) / s in the row and
    // column of Fn; holes the same with Pp in those of Fp.
    for (int carrier = 0; carrier < 2; ++carrier) {
        const int row = carrier == 0 ? re : rh;
        const int f = 1 + carrier;  // the carrier's quasi-Fermi potential in a point's unknowns
        const ekEdgeFlux& l = left[carrier];
        const ekEdgeFlux& r = right[carrier];
        F[row] = (r.J - l.J) / hM + (G - R) / s;
        J->at(row, 3 * (k - 1)) += -l.dVl / hM;
        J->at(row, 3 * (k - 1) + f) += -l.dFl / hM;
        J->at(row, 3 * k) += (r.dVl - l.dVr) / hM;
        J->at(row, 3 * k + f) += (r.dFl - l.dFr) / hM;
        J->at(row, 3 * (k + 1)) += r.dVr / hM;
        J->at(row, 3 * (k + 1) + f) += r.dFr / hM;
    }
}

void ekSimulator::newtonContactRows(int side, const double* x, ekBandMatrix* J, double* F)
{
    const bool anode = side == 0;
    const int k = anode ? 0 : Points - 1;
    const int kn = anode ? 1 : Points - 2;  // the neighbour point
    const int r = 3 * k;
    const int rn = 3 * kn;
    const ekContactState& state = anode ? mesh.anodeState : mesh.cathodeState;
    const ekContact* contact = anode ? device->getAnode() : device->getCathode();
    const bool ohmic = state.ohmic;
    const double bias = anode ? Va : 0.0;
    const double V = xV(x, k);

    // Poisson row.
    J->at(r, r) += 1.0;
    if (!ohmic) {
        F[r] = V - schottkyBoundaryPotential(side);
    } else if (contact != nullptr && contact->getBoundary() == ekContact::BOUNDARY_NEUMANN) {
        F[r] = V - xV(x, kn);
        J->at(r, rn) += -1.0;
    } else {
        F[r] = V - (state.Veq + bias);
    }

    if (ohmic) {
        F[r + 1] = xFn(x, k) - bias;
        J->at(r + 1, r + 1) += 1.0;
        F[r + 2] = xFp(x, k) - bias;
        J->at(r + 2, r + 2) += 1.0;
        return;
    }

    // Schottky contact: the carrier flux into the metal balances the
    // surface recombination current. The edge is (k, kn) at the anode and
    // (kn, k) at the cathode, where the outward direction is reversed.
    const int j = anode ? 0 : Points - 2;
    const double n = electronDensity(V, xFn(x, k), k);
    const double p = holeDensity(V, xFp(x, k), k);
    const ekEdgeFlux e = edge(*this, ekCarrier::ELECTRON, x, j);
    const ekEdgeFlux h = edge(*this, ekCarrier::HOLE, x, j);
    // Derivatives of an edge flux by the contact point's and the neighbour's unknowns.
    const double eVk = anode ? e.dVl : e.dVr, eVn = anode ? e.dVr : e.dVl;
    const double eFk = anode ? e.dFl : e.dFr, eFn = anode ? e.dFr : e.dFl;
    const double hVk = anode ? h.dVl : h.dVr, hVn = anode ? h.dVr : h.dVl;
    const double hFk = anode ? h.dFl : h.dFr, hFn = anode ? h.dFr : h.dFl;

    // Electrons: anode Jn - Sn (n - nEq), cathode Jn + Sn (n - nEq).
    const double se = anode ? -1.0 : 1.0;
    const int re = r + 1;
    F[re] = e.J + se * state.Sn * (n - mesh.sol.nEq[k]);
    J->at(re, r) += eVk + se * state.Sn * n;
    J->at(re, r + 1) += eFk - se * state.Sn * n;
    J->at(re, rn) += eVn;
    J->at(re, rn + 1) += eFn;
    const ekLayer* layer = anode ? device->getFirstLayer() : device->getLastLayer();
    if (state.tunnel && layer != nullptr) {
        // Field emission through the barrier is a path in parallel with
        // thermionic emission, driven by the same excess n - nEq: its term
        // adds to the surface flux Sn (n - nEq), with the contact node
        // first at either side, so that the anode and the cathode are
        // mirror images of each other (as in the Gummel assembly).
        double dVk = 0.0, dVkn = 0.0, dF = 0.0;
        const double hStep = std::fabs(mesh.sol.z[kn] - mesh.sol.z[k]);
        const double t = tunnelCurrent(V, xV(x, kn), n, layer->getMe(), state.phi, hStep,
                                       device->getT(), side, &dVk, &dVkn, &dF);
        F[re] += se * t;
        J->at(re, r) += se * dVk;
        J->at(re, rn) += se * dVkn;
        J->at(re, r + 1) += se * dF;
    }

    // Holes: anode Sp (p - pEq) - Pp, cathode -Pp - Sp (p - pEq).
    const double sh = -se;
    const int rh = r + 2;
    F[rh] = -h.J + sh * state.Sp * (p - mesh.sol.pEq[k]);
    J->at(rh, r) += -hVk - sh * state.Sp * p;
    J->at(rh, r + 2) += -hFk + sh * state.Sp * p;
    J->at(rh, rn) += -hVn;
    J->at(rh, rn + 2) += -hFn;
}
