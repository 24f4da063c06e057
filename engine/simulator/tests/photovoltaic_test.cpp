// Photovoltaic figures of synthetic illuminated sweeps J = J0 (e^(V/Vt) - 1)
// - Jsc: Jsc, Voc, FF and efficiency within the error of the sweep's linear
// interpolation and discrete maximum, the resistances from the sweep's
// slopes, and the cases the figures are refused in.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "biasFixture.h"
#include "resultTable.h"

namespace {

constexpr double J0 = 1e-12;  // A/cm2

class Photovoltaic : public BiasFixture {
protected:
    void SetUp() override
    {
        BiasFixture::SetUp();
        addLayer(L"Si", 1.0, 0x10, 1e16);
        ASSERT_TRUE(sim.setLightMono(&device, 0.5, 1e17, 0x10));
        Popt = sim.getLightTotal(3);
        ASSERT_NEAR(Popt, 1e17 * 1.239842 / 0.5 * Q, 1e-3 * Popt);
    }

    // Stores J(V) (volts, A/cm2) at every point of the uniform sweep as the
    // bias sweep would, tracking each point; skipFirst leaves point 0 out
    // of the valid points.
    void synthesise(double v0, double v1, double step, const std::function<double(double)>& J,
                    bool skipFirst = false, bool lightOn = true)
    {
        ASSERT_TRUE(sim.setBiasData(&device, v0, v1, step, -1e6, 1e6, 0x10, nullptr));
        ElecSweep* sweep = sim.getSweepBias();
        bool started = false;
        double Jp = 0, Vp = 0, Pmax = 0;
        for (int i = 0; i < sweep->getPoints(); ++i) {
            const double V = sweep->getData(0, i);
            const double Jn = J(V * Vt()) / Jscale();
            sim.setAppliedVoltage(V);
            sim.setMeanCurrent(Jn);
            sweep->setData(1, i, Jn);
            if (!(skipFirst && i < 2)) {
                sweep->setMask(i, ElecSweep::MASK_COMPUTED);
            }
            sim.trackPVPoint(lightOn, &started, &Jp, &Vp, &Pmax, i);
        }
    }

    // The figures file as key -> value.
    std::map<std::string, double> figures()
    {
        wchar_t message[256] = {};
        sim.printPV(true, message);
        return readResultTable(readFile(path("simulout_photovoltaic.txt")));
    }

