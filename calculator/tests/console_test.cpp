// The calculator's window driven headless by handle names and key codes:
// evaluation, ";" lines, history, the typing limit, transcript protection,
// cls and reset (with a scripted answer), the keypad, settings written at
// close and read at the next start, and a session saved and replayed.
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "Console.h"
#include "CalcState.h"
#include "CalcSession.h"
#include "WindowMain.h"
#include "CalcWindowFixture.h"
#include "fifoGuard.h"
#include "guiCommon.h"
#include "iupScintillaMessages.h"
#include "iupTestApp.h"
#include "tempFolder.h"
#include "kovraHandles.h"

namespace {

void type(Ihandle* console, const std::string& text)
{
    for (char c : text) {
        IupTestKey(console, static_cast<unsigned char>(c));
    }
}

void enter(Ihandle* console, const std::string& text)
{
    type(console, text);
    IupTestKey(console, K_CR);
}

class CalcWindowTest : public CalcWindowFixture {
protected:
    CalcWindowTest() { docFolder = "/no/such/doc/"; }
};

TEST_F(CalcWindowTest, EnterEvaluatesAndOpensAFreshPrompt)
{
    enter(console, "1 + 2");
    EXPECT_EQ(Console_text(console), "1 + 2\n3\n");
    enter(console, "x=2;");  // evaluated and recorded, answer not shown
    EXPECT_EQ(Console_text(console), "1 + 2\n3\nx=2;\n");
    enter(console, "x*qq");
    EXPECT_EQ(Console_text(console), "1 + 2\n3\nx=2;\nx*qq\nunknown variable: qq\n");
    kov_Parser* parser = App_getParser();
    ASSERT_EQ(parser->count, 2);                // the failing line is not recorded
    EXPECT_STREQ(parser->history[0], "1 + 2");  // as typed, blanks kept
    enter(console, "format:hex");
    EXPECT_STREQ(IupGetAttribute(dialog, "TITLE"), "KovraCalc - hex | radian");
}

TEST_F(CalcWindowTest, HistoryBrowsingWithUpAndDown)
{
    enter(console, "1");
    enter(console, "2");
    enter(console, "3");
    kov_Parser* parser = App_getParser();
    ASSERT_EQ(parser->current, 2);
    IupTestKey(console, K_UP);  // a fresh prompt shows the last entry
    EXPECT_EQ(Console_text(console), "1\n1\n2\n2\n3\n3\n3");
    IupTestKey(console, K_UP);
    IupTestKey(console, K_UP);
    IupTestKey(console, K_UP);  // stays at the first entry
    EXPECT_EQ(parser->current, 0);
    IupTestKey(console, K_DOWN);
    EXPECT_EQ(Console_text(console), "1\n1\n2\n2\n3\n3\n2");
}

TEST_F(CalcWindowTest, TheTranscriptCannotBeChanged)
{
    enter(console, "40+2");
    const std::string before = Console_text(console);
    Editor_send(console, SCI_GOTOPOS, 1, 0);  // into "40+2"
    type(console, "9");
    IupTestKey(console, K_BS);
    IupTestKey(console, K_CR);
    EXPECT_EQ(Console_text(console), before);
    // Backspace at the start of the prompt never joins lines.
    Editor_send(console, SCI_GOTOPOS, static_cast<uptr_t>(before.size()), 0);
    IupTestKey(console, K_BS);
    EXPECT_EQ(Console_text(console), before);
}

TEST_F(CalcWindowTest, TypingStopsAt240Characters)
{
    type(console, std::string(300, '1'));
    EXPECT_EQ(Console_text(console).size(), 240u);
}

TEST_F(CalcWindowTest, ClsClearsAndResetAsksFirst)
{
    enter(console, "a=1");
    enter(console, "c l s");  // blanks between the letters: still the command
    EXPECT_EQ(Console_text(console), "");
    kov_Parser* parser = App_getParser();
    EXPECT_EQ(parser->count, 1);
    IupScriptBegin();
    IupScriptAnswer("Reset the calculations", "NO");
    enter(console, "reset");
    EXPECT_EQ(parser->count, 1);
    IupScriptAnswer("Reset the calculations", "YES");
    IupTestKey(console, K_CR);
    EXPECT_EQ(IupScriptEnd(), 0);
    EXPECT_EQ(parser->count, 0);
    EXPECT_EQ(kov_ParserVariableCount(parser), 0);
    EXPECT_EQ(Console_text(console), "");
}

TEST_F(CalcWindowTest, KeypadInsertsClearsAndCalculates)
{
    IupTestClick(IupGetHandle("Numpad_Btn_7"));
    IupTestClick(IupGetHandle("Numpad_Btn_Mult"));
    IupTestClick(IupGetHandle("Numpad_Btn_PR"));  // "(" as the keypad table names it
    IupTestClick(IupGetHandle("Numpad_Btn_6"));
    IupTestClick(IupGetHandle("Numpad_Btn_PL"));
    EXPECT_EQ(Console_text(console), "7*(6)");
    IupTestClick(IupGetHandle("Numpad_Btn_Run"));
    EXPECT_EQ(Console_text(console), "7*(6)\n42\n");
    IupTestClick(IupGetHandle("Numpad_Btn_9"));
    IupTestClick(IupGetHandle("Numpad_Btn_C"));
    EXPECT_EQ(Console_text(console), "7*(6)\n42\n");
}

TEST_F(CalcWindowTest, SettingsAreWrittenAtCloseAndReadAtStart)
{
    enter(console, "a = 5");
    enter(console, "a*2");
    IupTestClick(IupGetHandle(KOV_ViewNumpad));  // keypad off
    EXPECT_EQ(IupGetHandle(KOV_Numpad), nullptr);
    WindowMain_close();
    open();
    kov_Parser* parser = App_getParser();
    ASSERT_EQ(parser->count, 2);
    EXPECT_STREQ(parser->history[1], "a*2");
    EXPECT_EQ(IupGetHandle(KOV_Numpad), nullptr);
    IupTestKey(console, K_UP);
    EXPECT_EQ(Console_text(console), "a*2");
}

TEST_F(CalcWindowTest, SessionSavedAndReplayedInOrder)
{
    for (const char* line : {"a=1", "b=a+1", "b*3"}) {
        enter(console, line);
    }
    const std::string name = config.file("x");
    IupScriptBegin();
    IupScriptAnswer("Save file", name.c_str());
    EXPECT_EQ(WindowMain_saveSession(), 1);
    std::ifstream saved(name + ".kovracalc");
    std::stringstream text;
    text << saved.rdbuf();
    EXPECT_EQ(text.str(), "a=1\nb=a+1\nb*3");
    // Opening asks first (there is history), then replays into a cleared
    // console, every line followed by its answer.
    IupScriptAnswer("Opening new session", "YES");
    IupScriptAnswer("Open file", (name + ".kovracalc").c_str());
    EXPECT_EQ(WindowMain_openSession(), 1);
    EXPECT_EQ(IupScriptEnd(), 0);
    EXPECT_EQ(Console_text(console), "a=1\na = 1\nb=a+1\nb = 2\nb*3\n6\n");
    EXPECT_EQ(App_getParser()->count, 3);
}

TEST_F(CalcWindowTest, HelpWithoutItsPdfSaysSoInTheStatusLine)
{
    EXPECT_EQ(WindowMain_onHelpContents(), 0);
    EXPECT_STREQ(IupGetAttribute(IupGetHandle(KOV_WindowMain_Status), "TITLE"),
                 "Cannot show help contents: PDF file not found");
}

// Text that is not UTF-8 (a Latin-1 settings or session file, a lone
// byte) reaches the console only through the text-view helpers, which
// replace each invalid byte by '?'; handed over raw, it aborted the control.
TEST_F(CalcWindowTest, HistoryFromSettingsThatIsNotUtf8IsShownWithQuestionMarks)
{
    enter(console, "1+2");
    WindowMain_close();
    const std::string settings = config.file("kovracalc.kovr");
    std::string text = readAll(settings);
    const size_t at = text.find("1+2");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 3, "1+\xC3");
    config.write("kovracalc.kovr", text);
    open();
    IupTestKey(console, K_UP);
    EXPECT_EQ(Console_text(console), "1+?");
    IupTestKey(console, K_CR);
    EXPECT_EQ(Console_text(console), "1+?\nincomplete condition (a ? b : c) at position 3\n");
}

