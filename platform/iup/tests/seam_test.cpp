// Questions, file choosers and popup menus are answered from a script;
// the timer, clipboard and text control work headless.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <string>

#include "iupQt.h"
#include "iupScintillaMessages.h"
#include "iupTestApp.h"

namespace {

std::string failures;
void collect(const char* what)
{
    failures += what;
    failures += "\n";
}

class SeamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        failures.clear();
        IupScriptBegin();
        IupScriptOnUnexpected(collect);
    }
    void TearDown() override
    {
        IupScriptOnUnexpected([](const char* what) { ADD_FAILURE() << what; });
        IupScriptEnd();
    }
};

TEST_F(SeamTest, QuestionsTakeTheQueuedAnswersByNumberOrWord)
{
    IupScriptAnswer("modified", "2");
    IupScriptAnswer(nullptr, "cancel");
    EXPECT_EQ(IupAlarm("KovraDevice", "Device modified. Close anyway?", "Yes", "No", nullptr), 2);
    EXPECT_EQ(IupAlarm("KovraDevice", "Save?", "Yes", "No", "Cancel"), 3);
    const char* title = nullptr;
    const char* text = nullptr;
    EXPECT_STREQ(IupScriptLastAsked(&title, &text), "QUESTION");
    EXPECT_STREQ(text, "Save?");
    IupScriptAnswer(nullptr, "OK");
    iupSeamAsk("MESSAGE", "KovraCalc", "Done", {"OK"}, nullptr, "INFORMATION");
    EXPECT_EQ(IupScriptAskedCount(), 3);
    EXPECT_EQ(IupScriptPending(), 0);
    EXPECT_TRUE(failures.empty()) << failures;
}

TEST_F(SeamTest, AnUnexpectedQuestionIsReportedNotWaitedFor)
{
    EXPECT_EQ(IupAlarm("KovraDevice", "Overwrite?", "Yes", "No", nullptr), 2)
        << "reported and cancelled";
    EXPECT_NE(failures.find("Overwrite?"), std::string::npos) << failures;
    failures.clear();
    IupScriptAnswer("Delete layer", "YES");
    IupAlarm("KovraDevice", "Overwrite?", "Yes", "No", nullptr);
    EXPECT_NE(failures.find("expected a question containing \"Delete layer\""), std::string::npos)
        << failures;
    EXPECT_EQ(IupScriptEnd(), 1) << "the answer meant for another question is left";
}

TEST_F(SeamTest, FileChoosersReturnThePathOrCancel)
{
    Ihandle* dlg = IupFileDlg();
    IupSetAttributes(dlg,
                     "DIALOGTYPE=OPEN, TITLE=\"Open file\", EXTFILTER=\"Kovra files|*.kovra|\"");
    IupScriptAnswer("Open file", "/nonexistent/a b.kovra");
    IupPopup(dlg, IUP_CENTER, IUP_CENTER);
    EXPECT_STREQ(IupGetAttribute(dlg, "VALUE"), "/nonexistent/a b.kovra");
    EXPECT_EQ(IupGetInt(dlg, "STATUS"), 1) << "a new file";
    IupScriptAnswer("Open file", "");
    IupPopup(dlg, IUP_CENTER, IUP_CENTER);
    EXPECT_EQ(IupGetInt(dlg, "STATUS"), -1);
    EXPECT_EQ(IupGetAttribute(dlg, "VALUE"), nullptr);
    IupDestroy(dlg);
    EXPECT_TRUE(failures.empty()) << failures;
}

int chosen = 0;
int onItem(Ihandle* ih)
{
    chosen = IupGetInt(ih, "KOV_TemplateId");
    return IUP_DEFAULT;
}

TEST_F(SeamTest, PopupMenusChooseAnItemByTitleOrName)
{
    Ihandle* pin = IupItem("PIN", nullptr);
    IupSetAttribute(pin, "KOV_TemplateId", "1");
    IupSetCallback(pin, "ACTION", onItem);
    Ihandle* nip = IupItem("&NIP\tCtrl+N", nullptr);
    IupSetAttribute(nip, "KOV_TemplateId", "2");
    IupSetCallback(nip, "ACTION", onItem);
    IupSetHandle("KOV_Template02", nip);
    Ihandle* menu = IupMenu(IupSubmenu("New", IupMenu(pin, nullptr)), IupSeparator(), nip, nullptr);
    IupScriptAnswer(nullptr, "PIN");
    IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    EXPECT_EQ(chosen, 1);
    IupScriptAnswer(nullptr, "KOV_Template02");
    IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    EXPECT_EQ(chosen, 2);
    IupScriptAnswer(nullptr, "NIP");
    IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    EXPECT_EQ(chosen, 2);
    IupDestroy(menu);
    EXPECT_TRUE(failures.empty()) << failures;
}

