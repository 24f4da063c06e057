// Value helpers used throughout the engine: float comparison with a
// relative machine-epsilon tolerance, status reset and blank trimming.
#pragma once

#include <cstddef>

class nuSigma;

// True when a == b or the two differ by at most one epsilon relative to
// their summed magnitudes.
bool ek_isEqual(double a, double b);

// True only for 0 and for an infinite value (the relative test against 0
// cannot hold for any other finite number).
bool ek_isZero(double a);

// Clears the status code (-1), the error flag, the message and its caption.
void ek_resetSigma(nuSigma* sigma);

// Removes leading and trailing blanks (space, tab, CR, LF) in place and
// returns the new length. Texts of 0 or of 8192 or more characters are left
// as they are and their length is returned; a null text gives 0.
size_t ek_trimW(wchar_t* text);