TEST_F(CalcWindowTest, SessionFilesThatAreNotUtf8ReplayWithQuestionMarks)
{
    const struct {
        const char* bytes;
        const char* shown;
    } cases[] = {
        {"\xC3", "?\nincomplete condition (a ? b : c) at position 1\n"},
        {"x=2\n\"caf\xE9\"", "x=2\nx = 2\n\"caf?\"\ntext in quotes is no number\n"},
        {"1+1 \xE2\x82\xAC",
         "1+1 \xE2\x82\xAC\nunexpected character '\xE2\x82\xAC' at position 4\n"},
    };
    for (const auto& c : cases) {
        const std::string name = config.write("s.kovracalc", c.bytes);
        App_getParser()->count = 0;  // no question before opening
        IupScriptBegin();
        IupScriptAnswer("Open file", name.c_str());
        EXPECT_EQ(WindowMain_openSession(), 1);
        EXPECT_EQ(IupScriptEnd(), 0);
        EXPECT_EQ(Console_text(console), c.shown) << c.bytes;
    }
}

TEST_F(CalcWindowTest, PastedTextIsCutWithoutSplittingACharacter)
{
    // 254 ASCII bytes and a two-byte character across the 255-byte cut.
    Ihandle* clipboard = IupClipboard();
    IupSetStrAttribute(clipboard, "TEXT", (std::string(254, '1') + "\xC3\xA9" + "2").c_str());
    IupDestroy(clipboard);
    Console_paste(console);
    EXPECT_EQ(Console_text(console), std::string(254, '1'));
}

