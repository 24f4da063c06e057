#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bandSystems.h"
#include "ekLinearDrivers.h"
#include "ekLinearSolver.h"

using bandtest::bernoulli;

namespace {

const char* const TRIDIAG_SOLVERS[] = {
    "-maxiter 1000 -tol 1e-13 -i none",
    "-maxiter 1000 -tol 1e-13 -i bicgstab -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i gmres -p jacobi",
    "-maxiter 1000 -tol 1e-13 -i tfqmr -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i idrs -p none",
};

// A Newton system whose Jacobian is the identity: the raw update is the
// right side, so the damped update can be checked against hand values.
struct IdentityNewton {
    explicit IdentityNewton(std::vector<double> raw)
        : rhs(std::move(raw)), J(static_cast<int>(rhs.size()), 5, 5)
    {
        const int n = J.size();
        for (int i = 0; i < n; ++i) {
            J.at(i, i) = 1.0;
        }
        update.assign(n, 0.0);
        for (int i = 0; i < n; ++i) {
            x.push_back(10.0 * i);
        }
        previous = x;
    }
    int solve(double damp, int mode, const char* options = "-i none")
    {
        return ek_solveNewtonLis(&J, rhs.data(), update.data(), previous.data(), x.data(), J.size(),
                                 &iterations, &error, 0, 0.0, options, damp, mode);
    }
    std::vector<double> rhs;
    ekBandMatrix J;
    std::vector<double> update, previous, x;
    int iterations = -1;
    double error = -1.0;
};

}  // namespace

TEST(NewtonDriver, DampingModesShortenTheUpdatePerNode)
{
    // Raw node update dV = 4, dFn = -2, dFp = 4 with damping factor 0.5.
    struct Case {
        int mode;
        double dV, dFn, dFp;
    };
    const Case cases[] = {
        {0x10, 4.0 / 3.0, 1.0 / 12.0, 52.0 / 21.0},  // V damped, F around the damped V
        {0x50, 4.0 / 3.0, 1.0 / 12.0, 52.0 / 21.0},  // 0x10 wins over 0x40
        {0x30, 4.0 / 3.0, 1.0 / 12.0, 52.0 / 21.0},  // and over 0x20
        {0x40, 4.0, 2.5, 4.0},                       // F around the raw V
        {0x60, 4.0, 2.5, 4.0},                       // 0x40 wins over 0x20
        {0x20, 4.0, -1.0, 4.0 / 3.0},                // F alone
        {0x00, 4.0, -2.0, 4.0},                      // no mode: no damping
        {0x80, 4.0, -2.0, 4.0},
    };
    for (const Case& c : cases) {
        IdentityNewton system({4.0, -2.0, 4.0, 4.0, -2.0, 4.0});
        ASSERT_EQ(system.solve(0.5, c.mode), EK_LINSOLVE_OK) << c.mode;
        for (int node = 0; node < 2; ++node) {
            EXPECT_NEAR(system.update[3 * node], c.dV, 1e-14) << c.mode;
            EXPECT_NEAR(system.update[3 * node + 1], c.dFn, 1e-14) << c.mode;
            EXPECT_NEAR(system.update[3 * node + 2], c.dFp, 1e-14) << c.mode;
        }
        EXPECT_NEAR(system.error, std::max({std::fabs(c.dV), std::fabs(c.dFn), std::fabs(c.dFp)}),
                    1e-14)
            << c.mode;
    }
}

TEST(NewtonDriver, TinyDampingFactorSwitchesDampingOff)
{
    for (double damp : {5e-7, 0.0, -1.0, std::nan("")}) {
        IdentityNewton system({4.0, -2.0, 4.0});
        ASSERT_EQ(system.solve(damp, 0x50), EK_LINSOLVE_OK) << damp;
        EXPECT_EQ(system.update, system.rhs) << damp;
        EXPECT_DOUBLE_EQ(system.error, 4.0);
    }
}

TEST(NewtonDriver, AppliesTheUpdateToPreviousAndKeepsBothEqual)
{
    IdentityNewton system({1.0, -2.0, 0.5, 0.25, 3.0, -1.0});
    ASSERT_EQ(system.solve(0.0, 0), EK_LINSOLVE_OK);
    for (int i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(system.x[i], 10.0 * i + system.rhs[i]);
        EXPECT_EQ(system.previous[i], system.x[i]);
    }
    EXPECT_EQ(system.iterations, 1);
    EXPECT_DOUBLE_EQ(system.error, 3.0);
}

