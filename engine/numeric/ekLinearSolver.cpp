#include "ekLinearSolver.h"

#include "ekBandLU.h"

#include <atomic>
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include <Eigen/IterativeLinearSolvers>
#include <Eigen/Sparse>
#include <unsupported/Eigen/IterativeSolvers>

namespace {

using SparseMatrix = Eigen::SparseMatrix<double>;
using Vector = Eigen::VectorXd;

bool allFinite(const double* v, int n)
{
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(v[i])) {
            return false;
        }
    }
    return true;
}

double norm2(const double* v, int n)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        sum += v[i] * v[i];
    }
    return std::sqrt(sum);
}

SparseMatrix toSparse(const ekBandMatrix& A)
{
    const int n = A.size();
    SparseMatrix S(n, n);
    S.reserve(Eigen::VectorXi::Constant(n, A.lower() + A.upper() + 1));
    for (int j = 0; j < n; ++j) {
        const int first = std::max(0, j - A.upper());
        const int last = std::min(n - 1, j + A.lower());
        for (int i = first; i <= last; ++i) {
            const double v = A.get(i, j);
            if (v != 0.0) {
                S.insert(i, j) = v;
            }
        }
    }
    S.makeCompressed();
    return S;
}

struct KrylovResult {
    Vector x;
    int iterations = 0;
};

template <typename Solver>
void configure(Solver& solver, const ekSolverOptions& options)
{
    solver.setMaxIterations(options.maxIter);
    // Eigen stops on its recurrence residual, which drifts from the true
    // one; asking for half the tolerance keeps the true residual (the one
    // accepted below) within it in the usual case.
    solver.setTolerance(0.5 * options.tol);
}

template <typename Preconditioner>
void configurePreconditioner(Preconditioner&, const ekSolverOptions&)
{
}

template <>
void configurePreconditioner(Eigen::IncompleteLUT<double>& ilu, const ekSolverOptions& options)
{
    // ILU(k) of the option text as a fill budget: with fill factor 1 each row
    // keeps about as many entries as A has, which on a band is ILU(0)-like.
    ilu.setFillfactor(1 + options.iluFill);
}

template <typename Solver>
KrylovResult runKrylov(Solver& solver, const SparseMatrix& S, const Vector& b, const Vector& guess,
                       const ekSolverOptions& options)
{
    KrylovResult result;
    configure(solver, options);
    configurePreconditioner(solver.preconditioner(), options);
    solver.compute(S);
    if (solver.info() != Eigen::Success) {
        return result;
    }
    result.x = solver.solveWithGuess(b, guess);
    result.iterations = static_cast<int>(solver.iterations());
    return result;
}

template <typename Preconditioner>
KrylovResult solveWith(ekLinearMethod method, const SparseMatrix& S, const Vector& b,
                       const Vector& guess, const ekSolverOptions& options)
{
    switch (method) {
    case ekLinearMethod::BiCGSTAB: {
        Eigen::BiCGSTAB<SparseMatrix, Preconditioner> solver;
        return runKrylov(solver, S, b, guess, options);
    }
    case ekLinearMethod::GMRES: {
        Eigen::GMRES<SparseMatrix, Preconditioner> solver;
        return runKrylov(solver, S, b, guess, options);
    }
    case ekLinearMethod::IDRS: {
        Eigen::IDRS<SparseMatrix, Preconditioner> solver;
        return runKrylov(solver, S, b, guess, options);
    }
    case ekLinearMethod::BandLU: break;
    }
    return KrylovResult();
}

KrylovResult solveKrylov(const ekBandMatrix& A, const double* b, const double* x,
                         const ekSolverOptions& options)
{
    const int n = A.size();
    const SparseMatrix S = toSparse(A);
    const Vector rhs = Eigen::Map<const Vector>(b, n);
    // A start vector that is not finite would only poison the iteration.
    const Vector guess =
        allFinite(x, n) ? Vector(Eigen::Map<const Vector>(x, n)) : Vector(Vector::Zero(n));
    switch (options.preconditioner) {
    case ekPreconditioner::None:
        return solveWith<Eigen::IdentityPreconditioner>(options.method, S, rhs, guess, options);
    case ekPreconditioner::Jacobi:
        return solveWith<Eigen::DiagonalPreconditioner<double>>(options.method, S, rhs, guess,
                                                                options);
    case ekPreconditioner::IncompleteLU:
        return solveWith<Eigen::IncompleteLUT<double>>(options.method, S, rhs, guess, options);
    }
    return KrylovResult();
}

int checkSystem(const ekBandMatrix& A, const double* b, const double* x)
{
    if (!b || !x || A.size() < 1) {
        return EK_LINSOLVE_BAD_ARGUMENT;
    }
    if (A.hadOutOfBandWrite()) {
        return EK_LINSOLVE_BAD_MATRIX;
    }
    if (!A.isFinite() || !allFinite(b, A.size())) {
        return EK_LINSOLVE_NOT_FINITE;
    }
    return EK_LINSOLVE_OK;
}

int finish(ekLinearSolveInfo* info, ekLinearSolveInfo& local, int status)
{
    local.status = status;
    if (info) {
        *info = local;
    }
    return status;
}

std::atomic<long> factorisations{0};

