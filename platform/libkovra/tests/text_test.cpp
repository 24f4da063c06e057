// Device-file header, console text conversion and colour helpers.
#include "libkovra.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

namespace {

TEST(FileHeader, StartsWithTheMandatoryLineAndNamesVersionAndTime)
{
    char buffer[256] = {};
    const size_t n = getKovraFileHeader(buffer, sizeof buffer);
    const std::string text(buffer);
    EXPECT_EQ(n, text.size());
    const std::regex shape("# Kovra <SL>\n# The above first line is mandatory\n#\n# Kovra Version "
                           "3\\.0 Build 2412 Linux\n#\n"
                           "# Saved: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \n");
    EXPECT_TRUE(std::regex_match(text, shape)) << text;
}

TEST(FileHeader, ASmallBufferGetsACutTerminatedText)
{
    char buffer[13];
    EXPECT_EQ(getKovraFileHeader(buffer, sizeof buffer), 12u);
    EXPECT_STREQ(buffer, "# Kovra <SL>");
    EXPECT_EQ(getKovraFileHeader(nullptr, 10), 0u);
}

TEST(NormalizeString, KeepsUtf8AndReplacesBrokenBytes)
{
    struct Case {
        std::string in;
        size_t n;
        std::string out;
    };
    const Case cases[] = {
        {"plain text\n", 64, "plain text\n"},
        {"V\xC3\xA9rit\xC3\xA9", 64, "V\xC3\xA9rit\xC3\xA9"},
        {"Latin-1 \xE9t\xE9", 64, "Latin-1 ?t?"},  // 8-bit text from the pipe
        {"cut \xC3\xA9", 5, "cut ?"},              // n ends inside a sequence
        {"\xE2\x82\xAC euro", 64, "\xE2\x82\xAC euro"},
        {"\xC0\xAF overlong", 64, "?? overlong"},
        {"\xED\xA0\x80 surrogate", 64, "??? surrogate"},
        {"abcdef", 3, "abc"},
        {"", 10, ""},
    };
    for (const Case& c : cases) {
        char buffer[128];
        std::memset(buffer, 'Z', sizeof buffer);
        const size_t length = normalizeStringToAnsi(c.in.c_str(), buffer, c.n);
        EXPECT_EQ(std::string(buffer), c.out) << c.in;
        EXPECT_EQ(length, c.out.size()) << c.in;
    }
    char buffer[4] = "xyz";
    EXPECT_EQ(normalizeStringToAnsi(nullptr, buffer, 3), 0u);
    EXPECT_STREQ(buffer, "");
}

TEST(Colors, NormalizeShiftsEachChannelAndHoldsItInRange)
{
    struct Case {
        long color;
        int r, g, b;
        long expected;
    };
    const Case cases[] = {
        {0xC24230, 0, 0, -40, 0x9A4230},  // blue byte lowered
        {0x141DC7, 40, 40, 40, 0x3C45EF},    {0x307DB0, 60, 60, 60, 0x6CB9EC},
        {0xFFFFFF, 10, 10, 10, 0xFFFFFF},  // held at 255
        {0x000000, -64, -64, -64, 0x000000}, {0x102030, -0x20, 0, 0x10, 0x202010},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(normalizeColor(c.color, c.r, c.g, c.b), c.expected) << std::hex << c.color;
    }
}

TEST(Colors, GrayifyGivesAGreyBetweenTheColoursLightnessAndTheLevel)
{
    const long white = grayifyColor(0xFFFFFF, 192);
    const long black = grayifyColor(0x000000, 192);
    EXPECT_EQ(white, 0xDFDFDF);  // (255 + 192) / 2
    EXPECT_EQ(black, 0x606060);  // (0 + 192) / 2
    const long red = grayifyColor(0x0000FF, 192);
    EXPECT_EQ(red & 0xFF, (red >> 8) & 0xFF);
    EXPECT_EQ(red & 0xFF, (red >> 16) & 0xFF);
    EXPECT_GT(red & 0xFF, black & 0xFF);
    EXPECT_LT(red & 0xFF, white & 0xFF);
}

}  // namespace
