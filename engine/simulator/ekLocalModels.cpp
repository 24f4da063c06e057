// Point-wise physical models (see ekLocalModels.h).
#include "ekLocalModels.h"

#include <cmath>

void ek_srhAdd(ekPointValue& sum, double n, double p, const ekSrhCentre& c)
{
    ek_srhAdd(sum, n, p, c, ek_centreDen(n, p, c));
}

ekPointValue ek_srhRate(const ekPointValue& sum, double n, double p, double ni)
{
    const double np = n * p;
    const double D = np - ni * ni;
    ekPointValue r;
    r.value = D * sum.value;
    // d(np)/dV = 0, d(np)/dFn = -np, d(np)/dFp = np
    r.dV = D * sum.dV;
    r.dFn = D * sum.dFn - np * sum.value;
    r.dFp = D * sum.dFp + np * sum.value;
    return r;
}

ekPointValue ek_radiativeRate(double n, double p, double ni, double beta)
{
    const double np = n * p;
    ekPointValue r;
    r.value = beta * (np - ni * ni);
    r.dV = 0.0;
    r.dFn = -beta * np;
    r.dFp = beta * np;
    return r;
}

ekPointValue ek_augerRate(double n, double p, double ni, double cn, double cp)
{
    const double np = n * p;
    const double D = np - ni * ni;
    const double c = cn * n + cp * p;
    ekPointValue r;
    r.value = c * D;
    r.dV = (cn * n - cp * p) * D;
    r.dFn = -cn * n * D - c * np;
    r.dFp = cp * p * D + c * np;
    return r;
}

namespace {

// Occupation fraction num/den and its partial derivatives by n and p,
// turned into derivatives by V, Fn, Fp and scaled by N.
ekPointValue levelCharge(double N, double n, double p, double num, const ekCentreDen& d,
                         double dNumDn, double dNumDp, const ekSrhCentre& c)
{
    ekPointValue q;
    if (!(d.inv > 0.0) || N <= 0.0) {
        return q;
    }
    const double f = num * d.inv;
    const double dfdn = dNumDn * d.inv - num * c.taup * d.inv2;
    const double dfdp = dNumDp * d.inv - num * c.taun * d.inv2;
    q.value = N * f;
    q.dV = N * (dfdn * n - dfdp * p);
    q.dFn = -N * dfdn * n;
    q.dFp = N * dfdp * p;
    return q;
}

}  // namespace

ekPointValue ek_acceptorCharge(double N, double n, double p, const ekSrhCentre& c,
                               const ekCentreDen& d)
{
    return levelCharge(N, n, p, c.taun * c.p1 + c.taup * n, d, c.taup, 0.0, c);
}

ekPointValue ek_donorCharge(double N, double n, double p, const ekSrhCentre& c,
                            const ekCentreDen& d)
{
    return levelCharge(N, n, p, c.taup * c.n1 + c.taun * p, d, 0.0, c.taun, c);
}

ekPointValue ek_acceptorCharge(double N, double n, double p, const ekSrhCentre& c)
{
    return ek_acceptorCharge(N, n, p, c, ek_centreDen(n, p, c));
}

ekPointValue ek_donorCharge(double N, double n, double p, const ekSrhCentre& c)
{
    return ek_donorCharge(N, n, p, c, ek_centreDen(n, p, c));
}

double ek_acceptorEquilibrium(double N, double g, double p, double* dQdV)
{
    const double inv = 1.0 / (1.0 + p * g);
    const double q = N * inv;
    if (dQdV != nullptr) {
        *dQdV = q * inv * g * p;  // N g p / d^2
    }
    return q;
}

double ek_donorEquilibrium(double N, double g, double n, double* dQdV)
{
    const double inv = 1.0 / (1.0 + n * g);
    const double q = N * inv;
    if (dQdV != nullptr) {
        *dQdV = q * inv * g * n;
    }
    return q;
}

double ek_urbachSliceEnergy(double tailEnergy, int k)
{
    return 0.1 * tailEnergy * std::pow(1.5, k);
}

double ek_urbachSliceDensity(double edgeDensity, double tailEnergy, double sliceEnergy)
{
    if (!(tailEnergy > 0.0)) {
        return 0.0;
    }
    const double r = 1.224744871392;  // sqrt(1.5): the slice spans e/r .. e r
    return edgeDensity * std::exp(-sliceEnergy / tailEnergy) * sliceEnergy * (r - 1.0 / r);
}

double ek_bandgapExtinction(double E, double Eg, double k0, bool direct, double EU, double edge,
                            double kEdge)
{
    if (!(E > 0.0) || !(Eg > 0.0)) {
        return 0.0;
    }
    // The same factor on both sides of the edge: a factor of two between
    // the tail and the band absorption would make the absorption jump there.
    const double f = 2.0 * Eg / E;
    if (EU > 0.001 && E < edge) {
        return kEdge * std::exp((E - Eg) / EU) * f;
    }
    if (E <= Eg) {
        return 0.0;
    }
    const double x = (E - Eg) / Eg;
    const double k = direct ? k0 * std::sqrt(x) : k0 * x * x;
    return k * f;
}

