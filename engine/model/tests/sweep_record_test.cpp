#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ElecSweep.h"
#include "nuSigma.h"

namespace {

constexpr int UNSET = 77;  // caller's value, kept when a position is not found

std::vector<double> column(const ElecSweep& sweep, int c)
{
    std::vector<double> values;
    for (int i = 0; i < sweep.getPoints(); ++i) {
        values.push_back(sweep.getData(c, i));
    }
    return values;
}

struct ScanCase {
    const char* what;
    double start, end, step;
    int points;
    int posL, posC, posR;  // UNSET: not found
};

TEST(ElecSweep, PositionScanFindsZeroCrossing)
{
    const ScanCase cases[] = {
        {"symmetric, zero on a point", -1, 1, 0.5, 5, 1, 2, 3},
        {"zero between points", -1, 1, 0.4, 6, 2, UNSET, 3},
        {"all positive from 0", 0, 1, 0.25, 5, UNSET, UNSET, 1},
        {"ends on 0", -1, 0, 0.5, 3, 1, 2, 2},
        {"all negative", -2, -1, 0.5, 3, 2, UNSET, UNSET},
        {"all positive", 1, 2, 0.5, 3, UNSET, UNSET, 2},
        // Accumulated 0.1 steps miss exact zero at point 10; the last
        // point (1.0) is not zero either, so posC is never found.
        {"accumulated steps", -1, 1, 0.1, 21, 10, UNSET, 11},
    };
    nuSigma sigma;
    for (const ScanCase& c : cases) {
        int posL = UNSET, posC = UNSET, posR = UNSET;
        ElecSweep sweep(&sigma, 0x10, 4, c.points, c.start, c.end, c.step, -1, 1, 0, &posL, &posC,
                        &posR, true);
        ASSERT_TRUE(sigma.isOK()) << c.what;
        EXPECT_EQ(posL, c.posL) << c.what;
        EXPECT_EQ(posC, c.posC) << c.what;
        EXPECT_EQ(posR, c.posR) << c.what;
        // The record takes the pointers' values, found or not.
        EXPECT_EQ(sweep.getPosL(), c.posL) << c.what;
        EXPECT_EQ(sweep.getPosC(), c.posC) << c.what;
        EXPECT_EQ(sweep.getPosR(), c.posR) << c.what;
        EXPECT_DOUBLE_EQ(sweep.getData(0, c.points - 1), c.end) << c.what;
    }
}

TEST(ElecSweep, FilledColumnsAndStates)
{
    nuSigma sigma;
    int posL = UNSET, posC = UNSET, posR = UNSET;
    ElecSweep sweep(&sigma, 0x10, 3, 5, -1, 1, 0.5, -2, 3, 0, &posL, &posC, &posR, true);
    EXPECT_EQ(column(sweep, 0), (std::vector<double>{-1, -0.5, 0, 0.5, 1}));
    EXPECT_EQ(column(sweep, 1), std::vector<double>(5, 30.0));  // 10 x limitHigh
    EXPECT_EQ(column(sweep, 2), std::vector<double>(5, 30.0));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(sweep.getMask(i), 0x80);
    }
    EXPECT_FALSE(std::signbit(sweep.getData(0, 2)));  // the zero is exactly +0

    ElecSweep noLimit(&sigma, 0x20, 2, 3, 0, 1, 0.5, 0, 0, 0, nullptr, nullptr, nullptr, true);
    EXPECT_EQ(column(noLimit, 1), std::vector<double>(3, 1.0));
    EXPECT_EQ(noLimit.getPosL(), -1);  // no pointers given: record unchanged
    EXPECT_EQ(noLimit.getPosC(), -1);
    EXPECT_EQ(noLimit.getPosR(), -1);

    // The short form (no position pointers) prepares every point.
    ElecSweep light(&sigma, 0x20, 6, 3, 0.3, 0.5, 0.1, 0, 1, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(light.getMask(i), 0x80);
    }
    EXPECT_DOUBLE_EQ(light.getData(0, 1), 0.4);
    EXPECT_DOUBLE_EQ(light.getData(5, 2), 10.0);
}

