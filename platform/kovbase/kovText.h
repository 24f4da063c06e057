// kovText.h: the small text and range tests every module of the suite uses,
// written once. Header-only so that the engine's hot loops inline them.
#pragma once

#include <cwctype>
#include <string>
#include <string_view>

// Space, tab, carriage return or line feed: the blanks of every file the
// suite reads.
template <typename C>
constexpr bool kov_isBlank(C c)
{
    return c == C(' ') || c == C('\t') || c == C('\r') || c == C('\n');
}

// Inclusive range test, written so that NaN fails every range.
constexpr bool kov_inRange(double value, double low, double high)
{
    return value >= low && value <= high;
}

constexpr bool kov_startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

constexpr bool kov_startsWith(std::wstring_view text, std::wstring_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

constexpr bool kov_endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

constexpr bool kov_endsWith(std::wstring_view text, std::wstring_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Equal but for letter case. The 8-bit form folds ASCII letters only (names
// and keys of the suite's files); the wide form folds every letter.
inline bool kov_equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'A' && a[i] <= 'Z') ? char(a[i] - 'A' + 'a') : a[i];
        const char y = (b[i] >= 'A' && b[i] <= 'Z') ? char(b[i] - 'A' + 'a') : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

inline bool kov_equalsNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The text without the blanks (kov_isBlank) at both ends: a view into the
// same characters, or (kov_trimmed) a copy.
constexpr std::string_view kov_trimmedView(std::string_view text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && kov_isBlank(text[first])) {
        ++first;
    }
    while (last > first && kov_isBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

inline std::string kov_trimmed(std::string_view text) { return std::string(kov_trimmedView(text)); }

// ASCII letters in lower case, every other byte as it is (whatever the
// locale says: names and keys of the suite's files are ASCII).
inline std::string kov_toLowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
    }
    return text;
}

// What every program says when the system cannot give it memory; callers
// add what they were doing ("insufficient memory for simulation").
inline constexpr const char* KOV_NO_MEMORY = "insufficient memory";
inline constexpr const wchar_t* KOV_NO_MEMORY_W = L"insufficient memory";
