// The Refractive Index dialog: n and k, and the three sources that replace
// them (data file, model, database) with their precedence.
#include "DialogTestSupport.h"

#include <sqlite3.h>

#include "materials.h"

#include <filesystem>
#include <fstream>

namespace {

// An index table of the simulator's format ("wavelength n k" in um, one
// point a line), of about the given size in bytes.
std::string indexTable(size_t bytes)
{
    std::string table = "wavelength\tn\tk\n";
    for (int i = 0; table.size() < bytes; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%.3f\t%.3f\t%.4f\n", 0.3 + 0.002 * i, 3.5 + 0.001 * i,
                      0.01);
        table += line;
    }
    return table;
}

// A copy of the shipped material database in folder/etc/ whose row of the
// material holds the given index table (empty: none).
void writeDatabase(const std::string& folder, const std::string& material, const std::string& table)
{
    std::filesystem::create_directories(folder + "etc");
    const std::string path = folder + "etc/semiconductor.kovradb";
    std::filesystem::copy_file(std::string(KOVRA_BIN_DIR) + "/etc/semiconductor.kovradb", path,
                               std::filesystem::copy_options::overwrite_existing);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* update = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "UPDATE TABLE_MATERIAL SET IndexData = ?1 WHERE Name = ?2", -1,
                                 &update, nullptr),
              SQLITE_OK);
    sqlite3_bind_blob(update, 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(update, 2, material.c_str(), -1, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(update), SQLITE_DONE);
    EXPECT_EQ(sqlite3_changes(db), 1) << material;
    sqlite3_finalize(update);
    sqlite3_close(db);
}

const DialogDescription& X = IndexDialog;

class IndexTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-index-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "si.nk") << "0.3 5.0 0.1\n";
        std::ofstream(folder + "si.lua") << "--\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
        // The database of this folder holds index data for the first
        // layer's material only.
        writeDatabase(folder, layerText("Material"), indexTable(2000));
        recorder.appDir = folder;
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        DialogTest::TearDown();
    }
    std::string layerText(const char* key) { return recordText(Layer_findParam(layer(1), key)); }
    std::string title(const char* word) { return IupGetAttribute(ctl(X, word), "TITLE"); }
    std::string folder;
};

struct IndexCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;
    const char* refusal;
};

TEST_F(IndexTest, TableOfEntries)
{
    const IndexCase cases[] = {
        {"n", "Index.n", "3.5", "3.5", nullptr},
        {"k", "Index.k", "0.01*2", "0.01*2", nullptr},
        {"n", "Index.n", "0.5", "0.5", nullptr},  // below 1, as the engine takes it
        {"n", "Index.n", "100", nullptr,
         "n: invalid value for Index.n: 100 (accepted: from 1e-06 to 99.99)"},
        {"k", "Index.k", "k?", nullptr, "k: invalid expression for Index.k"},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        const std::string before = layerText(c.key);
        Document_setModified(document(), 0);
        WindowIndex_show();
        type(X, c.word, c.text);
        click(X, "OK");
        EXPECT_EQ(Dialog_isOpen(&X) != 0, c.refusal != nullptr);
        EXPECT_EQ(layerText(c.key), c.stored != nullptr ? c.stored : before);
        EXPECT_EQ(Document_isModified(document()) != 0, c.refusal == nullptr);
        if (c.refusal != nullptr) {
            EXPECT_NE(message(X).find(c.refusal), std::string::npos) << message(X);
            Dialog_close(&X);
        }
    }
}

TEST_F(IndexTest, FileWinsOverModelAndModelOverDatabase)
{
    WindowIndex_show();
    auto chooseSource = [&](const char* word, const char* question, const char* answer,
                            const char* file) {
        IupScriptAnswer(question, answer);
        if (file != nullptr) {
            IupScriptAnswer(nullptr, file);
        }
        click(X, word);
    };
    Ihandle* database = ctl(X, "Database");
    auto toggle = [&](int on) {
        IupSetAttribute(database, "VALUE", on ? "ON" : "OFF");
        auto action = reinterpret_cast<int (*)(Ihandle*, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(database, "ACTION")));
        action(database, on);
    };
    toggle(1);
    EXPECT_EQ(layerText("Index.Database"), "Yes") << "the switch works at once";
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(value(ctl(X, "n")), "Database");
    EXPECT_EQ(IupGetInt(ctl(X, "k"), "ACTIVE"), 0);

    chooseSource("Model", "Select index model?", "YES", (folder + "si.lua").c_str());
    EXPECT_EQ(layerText("Index.Model"), "si.lua");
    EXPECT_EQ(value(ctl(X, "n")), "Model");
    EXPECT_EQ(title("Model"), "Model*...");

    chooseSource("File", "Select index data file?", "YES", (folder + "si.nk").c_str());
    EXPECT_EQ(layerText("Index.File"), "si.nk");
    EXPECT_EQ(value(ctl(X, "n")), "File");
    EXPECT_EQ(title("File"), "File*...");

    chooseSource("File", "Select index data file?", "YES", "");
    EXPECT_EQ(layerText("Index.File"), "si.nk") << "a cancelled choice changes nothing";

    chooseSource("File", "Select index data file?", "NO", nullptr);
    EXPECT_EQ(layerText("Index.File"), "");
    EXPECT_EQ(title("File"), "File...");
    EXPECT_EQ(value(ctl(X, "n")), "Model");
    chooseSource("Model", "Select index model?", "NO", nullptr);
    EXPECT_EQ(layerText("Index.Model"), "") << "cleared, not \"None\"";
    EXPECT_EQ(title("Model"), "Model...");
    EXPECT_EQ(value(ctl(X, "n")), "Database");
    toggle(0);
    EXPECT_EQ(layerText("Index.Database"), "No");
    EXPECT_EQ(value(ctl(X, "n")), layerText("Index.n"));
    EXPECT_EQ(IupGetInt(ctl(X, "n"), "ACTIVE"), 1);
}