bool carriesPromptMarker(Ihandle* console, int line)
{
    return (Editor_send(console, SCI_MARKERGET, static_cast<uptr_t>(line)) & (1 << 9)) != 0;
}

// The keypad's C with the caret in the transcript (a line clicked to read
// it) clears the prompt line, never the clicked line, and marks no answer
// line as a prompt.
TEST_F(CalcWindowTest, KeypadClearFromTheTranscriptClearsOnlyThePrompt)
{
    enter(console, "2+2");
    type(console, "9");
    for (int line : {0, 1}) {  // the expression and its answer
        Editor_send(console, SCI_GOTOLINE, static_cast<uptr_t>(line), 0);
        IupTestClick(IupGetHandle("Numpad_Btn_C"));
        EXPECT_EQ(Console_text(console), "2+2\n4\n") << line;
        EXPECT_FALSE(carriesPromptMarker(console, 1)) << line;
        type(console, "9");
    }
}

// A selection reaching from the transcript down to the prompt: typing,
// Ctrl+X, Cut and Paste over it change only its part on the prompt line.
TEST_F(CalcWindowTest, ASelectionIntoTheTranscriptChangesOnlyThePrompt)
{
    enter(console, "2+2");
    const std::string transcript = Console_text(console);
    const auto selectFromTranscript = [&] {
        Editor_send(console, SCI_SETSEL, 1, Editor_send(console, SCI_GETLENGTH));
    };
    type(console, "55");
    selectFromTranscript();
    type(console, "7");
    EXPECT_EQ(Console_text(console), transcript + "7");
    selectFromTranscript();
    IupTestKey(console, K_cX);
    EXPECT_EQ(Console_text(console).substr(0, transcript.size()), transcript);
    type(console, "8");
    selectFromTranscript();
    Console_cut(console);
    EXPECT_EQ(Console_text(console), transcript);
    type(console, "6");
    Ihandle* clipboard = IupClipboard();
    IupSetStrAttribute(clipboard, "TEXT", "3");
    IupDestroy(clipboard);
    selectFromTranscript();
    Console_paste(console);
    EXPECT_EQ(Console_text(console), transcript + "3");
}

