// The Doping dialog: the frame's fields plus the dopant type list.
#include "DialogTestSupport.h"

#include <fstream>

namespace {

const DialogDescription& D = DopingDialog;

struct DopingCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;   // null: unchanged
    const char* refusal;  // null: taken
};

TEST_F(DialogTest, DopingTableOfEntries)
{
    const DopingCase cases[] = {
        {"N", "Dopant.N", "1e17", "1e+17", nullptr},
        {"Nr", "Dopant.Nr", "2e15*2", "2e15*2", nullptr},
        {"Taun", "Dopant.Taun", "1e-6", "1e-06", nullptr},
        {"Taup", "Dopant.Taup", "-1", nullptr, "Taup (s): invalid value"},
        {"N", "Dopant.N", "many", nullptr, "N (1/cm3): invalid expression for Dopant.N"},
    };
    for (const DopingCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        ParamRecord* record = Layer_findParam(layer(1), c.key);
        const std::string before = recordText(record);
        Document_setModified(document(), 0);
        WindowDoping_show();
        type(D, c.word, c.text);
        click(D, "OK");
        if (c.refusal == nullptr) {
            EXPECT_FALSE(Dialog_isOpen(&D));
            EXPECT_EQ(recordText(record), c.stored);
            EXPECT_TRUE(Document_isModified(document()));
        } else {
            EXPECT_TRUE(Dialog_isOpen(&D));
            EXPECT_EQ(recordText(record), before);
            EXPECT_NE(message(D).find(c.refusal), std::string::npos) << message(D);
            EXPECT_FALSE(Document_isModified(document()));
            Dialog_close(&D);
        }
    }
}

TEST_F(DialogTest, DopingTypeChangeRecoloursMarksAndCounts)
{
    ASSERT_EQ(Layer_setDopantType(layer(2), DOPANT_DONOR), DOPANT_DONOR);
    recorder.mainLayer = 2;
    Document_setModified(document(), 0);
    WindowDoping_show();
    EXPECT_EQ(IupGetInt(ctl(D, "TypeList"), "VALUE"), 1);
    EXPECT_NE(std::string(IupGetAttribute(ctl(D, "LayerList"), "2")).find("(N)"),
              std::string::npos);
    IupSetInt(ctl(D, "TypeList"), "VALUE", 2);
    click(D, "Apply");
    EXPECT_EQ(Layer_getDopantType(layer(2)), DOPANT_ACCEPTOR);
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Dopant.Type")), "A");
    EXPECT_TRUE(Document_isModified(document())) << "a type change alone is a change";
    EXPECT_NE(std::string(IupGetAttribute(ctl(D, "LayerList"), "2")).find("(P)"),
              std::string::npos);
}

class DopingModelTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-doping-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "graded.lua") << "--\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        DialogTest::TearDown();
    }
    std::string folder;
};

TEST_F(DopingModelTest, LuaModelKeepsTheDopantTypeAndTheValues)
{
    ASSERT_EQ(Layer_setDopantType(layer(1), DOPANT_ACCEPTOR), DOPANT_ACCEPTOR);
    const std::string n = recordText(Layer_findParam(layer(1), "Dopant.N"));
    WindowDoping_show();
    IupScriptAnswer("Select doping model?", "YES");
    IupScriptAnswer(nullptr, (folder + "graded.lua").c_str());
    click(D, "Model");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Dopant.Model")), "graded.lua");
    EXPECT_EQ(value(ctl(D, "N")), "Model");
    EXPECT_EQ(IupGetInt(ctl(D, "N"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(D, "TypeList"), "VALUE"), 2);
    click(D, "OK");
    EXPECT_FALSE(Dialog_isOpen(&D));
    EXPECT_EQ(Layer_getDopantType(layer(1)), DOPANT_ACCEPTOR)
        << "an acceptor layer stays an acceptor";
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Dopant.N")), n);

    WindowDoping_show();
    IupScriptAnswer("Select doping model?", "NO");
    click(D, "Model");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Dopant.Model")), "None");
    EXPECT_EQ(value(ctl(D, "N")), n);
    EXPECT_EQ(IupGetInt(ctl(D, "N"), "ACTIVE"), 1);
}

TEST_F(DialogTest, DopingScreenshot)
{
    WindowDoping_show();
    screenshot(D);
}

}  // namespace
