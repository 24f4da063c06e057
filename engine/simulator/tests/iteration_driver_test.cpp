// The iteration driver: the solver option text, the relaxation ladders, the
// work storage (band Jacobian, memory linear in N) and the iteration loop
// itself on small systems with known behaviour, driven through the coupled
// (Newton) kind with assemblers of the test's own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ekBandMatrix.h"
#include "ekSimulator.h"
#include "ekSolverOptions.h"
#include "nuParam.h"
#include "nuSigma.h"

namespace {

// A simulator whose coupled system is one of the test's.
class DriverSim : public ekSimulator {
public:
    using ekSimulator::ekSimulator;
    std::vector<double> target;  // roots of x^2 = target
    double step = 0.0;           // constant update of the stalling system
    void setPoints(int n) { Points = n; }
    ekIterationRecord& record() { return iteration; }

    // F_i = x_i^2 - t_i + 0.1 (x_{i+1} - x_{i-1}): a banded system whose
    // Newton iteration converges quadratically.
    void roots(double* x, double* F, double* rhs, double*, double*, double*, ekBandMatrix* J,
               double*, double*, int n, double* norm)
    {
        *norm = 0.0;
        for (int i = 0; i < n; ++i) {
            const double left = i > 0 ? x[i - 1] : 0.0;
            const double right = i + 1 < n ? x[i + 1] : 0.0;
            F[i] = x[i] * x[i] - target[i] + 0.1 * (right - left);
            rhs[i] = -F[i];
            J->at(i, i) = 2.0 * x[i];
            if (i > 0) {
                J->at(i, i - 1) = -0.1;
            }
            if (i + 1 < n) {
                J->at(i, i + 1) = 0.1;
            }
            *norm += F[i] * F[i];
        }
    }
    // Every iteration asks for the same update: it never converges below
    // |step|.
    void stalling(double* x, double* F, double* rhs, double*, double*, double*, ekBandMatrix* J,
                  double*, double*, int n, double* norm)
    {
        for (int i = 0; i < n; ++i) {
            F[i] = -step;
            rhs[i] = step;
            J->at(i, i) = 1.0;
        }
        *norm = 1.0;
    }
    // Each iteration asks for twice the update of the one before, from
    // `step` on: the iteration walks away from the root.
    int calls = 0;
    void diverging(double* x, double* F, double* rhs, double*, double*, double*, ekBandMatrix* J,
                   double*, double*, int n, double* norm)
    {
        const double update = step * std::ldexp(1.0, calls++);
        for (int i = 0; i < n; ++i) {
            F[i] = -update;
            rhs[i] = update;
            J->at(i, i) = 1.0;
        }
        *norm = 1.0;
    }
    // A right-hand side with a NaN half-way down.
    void poisoned(double* x, double* F, double* rhs, double*, double*, double*, ekBandMatrix* J,
                  double*, double*, int n, double* norm)
    {
        for (int i = 0; i < n; ++i) {
            F[i] = i == n / 2 ? std::numeric_limits<double>::quiet_NaN() : 1.0;
            rhs[i] = -F[i];
            J->at(i, i) = 1.0;
        }
        *norm = 1.0;
    }
};

ekSimulator::SystemAssembler as(void (DriverSim::*method)(double*, double*, double*, double*,
                                                          double*, double*, ekBandMatrix*, double*,
                                                          double*, int, double*))
{
    return static_cast<ekSimulator::SystemAssembler>(method);
}

// Caller-owned arrays of one coupled solve of n unknowns.
struct System {
    std::vector<double> x, residual, previous, start, update, rhs;
    ekBandMatrix band;
    double* p[4];
    ekBandMatrix* jacobian = &band;
    double* none = nullptr;
    explicit System(int n)
        : x(n, 1.0),
          residual(n),
          previous(n),
          start(n),
          update(n),
          rhs(n),
          band(n, 5, 5),
          p{previous.data(), start.data(), update.data(), rhs.data()}
    {
    }
    int solve(ekSimulator& sim, int kind, int maxIter)
    {
        return sim.solveSystem(kind, x.data(), residual.data(), nullptr, nullptr,
                               static_cast<int>(x.size()), maxIter, &p[0], &p[1], &p[2], &p[3],
                               &jacobian, &none, &none, &none);
    }
};

class IterationDriver : public ::testing::Test {
protected:
    nuSigma sigma;
    nuParam param;
    DriverSim sim{&sigma, &param};
    void SetUp() override
    {
        param.method = nuParam::METHOD_NEWTON;
        param.solver = 0x10;  // banded LU: exact, so the iteration counts are the method's
        param.damp = 0.0;
        param.reltol = 1e-6;
    }
};

TEST_F(IterationDriver, NewtonConvergesQuadraticallyOnABandedSystem)
{
    const int n = 30;
    for (int i = 0; i < n; ++i) {
        sim.target.push_back(4.0 + i);
    }
    sim.setNewtonAssembler(as(&DriverSim::roots));
    System s(n);
    s.x.assign(n, 3.0);
    s.solve(sim, ekSimulator::SYSTEM_NEWTON, param.maxiter);
    ASSERT_LT(param.lastError, param.reltol);
    EXPECT_EQ(param.reltol, 1e-6);  // no relaxation was needed
    for (int i = 0; i < n; ++i) {
        const double left = i > 0 ? s.x[i - 1] : 0.0;
        const double right = i + 1 < n ? s.x[i + 1] : 0.0;
        EXPECT_NEAR(s.x[i] * s.x[i] + 0.1 * (right - left), sim.target[i], 1e-9);
    }
    EXPECT_EQ(sim.getErrorHistory(), nullptr);  // no history without allocSystem
}

TEST_F(IterationDriver, ErrorHistoryShowsQuadraticConvergence)
{
    const int N = 10;
    sim.setPoints(N);
    sim.target.assign(3 * N, 9.0);
    sim.setNewtonAssembler(as(&DriverSim::roots));
    double *previous = nullptr, *start = nullptr, *update = nullptr, *rhs = nullptr;
    double *lower = nullptr, *diag = nullptr, *upper = nullptr;
    ekBandMatrix* jacobian = nullptr;
    ASSERT_TRUE(
        sim.allocSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper));
    std::vector<double> x(3 * N, 1.0), residual(3 * N);
    sim.solveSystem(ekSimulator::SYSTEM_NEWTON, x.data(), residual.data(), nullptr, nullptr, 3 * N,
                    param.maxiter, &previous, &start, &update, &rhs, &jacobian, &lower, &diag,
                    &upper);
    ASSERT_LT(param.lastError, param.reltol);
    const double* history = sim.getErrorHistory();
    ASSERT_NE(history, nullptr);
    int k = 1;
    while (history[k] >= param.reltol) {
        ++k;
    }
    ASSERT_GE(k, 3);
    // The last two steps: e_k about C e_{k-1}^2 with C of order one.
    EXPECT_LT(history[k], 10.0 * history[k - 1] * history[k - 1]);
    EXPECT_LT(history[k - 1], 10.0 * history[k - 2] * history[k - 2]);
    sim.freeSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
    EXPECT_EQ(jacobian, nullptr);
    EXPECT_EQ(sim.getErrorHistory(), nullptr);
}

