#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "ekInput.h"
#include "tempFolder.h"

namespace {

struct NumberCase {
    const wchar_t* text;
    double value;
};

const NumberCase NUMBERS[] = {
    {L"1.5", 1.5}, {L"-2e-3", -2e-3}, {L"1E+20", 1e20}, {L"  42", 42.0}, {L"3.25abc", 3.25},
    {L"abc", 0.0}, {L"", 0.0},        {L"1,5", 1.0},    {L".5", 0.5},    {L"-0.125", -0.125},
};

TEST(EkInputValues, WtofReadsCNumbers)
{
    for (const NumberCase& c : NUMBERS) {
        EXPECT_DOUBLE_EQ(ek_wtof(c.text), c.value) << c.text;
    }
    EXPECT_DOUBLE_EQ(ek_wtof(nullptr), 0.0);
    EXPECT_DOUBLE_EQ(ek_wtof(L"\x00e9"), 0.0);  // not convertible to a number
}

TEST(EkInputValues, WtofReadsOnlyTheFirst63Characters)
{
    // "1." and 66 zeros then "e5": 70 characters; the exponent lies past 63.
    const std::wstring text = L"1." + std::wstring(66, L'0') + L"e5";
    ASSERT_EQ(text.size(), 70u);
    EXPECT_DOUBLE_EQ(ek_wtof(text.c_str()), 1.0);
    const std::wstring shortText = L"1." + std::wstring(58, L'0') + L"e5";  // 62
    EXPECT_DOUBLE_EQ(ek_wtof(shortText.c_str()), 1e5);
}

TEST(EkInputValues, WtofIgnoresTheLocale)
{
    // Only the number category changes, and it is put back (with LOCPATH)
    // at the end.
    const DecimalCommaLocale comma(LC_NUMERIC);
    if (!comma.active()) {
        GTEST_SKIP() << "no locale with a decimal comma available";
    }
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    ASSERT_DOUBLE_EQ(std::strtod("1.5", nullptr), 1.0);  // the locale is in effect

    for (const NumberCase& c : NUMBERS) {
        EXPECT_DOUBLE_EQ(ek_wtof(c.text), c.value) << c.text;
    }
}

struct SuffixCase {
    const wchar_t* text;
    const wchar_t* suffix;
    size_t length;
};

TEST(EkInputValues, EndsWithIsExactCase)
{
    const SuffixCase cases[] = {
        {L"glass.nk", L".nk", 3},
        {L"GLASS.NK", L".nk", 0},
        {L"device.kovra", L".kovra", 6},
        {L"a.kovra.xml", L".xml", 4},
        {L".nk", L".nk", 3},
        {L"nk", L".nk", 0},
        {L"file", L"", 0},
        {nullptr, L".nk", 0},
        {L"file.nk", nullptr, 0},
        {L"", L"x", 0},
    };
    for (const SuffixCase& c : cases) {
        EXPECT_EQ(ek_endsWithW(c.text, c.suffix), c.length)
            << (c.text ? c.text : L"(null)") << " / " << (c.suffix ? c.suffix : L"(null)");
    }
}

TEST(EkInputValues, ClearConsoleAsksTheEditorWhenNoTerminal)
{
    testing::internal::CaptureStdout();  // standard output is then a file
    ek_clearConsole();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[COMM]LUA:cls()\n");
}

}  // namespace
