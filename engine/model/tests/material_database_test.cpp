// The material database route of ekLayer::init, on a database each test
// makes in a temporary program folder: good rows, rows the layer refuses,
// missing rows, odd names and broken files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "ekLayer.h"
#include "ekLevel.h"
#include "ekMaterialDatabase.h"
#include "kovbase.h"
#include "materialFixture.h"
#include "nuSigma.h"

using material_test::AppDirScope;
using material_test::execSql;
using material_test::queryInt;
using material_test::readFile;

namespace {

class MaterialDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(appDir.ok()); }

    // Makes the database; fails the test when the SQL does not run.
    void database(const std::string& changes = "") { ASSERT_EQ(appDir.makeDatabase(changes), ""); }

    // Replaces the database by a file the SQL makes, or by plain text when
    // there is no SQL.
    void plantDatabase(const std::string& sql)
    {
        std::remove(appDir.databasePath().c_str());
        if (sql.empty()) {
            std::FILE* file = std::fopen(appDir.databasePath().c_str(), "wb");
            ASSERT_NE(file, nullptr);
            std::fputs("this is no SQLite file, only text that looks like one might\n", file);
            std::fclose(file);
        } else {
            ASSERT_EQ(execSql(appDir.databasePath(), sql), "");
        }
    }

    // init on a fresh layer, returning what it printed.
    std::string initLayer(ekLayer& layer, const wchar_t* material, bool* result = nullptr)
    {
        ::testing::internal::CaptureStdout();
        const bool ok = layer.init(material, L"L", 0x10);
        if (result) {
            *result = ok;
        }
        return ::testing::internal::GetCapturedStdout();
    }

    AppDirScope appDir;
    nuSigma sigma;
};

TEST_F(MaterialDatabaseTest, GoodRowReplacesTheBuiltinValues)
{
    database("UPDATE TABLE_MATERIAL SET Bandgap = 1.424, Thickness = 2.5, BandgapType = 1.9, "
             "MobilityN = 8500, Taun = 2e-6, Taup = 3e-6, IndexN = 3.6, LatticeA = 0.565 "
             "WHERE Name = 'GaAs';"
             "UPDATE TABLE_MATERIAL SET BandgapType = 2 WHERE Name = 'InP';");
    ekLayer layer(&sigma, L"Si", L"L");
    layer.updateThickness(40);
    bool ok = false;
    const std::string printed = initLayer(layer, L"GaAs", &ok);

    EXPECT_TRUE(ok);
    EXPECT_EQ(sigma.err, 0);
    EXPECT_EQ(printed, "");
    EXPECT_STREQ(layer.getMaterial(), L"GaAs");
    EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.424);
    EXPECT_DOUBLE_EQ(layer.getThickness(), 2.5);  // the row's, whatever it was before
    EXPECT_TRUE(layer.isDirect());                // 1.9 truncates to 1
    EXPECT_DOUBLE_EQ(layer.getMobn(), 8500);
    EXPECT_DOUBLE_EQ(layer.getIndexn(), 3.6);
    EXPECT_DOUBLE_EQ(layer.getLatticeA(), 0.565);
    EXPECT_DOUBLE_EQ(layer.getTaun(), 2e-6);
    EXPECT_DOUBLE_EQ(layer.getTaup(), 3e-6);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getTn(), 2e-6);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getTp(), 3e-6);
    EXPECT_DOUBLE_EQ(layer.getEbr(), 3e5);

    ASSERT_TRUE(layer.init(L"InP", L"L", 0x10));
    EXPECT_FALSE(layer.isDirect());  // 2: indirect
}

