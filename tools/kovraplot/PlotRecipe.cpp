// Charts for each kind of result file.
#include "PlotRecipe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Replaces the unit symbol only where it stands as a word ("um", not "sum").
void replaceWord(std::string& text, std::string_view from, std::string_view to)
{
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + 1)) {
        const bool before = pos > 0 && isWordChar(text[pos - 1]);
        const bool after = pos + from.size() < text.size() && isWordChar(text[pos + from.size()]);
        if (!before && !after) {
            text.replace(pos, from.size(), to);
        }
    }
}

// Long names of the engine's column names, for legends.
std::string describe(const std::string& name)
{
    static const struct {
        const char* name;
        const char* text;
    } names[] = {
        {"Fn", "Fn (electrons)"},         {"Fp", "Fp (holes)"},
        {"Nax", "Na⁻ (ionised)"},         {"Ndx", "Nd⁺ (ionised)"},
        {"Ntax", "Nt⁻ (acceptor traps)"}, {"Ntdx", "Nt⁺ (donor traps)"},
        {"En", "En (electrons)"},         {"Ep", "Ep (holes)"},
        {"EQE", "External QE"},           {"IQE", "Internal QE"},
    };
    for (const auto& entry : names) {
        if (name == entry.name) {
            return entry.text;
        }
    }
    return name;
}

const std::vector<double>* columnOf(const ResultTable& table, size_t index)
{
    return index < table.values.size() ? &table.values[index] : nullptr;
}

// A series of y(x), leaving out points a log axis cannot show.
PlotSeries makeSeries(const std::string& name, const std::vector<double>& x,
                      const std::vector<double>& y, bool logY, bool absolute = false)
{
    PlotSeries series;
    series.name = name;
    for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
        const double value = absolute ? std::fabs(y[i]) : y[i];
        if (!std::isfinite(x[i]) || !std::isfinite(value) || (logY && value <= 0.0)) {
            continue;
        }
        series.x.push_back(x[i]);
        series.y.push_back(value);
    }
    return series;
}

bool hasPositive(const std::vector<double>& values)
{
    for (double v : values) {
        if (std::isfinite(v) && v > 0.0) {
            return true;
        }
    }
    return false;
}

std::string withDevice(const std::string& title, const ResultTable& table)
{
    return table.deviceName.empty() ? title : title + " — " + table.deviceName;
}

// Under light the curve runs through the power quadrant, where V and J have
// opposite signs and the cell delivers power: at positive bias for a cell
// whose p side is the anode, at negative bias for one whose n side is. The
// sign of J there is that of the photocurrent; 0 for a dark curve. Points
// whose |J| is lost below the largest current (a dark curve written with
// J = 1e-15 at 0.01 V) do not count.
int photocurrentSign(const PlotSeries& jv)
{
    double largest = 0.0;
    for (double j : jv.y) {
        largest = std::max(largest, std::fabs(j));
    }
    double photocurrent = 0.0;
    for (size_t i = 0; i < jv.x.size(); ++i) {
        const double v = jv.x[i], j = jv.y[i];
        const bool delivers =
            (v > 0.0 && j < 0.0) || (v < 0.0 && j > 0.0) || (v == 0.0 && j != 0.0);
        if (delivers && std::fabs(j) > largest * 1e-6 && std::fabs(j) > std::fabs(photocurrent)) {
            photocurrent = j;
        }
    }
    return photocurrent < 0.0 ? -1 : photocurrent > 0.0 ? 1 : 0;
}

void jvCharts(const ResultTable& table, PlotTab& tab)
{
    tab.title = "J-V";
    const auto* v = columnOf(table, 0);
    const auto* j = columnOf(table, 1);
    if (v == nullptr || j == nullptr) {
        return;
    }
    const ResultColumn& jc = table.columns[1];
    PlotChart linear{withDevice("J-V characteristic", table),
                     PlotRecipe_axisTitle(table.columns[0]),
                     PlotRecipe_axisTitle(jc),
                     false,
                     {makeSeries(jc.name, *v, *j, false)}};
    const int sign = photocurrentSign(linear.series[0]);
    tab.title = sign != 0 ? "J-V (light)" : "J-V (dark)";
    // Under light a forward current many times Jsc would leave the power
    // quadrant a flat line, so the linear plot shows -Jsc to +Jsc with a
    // margin, whichever sign the photocurrent has (the log plot keeps the
    // whole span).
    double photocurrent = 0.0, forward = 0.0;
    for (double value : linear.series[0].y) {
        double& side = (value > 0.0) == (sign > 0) ? photocurrent : forward;
        side = std::max(side, std::fabs(value));
    }
    if (sign != 0 && forward > 5.0 * photocurrent) {
        linear.yWindow = true;
        linear.yLow = -1.2 * photocurrent;
        linear.yHigh = 1.2 * photocurrent;
        linear.title += " (around Jsc)";
    }
    ResultColumn absolute = jc;
    absolute.name = "|" + jc.name + "|";
    PlotChart log{"Current density magnitude (log scale)",
                  PlotRecipe_axisTitle(table.columns[0]),
                  PlotRecipe_axisTitle(absolute),
                  true,
                  {makeSeries(absolute.name, *v, *j, true, true)}};
    tab.charts = {linear, log};
}

