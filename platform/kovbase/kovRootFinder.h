// The root search behind the grammar's solve(f, x, x0).
#pragma once

#include <functional>
#include <string>

// The function searched: its value at a point into *value; false when the
// value is not a finite number.
using kov_RootFunction = std::function<bool(double point, double* value)>;

// Newton's method from x0 with a difference slope, ending on a root only:
// a point where f is exactly 0, where |f| has fallen to the rounding level
// of f there (a few units in the last place of x times the slope), or one
// of two neighbouring doubles between which f changes sign. A search that
// finds none of these says so in *error (the variable's name in its
// words): no wrong point is ever answered as a root. iterations bounds the
// Newton steps; a step below tolerance times |x| that leaves f above its
// rounding level counts as stalled.
bool kov_findRoot(const kov_RootFunction& f, double x0, int iterations, double tolerance,
                  const std::string& name, double* root, std::string* error);
