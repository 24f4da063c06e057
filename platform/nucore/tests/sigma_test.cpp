// The status channel: log lines, report lines and the stop request.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "tempFolder.h"
#include "waitUntil.h"
#include "kovbase.h"
#include "nuSigma.h"

namespace {

void pointAt(wchar_t* field, const std::string& path)
{
    kov_copyW(field, nuSigma::PATH_SIZE, kov_toWide(path).c_str());
}

// Polls stopIt the way the engine does, for at most timeoutMs. A stop that
// must come is waited for as long as a busy machine needs; one that must
// not come is watched for a short while.
bool waitForStop(nuSigma& sigma, double timeoutMs = WAIT_DEADLINE.count())
{
    return waitUntil([&] { return sigma.stopIt(); },
                     std::chrono::milliseconds(static_cast<long>(timeoutMs)),
                     std::chrono::milliseconds(5));
}

TEST(NuSigmaUpdate, ErrorLineRaisesTheFlagAndReachesConsoleAndLog)
{
    TempFolder folder;
    nuSigma sigma;
    sigma.setOutputType(nuSigma::OUTPUT_VERBOSE | nuSigma::OUTPUT_LOGFILE);
    pointAt(sigma.logFilename, folder.file("simulog.txt"));

    testing::internal::CaptureStdout();
    sigma.update(L"[INFO]    T = 300 K\n", 0);
    EXPECT_TRUE(sigma.isOK());
    sigma.update(L"[ERROR]   invalid syntax at line 3", 1);  // no line end of its own
    const std::string console = testing::internal::GetCapturedStdout();

    EXPECT_FALSE(sigma.isOK());
    EXPECT_NE(sigma.err, 0);
    const std::string expected = "[INFO]    T = 300 K\n[ERROR]   invalid syntax at line 3\n";
    EXPECT_EQ(console, expected);
    EXPECT_EQ(readAll(folder.file("simulog.txt")), expected);
    EXPECT_STREQ(sigma.message, L"[ERROR]   invalid syntax at line 3");
}

TEST(NuSigmaUpdate, WarningsAndInformationLeaveTheFlagAlone)
{
    nuSigma sigma;
    testing::internal::CaptureStdout();
    sigma.update(L"[WARNING] at line 2: \u00E9\n", 2, L"caption");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[WARNING] at line 2: \xC3\xA9\n");
    EXPECT_TRUE(sigma.isOK());
    EXPECT_STREQ(sigma.caption, L"caption");
}

TEST(NuSigmaUpdate, LogFileOnlyWithBitZero)
{
    TempFolder folder;
    nuSigma sigma;
    sigma.setOutputType(nuSigma::OUTPUT_VERBOSE);
    pointAt(sigma.logFilename, folder.file("simulog.txt"));
    testing::internal::CaptureStdout();
    sigma.update(L"line\n", 1);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(kov_fileExistsA(folder.file("simulog.txt").c_str()), 0);
}

// /dev/full takes a file open but fails every write that reaches it, as a
// full disk does.
constexpr const char* FULL_DEVICE = "/dev/full";

TEST(NuSigmaUpdate, ALogThatCannotBeWrittenFailsTheRunOnce)
{
    if (::access(FULL_DEVICE, W_OK) != 0) {
        GTEST_SKIP() << FULL_DEVICE << " is missing";
    }
    nuSigma sigma;
    sigma.setOutputType(nuSigma::OUTPUT_LOGFILE);
    pointAt(sigma.logFilename, FULL_DEVICE);
    testing::internal::CaptureStdout();
    sigma.update(L"[INFO]    first\n", 0);
    sigma.update(L"[INFO]    second\n", 0);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, std::string("[INFO]    first\n[ERROR]   cannot write the log file \"") +
                           FULL_DEVICE + "\"\n[INFO]    second\n");
    EXPECT_FALSE(sigma.isOK());
    // The engine clears the error flag between steps; the lost output stays.
    sigma.reset();
    EXPECT_TRUE(sigma.outputLost);
}

TEST(NuSigmaComm, AnExchangeFileThatCannotBeWrittenIsWarnedOnce)
{
    if (::access(FULL_DEVICE, W_OK) != 0) {
        GTEST_SKIP() << FULL_DEVICE << " is missing";
    }
    nuSigma sigma;
    pointAt(sigma.commFilename, FULL_DEVICE);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(sigma.writeComm(L"[SEND]ZP:500"));
    EXPECT_FALSE(sigma.writeComm(L"[SEND]ZP:600"));
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console,
              std::string("[WARNING] cannot write the exchange file \"") + FULL_DEVICE + "\"\n");
    // The results are not touched by it: the run goes on.
    EXPECT_TRUE(sigma.isOK());
    EXPECT_FALSE(sigma.outputLost);
}

