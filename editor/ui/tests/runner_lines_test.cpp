// The runner's pipe lines and console commands, byte for byte.
#include <gtest/gtest.h>

#include <vector>

#include "RunnerLines.h"

namespace {

std::vector<std::string> split(const std::string& bytes, bool finish = true)
{
    PipeLineSplitter splitter;
    std::vector<std::string> lines;
    for (char c : bytes) {
        if (auto line = splitter.add(c)) {
            lines.push_back(*line);
        }
    }
    if (finish) {
        if (auto rest = splitter.finish()) {
            lines.push_back(*rest);
        }
    }
    return lines;
}

TEST(PipeLineSplitter, LinesEndAtLfWithCrLfMadeLf)
{
    EXPECT_EQ(split("a\r\nb\nc"), (std::vector<std::string>{"a\n", "b\n", "c"}));
    EXPECT_EQ(split("a\rb\n"), (std::vector<std::string>{"a\rb\n"}));  // a lone CR stays
    EXPECT_EQ(split("half", false), std::vector<std::string>{});       // waits for its end
}

TEST(PipeLineSplitter, LongLineCutAt1020BytesEndedByCrLf)
{
    const std::vector<std::string> lines = split(std::string(1500, 'x') + "\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(1020, 'x') + "\r\n");
    EXPECT_EQ(lines[1], std::string(480, 'x') + "\n");
}

TEST(RunnerLines, ConsoleTextOfEachLine)
{
    struct Case {
        const char* line;
        bool consoleEmpty;
        bool endsWithLf;
        RunnerLineAction::Kind kind;
        const char* text;
    };
    const Case cases[] = {
        {"[INFO]    mesh done\n", false, true, RunnerLineAction::SHOW, "[INFO]    mesh done\r\n"},
        // ';' in place of the line end, with or without LF.
        {"[INFO]    step;\n", false, true, RunnerLineAction::SHOW, "[INFO]    step\r\n"},
        {"[INFO]    step;", false, true, RunnerLineAction::SHOW, "[INFO]    step\r\n"},
        // A tag after text that does not end a line starts a new line;
        // other text continues the line.
        {"[ERROR]   bad\n", false, false, RunnerLineAction::SHOW, "\r\n[ERROR]   bad\r\n"},
        {"[ERROR]   bad\n", true, false, RunnerLineAction::SHOW, "[ERROR]   bad\r\n"},
        {"more\n", false, false, RunnerLineAction::SHOW, "more\r\n"},
        // Leading and trailing line breaks counted, at most three kept.
        {"\n\n\n\n\n[PV] x\n\n", false, true, RunnerLineAction::SHOW, "\r\n\r\n\r\n[PV] x\r\n\r\n"},
        {"\r\n", false, true, RunnerLineAction::IGNORE, ""},
        {";\n", false, true, RunnerLineAction::IGNORE, ""},
        // Console commands act and are never shown; six characters are text.
        {"[COMM]ELE:/r/simulcomm.txt\n", false, true, RunnerLineAction::EXCHANGE_FILE,
         "/r/simulcomm.txt"},
        {"[COMM]LUA:cls()\n", false, true, RunnerLineAction::CLEAR_CONSOLE, ""},
        {"[COMM]XYZ\n", false, true, RunnerLineAction::IGNORE, ""},
        {"[COMM]ELE:\n", false, true, RunnerLineAction::IGNORE, ""},
        {"[COMM]\n", false, true, RunnerLineAction::SHOW, "[COMM]\r\n"},
    };
    for (const Case& c : cases) {
        const RunnerLineAction action = RunnerLines_interpret(c.line, c.consoleEmpty, c.endsWithLf);
        EXPECT_EQ(action.kind, c.kind) << c.line;
        EXPECT_EQ(action.text, c.text) << c.line;
    }
}

}  // namespace
