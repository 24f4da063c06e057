// The numbers of a chart's axes, apart from the drawing: the shown range,
// the tick values and their labels of a linear axis, the range and decade
// step of a logarithmic one. Any finite data gives finite ranges with a few
// ticks: a span too wide for a double (-1e308 .. 1e308) or too narrow to
// map onto pixels is drawn in units of a power of ten, and a log axis stays
// inside the decades a double holds.
#pragma once

#include <string>
#include <vector>

#include "PlotRecipe.h"

// The finite values of a series or an axis; empty while low > high.
struct ValueRange {
    double low = 1.0;
    double high = 0.0;
    bool empty() const { return !(low <= high); }
    void add(double value);  // ignores values that are not finite
};

// A linear axis. The chart draws every value divided by unit (a power of
// ten, 1 for everyday data), so that the drawn range and its span stay far
// from overflow; the labels name the values themselves.
struct LinearAxis {
    double unit = 1.0;
    double low = 0.0;  // shown range, in drawing units
    double high = 1.0;
    std::vector<double> ticks;        // tick positions, in drawing units
    std::vector<std::string> labels;  // one per tick: "0.2", "-150", "4.5×10⁻⁸"
};

// A logarithmic axis over positive values: range and step between labels
// (10, 100, 1000 ...).
struct LogAxis {
    double low = 1.0;
    double high = 10.0;
    double base = 10.0;
};

// The axes of a chart: x linear over the device or the sweep, exactly; y
// linear over the data or the chart's window, or logarithmic (y then has
// the unit 1 and log holds the range).
struct ChartAxes {
    LinearAxis x;
    LinearAxis y;
    LogAxis log;
};
ChartAxes PlotAxis_forChart(const PlotChart& chart);

// The axis over range: the data's span widened to the next labels, or
// exactly the span when tight (a position axis spans the device). An empty
// range gives 0 .. 1; a single value a span around it.
LinearAxis PlotAxis_linear(ValueRange range, bool tight);

// The log axis over the positive range (an empty or non-positive range
// gives 1 .. 10): at most twenty decades below the largest value, whole
// steps of the base around the data.
LogAxis PlotAxis_log(ValueRange range);

// The tick interval of a linear axis over a span: 1, 2 or 5 times a power
// of ten, at most six intervals.
double PlotAxis_tickStep(double span);

// The label of a tick at value on an axis of that step, both counted in
// units of 10^exponent: "0.2", "-150", "0", "4.5×10⁻⁸".
std::string PlotAxis_tickLabel(double value, double step, int exponent = 0);

// The decade step of a log axis over [low, high] (both positive) so that it
// carries at most about eight labels: 10, 100, 1000 ...
double PlotAxis_logBase(double low, double high);
