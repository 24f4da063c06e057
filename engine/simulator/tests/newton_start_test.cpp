// Start of a transport run (the equilibrium when it is not known yet, then
// the profile of the first bias point), the saving of a Newton point, and
// the precondition of the equilibrium solver.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "biasFixture.h"
#include "ekBandMatrix.h"

namespace {

class NewtonStart : public BiasFixture {
protected:
    void SetUp() override
    {
        BiasFixture::SetUp();
        buildJunction(1e17, 1e16, 0.5, 0.5, 100, 100);  // 1 um
        ASSERT_EQ(sigma.err, 0) << lastMessage();
    }
};

TEST_F(NewtonStart, EquilibriumSolverRefusesABias)
{
    sim.setAppliedVoltage(0.5);
    EXPECT_FALSE(sim.doCheckPoisson());
    EXPECT_EQ(lastMessage(), L"[ERROR]   This Poisson solver handles only the equilibrium case\n");
    sigma.reset();
    sim.setAppliedVoltage(0.0005);
    EXPECT_TRUE(sim.doCheckPoisson());
    sigma.update(L"[ERROR]   earlier\n", 1);
    EXPECT_FALSE(sim.doCheckPoisson());
}

TEST_F(NewtonStart, StartSolvesTheEquilibriumAndSpreadsTheBias)
{
    param.method = nuParam::METHOD_NEWTON;
    const int N = sim.getPoints();
    double *previous = nullptr, *start = nullptr, *update = nullptr, *rhs = nullptr;
    double *lower = nullptr, *diag = nullptr, *upper = nullptr;
    ekBandMatrix* jacobian = nullptr;
    ASSERT_TRUE(
        sim.allocSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper));
    std::vector<double> x(3 * N), x0(3 * N), work(3 * N), V(N), Fn(N), Fp(N), V0(N), Fn0(N), Fp0(N);
    const double Va = 0.5 / Vt();
    sim.setAppliedVoltage(Va);
    const bool started = sim.transportInit(
        x.data(), V.data(), Fn.data(), Fp.data(), x0.data(), V0.data(), Fn0.data(), Fp0.data(),
        work.data(), &previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
    sim.freeSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
    ASSERT_TRUE(started) << lastMessage();
    EXPECT_EQ(sim.getAppliedVoltage(), Va);  // the equilibrium was solved at 0 V
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(sim.getFilenameEE())));

    const ekSolutionArrays& s = sim.getMesh().sol;
    const double um = sim.getNorm().length;
    for (int k = 0; k < N; ++k) {
        const double z = s.z[k] * um;  // um on a 1 um device
        EXPECT_EQ(V[k], s.Veq[k]);
        const double fn = z <= 0.2 ? Va * (1.0 - z / 0.2) : 0.0;
        const double fp = z <= 0.8 ? Va : Va * (1.0 - (z - 0.8) / 0.2);
        EXPECT_NEAR(Fn[k], fn, 1e-9) << "z = " << z;
        EXPECT_NEAR(Fp[k], fp, 1e-9) << "z = " << z;
        EXPECT_EQ(x[3 * k], V[k]);
        EXPECT_EQ(x[3 * k + 1], Fn[k]);
        EXPECT_EQ(x0[3 * k + 2], Fp[k]);
        EXPECT_EQ(Fn0[k], Fn[k]);
    }
    // The equilibrium itself: no potential step left to the quasi-Fermi
    // levels, so it balances Poisson's equation with them at 0.
    EXPECT_GT(s.Veq[N - 1] - s.Veq[0], 20.0);
}

TEST_F(NewtonStart, SavingNeedsAConvergedPoint)
{
    const int N = sim.getPoints();
    std::vector<double> x(3 * N, 0.0);
    sim.setMeanCurrent(1.25);
    sim.resetPrev();
    sim.transportSaveNewton(x.data(), 0x1000);
    EXPECT_EQ(sim.getMeanCurrent(), 1.25);
}

}  // namespace
