// Direct solve of a tridiagonal system (Thomas algorithm), with the update
// applied the way the iterative drivers apply theirs.
#include <cmath>
#include <new>
#include <vector>

#include "nucore.h"

bool nu_solveTriDiag(const double* lower, const double* diag, const double* upper,
                     const double* rhs, double* update, double* previous, double* x, int n,
                     int* iterations, double* error, bool* outOfMemory)
{
    if (outOfMemory != nullptr) {
        *outOfMemory = false;
    }
    if (n < 1 || lower == nullptr || diag == nullptr || upper == nullptr || rhs == nullptr ||
        update == nullptr || previous == nullptr || x == nullptr) {
        return false;
    }
    // Forward sweep: modified upper diagonal in scratch, modified right side
    // in update, so the caller's system stays as assembled.
    std::vector<double> scratch, u;
    try {
        scratch.resize(static_cast<size_t>(n));
        u.resize(static_cast<size_t>(n));
    } catch (const std::bad_alloc&) {
        if (outOfMemory != nullptr) {
            *outOfMemory = true;
        }
        return false;
    }
    double pivot = diag[0];
    if (pivot == 0.0 || !std::isfinite(pivot)) {
        return false;
    }
    scratch[0] = n > 1 ? upper[0] / pivot : 0.0;
    u[0] = rhs[0] / pivot;
    for (int i = 1; i < n; ++i) {
        pivot = diag[i] - lower[i] * scratch[i - 1];
        if (pivot == 0.0 || !std::isfinite(pivot)) {
            return false;
        }
        scratch[i] = i + 1 < n ? upper[i] / pivot : 0.0;
        u[i] = (rhs[i] - lower[i] * u[i - 1]) / pivot;
    }
    for (int i = n - 2; i >= 0; --i) {
        u[i] -= scratch[i] * u[i + 1];
    }
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(u[i])) {
            return false;  // x stays as it was
        }
        largest = std::fmax(largest, std::fabs(u[i]));
    }
    for (int i = 0; i < n; ++i) {
        update[i] = u[i];
        x[i] = previous[i] + u[i];
        previous[i] = x[i];
    }
    if (iterations != nullptr) {
        *iterations = 1;
    }
    if (error != nullptr) {
        *error = largest;
    }
    return true;
}
