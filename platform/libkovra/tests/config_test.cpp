// Settings files: what a program writes comes back unchanged, hand-edited
// files are read sensibly, and saving never leaves a broken file behind.
#include "libkovra.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tempFolder.h"

namespace {

const ConfigKey COMMON_KEYS[] = {{"DefaultMaterial", 1}, {"TerminalArgs", 1}, {nullptr, 0}};
const ConfigKey GUI_KEYS[] = {
    {"WindowMainWidth", 0}, {"WindowMainMaximized", 0}, {"ViewStatusbar", 0}, {nullptr, 0}};
const ConfigSection SCHEMA[] = {
    {1, "Common", COMMON_KEYS}, {3, "GUI", GUI_KEYS}, {-1, nullptr, nullptr}};

std::string valueOf(const Config* config, const char* section, const char* key, size_t size = 1024)
{
    char buffer[1024] = "unchanged";
    if (!Config_getValue(config, section, key, buffer, size)) {
        return "<missing>";
    }
    return buffer;
}

struct ConfigPtr {
    Config* config = Config_create();
    ~ConfigPtr() { Config_destroy(&config); }
};

TEST(Config, WrittenValuesReadBackIncludingBlanksAndKeysBeyondTheSchema)
{
    TempFolder folder("kovra-config-");
    const std::string path = folder.file("kovradevice.kovr");
    {
        ConfigPtr out;
        Config_removeAll(out.config);
        for (int i = 0; SCHEMA[i].name; ++i) {
            ASSERT_TRUE(Config_addSection(out.config, SCHEMA[i].name,
                                          Config_sectionRecordCount(SCHEMA, out.config, i)));
        }
        EXPECT_TRUE(Config_setValue(out.config, "Common", "DefaultMaterial", "  Si Ge ", 0, 1));
        EXPECT_TRUE(Config_setValue(out.config, "Common", "TerminalArgs", "-e;-T", 0, 1));
        EXPECT_TRUE(Config_setValue(out.config, "GUI", "WindowMainWidth", "1024", 0, 0));
        EXPECT_TRUE(
            Config_setValue(out.config, "GUI", "WindowMainMaximized", "Yes and more", 3, 0));
        EXPECT_TRUE(Config_setValue(out.config, "GUI", "Extra", "x=\"quoted\"", 0, 1));
        EXPECT_TRUE(Config_setValue(out.config, "History", "Expression25", "sin(pi/2)", 0, 1));
        EXPECT_TRUE(Config_setValue(out.config, "History", "Multi", "a\nb\r\nc", 0, 1));
        ASSERT_EQ(Config_save(out.config, path.c_str(), nullptr), 1);
    }
    ConfigPtr in;
    ASSERT_TRUE(Config_load(SCHEMA, in.config, path.c_str()));
    EXPECT_EQ(Config_sectionCount(in.config), 3);
    EXPECT_EQ(valueOf(in.config, "Common", "DefaultMaterial"), "  Si Ge ");
    EXPECT_EQ(valueOf(in.config, "Common", "TerminalArgs"), "-e;-T");
    EXPECT_EQ(valueOf(in.config, "GUI", "WindowMainWidth"), "1024");
    EXPECT_EQ(valueOf(in.config, "GUI", "WindowMainMaximized"), "Yes");
    EXPECT_EQ(valueOf(in.config, "GUI", "Extra"), "x=\"quoted\"");
    EXPECT_EQ(valueOf(in.config, "History", "Expression25"), "sin(pi/2)");
    EXPECT_EQ(valueOf(in.config, "History", "Multi"), "a b  c");
    EXPECT_EQ(valueOf(in.config, "GUI", "ViewStatusbar"), "<missing>");
    EXPECT_EQ(valueOf(in.config, "Nowhere", "WindowMainWidth"), "<missing>");
    // The text is a readable sectioned file.
    const std::string text = readAll(path);
    EXPECT_NE(text.find("[Common]\nDefaultMaterial=\"  Si Ge \"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[GUI]\nWindowMainWidth=1024\n"), std::string::npos) << text;
}

TEST(Config, HandEditedFilesAreReadLeniently)
{
    TempFolder folder("kovra-config-");
    const std::string path = folder.write("hand.kovr", "\xEF\xBB\xBF; written by hand\r\n"
                                                       "orphan=1\r\n"
                                                       "[ Common ]\r\n"
                                                       "  DefaultMaterial =  GaAs  \r\n"
                                                       "# comment=ignored\r\n"
                                                       "no equals sign\r\n"
                                                       "TerminalArgs=\"\"\r\n"
                                                       "[GUI]\n"
                                                       "WindowMainWidth=800\n"
                                                       "WindowMainWidth=900\n"
                                                       "[Common]\n"
                                                       "DefaultInput=/tmp/a b.kovra");
    ConfigPtr in;
    ASSERT_TRUE(Config_load(SCHEMA, in.config, path.c_str()));
    EXPECT_EQ(Config_sectionCount(in.config), 2);  // a repeated section joins the first
    EXPECT_EQ(valueOf(in.config, "Common", "DefaultMaterial"), "GaAs");
    EXPECT_EQ(valueOf(in.config, "Common", "TerminalArgs"), "");
    EXPECT_EQ(valueOf(in.config, "Common", "DefaultInput"), "/tmp/a b.kovra");
    EXPECT_EQ(valueOf(in.config, "Common", "# comment"), "<missing>");
    EXPECT_EQ(valueOf(in.config, "GUI", "WindowMainWidth"), "900");
    EXPECT_EQ(valueOf(in.config, "", "orphan"), "<missing>");
}

TEST(Config, MissingFileAndEmptyFile)
{
    TempFolder folder("kovra-config-");
    ConfigPtr in;
    EXPECT_FALSE(Config_load(SCHEMA, in.config, folder.file("missing.kovr").c_str()));
    EXPECT_FALSE(Config_load(SCHEMA, in.config, ""));
    EXPECT_FALSE(Config_load(SCHEMA, in.config, nullptr));
    EXPECT_FALSE(Config_load(SCHEMA, nullptr, folder.write("x", "[A]\n").c_str()));
    ASSERT_TRUE(Config_load(SCHEMA, in.config, folder.write("empty.kovr", "").c_str()));
    EXPECT_EQ(Config_sectionCount(in.config), 0);
}

TEST(Config, ValuesAreCutToTheBufferOnACharacterBoundary)
{
    ConfigPtr c;
    // "ab" then two 2-byte characters: a 5-byte buffer holds "ab" + one of them.
    ASSERT_TRUE(Config_setValue(c.config, "S", "k", "ab\xC3\xA9\xC3\xA9", 0, 1));
    EXPECT_EQ(valueOf(c.config, "S", "k", 5), "ab\xC3\xA9");
    EXPECT_EQ(valueOf(c.config, "S", "k", 4), "ab");
    // Size 0 means the programs' smallest buffer, 256 bytes.
    ASSERT_TRUE(Config_setValue(c.config, "S", "long", std::string(600, 'x').c_str(), 0, 1));
    EXPECT_EQ(valueOf(c.config, "S", "long", 0).size(), 255u);
}

TEST(Config, NamesThatCannotSurviveTheFileAreRefused)
{
    ConfigPtr c;
    EXPECT_FALSE(Config_addSection(c.config, "", 1));
    EXPECT_FALSE(Config_addSection(c.config, "a]b", 1));
    EXPECT_FALSE(Config_addSection(c.config, "two\nlines", 1));
    EXPECT_FALSE(Config_addSection(nullptr, "GUI", 1));
    EXPECT_FALSE(Config_setValue(c.config, "S", "a=b", "1", 0, 0));
    EXPECT_FALSE(Config_setValue(c.config, "S", ";comment", "1", 0, 0));
    EXPECT_FALSE(Config_setValue(c.config, "S", " padded", "1", 0, 0));
    EXPECT_EQ(Config_sectionCount(c.config), 0);
    EXPECT_TRUE(Config_addSection(c.config, "GUI", 3));
    EXPECT_TRUE(Config_addSection(c.config, "GUI", 3));
    EXPECT_EQ(Config_sectionCount(c.config), 1);
}

TEST(Config, SectionRecordCountFollowsTheSchemaAndGrowsWithHeldKeys)
{
    ConfigPtr c;
    EXPECT_EQ(Config_sectionRecordCount(SCHEMA, c.config, 0), 2);
    EXPECT_EQ(Config_sectionRecordCount(SCHEMA, c.config, 1), 3);
    EXPECT_EQ(Config_sectionRecordCount(SCHEMA, c.config, 2), 0);
    EXPECT_EQ(Config_sectionRecordCount(SCHEMA, c.config, 7), 0);
    EXPECT_EQ(Config_sectionRecordCount(nullptr, c.config, 0), 0);
    for (const char* key : {"a", "b", "c", "d"}) {
        Config_setValue(c.config, "Common", key, "1", 0, 0);
    }
    EXPECT_EQ(Config_sectionRecordCount(SCHEMA, c.config, 0), 4);
}

TEST(Config, SavingReplacesTheFileWholeAndLeavesNoScratchFiles)
{
    TempFolder folder("kovra-config-");
    const std::string path = folder.write("kovracalc.kovr", "[Old]\nkey=1\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ConfigPtr c;
    Config_setValue(c.config, "New", "key", "2", 0, 0);
    ASSERT_EQ(Config_save(c.config, path.c_str(), nullptr), 1);
    EXPECT_EQ(readAll(path), "[New]\nkey=2\n");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the file keeps its permissions";
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(Config, AnUnwritableTargetFallsBackToTheAlternativeAndKeepsTheOldFile)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    TempFolder folder("kovra-config-");
    std::filesystem::create_directory(folder.file("system"));
    const std::string path = folder.write("system/kovradevice.kovr", "[Old]\nkey=1\n");
    ASSERT_EQ(chmod(folder.file("system").c_str(), 0555), 0);
    const std::string local = folder.file("user/KovraDevice/kovradevice.kovr");
    ConfigPtr c;
    Config_setValue(c.config, "New", "key", "2", 0, 0);
    EXPECT_EQ(Config_save(c.config, path.c_str(), local.c_str()), 2);
    EXPECT_EQ(readAll(path), "[Old]\nkey=1\n");
    EXPECT_EQ(readAll(local), "[New]\nkey=2\n");
    EXPECT_EQ(Config_save(c.config, path.c_str(), nullptr), 0);
    EXPECT_EQ(readAll(path), "[Old]\nkey=1\n");
    chmod(folder.file("system").c_str(), 0755);
}

TEST(Config, AMissingFolderFallsBackToTheAlternativeAndAFailedRenameLeavesNoScratch)
{
    TempFolder folder("kovra-config-");
    ConfigPtr c;
    Config_setValue(c.config, "New", "key", "2", 0, 0);
    const std::string local = folder.file("user/KovraCalc/kovracalc.kovr");
    EXPECT_EQ(Config_save(c.config, folder.file("missing/kovracalc.kovr").c_str(), local.c_str()),
              2);
    EXPECT_EQ(readAll(local), "[New]\nkey=2\n");
    // A folder where the file should be: the rename fails, nothing is left over.
    std::filesystem::create_directory(folder.file("taken"));
    EXPECT_EQ(Config_save(c.config, folder.file("taken").c_str(), nullptr), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("taken")));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++files;
    }
    EXPECT_EQ(files, 2);  // user/ and taken/
}

