// Small pieces shared by the result writers: file names in the output
// folder, opening a result file, number fields and range checks.
#pragma once

#include <cstdio>
#include <string>

class nuSigma;

namespace ekResult {

// Output folder + "simulout" + suffix ("_jv.txt", "_dist_7.txt", ...).
std::wstring path(const wchar_t* folder, const wchar_t* suffix);

// Opens a result file for writing, replacing an existing one (made
// writable first, since a plot program may have left it read-only).
FILE* open(const std::wstring& path);

// Appends one number as the files write it: digits -1 gives the shortest
// text that reads back to the same double, 6 gives six significant digits.
void appendNumber(std::wstring& row, double value, int digits = -1);
std::wstring number(double value, int digits);

// Inclusive range test that also refuses not-a-number.
inline bool inRange(double value, double low, double high)
{
    return value >= low && value <= high;
}

// A formatted log line (wide printf syntax; strings as %ls).
void log(nuSigma* sigma, int level, const wchar_t* format, ...);

// "[ERROR]   cannot open file \"<path>\"\n" at level 1.
void logCannotOpen(nuSigma* sigma, const std::wstring& path);

}  // namespace ekResult
