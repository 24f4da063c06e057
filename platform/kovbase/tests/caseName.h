// Names for the cases of a parameterised test. Without a name, GoogleTest
// numbers the cases and CTest names each by the bytes of its parameter,
// which change from build to build; a case named by what it checks keeps
// its name and tells, in a failure line, which case failed.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

// The text as a test name (letters, digits and '_' only): each word begins
// with a capital, a decimal point between digits becomes 'p', a minus sign
// before a digit 'm' and a break between two numbers '_'; everything else
// between words is dropped. "set after mapping, 1.5 V" gives
// "SetAfterMapping1p5V", "gaps 1.12 -0.5" "Gaps1p12_m0p5".
inline std::string caseName(std::string_view text)
{
    std::string name;
    bool wordStart = true;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool digitAfter =
            i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]));
        if (std::isalnum(c)) {
            if (wordStart && std::isdigit(c) && !name.empty() &&
                std::isdigit(static_cast<unsigned char>(name.back()))) {
                name += '_';  // "1 2" is not "12"
            }
            name += wordStart ? static_cast<char>(std::toupper(c)) : static_cast<char>(c);
            wordStart = false;
        } else if (c == '.' && digitAfter && !name.empty() &&
                   std::isdigit(static_cast<unsigned char>(name.back()))) {
            name += 'p';
        } else if (c == '-' && digitAfter) {
            if (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back()))) {
                name += '_';
            }
            name += 'm';
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
    return name.empty() ? std::string("Empty") : name;
}

// A name generator for INSTANTIATE_TEST_SUITE_P that names each case by
// what GoogleTest prints for it (its PrintTo or operator<<, the text of a
// string parameter).
struct NamedByPrint {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const
    {
        return caseName(::testing::PrintToString(info.param));
    }
};