TEST(Config, SavingWithoutANameUsesTheAlternative)
{
    TempFolder folder("kovra-config-");
    ConfigPtr c;
    Config_setValue(c.config, "A", "b", "c", 0, 0);
    EXPECT_EQ(Config_save(c.config, "", folder.file("alt.kovr").c_str()), 2);
    EXPECT_EQ(Config_save(c.config, nullptr, nullptr), 0);
    EXPECT_EQ(Config_save(nullptr, folder.file("x").c_str(), nullptr), 0);
}

}  // namespace

namespace {

// A settings file of many sections (two keys each), or one section of many
// keys, as a hostile or runaway program might leave it.
std::string manySections(int sections)
{
    std::string text;
    for (int i = 0; i < sections; ++i) {
        text += "[Section" + std::to_string(i) + "]\nA=1\nB=\"two\"\n";
    }
    return text;
}

std::string manyKeys(int keys)
{
    std::string text = "[Common]\n";
    for (int i = 0; i < keys; ++i) {
        text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    }
    return text;
}

// Name lookups of reading the text and of asking for every value once.
size_t lookupsToReadAll(const std::string& text, int sections, int keys)
{
    TempFolder folder("kovra-config-");
    const std::string path = folder.write("big.kovr", text);
    ConfigPtr in;
    EXPECT_TRUE(Config_load(nullptr, in.config, path.c_str()));
    char value[64];
    for (int s = 0; s < sections; ++s) {
        const std::string section = sections == 1 ? "Common" : "Section" + std::to_string(s);
        for (int k = 0; k < keys; ++k) {
            const std::string key =
                sections == 1 ? "Key" + std::to_string(k) : (k == 0 ? "A" : "B");
            EXPECT_TRUE(
                Config_getValue(in.config, section.c_str(), key.c_str(), value, sizeof value));
        }
    }
    return Config_nameLookups(in.config);
}

}  // namespace