double ek_absorptionEdge(double Eg, double EU, bool direct)
{
    return direct ? Eg + EU / 2.0 : Eg + 2.0 * EU;
}

double ek_absorptionKEdge(double Eg, double EU, double k0, bool direct)
{
    if (!(Eg > 0.0)) {
        return 0.0;
    }
    if (direct) {
        return std::sqrt((EU / 2.0) / Eg) * k0 * 0.60653066;  // e^-0.5
    }
    const double x = 2.0 * EU / Eg;
    return x * x * k0 * 0.135335283;  // e^-2
}

double ek_absorptionCoefficient(double k, double wavelength, double lengthScale)
{
    if (!(wavelength > 0.0)) {
        return 0.0;
    }
    return 12.566370614359172 * k / (wavelength / lengthScale);
}

ekBernoulliPair ek_bernoulliPair(double x)
{
    ekBernoulliPair pair;
    const double ax = std::fabs(x);
    if (ax <= 0.2) {
        // The series at x itself; B(-x) follows from B(-x) = B(x) + x.
        const double x2 = x * x;
        const double x4 = x2 * x2;
        // Terms up to x^8: the first left out is below 3e-15 at |x| = 0.2.
        pair.plus =
            1.0 - 0.5 * x + x2 / 12.0 - x4 / 720.0 + x4 * x2 / 30240.0 - x4 * x4 / 1209600.0;
        pair.dPlus = -0.5 + x / 6.0 - x * x2 / 180.0 + x4 * x / 5040.0 - x4 * x2 * x / 151200.0;
        pair.minus = pair.plus + x;
        pair.dMinus = -(pair.dPlus + 1.0);
        return pair;
    }
    // On the positive side, with e = exp(-|x|) and 1 - e at least 0.18,
    // B = |x| e / (1 - e) and B' = e (1 - e - |x|) / (1 - e)^2 carry no
    // cancellation; the negative side is B(|x|) + |x|. One exponential
    // serves both values and both derivatives.
    const double e = std::exp(-ax);
    const double em = 1.0 - e;
    const double inv = 1.0 / em;
    const double r = e * inv;
    const double small = ax * r;
    const double dSmall = r * (em - ax) * inv;
    const double large = small + ax;
    const double dLarge = -(dSmall + 1.0);
    if (x > 0.0) {
        pair = {small, dSmall, large, dLarge};
    } else {
        pair = {large, dLarge, small, dSmall};
    }
    return pair;
}

double ek_bernoulli(double x, double* derivative)
{
    const ekBernoulliPair pair = ek_bernoulliPair(x);
    if (derivative != nullptr) {
        *derivative = pair.dPlus;
    }
    return pair.plus;
}

double ek_tunnelExponent(double lengthScale, double h, double me, double T, double phi)
{
    if (!(me > 0.0) || !(T > 0.0) || !(phi > 0.0)) {
        return 0.0;
    }
    return 63.4109077 * lengthScale * h * std::sqrt(me * T * phi * phi * phi);
}

double ek_tunnelTerm(double Vc, double Vn, double n, double nEq, double K, double S, double* dVc,
                     double* dVn, double* dFn)
{
    // The term is driven by the excess density n - nEq, as the thermionic
    // flux S (n - nEq) beside it: at equilibrium n = nEq and no current
    // tunnels whatever the band bending (detailed balance). The barrier
    // field only scales the surface velocity by the transmission E. With
    // the neighbour potential higher the electrons at the contact face a
    // barrier they can tunnel through, and the term takes the sign of the
    // thermionic flux: a caller adding it to that flux gets S (1 + E).
    double t = 0.0;
    double density = 0.0;  // dt/d(ln n): the share that acts through n
    double field = 0.0;    // dt/da at fixed n
    double sign = 0.0;     // +1 when the neighbour potential is higher
    const double a = std::fabs(Vn - Vc);
    if (a > 0.0) {
        const double E = std::exp(-K / a);
        if (E > 0.0) {
            sign = Vn > Vc ? 1.0 : -1.0;
            t = sign * E * S * (n - nEq);
            density = sign * E * S * n;
            field = K / (a * a) * t;  // dE/da = E K / a^2
        }
    }
    // a = sign (Vn - Vc): da/dVn = sign, da/dVc = -sign; n grows with the
    // contact node's V (dn/dV = n) and falls with its Fn (dn/dFn = -n).
    if (dVc != nullptr) {
        *dVc = density - sign * field;
    }
    if (dVn != nullptr) {
        *dVn = sign * field;
    }
    if (dFn != nullptr) {
        *dFn = -density;
    }
    return t;
}
