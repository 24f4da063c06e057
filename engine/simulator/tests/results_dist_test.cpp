// The distribution file: header, columns, physical units of every value,
// numbering, the guard against unphysical values, full saving and stops.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "caseName.h"
#include "ekSimulator.h"
#include "nucore.h"
#include "resultTestSupport.h"
#include "simulatorDevice.h"

namespace {

constexpr const char* COLUMN_HEADER =
    "# z (um)\tV (V)\tEn (V/um)\tEp (V/um)\tFn (eV)\tFp (eV)\tEC (eV)\tEV (eV)\t"
    "n (1/cm3)\tp (1/cm3)\tNax (1/cm3)\tNdx (1/cm3)\tNtax (1/cm3)\tNtdx (1/cm3)\t"
    "Q (mC/cm3)\tQssp (mC/cm2)\tQspi (mC/cm2)\tJn (A/cm2)\tJp (A/cm2)\tJ (A/cm2)\t"
    "Gop (1/cm3/s)\tRD (1/cm3/s)\tRA (1/cm3/s)\tRSRH (1/cm3/s)";

class ResultsDist : public ::testing::Test {
protected:
    TempFolder scratch;
    SimulatorDevice d;

    // A one-layer silicon device of the given point count whose results go
    // to the scratch folder, with a plausible solution in its arrays.
    void build(int points, double thickness = 1.0)
    {
        ASSERT_TRUE(d.build({{L"Si", 0x10, 1e16, thickness, points}})) << d.sigma.message;
        ASSERT_EQ(d.sim->getPoints(), points);
        d.sim->setPath(L"/data/cell.kovra", scratch.wideFolder().c_str(),
                       scratch.wideFile("simulog.txt").c_str());
        ASSERT_TRUE(d.sigma.isOK());
        const ekSolutionArrays& s = d.sim->getMesh().sol;
        const ekMaterialArrays& m = d.sim->getMesh().mat;
        for (int i = 0; i < points; ++i) {
            s.V[i] = 10.0 * i / points;
            s.En[i] = 1.5, s.Ep[i] = -2.5;
            s.Fn[i] = 0.5, s.Fp[i] = -0.25;
            s.EC[i] = 20.0, s.EV[i] = -20.0;
            s.n[i] = 1e3, s.p[i] = 1e-3;
            s.Nax[i] = 0.0, s.Ndx[i] = 10.0, s.Ntax[i] = 2.0, s.Ntdx[i] = 3.0;
            s.Q[i] = 5.0, s.Qssp[i] = 1.0, s.Qspi[i] = -1.0;
            s.Jn[i] = 0.125, s.Jp[i] = 0.25;
            m.Gop[i] = 3.0;
            s.RD[i] = 4.0, s.RA[i] = 5.0, s.RSRH[i] = 6.0;
        }
    }

    std::string distText(const char* name) const { return readText(scratch.wideFile(name)); }
};

TEST_F(ResultsDist, HeaderColumnsAndOneRowPerPointInPhysicalUnits)
{
    build(90);
    d.sim->setDistFormat(1);
    d.sim->setMeanCurrent(0.0);
    ASSERT_TRUE(d.sim->saveDist(L"[SEND]EE:", ekSimulator::TAG_EE, -1, ekSimulator::TAG_JV));

    const std::string text = distText("simulout_dist_1.txt");
    const std::vector<std::string> lines = splitLines(text);
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[0], "# Kovra <EE>");
    EXPECT_EQ(lines[1], "# The above first line is mandatory");
    EXPECT_EQ(lines[2], "#");
    EXPECT_EQ(lines[3].rfind("# Kovra Version 3.0 Build 2412", 0), 0u) << lines[3];
    EXPECT_EQ(lines[5], "# DeviceX");
    EXPECT_EQ(lines[6].rfind("# Saved: ", 0), 0u);
    EXPECT_EQ(lines[7], "# Voltage = 0 V   Current = 0 A/cm2");
    EXPECT_EQ(lines[8], "#");
    EXPECT_EQ(lines[9], COLUMN_HEADER);
    EXPECT_EQ(lines[10], "#");
    // The last row has no line end.
    EXPECT_NE(text.back(), '\n');

