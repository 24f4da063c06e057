// Materials the engine knows only from the shipped material database (the
// device editor offers them beside the built-in ones): each one makes a
// device that runs, with its layer holding the database's values, and the
// transparent conductors serve as the front window of a CdTe cell.
#include <cmath>
#include <string>

#include "caseName.h"
#include "runFixture.h"

namespace {

struct DatabaseMaterial {
    const char* name;
    double Eg, Chi;  // eV, as the database row gives them
    double NC, NV;   // 1/cm3
};

const DatabaseMaterial MATERIALS[] = {
    {"Se", 1.85, 4.0, 4.1e18, 2.1e19},  {"MgO", 7.8, 0.9, 5.2e18, 5.1e19},
    {"SnO2", 3.6, 4.5, 3.6e18, 2.5e19}, {"In2O3", 2.9, 4.45, 2.6e18, 2.5e19},
    {"ITO", 3.7, 4.5, 5.2e18, 2.5e19},
};

constexpr double KT = 0.02585202874;  // eV at 300 K

class DatabaseMaterialRun : public RunFixture,
                            public testing::WithParamInterface<DatabaseMaterial> {};

// A p-n junction of the material at equilibrium: the layers carry the
// row's gap and affinity (not silicon's), and the built-in potential is
// that of the row's gap and densities of states,
// Vbi = Eg - kT ln(NC NV / (NA ND)).
TEST_P(DatabaseMaterialRun, AJunctionOfTheMaterialHasTheRowsBuiltInPotential)
{
    const DatabaseMaterial& m = GetParam();
    const std::string name = m.name;
    const std::string device =
        write("junction.kovra", "# Kovra <SL>\n[Device]\n    Name=\"" + name +
                                    " junction\"\n"
                                    "[Layer1]\n    Material=\"" +
                                    name +
                                    "\"\n    Thickness=1\n    Dopant.Type=\"P\"\n"
                                    "    Dopant.N=1e16\n    Mesh.Points=100\n"
                                    "[Layer2]\n    Material=\"" +
                                    name +
                                    "\"\n    Thickness=1\n    Dopant.Type=\"N\"\n"
                                    "    Dopant.N=1e16\n    Mesh.Points=100\n"
                                    "[Command]\n    Command.OutDir=\".\"\n");
    warnings = true;
    ASSERT_TRUE(run(device)) << log;
    EXPECT_EQ(log.find("[WARNING]"), std::string::npos) << log;
    const std::string summary = read(at("simuldevice.txt"));
    char expected[96];
    std::snprintf(expected, sizeof expected, "Eg = %g eV   Chi = %g eV", m.Eg, m.Chi);
    EXPECT_NE(summary.find(expected), std::string::npos) << summary;
    const auto dist = rows(at("simulout_dist_1.txt"));
    ASSERT_GT(dist.size(), 100u);
    const double Vbi = dist.back()[1] - dist.front()[1];
    const double closedForm = m.Eg - KT * std::log(m.NC * m.NV / (1e16 * 1e16));
    EXPECT_NEAR(Vbi, closedForm, 0.01 * closedForm);
}

INSTANTIATE_TEST_SUITE_P(Rows, DatabaseMaterialRun, testing::ValuesIn(MATERIALS),
                         [](const testing::TestParamInfo<DatabaseMaterial>& info) {
                             return std::string(info.param.name);
                         });

class TransparentFront : public RunFixture, public testing::WithParamInterface<const char*> {};

// A heavily doped conductor in front of a p-type CdTe absorber passes the
// light above CdTe's gap and collects it: the short-circuit current lies
// between half and all of the AM1.5 photocurrent above 1.47 eV.
TEST_P(TransparentFront, WindowOfACdTeCellPassesTheLight)
{
    const std::string name = GetParam();
    const std::string device =
        write("cell.kovra",
              "# Kovra <SL>\n[Device]\n    Name=\"" + name +
                  "/CdTe\"\n"
                  "[Layer1]\n    Material=\"" +
                  name +
                  "\"\n    Thickness=0.2\n    Dopant.Type=\"N\"\n"
                  "    Dopant.N=1e19\n    Mesh.Points=50\n"
                  "[Layer2]\n    Material=\"CdTe\"\n    Thickness=2\n    Dopant.Type=\"P\"\n"
                  "    Dopant.N=1e15\n    Mesh.Points=200\n"
                  "[Voltage]\n    Voltage.Start=-0.2\n    Voltage.End=0\n    Voltage.Step=0.1\n"
                  "[Light]\n    Light.Source=\"AM1.5\"\n"
                  "[Command]\n    Command.OutDir=\".\"\n");
    ASSERT_TRUE(run(device)) << log;
    const auto jv = rows(at("simulout_jv.txt"));
    ASSERT_EQ(jv.size(), 3u);
    ASSERT_EQ(jv.back()[0], 0.0);
    // The n side faces the anode: the photocurrent at 0 V is positive.
    const double Jsc = jv.back()[1];
    constexpr double CDTE_CEILING = 29.0e-3;  // A/cm2
    EXPECT_GT(Jsc, 0.5 * CDTE_CEILING);
    EXPECT_LT(Jsc, CDTE_CEILING);
}

INSTANTIATE_TEST_SUITE_P(Conductors, TransparentFront, testing::Values("ITO", "SnO2", "In2O3"),
                         NamedByPrint());

}  // namespace
