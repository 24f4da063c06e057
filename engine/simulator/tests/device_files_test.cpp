// Whole runs of device files through ek_simulate, checked against closed
// forms from the material table: Ohm's law on a silicon bar, the depletion
// capacitance of a p+-n junction, and the Shockley law of a long-base
// diode by Newton and by Gummel.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ekcore.h"
#include "tempFolder.h"
#include "resultTable.h"

namespace {

constexpr double Q = 1.602176e-19;     // C
constexpr double EPS0 = 8.854187e-14;  // F/cm
constexpr double VT = 0.02585202874;   // V at 300 K
// Silicon of the material table.
constexpr double SI_EG = 1.12, SI_NC = 2.8e19, SI_NV = 1.04e19, SI_EPS = 11.8;
constexpr double SI_MOBN = 1000.0, SI_MOBP = 500.0;

double siliconNi() { return std::sqrt(SI_NC * SI_NV) * std::exp(-SI_EG / (2.0 * VT)); }

// Rows of a result file: tab-separated numbers, '#' lines skipped.
std::vector<std::vector<double>> readRows(const std::wstring& file)
{
    std::ifstream in{std::filesystem::path(file)};
    std::vector<std::vector<double>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        std::vector<double> row;
        double value = 0;
        while (fields >> value) {
            row.push_back(value);
        }
        rows.push_back(row);
    }
    return rows;
}

class DeviceFiles : public ::testing::Test {
protected:
    // A folder of its own per test, so parallel runs never share files.
    TempFolder folder{"kovra-files-"};
    std::filesystem::path scratch{folder.path()};
    wchar_t ee[EK_FILENAME_SIZE] = {}, en[EK_FILENAME_SIZE] = {}, cv[EK_FILENAME_SIZE] = {},
            jv[EK_FILENAME_SIZE] = {}, qw[EK_FILENAME_SIZE] = {};

    void SetUp() override { ASSERT_FALSE(folder.path().empty()); }

    bool run(const std::string& name, const std::string& text)
    {
        const std::filesystem::path file = scratch / name;
        std::ofstream(file) << "# Kovra <SL>\n"
                            << text << "\n[Command]\n    Command.OutDir=\".\"\n";
        return ek_simulate(file.wstring().c_str(), false, false, false, nullptr, true, ee, en, cv,
                           jv, qw, nullptr);
    }
};

