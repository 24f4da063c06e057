// Folders of a run: the device file's folder and the output folder.
#include <gtest/gtest.h>

#include <string>

#include "ekRunFolders.h"
#include "kovbase.h"
#include "nucore.h"
#include "resultTestSupport.h"

namespace {

TEST(RunEntryFolders, InputFolderEndsAtTheLastSeparatorOfEitherKind)
{
    const struct {
        const wchar_t* input;
        const wchar_t* folder;
    } cases[] = {
        {L"/data/cells/si.kovra", L"/data/cells/"},
        {L"C:\\data\\cells\\si.kovra", L"C:\\data\\cells\\"},
        {L"/data\\mixed/si.kovra", L"/data\\mixed/"},
        {L"si.kovra", L""},   // a bare name has no folder
        {L"/si.kovra", L""},  // the first character is not looked at
        {L"a", L""},          // too short
        {L"", L""},
        {nullptr, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ek_inputFolder(c.input), std::wstring(c.folder))
            << (c.input ? kov_toUtf8(c.input) : "null");
    }
    // A relative folder is taken from the current one, as a full path.
    char current[4096];
    ASSERT_NE(kov_getCurrentDir(current, sizeof current), 0);
    std::wstring here = kov_toWide(current);
    if (here.back() != L'/') {
        here += L'/';
    }
    EXPECT_EQ(ek_inputFolder(L"cells/si.kovra"), here + L"cells/");
    EXPECT_EQ(ek_inputFolder(L"./si.kovra"), here);
    EXPECT_EQ(ek_inputFolder(L"./cells/si.kovra"), here + L"cells/");
    const std::wstring tooLong = L"/d/" + std::wstring(1019, L'a');  // 1022 characters
    EXPECT_EQ(ek_inputFolder(tooLong.c_str()), L"");
    const std::wstring longest = L"/d/" + std::wstring(1018, L'a');  // 1021 characters
    EXPECT_EQ(ek_inputFolder(longest.c_str()), L"/d/");
}

class RunEntryOutputFolder : public ::testing::Test {
protected:
    TempFolder scratch;
    nuSigma sigma;
    nuParam param;
    std::wstring folder, log;
};

TEST_F(RunEntryOutputFolder, DotMeansTheDeviceFilesFolder)
{
    param.setOutDir(L".");
    const std::wstring input = scratch.wideFile("cell.kovra");
    ASSERT_TRUE(ek_outputFolder(input.c_str(), ek_inputFolder(input.c_str()), &param, &sigma,
                                &folder, &log));
    EXPECT_EQ(folder, scratch.wideFolder());
    EXPECT_EQ(log, scratch.wideFolder() + L"simulog.txt");
}

TEST_F(RunEntryOutputFolder, AnExistingFolderIsUsedWithItsSeparator)
{
    param.setOutDir(scratch.folder().wstring().c_str());  // no trailing separator
    ASSERT_TRUE(
        ek_outputFolder(L"/elsewhere/cell.kovra", L"/elsewhere/", &param, &sigma, &folder, &log));
    EXPECT_EQ(folder, scratch.wideFolder());
    EXPECT_EQ(log, scratch.wideFolder() + L"simulog.txt");
}

TEST_F(RunEntryOutputFolder, WithoutOneAFolderIsMadeBesideTheDeviceFile)
{
    const std::wstring input = scratch.wideFile("cell.kovra");
    ASSERT_TRUE(ek_outputFolder(input.c_str(), ek_inputFolder(input.c_str()), &param, &sigma,
                                &folder, &log));
    EXPECT_EQ(folder, scratch.wideFolder() + L"cell_out/");
    EXPECT_EQ(log, folder + L"simulog.txt");
    EXPECT_TRUE(std::filesystem::is_directory(scratch.folder() / "cell_out"));
    EXPECT_TRUE(sigma.isOK());
}

}  // namespace
