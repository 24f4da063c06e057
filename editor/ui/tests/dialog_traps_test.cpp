// The Traps dialog: which trap records reach the device file (a trap is
// written whole or not at all, and not above the count), the same value
// rules as every other field, the count list and the trap model.
#include "DialogTestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include "kovraHandles.h"

namespace {

const DialogDescription& T = TrapDialog;

void chooseFrom(const char* word, int item)
{
    Ihandle* list = IupGetHandle((std::string(KOV_WindowTrap_) + word).c_str());
    IupSetInt(list, "VALUE", item);
    auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
        reinterpret_cast<void (*)()>(IupGetCallback(list, "ACTION")));
    action(list, IupGetAttribute(list, "VALUESTRING"), item, 1);
}

class TrapTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        folder = std::string(KOVRA_BIN_DIR) + "/../dialog-trap-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        recorder.mainLayer = 2;
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        DialogTest::TearDown();
    }
    ParamRecord* trap(int k, const char* name, int number = 2)
    {
        char key[32];
        std::snprintf(key, sizeof key, "Trap%d.%s", k, name);
        return Layer_findParam(layer(number), key);
    }
    std::string text(int k, const char* name) { return recordText(trap(k, name)); }
    bool written(int k)
    {
        for (const char* name : {"Type", "N", "Nr", "E", "Taun", "Taup"}) {
            if (trap(k, name)->revision == 0) {
                return false;
            }
        }
        return true;
    }
    bool noneWritten(int k)
    {
        for (const char* name : {"Type", "N", "Nr", "E", "Taun", "Taup"}) {
            if (trap(k, name)->revision != 0) {
                return false;
            }
        }
        return true;
    }
    // The [Layer2] section of the saved device file.
    std::string savedLayer2()
    {
        const std::string path = folder + "saved.kovra";
        EXPECT_EQ(Device_save(document(), path.c_str()), 1);
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        const std::string file = all.str();
        const size_t from = file.find("[Layer2]");
        const size_t to = file.find("[", from + 1);
        return from == std::string::npos ? std::string() : file.substr(from, to - from);
    }
    // Trap 1 of layer 2 entered through the dialog and stored.
    void addTrap(const char* n)
    {
        WindowTrap_show();
        chooseFrom("CountList", 1);
        type(T, "N", n);
        type(T, "Nr", "1e19");
        type(T, "E", "0");
        type(T, "Taun", "1e-8");
        type(T, "Taup", "1e-8");
        IupSetInt(ctl(T, "TypeList"), "VALUE", 2);
        ASSERT_EQ(click(T, "OK"), IUP_IGNORE) << message(T);
    }
    std::string folder;
};

// (field, text) -> trap 1's record, modified flag, refusal words. Every
// field takes expressions and variables; a refusal changes nothing of the
// trap, not even the fields before it.
struct TrapCase {
    const char* word;
    const char* text;
    const char* stored;  // null: refused
    const char* refusal;
};

TEST_F(TrapTest, TableOfEntries)
{
    ASSERT_EQ(Device_setVariable(device(), "$nt", "3e14"), 1);
    const TrapCase cases[] = {
        {"N", "2e15", "2e+15", nullptr},
        {"N", "$nt", "$nt", nullptr},
        {"N", "$nt*2", "$nt*2", nullptr},
        {"Nr", "1e18*10", "1e18*10", nullptr},
        {"E", "0.56/2", "0.56/2", nullptr},
        {"Taun", "$nt/1e22", "$nt/1e22", nullptr},
        {"Taup", "2e-9", "2e-09", nullptr},
        {"N", "lots", nullptr, "Trap N not valid: invalid expression for Trap1.N"},
        {"Nr", "1e30", nullptr, "Trap Nr not valid: invalid value"},
        {"E", "$nowhere", nullptr, "Trap E not valid"},
        {"Taun", "-1", nullptr, "Trap Taun not valid: invalid value"},
        {"Taup", "x", nullptr, "Trap Taup not valid"},
    };
    for (const TrapCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        WindowTrap_show();
        chooseFrom("CountList", 1);
        ParamRecord* record = trap(1, c.word);
        const std::string before = recordText(record);
        const std::string n = text(1, "N");
        Document_setModified(document(), 0);
        type(T, "N", "1e15");
        type(T, c.word, c.text);
        click(T, "OK");
        if (c.refusal == nullptr) {
            EXPECT_FALSE(Dialog_isOpen(&T));
            EXPECT_EQ(recordText(record), c.stored);
            EXPECT_TRUE(written(1));
            EXPECT_TRUE(Document_isModified(document()));
        } else {
            EXPECT_TRUE(Dialog_isOpen(&T));
            EXPECT_EQ(recordText(record), before);
            EXPECT_EQ(text(1, "N"), n) << "nothing of the trap is taken";
            EXPECT_NE(message(T).find(c.refusal), std::string::npos) << message(T);
            EXPECT_EQ(value(ctl(T, c.word)), c.text);
            EXPECT_FALSE(Document_isModified(document()));
            Dialog_close(&T);
        }
    }
}

