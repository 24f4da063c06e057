// Quantum-efficiency sweeps through ek_simulate: a thin ideal collector
// against Beer-Lambert's law, the photocurrent summary, the repeat at 0 V
// of a sweep asked at a voltage where it cannot succeed, and the fall back
// to equilibrium when no light reaches the device, and a check step whose
// linear system cannot be solved, of a lit point or of the dark current.
#include <cmath>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <utility>

#include "ekBandMatrix.h"
#include "ekQESweep.h"
#include "ekRunEntry.h"
#include "ekSimulator.h"
#include "runFixture.h"
#include "resultTable.h"

namespace {

constexpr double FOUR_PI = 12.566370614359172;
constexpr double ABSORBER_K = 0.1;
constexpr double ABSORBER_D = 0.5;  // um

class QuantumEfficiencyTest : public RunFixture {
protected:
    std::string indexFile(const char* name, double k)
    {
        std::string text = "# wavelength\tn\tk\n";
        char line[64];
        for (double wl : {0.2, 0.4, 0.6, 0.8, 1.0, 2.0}) {
            std::snprintf(line, sizeof line, "%.4f\t3.5000\t%.4g\n", wl, k);
            text += line;
        }
        return write(name, text);
    }

    // The ideal collector: a p-i-n stack whose thin heavily doped p and n
    // layers are transparent (k = 0) and whose 0.5 um absorber has the same
    // k = 0.1 at every wavelength, so it absorbs 1 - exp(-4 pi k d / lambda)
    // of the light and nothing else does. Nothing reflects: the model has
    // no reflection and the anode has no thickness. The lightly doped
    // absorber lies inside the built-in field of the junction (about 3e4
    // V/cm): carriers cross it in picoseconds, far inside their lifetimes,
    // so every absorbed photon is collected. extra: more section text.
    std::string collector(const std::string& voltage, const std::string& extra = "",
                          double absorberK = ABSORBER_K)
    {
        const std::string clear = indexFile("clear.nk", 0.0);
        const std::string absorber = indexFile("absorber.nk", absorberK);
        return write(
            "collector.kovra",
            "# Kovra <SL>\n"
            "[Device]\n    Name=\"ideal collector\"\n"
            "[Layer1]\n    Material=\"GaAs\"\n    Thickness=0.05\n    Dopant.Type=\"P\"\n"
            "    Dopant.N=1e18\n    Mesh.Points=20\n    Index.File=\"" +
                clear +
                "\"\n"
                "[Layer2]\n    Material=\"GaAs\"\n    Thickness=0.5\n    Dopant.Type=\"N\"\n"
                "    Dopant.N=1e14\n    Mesh.Points=100\n    Index.File=\"" +
                absorber +
                "\"\n"
                "[Layer3]\n    Material=\"GaAs\"\n    Thickness=0.05\n    Dopant.Type=\"N\"\n"
                "    Dopant.N=1e18\n    Mesh.Points=20\n    Index.File=\"" +
                clear + "\"\n" + extra + "[Voltage]\n" + voltage +
                "[Light]\n    Light.Source=\"Sweep\"\n    Light.Start=0.4\n"
                "    Light.End=0.8\n    Light.Step=0.1\n    Light.Flux=1e16\n"
                "[Numeric]\n    Numeric.Method=\"Newton\"\n"
                "[Command]\n    Command.OutDir=\".\"\n");
    }

