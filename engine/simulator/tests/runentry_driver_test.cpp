// The driver program kovracomp, run as the editor runs it: exit status,
// the result lines it prints, and its usage message.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "runEntryTestSupport.h"

namespace {

struct Finished {
    int status = -1;
    std::string out;
};

// Runs the built driver with the arguments (shell syntax) and collects its
// standard output and error.
Finished runDriver(const std::string& arguments)
{
    const std::string command = std::string(KOVRA_BIN_DIR) + "/kovracomp " + arguments + " 2>&1";
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
    return "'" + kov_toUtf8(path) + "'";
}

TEST(RunEntryDriver, SucceedsWithStatusZeroAndListsTheResultFile)
{
    ScratchFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.folder())));
    const Finished run = runDriver("-run " + quoted(scratch.file("cell.kovra")) + " -comm -nowarn");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("[COMM]ELE:"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[RESULT]  " + kov_toUtf8(scratch.file("simulout_dist_1.txt")) + "\n"),
              std::string::npos)
        << run.out;
}

TEST(RunEntryDriver, FailsWithNonZeroStatusAndNoResult)
{
    ScratchFolder scratch;
    const Finished run = runDriver("-run " + quoted(scratch.file("absent.kovra")) + " -verbose");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("[ERROR]   cannot open input filename"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("[RESULT]"), std::string::npos) << run.out;
}

TEST(RunEntryDriver, BadArgumentsGiveTheUsage)
{
    for (const char* arguments : {"", "-run", "-verbose", "-run x.kovra -fast", "x.kovra"}) {
        const Finished run = runDriver(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.out.find("usage: kovracomp -run FILE"), std::string::npos)
            << arguments << ": " << run.out;
    }
}

}  // namespace
