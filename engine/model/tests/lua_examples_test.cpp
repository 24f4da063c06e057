// The example model scripts of examples/lua, evaluated through the layer
// along a layer and checked against their closed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "LuaEngineCore.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "luaTestSupport.h"
#include "nuSigma.h"

namespace {

constexpr double THICKNESS = 1.0;  // um
constexpr double STEP = 0.01;      // um

class LuaExamplesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.init());
        layer.setLuaEngine(&engine);
    }
    std::wstring example(const char* name) const
    {
        return (luatest::exampleDir() / name).wstring();
    }

    nuSigma sigma;
    LuaEngineCore engine;
    ekLayer layer{&sigma};
};

double caugheyThomas(double muMin, double muMax, double nRef, double alpha, double theta, double N,
                     double T)
{
    const double lattice = muMax * std::pow(T / 300.0, -theta);
    return muMin + (lattice - muMin) / (1.0 + std::pow(N / nRef, alpha));
}

TEST_F(LuaExamplesTest, CaugheyThomasMobility)
{
    ASSERT_TRUE(layer.updateMobilityScript(example("mobility_caughey_thomas.lua").c_str(), true));
    const struct {
        double N, T;
    } cases[] = {{1e15, 300}, {1e17, 300}, {1e19, 300}, {1e16, 350}};
    for (const auto& c : cases) {
        ASSERT_TRUE(layer.updateTemperature(c.T));
        ASSERT_TRUE(layer.updateDopant(ekLevel::TYPE_ACCEPTOR, c.N, 1e19));
        double mobn = 0, mobp = 0;
        ASSERT_TRUE(layer.updateMobilityLua(0.0, STEP, THICKNESS, &mobn, &mobp));
        EXPECT_NEAR(mobn, caugheyThomas(52.2, 1417, 9.68e16, 0.68, 2.5, c.N, c.T), 1e-9 * mobn);
        EXPECT_NEAR(mobp, caugheyThomas(44.9, 470.5, 2.23e17, 0.719, 2.2, c.N, c.T), 1e-9 * mobp);
        EXPECT_FALSE(layer.isMobilityScriptGraded());
    }
    // Light doping approaches the lattice mobility, heavy doping the floor.
    double mobn = 0, mobp = 0;
    ASSERT_TRUE(layer.updateTemperature(300));
    ASSERT_TRUE(layer.updateDopant(ekLevel::TYPE_ACCEPTOR, 1e10, 1e19));
    ASSERT_TRUE(layer.updateMobilityLua(0.0, STEP, THICKNESS, &mobn, &mobp));
    EXPECT_NEAR(mobn, 1417, 1.0);
}

TEST_F(LuaExamplesTest, VegardBandgapAndPermittivityAlongTheLayer)
{
    ASSERT_TRUE(layer.updateBandgapScript(example("bandgap_vegard_algaas.lua").c_str(), true));
    ASSERT_TRUE(
        layer.updatePermittivityScript(example("permittivity_vegard_algaas.lua").c_str(), true));
    const double T = 300;
    const double egGaAs = 1.519 - 5.405e-4 * T * T / (T + 204.0);
    for (double z : {0.0, 0.25, 0.5, 1.0}) {
        const double x = 0.3 * (1.0 - z / THICKNESS);
        double eg, chi, nc, nv, eps;
        bool own = true;
        ASSERT_TRUE(layer.updateBandgapLua(z, STEP, THICKNESS, &eg, &chi, &nc, &nv, &own));
        ASSERT_TRUE(layer.updatePermittivityLua(z, STEP, THICKNESS, &eps));
        EXPECT_FALSE(own);
        EXPECT_NEAR(eg, egGaAs + 1.247 * x, 1e-12) << z;
        EXPECT_NEAR(chi, 4.07 - 1.1 * x, 1e-12) << z;
        EXPECT_NEAR(nc, 2.5e19 * std::pow(0.063 + 0.083 * x, 1.5), 1e4) << z;
        EXPECT_NEAR(nv, 2.5e19 * std::pow(0.51 + 0.25 * x, 1.5), 1e4) << z;
        EXPECT_NEAR(eps, 12.90 - 2.84 * x, 1e-12) << z;
    }
    EXPECT_TRUE(layer.isBandgapScriptGraded());
    EXPECT_TRUE(layer.isPermittivityScriptGraded());
    // The layer keeps the values of its first point (x = 0.3).
    EXPECT_NEAR(layer.getBandgap(), egGaAs + 1.247 * 0.3, 1e-12);
    EXPECT_NEAR(layer.getEps(), 12.90 - 2.84 * 0.3, 1e-12);
}