TEST_F(IterationDriver, NotANumberLeavesTheIterateUntouched)
{
    sim.setNewtonAssembler(as(&DriverSim::poisoned));
    System s(12);
    const std::vector<double> before = s.x;
    EXPECT_EQ(s.solve(sim, ekSimulator::SYSTEM_NEWTON, 5), 0);
    EXPECT_EQ(s.x, before);
    EXPECT_EQ(param.lastError, 1.0);
    EXPECT_EQ(sigma.err, 0);  // reported only as a debug line
}

TEST_F(IterationDriver, ADebugLineNeverRaisesTheErrorFlag)
{
    // With the debug switch the failed linear solve is said, and that is
    // all: the flag that ends every operation stays clear, so a run gives
    // the same results with and without -debug.
    sigma.debug = true;
    sim.setNewtonAssembler(as(&DriverSim::poisoned));
    System s(12);
    ::testing::internal::CaptureStdout();
    s.solve(sim, ekSimulator::SYSTEM_NEWTON, 5);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("[DEBUG]   singular matrix found in the transport system"),
              std::string::npos)
        << out;
    EXPECT_EQ(sigma.err, 0);
    EXPECT_TRUE(sigma.isOK());
}

TEST_F(IterationDriver, KeepsTheSmallestErrorItReached)
{
    // Updates of 1e-3, 2e-3, 4e-3 ... : the solve fails through every
    // looser tolerance and ends far from where it came closest. The error
    // it reached is its best, 1e-3, not the last update; a new solve
    // starts that record afresh.
    sim.step = 1e-3;
    sim.setNewtonAssembler(as(&DriverSim::diverging));
    System s(6);
    sim.record().clearBestError();
    s.solve(sim, ekSimulator::SYSTEM_NEWTON, 4);
    EXPECT_GT(param.lastError, 1e-2);
    EXPECT_DOUBLE_EQ(sim.record().bestError, 1e-3);
    sim.record().clearBestError();
    EXPECT_FALSE(std::isfinite(sim.record().bestError));
}

