// nucore free functions: tridiagonal solve and number formatting.
#pragma once

#include <cstddef>
#include <string>

#include "nuParam.h"
#include "nuParser.h"
#include "nuSigma.h"

// Solves the tridiagonal system lower*u[i-1] + diag*u[i] + upper*u[i+1] = rhs
// (Thomas algorithm without pivoting; lower[0] and upper[n-1] unused) for
// the update u, stores it in update and applies it as the iterative drivers
// do: x := previous + u, then previous := x (the driver keeps previous equal
// to x between solves). iterations receives 1, error the largest |u|.
// False (update, previous and x untouched) for a zero pivot, a non-finite
// coefficient or update, n < 1 or a null array; also when the scratch
// arrays cannot be had, which *outOfMemory (when given) tells apart.
bool nu_solveTriDiag(const double* lower, const double* diag, const double* upper,
                     const double* rhs, double* update, double* previous, double* x, int n,
                     int* iterations, double* error, bool* outOfMemory = nullptr);

// Writes value into text (size characters with the terminator), always with
// a '.' as decimal point whatever the locale:
//   digits 1..17: that many significant digits as printf's "%g" writes
//     them (trailing zeros dropped, exponent form below 1e-4 and from
//     1e<digits> on): 6 digits give "300", "0.001", "1e+16", "1.5e-05";
//     more than 17 digits count as 17;
//   digits -1 (or 0 or below): the shortest text that reads back to the
//     identical double ("0.1", "1e-300", "-0", "6.02214076e+23").
// Not-a-number is "nan", infinities "inf" and "-inf". A text that does not
// fit leaves text empty (a cut number would read back as another value).
// The two reserved arguments are not used (pass null). Returns text.
wchar_t* nu_reformatAuto(double value, wchar_t* text, size_t size, void* reserved1, void* reserved2,
                         int digits);
// The same number as a string: the one number text of the engine's
// messages, device files and result files (6 digits unless told).
std::wstring nu_numberText(double value, int digits = 6);
char* nu_reformatAutoA(double value, char* text, size_t size, void* reserved1, void* reserved2,
                       int digits);
// Tidies a number already in text, in place and never lengthening it:
// trailing zeros of a fraction (and a bare '.') go, a zero exponent goes,
// other exponents keep their sign and lose leading zeros beyond two digits
// ("1.500000e+00" -> "1.5", "2.50E-005" -> "2.5e-05", "300.000" -> "300").
// A text that is not one number is left unchanged. Returns text.
wchar_t* nu_reformat(wchar_t* text);
