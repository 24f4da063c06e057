// The charts of each result kind: series, derived quantities against their
// closed forms, axis titles with units, log axes holding only positive
// values.
#include <gtest/gtest.h>

#include <cmath>

#include "PlotRecipe.h"
#include "ResultFile.h"
#include "resultFixtures.h"

namespace {

ResultTable parse(const std::string& text)
{
    ResultTable table;
    std::string error;
    EXPECT_TRUE(ResultFile_parse(text, "/run/simulout.txt", table, error)) << error;
    return table;
}

std::vector<std::string> names(const PlotChart& chart)
{
    std::vector<std::string> out;
    for (const PlotSeries& s : chart.series) {
        out.push_back(s.name);
    }
    return out;
}

TEST(PlotRecipe, UnitsAsAReportPrintsThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"A/cm2", "A/cm²"},   {"1/cm3", "1/cm³"}, {"1/cm3/s", "1/cm³/s"},
        {"um", "µm"},         {"V/um", "V/µm"},   {"Ohms.cm2", "Ω·cm²"},
        {"cm4/F2", "cm⁴/F²"}, {"sum", "sum"},     {"eV", "eV"},
    };
    for (const auto& [raw, pretty] : cases) {
        EXPECT_EQ(PlotRecipe_prettyUnit(raw), pretty) << raw;
    }
    EXPECT_EQ(PlotRecipe_axisTitle(ResultFile_splitTitle("Voltage (V)")), "Voltage (V)");
    EXPECT_EQ(PlotRecipe_axisTitle(ResultFile_splitTitle("EQE")), "EQE");
}

TEST(PlotRecipe, JvLinearAndLogMagnitude)
{
    const PlotTab tab = PlotRecipe_forTable(parse(fixtures::JV));
    EXPECT_EQ(tab.title, "J-V (light)");
    ASSERT_EQ(tab.charts.size(), 2u);
    const PlotChart& linear = tab.charts[0];
    EXPECT_FALSE(linear.logY);
    EXPECT_EQ(linear.xTitle, "Voltage (V)");
    EXPECT_EQ(linear.yTitle, "J (A/cm²)");
    EXPECT_EQ(linear.series[0].y, (std::vector<double>{-0.0294, -0.0293, 0, 0.0015}));
    // |J| on a log axis: the zero at 0.2 V has no place there.
    const PlotChart& log = tab.charts[1];
    EXPECT_TRUE(log.logY);
    EXPECT_EQ(log.yTitle, "|J| (A/cm²)");
    EXPECT_EQ(log.series[0].x, (std::vector<double>{0, 0.1, 0.3}));
    EXPECT_EQ(log.series[0].y, (std::vector<double>{0.0294, 0.0293, 0.0015}));
}

TEST(PlotRecipe, IlluminatedJvShowsThePowerQuadrant)
{
    // Jsc 15 mA/cm2 and 1.5 A/cm2 at the last forward point: the linear
    // plot keeps to -1.2 Jsc .. +1.2 Jsc, the log plot to the whole span.
    const PlotTab tab = PlotRecipe_forTable(
        parse(fixtures::header("JV") +
              "# Voltage (V)\tJ (A/cm2)\n#\n0\t-0.015\n0.9\t-0.012\n1.0\t0.1\n1.1\t1.5\n"));
    const PlotChart& linear = tab.charts[0];
    EXPECT_TRUE(linear.yWindow);
    EXPECT_DOUBLE_EQ(linear.yLow, -0.018);
    EXPECT_DOUBLE_EQ(linear.yHigh, 0.018);
    EXPECT_EQ(linear.series[0].y.size(), 4u);  // every point is still drawn
    EXPECT_FALSE(tab.charts[1].yWindow);
    // A dark curve, or one whose forward current stays small, is shown whole.
    EXPECT_FALSE(PlotRecipe_forTable(parse(fixtures::JV)).charts[0].yWindow);
    EXPECT_FALSE(
        PlotRecipe_forTable(parse(fixtures::header("JV") + "# V (V)\tJ (A/cm2)\n0\t0\n1\t2\n"))
            .charts[0]
            .yWindow);
}

