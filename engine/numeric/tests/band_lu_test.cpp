// The banded LU against LAPACK's dgbtrf/dgbtrs on the same band: the same
// pivots, the same factors and a solution with a small residual, on
// matrices that need row interchanges and on a singular one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "ekBandLU.h"
#include "ekBandMatrix.h"
#include "ekLinearSolver.h"

extern "C" void dgbtrf_(const int* m, const int* n, const int* kl, const int* ku, double* ab,
                        const int* ldab, int* ipiv, int* info);

namespace {

// A band with entries of both signs and a weak diagonal, so partial
// pivoting has to interchange rows.
ekBandMatrix randomBand(int n, int kl, int ku, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    ekBandMatrix A(n, kl, ku);
    for (int i = 0; i < n; ++i) {
        for (int j = std::max(0, i - kl); j <= std::min(n - 1, i + ku); ++j) {
            A.at(i, j) = i == j ? 0.01 * uniform(rng) : uniform(rng);
        }
    }
    return A;
}

struct Shape {
    int n, kl, ku;
};

TEST(BandLU, FactorsAndPivotsAreThoseOfLapack)
{
    for (const Shape s :
         {Shape{30, 5, 5}, Shape{31, 1, 1}, Shape{12, 2, 4}, Shape{9, 4, 1}, Shape{3, 5, 5}}) {
        SCOPED_TRACE(::testing::Message() << "n " << s.n << " kl " << s.kl << " ku " << s.ku);
        const ekBandMatrix A = randomBand(s.n, s.kl, s.ku, 7u + static_cast<unsigned>(s.n));
        const int n = A.size(), kl = A.lower(), ku = A.upper(), ldab = A.ldab();
        std::vector<double> ours(A.data(), A.data() + ldab * n);
        std::vector<double> lapack(ours);
        std::vector<int> pivots(n), lapackPivots(n);
        ASSERT_EQ(ek_bandFactor(n, kl, ku, ours.data(), ldab, pivots.data()), 0);
        int info = 0;
        dgbtrf_(&n, &n, &kl, &ku, lapack.data(), &ldab, lapackPivots.data(), &info);
        ASSERT_EQ(info, 0);
        int interchanges = 0;
        for (int j = 0; j < n; ++j) {
            EXPECT_EQ(pivots[j] + 1, lapackPivots[j]) << "column " << j;
            interchanges += pivots[j] != j;
        }
        if (n > 3) {
            EXPECT_GT(interchanges, 0);  // the weak diagonal did need pivoting
        }
        for (int k = 0; k < ldab * n; ++k) {
            EXPECT_NEAR(ours[k], lapack[k], 1e-12 * (1.0 + std::fabs(lapack[k]))) << "entry " << k;
        }

        std::vector<double> x(n);
        for (int i = 0; i < n; ++i) {
            x[i] = std::sin(1.0 + i);
        }
        std::vector<double> b(n);
        A.multiply(x.data(), b.data());
        std::vector<double> solved(b);
        ek_bandSolve(n, kl, ku, ours.data(), ldab, pivots.data(), solved.data());
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(solved[i], x[i], 1e-9) << "unknown " << i;
        }
        EXPECT_LT(ek_relativeResidual(A, b.data(), solved.data()), 1e-13);
    }
}

TEST(BandLU, AZeroColumnIsReportedAsSingular)
{
    ekBandMatrix A = randomBand(12, 2, 2, 3u);
    for (int i = 0; i < 12; ++i) {
        if (A.inBand(i, 5)) {
            A.at(i, 5) = 0.0;
        }
    }
    std::vector<double> f(A.data(), A.data() + A.ldab() * A.size());
    std::vector<int> pivots(A.size());
    EXPECT_EQ(ek_bandFactor(A.size(), A.lower(), A.upper(), f.data(), A.ldab(), pivots.data()), 6);
    std::vector<double> b(12, 1.0), x(12, 0.0);
    EXPECT_EQ(ek_solveBandLU(A, b.data(), x.data(), nullptr), EK_LINSOLVE_SINGULAR);
}

