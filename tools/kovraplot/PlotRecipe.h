// What the plot tool draws for each kind of result, apart from the drawing:
// the charts of a tab, their titles, axis names with units from the file's
// column titles, the series and the derived ones (|J|, 1/C^2), and which
// axes are logarithmic. The window turns these into Qt charts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ResultFile.h"

struct PlotSeries {
    std::string name;  // legend text
    std::vector<double> x;
    std::vector<double> y;
    bool dashed = false;
};

struct PlotChart {
    std::string title;
    std::string xTitle;  // "Voltage (V)"
    std::string yTitle;  // "J (A/cm²)"
    bool logY = false;   // a log axis holds only positive, finite values
    std::vector<PlotSeries> series;
    // A value range chosen for the reader in place of the data's span (the
    // part of a J-V curve under light that holds Jsc, Voc and the fill
    // factor, when the forward current would squeeze it flat).
    bool yWindow = false;
    double yLow = 0.0;
    double yHigh = 0.0;
};

struct PlotTab {
    std::string title;  // tab caption: "J-V (light)", "Band diagram (equilibrium)"
    std::string path;   // the file drawn
    std::vector<PlotChart> charts;
    std::vector<std::string> notes;  // lines of named figures shown beside the charts
};

// The unit as a report prints it: "A/cm2" -> "A/cm²", "um" -> "µm".
std::string PlotRecipe_prettyUnit(std::string_view unit);

// "Voltage (V)" from a column; "EQE" alone when the column has no unit.
std::string PlotRecipe_axisTitle(const ResultColumn& column);

// The tab for one result file; a file of named figures only gives a tab of
// notes without charts.
PlotTab PlotRecipe_forTable(const ResultTable& table);

// The note for values of a file left out of its charts: "3 values are not
// finite numbers (inf, nan) and are not drawn".
std::string PlotRecipe_nonFiniteNote(size_t count);

// The note for a column's negative values left out of a log-scale chart:
// "n: 3 negative values are not drawn on the log scale".
std::string PlotRecipe_negativeNote(const std::string& column, size_t count);

// The named figures as lines: "Eff = 14.3186 %".
std::vector<std::string> PlotRecipe_figureLines(const ResultTable& table);
