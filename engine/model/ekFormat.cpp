#include "ekFormat.h"

#include <cstdarg>
#include <cwchar>

std::wstring ek_format(const wchar_t* format, ...)
{
    wchar_t line[4096];
    va_list args;
    va_start(args, format);
    const int written = std::vswprintf(line, sizeof line / sizeof line[0], format, args);
    va_end(args);
    if (written < 0) {
        line[sizeof line / sizeof line[0] - 1] = L'\0';
    }
    return line;
}
