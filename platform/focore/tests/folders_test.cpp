// Output and application folders.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

#include "tempFolder.h"
#include "focore.h"
#include "kovbase.h"

namespace {

struct OutputDir {
    wchar_t folder[FO_PATH_SIZE];
    wchar_t second[FO_PATH_SIZE];
    wchar_t log[FO_PATH_SIZE];
    bool ok = false;
    OutputDir(const std::string& input, bool dated, const wchar_t* logName = L"simulog.txt")
    {
        ok = fo_createOutputDir(input.c_str(), logName, folder, second, log, dated);
    }
    std::string folderA() const { return kov_toUtf8(folder); }
};

TEST(FoCreateOutputDir, CreatesTheFolderBesideTheInput)
{
    TempFolder temp;
    const std::string input = temp.write("cell.v2.kovra", "# Kovra <SL>\n");
    OutputDir out(input, false);
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.folderA(), temp.path() + "cell.v2_out/");
    EXPECT_STREQ(out.second, L"cell.v2_out");
    EXPECT_EQ(kov_toUtf8(out.log), temp.path() + "cell.v2_out/simulog.txt");
    EXPECT_EQ(kov_dirExistsA(out.folderA().c_str()), 1);

    OutputDir again(input, false);  // an existing folder is reused
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.folderA(), out.folderA());
}

TEST(FoCreateOutputDir, DatedFolderCarriesTheTime)
{
    TempFolder temp;
    OutputDir out(temp.file("cell.kovra"), true, nullptr);
    ASSERT_TRUE(out.ok);
    // "<folder>cell_YYYYMMDD_HHMMSS/"
    const std::string folder = out.folderA();
    const std::string stamp = folder.substr(std::min(folder.size(), temp.path().size() + 5));
    ASSERT_EQ(folder.substr(0, temp.path().size() + 5), temp.path() + "cell_");
    ASSERT_EQ(stamp.size(), 16u) << folder;
    for (size_t i = 0; i < 15; ++i) {
        EXPECT_TRUE(i == 8 ? stamp[i] == '_' : std::isdigit(static_cast<unsigned char>(stamp[i])))
            << folder;
    }
    EXPECT_EQ(stamp.back(), '/');
    EXPECT_EQ(kov_dirExistsA(out.folderA().c_str()), 1);
    EXPECT_STREQ(out.log, L"");  // no log name given
}

TEST(FoCreateOutputDir, AcceptsBackslashesAndBareFileNames)
{
    TempFolder temp;
    std::string windows = temp.file("dev.kovra");
    for (char& c : windows) {
        if (c == '/') {
            c = '\\';
        }
    }
    OutputDir out(windows, false);
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.folderA(), temp.path() + "dev_out/");

    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(temp.path().c_str()), 0);
    OutputDir bare("bare.kovra", false);
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_TRUE(bare.ok);
    char real[PATH_MAX];
    ASSERT_NE(realpath(temp.path().c_str(), real), nullptr);
    EXPECT_EQ(bare.folderA(), std::string(real) + "/bare_out/");
}

TEST(FoCreateOutputDir, FailuresTellAnInvalidPathFromAnUnwritableFolder)
{
    TempFolder temp;
    for (const char* invalid : {"", "/tmp/folder/"}) {
        OutputDir out(invalid, false);
        EXPECT_FALSE(out.ok) << invalid;
        EXPECT_STREQ(out.folder, L"") << invalid;
    }
    EXPECT_FALSE(fo_createOutputDir(nullptr, L"log", nullptr, nullptr, nullptr, false));

    temp.write("afile", "x");  // a file where a folder should be made
    OutputDir blocked(temp.file("afile/cell.kovra"), false);
    EXPECT_FALSE(blocked.ok);
    EXPECT_EQ(blocked.folderA(), temp.path() + "afile/cell_out/");

    temp.write("taken_out", "x");
    OutputDir taken(temp.file("taken.kovra"), false);
    EXPECT_FALSE(taken.ok);
    EXPECT_EQ(taken.folderA(), temp.path() + "taken_out/");

    OutputDir tooLong(temp.path() + std::string(1100, 'n') + ".kovra", false);
    EXPECT_FALSE(tooLong.ok);
    EXPECT_STREQ(tooLong.folder, L"");
}

class FoAppDir : public ::testing::Test {
protected:
    void TearDown() override { unsetenv("KOVRA_APPDIR"); }
};

TEST_F(FoAppDir, ProgramFolderAndItsDataFolder)
{
    unsetenv("KOVRA_APPDIR");
    char first[FO_PATH_SIZE];
    char second[FO_PATH_SIZE];
    ASSERT_TRUE(fo_getAppDirA(first, second));
    EXPECT_EQ(std::string(first), std::string(KOVRA_BIN_DIR) + "/");
    EXPECT_EQ(std::string(second), std::string(KOVRA_BIN_DIR) + "/etc/");

    setenv("KOVRA_APPDIR", "/opt/kovra", 1);
    ASSERT_TRUE(fo_getAppDirA(first, nullptr));
    EXPECT_STREQ(first, "/opt/kovra/");
    ASSERT_TRUE(fo_getAppDirA(nullptr, second));
    EXPECT_STREQ(second, "/opt/kovra/etc/");

    setenv("KOVRA_APPDIR", std::string(1021, 'a').c_str(), 1);  // "etc/" would not fit
    EXPECT_FALSE(fo_getAppDirA(first, second));
}

}  // namespace