    const std::vector<std::string> rows = dataRows(text);
    ASSERT_EQ(rows.size(), 90u);
    const ekNormalisation& u = d.sim->getNorm();
    const ekSolutionArrays& s = d.sim->getMesh().sol;
    const double rate = 1e16;  // 1e-14 N0^2: generation and recombination unit
    for (int i : {0, 45, 89}) {
        const std::vector<double> v = parseRow(rows[i]);
        ASSERT_EQ(v.size(), 24u) << rows[i];
        // Written with round-trip precision: each value reads back exactly.
        EXPECT_EQ(v[0], s.z[i] * u.length);
        EXPECT_EQ(v[1], s.V[i] * u.Vt);
        EXPECT_EQ(v[2], 1.5 * u.Vt / u.length);
        EXPECT_EQ(v[3], -2.5 * u.Vt / u.length);
        EXPECT_EQ(v[4], -0.5 * u.Vt);  // energies of the quasi-Fermi levels
        EXPECT_EQ(v[5], 0.25 * u.Vt);
        EXPECT_EQ(v[6], 20.0 * u.Vt);
        EXPECT_EQ(v[8], 1e18);
        EXPECT_EQ(v[9], 1e12);
        EXPECT_EQ(v[11], 1e16);
        EXPECT_EQ(v[12], 2e15);
        EXPECT_EQ(v[13], 3e15);
        EXPECT_EQ(v[14], 5.0 * (1000.0 * u.volumeCharge));
        EXPECT_EQ(v[15], 1000.0 * u.sheetCharge);
        EXPECT_EQ(v[17], 0.125 * u.current);
        EXPECT_EQ(v[19], 0.375 * u.current);
        EXPECT_EQ(v[20], 3.0 * rate);
        EXPECT_EQ(v[23], 6.0 * rate);
    }
    EXPECT_EQ(std::wstring(d.sim->getFilenameEE()), scratch.wideFile("simulout_dist_1.txt"));
    EXPECT_STREQ(d.sim->getFilenameEN(), L"");
}

TEST_F(ResultsDist, NumbersFollowTheFormatAndTheAutomaticIndex)
{
    build(90);
    d.sim->setDistFormat(150);
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, -1, ekSimulator::TAG_JV));
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, 0, ekSimulator::TAG_JV));
    EXPECT_EQ(d.sim->getFileIndex(), 2);
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, 57, ekSimulator::TAG_JV));
    EXPECT_TRUE(scratch.exists("simulout_dist_001.txt"));
    EXPECT_TRUE(scratch.exists("simulout_dist_002.txt"));
    EXPECT_TRUE(scratch.exists("simulout_dist_057.txt"));
    EXPECT_EQ(std::wstring(d.sim->getFilenameEN()), scratch.wideFile("simulout_dist_057.txt"));
    EXPECT_STREQ(d.sim->getFilenameEE(), L"");
    EXPECT_EQ(splitLines(distText("simulout_dist_057.txt"))[0], "# Kovra <EN>");

    // The equilibrium file is number 1 whatever was written before.
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EE, -1, ekSimulator::TAG_JV));
    EXPECT_EQ(std::wstring(d.sim->getFilenameEE()), scratch.wideFile("simulout_dist_001.txt"));
    EXPECT_EQ(splitLines(distText("simulout_dist_001.txt"))[0], "# Kovra <EE>");
}

TEST_F(ResultsDist, ClearsQuasiFermiNoiseInTheArrays)
{
    build(90);
    const ekSolutionArrays& s = d.sim->getMesh().sol;
    const double Vt = d.sim->getNorm().Vt;
    s.Fn[3] = 0.9e-12 / Vt;
    s.Fp[3] = -0.9e-12 / Vt;
    s.Fn[4] = 1.1e-12 / Vt;
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EE, -1, ekSimulator::TAG_JV));
    EXPECT_EQ(s.Fn[3], 0.0);
    EXPECT_EQ(s.Fp[3], 0.0);
    EXPECT_EQ(s.Fn[4], 1.1e-12 / Vt);
}

