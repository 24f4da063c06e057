// The road of a bias sweep on a small p-n junction: sweeps across 0 V and
// their 0 V row, sub-steps, single points, the current window, bias files
// and a stop request.
#include <gtest/gtest.h>

#include <regex>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "biasFixture.h"
#include "ekLinearSolver.h"

namespace {

class BiasSweep : public BiasFixture {
protected:
    void SetUp() override
    {
        BiasFixture::SetUp();
        buildJunction(1e17, 1e16, 0.5, 0.5, 100, 100);
        ASSERT_EQ(sigma.err, 0) << lastMessage();
    }

    int run(double v0, double v1, double step, double Jinf = -1e6, double Jsup = 1e6,
            bool* low = nullptr, bool* high = nullptr)
    {
        EXPECT_TRUE(sim.setBiasData(&device, v0, v1, step, Jinf, Jsup, 0x10, nullptr));
        return sim.sweepBias(0.0, 0.0, low, high);
    }

    // Current (A/cm2) at bias v (V) of the stored points.
    double currentAt(double v) const
    {
        const SweepRows rows = storedRows();
        for (size_t i = 0; i < rows.V.size(); ++i) {
            if (std::fabs(rows.V[i] - v) < 1e-9) {
                return rows.J[i];
            }
        }
        ADD_FAILURE() << "no point at " << v << " V";
        return NAN;
    }
};

TEST_F(BiasSweep, CrossingDarkSweepFillsTheZeroRowFromPointsAroundIt)
{
    ASSERT_GT(run(-0.5, 0.5, 0.1), 0) << lastMessage();
    const ElecSweep* sweep = sim.getSweepBias();
    EXPECT_EQ(sweep->getPointsValid(), 11);
    const SweepRows rows = storedRows();
    ASSERT_EQ(rows.V.size(), 11u);
    // Rectifying: reverse current small and negative, forward current
    // growing by e per thermal voltage at most.
    EXPECT_LT(rows.J[4], 0.0);
    EXPECT_GT(rows.J[6], 0.0);
    EXPECT_GT(rows.J[10], 100.0 * std::fabs(rows.J[0]));
    // The 0 V row: the means of the points just beside 0 V, so nearly no
    // current and a charge between those of its neighbours.
    EXPECT_LT(std::fabs(rows.J[5]), 0.01 * rows.J[6]);
    EXPECT_LT(rows.Qp[5], rows.Qp[4]);
    EXPECT_GT(rows.Qp[5], rows.Qp[6]);
    // The J-V file writes the 0 V row of a dark sweep as no current.
    const std::string jv = readFile(sim.getFilenameJV());
    EXPECT_TRUE(std::regex_search(jv, std::regex("\n0(\\.0+)?\t0\n"))) << jv;
    EXPECT_FALSE(std::wstring(sim.getFilenameCV()).empty());
    EXPECT_FALSE(std::wstring(sim.getFilenameEN()).empty());
}

TEST_F(BiasSweep, SubStepsStoreOnlyTheSweepPointsAndLeaveNoTrace)
{
    // 0.05 V is almost two thermal voltages: walked in sub-steps.
    ASSERT_GT(run(0.0, 0.3, 0.05), 0);
    EXPECT_EQ(sim.getSweepBias()->getPointsValid(), 7);
    const double coarse = currentAt(0.3);
    ASSERT_GT(run(0.0, 0.3, 0.01), 0);
    EXPECT_NEAR(coarse, currentAt(0.3), 1e-6 * coarse);
}

TEST_F(BiasSweep, WholeStepsNeedFewFactorisationsAndMatchAFineSweep)
{
    // Steps of four thermal voltages, forward and reverse: each point is
    // reached in one Newton solve from the extrapolated start (the ramp of
    // sub-steps took some ten factorisations per sub-step), and lands where
    // a sweep ten times finer does.
    param.method = nuParam::METHOD_NEWTON;
    for (const double end : {0.6, -1.0}) {
        SCOPED_TRACE(end);
        const double step = 0.1;
        const long before = ek_bandFactorisations();
        ASSERT_GT(run(0.0, end, step), 0) << lastMessage();
        const long factorisations = ek_bandFactorisations() - before;
        const SweepRows coarse = storedRows();
        ASSERT_EQ(coarse.V.size(), end > 0.0 ? 7u : 11u);
        EXPECT_LT(factorisations, 12 * static_cast<long>(coarse.V.size()));
        sim.resetPrev();
        ASSERT_GT(run(0.0, end, 0.1 * step), 0) << lastMessage();
        for (size_t i = 0; i < coarse.V.size(); ++i) {
            if (std::fabs(coarse.V[i]) < 1e-9) {
                continue;  // the equilibrium: no current to compare
            }
            EXPECT_NEAR(coarse.J[i], currentAt(coarse.V[i]), 1e-6 * std::fabs(coarse.J[i]))
                << "at " << coarse.V[i] << " V";
        }
    }
}

TEST_F(BiasSweep, OnePointAtZeroInTheDarkIsTheEquilibrium)
{
    ASSERT_TRUE(sim.setBiasData(&device, 0.0, 0.0, 0.0, -1.0, 1.0, 0, nullptr));
    EXPECT_GE(sim.sweepBias(0.0, 0.0, nullptr, nullptr), 0);
    EXPECT_EQ(std::wstring(sim.getFilenameJV()), L"");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(sim.getFilenameEE())));
    EXPECT_TRUE(sim.isConvergenceAchieved());
}