TEST(NewtonDriver, SolvesADriftDiffusionJacobianForEverySolverName)
{
    const ekBandMatrix J = bandtest::driftDiffusionJacobian(80, true);
    const int n = J.size();
    const std::vector<double> b = bandtest::randomVector(n, 12u);
    const std::vector<double> reference = bandtest::denseSolve(J, b);
    for (const char* text : TRIDIAG_SOLVERS) {
        std::vector<double> update(n, 0.0), previous(n, 1.0), x(n, 1.0);
        int iterations = 0;
        double error = 0.0;
        ekBandMatrix A = J;  // the banded LU leaves its factors in the matrix
        ASSERT_EQ(ek_solveNewtonLis(&A, b.data(), update.data(), previous.data(), x.data(), n,
                                    &iterations, &error, 100, 1e-6, text, 0.0, 0x50),
                  EK_LINSOLVE_OK)
            << text;
        EXPECT_LT(bandtest::relativeDifference(update, reference), 1e-10) << text;
        EXPECT_DOUBLE_EQ(x[7], 1.0 + update[7]);
    }
}

TEST(NewtonDriver, FailureLeavesTheIterateUntouched)
{
    // A NaN in the Jacobian, an infinite right side, a solution that
    // overflows once damping is off, and an option text that cannot be read.
    struct Case {
        double jacobianEntry;
        double rhsEntry;
        const char* options;
        int status;
    };
    const Case cases[] = {
        {std::nan(""), 1.0, "-i none", EK_LINSOLVE_NOT_FINITE},
        {2.0, INFINITY, "-i bicgstab -p ilu", EK_LINSOLVE_NOT_FINITE},
        {1e-320, 1e10, "-i none", EK_LINSOLVE_NOT_FINITE},
        {2.0, 1.0, "-i nosuchsolver", EK_LINSOLVE_BAD_OPTION},
    };
    for (const Case& c : cases) {
        IdentityNewton system({1.0, 2.0, 3.0, 4.0, 5.0, 6.0});
        system.J.at(4, 4) = c.jacobianEntry;
        system.rhs[4] = c.rhsEntry;
        system.update.assign(6, -3.0);
        const std::vector<double> x0 = system.x, previous0 = system.previous,
                                  update0 = system.update;
        EXPECT_EQ(system.solve(0.0, 0x50, c.options), c.status) << c.options;
        EXPECT_EQ(system.x, x0) << c.options;
        EXPECT_EQ(system.previous, previous0) << c.options;
        EXPECT_EQ(system.update, update0) << c.options;
        EXPECT_EQ(system.error, 1.0) << c.options;
    }
}

TEST(NewtonDriver, RefusesInconsistentArguments)
{
    ekBandMatrix J(6, 5, 5);
    std::vector<double> v(6, 0.0), u(6, 0.0), p(6, 0.0), x(6, 0.0);
    int iterations = 0;
    double error = 0.0;
    EXPECT_EQ(ek_solveNewtonLis(nullptr, v.data(), u.data(), p.data(), x.data(), 6, &iterations,
                                &error, 1, 1e-6, "-i none", 0.0, 0),
              EK_LINSOLVE_BAD_ARGUMENT);
    EXPECT_EQ(ek_solveNewtonLis(&J, v.data(), u.data(), p.data(), x.data(), 5, &iterations, &error,
                                1, 1e-6, "-i none", 0.0, 0),
              EK_LINSOLVE_BAD_ARGUMENT);  // not 3 unknowns per node
    ekBandMatrix wrongSize(9, 5, 5);
    EXPECT_EQ(ek_solveNewtonLis(&wrongSize, v.data(), u.data(), p.data(), x.data(), 6, &iterations,
                                &error, 1, 1e-6, "-i none", 0.0, 0),
              EK_LINSOLVE_BAD_ARGUMENT);
    EXPECT_EQ(ek_solveNewtonLis(&J, v.data(), nullptr, p.data(), x.data(), 6, &iterations, &error,
                                1, 1e-6, "-i none", 0.0, 0),
              EK_LINSOLVE_BAD_ARGUMENT);
}

