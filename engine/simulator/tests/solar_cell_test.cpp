// Solar cells under light through ek_simulate: the silicon cell of the
// examples under AM1.5 against the limits of its bandgap and the ideal-diode
// relation between Voc, Jsc and its dark current, and a run repeated from
// the copies of its inputs.
#include <cmath>
#include <filesystem>
#include <vector>

#include "runFixture.h"
#include "resultTable.h"

namespace {

constexpr double VT = 0.02585202874;  // V at 300 K
// Photocurrent of every AM1.5 photon above the 1.12 eV gap of silicon.
constexpr double JSC_CEILING = 43.8e-3;  // A/cm2

class SolarCellTest : public RunFixture {
protected:
    std::string example(const char* name)
    {
        return read(std::string(KOVRA_SOURCE_DIR) + "/examples/" + name);
    }

    static std::string replaced(std::string text, const std::string& from, const std::string& to)
    {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) {
            text.replace(at, from.size(), to);
        }
        return text;
    }
};

TEST_F(SolarCellTest, SiliconCellUnderAM15MeetsTheDiodeLimits)
{
    const std::string cell = example("silicon-cell-am15.kovra");
    std::wstring names[5];
    ASSERT_TRUE(run(write("light/cell.kovra", cell), names)) << log;
    const auto light = rows(at("light/simulout_jv.txt"));
    ASSERT_GT(light.size(), 10u);
    ASSERT_EQ(light[0][0], 0.0);
    const double Jsc = -light[0][1];
    EXPECT_LT(Jsc, JSC_CEILING);
    EXPECT_GT(Jsc, 0.5 * JSC_CEILING);

    // Voc where the current changes sign; between two points the light
    // current plus Jsc grows exponentially, so it is interpolated in log.
    double Voc = 0.0;
    for (size_t i = 1; i < light.size() && Voc == 0.0; ++i) {
        if (light[i - 1][1] < 0.0 && light[i][1] >= 0.0) {
            const double a = std::log(light[i - 1][1] + Jsc), b = std::log(light[i][1] + Jsc);
            Voc = light[i - 1][0] + (std::log(Jsc) - a) / (b - a) * (light[i][0] - light[i - 1][0]);
        }
    }
    ASSERT_GT(Voc, 0.3);

    // The same cell in the dark gives the saturation current J0 at Voc.
    ASSERT_TRUE(run(
        write("dark/cell.kovra", replaced(cell, "Light.Source=\"AM1.5\"", "Light.Source=\"None\"")),
        names))
        << log;
    const auto dark = rows(at("dark/simulout_jv.txt"));
    size_t nearest = 1;
    for (size_t i = 1; i < dark.size(); ++i) {
        if (std::fabs(dark[i][0] - Voc) < std::fabs(dark[nearest][0] - Voc)) {
            nearest = i;
        }
    }
    ASSERT_LT(std::fabs(dark[nearest][0] - Voc), 0.011);
    const double J0 = dark[nearest][1] / std::expm1(dark[nearest][0] / VT);
    ASSERT_GT(J0, 0.0);
    EXPECT_NEAR(Voc, VT * std::log(Jsc / J0 + 1.0), 0.005);

    // The photovoltaic file reports the same figures.
    const std::map<std::string, double> figures =
        readResultTable(read(at("light/simulout_photovoltaic.txt")));
    ASSERT_EQ(figures.count("Jsc"), 1u);
    ASSERT_EQ(figures.count("Voc"), 1u);
    EXPECT_NEAR(figures.at("Jsc"), Jsc, 1e-5 * Jsc);
    EXPECT_NEAR(figures.at("Voc"), Voc, 0.002);
}

