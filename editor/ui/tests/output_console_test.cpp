// The output console in the real window: styles by tag on exactly the
// appended bytes, the look of those styles taken from the text preferences,
// the clear button, and the cut of the oldest half that keeps styles on
// their own text and UTF-8 characters whole.
#include "MainWindowFixture.h"
#include "Output.h"
#include "OutputText.h"
#include "iupQt.h"
#include "iupScintillaMessages.h"
#include "kovragui.h"

#include <Qsci/qsciscintillabase.h>

#include <cstdio>
#include "kovraHandles.h"

namespace {

Ihandle* console() { return IupGetHandle(KOV_Output); }
long length() { return IupScintillaSendMessage(console(), SCI_GETLENGTH, 0, 0); }
int styleAt(long position)
{
    return static_cast<int>(IupScintillaSendMessage(console(), SCI_GETSTYLEAT, position, 0));
}
std::string text()
{
    std::string out;
    for (long p = 0; p < length(); ++p) {
        out += static_cast<char>(IupScintillaSendMessage(console(), SCI_GETCHARAT, p, 0));
    }
    return out;
}

long styleGet(unsigned int message, int style)
{
    return static_cast<long>(
        IupScintillaSendMessage(console(), message, static_cast<uptr_t>(style), 0));
}
std::string styleFont(int style)
{
    char name[64] = {};
    IupScintillaSendMessage(console(), SCI_STYLEGETFONT, static_cast<uptr_t>(style),
                            reinterpret_cast<sptr_t>(name));
    return name;
}

}  // namespace

TEST_F(MainWindowTest, EachTagStylesExactlyItsOwnLine)
{
    start();
    Output_clear();
    struct Case {
        const char* message;
        int style;
    } cases[] = {{"[ERROR]   bad value\n", 125},
                 {"[WARNING] careful\n", 124},
                 {"[INPUT]   read\n", 123},
                 {"[INFO]    mesh\n", 122},
                 {"\t[ERROR] tab first\n", 122}};
    for (const Case& c : cases) {
        long before = length();
        EXPECT_EQ(Output_printColored(c.message), c.style);
        long after = length();
        ASSERT_GT(after, before);
        EXPECT_EQ(styleAt(before), c.style) << c.message;
        EXPECT_EQ(styleAt(after - 1), c.style) << c.message;
        if (before > 0) {
            EXPECT_NE(styleAt(before - 1), -1);
        }
    }
    // The error line keeps its own style after later lines.
    EXPECT_EQ(styleAt(0), 125);
    EXPECT_EQ(Output_printColored("\r\n"), 122);
}

TEST_F(MainWindowTest, TrimmedControlCharactersDoNotSpillStylesOntoEarlierText)
{
    start();
    Output_clear();
    Output_printColored("[INFO]    plain line\n");
    long before = length();
    // Trailing tabs are dropped: styling "the last strlen(text) bytes" would
    // colour the end of the plain line.
    Output_printColored("[ERROR]   x\t\t\t\t\t\t");
    EXPECT_EQ(styleAt(before - 1), 122);
    EXPECT_EQ(styleAt(before), 125);
}

TEST_F(MainWindowTest, ClearButtonFollowsTheText)
{
    start();
    Output_print("something\n");
    EXPECT_EQ(attr(KOV_OutputReset, "VALUE"), "ON");
    Output_onClear(h(KOV_OutputReset));
    EXPECT_EQ(length(), 0);
    EXPECT_EQ(attr(KOV_OutputReset, "VALUE"), "OFF");
    Output_print("again\n");
    EXPECT_EQ(attr(KOV_OutputReset, "VALUE"), "ON");
}

