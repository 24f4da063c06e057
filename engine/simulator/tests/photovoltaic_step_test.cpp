// The photovoltaic figures of a cell do not depend on how its sweep was
// sampled: the CdS/CdTe cell of the examples, swept with steps from 0.01 V
// to 0.2 V, and across 0 V instead of up to it, gives the same Jsc, Voc, FF
// and efficiency. Voc lies where the J-V file's current changes sign and
// the maximum power is at least that of every row; the J-V file keeps the
// sweep's own points, the last distribution is that of a sweep point, and
// RP comes from the same points whichever way the sweep ends.
#include <cmath>
#include <map>
#include <string>

#include "resultTable.h"
#include "runFixture.h"

namespace {

struct Sweep {
    const char* name;
    const char* start;
    const char* end;
    const char* step;
    double startV, endV, stepV;
};

// The example's own sweep first: the reference of the others.
const Sweep SWEEPS[] = {
    {"ToZeroBy10mV", "-0.9", "0", "0.01", -0.9, 0.0, 0.01},
    {"ToZeroBy50mV", "-0.9", "0", "0.05", -0.9, 0.0, 0.05},
    {"ToZeroBy100mV", "-0.9", "0", "0.1", -0.9, 0.0, 0.1},
    {"ToZeroBy200mV", "-0.9", "0", "0.2", -0.9, 0.0, 0.2},
    {"AcrossZeroBy10mV", "-0.9", "0.1", "0.01", -0.9, 0.1, 0.01},
    {"AcrossZeroBy70mV", "-1.05", "0.35", "0.07", -1.05, 0.35, 0.07},
    // A fine step once damped every Newton update so hard that the first
    // lit point failed.
    {"ToZeroBy1mV", "-0.9", "0", "0.001", -0.9, 0.0, 0.001},
    // Coarse sweeps across 0 V whose upper half is one point, a whole step
    // beyond 0 V or just above it: once solved from the dark equilibrium
    // with the light and that step at once, it failed, and Jsc came from a
    // line through the failed point (thousands of A/cm2).
    {"AcrossZeroBy200mVFromMinus108", "-1.08", "0.2", "0.2", -1.08, 0.2, 0.2},
    {"JustAboveZeroBy200mV", "-1.08", "0.001", "0.2", -1.08, 0.001, 0.2},
    {"AcrossZeroBy130mVTo50mV", "-0.93", "0.05", "0.13", -0.93, 0.05, 0.13},
};

class PhotovoltaicStep : public RunFixture {
protected:
    struct Result {
        std::map<std::string, double> figures;
        std::vector<std::vector<double>> jv;
        std::string distribution;
        std::string log;
    };

    // Runs a device file as -debug runs it; names receives the five result
    // names.
    bool runDebug(const std::string& device, std::wstring* names)
    {
        static wchar_t buffers[5][EK_FILENAME_SIZE];
        for (auto& b : buffers) {
            b[0] = 0;
        }
        const std::wstring file(device.begin(), device.end());
        ::testing::internal::CaptureStdout();
        const bool ok = ek_simulate(file.c_str(), true, false, false, nullptr, true, buffers[0],
                                    buffers[1], buffers[2], buffers[3], buffers[4], nullptr);
        log = ::testing::internal::GetCapturedStdout();
        for (int i = 0; i < 5; ++i) {
            names[i] = buffers[i];
        }
        return ok;
    }