TEST(ElecSweep, ZeroStepSpreadsRangeOverPoints)
{
    nuSigma sigma;
    ElecSweep sweep(&sigma, 0x10, 1, 5, 0, 2, 0.0, 0, 1, 0, nullptr, nullptr, nullptr, true);
    EXPECT_EQ(column(sweep, 0), (std::vector<double>{0, 0.5, 1, 1.5, 2}));

    ElecSweep single(&sigma, 0x10, 1, 1, 0.3, 0.3, 0.0, 0, 1, 0, nullptr, nullptr, nullptr, true);
    ASSERT_TRUE(sigma.isOK());
    EXPECT_DOUBLE_EQ(single.getData(0, 0), 0.3);
}

TEST(ElecSweep, WithoutFillArraysAreZero)
{
    nuSigma sigma;
    int posL = UNSET;
    ElecSweep sweep(&sigma, 0x10, 2, 4, -1, 1, 0.5, 0, 1, 0, &posL, nullptr, nullptr, false);
    ASSERT_TRUE(sweep.isAllocated());
    EXPECT_EQ(column(sweep, 0), std::vector<double>(4, 0.0));
    EXPECT_EQ(sweep.getMask(0), 0);
    EXPECT_EQ(posL, UNSET);
}

struct ClampCase {
    int count, points;
    int wantCount, wantPoints;
};

TEST(ElecSweep, SetClampsCountAndPoints)
{
    const ClampCase cases[] = {
        {1, 1, 1, 1},  {6, 5000, 6, 5000}, {7, 20, 2, 20}, {0, 20, 2, 20},   {-3, 20, 2, 20},
        {3, 0, 3, 50}, {3, 6000, 3, 50},   {3, -5, 3, 50}, {3, 5001, 3, 50},
    };
    nuSigma sigma;
    ElecSweep sweep(&sigma);
    for (const ClampCase& c : cases) {
        ASSERT_TRUE(sweep.set(0x10, c.count, c.points, 0, 1, 0.01, 0, 1, 0, nullptr, nullptr,
                              nullptr, false));
        EXPECT_EQ(sweep.getCount(), c.wantCount) << c.count << "/" << c.points;
        EXPECT_EQ(sweep.getPoints(), c.wantPoints) << c.count << "/" << c.points;
        // Every column exists at its full length, no more.
        sweep.setData(c.wantCount - 1, c.wantPoints - 1, 4.0);
        EXPECT_DOUBLE_EQ(sweep.getData(c.wantCount - 1, c.wantPoints - 1), 4.0);
        EXPECT_DOUBLE_EQ(sweep.getData(c.wantCount, 0), 0.0);
    }
}

TEST(ElecSweep, SetTakesLargerEndAndDerivesInvalidStep)
{
    nuSigma sigma;
    ElecSweep sweep(&sigma);
    sweep.set(0x10, 1, 4, 2, 1, 0.1, 0, 1, 0, nullptr, nullptr, nullptr, true);
    EXPECT_DOUBLE_EQ(sweep.getEnd(), 2.0);  // end below start becomes start
    EXPECT_EQ(column(sweep, 0), std::vector<double>(4, 2.0));

    // A negative or too large step becomes range / points (the clamped
    // point count: 0 and negative counts give 50 points, never inf or a
    // negative step).
    struct {
        int points;
        double step;
        double want;
    } cases[] = {
        {4, -1.0, 0.25},
        {4, 5.0, 0.25},
        {0, -1.0, 0.02},
        {-5, -1.0, 0.02},
    };
    for (const auto& c : cases) {
        sweep.set(0x10, 1, c.points, 0, 1, c.step, 0, 1, 0, nullptr, nullptr, nullptr, true);
        EXPECT_NEAR(sweep.getData(0, 1) - sweep.getData(0, 0), c.want, 1e-15) << c.points;
        EXPECT_DOUBLE_EQ(sweep.getData(0, sweep.getPoints() - 1), 1.0);
    }
}

