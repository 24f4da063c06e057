// The per-layer Lua models and the Lua index model: setters, evaluators with
// valid, out-of-range and failing fixture scripts, the net-level rule of the
// level models and the first-point rules.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "LuaEngineCore.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "kovText.h"
#include "luaTestSupport.h"
#include "nuSigma.h"

namespace {

using Values = std::vector<double>;

void expectValues(const Values& actual, const Values& expected, const char* what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-9 * std::abs(expected[i])) << what << " slot " << i;
    }
}

class LuaModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.init());
        layer.setLuaEngine(&engine);
        ASSERT_NE(layer.addTrap(L"T0", ekLevel::TYPE_ACCEPTOR, 1e15, 1e19, 0.3, 0.0, 1e-7, 1e-7, 1,
                                false),
                  nullptr);
        ASSERT_NE(layer.addTrap(L"T1", ekLevel::TYPE_ACCEPTOR, 1e15, 1e19, 0.2, 0.0, 1e-7, 1e-7, 1,
                                false),
                  nullptr);
    }

    void scenario(const std::string& name)
    {
        ASSERT_TRUE(engine.run(("scenario = '" + name + "'").c_str()));
        ek_resetSigma(&sigma);
    }

    std::wstring message() const { return sigma.message; }

    nuSigma sigma;
    LuaEngineCore engine;
    ekLayer layer{&sigma};
};

// ---- one harness per model ---------------------------------------------------

struct ModelHarness {
    const char* label;
    ekLayer::ModelKind kind;
    const char* fixture;
    // Evaluates the model; out receives its results in a fixed order.
    std::function<bool(ekLayer&, double z, double step, Values& out)> evaluate;
    // The layer's own values in the same order.
    std::function<Values(const ekLayer&)> own;
    Values valid;                 // results of the fixture's valid answer
    const wchar_t* rangeMessage;  // start of the out-of-range error line
    const wchar_t* prefix;        // start of a failed call's error line
    bool checksStatus;
};

void PrintTo(const ModelHarness& h, std::ostream* os) { *os << h.label; }

Values levelValues(const ekLevel* l)
{
    return {static_cast<double>(l->getType()),
            l->getN(),
            l->getNr(),
            l->getE(),
            l->getTn(),
            l->getTp(),
            l->getF()};
}

