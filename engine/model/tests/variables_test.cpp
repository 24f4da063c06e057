// Device variables and value expressions: definition, comment marks,
// reference expansion (constants, variables, nesting), evaluation, reserved
// names, the variable limit and the text limits.
#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <ostream>
#include <string>

#include "caseName.h"
#include "deviceTestSupport.h"
#include "kovbase.h"

namespace {

constexpr size_t VALUE_SIZE = ElecDevice::VARIABLE_VALUE_SIZE;

class VariablesTest : public DeviceTest {
protected:
    // Defines name = text through a value buffer of the documented size.
    bool define(const wchar_t* name, const std::wstring& text, int line = 0)
    {
        wchar_t value[VALUE_SIZE + 64] = {};
        kov_copyW(value, sizeof value / sizeof value[0], text.c_str());
        return device->setVariable(name, value, line);
    }

    std::wstring valueOf(const wchar_t* name) const
    {
        wchar_t out[VALUE_SIZE] = {};
        if (!device->getVariable(name, out)) {
            return L"<undefined>";
        }
        return out;
    }

    double numberOf(const wchar_t* name) const
    {
        const std::wstring text = valueOf(name);
        wchar_t* end = nullptr;
        const double value = kov_wcstod(text.c_str(), &end);
        EXPECT_EQ(*end, L'\0') << "not a number: " << std::string(text.begin(), text.end());
        return value;
    }