TEST(ElecSweep, InvalidRangeIsRefusedWithMessage)
{
    nuSigma sigma;
    ElecSweep sweep(&sigma);
    EXPECT_FALSE(
        sweep.set(0x10, 2, 10, std::nan(""), 1, 0.1, 0, 1, 0, nullptr, nullptr, nullptr, true));
    EXPECT_FALSE(sigma.isOK());
    EXPECT_STREQ(sigma.message, L"[ERROR]   invalid sweep parameters\n");
    EXPECT_FALSE(sweep.isAllocated());
}

TEST(ElecSweep, NothingHappensWhileErrorPending)
{
    nuSigma sigma;
    sigma.err = 1;
    ElecSweep sweep(&sigma, 0x10, 2, 10, 0, 1, 0.1, 0, 1, 0, nullptr, nullptr, nullptr, true);
    EXPECT_FALSE(sweep.isAllocated());
    EXPECT_FALSE(sweep.assignResources(1.0, nullptr, nullptr, nullptr, true));
    EXPECT_DOUBLE_EQ(sweep.getData(0, 0), 0.0);
    EXPECT_EQ(sweep.getMask(0), 0x80);
}

TEST(ElecSweep, ArraysReturnToTheAllocator)
{
    nuSigma sigma;
    const size_t before = sigma.allocatedBytes();
    {
        ElecSweep sweep(&sigma, 0x10, 6, 5000, 0, 1, 0, 0, 1, 0, nullptr, nullptr, nullptr, true);
        EXPECT_GE(sigma.allocatedBytes(), before + 6 * 5000 * sizeof(double) + 5000);
        // Rebuilding releases the old arrays first.
        sweep.set(0x10, 1, 10, 0, 1, 0, 0, 1, 0, nullptr, nullptr, nullptr, true);
        EXPECT_LT(sigma.allocatedBytes(), before + 5000);
    }
    EXPECT_EQ(sigma.allocatedBytes(), before);
}

TEST(ElecSweep, RangeChecksOfDataAndMask)
{
    nuSigma sigma;
    ElecSweep sweep(&sigma, 0x10, 2, 3, 0, 1, 0.5, 0, 1, 0, nullptr, nullptr, nullptr, true);
    const std::pair<int, int> outside[] = {{-1, 0}, {2, 0}, {0, -1}, {0, 3}};
    for (const auto& [c, p] : outside) {
        sweep.setData(c, p, 9.0);
        EXPECT_DOUBLE_EQ(sweep.getData(c, p), 0.0) << c << "," << p;
    }
    EXPECT_EQ(sweep.getMask(-1), 0x80);
    EXPECT_EQ(sweep.getMask(3), 0x80);
    sweep.setMask(3, 0x20);
    EXPECT_EQ(sweep.getPointsValid(), 0);
}

TEST(ElecSweep, MaskCountsComputedPointsAndBoundsValidRange)
{
    nuSigma sigma;
    ElecSweep sweep(&sigma, 0x10, 2, 6, 0, 1, 0.2, 0, 1, 0, nullptr, nullptr, nullptr, true);
    EXPECT_EQ(sweep.getPosStart(), 0);  // none computed yet
    EXPECT_EQ(sweep.getPosEnd(), 5);
    sweep.setMask(2, 0xA0);
    sweep.setMask(4, 0x20);
    sweep.setMask(4, 0x20);  // a repeated call counts again
    sweep.setMask(5, 0x90);  // failed, not computed
    EXPECT_EQ(sweep.getPointsValid(), 3);
    EXPECT_EQ(sweep.getMask(2), 0xA0);
    EXPECT_EQ(sweep.getPosStart(), 2);
    EXPECT_EQ(sweep.getPosEnd(), 4);

    // A new set of arrays starts with no computed point.
    sweep.set(0x10, 2, 6, 0, 1, 0.2, 0, 1, 0, nullptr, nullptr, nullptr, true);
    EXPECT_EQ(sweep.getPointsValid(), 0);

    ElecSweep one(&sigma, 0x10, 2, 1, 0, 0, 0, 0, 1, 0, nullptr, nullptr, nullptr, true);
    one.setMask(0, 0x20);
    EXPECT_EQ(one.getPosStart(), 0);
    EXPECT_EQ(one.getPosEnd(), 0);
}

