// Searches along one variable for functions whose every value is costly
// (a whole solve of the device): the zero of a function between two points
// where it changes sign, and the largest value of a function inside an
// interval. Both keep a bracket around the answer at every step, so that a
// model step that goes wild can never leave the interval, and combine a
// model of the function (inverse quadratic or parabolic interpolation) with
// bisection or golden-section steps that guarantee progress.
//
// The function may fail (a solve that does not converge): it then returns
// a value that is not finite, and the search ends without a result.
#pragma once

#include <functional>
#include <optional>

struct ekSample {
    double x = 0.0;
    double f = 0.0;
};

// The zero of f between a and b, where f(a) and f(b) (given, not
// evaluated again) have opposite signs or one of them is 0. Ends once the
// bracket is narrower than xtol (absolute, > 0) or f is exactly 0; at most
// maxEvaluations calls of f. The result is the bracket end of smaller |f|.
// Nothing when the signs do not bracket a zero, f failed or the
// evaluations ran out before the bracket closed.
std::optional<ekSample> ek_findRoot(const std::function<double(double)>& f, ekSample a, ekSample b,
                                    double xtol, int maxEvaluations);

// The largest value of f on [a, b], starting from the inner point c (its
// value given, not evaluated again; a <= c <= b). f is taken unimodal on
// the interval; the search ends once the bracket around the best point is
// narrower than about 2 xtol (absolute, > 0), with at most maxEvaluations
// calls of f. The result is the best point evaluated. Nothing when f
// failed, the interval is empty or c lies outside it.
std::optional<ekSample> ek_findMaximum(const std::function<double(double)>& f, double a, double b,
                                       ekSample c, double xtol, int maxEvaluations);