TEST_F(IterationDriver, TheErrorReachedIsTheUndampedUpdate)
{
    // Every iteration asks for an update of 10 in V, Fn and Fp. Damped by
    // 1 around the potential, V moves 10/11 and Fn, Fp 10/11 + 100/111
    // (the convergence test's error); the error the iteration reached is
    // the update it asked for, 10, whatever the damping made of it.
    param.damp = 1.0;
    param.dampMode = 0x10;
    sim.step = 10.0;
    sim.setNewtonAssembler(as(&DriverSim::stalling));
    System s(6);
    sim.record().clearBestError();
    s.solve(sim, ekSimulator::SYSTEM_NEWTON, 3);
    EXPECT_NEAR(param.lastError, 10.0 / 11.0 + (10.0 - 10.0 / 11.0) / (1.0 + 10.0 - 10.0 / 11.0),
                1e-12);
    EXPECT_NEAR(sim.record().bestError, 10.0, 1e-9);
}

TEST_F(IterationDriver, LoosensTheToleranceUntilTheStallFits)
{
    // An update of 5e-4 per iteration passes only the tolerance 1e-3: the
    // passes at 1e-6, 1e-5 and 1e-4 fail and each restarts from the start.
    sim.step = 5e-4;
    sim.setNewtonAssembler(as(&DriverSim::stalling));
    System s(6);
    s.solve(sim, ekSimulator::SYSTEM_NEWTON, 3);
    EXPECT_DOUBLE_EQ(param.reltol, 1e-3);
    EXPECT_DOUBLE_EQ(param.lastError, 5e-4);
    for (double v : s.x) {
        EXPECT_DOUBLE_EQ(v, 1.0 + 5e-4);  // one step from the start vector
    }
}

TEST_F(IterationDriver, SingleIterationSolvesNeverRetry)
{
    sim.step = 5e-4;
    sim.setNewtonAssembler(as(&DriverSim::stalling));
    System s(6);
    EXPECT_EQ(s.solve(sim, ekSimulator::SYSTEM_NEWTON, 1), 1);  // one unconverged iteration
    EXPECT_DOUBLE_EQ(param.reltol, 1e-6);                       // restored
    EXPECT_DOUBLE_EQ(param.lastError, 5e-4);
    EXPECT_DOUBLE_EQ(s.x[0], 1.0 + 5e-4);
}

TEST_F(IterationDriver, ErrorEqualToTheToleranceIsNotConvergence)
{
    // At the loosest tolerance no retry is possible: the call returns with
    // the error as it is and the tolerance untouched.
    param.reltol = 1e-2;
    sim.step = 1e-2;
    sim.setNewtonAssembler(as(&DriverSim::stalling));
    System s(3);
    EXPECT_EQ(s.solve(sim, ekSimulator::SYSTEM_NEWTON, 4), 4);
    EXPECT_DOUBLE_EQ(param.lastError, 1e-2);
    EXPECT_DOUBLE_EQ(param.reltol, 1e-2);
    EXPECT_DOUBLE_EQ(s.x[0], 1.0 + 4 * 1e-2);
}

