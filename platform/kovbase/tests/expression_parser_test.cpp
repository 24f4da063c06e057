// The GUI programs' expression parser: a table of lines and answers
// (functions, constants, formats, units, variables, solve, commands and
// errors), then variables, history, ParseValue and the self-test file.
#include <gtest/gtest.h>

#include "kovraVersion.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

#include "kovbase.h"
#include "kovParser.h"
#include "tempFolder.h"

namespace {

struct Line {
    const char* text;  // as typed
    int ok;            // kov_ParserRun's result
    const char* answer;
};

// Run in order through one parser: commands and assignments carry over.
const Line session[] = {
    // numbers and operators; integral values as plain digits
    {"1+2", 1, "3"},
    {"2*3", 1, "6"},
    {"7/2", 1, "3.5"},
    {"2^10", 1, "1024"},
    {"-2^2", 1, "-4"},
    {"1e15", 1, "1e+15"},
    {"123456789012345", 1, "123456789012345"},
    {"0.1+0.2", 1, "0.30000000000000004"},  // every digit that tells it from 0.3
    {"1/3", 1, "0.3333333333333333"},
    {"-0", 1, "0"},
    // constants, CODATA 2018
    {"pi", 1, "3.141592653589793"},
    {"_q", 1, "1.602176634e-19"},
    {"_k", 1, "1.380649e-23"},
    {"_h", 1, "6.62607015e-34"},
    {"_c", 1, "299792458"},
    {"_m", 1, "9.1093837015e-31"},
    {"_e", 1, "8.8541878128e-12"},
    {"_n", 1, "6.02214076e+23"},
    // functions
    {"log(1000)", 1, "3"},
    {"ln(exp(2))", 1, "2"},
    {"log2(8)", 1, "3"},
    {"sqrt(16)+abs(-1)+fabs(-1)", 1, "6"},
    {"pow(2,0.5)", 1, "1.4142135623730951"},
    {"hypot(3,4)", 1, "5"},
    {"fmod(7,3)", 1, "1"},
    {"min(3,1,2)+max(3,1,2)", 1, "4"},
    {"ceil(1.2)+floor(1.8)+round(2.5)+trunc(-1.7)+rint(2.5)+sign(-3)", 1, "6"},
    {"fact(5)", 1, "120"},
    {"beta(2,3)", 1, "0.08333333333333333"},
    {"gammaln(5)", 1, "3.1780538303479458"},  // ln 24
    {"erf(0)+erfc(0)", 1, "1"},
    {"bern(0)", 1, "1"},
    {"gauss(0,0,1)", 1, "0.3989422804014327"},
    {"lorentz(0,0,1)", 1, "0.3183098861837907"},
    {"j0(0)+j1(0)+jn(2,0)", 1, "1"},
    {"SIN(0)+Cos(0)", 1, "1"},  // letter case does not matter
    // angle units
    {"unit:degree", 1, "unit: degree"},
    {"sin(30)+cos(60)+sin(-210)", 1, "1.5"},
    {"sin(45)", 1, "0.7071067811865476"},  // the square root of 1/2, correctly rounded
    {"asin(1)", 1, "90"},
    {"unit:grad", 1, "unit: grad"},
    {"acos(0)", 1, "100"},
    {"unit:radian", 1, "unit: radian"},
    {"atan(1)*4", 1, "3.141592653589793"},
    {"unit:furlong", 0, "unknown angle unit: furlong (degree, grad or radian)"},
    // variables
    {"x=2", 1, "x = 2"},
    {"y=x*3;", 1, "y = 6"},
    {"X+y", 1, "8"},
    {"$x*$y", 1, "12"},
    {"x=x+1", 1, "x = 3"},
    {"sin=3", 0, "reserved name: sin"},
    {"pi=3", 0, "reserved name: pi"},
    {"2x=3", 0, "not a variable name: 2x"},
    {"unset:y", 1, "unset: y"},
    {"y", 0, "unknown variable: y"},
    {"unset:y", 0, "unknown variable: y"},
    {"unset:", 0, "unset: the variable name is missing (unset:NAME or unset:all)"},
    {"unset: ", 0, "unset: the variable name is missing (unset:NAME or unset:all)"},
    // answer formats
    {"format:hex", 1, "format: hex"},
    {"255", 1, "0xFF"},
    {"-255", 1, "-0xFF"},
    {"format:bin", 1, "format: bin"},
    {"10", 1, "0b1010"},
    {"format:oct", 1, "format: oct"},
    {"8", 1, "0o10"},
    {"format:int", 1, "format: int"},
    {"2.6", 1, "3"},
    {"1e30", 1, "1000000000000000019884624838656"},  // the double's own digits
    {"1e300", 0, "the value is too long to show in format int"},
    {"format:dec", 1, "format: dec"},
    {"1e-5", 1, "0.00001"},
    {"1e20", 1, "100000000000000000000"},
    {"format:real", 1, "format: real"},
    {"format:roman", 0, "unknown format: roman (real, int, dec, bin, oct or hex)"},
    // solve(f, x, x0) with its settings
    {"abs(solve(x^2-2,x,1)-sqrt(2))<1e-15", 1, "1"},
    {"x", 1, "3"},  // the session's x is left as it was
    {"abs(solve(cos(t)-t,t,1)*2-1.4781702664303213)<1e-15", 1, "1"},
    {"iter:2", 1, "iter: 2"},
    {"solve(exp(t)-10,t,100)", 0, "solve: no root found in 2 iterations"},
    {"iter:100", 1, "iter: 100"},
    {"tol:1e-6", 1, "tol: 1e-06"},
    {"solve(t^2+1,t,1)", 0,
     "solve: no root found: the search stalled at t = 5.551115123125783e-11, where the function "
     "is 1"},
    {"solve(t^2,t,0)", 1, "0"},
    {"solve(1,t,0)", 0, "solve: zero or undefined slope at t = 0"},
    {"solve(t,sin,1)", 0, "solve: the second argument must be a variable name"},
    {"solve(t,t)", 0, "solve takes three arguments: solve(f,x,x0)"},
    {"iter:0", 0, "iter: give a whole number from 1 to 100000"},
    {"tol:2", 0, "tol: give a number above 0 and below 1"},
    // information words
    {"version", 1, "3.0"},
    {"release", 1, KOVRA_VERSION " build " KOVRA_BUILD KOVRA_RELEASE},
    {"name", 1, "Kovra expression parser"},
    // errors in words
    {"foo(2)", 0, "unknown function: foo"},
    {"foo+1", 0, "unknown variable: foo"},
    {"1/0", 0, "division by zero"},
    {"sqrt(-1)", 0, "sqrt: negative argument"},
    {"ln(0)", 0, "ln: zero argument"},
    {"fact(2.5)", 0, "fact: argument must be an integer from 0 to 170"},
    {"gauss(0,0,-1)", 0, "gauss: sigma must be positive"},
    {"exp(1000)", 0, "overflow: the result is too large"},
    {"0/0", 0, "undefined result (such as 0/0 or a power of a negative number)"},
    {"(1+2", 0, "missing closing parenthesis"},
    {"1,5", 0, "several values where one is expected (',' separates arguments only)"},
    {"2 3", 0, "missing operator between 2 and 3"},
    {"x 2", 0, "missing operator between x and 2"},
    {"pow(2)", 0, "too few arguments for function: pow"},
    {"", 0, "empty expression"},
    // the session survived every refusal
    {"x*2", 1, "6"},
};

TEST(KovParser, TableOfLinesAndAnswers)
{
    kov_Parser* parser = kov_ParserCreate();
    ASSERT_NE(parser, nullptr);
    for (const Line& line : session) {
        char text[KOV_PARSER_LINE];
        kov_copyA(text, sizeof text, line.text);
        kov_ParserRemSpace(text, 0);
        char answer[KOV_PARSER_LINE] = "unchanged";
        const int r = kov_ParserRun(text, answer, parser);
        EXPECT_EQ(r, line.ok) << line.text << " -> " << answer;
        EXPECT_STREQ(answer, line.answer) << line.text;
        EXPECT_EQ(parser->busy, 0);
    }
    kov_ParserDelete(&parser);
    EXPECT_EQ(parser, nullptr);
}

// Each line on a fresh parser: the number forms, signs and the words of
// their refusals.
TEST(KovParser, NumbersAndSignsAreReadAsMeantOrRefusedInWords)
{
    const Line lines[] = {
        // decimals out of reach, and cut short
        {"1e999", 0, "overflow: the number 1e999 is too large"},
        {"2*1.5E+400", 0, "overflow: the number 1.5E+400 is too large"},
        {"1e-999", 1, "0"},  // below the smallest double: 0, as the hardware rounds
        {"1e", 0, "missing exponent digits in 1e"},
        {"2.5e+", 0, "missing exponent digits in 2.5e+"},
        {"3E-*2", 0, "missing exponent digits in 3E-"},
        {"1.2.3", 0, "malformed number: 1.2.3"},
        {".5+5.", 1, "5.5"},
        // signs: one sign or many before an operand
        {"--5", 1, "5"},
        {"-+-5", 1, "5"},
        {"+5", 1, "5"},
        {"2*--3", 1, "6"},
        {"2---5", 1, "-3"},
        {"2^--2", 1, "4"},
        {"(--1)", 1, "1"},
        {"+", 0, "incomplete expression: an operand is missing after '+'"},
        {"-", 0, "incomplete expression: an operand is missing after '-'"},
        {"--", 0, "incomplete expression: an operand is missing after '-'"},
        {"2*", 0, "incomplete expression: an operand is missing after '*'"},
        // whole numbers in the forms the calculator answers in
        {"0xFF+1", 1, "256"},
        {"0xff", 1, "255"},
        {"-0x10", 1, "-16"},
        {"0b1010", 1, "10"},
        {"0B11*2", 1, "6"},
        {"0o17", 1, "15"},
        {"0x7FFFFFFFFFFFFFFF", 1, "9223372036854776000"},
        {"0xFFFFFFFFFFFFFFFF", 1, "18446744073709552000"},
        {"0x10000000000000000", 0, "overflow: the number 0x10000000000000000 is too large"},
        {"0x", 0, "missing digits after 0x"},
        {"0b102", 0, "invalid digit '2' in 0b102"},
        {"0o8", 0, "invalid digit '8' in 0o8"},
        {"0xG1", 0, "invalid digit 'G' in 0xG1"},
        {"x=0x1F", 1, "x = 31"},
    };
    for (const Line& line : lines) {
        kov_Parser* parser = kov_ParserCreate();
        char answer[KOV_PARSER_LINE] = "unchanged";
        const int r = kov_ParserRun(line.text, answer, parser);
        EXPECT_EQ(r, line.ok) << line.text << " -> " << answer;
        EXPECT_STREQ(answer, line.answer) << line.text;
        kov_ParserDelete(&parser);
    }
}

// Large whole numbers show no more digits than a double holds in formats
// real and dec: the shortest digits that read back to the value, then
// zeros; format int spells out the whole number the double holds, exactly
// (powers of two and 1e21/7 against their exact binary values).
TEST(KovParser, WholeNumbersShowOnlyTheDigitsADoubleHolds)
{
    const struct {
        const char* format;
        const char* text;
        const char* answer;
    } cases[] = {
        {"format:dec", "1e21/7", "142857142857142860000"},
        {"format:dec", "1.5e25", "15000000000000000000000000"},
        {"format:dec", "-2^70", "-1180591620717411300000"},
        {"format:dec", "2^53", "9007199254740992"},
        {"format:dec", "1/8", "0.125"},
        {"format:dec", "-2.5e-3", "-0.0025"},
        {"format:dec", "1e-300", "the value is too long to show in format dec"},
        {"format:int", "2^60", "1152921504606846976"},
        {"format:int", "-2^62", "-4611686018427387904"},
        {"format:int", "2^62", "4611686018427387904"},
        {"format:int", "1e21/7", "142857142857142861824"},
        {"format:int", "-0.4", "0"},
        {"format:int", "2^53+0.4", "9007199254740992"},
        {"format:real", "1e21/7", "142857142857142860000"},
        {"format:real", "2^70", "1180591620717411300000"},
        {"format:real", "2^80", "1.2089258196146292e+24"},
    };
    for (const auto& c : cases) {
        kov_Parser* parser = kov_ParserCreate();
        char answer[KOV_PARSER_LINE];
        ASSERT_EQ(kov_ParserRun(c.format, answer, parser), 1);
        kov_ParserRun(c.text, answer, parser);
        EXPECT_STREQ(answer, c.answer) << c.format << " " << c.text;
        kov_ParserDelete(&parser);
    }
}

// Whatever the calculator answers in any format can be typed back and
// gives the same answer.
TEST(KovParser, EveryAnswerCanBeTypedBack)
{
    const char* formats[] = {"format:real", "format:int", "format:dec",
                             "format:bin",  "format:oct", "format:hex"};
    const char* values[] = {"255",   "-255",   "0",       "1/3",    "2^52+1",
                            "-2^62", "1e21/7", "6.02e23", "1.5e-7", "pi"};
    for (const char* format : formats) {
        kov_Parser* parser = kov_ParserCreate();
        char answer[KOV_PARSER_LINE];
        ASSERT_EQ(kov_ParserRun(format, answer, parser), 1);
        for (const char* value : values) {
            char first[KOV_PARSER_LINE];
            if (kov_ParserRun(value, first, parser) != 1) {
                continue;  // too large for the format
            }
            char again[KOV_PARSER_LINE];
            EXPECT_EQ(kov_ParserRun(first, again, parser), 1)
                << format << " " << value << " -> " << first;
            EXPECT_STREQ(again, first) << format << " " << value;
        }
        kov_ParserDelete(&parser);
    }
}

TEST(KovParser, BernoulliKeepsItsDigitsNearZeroAndFarOut)
{
    kov_Parser* parser = kov_ParserCreate();
    for (double x : {1e-12, -1e-9, 1e-6, 0.01, 1.0, -5.0, 50.0, 700.0, -800.0}) {
        char text[KOV_PARSER_LINE];
        std::snprintf(text, sizeof text, "bern(%.17g)", x);
        char answer[KOV_PARSER_LINE];
        ASSERT_EQ(kov_ParserRun(text, answer, parser), 1) << text << answer;
        const double got = kov_strtod(answer, nullptr);
        // Closed forms: the series 1 - x/2 + x^2/12 near 0, x e^-x/(1-e^-x)
        // for large x, -x/(1-e^x) for large negative x (long double).
        long double expected;
        const long double X = x;
        if (std::fabs(x) < 1e-3) {
            expected = 1 - X / 2 + X * X / 12 - X * X * X * X / 720;
        } else {
            expected = X / std::expm1(X);
        }
        if (x > 600) {
            expected = X * std::exp(-X) / (1 - std::exp(-X));
        }
        EXPECT_NEAR(got / static_cast<double>(expected), 1.0, 4e-16) << x;
    }
    // dbern: the divided difference, the derivative (-1/2 at 0) when the
    // arguments meet; checked against the series of bern' and a wide gap.
    char answer[KOV_PARSER_LINE];
    ASSERT_EQ(kov_ParserRun("dbern(0,0)", answer, parser), 1);
    EXPECT_STREQ(answer, "-0.5");
    ASSERT_EQ(kov_ParserRun("dbern(1e-9,-1e-9)", answer, parser), 1);
    EXPECT_NEAR(kov_strtod(answer, nullptr), -0.5, 1e-15);
    ASSERT_EQ(kov_ParserRun("dbern(2,1)", answer, parser), 1);
    const double b2 = 2.0 / std::expm1(2.0), b1 = 1.0 / std::expm1(1.0);
    EXPECT_NEAR(kov_strtod(answer, nullptr), b2 - b1, 1e-15);
    // Close arguments: the derivative at the midpoint (closed form, exact
    // enough at 1), where the plain quotient would keep only 8 digits.
    ASSERT_EQ(kov_ParserRun("dbern(1+1e-7,1)", answer, parser), 1);
    const double m = 1.0 + 5e-8;
    const double d1 = (std::expm1(m) - m * std::exp(m)) / (std::expm1(m) * std::expm1(m));
    EXPECT_NEAR(kov_strtod(answer, nullptr), d1, 1e-14);
    kov_ParserDelete(&parser);
}

TEST(KovParser, LongLinesAreRefusedNotCut)
{
    kov_Parser* parser = kov_ParserCreate();
    std::string line = "1";
    while (line.size() < 255) {
        line += "+1";  // 255 characters: still taken
    }
    line.resize(255);
    if (line.back() == '+') {
        line.back() = '1';
    }
    char answer[KOV_PARSER_LINE];
    EXPECT_EQ(kov_ParserRun(line.c_str(), answer, parser), 1) << answer;
    line += "0";  // 256: the last operand would be cut to 1 in a short buffer
    EXPECT_EQ(kov_ParserRun(line.c_str(), answer, parser), 0);
    EXPECT_STREQ(answer, "line too long: at most 255 characters");
    kov_ParserDelete(&parser);
}

TEST(KovParser, RemSpaceKeepsOneBlankBetweenOperandsOnly)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{" 1 +\t2 \r\n", "1+2"},
                 {"sin ( x )", "sin(x)"},
                 {"2  3", "2 3"},
                 {"x = 2 ;", "x=2;"},
                 {"a b", "a b"},
                 {"1. 5", "1. 5"},
                 {"format: hex", "format:hex"},
                 {"", ""}};
    for (const auto& c : cases) {
        char text[64];
        kov_copyA(text, sizeof text, c.in);
        EXPECT_EQ(kov_ParserRemSpace(text, 0), std::strlen(c.out)) << c.in;
        EXPECT_STREQ(text, c.out) << c.in;
    }
}