TEST(NuSigmaUpdate, ResetClearsStatusFlagAndTexts)
{
    nuSigma sigma;
    testing::internal::CaptureStdout();
    sigma.update(L"[ERROR]   x\n", 1, L"cap");
    testing::internal::GetCapturedStdout();
    sigma.status = 12;
    sigma.reset();
    EXPECT_EQ(sigma.status, -1);
    EXPECT_TRUE(sigma.isOK());
    EXPECT_STREQ(sigma.message, L"");
    EXPECT_STREQ(sigma.caption, L"");
}

TEST(NuSigmaUpdate, OverlongMessageIsKeptCutButPrintedWhole)
{
    nuSigma sigma;
    const std::wstring text(3000, L'm');
    testing::internal::CaptureStdout();
    sigma.update(text.c_str(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(3000, 'm') + "\n");
    EXPECT_EQ(std::wstring(sigma.message).size(), nuSigma::MESSAGE_SIZE - 1);
}

TEST(NuSigmaComm, ReportLinesAreAppendedOnePerCall)
{
    TempFolder folder;
    nuSigma sigma;
    EXPECT_FALSE(sigma.writeComm(L"[SEND]ZP:500"));  // no exchange file yet
    pointAt(sigma.commFilename, folder.file("simulcomm.txt"));
    EXPECT_TRUE(sigma.writeComm(L"[SEND]ZP:500"));
    EXPECT_TRUE(sigma.writeComm(L"[SEND]JV:/tmp/r\u00E9s_jv.txt\n"));
    EXPECT_EQ(readAll(folder.file("simulcomm.txt")),
              "[SEND]ZP:500\n[SEND]JV:/tmp/r\xC3\xA9s_jv.txt\n");
    pointAt(sigma.commFilename, folder.file("no/such/folder/simulcomm.txt"));
    EXPECT_FALSE(sigma.writeComm(L"[SEND]ZP:500"));
}

TEST(NuSigmaStop, AnotherProcessAppendingStopIsSeenAndStays)
{
    TempFolder folder;
    const std::string comm = folder.file("simulcomm.txt");
    nuSigma sigma;
    pointAt(sigma.commFilename, comm);
    ASSERT_TRUE(sigma.writeComm(L"[SEND]ZP:500"));
    EXPECT_FALSE(waitForStop(sigma, 100));

    const std::string command = "echo Stop >> '" + comm + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(waitForStop(sigma));

    // Sticky: the request stays even once the file is gone.
    std::remove(comm.c_str());
    EXPECT_TRUE(sigma.stopIt());
    EXPECT_TRUE(sigma.stopIt());
}

TEST(NuSigmaStop, OnlyAWholeStopLineCounts)
{
    TempFolder folder;
    nuSigma sigma;
    pointAt(sigma.commFilename,
            folder.write("simulcomm.txt", "[SEND]VP:3\nStopped\nNo Stop\nstop\n"));
    EXPECT_FALSE(waitForStop(sigma, 150));
    EXPECT_FALSE(sigma.stopIt());
}

TEST(NuSigmaStop, NoExchangeFileNeverStops)
{
    nuSigma sigma;
    EXPECT_FALSE(waitForStop(sigma, 60));
    TempFolder folder;
    pointAt(sigma.commFilename, folder.file("missing.txt"));
    EXPECT_FALSE(waitForStop(sigma, 60));
}

TEST(NuSigmaStop, StopWrittenInTwoPiecesIsSeenWhenComplete)
{
    TempFolder folder;
    const std::string comm = folder.write("simulcomm.txt", "[SEND]ZP:500\nSt");
    nuSigma sigma;
    pointAt(sigma.commFilename, comm);
    EXPECT_FALSE(waitForStop(sigma, 100));
    FILE* file = std::fopen(comm.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    std::fputs("op\r\n", file);
    std::fclose(file);
    EXPECT_TRUE(waitForStop(sigma));
}

TEST(NuSigmaStop, FileIsNotReadOnEveryPoll)
{
    TempFolder folder;
    const std::string comm = folder.write("simulcomm.txt", "[SEND]ZP:500\n");
    nuSigma sigma;
    pointAt(sigma.commFilename, comm);
    EXPECT_FALSE(sigma.stopIt());  // reads the file now
    const double readAt = kov_clockMs();
    folder.write("simulcomm.txt", "[SEND]ZP:500\nStop\n");
    const bool seenAtOnce = sigma.stopIt();
    if (kov_clockMs() - readAt < 20.0) {
        EXPECT_FALSE(seenAtOnce);  // the poll interval has not passed yet
    }
    EXPECT_TRUE(waitForStop(sigma));
}

TEST(NuSigmaStop, ANewExchangeFileIsReadFromItsStart)
{
    TempFolder folder;
    nuSigma sigma;
    pointAt(sigma.commFilename, folder.write("first.txt", std::string(200, 'x') + "\n"));
    EXPECT_FALSE(waitForStop(sigma, 100));
    pointAt(sigma.commFilename, folder.write("second.txt", "Stop\n"));
    EXPECT_TRUE(waitForStop(sigma));
}

// Exchange files that a careless or hostile folder may hold in place of a
// plain text file: none of them may end, block or stall the run, and none
// may pass for a stop.
enum class Planted { DIRECTORY, FIFO, HUGE_LINE_WITHOUT_END, HUGE_LINE_THEN_STOP };

struct PlantedCase {
    const char* name;
    Planted kind;
    bool stops;
    bool warns;
};

class NuSigmaPlantedExchangeFile : public testing::TestWithParam<PlantedCase> {};

TEST_P(NuSigmaPlantedExchangeFile, NeverBlocksNorReadsWithoutBound)
{
    TempFolder folder;
    const std::string comm = folder.file("simulcomm.txt");
    switch (GetParam().kind) {
    case Planted::DIRECTORY: ASSERT_EQ(::mkdir(comm.c_str(), 0755), 0); break;
    case Planted::FIFO: ASSERT_EQ(::mkfifo(comm.c_str(), 0644), 0); break;
    case Planted::HUGE_LINE_WITHOUT_END:
        // A line longer than anything read per poll, ending "Stop": a stop
        // request is a whole line, never the end of another one.
        folder.write("simulcomm.txt", std::string(3 * 1024 * 1024, 'x') + "Stop");
        break;
    case Planted::HUGE_LINE_THEN_STOP:
        folder.write("simulcomm.txt", std::string(3 * 1024 * 1024, 'x') + "\nStop\n");
        break;
    }
    nuSigma sigma;
    pointAt(sigma.commFilename, comm);
    testing::internal::CaptureStdout();
    const double start = kov_clockMs();
    const bool stopped = waitForStop(sigma, GetParam().stops ? WAIT_DEADLINE.count() : 300);
    const double elapsed = kov_clockMs() - start;
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(stopped, GetParam().stops);
    EXPECT_LT(elapsed, 2.0 * WAIT_DEADLINE.count());
    EXPECT_EQ(console.find("is not a regular file") != std::string::npos, GetParam().warns)
        << console;
    EXPECT_TRUE(sigma.isOK());  // a warning, never an error
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NuSigmaPlantedExchangeFile,
    testing::Values(PlantedCase{"Directory", Planted::DIRECTORY, false, true},
                    PlantedCase{"Fifo", Planted::FIFO, false, true},
                    PlantedCase{"HugeLineWithoutEnd", Planted::HUGE_LINE_WITHOUT_END, false, false},
                    PlantedCase{"HugeLineThenStop", Planted::HUGE_LINE_THEN_STOP, true, false}),
    [](const testing::TestParamInfo<PlantedCase>& info) { return std::string(info.param.name); });

TEST(NuSigmaStop, LongLinesAreSkippedAcrossPollsAndALaterStopIsSeen)
{
    TempFolder folder;
    const std::string comm = folder.write("simulcomm.txt", std::string(200 * 1024, 'y'));
    nuSigma sigma;
    pointAt(sigma.commFilename, comm);
    EXPECT_FALSE(waitForStop(sigma, 150));
    FILE* file = std::fopen(comm.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    std::fputs("Stop\n", file);  // still the end of the long line
    std::fclose(file);
    EXPECT_FALSE(waitForStop(sigma, 150));
    file = std::fopen(comm.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    std::fputs("Stop\n", file);  // a line of its own
    std::fclose(file);
    EXPECT_TRUE(waitForStop(sigma));
}

TEST(NuSigmaStop, AStopAskedByTheProcessReachesEveryChannel)
{
    nuSigma first;
    nuSigma second;
    EXPECT_FALSE(first.stopIt());
    nu_requestStop();
    EXPECT_TRUE(first.stopIt());  // no exchange file needed
    EXPECT_TRUE(second.stopIt());
    nu_clearStopRequest();
    nuSigma third;
    EXPECT_FALSE(third.stopIt());
    EXPECT_TRUE(first.stopIt());  // a seen stop stays
}

}  // namespace
