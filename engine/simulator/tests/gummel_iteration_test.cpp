// The Gummel scheme run to convergence: at rest it returns to the solution
// of the equilibrium Poisson solve; under bias the current it carries is
// the same through every cross-section.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ekBandMatrix.h"
#include "ekSimulator.h"
#include "simulatorDevice.h"
#include "systemSolver.h"

namespace {

TEST(GummelIteration, ReturnsToTheEquilibriumSolution)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(siliconJunction(1e17, 1e16, 100, 1.0))) << d.sigma.message;
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    const ekSolutionArrays& s = d.sim->getMesh().sol;
    const int N = d.sim->getPoints();
    const std::vector<double> Veq(s.V, s.V + N);

    // Start well away from it: a bent potential and split quasi-Fermi levels.
    std::vector<double> V(N), Fn(N), Fp(N);
    for (int i = 0; i < N; ++i) {
        const double u = s.z[i] / s.z[N - 1];
        V[i] = Veq[i] + 2.0 * std::sin(3.0 * u);
        Fn[i] = 0.5 * std::sin(2.0 * u);
        Fp[i] = -0.5 * std::sin(4.0 * u);
    }
    SystemSolver run(d, nuParam::METHOD_GUMMEL);
    ASSERT_TRUE(run.gummel(V, Fn, Fp, 500)) << d.sigma.message;
    for (int i = 0; i < N; ++i) {
        EXPECT_NEAR(V[i], Veq[i], 1e-5) << "point " << i;
        EXPECT_NEAR(Fn[i], 0.0, 1e-5) << "point " << i;
        EXPECT_NEAR(Fp[i], 0.0, 1e-5) << "point " << i;
    }
}

TEST(GummelIteration, ForwardBiasCarriesOneCurrent)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(siliconJunction(1e17, 1e16, 100, 1.0))) << d.sigma.message;
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    const int N = d.sim->getPoints();
    const double Va = 0.4 / d.sim->getNorm().Vt;
    d.sim->setAppliedVoltage(Va);

    std::vector<double> V(N), Fn(N), Fp(N), V0(N), Fn0(N), Fp0(N);
    d.sim->poissonInit(V.data(), Fn.data(), Fp.data(), V0.data(), Fn0.data(), Fp0.data(), Va);
    ASSERT_TRUE(d.sigma.isOK());
    SystemSolver run(d, nuParam::METHOD_GUMMEL);
    ASSERT_TRUE(run.gummel(V, Fn, Fp, 500)) << d.sigma.message;

    // The contacts hold the bias: anode at Va, cathode at 0.
    EXPECT_NEAR(Fn[0], Va, 1e-9);
    EXPECT_NEAR(Fp[0], Va, 1e-9);
    EXPECT_NEAR(Fn[N - 1], 0.0, 1e-9);
    double first = 0.0;
    for (int j = 0; j + 1 < N; ++j) {
        double scale = 0.0;
        const double J = edgeCurrent(*d.sim, V, Fn, Fp, j, &scale);
        if (j == 0) {
            first = J;
            ASSERT_GT(J, 0.0);  // forward current flows from anode to cathode
        }
        // Without generation, and with lifetimes far longer than the
        // transit through 1 um, the current hardly changes along the way.
        EXPECT_NEAR(J, first, 1e-4 * first) << "edge " << j;
    }

    // The saved point holds the solution and its current.
    d.sim->transportSaveGummel(V.data(), Fn.data(), Fp.data(), ekSimulator::TAG_JV);
    const ekSolutionArrays& s = d.sim->getMesh().sol;
    for (int i = 0; i < N; i += 17) {
        EXPECT_EQ(s.V[i], V[i]);
        EXPECT_EQ(s.Fn[i], Fn[i]);
        EXPECT_EQ(s.Fp[i], Fp[i]);
    }
    EXPECT_NEAR(d.sim->getMeanCurrent(), first, 1e-3 * first);
}

}  // namespace

namespace {

// Both methods share the contact boundaries: on a device with a Schottky
// contact over a p-type node, the coupled Newton system at rest lands on
// the equilibrium the Poisson solve found.
TEST(GummelIteration, NewtonAtRestAgreesOnASchottkyDevice)
{
    SimulatorDevice d;
    ContactSpec anode;
    anode.type = ekContact::TYPE_SCHOTTKY;
    anode.phi = 0.6;
    anode.S = 1e5;
    ASSERT_TRUE(d.build(siliconJunction(1e16, 1e17, 100, 1.0), anode)) << d.sigma.message;
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    const ekSolutionArrays& s = d.sim->getMesh().sol;
    const int N = d.sim->getPoints();
    const std::vector<double> Veq(s.V, s.V + N);

    d.param.method = nuParam::METHOD_NEWTON;
    double *previous = nullptr, *start = nullptr, *update = nullptr, *rhs = nullptr;
    double *lower = nullptr, *diag = nullptr, *upper = nullptr;
    ekBandMatrix* jacobian = nullptr;
    ASSERT_TRUE(
        d.sim->allocSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper));
    std::vector<double> x(3 * N), residual(3 * N);
    for (int i = 0; i < N; ++i) {
        const double u = s.z[i] / s.z[N - 1];
        x[3 * i] = Veq[i] + 0.5 * std::sin(3.0 * u);
        x[3 * i + 1] = 0.2 * std::sin(2.0 * u);
        x[3 * i + 2] = -0.2 * std::sin(5.0 * u);
    }
    d.sim->solveSystem(ekSimulator::SYSTEM_NEWTON, x.data(), residual.data(), nullptr, nullptr,
                       3 * N, d.param.maxiter, &previous, &start, &update, &rhs, &jacobian, &lower,
                       &diag, &upper);
    d.sim->freeSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
    ASSERT_LT(d.param.lastError, d.param.reltol);
    for (int i = 0; i < N; ++i) {
        EXPECT_NEAR(x[3 * i], Veq[i], 1e-5) << "point " << i;
        EXPECT_NEAR(x[3 * i + 1], 0.0, 1e-5) << "point " << i;
        EXPECT_NEAR(x[3 * i + 2], 0.0, 1e-5) << "point " << i;
    }
}

}  // namespace
