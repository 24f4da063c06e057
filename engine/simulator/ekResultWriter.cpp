// Shared pieces of the result writers.
#include "ekResultWriter.h"

#include <cstdarg>
#include <cwchar>

#include "ekHelpers.h"
#include "kovbase.h"
#include "nucore.h"

namespace ekResult {

std::wstring path(const wchar_t* folder, const wchar_t* suffix)
{
    std::wstring result = folder != nullptr ? folder : L"";
    result += L"simulout";
    result += suffix;
    return result;
}

FILE* open(const std::wstring& path)
{
    kov_fileReadWriteW(path.c_str());
    return kov_FileOpenW(path.c_str(), "w");
}

void appendNumber(std::wstring& row, double value, int digits)
{
    wchar_t text[32];
    nu_reformatAuto(value, text, 32, nullptr, nullptr, digits);
    row += text;
}

std::wstring number(double value, int digits)
{
    std::wstring text;
    appendNumber(text, value, digits);
    return text;
}

void writeRow(FILE* f, const double* values, int count, bool lastRow)
{
    std::wstring row;
    for (int c = 0; c < count; ++c) {
        if (c > 0) {
            row += L'\t';
        }
        appendNumber(row, values[c]);
    }
    if (!lastRow) {
        row += L'\n';
    }
    kov_FileWriteW(f, row.c_str());
}

void writeRows(FILE* f, nuSigma* sigma, bool& stopped, int count, int points,
               const std::function<void(int, double*)>& rowValues)
{
    double values[8];
    for (int i = 0; i < points; ++i) {
        rowValues(i, values);
        writeRow(f, values, count, i == points - 1);
        if (stopped || sigma->stopIt()) {
            stopped = true;
            break;
        }
    }
}

void logUnphysical(nuSigma* sigma, const wchar_t* what, bool guessExists)
{
    log(sigma, 2, L"[WARNING] unphysical %lsvalues (check device parameters%ls)\n", what,
        guessExists ? L" and initial guess" : L"");
    ek_resetSigma(sigma);
}

void log(nuSigma* sigma, int level, const wchar_t* format, ...)
{
    // Lines that carry a path need room for it (paths hold 1023 characters).
    wchar_t line[1280];
    va_list args;
    va_start(args, format);
    const int written = std::vswprintf(line, sizeof line / sizeof line[0], format, args);
    va_end(args);
    if (written < 0) {
        line[sizeof line / sizeof line[0] - 1] = L'\0';
    }
    sigma->update(line, level);
}

void logCannotOpen(nuSigma* sigma, const std::wstring& path)
{
    log(sigma, 1, L"[ERROR]   cannot open file \"%ls\"\n", path.c_str());
}

}  // namespace ekResult
