// Axis ranges, ticks and labels.
#include "PlotAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Values drawn as they are: a chart maps a value to pixels through the span
// of its axis, so spans beyond these magnitudes are drawn in units of a
// power of ten instead (the map would overflow, or divide by a span that
// rounds to nothing).
constexpr double PLAIN_LARGEST = 1e100;
constexpr double PLAIN_SMALLEST = 1e-100;

// A relative span below this is a constant series (a chart takes two ends
// closer than about 1e-12 of their size for one).
constexpr double FLAT_SPAN = 1e-9;

// The most ticks an axis ever gets; the step gives about six.
constexpr int MOST_TICKS = 64;

// The decades a log axis may reach: 1e308 is the largest power of ten a
// double holds, 1e-307 the smallest at full precision.
constexpr int HIGHEST_DECADE = 308;
constexpr int LOWEST_DECADE = -307;

// Twenty decades below the largest value are plenty: a density that falls
// to 1e-22 at a wide-gap contact would squeeze everything else.
constexpr double LOG_DEPTH = 1e-20;

// The power of ten whose unit keeps the values of magnitude near 1.
int drawingExponent(double magnitude)
{
    if (magnitude > PLAIN_LARGEST || (magnitude > 0.0 && magnitude < PLAIN_SMALLEST)) {
        // 1e-320 is the smallest power of ten a double holds (denormal).
        return std::clamp(static_cast<int>(std::floor(std::log10(magnitude))), -320, 308);
    }
    return 0;
}

ValueRange rangeOf(const PlotChart& chart, bool yAxis)
{
    ValueRange r;
    for (const PlotSeries& s : chart.series) {
        for (double v : yAxis ? s.y : s.x) {
            r.add(v);
        }
    }
    return r;
}

}  // namespace

void ValueRange::add(double value)
{
    if (!std::isfinite(value)) {
        return;
    }
    if (empty()) {
        low = high = value;
    } else {
        low = std::min(low, value);
        high = std::max(high, value);
    }
}

ChartAxes PlotAxis_forChart(const PlotChart& chart)
{
    ChartAxes axes;
    axes.x = PlotAxis_linear(rangeOf(chart, false), true);
    if (chart.logY) {
        axes.log = PlotAxis_log(rangeOf(chart, true));
    } else {
        axes.y = PlotAxis_linear(
            chart.yWindow ? ValueRange{chart.yLow, chart.yHigh} : rangeOf(chart, true), false);
    }
    return axes;
}

LinearAxis PlotAxis_linear(ValueRange range, bool tight)
{
    LinearAxis axis;
    if (range.empty() || !std::isfinite(range.low) || !std::isfinite(range.high)) {
        range = {0.0, 1.0};
    }
    const int exponent = drawingExponent(std::max(std::fabs(range.low), std::fabs(range.high)));
    axis.unit = std::pow(10.0, exponent);
    double low = range.low / axis.unit;
    double high = range.high / axis.unit;
    const double size = std::max(std::fabs(low), std::fabs(high));
    if (high - low <= size * FLAT_SPAN) {
        // A constant series (a flat potential, a zero field) still needs a span.
        const double pad = size == 0.0 ? 1.0 : size * 0.1;
        low -= pad;
        high += pad;
    }
    const double step = PlotAxis_tickStep(high - low);
    if (!tight) {
        low = std::floor(low / step + 1e-9) * step;
        high = std::ceil(high / step - 1e-9) * step;
    }
    axis.low = low;
    axis.high = high;
    // Each tick is computed on its own from its index, so a zero reads "0",
    // never a rounding remainder such as -5.6e-17.
    const double first = std::ceil(low / step - 1e-9);
    const double last = std::floor(high / step + 1e-9);
    for (double k = first; k <= last && axis.ticks.size() < MOST_TICKS; k += 1.0) {
        axis.ticks.push_back(k * step);
        axis.labels.push_back(PlotAxis_tickLabel(k * step, step, exponent));
    }
    return axis;
}

LogAxis PlotAxis_log(ValueRange range)
{
    LogAxis axis;
    if (range.empty() || !(range.low > 0.0) || !std::isfinite(range.high)) {
        return axis;
    }
    const double low = std::max(range.low, range.high * LOG_DEPTH);
    axis.base = PlotAxis_logBase(low, range.high);
    const int decades = static_cast<int>(std::lround(std::log10(axis.base)));
    // Whole steps of the base around the data, so that labels are round,
    // kept inside the decades a double holds.
    int lowDecade = static_cast<int>(std::floor(std::log10(low) / decades)) * decades;
    int highDecade = static_cast<int>(std::ceil(std::log10(range.high) / decades)) * decades;
    if (highDecade <= lowDecade) {
        highDecade = lowDecade + decades;
    }
    // Above 1e308 the next decade is no double: the axis ends at the
    // largest double instead.
    const bool beyond = highDecade > HIGHEST_DECADE;
    highDecade = std::min(highDecade, HIGHEST_DECADE);
    lowDecade = std::clamp(lowDecade, LOWEST_DECADE, highDecade - 1);
    axis.low = std::pow(10.0, lowDecade);
    axis.high = beyond ? std::numeric_limits<double>::max() : std::pow(10.0, highDecade);
    return axis;
}

std::string PlotAxis_tickLabel(double value, double step, int exponent)
{
    if (value == 0.0 || std::fabs(value) < step * 1e-6) {
        return "0";
    }
    const int valueDecade = static_cast<int>(std::floor(std::log10(std::fabs(value)) + 1e-9));
    const int stepDecade = static_cast<int>(std::floor(std::log10(step) + 1e-9)) + exponent;
    const int decade = valueDecade + exponent;
    char text[64];
    if (decade >= -3 && decade < 5) {
        std::snprintf(text, sizeof text, "%.*f", std::max(0, -stepDecade),
                      value * std::pow(10.0, exponent));
        return text;
    }
    // Large and small values as a mantissa times a power of ten.
    static const char* const SUPERSCRIPT[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::snprintf(text, sizeof text, "%.*f", std::max(0, decade - stepDecade),
                  value / std::pow(10.0, valueDecade));
    std::string label = std::string(text) + "×10";
    if (decade < 0) {
        label += "⁻";
    }
    for (char digit : std::to_string(std::abs(decade))) {
        label += SUPERSCRIPT[digit - '0'];
    }
    return label;
}

double PlotAxis_tickStep(double span)
{
    if (!(span > 0.0) || !std::isfinite(span)) {
        return 1.0;
    }
    // 1, 2 or 5 times a power of ten, giving at most six intervals.
    const double magnitude = std::pow(10.0, std::floor(std::log10(span / 6.0)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (span / (factor * magnitude) <= 6.0 + 1e-9) {
            return factor * magnitude;
        }
    }
    return 10.0 * magnitude;
}

double PlotAxis_logBase(double low, double high)
{
    if (!(low > 0.0) || !(high > low) || !std::isfinite(high)) {
        return 10.0;
    }
    const double decades = std::log10(high) - std::log10(low);
    const int step = std::max(1, static_cast<int>(std::ceil(decades / 8.0)));
    return std::pow(10.0, step);
}
