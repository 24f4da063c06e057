// UTF-8 conversion, bounded copies and locale-independent number reading.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>

#include "kovbase.h"
#include "tempFolder.h"

namespace {

struct Utf8Case {
    const char* utf8;
    const wchar_t* wide;
};

TEST(KovUtf8Conversion, ValidTextRoundTrips)
{
    const Utf8Case cases[] = {
        {"", L""},
        {"plain ASCII", L"plain ASCII"},
        {"\xC3\xA9t\xC3\xA9", L"\u00E9t\u00E9"},                // 2-byte
        {"\xE2\x82\xAC 5", L"\u20AC 5"},                        // 3-byte
        {"\xF0\x9D\x84\x9E", L"\U0001D11E"},                    // 4-byte
        {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", L"\uFFFF\U0010FFFF"},  // upper ends
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kov_toWide(c.utf8), std::wstring(c.wide)) << c.utf8;
        EXPECT_EQ(kov_toUtf8(c.wide), std::string(c.utf8)) << c.utf8;
        EXPECT_EQ(kov_toWide(std::string(c.utf8)), std::wstring(c.wide));
        EXPECT_EQ(kov_toUtf8(std::wstring(c.wide)), std::string(c.utf8));
    }
}

TEST(KovUtf8Conversion, InvalidBytesBecomeReplacementCharacters)
{
    const Utf8Case cases[] = {
        {"a\x80"
         "b",
         L"a\uFFFDb"},          // stray continuation byte
        {"a\xC3", L"a\uFFFD"},  // sequence cut by the end
        {"\xE2\x82"
         "x",
         L"\uFFFD\uFFFDx"},                                 // cut sequence, then ASCII
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                      // overlong '/'
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},            // UTF-16 surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xFF", L"\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kov_toWide(c.utf8), std::wstring(c.wide)) << c.utf8;
    }
}

TEST(KovUtf8Conversion, WideTextOutsideUnicodeIsWrittenAsReplacement)
{
    const wchar_t text[] = {L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                            L'b', 0};
    EXPECT_EQ(kov_toUtf8(text), "a\xEF\xBF\xBD\xEF\xBF\xBD"
                                "b");
}

TEST(KovUtf8Conversion, NullGivesEmptyText)
{
    EXPECT_EQ(kov_toWide(static_cast<const char*>(nullptr)), L"");
    EXPECT_EQ(kov_toUtf8(static_cast<const wchar_t*>(nullptr)), "");
}

TEST(KovBoundedCopies, CutAtSizeAndAlwaysTerminate)
{
    wchar_t wide[4];
    EXPECT_EQ(kov_copyW(wide, 4, L"abcdef"), 3u);
    EXPECT_STREQ(wide, L"abc");
    EXPECT_EQ(kov_copyW(wide, 4, nullptr), 0u);
    EXPECT_STREQ(wide, L"");
    char narrow[3] = {'x', 'x', 'x'};
    EXPECT_EQ(kov_copyA(narrow, 3, "hello"), 2u);
    EXPECT_STREQ(narrow, "he");
    EXPECT_EQ(kov_copyA(narrow, 0, "hello"), 0u);  // no room: nothing written
    EXPECT_EQ(narrow[0], 'h');
}

TEST(KovBoundedCopies, Utf8IsNeverCutInsideASequence)
{
    char narrow[4];
    // "a" + 2-byte + 3-byte: after "a\xC3\xA9" there is no room for the euro.
    EXPECT_EQ(kov_wideToUtf8(narrow, sizeof narrow, L"a\u00E9\u20AC"), 3u);
    EXPECT_STREQ(narrow, "a\xC3\xA9");
    EXPECT_EQ(kov_wideToUtf8(narrow, 3, L"a\u00E9"), 1u);
    EXPECT_STREQ(narrow, "a");

    wchar_t wide[3];
    EXPECT_EQ(kov_utf8ToWide(wide, 3, "\xE2\x82\xAC\xC3\xA9xyz"), 2u);
    EXPECT_STREQ(wide, L"\u20AC\u00E9");
}

TEST(KovSeparators, BackslashesBecomeSlashes)
{
    wchar_t wide[] = L"C:\\data\\cell.kovra";
    kov_normalizeSeparatorsW(wide);
    EXPECT_STREQ(wide, L"C:/data/cell.kovra");
    char narrow[] = "a\\b/c\\";
    kov_normalizeSeparatorsA(narrow);
    EXPECT_STREQ(narrow, "a/b/c/");
}

