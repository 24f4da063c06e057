#include "ekBandMatrix.h"

#include <algorithm>
#include <cmath>
#include <new>

ekBandMatrix::ekBandMatrix(int n, int kl, int ku) { resize(n, kl, ku); }

bool ekBandMatrix::resize(int n, int kl, int ku)
{
    dimension = subDiagonals = superDiagonals = 0;
    outOfBand = false;
    band.clear();
    if (n < 1 || kl < 0 || ku < 0) {
        return false;
    }
    kl = std::min(kl, n - 1);
    ku = std::min(ku, n - 1);
    const size_t rows = static_cast<size_t>(2 * kl + ku + 1);
    try {
        band.assign(rows * static_cast<size_t>(n), 0.0);
    } catch (const std::bad_alloc&) {
        band = std::vector<double>();
        return false;
    }
    dimension = n;
    subDiagonals = kl;
    superDiagonals = ku;
    return true;
}

void ekBandMatrix::clear()
{
    std::fill(band.begin(), band.end(), 0.0);
    outOfBand = false;
}

void ekBandMatrix::setTridiagonal(const double* lower, const double* diag, const double* upper)
{
    for (int i = 0; i < dimension; ++i) {
        if (i > 0) {
            band[index(i, i - 1)] = lower[i];
        }
        band[index(i, i)] = diag[i];
        if (i + 1 < dimension) {
            band[index(i, i + 1)] = upper[i];
        }
    }
}

bool ekBandMatrix::isFinite() const
{
    return std::all_of(band.begin(), band.end(), [](double v) { return std::isfinite(v); });
}

void ekBandMatrix::multiply(const double* x, double* y) const
{
    for (int i = 0; i < dimension; ++i) {
        const int first = std::max(0, i - subDiagonals);
        const int last = std::min(dimension - 1, i + superDiagonals);
        double sum = 0.0;
        for (int j = first; j <= last; ++j) {
            sum += band[index(i, j)] * x[j];
        }
        y[i] = sum;
    }
}
