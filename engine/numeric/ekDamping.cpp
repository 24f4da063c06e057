#include "ekDamping.h"

#include <cmath>

namespace {

double shorten(double dx, double d) { return dx / (1.0 + std::fabs(dx * d)); }

// The inverse of shorten: |dx| = |s| / (1 - |s d|).
double lengthen(double s, double d)
{
    const double rest = 1.0 - std::fabs(s * d);
    if (!(rest > 0.0)) {
        return std::copysign(INFINITY, s);
    }
    return s / rest;
}

// A quasi-Fermi step follows the potential step and only its departure from
// it is shortened: the carrier density exp(V - Fn) moves with that departure.
double shortenAround(double dF, double dV, double d) { return dV + shorten(dF - dV, d); }

// The departure of a quasi-Fermi step from the potential step, given back
// its undamped length.
double lengthenAround(double dF, double dV, double d) { return dV + lengthen(dF - dV, d); }

// Below EK_DAMP_MIN, and for a factor that is not a number, no damping.
bool dampingOff(double damp) { return !(damp >= EK_DAMP_MIN) || !std::isfinite(damp); }

}  // namespace

void ek_dampNewtonNode(double* dV, double* dFn, double* dFp, double damp, int mode)
{
    if (dampingOff(damp)) {
        return;
    }
    if (mode & EK_DAMP_POTENTIAL) {
        *dV = shorten(*dV, damp);
        *dFn = shortenAround(*dFn, *dV, damp);
        *dFp = shortenAround(*dFp, *dV, damp);
    } else if (mode & EK_DAMP_FERMI_RELATIVE) {
        *dFn = shortenAround(*dFn, *dV, damp);
        *dFp = shortenAround(*dFp, *dV, damp);
    } else if (mode & EK_DAMP_QUASI_FERMI) {
        *dFn = shorten(*dFn, damp);
        *dFp = shorten(*dFp, damp);
    }
}

double ek_dampTriDiag(double dx, double damp, int mode)
{
    if (dampingOff(damp) || !(mode & EK_DAMP_POTENTIAL)) {
        return dx;
    }
    return shorten(dx, damp);
}

void ek_undampNewtonNode(double* dV, double* dFn, double* dFp, double damp, int mode)
{
    if (dampingOff(damp)) {
        return;
    }
    if (mode & EK_DAMP_POTENTIAL) {
        // Fn and Fp were shortened around the damped potential step.
        *dFn = lengthenAround(*dFn, *dV, damp);
        *dFp = lengthenAround(*dFp, *dV, damp);
        *dV = lengthen(*dV, damp);
    } else if (mode & EK_DAMP_FERMI_RELATIVE) {
        *dFn = lengthenAround(*dFn, *dV, damp);
        *dFp = lengthenAround(*dFp, *dV, damp);
    } else if (mode & EK_DAMP_QUASI_FERMI) {
        *dFn = lengthen(*dFn, damp);
        *dFp = lengthen(*dFp, damp);
    }
}

double ek_undampTriDiag(double dx, double damp, int mode)
{
    if (dampingOff(damp) || !(mode & EK_DAMP_POTENTIAL)) {
        return dx;
    }
    return lengthen(dx, damp);
}