TEST(PlotRecipe, NegativeBiasCellZoomsOnItsPowerQuadrant)
{
    // The n side at the anode: power at negative bias, Jsc positive, the
    // forward current large and negative. The same window as for a cell of
    // the other polarity: -1.2 Jsc .. +1.2 Jsc.
    const PlotTab tab = PlotRecipe_forTable(
        parse(fixtures::header("JV") + "# Voltage (V)\tJ (A/cm2)\n#\n"
                                       "-1.1\t-2.5\n-1.0\t-0.1\n-0.9\t0.012\n0\t0.015\n"));
    EXPECT_EQ(tab.title, "J-V (light)");
    const PlotChart& linear = tab.charts[0];
    EXPECT_TRUE(linear.yWindow);
    EXPECT_DOUBLE_EQ(linear.yLow, -0.018);
    EXPECT_DOUBLE_EQ(linear.yHigh, 0.018);
    EXPECT_EQ(linear.series[0].y.size(), 4u);
}

TEST(PlotRecipe, DarkCurvesAreNamedAndShownWhole)
{
    // Through reverse bias the dark current is tiny and negative: no power
    // is delivered, so no window on it (it would show +-1.2e-9 A/cm2); a
    // rounding remainder of the wrong sign near 0 V does not make it light.
    const std::string titles = "# Voltage (V)\tJ (A/cm2)\n#\n";
    const std::string darkCurves[] = {
        "-0.5\t-1e-9\n0\t0\n0.5\t1e-3\n1.0\t2.0\n", "0\t0\n0.01\t-1e-15\n0.5\t1e-3\n1.0\t2.0\n",
        "-1.0\t-2.0\n-0.5\t-1e-3\n0\t0\n0.5\t1e-9\n",  // n side at the anode
    };
    for (const std::string& rows : darkCurves) {
        const PlotTab tab = PlotRecipe_forTable(parse(fixtures::header("JV") + titles + rows));
        EXPECT_EQ(tab.title, "J-V (dark)") << rows;
        EXPECT_FALSE(tab.charts[0].yWindow) << rows;
    }
    EXPECT_EQ(PlotRecipe_forTable(parse(fixtures::JV)).title, "J-V (light)");
}

TEST(PlotRecipe, NonFiniteValuesAreLeftOutAndNoted)
{
    const PlotTab tab = PlotRecipe_forTable(
        parse(fixtures::header("JV") +
              "# Voltage (V)\tJ (A/cm2)\n#\n0\t-0.02\n0.1\tnan\ninf\t0.1\n0.3\t0.2\n"));
    EXPECT_EQ(tab.charts[0].series[0].x, (std::vector<double>{0, 0.3}));
    ASSERT_EQ(tab.notes.size(), 1u);
    EXPECT_EQ(tab.notes[0], "2 values are not finite numbers (inf, nan) and are not drawn");
    EXPECT_EQ(PlotRecipe_nonFiniteNote(1),
              "1 value is not a finite number (inf, nan) and is not drawn");
}

TEST(PlotRecipe, CvCapacitanceAndMottSchottky)
{
    const PlotTab tab = PlotRecipe_forTable(parse(fixtures::CV));
    EXPECT_EQ(tab.title, "C-V");
    ASSERT_EQ(tab.charts.size(), 2u);
    EXPECT_EQ(tab.charts[0].yTitle, "C (F/cm²)");
    EXPECT_EQ(tab.charts[0].series[0].y, (std::vector<double>{3.2e-08, 4e-08, 5e-08}));
    EXPECT_EQ(tab.charts[1].yTitle, "1/C² (cm⁴/F²)");
    const std::vector<double> c = {3.2e-08, 4e-08, 5e-08};
    ASSERT_EQ(tab.charts[1].series[0].y.size(), 3u);
    for (size_t i = 0; i < c.size(); ++i) {
        EXPECT_NEAR(tab.charts[1].series[0].y[i], 1.0 / (c[i] * c[i]), 1e-9 / (c[i] * c[i]));
    }
}

TEST(PlotRecipe, QuantumEfficiencyBothCurves)
{
    const PlotTab tab = PlotRecipe_forTable(parse(fixtures::QW));
    ASSERT_EQ(tab.charts.size(), 1u);
    EXPECT_EQ(tab.charts[0].xTitle, "Wavelength (µm)");
    EXPECT_EQ(names(tab.charts[0]), (std::vector<std::string>{"External QE", "Internal QE"}));
    EXPECT_EQ(tab.charts[0].series[1].y, (std::vector<double>{0.25, 0.9, 0.95}));
}