TEST_F(SeamTest, HelpAndProgramsAreRecordedNotStarted)
{
    EXPECT_EQ(IupHelp("/opt/kovra/doc/kovra_simulator.pdf"), 1);
    EXPECT_STREQ(IupScriptLastLaunched(), "/opt/kovra/doc/kovra_simulator.pdf");
    EXPECT_EQ(IupExecute("kovracalc", "-run \"1+1\""), 1);
    EXPECT_STREQ(IupScriptLastLaunched(), "kovracalc -run \"1+1\"");
}

int ticks = 0;
int onTick(Ihandle* timer) { return ++ticks >= 3 ? IUP_CLOSE : IUP_DEFAULT; }

TEST_F(SeamTest, TimerTicksUntilItsCallbackEndsTheLoop)
{
    Ihandle* timer = IupTimer();
    IupSetCallback(timer, "ACTION_CB", onTick);
    IupSetStrAttribute(timer, "TIME", "10");
    IupSetAttribute(timer, "RUN", "YES");
    EXPECT_STREQ(IupGetAttribute(timer, "RUN"), "YES");
    QTimer::singleShot(5000, [] { IupExitLoop(); });  // a broken timer fails, not hangs
    IupMainLoop();
    EXPECT_EQ(ticks, 3);
    EXPECT_STREQ(IupGetAttribute(timer, "RUN"), "NO");
    IupDestroy(timer);
}

TEST_F(SeamTest, ClipboardCarriesText)
{
    Ihandle* clipboard = IupClipboard();
    IupSetAttribute(clipboard, "TEXT", "sin(pi/2)");
    EXPECT_STREQ(IupGetAttribute(clipboard, "TEXT"), "sin(pi/2)");
    IupDestroy(clipboard);
}

int changes = 0;
int onChange(Ihandle*)
{
    ++changes;
    return IUP_DEFAULT;
}

class WordLexer : public IupLexer {
public:
    using IupLexer::IupLexer;
    const char* language() const override { return "kovra"; }
    QString description(int style) const override
    {
        return style <= 5 ? QString("style %1").arg(style) : QString();
    }
    void styleText(int start, int end) override
    {
        // Keyword-set-0 words get style 5, the rest 0.
        const QString text = editor()->text().toUtf8().mid(start, end - start);
        startStyling(start);
        int i = 0;
        const QByteArray bytes = text.toUtf8();
        while (i < bytes.size()) {
            int j = i;
            while (j < bytes.size() && std::isalpha(static_cast<unsigned char>(bytes[j]))) {
                ++j;
            }
            if (j > i) {
                setStyling(j - i, isKeyword(0, bytes.mid(i, j - i).toStdString()) ? 5 : 0);
                i = j;
            } else {
                setStyling(1, 0);
                ++i;
            }
        }
    }
};

TEST_F(SeamTest, TextControlPassesMessagesAndUsesLexersByName)
{
    iupScintillaRegisterLexer(
        "kovra", [](QsciScintilla* editor) -> IupLexer* { return new WordLexer(editor); });
    Ihandle* console = IupScintilla();
    IupSetHandle("T_Console", console);
    IupSetCallback(console, "VALUECHANGED_CB", onChange);
    Ihandle* dialog = IupDialog(console);
    IupShow(dialog);
    IupScintillaSendMessage(console, SCI_SETLEXERLANGUAGE, 0, reinterpret_cast<sptr_t>("kovra"));
    EXPECT_STREQ(IupGetAttribute(console, "LEXERLANGUAGE"), "kovra");
    IupScintillaSendMessage(console, SCI_SETKEYWORDS, 0, reinterpret_cast<sptr_t>("sin cos"));
    IupScintillaSendMessage(console, SCI_SETTEXT, 0, reinterpret_cast<sptr_t>("sin(x)+tan(x)"));
    EXPECT_EQ(IupScintillaSendMessage(console, SCI_GETLENGTH, 0, 0), 13);
    EXPECT_STREQ(IupGetAttribute(console, "VALUE"), "sin(x)+tan(x)");
    IupScintillaSendMessage(console, SCI_COLOURISE, 0, -1);
    EXPECT_EQ(IupScintillaSendMessage(console, SCI_GETSTYLEAT, 0, 0), 5);
    EXPECT_EQ(IupScintillaSendMessage(console, SCI_GETSTYLEAT, 8, 0), 0);
    EXPECT_EQ(changes, 0) << "text set by the program is no user change";
    IupScintillaSendMessage(console, SCI_GOTOPOS, 13, 0);
    IupTestKey(console, '9');
    EXPECT_STREQ(IupGetAttribute(console, "VALUE"), "sin(x)+tan(x)9");
    EXPECT_EQ(changes, 1);
    IupDestroy(dialog);
    IupFlush();
}

}  // namespace
