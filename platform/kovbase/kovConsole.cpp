// Console output in UTF-8. Standard output stays byte-oriented: wide text is
// converted here and written with fwrite, never through the wide stdio
// functions, so that narrow and wide writers can share the stream.
#include "kovbase.h"

#include <clocale>
#include <cstdarg>
#include <ctime>
#include <cwchar>
#include <locale.h>
#include <vector>

namespace {

// Formatting runs under a fixed locale so that "%g" always writes a decimal
// point and "%s" arguments are read as UTF-8, whatever the program's locale.
locale_t formatLocale()
{
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return l != static_cast<locale_t>(0)
                   ? l
                   : newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    }();
    return locale;
}

}  // namespace

int kov_wprintf(const wchar_t* format, ...)
{
    if (format == nullptr) {
        return -1;
    }
    const locale_t previous = uselocale(formatLocale());
    std::vector<wchar_t> buffer(512);
    int written = -1;
    // vswprintf reports a short buffer and a bad argument alike (-1), so the
    // buffer grows up to a bound instead of forever.
    while (buffer.size() <= (1u << 20)) {
        va_list args;
        va_start(args, format);
        written = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written >= 0) {
            break;
        }
        buffer.resize(buffer.size() * 4);
    }
    uselocale(previous);
    if (written < 0) {
        return -1;
    }
    kov_putsW(buffer.data());
    return written;
}

int kov_printf(const char* format, ...)
{
    if (format == nullptr) {
        return -1;
    }
    const locale_t previous = uselocale(formatLocale());
    va_list args;
    va_start(args, format);
    const int written = std::vprintf(format, args);
    va_end(args);
    uselocale(previous);
    std::fflush(stdout);
    return written;
}

void kov_putsW(const wchar_t* text)
{
    if (text == nullptr) {
        return;
    }
    const std::string utf8 = kov_toUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

double kov_clockMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}
