// A disk that fills up during a run: the driver runs under a file-size
// limit (writes past it fail with EFBIG, as on a full disk) and must fail
// with an error line, leaving under the final names only files that are
// whole, never one cut short.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "ekResultWriter.h"
#include "runEntryTestSupport.h"

namespace {

namespace fs = std::filesystem;

struct Finished {
    int status = -1;
    std::string out;
};

// Runs the built driver on a device file with every file it writes held
// below fileSizeLimit bytes (0: no limit). Its output goes through a pipe,
// which the limit does not touch.
Finished runDriverWithLimit(const std::wstring& device, rlim_t fileSizeLimit)
{
    Finished result;
    int channel[2];
    if (::pipe(channel) != 0) {
        return result;
    }
    const std::string program = std::string(KOVRA_BIN_DIR) + "/kovracomp";
    const std::string file = kov_toUtf8(device);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(channel[1], STDOUT_FILENO);
        ::dup2(channel[1], STDERR_FILENO);
        ::close(channel[0]);
        ::close(channel[1]);
        if (fileSizeLimit > 0) {
            // Without this the first write past the limit kills the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const struct rlimit limit {
                fileSizeLimit, fileSizeLimit
            };
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execl(program.c_str(), program.c_str(), "-run", file.c_str(), "-nowarn",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(channel[1]);
    if (child < 0) {
        ::close(channel[0]);
        return result;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        result.out.append(buffer, static_cast<size_t>(n));
    }
    ::close(channel[0]);
    int raw = 0;
    ::waitpid(child, &raw, 0);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

// The text of a file without its comment lines, which carry the time of
// the run.
std::string withoutComments(const fs::path& file)
{
    std::string kept;
    for (const std::string& line : splitLines(readText(file))) {
        if (line.rfind('#', 0) != 0) {
            kept += line + "\n";
        }
    }
    return kept;
}

// The files a run leaves under final names, by name (the log, which only
// ever grows by whole lines, and the folder lock aside).
std::map<std::string, std::string> finalFiles(const fs::path& folder)
{
    static const std::set<std::string> inputs = {"cell.kovra", "bias.txt", "simulog.txt",
                                                 ".simulock"};
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (inputs.count(name) == 0) {
            files[name] = withoutComments(entry.path());
        }
    }
    return files;
}

void writeSweepDevice(const TempFolder& scratch)
{
    scratch.write("bias.txt", "0\n0.1\n0.2\n0.3\n0.4\n0.5\n0.6\n");
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder()), 200, 200, "",
                                             "[Voltage]\n    Voltage.Source=\"bias.txt\"\n"));
}

TEST(FullDisk, EveryFileCutShortFailsTheRunAndNoCutFileIsLeft)
{
    TempFolder reference;
    writeSweepDevice(reference);
    const Finished whole = runDriverWithLimit(reference.wideFile("cell.kovra"), 0);
    ASSERT_EQ(whole.status, 0) << whole.out;
    const std::map<std::string, std::string> expected = finalFiles(reference.folder());
    // Results, the device summary and the input copies with the side file.
    for (const char* name : {"simuldevice.txt", "simulinput.kovra", "simulinput_bias.txt",
                             "simulout_jv.txt", "simulout_cv.txt", "simulout_dist_1.txt"}) {
        ASSERT_EQ(expected.count(name), 1u) << name;
    }

    // One limit just below the size of each file the run writes: the disk
    // fills up while that file (or an earlier, larger one) is written.
    std::set<rlim_t> limits = {1};
    for (const auto& entry : fs::directory_iterator(reference.folder())) {
        const auto size = static_cast<rlim_t>(fs::file_size(entry.path()));
        if (size > 1 && expected.count(entry.path().filename().string()) == 1) {
            limits.insert(size - 1);
        }
    }
    for (const rlim_t limit : limits) {
        SCOPED_TRACE("file size limit " + std::to_string(limit));
        TempFolder scratch;
        writeSweepDevice(scratch);
        const Finished cut = runDriverWithLimit(scratch.wideFile("cell.kovra"), limit);
        EXPECT_EQ(cut.status, 1) << cut.out;
        EXPECT_NE(cut.out.find("[ERROR]   "), std::string::npos) << cut.out;
        EXPECT_EQ(cut.out.find("[RESULT]"), std::string::npos) << cut.out;
        for (const auto& [name, text] : finalFiles(scratch.folder())) {
            EXPECT_EQ(name.find(ekResult::TEMPORARY_MARK), std::string::npos) << name;
            ASSERT_EQ(expected.count(name), 1u) << name;
            // The input copy is either the device file as given or the
            // rewritten copy; never a part of either.
            if (name == "simulinput.kovra" &&
                text == withoutComments(scratch.folder() / "cell.kovra")) {
                continue;
            }
            EXPECT_EQ(text, expected.at(name)) << name << " is cut short";
        }
    }
}

}  // namespace
