// Result files are written whole or not at all, never through a link planted
// under a result name, and one output folder serves one run at a time.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
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

// Takes the folder's lock as another run would; the descriptor that holds
// it (closing it lets the lock go), or -1 when it cannot be had.
int holdFolderLock(const TempFolder& scratch)
{
    const std::string lockPath = (scratch.folder() / ".simulock").string();
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT, 0644);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST(OutputFolderLock, ASecondRunIntoTheSameFolderIsRefused)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder())));
    // Another run holds the folder.
    const int other = holdFolderLock(scratch);
    ASSERT_GE(other, 0);
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

// A folder the run refuses is refused before it is locked: the lock is a
// file, and a refused folder must get nothing of the run. An existing
// folder with too long a name stands for the root here (a test does not
// write into the real root, whoever runs it).
TEST(OutputFolderLock, ARefusedFolderGetsNoLockNorAnyOtherFile)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(""));
    std::string refused = kov_toUtf8(scratch.wideFolder());
    while (refused.size() < 1000) {
        refused += std::string(std::min<size_t>(100, 1000 - refused.size()), 'd') + "/";
    }
    ASSERT_GT(refused.size(), 990u);
    ASSERT_TRUE(fs::create_directories(refused));
    NameBuffers names;
    const RunResult run = runDevice(
        scratch.wideFile("cell.kovra"), names, false, false,
        [&](nuParam& param) { ASSERT_TRUE(param.setOutDir(kov_toWide(refused).c_str())); });
    EXPECT_FALSE(run.ok);
    EXPECT_NE(run.console.find("[ERROR]   invalid output directory"), std::string::npos)
        << run.console;
    EXPECT_TRUE(fs::is_empty(refused));
    // Nor was a folder of its own made beside the device file.
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(scratch.folder())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 2u);  // the device file and the refused folder's first part
}

// The root, however it is written, and folder names of the wrong length
// are refused; nothing is looked at on the disk but whether the folder
// exists.
TEST(OutputFolderCheck, RefusesTheRootAndNamesOfTheWrongLength)
{
    TempFolder scratch;
    const std::wstring folder = scratch.wideFolder();
    const std::wstring log = folder + L"simulog.txt";
    const struct {
        std::wstring folder;
        std::wstring log;
        const char* message;  // null: accepted
    } cases[] = {
        {folder, log, nullptr},
        {L"/", L"/simulog.txt", "invalid output directory"},
        {L"//", L"//simulog.txt", "invalid output directory"},
        {L"///", L"///simulog.txt", "invalid output directory"},
        {L"/./", L"/./simulog.txt", "invalid output directory"},
        {L"\\\\", L"/simulog.txt", "invalid output directory"},
        {L"/" + std::wstring(990, L'd'), log, "invalid output directory"},
        {folder, L"ab", "invalid log filename"},
        {folder + L"missing/", log, "output directory not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(kov_toUtf8(c.folder));
        nuSigma sigma;
        testing::internal::CaptureStdout();
        const bool valid = ekResult::outputPathsValid(c.folder.c_str(), c.log.c_str(), &sigma);
        const std::string console = testing::internal::GetCapturedStdout();
        EXPECT_EQ(valid, c.message == nullptr);
        if (c.message != nullptr) {
            EXPECT_NE(console.find(std::string("[ERROR]   ") + c.message), std::string::npos)
                << console;
        }
    }
}

// A run killed while it wrote leaves a temporary beside the result; the
// next run that holds the folder's lock removes every such file of the
// suite's own naming, and nothing else. A run refused the lock removes
// nothing: the run that holds it may be writing those files.
TEST(OutputFolderLock, TheRunHoldingTheLockRemovesLeftoverTemporaries)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder())));
    const char* leftovers[] = {"simulout_dist_057.txt.part7821", "simulout_jv.txt.part1",
                               "simulinput.kovra.part42",        "simulinput_bias.txt.part4194304",
                               "simuldevice.txt.part99999",      "mobility.lua.part313"};
    const char* kept[] = {
        "notes.part",       "x.partial",          "simulout_jv.txt.part",
        "simulout.part12a", "data.txt.part123",   "simulout_jv.txt.part12345678901",
        ".part123",         "simulout_cv.part-3", "simulation_notes.txt.part3"};
    for (const char* name : leftovers) {
        scratch.write(name, "cut short\n");
    }
    for (const char* name : kept) {
        scratch.write(name, "the user's\n");
    }
    fs::create_directory(scratch.folder() / "simulout_qw.txt.part77");  // a folder, not a file

    const int other = holdFolderLock(scratch);
    ASSERT_GE(other, 0);
    NameBuffers names;
    RunResult run = runDevice(scratch.wideFile("cell.kovra"), names);
    EXPECT_FALSE(run.ok);
    for (const char* name : leftovers) {
        EXPECT_TRUE(scratch.exists(name)) << name;
    }
    ::close(other);

    run = runDevice(scratch.wideFile("cell.kovra"), names);
    ASSERT_TRUE(run.ok) << run.console;
    for (const char* name : leftovers) {
        EXPECT_FALSE(scratch.exists(name)) << name;
    }
    for (const char* name : kept) {
        EXPECT_EQ(readText(scratch.folder() / name), "the user's\n") << name;
    }
    EXPECT_TRUE(fs::is_directory(scratch.folder() / "simulout_qw.txt.part77"));
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
