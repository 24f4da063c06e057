// Rate of the calculator's expression parser: 1,000,000 short lines, first
// a working set of texts seen again and again (their parse is kept), then
// texts that are all different (each one parsed afresh).
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "kovbase.h"
#include "kovParser.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main()
{
    kov_Parser* parser = kov_ParserCreate();
    if (parser == nullptr) {
        std::printf("cannot create the parser\n");
        return 1;
    }
    char answer[KOV_PARSER_LINE];
    kov_ParserRun("a=1.5", answer, parser);
    kov_ParserRun("b=2", answer, parser);
    const std::vector<std::string> workingSet = {
        "1+2*3",      "sin(a)*cos(b)",  "a^2+b^2",      "sqrt(a*b)",   "exp(-a)/b",
        "ln(10)*a",   "(a+b)/(a-b)",    "max(a,b,3)",   "bern(a)",     "_k*300/_q",
        "hypot(a,b)", "2*pi*a",         "gauss(a,0,1)", "pow(b,10)-1", "atan(a/b)",
        "abs(a-b)*3", "erf(a)+erfc(b)", "log(1000)",    "fmod(7,a)",   "a*b*b*a"};
    constexpr int LINES = 1000000;
    int failures = 0;

    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < LINES; ++i) {
        failures += kov_ParserRun(workingSet[static_cast<size_t>(i) % workingSet.size()].c_str(),
                                  answer, parser) != 1;
    }
    const double cachedSeconds = secondsSince(start);

    constexpr int DISTINCT = 100000;
    std::vector<std::string> distinct;
    distinct.reserve(DISTINCT);
    for (int i = 0; i < DISTINCT; ++i) {
        distinct.push_back(std::to_string(i) + "*a+" + std::to_string(i % 97) + "/b");
    }
    start = std::chrono::steady_clock::now();
    for (const std::string& text : distinct) {
        failures += kov_ParserRun(text.c_str(), answer, parser) != 1;
    }
    const double freshSeconds = secondsSince(start);

    std::printf(
        "expression parser, %d lines from a working set of %zu texts: %.2f s, %.0f lines/s\n",
        LINES, workingSet.size(), cachedSeconds, LINES / cachedSeconds);
    std::printf("expression parser, %d distinct lines (parsed each): %.2f s, %.0f lines/s\n",
                DISTINCT, freshSeconds, DISTINCT / freshSeconds);
    std::printf("failed lines: %d\n", failures);
    kov_ParserDelete(&parser);
    return failures == 0 ? 0 : 1;
}
