#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ekHelpers.h"
#include "nuSigma.h"

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double EPS = 2.220446049250313e-16;

struct EqualCase {
    double a, b;
    bool equal;
};

TEST(EkHelpers, IsEqualUsesRelativeEpsilon)
{
    const EqualCase cases[] = {
        {1.0, 1.0, true},
        {0.0, -0.0, true},
        {1.0, 1.0 + EPS, true},       // one ulp apart
        {1.0, 1.0 + 4 * EPS, false},  // beyond 2 eps relative to |a|+|b|
        {1e-300, 1e-300 * (1 + EPS), true},
        {1e-300, 2e-300, false},
        {0.0, 1e-300, false},  // nothing is "close" to an exact 0
        {-1.0, 1.0, false},
        {INF, INF, true},
        {std::nan(""), std::nan(""), false},
    };
    for (const EqualCase& c : cases) {
        EXPECT_EQ(ek_isEqual(c.a, c.b), c.equal) << c.a << " vs " << c.b;
        EXPECT_EQ(ek_isEqual(c.b, c.a), c.equal) << "symmetry " << c.a << " vs " << c.b;
    }
}

TEST(EkHelpers, IsZeroHoldsOnlyForZeroAndInfinity)
{
    const std::pair<double, bool> cases[] = {
        {0.0, true},       {-0.0, true},    {INF, true},  {-INF, true},          {1e-300, false},
        {4.9e-324, false}, {-1e-17, false}, {1.0, false}, {std::nan(""), false},
    };
    for (const auto& [value, zero] : cases) {
        EXPECT_EQ(ek_isZero(value), zero) << value;
    }
}

struct TrimCase {
    std::wstring input;
    std::wstring output;
};

TEST(EkHelpers, TrimRemovesSurroundingBlanksInPlace)
{
    const TrimCase cases[] = {
        {L"abc", L"abc"},
        {L"  abc", L"abc"},
        {L"abc \t\r\n", L"abc"},
        {L"\t a  b \n", L"a  b"},
        {L" ", L""},
        {L"\r\n\t ", L""},
        {L"", L""},
        {L"\x00a0x", L"\x00a0x"},  // no-break space is not a blank here
    };
    for (const TrimCase& c : cases) {
        std::wstring buffer = c.input;
        const size_t length = ek_trimW(buffer.data());
        EXPECT_EQ(std::wstring(buffer.c_str()), c.output) << "input length " << c.input.size();
        EXPECT_EQ(length, c.output.size());
    }
}

TEST(EkHelpers, TrimLeavesOverlongTextAndNull)
{
    std::wstring longText = L" " + std::wstring(8190, L'x') + L" ";  // 8192 characters
    const std::wstring before = longText;
    EXPECT_EQ(ek_trimW(longText.data()), 8192u);
    EXPECT_EQ(longText, before);

    std::wstring limit = L" " + std::wstring(8189, L'x') + L" ";  // 8191: still trimmed
    EXPECT_EQ(ek_trimW(limit.data()), 8189u);

    EXPECT_EQ(ek_trimW(nullptr), 0u);
}

TEST(EkHelpers, ResetSigmaClearsWholeMessageAndCaption)
{
    nuSigma sigma;
    sigma.status = 42;
    sigma.err = 1;
    std::fill(std::begin(sigma.message), std::end(sigma.message), L'm');
    std::fill(std::begin(sigma.caption), std::end(sigma.caption), L'c');
    sigma.outputType = 0x11;

    ek_resetSigma(&sigma);

    EXPECT_EQ(sigma.status, -1);
    EXPECT_EQ(sigma.err, 0);
    // The last characters lie beyond half the array's byte count: a reset
    // that counted bytes as characters would leave them standing.
    for (size_t i = 0; i < nuSigma::MESSAGE_SIZE; ++i) {
        ASSERT_EQ(sigma.message[i], L'\0') << "message[" << i << "]";
    }
    for (wchar_t c : sigma.caption) {
        ASSERT_EQ(c, L'\0');
    }
    EXPECT_EQ(sigma.outputType, 0x11);  // fields after the caption are kept
    ek_resetSigma(nullptr);             // tolerated
}

}  // namespace