TEST_F(MainWindowTest, AFullConsoleDropsItsOlderHalfAtALineStart)
{
    start();
    Output_clear();
    // Lines with two-byte characters, so a cut by byte count would split one.
    // The console is filled directly to just below its cap (printing line
    // by line would take a minute), then the printed lines push it over.
    const std::string line =
        "[INFO]    \xC3\xA9t\xC3\xA9 \xC3\xA0 Kovra, ligne de journal assez longue ....\r\n";
    std::string bulk;
    while (bulk.size() + line.size() < OUTPUT_SIZE_CAP - 200) {
        bulk += line;
    }
    IupScintillaSendMessage(console(), SCI_SETREADONLY, 0, 0);
    IupScintillaSendMessage(console(), SCI_APPENDTEXT, bulk.size(),
                            reinterpret_cast<sptr_t>(bulk.data()));
    IupScintillaSendMessage(console(), SCI_STARTSTYLING, 0, 0);
    IupScintillaSendMessage(console(), SCI_SETSTYLING, bulk.size(), 122);
    IupScintillaSendMessage(console(), SCI_SETREADONLY, 1, 0);
    while (static_cast<size_t>(length()) < OUTPUT_SIZE_CAP) {
        Output_printColored(line.c_str());
    }
    long full = length();
    Output_printColored("[ERROR]   the latest message\n");
    std::string all = text();
    EXPECT_LT(static_cast<long>(all.size()), full);
    EXPECT_EQ(all.rfind("[INFO]", 0), 0u);  // begins at a line start
    size_t last = all.rfind("[ERROR]   the latest message");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(styleAt(static_cast<long>(last)), 125);
    EXPECT_EQ(styleAt(static_cast<long>(last) - 1), 122);
    EXPECT_EQ(styleAt(length() - 1), 125);
}

TEST_F(MainWindowTest, AMessageOverTheCapIsCutOnACharacterBoundary)
{
    start();
    Output_clear();
    std::string message = std::string(382, 'a') + "\xE2\x82\xAC" + std::string(100, 'b');
    Output_print(message.c_str());
    EXPECT_EQ(text(), std::string(382, 'a'));
}

// Lines of 8-bit text (a Latin-1 device file named in a message, the
// driver's pipe) reach the view through the shared text helpers: each byte
// that is no UTF-8 shows as '?', and the view takes the line.
TEST_F(MainWindowTest, BytesThatAreNoUtf8ShowAsQuestionMarks)
{
    start();
    Output_clear();
    Output_print("[WARNING] unknown key 'Caf\xE9' at line 3 of d\xE9vice.kovra\n");
    Output_print("\xC3");
    EXPECT_EQ(text(), "[WARNING] unknown key 'Caf?' at line 3 of d?vice.kovra\n?");
}