TEST(TriDiagDriver, PoissonWithUniformChargeGivesTheParabola)
{
    // -u'' = 1 on (0, 1), u(0) = u(1) = 0: the three-point scheme is exact
    // for the parabola u = z (1 - z) / 2.
    const int n = 199;
    const double h = 1.0 / (n + 1);
    for (const char* text : TRIDIAG_SOLVERS) {
        std::vector<double> lower(n, -1.0), diag(n, 2.0), upper(n, -1.0), rhs(n, h * h);
        std::vector<double> update(n, 0.0), previous(n, 0.0), x(n, 0.0);
        int iterations = 0;
        double error = 0.0;
        ASSERT_EQ(
            ek_solveTriDiagLis(lower.data(), diag.data(), upper.data(), rhs.data(), update.data(),
                               previous.data(), x.data(), n, &iterations, &error, text, 0.0, 0x10),
            EK_LINSOLVE_OK)
            << text;
        for (int i = 0; i < n; ++i) {
            const double z = (i + 1) * h;
            ASSERT_NEAR(x[i], z * (1.0 - z) / 2.0, 1e-10 * 0.125) << text << " i=" << i;
        }
        EXPECT_NEAR(error, 0.125, 1e-4);  // the largest update is the peak
        EXPECT_EQ(previous, x);
    }
}

TEST(TriDiagDriver, ScharfetterGummelInAConstantFieldIsExact)
{
    // Zero divergence of the electron flux in a constant field a: the
    // Scharfetter-Gummel scheme reproduces n = C exp(a z) + D at the nodes.
    const int n = 101;
    const double a = 25.0, h = 1.0 / (n - 1), step = a * h;
    const double n0 = 1.0, n1 = 3.0;
    const double C = (n1 - n0) / std::expm1(a), D = n0 - C;
    for (const char* text : TRIDIAG_SOLVERS) {
        std::vector<double> lower(n, 0.0), diag(n, 1.0), upper(n, 0.0), rhs(n, 0.0);
        rhs[0] = n0;
        rhs[n - 1] = n1;
        for (int i = 1; i < n - 1; ++i) {
            lower[i] = bernoulli(-step);
            diag[i] = -(bernoulli(step) + bernoulli(-step));
            upper[i] = bernoulli(step);
        }
        std::vector<double> update(n, 0.0), previous(n, 0.0), x(n, 0.0);
        int iterations = 0;
        double error = 0.0;
        ASSERT_EQ(
            ek_solveTriDiagLis(lower.data(), diag.data(), upper.data(), rhs.data(), update.data(),
                               previous.data(), x.data(), n, &iterations, &error, text, 0.0, 0),
            EK_LINSOLVE_OK)
            << text;
        for (int i = 0; i < n; ++i) {
            ASSERT_NEAR(x[i], C * std::exp(a * i * h) + D, 1e-10 * n1) << text << " i=" << i;
        }
    }
}

TEST(TriDiagDriver, DampsEveryComponentOnlyWithBit0x10)
{
    // Diagonal system: the raw update is rhs / diag = {3, -1, 0.5}.
    const std::vector<double> lower(3, 0.0), diag(3, 2.0), upper(3, 0.0), rhs = {6.0, -2.0, 1.0};
    struct Case {
        int mode;
        double damp;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {0x10, 1.0, {3.0 / 4.0, -0.5, 1.0 / 3.0}},
        {0x50, 0.5, {1.2, -2.0 / 3.0, 0.4}},
        {0x20, 1.0, {3.0, -1.0, 0.5}},
        {0x40, 1.0, {3.0, -1.0, 0.5}},
        {0x10, 5e-7, {3.0, -1.0, 0.5}},
    };
    for (const Case& c : cases) {
        std::vector<double> update(3, 0.0), previous = {1.0, 1.0, 1.0}, x = previous;
        int iterations = 0;
        double error = 0.0;
        ASSERT_EQ(ek_solveTriDiagLis(lower.data(), diag.data(), upper.data(), rhs.data(),
                                     update.data(), previous.data(), x.data(), 3, &iterations,
                                     &error, "-i none", c.damp, c.mode),
                  EK_LINSOLVE_OK);
        for (int i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(update[i], c.expected[i]) << c.mode << " " << c.damp;
            EXPECT_DOUBLE_EQ(x[i], 1.0 + c.expected[i]);
        }
        EXPECT_DOUBLE_EQ(error, std::fabs(c.expected[0]));
    }
}