TEST_F(BiasSweep, FarSinglePointIsReachedByARamp)
{
    ASSERT_GT(run(0.0, 0.3, 0.01), 0);
    const double swept = currentAt(0.3);
    sim.resetPrev();
    ASSERT_GT(run(0.3, 0.3, 0.01), 0);
    EXPECT_EQ(sim.getSweepBias()->getPointsValid(), 1);
    EXPECT_NEAR(currentAt(0.3), swept, 1e-6 * swept);
}

TEST_F(BiasSweep, HighLimitEndsTheSweepOnePointLater)
{
    ASSERT_GT(run(0.0, 0.6, 0.05), 0);
    const SweepRows full = storedRows();
    ASSERT_EQ(full.V.size(), 13u);
    const double Jsup = 0.5 * (full.J[4] + full.J[5]);  // first crossed at index 5
    bool low = true, high = false;
    sim.resetPrev();
    ASSERT_GT(run(0.0, 0.6, 0.05, -1e6, Jsup, &low, &high), 0);
    EXPECT_TRUE(high);
    EXPECT_FALSE(low);
    EXPECT_EQ(sim.getSweepBias()->getPointsValid(), 7);
    EXPECT_EQ(sim.getSweepBias()->getMask(7), ElecSweep::MASK_SET);
}

TEST_F(BiasSweep, LowLimitIsIgnoredOnTheFirstTwoPoints)
{
    // Every reverse current lies below a limit of 0: the first two points
    // do not count, the third sets the limit, the fourth ends the sweep.
    bool low = false, high = true;
    ASSERT_GT(run(-0.5, -0.1, 0.1, 0.0, 1.0, &low, &high), 0);
    EXPECT_TRUE(low);
    EXPECT_FALSE(high);
    const ElecSweep* sweep = sim.getSweepBias();
    EXPECT_EQ(sweep->getPointsValid(), 4);
    // Solved from the point nearest 0 V downwards.
    EXPECT_EQ(sweep->getMask(0), ElecSweep::MASK_SET);
    EXPECT_EQ(sweep->getMask(4), ElecSweep::MASK_COMPUTED);
}

TEST_F(BiasSweep, BiasFileAcrossZeroWithoutAZeroPoint)
{
    ASSERT_GT(run(-0.2, 0.3, 0.05), 0);
    const double forward = currentAt(0.3);
    const double reverse = currentAt(-0.2);
    sim.resetPrev();
    const std::wstring file = writeFile("bias.txt", "-0.2\n-0.05\n0.1\n0.3\n");
    ASSERT_TRUE(sim.setBiasData(&device, 0, 0, 0, -1e6, 1e6, 0x20, file.c_str()));
    ASSERT_GT(sim.sweepBias(0.0, 0.0, nullptr, nullptr), 0) << lastMessage();
    EXPECT_EQ(sim.getSweepBias()->getPointsValid(), 4);
    // Reached by other paths, the same solutions (the tiny reverse current
    // is a small difference of large fluxes, known to fewer digits).
    EXPECT_NEAR(currentAt(0.3), forward, 1e-6 * forward);
    EXPECT_NEAR(currentAt(-0.2), reverse, 0.01 * std::fabs(reverse));
    EXPECT_GT(currentAt(0.1), 0.0);
    EXPECT_LT(currentAt(-0.05), 0.0);
}

