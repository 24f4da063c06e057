// KovraCalc's command-line modes, through the real program: a table of
// command lines with their exact output and exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kovraVersion.h"
#include "tempFolder.h"

extern char** environ;

namespace {

const std::string PROGRAM = KOVRA_BIN_DIR "/KovraCalc";

// Runs the program with the arguments (and the environment, the test's own
// when none is given); its standard output in *out, the exit status
// returned (-1 when it did not exit normally). A program still running
// after 20 seconds (waiting on a FIFO) is killed and counts as not exiting.
int runProgram(const std::vector<std::string>& args, std::string* out,
               char* const* environment = environ)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(PROGRAM.c_str()));
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, PROGRAM.c_str(), &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    out->clear();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool killed = false;
    for (;;) {
        pollfd ready{pipeFds[0], POLLIN, 0};
        if (poll(&ready, 1, 100) > 0) {
            char buffer[4096];
            const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            out->append(buffer, static_cast<size_t>(n));
        } else if (spawned == 0 && !killed && std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            killed = true;
        }
    }
    close(pipeFds[0]);
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class CalcCommandLine : public testing::Test {
protected:
    TempFolder folder;
    std::string file(const std::string& name, const std::string& text)
    {
        const std::string path = folder.file(name);
        std::ofstream(path) << text;
        return path;
    }
};

