// Assembly of the coupled Newton system: Poisson's equation and the two
// continuity equations at every point, unknowns V, Fn, Fp interleaved per
// point (row and column 3k + j). Every derivative is exact and every entry
// is kept, contact rows included, so the iteration converges quadratically
// whatever the contacts are.
//
// One pass over the mesh: each point's densities, its levels' charge and
// recombination are evaluated once, each edge's fluxes (their Bernoulli
// pair) once for both of its points, and the three rows of a point are
// written into the band whole, so the band needs no clearing first.
#include <cmath>
#include <cstddef>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ekBandMatrix.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekNewtonEdges.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"

namespace {

// A residual sum that is exactly zero is reported as the machine epsilon.
using ekLimits::NORM_FLOOR;

inline double xV(const double* x, int k) { return x[3 * k]; }
inline double xFn(const double* x, int k) { return x[3 * k + 1]; }
inline double xFp(const double* x, int k) { return x[3 * k + 2]; }

// One point's unknowns and carrier densities.
struct Point {
    double V = 0.0;
    double Fn = 0.0;
    double Fp = 0.0;
    double n = 0.0;
    double p = 0.0;
};

Point pointAt(const ekMeshFields& f, const double* x, int k)
{
    Point a;
    a.V = xV(x, k);
    a.Fn = xFn(x, k);
    a.Fp = xFp(x, k);
    a.n = ek_electronDensity(f, a.V, a.Fn, k);
    a.p = ek_holeDensity(f, a.V, a.Fp, k);
    return a;
}

// The electron [0] and hole [1] fluxes of the edge k..k+1, and the
// permittivity of the edge over its step.
struct Edge {
    ekEdgeFlux flux[2];
    double epsOverH = 0.0;
};

Edge edgeAt(const ekMeshFields& f, int k, const Point& l, const Point& r)
{
    Edge e;
    ek_edgeFluxPair(f, k, l.V, l.n, l.p, r.V, r.n, r.p, &e.flux[0], &e.flux[1]);
    e.epsOverH = f.edgeEps()[k];
    return e;
}

// The three rows of point k over the columns of points k-1, k, k+1
// (3k-3 .. 3k+5), at a[j][PAD + 3 (point - k + 1) + unknown], with zeros
// on either side so that each row's whole band (five columns either side
// of its diagonal) can be read off without a test.
struct PointRows {
    static constexpr int PAD = 2;
    double a[3][PAD + 9 + PAD] = {};
    double& at(int row, int point, int unknown) { return a[row][PAD + 3 * (point + 1) + unknown]; }
};

// Writes the rows of point k into the band whole: every entry of the band
// in those rows, the ones the point does not touch as zeros.
void storeRows(ekBandMatrix* J, int k, const PointRows& rows)
{
    const int n = J->size();
    const int kl = EK_NEWTON_KL;
    const int ku = EK_NEWTON_KU;
    const int ldab = J->ldab();
    const int kv = J->lower() + J->upper();
    double* band = J->data();
    for (int j = 0; j < 3; ++j) {
        const int r = 3 * k + j;
        // Column c of row r sits at kv + r - c + c ldab; row j of the block
        // holds column c at PAD + c - 3k + 3 = PAD + j + 3 + (c - r).
        const double* row = &rows.a[j][PointRows::PAD + j + 3];
        double* entry = band + kv + r + static_cast<ptrdiff_t>(r) * (ldab - 1);
        if (r - kl >= 0 && r + ku <= n - 1) {
            for (int d = -kl; d <= ku; ++d) {
                entry[static_cast<ptrdiff_t>(d) * (ldab - 1)] = row[d];
            }
        } else {
            for (int d = -kl; d <= ku; ++d) {
                if (r + d >= 0 && r + d <= n - 1) {
                    entry[static_cast<ptrdiff_t>(d) * (ldab - 1)] = row[d];
                }
            }
        }
    }
}

// What the rows of one assembly read, gathered once per assembly: the
// occupation of the levels cannot change while the system is assembled.
struct NewtonView {
    const ekSimulator& sim;
    const ekMeshFields& mesh;
    const ekNormalisation& norm;
    const ElecDevice& device;
    double Va;
    int Points;
    ekOccupation mode;
};

// The rows of inner point k between its left and right edges.
void innerRows(const NewtonView& a, int k, const double* x, const Point& here, const Edge& left,
               const Edge& right, PointRows& rows, double* F)
{
    const ekMeshFields& f = a.mesh;
    const int r = 3 * k;
    const double invM = 1.0 / f.controlWidth(k);
    const double lambda = a.norm.unit;
    const double s = a.norm.rate;

    // Poisson. Charge in units of -q N0: electrons and ionised acceptors
    // count positive.
    ekTrappedCharge tc;
    const ekPointValue srh = ek_levelsAndSrh(f, k, here.n, here.p, a.mode, &tc);
    ekPointValue rate = ek_netRate(f, k, here.n, here.p, srh);
    const double rho = (tc.Na - tc.Nd) + (here.n - here.p) + (tc.Qa - tc.Qd) - tc.Qpol;
    const double gL = left.epsOverH * invM;
    const double gR = right.epsOverH * invM;
    F[r] = gL * (xV(x, k - 1) - here.V) + gR * (xV(x, k + 1) - here.V) - rho / lambda;
    rows.at(0, -1, 0) = gL;
    rows.at(0, 0, 0) = -(gL + gR) - (here.n + here.p + tc.dV) / lambda;
    rows.at(0, 0, 1) = -(tc.dFn - here.n) / lambda;
    rows.at(0, 0, 2) = -(tc.dFp - here.p) / lambda;
    rows.at(0, 1, 0) = gR;

    // Net recombination; a point of an interface pair takes the mean of its
    // two neighbours, whose unknowns then carry the derivatives.
    ekPointValue dL, dR;
    const bool paired = a.sim.isPairedIndex(k);
    if (paired) {
        rate = ek_netRecombination(a.sim, k, x, x + 1, x + 2, 3, &dL, &dR);
    }
    auto subtract = [&](int point, const ekPointValue& d) {
        for (int row : {1, 2}) {
            rows.at(row, point, 0) -= d.dV / s;
            rows.at(row, point, 1) -= d.dFn / s;
            rows.at(row, point, 2) -= d.dFp / s;
        }
    };
    if (paired) {
        subtract(-1, dL);
        subtract(1, dR);
    } else {
        subtract(0, rate);
    }

    // Electrons: (Jn(k,k+1) - Jn(k-1,k)) / hM + (G - R) / s in the row and
    // column of Fn; holes the same with Pp in those of Fp.
    const double GR = (f.mat.Gop[k] - rate.value) / s;
    for (int carrier = 0; carrier < 2; ++carrier) {
        const int row = 1 + carrier;
        const int u = 1 + carrier;  // the carrier's quasi-Fermi potential in a point's unknowns
        const ekEdgeFlux& l = left.flux[carrier];
        const ekEdgeFlux& rt = right.flux[carrier];
        F[r + row] = (rt.J - l.J) * invM + GR;
        rows.at(row, -1, 0) += -l.dVl * invM;
        rows.at(row, -1, u) += -l.dFl * invM;
        rows.at(row, 0, 0) += (rt.dVl - l.dVr) * invM;
        rows.at(row, 0, u) += (rt.dFl - l.dFr) * invM;
        rows.at(row, 1, 0) += rt.dVr * invM;
        rows.at(row, 1, u) += rt.dFr * invM;
    }
}

// The three rows of a contact point (side 0 anode, else cathode); edge is
// the edge between the contact point and its neighbour.
void contactRows(const NewtonView& a, int side, const double* x, const Point& here,
                 const Edge& edge, PointRows& rows, double* F)
{
    const bool anode = side == 0;
    const int k = anode ? 0 : a.Points - 1;
    const int kn = anode ? 1 : a.Points - 2;  // the neighbour point
    const int nb = kn - k;                    // its place in the rows (+1 or -1)
    const int r = 3 * k;
    const ekContactState& state = anode ? a.mesh.anodeState : a.mesh.cathodeState;
    const ekContact* contact = anode ? a.device.getAnode() : a.device.getCathode();
    const bool ohmic = state.ohmic;
    const double bias = anode ? a.Va : 0.0;
    const double V = here.V;

    // Poisson row.
    rows.at(0, 0, 0) = 1.0;
    if (!ohmic) {
        F[r] = V - a.sim.schottkyBoundaryPotential(side);
    } else if (contact != nullptr && contact->getBoundary() == ekContact::BOUNDARY_NEUMANN) {
        F[r] = V - xV(x, kn);
        rows.at(0, nb, 0) = -1.0;
    } else {
        F[r] = V - (state.Veq + bias);
    }

    if (ohmic) {
        F[r + 1] = here.Fn - bias;
        rows.at(1, 0, 1) = 1.0;
        F[r + 2] = here.Fp - bias;
        rows.at(2, 0, 2) = 1.0;
        return;
    }

    // Schottky contact: the carrier flux into the metal balances the
    // surface recombination current. The edge is (k, kn) at the anode and
    // (kn, k) at the cathode, where the outward direction is reversed.
    const double n = here.n;
    const double p = here.p;
    const ekEdgeFlux& e = edge.flux[0];
    const ekEdgeFlux& h = edge.flux[1];
    // Derivatives of an edge flux by the contact point's and the neighbour's unknowns.
    const double eVk = anode ? e.dVl : e.dVr, eVn = anode ? e.dVr : e.dVl;
    const double eFk = anode ? e.dFl : e.dFr, eFn = anode ? e.dFr : e.dFl;
    const double hVk = anode ? h.dVl : h.dVr, hVn = anode ? h.dVr : h.dVl;
    const double hFk = anode ? h.dFl : h.dFr, hFn = anode ? h.dFr : h.dFl;

    // The contact point owns half a mesh step: what is generated and
    // recombines there (G - R times that width) joins the balance of the
    // flux from the neighbour and the surface flux, as an inner point's
    // does over its control box. Without it the carriers made in that half
    // step are lost, a loss of the order of the first step.
    ekTrappedCharge tc;
    const ekPointValue rate =
        ek_netRate(a.mesh, k, n, p, ek_levelsAndSrh(a.mesh, k, n, p, a.mode, &tc));
    const double width = a.mesh.controlWidth(k) / a.norm.rate;
    const double GR = width * (a.mesh.mat.Gop[k] - rate.value);
    // A row that takes sign times GR gets its derivative by the contact
    // point's unknowns: sign times the width times minus the rate's.
    auto subtractRate = [&](int row, double sign) {
        rows.at(row, 0, 0) -= sign * width * rate.dV;
        rows.at(row, 0, 1) -= sign * width * rate.dFn;
        rows.at(row, 0, 2) -= sign * width * rate.dFp;
    };

    // Electrons: anode Jn - Sn (n - nEq) + GR, cathode Jn + Sn (n - nEq) - GR.
    const double se = anode ? -1.0 : 1.0;
    F[r + 1] = e.J + se * state.Sn * (n - a.mesh.sol.nEq[k]) - se * GR;
    rows.at(1, 0, 0) += eVk + se * state.Sn * n;
    rows.at(1, 0, 1) += eFk - se * state.Sn * n;
    subtractRate(1, -se);
    rows.at(1, nb, 0) += eVn;
    rows.at(1, nb, 1) += eFn;
    const ekLayer* layer = anode ? a.device.getFirstLayer() : a.device.getLastLayer();
    if (state.tunnel && layer != nullptr) {
        // Field emission through the barrier is a path in parallel with
        // thermionic emission, driven by the same excess n - nEq: its term
        // adds to the surface flux Sn (n - nEq), with the contact node
        // first at either side, so that the anode and the cathode are
        // mirror images of each other (as in the Gummel assembly).
        double dVk = 0.0, dVkn = 0.0, dF = 0.0;
        const double hStep = std::fabs(a.mesh.sol.z[kn] - a.mesh.sol.z[k]);
        const double t = a.sim.tunnelCurrent(V, xV(x, kn), n, layer->getMe(), state.phi, hStep,
                                             a.device.getT(), side, &dVk, &dVkn, &dF);
        F[r + 1] += se * t;
        rows.at(1, 0, 0) += se * dVk;
        rows.at(1, nb, 0) += se * dVkn;
        rows.at(1, 0, 1) += se * dF;
    }

    // Holes: anode Sp (p - pEq) - Pp - GR, cathode -Pp - Sp (p - pEq) + GR.
    const double sh = -se;
    F[r + 2] = -h.J + sh * state.Sp * (p - a.mesh.sol.pEq[k]) - sh * GR;
    rows.at(2, 0, 0) += -hVk - sh * state.Sp * p;
    rows.at(2, 0, 2) += -hFk + sh * state.Sp * p;
    subtractRate(2, -sh);
    rows.at(2, nb, 0) += -hVn;
    rows.at(2, nb, 2) += -hFn;
}

}  // namespace

