// Mutated input never crashes the calculator's file modes: expression files
// run with "-run FILE -out OUT" (in the process, as the program runs them),
// and session files and settings history replayed into the console window.
// Each run ends with status 0 or 1, its output file holds only answer
// blocks, an output that is the input is refused with the input intact,
// and the console always holds valid UTF-8. Case counts and seeds are
// fixed, so a failure repeats; a time cap keeps each test within seconds.
// KOVRA_FUZZ_CASES and KOVRA_FUZZ_SEED in the environment allow a longer
// search by hand (the time cap then grows with the case count).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "CalcCommandLine.h"
#include "Console.h"
#include "CalcState.h"
#include "WindowMain.h"
#include "CalcWindowFixture.h"
#include "fuzzMutator.h"
#include "fuzzSettings.h"
#include "guiCommon.h"
#include "iupTestApp.h"
#include "tempFolder.h"

namespace {

constexpr double TIME_CAP_SECONDS = 3.0;

const std::vector<std::string> SEEDS = {
    "a = 2\nb = a*3;\n  a + b\n",
    "format:hex\n255\n-0xFF+1\nformat:bin\n0b1010\nformat:dec\n1e21/7\n",
    "unit:degree\nsin(30)+cos(60)\nsolve(x^2-2,x,1)\niter:5\ntol:1e-3\n",
    "x=1e300*1e300\n1/0\nsqrt(-1)\nfoo(2)\n2 3\n(1+2\n",
    "--5\n+\n-\n1e\n1e999\n0b102\n1.2.3\n",
};

const std::vector<std::string> TOKENS = {
    "1e999",     "1e",  "0x",   "0xFF",       "0b102",      "--",        "+",
    "-",         "(",   ")",    "?",          ":",          "$",         ";",
    "=",         "\n",  "\r\n", "format:hex", "format:dec", "unit:grad", "solve(x,x,1)",
    "unset:all", "cls", "\xC3", "\xE9",
};

struct Budget {
    int cases;
    double seconds;
    explicit Budget(int defaultCases)
        : cases(static_cast<int>(fuzzSetting("KOVRA_FUZZ_CASES", defaultCases))),
          seconds(FUZZ_TIME_SCALE * TIME_CAP_SECONDS * std::max(1.0, double(cases) / defaultCases))
    {
    }
};

unsigned seedOf(unsigned fallback)
{
    return static_cast<unsigned>(fuzzSetting("KOVRA_FUZZ_SEED", fallback));
}

bool validUtf8(const std::string& text) { return Editor_validText(text) == text; }

// Standard output goes to /dev/null while the file mode prints its blocks.
class QuietStdout {
public:
    QuietStdout()
    {
        std::fflush(stdout);
        savedStdout = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        dup2(savedStdout, 1);
        close(savedStdout);
    }

private:
    int savedStdout = -1;
};

// Every line of a -out file is an answer block: ">> line" and the answer
// indented by three blanks (or an empty answer).
bool onlyAnswerBlocks(const std::string& text)
{
    size_t start = 0;
    bool expectAnswer = false;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            return false;  // every block ends its lines
        }
        const std::string line = text.substr(start, end - start);
        if (!expectAnswer && line.rfind(">> ", 0) != 0) {
            return false;
        }
        if (expectAnswer && !line.empty() && line.rfind("   ", 0) != 0) {
            return false;
        }
        expectAnswer = !expectAnswer;
        start = end + 1;
    }
    return !expectAnswer;
}

TEST(CalcFilesFuzz, MutatedExpressionFilesRunOrFailCleanly)
{
    TempFolder folder;
    const Budget budget(600);
    FuzzMutator mutator(seedOf(20261211u), TOKENS);
    const auto started = std::chrono::steady_clock::now();
    const std::string input = folder.file("lines.txt");
    const std::string output = folder.file("out.txt");
    int ran = 0;
    for (int i = 0; i < budget.cases; ++i) {
        const std::string text = mutator.mutate(SEEDS[static_cast<size_t>(i) % SEEDS.size()]);
        folder.write("lines.txt", text);
        // Now and then the output is the input itself.
        const bool same = mutator.pick(10) == 0;
        std::string arguments[] = {"KovraCalc", "-run", input, "-out", same ? input : output};
        char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                        arguments[3].data(), arguments[4].data(), nullptr};
        std::remove(output.c_str());
        int status = 0;
        {
            QuietStdout quiet;
            status = CalcCommandLine_run(5, argv);
        }
        ASSERT_TRUE(status == 0 || status == 1) << "case " << i;
        if (same) {
            EXPECT_EQ(status, 1) << "case " << i;
            EXPECT_EQ(readAll(input), text) << "case " << i << ": the input was changed";
        } else {
            EXPECT_TRUE(onlyAnswerBlocks(readAll(output))) << "case " << i << ":\n"
                                                           << readAll(output);
        }
        ++ran;
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() >
            budget.seconds) {
            break;
        }
    }
    EXPECT_GT(ran, 50);
}

class CalcSessionFuzz : public CalcWindowFixture {};

TEST_F(CalcSessionFuzz, MutatedSessionsAndHistoryReplayIntoValidText)
{
    const Budget budget(150);
    FuzzMutator mutator(seedOf(20261212u), TOKENS);
    const auto started = std::chrono::steady_clock::now();
    kov_Parser* parser = App_getParser();
    ASSERT_NE(parser, nullptr);
    int ran = 0;
    for (int i = 0; i < budget.cases; ++i) {
        const std::string text = mutator.mutate(SEEDS[static_cast<size_t>(i) % SEEDS.size()]);
        if (i % 2 == 0) {
            // A session file, opened as File > Open does.
            const std::string name = config.write("fuzz.kovracalc", text);
            parser->count = 0;
            IupScriptBegin();
            IupScriptAnswer("Open file", name.c_str());
            WindowMain_openSession();
            EXPECT_EQ(IupScriptEnd(), 0) << "case " << i;
        } else {
            // History entries as a settings file may hold them, browsed with
            // Up and evaluated with Enter.
            Console_clear(console);
            parser->count = 0;
            size_t start = 0;
            while (parser->count < KOV_PARSER_HISTORY && start < text.size()) {
                const size_t end = std::min(text.find('\n', start), text.size());
                kov_copyA(parser->history[parser->count], KOV_PARSER_LINE,
                          text.substr(start, end - start).c_str());
                ++parser->count;
                start = end + 1;
            }
            parser->current = parser->count > 0 ? parser->count - 1 : 0;
            for (int k = 0; k < 3; ++k) {
                IupTestKey(console, K_UP);
                IupTestKey(console, K_CR);
            }
        }
        EXPECT_LE(parser->count, KOV_PARSER_HISTORY);
        EXPECT_TRUE(validUtf8(Console_text(console))) << "case " << i;
        ++ran;
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() >
            budget.seconds) {
            break;
        }
    }
    EXPECT_GT(ran, 10);
}

}  // namespace