TEST_F(CalcCommandLine, ExpressionsPrintTheirAnswerAndStatus)
{
    const struct {
        std::vector<std::string> args;
        int status;
        const char* output;
    } cases[] = {
        {{"-run", "2*3"}, 0, "\n>> 2*3\n   6\n"},
        {{"-run", "2 * ( 1 + 2 )"}, 0, "\n>> 2*(1+2)\n   6\n"},
        {{"-run", "x=2"}, 0, "\n>> x=2\n   x = 2\n"},
        {{"-run", "sqrt(-1)"}, 1, "\n>> sqrt(-1)\n   sqrt: negative argument\n"},
        {{"-run", "1,5"},
         1,
         "\n>> 1,5\n   several values where one is expected (',' separates arguments only)\n"},
        {{"-run", "2 3"}, 1, "\n>> 2 3\n   missing operator between 2 and 3\n"},
        {{"-run", "_q", "-other", "y"}, 0, "\n>> _q\n   1.602176634e-19\n"},  // no output file
        {{"-test", "abc"}, 1, ""},  // too short a name: no self-test at all
        {{"-test", "/no/such/selftest.txt"},
         1,
         "Cannot open the self-test file '/no/such/selftest.txt'\n"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(runProgram(c.args, &out), c.status) << c.args[1];
        EXPECT_EQ(out, c.output) << c.args[1];
    }
}

TEST_F(CalcCommandLine, TheShippedSelfTestPasses)
{
    std::string out;
    EXPECT_EQ(runProgram({"-test", KOVRA_BIN_DIR "/etc/parser-selftest.txt"}, &out), 0) << out;
    EXPECT_NE(out.find(" failed"), std::string::npos);
    EXPECT_NE(out.find(", 0 failed"), std::string::npos) << out;
}

TEST_F(CalcCommandLine, AFileRunsLineByLineIntoTheOutputFile)
{
    const std::string input = file("in.txt", "a = 2\n\nb = a*3;\n  a + b\n");
    const std::string output = folder.file("out.txt");
    std::string out;
    EXPECT_EQ(runProgram({"-run", input, "-out", output}, &out), 0);
    // The blank line is skipped; ";" keeps the answer (the console hides it).
    const std::string blocks = ">> a=2\n   a = 2\n>> b=a*3;\n   b = 6\n>> a+b\n   8\n";
    EXPECT_EQ(out, blocks);
    EXPECT_EQ(readFile(output), blocks);  // the same blocks, no leading empty line
}

TEST_F(CalcCommandLine, AFileStopsAtTheFirstFailureOrAfter32Lines)
{
    std::string failing = "1+1\nfoo(2)\n3+3\n";
    std::string out;
    EXPECT_EQ(runProgram({"-run", file("fail.txt", failing)}, &out), 1);
    EXPECT_EQ(out, ">> 1+1\n   2\n>> foo(2)\n   unknown function: foo\n");

    std::string forty;
    for (int i = 1; i <= 40; ++i) {
        forty += std::to_string(i) + "\n";
    }
    EXPECT_EQ(runProgram({"-run", file("forty.txt", forty)}, &out), 0);
    EXPECT_NE(out.find(">> 32\n   32\n"), std::string::npos);
    EXPECT_EQ(out.find(">> 33"), std::string::npos);

    // A line longer than 255 characters is refused as it is read, not
    // evaluated cut short nor echoed: the lines before it run.
    std::string longLine = "1";
    while (longLine.size() < 300) {
        longLine += "+1";
    }
    const std::string longFile = file("long.txt", "2\n" + longLine + "\n3\n");
    EXPECT_EQ(runProgram({"-run", longFile}, &out), 1);
    EXPECT_EQ(out, ">> 2\n   2\n\n! Cannot read file '" + longFile +
                       "' further: line 2 is longer than 255 characters\n");

    EXPECT_EQ(runProgram({"-run", file("empty.txt", "\n\n")}, &out), 1);  // nothing evaluated
    EXPECT_EQ(out, "");
}

TEST_F(CalcCommandLine, FilesThatCannotBeOpenedAreReported)
{
    std::string out;
    EXPECT_EQ(runProgram({"-run", "1+1", "-out", "/no/such/folder/out.txt"}, &out), 1);
    EXPECT_EQ(out, "\n! Cannot create file '/no/such/folder/out.txt': No such file or directory\n");
    const std::string locked = file("locked.txt", "1+1\n");
    chmod(locked.c_str(), 0);
    if (access(locked.c_str(), R_OK) == 0) {
        GTEST_SKIP() << "running as a user who reads every file";
    }
    EXPECT_EQ(runProgram({"-run", locked}, &out), 1);
    EXPECT_EQ(out, "\n! Cannot open file '" + locked + "': Permission denied\n");
}

TEST_F(CalcCommandLine, VersionAndHelp)
{
    std::string out;
    EXPECT_EQ(runProgram({"--version"}, &out), 0);
    EXPECT_EQ(out, "KovraCalc " KOVRA_VERSION_TEXT "\n");
    EXPECT_EQ(runProgram({"--help"}, &out), 0);
    EXPECT_EQ(out.rfind("Usage: KovraCalc ", 0), 0u) << out;
    for (const char* option : {"-run", "-out", "-test", "--version", "--help"}) {
        EXPECT_NE(out.find(option), std::string::npos) << option;
    }
}

// A write that does not reach the disk fails the run with a message: the
// results were printed, but the file the user asked for does not hold them.
// The disk is "full" through a file size limit of 0 bytes, which the program
// inherits (with the signal of an oversized write ignored, so the write
// fails instead).
TEST_F(CalcCommandLine, AFullDiskFailsTheRunWithAMessage)
{
    const std::string output = folder.file("out.txt");
    const std::string input = file("in.txt", "1+1\n2+2\n");
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    rlimit full = before;
    full.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    std::string out1, out2;
    const int status1 = runProgram({"-run", "1+1", "-out", output}, &out1);
    const int status2 = runProgram({"-run", input, "-out", output}, &out2);
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(status1, 1);
    EXPECT_EQ(out1, "\n>> 1+1\n   2\n\n! Cannot write file '" + output + "'\n");
    EXPECT_EQ(status2, 1);
    EXPECT_EQ(out2, ">> 1+1\n   2\n>> 2+2\n   4\n\n! Cannot write file '" + output + "'\n");
}

// Opening the output empties it: when it is the input (by name, through a
// symbolic or a hard link) the run is refused and the user's lines stay.
TEST_F(CalcCommandLine, AnOutputThatIsTheInputIsRefusedAndTheInputKept)
{
    const std::string lines = "1+1\n2*3\n";
    const std::string input = file("lines.txt", lines);
    const std::string symbolic = folder.file("symbolic.txt");
    const std::string hard = folder.file("hard.txt");
    ASSERT_EQ(symlink(input.c_str(), symbolic.c_str()), 0);
    ASSERT_EQ(link(input.c_str(), hard.c_str()), 0);
    const struct {
        std::string input, output;
    } cases[] = {{input, input},    {input, symbolic}, {input, hard},
                 {symbolic, input}, {hard, symbolic},  {input, folder.file("./lines.txt")}};
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(runProgram({"-run", c.input, "-out", c.output}, &out), 1) << c.output;
        EXPECT_EQ(out, "\n! Cannot write the results into the input file '" + c.output + "'\n");
        EXPECT_EQ(readFile(input), lines) << c.output;
    }
    // Another file is written as before, and the input stays as it was.
    std::string out;
    const std::string output = folder.file("out.txt");
    EXPECT_EQ(runProgram({"-run", input, "-out", output}, &out), 0);
    EXPECT_EQ(readFile(output), ">> 1+1\n   2\n>> 2*3\n   6\n");
    EXPECT_EQ(readFile(input), lines);
}