TEST(KovParser, ParseValueEvaluatesWithoutSideEffects)
{
    kov_Parser* parser = kov_ParserCreate();
    ASSERT_EQ(kov_ParserSetVariable(parser, "t", "2e-6"), 1);
    ASSERT_EQ(kov_ParserSetVariable(parser, "$Na", "1e16*2"), 1);
    char text[KOV_PARSER_LINE] = "$t*1e6 + $na/1e16";
    EXPECT_EQ(kov_ParserParseValue(parser, text), 1);
    EXPECT_STREQ(text, "4");
    kov_copyA(text, sizeof text, "1.5e-7");
    EXPECT_EQ(kov_ParserParseValue(parser, text), 1);
    EXPECT_STREQ(text, "1.5e-07");  // full precision, reads back exactly
    // Nothing defined, set or recorded; refused texts stay as they were.
    // "--5" too: a slip in a value, though the calculator's line takes it.
    for (const char* refused :
         {"q=3", "t=3", "format:hex", "unit:degree", "1,5", "2 3", "$nothing", "1/0", "--5", ""}) {
        kov_copyA(text, sizeof text, refused);
        EXPECT_EQ(kov_ParserParseValue(parser, text), 0) << refused;
        EXPECT_STREQ(text, refused);
    }
    EXPECT_EQ(kov_ParserVariableCount(parser), 2);
    EXPECT_STREQ(kov_ParserGetVariable(parser, "$t", 0), "2e-6");
    EXPECT_EQ(parser->count, 0);
    EXPECT_STREQ(kov_ParserGetInfo(parser), "real | radian");
    char answer[KOV_PARSER_LINE];
    ASSERT_EQ(kov_ParserRun("sin(pi/2)", answer, parser), 1);
    EXPECT_STREQ(answer, "1");
    kov_ParserDelete(&parser);
}

