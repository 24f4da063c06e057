#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ekBandMatrix.h"

TEST(BandMatrix, StoresEntriesInLapackBandLayout)
{
    ekBandMatrix A(6, 2, 1);
    ASSERT_EQ(A.size(), 6);
    EXPECT_EQ(A.ldab(), 2 * 2 + 1 + 1);
    A.at(3, 4) = 7.0;  // super-diagonal
    A.at(3, 3) = 5.0;
    A.at(3, 1) = -2.0;  // second sub-diagonal
    const double* ab = A.data();
    // LAPACK: A(i,j) at AB(kl+ku+i-j, j), column-major with ldab rows.
    EXPECT_EQ(ab[2 + 1 + 3 - 4 + 4 * A.ldab()], 7.0);
    EXPECT_EQ(ab[2 + 1 + 0 + 3 * A.ldab()], 5.0);
    EXPECT_EQ(ab[2 + 1 + 3 - 1 + 1 * A.ldab()], -2.0);
    EXPECT_EQ(A.get(3, 4), 7.0);
    EXPECT_EQ(A.get(0, 5), 0.0);  // outside the band reads as zero
    EXPECT_FALSE(A.hadOutOfBandWrite());
}

TEST(BandMatrix, WriteOutsideTheBandIsFlaggedAndDoesNotTouchTheBand)
{
    ekBandMatrix A(5, 1, 1);
    A.at(2, 2) = 1.0;
    A.at(0, 3) = 99.0;  // beyond ku
    A.at(7, 7) = 99.0;  // beyond the matrix
    A.at(-1, 0) = 99.0;
    EXPECT_TRUE(A.hadOutOfBandWrite());
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            EXPECT_EQ(A.get(i, j), i == 2 && j == 2 ? 1.0 : 0.0) << i << "," << j;
        }
    }
    A.clear();
    EXPECT_FALSE(A.hadOutOfBandWrite());
    EXPECT_EQ(A.get(2, 2), 0.0);
}

TEST(BandMatrix, MultiplyMatchesRowSums)
{
    ekBandMatrix A(4, 1, 2);
    for (int i = 0; i < 4; ++i) {
        for (int j = i - 1; j <= i + 2; ++j) {
            if (A.inBand(i, j)) {
                A.at(i, j) = 10.0 * i + j;
            }
        }
    }
    const double x[4] = {1.0, -1.0, 2.0, 0.5};
    double y[4];
    A.multiply(x, y);
    EXPECT_DOUBLE_EQ(y[0], 0.0 * 1 + 1.0 * -1 + 2.0 * 2);
    EXPECT_DOUBLE_EQ(y[1], 10.0 * 1 + 11.0 * -1 + 12.0 * 2 + 13.0 * 0.5);
    EXPECT_DOUBLE_EQ(y[3], 32.0 * 2 + 33.0 * 0.5);
}

TEST(BandMatrix, RefusesImpossibleShapesAndCutsWideBands)
{
    ekBandMatrix A;
    EXPECT_FALSE(A.resize(0, 0, 0));
    EXPECT_FALSE(A.resize(4, -1, 1));
    EXPECT_FALSE(A.resize(4, 1, -2));
    EXPECT_EQ(A.size(), 0);
    // A Newton system of one node is 3 x 3: the band of five is the full matrix.
    ASSERT_TRUE(A.resize(3, 5, 5));
    EXPECT_EQ(A.lower(), 2);
    EXPECT_EQ(A.upper(), 2);
    A.at(0, 2) = 1.0;
    A.at(2, 0) = 2.0;
    EXPECT_FALSE(A.hadOutOfBandWrite());
    EXPECT_EQ(A.get(2, 0), 2.0);
}

TEST(BandMatrix, FiniteCheckSeesNaNAndInfinity)
{
    ekBandMatrix A(3, 1, 1);
    EXPECT_TRUE(A.isFinite());
    A.at(1, 2) = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(A.isFinite());
    A.clear();
    A.at(0, 0) = std::nan("");
    EXPECT_FALSE(A.isFinite());
}
