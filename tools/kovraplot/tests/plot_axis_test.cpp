// The numbers of the axes: round steps and clean labels, and for any finite
// data a finite range with a few ticks, also at the edges of a double
// (-1e308 .. 1e308, 1e-320) where the span itself would overflow.
#include <gtest/gtest.h>

#include <cfloat>
#include <algorithm>
#include <cmath>
#include <limits>

#include "PlotAxis.h"

namespace {

const double INF = std::numeric_limits<double>::infinity();
const double NAN_VALUE = std::numeric_limits<double>::quiet_NaN();

ValueRange rangeOf(std::initializer_list<double> values)
{
    ValueRange range;
    for (double v : values) {
        range.add(v);
    }
    return range;
}

TEST(PlotAxis, LogAxisStepsKeepLabelsFew)
{
    EXPECT_EQ(PlotAxis_logBase(1e-3, 1e3), 10.0);
    EXPECT_EQ(PlotAxis_logBase(1.0, 1e16), 100.0);
    EXPECT_EQ(PlotAxis_logBase(1e-10, 1e20), 1e4);
    EXPECT_EQ(PlotAxis_logBase(0.0, 1.0), 10.0);
    EXPECT_EQ(PlotAxis_logBase(1.0, INF), 10.0);
    EXPECT_DOUBLE_EQ(PlotAxis_tickStep(100.6), 20.0);
    EXPECT_DOUBLE_EQ(PlotAxis_tickStep(0.7), 0.2);
    EXPECT_DOUBLE_EQ(PlotAxis_tickStep(0.03), 0.005);
    EXPECT_DOUBLE_EQ(PlotAxis_tickStep(6.0), 1.0);
    EXPECT_DOUBLE_EQ(PlotAxis_tickStep(INF), 1.0);
}

TEST(PlotAxis, TickLabelsReadCleanly)
{
    const struct {
        double value, step;
        int exponent;
        const char* label;
    } cases[] = {{-3 * 0.2 + 3 * 0.2, 0.2, 0, "0"},
                 {1e-17, 0.2, 0, "0"},
                 {-0.4, 0.2, 0, "-0.4"},
                 {0.6, 0.2, 0, "0.6"},
                 {100, 20, 0, "100"},
                 {4.5e-8, 5e-9, 0, "4.5×10⁻⁸"},
                 {3e15, 1e15, 0, "3×10¹⁵"},
                 {0.005, 0.005, 0, "0.005"},
                 {-2e-4, 1e-4, 0, "-2×10⁻⁴"},
                 // In units of a power of ten: the value the tick stands for.
                 {2, 1, 307, "2×10³⁰⁷"},
                 {-1.5, 0.5, 308, "-1.5×10³⁰⁸"},
                 {5, 5, -321, "5×10⁻³²¹"},
                 {0, 1, 308, "0"}};
    for (const auto& c : cases) {
        EXPECT_EQ(PlotAxis_tickLabel(c.value, c.step, c.exponent), c.label)
            << c.value << "e" << c.exponent;
    }
}

TEST(PlotAxis, EverydayDataKeepsItsValuesAndRoundTicks)
{
    const LinearAxis axis = PlotAxis_linear(rangeOf({-0.0294, 0.0015}), false);
    EXPECT_EQ(axis.unit, 1.0);
    EXPECT_DOUBLE_EQ(axis.low, -0.03);
    EXPECT_DOUBLE_EQ(axis.high, 0.01);
    EXPECT_EQ(axis.labels, (std::vector<std::string>{"-0.03", "-0.02", "-0.01", "0", "0.01"}));
    // A position axis spans exactly the device.
    const LinearAxis z = PlotAxis_linear(rangeOf({0.0, 2.37}), true);
    EXPECT_EQ(z.low, 0.0);
    EXPECT_EQ(z.high, 2.37);
    EXPECT_EQ(z.labels.back(), "2.0");
}

// Any finite data: a finite range and span holding the data, between two
// and a few dozen ticks inside it, labels without "inf" or "nan".
TEST(PlotAxis, ExtremeRangesStayFiniteWithFewTicks)
{
    const struct {
        const char* name;
        ValueRange range;
    } cases[] = {
        {"one J of 5e306", rangeOf({-0.02, 5e306})},
        {"-1e308 .. 1e308", rangeOf({-1e308, 1e308})},
        {"-DBL_MAX .. DBL_MAX", rangeOf({-DBL_MAX, DBL_MAX})},
        {"DBL_MAX alone", rangeOf({DBL_MAX})},
        {"-DBL_MAX alone", rangeOf({-DBL_MAX})},
        {"1e300 .. 1.000000001e300", rangeOf({1e300, 1.000000001e300})},
        {"denormals", rangeOf({-4.9e-324, 1e-320})},
        {"1e-200 .. 3e-200", rangeOf({1e-200, 3e-200})},
        {"all identical", rangeOf({0.7, 0.7, 0.7})},
        {"all zero", rangeOf({0.0, 0.0})},
        {"identical huge", rangeOf({-1e308, -1e308})},
        {"nearly identical", rangeOf({1.0, 1.0 + 1e-15})},
        {"large offset, small span", rangeOf({1e15, 1e15 + 1.0})},
        {"empty", ValueRange{}},
        {"only non-finite", rangeOf({INF, -INF, NAN_VALUE})},
        {"non-finite among finite", rangeOf({INF, 1.0, NAN_VALUE, 3.0})},
    };
    for (const auto& c : cases) {
        for (bool tight : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (tight ? " (tight)" : ""));
            const LinearAxis axis = PlotAxis_linear(c.range, tight);
            ASSERT_TRUE(std::isfinite(axis.unit) && axis.unit > 0.0);
            ASSERT_TRUE(std::isfinite(axis.low) && std::isfinite(axis.high));
            ASSERT_TRUE(std::isfinite(axis.high - axis.low));
            ASSERT_GT(axis.high, axis.low);
            // What a chart computes from the span (pixels per unit) is finite too.
            ASSERT_TRUE(std::isfinite(1000.0 / (axis.high - axis.low)));
            if (!c.range.empty()) {
                // Within a rounding of the span: -0.02 beside 5e306 is drawn at 0.
                const double slack = 1e-9 * (axis.high - axis.low);
                EXPECT_LE(axis.low, c.range.low / axis.unit + slack);
                EXPECT_GE(axis.high, c.range.high / axis.unit - slack);
            }
            ASSERT_EQ(axis.ticks.size(), axis.labels.size());
            EXPECT_GE(axis.ticks.size(), tight ? 1u : 2u);
            EXPECT_LE(axis.ticks.size(), 12u);
            for (size_t i = 0; i < axis.ticks.size(); ++i) {
                EXPECT_GE(axis.ticks[i], axis.low - 1e-9 * (axis.high - axis.low));
                EXPECT_LE(axis.ticks[i], axis.high + 1e-9 * (axis.high - axis.low));
                EXPECT_FALSE(axis.labels[i].empty());
                EXPECT_EQ(axis.labels[i].find("inf"), std::string::npos) << axis.labels[i];
                EXPECT_EQ(axis.labels[i].find("nan"), std::string::npos) << axis.labels[i];
            }
        }
    }
}

