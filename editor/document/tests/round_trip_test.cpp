// Read-write-read: every example device file and a file the engine wrote
// back (simulinput.kovra) read into the document, saved, and read again
// give the same device, field by field, with nothing skipped; and the
// saved file says what the original said: the same keys, values,
// variables and comments.
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <strings.h>
#include <vector>

#include "deviceSnapshot.h"
#include "docTestSupport.h"
#include "kovbase.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> exampleFiles()
{
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(std::string(KOVRA_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() == ".kovra") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A warning other than a value kept as written means a line was dropped.
bool skippedAny(const std::string& console)
{
    size_t at = 0;
    while ((at = console.find("[WARNING]", at)) != std::string::npos) {
        const size_t end = console.find('\n', at);
        if (console.substr(at, end - at).find("value kept as written") == std::string::npos) {
            return true;
        }
        at = end;
    }
    return false;
}

std::string unquoted(const std::string& text)
{
    return text.size() >= 2 && text.front() == '"' && text.back() == '"'
               ? text.substr(1, text.size() - 2)
               : text;
}

// A device file as its lines say it, read here on its own terms: the value
// of every key by section (keys in the form the section gives them to the
// engine, letter case aside), the variables, and every comment text.
struct FileEntries {
    std::map<std::string, std::string> values;  // "Section/key" -> value, unquoted
    std::map<std::string, std::string> variables;
    std::multiset<std::string> comments;

    explicit FileEntries(const std::string& text)
    {
        std::istringstream in(text);
        std::string line;
        std::string section;
        std::getline(in, line);  // the first line
        while (std::getline(in, line)) {
            line = kov_trimmed(line);
            if (line.empty()) {
                continue;
            }
            if (line[0] == '#' || line[0] == ';') {
                addComment(line.substr(1));
                continue;
            }
            // A comment starts at the first mark outside double quotes.
            bool quoted = false;
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '"') {
                    quoted = !quoted;
                } else if (!quoted && (line[i] == '#' || line[i] == ';')) {
                    addComment(line.substr(i + 1));
                    line = kov_trimmed(line.substr(0, i));
                    break;
                }
            }
            const size_t equals = line.find('=');
            if (line[0] == '[') {
                section = line.substr(1, line.size() - 2);
                if (section == "Layer") {
                    section = "Layer1";
                }
            } else if (line[0] == '$' && equals != std::string::npos) {
                variables[kov_trimmed(line.substr(1, equals - 1))] =
                    kov_trimmed(line.substr(equals + 1));
            } else if (equals != std::string::npos) {
                values[section + "/" + engineKey(section, kov_trimmed(line.substr(0, equals)))] =
                    unquoted(kov_trimmed(line.substr(equals + 1)));
            }
        }
    }

    // Every comment, an empty one too (a lone mark that spaces a block).
    void addComment(const std::string& text) { comments.insert(kov_trimmed(text)); }

    static std::string engineKey(const std::string& section, std::string key)
    {
        if (section.rfind("Layer", 0) == 0) {
            if (key.rfind(section + ".", 0) == 0) {
                key = key.substr(section.size() + 1);
            }
        } else if (section != "Device" && key.rfind(section, 0) != 0) {
            key = section + "." + key;
        }
        return kov_toLowerAscii(key);
    }
};

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

// The saved file holds every key of the original with the same value (an
// expression by the number it gives, a word the reader converts by what it
// stores), no key the original left out but Command.Plot, the same
// variables and every comment, none added.
TEST_F(RoundTrip, EveryExampleSavesBackToAnEquivalentFile)
{
    for (const std::string& source : exampleFiles()) {
        SCOPED_TRACE(source);
        ASSERT_EQ(Device_load(document(), source.c_str()), 1) << recorder.console();
        const std::string copy = folder.path() + "saved.kovra";
        ASSERT_EQ(Device_save(document(), copy.c_str()), 1);
        const std::string text = readText(copy);
        const FileEntries original(readText(source));
        const FileEntries saved(text);
        for (const auto& [key, value] : original.values) {
            const auto found = saved.values.find(key);
            ASSERT_NE(found, saved.values.end()) << key << " lost:\n" << text;
            if (found->second == value) {
                continue;
            }
            const std::string name = key.substr(key.find('/') + 1);
            if (name == "command.plot" ||
                (name == "light.source" && strcasecmp(value.c_str(), "EQE") == 0)) {
                continue;  // words the reader converts
            }
            char number[PARAM_WORK_SIZE];
            kov_copyA(number, sizeof number, value.c_str());
            ASSERT_EQ(Device_evaluate(device(), number), 1)
                << key << "=" << value << " became " << found->second;
            const double expected = std::strtod(number, nullptr);
            const double written = std::strtod(found->second.c_str(), nullptr);
            EXPECT_LE(std::fabs(written - expected), 1e-12 * std::fabs(expected))
                << key << "=" << value << " became " << found->second;
        }
        for (const auto& [key, value] : saved.values) {
            EXPECT_TRUE(original.values.count(key) == 1 || key == "Command/command.plot")
                << key << "=" << value << " added";
        }
        EXPECT_EQ(saved.variables, original.variables);
        EXPECT_EQ(saved.comments, original.comments) << text;
    }
}

TEST_F(RoundTrip, EveryExample)
{
    const auto files = exampleFiles();
    ASSERT_GE(files.size(), 8u);
    for (const std::string& file : files) {
        check(file);
    }
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
