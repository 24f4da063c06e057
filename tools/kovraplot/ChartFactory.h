// Turns a chart description into a Qt chart view: line series with a
// palette that prints well, axes titled with their units, readable ticks,
// and a logarithmic axis with whole decades where the description asks.
#pragma once

#include <QtCharts/QChartView>

#include <string>

#include "PlotSpec.h"

QChartView* ChartFactory_create(const PlotChart& chart, QWidget* parent = nullptr);

// The tick interval of a linear axis over a span: 1, 2 or 5 times a power
// of ten, at most six intervals.
double ChartFactory_tickStep(double span);

// The label of a tick at value on an axis of that step: "0.2", "-150", "0",
// "4.5×10⁻⁸".
std::string ChartFactory_tickLabel(double value, double step);

// The decade step of a log axis over [low, high] (both positive) so that it
// carries at most about eight labels: 10, 100, 1000 ...
double ChartFactory_logBase(double low, double high);
