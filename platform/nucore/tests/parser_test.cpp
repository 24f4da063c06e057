// Expression parser: grammar, assignments, errors and locale independence.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tempFolder.h"
#include "nuParser.h"

namespace {

struct Expression {
    const wchar_t* text;
    double value;
};

const Expression grammar[] = {
    {L"42", 42.0},
    {L"1.5e-3", 1.5e-3},
    {L"2.5E+2", 250.0},
    {L".5", 0.5},
    {L"1+2*3", 7.0},
    {L"(1+2)*3", 9.0},
    {L"7/2", 3.5},
    {L"2^10", 1024.0},
    {L"2^3^2", 512.0},  // right-associative
    {L"-2^2", -4.0},    // the power binds tighter than the sign
    {L"2*-3", -6.0},
    {L"+3", 3.0},
    {L"-(1-4)", 3.0},
    {L" 1 +\t2 ", 3.0},
    {L"sin(0)", 0.0},
    {L"cos(0)", 1.0},
    {L"tan(0)", 0.0},
    {L"asin(1)", M_PI / 2},
    {L"acos(1)", 0.0},
    {L"atan(1)", M_PI / 4},
    {L"sinh(0)", 0.0},
    {L"cosh(0)", 1.0},
    {L"tanh(0)", 0.0},
    {L"exp(1)", M_E},
    {L"ln(exp(2))", 2.0},
    {L"log(1000)", 3.0},  // base 10: the suite's one grammar, as in the calculator
    {L"log10(1000)", 3.0},
    {L"sqrt(16)", 4.0},
    {L"abs(-2.5)", 2.5},
    {L"min(3,1,2)", 1.0},
    {L"max(3,1,2)", 3.0},
    {L"2*pi", 2 * M_PI},
    {L"_q*1e19", 1.602176634},  // CODATA 2018
    {L"1.602176e-19*1e19", 1.602176},
};

TEST(NuParserGrammar, EvaluatesTheSharedGrammar)
{
    nuParser parser(nullptr, nullptr);
    for (const auto& e : grammar) {
        EXPECT_NEAR(parser.eval(e.text), e.value, 1e-12 * std::fmax(1.0, std::fabs(e.value)))
            << std::string(e.text, e.text + std::wcslen(e.text)) << ": "
            << std::wstring(parser.lastError()).size();
    }
}

TEST(NuParserGrammar, RefusesMalformedExpressions)
{
    const wchar_t* bad[] = {L"1+",    L"(2", L"2)",  L"foo", L"foo(2)", L"1 2",  L"1e",
                            L"sin()", L"3*", L"1,5", L"--2", L"",       L"2(3)", L"\u00E9+1"};
    nuParser parser(nullptr, nullptr);
    for (const wchar_t* text : bad) {
        const std::string shown(text, text + std::wcslen(text));
        EXPECT_TRUE(std::isnan(parser.eval(text))) << shown;
        EXPECT_STRNE(parser.lastError(), L"") << shown;
        EXPECT_EQ(parser.assign(text), 0) << shown;
    }
    EXPECT_TRUE(std::isnan(parser.eval(nullptr)));
    EXPECT_EQ(parser.assign(nullptr), 0);
}

TEST(NuParserAssign, ExpressionBecomesX)
{
    // The device reader hands over an expanded value and reads "x" back.
    nuParser parser(nullptr, nullptr);
    ASSERT_GE(parser.assign(L"2*3.14159"), 1);
    EXPECT_DOUBLE_EQ(parser.eval(L"x"), 6.28318);
    EXPECT_STREQ(parser.lastError(), L"");
    ASSERT_GE(parser.assign(L"1e15*(1+1)"), 1);
    EXPECT_DOUBLE_EQ(parser.eval(L"x"), 2e15);
}

TEST(NuParserAssign, NamedAssignmentDefinesAVariable)
{
    nuParser parser(nullptr, nullptr);
    ASSERT_GE(parser.assign(L"Na = 1e16"), 1);
    ASSERT_GE(parser.assign(L"t=2*Na"), 1);
    EXPECT_DOUBLE_EQ(parser.eval(L"t/Na"), 2.0);
    ASSERT_GE(parser.assign(L"Na = 5"), 1);  // redefinition
    EXPECT_DOUBLE_EQ(parser.eval(L"Na"), 5.0);
    EXPECT_DOUBLE_EQ(parser.eval(L"t"), 2e16);       // t kept its value
    EXPECT_DOUBLE_EQ(parser.eval(L"Na == 5"), 1.0);  // a comparison, not an assignment
}

TEST(NuParserAssign, FailuresKeepTheOldValue)
{
    nuParser parser(nullptr, nullptr);
    ASSERT_GE(parser.assign(L"3"), 1);
    EXPECT_EQ(parser.assign(L"1/0"), 0);  // not a finite number
    EXPECT_EQ(parser.assign(L"sqrt(-1)"), 0);
    EXPECT_EQ(parser.assign(L"x = 1+"), 0);
    EXPECT_EQ(parser.assign(L"sin = 3"), 0);  // a function name is reserved
    EXPECT_EQ(parser.assign(L"pi = 3"), 0);   // so is a constant
    EXPECT_STRNE(parser.lastError(), L"");
    EXPECT_DOUBLE_EQ(parser.eval(L"x"), 3.0);
}

TEST(NuParserAssign, ReleaseForgetsEveryVariable)
{
    nuParser parser(nullptr, nullptr);
    ASSERT_GE(parser.assign(L"a = 1"), 1);
    ASSERT_GE(parser.assign(L"2"), 1);
    parser.release();
    EXPECT_TRUE(std::isnan(parser.eval(L"a")));
    EXPECT_TRUE(std::isnan(parser.eval(L"x")));
    ASSERT_GE(parser.assign(L"a = 4"), 1);  // usable again
    EXPECT_DOUBLE_EQ(parser.eval(L"a*a"), 16.0);
}

TEST(NuParserLocale, NumbersUseADecimalPointInAnyLocale)
{
    DecimalCommaLocale locale;
    if (!locale.active()) {
        GTEST_SKIP() << "no locale with a decimal comma available";
    }
    nuParser parser(nullptr, nullptr);
    EXPECT_DOUBLE_EQ(parser.eval(L"1.5*2"), 3.0);
    ASSERT_GE(parser.assign(L"2.5e-3"), 1);
    EXPECT_DOUBLE_EQ(parser.eval(L"x"), 2.5e-3);
    EXPECT_TRUE(std::isnan(parser.eval(L"1,5")));
}

}  // namespace
