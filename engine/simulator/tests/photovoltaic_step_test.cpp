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
};

class PhotovoltaicStep : public RunFixture {
protected:
    struct Result {
        std::map<std::string, double> figures;
        std::vector<std::vector<double>> jv;
        std::string distribution;
    };

    Result sweep(const Sweep& s)
    {
        std::string cell = read(std::string(KOVRA_SOURCE_DIR) + "/examples/cds-cdte.kovra");
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
        const std::string folder = std::string(s.name) + "/";
        std::wstring names[5];
        Result r;
        EXPECT_TRUE(run(write(folder + "cell.kovra", cell), names)) << log;
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