TEST_F(IterationDriver, RefusedCallsChangeNothing)
{
    sim.setNewtonAssembler(as(&DriverSim::roots));
    sim.target.assign(6, 4.0);
    struct Refusal {
        const char* what;
        int kind;
        int maxIter;
        double tol;
    };
    const Refusal cases[] = {
        {"unknown kind", 4, 10, 1e-6},
        {"no iterations", ekSimulator::SYSTEM_NEWTON, 0, 1e-6},
        {"beyond the limit", ekSimulator::SYSTEM_NEWTON, 101, 1e-6},
        {"tolerance above 1", ekSimulator::SYSTEM_NEWTON, 10, 2.0},
        {"zero tolerance", ekSimulator::SYSTEM_NEWTON, 10, 0.0},
        {"tridiagonal kind without diagonals", ekSimulator::SYSTEM_POISSON, 10, 1e-6},
    };
    for (const Refusal& c : cases) {
        param.method =
            c.kind == ekSimulator::SYSTEM_POISSON ? nuParam::METHOD_GUMMEL : nuParam::METHOD_NEWTON;
        param.reltol = c.tol;
        param.lastError = 0.5;
        System s(6);
        EXPECT_EQ(s.solve(sim, c.kind, c.maxIter), 0) << c.what;
        EXPECT_EQ(s.x, std::vector<double>(6, 1.0)) << c.what;
        EXPECT_EQ(param.lastError, 0.5) << c.what;
    }
    // A Jacobian of another size than the system.
    param.method = nuParam::METHOD_NEWTON;
    param.reltol = 1e-6;
    System s(6);
    ekBandMatrix small(3, 5, 5);
    s.jacobian = &small;
    EXPECT_EQ(s.solve(sim, ekSimulator::SYSTEM_NEWTON, 10), 0);
    EXPECT_EQ(s.x, std::vector<double>(6, 1.0));
    // A missing array.
    System t(6);
    t.p[2] = nullptr;
    EXPECT_EQ(t.solve(sim, ekSimulator::SYSTEM_NEWTON, 10), 0);
}

TEST_F(IterationDriver, RelaxationWalksToleranceThenDamping)
{
    param.reltol = 1e-6;
    param.damp = 1.0;
    // Tolerances 1e-5 .. 1e-2, one per call, at pass 0.
    for (double expected : {1e-5, 1e-4, 1e-3, 1e-2}) {
        EXPECT_EQ(sim.relaxSolver(0), 0);
        EXPECT_DOUBLE_EQ(param.reltol, expected);
    }
    // At the loosest tolerance: back to 1e-6 with the weakest damping, and
    // the damping ladder starts.
    EXPECT_EQ(sim.relaxSolver(0), 1);
    EXPECT_DOUBLE_EQ(param.reltol, 1e-6);
    EXPECT_DOUBLE_EQ(param.damp, 2.0);
    for (double expected : {5.0, 10.0, 20.0, 50.0}) {
        EXPECT_EQ(sim.relaxSolver(1), 1);
        EXPECT_DOUBLE_EQ(param.damp, expected);
    }
    EXPECT_EQ(sim.relaxSolver(1), 2);
    EXPECT_EQ(sim.relaxSolver(2), 2);
    EXPECT_DOUBLE_EQ(param.damp, 50.0);
}