TEST_F(MaterialDatabaseTest, RowTheLayerRefusesGivesAWarningAndTheBuiltinValues)
{
    struct Case {
        const char* change;  // SQL assignment on the GaAs row
        const char* reason;  // expected in the warning
    };
    const Case cases[] = {
        {"Permittivity = 500", "permittivity"},
        {"Bandgap = 0", "energy"},
        {"NC = NULL", "energy"},
        {"Mhh = 11", "effective mass"},
        {"UrbachTaunA = 1e-20", "Urbach"},
        {"MobilityN = 2e5", "mobility"},
        {"Beta = 1", "recombination"},
        {"LatticeB = 5", "lattice"},
        {"E33 = 20", "piezoelectric"},
        {"C13 = -1", "elastic"},
        {"Psp = 11", "polarization"},
        {"Thickness = -1", "thickness"},
        {"IndexN = 0", "index"},
        {"HeatCapacity = 1000", "optical"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        ASSERT_EQ(execSql(appDir.databasePath(), "DROP TABLE IF EXISTS TABLE_MATERIAL;"), "");
        database(std::string("UPDATE TABLE_MATERIAL SET Bandgap = 1.5, ") + c.change +
                 " WHERE Name = 'GaAs';");
        nuSigma channel;
        ekLayer layer(&channel, L"Si", L"L");
        ::testing::internal::CaptureStdout();
        const bool ok = layer.init(L"GaAs", L"L", 0x10);
        const std::string printed = ::testing::internal::GetCapturedStdout();

        EXPECT_TRUE(ok);
        EXPECT_EQ(channel.err, 0);
        EXPECT_EQ(channel.status, -1);
        EXPECT_NE(printed.find("[WARNING]"), std::string::npos) << printed;
        EXPECT_NE(printed.find("GaAs"), std::string::npos) << printed;
        EXPECT_NE(printed.find(c.reason), std::string::npos) << printed;
        EXPECT_EQ(printed.find("[ERROR]"), std::string::npos) << printed;
        // Nothing of the row is kept, not even its good values.
        EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.42);
        EXPECT_DOUBLE_EQ(layer.getEps(), 12.9);
        EXPECT_DOUBLE_EQ(layer.getThickness(), 1.0);
        // The layer stays usable.
        EXPECT_TRUE(layer.updatePermittivity(13.0));
    }
}

TEST_F(MaterialDatabaseTest, TooLowBandTailsFallBackWithAnInfoLineOnly)
{
    database("UPDATE TABLE_MATERIAL SET Bandgap = 1.5, UrbachEA = 0.0005, "
             "UrbachRestriction = 'none' WHERE Name = 'GaAs';");
    ekLayer layer(&sigma, L"Si", L"L");
    bool ok = false;
    const std::string printed = initLayer(layer, L"GaAs", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sigma.err, 0);
    EXPECT_NE(printed.find("[INFO]    Urbach model disabled"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("[ERROR]"), std::string::npos) << printed;
    EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.42);
    EXPECT_FALSE(layer.isUrbach());
}

TEST_F(MaterialDatabaseTest, MissingRowOrMissingDatabaseUsesTheBuiltinValuesSilently)
{
    // Without any database file.
    {
        ekLayer layer(&sigma, L"Si", L"L");
        bool ok = false;
        EXPECT_EQ(initLayer(layer, L"GaAs", &ok), "");
        EXPECT_TRUE(ok);
        EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.42);
    }
    // With a database that lacks the row.
    database("DELETE FROM TABLE_MATERIAL WHERE Name = 'GaAs';"
             "UPDATE TABLE_MATERIAL SET Bandgap = 1.2 WHERE Name = 'Si';");
    ekLayer layer(&sigma, L"Si", L"L");
    ASSERT_DOUBLE_EQ(layer.getBandgap(), 1.2);  // the database is in use
    bool ok = false;
    EXPECT_EQ(initLayer(layer, L"GaAs", &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(sigma.err, 0);
    EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.42);
    EXPECT_FALSE(ek_isDatabaseMaterial(L"GaAs"));
    EXPECT_TRUE(ek_isDatabaseMaterial(L"InP"));
}

