// Number texts: exact round trips, significant digits, tidying.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "tempFolder.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

std::wstring formatted(double value, int digits)
{
    wchar_t text[64];
    return nu_reformatAuto(value, text, 64, nullptr, nullptr, digits);
}

const double roundTrips[] = {
    0.1,
    1.0 / 3.0,
    1e-300,
    5e-324,
    1.7976931348623157e308,
    -0.0,
    0.0,
    6.02214076e23,
    2.2250738585072014e-308,
    1.602176634e-19,
    -123456.789,
    300.0,
    1e16,
    0.30000000000000004,
};

void checkRoundTrips()
{
    for (const double value : roundTrips) {
        const std::wstring text = formatted(value, -1);
        wchar_t* end = nullptr;
        const double back = kov_wcstod(text.c_str(), &end);
        EXPECT_EQ(*end, L'\0') << value;
        // Bit for bit, so that -0 keeps its sign.
        EXPECT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(value))
            << std::string(text.begin(), text.end());
    }
}

TEST(NuReformatAuto, AutomaticDigitsRoundTripExactly) { checkRoundTrips(); }

TEST(NuReformatAuto, AutomaticDigitsAreTheShortest)
{
    EXPECT_EQ(formatted(0.1, -1), L"0.1");
    EXPECT_EQ(formatted(1e-300, -1), L"1e-300");
    EXPECT_EQ(formatted(-0.0, -1), L"-0");
    EXPECT_EQ(formatted(300.0, -1), L"300");
    EXPECT_EQ(formatted(6.02214076e23, -1), L"6.02214076e+23");
    EXPECT_EQ(formatted(0.0, 0), L"0");  // 0 digits means automatic
}

TEST(NuReformatAuto, SignificantDigitsLikePercentG)
{
    const struct {
        double value;
        int digits;
        const wchar_t* text;
    } cases[] = {
        {1e16, 6, L"1e+16"},
        {0.001, 6, L"0.001"},
        {300.0, 6, L"300"},
        {1.0 / 3.0, 6, L"0.333333"},
        {1.5e-5, 6, L"1.5e-05"},
        {123456789.0, 6, L"1.23457e+08"},
        {-2.5, 6, L"-2.5"},
        {999999.5, 6, L"1e+06"},
        {3.14159265, 3, L"3.14"},
        {0.1, 20, L"0.10000000000000001"},  // more than 17 digits count as 17
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatted(c.value, c.digits), c.text) << c.value;
        char narrow[64];
        const std::string expected(c.text, c.text + std::wcslen(c.text));
        EXPECT_STREQ(nu_reformatAutoA(c.value, narrow, 64, nullptr, nullptr, c.digits),
                     expected.c_str());
    }
}

TEST(NuReformatAuto, SpecialValues)
{
    EXPECT_EQ(formatted(std::numeric_limits<double>::quiet_NaN(), 6), L"nan");
    EXPECT_EQ(formatted(-std::numeric_limits<double>::quiet_NaN(), -1), L"nan");
    EXPECT_EQ(formatted(std::numeric_limits<double>::infinity(), -1), L"inf");
    EXPECT_EQ(formatted(-std::numeric_limits<double>::infinity(), 6), L"-inf");
}

TEST(NuReformatAuto, TooSmallFieldGivesEmptyTextNotACutNumber)
{
    wchar_t text[5];
    EXPECT_STREQ(nu_reformatAuto(123456.0, text, 5, nullptr, nullptr, -1), L"");
    EXPECT_STREQ(nu_reformatAuto(1234.0, text, 5, nullptr, nullptr, -1), L"1234");
    char narrow[3];
    EXPECT_STREQ(nu_reformatAutoA(0.25, narrow, 3, nullptr, nullptr, 6), "");
}

TEST(NuReformatAuto, SameTextUnderADecimalCommaLocale)
{
    DecimalCommaLocale locale;
    if (!locale.active()) {
        GTEST_SKIP() << "no locale with a decimal comma available";
    }
    EXPECT_EQ(formatted(1.5e-5, 6), L"1.5e-05");
    EXPECT_EQ(formatted(0.1, -1), L"0.1");
    checkRoundTrips();
}

TEST(NuReformat, TidiesNumberTextsInPlace)
{
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"1.500000e+00", L"1.5"},
        {L"2.50E-005", L"2.5e-05"},
        {L"300.000", L"300"},
        {L"1.000000e+16", L"1e+16"},
        {L"-0.0", L"-0"},
        {L".000", L"0"},
        {L"1e5", L"1e5"},
        {L"+7.10", L"7.1"},
        {L"12", L"12"},
        {L"1.5e+123", L"1.5e+123"},
        {L"abc", L"abc"},
        {L"1.5 V", L"1.5 V"},
        {L"1e", L"1e"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        wchar_t text[32];
        kov_copyW(text, 32, c.in);
        EXPECT_STREQ(nu_reformat(text), c.out) << std::string(c.in, c.in + std::wcslen(c.in));
    }
    EXPECT_EQ(nu_reformat(nullptr), nullptr);
}

}  // namespace
