// The configuration store: line helpers, case and quote rules, size rules,
// and the text it writes and reads back.
#include <gtest/gtest.h>

#include <string>

#include "tempFolder.h"
#include "focore.h"
#include "kovbase.h"

namespace {

std::string narrow(const wchar_t* text) { return kov_toUtf8(text); }

TEST(FoConfigLine, TrimRemovesBlanksOnBothSides)
{
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {{L"  a b \t\r\n", L"a b"}, {L"", L""}, {L" \t ", L""}, {L"x", L"x"}};
    for (const auto& c : cases) {
        wchar_t text[32];
        kov_copyW(text, 32, c.in);
        EXPECT_EQ(foConfig::trim(text), static_cast<int>(std::wcslen(c.out)));
        EXPECT_STREQ(text, c.out);
    }
    EXPECT_EQ(foConfig::trim(nullptr), 0);
}

TEST(FoConfigLine, RemCommentSplitsOnlyOutsideQuotes)
{
    const struct {
        const wchar_t* line;
        const wchar_t* left;
        const wchar_t* comment;  // null: nothing split off
    } cases[] = {
        {L"Thickness=1.5    # um", L"Thickness=1.5    ", L" um"},
        {L"Name=\"cell # 1\" ; note", L"Name=\"cell # 1\" ", L" note"},
        {L"Model=\"a;b\"", L"Model=\"a;b\"", nullptr},
        {L"a=1;2#3", L"a=1", L"2#3"},
        {L"# a comment line", L"# a comment line", nullptr},
        {L"  ; also one", L"  ; also one", nullptr},
        {L"plain=1", L"plain=1", nullptr},
        {L"", L"", nullptr},
    };
    for (const auto& c : cases) {
        wchar_t line[64];
        kov_copyW(line, 64, c.line);
        wchar_t* comment = reinterpret_cast<wchar_t*>(1);
        EXPECT_EQ(foConfig::remComment(line, &comment), static_cast<int>(std::wcslen(c.left)))
            << narrow(c.line);
        EXPECT_STREQ(line, c.left);
        if (c.comment == nullptr) {
            EXPECT_EQ(comment, nullptr) << narrow(c.line);
        } else {
            ASSERT_NE(comment, nullptr) << narrow(c.line);
            EXPECT_STREQ(comment, c.comment);
        }
    }
}

TEST(FoConfigLine, GetKeyValueSplitsAtTheFirstEquals)
{
    const struct {
        const wchar_t* line;
        bool ok;
        const wchar_t* key;
        const wchar_t* value;
    } cases[] = {
        {L"  Thickness = 1.5 ", true, L"Thickness", L"1.5"},
        {L"a==b", true, L"a", L"=b"},
        {L"Name=\"x = y\"", true, L"Name", L"\"x = y\""},
        {L"k=", true, L"k", L""},
        {L"=5", false, L"", L""},
        {L"   = 5", false, L"", L""},
        {L"no key line", false, L"", L""},
    };
    for (const auto& c : cases) {
        wchar_t key[64];
        wchar_t value[64];
        EXPECT_EQ(foConfig::getKeyValue(c.line, key, value), c.ok) << narrow(c.line);
        if (c.ok) {
            EXPECT_STREQ(key, c.key);
            EXPECT_STREQ(value, c.value);
        }
    }
    wchar_t key[4];
    wchar_t value[64];
    EXPECT_FALSE(foConfig::getKeyValue(L"long=1", key, value, 4, 64));  // "long" needs 5
    EXPECT_TRUE(foConfig::getKeyValue(L"abc=1", key, value, 4, 64));
    EXPECT_FALSE(foConfig::getKeyValue(L"a=12345", key, value, 4, 4));
}

TEST(FoConfigStore, SectionsAndKeysIgnoreCase)
{
    foConfig config(16);
    foSection* layer = config.addSection(L"Layer1", 112);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(config.getSection(L"LAYER1"), layer);
    EXPECT_EQ(config.getSection(0), layer);
    EXPECT_EQ(config.getSection(1), nullptr);
    EXPECT_EQ(config.getSection(-1), nullptr);
    EXPECT_EQ(config.getSection(L"Layer2"), nullptr);

    EXPECT_TRUE(config.setValue(L"layer1", L"Thickness", L"1.5", L"um", false));
    EXPECT_TRUE(config.setValue(L"LAYER1", L"Material", L"Si", nullptr, true));
    EXPECT_TRUE(config.setValue(L"Layer1", L"THICKNESS", L"2", nullptr, false));  // replaces
    EXPECT_EQ(layer->getRecordCount(), 2);
    EXPECT_STREQ(layer->getRecord(0)->getKey(), L"Thickness");  // first spelling, first place

    wchar_t value[foRecord::VALUE_SIZE];
    wchar_t comment[foRecord::COMMENT_SIZE];
    ASSERT_TRUE(config.getValue(L"LAYER1", L"thickness", value, comment));
    EXPECT_STREQ(value, L"2");
    EXPECT_STREQ(comment, L"");
    ASSERT_TRUE(layer->getValue(L"material", value, nullptr));
    EXPECT_STREQ(value, L"Si");
    EXPECT_FALSE(config.getValue(L"Layer1", L"Bandgap", value, comment));
    EXPECT_FALSE(config.getValue(L"Anode", L"Anode.Phi", value, comment));
    EXPECT_FALSE(config.setValue(L"Anode", L"Anode.Phi", L"4.5", nullptr, false));
}

TEST(FoConfigStore, QuotesAreRemovedAndRemembered)
{
    foConfig config;
    foSection* device = config.addSection(L"Device");
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->setValue(L"Name", L"\"Solar # cell\"", nullptr, false));
    ASSERT_TRUE(device->setValue(L"Label", L"top", nullptr, true));
    ASSERT_TRUE(device->setValue(L"Temperature", L"300", nullptr, false));
    ASSERT_TRUE(device->setValue(L"Odd", L"\"open", nullptr, false));
    ASSERT_TRUE(device->setValue(L"Empty", L"\"\"", nullptr, false));

