// The runner's process calls: quoted arguments and blanks in paths reach
// the program unchanged, its output streams line by line through one pipe,
// the exit status is kept, and stopping reaches the program's children.
#include "libkovra.h"
#include "kovProcess.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tempFolder.h"
#include "waitUntil.h"

namespace {

// Reads lines from the pipe until the process has ended and the pipe is
// drained, or until wanted lines came; gives up after timeoutMs.
std::vector<std::string> readLines(int fd, size_t wanted, int timeoutMs)
{
    std::vector<std::string> lines;
    std::string pending;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (lines.size() < wanted && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) {
            continue;
        }
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            continue;
        }
        pending.append(buffer, static_cast<size_t>(n));
        size_t at;
        while ((at = pending.find('\n')) != std::string::npos) {
            lines.push_back(pending.substr(0, at));
            pending.erase(0, at + 1);
        }
    }
    return lines;
}

std::string script(const TempFolder& folder, const std::string& name, const std::string& body)
{
    const std::string path = folder.write(name, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
    return path;
}

bool gone(int pid)
{
    // A killed process is gone or a zombie waiting for its new parent.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const size_t close = text.rfind(')');
    return text.empty() ||
           (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z');
}

TEST(CommandLine, DoubleQuotesGroupWordsAndAreRemoved)
{
    struct Case {
        const char* line;
        std::vector<std::string> words;
        bool ok;
    };
    const Case cases[] = {
        {"kovracomp -run \"/tmp/a b/x.kovra\" -comm",
         {"kovracomp", "-run", "/tmp/a b/x.kovra", "-comm"},
         true},
        {"\"/opt/my tools/kovraplot\"  -title \"\"",
         {"/opt/my tools/kovraplot", "-title", ""},
         true},
        {"a\"b c\"d", {"ab cd"}, true},
        {"C:\\kovra\\bin\\x.exe", {"C:\\kovra\\bin\\x.exe"}, true},
        {"   ", {}, true},
        {"\"unclosed", {}, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words;
        EXPECT_EQ(kov_splitCommandLine(c.line, &words), c.ok) << c.line;
        EXPECT_EQ(words, c.words) << c.line;
    }
}

TEST(Process, QuotedArgumentsBlanksAndOutputOnOnePipe)
{
    TempFolder folder("kovra process ");  // a blank in every path
    const std::string program = script(folder, "print args.sh",
                                       "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n"
                                       "echo \"to stderr\" >&2\n"
                                       "pwd\n"
                                       "exit 3\n");
    const std::string command =
        "\"" + program + "\" -run \"" + folder.path() + "dev ice.kovra\" \"\" -comm";
    int pipeMode = 1, handle = -1, pipe = -1, pid = -1;
    char temp[1024] = "x";
    ASSERT_EQ(startProcess(command.c_str(), &pipeMode, &handle, &pipe, nullptr, nullptr, nullptr,
                           folder.path().c_str(), "KovraDevice", temp, &pid),
              1);
    EXPECT_EQ(pipeMode, 1);
    EXPECT_GT(pid, 0);
    EXPECT_EQ(handle, pid);
    EXPECT_STREQ(temp, "");
    EXPECT_NE(fcntl(pipe, F_GETFL) & O_NONBLOCK, 0) << "the reader must not block";
    EXPECT_NE(fcntl(pipe, F_GETFD) & FD_CLOEXEC, 0) << "later children must not inherit the pipe";
    const std::vector<std::string> lines = readLines(pipe, 6, 10000);
    const std::string folderNoSlash = folder.path().substr(0, folder.path().size() - 1);
    const std::vector<std::string> expected = {"[-run]",    "[" + folder.path() + "dev ice.kovra]",
                                               "[]",        "[-comm]",
                                               "to stderr", folderNoSlash};
    EXPECT_EQ(lines, expected);
    close(pipe);
    int status = -1;
    EXPECT_TRUE(waitUntil([&] { return isProcessRunning(pid, &status) == 0; }));
    EXPECT_EQ(status, 3);
    status = -1;
    EXPECT_EQ(isProcessRunning(pid, &status), 0) << "asked again: the kept status";
    EXPECT_EQ(status, 3);
    EXPECT_EQ(killProcess(pid), 1) << "already ended: nothing to signal";
}

TEST(Process, OutputStreamsWhileTheProgramRuns)
{
    TempFolder folder("kovra-process-");
    const std::string program = script(folder, "slow.sh", "echo first\nsleep 60\necho second\n");
    int pipeMode = 1, handle, pipe, pid;
    char temp[1024];
    ASSERT_EQ(startProcess(program.c_str(), &pipeMode, &handle, &pipe, nullptr, nullptr, nullptr,
                           nullptr, "x", temp, &pid),
              1);
    const std::vector<std::string> first = readLines(pipe, 1, 10000);
    ASSERT_EQ(first, std::vector<std::string>{"first"});
    EXPECT_EQ(isProcessRunning(pid, nullptr), 1) << "the first line came before the end";
    killProcess(pid);
    close(pipe);
}

TEST(Process, StoppingEndsTheProgramAndItsChildren)
{
    TempFolder folder("kovra-process-");
    // The program starts a child that ignores SIGTERM, then waits.
    const std::string program =
        script(folder, "parent.sh", "sh -c 'trap \"\" TERM; echo $$; exec sleep 60' &\nwait\n");
    int pipeMode = 1, handle, pipe, pid;
    char temp[1024];
    ASSERT_EQ(startProcess(program.c_str(), &pipeMode, &handle, &pipe, nullptr, nullptr, nullptr,
                           nullptr, "x", temp, &pid),
              1);
    const std::vector<std::string> lines = readLines(pipe, 1, 5000);
    ASSERT_EQ(lines.size(), 1u);
    const int child = std::stoi(lines[0]);
    ASSERT_FALSE(gone(child));
    EXPECT_EQ(killProcess(pid), 1);
    int status = 0;
    EXPECT_EQ(isProcessRunning(pid, &status), 0);
    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_TRUE(waitUntil([&] { return gone(child); }))
        << "the child that ignored SIGTERM was killed with the group";
    close(pipe);
}

TEST(Process, FailuresAndProgramsWithoutPipe)
{
    int pipeMode = 1, handle = 5, pipe = 5, pid = 5;
    char temp[1024];
    EXPECT_EQ(startProcess("/nonexistent/program -x", &pipeMode, &handle, &pipe, nullptr, nullptr,
                           nullptr, nullptr, "x", temp, &pid),
              -1);
    EXPECT_EQ(pid, -1);
    EXPECT_EQ(pipe, -1);
    EXPECT_EQ(startProcess("\"unclosed", &pipeMode, &handle, &pipe, nullptr, nullptr, nullptr,
                           nullptr, "x", temp, &pid),
              -1);
    EXPECT_EQ(isProcessRunning(-1, nullptr), 0);
    EXPECT_EQ(killProcess(-1), 0);
    EXPECT_EQ(killProcess(1), 0) << "a process not started here is never signalled";

    int spawned = -1;
    ASSERT_EQ(kov_spawnProcess(nullptr, 0, "true", &spawned, nullptr, 0), 1);
    int status = -1;
    EXPECT_TRUE(waitUntil([&] { return isProcessRunning(spawned, &status) == 0; }));
    EXPECT_EQ(status, 0);
}

}  // namespace
