// The database the build ships: it exists in the program folder's etc/,
// holds one row per built-in material, and every row holds exactly the
// built-in values, so a layer is the same whichever route made it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cwchar>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "ekLayer.h"
#include "ekLevel.h"
#include "ekMaterialDatabase.h"
#include "ekMaterialTable.h"
#include "kovbase.h"
#include "materialFixture.h"
#include "nuSigma.h"

using material_test::AppDirScope;

namespace {

const std::string SHIPPED = std::string(KOVRA_BIN_DIR) + "/etc/semiconductor.kovradb";

// Points the program folder at the build's bin/ for the whole suite.
class ShippedDatabaseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (const char* old = getenv("KOVRA_APPDIR")) {
            savedAppDir = std::make_unique<std::string>(old);
        }
        setenv("KOVRA_APPDIR", (std::string(KOVRA_BIN_DIR) + "/").c_str(), 1);
    }
    static void TearDownTestSuite()
    {
        if (savedAppDir) {
            setenv("KOVRA_APPDIR", savedAppDir->c_str(), 1);
        } else {
            unsetenv("KOVRA_APPDIR");
        }
        savedAppDir.reset();
    }

    nuSigma sigma;
    static std::unique_ptr<std::string> savedAppDir;
};
std::unique_ptr<std::string> ShippedDatabaseTest::savedAppDir;

TEST_F(ShippedDatabaseTest, DatabaseIsWhereTheEngineLooks)
{
    ASSERT_TRUE(std::filesystem::is_regular_file(SHIPPED)) << SHIPPED;
    std::string path;
    ASSERT_TRUE(ek_materialDatabasePath(&path));
    EXPECT_EQ(std::filesystem::weakly_canonical(path), std::filesystem::weakly_canonical(SHIPPED));
}

// The five materials the device editor offers beyond the built-in table:
// the engine knows them only from the database.
const char* const DATABASE_ONLY[] = {"Se", "MgO", "SnO2", "In2O3", "ITO"};

TEST_F(ShippedDatabaseTest, OneRowPerBuiltinMaterialAndPerDatabaseMaterial)
{
    EXPECT_EQ(material_test::queryInt(SHIPPED, "SELECT COUNT(*) FROM TABLE_MATERIAL"), 35);
    for (const char* name : DATABASE_ONLY) {
        SCOPED_TRACE(name);
        const std::string sql = std::string("SELECT COUNT(*) FROM TABLE_MATERIAL WHERE Name = '") +
                                name + "' COLLATE BINARY";
        EXPECT_EQ(material_test::queryInt(SHIPPED, sql), 1);
        EXPECT_FALSE(ekLayer::isStandardMaterial(kov_toWide(name).c_str()));
        // Every value the engine reads passes the layer's own checks, and
        // the row says where its values come from.
        ekMaterialRow row;
        ASSERT_EQ(ek_readMaterialRow(kov_toWide(name).c_str(), &row), ekMaterialLookup::Found);
        EXPECT_EQ(ek_materialValuesProblem(row.values), nullptr);
        const std::string reference =
            std::string("SELECT COUNT(*) FROM TABLE_MATERIAL WHERE Name = '") + name +
            "' AND Reference LIKE 'Representative values: %'";
        EXPECT_EQ(material_test::queryInt(SHIPPED, reference), 1);
    }
    // Only the built-in names (their spelling exactly).
    std::set<std::wstring> names;
    for (int i = 0; ekLayer::MATERIAL[i]; ++i) {
        names.insert(ekLayer::MATERIAL[i]);
        const std::string sql = "SELECT COUNT(*) FROM TABLE_MATERIAL WHERE Name = '" +
                                kov_toUtf8(ekLayer::MATERIAL[i]) + "' COLLATE BINARY";
        EXPECT_EQ(material_test::queryInt(SHIPPED, sql), 1) << kov_toUtf8(ekLayer::MATERIAL[i]);
    }
    EXPECT_EQ(names.size(), 30u);
}

