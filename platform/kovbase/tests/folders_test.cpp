// Current and program folders.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "kovbase.h"

namespace {

class KovProgramFolder : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("KOVRA_APPDIR"); }
    void TearDown() override { unsetenv("KOVRA_APPDIR"); }
};

TEST_F(KovProgramFolder, IsTheFolderOfTheRunningProgram)
{
    char folder[1024];
    ASSERT_NE(kov_getAppDirA(folder, sizeof folder), 0);
    EXPECT_EQ(std::string(folder), std::string(KOVRA_BIN_DIR) + "/");
    wchar_t wide[1024];
    ASSERT_NE(kov_getAppDirW(wide, 1024), 0);
    EXPECT_EQ(std::wstring(wide), kov_toWide(folder));
}

TEST_F(KovProgramFolder, EnvironmentRedirectGetsATrailingSeparator)
{
    setenv("KOVRA_APPDIR", "/opt/kovra\\bin", 1);
    char folder[1024];
    ASSERT_NE(kov_getAppDirA(folder, sizeof folder), 0);
    EXPECT_STREQ(folder, "/opt/kovra/bin/");
}

TEST_F(KovProgramFolder, TooSmallBufferFailsInsteadOfCutting)
{
    setenv("KOVRA_APPDIR", "/opt/kovra/bin/", 1);
    char folder[8] = "unset";
    EXPECT_EQ(kov_getAppDirA(folder, sizeof folder), 0);
    wchar_t wide[8];
    EXPECT_EQ(kov_getAppDirW(wide, 8), 0);
}

TEST(KovCurrentFolder, EndsWithASeparator)
{
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    char folder[1024];
    ASSERT_NE(kov_getCurrentDir(folder), 0);
    const std::string expected = std::string(cwd) == "/" ? "/" : std::string(cwd) + "/";
    EXPECT_EQ(std::string(folder), expected);
    char tiny[2];
    EXPECT_EQ(kov_getCurrentDir(tiny, sizeof tiny), 0);
}

}  // namespace
