#include "ekBandLU.h"

#include <algorithm>
#include <cmath>

#include "ekBandMatrix.h"

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

// The factorisation for bandwidths known at compile time (KL, KU > 0) or
// given at run time (0). The Newton and Poisson bands are fixed, and with
// fixed loop lengths of five or one the compiler unrolls the elimination;
// the other shapes take the same code with run-time lengths.
template <int KL, int KU>
int factorBand(int n, int klRun, int kuRun, double* ab, int ldab, int* pivots)
{
    const int kl = KL > 0 ? KL : klRun;
    const int ku = KU > 0 ? KU : kuRun;
    const int kv = ku + kl;
    int info = 0;
    // The kl rows above the band take the fill-in of the row interchanges.
    for (int c = 0; c < n; ++c) {
        for (int r = 0; r < kl; ++r) {
            ab[r + c * ldab] = 0.0;
        }
    }
    int last = 0;  // last column the interchanges so far reach
    // One column's elimination over `below` rows; inlined with below = kl
    // away from the matrix's end.
    auto eliminate = [&](int j, int below) -> bool {
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
        const double pivot = entry(ab, ldab, kv, j + p, j);
        if (!std::isfinite(pivot)) {
            // fabs(NaN) is never the largest: a NaN pivot means the
            // diagonal itself is NaN, or the whole column is.
            info = -(j + 1);
            return false;
        }
        if (pivot == 0.0) {
            if (info == 0) {
                info = j + 1;
            }
            return true;
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
        return true;
    };
    for (int j = 0; j < n; ++j) {
        const int below = std::min(kl, n - 1 - j);
        const bool finite = KL > 0 && below == KL ? eliminate(j, KL) : eliminate(j, below);
        if (!finite) {
            break;
        }
    }
    return info;
}

}  // namespace

int ek_bandFactor(int n, int kl, int ku, double* ab, int ldab, int* pivots)
{
    if (kl == EK_NEWTON_KL && ku == EK_NEWTON_KU) {
        return factorBand<EK_NEWTON_KL, EK_NEWTON_KU>(n, kl, ku, ab, ldab, pivots);
    }
    if (kl == 1 && ku == 1) {
        return factorBand<1, 1>(n, kl, ku, ab, ldab, pivots);
    }
    return factorBand<0, 0>(n, kl, ku, ab, ldab, pivots);
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
        // No shortcut for bj == 0: a NaN multiplier must still reach b.
        const double bj = b[j];
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
