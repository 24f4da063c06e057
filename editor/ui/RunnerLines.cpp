// Pipe lines and console commands of a run.
#include "RunnerLines.h"

#include <algorithm>
#include <utility>

#include "kovText.h"

namespace {

std::string lineBreaks(int count)
{
    std::string out;
    for (int i = 0; i < std::min(count, 3); ++i) {
        out += "\r\n";
    }
    return out;
}

}  // namespace

std::optional<std::string> PipeLineSplitter::add(char byte)
{
    partial += byte;
    if (byte == '\n') {
        if (partial.size() >= 2 && partial[partial.size() - 2] == '\r') {
            partial.erase(partial.size() - 2, 1);
        }
        return std::exchange(partial, std::string());
    }
    if (partial.size() >= RUNNER_LINE_MAX) {
        // A line cut at the limit still ends a console line.
        std::string cut = std::exchange(partial, std::string());
        cut += "\r\n";
        return cut;
    }
    return std::nullopt;
}

std::optional<std::string> PipeLineSplitter::finish()
{
    if (partial.empty()) {
        return std::nullopt;
    }
    return std::exchange(partial, std::string());
}

RunnerLineAction RunnerLines_interpret(std::string_view line, bool consoleEmpty,
                                       bool consoleEndsWithLf)
{
    RunnerLineAction action;
    int leading = 0;
    while (!line.empty() && (line.front() == '\r' || line.front() == '\n')) {
        leading += line.front() == '\n';
        line.remove_prefix(1);
    }
    int trailing = 0;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        trailing += line.back() == '\n';
        line.remove_suffix(1);
    }
    // The engine ends some messages with ';' in place of a line break.
    if (!line.empty() && line.back() == ';') {
        line.remove_suffix(1);
        trailing = std::max(trailing, 1);
    }
    if (line.empty()) {
        return action;
    }
    // Console commands: the line is acted on and never shown. A line of six
    // characters or fewer is text even when it reads "[COMM]".
    if (line.size() >= 7 && kov_startsWith(line, "[COMM]")) {
        if (line.size() > 10 && kov_startsWith(line, "[COMM]ELE:")) {
            action.kind = RunnerLineAction::EXCHANGE_FILE;
            action.text = std::string(line.substr(10));
        } else if (kov_startsWith(line, "[COMM]LUA:cls()")) {
            action.kind = RunnerLineAction::CLEAR_CONSOLE;
        }
        return action;
    }
    action.kind = RunnerLineAction::SHOW;
    action.text = lineBreaks(leading);
    if (line.front() == '[' && !consoleEmpty && !consoleEndsWithLf) {
        action.text += "\r\n";
    }
    action.text += std::string(line);
    action.text += lineBreaks(trailing);
    return action;
}