TEST_F(DeviceFiles, SiliconBarObeysOhmsLaw)
{
    ASSERT_TRUE(run("bar.kovra", R"([Layer1]
    Material="Si"
    Thickness=10
    Dopant.Type="N"
    Dopant.N=1e15
    Mesh.Points=200
[Voltage]
    Voltage.Source="Sweep"
    Voltage.Start=0
    Voltage.End=0.01
    Voltage.Step=0.0025
[Numeric]
    Numeric.Mesh="Layer"
)"));
    const auto rows = readRows(jv);
    ASSERT_EQ(rows.size(), 5u);
    for (const auto& row : rows) {
        const double expected = Q * 1e15 * SI_MOBN * row[0] / 10e-4;
        EXPECT_NEAR(row[1], expected, 0.005 * expected + 1e-15) << "at " << row[0] << " V";
    }
}

TEST_F(DeviceFiles, JunctionCapacitanceIsTheDepletionCapacitance)
{
    const double Na = 1e18, Nd = 1e16;
    ASSERT_TRUE(run("pn.kovra", R"([Layer1]
    Material="Si"
    Thickness=0.5
    Dopant.Type="P"
    Dopant.N=1e18
    Mesh.Points=200
[Layer2]
    Material="Si"
    Thickness=2
    Dopant.Type="N"
    Dopant.N=1e16
    Mesh.Points=400
[Voltage]
    Voltage.Source="Sweep"
    Voltage.Start=-2
    Voltage.End=0.2
    Voltage.Step=0.05
[Numeric]
    Numeric.Mesh="Layer"
)"));
    const auto rows = readRows(cv);
    ASSERT_EQ(rows.size(), 45u);
    const double ni = siliconNi();
    const double Vbi = VT * std::log(Na * Nd / (ni * ni));
    const double eps = SI_EPS * EPS0;
    const double Neff = Na * Nd / (Na + Nd);
    const double C0 = std::sqrt(Q * eps * Neff / (2.0 * (Vbi - 2.0 * VT)));
    bool zeroSeen = false;
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& row : rows) {
        const double V = row[0], C = row[2];
        if (std::fabs(V) < 1e-9) {
            zeroSeen = true;
            EXPECT_NEAR(C, C0, 0.03 * C0);
        }
        if (V <= -0.3 && V >= -1.95) {
            const double y = 1.0 / (C * C);
            n += 1, sx += V, sy += y, sxx += V * V, sxy += V * y;
        }
    }
    EXPECT_TRUE(zeroSeen);
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    EXPECT_NEAR(-2.0 / (Q * eps * slope), Nd, 0.03 * Nd);
}

// Sweeps that start below 0 V and end at it, or cross it, in the dark and
// under light: every point is solved, 0 V included, and the current keeps
// the sign of the bias (forward for the n-side anode is negative).
TEST_F(DeviceFiles, SweepsEndingAtOrCrossingZeroVoltsSolveEveryPoint)
{
    struct Case {
        const char* start;
        const char* end;
        const char* step;
        const char* light;
        size_t rows;
    };
    const Case cases[] = {
        {"-0.2", "0", "0.1", "None", 3},   {"-0.2", "-0.1", "0.1", "None", 2},
        {"-0.2", "0.1", "0.1", "None", 4}, {"-0.3", "0", "0.05", "Mono", 7},
        {"-0.25", "0", "0.1", "None", 4},
    };
    for (const Case& c : cases) {
        const std::string text = std::string(R"([Layer1]
    Material="Si"
    Thickness=0.5
    Dopant.Type="N"
    Dopant.N=1e18
    Mesh.Points=100
[Layer2]
    Material="Si"
    Thickness=20
    Dopant.Type="P"
    Dopant.N=1e16
    Mesh.Points=200
[Voltage]
    Voltage.Source="Sweep"
    Voltage.Start=)") + c.start +
                                 "\n    Voltage.End=" + c.end + "\n    Voltage.Step=" + c.step +
                                 "\n[Light]\n    Light.Source=\"" + c.light +
                                 "\"\n    Light.Wavelength=0.6\n    Light.Flux=1e16\n" +
                                 "[Numeric]\n    Numeric.Mesh=\"Layer\"\n";
        SCOPED_TRACE(std::string(c.start) + " .. " + c.end + " by " + c.step + ", light " +
                     c.light);
        ASSERT_TRUE(run("zero.kovra", text));
        const auto rows = readRows(jv);
        ASSERT_EQ(rows.size(), c.rows);
        EXPECT_NEAR(rows.back()[0], std::stod(c.end), 1e-9);
        for (const auto& row : rows) {
            if (std::string(c.light) == "None" && row[0] < -0.05) {
                EXPECT_LT(row[1], 0.0) << "at " << row[0] << " V";
            }
        }
    }
}

// A long-base diode (over five diffusion lengths a side) with a midgap
// trap of lifetime tau, the mesh graded towards the junction by layers.
std::string diodeFile(const char* method)
{
    std::string text;
    const char* layers[6][4] = {{"800", "P", "60"}, {"20", "P", "60"}, {"1", "P", "60"},
                                {"1", "N", "60"},   {"20", "N", "60"}, {"600", "N", "60"}};
    for (int l = 0; l < 6; ++l) {
        text += "[Layer" + std::to_string(l + 1) +
                "]\n    Material=\"Si\"\n    Thickness=" + layers[l][0] + "\n    Dopant.Type=\"" +
                layers[l][1] +
                "\"\n    Dopant.N=1e16\n    Dopant.Taun=1000\n    Dopant.Taup=1000\n" +
                "    Trap1.Type=\"Donor\"\n    Trap1.N=1e12\n    Trap1.Nr=1e19\n    Trap1.E=0\n" +
                "    Trap1.Taun=1e-5\n    Trap1.Taup=1e-5\n    Mesh.Points=" + layers[l][2] + "\n";
    }
    text += "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0.45\n"
            "    Voltage.End=0.55\n    Voltage.Step=0.025\n";
    text += std::string("[Numeric]\n    Numeric.Mesh=\"Layer\"\n    Numeric.Method=\"") + method +
            "\"\n";
    return text;
}

TEST_F(DeviceFiles, LongDiodeFollowsShockleyByNewtonAndGummel)
{
    ASSERT_TRUE(run("newton.kovra", diodeFile("Newton")));
    const auto newton = readRows(jv);
    ASSERT_EQ(newton.size(), 5u);

    const double tau = 1e-5, N = 1e16, ni = siliconNi();
    const double Dn = SI_MOBN * VT, Dp = SI_MOBP * VT;
    const double J0 =
        Q * ni * ni * (Dn / (N * std::sqrt(Dn * tau)) + Dp / (N * std::sqrt(Dp * tau)));
    for (size_t i = 0; i < newton.size(); ++i) {
        const double V = newton[i][0], J = newton[i][1];
        EXPECT_NEAR(J / std::expm1(V / VT), J0, 0.1 * J0) << "at " << V << " V";
        if (i > 0) {
            const double ideality = (V - newton[i - 1][0]) / (VT * std::log(J / newton[i - 1][1]));
            EXPECT_NEAR(ideality, 1.0, 0.03) << "at " << V << " V";
        }
    }

    ASSERT_TRUE(run("gummel.kovra", diodeFile("Gummel")));
    const auto gummel = readRows(jv);
    ASSERT_EQ(gummel.size(), newton.size());
    for (size_t i = 0; i < newton.size(); ++i) {
        EXPECT_DOUBLE_EQ(gummel[i][0], newton[i][0]);
        EXPECT_NEAR(gummel[i][1], newton[i][1], 1e-3 * newton[i][1]);
    }
}

// The terminal current at low bias, where the majority fluxes of the
// neutral sides are many orders larger than the diode current: a long
// diode whose traps sit only in the outer layers (the inner 21 um a side
// recombine nothing) follows the closed form of a recombination-free layer
// d in front of a long base, J0 = q ni^2 D / (N (d + L tanh(W/L))), with the
// same ratio at every bias to 1e-4, 25 mV included.
TEST_F(DeviceFiles, TerminalCurrentOfALongDiodeHoldsAtEveryBias)
{
    std::string text;
    const char* layers[6][3] = {{"780", "P", "1"}, {"20", "P", "0"}, {"1", "P", "0"},
                                {"1", "N", "0"},   {"20", "N", "0"}, {"580", "N", "1"}};
    for (int l = 0; l < 6; ++l) {
        text += "[Layer" + std::to_string(l + 1) +
                "]\n    Material=\"Si\"\n    Thickness=" + layers[l][0] + "\n    Dopant.Type=\"" +
                layers[l][1] +
                "\"\n    Dopant.N=1e16\n    Dopant.Taun=1000\n    Dopant.Taup=1000\n" +
                "    Mesh.Points=60\n";
        if (layers[l][2][0] == '1') {
            text += "    Trap1.Type=\"Donor\"\n    Trap1.N=1e12\n    Trap1.Nr=1e19\n"
                    "    Trap1.E=0\n    Trap1.Taun=1e-5\n    Trap1.Taup=1e-5\n";
        }
    }
    text += "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0.025\n"
            "    Voltage.End=0.3\n    Voltage.Step=0.025\n[Numeric]\n    Numeric.Mesh=\"Layer\"\n";
    ASSERT_TRUE(run("diode.kovra", text));
    const auto rows = readRows(jv);
    ASSERT_EQ(rows.size(), 12u);

    const double N = 1e16, tau = 1e-5, ni = siliconNi(), eps = SI_EPS * EPS0;
    const double Vbi = VT * std::log(N * N / (ni * ni));
    auto closedForm = [&](double V) {
        // Depletion edge of a symmetric junction: half the width each side.
        const double xd = 0.5 * std::sqrt(2.0 * eps * (Vbi - V) / Q * 2.0 / N);
        const double d = 21e-4 - xd;
        double J0 = 0.0;
        for (const auto& [D, W] :
             {std::pair{SI_MOBN * VT, 780e-4}, std::pair{SI_MOBP * VT, 580e-4}}) {
            const double L = std::sqrt(D * tau);
            J0 += Q * ni * ni / N * D / (d + L * std::tanh(W / L));
        }
        return J0 * std::expm1(V / VT);
    };
    const double reference = rows.back()[1] / closedForm(rows.back()[0]);
    EXPECT_NEAR(reference, 1.0, 5e-3);
    for (const auto& row : rows) {
        EXPECT_NEAR(row[1] / closedForm(row[0]), reference, 1e-4) << "at " << row[0] << " V";
    }
}

TEST_F(DeviceFiles, IlluminatedCellReportsTheFiguresOfItsJvCurve)
{
    const std::filesystem::path summary = scratch / "summary.txt";
    std::ofstream(scratch / "cell.kovra") << R"(# Kovra <SL>
[Layer1]
    Material="Si"
    Thickness=0.3
    Dopant.Type="P"
    Dopant.N=1e18
    Mesh.Points=150
[Layer2]
    Material="Si"
    Thickness=20
    Dopant.Type="N"
    Dopant.N=1e16
    Mesh.Points=300
[Voltage]
    Voltage.Source="Sweep"
    Voltage.Start=-0.1
    Voltage.End=0.7
    Voltage.Step=0.02
[Light]
    Light.Source="Mono"
    Light.Wavelength=0.6
    Light.Flux=1e17
[Numeric]
    Numeric.Mesh="Layer"
[Command]
    Command.OutDir="."
)";
    ASSERT_TRUE(ek_simulate((scratch / "cell.kovra").wstring().c_str(), false, false, false,
                            nullptr, true, ee, en, cv, jv, qw, summary.wstring().c_str()));
    const auto rows = readRows(jv);
    ASSERT_EQ(rows.size(), 41u);

    // The figures of the J-V curve itself: the current at 0 V, the voltage
    // where the current changes sign (on the chord, and the row past it),
    // the largest power of a row.
    double Jsc = 0.0, Voc = 0.0, Vpast = 0.0, Pmax = 0.0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const double V = rows[i][0], J = rows[i][1];
        if (std::fabs(V) < 1e-9) {
            Jsc = std::fabs(J);
        }
        if (i > 0 && rows[i - 1][1] < 0.0 && J >= 0.0) {
            const double V0 = rows[i - 1][0], J0 = rows[i - 1][1];
            Voc = V0 - J0 * (V - V0) / (J - J0);
            Vpast = V;
        }
        Pmax = std::max(Pmax, -V * J);
    }
    ASSERT_GT(Jsc, 0.0);
    ASSERT_GT(Voc, 0.3);
    const double Popt = 1e17 * 1.239842 / 0.6 * Q;

    std::ifstream figures(scratch / "simulout_photovoltaic.txt");
    std::map<std::string, double> f =
        readResultTable(std::string((std::istreambuf_iterator<char>(figures)), {}));
    ASSERT_EQ(f.count("Eff"), 1u);
    EXPECT_NEAR(f["Jsc"], Jsc, 1e-5 * Jsc);
    EXPECT_NEAR(f["Popt"], Popt, 1e-4 * Popt);
    // Voc and the maximum power are solved at their own voltages: the
    // current is convex where it changes sign, so Voc lies past the chord's
    // crossing but before the next row, within the chord's error of
    // h^2 / (8 Vt) (2 mV for the 20 mV step); the maximum power is at least
    // that of every row, and more by no more than the curvature allows.
    EXPECT_GE(f["Voc"], Voc - 1e-6);
    EXPECT_LE(f["Voc"], Vpast);
    EXPECT_NEAR(f["Voc"], Voc, 2e-3);
    EXPECT_GE(f["Eff"], 100.0 * Pmax / Popt * (1.0 - 1e-5));
    EXPECT_NEAR(f["Eff"], 100.0 * Pmax / Popt, 2e-3 * f["Eff"]);
    const double PmaxSolved = f["Eff"] / 100.0 * Popt;
    EXPECT_NEAR(f["FF"], 100.0 * PmaxSolved / (f["Voc"] * f["Jsc"]), 1e-4 * f["FF"]);
    // Collected light: at most one electron per photon.
    EXPECT_LT(Jsc, Q * 1e17);
    EXPECT_GT(Jsc, 0.5 * Q * 1e17);
    // The summary file holds the same figures.
    std::ifstream in(summary);
    const std::string appended((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(appended.find("Eff = "), std::string::npos);
}

}  // namespace