TEST(ElecSweep, StepFromRange)
{
    nuSigma sigma;
    struct {
        int points;
        double start, end, want;
    } cases[] = {
        {11, 0, 1, 0.1},
        {1, 0, 1, 0.0},
        {5, 0.5, 0.5, 0.0},
        {2, -1, 1, 2.0},
    };
    for (const auto& c : cases) {
        ElecSweep sweep(&sigma, 0x10, 1, c.points, c.start, c.end, 0, 0, 1, 0, nullptr, nullptr,
                        nullptr, false);
        EXPECT_DOUBLE_EQ(sweep.getStep(), c.want) << c.points;
    }
}

TEST(ElecSweep, PositionLimitsAndParameters)
{
    nuSigma sigma;
    ElecSweep sweep(&sigma, 0x10, 2, 3, 0, 1, 0.5, -5, 5, 0, nullptr, nullptr, nullptr, true);
    EXPECT_EQ(sweep.incPos(), 1);
    EXPECT_EQ(sweep.incPos(), 2);
    EXPECT_EQ(sweep.incPos(), 2);  // stays on the last point
    EXPECT_EQ(sweep.getPos(), 2);

    double low = 0, high = 0;
    int reached = 9;
    sweep.getLimit(&low, &high, &reached);
    EXPECT_DOUBLE_EQ(low, -5.0);
    EXPECT_DOUBLE_EQ(high, 5.0);
    EXPECT_EQ(reached, 0);
    EXPECT_FALSE(sweep.setLimit(0));
    EXPECT_FALSE(sweep.isLimitReached());
    EXPECT_TRUE(sweep.setLimit(-1));
    EXPECT_TRUE(sweep.isLowLimitReached());
    EXPECT_FALSE(sweep.isHighLimitReached());
    EXPECT_TRUE(sweep.setLimit(1));
    EXPECT_TRUE(sweep.isHighLimitReached());
    EXPECT_TRUE(sweep.isLimitReached());

    int index = 0;
    EXPECT_DOUBLE_EQ(sweep.getParam(11, &index), 0.0);
    EXPECT_EQ(index, -1);  // default beside every slot
    sweep.setParam(11, 2.5, 7);
    sweep.setParam(12, 9.0, 9);
    sweep.setParam(-1, 9.0, 9);
    EXPECT_DOUBLE_EQ(sweep.getParam(11, &index), 2.5);
    EXPECT_EQ(index, 7);
    index = 3;
    EXPECT_DOUBLE_EQ(sweep.getParam(12, &index), 0.0);
    EXPECT_EQ(index, 3);
    EXPECT_DOUBLE_EQ(sweep.getParam(11, nullptr), 2.5);
}

TEST(ElecSweep, DefaultsOfAnEmptyRecord)
{
    nuSigma sigma;
    ElecSweep sweep(&sigma);
    EXPECT_EQ(sweep.getType(), 0x10);
    EXPECT_EQ(sweep.getCount(), 2);
    EXPECT_EQ(sweep.getPoints(), 20);
    EXPECT_EQ(sweep.getPointsValid(), 0);
    EXPECT_EQ(sweep.getPos(), 0);
    EXPECT_DOUBLE_EQ(sweep.getStart(), 0.0);
    EXPECT_DOUBLE_EQ(sweep.getEnd(), 1.0);
    EXPECT_EQ(sweep.getPosL(), -1);
    EXPECT_FALSE(sweep.isAllocated());
    EXPECT_DOUBLE_EQ(sweep.getData(0, 0), 0.0);
    EXPECT_EQ(sweep.getMask(0), 0x80);
}

}  // namespace