// Every example under light, run as shipped, ends with figures a cell of its
// absorber can have: Jsc below the photocurrent of every AM1.5 photon above
// the gap, Voc below the gap less the radiative loss, a fill factor and an
// efficiency consistent with the other three, and no warning that the
// sweep missed Jsc or Voc (cells with an n-type anode side sweep negative).
TEST_F(SolarCellTest, EveryLitExampleEndsWithBelievableFigures)
{
    struct Bounds {
        const char* file;
        double jscMax;          // A/cm2
        double jscMin;          // A/cm2
        double vocMin, vocMax;  // V
    };
    // The cells with a passivated front (a flat-band Schottky contact with
    // a low velocity) collect most of what they absorb: the GaAs cell
    // absorbs 31.7 mA/cm2 worth of photons and lost half of them to an
    // ohmic front; the silicon cell lost a fifth.
    const Bounds examples[] = {
        {"silicon-cell-am15.kovra", JSC_CEILING, 33.0e-3, 0.5, 0.8},
        {"variables.kovra", JSC_CEILING, 0.3 * JSC_CEILING, 0.5, 0.8},
        {"gaas-cell.kovra", 32.0e-3, 0.9 * 31.7e-3, 0.8, 1.15},
        {"cds-cdte.kovra", 29.0e-3, 0.3 * 29.0e-3, 0.6, 1.0},
        {"traps.kovra", 21.0e-3, 0.3 * 21.0e-3, 0.7, 1.5},
    };
    warnings = true;
    for (const Bounds& b : examples) {
        SCOPED_TRACE(b.file);
        const std::string device = write(b.file, example(b.file));
        ASSERT_TRUE(run(device)) << log;
        EXPECT_EQ(log.find("[WARNING]"), std::string::npos) << log;
        const std::string figures = read(at("simulout_photovoltaic.txt"));
        const std::map<std::string, double> table = readResultTable(figures);
        auto figure = [&](const std::string& key) {
            return table.count(key) == 0 ? -1.0 : table.at(key);
        };
        const double Jsc = figure("Jsc"), Voc = figure("Voc"), FF = figure("FF");
        const double Eff = figure("Eff"), Popt = figure("Popt");
        ASSERT_GT(Jsc, 0.0) << figures;
        EXPECT_LT(Jsc, b.jscMax);
        EXPECT_GT(Jsc, b.jscMin);
        EXPECT_GT(Voc, b.vocMin);
        EXPECT_LT(Voc, b.vocMax);
        EXPECT_GT(FF, 60.0);
        EXPECT_LT(FF, 90.0);
        EXPECT_NEAR(Eff, FF * Voc * Jsc / Popt, 1e-3 * Eff);
    }
}

// The silicon examples have a passivated front: a flat-band Schottky
// contact whose point owns half of the emitter's first step. What is
// generated there is collected like the rest, so neither the short-circuit
// current nor the EQE of the blue end (absorbed within a few nanometres)
// depends on how finely the emitter is meshed (a lost half step once cost
// 0.2 % of Jsc at 5 nm and 2 % of the EQE at 0.3 um).
TEST_F(SolarCellTest, ThePassivatedFrontCollectsAlikeOnEveryEmitterMesh)
{
    std::vector<double> jsc, eqe;
    for (const char* points : {"120", "600", "2400"}) {
        SCOPED_TRACE(points);
        const std::string mesh = std::string("    Mesh.Points=") + points + "\n";
        std::string cell =
            replaced(example("silicon-cell-am15.kovra"), "    Mesh.Points=120\n", mesh);
        cell = replaced(cell, "Voltage.End=0.7", "Voltage.End=0");
        cell = replaced(cell, "Voltage.Step=0.01", "Voltage.Step=0");
        ASSERT_TRUE(run(write(std::string("cell") + points + "/cell.kovra", cell))) << log;
        const auto jv = rows(at(std::string("cell") + points + "/simulout_jv.txt"));
        ASSERT_EQ(jv.size(), 1u);
        jsc.push_back(-jv[0][1]);

        const std::string qe = replaced(example("silicon-qe.kovra"), "    Mesh.Points=120\n", mesh);
        ASSERT_TRUE(run(write(std::string("qe") + points + "/qe.kovra", qe))) << log;
        const auto table = rows(at(std::string("qe") + points + "/simulout_qw.txt"));
        ASSERT_FALSE(table.empty());
        ASSERT_NEAR(table[0][0], 0.3, 1e-9);
        eqe.push_back(table[0][1]);
    }
    for (size_t i = 1; i < jsc.size(); ++i) {
        EXPECT_NEAR(jsc[i], jsc[0], 1e-4 * jsc[0]) << i;
        EXPECT_NEAR(eqe[i], eqe[0], 1e-4) << i;
    }
    // Silicon's blue light dies in the emitter, next to the passivated
    // front: next to nothing of it is lost.
    EXPECT_GT(eqe[0], 0.99);
}

// The AlGaAs window of the alloy example, under a flat-band contact with a
// low velocity, passes the carriers made near the front to the junction:
// the blue and green light, absorbed within a few tenths of a micrometre,
// is collected almost whole (an ohmic front collected 57 to 72 %).
TEST_F(SolarCellTest, TheAlloyExamplesPassivatedFrontCollectsTheBlue)
{
    ASSERT_TRUE(run(write("algaas-alloy.kovra", example("algaas-alloy.kovra")))) << log;
    int checked = 0;
    for (const auto& row : rows(at("simulout_qw.txt"))) {
        ASSERT_GE(row.size(), 2u);
        if (row[0] >= 0.3 && row[0] <= 0.6 + 1e-9) {
            EXPECT_GT(row[1], 0.95) << "EQE at " << row[0] << " um";
            EXPECT_LE(row[1], 1.0) << "EQE at " << row[0] << " um";
            ++checked;
        }
    }
    EXPECT_EQ(checked, 31);
}

