// A program's folders: beside the program, and the per-user settings folder
// after the XDG rule.
#include <gtest/gtest.h>

#include <cstdlib>

#include "appFolders.h"
#include "tempFolder.h"

TEST(AppFolders, ProgramFoldersAndXdgSettingsFolder)
{
    AppFolders f;
    ASSERT_TRUE(AppFolders_make("/opt/kovra/bin", "/home/me/cfg", "/home/me", "KovraDevice", f));
    EXPECT_EQ(f.app, "/opt/kovra/bin/");
    EXPECT_EQ(f.bin, "/opt/kovra/bin/");
    EXPECT_EQ(f.doc, "/opt/kovra/bin/doc/");
    EXPECT_EQ(f.examples, "/opt/kovra/bin/examples/");
    EXPECT_EQ(f.config, "/home/me/cfg/KovraDevice/");
    // A relative XDG_CONFIG_HOME is ignored, as the rule says.
    ASSERT_TRUE(AppFolders_make("/b/", "cfg", "/home/me", "KovraDevice", f));
    EXPECT_EQ(f.config, "/home/me/.config/KovraDevice/");
    ASSERT_TRUE(AppFolders_make("/b/", nullptr, "/home/me/", "KovraDevice", f));
    EXPECT_EQ(f.config, "/home/me/.config/KovraDevice/");
    EXPECT_FALSE(AppFolders_make("/b/", nullptr, nullptr, "KovraDevice", f));
    EXPECT_FALSE(AppFolders_make("", "/x", "/h", "KovraDevice", f));
}

TEST(AppFolders, RunningProgramCreatesItsSettingsFolder)
{
    TempFolder home("appfolders-");
    setenv("XDG_CONFIG_HOME", (home.path() + "config").c_str(), 1);
    AppFolders f;
    ASSERT_TRUE(AppFolders_get("KovraDevice", f));
    EXPECT_EQ(f.config, home.path() + "config/KovraDevice/");
    EXPECT_TRUE(std::filesystem::is_directory(f.config));
    EXPECT_FALSE(f.bin.empty());
    EXPECT_EQ(f.bin.back(), '/');
    unsetenv("XDG_CONFIG_HOME");
}
