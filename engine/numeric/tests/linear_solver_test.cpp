#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "bandSystems.h"
#include "ekLinearSolver.h"

using namespace bandtest;

namespace {

// One option text per solver name the engine can write, plus the Krylov
// names with each preconditioner.
const char* const ALL_SOLVERS[] = {
    "-maxiter 1000 -tol 1e-13 -i none",
    "-maxiter 1000 -tol 1e-13 -i bicgstab -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i bicgstab -p jacobi",
    "-maxiter 1000 -tol 1e-13 -i bicgstab -p none",
    "-maxiter 1000 -tol 1e-13 -i bicgstabl -ell 2 -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i bicgsafe -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i gmres -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i gmres -p ssor -ssor_w 1.0",
    "-maxiter 1000 -tol 1e-13 -i gmres -p none",
    "-maxiter 1000 -tol 1e-13 -i fgmres -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i minres -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i tfqmr -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i bicrstab -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i idrs -p ilu -ilu_fill 0",
    "-maxiter 1000 -tol 1e-13 -i idrs -p jacobi",
};

ekSolverOptions parsed(const char* text)
{
    ekSolverOptions options;
    EXPECT_TRUE(ek_parseSolverOptions(text, &options, nullptr)) << text;
    return options;
}

}  // namespace

TEST(LinearSolver, RandomDominantBandsMatchDenseLU)
{
    struct Shape {
        int n, kl, ku;
    };
    for (const Shape shape :
         {Shape{300, 5, 5}, Shape{61, 1, 1}, Shape{40, 3, 0}, Shape{40, 0, 2}}) {
        const ekBandMatrix A = randomDominantBand(shape.n, shape.kl, shape.ku, 17u + shape.n);
        const std::vector<double> b = randomVector(shape.n, 5u);
        const std::vector<double> reference = denseSolve(A, b);
        for (const char* text : ALL_SOLVERS) {
            std::vector<double> x(shape.n, 0.0);
            ekLinearSolveInfo info;
            ASSERT_EQ(ek_solveBand(A, b.data(), x.data(), parsed(text), &info), EK_LINSOLVE_OK)
                << text;
            EXPECT_LT(relativeDifference(x, reference), 1e-10) << text << " n=" << shape.n;
            EXPECT_LE(info.residual, 1e-12) << text;
        }
    }
}

TEST(LinearSolver, KrylovNamesRunTheirSolverOnWellConditionedBands)
{
    const ekBandMatrix A = randomDominantBand(600, 5, 5, 3u);
    const std::vector<double> b = randomVector(600, 4u);
    const struct {
        const char* text;
        ekLinearMethod method;
    } cases[] = {
        {"-maxiter 200 -tol 1e-12 -i bicgstab -p ilu -ilu_fill 0", ekLinearMethod::BiCGSTAB},
        {"-maxiter 200 -tol 1e-12 -i gmres -p ilu -ilu_fill 0", ekLinearMethod::GMRES},
        {"-maxiter 200 -tol 1e-12 -i idrs -p ilu -ilu_fill 0", ekLinearMethod::IDRS},
    };
    for (const auto& c : cases) {
        std::vector<double> x(600, 0.0);
        ekLinearSolveInfo info;
        ASSERT_EQ(ek_solveBand(A, b.data(), x.data(), parsed(c.text), &info), EK_LINSOLVE_OK);
        EXPECT_EQ(info.method, c.method) << c.text;
        EXPECT_TRUE(info.iterativeConverged) << c.text;
        EXPECT_FALSE(info.fellBack) << c.text;
        EXPECT_GE(info.iterations, 1) << c.text;
        EXPECT_LE(info.residual, 1e-12) << c.text;
    }
}

TEST(LinearSolver, DriftDiffusionJacobianMatchesDenseLUForEverySolver)
{
    for (bool neumannAnode : {false, true}) {
        const ekBandMatrix J = driftDiffusionJacobian(120, neumannAnode);
        const std::vector<double> b = randomVector(J.size(), 11u);
        const std::vector<double> reference = denseSolve(J, b);
        for (const char* text : ALL_SOLVERS) {
            std::vector<double> x(J.size(), 0.0);
            ASSERT_EQ(ek_solveBand(J, b.data(), x.data(), parsed(text)), EK_LINSOLVE_OK) << text;
            EXPECT_LT(relativeDifference(x, reference), 1e-10)
                << text << " neumann=" << neumannAnode;
        }
    }
}

