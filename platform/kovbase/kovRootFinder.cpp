// The root search behind the grammar's solve(f, x, x0).
#include "kovRootFinder.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr double EPSILON = std::numeric_limits<double>::epsilon();

std::string numberText(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    // The shortest digits that read back to v.
    for (int digits = 1; digits <= 17; ++digits) {
        char shorter[32];
        std::snprintf(shorter, sizeof shorter, "%.*g", digits, v);
        if (std::strtod(shorter, nullptr) == v) {
            return shorter;
        }
    }
    return buffer;
}

bool negative(double v) { return std::signbit(v); }

// Doubles in their order as integers: the midpoint of two keys halves the
// number of doubles between them, so a bracket closes to two neighbouring
// doubles in at most 64 halvings, whatever its ends' exponents.
int64_t orderKey(double v)
{
    int64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits < 0 ? std::numeric_limits<int64_t>::min() - bits : bits;
}

double fromOrderKey(int64_t key)
{
    const int64_t bits = key < 0 ? std::numeric_limits<int64_t>::min() - key : key;
    double v = 0.0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

struct Search {
    const kov_RootFunction& function;
    const std::string& name;
    std::string* error;
    double largest = 0.0;  // the largest |f| met so far: the size of its terms

    bool f(double x, double* value)
    {
        if (!function(x, value)) {
            return false;
        }
        largest = std::fmax(largest, std::fabs(*value));
        return true;
    }

    // The level below which |f(x)| is rounding: where x is only known to a
    // few units in its last place, f is only known to the change those
    // units make in it.
    static double roundingLevel(double x, double slope)
    {
        return 4.0 * EPSILON * std::fabs(x * slope);
    }

    std::string at(double x) const { return name + " = " + numberText(x); }

    // The central-difference slope at x. The step starts a millionth of |x|
    // and grows while the two values read the same: beside a large value
    // (x - 1e20 at x = 1) a small step is lost in the rounding and would
    // read as a zero slope.
    bool slope(double x, double fx, double* result)
    {
        double h = x != 0.0 ? 1e-6 * std::fabs(x) : 1e-6;
        for (int k = 0; k < 80; ++k, h *= 16.0) {
            if (!std::isfinite(x + h) || !std::isfinite(x - h)) {
                break;
            }
            double fp = 0.0, fm = 0.0;
            const bool okPlus = f(x + h, &fp);
            const bool okMinus = f(x - h, &fm);
            double s = 0.0;
            if (okPlus && okMinus) {
                s = (fp - fm) / ((x + h) - (x - h));
            } else if (okPlus) {
                s = (fp - fx) / ((x + h) - x);  // one side of a domain edge
            } else if (okMinus) {
                s = (fx - fm) / (x - (x - h));
            } else {
                break;
            }
            if (s != 0.0 && std::isfinite(s)) {
                *result = s;
                return true;
            }
        }
        *error = "solve: zero or undefined slope at " + at(x);
        return false;
    }

    // f changes sign between a and b: closes the bracket to two neighbouring
    // doubles and answers the one with the smaller |f| when that is at the
    // rounding level; otherwise f jumps across 0 there (a pole, a step),
    // and that is no root.
    bool closeBracket(double a, double fa, double b, double fb, double* root)
    {
        int64_t ka = orderKey(a), kb = orderKey(b);
        // The distance of two keys as an unsigned number: from the most
        // negative double to the largest it exceeds the signed range.
        const auto distance = [](int64_t from, int64_t to) {
            return from < to ? static_cast<uint64_t>(to) - static_cast<uint64_t>(from)
                             : static_cast<uint64_t>(from) - static_cast<uint64_t>(to);
        };
        while (distance(ka, kb) > 1) {
            const uint64_t half = distance(ka, kb) / 2;
            const int64_t middle = ka < kb ? static_cast<int64_t>(static_cast<uint64_t>(ka) + half)
                                           : static_cast<int64_t>(static_cast<uint64_t>(ka) - half);
            const double m = fromOrderKey(middle);
            double fm = 0.0;
            if (!f(m, &fm)) {
                *error = "solve: the function is not defined near " + at(m);
                return false;
            }
            if (fm == 0.0) {
                *root = m;
                return true;
            }
            if (negative(fm) == negative(fa)) {
                ka = orderKey(m);
                fa = fm;
            } else {
                kb = orderKey(m);
                fb = fm;
            }
        }
        const bool aCloser = std::fabs(fa) <= std::fabs(fb);
        const double best = aCloser ? fromOrderKey(ka) : fromOrderKey(kb);
        const double fBest = aCloser ? fa : fb;
        double slopeThere = 0.0;
        const std::string kept = *error;
        if (!slope(best, fBest, &slopeThere)) {
            *error = kept;
            slopeThere = 0.0;
        }
        // Beside a root at 0 (x slope vanishes) a sign change between
        // neighbours is all rounding can show; the size of the terms, read
        // from the largest value met, then sets the level.
        const double level = std::fmax(roundingLevel(best, slopeThere), 4.0 * EPSILON * largest);
        if (std::fabs(fBest) > level) {
            const double fOther = aCloser ? fb : fa;
            *error = "solve: no root found: the function jumps across 0 at " + at(best) +
                     " (from " + numberText(fBest) + " to " + numberText(fOther) + ")";
            return false;
        }
        *root = best;
        return true;
    }
};

}  // namespace

