// Every question asked before the user's changes could be lost has the safe
// answer as its default: a stray Enter (or Escape) keeps the work, and only
// an explicit Yes lets it go.
#include <utime.h>

#include <functional>

#include "MainWindowFixture.h"
#include "kovraHandles.h"

namespace {

struct DiscardingCommand {
    const char* name;
    const char* question;                        // part of the question it asks
    std::function<void(MainWindowTest*)> setUp;  // what makes it ask (besides a modified document)
    std::function<void()> run;
};

void touchLater(const std::string& path)
{
    struct utimbuf later {};
    later.actime = later.modtime = time(nullptr) + 60;
    ASSERT_EQ(utime(path.c_str(), &later), 0);
}

}  // namespace

class SafeQuestionTest : public MainWindowTest {
protected:
    std::string file;
    std::string other;

    void openModified()
    {
        file = example("silicon-pn.kovra");
        other = example("gaas-cell.kovra");
        start({file});
        type(KOV_WindowMain_Thickness, "0.6");
        ASSERT_TRUE(Document_isModified(doc()));
    }

    // The document is the one the user was editing, edits and all.
    void expectWorkKept(const char* command)
    {
        ASSERT_NE(doc(), nullptr) << command;
        EXPECT_EQ(std::string(doc()->filename), file) << command;
        EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.6) << command;
        EXPECT_TRUE(Document_isModified(doc())) << command;
        EXPECT_NE(IupGetHandle(KOV_WindowMain), nullptr) << command << ": the window closed";
    }
};

TEST_F(SafeQuestionTest, EnterAndEscapeKeepTheWorkInEveryDiscardingQuestion)
{
    openModified();
    const std::vector<DiscardingCommand> commands = {
        {"close", "Close anyway?", nullptr, [] { WindowMain_close(); }},
        {"File > Exit", "Close anyway?", nullptr, [] { WindowMain_onClose(nullptr); }},
        {"new", "Proceed anyway?", nullptr, [] { WindowMain_onFileNew(nullptr); }},
        {"new template", "Proceed anyway?", nullptr,
         [] { WindowMain_onFileNewTemplate(IupGetHandle(KOV_Template01)); }},
        {"example", "Proceed anyway?", nullptr,
         [] { WindowMain_onExample(IupGetHandle(KOV_Example00)); }},
        {"open", "Proceed anyway?", nullptr, [] { WindowMain_onFileOpen(nullptr); }},
        {"recent file", "Proceed anyway?", nullptr,
         [] {
             WindowMain_onRecentMenuOpen(nullptr);
             WindowMain_onFileRecent(IupGetHandle(KOV_FileRecent01));
         }},
        {"reload", "Proceed anyway?", nullptr, [] { WindowMain_onFileReload(nullptr); }},
    };
    for (const DiscardingCommand& command : commands) {
        for (const char* key : {"ENTER", "ESCAPE"}) {
            IupScriptAnswer(command.question, key);
            command.run();
            IupFlush();
            const char* title = nullptr;
            const char* text = nullptr;
            IupScriptLastAsked(&title, &text);
            EXPECT_NE(std::string(text).find(command.question), std::string::npos) << command.name;
            EXPECT_STREQ(IupScriptLastDefault(), "No") << command.name;
            EXPECT_STREQ(IupScriptLastEscape(), "No") << command.name;
            expectWorkKept(command.name);
        }
    }
}

TEST_F(SafeQuestionTest, ReloadingAFileChangedOnDiskDefaultsToKeepingTheEditorsCopy)
{
    file = example("silicon-pn.kovra");
    start({file});
    touchLater(file);
    IupScriptAnswer("Reload it anyway?", "ENTER");
    WindowMain_onFileReload(nullptr);
    EXPECT_STREQ(IupScriptLastDefault(), "No");
    // Not reloaded: the document still counts the file as changed outside.
    EXPECT_TRUE(Document_isChangedOnDisk(doc()));

    IupScriptAnswer("Reload it anyway?", "YES");
    WindowMain_onFileReload(nullptr);
    EXPECT_FALSE(Document_isChangedOnDisk(doc()));
}

TEST_F(SafeQuestionTest, SavingOverAFileChangedOnDiskDefaultsToNotWriting)
{
    file = example("silicon-pn.kovra");
    start({file});
    type(KOV_WindowMain_Thickness, "0.6");
    touchLater(file);
    const std::string before = readAll(file);
    IupScriptAnswer("Save it anyway?", "ENTER");
    WindowMain_onFileSave(nullptr);
    EXPECT_STREQ(IupScriptLastDefault(), "No");
    EXPECT_EQ(readAll(file), before);
    EXPECT_TRUE(Document_isModified(doc()));
}

TEST_F(SafeQuestionTest, AnExplicitYesStillDiscardsAndCloses)
{
    openModified();
    IupScriptAnswer("Proceed anyway?", "YES");
    IupScriptAnswer("Open file", other.c_str());
    WindowMain_onFileOpen(nullptr);
    EXPECT_EQ(std::string(doc()->filename), other);
    EXPECT_FALSE(Document_isModified(doc()));
}
