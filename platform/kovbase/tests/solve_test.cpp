// solve(f, x, x0) answers a root or says that it found none: every answer
// is checked against the root's closed form, every refusal by its words.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "kovbase.h"
#include "kovParser.h"

namespace {

struct Root {
    const char* line;
    double root;    // the closed form
    double within;  // relative distance allowed (absolute at a root of 0)
};

// Roots far from 1 and beside large or tiny values, next to ordinary ones.
const Root roots[] = {
    {"solve(x^2-1e-24,x,1)", 1e-12, 4e-16},
    {"solve(1e30*(x^2-1e-30),x,1)", 1e-15, 4e-16},
    {"solve(sin(x*1e12),x,3e-12)", M_PI * 1e-12, 4e-16},
    {"solve(x-1e20,x,1)", 1e20, 0.0},
    {"solve(x^2-1e12,x,1)", 1e6, 0.0},
    {"solve(x+1e-300,x,1)", -1e-300, 0.0},
    {"solve(x^2-2,x,1)", M_SQRT2, 2.3e-16},
    {"solve(x^2-2,x,-1e3)", -M_SQRT2, 2.3e-16},
    {"solve(exp(x)-10,x,0)", M_LN10, 2.3e-16},
    {"solve(cos(x)-x,x,1)", 0.7390851332151607, 2.3e-16},
    {"solve(1e-12*(exp(v/0.025852)-1)-0.03,v,0.5)", 0.025852 * std::log1p(0.03 / 1e-12), 1e-15},
    {"solve((x-1)^2,x,2)", 1.0, 2.3e-16},  // a double root
    {"solve(x^3,x,1)", 0.0, 1e-300},       // a triple root at 0
    {"solve(x^2,x,0)", 0.0, 0.0},
    // Newton's step overshoots a cube root threefold: from -1e300 to 2e300,
    // a sign change whose bracket spans nearly every double.
    {"solve(sign(x-0.25)*abs(x-0.25)^(1/3),x,-1e300)", 0.25, 0.0},
};

TEST(KovSolve, AnswersOnlyRootsAndFindsThemAtAnyScale)
{
    kov_Parser* parser = kov_ParserCreate();
    ASSERT_NE(parser, nullptr);
    for (const Root& r : roots) {
        char answer[KOV_PARSER_LINE] = "";
        ASSERT_EQ(kov_ParserRun(r.line, answer, parser), 1) << r.line << " -> " << answer;
        const double got = kov_strtod(answer, nullptr);
        const double allowed = r.root != 0.0 ? r.within * std::fabs(r.root) : r.within;
        EXPECT_LE(std::fabs(got - r.root), allowed) << r.line << " -> " << answer;
    }
    kov_ParserDelete(&parser);
}

struct Refusal {
    const char* line;
    const char* answerBegins;
};

// No root, or none the search can reach: said in words, never a point
// where f is far from 0.
const Refusal refusals[] = {
    {"solve(x^2+1,x,1)", "solve: no root found"},
    {"solve(1/(x-1),x,0.5)", "solve: no root found"},
    {"solve(floor(x)-0.5,x,0.3)", "solve: no root found"},
    // A step across 0 between the neighbours 1 and 1 + 2^-52 is no root.
    {"solve(x+(x>1)-1.5,x,0)",
     "solve: no root found: the function jumps across 0 at x = 1 (from -0.5 to 0.5"},
    {"solve(1,x,0)", "solve: zero or undefined slope at x = 0"},
};

TEST(KovSolve, SaysSoWhenNoRootIsFound)
{
    kov_Parser* parser = kov_ParserCreate();
    ASSERT_NE(parser, nullptr);
    for (const Refusal& r : refusals) {
        char answer[KOV_PARSER_LINE] = "";
        EXPECT_EQ(kov_ParserRun(r.line, answer, parser), 0) << r.line << " -> " << answer;
        EXPECT_EQ(std::strncmp(answer, r.answerBegins, std::strlen(r.answerBegins)), 0)
            << r.line << " -> " << answer;
    }
    kov_ParserDelete(&parser);
}

}  // namespace
