// kovraedit: which editor it starts, and that a file name full of shell
// characters reaches the editor as one untouched argument.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "EditorCommand.h"
#include "tempFolder.h"

TEST(EditorCommand, VisualWinsOverEditorAndXdgOpenIsTheLastResort)
{
    auto a = EditorCommand_arguments("code -w", "vi", "/w/cell.kovra");
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[2], "code -w \"$1\"");
    EXPECT_EQ(a[4], "/w/cell.kovra");
    EXPECT_EQ(EditorCommand_arguments("", "vi", "/w/x")[2], "vi \"$1\"");
    auto x = EditorCommand_arguments(nullptr, nullptr, "/w/x");
    ASSERT_EQ(x.size(), 2u);
    EXPECT_EQ(x[0], "xdg-open");
    EXPECT_TRUE(EditorCommand_arguments(nullptr, "", "").empty());
    EXPECT_EQ(EditorCommand_arguments(nullptr, "vi", "").size(), 4u);
}

TEST(EditorCommand, TheBuiltProgramHandsAStrangeFileNameOverUnchanged)
{
    TempFolder folder("kovraedit-");
    std::string record = folder.file("seen.txt");
    // An "editor" that writes its one argument into a file.
    std::string editor = "printf '%s' > '" + record + "'";
    std::string name = folder.file("a b;$(touch pwned)`x`'q\".kovra");
    std::string command = "VISUAL=\"" + std::string() + "\" EDITOR=\"" + editor + "\" " +
                          std::string(KOVRA_BIN_DIR) + "/kovraedit \"$KE_FILE\"";
    setenv("KE_FILE", name.c_str(), 1);
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readAll(record), name);
    EXPECT_FALSE(std::filesystem::exists(folder.file("pwned")));
    EXPECT_FALSE(std::filesystem::exists("pwned"));
}
