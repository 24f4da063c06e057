#include "ekBandLU.h"

#include <algorithm>
#include <cmath>

namespace {

// Entry (r, c) of the band: row kl + ku + r - c of column c.
inline double& entry(double* ab, int ldab, int kv, int r, int c)
{
    return ab[kv + r - c + c * ldab];
}

inline const double& entry(const double* ab, int ldab, int kv, int r, int c)
{
    return ab[kv + r - c + c * ldab];
}

}  // namespace

int ek_bandFactor(int n, int kl, int ku, double* ab, int ldab, int* pivots)
{
    const int kv = ku + kl;
    int info = 0;
    // The kl rows above the band take the fill-in of the row interchanges.
    for (int c = 0; c < n; ++c) {
        for (int r = 0; r < kl; ++r) {
            ab[r + c * ldab] = 0.0;
        }
    }
    int last = 0;  // last column the interchanges so far reach
    for (int j = 0; j < n; ++j) {
        const int below = std::min(kl, n - 1 - j);
        int p = 0;
        double largest = std::fabs(entry(ab, ldab, kv, j, j));
        for (int i = 1; i <= below; ++i) {
            const double v = std::fabs(entry(ab, ldab, kv, j + i, j));
            if (v > largest) {
                largest = v;
                p = i;
            }
        }
        pivots[j] = j + p;
        if (entry(ab, ldab, kv, j + p, j) == 0.0) {
            if (info == 0) {
                info = j + 1;
            }
            continue;
        }
        last = std::max(last, std::min(j + ku + p, n - 1));
        if (p != 0) {
            for (int c = j; c <= last; ++c) {
                std::swap(entry(ab, ldab, kv, j, c), entry(ab, ldab, kv, j + p, c));
            }
        }
        const double inverse = 1.0 / entry(ab, ldab, kv, j, j);
        double* column = &entry(ab, ldab, kv, j + 1, j);
        for (int i = 0; i < below; ++i) {
            column[i] *= inverse;
        }
        for (int c = j + 1; c <= last; ++c) {
            const double u = entry(ab, ldab, kv, j, c);
            if (u == 0.0) {
                continue;
            }
            double* target = &entry(ab, ldab, kv, j + 1, c);
            for (int i = 0; i < below; ++i) {
                target[i] -= column[i] * u;
            }
        }
    }
    return info;
}

void ek_bandSolve(int n, int kl, int ku, const double* ab, int ldab, const int* pivots, double* b)
{
    const int kv = ku + kl;
    // L: the interchanges and multipliers in the order they were made.
    for (int j = 0; j + 1 < n; ++j) {
        const int p = pivots[j];
        if (p != j) {
            std::swap(b[p], b[j]);
        }
        const double bj = b[j];
        if (bj == 0.0) {
            continue;
        }
        const int below = std::min(kl, n - 1 - j);
        const double* column = &entry(ab, ldab, kv, j + 1, j);
        for (int i = 0; i < below; ++i) {
            b[j + 1 + i] -= column[i] * bj;
        }
    }
    // U: upper triangular with kl + ku super-diagonals.
    for (int j = n - 1; j >= 0; --j) {
        b[j] /= entry(ab, ldab, kv, j, j);
        const double bj = b[j];
        const int first = std::max(0, j - kv);
        for (int i = first; i < j; ++i) {
            b[i] -= entry(ab, ldab, kv, i, j) * bj;
        }
    }
}
