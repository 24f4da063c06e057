// Turns a chart description into a Qt chart view: line series with a
// palette that prints well, axes titled with their units, readable ticks,
// and a logarithmic axis with whole decades where the description asks
// (the numbers of both come from PlotAxis).
#pragma once

#include <QtCharts/QChartView>

#include <string>

#include "PlotRecipe.h"

QChartView* ChartFactory_create(const PlotChart& chart, QWidget* parent = nullptr);
