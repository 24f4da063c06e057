// Contact tunnelling term: the thermionic contact's added flux through its
// barrier.
#include <initializer_list>

#include "ekLocalModels.h"
#include "ekSimulator.h"

double ekSimulator::tunnelCurrent(double Vcontact, double Vneighbour, double n, double me,
                                  double phi, double h, double T, int side, double* dVcontact,
                                  double* dVneighbour, double* dFn) const
{
    const ekContactState& contact = (side == 0) ? mesh.anodeState : mesh.cathodeState;
    if (!contact.tunnel) {
        for (double* d : {dVcontact, dVneighbour, dFn}) {
            if (d != nullptr) {
                *d = 0.0;
            }
        }
        return 0.0;
    }
    // The density n is the contact node's: the term tunnels only its excess
    // over the equilibrium density of that node, so a device at rest carries
    // no current through a tunnelling contact (detailed balance).
    const int node = (side == 0) ? 0 : Points - 1;
    const double nEq = (mesh.sol.nEq != nullptr && node >= 0) ? mesh.sol.nEq[node] : 0.0;
    const double K = ek_tunnelExponent(norm.length, h, me, T, phi);
    return ek_tunnelTerm(Vcontact, Vneighbour, n, nEq, K, contact.Sn, dVcontact, dVneighbour, dFn);
}
