// ekBandMatrix: a square matrix with kl sub- and ku super-diagonals, kept in
// LAPACK band layout so that the banded LU works on it directly.
// The Newton Jacobian is 3N x 3N with every entry within five columns of the
// diagonal: dense storage would need 28.8 GB at N = 20000, the band 7.7 MB.
#pragma once

#include <cstddef>
#include <vector>

// Bandwidths of the Newton Jacobian (unknowns V, Fn, Fp interleaved per node).
constexpr int EK_NEWTON_KL = 5;
constexpr int EK_NEWTON_KU = 5;

class ekBandMatrix {
public:
    ekBandMatrix() = default;
    // An n x n zero matrix; an empty one when the arguments are refused or
    // memory is short (check size()).
    ekBandMatrix(int n, int kl, int ku);

    // Reshapes to an n x n zero matrix. Bandwidths beyond n - 1 are cut to
    // n - 1 (a small system is simply full). False (and an empty matrix) for
    // n < 1, a negative bandwidth, or too little memory.
    bool resize(int n, int kl, int ku);

    int size() const { return dimension; }
    int lower() const { return subDiagonals; }
    int upper() const { return superDiagonals; }
    // Leading dimension of the LAPACK layout: kl extra rows above the band
    // leave room for the fill-in of partial pivoting.
    int ldab() const { return 2 * subDiagonals + superDiagonals + 1; }

    bool inBand(int i, int j) const
    {
        return i >= 0 && j >= 0 && i < dimension && j < dimension && j - i <= superDiagonals &&
               i - j <= subDiagonals;
    }

    // Entry of row i, column j. An index outside the band lands in a scratch
    // cell and marks the matrix as damaged, so the solvers refuse it rather
    // than solve a system the assembler did not mean.
    double& at(int i, int j)
    {
        if (!inBand(i, j)) {
            outOfBand = true;
            scratch = 0.0;
            return scratch;
        }
        return band[index(i, j)];
    }
    // Entry of row i, column j; 0 outside the band.
    double get(int i, int j) const { return inBand(i, j) ? band[index(i, j)] : 0.0; }

    // Zeroes every entry and forgets an earlier out-of-band write.
    void clear();
    // Writes a tridiagonal matrix (kl = ku = 1, or n = 1) whole: row i reads
    // lower[i] x[i-1] + diag[i] x[i] + upper[i] x[i+1] (lower[0] and
    // upper[n-1] are not read). The rows above the band are the
    // factorisation's and are left as they are.
    void setTridiagonal(const double* lower, const double* diag, const double* upper);
    bool hadOutOfBandWrite() const { return outOfBand; }
    // True when every stored entry is a finite number.
    bool isFinite() const;

    // y = A x (x and y of size() doubles, not overlapping).
    void multiply(const double* x, double* y) const;

    // Column-major ldab() x size() block in LAPACK band layout: entry (i, j)
    // at [kl + ku + i - j + j * ldab()]; the top kl rows are left zero.
    const double* data() const { return band.data(); }
    double* data() { return band.data(); }

private:
    std::size_t index(int i, int j) const
    {
        return static_cast<std::size_t>(subDiagonals + superDiagonals + i - j) +
               static_cast<std::size_t>(j) * static_cast<std::size_t>(ldab());
    }

    int dimension = 0;
    int subDiagonals = 0;
    int superDiagonals = 0;
    std::vector<double> band;
    double scratch = 0.0;
    bool outOfBand = false;
};
