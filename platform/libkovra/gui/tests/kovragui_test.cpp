// Messages and questions through the scripted seam, the information areas,
// the image set, the preferences and the colours-and-font dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>

#include <string>

#include "iupQt.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "kovragui-test";
        static char* argv[] = {name, nullptr};
        application = new QApplication(argc, argv);
        IupOpen(&argc, reinterpret_cast<char***>(&argv));
        IupScriptOnUnexpected([](const char* what) { ADD_FAILURE() << what; });
        Images_load();
    }
    void TearDown() override
    {
        Images_destroy();
        IupClose();
        delete application;
    }

private:
    QApplication* application = nullptr;
};
::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

class KovraGui : public ::testing::Test {
protected:
    void SetUp() override { IupScriptBegin(); }
    void TearDown() override { EXPECT_EQ(IupScriptEnd(), 0); }
};

TEST_F(KovraGui, QuestionsAnswerThreeFourFive)
{
    struct Case {
        int kind;
        const char* answer;
        int expected;
    };
    const Case cases[] = {{4, "YES", 3},    {4, "NO", 4},  {3, "2", 4},
                          {5, "CANCEL", 5}, {5, "Yes", 3}, {5, "3", 5}};
    for (const Case& c : cases) {
        IupScriptAnswer("Close anyway?", c.answer);
        EXPECT_EQ(kovraAskQuestion("Device modified. Close anyway?", "KovraDevice", c.kind,
                                   KOV_WindowMain),
                  c.expected)
            << c.kind << " " << c.answer;
    }
    const char* title = nullptr;
    EXPECT_STREQ(IupScriptLastAsked(&title, nullptr), "QUESTION");
    EXPECT_STREQ(title, "KovraDevice");
}

// Enter must never say yes to a question that discards work (kind 4), and
// Escape never says yes at all.
TEST_F(KovraGui, EnterAndEscapeAnswerByTheKindOfQuestion)
{
    struct Case {
        int kind;
        const char* enter;
        const char* escape;
        int enterAnswer;
        int escapeAnswer;
    };
    for (const Case& c :
         {Case{3, "Yes", "No", 3, 4}, Case{4, "No", "No", 4, 4}, Case{5, "Yes", "Cancel", 3, 5}}) {
        IupScriptAnswer(nullptr, "ENTER");
        EXPECT_EQ(kovraAskQuestion("Question?", "KovraDevice", c.kind, KOV_WindowMain),
                  c.enterAnswer)
            << c.kind;
        EXPECT_STREQ(IupScriptLastDefault(), c.enter) << c.kind;
        EXPECT_STREQ(IupScriptLastEscape(), c.escape) << c.kind;
        IupScriptAnswer(nullptr, "ESCAPE");
        EXPECT_EQ(kovraAskQuestion("Question?", "KovraDevice", c.kind, KOV_WindowMain),
                  c.escapeAnswer)
            << c.kind;
    }
}

TEST_F(KovraGui, MessagesAndTheUpdateNoticeGoThroughTheSeam)
{
    IupScriptAnswer("insufficient memory", "OK");
    kovraShowMessage("Cannot run the command tool: insufficient memory", "KovraDevice", 2,
                     KOV_WindowMain);
    IupScriptAnswer("Updates come with the installed package", "OK");
    EXPECT_EQ(WindowMain_checkUpdate(nullptr, "KovraCalc"), IUP_DEFAULT);
    const char* text = nullptr;
    IupScriptLastAsked(nullptr, &text);
    EXPECT_NE(std::string(text).find("KovraCalc version " KOVRA_GUI_VERSION), std::string::npos)
        << text;
}

TEST_F(KovraGui, InformationGoesToTheStatusAndActionBars)
{
    Ihandle* pane = IupLabel("Ready");
    IupSetHandle(KOV_Statusbar_Pane0, pane);
    Ihandle* info = IupLabel("");
    IupSetHandle(KOV_Actionbar_Info, info);
    Ihandle* dialog = IupDialog(IupVbox(info, pane, nullptr));
    kovraShowInfo("'a.kovra' loaded", 0, 0);
    EXPECT_STREQ(IupGetAttribute(pane, "TITLE"), "'a.kovra' loaded");
    kovraShowInfo("[ERROR]   invalid variable name", 0, 1);
    EXPECT_STREQ(IupGetAttribute(pane, "TITLE"), "[ERROR]   invalid variable name");
    EXPECT_STREQ(IupGetAttribute(pane, "FGCOLOR"), "200 30 30");
    // A console line shown in the status line keeps it one line high.
    kovraShowInfo("[ERROR]   invalid expression for Thickness: abc\r\n", 0, 1);
    EXPECT_STREQ(IupGetAttribute(pane, "TITLE"), "[ERROR]   invalid expression for Thickness: abc");
    kovraShowInfo("first\nsecond", 0, 0);
    EXPECT_STREQ(IupGetAttribute(pane, "TITLE"), "first second");
    kovraShowInfo("", 0, 9);
    EXPECT_STREQ(IupGetAttribute(pane, "TITLE"), "");
    EXPECT_STREQ(kovraLastInfo(), "");
    kovraShowActionbarInfo("a.kovra * ", "180 100 10");
    EXPECT_STREQ(IupGetAttribute(info, "TITLE"), "a.kovra * ");
    EXPECT_STREQ(IupGetAttribute(info, "FGCOLOR"), "180 100 10");
    IupDestroy(dialog);
    kovraShowInfo("kept without a status bar", 0, 0);
    EXPECT_STREQ(kovraLastInfo(), "kept without a status bar");
    int w = 0, h = 0;
    EXPECT_EQ(getScreenSize(&w, &h), 1);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
}

