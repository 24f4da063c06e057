// The sweep files: J-V, C-V and quantum efficiency from the sweep records.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ElecSweep.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "nucore.h"
#include "resultTestSupport.h"
#include "simulatorDevice.h"

namespace {

class ResultsSweep : public ::testing::Test {
protected:
    TempFolder scratch;
    SimulatorDevice d;
    double Vt = 0.0;
    double J0 = 0.0;

    void SetUp() override
    {
        ASSERT_TRUE(d.build({{L"Si", 0x10, 1e16, 1.0, 100}})) << d.sigma.message;
        d.sim->setPath(L"/data/cell.kovra", scratch.wideFolder().c_str(),
                       scratch.wideFile("simulog.txt").c_str());
        ASSERT_TRUE(d.sigma.isOK());
        Vt = d.sim->getNorm().Vt;
        J0 = d.sim->getNorm().current;
    }

    // A bias sweep from 0 V in steps of 0.1 V with the given point count,
    // every point computed.
    ElecSweep* biasSweep(int points)
    {
        EXPECT_TRUE(d.sim->setBiasData(d.device.get(), 0.0, 0.1 * (points - 1), 0.1, -1000.0,
                                       1000.0, 0x10, nullptr))
            << d.sigma.message;
        ElecSweep* sweep = d.sim->getSweepBias();
        EXPECT_NE(sweep, nullptr);
        EXPECT_EQ(sweep->getPoints(), points);
        for (int i = 0; i < points; ++i) {
            sweep->setMask(i, ElecSweep::MASK_COMPUTED);
        }
        return sweep;
    }