const ModelHarness HARNESSES[] = {
    {"mobility",
     ekLayer::MODEL_MOBILITY,
     "mobility_cases.lua",
     [](ekLayer& l, double z, double s, Values& o) {
         o.assign(2, 0);
         return l.updateMobilityLua(z, s, 1.0, &o[0], &o[1]);
     },
     [](const ekLayer& l) {
         return Values{l.getMobn(), l.getMobp()};
     },
     {1350, 480},
     L"[ERROR]   invalid mobility (Lua model)\n",
     L"[ERROR]   mobility model: ",
     true},
    {"bandgap",
     ekLayer::MODEL_BANDGAP,
     "bandgap_cases.lua",
     [](ekLayer& l, double z, double s, Values& o) {
         o.assign(4, 0);
         bool own = false;
         return l.updateBandgapLua(z, s, 1.0, &o[0], &o[1], &o[2], &o[3], &own);
     },
     [](const ekLayer& l) {
         return Values{l.getBandgap(), l.getAffinity(), l.getNC(), l.getNV()};
     },
     {1.42, 4.07, 4.7e17, 9e18},
     L"[ERROR]   invalid bandgap parameters (Lua model): Eg = ",
     L"[ERROR]   bandgap model: ",
     true},
    {"permittivity",
     ekLayer::MODEL_PERMITTIVITY,
     "permittivity_cases.lua",
     [](ekLayer& l, double z, double s, Values& o) {
         o.assign(1, 0);
         return l.updatePermittivityLua(z, s, 1.0, &o[0]);
     },
     [](const ekLayer& l) { return Values{l.getEps()}; },
     {12.9},
     L"[ERROR]   invalid permittivity (Lua model)\n",
     L"[ERROR]   permittivity model: ",
     true},
    {"doping",
     ekLayer::MODEL_DOPING,
     "doping_cases.lua",
     [](ekLayer& l, double z, double s, Values& o) {
         uint8_t type = 0;
         double N, Nr, E, W = -1, tn, tp, F;
         const bool ok = l.updateDopantLua(z, s, 1.0, &type, &N, &Nr, &E, &W, &tn, &tp, &F);
         o = {static_cast<double>(type), N, Nr, E, tn, tp, F};
         return ok;
     },
     [](const ekLayer& l) { return levelValues(l.getDopant()); },
     {0x10, 2e17, 1e19, 0.05, 1e-7, 2e-7, 2},
     L"[ERROR]   invalid doping parameters (Lua model)\n",
     L"[ERROR]   doping model: ",
     false},
    {"trap",
     ekLayer::MODEL_TRAP,
     "trap_cases.lua",
     [](ekLayer& l, double z, double s, Values& o) {
         uint8_t type = 0;
         double N, Nr, E, W = -1, tn, tp, F;
         const bool ok = l.updateTrapLua(z, s, 1.0, 0, &type, &N, &Nr, &E, &W, &tn, &tp, &F);
         if (ok) {
             EXPECT_EQ(W, 0.0);
         }
         o = {static_cast<double>(type), N, Nr, E, tn, tp, F};
         return ok;
     },
     [](const ekLayer& l) { return levelValues(l.getTrap(0)); },
     {0x20, 1e14, 1e19, 0.4, 1e-8, 2e-8, 2},
     L"[ERROR]   invalid trap parameters (Lua model)\n",
     L"[ERROR]   trap model: ",
     true},
    {"recombination",
     ekLayer::MODEL_RECOMBINATION,
     "recombination_cases.lua",
     [](ekLayer& l, double z, double s, Values& o) {
         o.assign(5, 0);
         return l.updateRecombinationLua(z, s, 1.0, &o[0], &o[1], &o[2], &o[3], &o[4]);
     },
     [](const ekLayer& l) {
         return Values{l.getBeta(), l.getCn(), l.getCp(), l.getTaun(), l.getTaup()};
     },
     {1.1e-14, 2.8e-31, 9.9e-32, 1e-6, 2e-6},
     L"[ERROR]   invalid recombination parameters (Lua model): Beta = ",
     L"[ERROR]   recombination model: ",
     true},
    {"lattice",
     ekLayer::MODEL_LATTICE,
     "lattice_cases.lua",
     [](ekLayer& l, double z, double s, Values& o) {
         o.assign(6, 0);
         return l.updateLatticeLua(z, s, 1.0, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5]);
     },
     [](const ekLayer& l) {
         return Values{l.getLatticeA(),   l.getLatticeE31(), l.getLatticeE33(),
                       l.getLatticeC13(), l.getLatticeC33(), l.getPsp()};
     },
     // The script works in thousandths for e31, e33 and Psp.
     {0.3189, -0.034, 0.067, 106, 398, -0.0029},
     L"[ERROR]   invalid lattice parameters (Lua model)",
     L"[ERROR]   lattice model: ",
     true},
};

class LuaModelFixtures : public LuaModelTest, public ::testing::WithParamInterface<ModelHarness> {
protected:
    void useFixture()
    {
        const ModelHarness& h = GetParam();
        ASSERT_TRUE(layer.updateScript(
            h.kind, (luatest::fixtureDir() / h.fixture).wstring().c_str(), true));
    }
};

TEST_P(LuaModelFixtures, ValidAnswerBecomesTheLayersValuesAtTheFirstPoint)
{
    const ModelHarness& h = GetParam();
    useFixture();
    scenario("valid");
    Values out;
    ASSERT_TRUE(h.evaluate(layer, 0.0, 0.01, out))
        << std::string(message().begin(), message().end());
    expectValues(out, h.valid, "results");
    expectValues(h.own(layer), h.valid, "layer");
    EXPECT_FALSE(layer.isScriptGraded(h.kind));
    EXPECT_TRUE(sigma.isOK());
}

TEST_P(LuaModelFixtures, OutOfRangeAnswerIsRefusedAndLayerKept)
{
    const ModelHarness& h = GetParam();
    useFixture();
    const Values before = h.own(layer);
    scenario("range");
    Values out;
    EXPECT_FALSE(h.evaluate(layer, 0.0, 0.01, out));
    EXPECT_EQ(sigma.err, 1);
    EXPECT_TRUE(kov_startsWith(message(), h.rangeMessage))
        << std::string(message().begin(), message().end());
    expectValues(h.own(layer), before, "layer");
}

