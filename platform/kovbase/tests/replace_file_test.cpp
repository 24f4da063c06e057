// Replacing a file's content in one step: the old file stays whole on every
// failure (a write that fails midway, a read-only file or folder), the
// permissions and a link are kept, and no temporary is left behind.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>

#include "kovbase.h"
#include "tempFolder.h"

namespace {

mode_t modeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Files of this process may not grow beyond limit bytes while it lives: a
// write beyond fails with EFBIG as on a full disk, midway through the file.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previousLimit);
        rlimit lowered = previousLimit;
        lowered.rlim_cur = limit;
        limited = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previousLimit);
        std::signal(SIGXFSZ, previousSignal);
    }
    bool ok() const { return limited; }

private:
    rlimit previousLimit{};
    void (*previousSignal)(int) = nullptr;
    bool limited = false;
};

TEST(KovReplaceFile, ReplacesTheContentKeepingPermissionsAndLeavesNothingElse)
{
    TempFolder folder;
    const std::string path = folder.write("cell.kovra", "old\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const std::string text = "new content\n";
    char reason[128] = "junk";
    ASSERT_EQ(kov_replaceFileA(path.c_str(), text.data(), text.size(), reason, sizeof reason), 1);
    EXPECT_STREQ(reason, "");
    EXPECT_EQ(readAll(path), text);
    EXPECT_EQ(modeOf(path), 0640u);
    EXPECT_EQ(folder.names(), std::set<std::string>{"cell.kovra"});

    // A new file is made as any program makes one (umask applied).
    const std::string fresh = folder.file("fresh.kovra");
    ASSERT_EQ(kov_replaceFileA(fresh.c_str(), "x", 1), 1);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(modeOf(fresh), 0666u & ~mask);
}

TEST(KovReplaceFile, AWriteThatFailsMidwayLeavesTheOldFileWhole)
{
    TempFolder folder;
    const std::string old(3000, 'o');
    const std::string path = folder.write("cell.kovra", old);
    const std::string text(20000, 'n');
    char reason[128] = "";
    int written = -1;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        written = kov_replaceFileA(path.c_str(), text.data(), text.size(), reason, sizeof reason);
    }
    EXPECT_EQ(written, 0);
    EXPECT_STREQ(reason, "File too large");
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(folder.names(), std::set<std::string>{"cell.kovra"});
}

TEST(KovReplaceFile, RefusalsNameTheirReasonAndChangeNothing)
{
    TempFolder folder;
    const std::string readOnly = folder.write("locked.kovra", "kept\n");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    std::filesystem::create_directory(folder.file("taken.kovra"));
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        // Refused by its mode even for a program that could write it.
        {readOnly, "the file is read-only"},
        {folder.file("taken.kovra"), "not a regular file"},
        {folder.file("missing/cell.kovra"), "cannot write in folder '"},
        // A folder that takes no new file, whoever asks.
        {"/proc/kovra-test-cell.kovra", "cannot write in folder '/proc'"},
        {"", "no file name"},
    };
    for (const auto& c : cases) {
        char reason[256] = "";
        EXPECT_EQ(kov_replaceFileA(c.path.c_str(), "new\n", 4, reason, sizeof reason), 0) << c.path;
        EXPECT_EQ(std::string(reason).rfind(c.reason, 0), 0u) << c.path << ": " << reason;
    }
    EXPECT_EQ(readAll(readOnly), "kept\n");
    EXPECT_EQ(modeOf(readOnly), 0444u);
    EXPECT_EQ(folder.names(), (std::set<std::string>{"locked.kovra", "taken.kovra"}));
}

TEST(KovReplaceFile, AReadOnlyFolderIsRefused)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    TempFolder folder;
    std::filesystem::create_directory(folder.file("system"));
    const std::string path = folder.write("system/cell.kovra", "kept\n");
    ASSERT_EQ(::chmod(folder.file("system").c_str(), 0555), 0);
    char reason[256] = "";
    EXPECT_EQ(kov_replaceFileA(path.c_str(), "new\n", 4, reason, sizeof reason), 0);
    EXPECT_NE(std::string(reason).find("Permission denied"), std::string::npos) << reason;
    EXPECT_EQ(readAll(path), "kept\n");
    ::chmod(folder.file("system").c_str(), 0755);
}

TEST(KovReplaceFile, ALinkedFileStaysALink)
{
    TempFolder folder;
    const std::string target = folder.write("real.kovra", "old\n");
    const std::string link = folder.file("link.kovra");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(kov_replaceFileA(link.c_str(), "new\n", 4), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readAll(target), "new\n");
}

TEST(KovReplaceFile, TemporariesAKilledSaveLeftAreRemovedAndNothingElse)
{
    TempFolder folder;
    const std::string path = folder.write("kovradevice.kovr", "[GUI]\n");
    // What a save killed between naming its temporary and the rename
    // leaves, an hour ago; one of this very moment (another program
    // saving); and files of the user that merely look alike.
    const std::string stale = folder.write(".kovradevice.kovr.Ab3dE9.kovtmp", "half");
    const std::string current = folder.write(".kovradevice.kovr.Zz9yX8.kovtmp", "busy");
    folder.write("kovradevice.kovr.backup", "mine");
    folder.write(".kovradevice.kovr.toolong1.kovtmp", "mine");
    folder.write(".other.kovr.Ab3dE9.kovtmp", "mine");
    struct utimbuf hourAgo {};
    hourAgo.actime = hourAgo.modtime = std::time(nullptr) - 3600;
    ASSERT_EQ(::utime(stale.c_str(), &hourAgo), 0);
    ASSERT_EQ(kov_replaceFileA(path.c_str(), "[GUI]\nx=1\n", 10), 1);
    EXPECT_EQ(folder.names(),
              (std::set<std::string>{"kovradevice.kovr", ".kovradevice.kovr.Zz9yX8.kovtmp",
                                     "kovradevice.kovr.backup", ".kovradevice.kovr.toolong1.kovtmp",
                                     ".other.kovr.Ab3dE9.kovtmp"}));
    EXPECT_EQ(kov_removeStaleTemporariesA(path.c_str()), 0);
}

// A program killed while it saves (kill -9) leaves the old file or the
// whole new one, never a cut or empty one, and no temporary.
TEST(KovReplaceFile, AKillDuringASaveLeavesAWholeFile)
{
    TempFolder folder;
    const std::string old = "old content\n";
    const std::string path = folder.write("cell.kovra", old);
    const std::string text(32 << 20, 'n');  // long enough to be killed while writing
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (;;) {
            kov_replaceFileA(path.c_str(), text.data(), text.size());
        }
    }
    ::usleep(150000);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string now = readAll(path);
    EXPECT_TRUE(now == old || now == text) << "a file of " << now.size() << " bytes";
    EXPECT_EQ(folder.names(), std::set<std::string>{"cell.kovra"});
}

}  // namespace