    static double absorbed(double wavelength)
    {
        return 1.0 - std::exp(-FOUR_PI * ABSORBER_K / wavelength * ABSORBER_D);
    }
};

TEST_F(QuantumEfficiencyTest, IdealCollectorFollowsBeerLambert)
{
    std::wstring names[5];
    const std::string summary = at("summary.txt");
    ASSERT_TRUE(run(collector("    Voltage.Source=\"None\"\n"), names, summary)) << log;
    const std::string qw(names[4].begin(), names[4].end());
    EXPECT_EQ(qw, at("simulout_qw.txt"));
    const auto table = rows(qw);
    ASSERT_EQ(table.size(), 5u);
    double best = 0.0, bestWavelength = 0.0;
    for (const auto& row : table) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 3u);
        EXPECT_NEAR(row[1], absorbed(row[0]), 0.02 * absorbed(row[0]));
        // Every absorbed photon is collected.
        EXPECT_GT(row[2], 0.98);
        EXPECT_LE(row[2], 1.0);
        EXPECT_LE(row[1], row[2]);
        if (row[1] > best) {
            best = row[1];
            bestWavelength = row[0];
        }
    }
    // The photocurrent summary names the highest EQE, in its file and
    // appended to the run's summary file.
    const std::map<std::string, double> photocurrent =
        readResultTable(read(at("simulout_photocurrent.txt")));
    ASSERT_EQ(photocurrent.count("EQEmax"), 1u);
    EXPECT_NEAR(photocurrent.at("EQEmax"), best, 1e-5);
    EXPECT_NEAR(photocurrent.at("Wavelength"), bestWavelength, 1e-9);
    const std::string summaryText = read(summary);
    ASSERT_EQ(summaryText.rfind("EQEmax = ", 0), 0u) << summaryText;
    EXPECT_NEAR(std::stod(summaryText.substr(9)), best, 1e-5);
    ASSERT_TRUE(run(collector("    Voltage.Source=\"None\"\n"), names, summary)) << log;
    EXPECT_EQ(read(summary), summaryText + summaryText);
    // The distribution is that of the last wavelength, numbered after the
    // equilibrium's 1 by its row: 5 wavelengths, row 5, number 6.
    const std::string distribution(names[1].begin(), names[1].end());
    EXPECT_EQ(distribution, at("simulout_dist_6.txt"));
    EXPECT_NE(read(distribution).find("# Wavelength = 0.8 um"), std::string::npos);
}

TEST_F(QuantumEfficiencyTest, WeaklyAbsorbedLightKeepsItsIqeWhereThePhotocurrentIsResolved)
{
    // k = 1e-6 absorbs about 1e-5 of the light: a photocurrent of about
    // 1e-8 A/cm2, far above what the solver leaves uncertain in it, so the
    // IQE is that of the collector (every absorbed photon collected), and
    // the EQE is the absorbed fraction.
    std::wstring names[5];
    ASSERT_TRUE(run(collector("    Voltage.Source=\"None\"\n", "", 1e-6), names, "")) << log;
    const auto table = rows(std::string(names[4].begin(), names[4].end()));
    ASSERT_EQ(table.size(), 5u);
    for (const auto& row : table) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 3u);
        const double fraction = 1.0 - std::exp(-FOUR_PI * 1e-6 / row[0] * ABSORBER_D);
        EXPECT_NEAR(row[1], fraction, 0.02 * fraction);
        EXPECT_GT(row[2], 0.98);
        EXPECT_LE(row[2], 1.0);
    }
}

TEST_F(QuantumEfficiencyTest, LightAbsorbedBelowTheRoundOffOfTheFluxHasNoIqe)
{
    // k = 1e-14 absorbs about 1e-13 of the light, the difference of two
    // fluxes that agree to within their rounding over the 140 mesh points:
    // the photocurrent is still written as EQE, but its ratio to the
    // absorbed light would be off by several per cent, so no IQE is
    // written for it.
    std::wstring names[5];
    ASSERT_TRUE(run(collector("    Voltage.Source=\"None\"\n", "", 1e-14), names, "")) << log;
    const auto table = rows(at("simulout_qw.txt"));
    ASSERT_FALSE(table.empty());
    for (const auto& row : table) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 3u);
        EXPECT_LT(row[1], 1e-12);
        EXPECT_EQ(row[2], 0.0);
    }
}

