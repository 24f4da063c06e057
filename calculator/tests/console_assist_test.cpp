// The console's help while typing and its surroundings, driven headless:
// the completion lists (offered, refused, accepted), the right-button menu,
// the edit keys, the action bar, Always on Top and the colours that the
// settings file keeps.
#include <fstream>
#include <sstream>

#include "Console.h"
#include "CalcState.h"
#include "WindowAbout.h"
#include "WindowMain.h"
#include "CalcWindowFixture.h"
#include "guiCommon.h"
#include "iupScintillaMessages.h"
#include "iupTestApp.h"
#include "tempFolder.h"
#include "caseName.h"
#include "kovraHandles.h"

namespace {

void type(Ihandle* console, const std::string& text)
{
    for (char c : text) {
        IupTestKey(console, static_cast<unsigned char>(c));
        IupFlush();  // the control reports caret moves when it updates
    }
}

std::string currentChoice(Ihandle* console)
{
    char item[256] = "";
    Editor_send(console, SCI_AUTOCGETCURRENTTEXT, 0, reinterpret_cast<sptr_t>(item));
    return item;
}

class CalcAssistTest : public CalcWindowFixture {
protected:
    CalcAssistTest() { docFolder = "/no/such/doc/"; }
    void SetUp() override { open(); }
    // The window as shown, with the console holding the focus.
    void open()
    {
        CalcWindowFixture::open();
        if (HasFatalFailure()) {
            return;
        }
        IupSetFocus(console);
        IupFlush();
    }
    long caretOffset() { return static_cast<long>(Editor_send(console, SCI_GETCURRENTPOS, 0, 0)); }
};

struct OfferCase {
    const char* typed;
    bool offered;
    const char* choice;  // the item chosen when offered
};

const OfferCase OFFERS[] = {
    {"co", true, "cos()"},   {"lo", true, "log()"},    {"fo", true, "format:real"},
    {"2*si", true, "sin()"}, {"xacos", false, ""},     {"c", false, ""},
    {"12", false, ""},       {"2*sq", true, "sqrt()"},
};

TEST_F(CalcAssistTest, CompletionListsAreOfferedAfterTwoCharactersOfAWord)
{
    for (const OfferCase& c : OFFERS) {
        Console_clear(console);
        type(console, c.typed);
        const bool active = Editor_send(console, SCI_AUTOCACTIVE, 0, 0) != 0;
        EXPECT_EQ(active, c.offered) << c.typed;
        if (active) {
            EXPECT_EQ(currentChoice(console), c.choice) << c.typed;
        }
        Editor_send(console, SCI_AUTOCCANCEL, 0, 0);
    }
}

struct AcceptCase {
    const char* typed;
    const char* text;  // the console afterwards
    long caret;        // caret offset afterwards (-1: the end)
};

const AcceptCase ACCEPTS[] = {
    {"co", "cos()", 4},                         // waits for its argument between the parentheses
    {"po", "pow(,)", 4},                        // the caret between "(" and ","
    {"it", "iter:", -1},                        // waits for its count
    {"un", "unit:degree\nunit: degree\n", -1},  // the first list holding the word wins
    {"cl", "", 0},                              // a command runs at once: the console is cleared
    {"fo", "format:real\nformat: real\n", -1},  // evaluated at once
};

TEST_F(CalcAssistTest, EnterTakesTheChosenWordAndEvaluatesOnlyWholeCommands)
{
    for (const AcceptCase& c : ACCEPTS) {
        Console_clear(console);
        type(console, c.typed);
        ASSERT_NE(Editor_send(console, SCI_AUTOCACTIVE, 0, 0), 0) << c.typed;
        IupTestKey(console, K_CR);
        EXPECT_EQ(Console_text(console), c.text) << c.typed;
        const long end = static_cast<long>(Console_text(console).size());
        EXPECT_EQ(caretOffset(), c.caret < 0 ? end : c.caret) << c.typed;
    }
}

TEST_F(CalcAssistTest, TheRightButtonMenuOffersWhatTheCaretAllows)
{
    type(console, "21*2");
    IupTestKey(console, K_CR);
    // Select the answer in the transcript: Copy, but no Cut or Paste there.
    Editor_send(console, SCI_SETSEL, 5, 7);
    IupScriptBegin();
    IupScriptAnswer(nullptr, "Copy");
    Console_showContextMenu();
    EXPECT_EQ(IupScriptEnd(), 0);
    Ihandle* clipboard = IupClipboard();
    EXPECT_STREQ(IupGetAttribute(clipboard, "TEXT"), "42");
    IupDestroy(clipboard);
    EXPECT_EQ(IupGetHandle(KOV_WindowMain_Menu), nullptr) << "destroyed after use";
    IupScriptBegin();
    IupScriptAnswer(nullptr, "Clear");
    Console_showContextMenu();
    EXPECT_EQ(IupScriptEnd(), 0);
    EXPECT_EQ(Console_text(console), "");
}

TEST_F(CalcAssistTest, CutCopyAndPasteKeysWorkOnThePromptOnly)
{
    type(console, "6*7");
    Editor_send(console, SCI_SETSEL, 0, 1);  // "6"
    IupTestKey(console, K_cX);
    EXPECT_EQ(Console_text(console), "*7");
    IupTestKey(console, K_cV);
    EXPECT_EQ(Console_text(console), "6*7");
    IupTestKey(console, K_CR);
    Editor_send(console, SCI_SETSEL, 0, 3);  // the line in the transcript
    IupTestKey(console, K_cC);
    IupTestKey(console, K_cX);  // cut never reaches the transcript
    IupTestKey(console, K_cV);
    EXPECT_EQ(Console_text(console), "6*7\n42\n");
    Editor_send(console, SCI_GOTOPOS, Editor_send(console, SCI_GETLENGTH, 0, 0), 0);
    IupTestKey(console, K_cV);
    EXPECT_EQ(Console_text(console), "6*7\n42\n6*7");
}

TEST_F(CalcAssistTest, TheActionBarFollowsTheSelection)
{
    for (const char* name :
         {KOV_Actionbar_Btn_Cut, KOV_Actionbar_Btn_Copy, KOV_Actionbar_Btn_Paste,
          KOV_Actionbar_Btn_Reset, KOV_Actionbar_Btn_Tools, KOV_Actionbar_Btn_Run}) {
        Ihandle* button = IupGetHandle(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_NE(IupGetAttribute(button, "IMAGE"), nullptr) << name;
        EXPECT_STRNE(IupGetAttribute(button, "TIP"), "") << name;
    }
    EXPECT_STREQ(IupGetAttribute(IupGetHandle(KOV_Actionbar_Btn_Run), "TIP"), "Calculate");
    type(console, "1+1");
    IupFlush();
    EXPECT_STREQ(IupGetAttribute(IupGetHandle(KOV_Actionbar_Btn_Copy), "ACTIVE"), "NO");
    Editor_send(console, SCI_SETSEL, 0, 2);
    IupFlush();
    EXPECT_STREQ(IupGetAttribute(IupGetHandle(KOV_Actionbar_Btn_Copy), "ACTIVE"), "YES");
    EXPECT_STREQ(IupGetAttribute(IupGetHandle(KOV_Actionbar_Btn_Cut), "ACTIVE"), "YES");
    IupTestClick(IupGetHandle(KOV_Actionbar_Btn_Cut));
    EXPECT_EQ(Console_text(console), "1");
    IupTestClick(IupGetHandle(KOV_Actionbar_Btn_Run));
    EXPECT_EQ(Console_text(console), "1\n1\n");
}

TEST_F(CalcAssistTest, AlwaysOnTopTogglesAndIsNotStored)
{
    IupTestClick(IupGetHandle(KOV_ViewTop));
    EXPECT_STREQ(IupGetAttribute(dialog, "TOPMOST"), "YES");
    IupTestClick(IupGetHandle(KOV_ViewTop));
    EXPECT_STREQ(IupGetAttribute(dialog, "TOPMOST"), "NO");
    IupTestClick(IupGetHandle(KOV_ViewTop));
    WindowMain_close();
    std::ifstream file(config.file("kovracalc.kovr"));
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str().find("Top"), std::string::npos);
    open();
    EXPECT_STRNE(IupGetAttribute(dialog, "TOPMOST"), "YES");
}

TEST_F(CalcAssistTest, ColoursAndSyntaxFlagSurviveARestartAndReachTheConsole)
{
    // Change the default text colour through the colours dialog's record.
    App_getEditorPrefs()->styles[0].fore = 0x123456;
    IupTestClick(IupGetHandle(KOV_OptionsHighlight));  // syntax off
    EXPECT_EQ(App_getEditorPrefs()->syntaxEnabled, 0);
    WindowMain_close();
    open();
    EXPECT_EQ(App_getEditorPrefs()->styles[0].fore, 0x123456);
    EXPECT_EQ(App_getEditorPrefs()->syntaxEnabled, 0);
    EXPECT_EQ(Editor_send(console, SCI_STYLEGETFORE, 0, 0), 0x123456);
    // Syntax off: a keyword shows in the default colour.
    EXPECT_EQ(Editor_send(console, SCI_STYLEGETFORE, 5, 0), 0x123456);
    IupTestClick(IupGetHandle(KOV_OptionsHighlight));  // on again
    EXPECT_EQ(Editor_send(console, SCI_STYLEGETFORE, 5, 0), App_getEditorPrefs()->styles[5].fore);
}

TEST_F(CalcAssistTest, ResetAndAboutGoThroughTheSharedDialogs)
{
    type(console, "a=1");
    IupTestKey(console, K_CR);
    IupScriptBegin();
    IupScriptAnswer("Reset the calculations", "YES");
    IupTestClick(IupGetHandle(KOV_Actionbar_Btn_Reset));
    EXPECT_EQ(IupScriptEnd(), 0);
    EXPECT_EQ(App_getParser()->count, 0);
    WindowAbout_show();
    Ihandle* about = IupGetHandle(KOV_WindowAbout);
    ASSERT_NE(about, nullptr);
    EXPECT_STREQ(IupGetAttribute(about, "TITLE"), "About KovraCalc");
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowPopupShown), 1);
    IupSetFocus(IupGetHandle(KOV_WindowAbout_OK));
    IupFlush();
    IupTestClick(IupGetHandle(KOV_WindowAbout_OK));
    EXPECT_EQ(IupGetHandle(KOV_WindowAbout), nullptr);
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowPopupShown), 0);
    IupFlush();
    EXPECT_EQ(IupGetFocus(), console) << "typing goes on in the console";
}

}  // namespace

namespace {

struct MarginCase {
    int stored;
    int shown;
};

class CalcMarginTest : public CalcAssistTest, public testing::WithParamInterface<MarginCase> {};

TEST_P(CalcMarginTest, ThePromptMarginIsKeptWithinItsRangeAndMarksThePrompt)
{
    App_getEditorPrefs()->promptMarginWidth = GetParam().stored;
    ASSERT_EQ(Console_setup(console), 1);
    EXPECT_EQ(App_getEditorPrefs()->promptMarginWidth, GetParam().shown);
    EXPECT_EQ(Editor_send(console, SCI_GETMARGINWIDTHN, 3, 0), GetParam().shown);
    EXPECT_NE(Editor_send(console, SCI_MARKERGET, 0, 0) & (1 << CONSOLE_PROMPT_MARKER), 0);
}

INSTANTIATE_TEST_SUITE_P(Widths, CalcMarginTest,
                         testing::Values(MarginCase{10, 16}, MarginCase{120, 80},
                                         MarginCase{24, 24}),
                         [](const testing::TestParamInfo<MarginCase>& info) {
                             return caseName("width " + std::to_string(info.param.stored) +
                                             " shown as " + std::to_string(info.param.shown));
                         });

}  // namespace
