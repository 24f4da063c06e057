// The point-wise physical models: derivatives against central differences,
// detailed balance (no net recombination where np = ni^2), and the closed
// forms of the Bernoulli function, the absorption edge and the tunnelling
// term.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "ekLocalModels.h"
#include "ekSimulator.h"

namespace {

// A point state: densities n = c exp(V - Fn + tn), p = c exp(Fp - V + tp).
struct State {
    double V, Fn, Fp;
    double c, tn, tp;
    double n() const { return c * std::exp(V - Fn + tn); }
    double p() const { return c * std::exp(Fp - V + tp); }
};

// Equilibrium states have Fn = Fp = 0, so np = c^2 exp(tn + tp) = ni^2.
double niOf(const State& s) { return s.c * std::exp((s.tn + s.tp) / 2.0); }

const std::vector<State> STATES = {
    {0.0, 0.0, 0.0, 1e-4, 0.0, 0.0},     // intrinsic, equilibrium
    {12.0, 0.0, 0.0, 1e-4, 0.0, 0.0},    // n-type
    {-11.0, 0.0, 0.0, 1e-4, 0.3, -0.2},  // p-type, offsets
    {3.0, -8.0, 9.0, 1e-4, 0.0, 0.0},    // forward bias
    {5.0, 6.0, -4.0, 2e-3, -1.0, 0.5},   // reverse bias
    {20.0, 2.0, 1.0, 1e-5, 0.7, 0.1},    // strongly n-type under bias
};

// Value and derivatives of a model as functions of (V, Fn, Fp).
struct Derivs {
    double value, dV, dFn, dFp;
    double magnitude;  // size of the terms that cancel in value (rounding floor)
};
using Model = std::function<Derivs(const State&)>;

// Central difference refined by Richardson extrapolation (error h^4).
template <typename F>
double centralDerivative(F f, double h)
{
    const double d1 = (f(h) - f(-h)) / (2.0 * h);
    const double d2 = (f(h / 2) - f(-h / 2)) / h;
    return (4.0 * d2 - d1) / 3.0;
}

// Each derivative must match the differences to 1e-6 relative, above the
// rounding floor of the differences themselves (a few ulps of the value
// over the step).
void expectDerivatives(const Model& model, const char* name)
{
    const double h = 1e-3;
    for (size_t k = 0; k < STATES.size(); ++k) {
        const State s = STATES[k];
        const Derivs d = model(s);
        const double analytic[3] = {d.dV, d.dFn, d.dFp};
        const char* varNames[3] = {"V", "Fn", "Fp"};
        for (int v = 0; v < 3; ++v) {
            auto shifted = [&](double dx) {
                State t = s;
                double* vars[3] = {&t.V, &t.Fn, &t.Fp};
                *vars[v] += dx;
                return model(t).value;
            };
            const double numeric = centralDerivative(shifted, h);
            const double floor = 50.0 * 2.220446049250313e-16 *
                                 std::max({std::fabs(d.value), std::fabs(shifted(h)),
                                           std::fabs(shifted(-h)), d.magnitude}) /
                                 h;
            EXPECT_LE(std::fabs(analytic[v] - numeric),
                      1e-6 * std::max(std::fabs(analytic[v]), std::fabs(numeric)) + floor)
                << name << " d/d" << varNames[v] << " at state " << k << ": analytic "
                << analytic[v] << " numeric " << numeric;
        }
    }
}

Derivs fromRate(const ekPointValue& r, double magnitude)
{
    return {r.value, r.dV, r.dFn, r.dFp, magnitude};
}
Derivs fromCharge(const ekPointValue& q) { return {q.value, q.dV, q.dFn, q.dFp, q.value}; }

// Centres in equilibrium with the bands of a state: n1 p1 = ni^2.
std::vector<ekSrhCentre> centresFor(double ni)
{
    return {
        {1e-2, 3e-2, ni, ni},                // midgap
        {5e-3, 1e-3, ni * 1e3, ni / 1e3},    // upper half
        {2e-2, 2e-2, ni / 40.0, ni * 40.0},  // lower half
        {1e-1, 1e-4, ni * 1e6, ni / 1e6},    // shallow, unequal lifetimes
    };
}

ekPointValue srhOf(const State& s)
{
    ekPointValue sum;
    for (const ekSrhCentre& c : centresFor(niOf(s))) {
        ek_srhAdd(sum, s.n(), s.p(), c);
    }
    return ek_srhRate(sum, s.n(), s.p(), niOf(s));
}

TEST(ModelsDerivatives, RecombinationMatchesCentralDifferences)
{
    // The rounding floor of np - ni^2 is set by np itself.
    expectDerivatives(
        [](const State& s) {
            ekPointValue sum;
            for (const ekSrhCentre& c : centresFor(niOf(s))) {
                ek_srhAdd(sum, s.n(), s.p(), c);
            }
            return fromRate(srhOf(s), s.n() * s.p() * sum.value);
        },
        "SRH");
    expectDerivatives(
        [](const State& s) {
            return fromRate(ek_radiativeRate(s.n(), s.p(), niOf(s), 0.7), 0.7 * s.n() * s.p());
        },
        "radiative");
    expectDerivatives(
        [](const State& s) {
            return fromRate(ek_augerRate(s.n(), s.p(), niOf(s), 3e-3, 5e-4),
                            (3e-3 * s.n() + 5e-4 * s.p()) * s.n() * s.p());
        },
        "Auger");
}

TEST(ModelsDerivatives, LevelChargeMatchesCentralDifferences)
{
    for (const ekSrhCentre& c : centresFor(1e-4)) {
        expectDerivatives(
            [c](const State& s) { return fromCharge(ek_acceptorCharge(2.5, s.n(), s.p(), c)); },
            "acceptor");
        expectDerivatives(
            [c](const State& s) { return fromCharge(ek_donorCharge(0.8, s.n(), s.p(), c)); },
            "donor");
    }
}

TEST(ModelsDerivatives, EquilibriumOccupationMatchesCentralDifferences)
{
    // Along the equilibrium line (Fn = Fp = 0) the charge is a function of V.
    const double g = 3e3;
    for (double V : {-10.0, -1.0, 0.0, 2.0, 15.0}) {
        auto acceptor = [&](double dv) {
            return ek_acceptorEquilibrium(4.0, g, 1e-4 * std::exp(-(V + dv)), nullptr);
        };
        auto donor = [&](double dv) {
            return -ek_donorEquilibrium(4.0, g, 1e-4 * std::exp(V + dv), nullptr);
        };
        double dA = 0.0, dD = 0.0;
        ek_acceptorEquilibrium(4.0, g, 1e-4 * std::exp(-V), &dA);
        ek_donorEquilibrium(4.0, g, 1e-4 * std::exp(V), &dD);
        const double h = 1e-3;
        const double floor = 50.0 * 2.220446049250313e-16 * 4.0 / h;
        EXPECT_LE(std::fabs(dA - centralDerivative(acceptor, h)), 1e-6 * std::fabs(dA) + floor)
            << V;
        EXPECT_LE(std::fabs(dD - centralDerivative(donor, h)), 1e-6 * std::fabs(dD) + floor) << V;
    }
}

TEST(ModelsBalance, NoNetRecombinationWhereNpEqualsNiSquared)
{
    for (const State& s0 : STATES) {
        State s = s0;
        s.Fn = s.Fp = 0.0;  // equilibrium: np = ni^2
        const double ni = niOf(s);
        const double scale = s.n() * s.p();
        EXPECT_LE(std::fabs(srhOf(s).value), 1e-12 * scale / 1e-4);
        EXPECT_LE(std::fabs(ek_radiativeRate(s.n(), s.p(), ni, 0.7).value), 1e-12 * scale);
        EXPECT_LE(std::fabs(ek_augerRate(s.n(), s.p(), ni, 3e-3, 5e-4).value),
                  1e-12 * scale * (s.n() + s.p()));
    }
}

TEST(ModelsBalance, SteadyStateOccupationEqualsEquilibriumOccupationAtEquilibrium)
{
    for (const State& s0 : STATES) {
        State s = s0;
        s.Fn = s.Fp = 0.0;
        for (const ekSrhCentre& c : centresFor(niOf(s))) {
            const double na = ek_acceptorCharge(3.0, s.n(), s.p(), c).value;
            const double nd = ek_donorCharge(3.0, s.n(), s.p(), c).value;
            EXPECT_NEAR(na, ek_acceptorEquilibrium(3.0, 1.0 / c.p1, s.p(), nullptr), 1e-12 * 3.0);
            EXPECT_NEAR(nd, ek_donorEquilibrium(3.0, 1.0 / c.n1, s.n(), nullptr), 1e-12 * 3.0);
        }
    }
}

TEST(ModelsSrh, ClosedFormOfOneMidgapCentre)
{
    // R = (np - ni^2) / (taup (n + ni) + taun (p + ni)).
    const double n = 2.0, p = 5e-3, ni = 1e-4, taun = 0.3, taup = 0.7;
    ekPointValue sum;
    ek_srhAdd(sum, n, p, {taun, taup, ni, ni});
    const double expected = (n * p - ni * ni) / (taup * (n + ni) + taun * (p + ni));
    EXPECT_NEAR(ek_srhRate(sum, n, p, ni).value, expected, 1e-14 * expected);
    // A centre without lifetimes adds nothing instead of dividing by zero.
    ekPointValue none;
    ek_srhAdd(none, n, p, {0.0, 0.0, ni, ni});
    EXPECT_EQ(ek_srhRate(none, n, p, ni).value, 0.0);
}

TEST(ModelsBernoulli, EdgeValuesAndIdentity)
{
    double d = 0.0;
    EXPECT_DOUBLE_EQ(ek_bernoulli(0.0, &d), 1.0);
    EXPECT_DOUBLE_EQ(d, -0.5);
    // Far out B(x) is x e^-x to 1e-13 and B(-x) is x plus that tiny term,
    // which a flux n_l B(-x) - n_r B(x) with a huge n_r still needs.
    EXPECT_NEAR(ek_bernoulli(30.0, nullptr), 30.0 * std::exp(-30.0),
                1e-12 * 30.0 * std::exp(-30.0));
    EXPECT_NEAR(ek_bernoulli(-30.0, nullptr), 30.0 / -std::expm1(-30.0), 1e-15 * 30.0);
    EXPECT_GT(ek_bernoulli(-30.0, nullptr), 30.0);
    // Each range against the exact function, and B(-x) = B(x) + x.
    for (double x : {1e-8, 0.1, 0.2, 0.2000001, 1.0, 7.5, 24.999, 25.0, 25.001, 40.0}) {
        const double exact = x / std::expm1(x);
        EXPECT_NEAR(ek_bernoulli(x, nullptr), exact, 1e-10 * exact) << x;
        EXPECT_NEAR(ek_bernoulli(-x, nullptr), ek_bernoulli(x, nullptr) + x, 1e-9) << x;
    }
    // The derivative against differences, away from the range joins.
    for (double x : {-40.0, -24.0, -3.0, -0.3, -0.1, 0.05, 0.15, 0.3, 2.0, 24.0, 26.0, 40.0}) {
        const double h = 1e-3;
        const double numeric =
            centralDerivative([x](double dx) { return ek_bernoulli(x + dx, nullptr); }, h);
        ek_bernoulli(x, &d);
        EXPECT_NEAR(d, numeric, 1e-8 * std::max(1.0, std::fabs(d))) << x;
    }
}

TEST(ModelsBernoulli, PairGivesBothSidesWithTheirDerivatives)
{
    // Each side of the pair against the exact function and against
    // differences, across the series join at 0.2 and far out.
    for (double x : {-60.0, -25.0, -3.0, -0.2000001, -0.2, -0.05, 0.0, 1e-9, 0.15, 0.2, 0.2000001,
                     1.0, 7.5, 25.0, 60.0}) {
        const ekBernoulliPair pair = ek_bernoulliPair(x);
        for (int side : {1, -1}) {
            const double at = side * x;
            const double value = side == 1 ? pair.plus : pair.minus;
            const double slope = side == 1 ? pair.dPlus : pair.dMinus;
            const double exact = at == 0.0 ? 1.0 : at / std::expm1(at);
            EXPECT_NEAR(value, exact, 1e-13 * exact) << at;
            const double numeric = centralDerivative(
                [at](double dx) { return (at + dx) / std::expm1(at + dx); }, 1e-4);
            EXPECT_NEAR(slope, numeric, 1e-7 * std::max(1.0, std::fabs(slope))) << at;
        }
    }
}

// The tunnelling term acts on the excess density n - nEq of the contact
// node, n = c exp(V - Fn) there: t = +-exp(-K/a) S (n - nEq), a = |Vn - Vc|,
// positive when the neighbour potential is higher.
struct TunnelCase {
    double Vc, Vn, Fn;  // potentials; n belongs to the node of Vc
    double nEq;         // equilibrium density of that node
    double K, S;
};

const TunnelCase TUNNEL_CASES[] = {
    {1.0, 3.0, 0.0, 5e-3, 2.5, 40.0},    // neighbour higher, excess
    {3.0, 1.0, 0.5, 0.5, 2.5, 40.0},     // neighbour lower, deficit
    {-2.0, 0.5, -1.0, 0.0, 2.5, 40.0},   // nothing at equilibrium
    {0.2, 0.21, 0.3, 2e-3, 0.05, 1e3},   // thin barrier, small field
    {10.0, 4.0, 12.0, 1e-5, 8.0, 3.0},   // neighbour lower, strong field, excess
    {-5.0, -1.0, -6.0, 3.0, 30.0, 1e5},  // thick barrier
};

double tunnelDensity(double V, double Fn) { return 1e-2 * std::exp(V - Fn); }

TEST(ModelsTunnelling, ValueIsTheTransmittedExcessDensity)
{
    for (const TunnelCase& c : TUNNEL_CASES) {
        const double n = tunnelDensity(c.Vc, c.Fn);
        const double E = std::exp(-c.K / std::fabs(c.Vn - c.Vc));
        const double sign = c.Vn > c.Vc ? 1.0 : -1.0;
        double dVc = 0, dVn = 0, dFn = 0;
        const double value = ek_tunnelTerm(c.Vc, c.Vn, n, c.nEq, c.K, c.S, &dVc, &dVn, &dFn);
        const double expected = sign * E * c.S * (n - c.nEq);
        EXPECT_NEAR(value, expected, 1e-12 * E * c.S * (n + c.nEq)) << c.Vc << " " << c.Vn;
        // The Fn derivative acts through n alone: minus the transmitted
        // density, -+E S n.
        EXPECT_NEAR(dFn, -sign * E * c.S * n, 1e-12 * E * c.S * n) << c.Vc << " " << c.Vn;
        // The outputs are optional and do not change the value.
        EXPECT_EQ(ek_tunnelTerm(c.Vc, c.Vn, n, c.nEq, c.K, c.S, nullptr, nullptr, nullptr), value);
    }
}

TEST(ModelsTunnelling, DerivativesMatchCentralDifferences)
{
    const double h = 1e-4;
    for (const TunnelCase& c : TUNNEL_CASES) {
        // The density belongs to the contact node (the first potential).
        auto t = [&](double Vc, double Vn, double Fn) {
            return ek_tunnelTerm(Vc, Vn, tunnelDensity(Vc, Fn), c.nEq, c.K, c.S, nullptr, nullptr,
                                 nullptr);
        };
        double dVc = 0, dVn = 0, dFn = 0;
        const double n = tunnelDensity(c.Vc, c.Fn);
        ek_tunnelTerm(c.Vc, c.Vn, n, c.nEq, c.K, c.S, &dVc, &dVn, &dFn);
        const double numeric[3] = {
            centralDerivative([&](double d) { return t(c.Vc + d, c.Vn, c.Fn); }, h),
            centralDerivative([&](double d) { return t(c.Vc, c.Vn + d, c.Fn); }, h),
            centralDerivative([&](double d) { return t(c.Vc, c.Vn, c.Fn + d); }, h)};
        const double analytic[3] = {dVc, dVn, dFn};
        const double scale = std::max({std::fabs(dVc), std::fabs(dVn), std::fabs(dFn), 1e-300});
        for (int v = 0; v < 3; ++v) {
            EXPECT_NEAR(analytic[v], numeric[v], 1e-7 * scale)
                << "derivative " << v << " at " << c.Vc << " " << c.Vn;
        }
    }
}

TEST(ModelsTunnelling, ZeroAtEqualPotentials)
{
    for (const TunnelCase& c : TUNNEL_CASES) {
        const double n = tunnelDensity(c.Vc, c.Fn);
        double dVc = 1, dVn = 1, dFn = 1;
        EXPECT_EQ(ek_tunnelTerm(c.Vc, c.Vc, n, c.nEq, c.K, c.S, &dVc, &dVn, &dFn), 0.0);
        EXPECT_EQ(dVc, 0.0);
        EXPECT_EQ(dVn, 0.0);
        EXPECT_EQ(dFn, 0.0);
    }
}

// At equilibrium n = nEq: whatever the band bending and the barrier, no
// current tunnels (detailed balance), while a departure from equilibrium
// is still felt through the density.
TEST(ModelsTunnelling, ZeroAtTheEquilibriumDensity)
{
    for (const TunnelCase& c : TUNNEL_CASES) {
        const double n = tunnelDensity(c.Vc, c.Fn);
        const double E = std::exp(-c.K / std::fabs(c.Vn - c.Vc));
        const double sign = c.Vn > c.Vc ? 1.0 : -1.0;
        double dVc = 1, dVn = 1, dFn = 1;
        EXPECT_EQ(ek_tunnelTerm(c.Vc, c.Vn, n, n, c.K, c.S, &dVc, &dVn, &dFn), 0.0);
        // The field derivative carries the factor n - nEq: nothing.
        EXPECT_EQ(dVn, 0.0);
        EXPECT_NEAR(dVc, sign * E * c.S * n, 1e-12 * E * c.S * n);
        EXPECT_NEAR(dFn, -sign * E * c.S * n, 1e-12 * E * c.S * n);
        EXPECT_GT(std::fabs(dVc), 0.0);
    }
}

TEST(ModelsTunnelling, ExponentIsTheTriangularBarrierWkbExponent)
{
    // K/a = 4 sqrt(2 m q) (phi Vt)^1.5 / (3 hbar F), F = a Vt / (h L).
    const double q = 1.602176634e-19, m0 = 9.1093837e-31, hbar = 1.054571817e-34;
    const double T = 300.0, me = 0.2, L = 0.0378, h = 2.0, phi = 8.0;
    const double Vt = 8.617333262e-5 * T;
    const double a = 3.0;
    const double field = a * Vt / (h * L * 1e-6);
    const double expected =
        4.0 * std::sqrt(2.0 * me * m0 * q) * std::pow(phi * Vt, 1.5) / (3.0 * hbar * field);
    EXPECT_NEAR(ek_tunnelExponent(L, h, me, T, phi) / a, expected, 1e-5 * expected);
}

TEST(ModelsAbsorption, BandAbsorptionAndTailJoinSmoothly)
{
    const double Eg = 50.0, k0 = 0.3;
    for (bool direct : {true, false}) {
        const double EU = 0.8;
        const double edge = ek_absorptionEdge(Eg, EU, direct);
        const double kEdge = ek_absorptionKEdge(Eg, EU, k0, direct);
        auto ext = [&](double E) {
            return ek_bandgapExtinction(E, Eg, k0, direct, EU, edge, kEdge);
        };
        const double h = 1e-9 * edge;
        EXPECT_NEAR(ext(edge - h), ext(edge + h), 3e-7 * ext(edge)) << direct;
        const double hs = 1e-6 * edge;
        const double slopeBelow = (ext(edge - hs) - ext(edge - 3 * hs)) / (2 * hs);
        const double slopeAbove = (ext(edge + 3 * hs) - ext(edge + hs)) / (2 * hs);
        EXPECT_NEAR(slopeBelow, slopeAbove, 1e-3 * std::fabs(slopeAbove)) << direct;
        // Far below the gap the tail decays with the Urbach energy.
        EXPECT_NEAR(ext(Eg - 5.0) / ext(Eg - 6.0), std::exp(1.0 / EU) * (Eg - 6.0) / (Eg - 5.0),
                    1e-9);
    }
    // Without a tail nothing is absorbed at or below the gap, and the direct
    // gap's extinction at twice the gap is k0.
    EXPECT_EQ(ek_bandgapExtinction(Eg, Eg, k0, true, 0.0, Eg, 0.0), 0.0);
    EXPECT_EQ(ek_bandgapExtinction(Eg - 1.0, Eg, k0, false, 0.0, Eg, 0.0), 0.0);
    EXPECT_NEAR(ek_bandgapExtinction(2 * Eg, Eg, k0, true, 0.0, Eg, 0.0), k0, 1e-15);
    EXPECT_NEAR(ek_bandgapExtinction(2 * Eg, Eg, k0, false, 0.0, Eg, 0.0), k0, 1e-15);
    // alpha = 4 pi k / lambda, in units of L.
    EXPECT_NEAR(ek_absorptionCoefficient(0.1, 0.5, 0.04), 4 * M_PI * 0.1 * 0.04 / 0.5, 1e-15);
}

TEST(ModelsUrbach, SlicesCoverTheTailDensity)
{
    // The ten slices sum the tail G exp(-e/E) over 0.1E/sqrt(1.5) .. 0.1E 1.5^9 sqrt(1.5).
    const double G = 7.0, E = 2.0;
    double sum = 0.0;
    for (int k = 0; k < EK_URBACH_SLICES; ++k) {
        const double e = ek_urbachSliceEnergy(E, k);
        EXPECT_NEAR(e, 0.1 * E * std::pow(1.5, k), 1e-15);
        sum += ek_urbachSliceDensity(G, E, e);
    }
    const double lo = 0.1 * E / std::sqrt(1.5), hi = 0.1 * E * std::pow(1.5, 9) * std::sqrt(1.5);
    const double integral = G * E * (std::exp(-lo / E) - std::exp(-hi / E));
    EXPECT_NEAR(sum, integral, 0.05 * integral);
    EXPECT_EQ(ek_urbachSliceDensity(G, 0.0, 0.1), 0.0);
}

}  // namespace
