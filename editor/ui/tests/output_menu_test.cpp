// The output console's right-click menu in the real window: what it offers
// (the file under the caret, Copy only with a selection), what each item
// does, and when no menu appears at all. The menu is answered from the
// test's script like any question.
#include <chrono>
#include <filesystem>
#include <thread>

#include "MainWindowFixture.h"
#include "Output.h"
#include "kovraHandles.h"
#include "iupScintillaMessages.h"
#include "waitUntil.h"

namespace {

class ConsoleMenuTest : public MainWindowTest {
protected:
    Ihandle* view() { return IupGetHandle(KOV_Output); }
    sptr_t send(unsigned int message, uptr_t w = 0, sptr_t l = 0)
    {
        return IupScintillaSendMessage(view(), message, w, l);
    }

    // Right button pressed and released over the console; the menu (if any)
    // is answered with the item titled choice. Returns the items offered,
    // or "" when no menu was shown.
    std::string rightClick(const char* choice)
    {
        const int asked = IupScriptAskedCount();
        IupScriptAnswer(nullptr, choice);
        EXPECT_EQ(Output_onButton(view(), IUP_BUTTON3, 1, 10, 10, nullptr), IUP_IGNORE);
        EXPECT_EQ(Output_onButton(view(), IUP_BUTTON3, 0, 10, 10, nullptr), IUP_IGNORE);
        if (IupScriptAskedCount() == asked) {
            IupScriptEnd();  // the unused answer
            IupScriptBegin();
            return "";
        }
        const char* title = nullptr;
        const char* items = nullptr;
        IupScriptLastAsked(&title, &items);
        return items ? items : "";
    }
    // Puts the caret inside the first occurrence of text.
    void caretIn(const std::string& text)
    {
        std::string all;
        for (long p = 0; p < send(SCI_GETLENGTH); ++p) {
            all += static_cast<char>(send(SCI_GETCHARAT, p));
        }
        const size_t at = all.find(text);
        ASSERT_NE(at, std::string::npos) << text;
        send(SCI_SETEMPTYSELECTION, at + 2);
    }
};

TEST_F(ConsoleMenuTest, AFileNamedUnderTheCaretIsOfferedAndOpensInTheEditor)
{
    const std::string device = example("silicon-pn.kovra");
    start({device});
    const std::string result = folder.write("simulout_jv.txt", "# Kovra <JV>\n");
    Output_print(("[RESULT]  " + result + "\n").c_str());
    Output_print("[INFO]    missing.txt was not written\n");

    // A stand-in kovraedit that writes down its arguments, one a line.
    std::filesystem::create_directories(folder.file("bin"));
    const std::string edit = folder.write(
        "bin/kovraedit", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
    std::filesystem::permissions(edit, std::filesystem::perms::owner_all);
    IupSetStrGlobal(KOV_BinDir, folder.file("bin/").c_str());

    caretIn("simulout_jv");
    EXPECT_EQ(rightClick("Open 'simulout_jv.txt'"),
              "Open 'simulout_jv.txt'|Copy|Select All|Clear|Zoom In|Zoom Out|Normal Viewing");
    waitUntil([&] {
        IupLoopStep();
        return !readAll(folder.file("bin/args.txt")).empty();
    });
    EXPECT_EQ(readAll(folder.file("bin/args.txt")), result + "\n") << "the file, as one argument";

    // Neither a file that does not exist nor the open device file itself.
    caretIn("missing.txt");
    EXPECT_EQ(rightClick("Select All"), "Select All|Clear|Zoom In|Zoom Out|Normal Viewing");
    EXPECT_EQ(send(SCI_GETSELECTIONSTART), 0);
    EXPECT_EQ(send(SCI_GETSELECTIONEND), send(SCI_GETLENGTH));
    caretIn("silicon-pn.kovra");
    EXPECT_EQ(rightClick("Zoom In"), "Select All|Clear|Zoom In|Zoom Out|Normal Viewing");
    // Copy is offered while text is selected.
    send(SCI_SETSEL, 0, 8);
    EXPECT_EQ(rightClick("Normal Viewing"),
              "Copy|Select All|Clear|Zoom In|Zoom Out|Normal Viewing");
}

TEST_F(ConsoleMenuTest, ZoomAndClearActOnTheConsole)
{
    start({example("silicon-pn.kovra")});
    send(SCI_SETEMPTYSELECTION, 0);
    rightClick("Zoom In");
    rightClick("Zoom In");
    EXPECT_EQ(send(SCI_GETZOOM), 2);
    rightClick("Zoom Out");
    EXPECT_EQ(send(SCI_GETZOOM), 1);
    rightClick("Normal Viewing");
    EXPECT_EQ(send(SCI_GETZOOM), 0);
    ASSERT_GT(Output_getLength(), 0);
    rightClick("Clear");
    EXPECT_EQ(Output_getLength(), 0);
    EXPECT_EQ(send(SCI_GETREADONLY), 1) << "the console stays read-only";
}

TEST_F(ConsoleMenuTest, NoMenuOnAnEmptyConsoleAndNoneForTheOtherButtons)
{
    start({example("silicon-pn.kovra")});
    EXPECT_EQ(Output_onButton(view(), IUP_BUTTON1, 0, 10, 10, nullptr), IUP_DEFAULT);
    Output_clear();
    EXPECT_EQ(rightClick("Clear"), "");
}

}  // namespace
