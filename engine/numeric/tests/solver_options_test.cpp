#include <gtest/gtest.h>

#include <utility>

#include <cmath>

#include "ekSolverOptions.h"

namespace {

struct ValidCase {
    const char* text;
    int maxIter;
    double tol;
    ekLinearMethod method;
    ekPreconditioner preconditioner;
};

// Texts as the option builder writes them, one per solver of its table.
const ValidCase VALID[] = {
    {"-maxiter 100 -tol 1e-06 -i none", 100, 1e-6, ekLinearMethod::BandLU, ekPreconditioner::None},
    {"-maxiter 100 -tol 1e-06 -i bicgstab -p ilu -ilu_fill 0", 100, 1e-6, ekLinearMethod::BiCGSTAB,
     ekPreconditioner::IncompleteLU},
    {"-maxiter 20 -tol 0.001 -i bicgstabl -ell 2 -p jacobi", 20, 1e-3, ekLinearMethod::BandLU,
     ekPreconditioner::Jacobi},
    {"-maxiter 1 -tol 1 -i bicgsafe -p none", 1, 1.0, ekLinearMethod::BandLU,
     ekPreconditioner::None},
    {"-maxiter 500 -tol 1e-12 -i gmres -p ssor -ssor_w 1.0", 500, 1e-12, ekLinearMethod::GMRES,
     ekPreconditioner::IncompleteLU},
    {"-maxiter 500 -tol 1e-12 -i fgmres -p ilu -ilu_fill 0", 500, 1e-12, ekLinearMethod::BandLU,
     ekPreconditioner::IncompleteLU},
    {"-maxiter 7 -tol 2.5e-8 -i minres -p none", 7, 2.5e-8, ekLinearMethod::BandLU,
     ekPreconditioner::None},
    {"-maxiter 7 -tol 2.5e-8 -i tfqmr -p ilu -ilu_fill 0", 7, 2.5e-8, ekLinearMethod::BandLU,
     ekPreconditioner::IncompleteLU},
    {"-maxiter 7 -tol 2.5e-8 -i bicrstab -p jacobi", 7, 2.5e-8, ekLinearMethod::BandLU,
     ekPreconditioner::Jacobi},
    {"-maxiter 9 -tol 1e-9 -i idrs -p ilu", 9, 1e-9, ekLinearMethod::IDRS,
     ekPreconditioner::IncompleteLU},
    {"  -MAXITER 3   -tol 1E-4 -I BiCGSTAB -P ILU ", 3, 1e-4, ekLinearMethod::BiCGSTAB,
     ekPreconditioner::IncompleteLU},
};

}  // namespace

TEST(SolverOptions, ReadsEveryTextOfTheOptionTable)
{
    for (const ValidCase& c : VALID) {
        ekSolverOptions options;
        std::string error = "untouched";
        ASSERT_TRUE(ek_parseSolverOptions(c.text, &options, &error)) << c.text << ": " << error;
        EXPECT_TRUE(error.empty()) << c.text;
        EXPECT_EQ(options.maxIter, c.maxIter) << c.text;
        EXPECT_DOUBLE_EQ(options.tol, c.tol) << c.text;
        EXPECT_EQ(options.method, c.method) << c.text;
        EXPECT_EQ(options.preconditioner, c.preconditioner) << c.text;
    }
}

TEST(SolverOptions, KeepsTheSecondaryValues)
{
    ekSolverOptions options;
    ASSERT_TRUE(ek_parseSolverOptions("-i bicgstabl -ell 4 -p ssor -ssor_w 1.25 -ilu_fill 2",
                                      &options, nullptr));
    EXPECT_EQ(options.solverName, "bicgstabl");
    EXPECT_EQ(options.preconditionerName, "ssor");
    EXPECT_EQ(options.ell, 4);
    EXPECT_DOUBLE_EQ(options.ssorOmega, 1.25);
    EXPECT_EQ(options.iluFill, 2);
}

TEST(SolverOptions, NullOrEmptyTextGivesTheDirectSolver)
{
    for (const char* text : {static_cast<const char*>(nullptr), "", "   "}) {
        ekSolverOptions options;
        options.maxIter = 3;
        ASSERT_TRUE(ek_parseSolverOptions(text, &options, nullptr));
        EXPECT_EQ(options.method, ekLinearMethod::BandLU);
        EXPECT_EQ(options.maxIter, ekSolverOptions().maxIter);
    }
}

TEST(SolverOptions, RefusesMalformedTextWithAMessage)
{
    const char* bad[] = {
        "-maxiter abc", "-maxiter 0",       "-maxiter 12x", "-maxiter 99999999999",
        "-tol 0",       "-tol -1e-6",       "-tol 2",       "-tol nan",
        "-tol inf",     "-tol 1e-6x",       "-i cg2",       "-p amg",
        "-i",           "-maxiter 10 -tol", "bicgstab",     "-unknown 1",
        "-ilu_fill -1", "-ssor_w 2.5",      "-ell 0",       "- 1",
    };
    for (const char* text : bad) {
        ekSolverOptions options;
        std::string error;
        EXPECT_FALSE(ek_parseSolverOptions(text, &options, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(options.method, ekLinearMethod::BandLU) << text;  // back to the defaults
        EXPECT_EQ(options.maxIter, ekSolverOptions().maxIter) << text;
    }
}

// The log names the solver that runs: every name without an Eigen
// counterpart (the default tfqmr too) is served by the banded LU.
TEST(SolverOptions, EachNameIsServedByTheMethodThatRunsIt)
{
    const std::pair<const char*, ekLinearMethod> cases[] = {
        {"tfqmr", ekLinearMethod::BandLU},   {"none", ekLinearMethod::BandLU},
        {"minres", ekLinearMethod::BandLU},  {"bicgstab", ekLinearMethod::BiCGSTAB},
        {"GMRES", ekLinearMethod::GMRES},    {"idrs", ekLinearMethod::IDRS},
        {"tridiag", ekLinearMethod::BandLU}, {"", ekLinearMethod::BandLU},
    };
    for (const auto& [name, method] : cases) {
        EXPECT_EQ(ek_linearMethodOf(name), method) << name;
    }
    EXPECT_EQ(ek_linearMethodOf(nullptr), ekLinearMethod::BandLU);
}