void cvCharts(const ResultTable& table, PlotTab& tab)
{
    tab.title = "C-V";
    const int c = table.columnIndex("C") >= 0 ? table.columnIndex("C")
                                              : static_cast<int>(table.columns.size()) - 1;
    const auto* v = columnOf(table, 0);
    if (v == nullptr || c < 1) {
        return;
    }
    const ResultColumn& cc = table.columns[static_cast<size_t>(c)];
    const std::vector<double>& cap = table.values[static_cast<size_t>(c)];
    PlotChart capacitance{withDevice("Capacitance-voltage characteristic", table),
                          PlotRecipe_axisTitle(table.columns[0]),
                          PlotRecipe_axisTitle(cc),
                          false,
                          {makeSeries(cc.name, *v, cap, false)}};
    // 1/C^2 against V is the Mott-Schottky plot: a straight line whose slope
    // gives the doping and whose intercept the built-in voltage.
    std::vector<double> inverse(cap.size());
    for (size_t i = 0; i < cap.size(); ++i) {
        inverse[i] = cap[i] != 0.0 ? 1.0 / (cap[i] * cap[i]) : NAN;
    }
    ResultColumn ic;
    ic.name = "1/" + cc.name + "²";
    if (cc.unit == "F/cm2") {
        ic.unit = "cm4/F2";
    } else if (!cc.unit.empty()) {
        ic.unit = "1/(" + cc.unit + ")2";
    }
    PlotChart mott{"Mott-Schottky plot",
                   PlotRecipe_axisTitle(table.columns[0]),
                   PlotRecipe_axisTitle(ic),
                   false,
                   {makeSeries(ic.name, *v, inverse, false)}};
    tab.charts = {capacitance, mott};
}

void qwCharts(const ResultTable& table, PlotTab& tab)
{
    tab.title = "EQE / IQE";
    const auto* wl = columnOf(table, 0);
    if (wl == nullptr) {
        return;
    }
    PlotChart chart{withDevice("Quantum efficiency", table),
                    PlotRecipe_axisTitle(table.columns[0]),
                    "Quantum efficiency",
                    false,
                    {}};
    for (size_t c = 1; c < table.columns.size(); ++c) {
        chart.series.push_back(
            makeSeries(describe(table.columns[c].name), *wl, table.values[c], false));
    }
    tab.charts = {chart};
}

// How many finite values below zero the values hold.
size_t negativeCount(const std::vector<double>& values)
{
    return static_cast<size_t>(std::count_if(values.begin(), values.end(),
                                             [](double v) { return std::isfinite(v) && v < 0.0; }));
}

// Adds y(z) series of the named columns that exist; the axis title is the
// given quantity with the unit of the first column found. On a log axis,
// negative values (a density the solver left below zero) cannot be drawn:
// each column that holds some gets a note, as they are not drawn.
PlotChart distChart(const ResultTable& table, const std::string& title, const std::string& quantity,
                    std::initializer_list<const char*> names, bool logY,
                    std::vector<std::string>& notes)
{
    PlotChart chart{title, PlotRecipe_axisTitle(table.columns[0]), quantity, logY, {}};
    std::string unit;
    for (const char* name : names) {
        const int c = table.columnIndex(name);
        if (c < 1) {
            continue;
        }
        const auto& values = table.values[static_cast<size_t>(c)];
        if (const size_t negative = logY ? negativeCount(values) : 0) {
            notes.push_back(PlotRecipe_negativeNote(name, negative));
        }
        // A density that is zero everywhere (no traps, no acceptors in the
        // device) has no place on a log axis.
        if (logY && !hasPositive(values)) {
            continue;
        }
        if (unit.empty()) {
            unit = table.columns[static_cast<size_t>(c)].unit;
        }
        PlotSeries series = makeSeries(describe(name), table.values[0], values, logY);
        series.dashed = std::string_view(name).substr(0, 1) == "N";
        chart.series.push_back(std::move(series));
    }
    if (!unit.empty()) {
        chart.yTitle += " (" + PlotRecipe_prettyUnit(unit) + ")";
    }
    return chart;
}

