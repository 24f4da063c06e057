// The three Gummel assemblers: each Jacobian row (contact rows included)
// against central differences of its own residual, on states away from
// equilibrium, for ohmic (Dirichlet and Neumann), Schottky and tunnelling
// contacts; and the Bernoulli function of the fluxes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ekPointPhysics.h"
#include "ekSimulator.h"
#include "simulatorDevice.h"

namespace {

struct State {
    std::vector<double> V, Fn, Fp;
};

struct Rows {
    std::vector<double> F, rhs, lower, diag, upper;
    double norm = 0.0;
    explicit Rows(int N) : F(N), rhs(N), lower(N), diag(N), upper(N) {}
};

// Runs the assembler of kind on state; returns its unknown vector.
std::vector<double>& assemble(ekSimulator& sim, int kind, State& s, Rows& r)
{
    const int N = static_cast<int>(s.V.size());
    switch (kind) {
    case ekSimulator::SYSTEM_POISSON:
        sim.transportPoisson(s.V.data(), r.F.data(), r.rhs.data(), r.lower.data(), r.diag.data(),
                             r.upper.data(), nullptr, s.Fn.data(), s.Fp.data(), N, &r.norm);
        return s.V;
    case ekSimulator::SYSTEM_ELECTRON:
        sim.transportElectron(s.Fn.data(), r.F.data(), r.rhs.data(), r.lower.data(), r.diag.data(),
                              r.upper.data(), nullptr, s.V.data(), s.Fp.data(), N, &r.norm);
        return s.Fn;
    default:
        sim.transportHole(s.Fp.data(), r.F.data(), r.rhs.data(), r.lower.data(), r.diag.data(),
                          r.upper.data(), nullptr, s.V.data(), s.Fn.data(), N, &r.norm);
        return s.Fp;
    }
}

// Compares every stored Jacobian entry with central differences and checks
// that no residual depends on unknowns two or more points away.
void expectJacobian(ekSimulator& sim, int kind, State state, const char* label)
{
    const int N = static_cast<int>(state.V.size());
    Rows rows(N);
    std::vector<double>& x = assemble(sim, kind, state, rows);
    double sum = 0.0;
    for (int i = 0; i < N; ++i) {
        EXPECT_EQ(rows.rhs[i], -rows.F[i]);
        sum += rows.F[i] * rows.F[i];
    }
    EXPECT_NEAR(rows.norm, sum, 1e-12 * sum);

    const double h = 1e-6;
    for (int j = 0; j < N; ++j) {
        const double kept = x[j];
        Rows up(N), down(N);
        x[j] = kept + h;
        assemble(sim, kind, state, up);
        x[j] = kept - h;
        assemble(sim, kind, state, down);
        x[j] = kept;
        for (int i = std::max(0, j - 2); i <= std::min(N - 1, j + 2); ++i) {
            const double numeric = (up.F[i] - down.F[i]) / (2.0 * h);
            double analytic = 0.0;
            if (j == i - 1) {
                analytic = rows.lower[i];
            }
            if (j == i) {
                analytic = rows.diag[i];
            }
            if (j == i + 1) {
                analytic = rows.upper[i];
            }
            const double scale = std::max({std::fabs(rows.lower[i]), std::fabs(rows.diag[i]),
                                           std::fabs(rows.upper[i]), 1e-12});
            EXPECT_NEAR(analytic, numeric, 2e-6 * scale)
                << label << " kind " << kind << " row " << i << " column " << j;
        }
    }
}

struct AssemblyCase {
    const char* name;
    ContactSpec anode;
    ContactSpec cathode;
    double bias;            // V
    double trapN;           // 1/cm3
    double trapTau = 1e-6;  // s
};

ContactSpec ohmic(uint8_t boundary)
{
    ContactSpec c;
    c.boundary = boundary;
    return c;
}

ContactSpec schottky(double phi, double S, bool tunnel)
{
    ContactSpec c;
    c.type = ekContact::TYPE_SCHOTTKY;
    c.phi = phi;
    c.S = S;
    c.tunnel = tunnel;
    return c;
}

class GummelJacobian : public ::testing::TestWithParam<AssemblyCase> {};

TEST_P(GummelJacobian, MatchesCentralDifferences)
{
    const AssemblyCase c = GetParam();
    SimulatorDevice d;
    ASSERT_TRUE(d.build({{L"Si", 0x20, 3e16, 0.4, 25, c.trapN, c.trapTau},
                         {L"Si", 0x10, 1e16, 0.4, 25, c.trapN, c.trapTau}},
                        c.anode, c.cathode))
        << d.sigma.message;
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;

    ekSimulator& sim = *d.sim;
    const double Vt = sim.getNorm().Vt;
    const double Va = c.bias / Vt;
    sim.setAppliedVoltage(Va);
    const int N = sim.getPoints();
    const ekSolutionArrays& s = sim.getMesh().sol;
    const double L = s.z[N - 1];
    State state{std::vector<double>(N), std::vector<double>(N), std::vector<double>(N)};
    for (int i = 0; i < N; ++i) {
        const double u = s.z[i] / L;
        // Away from equilibrium: split quasi-Fermi levels, a bent potential.
        state.V[i] = s.V[i] + Va * (1.0 - u) + 0.4 * std::sin(7.0 * u);
        state.Fn[i] = Va * (1.0 - u * u) + 0.3 * std::cos(5.0 * u);
        state.Fp[i] = Va * (1.0 - u) - 0.2 * std::sin(3.0 * u);
    }
    // A tunnelling contact acts on the excess n - nEq of its node: the
    // state holds each one well away from its equilibrium density, so the
    // term and its Fn derivative are felt.
    for (int side : {0, 1}) {
        if ((side == 0 ? c.anode : c.cathode).tunnel) {
            const int k = side == 0 ? 0 : N - 1;
            const double ratio =
                ek_electronDensity(sim.getMesh(), state.V[k], state.Fn[k], k) / s.nEq[k];
            EXPECT_GT(std::fabs(std::log(ratio)), 0.1) << c.name << " side " << side;
            // The term as both contact rows call it: contact node first.
            double dVc = 0, dVn = 0, dFn = 0;
            const int kn = side == 0 ? 1 : N - 2;
            const ekLayer* layer = side == 0 ? d.device->getFirstLayer() : d.device->getLastLayer();
            const double t = sim.tunnelCurrent(
                state.V[k], state.V[kn],
                ek_electronDensity(sim.getMesh(), state.V[k], state.Fn[k], k), layer->getMe(),
                side == 0 ? sim.getMesh().anodeState.phi : sim.getMesh().cathodeState.phi,
                std::fabs(s.z[kn] - s.z[k]), d.device->getT(), side, &dVc, &dVn, &dFn);
            EXPECT_NE(t, 0.0) << c.name << " side " << side;
            EXPECT_NE(dFn, 0.0) << c.name << " side " << side;
        }
    }
    for (int kind :
         {ekSimulator::SYSTEM_POISSON, ekSimulator::SYSTEM_ELECTRON, ekSimulator::SYSTEM_HOLE}) {
        expectJacobian(sim, kind, state, c.name);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Contacts, GummelJacobian,
    ::testing::Values(AssemblyCase{"ohmic Dirichlet", ohmic(0x10), ohmic(0x10), 0.3, 1e14},
                      AssemblyCase{"ohmic Neumann", ohmic(0x20), ohmic(0x20), -0.5, 0.0},
                      AssemblyCase{"at rest", ohmic(0x10), ohmic(0x20), 0.0, 1e15},
                      AssemblyCase{"Schottky", schottky(0.8, 1e5, false), schottky(0.3, 1e3, false),
                                   0.2, 0.0},
                      AssemblyCase{"Schottky tunnelling", schottky(0.03, 1e5, true),
                                   schottky(0.03, 1e3, true), 0.2, 1e14},
                      // Lifetimes so short that the recombination of a
                      // contact point's half step weighs in its row as much
                      // as the fluxes do.
                      AssemblyCase{"Schottky fast recombination", schottky(0.8, 1e3, false),
                                   schottky(0.3, 1e3, false), 0.2, 1e16, 1e-13}),
    [](const ::testing::TestParamInfo<AssemblyCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (ch == ' ') {
                ch = '_';
            }
        }
        return name;
    });

// B(x) = x / (e^x - 1) near 0, on both sides and far out, against values
// computed in extended precision.
TEST(Bernoulli, ValuesOfEveryRange)
{
    struct Value {
        double x;
        long double expected;
    };
    const Value table[] = {
        {0.0, 1.0L},
        {0.2, 0.2L / std::expm1(0.2L)},
        {-0.2, -0.2L / std::expm1(-0.2L)},
        {0.2000001, 0.2000001L / std::expm1(0.2000001L)},
        {1e-9, 1e-9L / std::expm1(1e-9L)},
        {3.0, 3.0L / std::expm1(3.0L)},
        {-7.5, -7.5L / std::expm1(-7.5L)},
        {25.0, 25.0L / std::expm1(25.0L)},
        {30.0, 30.0L / std::expm1(30.0L)},
        {-30.0, -30.0L / std::expm1(-30.0L)},
        {700.0, 700.0L / std::expm1(700.0L)},
        {-700.0, -700.0L / std::expm1(-700.0L)},
    };
    for (const Value& v : table) {
        const double b = ekSimulator::bernoulli(v.x, nullptr);
        EXPECT_NEAR(b, static_cast<double>(v.expected), 5e-12 * static_cast<double>(v.expected))
            << "x = " << v.x;
        EXPECT_TRUE(std::isfinite(b));
    }
    EXPECT_EQ(ekSimulator::bernoulli(0.0, nullptr), 1.0);
}

TEST(Bernoulli, ContinuousWhereTheRangesMeet)
{
    for (double edge : {0.2, -0.2, 25.0, -25.0}) {
        const double below = std::nextafter(edge, -1e9);
        const double above = std::nextafter(edge, 1e9);
        double dBelow = 0.0, dAbove = 0.0;
        const double bBelow = ekSimulator::bernoulli(below, &dBelow);
        const double bAbove = ekSimulator::bernoulli(above, &dAbove);
        // |x| = 25 cuts the tail of x e^-x or drops e^x against 1, both
        // below 1e-10 relative; the series at 0.2 is good to 1e-11.
        EXPECT_NEAR(bBelow, bAbove, 1e-10 * bAbove) << "B at " << edge;
        EXPECT_NEAR(dBelow, dAbove, 1e-9 * std::max(1.0, std::fabs(dAbove)) + 1e-10)
            << "B' at " << edge;
    }
    // B(x) - B(-x) = -x: the two flux directions stay consistent.
    for (double x : {0.05, 0.2, 0.7, 4.0, 24.0}) {
        EXPECT_NEAR(ekSimulator::bernoulli(x, nullptr) - ekSimulator::bernoulli(-x, nullptr), -x,
                    1e-12 * (1.0 + x));
    }
}

}  // namespace
