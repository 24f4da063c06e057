#include "ekScalarSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double EPS = std::numeric_limits<double>::epsilon();
// The smaller part of an interval cut in the golden ratio.
constexpr double GOLDEN_STEP = 0.3819660112501051;

bool sameSign(double a, double b) { return (a > 0.0 && b > 0.0) || (a < 0.0 && b < 0.0); }

}  // namespace

std::optional<ekSample> ek_findRoot(const std::function<double(double)>& f, ekSample a, ekSample b,
                                    double xtol, int maxEvaluations)
{
    if (!std::isfinite(a.f) || !std::isfinite(b.f) || sameSign(a.f, b.f) || !(xtol > 0.0)) {
        return std::nullopt;
    }
    // b is the best point so far, c the end that keeps the zero bracketed
    // with b, a the previous b; d the last step and e the one before.
    ekSample c = b;
    double d = 0.0;
    double e = 0.0;
    for (int evaluations = 0;;) {
        if (sameSign(b.f, c.f)) {
            c = a;
            d = e = b.x - a.x;
        }
        if (std::fabs(c.f) < std::fabs(b.f)) {
            a = b;
            b = c;
            c = a;
        }
        const double tol = 2.0 * EPS * std::fabs(b.x) + 0.5 * xtol;
        const double half = 0.5 * (c.x - b.x);
        if (std::fabs(half) <= tol || b.f == 0.0) {
            return b;
        }
        if (evaluations >= maxEvaluations) {
            return std::nullopt;
        }
        if (std::fabs(e) >= tol && std::fabs(a.f) > std::fabs(b.f)) {
            // Secant through a and b, or the inverse quadratic through all
            // three; taken only while it stays well inside the bracket and
            // shrinks faster than bisection would.
            const double s = b.f / a.f;
            double p = 0.0;
            double q = 0.0;
            if (a.x == c.x) {
                p = 2.0 * half * s;
                q = 1.0 - s;
            } else {
                const double qa = a.f / c.f;
                const double r = b.f / c.f;
                p = s * (2.0 * half * qa * (qa - r) - (b.x - a.x) * (r - 1.0));
                q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0) {
                q = -q;
            }
            p = std::fabs(p);
            const double limit = std::min(3.0 * half * q - std::fabs(tol * q), std::fabs(e * q));
            if (2.0 * p < limit) {
                e = d;
                d = p / q;
            } else {
                d = e = half;
            }
        } else {
            d = e = half;
        }
        a = b;
        b.x += std::fabs(d) > tol ? d : std::copysign(tol, half);
        b.f = f(b.x);
        ++evaluations;
        if (!std::isfinite(b.f)) {
            return std::nullopt;
        }
    }
}

std::optional<ekSample> ek_findMaximum(const std::function<double(double)>& f, double a, double b,
                                       ekSample c, double xtol, int maxEvaluations)
{
    if (!(a <= c.x && c.x <= b) || !std::isfinite(c.f) || !(xtol > 0.0)) {
        return std::nullopt;
    }
    // Brent's minimisation of -f: x the best point, w the second best, v
    // the previous w; d the last step and e the one before.
    ekSample x{c.x, -c.f};
    ekSample w = x;
    ekSample v = x;
    double d = 0.0;
    double e = 0.0;
    for (int evaluations = 0;;) {
        const double middle = 0.5 * (a + b);
        const double tol = xtol + EPS * std::fabs(x.x);
        if (std::fabs(x.x - middle) <= 2.0 * tol - 0.5 * (b - a)) {
            return ekSample{x.x, -x.f};
        }
        if (evaluations >= maxEvaluations) {
            return ekSample{x.x, -x.f};
        }
        bool golden = true;
        if (std::fabs(e) > tol) {
            // The parabola through x, w and v, taken when its vertex lies
            // inside the bracket and the step is less than half the one
            // before last.
            const double r = (x.x - w.x) * (x.f - v.f);
            double q = (x.x - v.x) * (x.f - w.f);
            double p = (x.x - v.x) * q - (x.x - w.x) * r;
            q = 2.0 * (q - r);
            if (q > 0.0) {
                p = -p;
            }
            q = std::fabs(q);
            const double before = e;
            e = d;
            if (std::fabs(p) < std::fabs(0.5 * q * before) && p > q * (a - x.x) &&
                p < q * (b - x.x)) {
                d = p / q;
                const double u = x.x + d;
                if (u - a < 2.0 * tol || b - u < 2.0 * tol) {
                    d = std::copysign(tol, middle - x.x);
                }
                golden = false;
            }
        }
        if (golden) {
            e = x.x >= middle ? a - x.x : b - x.x;
            d = GOLDEN_STEP * e;
        }
        ekSample u;
        u.x = std::fabs(d) >= tol ? x.x + d : x.x + std::copysign(tol, d);
        const double value = f(u.x);
        ++evaluations;
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
        u.f = -value;
        if (u.f <= x.f) {
            (u.x >= x.x ? a : b) = x.x;
            v = w;
            w = x;
            x = u;
        } else {
            (u.x < x.x ? a : b) = u.x;
            if (u.f <= w.f || w.x == x.x) {
                v = w;
                w = u;
            } else if (u.f <= v.f || v.x == x.x || v.x == w.x) {
                v = u;
            }
        }
    }
}
