// Value functions of the device-file reader.
#include <cmath>
#include <cwchar>
#include <string>
#include <unistd.h>

#include "ekInput.h"
#include "kovbase.h"

size_t ek_endsWithW(const wchar_t* text, const wchar_t* suffix)
{
    if (text == nullptr || suffix == nullptr) {
        return 0;
    }
    const size_t textLength = std::wcslen(text);
    const size_t suffixLength = std::wcslen(suffix);
    if (suffixLength == 0 || suffixLength > textLength) {
        return 0;
    }
    return std::wcscmp(text + textLength - suffixLength, suffix) == 0 ? suffixLength : 0;
}

double ek_wtof(const wchar_t* text)
{
    if (text == nullptr) {
        return 0.0;
    }
    // Only the first 63 characters count, as in files written elsewhere.
    wchar_t head[64];
    kov_copyW(head, 64, text);
    char narrow[64 * 4];
    kov_wideToUtf8(narrow, sizeof(narrow), head);
    return kov_strtod(narrow, nullptr);
}

bool ek_wholeNumber(const wchar_t* text, double* value)
{
    if (text == nullptr) {
        return false;
    }
    const std::string narrow = kov_toUtf8(text);
    const char* begin = narrow.c_str();
    while (*begin == ' ' || *begin == '\t') {
        ++begin;
    }
    if (*begin == '\0') {
        return false;
    }
    char* end = nullptr;
    const double number = kov_strtod(begin, &end);
    if (end == begin) {
        return false;
    }
    while (*end == ' ' || *end == '\t') {
        ++end;
    }
    if (*end != '\0' || !std::isfinite(number)) {
        return false;
    }
    if (value != nullptr) {
        *value = number;
    }
    return true;
}

void ek_clearConsole()
{
    if (isatty(STDOUT_FILENO)) {
        kov_putsW(L"\x1b[2J\x1b[H");
        return;
    }
    kov_putsW(L"[COMM]LUA:cls()\n");
}