TEST_F(BiasSweep, StopRequestEndsTheSweepWithoutResults)
{
    const std::wstring comm = writeFile("simulcomm.txt", "Stop\n");
    std::wcsncpy(sigma.commFilename, comm.c_str(), nuSigma::PATH_SIZE - 1);
    EXPECT_EQ(run(0.0, 0.5, 0.05), -1);
    EXPECT_TRUE(sim.isStopped());
    EXPECT_EQ(std::wstring(sim.getFilenameJV()), L"");
    EXPECT_EQ(sim.getSweepBias()->getPointsValid(), 0);
}

TEST_F(BiasSweep, PointTheGummelMethodCannotSolveSwitchesToNewton)
{
    ASSERT_GT(run(0.0, 1.2, 0.05), 0);
    const double newton = currentAt(1.2);
    // High injection: ten Gummel iterations are not enough, Newton's are.
    sim.resetPrev();
    param.method = nuParam::METHOD_GUMMEL;
    param.maxiter = 10;
    const double tolerance = param.reltol;
    const double damping = param.damp;
    ASSERT_GT(run(0.0, 1.2, 0.05), 0) << lastMessage();
    EXPECT_EQ(param.method, nuParam::METHOD_NEWTON);  // the switch stays
    EXPECT_EQ(sim.getSweepBias()->getPointsValid(), 25);
    EXPECT_NEAR(currentAt(1.2), newton, 1e-6 * newton);
    // The relaxation ladders served the sweep only.
    EXPECT_EQ(param.reltol, tolerance);
    EXPECT_EQ(param.damp, damping);
}

TEST_F(BiasSweep, FullSavingWritesADistributionPerSolvedPoint)
{
    sigma.setSaveFull(true);
    sim.setDistFormat(3);
    ASSERT_GT(run(0.0, 0.2, 0.1), 0);
    // The equilibrium is file 1; the 0 V point needs no solve; the points
    // at 0.1 and 0.2 V are files 2 and 3, and the last one is announced,
    // not written again.
    for (const char* name : {"simulout_dist_1.txt", "simulout_dist_2.txt", "simulout_dist_3.txt"}) {
        EXPECT_TRUE(std::filesystem::exists(scratch / name)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(scratch / "simulout_dist_4.txt"));
    EXPECT_EQ(std::filesystem::path(sim.getFilenameEN()).filename(), "simulout_dist_3.txt");
}

TEST_F(BiasFixture, TotalCurrentIsTheSameAtEveryPoint)
{
    // A coarse mesh and short lifetimes: the electron and hole currents
    // change a lot from box to box, their sum is the terminal current.
    for (const auto& [type, N] : {std::pair<uint8_t, double>{0x20, 1e17}, {0x10, 1e16}}) {
        ekLayer* layer = addLayer(L"Si", 0.5, type, N, 25);
        ASSERT_NE(layer->addTrap(L"T", 0x10, 1e12, 1e19, 0.0, 0.0, 1e-10, 1e-10, 1.0, false),
                  nullptr);
    }
    build(nuParam::MESH_LAYER, 50);
    ASSERT_GT(sweep(0.4, 0.4, 0.01, nuParam::METHOD_NEWTON), 0);
    const ekSolutionArrays& s = sim.getMesh().sol;
    const double J = sim.getMeanCurrent();
    ASSERT_GT(J, 0.0);
    double step = 0.0;
    for (int k = 0; k < sim.getPoints(); ++k) {
        EXPECT_NEAR(s.Jn[k] + s.Jp[k], J, 1e-6 * J) << "at point " << k;
        if (k > 0) {
            step = std::max(step, std::fabs(s.Jn[k] - s.Jn[k - 1]));
        }
    }
    EXPECT_GT(step, 0.02 * J);  // the electron current does change along the device
}

TEST_F(BiasSweep, WithoutASweepNothingRuns)
{
    EXPECT_EQ(sim.sweepBias(0.0, 0.0, nullptr, nullptr), -1);
    EXPECT_FALSE(sim.isConvergenceAchieved());
}

}  // namespace
