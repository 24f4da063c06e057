// Read-write-read: every example device file and a file the engine wrote
// back (simulinput.kovra) read into the document, saved, and read again
// give the same device, field by field, with nothing skipped.
#include <filesystem>
#include <string>
#include <vector>

#include "deviceSnapshot.h"
#include "docTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> exampleFiles()
{
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(std::string(KOVRA_SOURCE_DIR) + "/examples"))
        if (entry.path().extension() == ".kovra")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// A warning other than a value kept as written means a line was dropped.
bool skippedAny(const std::string& console)
{
    size_t at = 0;
    while ((at = console.find("[WARNING]", at)) != std::string::npos) {
        const size_t end = console.find('\n', at);
        if (console.substr(at, end - at).find("value kept as written") == std::string::npos)
            return true;
        at = end;
    }
    return false;
}

class RoundTrip : public DocTest {
protected:
    // Reads the file, saves it, reads the copy; both devices must agree and
    // neither reading may skip a line.
    void check(const std::string& source)
    {
        SCOPED_TRACE(source);
        const std::string copy = folder.path() + "copy_" + fs::path(source).filename().string();
        recorder.lines.clear();
        ASSERT_EQ(Device_load(document(), source.c_str()), 1) << recorder.console();
        EXPECT_FALSE(skippedAny(recorder.console())) << recorder.console();
        const auto first = snapshotDevice(device());
        ASSERT_EQ(Device_save(document(), copy.c_str()), 1);
        recorder.lines.clear();
        ASSERT_EQ(Device_load(document(), copy.c_str()), 1) << recorder.console();
        EXPECT_FALSE(skippedAny(recorder.console())) << recorder.console();
        const auto second = snapshotDevice(device());
        for (const auto& [where, value] : first) {
            const auto found = second.find(where);
            ASSERT_NE(found, second.end()) << where << " lost in " << readText(copy);
            EXPECT_EQ(found->second, value) << where;
        }
        EXPECT_EQ(first.size(), second.size());
        // Saving again gives the same text: writing is stable.
        const std::string again = folder.path() + "again.kovra";
        ASSERT_EQ(Device_save(document(), again.c_str()), 1);
        EXPECT_EQ(readText(again), readText(copy));
    }
};

TEST_F(RoundTrip, EveryExample)
{
    const auto files = exampleFiles();
    ASSERT_GE(files.size(), 8u);
    for (const std::string& file : files)
        check(file);
}

TEST_F(RoundTrip, FilesTheEngineWroteBack)
{
    for (const std::string& example : exampleFiles()) {
        const std::string work = folder.path() + "run/";
        fs::remove_all(work);
        fs::create_directories(work);
        fs::copy(fs::path(example).parent_path() / "lua", work + "lua",
                 fs::copy_options::recursive | fs::copy_options::skip_existing);
        const std::string input = work + fs::path(example).filename().string();
        fs::copy_file(example, input);
        const std::string command = "cd '" + work + "' && '" + KOVRA_BIN_DIR +
                                    "/kovracomp' -run '" + input + "' -nowarn > run.log 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << readText(work + "run.log");
        const std::string written = work + "simulinput.kovra";
        ASSERT_TRUE(fs::exists(written)) << example;
        check(written);
    }
}

}  // namespace