TEST(KovParser, VariablesByIndexAndDeletion)
{
    kov_Parser* parser = kov_ParserCreate();
    EXPECT_EQ(kov_ParserSetVariable(parser, "a", "1"), 1);
    EXPECT_EQ(kov_ParserSetVariable(parser, "Width", "$a*3"), 1);
    EXPECT_EQ(kov_ParserSetVariable(parser, "A", "5"), 1);  // the same a, changed
    EXPECT_EQ(kov_ParserSetVariable(parser, "pi", "3"), 0);
    EXPECT_EQ(kov_ParserSetVariable(parser, "1a", "3"), 0);
    EXPECT_EQ(kov_ParserSetVariable(parser, "b", "$missing"), 0);
    EXPECT_EQ(kov_ParserSetVariable(parser, "b", ""), 0);
    ASSERT_EQ(kov_ParserVariableCount(parser), 2);
    EXPECT_STREQ(kov_ParserVariableName(parser, 0), "a");
    EXPECT_STREQ(kov_ParserVariableValue(parser, 0), "5");
    EXPECT_STREQ(kov_ParserVariableName(parser, 1), "Width");
    EXPECT_STREQ(kov_ParserVariableValue(parser, 1), "$a*3");  // kept as given
    EXPECT_EQ(kov_ParserVariableName(parser, 2), nullptr);
    EXPECT_EQ(kov_ParserVariableName(parser, -1), nullptr);
    char text[KOV_PARSER_LINE] = "width";
    ASSERT_EQ(kov_ParserParseValue(parser, text), 1);
    EXPECT_STREQ(text, "3");  // taken when it was set
    // A cached parse of a deleted variable must not be reused.
    kov_copyA(text, sizeof text, "a*2");
    ASSERT_EQ(kov_ParserParseValue(parser, text), 1);
    EXPECT_EQ(kov_ParserDeleteVariable(parser, "$A", 0), 1);
    EXPECT_EQ(kov_ParserDeleteVariable(parser, "a", 0), 0);
    kov_copyA(text, sizeof text, "a*2");
    EXPECT_EQ(kov_ParserParseValue(parser, text), 0);
    EXPECT_EQ(kov_ParserGetVariable(parser, "a", 0), nullptr);
    kov_ParserDelete(&parser);
}