TEST_P(LuaModelFixtures, FailingScriptsReportWithTheModelPrefix)
{
    const ModelHarness& h = GetParam();
    useFixture();
    const Values before = h.own(layer);
    Values out;

    scenario("error");
    EXPECT_FALSE(h.evaluate(layer, 0.0, 0.01, out));
    EXPECT_TRUE(kov_startsWith(message(), std::wstring(h.prefix) + L"at line "))
        << std::string(message().begin(), message().end());
    EXPECT_NE(message().find(L"table missing"), std::wstring::npos);

    scenario("few");
    EXPECT_FALSE(h.evaluate(layer, 0.0, 0.01, out));
    // The failing script is named: a device may run several.
    EXPECT_TRUE(kov_startsWith(
        message(), std::wstring(h.prefix) + L"invalid number of returned values (script \""));
    EXPECT_NE(message().find(L"_cases.lua\")"), std::wstring::npos);

    scenario("status");
    const bool ok = h.evaluate(layer, 0.0, 0.01, out);
    if (h.checksStatus) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(message(), std::wstring(h.prefix) + L"returned status false\n");
        expectValues(h.own(layer), before, "layer");
    } else {
        EXPECT_TRUE(ok);  // the doping model ignores the status
    }
}

TEST_P(LuaModelFixtures, UnusableScriptGivesOwnValuesAndIsDropped)
{
    const ModelHarness& h = GetParam();
    luatest::ScratchDir dir;
    const std::wstring names[] = {
        (dir.path() / "missing.lua").wstring(),    // no file
        dir.write("tiny.lua", "x = 1").wstring(),  // 5 bytes: not a model
    };
    for (const std::wstring& name : names) {
        ASSERT_TRUE(layer.updateScript(h.kind, name.c_str(), true));
        const Values before = h.own(layer);
        Values out;
        ASSERT_TRUE(h.evaluate(layer, 0.0, 0.01, out));
        expectValues(out, before, "own values");
        EXPECT_EQ(layer.getScript(h.kind), nullptr);
        EXPECT_FALSE(layer.isScript(h.kind));
        EXPECT_FALSE(layer.isScriptGraded(h.kind));
    }

    // Without an engine the script is not run either.
    useFixture();
    layer.setLuaEngine(nullptr);
    Values out;
    ASSERT_TRUE(h.evaluate(layer, 0.0, 0.01, out));
    EXPECT_EQ(layer.getScript(h.kind), nullptr);
}

TEST_P(LuaModelFixtures, NothingHappensWhileTheChannelCarriesAnError)
{
    const ModelHarness& h = GetParam();
    useFixture();
    scenario("valid");
    sigma.err = 1;
    Values out;
    EXPECT_FALSE(h.evaluate(layer, 0.0, 0.01, out));
    EXPECT_FALSE(layer.updateScript(h.kind, L"other.lua", true));
}

INSTANTIATE_TEST_SUITE_P(LuaModels, LuaModelFixtures, ::testing::ValuesIn(HARNESSES),
                         [](const ::testing::TestParamInfo<ModelHarness>& info) {
                             return info.param.label;
                         });

// ---- setters -----------------------------------------------------------------

struct SetterCase {
    std::wstring name;
    bool report;
    bool result;
    bool stored;
    const wchar_t* message;  // %ls: the model's name; empty: no error line
};

TEST_F(LuaModelTest, ScriptSettersAcceptOnlyLowerCaseLuaNames)
{
    const wchar_t* labels[] = {L"mobility", L"bandgap",       L"permittivity", L"doping",
                               L"trap",     L"recombination", L"lattice"};
    const std::wstring longName(1024, L'a');
    const std::wstring longest = std::wstring(1019, L'a') + L".lua";
    const SetterCase cases[] = {
        {L"model.lua", true, true, true, L""},
        {L"", true, true, false, L""},
        {L"model.LUA", true, false, false, L"[ERROR]   invalid %ls model: model.LUA\n"},
        {L"model.LUA", false, false, false, L""},
        {L".lua", true, false, false, L"[ERROR]   invalid %ls model: .lua\n"},
        {longName, true, false, false, L"[ERROR]   invalid %ls model\n"},
        {longest, true, true, true, L""},
    };
    for (int kind = 0; kind < ekLayer::MODEL_COUNT; ++kind) {
        for (const SetterCase& c : cases) {
            ek_resetSigma(&sigma);
            ASSERT_TRUE(
                layer.updateScript(static_cast<ekLayer::ModelKind>(kind), L"previous.lua", false));
            const bool result =
                layer.updateScript(static_cast<ekLayer::ModelKind>(kind), c.name.c_str(), c.report);
            EXPECT_EQ(result, c.result) << kind;
            EXPECT_EQ(layer.isScript(static_cast<ekLayer::ModelKind>(kind)), c.stored);
            const wchar_t* stored = layer.getScript(static_cast<ekLayer::ModelKind>(kind));
            if (c.stored) {
                EXPECT_EQ(std::wstring(stored ? stored : L""), c.name);
            } else {
                EXPECT_EQ(stored, nullptr);  // the previous script is gone as well
            }
            if (*c.message) {
                wchar_t expected[512];
                std::swprintf(expected, 512, c.message, labels[kind]);
                EXPECT_EQ(message(), expected);
                EXPECT_EQ(sigma.err, 1);
            } else {
                EXPECT_EQ(sigma.err, 0);
            }
        }
    }
    // The named setters are the same routine.
    EXPECT_TRUE(layer.updateMobilityScript(L"m.lua", true));
    EXPECT_TRUE(layer.updateBandgapScript(L"b.lua", true));
    EXPECT_TRUE(layer.updatePermittivityScript(L"p.lua", true));
    EXPECT_TRUE(layer.updateDopingScript(L"d.lua", true));
    EXPECT_TRUE(layer.updateTrapScript(L"t.lua", true));
    EXPECT_TRUE(layer.updateRecombinationScript(L"r.lua", true));
    EXPECT_TRUE(layer.updateLatticeScript(L"l.lua", true));
    EXPECT_STREQ(layer.getLatticeScript(), L"l.lua");
    EXPECT_STREQ(layer.getDopingScript(), L"d.lua");
}