TEST_F(IndexTest, DatabaseSwitchReadsAnyCaseAndGovernedFieldsAreNotStored)
{
    ASSERT_EQ(Layer_setParam(layer(1), "Index.Database", "yes", "", nullptr, 0), 1);
    const std::string n = layerText("Index.n");
    WindowIndex_show();
    EXPECT_EQ(std::string(IupGetAttribute(ctl(X, "Database"), "VALUE")), "ON");
    Document_setModified(document(), 0);
    click(X, "OK");
    EXPECT_EQ(layerText("Index.n"), n);
    EXPECT_FALSE(Document_isModified(document()));
}

TEST_F(IndexTest, Screenshot)
{
    WindowIndex_show();
    screenshot(X);
}

// The database switch is offered only for a material whose row holds index
// data of a size the simulator reads; switched on elsewhere (a file), it
// stays live so that it can be switched off.
TEST_F(IndexTest, DatabaseSwitchOnlyWhereTheDatabaseHoldsIndexData)
{
    const std::string withData = layerText("Material");
    ASSERT_EQ(Layer_setParam(layer(2), "Material", "GaN", "", nullptr, 0), 1);
    ASSERT_NE(withData, "GaN");
    EXPECT_EQ(MaterialDb_hasIndexData(withData.c_str()), 1);
    EXPECT_EQ(MaterialDb_hasIndexData("GaN"), 0);
    EXPECT_EQ(MaterialDb_hasIndexData(""), 0);

    Ihandle* database = nullptr;
    auto toggle = [&](int on) {
        IupSetAttribute(database, "VALUE", on ? "ON" : "OFF");
        auto action = reinterpret_cast<int (*)(Ihandle*, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(database, "ACTION")));
        action(database, on);
    };
    recorder.mainLayer = 2;
    WindowIndex_show();
    database = ctl(X, "Database");
    EXPECT_EQ(IupGetInt(database, "ACTIVE"), 0) << "GaN has no index data";
    EXPECT_NE(std::string(IupGetAttribute(database, "TIP")).find("no index data for GaN"),
              std::string::npos);
    toggle(1);  // however it is switched on
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Index.Database")), "No");
    EXPECT_EQ(std::string(IupGetAttribute(database, "VALUE")), "OFF");
    EXPECT_NE(message(X).find("no index data for GaN"), std::string::npos) << message(X);
    EXPECT_FALSE(Document_isModified(document()));

    IupTestSelect(ctl(X, "LayerList"), 1);
    EXPECT_EQ(IupGetInt(database, "ACTIVE"), 1) << withData << " has index data";
    toggle(1);
    EXPECT_EQ(layerText("Index.Database"), "Yes");
    Dialog_close(&X);

    // A file that asks for it anyway: shown on and live, to be turned off.
    ASSERT_EQ(Layer_setParam(layer(2), "Index.Database", "Yes", "", nullptr, 0), 1);
    recorder.mainLayer = 2;
    WindowIndex_show();
    EXPECT_EQ(std::string(IupGetAttribute(ctl(X, "Database"), "VALUE")), "ON");
    EXPECT_EQ(IupGetInt(ctl(X, "Database"), "ACTIVE"), 1);
}

// A table the simulator would ignore for its size is not offered either.
TEST_F(IndexTest, ATableOfASizeTheSimulatorIgnoresIsNotOffered)
{
    const std::string material = layerText("Material");
    for (const auto& [bytes, offered] :
         {std::pair<size_t, int>{200, 0}, {1100, 1}, {30000, 1}, {40000, 0}}) {
        SCOPED_TRACE(bytes);
        writeDatabase(folder, material, indexTable(bytes));
        EXPECT_EQ(MaterialDb_hasIndexData(material.c_str()), offered);
    }
}

}  // namespace