    // The cell swept as s says; light: lines that replace its AM1.5 source
    // (empty: AM1.5); debug: run as -debug runs it.
    Result sweep(const Sweep& s, const std::string& light = "", bool debug = false)
    {
        std::string cell = read(std::string(KOVRA_SOURCE_DIR) + "/examples/cds-cdte.kovra");
        if (!light.empty()) {
            const std::string source = "Light.Source=\"AM1.5\"";
            const size_t at = cell.find(source);
            EXPECT_NE(at, std::string::npos);
            if (at != std::string::npos) {
                cell.replace(at, source.size(), light);
            }
        }
        for (const auto& [key, value] :
             {std::pair{"Voltage.Start=-0.9", s.start}, std::pair{"Voltage.End=0", s.end},
              std::pair{"Voltage.Step=0.01", s.step}}) {
            const size_t at = cell.find(key);
            EXPECT_NE(at, std::string::npos) << key;
            if (at != std::string::npos) {
                cell.replace(at, std::string(key).size(),
                             std::string(key).substr(0, std::string(key).find('=') + 1) + value);
            }
        }
        const std::string folder =
            std::string(s.name) + (light.empty() ? "" : "-mono") + (debug ? "-debug/" : "/");
        std::wstring names[5];
        Result r;
        const std::string device = write(folder + "cell.kovra", cell);
        EXPECT_TRUE(debug ? runDebug(device, names) : run(device, names)) << log;
        r.log = log;
        r.figures = readResultTable(read(at(folder + "simulout_photovoltaic.txt")));
        r.jv = rows(at(folder + "simulout_jv.txt"));
        r.distribution = read(std::string(names[1].begin(), names[1].end()));
        return r;
    }
};

TEST_F(PhotovoltaicStep, FiguresAgreeWhateverTheStepAndTheEndOfTheSweep)
{
    const Result reference = sweep(SWEEPS[0]);
    for (const char* key : {"Eff", "Jsc", "Voc", "FF", "Popt"}) {
        ASSERT_EQ(reference.figures.count(key), 1u) << key;
    }
    const double Popt = reference.figures.at("Popt");
    for (const Sweep& s : SWEEPS) {
        SCOPED_TRACE(s.name);
        const Result r = s.name == SWEEPS[0].name ? reference : sweep(s);
        for (const char* key : {"Eff", "Jsc", "Voc", "FF"}) {
            ASSERT_EQ(r.figures.count(key), 1u) << key;
            const double expected = reference.figures.at(key);
            EXPECT_NEAR(r.figures.at(key), expected, 1e-3 * expected) << key;
        }
        EXPECT_LT(r.figures.at("FF"), 90.0);

        // The J-V file holds the sweep's own points and nothing else.
        const long points = std::lround((s.endV - s.startV) / s.stepV) + 1;
        ASSERT_EQ(static_cast<long>(r.jv.size()), points);
        for (long i = 0; i < points; ++i) {
            // The last point is the end, however the step divides the range.
            EXPECT_NEAR(r.jv[i][0], i == points - 1 ? s.endV : s.startV + i * s.stepV, 1e-9) << i;
        }

        // Voc lies between the rows the current changes sign between (the
        // n side is the anode: the cell works at negative voltages), and
        // no row delivers more power than the maximum found.
        const double Voc = -r.figures.at("Voc");
        bool bracketed = false;
        double rowPower = 0.0;
        for (size_t i = 0; i < r.jv.size(); ++i) {
            rowPower = std::max(rowPower, -r.jv[i][0] * r.jv[i][1]);
            if (i > 0 && r.jv[i - 1][1] * r.jv[i][1] <= 0.0 && r.jv[i - 1][0] < 0.0) {
                bracketed = r.jv[i - 1][0] <= Voc && Voc <= r.jv[i][0];
            }
        }
        EXPECT_TRUE(bracketed) << Voc;
        // Eff is written with six significant digits: a row of a fine sweep
        // may lie within that rounding of the maximum.
        EXPECT_GE(r.figures.at("Eff") / 100.0 * Popt, rowPower * (1.0 - 5e-6));

        // The last distribution is the state of one of the sweep's points,
        // not of a solve made for the figures.
        const std::string mark = "# Voltage = ";
        const size_t at = r.distribution.find(mark);
        ASSERT_NE(at, std::string::npos);
        const double V = std::stod(r.distribution.substr(at + mark.size()));
        const size_t current = r.distribution.find("Current = ", at);
        ASSERT_NE(current, std::string::npos);
        const double J = std::stod(r.distribution.substr(current + 10));
        bool found = false;
        for (const auto& row : r.jv) {
            if (std::fabs(row[0] - V) < 1e-9) {
                found = true;
                EXPECT_NEAR(J, row[1], 1e-5 * std::fabs(row[1]) + 1e-12) << V;
            }
        }
        EXPECT_TRUE(found) << V;
    }
}

TEST_F(PhotovoltaicStep, MonochromaticLightAcrossZeroGivesTheFiguresOfAFineStep)
{
    // An intense blue line, 1e21 photons/cm2/s at 0.4 um: the coarse sweep
    // across 0 V once failed beyond 0 V and wrote a Jsc of 2941 A/cm2.
    const std::string mono = "Light.Source=\"Mono\"\n    Light.Wavelength=0.4\n    "
                             "Light.Flux=1e21";
    const Result fine = sweep({"MonoBy70mV", "-1.08", "0.2", "0.07", -1.08, 0.2, 0.07}, mono);
    for (const Sweep& s :
         {Sweep{"MonoBy200mV", "-1.08", "0.2", "0.2", -1.08, 0.2, 0.2},
          Sweep{"MonoJustAboveZero", "-1.08", "0.001", "0.2", -1.08, 0.001, 0.2}}) {
        SCOPED_TRACE(s.name);
        const Result coarse = sweep(s, mono);
        EXPECT_EQ(coarse.log.find("convergence not achieved"), std::string::npos) << coarse.log;
        for (const char* key : {"Eff", "Jsc", "Voc", "FF"}) {
            ASSERT_EQ(fine.figures.count(key), 1u) << key;
            ASSERT_EQ(coarse.figures.count(key), 1u) << key;
            EXPECT_NEAR(coarse.figures.at(key), fine.figures.at(key), 1e-3 * fine.figures.at(key))
                << key;
        }
    }
}

TEST_F(PhotovoltaicStep, DebugModeGivesTheSameFigures)
{
    // The debug lines are said, and change nothing: a failed linear solve
    // once raised the error flag with its debug line, which skipped the
    // refinement of the figures (Voc moved by 0.1 V).
    for (const Sweep& s :
         {Sweep{"DebugAcrossZero", "-1.08", "0.05", "0.2", -1.08, 0.05, 0.2},
          Sweep{"DebugJustAboveZero", "-0.93", "0.001", "0.13", -0.93, 0.001, 0.13}}) {
        SCOPED_TRACE(s.name);
        const Result quiet = sweep(s);
        const Result debug = sweep(s, "", true);
        EXPECT_NE(debug.log.find("[DEBUG]"), std::string::npos);
        ASSERT_EQ(quiet.figures.count("Voc"), 1u);
        EXPECT_EQ(debug.figures, quiet.figures);
        EXPECT_EQ(debug.jv, quiet.jv);
    }
}

TEST_F(PhotovoltaicStep, ParallelResistanceComesFromTheSamePointsWhicheverWayTheSweepEnds)
{
    // Both sweeps hold the points -0.9 .. 0 V by 10 mV; one of them goes on
    // to 0.1 V, so its two halves are solved from 0 V outwards.
    const Result toZero = sweep(SWEEPS[0]);
    const Result across = sweep(SWEEPS[4]);
    ASSERT_EQ(toZero.figures.count("RP"), 1u);
    ASSERT_EQ(across.figures.count("RP"), 1u);
    EXPECT_EQ(toZero.figures.at("RP"), across.figures.at("RP"));
    EXPECT_EQ(toZero.figures.at("RS"), across.figures.at("RS"));
    // The slope at 0 V towards the power quadrant, over two steps.
    const auto& jv = toZero.jv;
    const size_t z = jv.size() - 1;
    ASSERT_EQ(jv[z][0], 0.0);
    const double RP = 0.02 / std::fabs(jv[z][1] - jv[z - 2][1]);
    EXPECT_NEAR(toZero.figures.at("RP"), RP, 0.06);
}

}  // namespace