// Nothing but a regular file is read or written: a FIFO is refused with its
// reason at once (it would block until its other end opened), as input,
// output and self-test file; a device too.
TEST_F(CalcCommandLine, AnythingButARegularFileIsRefusedWithItsReason)
{
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string input = file("in.txt", "1+1\n");
    const struct {
        std::vector<std::string> args;
        std::string output;
    } cases[] = {
        {{"-run", fifo}, "\n! Cannot open file '" + fifo + "': it is a FIFO\n"},
        {{"-run", "1+1", "-out", fifo}, "\n! Cannot create file '" + fifo + "': it is a FIFO\n"},
        {{"-run", input, "-out", fifo}, "\n! Cannot create file '" + fifo + "': it is a FIFO\n"},
        {{"-test", fifo}, "Cannot open the self-test file '" + fifo + "': it is a FIFO\n"},
        {{"-run", "1+1", "-out", "/dev/null"},
         "\n! Cannot create file '/dev/null': it is a device\n"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(runProgram(c.args, &out), 1) << c.args[1] << " " << c.args.back();
        EXPECT_EQ(out, c.output);
    }
}

// A file of one huge line is refused at its first 256 bytes, without
// reading or echoing the rest (a file of 100 MB here); a NUL byte ends no
// line silently: the line holding it is refused.
TEST_F(CalcCommandLine, AHugeLineOrANulByteRefusesTheFile)
{
    const std::string huge = folder.file("huge.txt");
    {
        std::ofstream outFile(huge, std::ios::binary);
        const std::string block(1 << 20, '1');
        for (int i = 0; i < 100; ++i) {
            outFile << block;
        }
    }
    std::string out;
    EXPECT_EQ(runProgram({"-run", huge}, &out), 1);
    EXPECT_EQ(out, "\n! Cannot open file '" + huge + "': line 1 is longer than 255 characters\n");

    const std::string nul = file("nul.txt", std::string("1+1\0 2+2\n", 10));
    EXPECT_EQ(runProgram({"-run", nul}, &out), 1);
    EXPECT_EQ(out, "\n! Cannot open file '" + nul + "': line 1 holds a NUL byte\n");
    const std::string laterNul = file("later.txt", std::string("2*3\n1+1\0 2+2\n", 14));
    EXPECT_EQ(runProgram({"-run", laterNul}, &out), 1);
    EXPECT_EQ(out, ">> 2*3\n   6\n\n! Cannot read file '" + laterNul +
                       "' further: line 2 holds a NUL byte\n");
}

// Bytes that are no UTF-8 text are named in hexadecimal, one byte, not
// quoted as a "character" of four bytes; a real character is quoted whole.
TEST_F(CalcCommandLine, BytesThatAreNoTextAreNamedInHexadecimal)
{
    std::string out;
    EXPECT_EQ(runProgram({"-run", file("bytes.txt", "\xff\xfe"
                                                    "1+\n")},
                         &out),
              1);
    EXPECT_EQ(out, ">> \xff\xfe"
                   "1+\n   unexpected byte 0xFF (not UTF-8 text) at position 1\n");
    EXPECT_EQ(runProgram({"-run", file("euro.txt", "2\xe2\x82\xac\n")}, &out), 1);
    EXPECT_EQ(out, ">> 2\xe2\x82\xac\n   unexpected character '\xe2\x82\xac' at position 2\n");
}

// Without a display the window cannot open: said, with a failing status,
// where the windowing layer used to abort the program. "-out" without its
// file name is said as such, not taken for a window.
TEST_F(CalcCommandLine, NoDisplayOrAnIncompleteCommandLineIsSaid)
{
    std::vector<std::string> kept;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0) {
            kept.push_back(entry);
        }
    }
    std::vector<char*> environment;
    for (std::string& entry : kept) {
        environment.push_back(entry.data());
    }
    environment.push_back(nullptr);
    std::string out;
    EXPECT_EQ(runProgram({}, &out, environment.data()), 1);
    EXPECT_EQ(out, "\n! Cannot open the KovraCalc window: no display (DISPLAY is not set)\n");
    EXPECT_EQ(runProgram({"-run", "1+1", "-out"}, &out, environment.data()), 1);
    EXPECT_EQ(out,
              "\n! -out needs the name of the file to write: -run EXPRESSION|FILE -out OUTPUT\n");
}

}  // namespace