// Replaces the one occurrence of from in text.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST_F(QuantumEfficiencyTest, SiliconBeyondItsGapHasTheIqeOfAMonochromaticRun)
{
    // Past 1.1 um silicon absorbs less than a thousandth of the light, all
    // but evenly through its 100 um base: the photocurrent is small but
    // well resolved, and its IQE is what one wavelength alone gives.
    const std::string cell = read(std::string(KOVRA_SOURCE_DIR) + "/examples/silicon-qe.kovra");
    const std::string sweep = replaced(cell, "Light.Start=0.3", "Light.Start=1.14");
    ASSERT_TRUE(run(write("sweep/cell.kovra", sweep))) << log;
    double EQE = -1.0, IQE = -1.0;
    for (const auto& row : rows(at("sweep/simulout_qw.txt"))) {
        ASSERT_EQ(row.size(), 3u);
        EXPECT_GT(row[2], 0.0) << row[0];
        if (std::fabs(row[0] - 1.16) < 1e-9) {
            EQE = row[1];
            IQE = row[2];
        }
    }
    ASSERT_GT(IQE, 0.0);

    // The same cell under 1.16 um light alone at 0 V: the photocurrent per
    // incident photon, and per photon the generation profile takes up.
    std::string mono = replaced(cell, "Light.Source=\"Sweep\"", "Light.Source=\"Mono\"");
    mono = replaced(mono, "Light.Start=0.3", "Light.Wavelength=1.16");
    mono = replaced(mono, "Voltage.Source=\"None\"",
                    "Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n    Voltage.End=0\n"
                    "    Voltage.Step=0");
    std::wstring names[5];
    ASSERT_TRUE(run(write("mono/cell.kovra", mono), names)) << log;
    const auto jv = rows(at("mono/simulout_jv.txt"));
    ASSERT_EQ(jv.size(), 1u);
    const double J = std::fabs(jv[0][1]);
    const auto profile = rows(std::string(names[1].begin(), names[1].end()));
    ASSERT_GT(profile.size(), 100u);
    double absorbedFlux = 0.0;  // 1/cm2/s: the generation (column Gop) over z (um)
    for (size_t k = 1; k < profile.size(); ++k) {
        absorbedFlux += 0.5 * (profile[k][20] + profile[k - 1][20]) *
                        (profile[k][0] - profile[k - 1][0]) * 1e-4;
    }
    constexpr double Q = 1.602176634e-19;
    constexpr double FLUX = 1e16;
    EXPECT_NEAR(EQE, J / (Q * FLUX), 1e-3 * EQE);
    EXPECT_NEAR(IQE, J / (Q * absorbedFlux), 1e-3 * IQE);
    EXPECT_NEAR(IQE, 0.50, 0.01);
}

TEST_F(QuantumEfficiencyTest, SmallForwardVoltageKeepsTheCollection)
{
    // Within one thermal voltage of 0 V the sweep reaches its voltage
    // without a ramp; the field of the junction still collects everything.
    ASSERT_TRUE(run(collector("    Voltage.Source=\"Sweep\"\n    Voltage.Start=0.02\n"
                              "    Voltage.End=0.02\n    Voltage.Step=0\n")))
        << log;
    EXPECT_NE(read(at("simulout_qw.txt")).find("# Voltage = 0.02 V"), std::string::npos);
    const auto table = rows(at("simulout_qw.txt"));
    ASSERT_EQ(table.size(), 5u);
    for (const auto& row : table) {
        EXPECT_NEAR(row[1], absorbed(row[0]), 0.02 * absorbed(row[0])) << row[0];
    }
}

TEST_F(QuantumEfficiencyTest, SweepThatFailsAtItsVoltageIsRepeatedAtZeroWithAWarning)
{
    // At 3 V forward the dark current is tens of MA/cm2: the photocurrent of
    // one wavelength is lost in it and no point can be accepted.
    std::wstring names[5];
    ASSERT_TRUE(run(collector("    Voltage.Source=\"Sweep\"\n    Voltage.Start=3\n"
                              "    Voltage.End=3\n    Voltage.Step=0\n"),
                    names))
        << log;
    EXPECT_NE(log.find("[WARNING] QE spectrum not simulated at Va = 3 V: simulating it again at "
                       "Va = 0 V\n"),
              std::string::npos)
        << log;
    const std::string qw = read(at("simulout_qw.txt"));
    EXPECT_NE(qw.find("# Voltage = 0 V"), std::string::npos) << qw;
    const auto table = rows(at("simulout_qw.txt"));
    ASSERT_EQ(table.size(), 5u);
    for (const auto& row : table) {
        EXPECT_NEAR(row[1], absorbed(row[0]), 0.02 * absorbed(row[0])) << row[0];
    }
}

