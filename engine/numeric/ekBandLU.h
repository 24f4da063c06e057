// Banded LU factorisation with partial pivoting and the solve that follows
// it, on the LAPACK band layout of ekBandMatrix (the factors land where
// dgbtrf puts them, the pivots are 0-based). The Newton Jacobian has only
// five sub- and super-diagonals: a loop over so narrow a band costs a few
// multiply-adds per entry, where the BLAS route pays a library call per
// column and per step.
#pragma once

// Factorises the n x n band (kl sub-, ku super-diagonals, leading dimension
// ldab >= 2 kl + ku + 1) in place; pivots receives n row indices. Returns 0;
// 1 + the first column whose pivot is exactly zero (the factors are then
// complete but singular, and must not be solved with); or -(1 + column) at
// the first pivot that is not a finite number (the factorisation stops
// there).
//
// A NaN or infinity anywhere in the band either becomes such a pivot or
// stays in the factors, and the solve below carries every entry of the
// factors into the solution: a finite pivot throughout and a finite
// solution therefore mean that the band and the right side were finite,
// with no pass over the band of its own.
int ek_bandFactor(int n, int kl, int ku, double* ab, int ldab, int* pivots);

// Solves A x = b with the factors of ek_bandFactor; b is overwritten by x.
// Every multiplier and every entry of U takes part, zero right-side
// entries included, so a NaN or infinity in the factors or in b reaches x.
void ek_bandSolve(int n, int kl, int ku, const double* ab, int ldab, const int* pivots, double* b);
