// The built-in materials, with no material database in reach: every
// material's values as a layer receives them, names, aliases and alloys.
#include <gtest/gtest.h>

#include <cctype>
#include <cwchar>
#include <memory>
#include <ostream>
#include <string>

#include "ekLayer.h"
#include "ekLevel.h"
#include "materialExpected.h"
#include "materialFixture.h"
#include "nuSigma.h"

using material_test::AppDirScope;
using material_test::EXPECTED_LATTICE;
using material_test::EXPECTED_LATTICE_COMMON;
using material_test::EXPECTED_MATERIALS;
using material_test::ExpectedLattice;
using material_test::ExpectedMaterial;

namespace material_test {
// Names the material in failure messages instead of dumping its bytes.
void PrintTo(const ExpectedMaterial& material, std::ostream* out)
{
    for (const wchar_t* c = material.name; *c; ++c) {
        *out << static_cast<char>(*c);
    }
}
}  // namespace material_test

namespace {

std::string narrow(const wchar_t* text)
{
    std::string out;
    for (; text && *text; ++text) {
        out += static_cast<char>(*text);
    }
    return out;
}

bool sameText(const wchar_t* a, const wchar_t* b)
{
    return std::wcscmp(a ? a : L"", b ? b : L"") == 0;
}

// No database: the program folder is an empty temporary folder.
class BuiltinMaterialTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { appDirScope = std::make_unique<AppDirScope>(); }
    static void TearDownTestSuite() { appDirScope.reset(); }

    void SetUp() override { ASSERT_TRUE(appDirScope->ok()); }

    nuSigma sigma;
    static std::unique_ptr<AppDirScope> appDirScope;
};
std::unique_ptr<AppDirScope> BuiltinMaterialTest::appDirScope;

const ExpectedLattice& expectedLattice(const wchar_t* name)
{
    for (const ExpectedLattice& row : EXPECTED_LATTICE) {
        if (std::wcscmp(row.name, name) == 0) {
            return row;
        }
    }
    return EXPECTED_LATTICE_COMMON;
}

class EveryMaterialTest : public BuiltinMaterialTest,
                          public ::testing::WithParamInterface<ExpectedMaterial> {};