TEST_F(ShippedDatabaseTest, EveryRowHoldsExactlyTheBuiltinValues)
{
    for (int i = 0; ekLayer::MATERIAL[i]; ++i) {
        const wchar_t* name = ekLayer::MATERIAL[i];
        SCOPED_TRACE(kov_toUtf8(name));
        ekBuiltinMaterial builtin{};
        ASSERT_TRUE(ek_findBuiltinMaterial(name, &builtin));
        ekMaterialRow row;
        ASSERT_EQ(ek_readMaterialRow(name, &row), ekMaterialLookup::Found);
        const ekMaterialParameters& b = builtin.values;
        const ekMaterialParameters& d = row.values;
        EXPECT_EQ(ek_materialValuesProblem(d), nullptr);
        EXPECT_TRUE(row.indexData.empty());

        // Exact equality: the script must spell every number as the table.
#define EXPECT_SAME(field) EXPECT_EQ(d.field, b.field) << #field
        EXPECT_SAME(thickness);
        EXPECT_SAME(direct);
        EXPECT_SAME(Eg);
        EXPECT_SAME(Chi);
        EXPECT_SAME(Eso);
        EXPECT_SAME(Me);
        EXPECT_SAME(Mhh);
        EXPECT_SAME(Mlh);
        EXPECT_SAME(Msh);
        EXPECT_SAME(NC);
        EXPECT_SAME(NV);
        EXPECT_SAME(Eps);
        EXPECT_SAME(indexN);
        EXPECT_SAME(indexK);
        EXPECT_SAME(Mobn);
        EXPECT_SAME(Mobp);
        EXPECT_SAME(Beta);
        EXPECT_SAME(Cn);
        EXPECT_SAME(Cp);
        EXPECT_SAME(Taun);
        EXPECT_SAME(Taup);
        EXPECT_SAME(Thermc);
        EXPECT_SAME(Heat);
        EXPECT_SAME(urbach);
        EXPECT_SAME(urbachEA);
        EXPECT_SAME(urbachED);
        EXPECT_SAME(urbachGA);
        EXPECT_SAME(urbachGD);
        EXPECT_SAME(urbachTaunA);
        EXPECT_SAME(urbachTaupA);
        EXPECT_SAME(urbachTaunD);
        EXPECT_SAME(urbachTaupD);
        EXPECT_SAME(latticeA);
        EXPECT_SAME(latticeB);
        EXPECT_SAME(latticeC);
        EXPECT_SAME(e31);
        EXPECT_SAME(e33);
        EXPECT_SAME(c11);
        EXPECT_SAME(c12);
        EXPECT_SAME(c13);
        EXPECT_SAME(c33);
        EXPECT_SAME(Psp);
#undef EXPECT_SAME
    }
}

// Everything a layer exposes of its material.
std::wstring describe(const ekLayer& l)
{
    wchar_t text[4096];
    swprintf(text, sizeof text / sizeof text[0],
             L"%ls|%ls|%ls|%ls|%d|%d|%d|%d|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|"
             L"%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|"
             L"%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|"
             L"%.17g|%.17g|%.17g|%.17g|%.17g|%.17g|%d|%ls",
             l.getMaterial(), l.getMaterialAC(), l.getMaterialBC(), l.getDataRef(), l.isAlloy(),
             l.isDirect(), l.isUrbach(), l.getLatticeType(), l.getThickness(), l.getBandgap(),
             l.getAffinity(), l.getEso(), l.getMe(), l.getMhh(), l.getMlh(), l.getMsh(), l.getNC(),
             l.getNV(), l.getEps(), l.getIndexn(), l.getIndexk(), l.getMobn(), l.getMobp(),
             l.getEbr(), l.getBeta(), l.getCn(), l.getCp(), l.getTaun(), l.getTaup(), l.getThermc(),
             l.getHeat(), l.getUrbachEA(), l.getUrbachED(), l.getUrbachGA(), l.getUrbachGD(),
             l.getUrbachTaunA(), l.getUrbachTaupA(), l.getUrbachTaunD(), l.getUrbachTaupD(),
             l.getLatticeA(), l.getLatticeB(), l.getLatticeC(), l.getLatticeE31(),
             l.getLatticeE33(), l.getLatticeC11(), l.getLatticeC12(), l.getLatticeC13(),
             l.getLatticeC33(), l.getPsp(), l.getTrapCount(), l.getDopant()->getName());
    return text;
}

TEST_F(ShippedDatabaseTest, LayersAreTheSameWithAndWithoutTheDatabase)
{
    for (int i = 0; ekLayer::MATERIAL[i]; ++i) {
        const wchar_t* name = ekLayer::MATERIAL[i];
        SCOPED_TRACE(kov_toUtf8(name));
        ekLayer fromDatabase(&sigma, name, L"L");
        ASSERT_EQ(sigma.err, 0);
        std::wstring withoutDatabase;
        {
            AppDirScope empty;
            ekLayer fromTable(&sigma, name, L"L");
            withoutDatabase = describe(fromTable);
        }
        EXPECT_EQ(kov_toUtf8(describe(fromDatabase)), kov_toUtf8(withoutDatabase));
    }
}

}  // namespace