TEST_F(ResultsDist, WavelengthPointAddsItsWavelengthLine)
{
    build(90);
    d.sim->setLightState(0x11, 0.55, 0.0, 0.0);
    d.sim->setAppliedVoltage(0.5 / d.sim->getNorm().Vt);
    d.sim->setMeanCurrent(-2e-3 / d.sim->getNorm().current);
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, 1, ekSimulator::TAG_QW));
    const std::vector<std::string> lines = splitLines(distText("simulout_dist_0001.txt"));
    EXPECT_EQ(lines[7], "# Voltage = 0.5 V   Current = -0.002 A/cm2");
    EXPECT_EQ(lines[8], "# Wavelength = 0.55 um");
}

TEST_F(ResultsDist, ACurrentOutsideTheWindowDropsTheStateLine)
{
    build(90);
    d.sim->setMeanCurrent(2e6);
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, 1, ekSimulator::TAG_JV));
    const std::vector<std::string> lines = splitLines(distText("simulout_dist_0001.txt"));
    EXPECT_EQ(lines[7], "#");
    EXPECT_EQ(lines[8], COLUMN_HEADER);
}

struct GuardCase {
    int points;
    int badPoint;
    bool written;  // true: only the row goes; false: the file is refused
};

void PrintTo(const GuardCase& c, std::ostream* os)
{
    *os << c.points << " points, bad point " << c.badPoint;
}

class ResultsDistGuard : public ResultsDist, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(ResultsDistGuard, UnphysicalValueEarlyRefusesTheFileLaterDropsTheRow)
{
    const GuardCase c = GetParam();
    build(c.points);
    d.sim->getMesh().sol.n[c.badPoint] = -1.0;
    ::testing::internal::CaptureStdout();
    const bool ok = d.sim->saveDist(L"[SEND]EN:", ekSimulator::TAG_EN, 1, ekSimulator::TAG_JV);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(ok, c.written);
    // A warning, never an error: the run goes on.
    EXPECT_TRUE(d.sigma.isOK());
    const std::vector<std::string> rows = dataRows(distText("simulout_dist_0001.txt"));
    if (c.written) {
        EXPECT_EQ(out.find("[WARNING]"), std::string::npos) << out;
        ASSERT_EQ(rows.size(), static_cast<size_t>(c.points - 1));
        const ekSolutionArrays& s = d.sim->getMesh().sol;
        const double z = s.z[c.badPoint] * d.sim->getNorm().length;
        for (const std::string& row : rows) {
            EXPECT_NE(parseRow(row)[0], z);
        }
        EXPECT_STRNE(d.sim->getFilenameEN(), L"");
    } else {
        EXPECT_NE(out.find("[WARNING] unphysical values (check device parameters)\n"),
                  std::string::npos)
            << out;
        // No file cut at the bad row, no older file of the name, no name.
        EXPECT_FALSE(scratch.exists("simulout_dist_0001.txt"));
        EXPECT_STREQ(d.sim->getFilenameEN(), L"");
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, ResultsDistGuard,
                         ::testing::Values(GuardCase{90, 24, false}, GuardCase{90, 30, true},
                                           GuardCase{400, 99, false}, GuardCase{400, 100, true}),
                         NamedByPrint());

TEST_F(ResultsDist, NotANumberCountsAsUnphysical)
{
    build(90);
    d.sim->getMesh().sol.V[2] = std::nan("");
    EXPECT_FALSE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, 1, ekSimulator::TAG_JV));
    EXPECT_TRUE(d.sigma.isOK());
}

TEST_F(ResultsDist, FullSavingReportsTheIterationsFileWithoutRewritingIt)
{
    build(90);
    d.sigma.comm = true;
    d.sigma.setSaveFull(true);
    d.sim->setDistFormat(8);
    // The equilibrium and two iterations, automatically numbered: always
    // written, also with a report prefix.
    ASSERT_TRUE(d.sim->saveDist(L"[SEND]EE:", ekSimulator::TAG_EE, -1, ekSimulator::TAG_JV));
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, -1, ekSimulator::TAG_JV));
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, -1, ekSimulator::TAG_JV));
    EXPECT_TRUE(scratch.exists("simulout_dist_1.txt"));
    EXPECT_TRUE(scratch.exists("simulout_dist_3.txt"));
    scratch.write("simulout_dist_3.txt", "kept");

    // The end of the sweep names point 3, already on disk.
    ASSERT_TRUE(d.sim->saveDist(L"[SEND]EN:", ekSimulator::TAG_EN, 3, ekSimulator::TAG_JV));
    EXPECT_EQ(distText("simulout_dist_3.txt"), "kept");
    EXPECT_EQ(std::wstring(d.sim->getFilenameEN()), scratch.wideFile("simulout_dist_3.txt"));
    const std::string comm = readText(scratch.wideFile("simulcomm.txt"));
    EXPECT_EQ(comm, "[SEND]EE:" + kov_toUtf8(scratch.wideFile("simulout_dist_1.txt")) + "\n" +
                        "[SEND]EN:" + kov_toUtf8(scratch.wideFile("simulout_dist_3.txt")) + "\n");

    // A number beyond the iterations' files is written.
    ASSERT_TRUE(d.sim->saveDist(L"[SEND]EN:", ekSimulator::TAG_EN, 4, ekSimulator::TAG_JV));
    EXPECT_EQ(dataRows(distText("simulout_dist_4.txt")).size(), 90u);
}