TEST_P(EveryMaterialTest, LayerReceivesTheTableValues)
{
    const ExpectedMaterial& e = GetParam();
    ekLayer layer(&sigma, e.name, L"Absorber");
    ASSERT_EQ(sigma.err, 0);

    EXPECT_STREQ(layer.getMaterial(), e.name);
    EXPECT_STREQ(layer.getName(), L"Absorber");
    EXPECT_EQ(layer.isDirect(), e.direct);
    EXPECT_DOUBLE_EQ(layer.getBandgap(), e.Eg);
    EXPECT_DOUBLE_EQ(layer.getAffinity(), e.Chi);
    EXPECT_DOUBLE_EQ(layer.getEso(), e.Eso);
    EXPECT_DOUBLE_EQ(layer.getMe(), e.Me);
    EXPECT_DOUBLE_EQ(layer.getMhh(), e.Mhh);
    EXPECT_DOUBLE_EQ(layer.getMlh(), e.Mlh);
    EXPECT_DOUBLE_EQ(layer.getMsh(), e.Msh);
    EXPECT_DOUBLE_EQ(layer.getNC(), e.NC);
    EXPECT_DOUBLE_EQ(layer.getNV(), e.NV);
    EXPECT_DOUBLE_EQ(layer.getEps(), e.Eps);
    EXPECT_DOUBLE_EQ(layer.getIndexn(), e.n);
    EXPECT_DOUBLE_EQ(layer.getIndexk(), e.k);
    EXPECT_DOUBLE_EQ(layer.getMobn(), e.Mobn);
    EXPECT_DOUBLE_EQ(layer.getMobp(), e.Mobp);
    EXPECT_DOUBLE_EQ(layer.getBeta(), e.Beta);
    EXPECT_DOUBLE_EQ(layer.getCn(), e.Cn);
    EXPECT_DOUBLE_EQ(layer.getCp(), e.Cp);
    EXPECT_DOUBLE_EQ(layer.getThermc(), e.Thermc);
    EXPECT_DOUBLE_EQ(layer.getHeat(), e.Heat);
    EXPECT_DOUBLE_EQ(layer.getLatticeA(), e.a);
    EXPECT_DOUBLE_EQ(layer.getLatticeB(), e.b);
    EXPECT_DOUBLE_EQ(layer.getLatticeC(), e.c);

    // Common to all materials.
    EXPECT_DOUBLE_EQ(layer.getThickness(), 1.0);
    EXPECT_DOUBLE_EQ(layer.getTaun(), 1e-7);
    EXPECT_DOUBLE_EQ(layer.getTaup(), 1e-7);
    EXPECT_DOUBLE_EQ(layer.getEbr(), 3e5);
    EXPECT_DOUBLE_EQ(layer.getCompositionX(), 0.0);
    EXPECT_DOUBLE_EQ(layer.getCompositionY(), 0.0);
    EXPECT_DOUBLE_EQ(layer.getBandgapBowing(), 0.0);
    EXPECT_DOUBLE_EQ(layer.getAffinityBowing(), 0.0);
    EXPECT_EQ(layer.getTrapCount(), 0);

    const ExpectedLattice& lattice = expectedLattice(e.name);
    EXPECT_EQ(layer.getLatticeType(), lattice.type);
    EXPECT_DOUBLE_EQ(layer.getLatticeE31(), lattice.e31);
    EXPECT_DOUBLE_EQ(layer.getLatticeE33(), lattice.e33);
    EXPECT_DOUBLE_EQ(layer.getLatticeC11(), lattice.c11);
    EXPECT_DOUBLE_EQ(layer.getLatticeC12(), lattice.c12);
    EXPECT_DOUBLE_EQ(layer.getLatticeC13(), lattice.c13);
    EXPECT_DOUBLE_EQ(layer.getLatticeC33(), lattice.c33);
    EXPECT_DOUBLE_EQ(layer.getPsp(), lattice.Psp);

    const bool amorphous = std::wcscmp(e.name, L"a-Si") == 0;
    EXPECT_EQ(layer.isUrbach(), amorphous);
    EXPECT_DOUBLE_EQ(layer.getUrbachEA(), amorphous ? 0.05 : 0.01);
    EXPECT_DOUBLE_EQ(layer.getUrbachED(), amorphous ? 0.06 : 0.01);
    EXPECT_DOUBLE_EQ(layer.getUrbachGA(), amorphous ? 1e21 : 1e20);
    EXPECT_DOUBLE_EQ(layer.getUrbachGD(), amorphous ? 1e21 : 1e20);
    EXPECT_DOUBLE_EQ(layer.getUrbachTaunA(), 1e-8);
    EXPECT_DOUBLE_EQ(layer.getUrbachTaupA(), 1e-8);
    EXPECT_DOUBLE_EQ(layer.getUrbachTaunD(), 1e-8);
    EXPECT_DOUBLE_EQ(layer.getUrbachTaupD(), 1e-8);

    const bool alloy = e.ac != nullptr;
    EXPECT_EQ(layer.isAlloy(), alloy);
    EXPECT_TRUE(sameText(layer.getMaterialAC(), e.ac));
    EXPECT_TRUE(sameText(layer.getMaterialBC(), e.bc));

    // The dopant: a donor of 1e16 with the material's lifetimes.
    ASSERT_NE(layer.getDopant(), nullptr);
    EXPECT_EQ(layer.getDopant()->getType(), 0x10);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getTn(), 1e-7);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getTp(), 1e-7);

    // Every material of one handbook carries the same non-empty reference,
    // and the two handbooks differ.
    ekLayer first(&sigma, e.reference == 'A' ? L"Si" : L"CIGS", L"Reference");
    ekLayer other(&sigma, e.reference == 'A' ? L"CIGS" : L"Si", L"Other");
    ASSERT_NE(layer.getDataRef(), nullptr);
    EXPECT_GT(std::wcslen(layer.getDataRef()), 0u);
    EXPECT_LT(std::wcslen(layer.getDataRef()), 128u);
    EXPECT_STREQ(layer.getDataRef(), first.getDataRef());
    EXPECT_STRNE(layer.getDataRef(), other.getDataRef());
}