TEST_F(KovraGui, EveryImageTheProgramsNameExistsWithItsTip)
{
    const int ids[] = {2,   3,   4,   10,  11,  12,  50,  51,  52,  121, 122, 123, 124, 125,
                       126, 127, 128, 129, 130, 131, 132, 135, 136, 137, 151, 159, 160, 180};
    for (int id : ids) {
        char tip[256] = "unchanged";
        const char* name = Images_get(id, tip, sizeof tip);
        ASSERT_NE(name, nullptr) << id;
        EXPECT_EQ(IupGetClassName(IupGetHandle(name)), std::string("image")) << id;
        EXPECT_FALSE(iupImageIcon(name).isNull()) << id;
        EXPECT_STRNE(tip, "unchanged") << id;
        EXPECT_STREQ(Images_getName(id), name);
    }
    char tip[16] = "x";
    EXPECT_EQ(Images_get(9999, tip, sizeof tip), nullptr);
    EXPECT_STREQ(tip, "");
    Ihandle* button = IupButton(nullptr, nullptr);
    IupSetAttribute(button, "IMAGE", Images_getName(51));  // an image in use by a control
    IupDestroy(button);
}

int changes = 0;
void onChange(EditorPrefs*) { ++changes; }

TEST_F(KovraGui, PreferencesStartFromTheLightThemeAndTheDialogEditsASlot)
{
    EditorPrefs prefs;
    EditorPrefs_init(&prefs, 0);
    EXPECT_EQ(prefs.lexerId, 108);
    EXPECT_EQ(prefs.styles[0].fore, getLightStyle()->text.fore);
    EXPECT_EQ(prefs.styles[22].back, getLightStyle()->selectionBack);
    EXPECT_EQ(prefs.markerErrorShade, normalizeColor(prefs.markerError, 40, 40, 40));
    for (int slot = 0; slot < EDITOR_STYLE_SLOTS; ++slot) {
        EXPECT_EQ(prefs.styles[slot].slot, slot);
        EXPECT_EQ(prefs.styles[slot].styleId, -1);
        EXPECT_GE(prefs.styles[slot].fontSize, 6);
    }
    prefs.onChange = onChange;
    changes = 0;

    Ihandle* dialog = WindowColor_create(&prefs);
    ASSERT_NE(dialog, nullptr);
    IupShow(dialog);
    Ihandle* slot = IupGetHandle(KOV_WindowColor_Slot);
    EXPECT_EQ(IupGetInt(slot, "COUNT"), EDITOR_STYLE_SLOTS);
    IupTestSelect(slot, 6);  // keyword: the fields show its values
    IupSetAttribute(IupGetHandle(KOV_WindowColor_Size), "VALUE", "99");
    IupTestClick(IupGetHandle(KOV_WindowColor_Apply));
    EXPECT_EQ(changes, 0) << "a refused size stores nothing";
    EXPECT_STRNE(IupGetAttribute(IupGetHandle(KOV_WindowColor_Status), "TITLE"), "");
    IupSetAttribute(IupGetHandle(KOV_WindowColor_Size), "VALUE", "14");
    IupSetAttribute(IupGetHandle(KOV_WindowColor_Fore), "VALUE", "255 0 16");
    IupSetAttribute(IupGetHandle(KOV_WindowColor_Italic), "VALUE", "ON");
    IupTestClick(IupGetHandle(KOV_WindowColor_Apply));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(prefs.styles[5].fontSize, 14);
    EXPECT_EQ(prefs.styles[5].fore, 0x1000FF);
    EXPECT_EQ(prefs.styles[5].fontStyle, 3) << "bold kept, italic added";
    EXPECT_EQ(prefs.styles[0].fontSize, 10) << "other slots untouched";
    IupDestroy(dialog);

    // Shown modal: the script clicks its buttons.
    IupScriptAnswer("Colors and Font", KOV_WindowColor_OK);
    EXPECT_EQ(WindowColor_show(&prefs, nullptr), 1);
    EXPECT_EQ(changes, 2);
    IupScriptAnswer("Colors and Font", KOV_WindowColor_Cancel);
    EXPECT_EQ(WindowColor_show(&prefs, nullptr), 0);
    EXPECT_EQ(IupGetHandle(KOV_WindowColor), nullptr);
}

}  // namespace