    const struct {
        const wchar_t* key;
        const wchar_t* value;
        bool quoted;
    } expected[] = {{L"Name", L"Solar # cell", true},
                    {L"Label", L"top", true},
                    {L"Temperature", L"300", false},
                    {L"Odd", L"\"open", false},
                    {L"Empty", L"", true}};
    for (const auto& e : expected) {
        const foRecord* record = device->findRecord(e.key);
        ASSERT_NE(record, nullptr) << narrow(e.key);
        EXPECT_STREQ(record->getValue(), e.value);
        EXPECT_EQ(record->isQuoted(), e.quoted) << narrow(e.key);
    }
}

TEST(FoConfigStore, SizeRulesRefuseInsteadOfCutting)
{
    foConfig config;
    foSection* section = config.addSection(L"Numeric");
    ASSERT_NE(section, nullptr);
    const std::wstring key63(63, L'k');
    const std::wstring value1023(1023, L'v');
    EXPECT_TRUE(section->setValue(key63.c_str(), L"1", nullptr, false));
    EXPECT_FALSE(section->setValue((key63 + L"k").c_str(), L"1", nullptr, false));
    EXPECT_TRUE(section->setValue(L"a", value1023.c_str(), nullptr, false));
    EXPECT_FALSE(section->setValue(L"b", (value1023 + L"v").c_str(), nullptr, false));
    EXPECT_TRUE(section->setValue(L"c", (L"\"" + value1023 + L"\"").c_str(), nullptr, false));
    EXPECT_FALSE(section->setValue(L"", L"1", nullptr, false));
    EXPECT_FALSE(section->setValue(nullptr, L"1", nullptr, false));
    EXPECT_FALSE(section->setValue(L"d", nullptr, nullptr, false));
    EXPECT_EQ(section->findRecord(L"b"), nullptr);

    const std::wstring longComment(400, L'c');
    ASSERT_TRUE(section->setValue(L"e", L"1", longComment.c_str(), false));
    EXPECT_EQ(std::wstring(section->findRecord(L"e")->getComment()), longComment.substr(0, 255));

    EXPECT_EQ(config.addSection(std::wstring(64, L's').c_str()), nullptr);
    EXPECT_NE(config.addSection(std::wstring(63, L's').c_str()), nullptr);
    EXPECT_EQ(config.addSection(L""), nullptr);
    EXPECT_EQ(config.addSection(nullptr), nullptr);

    wchar_t small[8];
    EXPECT_FALSE(section->getValue(L"a", small, nullptr, 8, 0));  // does not fit
    EXPECT_TRUE(section->getValue(key63.c_str(), small, nullptr, 8, 0));
    EXPECT_STREQ(small, L"1");
}

TEST(FoConfigStore, CapacityIsNotEnforcedSoOwnersCanSeeAnOverflow)
{
    foConfig config(2);
    EXPECT_EQ(config.getCapacity(), 2);
    ASSERT_NE(config.addSection(L"Device"), nullptr);
    ASSERT_NE(config.addSection(L"Layer1"), nullptr);
    ASSERT_NE(config.addSection(L"Layer2"), nullptr);
    EXPECT_EQ(config.getSectionCount(), 3);
    config.removeAll();
    EXPECT_EQ(config.getSectionCount(), 0);
    EXPECT_EQ(config.getSection(L"Device"), nullptr);
}

TEST(FoConfigStore, RepeatedSectionCountsButJoinsTheFirst)
{
    foConfig config(16);
    foSection* first = config.addSection(L"Layer1");
    ASSERT_TRUE(config.setValue(L"Layer1", L"Thickness", L"1", nullptr, false));
    foSection* again = config.addSection(L"LAYER1");
    EXPECT_EQ(again, first);
    EXPECT_EQ(config.getSectionCount(), 2);
    ASSERT_TRUE(config.setValue(again->getName(), L"Bandgap", L"1.12", nullptr, false));
    EXPECT_EQ(first->getRecordCount(), 2);
}

