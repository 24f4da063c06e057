// The device-file reference (docs/device-file.md) against the key tables:
// every key the engine reads has its row, in its section, and the reference
// names no key the engine does not read.
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "inputTestSupport.h"

using namespace inputtest;

namespace {

// Keys in the first column of the table rows under each "## [Section]"
// heading; deeper headings stay in their section.
std::map<std::string, std::set<std::string>> documentedKeys(const std::string& text)
{
    std::map<std::string, std::set<std::string>> keys;
    const std::regex section(R"(^## \[([A-Za-z0-9]+)\])");
    const std::regex code("`([^`]+)`");
    std::string current;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch match;
        if (std::regex_search(line, match, section)) {
            current = match[1];
            keys[current];
            continue;
        }
        if (line.rfind("## ", 0) == 0) {
            current.clear();
        }
        if (current.empty() || line.rfind("| `", 0) != 0) {
            continue;
        }
        const size_t end = line.find(" |", 2);
        const std::string first = line.substr(2, end - 2);
        for (auto it = std::sregex_iterator(first.begin(), first.end(), code);
             it != std::sregex_iterator(); ++it) {
            keys[current].insert((*it)[1]);
        }
    }
    return keys;
}

std::set<std::string> tableKeys(const _ekRecord* records)
{
    std::set<std::string> keys;
    for (const _ekRecord* record = records; record->key != nullptr; ++record) {
        keys.insert(kov_toUtf8(record->key));
    }
    return keys;
}

}  // namespace

TEST(InputReference, EveryKeyOfEverySectionIsDocumentedAndNoOther)
{
    const std::string text = readText(std::string(KOVRA_SOURCE_DIR) + "/docs/device-file.md");
    ASSERT_FALSE(text.empty());
    const auto documented = documentedKeys(text);

    std::set<const _ekRecord*> seen;
    for (const _ekSection* section = ekInput::SECTION; section->name != nullptr; ++section) {
        if (!seen.insert(section->records).second) {
            continue;  // the layers share one table, documented once
        }
        const std::string name = kov_toUtf8(section->name);
        const auto found = documented.find(name);
        ASSERT_NE(found, documented.end()) << "no \"## [" << name << "]\" section";
        const std::set<std::string> wanted = tableKeys(section->records);
        for (const std::string& key : wanted) {
            EXPECT_EQ(found->second.count(key), 1u)
                << "[" << name << "] " << key << " undocumented";
        }
        for (const std::string& key : found->second) {
            EXPECT_EQ(wanted.count(key), 1u) << "[" << name << "] " << key << " is no key";
        }
    }
    EXPECT_EQ(seen.size(), 8u);
}

// The reference's examples are lines the reader takes: each example of a
// layer key loads in a layer section without refusal.
TEST(InputReference, LayerExamplesLoad)
{
    const std::string text = readText(std::string(KOVRA_SOURCE_DIR) + "/docs/device-file.md");
    const std::regex row(
        R"(^\| `(Composition\.x|Bandgap|Affinity|NC|NV|Permittivity|Mobility\.N|Mobility\.P|Beta|Cn|Cp|Dopant\.Nr|Dopant\.F|Dopant\.Taun|Dopant\.Taup|Urbach\.EA|Index\.n|Index\.k|Lattice\.a|Mesh\.Points)` .*\| `([^`]+)` \|$)");
    std::istringstream lines(text);
    std::string line;
    int checked = 0;
    while (std::getline(lines, line)) {
        std::smatch match;
        if (!std::regex_match(line, match, row)) {
            continue;
        }
        TempFolder scratch;
        const std::string path = scratch.file("device.kovra");
        writeText(path, "# Kovra <SL>\n[Layer1]\n    Thickness=1\n    Dopant.N=1e16\n    " +
                            std::string(match[2]) + "\n");
        DeviceRun run;
        EXPECT_TRUE(run.load(path)) << match[2] << ": " << run.message();
        ++checked;
    }
    EXPECT_GE(checked, 15);
}