TEST_F(ResultsDist, ReportLinesOnlyWithComm)
{
    build(90);
    ASSERT_TRUE(d.sim->saveDist(L"[SEND]EE:", ekSimulator::TAG_EE, -1, ekSimulator::TAG_JV));
    EXPECT_FALSE(scratch.exists("simulcomm.txt"));
}

TEST_F(ResultsDist, AStopRequestFinishesTheFileAndStillReportsIt)
{
    build(90);
    scratch.write("simulcomm.txt", "Stop\n");
    ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EE, -1, ekSimulator::TAG_JV));
    EXPECT_TRUE(d.sim->isStopped());
    const std::string text = distText("simulout_dist_0001.txt");
    EXPECT_EQ(dataRows(text).size(), 90u);
    EXPECT_EQ(std::wstring(d.sim->getFilenameEE()), scratch.wideFile("simulout_dist_0001.txt"));
}

TEST_F(ResultsDist, VerboseLineNamesTheStateOfTheDistribution)
{
    build(90);
    d.sigma.setOutputType(0x11);
    const double Vt = d.sim->getNorm().Vt;
    const std::string path = kov_toUtf8(scratch.wideFile("simulout_dist_0001.txt"));
    const struct {
        double V;  // volts
        uint8_t light;
        int sweep;
        std::string text;
    } cases[] = {
        {0.0, 0, ekSimulator::TAG_JV,
         "[INFO]    distribution at equilibrium saved to \"" + path + "\"\n"},
        {0.25, 0, ekSimulator::TAG_JV,
         "[INFO]    distribution at Voltage = 0.25 V saved to \"" + path + "\"\n"},
        {0.25, 0x40, ekSimulator::TAG_JV,
         "[INFO]    distribution at Voltage = 0.25 V (AM1.5 light) saved to \"" + path + "\"\n"},
        {0.0, 0x11, ekSimulator::TAG_QW,
         "[INFO]    distribution at Voltage = 0 V Wavelength = 0.6 um saved to \"" + path + "\"\n"},
    };
    for (const auto& c : cases) {
        d.sim->setAppliedVoltage(c.V / Vt);
        d.sim->setLightState(c.light, 0.6, c.light ? 1e3 : 0.0, c.light ? 1e3 : 0.0);
        ::testing::internal::CaptureStdout();
        ASSERT_TRUE(d.sim->saveDist(nullptr, ekSimulator::TAG_EN, 1, c.sweep));
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find(c.text), std::string::npos) << out;
    }
}

TEST_F(ResultsDist, RefusedWithoutADeviceOrWhileAnErrorIsPending)
{
    nuSigma sigma;
    nuParam param;
    ekSimulator bare(&sigma, &param);
    bare.setPath(L"/data/cell.kovra", scratch.wideFolder().c_str(),
                 scratch.wideFile("simulog.txt").c_str());
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(bare.saveDist(nullptr, ekSimulator::TAG_EE, -1, ekSimulator::TAG_JV));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("[ERROR]   invalid device data\n"), std::string::npos) << out;
    EXPECT_EQ(sigma.err, 1);

    build(90);
    d.sigma.err = 1;
    EXPECT_FALSE(d.sim->saveDist(nullptr, ekSimulator::TAG_EE, -1, ekSimulator::TAG_JV));
    EXPECT_FALSE(scratch.exists("simulout_dist_0001.txt"));
}

}  // namespace