    std::string text(const char* name) const { return readText(scratch.wideFile(name)); }
};

TEST_F(ResultsSweep, CurrentVoltageRowsOfTheComputedPoints)
{
    ElecSweep* sweep = biasSweep(6);
    for (int i = 0; i < 6; ++i) {
        sweep->setData(1, i, 1e-3 * i - 2e-4);
    }
    sweep->setMask(2, ElecSweep::MASK_FAILED);
    sweep->setMask(5, ElecSweep::MASK_SET);
    d.sigma.comm = true;
    ASSERT_TRUE(d.sim->saveSweep(ekSimulator::SWEEP_JV, L"[SEND]JV:"));

    const std::string file = text("simulout_jv.txt");
    const std::vector<std::string> lines = splitLines(file);
    EXPECT_EQ(lines[0], "# Kovra <JV>");
    EXPECT_EQ(lines[1], "# The above first line is mandatory");
    EXPECT_EQ(lines[7], "# Voltage = 0.0 V   Current = 0 A/cm2");
    EXPECT_EQ(lines[8], "#");
    EXPECT_EQ(lines[9], "# Voltage (V)\tJ (A/cm2)");
    EXPECT_EQ(lines[10], "#");
    // The last point was not computed: the file ends with the line end of
    // the row before it.
    EXPECT_EQ(file.back(), '\n');

    const std::vector<std::string> rows = dataRows(file);
    ASSERT_EQ(rows.size(), 4u);
    const int written[] = {0, 1, 3, 4};
    // The voltages read as start + i*step with the step's one decimal,
    // not as the round-off of their normalised storage (0.30000000000000004).
    const char* voltages[] = {"0.0", "0.1", "0.3", "0.4"};
    for (size_t r = 0; r < rows.size(); ++r) {
        const int i = written[r];
        const std::vector<double> v = parseRow(rows[r]);
        ASSERT_EQ(v.size(), 2u);
        EXPECT_EQ(rows[r].substr(0, rows[r].find('\t')), voltages[r]);
        // At 0 V in the dark no current flows, whatever the solver left.
        EXPECT_EQ(v[1], i == 0 ? 0.0 : sweep->getData(1, i) * J0);
    }
    EXPECT_EQ(std::wstring(d.sim->getFilenameJV()), scratch.wideFile("simulout_jv.txt"));
    EXPECT_EQ(readText(scratch.wideFile("simulcomm.txt")),
              "[SEND]JV:" + kov_toUtf8(scratch.wideFile("simulout_jv.txt")) + "\n");
}

TEST(SweepDecimals, TheFewestDecimalsThatWriteEveryValueUpToRoundOff)
{
    struct Case {
        std::vector<double> values;
        int decimals;
    };
    const Case cases[] = {
        {{0.0, 1.0, -2.0}, 0},
        {{0.0, 0.06999999999999999, 0.880000000000001}, 2},
        {{-0.2, -0.1, 0.0, 0.1}, 1},
        {{0.0, 0.025, 0.05, 0.075}, 3},
        {{0.3, 0.0005}, 4},
        {{1.0 / 3.0}, -1},  // no decimal count writes a third
        {{}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ekResult::sweepDecimals(c.values.data(), static_cast<int>(c.values.size())),
                  c.decimals)
            << c.values.size() << " values";
    }
    // Rounded negative zero is written as zero; a negative decimal count
    // falls back to the shortest exact text.
    std::wstring row;
    ekResult::appendFixed(row, -1e-17, 2);
    row += L' ';
    ekResult::appendFixed(row, -0.30000000000000004, 1);
    row += L' ';
    ekResult::appendFixed(row, 0.1, -1);
    EXPECT_EQ(row, L"0.00 -0.3 0.1");
}

TEST_F(ResultsSweep, AStoppedSweepKeepsItsSolvedPointsMarkedPartial)
{
    ElecSweep* sweep = biasSweep(6);
    sweep->setMask(4, ElecSweep::MASK_SET);
    sweep->setMask(5, ElecSweep::MASK_SET);
    ASSERT_TRUE(d.sim->saveSweep(ekSimulator::SWEEP_JV, nullptr));
    EXPECT_EQ(text("simulout_jv.txt").find("Partial"), std::string::npos);

    // The user's stop is seen while a distribution is written.
    nu_requestStop();
    const bool written = d.sim->saveDist(nullptr, ekSimulator::TAG_EN, 1, ekSimulator::TAG_JV);
    nu_clearStopRequest();
    ASSERT_TRUE(written);
    ASSERT_TRUE(d.sim->isStopped());
    for (const auto kind : {ekSimulator::SWEEP_JV, ekSimulator::SWEEP_CV}) {
        ASSERT_TRUE(d.sim->saveSweep(kind, nullptr));
    }
    for (const char* name : {"simulout_jv.txt", "simulout_cv.txt"}) {
        const std::vector<std::string> lines = splitLines(text(name));
        ASSERT_GT(lines.size(), 9u);
        EXPECT_EQ(lines[8], "# Partial: stopped by the user after 4 of 6 points") << name;
        EXPECT_EQ(lines[9], "#") << name;
        EXPECT_EQ(dataRows(text(name)).size(), 4u) << name;
    }
}

TEST_F(ResultsSweep, UnphysicalCurrentEarlyRefusesTheFileLaterDropsTheRow)
{
    // 20 points: the guard covers the first five.
    ElecSweep* sweep = biasSweep(20);
    sweep->setData(1, 6, 2e6 / J0);
    ASSERT_TRUE(d.sim->saveSweep(ekSimulator::SWEEP_JV, nullptr));
    EXPECT_EQ(dataRows(text("simulout_jv.txt")).size(), 19u);

    sweep->setData(1, 4, -2e6 / J0);
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(d.sim->saveSweep(ekSimulator::SWEEP_JV, nullptr));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("[WARNING] unphysical current values (check device parameters)\n"),
              std::string::npos)
        << out;
    EXPECT_TRUE(d.sigma.isOK());
    // Neither a file cut at the bad row nor the earlier one stays.
    EXPECT_FALSE(scratch.exists("simulout_jv.txt"));
}

TEST_F(ResultsSweep, CapacitanceIsTheChargeSlopeOfTheLargerChargeColumn)
{
    ElecSweep* sweep = biasSweep(8);
    // Column 3 (negative charge) is the larger at the first point; its slope
    // is -2 (normalised), the capacitance its magnitude.
    for (int i = 0; i < 8; ++i) {
        const double V = sweep->getData(0, i);
        sweep->setData(2, i, 1.0 + 0.5 * V);
        sweep->setData(3, i, -(10.0 + 2.0 * V));
    }
    ASSERT_TRUE(d.sim->saveSweep(ekSimulator::SWEEP_CV, nullptr));
    const std::vector<std::string> lines = splitLines(text("simulout_cv.txt"));
    EXPECT_EQ(lines[0], "# Kovra <CV>");
    EXPECT_EQ(lines[9], "# Voltage (V)\tQ (C/cm2)\tC (F/cm2)");
    const std::vector<std::string> rows = dataRows(text("simulout_cv.txt"));
    ASSERT_EQ(rows.size(), 8u);
    const double sheet = d.sim->getNorm().sheetCharge;
    for (int i = 0; i < 8; ++i) {
        const std::vector<double> v = parseRow(rows[i]);
        ASSERT_EQ(v.size(), 3u);
        EXPECT_NEAR(v[0], sweep->getData(0, i) * Vt, 1e-12);
        EXPECT_EQ(v[1], sweep->getData(3, i) * sheet);
        EXPECT_NEAR(v[2], 2.0 * sheet / Vt, 1e-9 * sheet / Vt) << i;
    }
}

