// Poisson's equation in V with the quasi-Fermi potentials held fixed (the
// first equation of the Gummel scheme and the equilibrium solve).
#include <algorithm>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ekContact.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"

namespace {

// The assemblers' residual norm is never exactly 0.
using ekLimits::NORM_FLOOR;

}  // namespace

void ekSimulator::transportPoisson(double* V, double* residual, double* rhs, double* lower,
                                   double* diag, double* upper, ekBandMatrix* /*jacobian*/,
                                   double* Fn, double* Fp, int n, double* residualNorm)
{
    const int N = std::min(n, Points);
    if (N < 3 || V == nullptr || Fn == nullptr || Fp == nullptr || lower == nullptr ||
        diag == nullptr || upper == nullptr) {
        return;
    }
    const double inverseLambda = 1.0 / norm.unit;
    const ekOccupation mode = occupation();
    // Permittivity over the step of each edge.
    const double* epsOverStep = mesh.edgeEps();
    double sum = 0.0;
    for (int i = 1; i < N - 1; ++i) {
        const double gLeft = epsOverStep[i - 1];
        const double gRight = epsOverStep[i];
        const double invM = 1.0 / mesh.controlWidth(i);
        const double ni = ek_electronDensity(mesh, V[i], Fn[i], i);
        const double pi = ek_holeDensity(mesh, V[i], Fp[i], i);
        ekTrappedCharge q;
        ek_trappedCharge(mesh, i, ni, pi, mode, &q);
        const double rho = (q.Na - q.Nd) + (ni - pi) + (q.Qa - q.Qd) - q.Qpol;
        const double a = gLeft * invM;
        const double c = gRight * invM;
        const double F = a * (V[i - 1] - V[i]) + c * (V[i + 1] - V[i]) - rho * inverseLambda;
        residual[i] = F;
        rhs[i] = -F;
        lower[i] = a;
        upper[i] = c;
        diag[i] = -(a + c) - (ni + pi + q.dV) * inverseLambda;
        sum += F * F;
    }

    // Contacts: a Schottky contact pins the potential to the metal; an
    // ohmic one to its equilibrium value (Dirichlet) or to zero field.
    const ekContact* contacts[2] = {device ? device->getAnode() : nullptr,
                                    device ? device->getCathode() : nullptr};
    for (int side = 0; side < 2; ++side) {
        const int i = side == 0 ? 0 : N - 1;
        const int neighbour = side == 0 ? 1 : N - 2;
        const ekContactState& contact = side == 0 ? mesh.anodeState : mesh.cathodeState;
        const bool neumann = contacts[side] != nullptr &&
                             contacts[side]->getBoundary() == ekContact::BOUNDARY_NEUMANN;
        double F = 0.0;
        lower[i] = upper[i] = 0.0;
        diag[i] = 1.0;
        if (!contact.ohmic) {
            F = V[i] - schottkyBoundaryPotential(side);
        } else if (neumann) {
            F = V[i] - V[neighbour];
            (side == 0 ? upper : lower)[i] = -1.0;
        } else {
            F = V[i] - (contact.Veq + (side == 0 ? Va : 0.0));
        }
        residual[i] = F;
        rhs[i] = -F;
        sum += F * F;
    }
    if (residualNorm != nullptr) {
        *residualNorm = sum == 0.0 ? NORM_FLOOR : sum;
    }
}
