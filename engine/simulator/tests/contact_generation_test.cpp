// A cell whose contacts are passivated (flat-band Schottky contacts with a
// low minority-carrier velocity) and whose carriers live far longer than
// they take to reach the junction collects every photon it absorbs: its
// short-circuit current is q times the absorbed flux. The contact points
// own half a mesh step each, where light is absorbed as anywhere else, so
// the closed form holds on the default mesh, with either solver.
#include <cmath>
#include <cstdio>
#include <string>

#include "runFixture.h"

namespace {

constexpr double Q = 1.602176634e-19;  // C
constexpr double FOUR_PI = 12.566370614359172;
constexpr double WAVELENGTH = 0.6;         // um
constexpr double FLUX = 1e17;              // 1/cm2/s
constexpr double EMITTER = 0.3, BASE = 2;  // um

struct CollectionCase {
    const char* name;
    const char* method;
    // Extinction coefficient of both layers: 0.5 absorbs the light within
    // the emitter; 0.05 lets a tenth of it reach the back contact, whose
    // half step then generates too.
    double k;
};

void PrintTo(const CollectionCase& c, std::ostream* os) { *os << c.name; }

class PassivatedCell : public RunFixture, public ::testing::WithParamInterface<CollectionCase> {
protected:
    std::string device()
    {
        std::string index = "# wavelength\tn\tk\n";
        char line[64];
        for (double wl : {0.3, 0.5, 0.6, 0.7, 1.0}) {
            std::snprintf(line, sizeof line, "%.4f\t3.9000\t%.4g\n", wl, GetParam().k);
            index += line;
        }
        const std::string table = write("absorber.nk", index);
        // Lifetimes of a millisecond: bulk losses of a few 1e-6 at most.
        const std::string lifetimes = "    Dopant.Taun=1e-3\n    Dopant.Taup=1e-3\n";
        return write("cell.kovra",
                     "# Kovra <SL>\n"
                     "[Device]\n    Name=\"passivated cell\"\n"
                     "[Layer1]\n    Material=\"Si\"\n    Thickness=0.3\n    Dopant.Type=\"P\"\n"
                     "    Dopant.N=1e18\n" +
                         lifetimes + "    Index.File=\"" + table +
                         "\"\n"
                         "[Layer2]\n    Material=\"Si\"\n    Thickness=2\n    Dopant.Type=\"N\"\n"
                         "    Dopant.N=1e16\n" +
                         lifetimes + "    Index.File=\"" + table +
                         "\"\n"
                         // Flat band at both contacts (Phi counted from the conduction
                         // band): the majority carriers pass freely, the minority
                         // carriers barely recombine there.
                         "[Anode]\n    Anode.Type=\"Schottky\"\n    Anode.Phi=1.06\n"
                         "    Anode.Rn=1\n    Anode.Rp=1e7\n"
                         "[Cathode]\n    Cathode.Type=\"Schottky\"\n    Cathode.Phi=0.205\n"
                         "    Cathode.Rn=1e7\n    Cathode.Rp=1\n"
                         "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n"
                         "    Voltage.End=0\n    Voltage.Step=0\n"
                         "[Light]\n    Light.Source=\"Mono\"\n    Light.Wavelength=0.6\n"
                         "    Light.Flux=1e17\n"
                         "[Numeric]\n    Numeric.Method=\"" +
                         GetParam().method +
                         "\"\n"
                         "[Command]\n    Command.OutDir=\".\"\n");
    }
};

TEST_P(PassivatedCell, CollectsEveryAbsorbedPhoton)
{
    ASSERT_TRUE(run(device())) << log;
    const auto jv = rows(at("simulout_jv.txt"));
    ASSERT_EQ(jv.size(), 1u);
    ASSERT_EQ(jv[0][0], 0.0);
    const double Jsc = -jv[0][1];  // A/cm2
    // Nothing reflects and the contacts have no thickness: the device
    // absorbs 1 - exp(-alpha d) of the flux.
    const double alpha = FOUR_PI * GetParam().k / WAVELENGTH * 1e4;  // 1/cm
    const double absorbed = -std::expm1(-alpha * (EMITTER + BASE) * 1e-4);
    const double expected = Q * FLUX * absorbed;
    EXPECT_NEAR(Jsc, expected, 1e-4 * expected);
}

INSTANTIATE_TEST_SUITE_P(Solvers, PassivatedCell,
                         ::testing::Values(CollectionCase{"NewtonFrontAbsorber", "Newton", 0.5},
                                           CollectionCase{"NewtonThroughToTheBack", "Newton", 0.05},
                                           CollectionCase{"GummelFrontAbsorber", "Gummel", 0.5},
                                           CollectionCase{"GummelThroughToTheBack", "Gummel",
                                                          0.05}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