// Pasted lines are evaluated in turn, as if typed with Enter after each;
// the last piece waits on the prompt. Nothing enters the transcript
// unevaluated, and a failing line stops the rest.
TEST_F(CalcWindowTest, PastedLinesAreEvaluatedInTurn)
{
    Ihandle* clipboard = IupClipboard();
    IupSetStrAttribute(clipboard, "TEXT", "2+2\n3+3\r\n\n4+4");
    IupDestroy(clipboard);
    Console_paste(console);
    EXPECT_EQ(Console_text(console), "2+2\n4\n3+3\n6\n4+4");
    EXPECT_EQ(App_getParser()->count, 2);
    for (int line : {0, 2, 4}) {
        EXPECT_TRUE(carriesPromptMarker(console, line)) << line;
    }
    Console_clear(console);
    clipboard = IupClipboard();
    IupSetStrAttribute(clipboard, "TEXT", "1+\n5+5\n");
    IupDestroy(clipboard);
    Console_paste(console);
    const std::string text = Console_text(console);
    EXPECT_EQ(text.rfind("1+\n", 0), 0u) << text;
    EXPECT_EQ(text.find("5+5"), std::string::npos) << text;
}

// Alt+F4 closes the window from anywhere in the console, the transcript
// included.
TEST_F(CalcWindowTest, AltF4ClosesTheWindowFromTheTranscript)
{
    enter(console, "2+2");
    Editor_send(console, SCI_GOTOPOS, 1, 0);
    IupTestKey(console, K_mF4);
    EXPECT_EQ(IupGetHandle(KOV_WindowMain), nullptr);
}

// File > Open of a FIFO, or of a session holding a line longer than the
// console takes, says why in the status line at once and leaves the
// console as it was; opening the FIFO used to freeze the window.
TEST_F(CalcWindowTest, SessionsThatCannotBeReadAreSaidInTheStatusLine)
{
    enter(console, "1+1");
    const std::string before = Console_text(console);
    const std::string fifo = config.file("pipe.kovracalc");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = config.write("huge.kovracalc", "2+2\n" + std::string(100000, '1'));
    const struct {
        std::string name;
        std::string reason;
    } cases[] = {{fifo, "it is a FIFO"}, {huge, "line 2 is longer than 255 characters"}};
    for (const auto& c : cases) {
        IupScriptBegin();
        IupScriptAnswer("Opening new session", "YES");
        IupScriptAnswer("Open file", c.name.c_str());
        int opened = -1;
        EXPECT_TRUE(returnsWithoutWaiting(fifo, [&] { opened = WindowMain_openSession(); }));
        EXPECT_EQ(IupScriptEnd(), 0);
        EXPECT_EQ(opened, 0);
        EXPECT_EQ(std::string(IupGetAttribute(IupGetHandle(KOV_WindowMain_Status), "TITLE")),
                  "Cannot open the session " + c.name + ": " + c.reason);
        EXPECT_EQ(Console_text(console), before);
    }
    IupScriptBegin();
    IupScriptAnswer("Save file", fifo.c_str());
    int saved = -1;
    EXPECT_TRUE(returnsWithoutWaiting(fifo, [&] { saved = WindowMain_saveSession(); }));
    EXPECT_EQ(IupScriptEnd(), 0);
    EXPECT_EQ(saved, 0);
}

}  // namespace
