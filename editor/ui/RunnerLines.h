// How the runner cuts the driver's console output into lines and what each
// line does in the output console, apart from any pipe or window, so that
// the rules can be checked byte for byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The longest line taken from the pipe; a longer one is cut there and the
// rest arrives as the next line.
constexpr size_t RUNNER_LINE_MAX = 1020;

// Collects the bytes read from the pipe into lines: an LF ends a line and is
// kept, CR LF becomes LF, and 1020 bytes without LF end a line too. Bytes of
// a line not yet ended wait for more; finish() hands out what is left once
// the pipe is closed.
class PipeLineSplitter {
public:
    // Adds one byte; returns a complete line when this byte ended one.
    std::optional<std::string> add(char byte);
    // The unfinished line left when the driver has closed its output.
    std::optional<std::string> finish();
    bool pending() const { return !partial.empty(); }

private:
    std::string partial;  // the bytes of the line not ended yet
};

// What a console line does.
struct RunnerLineAction {
    enum Kind {
        IGNORE,         // nothing to show (empty, or a console command without effect)
        SHOW,           // append text to the console
        EXCHANGE_FILE,  // "[COMM]ELE:<path>": the driver names its exchange file
        CLEAR_CONSOLE,  // "[COMM]LUA:cls()"
    };
    Kind kind = IGNORE;
    std::string text;  // SHOW: the message with its line breaks; EXCHANGE_FILE: the path
};

// The action of one line read from the pipe. consoleEmpty and
// consoleEndsWithLf describe the console before the line is appended: a
// tagged line ("[...") after text that does not end a line starts a new one.
RunnerLineAction RunnerLines_interpret(std::string_view line, bool consoleEmpty,
                                       bool consoleEndsWithLf);