TEST_F(QuantumEfficiencyTest, NoLightThroughTheAnodeFallsBackToEquilibrium)
{
    // A micrometre of an opaque anode lets no photon through.
    std::wstring names[5];
    ASSERT_TRUE(run(collector("    Voltage.Source=\"None\"\n",
                              "[Anode]\n    Anode.Thickness=1\n    Anode.Index.n=2\n"
                              "    Anode.Index.k=2\n"),
                    names))
        << log;
    EXPECT_FALSE(std::filesystem::exists(at("simulout_qw.txt")));
    EXPECT_TRUE(names[4].empty());
    ASSERT_FALSE(names[0].empty());
    EXPECT_NE(read(std::string(names[0].begin(), names[0].end())).find("# Kovra <EE>"),
              std::string::npos);
}

// A simulator whose coupled system loses its rank in a step that checks,
// after a point converged, how well its current is known; the point itself
// solves as usual. singular(check, wavelength) picks the checks that fail:
// check counts them over the run from 0 (at a voltage off 0 V the first is
// the dark current's), wavelength is the one shining.
class SingularCheckSimulator : public ekSimulator {
public:
    using Choice = std::function<bool(int check, double wavelength)>;

    SingularCheckSimulator(nuSigma* sigma, nuParam* param, Choice singular, int* singularSteps)
        : ekSimulator(sigma, param), singular(std::move(singular)), singularSteps(singularSteps)
    {
        setNewtonAssembler(static_cast<SystemAssembler>(&SingularCheckSimulator::assemble));
    }

private:
    void assemble(double* x, double* F, double* rhs, double* lower, double* diag, double* upper,
                  ekBandMatrix* jacobian, double* other1, double* other2, int n, double* norm)
    {
        transportNewton(x, F, rhs, lower, diag, upper, jacobian, other1, other2, n, norm);
        // A bias point's solve starts by clearing prevPoint; it is set
        // again only once that point converged, so a step taken while it is
        // set is the check that follows.
        if (prevPoint != 0 && singular(checks++, lightState.wavelength)) {
            jacobian->clear();
            ++*singularSteps;
        }
    }

    Choice singular;
    int checks = 0;
    int* singularSteps;
};

// How often text stands in log.
size_t occurrences(const std::string& log, const std::string& text)
{
    size_t n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++n;
    }
    return n;
}

