// Result files are written whole or not at all, never through a link planted
// under a result name, and one output folder serves one run at a time.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "caseName.h"
#include "ekResultWriter.h"
#include "nucore.h"
#include "runEntryTestSupport.h"

namespace {

namespace fs = std::filesystem;

bool hasTemporaryFiles(const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find(ekResult::TEMPORARY_MARK) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Each result name is planted as a link to a file outside the output
// folder; the run replaces the link and leaves the outside file alone.
class PlantedLinks : public testing::TestWithParam<const char*> {};

TEST_P(PlantedLinks, AreReplacedNeverFollowed)
{
    TempFolder scratch;
    TempFolder outside;
    outside.write("victim.txt", "precious\n");
    fs::create_symlink(outside.folder() / "victim.txt", scratch.folder() / GetParam());
    // A bias file, so that the input copies include a side file.
    scratch.write("bias.txt", "0\n0.1\n");
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder()), 100, 100, "",
                                             "[Voltage]\n    Voltage.Source=\"bias.txt\"\n"));
    NameBuffers names;
    const RunResult run = runDevice(scratch.wideFile("cell.kovra"), names);
    ASSERT_TRUE(run.ok) << run.console;
    EXPECT_EQ(readText(outside.folder() / "victim.txt"), "precious\n");
    EXPECT_FALSE(fs::is_symlink(scratch.folder() / GetParam()));
    EXPECT_TRUE(fs::is_regular_file(scratch.folder() / GetParam()));
    EXPECT_FALSE(hasTemporaryFiles(scratch.folder()));
}

INSTANTIATE_TEST_SUITE_P(ResultNames, PlantedLinks,
                         testing::Values("simuldevice.txt", "simulout_dist_1.txt",
                                         "simulout_jv.txt", "simulinput.kovra",
                                         "simulinput_bias.txt"),
                         NamedByPrint());

TEST(OutputFolderLock, ASecondRunIntoTheSameFolderIsRefused)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder())));
    // Another run holds the folder.
    const std::string lockPath = (scratch.folder() / ".simulock").string();
    const int other = ::open(lockPath.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    NameBuffers names;
    RunResult run = runDevice(scratch.wideFile("cell.kovra"), names);
    EXPECT_FALSE(run.ok);
    EXPECT_NE(run.console.find("[ERROR]   the output directory \"" +
                               kov_toUtf8(scratch.wideFolder()) + "\" is in use by another run"),
              std::string::npos)
        << run.console;
    EXPECT_FALSE(scratch.exists("simulout_dist_1.txt"));
    ::close(other);

    // Once the other run has ended, the folder is free again.
    run = runDevice(scratch.wideFile("cell.kovra"), names);
    EXPECT_TRUE(run.ok) << run.console;
    EXPECT_TRUE(scratch.exists("simulout_dist_1.txt"));
}

TEST(ResultWriter, AFileThatCannotBeCompletedIsReportedAndLeavesTheOldOne)
{
    TempFolder scratch;
    scratch.write("simulout_jv.txt", "old\n");
    nuSigma sigma;
    FILE* f = ekResult::open(scratch.wideFile("simulout_jv.txt"));
    ASSERT_NE(f, nullptr);
    kov_FileWriteW(f, L"new\n");
    // The temporary file vanishes before it is complete (a folder cleaned
    // under the run): the close must say so.
    for (const auto& entry : fs::directory_iterator(scratch.folder())) {
        if (entry.path().filename().string().find(ekResult::TEMPORARY_MARK) != std::string::npos) {
            fs::create_directory(scratch.folder() / "blocker");
            fs::remove(entry.path());
            fs::rename(scratch.folder() / "blocker", entry.path());  // a folder where the file was
        }
    }
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ekResult::close(f, &sigma));
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(f, nullptr);
    EXPECT_NE(console.find("[ERROR]   cannot write file \"" +
                           kov_toUtf8(scratch.wideFile("simulout_jv.txt"))),
              std::string::npos)
        << console;
    EXPECT_FALSE(sigma.isOK());
    EXPECT_EQ(readText(scratch.folder() / "simulout_jv.txt"), "old\n");
}

TEST(ResultWriter, CompleteFileReplacesTheOldOneOnlyWhenClosed)
{
    TempFolder scratch;
    scratch.write("simulout_cv.txt", "old\n");
    nuSigma sigma;
    FILE* f = ekResult::open(scratch.wideFile("simulout_cv.txt"));
    ASSERT_NE(f, nullptr);
    kov_FileWriteW(f, L"second\n");
    EXPECT_EQ(readText(scratch.folder() / "simulout_cv.txt"), "old\n");  // not yet in place
    EXPECT_TRUE(ekResult::close(f, &sigma));
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(readText(scratch.folder() / "simulout_cv.txt"), "second\n");
    EXPECT_FALSE(hasTemporaryFiles(scratch.folder()));
    EXPECT_TRUE(sigma.isOK());
}

TEST(ResultWriter, ADiscardedFileLeavesNeitherItsTextNorAnOlderFile)
{
    TempFolder scratch;
    scratch.write("simulout_cv.txt", "old\n");
    FILE* f = ekResult::open(scratch.wideFile("simulout_cv.txt"));
    ASSERT_NE(f, nullptr);
    kov_FileWriteW(f, L"first\n");
    ekResult::discard(f);
    EXPECT_EQ(f, nullptr);
    EXPECT_FALSE(scratch.exists("simulout_cv.txt"));
    EXPECT_FALSE(hasTemporaryFiles(scratch.folder()));
}

}  // namespace
