// The layer record: defaults, materials from the built-in table and from
// the material database, dopant codes, colours, copies and keys.
#include <sqlite3.h>

#include <cstring>
#include <string>

#include "docTestSupport.h"
#include "materials.h"

namespace {

double value(Layer* layer, const char* key)
{
    ParamRecord* r = Layer_findParam(layer, key);
    EXPECT_NE(r, nullptr) << key;
    return r == nullptr ? 0 : (r->type == PARAM_INTEGER ? r->value.integer : r->value.real);
}

std::string text(Layer* layer, const char* key)
{
    ParamRecord* r = Layer_findParam(layer, key);
    EXPECT_NE(r, nullptr) << key;
    return r == nullptr ? "" : r->value.text.c_str();
}

// Layers without the database: the program folder is an empty one.
class BuiltinLayer : public DocTest {
protected:
    void SetUp() override
    {
        recorder.appDir = folder.path();
        DocTest::SetUp();
    }
};

TEST_F(BuiltinLayer, NewSiliconLayerHasItsDefaultsAndThirteenLiveRecords)
{
    Layer* layer = Layer_create();
    ASSERT_NE(layer, nullptr);
    EXPECT_DOUBLE_EQ(value(layer, "Bandgap"), 1.12);
    EXPECT_EQ(value(layer, "BandgapType"), 2);
    EXPECT_DOUBLE_EQ(value(layer, "Affinity"), 4.17);
    EXPECT_DOUBLE_EQ(value(layer, "Permittivity"), 11.8);
    EXPECT_DOUBLE_EQ(value(layer, "Dopant.N"), 1e16);
    EXPECT_EQ(text(layer, "Dopant.Type"), "D");
    EXPECT_EQ(value(layer, "Mesh.Points"), 100);
    int live = 0;
    for (int i = 0; i < layer->count; ++i) {
        live += layer->records[i]->revision == 2 ? 1 : 0;
    }
    EXPECT_EQ(live, 13);
    EXPECT_EQ(Layer_setParam(layer, "Therm.C", "1", nullptr, nullptr, 0), 0);
    Layer_free(&layer);
    EXPECT_EQ(layer, nullptr);
}

TEST_F(BuiltinLayer, MaterialsFromTheBuiltInTable)
{
    Layer* layer = Layer_create();
    EXPECT_EQ(Layer_setMaterial(layer, "GaAs", nullptr, DOPANT_ACCEPTOR), 1);
    EXPECT_DOUBLE_EQ(value(layer, "Bandgap"), 1.42);
    EXPECT_EQ(text(layer, "Dopant.Type"), "A");
    EXPECT_EQ(Layer_findParam(layer, "Dopant.W")->revision, 0);

    // Choosing silicon again applies silicon's values, not the last ones.
    EXPECT_EQ(Layer_setMaterial(layer, "Si", nullptr, DOPANT_DONOR), 1);
    EXPECT_DOUBLE_EQ(value(layer, "Bandgap"), 1.12);
    EXPECT_DOUBLE_EQ(value(layer, "Mobility.N"), 1000);

    EXPECT_EQ(Layer_setMaterial(layer, "Silicon", nullptr, DOPANT_DONOR), 1);
    EXPECT_EQ(text(layer, "Material"), "Si");
    EXPECT_EQ(Layer_setMaterial(layer, "sige", nullptr, DOPANT_DONOR), 1);
    EXPECT_EQ(text(layer, "Material"), "Si");  // the built-in list is exact

    EXPECT_EQ(Layer_setMaterial(layer, "AlGaAs", nullptr, DOPANT_DONOR), 1);
    EXPECT_DOUBLE_EQ(value(layer, "Bandgap"), 1.42);  // GaAs's row
    EXPECT_EQ(Layer_findParam(layer, "Composition.x")->revision, 2);

    const double mobility = value(layer, "Mobility.N");
    EXPECT_EQ(Layer_setMaterial(layer, "CdTe", nullptr, DOPANT_DONOR), 1);
    EXPECT_DOUBLE_EQ(value(layer, "Mobility.N"), mobility);  // CdTe keeps the mobilities

    EXPECT_EQ(Layer_setMaterial(layer, "ITO", nullptr, DOPANT_DONOR), 0);
    EXPECT_EQ(text(layer, "Material"), "ITO");
    Layer_free(&layer);
}

TEST_F(BuiltinLayer, DopantCodesColoursAndAlloyEndMembers)
{
    Layer* layer = Device_appendLayer(device());
    const struct {
        const char* type;
        int code;
    } codes[] = {{"n", 16}, {"donor", 16}, {"P", 32}, {"Acceptor", 32}, {"i", 0}, {"x", 127}};
    for (const auto& c : codes) {
        EXPECT_EQ(Dopant_decode(c.type), c.code) << c.type;
    }

    Layer_setDopantType(layer, DOPANT_ACCEPTOR);
    Layer_setParam(layer, "Dopant.N", "3.2e17", nullptr, nullptr, 0);
    Layer_updateColors(layer);
    EXPECT_EQ(0, std::memcmp(layer->dopingColor, LayerColorTable[7], sizeof layer->dopingColor));
    Layer_setParam(layer, "Dopant.N", "5e21", nullptr, nullptr, 0);
    Layer_updateColors(layer);
    EXPECT_EQ(0, std::memcmp(layer->dopingColor, LayerColorTable[10], sizeof layer->dopingColor));
    const struct {
        const char* eg;
        int row;
    } gaps[] = {{"1.5", 20}, {"3.5", 43}, {"3.51", 43}, {"1.2", 20}};
    for (const auto& g : gaps) {
        Layer_setParam(layer, "Bandgap", g.eg, nullptr, nullptr, 0);
        Layer_updateColors(layer);
        EXPECT_EQ(
            0, std::memcmp(layer->bandgapColor, LayerColorTable[g.row], sizeof layer->bandgapColor))
            << g.eg;
    }

    char a[16], b[16];
    EXPECT_EQ(Material_getBinaries("ingaas", a, b), 1);
    EXPECT_STREQ(a, "InAs");
    EXPECT_STREQ(b, "GaAs");
    EXPECT_EQ(Material_getBinaries("GaAs", a, b), 0);
    EXPECT_EQ(Material_isKnown("a-Si"), 1);
    EXPECT_EQ(Material_isKnown("si"), 0);
    EXPECT_EQ(Material_isKnown("Silicon"), 0);
}

TEST_F(BuiltinLayer, CopyCountsDifferencesAndDropsLuaModels)
{
    Layer* a = Device_appendLayer(device());
    Layer* b = Device_appendLayer(device());
    int changed = 0;
    Layer_copy(a, b, 0, 0, &changed);
    const int names = 1;  // "Layer1" against "Layer2"
    EXPECT_EQ(changed, names);
    changed = 0;
    Layer_copy(a, b, 0, 0, &changed);
    EXPECT_EQ(changed, 0);

    Layer_setParam(a, "Mobility.Model", "\"mob.lua\"", nullptr, nullptr, 0);
    Layer_setParam(a, "Thickness", "3", nullptr, nullptr, 0);
    Layer_setParam(b, "Thickness", "7", nullptr, nullptr, 0);
    Layer_setParam(b, "Dopant.N", "2e18", nullptr, nullptr, 0);
    Layer_copy(a, b, 1, 1, nullptr);
    EXPECT_EQ(text(b, "Mobility.Model"), "None");
    EXPECT_DOUBLE_EQ(value(b, "Thickness"), 7);    // kept
    EXPECT_DOUBLE_EQ(value(b, "Dopant.N"), 2e18);  // kept
}

// With the build's database the rows of the engine's table are applied.
TEST_F(DocTest, DatabaseRowsAreAppliedAndNamesAreBound)
{
    MaterialRecord row;
    ASSERT_EQ(MaterialDb_lookup("GaAs", &row), 1);
    Layer* layer = Layer_create();
    EXPECT_EQ(Layer_setMaterial(layer, "GaAs", nullptr, DOPANT_DONOR), 1);
    EXPECT_DOUBLE_EQ(value(layer, "Bandgap"), row.bandgap);
    EXPECT_DOUBLE_EQ(value(layer, "NC"), row.nc);
    EXPECT_EQ(value(layer, "BandgapType"), row.bandgapType);
    Layer_free(&layer);

    // A name is only ever a name: quotes and SQL find no row and harm nothing.
    for (const char* name : {"Si' OR '1'='1", "x'; DROP TABLE TABLE_MATERIAL; --", "GaAs\""}) {
        EXPECT_EQ(MaterialDb_lookup(name, &row), 0) << name;
        EXPECT_DOUBLE_EQ(row.bandgap, 1.12) << name;  // silicon preset
    }
    EXPECT_EQ(MaterialDb_lookup("GaAs", &row), 1);

    int count = 0;
    Material_listNames([](const char*, void* c) { ++*static_cast<int*>(c); }, &count);
    EXPECT_GT(count, 20);
}

TEST_F(DocTest, OwnDatabaseColumnsAndNameList)
{
    recorder.appDir = folder.path();
    std::filesystem::create_directories(folder.path() + "etc");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder.path() + "etc/semiconductor.kovradb").c_str(), &db), SQLITE_OK);
    std::string columns = "Id INTEGER, Name TEXT";
    for (int c = 2; c < 76; ++c) {
        columns += ", c" + std::to_string(c) + " REAL";
    }
    std::string sql = "CREATE TABLE TABLE_MATERIAL (" + columns + ");";
    std::string values = "1, 'GaAs'";
    for (int c = 2; c < 76; ++c) {
        values += c == 7 ? ", 1.424" : c == 8 ? ", 1.9" : ", 1";
    }
    sql += "INSERT INTO TABLE_MATERIAL VALUES (" + values + ");";
    sql += "INSERT INTO TABLE_MATERIAL (Id, Name) VALUES (2, '" + std::string(40, 'L') + "');";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    MaterialRecord row;
    ASSERT_EQ(MaterialDb_lookup("GaAs", &row), 1);
    EXPECT_DOUBLE_EQ(row.bandgap, 1.424);
    EXPECT_EQ(row.bandgapType, 1);
    std::vector<std::string> names;
    Material_listNames(
        [](const char* n, void* v) { static_cast<std::vector<std::string>*>(v)->push_back(n); },
        &names);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], std::string(31, 'L'));
}

}  // namespace