INSTANTIATE_TEST_SUITE_P(AllThirty, EveryMaterialTest, ::testing::ValuesIn(EXPECTED_MATERIALS),
                         [](const ::testing::TestParamInfo<ExpectedMaterial>& info) {
                             std::string name;
                             for (char c : narrow(info.param.name)) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST(MaterialNames, ExportedTableListsTheThirtyInOrder)
{
    ASSERT_EQ(ekLayer::MATERIAL_COUNT, 30);
    int i = 0;
    for (const ExpectedMaterial& e : EXPECTED_MATERIALS) {
        ASSERT_NE(ekLayer::MATERIAL[i], nullptr) << i;
        EXPECT_STREQ(ekLayer::MATERIAL[i], e.name) << i;
        ++i;
    }
    EXPECT_EQ(i, 30);
    EXPECT_EQ(ekLayer::MATERIAL[30], nullptr);
}

TEST(MaterialNames, StandardMaterialIgnoresCaseButKnowsNoAliases)
{
    struct Case {
        const wchar_t* name;
        bool standard;
    };
    const Case cases[] = {
        {L"Si", true},    {L"si", true},    {L"GAAS", true},     {L"6h-sic", true},
        {L"TiO2", true},  {L"ingan", true}, {L"Silicon", false}, {L"Diamond", false},
        {L"Se", false},   {L"ITO", false},  {L"", false},        {L"Si ", false},
        {nullptr, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ekLayer::isStandardMaterial(c.name), c.standard) << narrow(c.name);
    }
}

TEST_F(BuiltinMaterialTest, AliasesGiveTheirMaterialInAnyCase)
{
    struct Case {
        const wchar_t* alias;
        const wchar_t* material;
        double Eg;
    };
    const Case cases[] = {
        {L"Silicon", L"Si", 1.12},   {L"SILICON", L"Si", 1.12}, {L"germanium", L"Ge", 0.66},
        {L"Germanium", L"Ge", 0.66}, {L"diamond", L"C", 5.5},   {L"DiAmOnD", L"C", 5.5},
    };
    for (const Case& c : cases) {
        ekLayer layer(&sigma, c.alias, L"L");
        EXPECT_STREQ(layer.getMaterial(), c.material) << narrow(c.alias);
        EXPECT_DOUBLE_EQ(layer.getBandgap(), c.Eg) << narrow(c.alias);
        EXPECT_EQ(sigma.err, 0);
    }
}

TEST_F(BuiltinMaterialTest, NameOutsideTheTableBecomesSilicon)
{
    for (const wchar_t* name : {L"Unobtainium", L"ITO", L"", L"Si-Ge"}) {
        ekLayer layer(&sigma, L"GaAs", L"L");
        EXPECT_TRUE(layer.init(name, L"Window", 0x10)) << narrow(name);
        EXPECT_STREQ(layer.getMaterial(), L"Si");
        EXPECT_STREQ(layer.getName(), L"Window");
        EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.12);
        EXPECT_FALSE(layer.isDirect());
        EXPECT_EQ(sigma.err, 0);
    }
}

TEST_F(BuiltinMaterialTest, DopantTypeFollowsTheRequest)
{
    ekLayer layer(&sigma, L"Si", L"L");
    ASSERT_TRUE(layer.init(L"GaAs", L"L", 0x20));
    EXPECT_EQ(layer.getType(), 0x20);
    EXPECT_STREQ(layer.getDopant()->getName(), L"Acceptor");
    EXPECT_DOUBLE_EQ(layer.getDopant()->getN(), 1e16);

    ASSERT_TRUE(layer.init(L"GaAs", L"L", 0));
    EXPECT_EQ(layer.getType(), 0);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getN(), 0.0);
}

TEST_F(BuiltinMaterialTest, ReinitReplacesValuesButKeepsRunSettings)
{
    ekLayer layer(&sigma, L"InGaAs", L"L");
    ASSERT_TRUE(layer.updateTemperature(350));
    layer.updateMesh(321);
    layer.setTunnel(true);
    layer.updateThickness(7.5);
    ASSERT_NE(layer.addTrap(L"T1", 0x10, 1e15, 1e19, 0.3, 0, 1e-8, 1e-8, 1, false), nullptr);
    ASSERT_EQ(layer.getTrapCount(), 1);

    ASSERT_TRUE(layer.init(L"Si", L"L", 0x10));
    EXPECT_DOUBLE_EQ(layer.getT(), 350);
    EXPECT_EQ(layer.getMeshPoints(), 321);
    EXPECT_TRUE(layer.isTunnel());
    EXPECT_DOUBLE_EQ(layer.getThickness(), 1.0);
    EXPECT_EQ(layer.getTrapCount(), 0);
    // The former alloy leaves no end members or alloy mark behind.
    EXPECT_FALSE(layer.isAlloy());
    EXPECT_STREQ(layer.getMaterialAC(), L"");
    EXPECT_STREQ(layer.getMaterialBC(), L"");
}

TEST_F(BuiltinMaterialTest, NothingHappensWhileTheErrorFlagIsSet)
{
    ekLayer layer(&sigma, L"GaAs", L"Keep");
    sigma.err = 1;
    EXPECT_FALSE(layer.init(L"Si", L"Other", 0x10));
    EXPECT_STREQ(layer.getMaterial(), L"GaAs");
    EXPECT_STREQ(layer.getName(), L"Keep");
    EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.42);
}

TEST_F(BuiltinMaterialTest, OwnMaterialBufferOutsideTheTableIsRefused)
{
    // A material stored without re-initialisation (a database or user
    // material) has no built-in values to fall back on.
    ekLayer layer(&sigma, L"GaAs", L"L");
    layer.updateMaterial(L"Perovskite");
    EXPECT_FALSE(layer.init(layer.getMaterial(), L"L", 0x10));
    EXPECT_EQ(sigma.err, 0);
}

}  // namespace
