#include "ekLinearDrivers.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "ekDamping.h"
#include "ekLinearSolver.h"
#include "ekSolverOptions.h"

namespace {

enum class UpdateKind { TriDiag, Newton };

// Damps the solution (a scratch vector of the caller's, damped in place)
// and commits it only when every new value is finite: a NaN anywhere must
// not leave a partly applied step behind.
int applyUpdate(UpdateKind kind, std::vector<double>& damped, double* update, double* previous,
                double* x, int n, double damp, int dampMode, double* error)
{
    if (kind == UpdateKind::Newton) {
        for (int i = 0; i + 2 < n; i += 3) {
            ek_dampNewtonNode(&damped[i], &damped[i + 1], &damped[i + 2], damp, dampMode);
        }
    } else {
        for (double& dx : damped) {
            dx = ek_dampTriDiag(dx, damp, dampMode);
        }
    }
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(previous[i] + damped[i])) {
            return EK_LINSOLVE_NOT_FINITE;
        }
        largest = std::max(largest, std::fabs(damped[i]));
    }
    for (int i = 0; i < n; ++i) {
        update[i] = damped[i];
        x[i] = previous[i] + damped[i];
        previous[i] = x[i];
    }
    *error = largest;
    return EK_LINSOLVE_OK;
}

// What the drivers keep from one call to the next, per thread: the option
// text last read and its reading, the band of the tridiagonal systems, the
// pivots and the solution. An iteration of a fixed size then allocates
// nothing and reads its option text once.
struct DriverWork {
    std::string optionText;
    bool optionsRead = false;
    bool optionsOk = false;
    ekSolverOptions options;
    ekBandMatrix triDiagonal;
    std::vector<int> pivots;
    std::vector<double> solution;

    // The options of text, read again only when the text changed.
    const ekSolverOptions* read(const char* text)
    {
        const char* t = text != nullptr ? text : "";
        if (!optionsRead || optionText != t) {
            optionText = t;
            optionsRead = true;
            optionsOk = ek_parseSolverOptions(text, &options, nullptr);
        }
        return optionsOk ? &options : nullptr;
    }
};

DriverWork& driverWork()
{
    thread_local DriverWork work;
    return work;
}

// Solves A (overwritten by its factors when the banded LU solves it) for
// the update and applies it.
int solveAndApply(UpdateKind kind, ekBandMatrix& A, const double* rhs, double* update,
                  double* previous, double* x, int* iterations, double* error,
                  const char* optionText, double damp, int dampMode)
{
    *error = 1.0;
    *iterations = 0;
    DriverWork& work = driverWork();
    const ekSolverOptions* options = work.read(optionText);
    if (options == nullptr) {
        return EK_LINSOLVE_BAD_OPTION;
    }
    const int n = A.size();
    try {
        // The solution lands in a scratch vector so a failure leaves update
        // as it was; for a Krylov solver it starts from the previous update.
        std::vector<double>& solution = work.solution;
        int status = EK_LINSOLVE_OK;
        if (options->method == ekLinearMethod::BandLU) {
            solution.assign(rhs, rhs + n);
            ekLinearSolveInfo info;
            status = ek_solveBandLUInPlace(A, solution.data(), work.pivots, &info);
            *iterations = info.iterations;
        } else {
            solution.assign(update, update + n);
            ekLinearSolveInfo info;
            status = ek_solveBand(A, rhs, solution.data(), *options, &info);
            *iterations = info.iterations;
        }
        if (status != EK_LINSOLVE_OK) {
            return status;
        }
        return applyUpdate(kind, solution, update, previous, x, n, damp, dampMode, error);
    } catch (const std::bad_alloc&) {
        return EK_LINSOLVE_NO_MEMORY;
    }
}

}  // namespace

int ek_solveTriDiagLis(const double* lower, const double* diag, const double* upper,
                       const double* rhs, double* update, double* previous, double* x, int n,
                       int* iterations, double* error, const char* options, double damp,
                       int dampMode)
{
    if (!lower || !diag || !upper || !rhs || !update || !previous || !x || !iterations || !error ||
        n < 1) {
        return EK_LINSOLVE_BAD_ARGUMENT;
    }
    // The band is kept from one call to the next and rewritten whole.
    ekBandMatrix& A = driverWork().triDiagonal;
    if (A.size() != n && !A.resize(n, 1, 1)) {
        return EK_LINSOLVE_NO_MEMORY;
    }
    A.setTridiagonal(lower, diag, upper);
    return solveAndApply(UpdateKind::TriDiag, A, rhs, update, previous, x, iterations, error,
                         options, damp, dampMode);
}

int ek_solveNewtonLis(ekBandMatrix* jacobian, const double* rhs, double* update, double* previous,
                      double* x, int n, int* iterations, double* error, int /*maxIter*/,
                      double /*tol*/, const char* options, double damp, int dampMode)
{
    if (!jacobian || !rhs || !update || !previous || !x || !iterations || !error || n < 3 ||
        n % 3 != 0 || jacobian->size() != n) {
        return EK_LINSOLVE_BAD_ARGUMENT;
    }
    return solveAndApply(UpdateKind::Newton, *jacobian, rhs, update, previous, x, iterations, error,
                         options, damp, dampMode);
}