TEST_F(LuaExamplesTest, ExponentialEmitterFormsAJunction)
{
    ASSERT_TRUE(layer.updateDopingScript(example("doping_exponential_emitter.lua").c_str(), true));
    const double Ns = 1e20, L = 0.05, Nbase = 1e16;
    const double junction = L * std::log(Ns / Nbase);
    for (double z : {0.0, 0.1, 0.3, junction + 0.05, 0.6, 1.0}) {
        const double nd = Ns * std::exp(-z / L);
        uint8_t type = 0;
        double N, Nr, E, W = 0, tn, tp, F;
        ASSERT_TRUE(layer.updateDopantLua(z, STEP, THICKNESS, &type, &N, &Nr, &E, &W, &tn, &tp, &F))
            << z;
        if (z < junction) {
            EXPECT_EQ(type, ekLevel::TYPE_DONOR) << z;
            EXPECT_EQ(F, 2);
        } else {
            EXPECT_EQ(type, ekLevel::TYPE_ACCEPTOR) << z;
            EXPECT_EQ(F, 4);
        }
        EXPECT_NEAR(N, std::abs(nd - Nbase), 1e-9 * std::abs(nd - Nbase)) << z;
        EXPECT_NEAR(tn, 1e-5 / (1.0 + (Nbase + nd) / 5e16), 1e-9 * tn) << z;
    }
    EXPECT_TRUE(layer.isDopingScriptGraded());
}

TEST_F(LuaExamplesTest, GaussianSurfaceTrapsOnTheFirstTrapOnly)
{
    ASSERT_NE(
        layer.addTrap(L"surface", ekLevel::TYPE_ACCEPTOR, 1e13, 1e19, 0.5, 0, 1e-8, 1e-8, 1, false),
        nullptr);
    ASSERT_NE(
        layer.addTrap(L"bulk", ekLevel::TYPE_ACCEPTOR, 1e14, 1e19, 0.3, 0, 1e-8, 1e-8, 1, false),
        nullptr);
    ASSERT_TRUE(layer.updateTrapScript(example("trap_surface_gaussian.lua").c_str(), true));
    for (double z : {0.0, 0.02, 0.05, 0.1}) {
        const double expected = 1e13 + 1e17 * std::exp(-(z / 0.05) * (z / 0.05));
        uint8_t type = 0;
        double N, Nr, E, W, tn, tp, F;
        ASSERT_TRUE(
            layer.updateTrapLua(z, STEP, THICKNESS, 0, &type, &N, &Nr, &E, &W, &tn, &tp, &F));
        EXPECT_NEAR(N, expected, 1e-9 * expected) << z;
        EXPECT_EQ(type, ekLevel::TYPE_ACCEPTOR);
        ASSERT_TRUE(
            layer.updateTrapLua(z, STEP, THICKNESS, 1, &type, &N, &Nr, &E, &W, &tn, &tp, &F));
        EXPECT_DOUBLE_EQ(N, 1e13) << z;
    }
}

TEST_F(LuaExamplesTest, SurfaceLifetimeRecoversToTheBulkValue)
{
    ASSERT_TRUE(layer.updateRecombinationScript(
        example("recombination_surface_lifetime.lua").c_str(), true));
    for (double z : {0.0, 0.1, 0.2, 1.0}) {
        double beta, cn, cp, tn, tp;
        ASSERT_TRUE(layer.updateRecombinationLua(z, STEP, THICKNESS, &beta, &cn, &cp, &tn, &tp));
        const double tau = 1e-9 + (1e-5 - 1e-9) * (1.0 - std::exp(-z / 0.2));
        EXPECT_NEAR(tn, tau, 1e-9 * tau) << z;
        EXPECT_EQ(tp, tn);
        EXPECT_EQ(beta, 1.1e-14);
    }
    EXPECT_DOUBLE_EQ(layer.getTaun(), 1e-9);  // first point
}

TEST_F(LuaExamplesTest, VegardLatticeInTheLayersUnits)
{
    ASSERT_TRUE(layer.updateLatticeScript(example("lattice_vegard_algan.lua").c_str(), true));
    for (double z : {0.0, 0.5, 1.0}) {
        const double x = 0.3 * z / THICKNESS;
        double a, e31, e33, c13, c33, psp;
        ASSERT_TRUE(layer.updateLatticeLua(z, STEP, THICKNESS, &a, &e31, &e33, &c13, &c33, &psp));
        EXPECT_NEAR(a, 0.3189 - 0.0077 * x, 1e-12) << z;
        EXPECT_NEAR(e31, -3.4e-5 - 2.4e-5 * x, 1e-15) << z;
        EXPECT_NEAR(e33, 6.7e-5 + 8.8e-5 * x, 1e-15) << z;
        EXPECT_NEAR(c13, 106 - 7 * x, 1e-9) << z;
        EXPECT_NEAR(c33, 398 - 9 * x, 1e-9) << z;
        EXPECT_NEAR(psp, -2.9e-6 - 5.2e-6 * x, 1e-15) << z;
    }
    EXPECT_NEAR(layer.getLatticeE31(), -3.4e-5, 1e-15);
}

TEST_F(LuaExamplesTest, CauchyIndexWithDirectAbsorptionEdge)
{
    ASSERT_TRUE(layer.updateIndexScript(example("index_cauchy_absorption.lua").c_str(), true));
    const double gap = 1.42;
    for (double wl : {0.4, 0.6, 0.8, 1.0}) {
        double n = 0, k = 0;
        ASSERT_TRUE(layer.getIndex(0.0, THICKNESS, gap, wl, &n, &k, false));
        const double energy = 1.23984198 / wl;
        const double alpha = energy > gap ? 2e4 * std::sqrt(energy - gap) : 0.0;
        EXPECT_NEAR(n, 3.3 + 0.09 / (wl * wl), 1e-12) << wl;
        EXPECT_NEAR(k, alpha * wl * 1e-4 / (4 * M_PI), 1e-12) << wl;
    }
}

}  // namespace