TEST(KovParser, HistoryKeepsTheLast32AndResetForgetsEverything)
{
    kov_Parser* parser = kov_ParserCreate();
    for (int i = 1; i <= 40; ++i) {
        kov_ParserHistory(parser, ("x = " + std::to_string(i)).c_str());
    }
    EXPECT_EQ(parser->count, 32);
    EXPECT_EQ(parser->current, 31);
    EXPECT_STREQ(parser->history[0], "x = 9");
    EXPECT_STREQ(parser->history[31], "x = 40");
    char answer[KOV_PARSER_LINE];
    kov_ParserRun("format:hex", answer, parser);
    kov_ParserRun("unit:degree", answer, parser);
    kov_ParserRun("v=2", answer, parser);
    EXPECT_STREQ(kov_ParserGetInfo(parser), "hex | degree");
    kov_ParserReset(parser);
    EXPECT_EQ(parser->count, 0);
    EXPECT_EQ(parser->current, 0);
    EXPECT_EQ(kov_ParserVariableCount(parser), 0);
    EXPECT_STREQ(kov_ParserGetInfo(parser), "real | radian");
    EXPECT_EQ(kov_ParserRun("acos(0)", answer, parser), 1);
    EXPECT_STREQ(answer, "1.5707963267948966");
    kov_ParserDelete(&parser);
}

