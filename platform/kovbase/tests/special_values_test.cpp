// Exact angles give exact answers in degrees and grads, and the Bernoulli
// function keeps its digits where its value is subnormal or its arguments
// lie far apart: each against its closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "kovbase.h"
#include "kovParser.h"

namespace {

struct Answer {
    const char* line;
    int ok;
    const char* answer;
};

// One parser, in order: the unit commands carry over.
const Answer angles[] = {
    {"unit:degree", 1, "unit: degree"},
    {"cos(90)", 1, "0"},
    {"sin(180)", 1, "0"},
    {"cos(-270)", 1, "0"},
    {"sin(1e22)-sin(280)", 1, "0"},  // 1e22 is 280 degrees past a whole number of turns
    {"tan(45)", 1, "1"},
    {"tan(-45)", 1, "-1"},
    {"tan(135)", 1, "-1"},
    {"tan(225)", 1, "1"},
    {"tan(180)", 1, "0"},
    {"sin(30)", 1, "0.5"},
    {"cos(60)", 1, "0.5"},
    {"cos(120)", 1, "-0.5"},
    {"sin(45)", 1, "0.7071067811865476"},
    {"cos(315)", 1, "0.7071067811865476"},
    {"tan(90)", 0, "tan: undefined at an odd multiple of a right angle"},
    {"tan(-270)", 0, "tan: undefined at an odd multiple of a right angle"},
    {"unit:grad", 1, "unit: grad"},
    {"cos(100)", 1, "0"},
    {"sin(200)", 1, "0"},
    {"cos(300)", 1, "0"},
    {"tan(50)", 1, "1"},
    {"sin(50)", 1, "0.7071067811865476"},
    {"tan(100)", 0, "tan: undefined at an odd multiple of a right angle"},
    {"unit:radian", 1, "unit: radian"},
    {"cos(pi/2)", 1, "6.123233995736766e-17"},  // pi/2 itself is no double
};

TEST(KovSpecialValues, ExactAnglesGiveExactAnswers)
{
    kov_Parser* parser = kov_ParserCreate();
    ASSERT_NE(parser, nullptr);
    for (const Answer& a : angles) {
        char answer[KOV_PARSER_LINE] = "";
        EXPECT_EQ(kov_ParserRun(a.line, answer, parser), a.ok) << a.line << " -> " << answer;
        EXPECT_STREQ(answer, a.answer) << a.line;
    }
    kov_ParserDelete(&parser);
}

// Other angles: the value in degrees and grads agrees with the radian
// value of the same angle (long double) to a unit or two in the last place.
TEST(KovSpecialValues, OtherAnglesAgreeWithTheirRadianValues)
{
    kov_Parser* parser = kov_ParserCreate();
    ASSERT_NE(parser, nullptr);
    char answer[KOV_PARSER_LINE];
    for (const char* unit : {"unit:degree", "unit:grad"}) {
        ASSERT_EQ(kov_ParserRun(unit, answer, parser), 1);
        const long double perUnit =
            unit[5] == 'd' ? 3.14159265358979323846264L / 180 : 3.14159265358979323846264L / 200;
        for (double a : {1.0, 10.0, 29.5, 61.0, 100.5, 250.25, -400.75, 1234.5, 12345.6}) {
            char line[64];
            std::snprintf(line, sizeof line, "sin(%.17g)", a);
            ASSERT_EQ(kov_ParserRun(line, answer, parser), 1) << line;
            const long double radiansValue = a * perUnit;
            EXPECT_NEAR(kov_strtod(answer, nullptr), static_cast<double>(sinl(radiansValue)), 4e-16)
                << unit << " " << line;
            std::snprintf(line, sizeof line, "tan(%.17g)", a);
            ASSERT_EQ(kov_ParserRun(line, answer, parser), 1) << line;
            const double t = static_cast<double>(tanl(radiansValue));
            EXPECT_NEAR(kov_strtod(answer, nullptr) / t, 1.0, 8e-16) << unit << " " << line;
        }
    }
    kov_ParserDelete(&parser);
}

// bern(x) = x / (e^x - 1) where e^-x is subnormal: the long double's wider
// exponent holds e^-x in full, and the answer keeps the digits a subnormal
// double can hold (a unit of the smallest subnormal).
TEST(KovSpecialValues, SubnormalBernoulliValuesKeepTheirLeadingDigits)
{
    kov_Parser* parser = kov_ParserCreate();
    ASSERT_NE(parser, nullptr);
    for (double x : {708.0, 720.5, 740.0, 744.0, 745.0}) {
        char line[64];
        std::snprintf(line, sizeof line, "bern(%.17g)", x);
        char answer[KOV_PARSER_LINE];
        ASSERT_EQ(kov_ParserRun(line, answer, parser), 1) << line;
        const long double X = x;
        const double expected = static_cast<double>(X * expl(-X) / (1 - expl(-X)));
        const double got = kov_strtod(answer, nullptr);
        EXPECT_LE(std::fabs(got - expected),
                  std::fmax(4e-16 * expected, std::numeric_limits<double>::denorm_min()))
            << line << " -> " << answer << ", expected " << expected;
    }
    kov_ParserDelete(&parser);
}

// dbern(x, y) = (bern(x) - bern(y)) / (x - y) where x - y overflows.
TEST(KovSpecialValues, BernoulliDifferenceOfFarArgumentsDoesNotOverflow)
{
    kov_Parser* parser = kov_ParserCreate();
    ASSERT_NE(parser, nullptr);
    char answer[KOV_PARSER_LINE];
    // bern(1e308) is 0 and bern(-1e308) is 1e308: the quotient is -1/2.
    ASSERT_EQ(kov_ParserRun("dbern(1e308,-1e308)", answer, parser), 1);
    EXPECT_STREQ(answer, "-0.5");
    // bern(-1.5e308) = 1.5e308, bern(1e308) = 0: -1.5e308 / 2.5e308.
    ASSERT_EQ(kov_ParserRun("dbern(-1.5e308,1e308)", answer, parser), 1);
    EXPECT_NEAR(kov_strtod(answer, nullptr), -0.6, 1e-15);
    kov_ParserDelete(&parser);
}

}  // namespace
