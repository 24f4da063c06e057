// The bracketing searches on the curves they serve: the zero and the
// largest power of an illuminated diode J = J0 (e^(V/Vt) - 1) - Jsc, whose
// open-circuit voltage is closed-form and whose maximum-power voltage
// solves (1 + V/Vt) e^(V/Vt) = 1 + Jsc/J0; a bracket that does not hold a
// zero, a function that fails and a maximum at the end of the interval.
#include <gtest/gtest.h>

#include <cmath>

#include "ekScalarSearch.h"

namespace {

constexpr double VT = 0.025852;
constexpr double J0 = 1e-12;

double diode(double V, double Jsc) { return J0 * std::expm1(V / VT) - Jsc; }

// Vmp from its own condition by bisection to round-off, independent of the
// search under test.
double maximumPowerVoltage(double Jsc)
{
    double lo = 0.0;
    double hi = VT * std::log1p(Jsc / J0);
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        ((1.0 + mid / VT) * std::exp(mid / VT) < 1.0 + Jsc / J0 ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

struct RootCase {
    const char* name;
    double Jsc;
    double a, b;  // the bracket
};

class DiodeRoot : public ::testing::TestWithParam<RootCase> {};

TEST_P(DiodeRoot, FindsTheOpenCircuitVoltageInFewEvaluations)
{
    const RootCase& c = GetParam();
    int evaluations = 0;
    auto f = [&](double V) {
        ++evaluations;
        return diode(V, c.Jsc);
    };
    const auto root = ek_findRoot(f, {c.a, diode(c.a, c.Jsc)}, {c.b, diode(c.b, c.Jsc)}, 1e-9, 60);
    ASSERT_TRUE(root.has_value());
    const double Voc = VT * std::log1p(c.Jsc / J0);
    EXPECT_NEAR(root->x, Voc, 1e-9);
    // A bracket of a few Vt on an exponential: far fewer solves than the
    // ~25 bisection would take.
    EXPECT_LE(evaluations, 15);
}

const RootCase ROOTS[] = {
    {"NarrowBracket", 0.03, 0.62, 0.63},
    {"WideBracket", 0.03, 0.4, 0.7},
    {"ReversedEnds", 0.03, 0.7, 0.4},
    {"WeakLight", 1e-6, 0.0, 0.5},
};

INSTANTIATE_TEST_SUITE_P(Brackets, DiodeRoot, ::testing::ValuesIn(ROOTS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScalarRoot, AnEndAtZeroIsTheRoot)
{
    int evaluations = 0;
    auto f = [&](double x) {
        ++evaluations;
        return x - 1.0;
    };
    const auto root = ek_findRoot(f, {1.0, 0.0}, {3.0, 2.0}, 1e-12, 20);
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(root->x, 1.0);
    EXPECT_EQ(evaluations, 0);
}

TEST(ScalarRoot, RefusesWhatItCannotBracketOrEvaluate)
{
    auto line = [](double x) { return x - 1.0; };
    // No sign change.
    EXPECT_FALSE(ek_findRoot(line, {2.0, 1.0}, {3.0, 2.0}, 1e-9, 50).has_value());
    // A failed evaluation ends the search.
    auto failing = [](double x) { return x > 0.5 ? std::nan("") : x - 1.0; };
    EXPECT_FALSE(ek_findRoot(failing, {0.0, -1.0}, {3.0, 2.0}, 1e-9, 50).has_value());
    // Too few evaluations to close the bracket.
    EXPECT_FALSE(ek_findRoot(line, {0.0, -1.0}, {3.0, 2.0}, 1e-12, 0).has_value());
}

struct MaxCase {
    const char* name;
    double Jsc;
    double a, b, start;  // interval and the inner point the search starts from
};

class DiodeMaximum : public ::testing::TestWithParam<MaxCase> {};

TEST_P(DiodeMaximum, FindsTheMaximumPowerPoint)
{
    const MaxCase& c = GetParam();
    int evaluations = 0;
    auto power = [&](double V) {
        ++evaluations;
        return -V * diode(V, c.Jsc);
    };
    const auto best =
        ek_findMaximum(power, c.a, c.b, {c.start, -c.start * diode(c.start, c.Jsc)}, 1e-7, 60);
    ASSERT_TRUE(best.has_value());
    const double Vmp = maximumPowerVoltage(c.Jsc);
    const double Pmax = -Vmp * diode(Vmp, c.Jsc);
    EXPECT_NEAR(best->x, Vmp, 1e-6);
    EXPECT_NEAR(best->f, Pmax, 1e-9 * Pmax);
    EXPECT_DOUBLE_EQ(best->f, power(best->x));
    EXPECT_LE(evaluations, 30);
}

const MaxCase MAXIMA[] = {
    {"AroundTheSample", 0.03, 0.4, 0.6, 0.5},
    {"SampleAtTheLowEnd", 0.03, 0.3, 0.7, 0.3},
    {"SampleAtTheHighEnd", 0.03, 0.2, 0.6, 0.6},
    {"WeakLight", 1e-6, 0.0, 0.4, 0.2},
};

INSTANTIATE_TEST_SUITE_P(Intervals, DiodeMaximum, ::testing::ValuesIn(MAXIMA),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScalarMaximum, AMaximumAtTheEndOfTheIntervalIsFoundThere)
{
    auto rising = [](double x) { return x * x; };
    const auto best = ek_findMaximum(rising, 0.0, 2.0, {1.0, 1.0}, 1e-8, 80);
    ASSERT_TRUE(best.has_value());
    EXPECT_NEAR(best->x, 2.0, 1e-7);
}

TEST(ScalarMaximum, RefusesAStartOutsideTheIntervalOrAFailedEvaluation)
{
    auto hill = [](double x) { return -(x - 1.0) * (x - 1.0); };
    EXPECT_FALSE(ek_findMaximum(hill, 0.0, 2.0, {3.0, -4.0}, 1e-8, 50).has_value());
    auto failing = [](double x) { return x > 0.5 ? std::nan("") : -(x - 1.0) * (x - 1.0); };
    EXPECT_FALSE(ek_findMaximum(failing, 0.0, 2.0, {0.2, -0.64}, 1e-8, 50).has_value());
}

}  // namespace
