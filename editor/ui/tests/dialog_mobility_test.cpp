// The Mobility dialog: two fields under a mobility model.
#include "DialogTestSupport.h"

#include <fstream>
#include "kovraHandles.h"

namespace {

const DialogDescription& M = MobilityDialog;

// (field, text) -> stored value, modified flag, refusal words.
struct MobilityCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;   // null: unchanged
    const char* refusal;  // null: taken
};

TEST_F(DialogTest, MobilityTableOfEntries)
{
    const MobilityCase cases[] = {
        {"N", "Mobility.N", "1350", "1350", nullptr},
        {"P", "Mobility.P", "2*240", "2*240", nullptr},
        {"N", "Mobility.N", "-5", nullptr, "un (cm2/Vs): invalid value"},
        {"P", "Mobility.P", "fast", nullptr, "up (cm2/Vs): invalid expression for Mobility.P"},
        {"N", "Mobility.N", "$nothere", nullptr, "un (cm2/Vs):"},
    };
    for (const MobilityCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        ParamRecord* record = Layer_findParam(layer(1), c.key);
        const std::string before = recordText(record);
        Document_setModified(document(), 0);
        WindowMobility_show();
        type(M, c.word, c.text);
        EXPECT_EQ(click(M, "OK"), c.refusal == nullptr ? IUP_IGNORE : IUP_DEFAULT);
        if (c.refusal == nullptr) {
            EXPECT_FALSE(Dialog_isOpen(&M));
            EXPECT_EQ(recordText(record), c.stored);
            EXPECT_TRUE(Document_isModified(document()));
        } else {
            EXPECT_TRUE(Dialog_isOpen(&M)) << "a refused value keeps the dialog open";
            EXPECT_EQ(recordText(record), before);
            EXPECT_NE(message(M).find(c.refusal), std::string::npos) << message(M);
            EXPECT_EQ(value(ctl(M, c.word)), c.text) << "the refused text stays to be mended";
            EXPECT_FALSE(Document_isModified(document()));
            Dialog_close(&M);
        }
    }
}

TEST_F(DialogTest, MobilityCloseBoxDropsAndApplyKeepsOpen)
{
    ParamRecord* n = Layer_findParam(layer(1), "Mobility.N");
    const std::string before = recordText(n);
    WindowMobility_show();
    type(M, "N", "777");
    EXPECT_EQ(closeBox(M), IUP_IGNORE);
    EXPECT_FALSE(Dialog_isOpen(&M));
    EXPECT_EQ(recordText(n), before);
    EXPECT_FALSE(Document_isModified(document()));

    WindowMobility_show();
    type(M, "N", "777");
    click(M, "Apply");
    EXPECT_TRUE(Dialog_isOpen(&M));
    EXPECT_EQ(recordText(n), "777");
    EXPECT_TRUE(Document_isModified(document()));
}

TEST_F(DialogTest, MobilityLayerSwitchStoresFirstAndStopsAtARefusal)
{
    WindowMobility_show();
    type(M, "N", "900");
    chooseLayer(M, 2);
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Mobility.N")), "900")
        << "stored into the layer it showed";
    EXPECT_EQ(value(ctl(M, "N")), recordText(Layer_findParam(layer(2), "Mobility.N")));
    EXPECT_EQ(recorder.selected, std::vector<int>{2}) << "the main window follows";

    const std::string third = recordText(Layer_findParam(layer(3), "Mobility.P"));
    type(M, "P", "-1");
    chooseLayer(M, 3);
    EXPECT_EQ(IupGetInt(ctl(M, "LayerList"), KOV_WindowMobility_LayerSelected), 2)
        << "the switch is stopped";
    EXPECT_EQ(IupGetInt(ctl(M, "LayerList"), "VALUE"), 2);
    EXPECT_NE(message(M).find("up (cm2/Vs): invalid value"), std::string::npos) << message(M);
    EXPECT_EQ(recordText(Layer_findParam(layer(3), "Mobility.P")), third);
    EXPECT_EQ(recorder.selected.size(), 1u);
}

class MobilityModelTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-mobility-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "caughey.lua") << "--\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        DialogTest::TearDown();
    }
    std::string folder;
};

TEST_F(MobilityModelTest, ModelLocksBothFieldsAndNoFreesThem)
{
    ParamRecord* model = Layer_findParam(layer(1), "Mobility.Model");
    const std::string n = recordText(Layer_findParam(layer(1), "Mobility.N"));
    WindowMobility_show();
    // A cancelled file choice changes nothing.
    IupScriptAnswer("Select mobility model?", "YES");
    IupScriptAnswer(nullptr, "");
    click(M, "Model");
    EXPECT_EQ(recordText(model), "None");
    EXPECT_FALSE(Document_isModified(document()));

    IupScriptAnswer("Select mobility model?", "YES");
    IupScriptAnswer(nullptr, (folder + "caughey.lua").c_str());
    click(M, "Model");
    EXPECT_EQ(recordText(model), "caughey.lua");
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(std::string(IupGetAttribute(ctl(M, "Model"), "TITLE")), "Model*...");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(M, "Model"), "TIP")), "caughey.lua");
    for (const char* word : {"N", "P"}) {
        EXPECT_EQ(value(ctl(M, word)), "Model");
        EXPECT_EQ(IupGetInt(ctl(M, word), "ACTIVE"), 0);
    }
    click(M, "Apply");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Mobility.N")), n)
        << "\"Model\" is never stored";

    IupScriptAnswer("Select mobility model?", "NO");
    click(M, "Model");
    EXPECT_EQ(recordText(model), "None");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(M, "Model"), "TITLE")), "Model...");
    EXPECT_EQ(value(ctl(M, "N")), n);
    EXPECT_EQ(IupGetInt(ctl(M, "N"), "ACTIVE"), 1);
}

TEST_F(DialogTest, MobilityScreenshot)
{
    WindowMobility_show();
    screenshot(M);
}

}  // namespace