struct NumberCase {
    const char* text;
    double value;
    size_t consumed;
};

const NumberCase numberCases[] = {
    {"1.5e-3", 1.5e-3, 6},
    {"-2", -2.0, 2},
    {"  42 rest", 42.0, 4},
    {"+.25", 0.25, 4},
    {"6.02214076E+23", 6.02214076e23, 14},
    {"1,5", 1.0, 1},  // a comma ends the number, whatever the locale
    {"abc", 0.0, 0},
    {"", 0.0, 0},
};

void checkNumberReading()
{
    for (const auto& c : numberCases) {
        char* end = nullptr;
        EXPECT_EQ(kov_strtod(c.text, &end), c.value) << c.text;
        EXPECT_EQ(static_cast<size_t>(end - c.text), c.consumed) << c.text;

        const std::wstring wide = kov_toWide(c.text);
        wchar_t* wend = nullptr;
        EXPECT_EQ(kov_wcstod(wide.c_str(), &wend), c.value) << c.text;
        EXPECT_EQ(static_cast<size_t>(wend - wide.c_str()), c.consumed) << c.text;
    }
    EXPECT_TRUE(std::isinf(kov_strtod("inf", nullptr)));
    EXPECT_TRUE(std::isnan(kov_wcstod(L"nan", nullptr)));
}

TEST(KovTextTests, BlanksRangesAffixesAndCase)
{
    for (char c : std::string(" \t\r\n")) {
        EXPECT_TRUE(kov_isBlank(c)) << int(c);
        EXPECT_TRUE(kov_isBlank(wchar_t(c))) << int(c);
    }
    for (char c : std::string("x0\v\f_")) {
        EXPECT_FALSE(kov_isBlank(c)) << int(c);
    }
    EXPECT_TRUE(kov_inRange(1.0, 1.0, 2.0));
    EXPECT_TRUE(kov_inRange(2.0, 1.0, 2.0));
    EXPECT_FALSE(kov_inRange(std::nextafter(2.0, 3.0), 1.0, 2.0));
    EXPECT_FALSE(kov_inRange(std::nan(""), -INFINITY, INFINITY));

    EXPECT_TRUE(kov_startsWith("Anode.Rn", "Anode."));
    EXPECT_FALSE(kov_startsWith("Anode", "Anode."));
    EXPECT_TRUE(kov_startsWith(L"[ERROR] x", L"[ERROR]"));
    EXPECT_TRUE(kov_startsWith("", ""));
    EXPECT_TRUE(kov_endsWith("cell.kovra", ".kovra"));
    EXPECT_FALSE(kov_endsWith("kovra", ".kovra"));
    EXPECT_TRUE(kov_endsWith(L"jv.txt", L".txt"));

    EXPECT_TRUE(kov_equalsNoCase("GaAs", "gaas"));
    EXPECT_FALSE(kov_equalsNoCase("GaAs", "GaAsP"));
    EXPECT_FALSE(kov_equalsNoCase("a", "b"));
    EXPECT_TRUE(kov_equalsNoCase(L"Anode", L"ANODE"));
    EXPECT_FALSE(kov_equalsNoCase(L"Anode", L"Anod"));

    EXPECT_EQ(kov_trimmed(" \t x = 1 \r\n"), "x = 1");
    EXPECT_EQ(kov_trimmed(" \t\r\n"), "");
    EXPECT_EQ(kov_trimmed(""), "");
    const std::string_view padded = "  a b \t";
    EXPECT_EQ(kov_trimmedView(padded), "a b");
    EXPECT_EQ(kov_trimmedView(padded).data(), padded.data() + 2) << "a view into the text";
    EXPECT_EQ(kov_toLowerAscii("GaAs_\xC3\x89"), "gaas_\xC3\x89");  // bytes beyond ASCII kept
}

TEST(KovNumberReading, CSyntax)
{
    checkNumberReading();
    char* end = reinterpret_cast<char*>(1);
    EXPECT_EQ(kov_strtod(nullptr, &end), 0.0);
    EXPECT_EQ(end, nullptr);
}

TEST(KovNumberReading, IgnoresADecimalCommaLocale)
{
    DecimalCommaLocale locale;
    if (!locale.active()) {
        GTEST_SKIP() << "no locale with a decimal comma available";
    }
    // The locale is really active: the C library now reads a comma.
    EXPECT_EQ(std::strtod("1,5", nullptr), 1.5);
    checkNumberReading();
}

}  // namespace
