// The output paths of a run, the number format of the distribution files
// and the removal of an earlier run's results.
#include <gtest/gtest.h>

#include <string>

#include "ekSimulator.h"
#include "nucore.h"
#include "resultTestSupport.h"

namespace {

class ResultsPaths : public ::testing::Test {
protected:
    TempFolder scratch;
    nuSigma sigma;
    nuParam param;
    ekSimulator sim{&sigma, &param};
};

TEST_F(ResultsPaths, SetPathRecordsThePathsAndClearsTheLogAndExchangeFiles)
{
    scratch.write("simulog.txt", "old log\n");
    scratch.write("simulcomm.txt", "Stop\n");
    sigma.comm = true;
    ::testing::internal::CaptureStdout();
    sim.setPath(L"/data/cell.kovra", scratch.wideFolder().c_str(),
                scratch.wideFile("simulog.txt").c_str());
    const std::string out = ::testing::internal::GetCapturedStdout();

    ASSERT_TRUE(sigma.isOK()) << out;
    EXPECT_EQ(std::wstring(sim.getOutputDir()), scratch.wideFolder());
    EXPECT_EQ(std::wstring(sim.getInputFile()), L"/data/cell.kovra");
    EXPECT_EQ(std::wstring(sigma.logFilename), scratch.wideFile("simulog.txt"));
    const std::wstring exchange = scratch.wideFile("simulcomm.txt");
    EXPECT_EQ(std::wstring(sigma.commFilename), exchange);
    EXPECT_EQ(sigma.outputType & nuSigma::OUTPUT_LOGFILE, nuSigma::OUTPUT_LOGFILE);
    // The old exchange file held a stop request: gone, so the new run is
    // not stopped by it.
    EXPECT_FALSE(sigma.stopIt());
    EXPECT_NE(out.find("[COMM]ELE:" + kov_toUtf8(exchange)), std::string::npos) << out;
    // The old log went; the announcement line started the new one.
    EXPECT_EQ(readText(scratch.wideFile("simulog.txt")),
              "[COMM]ELE:" + kov_toUtf8(exchange) + "\n");
}

TEST_F(ResultsPaths, AFolderWithoutTrailingSeparatorGetsOne)
{
    const std::wstring bare = scratch.folder().wstring();
    sim.setPath(L"/data/cell.kovra", bare.c_str(), scratch.wideFile("simulog.txt").c_str());
    ASSERT_TRUE(sigma.isOK());
    EXPECT_EQ(std::wstring(sim.getOutputDir()), bare + L"/");
    EXPECT_EQ(std::wstring(sigma.commFilename), bare + L"/simulcomm.txt");
}

struct PathRefusal {
    const char* what;
    std::wstring folder;  // empty: the scratch folder
    std::wstring log;     // empty: a log in the scratch folder
    const char* line;
};

void PrintTo(const PathRefusal& c, std::ostream* os) { *os << c.what; }

class ResultsSetPathRefusal : public ResultsPaths,
                              public ::testing::WithParamInterface<PathRefusal> {};

TEST_P(ResultsSetPathRefusal, RefusesWithItsLineAndRecordsNothing)
{
    const PathRefusal& c = GetParam();
    const std::wstring folder = c.folder.empty() ? scratch.wideFolder() : c.folder;
    const std::wstring log = c.log.empty() ? scratch.wideFile("simulog.txt") : c.log;
    ::testing::internal::CaptureStdout();
    sim.setPath(L"/data/cell.kovra", folder.c_str(), log.c_str());
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(sigma.err, 1);
    EXPECT_NE(out.find(c.line), std::string::npos) << out;
    EXPECT_STREQ(sim.getOutputDir(), L"");
    EXPECT_STREQ(sigma.logFilename, L"");
    EXPECT_STREQ(sigma.commFilename, L"");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultsSetPathRefusal,
    ::testing::Values(
        PathRefusal{"folder too short", L"/a", L"", "[ERROR]   invalid output directory\n"},
        PathRefusal{"folder too long", L"/" + std::wstring(990, L'a'), L"",
                    "[ERROR]   invalid output directory\n"},
        PathRefusal{"log name too short", L"", L"ab", "[ERROR]   invalid log filename\n"},
        PathRefusal{"missing folder", L"/no/such/folder/", L"",
                    "[ERROR]   output directory not found '/no/such/folder/'\n"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            ch = ch == ' ' ? '_' : ch;
        }
        return name;
    });

// The numbers of a run go from 1 (the equilibrium) to points + 1 (the last
// sweep row): all of them are written with the digits of the largest.
TEST_F(ResultsPaths, DistributionNumberHasTheDigitsOfTheLastRowNumber)
{
    const struct {
        int count;
        const wchar_t* format;
    } cases[] = {{0, L"%01d"},  {1, L"%01d"},         {8, L"%01d"},    {9, L"%02d"},
                 {98, L"%02d"}, {99, L"%03d"},        {5000, L"%04d"}, {9999, L"%05d"},
                 {-3, L"%01d"}, {1000000000, L"%09d"}};
    for (const auto& c : cases) {
        sim.setDistFormat(c.count);
        EXPECT_STREQ(sim.getDistFormat(), c.format) << c.count;
    }
    sigma.err = 1;
    sim.setDistFormat(1);
    EXPECT_STREQ(sim.getDistFormat(), L"%04d");
}

TEST_F(ResultsPaths, ClearOutputRemovesEveryEarlierDistributionAndNothingElse)
{
    sim.setPath(L"/data/cell.kovra", scratch.wideFolder().c_str(),
                scratch.wideFile("simulog.txt").c_str());
    ASSERT_TRUE(sigma.isOK());
    // Distribution files of earlier runs with any digit count, and the
    // sweep files: all of them belong to the run being replaced.
    const char* gone[] = {"simulout_dist_1.txt",    "simulout_dist_01.txt",
                          "simulout_dist_0002.txt", "simulout_dist_123456789.txt",
                          "simulout_jv.txt",        "simulout_cv.txt",
                          "simulout_qw.txt"};
    // Names that only look alike, and the other files of the folder.
    const char* kept[] = {"simulout_dist_.txt",
                          "simulout_dist_1a.txt",
                          "simulout_dist_1234567890.txt",
                          "simulout_dist_1.dat",
                          "simulout_dist_-1.txt",
                          "my_simulout_dist_1.txt",
                          "simulout_mesh.txt",
                          "simuldevice.txt",
                          "simulinput.kovra",
                          "notes.txt"};
    for (const char* name : gone) {
        scratch.write(name, "x");
    }
    for (const char* name : kept) {
        scratch.write(name, "x");
    }
    std::filesystem::create_directory(scratch.folder() / "simulout_dist_7.txt");

    EXPECT_TRUE(sim.clearOutput());
    for (const char* name : gone) {
        EXPECT_FALSE(scratch.exists(name)) << name;
    }
    for (const char* name : kept) {
        EXPECT_TRUE(scratch.exists(name)) << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(scratch.folder() / "simulout_dist_7.txt"));
    EXPECT_TRUE(sim.isOutputCleared());
    EXPECT_EQ(sim.getFileIndex(), 0);

    // Once per simulator: files of this run written afterwards stay.
    scratch.write("simulout_dist_1.txt", "x");
    EXPECT_TRUE(sim.clearOutput());
    EXPECT_TRUE(scratch.exists("simulout_dist_1.txt"));
}

TEST_F(ResultsPaths, ClearOutputRefusesWhileAnErrorIsPending)
{
    sim.setPath(L"/data/cell.kovra", scratch.wideFolder().c_str(),
                scratch.wideFile("simulog.txt").c_str());
    scratch.write("simulout_dist_1.txt", "x");
    sigma.err = 1;
    EXPECT_FALSE(sim.clearOutput());
    EXPECT_TRUE(scratch.exists("simulout_dist_1.txt"));
    EXPECT_FALSE(sim.isOutputCleared());
}

TEST_F(ResultsPaths, AStopRequestEndsTheClearing)
{
    sim.setPath(L"/data/cell.kovra", scratch.wideFolder().c_str(),
                scratch.wideFile("simulog.txt").c_str());
    scratch.write("simulout_dist_1.txt", "x");
    scratch.write("simulcomm.txt", "Stop\n");
    EXPECT_TRUE(sim.clearOutput());
    EXPECT_TRUE(sim.isStopped());
    EXPECT_TRUE(scratch.exists("simulout_dist_1.txt"));
}

}  // namespace