TEST(PlotRecipe, DistributionBandsDensitiesFieldPotential)
{
    const PlotTab ee = PlotRecipe_forTable(parse(fixtures::dist("EE")));
    EXPECT_EQ(ee.title, "Band diagram (equilibrium)");
    const PlotTab en = PlotRecipe_forTable(parse(fixtures::dist("EN")));
    EXPECT_EQ(en.title, "Band diagram (V = 0.7 V)");
    ASSERT_EQ(en.charts.size(), 4u);

    const PlotChart& bands = en.charts[0];
    EXPECT_EQ(bands.xTitle, "z (µm)");
    EXPECT_EQ(bands.yTitle, "Energy (eV)");
    EXPECT_EQ(names(bands), (std::vector<std::string>{"EC", "EV", "Fn (electrons)", "Fp (holes)"}));
    EXPECT_EQ(bands.series[1].y, (std::vector<double>{-1.033, -0.8, -0.25}));

    // Densities: log axis; dopants dashed; zeros left out; the trap
    // columns, zero everywhere, not drawn at all.
    const PlotChart& densities = en.charts[1];
    EXPECT_TRUE(densities.logY);
    EXPECT_EQ(densities.yTitle, "Density (1/cm³)");
    EXPECT_EQ(names(densities),
              (std::vector<std::string>{"n", "p", "Na⁻ (ionised)", "Nd⁺ (ionised)"}));
    EXPECT_FALSE(densities.series[0].dashed);
    EXPECT_TRUE(densities.series[2].dashed);
    EXPECT_EQ(densities.series[2].x, (std::vector<double>{0.5, 1}));
    for (const PlotSeries& s : densities.series) {
        for (double y : s.y) {
            EXPECT_GT(y, 0.0);
        }
    }
    EXPECT_EQ(en.charts[2].yTitle, "Field (V/µm)");
    EXPECT_EQ(en.charts[2].series[0].y, (std::vector<double>{0, -2.5, 0}));
    EXPECT_EQ(en.charts[3].yTitle, "Potential (V)");
    EXPECT_EQ(en.charts[3].series[0].y, (std::vector<double>{0.48, 0.2, -0.3}));
}

// A density below zero (left so by the solver) has no place on the log
// axis: it is left out, and the tab says so, per column.
TEST(PlotRecipe, NegativeDensitiesAreLeftOutAndNoted)
{
    std::string text = fixtures::header("EN") + fixtures::DIST_TITLES;
    const char* rows[] = {"0\t0\t0\t0\t0\t0\t0\t0\t-5\t1e10", "1\t0\t0\t0\t0\t0\t0\t0\t1e12\t-1",
                          "2\t0\t0\t0\t0\t0\t0\t0\t-1e3\t1e11"};
    for (const char* row : rows) {
        text += row;
        text += std::string(14, '\0');
        text += '\n';
    }
    // Fourteen zero columns follow the ten written out.
    for (size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at)) {
        text.replace(at, 1, "\t0");
    }
    const PlotTab tab = PlotRecipe_forTable(parse(text));
    const PlotChart& densities = tab.charts[1];
    ASSERT_EQ(names(densities), (std::vector<std::string>{"n", "p"}));
    EXPECT_EQ(densities.series[0].y, (std::vector<double>{1e12}));
    EXPECT_EQ(densities.series[1].y, (std::vector<double>{1e10, 1e11}));
    EXPECT_EQ(tab.notes,
              (std::vector<std::string>{"n: 2 negative values are not drawn on the log scale",
                                        "p: 1 negative value is not drawn on the log scale"}));
    // Negative values of linear charts (fields, potentials) are drawn: no note.
    EXPECT_TRUE(PlotRecipe_forTable(parse(fixtures::dist("EN"))).notes.empty());
}

TEST(PlotRecipe, SummaryGivesNotesOnly)
{
    ResultTable table;
    std::string error;
    ASSERT_TRUE(
        ResultFile_parse(fixtures::PHOTOVOLTAIC, "/r/simulout_photovoltaic.txt", table, error));
    const PlotTab tab = PlotRecipe_forTable(table);
    EXPECT_TRUE(tab.charts.empty());
    ASSERT_EQ(tab.notes.size(), 7u);
    EXPECT_EQ(tab.notes[0], "Eff = 14.3186 %");
    EXPECT_EQ(tab.notes[1], "Jsc = 0.029421 A/cm²");
    EXPECT_EQ(tab.notes[5], "RS = 1.1 Ω·cm²");
}

}  // namespace