TEST_F(TrapTest, AddedTrapIsWrittenWholeAndAZeroDensityTrapNotAtAll)
{
    ASSERT_FALSE(written(1));
    addTrap("1e15");
    EXPECT_TRUE(written(1));
    EXPECT_EQ(text(1, "Type"), "Acceptor");
    EXPECT_TRUE(Document_isModified(document()));
    std::string section = savedLayer2();
    for (const char* line : {"Trap1.Type=\"Acceptor\"", "Trap1.N=1e+15", "Trap1.Nr=1e+19",
                             "Trap1.E=0", "Trap1.Taun=1e-08", "Trap1.Taup=1e-08"}) {
        EXPECT_NE(section.find(line), std::string::npos) << line << "\n" << section;
    }
    EXPECT_EQ(section.find("Trap.Count"), std::string::npos)
        << "without a model the engine counts the traps";

    Document_setModified(document(), 0);
    WindowTrap_show();
    type(T, "N", "0");
    click(T, "OK");
    EXPECT_TRUE(noneWritten(1));
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(savedLayer2().find("Trap1."), std::string::npos);
}

TEST_F(TrapTest, LoweringTheCountTakesTheTrapsAboveItOutOfTheFile)
{
    addTrap("1e15");
    WindowTrap_show();
    for (int k = 2; k <= 3; ++k) {
        chooseFrom("CountList", k);
        chooseFrom("TrapList", k);
        type(T, "N", "1e14");
        ASSERT_EQ(click(T, "Apply"), IUP_DEFAULT);
        ASSERT_EQ(message(T), "");
    }
    EXPECT_TRUE(written(2));
    EXPECT_TRUE(written(3));
    EXPECT_EQ(IupGetInt(ctl(T, "TrapList"), "COUNT"), 3);
    Document_setModified(document(), 0);

    chooseFrom("CountList", 1);
    EXPECT_TRUE(written(1));
    EXPECT_TRUE(noneWritten(2));
    EXPECT_TRUE(noneWritten(3));
    EXPECT_TRUE(Document_isModified(document())) << "the file changes";
    EXPECT_EQ(IupGetInt(ctl(T, "TrapList"), "COUNT"), 1);
    EXPECT_EQ(IupGetInt(ctl(T, "TrapList"), "VALUE"), 1) << "trap 3 is gone: trap 1 is shown";
    const std::string section = savedLayer2();
    EXPECT_NE(section.find("Trap1.N="), std::string::npos) << section;
    EXPECT_EQ(section.find("Trap2."), std::string::npos) << section;
    EXPECT_EQ(section.find("Trap3."), std::string::npos) << section;

    chooseFrom("CountList", 6);
    EXPECT_TRUE(noneWritten(1)) << "\"No trap\" writes none";
    EXPECT_EQ(IupGetInt(ctl(T, "N"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(T, "TrapList"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(T, "TypeList"), "ACTIVE"), 0);
    EXPECT_EQ(value(ctl(T, "N")), text(1, "N")) << "shows trap 1's values";
    click(T, "OK");
    EXPECT_FALSE(Dialog_isOpen(&T));
    EXPECT_EQ(savedLayer2().find("Trap"), std::string::npos);
}

TEST_F(TrapTest, ARefusedValueKeepsTheTrapAndTheDialogWhereTheyAre)
{
    addTrap("1e15");
    WindowTrap_show();
    chooseFrom("CountList", 2);
    type(T, "Taup", "-3");
    chooseFrom("TrapList", 2);
    EXPECT_EQ(IupGetInt(ctl(T, "TrapList"), KOV_WindowTrap_TrapSelected), 1) << "the switch waits";
    EXPECT_NE(message(T).find("Trap Taup not valid"), std::string::npos) << message(T);
    EXPECT_TRUE(written(1)) << "the trap stays written as it was";
    chooseLayer(T, 1);
    EXPECT_EQ(IupGetInt(ctl(T, "LayerList"), KOV_WindowTrap_LayerSelected), 2);
    EXPECT_TRUE(recorder.selected.empty());
}

TEST_F(TrapTest, ACountChangeDropsTypedTextAndKeepsTheSelectionWithinTheCount)
{
    WindowTrap_show();
    chooseFrom("CountList", 5);
    chooseFrom("TrapList", 4);
    EXPECT_EQ(value(ctl(T, "N")), text(4, "N"));
    const std::string n4 = text(4, "N");
    type(T, "N", "9e15");
    chooseFrom("CountList", 2);
    EXPECT_EQ(IupGetInt(ctl(T, "TrapList"), KOV_WindowTrap_TrapSelected), 1)
        << "trap 4 is beyond the count";
    EXPECT_EQ(IupGetInt(ctl(T, "TrapList"), "COUNT"), 2);
    EXPECT_EQ(value(ctl(T, "N")), text(1, "N"));
    EXPECT_EQ(text(4, "N"), n4) << "the typed text was not stored";

    auto focus = reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(ctl(T, "Taup"), "GETFOCUS_CB"));
    focus(ctl(T, "Taup"));
    EXPECT_EQ(std::string(IupGetAttribute(IupGetHandle(KOV_WindowTrap), "TITLE")),
              "Traps - Taup (s)");
}

TEST_F(TrapTest, TrapsReadFromAFileShowTheirCount)
{
    const std::string path = std::string(KOVRA_SOURCE_DIR) + "/examples/traps.kovra";
    ASSERT_EQ(Device_load(document(), path.c_str()), 1);
    WindowTrap_show();
    EXPECT_EQ(IupGetInt(ctl(T, "CountList"), "VALUE"), 2);
    EXPECT_EQ(IupGetInt(ctl(T, "TrapList"), "COUNT"), 2);
    EXPECT_EQ(value(ctl(T, "N")), "1e+16");
    EXPECT_EQ(IupGetInt(ctl(T, "TypeList"), "VALUE"), 1);
    chooseFrom("TrapList", 2);
    EXPECT_EQ(IupGetInt(ctl(T, "TypeList"), "VALUE"), 2);
    EXPECT_EQ(value(ctl(T, "Taup")), "1e-09");
    click(T, "OK");
    EXPECT_FALSE(Document_isModified(document())) << "looking changes nothing";
    EXPECT_TRUE(written(1));
    EXPECT_TRUE(written(2));
}

TEST_F(TrapTest, ALuaModelMakesTheTrapsAndItsCountIsWritten)
{
    std::ofstream(folder + "cell.kovra") << "# Kovra\n";
    std::ofstream(folder + "deep.lua") << "--\n";
    Document_setFilename(document(), (folder + "cell.kovra").c_str());
    WindowTrap_show();
    EXPECT_EQ(IupGetInt(ctl(T, "CountList"), "VALUE"), 6);
    EXPECT_EQ(IupGetInt(ctl(T, "Model"), "ACTIVE"), 0) << "no trap, no model yet";
    chooseFrom("CountList", 1);
    IupScriptAnswer("Select trap model?", "YES");
    IupScriptAnswer(nullptr, (folder + "deep.lua").c_str());
    click(T, "Model");
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Trap.Model")), "deep.lua");
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(std::string(IupGetAttribute(ctl(T, "Model"), "TITLE")), "Model*...");
    const char* shown[][2] = {
        {"N", "0"}, {"Nr", "1e19"}, {"E", "0.0"}, {"Taun", "1e-8"}, {"Taup", "1e-8"}};
    for (const auto& s : shown) {
        EXPECT_EQ(value(ctl(T, s[0])), s[1]) << s[0];
        EXPECT_EQ(IupGetInt(ctl(T, s[0]), "ACTIVE"), 0) << s[0];
    }
    click(T, "OK");
    const std::string section = savedLayer2();
    EXPECT_NE(section.find("Trap.Model=\"deep.lua\""), std::string::npos) << section;
    EXPECT_NE(section.find("Trap.Count=1"), std::string::npos) << section;
    EXPECT_EQ(section.find("Trap1."), std::string::npos) << section;

    // A count of 0 with a model becomes 1 when the layer is written.
    Layer_findParam(layer(2), "Trap.Count")->value.integer = 0;
    EXPECT_EQ(WindowTrap_applyModel(layer(2)), 1);
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Trap.Count")), "1");

    WindowTrap_show();
    IupScriptAnswer("Select trap model?", "NO");
    click(T, "Model");
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Trap.Model")), "None");
    EXPECT_EQ(IupGetInt(ctl(T, "N"), "ACTIVE"), 1);
    EXPECT_EQ(savedLayer2().find("Trap.Count"), std::string::npos);
}

TEST_F(TrapTest, Screenshot)
{
    WindowTrap_show();
    chooseFrom("CountList", 2);
    type(T, "Taup", "-1");
    click(T, "Apply");
    EXPECT_NE(message(T).find("Trap Taup not valid"), std::string::npos);
    screenshot(T);
}

}  // namespace