TEST(PlotAxis, HugeSpanIsLabelledWithTheValuesThemselves)
{
    const LinearAxis axis = PlotAxis_linear(rangeOf({-1e308, 1e308}), false);
    EXPECT_EQ(axis.unit, 1e308);
    EXPECT_EQ(axis.labels.front(), "-1.0×10³⁰⁸");
    EXPECT_EQ(axis.labels.back(), "1.0×10³⁰⁸");
    EXPECT_NE(std::find(axis.labels.begin(), axis.labels.end(), "0"), axis.labels.end());
}

TEST(PlotAxis, LogRangeStaysInsideTheDecadesOfADouble)
{
    const struct {
        const char* name;
        ValueRange range;
    } cases[] = {
        {"|J| up to 5e306", rangeOf({1e-12, 5e306})},
        {"DBL_MAX", rangeOf({1.0, DBL_MAX})},
        {"DBL_MAX alone", rangeOf({DBL_MAX})},
        {"denormal", rangeOf({4.9e-324, 1e-320})},
        {"one value", rangeOf({3e15})},
        {"densities", rangeOf({46.1, 1e18})},
        {"empty", ValueRange{}},
        {"non-positive", rangeOf({-5.0, 0.0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LogAxis axis = PlotAxis_log(c.range);
        ASSERT_TRUE(std::isfinite(axis.low) && std::isfinite(axis.high));
        ASSERT_GT(axis.low, 0.0);
        ASSERT_GT(axis.high, axis.low);
        ASSERT_TRUE(std::isfinite(axis.base) && axis.base >= 10.0);
        // At most about eight labels over the range.
        EXPECT_LE(std::log10(axis.high / axis.low) / std::log10(axis.base), 10.0);
        if (!c.range.empty() && c.range.low > 0.0 && c.range.high >= 1e-300) {
            EXPECT_GE(axis.high, c.range.high * (1 - 1e-15));
            EXPECT_LE(axis.low, c.range.high);
        }
    }
    const LogAxis densities = PlotAxis_log(rangeOf({46.1, 1e18}));
    EXPECT_EQ(densities.low, 1.0);
    EXPECT_EQ(densities.high, 1e18);
    EXPECT_EQ(densities.base, 1000.0);
}

}  // namespace