TEST_F(MaterialDatabaseTest, NamesHoldingQuotesOrSqlAreOnlyNames)
{
    database("INSERT INTO TABLE_MATERIAL (Name, BandgapType, Bandgap, Affinity, Eso, Me, Mhh, Mlh, "
             "Msh, NC, NV, Permittivity, IndexN, IndexK, MobilityN, MobilityP, Beta, Cn, Cp, "
             "ThermalConductivity, HeatCapacity, LatticeA, LatticeB, LatticeC) VALUES ("
             "'Ga''As', 1, 1.77, 4, 0.3, 0.07, 0.5, 0.08, 0.15, 4.7e17, 9e18, 12.9, 3.3, 0.2, "
             "4000, 400, 7.2e-10, 5e-30, 1e-31, 0.55, 0.33, 0.4, 0.4, 0.4);");
    const std::string path = appDir.databasePath();
    const std::string before = readFile(path);
    const long long rows = queryInt(path, "SELECT COUNT(*) FROM TABLE_MATERIAL");
    ASSERT_GT(rows, 30);

    const wchar_t* hostile[] = {
        L"Si'; DROP TABLE TABLE_MATERIAL;--",
        L"' OR '1'='1",
        L"GaAs' --",
        L"\"; DELETE FROM TABLE_MATERIAL; --",
    };
    for (const wchar_t* name : hostile) {
        ekLayer layer(&sigma, L"GaAs", L"L");
        bool ok = false;
        EXPECT_EQ(initLayer(layer, name, &ok), "");
        EXPECT_TRUE(ok);
        EXPECT_EQ(sigma.err, 0);
        // Not a row of the table: the built-in fallback of an unknown name.
        EXPECT_STREQ(layer.getMaterial(), L"Si");
        EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.12);
        EXPECT_FALSE(ek_isDatabaseMaterial(name));
    }
    EXPECT_EQ(queryInt(path, "SELECT COUNT(*) FROM TABLE_MATERIAL"), rows);
    EXPECT_EQ(readFile(path), before);

    // A real name with a quote is found like any other.
    ekLayer layer(&sigma, L"Si", L"L");
    ASSERT_EQ(initLayer(layer, L"Ga'As"), "");
    EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.77);
    EXPECT_TRUE(ek_isDatabaseMaterial(L"Ga'As"));
}

TEST_F(MaterialDatabaseTest, RestrictionColumnSwitchesTheTailModel)
{
    struct Case {
        const char* value;
        bool urbach;
    };
    const Case cases[] = {{"'none'", true}, {"'None'", true},      {"'NONE'", true},  {"''", false},
                          {"NULL", false},  {"'disabled'", false}, {"'none '", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_EQ(execSql(appDir.databasePath(), "DROP TABLE IF EXISTS TABLE_MATERIAL;"), "");
        database(std::string("UPDATE TABLE_MATERIAL SET UrbachRestriction = ") + c.value +
                 " WHERE Name = 'Si';");
        ekLayer layer(&sigma, L"Si", L"L");
        EXPECT_EQ(layer.isUrbach(), c.urbach);
        EXPECT_EQ(sigma.err, 0);
    }
}

// An index table of count points, brought to exactly size bytes by comment
// lines in front of it.
std::string indexTable(int count, size_t size)
{
    std::string points;
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%.3f\t%.4f\t%.4f\n", 0.3 + 0.1 * i, 3.5 + 0.01 * i,
                      0.01 * i);
        points += line;
    }
    std::string comments;
    while (comments.size() + points.size() < size) {
        const size_t left = size - comments.size() - points.size();
        const size_t length = left > 60 ? 60 : left;  // the line end included
        if (length > 1) {
            comments += '#';
            comments.append(length - 2, '-');
        }
        comments += '\n';
    }
    return comments + points;
}

std::string blobLiteral(const std::string& bytes)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string out = "X'";
    for (unsigned char c : bytes) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out + "'";
}