void distCharts(const ResultTable& table, PlotTab& tab)
{
    if (table.kind == ResultKind::EE) {
        tab.title = "Band diagram (equilibrium)";
    } else {
        tab.title = "Band diagram";
        const auto* v =
            table.state.find("Voltage = ") != std::string::npos ? &table.state : nullptr;
        if (v != nullptr) {
            const size_t start = v->find("Voltage = ") + 10;
            const size_t end = v->find(" V", start);
            if (end != std::string::npos) {
                tab.title += " (V = " + v->substr(start, end - start) + " V)";
            }
        }
    }
    if (table.columns.empty()) {
        return;
    }
    tab.charts.push_back(distChart(table, withDevice("Band diagram", table), "Energy",
                                   {"EC", "EV", "Fn", "Fp"}, false, tab.notes));
    tab.charts.push_back(distChart(table, "Carrier and ionised dopant densities", "Density",
                                   {"n", "p", "Nax", "Ndx", "Ntax", "Ntdx"}, true, tab.notes));
    tab.charts.push_back(
        distChart(table, "Electric field", "Field", {"En", "Ep"}, false, tab.notes));
    tab.charts.push_back(
        distChart(table, "Electrostatic potential", "Potential", {"V"}, false, tab.notes));
}

void genericCharts(const ResultTable& table, PlotTab& tab)
{
    if (table.columns.size() < 2) {
        return;
    }
    for (size_t c = 1; c < table.columns.size(); ++c) {
        tab.charts.push_back(
            {table.columns[c].name,
             PlotRecipe_axisTitle(table.columns[0]),
             PlotRecipe_axisTitle(table.columns[c]),
             false,
             {makeSeries(table.columns[c].name, table.values[0], table.values[c], false)}});
        if (tab.charts.size() == 4) {
            break;  // a generic file shows its first columns; the rest would be unreadable
        }
    }
}

}  // namespace

std::string PlotRecipe_prettyUnit(std::string_view unit)
{
    std::string text(unit);
    replaceAll(text, "Ohms.cm2", "Ω·cm²");
    replaceAll(text, "cm2", "cm²");
    replaceAll(text, "cm3", "cm³");
    replaceAll(text, "cm4", "cm⁴");
    replaceAll(text, "F2", "F²");
    replaceAll(text, ")2", ")²");
    replaceWord(text, "um", "µm");
    return text;
}

std::string PlotRecipe_axisTitle(const ResultColumn& column)
{
    if (column.unit.empty()) {
        return column.name;
    }
    return column.name + " (" + PlotRecipe_prettyUnit(column.unit) + ")";
}

std::string PlotRecipe_nonFiniteNote(size_t count)
{
    return count == 1 ? "1 value is not a finite number (inf, nan) and is not drawn"
                      : std::to_string(count) +
                            " values are not finite numbers (inf, nan) and are not drawn";
}

std::string PlotRecipe_negativeNote(const std::string& column, size_t count)
{
    return column + ": " +
           (count == 1 ? "1 negative value is" : std::to_string(count) + " negative values are") +
           " not drawn on the log scale";
}

std::vector<std::string> PlotRecipe_figureLines(const ResultTable& table)
{
    std::vector<std::string> lines;
    for (const ResultFigure& f : table.figures) {
        char number[64];
        std::snprintf(number, sizeof number, "%.6g", f.value);
        std::string line = f.name + " = " + number;
        if (!f.unit.empty()) {
            line += ' ';
            line += PlotRecipe_prettyUnit(f.unit);
        }
        lines.push_back(line);
    }
    return lines;
}

PlotTab PlotRecipe_forTable(const ResultTable& table)
{
    PlotTab tab;
    tab.path = table.path;
    switch (table.kind) {
    case ResultKind::JV: jvCharts(table, tab); break;
    case ResultKind::CV: cvCharts(table, tab); break;
    case ResultKind::QW: qwCharts(table, tab); break;
    case ResultKind::EE:
    case ResultKind::EN: distCharts(table, tab); break;
    case ResultKind::PHOTOVOLTAIC: tab.title = "Photovoltaic figures"; break;
    case ResultKind::PHOTOCURRENT: tab.title = "Photocurrent"; break;
    case ResultKind::UNKNOWN: genericCharts(table, tab); break;
    }
    if (tab.title.empty()) {
        const size_t slash = table.path.find_last_of("/\\");
        tab.title = slash == std::string::npos ? table.path : table.path.substr(slash + 1);
    }
    // The named figures first, then what the charts leave out.
    const std::vector<std::string> figures = PlotRecipe_figureLines(table);
    tab.notes.insert(tab.notes.begin(), figures.begin(), figures.end());
    if (table.nonFinite > 0) {
        tab.notes.push_back(PlotRecipe_nonFiniteNote(table.nonFinite));
    }
    return tab;
}
