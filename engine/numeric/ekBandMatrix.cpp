#include "ekBandMatrix.h"

#include <algorithm>
#include <cmath>
#include <new>

ekBandMatrix::ekBandMatrix(int n, int kl, int ku)
{
    resize(n, kl, ku);
}

bool ekBandMatrix::resize(int n, int kl, int ku)
{
    n_ = kl_ = ku_ = 0;
    outOfBand_ = false;
    band_.clear();
    if (n < 1 || kl < 0 || ku < 0)
        return false;
    kl = std::min(kl, n - 1);
    ku = std::min(ku, n - 1);
    const size_t rows = static_cast<size_t>(2 * kl + ku + 1);
    try {
        band_.assign(rows * static_cast<size_t>(n), 0.0);
    } catch (const std::bad_alloc&) {
        band_ = std::vector<double>();
        return false;
    }
    n_ = n;
    kl_ = kl;
    ku_ = ku;
    return true;
}

void ekBandMatrix::clear()
{
    std::fill(band_.begin(), band_.end(), 0.0);
    outOfBand_ = false;
}

void ekBandMatrix::setTridiagonal(const double* lower, const double* diag, const double* upper)
{
    for (int i = 0; i < n_; ++i) {
        if (i > 0)
            band_[index(i, i - 1)] = lower[i];
        band_[index(i, i)] = diag[i];
        if (i + 1 < n_)
            band_[index(i, i + 1)] = upper[i];
    }
}

bool ekBandMatrix::isFinite() const
{
    return std::all_of(band_.begin(), band_.end(), [](double v) { return std::isfinite(v); });
}

void ekBandMatrix::multiply(const double* x, double* y) const
{
    for (int i = 0; i < n_; ++i) {
        const int first = std::max(0, i - kl_);
        const int last = std::min(n_ - 1, i + ku_);
        double sum = 0.0;
        for (int j = first; j <= last; ++j)
            sum += band_[index(i, j)] * x[j];
        y[i] = sum;
    }
}