TEST_F(ResultsSweep, RepeatedVoltagesAndMissingNeighboursKeepTheLastCapacitance)
{
    ElecSweep* sweep = biasSweep(6);
    for (int i = 0; i < 6; ++i) {
        sweep->setData(2, i, 0.0);
        sweep->setData(3, i, -3.0 * sweep->getData(0, i) - 1.0);
    }
    // Point 2's neighbours share a voltage: it repeats row 1's charge and
    // capacitance. Point 4 lacks its right neighbour: it keeps row 3's
    // capacitance with its own charge.
    sweep->setData(0, 3, sweep->getData(0, 1));
    sweep->setMask(5, ElecSweep::MASK_FAILED);
    ASSERT_TRUE(d.sim->saveSweep(ekSimulator::SWEEP_CV, nullptr));
    const std::vector<std::string> rows = dataRows(text("simulout_cv.txt"));
    ASSERT_EQ(rows.size(), 5u);
    const std::vector<double> r1 = parseRow(rows[1]), r2 = parseRow(rows[2]);
    const std::vector<double> r3 = parseRow(rows[3]), r4 = parseRow(rows[4]);
    const double sheet = d.sim->getNorm().sheetCharge;
    EXPECT_NEAR(r1[2], 3.0 * sheet / Vt, 1e-9 * sheet / Vt);
    EXPECT_EQ(r2[1], r1[1]);
    EXPECT_EQ(r2[2], r1[2]);
    EXPECT_EQ(r4[1], sweep->getData(3, 4) * sheet);
    EXPECT_EQ(r4[2], r3[2]);
}

TEST_F(ResultsSweep, QuantumEfficiencyRowsOnlyWhereEqeNeverExceedsIqe)
{
    ASSERT_TRUE(d.sim->setLightEQE(d.device.get(), 0.4, 0.8, 0.1, 1e17)) << d.sigma.message;
    ElecSweep* light = d.sim->getSweepLight();
    ASSERT_NE(light, nullptr);
    ASSERT_EQ(light->getPoints(), 5);
    const double eqe[] = {0.2, 0.6, 0.5, -0.1, 0.3};
    const double iqe[] = {0.4, 0.5, 0.9, 0.2, 1.2};
    for (int i = 0; i < 5; ++i) {
        light->setData(4, i, eqe[i]);
        light->setData(5, i, iqe[i]);
        light->setMask(i, ElecSweep::MASK_COMPUTED);
    }
    ASSERT_TRUE(d.sim->saveSweep(ekSimulator::SWEEP_QW, nullptr));
    const std::string file = text("simulout_qw.txt");
    EXPECT_EQ(splitLines(file)[0], "# Kovra <QW>");
    EXPECT_EQ(splitLines(file)[9], "# Wavelength (um)\tEQE\tIQE");
    const std::vector<std::string> rows = dataRows(file);
    ASSERT_EQ(rows.size(), 2u);
    // The wavelengths read as given (0.6, not 0.6000000000000001).
    EXPECT_EQ(parseRow(rows[0]), (std::vector<double>{0.4, 0.2, 0.4}));
    EXPECT_EQ(parseRow(rows[1]), (std::vector<double>{0.6, 0.5, 0.9}));
    EXPECT_EQ(std::wstring(d.sim->getFilenameQW()), scratch.wideFile("simulout_qw.txt"));
}

TEST_F(ResultsSweep, NoFileForAnUnknownKindOrAMissingSweep)
{
    EXPECT_FALSE(d.sim->saveSweep(4, nullptr));
    EXPECT_FALSE(d.sim->saveSweep(ekSimulator::SWEEP_JV, nullptr));  // no bias sweep yet
    EXPECT_FALSE(d.sim->saveSweep(ekSimulator::SWEEP_QW, nullptr));  // no light
    EXPECT_TRUE(d.sigma.isOK());
    EXPECT_FALSE(scratch.exists("simulout_jv.txt"));
    EXPECT_FALSE(scratch.exists("simulout_qw.txt"));
}

}  // namespace
