// The driver program kovracomp, run as the editor runs it: exit status,
// the result lines it prints, and its usage message.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "caseName.h"
#include "kovraVersion.h"
#include "runEntryTestSupport.h"

namespace {

struct Finished {
    int status = -1;
    std::string out;
};

// Runs the built driver with the arguments (shell syntax) and collects its
// standard output and error; from the folder given, else from the current one.
Finished runDriver(const std::string& arguments, const std::string& from = "")
{
    const std::string command = (from.empty() ? std::string() : "cd '" + from + "' && ") +
                                std::string(KOVRA_BIN_DIR) + "/kovracomp " + arguments + " 2>&1";
    Finished result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.out.append(buffer, n);
    }
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string quoted(const std::wstring& path)
{
    std::string text = "'";
    text += kov_toUtf8(path) + "'";
    return text;
}

TEST(RunEntryDriver, SucceedsWithStatusZeroAndListsTheResultFile)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder())));
    const Finished run =
        runDriver("-run " + quoted(scratch.wideFile("cell.kovra")) + " -comm -nowarn");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("[COMM]ELE:"), std::string::npos) << run.out;
    EXPECT_NE(
        run.out.find("[RESULT]  " + kov_toUtf8(scratch.wideFile("simulout_dist_1.txt")) + "\n"),
        std::string::npos)
        << run.out;
}

TEST(RunEntryDriver, ALitSweepPrintsAndListsItsFiguresAndLeavesNoEarlierFigures)
{
    TempFolder scratch;
    const std::string lit = "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n"
                            "    Voltage.End=0.7\n    Voltage.Step=0.05\n"
                            "[Light]\n    Light.Source=\"AM1.5\"\n";
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder()), 100, 100, "", lit));
    // Figures of an earlier quantum-efficiency run in the same folder.
    scratch.write("simulout_photocurrent.txt", "EQEmax = 0.9 @ 0.6 um\n");
    const Finished run = runDriver("-run " + quoted(scratch.wideFile("cell.kovra")));
    ASSERT_EQ(run.status, 0) << run.out;
    // Printed without -verbose, listed among the results.
    EXPECT_NE(run.out.find("[PV]      Eff = "), std::string::npos) << run.out;
    EXPECT_NE(
        run.out.find("[RESULT]  " + kov_toUtf8(scratch.wideFile("simulout_photovoltaic.txt"))),
        std::string::npos)
        << run.out;
    EXPECT_FALSE(scratch.exists("simulout_photocurrent.txt"));
    // A result file like the others: the common header, then a table.
    const std::string figures = readText(scratch.wideFile("simulout_photovoltaic.txt"));
    EXPECT_EQ(figures.rfind("# Kovra <PV>\n", 0), 0u) << figures;
    EXPECT_NE(figures.find("# Junction\n"), std::string::npos) << figures;
    EXPECT_NE(figures.find("# Eff (%)\tJsc (A/cm2)\tVoc (V)\tFF (%)\tPopt (W/cm2)"),
              std::string::npos)
        << figures;
}

