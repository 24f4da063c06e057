// Mutations of a seed (a text or a binary file) for the fuzz tests: byte
// flips, cuts, repeated and swapped pieces, bytes that are no UTF-8, 32-bit
// words set to extreme sizes, and tokens a test hands in. A test of a
// line-based format adds its own mutations on top of the line operations
// here (lines removed, repeated, swapped, inserted). The seed of the random
// engine is fixed by the test, so a failure repeats.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

class FuzzMutator {
public:
    // tokens: pieces of the input's own language ("1e999", "0x", "--")
    // that mutations insert, since random bytes rarely form them.
    explicit FuzzMutator(unsigned seed, std::vector<std::string> tokens = {})
        : random(seed), tokens(std::move(tokens))
    {
    }

    // A number in 0..n-1 (0 when n is not positive).
    int pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random); }

    // One to three of the byte mutations below.
    std::string mutate(const std::string& seed)
    {
        return mutate(seed, [](FuzzMutator& self, std::string text) {
            return self.mutateOnce(std::move(text));
        });
    }

    // One to mostRounds rounds of a test's own mutation, round(*this, text),
    // which draws from pick() and the operations below.
    template <typename Round>
    std::string mutate(const std::string& seed, Round&& round, int mostRounds = 3)
    {
        std::string text = seed;
        for (int rounds = 1 + pick(mostRounds); rounds > 0; --rounds) {
            text = round(*this, std::move(text));
        }
        return text;
    }

    // ---- bytes -------------------------------------------------------------
    // One to most bytes set to random values; printable: to printable
    // ASCII only (a script that still reads as text).
    std::string flipBytes(std::string text, int most = 8, bool printable = false)
    {
        if (text.empty()) {
            return text;
        }
        for (int n = 1 + pick(most); n > 0; --n) {
            text[index(text.size())] = static_cast<char>(printable ? 32 + pick(95) : pick(256));
        }
        return text;
    }

    // The text cut short (possibly to nothing).
    std::string cut(const std::string& text) { return text.substr(0, index(text.size())); }

    // A number over many decades, as a person or a program writes one:
    // 10^(lowest..lowest+decades-1) times 1..143, negative one time in four.
    std::string plausibleNumber(int lowest, int decades)
    {
        const double magnitude = std::pow(10.0, pick(decades) + lowest) * (1 + pick(1000) / 7.0);
        char number[40];
        std::snprintf(number, sizeof number, "%.17g", pick(4) == 0 ? -magnitude : magnitude);
        return number;
    }

    // ---- lines -------------------------------------------------------------
    // The lines of a text without their line ends (a last line without one
    // counts; an empty text has none), and the lines joined again, each
    // with a line end.
    static std::vector<std::string> splitLines(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find('\n', start);
            lines.push_back(
                text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            start = end == std::string::npos ? text.size() : end + 1;
        }
        return lines;
    }

    static std::string joinLines(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\n";
        }
        return text;
    }

    // A place among the lines (0 when there are none).
    size_t pickLine(const std::vector<std::string>& lines) { return index(lines.size()); }

    // A line of minLength up to minLength+spread-1 copies of one of the
    // characters of alphabet, inserted before line at.
    void insertLongLine(std::vector<std::string>& lines, size_t at, const std::string& alphabet,
                        int minLength, int spread)
    {
        const char filler = alphabet[index(alphabet.size())];
        const size_t length = static_cast<size_t>(minLength + pick(spread));
        lines.insert(lines.begin() + static_cast<long>(at), std::string(length, filler));
    }

    // Line at removed.
    void removeLine(std::vector<std::string>& lines, size_t at)
    {
        if (at < lines.size()) {
            lines.erase(lines.begin() + static_cast<long>(at));
        }
    }

    // Line at repeated 1 to mostRepeats times.
    void repeatLine(std::vector<std::string>& lines, size_t at, int mostRepeats)
    {
        if (at < lines.size()) {
            const std::string copy = lines[at];
            lines.insert(lines.begin() + static_cast<long>(at),
                         static_cast<size_t>(1 + pick(mostRepeats)), copy);
        }
    }

    // Line at removed, or repeated 1 to mostRepeats times.
    void removeOrRepeatLine(std::vector<std::string>& lines, size_t at, int mostRepeats)
    {
        if (pick(2) == 0) {
            removeLine(lines, at);
        } else {
            repeatLine(lines, at, mostRepeats);
        }
    }

    // Line at swapped with another line.
    void swapLines(std::vector<std::string>& lines, size_t at)
    {
        if (at < lines.size()) {
            std::swap(lines[at], lines[pickLine(lines)]);
        }
    }

    // One of choices inserted as a line before line at.
    template <size_t N>
    void insertOneOf(std::vector<std::string>& lines, size_t at, const char* const (&choices)[N])
    {
        lines.insert(lines.begin() + static_cast<long>(at), choices[index(N)]);
    }

    // One of choices, for a test's own use.
    template <size_t N>
    const char* oneOf(const char* const (&choices)[N])
    {
        return choices[index(N)];
    }

private:
    // A place in 0..size-1 (0 for an empty sequence).
    size_t index(size_t size) { return static_cast<size_t>(pick(static_cast<int>(size))); }

    // A place before, inside or after text.
    size_t at(const std::string& text) { return index(text.size() + 1); }

    std::string mutateOnce(std::string text)
    {
        if (text.empty()) {
            return tokens.empty() ? std::string(1, static_cast<char>(pick(256))) : tokens[0];
        }
        switch (pick(8)) {
        case 0: return flipBytes(std::move(text));
        case 1: return cut(text);
        case 2: {  // a piece repeated
            const size_t from = at(text), length = at(text) % 64;
            return text.insert(at(text), text.substr(from, length));
        }
        case 3:  // bytes that are no UTF-8: a lone lead or continuation byte, Latin-1
            return text.insert(at(text),
                               oneOf({"\xC3", "\xE9", "\xFF", "\x80", "\xE2\x82", "\xF0\x9F\x98"}));
        case 4: {  // a 32-bit word (a size in a binary header) set to an extreme
            if (text.size() < 4) {
                return text;
            }
            const uint32_t extremes[] = {0u,          1u,       0xFFFFFFFFu, 0x7FFFFFFFu,
                                         0x80000000u, 1u << 24, 1u << 27,    10000000u};
            const uint32_t value = extremes[pick(8)];
            const size_t offset = (at(text) % (text.size() - 3)) & ~size_t(3);
            std::memcpy(&text[offset], &value, 4);
            return text;
        }
        case 5:  // a token of the language
            if (tokens.empty()) {
                return text;
            }
            return text.insert(at(text), tokens[index(tokens.size())]);
        case 6:  // a long run of one byte
            return text.insert(at(text), std::string(static_cast<size_t>(1 + pick(400)),
                                                     static_cast<char>(pick(256))));
        default: {  // two bytes swapped
            std::swap(text[index(text.size())], text[index(text.size())]);
            return text;
        }
        }
    }

    std::mt19937 random;
    std::vector<std::string> tokens;
};