TEST_F(MaterialDatabaseTest, IndexDataIsTakenOnlyInItsSizeWindow)
{
    const std::string good = indexTable(8, 1500);
    const std::string tooSmall = indexTable(8, 1023);
    ASSERT_EQ(good.size(), 1500u);
    ASSERT_EQ(tooSmall.size(), 1023u);
    database("UPDATE TABLE_MATERIAL SET IndexData = " + blobLiteral(good) +
             " WHERE Name = 'GaAs';"
             "UPDATE TABLE_MATERIAL SET IndexData = " +
             blobLiteral(tooSmall) + " WHERE Name = 'InP';");

    ekLayer gaas(&sigma, L"GaAs", L"L");
    EXPECT_EQ(sigma.err, 0);
    double first = 0, last = 0;
    int count = 0;
    ASSERT_TRUE(gaas.getDataIndex(&first, &last, &count));
    EXPECT_EQ(count, 8);
    EXPECT_DOUBLE_EQ(first, 0.3);
    EXPECT_NEAR(last, 1.0, 1e-12);
    EXPECT_TRUE(gaas.isDatabaseIndex());

    ekLayer inp(&sigma, L"InP", L"L");
    EXPECT_EQ(sigma.err, 0);
    EXPECT_FALSE(inp.isDatabaseIndex());
    EXPECT_FALSE(inp.getDataIndex(&first, &last, &count));
}

TEST_F(MaterialDatabaseTest, BrokenIndexDataIsDroppedWithAWarning)
{
    std::string broken = indexTable(8, 1500);
    broken.replace(broken.find("0.400\t"), 6, "0.300\t");  // wavelengths no longer rising
    database("UPDATE TABLE_MATERIAL SET IndexData = " + blobLiteral(broken) +
             ", IndexN = 3.7 WHERE Name = 'GaAs';");
    ekLayer layer(&sigma, L"Si", L"L");
    bool ok = false;
    const std::string printed = initLayer(layer, L"GaAs", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sigma.err, 0);
    EXPECT_NE(printed.find("[WARNING]"), std::string::npos) << printed;
    EXPECT_FALSE(layer.isDatabaseIndex());
    EXPECT_DOUBLE_EQ(layer.getIndexn(), 3.7);  // the rest of the row is used
}

TEST_F(MaterialDatabaseTest, AliasesAreLookedUpUnderTheNameAsWritten)
{
    database("UPDATE TABLE_MATERIAL SET Bandgap = 1.2 WHERE Name = 'Si';");
    ekLayer layer(&sigma, L"Si", L"L");
    ASSERT_DOUBLE_EQ(layer.getBandgap(), 1.2);

    // No row "Silicon": the built-in values of Si.
    ASSERT_TRUE(layer.init(L"Silicon", L"L", 0x10));
    EXPECT_STREQ(layer.getMaterial(), L"Si");
    EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.12);

    ASSERT_EQ(execSql(appDir.databasePath(),
                      "INSERT INTO TABLE_MATERIAL (Name, BandgapType, Bandgap, Affinity, Eso, Me, "
                      "Mhh, Mlh, Msh, NC, NV, Permittivity, IndexN, IndexK, MobilityN, MobilityP, "
                      "Beta, Cn, Cp, ThermalConductivity, HeatCapacity, LatticeA, LatticeB, "
                      "LatticeC) SELECT 'Silicon', BandgapType, 1.15, Affinity, Eso, Me, Mhh, Mlh, "
                      "Msh, NC, NV, Permittivity, IndexN, IndexK, MobilityN, MobilityP, Beta, Cn, "
                      "Cp, ThermalConductivity, HeatCapacity, LatticeA, LatticeB, LatticeC "
                      "FROM TABLE_MATERIAL WHERE Name = 'Si';"),
              "");
    ASSERT_TRUE(layer.init(L"Silicon", L"L", 0x10));
    EXPECT_STREQ(layer.getMaterial(), L"Si");
    EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.15);
}