// Reading and looking up stay linear however many sections or keys a file
// holds: the work is counted in name lookups (a few per line), not timed.
TEST(Config, ManySectionsOrKeysAreReadInLinearWork)
{
    const size_t small = lookupsToReadAll(manySections(1000), 1000, 2);
    const size_t large = lookupsToReadAll(manySections(16000), 16000, 2);
    EXPECT_LE(small, 1000u * 8);
    EXPECT_LE(large, 16000u * 8);
    const size_t fewKeys = lookupsToReadAll(manyKeys(1000), 1, 1000);
    const size_t manyKeysCount = lookupsToReadAll(manyKeys(16000), 1, 16000);
    EXPECT_LE(fewKeys, 1000u * 4);
    EXPECT_LE(manyKeysCount, 16000u * 4);
}

TEST(Config, AManySectionFileKeepsItsOrderAndItsLastValues)
{
    TempFolder folder("kovra-config-");
    std::string text = manySections(3000) + "[Section7]\nA=changed\nC=new\n";
    const std::string path = folder.write("big.kovr", text);
    ConfigPtr in;
    ASSERT_TRUE(Config_load(nullptr, in.config, path.c_str()));
    EXPECT_EQ(Config_sectionCount(in.config), 3000);
    EXPECT_EQ(valueOf(in.config, "Section7", "A"), "changed");
    EXPECT_EQ(valueOf(in.config, "Section7", "C"), "new");
    EXPECT_EQ(valueOf(in.config, "Section2999", "B"), "two");
    // Written back in the order read, the repeated section's keys joined.
    const std::string copy = folder.file("copy.kovr");
    ASSERT_EQ(Config_save(in.config, copy.c_str(), nullptr), 1);
    const std::string written = readAll(copy);
    EXPECT_EQ(written.rfind("[Section0]\nA=1\nB=\"two\"\n", 0), 0u);
    EXPECT_NE(written.find("[Section7]\nA=changed\nB=\"two\"\nC=new\n\n[Section8]"),
              std::string::npos);
    // Removing everything empties the indexes too.
    Config_removeAll(in.config);
    EXPECT_EQ(valueOf(in.config, "Section7", "A"), "<missing>");
    EXPECT_TRUE(Config_setValue(in.config, "Section7", "A", "again", 0, 0));
    EXPECT_EQ(Config_sectionCount(in.config), 1);
    EXPECT_EQ(valueOf(in.config, "Section7", "A"), "again");
}
