// The Refractive Index dialog: n and k, and the three sources that replace
// them (data file, model, database) with their precedence.
#include "DialogTestSupport.h"

#include <fstream>

namespace {

const DialogSpec& X = IndexDialog;

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

}  // namespace
