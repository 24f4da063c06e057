// Open With KovraEdit on a machine without a text editor: the real
// kovraedit finds none to start and ends with a failure, and the status
// line of the real window says so; with one, nothing is reported.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "EditorLaunch.h"
#include "MainWindowFixture.h"
#include "Output.h"
#include "iupScintillaMessages.h"
#include "kovraHandles.h"
#include "waitUntil.h"

namespace {

using Clock = std::chrono::steady_clock;

class EditorLaunchTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (const char* name : {"VISUAL", "EDITOR", "PATH"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name,
                               value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
        unsetenv("VISUAL");
        unsetenv("EDITOR");
        // No xdg-open either: a folder of no programs is the whole path.
        std::filesystem::create_directories(folder.file("empty"));
        setenv("PATH", folder.file("empty").c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        MainWindowTest::TearDown();
    }
    // Runs the window's events until the launch watch has let go.
    bool waitForTheWatch()
    {
        return waitUntil(
            [] {
                IupLoopStep();
                return !EditorLaunch_watching();
            },
            std::chrono::seconds(20));
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(EditorLaunchTest, NoTextEditorToStartIsReportedInTheStatusLine)
{
    const std::string file = example("silicon-pn.kovra");
    start({file});
    ASSERT_EQ(std::string(IupGetGlobal(KOV_BinDir)), std::string(KOVRA_BIN_DIR) + "/");
    fire(KOV_FileReopen);
    ASSERT_TRUE(waitForTheWatch());
    EXPECT_NE(status().find("KovraEdit could not open 'silicon-pn.kovra'"), std::string::npos)
        << status();
    EXPECT_NE(status().find("set VISUAL or EDITOR"), std::string::npos) << status();
}

TEST_F(EditorLaunchTest, AnEditorThatStartsIsNotReported)
{
    const std::string file = example("silicon-pn.kovra");
    // An "editor" that takes the file and ends well.
    const std::string editor = folder.write("empty/fine-editor", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
    setenv("VISUAL", editor.c_str(), 1);
    start({file});
    fire(KOV_FileReopen);
    ASSERT_TRUE(waitForTheWatch());
    EXPECT_EQ(status().find("KovraEdit"), std::string::npos) << status();
}

// The console's "Open 'file'" item starts the same kovraedit and is watched
// the same way.
TEST_F(EditorLaunchTest, TheConsoleItemReportsNoTextEditorToo)
{
    start({example("silicon-pn.kovra")});
    const std::string result = folder.write("simulout_jv.txt", "# Kovra <JV>\n");
    Output_print(("[RESULT]  " + result + "\n").c_str());
    Ihandle* view = IupGetHandle(KOV_Output);
    std::string all;
    for (long p = 0; p < IupScintillaSendMessage(view, SCI_GETLENGTH, 0, 0); ++p) {
        all += static_cast<char>(IupScintillaSendMessage(view, SCI_GETCHARAT, p, 0));
    }
    const size_t at = all.find("simulout_jv");
    ASSERT_NE(at, std::string::npos) << all;
    IupScintillaSendMessage(view, SCI_SETEMPTYSELECTION, at + 2, 0);
    IupScriptAnswer(nullptr, "Open 'simulout_jv.txt'");
    Output_onButton(view, IUP_BUTTON3, 1, 10, 10, nullptr);
    Output_onButton(view, IUP_BUTTON3, 0, 10, 10, nullptr);
    ASSERT_TRUE(waitForTheWatch());
    EXPECT_NE(status().find("KovraEdit could not open 'simulout_jv.txt'"), std::string::npos)
        << status();
}

// The Tools menu's KovraEdit names no file; kovraedit then needs VISUAL or
// EDITOR, and without them it fails, which is reported.
TEST_F(EditorLaunchTest, TheToolsItemReportsNoTextEditorToo)
{
    start({example("silicon-pn.kovra")});
    IupTestClick(h(KOV_KovraTool_KovraEdit));
    ASSERT_TRUE(waitForTheWatch());
    EXPECT_NE(status().find("KovraEdit could not start a text editor"), std::string::npos)
        << status();
    EXPECT_NE(status().find("set VISUAL or EDITOR"), std::string::npos) << status();
}

}  // namespace