bool kov_findRoot(const kov_RootFunction& f, double x0, int iterations, double tolerance,
                  const std::string& name, double* root, std::string* error)
{
    Search search{f, name, error};
    double previousStep = 0.0;
    double x = x0;
    double fx = 0.0;
    if (!search.f(x, &fx)) {
        *error = "solve: the function is not defined at the start value";
        return false;
    }
    for (int i = 0; i < iterations; ++i) {
        if (fx == 0.0) {
            *root = x;
            return true;
        }
        double slope = 0.0;
        if (!search.slope(x, fx, &slope)) {
            return false;
        }
        if (std::fabs(fx) <= search.roundingLevel(x, slope)) {
            *root = x;
            return true;
        }
        // Newton's step, halved while it does not bring |f| down (up to 30
        // times). A point of the other sign on the way brackets a root.
        const double newtonStep = fx / slope;
        double step = newtonStep;
        // Near a root of multiplicity m Newton's steps shrink by (m-1)/m
        // each time instead of squaring: m times the step lands on it.
        const double ratio = previousStep != 0.0 ? newtonStep / previousStep : 0.0;
        if (ratio >= 0.3 && ratio <= 0.95) {
            step *= std::round(1.0 / (1.0 - ratio));
        }
        double next = x - step;
        double fnext = 0.0;
        bool ok = search.f(next, &fnext);
        for (int k = 0; k < 30 && (!ok || std::fabs(fnext) >= std::fabs(fx)); ++k) {
            if (ok && negative(fnext) != negative(fx)) {
                break;
            }
            step *= 0.5;
            next = x - step;
            ok = search.f(next, &fnext);
        }
        if (!ok) {
            *error = "solve: the function is not defined near " + search.at(x);
            return false;
        }
        if (fnext == 0.0) {
            *root = next;
            return true;
        }
        if (negative(fnext) != negative(fx)) {
            return search.closeBracket(x, fx, next, fnext, root);
        }
        if (std::fabs(fnext) >= std::fabs(fx) || next == x) {
            *error = "solve: no root found: the search stalled at " + search.at(x) +
                     ", where the function is " + numberText(fx);
            return false;
        }
        const bool tiny = std::fabs(step) <= tolerance * std::fabs(next);
        previousStep = newtonStep;
        x = next;
        fx = fnext;
        if (tiny && std::fabs(fx) > search.roundingLevel(x, slope)) {
            *error = "solve: no root found: the search stalled at " + search.at(x) +
                     ", where the function is " + numberText(fx);
            return false;
        }
    }
    *error = "solve: no root found in " + std::to_string(iterations) + " iterations";
    return false;
}
