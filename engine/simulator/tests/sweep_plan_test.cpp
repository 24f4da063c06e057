// The road of a bias sweep, read from its shape alone: ramps towards a far
// first point, the two halves of a sweep across 0 V with the equilibrium
// laid back between them, the derivative points of a dark crossing, and the
// rows filled without a solve. Voltages are in Vt.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ekSweepPlan.h"

namespace {

// The plan as one line, e.g. "announce | start 0.4 | ramp 0.4..2.6/0.4 | range 0..0".
std::string describe(const std::vector<ekSweepSegment>& plan)
{
    std::ostringstream out;
    for (size_t i = 0; i < plan.size(); ++i) {
        const ekSweepSegment& s = plan[i];
        out << (i > 0 ? " | " : "");
        switch (s.kind) {
        case ekSweepStep::Derivatives: out << "derivatives " << s.step; break;
        case ekSweepStep::Announce: out << "announce"; break;
        case ekSweepStep::Start: out << "start " << s.from; break;
        case ekSweepStep::Ramp: out << "ramp " << s.from << ".." << s.to << "/" << s.step; break;
        case ekSweepStep::Range: out << "range " << s.first << ".." << s.last; break;
        case ekSweepStep::RestoreEquilibrium: out << "restore"; break;
        case ekSweepStep::ZeroRowLit: out << "zero-lit " << s.first; break;
        case ekSweepStep::ZeroRowDark: out << "zero-dark " << s.first; break;
        case ekSweepStep::EquilibriumRow: out << "equilibrium-row " << s.first; break;
        }
    }
    return out.str();
}

ekSweepShape onePoint(double bias, bool dark)
{
    ekSweepShape shape;
    shape.S = shape.E = bias;
    shape.dark = dark;
    if (bias < 0.0) {
        shape.posL = 0;
    } else if (bias > 0.0) {
        shape.posR = 0;
    } else {
        shape.posC = 0;
    }
    return shape;
}

// A uniform sweep from S by d over the given number of points, with its
// zero crossing worked out as the sweep record does.
ekSweepShape uniform(double S, double d, int points, bool dark)
{
    ekSweepShape shape;
    shape.points = points;
    shape.S = S;
    shape.E = S + d * (points - 1);
    shape.d = d;
    shape.dark = dark;
    for (int i = 0; i < points; ++i) {
        const double v = S + d * i;
        if (v < -1e-12) {
            shape.posL = i;
        } else if (v <= 1e-12 && shape.posC < 0) {
            shape.posC = i;
        } else if (v > 1e-12 && shape.posR < 0) {
            shape.posR = i;
        }
    }
    return shape;
}

struct PlanCase {
    const char* name;
    ekSweepShape shape;
    const char* plan;
};

TEST(SweepPlan, EachShapeTakesItsRoad)
{
    ekSweepShape roundedZero = uniform(-5.0, 1.0, 10, true);  // points -5..4, 0 V at index 5
    roundedZero.posC = -1;                                    // a bias file's 1e-6 V
    roundedZero.posR = 5;
    roundedZero.posRAtZero = true;
    ekSweepShape noZero = uniform(-4.5, 1.0, 10, true);      // -4.5..4.5: no 0 V point
    ekSweepShape endsAtZero = uniform(-5.0, 0.5, 11, true);  // -5..0
    // A bias file's uneven voltages: the walks go to them, not to the
    // uniform grid of its first step.
    ekSweepShape fileShape = uniform(-4.0, 1.0, 5, false);
    fileShape.biases = {-4.0, -3.0, -0.25, 3.0, 6.0};
    fileShape.E = 6.0;
    fileShape.posL = 2;
    fileShape.posC = -1;
    fileShape.posR = 3;

    const PlanCase cases[] = {
        {"one point near 0 V under light", onePoint(0.0, false), "announce | start 0 | range 0..0"},
        {"one point within a Vt of 0 V", onePoint(-0.8, true),
         "announce | start -0.8 | range 0..0"},
        {"one point far above 0 V", onePoint(3.0, true),
         "announce | start 0.4 | ramp 0.4..2.6/0.4 | range 0..0"},
        {"one point far below 0 V", onePoint(-2.0, false),
         "announce | start -0.4 | ramp -0.4..-1.6/0.4 | range 0..0"},
        {"one point whose ramp would be shorter than a step", onePoint(1.1, true),
         "announce | start 1.1 | range 0..0"},
        {"dark crossing with a 0 V point", uniform(-5.0, 0.5, 21, true),
         "derivatives 0.05 | restore | announce | range 9..0 | restore | range 11..20 | "
         "zero-dark 10"},
        {"lit crossing with a 0 V point", uniform(-5.0, 0.5, 21, false),
         "announce | range 10..0 | restore | range 10..20 | zero-lit 10"},
        {"dark crossing without a 0 V point", noZero,
         "derivatives 0.1 | restore | announce | range 4..0 | restore | range 5..9"},
        // Under light each half starts from the solved 0 V state under
        // light, walked from 0 V to its first point, never from the dark
        // equilibrium with the light and a whole step at once.
        {"lit crossing without a 0 V point", uniform(-4.5, 1.0, 10, false),
         "announce | ramp 0..-0.5/0.4 | range 4..0 | restore | ramp 0..0.5/0.4 | range 5..9"},
        {"lit crossing whose upper half is one far point", uniform(-8.5, 2.0, 6, false),
         "announce | ramp 0..-0.5/0.4 | range 4..0 | restore | ramp 0..1.5/0.4 | range 5..5"},
        // In the dark only a first point further than a Vt is walked to.
        {"dark crossing whose upper half is one far point", uniform(-8.5, 2.0, 6, true),
         "derivatives 0.2 | restore | announce | range 4..0 | restore | ramp 0..1.5/0.4 | "
         "range 5..5"},
        {"bias file crossing 0 V, walked to its own voltages", fileShape,
         "announce | ramp 0..-0.25/0.4 | range 2..0 | restore | ramp 0..3/0.4 | range 3..4"},
        {"dark crossing that ends at 0 V", endsAtZero,
         "derivatives 0.05 | restore | announce | range 9..0 | restore | zero-dark 10"},
        {"dark crossing whose 0 V point is a rounding above 0 V", roundedZero,
         "derivatives 0.1 | restore | announce | range 4..0 | restore | range 6..9 | zero-dark 5"},
        {"all below 0 V, the nearest point within a Vt", uniform(-4.5, 0.5, 9, true),
         "announce | start -0.5 | range 8..0"},
        {"all below 0 V, the nearest point far", uniform(-10.0, 1.0, 9, false),
         "announce | start -1 | ramp -1..-2/1 | range 8..0"},
        {"all above 0 V, the first point within a Vt", uniform(0.5, 0.5, 9, false),
         "announce | start 0.5 | range 0..8"},
        {"all above 0 V, the first point far", uniform(3.0, 1.0, 8, true),
         "announce | start 1 | ramp 1..3/1 | range 0..7"},
        {"from 0 V in the dark", uniform(0.0, 0.5, 9, true),
         "announce | start 0 | equilibrium-row 0 | range 1..8"},
        {"from 0 V under light", uniform(0.0, 0.5, 9, false), "announce | start 0 | range 0..8"},
    };
    for (const PlanCase& c : cases) {
        EXPECT_EQ(describe(ekPlanSweep(c.shape)), c.plan) << c.name;
    }
}

TEST(SweepPlan, DerivativeStepIsATenthOfTheSweepStepWithinItsBounds)
{
    // 0.1 d, but never below the equilibrium threshold nor above one Vt.
    const struct {
        double d;
        double delta;
    } cases[] = {{0.5, 0.05}, {0.004, 0.001}, {2.5, 0.25}, {15.0, 1.0}};
    for (const auto& c : cases) {
        const std::vector<ekSweepSegment> plan = ekPlanSweep(uniform(-4.0 * c.d, c.d, 9, true));
        ASSERT_FALSE(plan.empty());
        ASSERT_EQ(plan.front().kind, ekSweepStep::Derivatives) << c.d;
        EXPECT_DOUBLE_EQ(plan.front().step, c.delta) << c.d;
    }
}

TEST(SweepPlan, CrossingWithoutAnyPointNearZeroSolvesNothing)
{
    // A crossing sweep whose zero positions are missing (none of them on
    // the sweep) has no half to run: only what comes before the halves.
    ekSweepShape shape = uniform(-2.0, 1.0, 5, true);
    shape.posL = shape.posC = shape.posR = -1;
    EXPECT_EQ(describe(ekPlanSweep(shape)), "derivatives 0.1 | restore | announce");
}

}  // namespace