void ekSimulator::transportNewton(double* x, double* residual, double* rhs, double* /*lower*/,
                                  double* /*diag*/, double* /*upper*/, ekBandMatrix* jacobian,
                                  double* /*other1*/, double* /*other2*/, int n,
                                  double* residualNorm)
{
    if (x == nullptr || residual == nullptr || rhs == nullptr || jacobian == nullptr ||
        device == nullptr || Points < 3 || n != 3 * Points || jacobian->size() != n ||
        jacobian->lower() != EK_NEWTON_KL || jacobian->upper() != EK_NEWTON_KU ||
        mesh.sol.z == nullptr) {
        return;
    }
    const NewtonView view{*this, mesh, norm, *device, Va, Points, occupation()};
    // Each edge serves the rows of both its points: the right edge of one
    // point is carried over as the left edge of the next, as is the point
    // ahead, so every density and every edge is evaluated once.
    Point here = pointAt(mesh, x, 0);
    Point ahead = pointAt(mesh, x, 1);
    Edge left = edgeAt(mesh, 0, here, ahead);
    {
        PointRows rows;
        contactRows(view, 0, x, here, left, rows, residual);
        storeRows(jacobian, 0, rows);
    }
    for (int k = 1; k < Points - 1; ++k) {
        here = ahead;
        ahead = pointAt(mesh, x, k + 1);
        const Edge right = edgeAt(mesh, k, here, ahead);
        PointRows rows;
        innerRows(view, k, x, here, left, right, rows, residual);
        storeRows(jacobian, k, rows);
        left = right;
    }
    {
        PointRows rows;
        contactRows(view, 1, x, ahead, left, rows, residual);
        storeRows(jacobian, Points - 1, rows);
    }

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
