// Saving a device file never destroys it: a write that fails midway (a
// full disk) or a refused target leaves the old file as it was, with no
// temporary beside it and no false "modified outside" afterwards; the
// file keeps its permissions; and a file read only in part is not cut
// short unasked.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <set>
#include <string>

#include "docTestSupport.h"

namespace {

std::string example(const char* name)
{
    return std::string(KOVRA_SOURCE_DIR) + "/examples/" + name;
}

class DeviceSave : public DocTest {
protected:
    // A copy of an example opened as the document's file.
    std::string open(const char* name)
    {
        const std::string path = folder.write(name, readText(example(name)));
        EXPECT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
        return path;
    }
};

TEST_F(DeviceSave, AWriteThatFailsMidwayKeepsTheOldFileAndAsksNothingAfterwards)
{
    const std::string path = open("traps.kovra");
    const std::string before = readText(path);
    ASSERT_EQ(Layer_setParam(device()->layers[0], "Thickness", "0.25", nullptr, nullptr, 0), 1);
    // Files may not grow beyond 1 KiB: the write stops midway as on a full disk.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous;
    limit.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const int saved = Device_save(document(), path.c_str());
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousSignal);

    EXPECT_EQ(saved, 0);
    EXPECT_STREQ(document()->saveError, "File too large");
    EXPECT_EQ(readText(path), before);
    EXPECT_EQ(folder.names(), std::set<std::string>{"traps.kovra"});
    EXPECT_EQ(Document_isChangedOnDisk(document()), 0);

    // The next save goes through and reads back.
    ASSERT_EQ(Device_save(document(), path.c_str()), 1);
    EXPECT_STREQ(document()->saveError, "");
    ASSERT_EQ(Device_load(document(), path.c_str()), 1);
    EXPECT_DOUBLE_EQ(Layer_findParam(device()->layers[0], "Thickness")->value.real, 0.25);
}

TEST_F(DeviceSave, PermissionsAreKeptAndAReadOnlyFileIsRefused)
{
    const std::string path = open("silicon-pn.kovra");
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    ASSERT_EQ(Device_save(document(), path.c_str()), 1);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604u);

    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const std::string before = readText(path);
    ASSERT_EQ(Layer_setParam(device()->layers[0], "Thickness", "0.25", nullptr, nullptr, 0), 1);
    EXPECT_EQ(Device_save(document(), path.c_str()), 0);
    EXPECT_STREQ(document()->saveError, "the file is read-only");
    EXPECT_EQ(readText(path), before);
    EXPECT_EQ(folder.names(), std::set<std::string>{"silicon-pn.kovra"});
}

// Reading stops at a variable line without a name and after line 16386;
// each is said in the console with its line, and the file read in part is
// not shortened without a question (the window asks when this says so).
TEST_F(DeviceSave, AFileReadInPartIsNotShortenedUnasked)
{
    const std::string head =
        "# Kovra <SL>\n[Device]\n    Name=\"cut\"\n[Layer1]\n    Thickness=2\n";
    const std::string rest = "[Voltage]\n    Voltage.End=0.5\n";
    const struct {
        std::string text;
        int line;
        const char* words;
    } cases[] = {
        {head + "$ = 5\n" + rest, 6,
         "reading ended: a variable line without a name: $ = 5; the 2 lines after it are not read"},
        {head + std::string(32400, '\n') + rest, 16386,
         "reading ended: a device file is read up to its line 16386; the 16,021 lines after it are "
         "not read"},
    };
    for (const auto& c : cases) {
        recorder.lines.clear();
        const std::string path = folder.write("cut.kovra", c.text);
        ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
        const std::string expected =
            "[WARNING] at line " + std::to_string(c.line) + ": " + c.words + "\n";
        EXPECT_NE(recorder.console().find(expected), std::string::npos) << recorder.console();
        EXPECT_EQ(document()->readEndLine, c.line);
        EXPECT_EQ(Document_saveDropsLines(document(), path.c_str()), c.line);
        // Once saved (the user said yes) there is nothing more to lose.
        ASSERT_EQ(Device_save(document(), path.c_str()), 1);
        EXPECT_EQ(Document_saveDropsLines(document(), path.c_str()), 0);
    }
    // A file read whole asks nothing.
    const std::string whole = folder.write("whole.kovra", head + rest);
    ASSERT_EQ(Device_load(document(), whole.c_str()), 1);
    EXPECT_EQ(document()->readEndLine, 0);
    EXPECT_EQ(Document_saveDropsLines(document(), whole.c_str()), 0);
}

// A plot request is written back as "No" at once, but never over a file
// read in part.
TEST_F(DeviceSave, APlotRequestInAFileReadInPartLeavesTheFileAlone)
{
    const std::string text =
        "# Kovra <SL>\n[Device]\n[Layer1]\n[Command]\n    Command.Plot=\"Yes\"\n$ = 1\n[Voltage]\n";
    const std::string path = folder.write("plot.kovra", text);
    ASSERT_EQ(Device_load(document(), path.c_str()), 1);
    EXPECT_EQ(readText(path), text);
}

}  // namespace