TEST_F(QuantumEfficiencyTest, FailedCheckStepLeavesTheIqeUnknownWithAndWithoutDebug)
{
    // At 0.6 um the step that measures the current's accuracy meets a
    // singular system. Its unknowns stay as they were, which must not read
    // as a current known exactly: the IQE there is not resolved (written
    // as 0), and a warning naming the wavelength says so, whether or not
    // -debug is on. The photocurrent itself (EQE) is that of the converged
    // point.
    constexpr double FAILING = 0.6;
    const std::string device = collector("    Voltage.Source=\"None\"\n");
    const std::wstring file(device.begin(), device.end());
    std::vector<std::vector<double>> tables[2];
    for (const bool debug : {false, true}) {
        SCOPED_TRACE(debug ? "debug" : "no debug");
        int singularSteps = 0;
        ekRunRequest request;
        request.inputFile = file.c_str();
        request.debug = debug;
        request.nowarn = true;
        request.makeSimulator = [&](nuSigma* sigma, nuParam* param) -> ekSimulator* {
            return new (std::nothrow) SingularCheckSimulator(
                sigma, param,
                [](int, double wavelength) { return std::fabs(wavelength - FAILING) < 1e-9; },
                &singularSteps);
        };
        ::testing::internal::CaptureStdout();
        const bool ok = ek_runSimulation(request);
        log = ::testing::internal::GetCapturedStdout();
        ASSERT_TRUE(ok) << log;
        // The singular system met the check alone, once.
        EXPECT_EQ(singularSteps, 1);
        // The unresolved IQE is said, with its wavelength, once, and even
        // with the warnings that may be left out switched off.
        const std::string warning =
            "[WARNING] QE spectrum at 0.6 um: IQE written as 0 (not resolved): the step that "
            "checks how well the current is known could not be solved\n";
        EXPECT_EQ(occurrences(log, warning), 1u) << log;
        EXPECT_EQ(log.find("[WARNING] QE spectrum at 0.4 um"), std::string::npos) << log;
        if (debug) {
            EXPECT_NE(log.find("[DEBUG]   singular matrix found in the transport system"),
                      std::string::npos)
                << log;
        }
        const auto table = rows(at("simulout_qw.txt"));
        ASSERT_EQ(table.size(), 5u);
        for (const auto& row : table) {
            SCOPED_TRACE(row[0]);
            ASSERT_EQ(row.size(), 3u);
            EXPECT_NEAR(row[1], absorbed(row[0]), 0.02 * absorbed(row[0]));
            if (std::fabs(row[0] - FAILING) < 1e-9) {
                EXPECT_EQ(row[2], 0.0);
            } else {
                EXPECT_GT(row[2], 0.98);
            }
        }
        tables[debug ? 1 : 0] = table;
    }
    EXPECT_EQ(tables[0], tables[1]);
}

TEST_F(QuantumEfficiencyTest, FailedDarkCheckStepLeavesEveryIqeUnknownAndSaysSoOnce)
{
    // At 0.02 V the dark current is solved before any wavelength shines,
    // and its accuracy checked by one more step; that step meets a singular
    // system. Every photocurrent is then measured against a dark current
    // of unknown accuracy: no IQE is resolved, which one warning says. The
    // EQEs are those of the converged points.
    const std::string device = collector("    Voltage.Source=\"Sweep\"\n    Voltage.Start=0.02\n"
                                         "    Voltage.End=0.02\n    Voltage.Step=0\n");
    const std::wstring file(device.begin(), device.end());
    int singularSteps = 0;
    ekRunRequest request;
    request.inputFile = file.c_str();
    request.makeSimulator = [&](nuSigma* sigma, nuParam* param) -> ekSimulator* {
        return new (std::nothrow) SingularCheckSimulator(
            sigma, param, [](int check, double) { return check == 0; }, &singularSteps);
    };
    ::testing::internal::CaptureStdout();
    const bool ok = ek_runSimulation(request);
    log = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok) << log;
    EXPECT_EQ(singularSteps, 1);
    EXPECT_EQ(occurrences(log, "[WARNING] QE spectrum at Va = 0.02 V: every IQE written as 0 (not "
                               "resolved): the step that checks how well the dark current is "
                               "known could not be solved\n"),
              1u)
        << log;
    EXPECT_EQ(occurrences(log, "[WARNING] QE spectrum at "), 1u) << log;
    const auto table = rows(at("simulout_qw.txt"));
    ASSERT_EQ(table.size(), 5u);
    for (const auto& row : table) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 3u);
        EXPECT_NEAR(row[1], absorbed(row[0]), 0.02 * absorbed(row[0]));
        EXPECT_EQ(row[2], 0.0);
    }
}

TEST(QuantumEfficiencyValue, SolverNoiseAboveOneIsOneAndAnythingClearlyAboveIsNoResult)
{
    struct Case {
        double computed, stored;
    };
    const Case cases[] = {
        {0.0, 0.0},    {0.5, 0.5}, {1.0, 1.0}, {1.00005, 1.0},  {1.0001, 1.0},
        {1.0002, 0.0}, {1.5, 0.0}, {NAN, 0.0}, {INFINITY, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ekPhysicalEfficiency(c.computed), c.stored) << c.computed;
    }
}

}  // namespace
