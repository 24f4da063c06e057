// Normalisation scales against their closed forms, the interface value
// rule, and the file-name accessors the device-file reader uses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ekSimulator.h"
#include "nucore.h"

namespace {

constexpr double Q = 1.602176e-19;     // C, as the engine's constants
constexpr double EPS0 = 8.854187e-12;  // F/m
constexpr double N0 = 1e21;            // 1/m3 (1e15 1/cm3)

TEST(StructureNorm, ScalesAt300KMatchTheirClosedForms)
{
    nuSigma sigma;
    nuParam param;
    ekSimulator sim(&sigma, &param);
    const ekNormalisation& s = sim.getNorm();

    EXPECT_DOUBLE_EQ(s.Vt, 0.02585202874);
    EXPECT_DOUBLE_EQ(s.energy, s.Vt);
    const double L = std::sqrt(EPS0 * s.Vt / (Q * N0));  // Debye length, m
    EXPECT_NEAR(s.length, L * 1e6, 1e-12);
    EXPECT_NEAR(s.length, 0.0378, 0.0001);
    EXPECT_NEAR(s.lengthCm, L * 100.0, 1e-16);
    EXPECT_DOUBLE_EQ(s.density, 1e15);

    // Diffusion constant of the mobility scale: D0 = 1000 cm2/Vs x Vt.
    const double D0 = 1000.0 * s.Vt;  // cm2/s
    const double Lcm = L * 100.0;
    EXPECT_NEAR(s.velocity, D0 / Lcm, 1e-9 * s.velocity);           // cm/s
    EXPECT_NEAR(s.current, Q * 1e15 * D0 / Lcm, 1e-9 * s.current);  // A/cm2
    // Continuity equations in units of the rate 1e16 1/cm3/s (= 1e-14 x N0^2):
    // the flux divergence q N0 D0/L^2 over that unit.
    EXPECT_NEAR(s.rate, (1e15 * D0 / (Lcm * Lcm)) / 1e16, 1e-9 * s.rate);
    EXPECT_NEAR(s.sheetCharge, Q * 1e15 * Lcm, 1e-9 * s.sheetCharge);  // C/cm2
    EXPECT_NEAR(s.photonFlux, 1e16 * Lcm, 1e-9 * s.photonFlux);        // 1/cm2/s
    EXPECT_DOUBLE_EQ(s.volumeCharge, Q * 1e15);                        // C/cm3
    EXPECT_DOUBLE_EQ(s.unit, 1.0);
    // The rate unit is what the recombination scales give: Beta N0^2,
    // Cn N0^3 and N0 / tau all come out in 1e16 1/cm3/s.
    EXPECT_DOUBLE_EQ(s.recombination * 1e15 * 1e15, 1e16);
    EXPECT_DOUBLE_EQ(1e15 / s.time, 1e16);
    EXPECT_DOUBLE_EQ(s.mobility, 1000.0);
}

TEST(StructureNorm, ScalesFollowTheTemperatureAndIgnoreInvalidOnes)
{
    nuSigma sigma;
    nuParam param;
    ekSimulator sim(&sigma, &param);
    const double L300 = sim.getNorm().length;
    sim.calcNorm(600.0);
    EXPECT_DOUBLE_EQ(sim.getNorm().Vt, 2.0 * 0.02585202874);
    EXPECT_NEAR(sim.getNorm().length, L300 * std::sqrt(2.0), 1e-12);
    sim.calcNorm(0.0);
    sim.calcNorm(-5.0);
    sim.calcNorm(std::nan(""));
    EXPECT_DOUBLE_EQ(sim.getNorm().Vt, 2.0 * 0.02585202874);
}

TEST(StructureNorm, InterfaceValueRule)
{
    nuSigma sigma;
    nuParam param;
    ekSimulator sim(&sigma, &param);
    struct Case {
        double a, b;
        int flags;
        double expected;
    };
    const Case cases[] = {
        {2, 8, 0x10, 5},    {2, 8, 0x20, 3.2}, {2, 8, 0, 8},    {-1, 4, 0x20, 4},
        {-4, 4, 0x10, 0},   {-4, 4, 0x20, 4},  {0, 0, 0x10, 0}, {0, 0, 0x20, 0},
        {4, 12, 0x20, 6},   {3, 3, 0x20, 3},   {0, 5, 0x20, 5}, {-2, -8, 0x20, -3.2},
        {-2, -8, 0x10, -5}, {2, 8, 0x30, 5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(sim.interpolateParameter(c.a, c.b, c.flags), c.expected)
            << c.a << " " << c.b << " " << c.flags;
    }
}

TEST(StructureNorm, MeshAndGuessFileNames)
{
    nuSigma sigma;
    nuParam param;
    ekSimulator sim(&sigma, &param);
    sim.setMeshFilename(L"mesh.txt");
    sim.setInitialGuessFilename(L"guess.txt");
    EXPECT_STREQ(sim.getMeshFilename(), L"mesh.txt");
    EXPECT_STREQ(sim.getInitialGuessFilename(), L"guess.txt");
    sim.setMeshFilename(L"");
    sim.setInitialGuessFilename(nullptr);
    EXPECT_STREQ(sim.getMeshFilename(), L"");
    EXPECT_STREQ(sim.getInitialGuessFilename(), L"");
    const std::wstring longName(2000, L'm');
    sim.setMeshFilename(longName.c_str());
    EXPECT_EQ(std::wstring(sim.getMeshFilename()), longName.substr(0, 1023));
}

}  // namespace