TEST(LinearSolver, ContactRowCouplingIsKept)
{
    // Neumann anode: V_0 - V_1 = 0 must hold in the solution, which a solver
    // that keeps only the diagonal of contact rows would break.
    const ekBandMatrix J = driftDiffusionJacobian(30, true);
    std::vector<double> b = randomVector(J.size(), 2u);
    b[0] = 0.0;
    std::vector<double> x(J.size(), 0.0);
    ASSERT_EQ(ek_solveBandLU(J, b.data(), x.data()), EK_LINSOLVE_OK);
    EXPECT_NEAR(x[0], x[3], 1e-12 * (1.0 + std::fabs(x[3])));
    EXPECT_NE(x[3], 0.0);
}

TEST(LinearSolver, UnconvergedKrylovFallsBackToBandLU)
{
    const ekBandMatrix J = driftDiffusionJacobian(200, false);
    const std::vector<double> b = randomVector(J.size(), 9u);
    const std::vector<double> reference = denseSolve(J, b);
    for (const char* text :
         {"-maxiter 1 -tol 1e-14 -i gmres -p none", "-maxiter 1 -tol 1e-14 -i bicgstab -p jacobi",
          "-maxiter 1 -tol 1e-14 -i idrs -p none"}) {
        std::vector<double> x(J.size(), 0.0);
        ekLinearSolveInfo info;
        ASSERT_EQ(ek_solveBand(J, b.data(), x.data(), parsed(text), &info), EK_LINSOLVE_OK) << text;
        EXPECT_FALSE(info.iterativeConverged) << text;
        EXPECT_TRUE(info.fellBack) << text;
        EXPECT_EQ(info.method, ekLinearMethod::BandLU) << text;
        EXPECT_LT(relativeDifference(x, reference), 1e-10) << text;
    }
}

TEST(LinearSolver, NonFiniteInputIsRefusedAndLeavesXUntouched)
{
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    for (const char* text : {"-i none", "-i bicgstab -p ilu", "-i gmres -p none"}) {
        for (int which = 0; which < 3; ++which) {
            ekBandMatrix A = randomDominantBand(30, 2, 2, 1u);
            std::vector<double> b = randomVector(30, 2u);
            if (which == 0) {
                A.at(10, 11) = nan;
            } else if (which == 1) {
                b[29] = inf;
            } else {
                A.at(0, 0) = -inf;
            }
            std::vector<double> x(30, 7.0);
            ekLinearSolveInfo info;
            EXPECT_EQ(ek_solveBand(A, b.data(), x.data(), parsed(text), &info),
                      EK_LINSOLVE_NOT_FINITE)
                << text;
            EXPECT_EQ(info.status, EK_LINSOLVE_NOT_FINITE);
            for (double v : x) {
                ASSERT_EQ(v, 7.0) << text << " case " << which;
            }
        }
    }
}

TEST(LinearSolver, SingularAndDamagedMatricesAreReported)
{
    for (const char* text : {"-i none", "-i bicgstab -p ilu", "-i idrs -p jacobi"}) {
        ekBandMatrix A = randomDominantBand(20, 2, 2, 8u);
        for (int j = 0; j < 20; ++j) {
            if (A.inBand(6, j)) {
                A.at(6, j) = 0.0;  // a zero row
            }
        }
        const std::vector<double> b = randomVector(20, 3u);
        std::vector<double> x(20, 7.0);
        EXPECT_EQ(ek_solveBand(A, b.data(), x.data(), parsed(text)), EK_LINSOLVE_SINGULAR) << text;
        EXPECT_EQ(x[0], 7.0);

        ekBandMatrix B = randomDominantBand(20, 2, 2, 8u);
        B.at(0, 10) = 1.0;  // outside the band
        EXPECT_EQ(ek_solveBand(B, b.data(), x.data(), parsed(text)), EK_LINSOLVE_BAD_MATRIX)
            << text;
        EXPECT_EQ(x[0], 7.0);
    }
    ekBandMatrix empty;
    double b = 1.0, x = 0.0;
    EXPECT_EQ(ek_solveBandLU(empty, &b, &x), EK_LINSOLVE_BAD_ARGUMENT);
    EXPECT_STRNE(ek_linearStatusText(EK_LINSOLVE_SINGULAR), ek_linearStatusText(EK_LINSOLVE_OK));
}

TEST(LinearSolver, ZeroRightSideGivesZeroSolution)
{
    const ekBandMatrix A = randomDominantBand(50, 5, 5, 6u);
    const std::vector<double> b(50, 0.0);
    for (const char* text : {"-i none", "-i bicgstab -p ilu", "-i gmres -p jacobi"}) {
        std::vector<double> x = randomVector(50, 1u);  // a non-zero starting guess
        ASSERT_EQ(ek_solveBand(A, b.data(), x.data(), parsed(text)), EK_LINSOLVE_OK) << text;
        for (double v : x) {
            EXPECT_NEAR(v, 0.0, 1e-12) << text;
        }
    }
}
