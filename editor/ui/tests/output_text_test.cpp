// The console's text rules: styles by tag, tidying of a message, the length
// cap that keeps UTF-8 whole, and the cut of the oldest lines.
#include <gtest/gtest.h>

#include <string>

#include "OutputText.h"

TEST(OutputText, StyleByTag)
{
    struct Case {
        const char* message;
        int style;
    } cases[] = {
        {"[ERROR]   cannot read", OutputStyleError},
        {"\r\n\n[ERROR] x", OutputStyleError},
        {"[WARNING] careful", OutputStyleWarning},
        {"[INPUT]   loaded", OutputStyleInfo},
        {"[DEVICE]", OutputStyleInfo},
        {"[VOLTAGE] 0.1", OutputStyleInfo},
        {"[LIGHT]", OutputStyleInfo},
        {"[PV]      Eff", OutputStyleInfo},
        {"[EQE]", OutputStyleInfo},
        {"[SIMUL]", OutputStyleInfo},
        {"[INFO]    mesh", OutputStylePlain},
        {"[DEBUG]", OutputStylePlain},
        {"\t[ERROR] after a tab", OutputStylePlain},
        {"[error] lower case", OutputStylePlain},
        {"\r\n", OutputStylePlain},
        {"", OutputStylePlain},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutputText_styleOf(c.message), c.style) << c.message;
    }
}

TEST(OutputText, ControlCharactersAtBothEndsAreDroppedButATrailingLineBreakStays)
{
    OutputAppend a = OutputText_prepare("\t[ERROR] x\r\n", false);
    EXPECT_EQ(a.lineBreaks, 0);
    EXPECT_EQ(a.body, "[ERROR] x\r\n");
    EXPECT_EQ(OutputText_prepare("text\t\t", false).body, "text");
    EXPECT_EQ(OutputText_prepare("a\x07\x08\x0b\x0c\r", false).body, "a");
}

TEST(OutputText, LeadingLineBreaksBecomeAtMostThreeAndOneLessAfterAnEmptyLine)
{
    OutputAppend a = OutputText_prepare("\n\n\n\n\n[ERROR] x", false);
    EXPECT_EQ(a.lineBreaks, 3);
    EXPECT_EQ(a.text(), "\r\n\r\n\r\n[ERROR] x");
    EXPECT_EQ(OutputText_prepare("\n\n\n\n\n[ERROR] x", true).lineBreaks, 2);
    EXPECT_EQ(OutputText_prepare("\r\nx", true).lineBreaks, 0);
    // Only line breaks: they are written as they are, at most three.
    OutputAppend breaks = OutputText_prepare("\n\r\n\n\n", true);
    EXPECT_TRUE(breaks.body.empty());
    EXPECT_EQ(breaks.lineBreaks, 3);
    EXPECT_TRUE(OutputText_prepare("\t\r", false).empty());
}

TEST(OutputText, LongMessagesAreCutAtACharacterBoundary)
{
    std::string ascii(500, 'x');
    EXPECT_EQ(OutputText_prepare(ascii, false).body.size(), 383u);
    // 382 ASCII bytes then a three-byte character: cutting at 383 would split it.
    std::string text = std::string(382, 'a') + "\xE2\x82\xAC" + "tail";
    std::string body = OutputText_prepare(text, false).body;
    EXPECT_EQ(body, std::string(382, 'a'));
    // A character that ends exactly at the cap stays.
    std::string fits = std::string(380, 'a') + "\xE2\x82\xAC" + "tail";
    EXPECT_EQ(OutputText_prepare(fits, false).body, std::string(380, 'a') + "\xE2\x82\xAC");
}

TEST(OutputText, CutDropsTheOlderHalfUpToALineStart)
{
    EXPECT_EQ(OutputText_cutLength(std::string(1000, 'x')), 0u);
    std::string console;
    while (console.size() < OUTPUT_SIZE_CAP) {
        console +=
            "[INFO] line \xC3\xA9t\xC3\xA9 number " + std::to_string(console.size()) + "\r\n";
    }
    size_t cut = OutputText_cutLength(console);
    ASSERT_GT(cut, console.size() / 2);
    EXPECT_EQ(console[cut - 1], '\n');
    EXPECT_EQ(console.substr(cut, 6), "[INFO]");
    // No line end after the middle: everything goes.
    std::string oneLine(OUTPUT_SIZE_CAP, 'y');
    EXPECT_EQ(OutputText_cutLength(oneLine), oneLine.size());
}