TEST_F(MaterialDatabaseTest, DatabaseOnlyMaterialGetsItsRow)
{
    database("INSERT INTO TABLE_MATERIAL (Name, BandgapType, Bandgap, Affinity, Eso, Me, Mhh, Mlh, "
             "Msh, NC, NV, Permittivity, IndexN, IndexK, MobilityN, MobilityP, Beta, Cn, Cp, "
             "ThermalConductivity, HeatCapacity, LatticeA, LatticeB, LatticeC) VALUES ("
             "'MAPbI3', 1, 1.55, 3.9, 0.1, 0.2, 0.3, 0.3, 0.3, 2.2e18, 1.8e19, 25, 2.5, 0.1, "
             "10, 5, 1e-11, 1e-30, 1e-30, 0.5, 0.3, 0.63, 0.63, 0.63);");
    EXPECT_TRUE(ek_isDatabaseMaterial(L"MAPbI3"));
    EXPECT_FALSE(ek_isDatabaseMaterial(L"Unobtainium"));

    ekLayer layer(&sigma, L"MAPbI3", L"Perovskite");
    EXPECT_EQ(sigma.err, 0);
    EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.55);
    EXPECT_DOUBLE_EQ(layer.getEps(), 25);
    EXPECT_DOUBLE_EQ(layer.getLatticeA(), 0.63);
    EXPECT_TRUE(layer.isDirect());
    // The stored name stays a built-in one until the caller sets its own.
    EXPECT_STREQ(layer.getMaterial(), L"Si");
    EXPECT_FALSE(layer.isAlloy());
}

TEST_F(MaterialDatabaseTest, ADatabaseOnlyMaterialWithARowItCannotUseIsAnError)
{
    // No built-in values stand behind such a material: silicon in its place
    // would be a wrong result reported as success.
    const struct {
        const char* values;
        const char* reason;
    } cases[] = {
        {"25", ""},               // a good row, for comparison
        {"500", "permittivity"},  // refused by the range check
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.values);
        ASSERT_EQ(execSql(appDir.databasePath(), "DROP TABLE IF EXISTS TABLE_MATERIAL;"), "");
        database(std::string(
                     "INSERT INTO TABLE_MATERIAL (Name, BandgapType, Bandgap, Affinity, Eso, Me, "
                     "Mhh, Mlh, Msh, NC, NV, Permittivity, IndexN, IndexK, MobilityN, MobilityP, "
                     "Beta, Cn, Cp, ThermalConductivity, HeatCapacity, LatticeA, LatticeB, "
                     "LatticeC) VALUES ('MAPbI3', 1, 1.55, 3.9, 0.1, 0.2, 0.3, 0.3, 0.3, 2.2e18, "
                     "1.8e19, ") +
                 c.values + ", 2.5, 0.1, 10, 5, 1e-11, 1e-30, 1e-30, 0.5, 0.3, 0.63, 0.63, 0.63);");
        nuSigma channel;
        ekLayer layer(&channel, L"Si", L"L");
        ::testing::internal::CaptureStdout();
        const bool ok = layer.init(L"MAPbI3", L"L", 0x10);
        const std::string printed = ::testing::internal::GetCapturedStdout();
        if (c.reason[0] == 0) {
            EXPECT_TRUE(ok) << printed;
            EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.55);
            continue;
        }
        EXPECT_FALSE(ok);
        EXPECT_NE(channel.err, 0);
        const std::string message = kov_toUtf8(channel.message);
        EXPECT_EQ(
            message.rfind("[ERROR]   material database: the row of 'MAPbI3' cannot be used (", 0),
            0u)
            << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
}

