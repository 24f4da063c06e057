// Tridiagonal solve against known solutions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "nucore.h"

namespace {

struct System {
    std::vector<double> lower, diag, upper, rhs, update, previous, x;
    explicit System(int n) : lower(n), diag(n), upper(n), rhs(n), update(n), previous(n), x(n) {}
    bool solve(int* iterations, double* error)
    {
        return nu_solveTriDiag(lower.data(), diag.data(), upper.data(), rhs.data(), update.data(),
                               previous.data(), x.data(), static_cast<int>(x.size()), iterations,
                               error);
    }
};

TEST(NuSolveTriDiag, DiscretePoissonProblemHasItsClosedForm)
{
    // -u'' = 1 on (0, 1), u(0) = u(1) = 0, central differences on n inner
    // points: the discrete solution is exactly u_i = z_i (1 - z_i) / 2.
    const int n = 199;
    const double h = 1.0 / (n + 1);
    System s(n);
    for (int i = 0; i < n; ++i) {
        s.lower[i] = -1.0;
        s.diag[i] = 2.0;
        s.upper[i] = -1.0;
        s.rhs[i] = h * h;
        s.x[i] = s.previous[i] = 10.0;  // the update adds to the current state
    }
    int iterations = 0;
    double error = 0.0;
    ASSERT_TRUE(s.solve(&iterations, &error));
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
        const double z = (i + 1) * h;
        const double u = z * (1.0 - z) / 2.0;
        EXPECT_NEAR(s.update[i], u, 1e-12);
        EXPECT_NEAR(s.x[i], 10.0 + u, 1e-12);
        EXPECT_EQ(s.previous[i], s.x[i]);
        largest = std::fmax(largest, u);
    }
    EXPECT_EQ(iterations, 1);
    EXPECT_NEAR(error, largest, 1e-12);
    EXPECT_NEAR(error, 0.125, 1e-4);
}

TEST(NuSolveTriDiag, NonSymmetricSystemWithKnownSolution)
{
    const int n = 6;
    System s(n);
    const double known[n] = {1.0, -2.0, 3.5, 0.0, -7.25, 4.0};
    for (int i = 0; i < n; ++i) {
        s.lower[i] = 0.5 + i;
        s.diag[i] = 10.0 - i;
        s.upper[i] = -1.0 - 0.25 * i;
    }
    for (int i = 0; i < n; ++i) {
        s.rhs[i] = s.diag[i] * known[i] + (i > 0 ? s.lower[i] * known[i - 1] : 0.0) +
                   (i + 1 < n ? s.upper[i] * known[i + 1] : 0.0);
    }
    double error = 0.0;
    ASSERT_TRUE(s.solve(nullptr, &error));
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(s.update[i], known[i], 1e-12);
        EXPECT_NEAR(s.x[i], known[i], 1e-12);
    }
    EXPECT_NEAR(error, 7.25, 1e-12);
}

TEST(NuSolveTriDiag, SinglePoint)
{
    System s(1);
    s.diag[0] = 4.0;
    s.rhs[0] = 2.0;
    s.x[0] = s.previous[0] = 1.0;
    ASSERT_TRUE(s.solve(nullptr, nullptr));
    EXPECT_EQ(s.x[0], 1.5);
}

TEST(NuSolveTriDiag, SingularOrNonFiniteSystemsLeaveTheStateAlone)
{
    const int n = 3;
    auto fresh = [] {
        System s(n);
        for (int i = 0; i < n; ++i) {
            s.lower[i] = 1.0;
            s.diag[i] = 1.0;
            s.upper[i] = 1.0;
            s.rhs[i] = 1.0;
            s.x[i] = s.previous[i] = 5.0;
        }
        return s;
    };
    System zeroFirst = fresh();
    zeroFirst.diag[0] = 0.0;
    System zeroLater = fresh();  // pivot 1 - 1*1 = 0 in row 1
    System infinite = fresh();
    infinite.rhs[2] = std::numeric_limits<double>::infinity();
    System notANumber = fresh();
    notANumber.lower[1] = std::numeric_limits<double>::quiet_NaN();
    for (System* s : {&zeroFirst, &zeroLater, &infinite, &notANumber}) {
        double error = -1.0;
        int iterations = -1;
        EXPECT_FALSE(s->solve(&iterations, &error));
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(s->x[i], 5.0);
            EXPECT_EQ(s->previous[i], 5.0);
        }
        EXPECT_EQ(error, -1.0);
        EXPECT_EQ(iterations, -1);
    }
}

TEST(NuSolveTriDiag, RefusesBadArguments)
{
    System s(2);
    s.diag[0] = s.diag[1] = 1.0;
    EXPECT_FALSE(nu_solveTriDiag(s.lower.data(), s.diag.data(), s.upper.data(), s.rhs.data(),
                                 s.update.data(), s.previous.data(), s.x.data(), 0, nullptr,
                                 nullptr));
    EXPECT_FALSE(nu_solveTriDiag(nullptr, s.diag.data(), s.upper.data(), s.rhs.data(),
                                 s.update.data(), s.previous.data(), s.x.data(), 2, nullptr,
                                 nullptr));
    EXPECT_FALSE(nu_solveTriDiag(s.lower.data(), s.diag.data(), s.upper.data(), s.rhs.data(),
                                 s.update.data(), s.previous.data(), nullptr, 2, nullptr, nullptr));
}

}  // namespace