// ---- first point, later points --------------------------------------------------

TEST_F(LuaModelTest, OnlyTheFirstPointSetsTheLayerAndPrintsTheInfoLine)
{
    sigma.setOutputType(nuSigma::OUTPUT_VERBOSE);
    ASSERT_TRUE(layer.updateMobilityScript(
        (luatest::fixtureDir() / "mobility_cases.lua").wstring().c_str(), true));
    scenario("graded");
    const double T = layer.getT();
    double mobn = 0, mobp = 0;

    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(layer.updateMobilityLua(0.0, 0.01, 1.0, &mobn, &mobp));
    EXPECT_DOUBLE_EQ(mobn, 1000);
    EXPECT_DOUBLE_EQ(mobp, 400 + T / 10);
    EXPECT_TRUE(layer.isMobilityScriptGraded());
    ASSERT_TRUE(layer.updateMobilityLua(0.5, 0.01, 1.0, &mobn, &mobp));
    ASSERT_TRUE(layer.updateMobilityLua(0.7, 0.01, 1.0, &mobn, &mobp));
    const std::string printed = ::testing::internal::GetCapturedStdout();

    EXPECT_DOUBLE_EQ(mobn, 1070);             // the point's value is handed back
    EXPECT_DOUBLE_EQ(layer.getMobn(), 1000);  // the layer keeps the first point's
    size_t lines = 0;
    for (size_t at = printed.find("mobility from Lua model"); at != std::string::npos;
         at = printed.find("mobility from Lua model", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 1u) << printed;
    EXPECT_NE(printed.find("[INFO]    mobility from Lua model (z = 0 um): (1000"),
              std::string::npos)
        << printed;
    EXPECT_TRUE(layer.isScriptInfoPrinted(ekLayer::MODEL_MOBILITY));
}

TEST_F(LuaModelTest, TwoValuesForThreeSlotsLeaveTheModelUngraded)
{
    luatest::ScratchDir dir;
    const auto file =
        dir.write("mob.lua", "function kov_mobility(z, t, T, N) return 1350, 480 end\n");
    ASSERT_TRUE(layer.updateMobilityScript(file.wstring().c_str(), true));
    double mobn = 0, mobp = 0;
    ASSERT_TRUE(layer.updateMobilityLua(0.0, 0.01, 1.0, &mobn, &mobp));
    EXPECT_EQ(mobn, 1350);
    EXPECT_FALSE(layer.isMobilityScriptGraded());
}

TEST_F(LuaModelTest, ModelsReceiveTemperatureAndDopantDensity)
{
    luatest::ScratchDir dir;
    const auto file =
        dir.write("mob.lua", "function kov_mobility(z, t, T, N) return T, N / 1e14, false end\n");
    ASSERT_TRUE(layer.updateTemperature(350));
    ASSERT_TRUE(layer.updateDopant(ekLevel::TYPE_DONOR, 3e16, 1e19));
    ASSERT_TRUE(layer.updateMobilityScript(file.wstring().c_str(), true));
    double mobn = 0, mobp = 0;
    ASSERT_TRUE(layer.updateMobilityLua(0.2, 0.01, 1.0, &mobn, &mobp));
    EXPECT_DOUBLE_EQ(mobn, 350);
    EXPECT_DOUBLE_EQ(mobp, 300);
}

TEST_F(LuaModelTest, BandgapReportsWhetherOwnValuesCameBack)
{
    double eg, chi, nc, nv;
    bool own = false;
    ASSERT_TRUE(layer.updateBandgapLua(0.0, 0.01, 1.0, &eg, &chi, &nc, &nv, &own));
    EXPECT_TRUE(own);
    EXPECT_EQ(eg, layer.getBandgap());

    ASSERT_TRUE(layer.updateBandgapScript(
        (luatest::fixtureDir() / "bandgap_cases.lua").wstring().c_str(), true));
    scenario("graded");
    ASSERT_TRUE(layer.updateBandgapLua(0.5, 0.01, 1.0, &eg, &chi, &nc, &nv, &own));
    EXPECT_FALSE(own);
    EXPECT_DOUBLE_EQ(eg, 1.42 + 0.25);
    EXPECT_DOUBLE_EQ(chi, 4.07 - 0.2);
}

// ---- level models ------------------------------------------------------------------

struct NetCase {
    double na, nd;
    bool graded;
    uint8_t type;
    double N;
};

TEST_F(LuaModelTest, DopingFormsTheNetLevelAtEveryPoint)
{
    luatest::ScratchDir dir;
    const auto file = dir.write(
        "dop.lua", "function kov_doping(z, t) return na, nd, 1e19, 1e-7, 1e-7, 0, 1, g end\n");
    ASSERT_TRUE(layer.updateDopingScript(file.wstring().c_str(), true));
    const NetCase cases[] = {
        {1e17, 3e17, false, ekLevel::TYPE_DONOR, 2e17},
        {3e17, 1e17, false, ekLevel::TYPE_ACCEPTOR, 2e17},
        {5e3, 0, false, ekLevel::TYPE_ACCEPTOR, 1e6},  // raised to the floor
        {0, 5e3, false, ekLevel::TYPE_DONOR, 1e6},
        {5e3, 0, true, ekLevel::TYPE_ACCEPTOR, 5e3},  // a graded profile keeps it
        {1e-7, 0, true, ekLevel::TYPE_ACCEPTOR, 1e-6},
        {5e3, 5e3, false, ekLevel::TYPE_DONOR, 0},
        {0, 0, false, ekLevel::TYPE_DONOR, 0},
    };
    for (const NetCase& c : cases) {
        char globals[128];
        std::snprintf(globals, sizeof globals, "na = %.17g nd = %.17g g = %s", c.na, c.nd,
                      c.graded ? "true" : "false");
        ASSERT_TRUE(engine.run(globals));
        uint8_t type = 0;
        double N, Nr, E, W = 0, tn, tp, F;
        // A later point (z > step): the dopant still follows the script.
        ASSERT_TRUE(layer.updateDopantLua(0.5, 0.01, 1.0, &type, &N, &Nr, &E, &W, &tn, &tp, &F))
            << globals;
        EXPECT_EQ(type, c.type) << globals;
        EXPECT_DOUBLE_EQ(N, c.N) << globals;
        EXPECT_EQ(layer.getDopant()->getType(), c.type) << globals;
        EXPECT_DOUBLE_EQ(layer.getDopant()->getN(), c.N) << globals;
        EXPECT_EQ(layer.isDopingScriptGraded(), c.graded);
    }
}

TEST_F(LuaModelTest, DopingRefusalListsDensitiesInDebugMode)
{
    ASSERT_TRUE(layer.updateDopingScript(
        (luatest::fixtureDir() / "doping_cases.lua").wstring().c_str(), true));
    scenario("range");
    sigma.debug = true;
    uint8_t type;
    double N, Nr, E, W, tn, tp, F;
    EXPECT_FALSE(layer.updateDopantLua(0.25, 0.01, 1.0, &type, &N, &Nr, &E, &W, &tn, &tp, &F));
    EXPECT_TRUE(kov_startsWith(
        message(), L"[ERROR]   invalid doping parameters (Lua model):  z = 0.25 um   Na = "))
        << std::string(message().begin(), message().end());
    EXPECT_NE(message().find(L"Nd = "), std::wstring::npos);
}

TEST_F(LuaModelTest, TrapModelGetsTheTrapIndexAndMayBeEmpty)
{
    ASSERT_TRUE(
        layer.updateTrapScript((luatest::fixtureDir() / "trap_cases.lua").wstring().c_str(), true));
    scenario("valid");
    const double dopantN = layer.getDopant()->getN();
    uint8_t type = 0;
    double N, Nr, E, W = -1, tn, tp, F;
    ASSERT_TRUE(layer.updateTrapLua(0.0, 0.01, 1.0, 1, &type, &N, &Nr, &E, &W, &tn, &tp, &F));
    EXPECT_DOUBLE_EQ(N, 1e15);  // trap 1 is ten times denser than trap 0
    EXPECT_DOUBLE_EQ(layer.getTrap(1)->getN(), 1e15);

    EXPECT_FALSE(layer.updateTrapLua(0.0, 0.01, 1.0, 2, &type, &N, &Nr, &E, &W, &tn, &tp, &F));
    EXPECT_FALSE(layer.updateTrapLua(0.0, 0.01, 1.0, -1, &type, &N, &Nr, &E, &W, &tn, &tp, &F));

    scenario("empty");
    type = 0;
    ASSERT_TRUE(layer.updateTrapLua(0.0, 0.01, 1.0, 0, &type, &N, &Nr, &E, &W, &tn, &tp, &F));
    EXPECT_EQ(N, 0.0);
    EXPECT_EQ(type, ekLevel::TYPE_ACCEPTOR);  // the trap's own kind
    EXPECT_EQ(W, 0.0);
    EXPECT_EQ(layer.getTrap(0)->getN(), 0.0);
    EXPECT_EQ(layer.getDopant()->getN(), dopantN);  // never touched by a trap model
    EXPECT_TRUE(layer.isTrapScriptGraded());
}

// ---- optical index ----------------------------------------------------------------------

class LuaIndexTest : public LuaModelTest {
protected:
    void SetUp() override
    {
        LuaModelTest::SetUp();
        ASSERT_TRUE(layer.updateIndexnk(2.0, 0.5));
        ASSERT_TRUE(layer.updateIndexScript(
            (luatest::fixtureDir() / "index_cases.lua").wstring().c_str(), true));
    }
    bool index(double wavelength, double* n, double* k)
    {
        return layer.getIndex(0.1, 1.0, 1.12, wavelength, n, k, true);
    }
};

TEST_F(LuaIndexTest, FirstAnswerBecomesTheConstantIndex)
{
    scenario("valid");
    double n = 0, k = 0;
    ASSERT_TRUE(index(0.6, &n, &k));
    EXPECT_DOUBLE_EQ(n, 3.6);    // 3 + wavelength
    EXPECT_DOUBLE_EQ(k, 0.112);  // bandgap / 10
    EXPECT_DOUBLE_EQ(layer.getIndexn(), 3.6);
    EXPECT_TRUE(layer.isIndexScriptFirstCall());

    ASSERT_TRUE(index(0.9, &n, &k));
    EXPECT_DOUBLE_EQ(n, 3.9);
    EXPECT_DOUBLE_EQ(layer.getIndexn(), 3.6);
}

TEST_F(LuaIndexTest, FailuresHaveTheirMessages)
{
    double n = 0, k = 0;
    const struct {
        const char* scenario;
        const wchar_t* message;
    } cases[] = {
        {"range", L"[ERROR]   invalid layer index (script)\n"},
        {"status", L"[ERROR]   index model: returned status false"},
        {"few", L"[ERROR]   index model: invalid number of returned values"},
        {"error", L"[ERROR]   index model: at line "},
    };
    for (const auto& c : cases) {
        scenario(c.scenario);
        EXPECT_FALSE(index(0.6, &n, &k)) << c.scenario;
        EXPECT_TRUE(kov_startsWith(message(), c.message))
            << std::string(message().begin(), message().end());
        EXPECT_DOUBLE_EQ(layer.getIndexn(), 2.0);
    }
}

TEST_F(LuaIndexTest, MissingScriptFallsBackToTheConstantIndex)
{
    ASSERT_TRUE(layer.updateIndexScript(L"/nonexistent/folder/index.lua", true));
    double n = 0, k = 0;
    ASSERT_TRUE(index(0.6, &n, &k));
    EXPECT_EQ(n, 2.0);
    EXPECT_EQ(k, 0.5);
    EXPECT_EQ(layer.getIndexModel(), ekRegion::INDEX_CONSTANT);
    EXPECT_FALSE(layer.isIndexScriptGraded());
}

}  // namespace
