// Mutations of a seed (a text or a binary file) for the fuzz tests: byte
// flips, cuts, repeated and swapped pieces, bytes that are no UTF-8, 32-bit
// words set to extreme sizes, and tokens a test hands in. The seed of the
// random engine is fixed by the test, so a failure repeats.
#pragma once

#include <cstdint>
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
        : random_(seed), tokens_(std::move(tokens))
    {
    }

    int pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_); }

    // One to three mutations of the seed.
    std::string mutate(const std::string& seed)
    {
        std::string text = seed;
        for (int rounds = 1 + pick(3); rounds > 0; --rounds) text = mutateOnce(text);
        return text;
    }

private:
    size_t at(const std::string& text) { return static_cast<size_t>(pick(static_cast<int>(text.size()) + 1)); }

    std::string mutateOnce(std::string text)
    {
        if (text.empty()) return tokens_.empty() ? std::string(1, static_cast<char>(pick(256))) : tokens_[0];
        switch (pick(8)) {
        case 0:  // byte flips
            for (int n = 1 + pick(8); n > 0; --n) text[at(text) % text.size()] = static_cast<char>(pick(256));
            return text;
        case 1:  // cut short
            return text.substr(0, at(text));
        case 2: {  // a piece repeated
            const size_t from = at(text), length = at(text) % 64;
            return text.insert(at(text), text.substr(from, length));
        }
        case 3: {  // bytes that are no UTF-8: a lone lead or continuation byte, Latin-1
            const char* foreign[] = {"\xC3", "\xE9", "\xFF", "\x80", "\xE2\x82", "\xF0\x9F\x98"};
            return text.insert(at(text), foreign[pick(6)]);
        }
        case 4: {  // a 32-bit word (a size in a binary header) set to an extreme
            if (text.size() < 4) return text;
            const uint32_t extremes[] = {0u, 1u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 1u << 24, 1u << 27, 10000000u};
            const uint32_t value = extremes[pick(8)];
            const size_t offset = (at(text) % (text.size() - 3)) & ~size_t(3);
            std::memcpy(&text[offset], &value, 4);
            return text;
        }
        case 5:  // a token of the language
            if (tokens_.empty()) return text;
            return text.insert(at(text), tokens_[static_cast<size_t>(pick(static_cast<int>(tokens_.size())))]);
        case 6:  // a long run of one byte
            return text.insert(at(text), std::string(static_cast<size_t>(1 + pick(400)), static_cast<char>(pick(256))));
        default: {  // two pieces swapped
            const size_t a = at(text) % text.size(), b = at(text) % text.size();
            std::swap(text[a], text[b]);
            return text;
        }
        }
    }

    std::mt19937 random_;
    std::vector<std::string> tokens_;
};
