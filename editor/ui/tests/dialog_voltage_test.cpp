// The Voltage dialog: sweep fields, current limits and the voltage source.
#include "DialogTestSupport.h"

#include <fstream>

namespace {

const DialogDescription& V = VoltageDialog;

class VoltageTest : public DialogTest {
protected:
    ParamRecord* rec(const char* key) { return Device_findVoltageParam(device(), key); }
    std::string source() { return recordText(rec("Voltage.Source")); }
};

struct VoltageCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;   // null: unchanged
    const char* refusal;  // null: taken
};

TEST_F(VoltageTest, TableOfEntriesThroughOk)
{
    const VoltageCase cases[] = {
        {"Start", "Voltage.Start", "-0.2", "-0.2", nullptr},
        {"End", "Voltage.End", "0.4+0.4", "0.4+0.4", nullptr},
        {"Step", "Voltage.Step", "0.025", "0.025", nullptr},
        {"Jsup", "Voltage.Jsup", "1e3", "1000", nullptr},
        {"Start", "Voltage.Start", "low", nullptr,
         "Start (V): invalid expression for Voltage.Start"},
        {"Jinf", "Voltage.Jinf", "$undefined", nullptr, "Jinf (A/cm2):"},
    };
    for (const VoltageCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        Document_setModified(document(), 0);
        const std::string before = recordText(rec(c.key));
        WindowVoltage_show();
        type(V, c.word, c.text);
        click(V, "OK");
        EXPECT_EQ(recordText(rec(c.key)), c.stored ? c.stored : before);
        if (c.refusal == nullptr) {
            EXPECT_FALSE(Dialog_isOpen(&V));
            EXPECT_EQ(Document_isModified(document()) != 0, before != c.stored);
        } else {
            EXPECT_TRUE(Dialog_isOpen(&V)) << "OK closes only when every value was taken";
            EXPECT_NE(message(V).find(c.refusal), std::string::npos) << message(V);
            EXPECT_FALSE(Document_isModified(document()));
            Dialog_close(&V);
        }
    }
}

TEST_F(VoltageTest, SweepToggleGreysTheSweepAndStoresNone)
{
    ASSERT_EQ(source(), "Sweep");
    WindowVoltage_show();
    Ihandle* toggle = ctl(V, "Sweep");
    EXPECT_STREQ(IupGetAttribute(toggle, "VALUE"), "ON");
    EXPECT_EQ(IupGetInt(ctl(V, "Start"), "ACTIVE"), 1);
    IupSetAttribute(toggle, "VALUE", "OFF");
    auto action = reinterpret_cast<int (*)(Ihandle*, int)>(
        reinterpret_cast<void (*)()>(IupGetCallback(toggle, "ACTION")));
    action(toggle, 0);
    EXPECT_EQ(IupGetInt(ctl(V, "Start"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(V, "Jinf"), "ACTIVE"), 1);
    click(V, "Apply");
    EXPECT_EQ(source(), "None");
    EXPECT_TRUE(Document_isModified(document()));
}

class VoltageFileTest : public VoltageTest {
protected:
    void SetUp() override
    {
        VoltageTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-voltage-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "bias.voltage") << "0\n0.1\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        VoltageTest::TearDown();
    }
    std::string folder;
};

TEST_F(VoltageFileTest, FileYesNoCancel)
{
    WindowVoltage_show();
    IupScriptAnswer("Select custom voltage file?", "YES");
    IupScriptAnswer(nullptr, (folder + "bias.voltage").c_str());
    click(V, "FileBtn");
    EXPECT_EQ(source(), "bias.voltage");
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_STREQ(IupGetAttribute(ctl(V, "FileBtn"), "TITLE"), "File*...");
    EXPECT_STREQ(IupGetAttribute(ctl(V, "FileBtn"), "TIP"), "bias.voltage");
    EXPECT_EQ(IupGetInt(ctl(V, "Sweep"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(V, "Start"), "ACTIVE"), 0);
    click(V, "Apply");
    EXPECT_EQ(source(), "bias.voltage") << "Apply leaves a file source as it is";

    Document_setModified(document(), 0);
    IupScriptAnswer("Select custom voltage file?", "CANCEL");
    click(V, "FileBtn");
    IupScriptAnswer("Select custom voltage file?", "YES");
    IupScriptAnswer(nullptr, "");
    click(V, "FileBtn");
    EXPECT_EQ(source(), "bias.voltage") << "a cancelled choice keeps the source";
    EXPECT_FALSE(Document_isModified(document()));

    IupScriptAnswer("Select custom voltage file?", "NO");
    click(V, "FileBtn");
    EXPECT_EQ(source(), "None");
    EXPECT_STREQ(IupGetAttribute(ctl(V, "FileBtn"), "TITLE"), "File...");
    EXPECT_STREQ(IupGetAttribute(ctl(V, "Sweep"), "VALUE"), "OFF");
    EXPECT_EQ(IupGetInt(ctl(V, "Sweep"), "ACTIVE"), 1);
    EXPECT_TRUE(Document_isModified(document()));
}

TEST_F(VoltageTest, Screenshot)
{
    WindowVoltage_show();
    screenshot(V);
}

}  // namespace
