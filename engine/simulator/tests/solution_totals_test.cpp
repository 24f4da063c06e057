// The totals of a stored solution: space charges on either side of the
// depletion plane and the terminal current read on the edge of least
// cancellation.
#include <gtest/gtest.h>

#include "ekSolutionTotals.h"

namespace {

constexpr int POINTS = 4;
// Charge density of each point and the width of its control box.
constexpr double RHO[POINTS] = {3.0, -1.0, 2.0, -5.0};
constexpr double WIDTH[POINTS] = {0.5, 1.0, 1.0, 0.5};

void storeCharges(ekSolutionTotals& totals, int points)
{
    totals.begin();
    for (int k = 0; k < POINTS; ++k) {
        totals.addCharge(k, WIDTH[k], RHO[k], points);
    }
    totals.finish(points);
}

TEST(SolutionTotals, ChargesSplitBySignWithoutAPlaneAndBySideWithOne)
{
    struct Case {
        const char* name;
        int plane;
        int points;
        double plus;
        double minus;
    };
    // Without a plane: 1.5 + 2 and -1 - 2.5. Plane after point 1: the left
    // side holds 1.5 - 1 = 0.5, the right 2 - 2.5 = -0.5. A plane of a mesh
    // with fewer points (before a re-mesh) counts as none.
    const Case cases[] = {
        {"no plane", -1, POINTS, 3.5, -3.5},
        {"plane after point 1", 1, POINTS, 0.5, -0.5},
        {"plane of another mesh", 3, 3, 3.5, -3.5},
    };
    for (const Case& c : cases) {
        ekSolutionTotals totals;
        totals.depletionPlane = c.plane;
        storeCharges(totals, c.points);
        EXPECT_DOUBLE_EQ(totals.chargePlus, c.plus) << c.name;
        EXPECT_DOUBLE_EQ(totals.chargeMinus, c.minus) << c.name;
    }
}

TEST(SolutionTotals, ASecondStoreStartsItsSumsAfresh)
{
    ekSolutionTotals totals;
    storeCharges(totals, POINTS);
    storeCharges(totals, POINTS);
    EXPECT_DOUBLE_EQ(totals.chargePlus, 3.5);
    EXPECT_DOUBLE_EQ(totals.chargeMinus, -3.5);
}

TEST(SolutionTotals, TheTerminalCurrentIsTheEdgeOfLeastCancellation)
{
    ekSolutionTotals totals;
    totals.begin();
    totals.offerEdge(1.10, 40.0);
    totals.offerEdge(1.00, 2.0);  // least round-off: the one to keep
    totals.offerEdge(0.90, 7.0);
    totals.finish(POINTS);
    EXPECT_DOUBLE_EQ(totals.meanCurrent, 1.00);

    // The next solution forgets the edges of the last one, however small
    // their cancellation was.
    totals.begin();
    totals.offerEdge(-3.0, 50.0);
    totals.finish(POINTS);
    EXPECT_DOUBLE_EQ(totals.meanCurrent, -3.0);
}

TEST(SolutionTotals, TheEquilibriumIsKeptAndRestoredWithoutCurrent)
{
    ekSolutionTotals totals;
    storeCharges(totals, POINTS);
    totals.keepAsEquilibrium();
    totals.begin();
    totals.addCharge(0, 1.0, 9.0, POINTS);
    totals.offerEdge(4.0, 1.0);
    totals.finish(POINTS);
    ASSERT_DOUBLE_EQ(totals.chargePlus, 9.0);
    totals.restoreEquilibrium();
    EXPECT_DOUBLE_EQ(totals.chargePlus, 3.5);
    EXPECT_DOUBLE_EQ(totals.chargeMinus, -3.5);
    EXPECT_EQ(totals.meanCurrent, 0.0);
}

}  // namespace