TEST(KovParser, SelfTestFilePassesAndAFailingOneIsReported)
{
    EXPECT_EQ(kov_ParserTest(KOVRA_SOURCE_DIR "/etc/parser-selftest.txt"), 1);
    TempFolder folder;
    const std::string path = folder.file("bad.txt");
    std::ofstream(path) << "# one good, one wrong, one malformed\n1+1 ==> 2\n2*2 ==> 5\n3+3\n";
    testing::internal::CaptureStdout();
    EXPECT_EQ(kov_ParserTest(path.c_str()), 0);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("line 3: 2*2 ==> 5: answered 4"), std::string::npos) << printed;
    EXPECT_NE(printed.find("line 4: no '==>'"), std::string::npos) << printed;
    EXPECT_NE(printed.find("3 cases, 1 passed, 2 failed"), std::string::npos) << printed;
    EXPECT_EQ(kov_ParserTest(folder.file("missing.txt").c_str()), 0);
}

// A self-test line far longer than any case (10 MB here) fails the test at
// once, without being held; a line of 300 characters still reaches the
// parser, whose own refusal it tests.
TEST(KovParser, SelfTestRefusesAHugeLineWithoutHoldingIt)
{
    TempFolder folder;
    const std::string path = folder.file("huge.txt");
    std::string longCase = "1";
    while (longCase.size() < 300) {
        longCase += "+1";
    }
    {
        std::ofstream out(path, std::ios::binary);
        out << longCase << " ==> ! line too long: at most 255 characters\n";
        const std::string block(1 << 20, '1');
        for (int i = 0; i < 10; ++i) {
            out << block;
        }
        out << " ==> 1\n2 ==> 2\n";
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(kov_ParserTest(path.c_str()), 0);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "line 2: longer than 4096 characters; the rest of the file is not read\n"
                       "2 cases, 1 passed, 1 failed\n");
}

}  // namespace