TEST(FoConfigFile, WritesKeyValueLinesAndReadsThemBack)
{
    TempFolder folder;
    foConfig config;
    foSection* device = config.addSection(L"Device");
    device->setValue(L"Name", L"Cell #1; \u00E9t\u00E9", nullptr, true);
    device->setValue(L"Temperature", L"300", L"kelvin", false);
    foSection* numeric = config.addSection(L"Numeric");
    numeric->setValue(L"Numeric.Tol", L"1e-06", nullptr, false);
    numeric->setValue(L"Numeric.Guess", L"", nullptr, true);

    const std::wstring path = kov_toWide(folder.file("out.kovra"));
    ASSERT_TRUE(config.writeFile(path.c_str()));
    EXPECT_EQ(readAll(folder.file("out.kovra")), "[Device]\n"
                                                 "    Name=\"Cell #1; \xC3\xA9t\xC3\xA9\"\n"
                                                 "    Temperature=300    # kelvin\n"
                                                 "\n"
                                                 "[Numeric]\n"
                                                 "    Numeric.Tol=1e-06\n"
                                                 "    Numeric.Guess=\"\"\n"
                                                 "\n");

    foConfig back;
    int errorLine = -1;
    ASSERT_TRUE(back.readFile(path.c_str(), &errorLine));
    ASSERT_EQ(back.getSectionCount(), config.getSectionCount());
    for (int s = 0; s < config.getSectionCount(); ++s) {
        const foSection* a = config.getSection(s);
        const foSection* b = back.getSection(s);
        EXPECT_STREQ(a->getName(), b->getName());
        ASSERT_EQ(a->getRecordCount(), b->getRecordCount());
        for (int r = 0; r < a->getRecordCount(); ++r) {
            EXPECT_STREQ(a->getRecord(r)->getKey(), b->getRecord(r)->getKey());
            EXPECT_STREQ(a->getRecord(r)->getValue(), b->getRecord(r)->getValue());
            EXPECT_STREQ(a->getRecord(r)->getComment(), b->getRecord(r)->getComment());
            EXPECT_EQ(a->getRecord(r)->isQuoted(), b->getRecord(r)->isQuoted());
        }
    }
}

TEST(FoConfigFile, CommentLineAttachesToTheNextKeyOnly)
{
    TempFolder folder;
    const std::string path = folder.write("c.txt", "\xEF\xBB\xBF# file header\r\n"
                                                   "[Light]\r\n"
                                                   "# source of light\r\n"
                                                   "Light.Source=\"AM1.5\"\r\n"
                                                   "; detached\r\n"
                                                   "\r\n"
                                                   "Light.Flux=1e17\r\n"
                                                   "# ignored\r\n"
                                                   "Light.Start=0.3 # own\r\n");
    foConfig config;
    ASSERT_TRUE(config.readFile(kov_toWide(path).c_str()));
    wchar_t value[foRecord::VALUE_SIZE];
    wchar_t comment[foRecord::COMMENT_SIZE];
    ASSERT_TRUE(config.getValue(L"Light", L"Light.Source", value, comment));
    EXPECT_STREQ(value, L"AM1.5");
    EXPECT_STREQ(comment, L"source of light");
    ASSERT_TRUE(config.getValue(L"Light", L"Light.Flux", value, comment));
    EXPECT_STREQ(comment, L"");
    ASSERT_TRUE(config.getValue(L"Light", L"Light.Start", value, comment));
    EXPECT_STREQ(value, L"0.3");
    EXPECT_STREQ(comment, L"own");
}

TEST(FoConfigFile, ReadingStopsAtTheFirstBadLine)
{
    const struct {
        const char* text;
        int line;
    } cases[] = {
        {"key=1\n", 1},                      // outside any section
        {"[Device]\nName=a\n[Layer1\n", 3},  // header not closed
        {"[Device]\n\njust words\n", 3},     // no key line
        {"[]\n", 1},                         // empty name
    };
    TempFolder folder;
    for (const auto& c : cases) {
        const std::string path = folder.write("bad.txt", c.text);
        foConfig config;
        int errorLine = 0;
        EXPECT_FALSE(config.readFile(kov_toWide(path).c_str(), &errorLine)) << c.text;
        EXPECT_EQ(errorLine, c.line) << c.text;
    }
    const std::string tooLong = folder.write("long.txt", "[D]\nk=" + std::string(1024, 'v') + "\n");
    foConfig config;
    int errorLine = 0;
    EXPECT_FALSE(config.readFile(kov_toWide(tooLong).c_str(), &errorLine));
    EXPECT_EQ(errorLine, 2);
    EXPECT_FALSE(config.readFile(kov_toWide(folder.file("missing")).c_str(), &errorLine));
    EXPECT_EQ(errorLine, 0);
}

// The device-file reader is a foConfig and nothing more.
class DerivedStore : public foConfig {
public:
    DerivedStore() : foConfig(16) {}
};

TEST(FoConfigStore, CanBeABaseClass)
{
    DerivedStore store;
    ASSERT_NE(store.addSection(L"Command"), nullptr);
    EXPECT_TRUE(store.setValue(L"command", L"Command.Plot", L"No", nullptr, true));
    EXPECT_EQ(store.getCapacity(), 16);
}

}  // namespace