// The CdS/CdTe cell swept into reverse (0 to 0.9 V: its anode side is
// n-type) never changes the sign of its current: no figures, a warning.
TEST_F(SolarCellTest, ASweepThatMissesVocSaysSo)
{
    std::string text = replaced(example("cds-cdte.kovra"), "Voltage.Start=-0.9", "Voltage.Start=0");
    text = replaced(text, "Voltage.End=0", "Voltage.End=0.9");
    warnings = true;
    ASSERT_TRUE(run(write("reverse.kovra", text))) << log;
    EXPECT_NE(log.find("[WARNING] the current keeps one sign"), std::string::npos) << log;
    EXPECT_FALSE(std::filesystem::exists(at("simulout_photovoltaic.txt")));
    for (const auto& row : rows(at("simulout_jv.txt"))) {
        EXPECT_GT(row[1], 0.0) << "at " << row[0] << " V";
    }
}

// Swept in 0.1 V steps up to 0 V, the CdS/CdTe cell keeps its 0 V point
// (the last of the sweep, solved once, not again from equilibrium).
TEST_F(SolarCellTest, ASweepEndingAtZeroVoltsUnderLightKeepsItsLastPoint)
{
    const std::string text =
        replaced(example("cds-cdte.kovra"), "Voltage.Step=0.01", "Voltage.Step=0.1");
    ASSERT_TRUE(run(write("coarse.kovra", text))) << log;
    const auto jv = rows(at("simulout_jv.txt"));
    ASSERT_EQ(jv.size(), 10u);
    EXPECT_EQ(jv.back()[0], 0.0);
    EXPECT_GT(jv.back()[1], 0.0);
    EXPECT_LT(jv.back()[1], 29e-3);
}

TEST_F(SolarCellTest, TheCopiedDeviceFileReproducesTheJV)
{
    // Bias voltages and a spectrum come from files, so the copy must carry
    // them too.
    const std::string bias = write("in/bias.txt", "0\n0.1\n0.2\n0.3\n0.4\n0.5\n");
    const std::string spectrum = write("in/spectrum.txt", "0.5\t1e17\n0.6\t2e17\n0.7\t1e17\n");
    std::filesystem::create_directories(scratch / "out");
    const std::string device = write(
        "in/cell.kovra", "# Kovra <SL>\n"
                         "[Device]\n    Name=\"copied cell\"\n"
                         "[Layer1]\n    Material=\"Si\"\n    Thickness=0.5\n    Dopant.Type=\"P\"\n"
                         "    Dopant.N=1e18\n    Mesh.Points=50\n"
                         "[Layer2]\n    Material=\"Si\"\n    Thickness=5\n    Dopant.Type=\"N\"\n"
                         "    Dopant.N=1e16\n    Mesh.Points=100\n"
                         "[Voltage]\n    Voltage.Source=\"" +
                             bias +
                             "\"\n"
                             "[Light]\n    Light.Source=\"" +
                             spectrum +
                             "\"\n"
                             "[Numeric]\n    Numeric.Method=\"Newton\"\n"
                             "[Command]\n    Command.OutDir=\"" +
                             at("out") + "\"\n");
    std::wstring names[5];
    ASSERT_TRUE(run(device, names)) << log;
    const std::string jv = withoutSavedLine(at("out/simulout_jv.txt"));
    ASSERT_EQ(rows(at("out/simulout_jv.txt")).size(), 6u);
    // Under light the cell delivers current at 0 V.
    EXPECT_LT(rows(at("out/simulout_jv.txt"))[0][1], 0.0);
    const std::string copy = read(at("out/simulinput.kovra"));
    EXPECT_NE(copy.find("Voltage.Source=\"simulinput_bias.txt\""), std::string::npos) << copy;
    EXPECT_NE(copy.find("Light.Source=\"simulinput_light.txt\""), std::string::npos) << copy;

    // The inputs gone and the output folder moved, the copy repeats the run.
    std::filesystem::remove_all(scratch / "in");
    std::filesystem::rename(scratch / "out", scratch / "moved");
    ASSERT_TRUE(run(at("moved/simulinput.kovra"), names)) << log;
    EXPECT_EQ(withoutSavedLine(at("moved/simulout_jv.txt")), jv);
}

}  // namespace