TEST_F(MaterialDatabaseTest, TheDatabaseProblemNamesTheFileAndWhatIsWrong)
{
    EXPECT_NE(kov_toUtf8(ek_materialDatabaseProblem()).find(" is missing"), std::string::npos);
    const struct {
        const char* what;
        std::string sql;  // empty: a text file in the database's place
        const char* problem;
    } cases[] = {
        {"not a database", "", "is not a material database"},
        {"no table", "CREATE TABLE OTHER (Name TEXT);", "is not a material database"},
        {"too few columns", "CREATE TABLE TABLE_MATERIAL (Name TEXT, Bandgap REAL);",
         "has too few columns (2 of 79)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        plantDatabase(c.sql);
        if (HasFatalFailure()) {
            return;
        }
        const std::string problem = kov_toUtf8(ek_materialDatabaseProblem());
        EXPECT_NE(problem.find(appDir.databasePath()), std::string::npos) << problem;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
    std::remove(appDir.databasePath().c_str());
    database();
    EXPECT_EQ(ek_materialDatabaseProblem(), L"");
}

TEST_F(MaterialDatabaseTest, KnownMaterialsAreTheTableTheAliasesAndTheDatabaseRows)
{
    struct Case {
        const wchar_t* name;
        bool withoutDatabase;
        bool withDatabase;
    };
    const Case cases[] = {
        {L"GaAs", true, true}, {L"gaas", true, true},   {L"Germanium", true, true},
        {L"ITO", false, true}, {L"FTO", false, true},   {L"Unobtainium", false, false},
        {L"", false, false},   {nullptr, false, false}, {L"Si'; --", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ek_isKnownMaterial(c.name), c.withoutDatabase) << (c.name ? "" : "null");
    }
    database("INSERT INTO TABLE_MATERIAL (Name, BandgapType, Bandgap, Affinity, Eso, Me, Mhh, Mlh, "
             "Msh, NC, NV, Permittivity, IndexN, IndexK, MobilityN, MobilityP, Beta, Cn, Cp, "
             "ThermalConductivity, HeatCapacity, LatticeA, LatticeB, LatticeC) VALUES ("
             "'FTO', 1, 3.6, 4.5, 0.1, 0.35, 0.6, 0.6, 0.6, 4e18, 1e19, 9, 1.9, 0.01, "
             "50, 10, 1e-11, 1e-30, 1e-30, 0.5, 0.3, 0.5, 0.5, 0.5);");
    for (const Case& c : cases) {
        EXPECT_EQ(ek_isKnownMaterial(c.name), c.withDatabase) << (c.name ? "" : "null");
    }
}

TEST_F(MaterialDatabaseTest, AlloysAndNitridesKeepTheirKindThroughTheDatabase)
{
    database();
    ekLayer alloy(&sigma, L"InGaAs", L"L");
    EXPECT_TRUE(alloy.isAlloy());
    EXPECT_STREQ(alloy.getMaterialAC(), L"InAs");
    EXPECT_STREQ(alloy.getMaterialBC(), L"GaAs");
    EXPECT_DOUBLE_EQ(alloy.getCompositionX(), 0.0);

    ekLayer nitride(&sigma, L"Si", L"L");
    ASSERT_EQ(nitride.getLatticeType(), 0);
    ASSERT_TRUE(nitride.init(L"GaN", L"L", 0x10));
    EXPECT_EQ(nitride.getLatticeType(), 0x20);
    ASSERT_TRUE(nitride.init(L"GaAs", L"L", 0x10));
    EXPECT_EQ(nitride.getLatticeType(), 0);
}

TEST_F(MaterialDatabaseTest, UnusableFilesAreLikeNoDatabase)
{
    struct Case {
        const char* what;
        std::string sql;  // run on a fresh file, empty for a non-database file
        bool warning;
    };
    const Case cases[] = {
        {"not a database", "", false},
        {"no table", "CREATE TABLE OTHER (Name TEXT);", false},
        {"too few columns",
         "CREATE TABLE TABLE_MATERIAL (Name TEXT, Bandgap REAL);"
         "INSERT INTO TABLE_MATERIAL VALUES ('GaAs', 1.5);",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plantDatabase(c.sql);
        if (HasFatalFailure()) {
            return;
        }
        nuSigma channel;
        ekLayer layer(&channel, L"Si", L"L");
        ::testing::internal::CaptureStdout();
        const bool ok = layer.init(L"GaAs", L"L", 0x10);
        const std::string printed = ::testing::internal::GetCapturedStdout();
        EXPECT_TRUE(ok);
        EXPECT_EQ(channel.err, 0);
        EXPECT_DOUBLE_EQ(layer.getBandgap(), 1.42);
        EXPECT_EQ(printed.find("[WARNING]") != std::string::npos, c.warning) << printed;
    }
}

}  // namespace
