// The diagnostic profiles of debug runs: potentials, charges and flux.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ekSimulator.h"
#include "nucore.h"
#include "resultTestSupport.h"
#include "simulatorDevice.h"

namespace {

class ResultsProfiles : public ::testing::Test {
protected:
    TempFolder scratch;
    SimulatorDevice d;

    void SetUp() override
    {
        ASSERT_TRUE(d.build({{L"Si", 0x10, 1e16, 1.0, 60}})) << d.sigma.message;
        d.sim->setPath(L"/data/cell.kovra", scratch.wideFolder().c_str(),
                       scratch.wideFile("simulog.txt").c_str());
        const ekSolutionArrays& s = d.sim->getMesh().sol;
        const ekMaterialArrays& m = d.sim->getMesh().mat;
        for (int i = 0; i < 60; ++i) {
            s.V[i] = 0.1 * i, s.Vn[i] = 1.0, s.Vp[i] = -1.0;
            s.Q[i] = 2.0, s.Qssp[i] = 3.0, s.Qspi[i] = 4.0;
            m.polTotal[i] = 5.0;
            m.photonFlux[i] = 6.0, m.Gop[i] = 7.0;
        }
    }

    // The rows of a profile file after checking its header.
    std::vector<std::vector<double>> rows(const char* name, const char* columns)
    {
        const std::string text = readText(scratch.wideFile(name));
        const std::vector<std::string> lines = splitLines(text);
        EXPECT_EQ(lines[0], "# Kovra <DG>");
        EXPECT_NE(text.find(std::string("#\n") + columns + "\n#\n"), std::string::npos) << text;
        std::vector<std::vector<double>> values;
        for (const std::string& row : dataRows(text)) {
            values.push_back(parseRow(row));
        }
        return values;
    }
};

TEST_F(ResultsProfiles, PotentialFileNameFollowsTheTag)
{
    ASSERT_TRUE(d.sim->savePotential(ekSimulator::TAG_EE));
    ASSERT_TRUE(d.sim->savePotential(ekSimulator::TAG_EN));
    const double Vt = d.sim->getNorm().Vt;
    for (const char* name : {"simulout_potentialeqm.txt", "simulout_potential.txt"}) {
        const auto r = rows(name, "# z (um)\tV (V)\tVn (V)\tVp (V)");
        ASSERT_EQ(r.size(), 60u) << name;
        EXPECT_EQ(r[10], (std::vector<double>{d.sim->getMesh().sol.z[10] * d.sim->getNorm().length,
                                              0.1 * 10 * Vt, Vt, -Vt}));
    }
}

TEST_F(ResultsProfiles, ChargeAndFluxInPhysicalUnits)
{
    ASSERT_TRUE(d.sim->saveCharge());
    ASSERT_TRUE(d.sim->saveFlux());
    const ekNormalisation& u = d.sim->getNorm();
    const auto charge =
        rows("simulout_charge.txt",
             "# z (um)\tV (V)\tQ (mC/cm3)\tQpol (mC/cm3)\tQssp (mC/cm2)\tQspi (mC/cm2)");
    ASSERT_EQ(charge.size(), 60u);
    EXPECT_EQ(charge[0][2], 2.0 * (1000.0 * u.volumeCharge));
    EXPECT_EQ(charge[0][3], 5.0 * (1000.0 * u.volumeCharge));
    EXPECT_EQ(charge[0][4], 3.0 * (1000.0 * u.sheetCharge));
    EXPECT_EQ(charge[0][5], 4.0 * (1000.0 * u.sheetCharge));
    const auto flux = rows("simulout_flux.txt", "# z (um)\tFlux (1/cm2/s)\tGop (1/cm3/s)");
    ASSERT_EQ(flux.size(), 60u);
    EXPECT_EQ(flux[59][1], 6.0 * u.photonFlux);
    EXPECT_EQ(flux[59][2], 7.0 * 1e16);
}

TEST_F(ResultsProfiles, AnUnwritableFileIsAnError)
{
    std::filesystem::create_directory(scratch.folder() / "simulout_flux.txt");
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(d.sim->saveFlux());
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("[ERROR]   cannot open file \"" +
                       kov_toUtf8(scratch.wideFile("simulout_flux.txt")) + "\"\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(d.sigma.err, 1);
}

}  // namespace