    double Popt = 0.0;
};

struct Cell {
    const char* name;
    double v0, v1, step;
    double Jsc;       // A/cm2
    double polarity;  // -1: the anode is the n side, Voc negative
};

class PhotovoltaicCell : public Photovoltaic, public ::testing::WithParamInterface<Cell> {};

TEST_P(PhotovoltaicCell, FiguresMatchTheDiodeEquation)
{
    const Cell& c = GetParam();
    const double vt = Vt();
    auto diode = [&](double V) { return J0 * std::expm1(V / vt) - c.Jsc; };
    synthesise(c.v0, c.v1, c.step, [&](double V) { return c.polarity * diode(c.polarity * V); });
    const auto f = figures();
    ASSERT_EQ(f.count("Eff"), 1u);

    // Closed forms, and the maximum power by a fine search.
    const double Voc = vt * std::log1p(c.Jsc / J0);
    double Pmax = 0.0;
    for (double V = 0.0; V < Voc; V += 1e-6) {
        Pmax = std::max(Pmax, -V * diode(V));
    }
    const double FF = Pmax / (Voc * c.Jsc);
    // Error bounds of the sweep: the chord through two points at the
    // exponential (h^2 / (8 Vt) for Voc), the discrete maximum of a power
    // curve whose curvature is about Jsc / Vt.
    const double h = c.step;
    const double vocError = h * h / (8.0 * vt) + 1e-6;
    const double pmaxError = c.Jsc * h * h / (8.0 * vt);

    EXPECT_NEAR(f.at("Jsc"), c.Jsc, 1e-6 * c.Jsc);
    EXPECT_NEAR(f.at("Voc"), Voc, vocError);
    EXPECT_LE(f.at("Eff") / 100.0 * Popt, Pmax * (1 + 1e-6));
    EXPECT_GE(f.at("Eff") / 100.0 * Popt, Pmax - pmaxError);
    const double ffError = FF * (pmaxError / Pmax + vocError / Voc);
    EXPECT_NEAR(f.at("FF") / 100.0, FF, ffError);
    EXPECT_NEAR(f.at("Popt"), Popt, 1e-5 * Popt);
}

const Cell CELLS[] = {
    {"FromZero", 0.0, 0.7, 0.01, 0.01, 1.0},
    {"AcrossZeroOffGrid", -0.205, 0.705, 0.01, 0.01, 1.0},
    {"CoarseSteps", 0.0, 0.7, 0.05, 0.01, 1.0},
    {"ReversedCell", -0.7, 0.0, 0.01, 0.01, -1.0},
};

INSTANTIATE_TEST_SUITE_P(Sweeps, PhotovoltaicCell, ::testing::ValuesIn(CELLS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Photovoltaic, ResistancesAreTheSlopesAtJscAndVoc)
{
    const double vt = Vt();
    auto J = [&](double V) { return J0 * std::expm1(V / vt) - 0.01 + V / 500.0; };
    synthesise(0.0, 0.7, 0.01, J);
    const auto f = figures();
    ASSERT_EQ(f.count("RS"), 1u);
    ASSERT_EQ(f.count("RP"), 1u);
    // Voc lies between 0.59 and 0.60 V: point 60 is the first past it; the
    // slope at Jsc is taken from the 0 V point towards the power quadrant.
    const double RS = 0.02 / (J(0.60) - J(0.58));
    const double RP = 0.02 / (J(0.02) - J(0.0));
    EXPECT_NEAR(f.at("RS"), RS, 0.06);
    EXPECT_NEAR(f.at("RP"), RP, 0.06);
}

TEST_F(Photovoltaic, JscPointOutsideTheValidPointsDropsTheResistances)
{
    synthesise(
        0.0, 0.7, 0.01, [&](double V) { return J0 * std::expm1(V / Vt()) - 0.01; }, true);
    const auto f = figures();
    EXPECT_EQ(f.count("Eff"), 1u);
    EXPECT_EQ(f.count("RS"), 0u);
    EXPECT_EQ(f.count("RP"), 0u);
}

TEST_F(Photovoltaic, HalvesThatMeetAtNoZeroPointGiveJscBetweenThem)
{
    // An illuminated sweep across 0 V without a 0 V point is solved as two
    // halves, each from the point next to 0 V outwards: neither sees the
    // crossing, so Jsc comes from the points on either side.
    const double vt = Vt();
    auto J = [&](double V) { return J0 * std::expm1(V / vt) - 0.01 + V / 50.0; };
    ASSERT_TRUE(sim.setBiasData(&device, -0.205, 0.705, 0.01, -1e6, 1e6, 0x10, nullptr));
    ElecSweep* sweep = sim.getSweepBias();
    const int posL = sim.getBiasPosL(), posR = sim.getBiasPosR();
    ASSERT_EQ(posR, posL + 1);
    auto track = [&](int from, int to, int dir) {
        bool started = false;
        double Jp = 0, Vp = 0, Pmax = 0;
        for (int i = from; i != to + dir; i += dir) {
            const double V = sweep->getData(0, i);
            const double Jn = J(V * vt) / Jscale();
            sim.setAppliedVoltage(V);
            sim.setMeanCurrent(Jn);
            sweep->setData(1, i, Jn);
            sweep->setMask(i, ElecSweep::MASK_COMPUTED);
            sim.trackPVPoint(true, &started, &Jp, &Vp, &Pmax, i);
        }
    };
    track(posL, 0, -1);
    track(posR, sweep->getPoints() - 1, 1);
    int index = 0;
    EXPECT_EQ(sweep->getParam(0, &index), 0.0);
    const auto f = figures();
    ASSERT_EQ(f.count("Jsc"), 1u);
    // The chord through the two points at 0 V: exact for the linear shunt.
    EXPECT_NEAR(f.at("Jsc"), 0.01, 1e-6);
}

TEST_F(Photovoltaic, NoJscThroughAPointThatFailed)
{
    // The same halves, but the solve next to 0 V below it failed: its row
    // holds no current, only the sweep record's fill value. A line through
    // it gave a Jsc thousands of times too large; the figures are left out
    // instead, and said.
    const double vt = Vt();
    auto J = [&](double V) { return J0 * std::expm1(V / vt) - 0.01 + V / 50.0; };
    ASSERT_TRUE(sim.setBiasData(&device, -0.205, 0.705, 0.01, -1e6, 1e6, 0x10, nullptr));
    ElecSweep* sweep = sim.getSweepBias();
    const int posL = sim.getBiasPosL(), posR = sim.getBiasPosR();
    ASSERT_EQ(posR, posL + 1);
    bool started = false;
    double Jp = 0, Vp = 0, Pmax = 0;
    for (int i = posR; i < sweep->getPoints(); ++i) {
        const double V = sweep->getData(0, i);
        const double Jn = J(V * vt) / Jscale();
        sim.setAppliedVoltage(V);
        sim.setMeanCurrent(Jn);
        sweep->setData(1, i, Jn);
        sweep->setMask(i, ElecSweep::MASK_COMPUTED);
        sim.trackPVPoint(true, &started, &Jp, &Vp, &Pmax, i);
    }
    sweep->setMask(posL, ElecSweep::MASK_FAILED);
    ::testing::internal::CaptureStdout();
    const auto f = figures();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(f.count("Jsc"), 0u);
    EXPECT_FALSE(std::filesystem::exists(scratch / "simulout_photovoltaic.txt"));
    EXPECT_NE(out.find("[WARNING] no photovoltaic figures: the short-circuit current needs the "
                       "solved points on both sides of 0 V, and the one at -0.005 V was not "
                       "solved\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(sigma.err, 0);
}

struct Refused {
    const char* name;
    double v1;     // end of the sweep (V)
    double Jsc;    // A/cm2
    double flux;   // light, 1/cm2/s
    bool lightOn;  // as the sweep tells trackPVPoint
};

class PhotovoltaicRefused : public Photovoltaic, public ::testing::WithParamInterface<Refused> {};

TEST_P(PhotovoltaicRefused, WritesNothing)
{
    const Refused& r = GetParam();
    ASSERT_TRUE(sim.setLightMono(&device, 0.5, r.flux, 0x10));
    synthesise(
        0.0, r.v1, 0.01, [&](double V) { return J0 * std::expm1(V / Vt()) - r.Jsc; }, false,
        r.lightOn);
    figures();
    EXPECT_FALSE(std::filesystem::exists(scratch / "simulout_photovoltaic.txt"));
}

const Refused REFUSED[] = {
    {"Dark", 0.7, 0.01, 0.0, true},
    {"NoOpenCircuit", 0.4, 0.01, 1e17, true},
    {"MorePowerThanTheLight", 0.9, 10.0, 1e17, true},
    {"TrackingOff", 0.7, 0.01, 1e17, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, PhotovoltaicRefused, ::testing::ValuesIn(REFUSED),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Photovoltaic, SummaryFileCollectsEveryRunAndTheConsoleLineIsVerbose)
{
    const std::wstring summary = path("summary.txt");
    sigma.summaryFilename = summary.c_str();
    sigma.setOutputType(nuSigma::OUTPUT_VERBOSE);
    synthesise(0.0, 0.7, 0.01, [&](double V) { return J0 * std::expm1(V / Vt()) - 0.01; });
    wchar_t message[256] = {};
    sim.printPV(true, message);
    sim.printPV(true, message);
    // The summary collects "name = value" lines, once per call; the result
    // file holds the same figures as a table.
    const std::string text = readFile(summary);
    const std::map<std::string, double> table =
        readResultTable(readFile(path("simulout_photovoltaic.txt")));
    ASSERT_EQ(text.size() % 2, 0u);
    EXPECT_EQ(text.substr(0, text.size() / 2), text.substr(text.size() / 2));
    for (const char* name : {"Eff", "Jsc", "Voc", "FF", "Popt"}) {
        const size_t at = text.find(std::string(name) + " = ");
        ASSERT_NE(at, std::string::npos) << name;
        ASSERT_EQ(table.count(name), 1u) << name;
        EXPECT_EQ(std::stod(text.substr(at + std::strlen(name) + 3)), table.at(name)) << name;
    }
    const std::wstring line = message;
    EXPECT_EQ(line.rfind(L"[PV]      Eff = ", 0), 0u) << line;
    // The line is printed as it stands: one percent sign, not a doubled one.
    EXPECT_NE(line.find(L" %   Jsc = "), std::wstring::npos) << line;
    EXPECT_EQ(line.find(L"%%"), std::wstring::npos) << line;
    // A disabled call or a missing buffer does nothing.
    std::filesystem::remove(scratch / "simulout_photovoltaic.txt");
    sim.printPV(false, message);
    sim.printPV(true, nullptr);
    EXPECT_FALSE(std::filesystem::exists(scratch / "simulout_photovoltaic.txt"));
}

}  // namespace