// A device file named relative to the current folder, with its results
// beside it: the folder is the device file's, however it was named.
TEST(RunEntryDriver, ARelativeDeviceNameWritesBesideTheDeviceFile)
{
    TempFolder scratch;
    const std::string root = scratch.folder().string();
    std::filesystem::create_directories(scratch.folder() / "d");
    scratch.write("d/dev.kovra", junctionFile("."));
    const struct {
        const char* from;
        const char* name;
    } cases[] = {{"", "d/dev.kovra"}, {"/d", "./dev.kovra"}, {"/d", "dev.kovra"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(scratch.folder() / "d" / "simulout_dist_1.txt");
        const Finished run = runDriver(std::string("-run ") + c.name, root + c.from);
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_NE(run.out.find("[RESULT]  " + root + "/d/simulout_dist_1.txt\n"), std::string::npos)
            << run.out;
        EXPECT_TRUE(scratch.exists("d/simulout_dist_1.txt"));
    }
}

TEST(RunEntryDriver, FailsWithNonZeroStatusAndNoResult)
{
    TempFolder scratch;
    const Finished run =
        runDriver("-run " + quoted(scratch.wideFile("absent.kovra")) + " -verbose");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("[ERROR]   cannot open input filename"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("[RESULT]"), std::string::npos) << run.out;
}

struct CommandLine {
    const char* arguments;
    int status;
    const char* says;  // a text the output must hold
};

class RunEntryDriverOptions : public testing::TestWithParam<CommandLine> {};

TEST_P(RunEntryDriverOptions, StatusAndMessage)
{
    const Finished run = runDriver(GetParam().arguments);
    EXPECT_EQ(run.status, GetParam().status) << GetParam().arguments << ": " << run.out;
    EXPECT_NE(run.out.find(GetParam().says), std::string::npos)
        << GetParam().arguments << ": " << run.out;
    if (GetParam().status != 1) {
        EXPECT_EQ(run.out.find("[ERROR]"), std::string::npos) << run.out;  // nothing was run
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunEntryDriverOptions,
    testing::Values(CommandLine{"--help", 0, "usage: kovracomp -run FILE"},
                    CommandLine{"-h", 0, "--version  print the version"},
                    CommandLine{"-run x.kovra --help", 0, "usage: kovracomp -run FILE"},
                    CommandLine{"--version", 0, "kovracomp " KOVRA_VERSION_TEXT "\n"},
                    CommandLine{"", 2, "no device file given"},
                    CommandLine{"-verbose", 2, "no device file given"},
                    CommandLine{"-run", 2, "-run needs a device file"},
                    CommandLine{"-run a.kovra -run b.kovra", 2, "-run given twice"},
                    CommandLine{"-run x.kovra -fast", 2, "unknown option '-fast'"},
                    CommandLine{"x.kovra", 2, "unknown option 'x.kovra'"},
                    CommandLine{"-run x.kovra --verbose", 2, "usage: kovracomp -run FILE"}),
    [](const testing::TestParamInfo<CommandLine>& info) {
        return caseName(info.param.arguments[0] != 0 ? info.param.arguments : "no arguments");
    });

// The version the driver prints is the one in the result headers.
TEST(RunEntryDriver, ResultHeaderCarriesTheDriverVersion)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder())));
    const Finished run = runDriver("-run " + quoted(scratch.wideFile("cell.kovra")));
    ASSERT_EQ(run.status, 0) << run.out;
    const std::string dist = readText(scratch.wideFile("simulout_dist_1.txt"));
    EXPECT_NE(dist.find("# Kovra Version " KOVRA_VERSION " Build " KOVRA_BUILD " "),
              std::string::npos)
        << dist.substr(0, 300);
}

// SIGINT and SIGTERM end a long sweep the way a "Stop" line does: soon,
// with a stop line and a failed status, never by the signal itself.
class RunEntryDriverSignals : public testing::TestWithParam<const char*> {};

TEST_P(RunEntryDriverSignals, SignalStopsTheRunInOrder)
{
    TempFolder scratch;
    scratch.write("sweep.kovra",
                  junctionFile(kov_toUtf8(scratch.wideFolder()), 400, 400, "",
                               "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n"
                               "    Voltage.End=0.5\n    Voltage.Step=0.0002\n"));
    // The driver runs in the background; the signal follows once the
    // driver has put its handler in place (bit 14 of SigCgt: SIGTERM, set
    // after SIGINT), asked for every 50 ms for up to 20 s.
    const std::string script =
        std::string(KOVRA_BIN_DIR) + "/kovracomp -run " + quoted(scratch.wideFile("sweep.kovra")) +
        " & pid=$!; handled() { m=$(awk '/^SigCgt/ {print $2}' /proc/$pid/status 2>/dev/null);"
        " [ $(( 0x${m:-0} >> 14 & 1 )) -eq 1 ]; }; i=0;"
        " until handled || [ $i -ge 400 ]; do sleep 0.05; i=$((i+1)); done;"
        " kill -" +
        std::string(GetParam()) + " $pid; wait $pid";
    const double start = kov_clockMs();
    const Finished run = runDriver("--version >/dev/null; " + script);
    const double elapsed = kov_clockMs() - start;
    EXPECT_EQ(run.status, 1) << run.out;  // not 128 + signal: the run ended itself
    EXPECT_NE(run.out.find("stopped by the user"), std::string::npos) << run.out;
    EXPECT_LT(elapsed, 20000.0);
}

INSTANTIATE_TEST_SUITE_P(Signals, RunEntryDriverSignals, testing::Values("INT", "TERM"),
                         NamedByPrint());

}  // namespace