// A NaN or infinity anywhere in the band or the right side must come out as
// EK_LINSOLVE_NOT_FINITE from the pivots and the solution alone, wherever
// it sits: on the diagonal, below it (a multiplier, or a pivot once it is
// the largest), above it (U), and with a right side that is zero where a
// shortcut would skip the poisoned multipliers.
TEST(BandLU, ANonFiniteEntryAnywhereReachesTheSolution)
{
    struct Shape {
        int n, kl, ku;
        bool lowerOnly;  // zero above the diagonal: U is the diagonal, and a
                         // multiplier reaches the solution only through the solve
    };
    for (const Shape s : {Shape{14, 2, 3, false}, Shape{12, 5, 5, false}, Shape{9, 1, 1, false},
                          Shape{10, 2, 2, true}}) {
        ekBandMatrix A = randomBand(s.n, s.kl, s.ku, 11u + static_cast<unsigned>(s.n));
        for (int i = 0; s.lowerOnly && i < s.n; ++i) {
            for (int j = std::max(0, i - s.kl); j <= std::min(s.n - 1, i + s.ku); ++j) {
                A.at(i, j) = i == j ? 4.0 : (j > i ? 0.0 : 0.5);
            }
        }
        for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
            for (int i = 0; i < s.n; ++i) {
                for (int j = std::max(0, i - s.kl); j <= std::min(s.n - 1, i + s.ku); ++j) {
                    ekBandMatrix B = A;
                    B.at(i, j) = bad;
                    // Only the last unknown is driven: every other row of b is 0.
                    std::vector<double> bx(static_cast<size_t>(s.n), 0.0);
                    bx[static_cast<size_t>(s.n - 1)] = 1.0;
                    std::vector<int> pivots;
                    EXPECT_EQ(ek_solveBandLUInPlace(B, bx.data(), pivots), EK_LINSOLVE_NOT_FINITE)
                        << "n " << s.n << " entry (" << i << ", " << j << ") = " << bad;
                }
            }
            for (int i = 0; i < s.n; ++i) {
                ekBandMatrix B = A;
                std::vector<double> bx(static_cast<size_t>(s.n), 0.0);
                bx[static_cast<size_t>(i)] = bad;
                std::vector<int> pivots;
                EXPECT_EQ(ek_solveBandLUInPlace(B, bx.data(), pivots), EK_LINSOLVE_NOT_FINITE)
                    << "n " << s.n << " right side " << i << " = " << bad;
            }
        }
    }
}

// The in-place solve leaves the factors of ek_bandFactor in the matrix and
// the solution of the copying solve in the vector, and keeps its pivots
// from one solve to the next.
TEST(BandLU, InPlaceSolveMatchesTheCopyingOne)
{
    const ekBandMatrix A = randomBand(40, 5, 5, 5u);
    std::vector<double> b(40);
    for (int i = 0; i < 40; ++i) {
        b[i] = std::cos(0.3 * i);
    }
    std::vector<double> x(40, 0.0);
    ASSERT_EQ(ek_solveBandLU(A, b.data(), x.data()), EK_LINSOLVE_OK);

    std::vector<double> factors(A.data(), A.data() + A.ldab() * A.size());
    std::vector<int> expectedPivots(40);
    ASSERT_EQ(ek_bandFactor(40, 5, 5, factors.data(), A.ldab(), expectedPivots.data()), 0);

    std::vector<int> pivots;
    const int* kept = nullptr;
    for (int round = 0; round < 2; ++round) {
        ekBandMatrix B = A;
        std::vector<double> bx = b;
        ASSERT_EQ(ek_solveBandLUInPlace(B, bx.data(), pivots), EK_LINSOLVE_OK);
        EXPECT_EQ(bx, x);
        EXPECT_EQ(pivots, expectedPivots);
        EXPECT_TRUE(std::equal(factors.begin(), factors.end(), B.data()));
        if (round == 1) {
            EXPECT_EQ(pivots.data(), kept);  // no new pivot array for a solve of the same size
        }
        kept = pivots.data();
    }
}

}  // namespace