TEST(TriDiagDriver, SingularOrNonFiniteSystemLeavesTheIterateUntouched)
{
    std::vector<double> lower = {0.0, 1.0, 1.0}, diag = {1.0, 0.0, 1.0}, upper = {1.0, 0.0, 0.0};
    std::vector<double> rhs = {1.0, 2.0, 3.0};
    std::vector<double> update(3, 5.0), previous(3, 6.0), x(3, 6.0);
    int iterations = 0;
    double error = 0.0;
    // Row 1 reads x0 = 2 and row 0 x0 + x1 = 1: solvable. Make row 1 zero.
    lower[1] = 0.0;
    for (const char* text : {"-i none", "-i bicgstab -p ilu"}) {
        EXPECT_EQ(
            ek_solveTriDiagLis(lower.data(), diag.data(), upper.data(), rhs.data(), update.data(),
                               previous.data(), x.data(), 3, &iterations, &error, text, 0.0, 0),
            EK_LINSOLVE_SINGULAR)
            << text;
        EXPECT_EQ(x, std::vector<double>(3, 6.0));
        EXPECT_EQ(previous, std::vector<double>(3, 6.0));
        EXPECT_EQ(update, std::vector<double>(3, 5.0));
        EXPECT_EQ(error, 1.0);
    }
    diag[1] = 1.0;
    rhs[2] = std::nan("");
    EXPECT_EQ(
        ek_solveTriDiagLis(lower.data(), diag.data(), upper.data(), rhs.data(), update.data(),
                           previous.data(), x.data(), 3, &iterations, &error, "-i none", 0.0, 0),
        EK_LINSOLVE_NOT_FINITE);
    EXPECT_EQ(x, std::vector<double>(3, 6.0));
}

TEST(TriDiagDriver, OnePointSystem)
{
    const double lower = 0.0, diag = 4.0, upper = 0.0, rhs = 2.0;
    double update = 0.0, previous = 1.0, x = 1.0, error = 0.0;
    int iterations = 0;
    ASSERT_EQ(ek_solveTriDiagLis(&lower, &diag, &upper, &rhs, &update, &previous, &x, 1,
                                 &iterations, &error, "-i gmres -p ilu", 0.0, 0),
              EK_LINSOLVE_OK);
    EXPECT_DOUBLE_EQ(x, 1.5);
    EXPECT_EQ(ek_solveTriDiagLis(&lower, &diag, &upper, &rhs, &update, &previous, &x, 0,
                                 &iterations, &error, "-i none", 0.0, 0),
              EK_LINSOLVE_BAD_ARGUMENT);
}

TEST(TriDiagDriver, SizesAndOptionTextsMayChangeFromCallToCall)
{
    // The driver keeps its band and its reading of the option text between
    // calls: each call must still solve its own system with its own text.
    struct Call {
        int n;
        const char* options;
        int status;
    };
    const Call calls[] = {
        {5, "-i none", EK_LINSOLVE_OK},
        {3, "-i none", EK_LINSOLVE_OK},
        {3, "-i nosuchsolver", EK_LINSOLVE_BAD_OPTION},
        {7, "-i none", EK_LINSOLVE_OK},
        {7, "-i gmres -p ilu", EK_LINSOLVE_OK},
        {1, "-i none", EK_LINSOLVE_OK},
        {6, nullptr, EK_LINSOLVE_OK},
    };
    for (const Call& c : calls) {
        // -u'' = 2 with u = 0 beyond both ends: u_i = (i + 1) (n - i), h = 1.
        const int n = c.n;
        std::vector<double> lower(n, -1.0), diag(n, 2.0), upper(n, -1.0), rhs(n, 2.0);
        std::vector<double> update(n, 0.0), previous(n, 0.0), x(n, 0.0);
        int iterations = 0;
        double error = 0.0;
        ASSERT_EQ(ek_solveTriDiagLis(lower.data(), diag.data(), upper.data(), rhs.data(),
                                     update.data(), previous.data(), x.data(), n, &iterations,
                                     &error, c.options, 0.0, 0),
                  c.status)
            << n << " " << (c.options ? c.options : "(null)");
        if (c.status != EK_LINSOLVE_OK) {
            EXPECT_EQ(x, std::vector<double>(n, 0.0));
            continue;
        }
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(x[i], (i + 1.0) * (n - i), 1e-9 * n * n) << n << " i=" << i;
        }
    }
}