    // parseValue on a copy of text; the resulting text through *result.
    bool parse(const std::wstring& text, std::wstring* result = nullptr)
    {
        wchar_t buffer[VALUE_SIZE + 64] = {};
        kov_copyW(buffer, sizeof buffer / sizeof buffer[0], text.c_str());
        const bool ok = device->parseValue(buffer);
        if (result != nullptr) {
            *result = buffer;
        }
        return ok;
    }
};

TEST_F(VariablesTest, ValueIsEvaluatedAndStored)
{
    ASSERT_TRUE(define(L"thick", L"2*0.75 + 1"));
    EXPECT_EQ(numberOf(L"thick"), 2.5);
    EXPECT_EQ(device->getVariableCount(), 1);
    EXPECT_STREQ(device->getVariableName(0), L"thick");
    EXPECT_EQ(device->getVariableName(1), nullptr);
    EXPECT_EQ(device->getVariableValue(-1), nullptr);
}

TEST_F(VariablesTest, DefinitionRewritesTheCallersText)
{
    wchar_t value[VALUE_SIZE] = L"  3*4   @ twelve";
    ASSERT_TRUE(device->setVariable(L"n", value, 0));
    EXPECT_STREQ(value, L"12");
    EXPECT_STREQ(device->getVariableValue(0), L"12");
}

TEST_F(VariablesTest, ConstantsExpandToSixDigitsInExpressions)
{
    ASSERT_TRUE(define(L"twoPi", L"2*$pi"));
    EXPECT_DOUBLE_EQ(numberOf(L"twoPi"), 2 * 3.14159);

    struct Constant {
        const wchar_t* name;
        double value;
    };
    const Constant constants[] = {{L"pi", 3.141592653589793}, {L"_q", 1.602176e-19},
                                  {L"_m", 9.109382e-31},      {L"_k", 1.38065e-23},
                                  {L"_h", 6.626068e-34},      {L"_c", 299792458.0},
                                  {L"_e", 8.854187e-12},      {L"_n", 6.022141e+23}};
    for (const Constant& c : constants) {
        const double text = numberOf(c.name);
        EXPECT_NEAR(text, c.value, std::fabs(c.value) * 1e-5);
        std::wstring result;
        ASSERT_TRUE(parse(std::wstring(L"$") + c.name + L"*2", &result));
        EXPECT_DOUBLE_EQ(kov_wcstod(result.c_str(), nullptr), 2 * text);
    }
    // Constants are found whatever the letter case, with or without '$'.
    EXPECT_EQ(valueOf(L"$PI"), valueOf(L"pi"));
    EXPECT_EQ(valueOf(L"_Q"), valueOf(L"_q"));
}

// Thermal voltage kT/q at 300 K from the constants.
TEST_F(VariablesTest, ThermalVoltageFromConstants)
{
    ASSERT_TRUE(define(L"Vt", L"$_k * 300 / $_q"));
    EXPECT_NEAR(numberOf(L"Vt"), 0.025852, 1e-6);
}

TEST_F(VariablesTest, LaterVariablesUseEarlierOnesAndKeepTheirValue)
{
    ASSERT_TRUE(define(L"a", L"2"));
    ASSERT_TRUE(define(L"b", L"$a*3"));
    ASSERT_TRUE(define(L"c", L"$B + $A"));
    EXPECT_EQ(numberOf(L"c"), 8.0);
    // Values are stored evaluated: redefining a leaves b as it was.
    ASSERT_TRUE(define(L"A", L"10"));
    EXPECT_EQ(numberOf(L"a"), 10.0);
    EXPECT_EQ(numberOf(L"b"), 6.0);
    EXPECT_EQ(device->getVariableCount(), 3);
    std::wstring result;
    ASSERT_TRUE(parse(L"$a*$b - $c", &result));
    EXPECT_EQ(kov_wcstod(result.c_str(), nullptr), 52.0);
}

TEST_F(VariablesTest, UndefinedReferenceFailsAndLeavesTextUnchanged)
{
    EXPECT_FALSE(define(L"x", L"$undefined"));
    EXPECT_EQ(device->getVariableCount(), 0);
    for (const wchar_t* text : {L"$undefined + 1", L"2*$", L"$ + 1"}) {
        std::wstring result;
        EXPECT_FALSE(parse(text, &result));
        EXPECT_EQ(result, text);
    }
    EXPECT_EQ(sigma.err, 0);
}

TEST_F(VariablesTest, FailedRedefinitionKeepsTheOldValue)
{
    ASSERT_TRUE(define(L"gap", L"1.12"));
    EXPECT_FALSE(define(L"gap", L"1.12 +* 2"));
    EXPECT_FALSE(define(L"gap", L"$nothing"));
    EXPECT_FALSE(define(L"gap", L"   "));
    EXPECT_EQ(valueOf(L"gap"), L"1.12");
}

struct CommentCase {
    const wchar_t* text;
    const wchar_t* stored;
};

std::ostream& operator<<(std::ostream& out, const CommentCase& c)
{
    return out << std::string(c.text, c.text + wcslen(c.text));
}

class VariablesCommentTest : public VariablesTest,
                             public ::testing::WithParamInterface<CommentCase> {};

// '@' wins over '&', which wins over '?', which wins over ':'.
TEST_P(VariablesCommentTest, ValueIsCutAtTheStrongestCommentMark)
{
    const CommentCase c = GetParam();
    ASSERT_TRUE(define(L"v", c.text));
    EXPECT_EQ(valueOf(L"v"), c.stored);
}

INSTANTIATE_TEST_SUITE_P(Marks, VariablesCommentTest,
                         ::testing::Values(CommentCase{L"2*3 @ note: x", L"6"},
                                           CommentCase{L"5 & b?c", L"5"},
                                           CommentCase{L"7+1 ? x : y", L"8"},
                                           CommentCase{L"9 : comment", L"9"},
                                           CommentCase{L"\"text\" @ note", L"\"text\""}),
                         NamedByPrint());

TEST_F(VariablesTest, OneToOneCharacterValuesAndQuotedTextsAreStoredAsGiven)
{
    ASSERT_TRUE(define(L"seven", L"7"));
    EXPECT_EQ(valueOf(L"seven"), L"7");
    ASSERT_TRUE(define(L"file", L"\"spectrum 1+1.txt\""));
    EXPECT_EQ(valueOf(L"file"), L"\"spectrum 1+1.txt\"");
    // A text variable cannot take part in arithmetic.
    std::wstring result;
    EXPECT_FALSE(parse(L"$file*2", &result));
}

TEST_F(VariablesTest, ReservedNameIsRefusedWithItsLine)
{
    for (const wchar_t* name : {L"pi", L"Pi", L"PI"}) {
        sigma.reset();
        EXPECT_FALSE(define(name, L"3", 4));
        EXPECT_NE(sigma.err, 0);
        EXPECT_EQ(lastLine(), L"[ERROR]   reserved variable name at line 5: $" +
                                  std::wstring(name) +
                                  L" is a constant (pi, _q, _m, _k, _h, _c, _e and _n cannot be "
                                  L"redefined)\n");
    }
    sigma.reset();
    EXPECT_EQ(device->getVariableCount(), 0);
}

TEST_F(VariablesTest, NameMustStartWithALetterAndSpellAReference)
{
    for (const wchar_t* name : {L"_q", L"_x", L"1a", L"$a", L"", L"a-b", L"a b", L"a.b"}) {
        EXPECT_FALSE(define(name, L"3")) << std::string(name, name + wcslen(name));
    }
    EXPECT_FALSE(device->setVariable(nullptr, nullptr, 0));
    EXPECT_EQ(sigma.err, 0);
    EXPECT_EQ(device->getVariableCount(), 0);
}

TEST_F(VariablesTest, SixtyFifthVariableIsRefused)
{
    for (int i = 0; i < ElecDevice::MAX_VARIABLES; ++i) {
        const std::wstring name = L"v" + std::to_wstring(i);
        ASSERT_TRUE(define(name.c_str(), std::to_wstring(i + 10)));
    }
    EXPECT_FALSE(define(L"extra", L"99"));
    EXPECT_EQ(device->getVariableCount(), ElecDevice::MAX_VARIABLES);
    EXPECT_EQ(valueOf(L"extra"), L"<undefined>");
    // Redefining one of the 64 still works.
    EXPECT_TRUE(define(L"v63", L"5"));
    for (int i = 0; i < ElecDevice::MAX_VARIABLES - 1; ++i) {
        const std::wstring name = L"v" + std::to_wstring(i);
        EXPECT_EQ(numberOf(name.c_str()), i + 10);
    }
    EXPECT_EQ(numberOf(L"v63"), 5.0);
}

TEST_F(VariablesTest, NameLongerThanTheRecordIsRefused)
{
    const std::wstring longest(ElecDevice::VARIABLE_NAME_SIZE - 1, L'n');
    const std::wstring tooLong(ElecDevice::VARIABLE_NAME_SIZE, L'n');
    EXPECT_FALSE(define(tooLong.c_str(), L"1"));
    ASSERT_TRUE(define(longest.c_str(), L"1"));
    EXPECT_EQ(std::wstring(device->getVariableName(0)), longest);
    // The cut name would otherwise answer for the long one.
    EXPECT_EQ(valueOf(tooLong.c_str()), L"<undefined>");
}

TEST_F(VariablesTest, ValueOfMoreThan255CharactersIsRefused)
{
    std::wstring sum = L"1";
    for (int i = 0; i < 127; ++i) {
        sum += L"+0";
    }
    ASSERT_EQ(sum.size(), 255u);
    EXPECT_TRUE(define(L"fits", sum));
    EXPECT_EQ(valueOf(L"fits"), L"1");
    EXPECT_FALSE(define(L"over", L"0" + sum));
    EXPECT_FALSE(parse(L"0" + sum));

    const std::wstring quoted = L"\"" + std::wstring(253, L'q') + L"\"";
    EXPECT_TRUE(define(L"text", quoted));
    EXPECT_EQ(valueOf(L"text"), quoted);
    EXPECT_FALSE(define(L"longText", L"\"" + std::wstring(254, L'q') + L"\""));
}

TEST_F(VariablesTest, ExpansionLongerThanAValueIsRefusedWithoutOverrun)
{
    ASSERT_TRUE(define(L"a", L"0.1234567890123"));
    std::wstring text;
    for (int i = 0; i < 20; ++i) {
        text += L"$a+";  // 60 characters, 320 expanded
    }
    text += L"0";
    std::wstring result;
    EXPECT_FALSE(parse(text, &result));
    EXPECT_EQ(result, text);
    EXPECT_FALSE(define(L"b", text));
}

TEST_F(VariablesTest, ValueThatIsNoNumberIsRefused)
{
    // Division by zero and an assignment disguised as a value.
    EXPECT_FALSE(define(L"inf", L"1/0"));
    EXPECT_FALSE(parse(L"y = 3"));
    // The assignment left nothing behind for a later value.
    EXPECT_FALSE(parse(L"y*2"));
    ASSERT_TRUE(define(L"z", L"4*2"));
    EXPECT_FALSE(parse(L"w = 1"));
    EXPECT_EQ(numberOf(L"z"), 8.0);
}

TEST_F(VariablesTest, ParseValueRefusesEmptyAndNullTexts)
{
    EXPECT_FALSE(parse(L""));
    EXPECT_FALSE(device->parseValue(nullptr));
    std::wstring result;
    ASSERT_TRUE(parse(L"5", &result));
    EXPECT_EQ(result, L"5");
    ASSERT_TRUE(parse(L" 1e3 / 4 ", &result));
    EXPECT_EQ(result, L"250");
}

TEST_F(VariablesTest, DeletingKeepsTheOthersInOrder)
{
    ASSERT_TRUE(define(L"first", L"1"));
    ASSERT_TRUE(define(L"second", L"2"));
    ASSERT_TRUE(define(L"third", L"3"));
    EXPECT_TRUE(device->deleteVariable(L"FIRST"));
    EXPECT_EQ(device->getVariableCount(), 2);
    EXPECT_STREQ(device->getVariableName(0), L"second");
    EXPECT_STREQ(device->getVariableName(1), L"third");
    EXPECT_EQ(device->getVariableName(2), nullptr);
    EXPECT_EQ(valueOf(L"first"), L"<undefined>");
    EXPECT_FALSE(device->deleteVariable(L"first"));
    EXPECT_FALSE(device->deleteVariable(L""));
    EXPECT_FALSE(device->deleteVariable(nullptr));
    // The freed slot is reused.
    ASSERT_TRUE(define(L"fourth", L"4"));
    EXPECT_STREQ(device->getVariableName(2), L"fourth");
}

TEST_F(VariablesTest, GetVariableRefusesMissingArguments)
{
    wchar_t out[VALUE_SIZE];
    EXPECT_FALSE(device->getVariable(nullptr, out));
    EXPECT_FALSE(device->getVariable(L"pi", nullptr));
    EXPECT_FALSE(device->getVariable(L"", out));
    EXPECT_FALSE(device->getVariable(L"$", out));
}

}  // namespace