TEST_F(MainWindowTest, TaggedStylesFollowTheTextPreferences)
{
    start();
    EditorPrefs* prefs = App_getEditorPrefs();
    ASSERT_NE(prefs, nullptr);
    // As started: each tag in its preference colour, errors bold.
    EXPECT_EQ(styleGet(SCI_STYLEGETFORE, 125), prefs->markerError);
    EXPECT_EQ(styleGet(SCI_STYLEGETBOLD, 125), 1);
    EXPECT_EQ(styleGet(SCI_STYLEGETFORE, 124), prefs->markerWarning);
    EXPECT_EQ(styleGet(SCI_STYLEGETFORE, 123), prefs->information);

    // The user's choice of text: a larger italic serif on a dark ground,
    // other tag colours.
    EditorStyle& text = prefs->styles[0];
    std::snprintf(text.fontName, sizeof text.fontName, "%s", "DejaVu Serif");
    text.fontSize = 14;
    text.fontStyle = 2;
    text.fore = 0xE0E0E0;
    text.back = 0x302010;
    prefs->information = 0xC0A000;
    prefs->markerWarning = 0x00A0F0;
    prefs->markerError = 0x4040FF;
    prefs->markerSuccess = 0x40FF40;
    EXPECT_EQ(Editor_applyStyle(console(), nullptr, 1, 1), IUP_DEFAULT);

    struct Case {
        int style;
        long fore;
        int bold;
    } cases[] = {{122, 0xE0E0E0, 0},
                 {123, 0xC0A000, 0},
                 {124, 0x00A0F0, 0},
                 {125, 0x4040FF, 1},
                 {126, 0x40FF40, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        EXPECT_EQ(styleGet(SCI_STYLEGETFORE, c.style), c.fore);
        EXPECT_EQ(styleGet(SCI_STYLEGETBACK, c.style), 0x302010);
        EXPECT_EQ(styleGet(SCI_STYLEGETSIZE, c.style), 14);
        EXPECT_EQ(styleGet(SCI_STYLEGETITALIC, c.style), 1);
        EXPECT_EQ(styleGet(SCI_STYLEGETBOLD, c.style), c.bold);
        EXPECT_EQ(styleFont(c.style), "DejaVu Serif");
    }
    // A message printed afterwards shows in the new look.
    long before = length();
    Output_printColored("[WARNING] after the change\n");
    EXPECT_EQ(styleAt(before), 124);
}

TEST_F(MainWindowTest, LineNumbersFollowThePreference)
{
    start();
    Output_print("a line\n");
    EXPECT_GT(IupScintillaSendMessage(console(), SCI_GETMARGINWIDTHN, 0, 0), 0);
    App_getEditorPrefs()->lineNumbers = 0;
    Output_setup();
    for (int i = 0; i < 20; ++i) {
        Output_print("another line\n");  // crosses a digit count
    }
    EXPECT_EQ(IupScintillaSendMessage(console(), SCI_GETMARGINWIDTHN, 0, 0), 0);
}

// Appending stays linear however long the console is: each change
// notification of the text control costs a count of the characters from the
// start of the text to the change, so the log's appends make none; counted,
// not timed, over thousands of lines.
TEST_F(MainWindowTest, AppendsCostNoWorkThatGrowsWithTheConsole)
{
    start();
    Output_clear();
    int notifications = 0;
    QsciScintilla* view = iupScintillaWidget(console());
    ASSERT_NE(view, nullptr);
    const auto connection =
        QObject::connect(view, &QsciScintillaBase::SCN_MODIFIED, view,
                         [&notifications](int, int, const char*, int, int, int, int, int, int,
                                          int) { ++notifications; });
    const int lines = 3000;
    for (int i = 0; i < lines; ++i) {
        const std::string line =
            "[WARNING] unknown section [Extra" + std::to_string(i) + "] skipped\n";
        Output_printColored(line.c_str());
    }
    QObject::disconnect(connection);
    EXPECT_EQ(notifications, 0);
    // Every line arrived, styled, and the view followed the last one.
    EXPECT_EQ(IupScintillaSendMessage(console(), SCI_GETLINECOUNT, 0, 0), lines + 1);
    EXPECT_EQ(styleAt(length() - 2), 124);
    const long lastLine = IupScintillaSendMessage(console(), SCI_LINEFROMPOSITION, length(), 0);
    EXPECT_EQ(
        IupScintillaSendMessage(console(), SCI_LINEFROMPOSITION,
                                IupScintillaSendMessage(console(), SCI_GETCURRENTPOS, 0, 0), 0),
        lastLine);
    EXPECT_NE(text().find("[Extra2999] skipped\n"), std::string::npos);
}

// Refusals made by the editor itself (a field's value out of range, a save
// refused for it) are tagged lines like the engine's and must stand out the
// same way: each "[ERROR]" line of the console in the error style.
TEST_F(MainWindowTest, TheEditorsOwnRefusalsShowInTheErrorStyle)
{
    start({example("silicon-pn.kovra")});
    Output_clear();
    type(KOV_WindowMain_Thickness, "0.00000123456789");
    key(K_cS);
    const std::string shown = text();
    int errorLines = 0;
    for (size_t start = 0; start < shown.size();) {
        size_t end = shown.find('\n', start);
        end = end == std::string::npos ? shown.size() : end + 1;
        if (shown.compare(start, 7, "[ERROR]") == 0) {
            ++errorLines;
            EXPECT_EQ(styleAt(static_cast<long>(start)), 125) << shown.substr(start, end - start);
            EXPECT_EQ(styleAt(static_cast<long>(end) - 2), 125) << shown.substr(start, end - start);
        }
        start = end;
    }
    EXPECT_GE(errorLines, 2) << shown;
}