TEST_F(IterationDriver, OptionTextForEverySolverCode)
{
    struct Option {
        uint8_t code;
        const char* text;
        uint8_t codeAfter;
    };
    const Option table[] = {
        {0x10, "-maxiter 100 -tol 1e-06 -i none", 0x10},
        {0x21, "-maxiter 100 -tol 1e-06 -i bicgstab -p ilu -ilu_fill 0", 0x21},
        {0x32, "-maxiter 100 -tol 1e-06 -i bicgstabl -ell 2 -p jacobi", 0x32},
        {0x43, "-maxiter 100 -tol 1e-06 -i bicgsafe -p ssor -ssor_w 1.0", 0x43},
        {0x50, "-maxiter 100 -tol 1e-06 -i gmres -p none", 0x50},
        {0x61, "-maxiter 100 -tol 1e-06 -i fgmres -p ilu -ilu_fill 0", 0x61},
        {0x72, "-maxiter 100 -tol 1e-06 -i minres -p jacobi", 0x72},
        {0x81, "-maxiter 100 -tol 1e-06 -i tfqmr -p ilu -ilu_fill 0", 0x81},
        {0x90, "-maxiter 100 -tol 1e-06 -i bicrstab -p none", 0x90},
        {0xA3, "-maxiter 100 -tol 1e-06 -i bicgstab -p ilu -ilu_fill 0", 0x21},
        {0x55, "-maxiter 100 -tol 1e-06 -i gmres -p ilu -ilu_fill 0", 0x21},
        {0x25, "-maxiter 100 -tol 1e-06 -i bicgstab -p ilu -ilu_fill 0", 0x21},
    };
    for (const Option& o : table) {
        param.solver = o.code;
        char text[128];
        std::memset(text, 'x', sizeof text);
        sim.makeSolverOptions(text);
        EXPECT_STREQ(text, o.text) << std::hex << int(o.code);
        EXPECT_EQ(param.solver, o.codeAfter) << std::hex << int(o.code);
        // The linear-solver layer reads every text built here.
        ekSolverOptions parsed;
        std::string error;
        EXPECT_TRUE(ek_parseSolverOptions(text, &parsed, &error)) << text << ": " << error;
        EXPECT_EQ(parsed.maxIter, 100);
        EXPECT_DOUBLE_EQ(parsed.tol, 1e-6);
    }
    param.maxiter = 250;
    param.reltol = 3.5e-7;
    param.solver = 0x50;
    char text[128];
    sim.makeSolverOptions(text);
    EXPECT_STREQ(text, "-maxiter 250 -tol 3.5e-07 -i gmres -p none");
}

TEST_F(IterationDriver, DirectSolverCodeServesNewtonToo)
{
    // "-i none" names the banded direct solve, which the coupled system
    // takes like any other: the code 0x1_ must not make every Newton solve
    // fail.
    param.solver = 0x10;
    sim.target.assign(9, 2.0);
    sim.setNewtonAssembler(as(&DriverSim::roots));
    System s(9);
    s.solve(sim, ekSimulator::SYSTEM_NEWTON, 50);
    EXPECT_LT(param.lastError, param.reltol);
}

TEST_F(IterationDriver, NewtonStorageIsBandedAndGrowsLinearly)
{
    size_t perPoint[2] = {0, 0};
    const int sizes[2] = {200, 20000};
    for (int k = 0; k < 2; ++k) {
        sim.setPoints(sizes[k]);
        const size_t base = sigma.allocatedBytes();
        double *previous = nullptr, *start = nullptr, *update = nullptr, *rhs = nullptr;
        double *lower = nullptr, *diag = nullptr, *upper = nullptr;
        ekBandMatrix* jacobian = nullptr;
        ASSERT_TRUE(
            sim.allocSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper));
        ASSERT_NE(jacobian, nullptr);
        EXPECT_EQ(jacobian->size(), 3 * sizes[k]);
        EXPECT_EQ(jacobian->lower(), EK_NEWTON_KL);
        EXPECT_EQ(jacobian->upper(), EK_NEWTON_KU);
        const size_t band = sizeof(double) * jacobian->ldab() * jacobian->size();
        perPoint[k] = (sigma.allocatedBytes() - base + band) / sizes[k];
        sim.freeSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
        EXPECT_EQ(previous, nullptr);
        EXPECT_EQ(jacobian, nullptr);
        EXPECT_EQ(sigma.allocatedBytes(), base);
    }
    // Seven arrays of 3 doubles and a band of 3 x 16 doubles per point; the
    // error history is a fixed 100 doubles.
    EXPECT_NEAR(static_cast<double>(perPoint[1]), 7.0 * 3 * 8 + 3 * 16 * 8, 1.0);
    EXPECT_LE(perPoint[0], perPoint[1] + 8);

    // Gummel: no Jacobian, N long arrays.
    param.method = nuParam::METHOD_GUMMEL;
    double *previous = nullptr, *start = nullptr, *update = nullptr, *rhs = nullptr;
    double *lower = nullptr, *diag = nullptr, *upper = nullptr;
    ekBandMatrix* jacobian = nullptr;
    ASSERT_TRUE(
        sim.allocSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper));
    EXPECT_EQ(jacobian, nullptr);
    sim.freeSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
    EXPECT_FALSE(sim.allocSystem(nullptr, &start, &update, &rhs, &jacobian, &lower, &diag, &upper));
}

}  // namespace
