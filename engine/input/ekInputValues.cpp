// Value functions of the device-file reader.
#include <cwchar>
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

void ek_clearConsole()
{
    if (isatty(STDOUT_FILENO)) {
        kov_putsW(L"\x1b[2J\x1b[H");
        return;
    }
    kov_putsW(L"[COMM]LUA:cls()\n");
}
