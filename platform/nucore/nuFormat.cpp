// Number texts. std::to_chars never looks at the locale, so every text
// written here reads back with kov_strtod on any system.
#include <charconv>
#include <cmath>
#include <string>

#include "kovbase.h"
#include "nucore.h"

namespace {

// The number as narrow text, in the style nucore.h describes: the suite's
// one number form (kov_reformatAuto).
std::string formatNumber(double value, int digits)
{
    char buffer[64];
    kov_reformatAuto(value, buffer, static_cast<int>(sizeof buffer) - 1, digits);
    return buffer;
}

template <typename Char>
Char* writeText(const std::string& number, Char* text, size_t size)
{
    if (text == nullptr || size == 0) {
        return text;
    }
    if (number.size() + 1 > size) {
        text[0] = 0;
        return text;
    }
    for (size_t i = 0; i < number.size(); ++i) {
        text[i] = static_cast<Char>(number[i]);
    }
    text[number.size()] = 0;
    return text;
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

wchar_t* nu_reformatAuto(double value, wchar_t* text, size_t size, void* reserved1, void* reserved2,
                         int digits)
{
    (void)reserved1;
    (void)reserved2;
    return writeText(formatNumber(value, digits), text, size);
}

std::wstring nu_numberText(double value, int digits)
{
    const std::string number = formatNumber(value, digits);
    return std::wstring(number.begin(), number.end());
}

char* nu_reformatAutoA(double value, char* text, size_t size, void* reserved1, void* reserved2,
                       int digits)
{
    (void)reserved1;
    (void)reserved2;
    return writeText(formatNumber(value, digits), text, size);
}

wchar_t* nu_reformat(wchar_t* text)
{
    if (text == nullptr) {
        return text;
    }
    // Parse sign, integer digits, fraction digits and exponent.
    const std::wstring source = text;
    size_t i = 0;
    std::wstring sign;
    if (i < source.size() && (source[i] == L'+' || source[i] == L'-')) {
        if (source[i] == L'-') {
            sign = L"-";
        }
        ++i;
    }
    const size_t intStart = i;
    while (i < source.size() && isDigit(source[i])) {
        ++i;
    }
    std::wstring integer = source.substr(intStart, i - intStart);
    std::wstring fraction;
    if (i < source.size() && source[i] == L'.') {
        const size_t fracStart = ++i;
        while (i < source.size() && isDigit(source[i])) {
            ++i;
        }
        fraction = source.substr(fracStart, i - fracStart);
    }
    if (integer.empty() && fraction.empty()) {
        return text;
    }
    std::wstring exponent;
    wchar_t exponentSign = L'+';
    bool hasExponentSign = false;
    if (i < source.size() && (source[i] == L'e' || source[i] == L'E')) {
        ++i;
        if (i < source.size() && (source[i] == L'+' || source[i] == L'-')) {
            exponentSign = source[i++];
            hasExponentSign = true;
        }
        const size_t expStart = i;
        while (i < source.size() && isDigit(source[i])) {
            ++i;
        }
        exponent = source.substr(expStart, i - expStart);
        if (exponent.empty()) {
            return text;
        }
    }
    if (i != source.size()) {
        return text;  // not one number
    }

    // Only removals follow, so the tidy text fits where the number was.
    while (!fraction.empty() && fraction.back() == L'0') {
        fraction.pop_back();
    }
    if (integer.empty() && fraction.empty()) {
        integer = L"0";  // ".000"
    }
    std::wstring result = sign + integer;
    if (!fraction.empty()) {
        result += L'.' + fraction;
    }
    if (exponent.find_first_not_of(L'0') != std::wstring::npos) {
        while (exponent.size() > 2 && exponent[0] == L'0') {
            exponent.erase(0, 1);
        }
        result += L'e';
        if (hasExponentSign) {
            result += exponentSign;
        }
        result += exponent;
    }
    for (size_t k = 0; k < result.size(); ++k) {
        text[k] = result[k];
    }
    text[result.size()] = L'\0';
    return text;
}
