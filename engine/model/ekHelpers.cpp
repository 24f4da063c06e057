#include "ekHelpers.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <iterator>

#include "kovText.h"
#include "nuSigma.h"

namespace {

constexpr double EPSILON = 2.220446049250313e-16;
constexpr size_t TRIM_LIMIT = 8192;

}  // namespace

bool ek_isEqual(double a, double b)
{
    return a == b || std::fabs(a - b) <= (std::fabs(a) + std::fabs(b)) * EPSILON;
}

bool ek_isZero(double a) { return a == 0.0 || std::fabs(a) * EPSILON >= std::fabs(a); }

void ek_resetSigma(nuSigma* sigma)
{
    if (sigma == nullptr) {
        return;
    }
    sigma->status = -1;
    sigma->err = 0;
    // By element count: the arrays hold wide characters, not bytes.
    std::fill(std::begin(sigma->message), std::end(sigma->message), L'\0');
    std::fill(std::begin(sigma->caption), std::end(sigma->caption), L'\0');
}

size_t ek_trimW(wchar_t* text)
{
    if (text == nullptr) {
        return 0;
    }
    const size_t length = std::wcslen(text);
    if (length == 0 || length >= TRIM_LIMIT) {
        return length;
    }

    size_t end = length;
    while (end > 0 && kov_isBlank(text[end - 1])) {
        --end;
    }
    size_t begin = 0;
    while (begin < end && kov_isBlank(text[begin])) {
        ++begin;
    }

    const size_t kept = end - begin;
    if (begin > 0) {
        std::wmemmove(text, text + begin, kept);
    }
    text[kept] = L'\0';
    return kept;
}