// Factors A in place and overwrites bx (b on entry) with the solution.
int factorAndSolve(ekBandMatrix& A, double* bx, std::vector<int>& pivots)
{
    ++factorisations;
    const int n = A.size();
    pivots.resize(static_cast<size_t>(n));
    const int info = ek_bandFactor(n, A.lower(), A.upper(), A.data(), A.ldab(), pivots.data());
    if (info < 0) {
        return EK_LINSOLVE_NOT_FINITE;
    }
    if (info > 0) {
        return EK_LINSOLVE_SINGULAR;
    }
    ek_bandSolve(n, A.lower(), A.upper(), A.data(), A.ldab(), pivots.data(), bx);
    // A NaN or infinity of A or b has reached the solution (ekBandLU.h).
    return allFinite(bx, n) ? EK_LINSOLVE_OK : EK_LINSOLVE_NOT_FINITE;
}

// The LU of a matrix that must stay intact: the factors overwrite a copy.
int bandLU(const ekBandMatrix& A, const double* b, double* x, ekLinearSolveInfo& local)
{
    ekBandMatrix factors = A;
    std::vector<double> solution(b, b + A.size());
    std::vector<int> pivots;
    const int status = factorAndSolve(factors, solution.data(), pivots);
    if (status != EK_LINSOLVE_OK) {
        return status;
    }
    local.method = ekLinearMethod::BandLU;
    local.residual = ek_relativeResidual(A, b, solution.data());
    std::copy(solution.begin(), solution.end(), x);
    return EK_LINSOLVE_OK;
}

}  // namespace

long ek_bandFactorisations() { return factorisations.load(); }

const wchar_t* ek_linearStatusText(int status)
{
    switch (status) {
    case EK_LINSOLVE_OK: return L"solved";
    case EK_LINSOLVE_NOT_FINITE: return L"not a finite number in the linear system or its solution";
    case EK_LINSOLVE_NO_MEMORY: return L"insufficient memory for the linear solver";
    case EK_LINSOLVE_BAD_OPTION: return L"invalid linear solver options";
    case EK_LINSOLVE_BAD_ARGUMENT: return L"invalid linear system arguments";
    case EK_LINSOLVE_SINGULAR: return L"singular linear system";
    case EK_LINSOLVE_BAD_MATRIX: return L"matrix entry written outside the band";
    default: return L"unknown linear solver failure";
    }
}

double ek_relativeResidual(const ekBandMatrix& A, const double* b, const double* x)
{
    const int n = A.size();
    std::vector<double> r(static_cast<size_t>(n));
    A.multiply(x, r.data());
    for (int i = 0; i < n; ++i) {
        r[i] -= b[i];
    }
    const double bNorm = norm2(b, n);
    const double rNorm = norm2(r.data(), n);
    return bNorm > 0.0 ? rNorm / bNorm : rNorm;
}

int ek_solveBandLU(const ekBandMatrix& A, const double* b, double* x, ekLinearSolveInfo* info)
{
    ekLinearSolveInfo local;
    if (!b || !x || A.size() < 1) {
        return finish(info, local, EK_LINSOLVE_BAD_ARGUMENT);
    }
    if (A.hadOutOfBandWrite()) {
        return finish(info, local, EK_LINSOLVE_BAD_MATRIX);
    }
    try {
        local.iterations = 1;
        return finish(info, local, bandLU(A, b, x, local));
    } catch (const std::bad_alloc&) {
        return finish(info, local, EK_LINSOLVE_NO_MEMORY);
    }
}

int ek_solveBandLUInPlace(ekBandMatrix& A, double* bx, std::vector<int>& pivots,
                          ekLinearSolveInfo* info)
{
    ekLinearSolveInfo local;
    if (!bx || A.size() < 1) {
        return finish(info, local, EK_LINSOLVE_BAD_ARGUMENT);
    }
    if (A.hadOutOfBandWrite()) {
        return finish(info, local, EK_LINSOLVE_BAD_MATRIX);
    }
    try {
        local.iterations = 1;
        local.method = ekLinearMethod::BandLU;
        return finish(info, local, factorAndSolve(A, bx, pivots));
    } catch (const std::bad_alloc&) {
        return finish(info, local, EK_LINSOLVE_NO_MEMORY);
    }
}

int ek_solveBand(const ekBandMatrix& A, const double* b, double* x, const ekSolverOptions& options,
                 ekLinearSolveInfo* info)
{
    if (options.method == ekLinearMethod::BandLU) {
        return ek_solveBandLU(A, b, x, info);
    }

    ekLinearSolveInfo local;
    const int check = checkSystem(A, b, x);
    if (check != EK_LINSOLVE_OK) {
        return finish(info, local, check);
    }
    try {
        const int n = A.size();
        const KrylovResult krylov = solveKrylov(A, b, x, options);
        local.iterations = krylov.iterations;
        if (krylov.x.size() == n && allFinite(krylov.x.data(), n)) {
            const double residual = ek_relativeResidual(A, b, krylov.x.data());
            // The true residual decides, whatever Eigen's own stopping test said.
            if (residual <= options.tol) {
                local.method = options.method;
                local.iterativeConverged = true;
                local.residual = residual;
                std::copy(krylov.x.data(), krylov.x.data() + n, x);
                return finish(info, local, EK_LINSOLVE_OK);
            }
        }
        local.fellBack = true;
        return finish(info, local, bandLU(A, b, x, local));
    } catch (const std::bad_alloc&) {
        return finish(info, local, EK_LINSOLVE_NO_MEMORY);
    }
}
