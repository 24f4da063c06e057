// Special functions of the expression grammar.
#include "kovMath.h"

#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double kov_bern(double x)
{
    if (std::isnan(x)) {
        return NaN;
    }
    if (x == 0.0) {
        return 1.0;
    }
    if (x > 700.0) {
        // e^-x alone is subnormal here and has lost most of its digits:
        // split it as e^-(x-700) e^-700, two normal numbers, so only the
        // last product rounds to the subnormal result.
        return x * std::exp(700.0 - x) / (-std::expm1(-x)) * std::exp(-700.0);
    }
    if (x > 30.0) {
        // x e^-x / (1 - e^-x): no overflow of e^x, exact to the last digit.
        const double e = std::exp(-x);
        return x * e / (-std::expm1(-x));
    }
    // expm1 keeps every digit of e^x - 1 for small x, so the quotient does
    // not cancel the way x / (exp(x) - 1) does.
    return x / std::expm1(x);
}

double kov_bernDerivative(double x)
{
    if (std::isnan(x)) {
        return NaN;
    }
    if (std::fabs(x) < 0.05) {
        // Series of bern' about 0 (Bernoulli numbers): the closed form
        // below loses digits to cancellation there.
        const double x2 = x * x;
        return -0.5 + x * (1.0 / 6.0 - x2 * (1.0 / 180.0 - x2 * (1.0 / 5040.0 - x2 / 151200.0)));
    }
    if (x > 30.0) {
        // Numerator and denominator scaled by e^-2x.
        const double e = std::exp(-x);
        const double d = -std::expm1(-x);
        return (e * d - x * e) / (d * d);
    }
    const double d = std::expm1(x);
    return (d - x * std::exp(x)) / (d * d);
}

double kov_dbern(double x, double y)
{
    if (std::isnan(x) || std::isnan(y)) {
        return NaN;
    }
    const double h = x - y;
    const double scale = std::fmax(1.0, std::fmax(std::fabs(x), std::fabs(y)));
    if (std::fabs(h) <= 1e-4 * scale) {
        // The midpoint derivative differs from the divided difference by
        // h^2/24 bern''' (below 1e-10 here); the quotient itself would keep
        // only a few digits.
        return kov_bernDerivative(0.5 * (x + y));
    }
    if (!std::isfinite(h)) {
        // x - y overflows (dbern(1e308, -1e308)): both sides halved.
        return (0.5 * kov_bern(x) - 0.5 * kov_bern(y)) / (0.5 * x - 0.5 * y);
    }
    return (kov_bern(x) - kov_bern(y)) / h;
}

double kov_gauss(double x, double mu, double sigma)
{
    if (!(sigma > 0.0)) {
        return NaN;
    }
    const double z = (x - mu) / sigma;
    return std::exp(-0.5 * z * z) / (sigma * std::sqrt(2.0 * M_PI));
}

double kov_lorentz(double x, double x0, double gamma)
{
    if (!(gamma > 0.0)) {
        return NaN;
    }
    const double d = x - x0;
    return gamma / (M_PI * (d * d + gamma * gamma));
}

double kov_fact(double n)
{
    if (!(n >= 0.0) || n > 170.0 || n != std::floor(n)) {
        return NaN;
    }
    double result = 1.0;
    for (int k = 2; k <= static_cast<int>(n); ++k) {
        result *= k;
    }
    return result;
}

double kov_beta(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) {
        return NaN;
    }
    const double g = std::tgamma(a) * std::tgamma(b) / std::tgamma(a + b);
    if (std::isfinite(g)) {
        return g;
    }
    // Large arguments: through the logarithms (positive arguments only).
    if (a > 0.0 && b > 0.0) {
        return std::exp(std::lgamma(a) + std::lgamma(b) - std::lgamma(a + b));
    }
    return NaN;
}

double kov_sign(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : (std::isnan(x) ? NaN : 0.0)); }
