// Contact boundary values shared by the Gummel and Newton assemblies, so
// that both methods reach the same solution on the same device.
#include "ekContact.h"
#include "ekLimits.h"
#include "ekSimulator.h"

double ekSimulator::schottkyBoundaryPotential(int side) const
{
    // The metal's Fermi level lies phi below the conduction band at the
    // contact, whatever the doping of the node: n = NC exp(-phi) there, i.e.
    // V - Fn = ref - phi with ref the potential at which n equals NC. Only
    // the anode carries the applied voltage. (Counting the barrier from the
    // valence band on acceptor nodes, phi - Eg, would put the Fermi level of
    // a p-type Schottky contact a whole bandgap away from the metal's.)
    const ekContactState& contact = side == 0 ? mesh.anodeState : mesh.cathodeState;
    return side == 0 ? Va - contact.phi + contact.ref : contact.ref - contact.phi;
}

bool ekSimulator::updateContactOhmic(int side)
{
    ekContactState& contact = side == 0 ? mesh.anodeState : mesh.cathodeState;
    if (contact.ohmic || mesh.mat.dopantKind == nullptr || mesh.mat.Eg == nullptr || Points < 1) {
        return contact.ohmic;
    }
    const int i = side == 0 ? 0 : Points - 1;
    // Barriers are normalised by Vt like the threshold is read here.
    const double threshold = ekContact::BARRIER_THRESHOLD;
    const uint8_t kind = mesh.mat.dopantKind[i];
    if (kind == ekLimits::KIND_DONOR && contact.phi < threshold) {
        contact.ohmic = true;  // no barrier for the electrons of an n-type node
    } else if (kind == ekLimits::KIND_ACCEPTOR && contact.phi - mesh.mat.Eg[i] > -threshold) {
        contact.ohmic = true;  // no barrier for the holes of a p-type node
    }
    return contact.ohmic;
}

void ekSimulator::decideContactsOhmic()
{
    updateContactOhmic(0);
    updateContactOhmic(1);
}
