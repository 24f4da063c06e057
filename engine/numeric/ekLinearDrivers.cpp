#include "ekLinearDrivers.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "ekDamping.h"
#include "ekLinearSolver.h"
#include "ekSolverOptions.h"

namespace {

enum class UpdateKind { TriDiag, Newton };

// Damps the solution (a scratch vector of the caller's, damped in place)
// and commits it only when every new value is finite: a NaN anywhere must
// not leave a partly applied step behind.
int applyUpdate(UpdateKind kind, std::vector<double>& damped, double* update, double* previous, double* x,
                int n, double damp, int dampMode, double* error)
{
    if (kind == UpdateKind::Newton) {
        for (int i = 0; i + 2 < n; i += 3)
            ek_dampNewtonNode(&damped[i], &damped[i + 1], &damped[i + 2], damp, dampMode);
    } else {
        for (double& dx : damped)
            dx = ek_dampTriDiag(dx, damp, dampMode);
    }
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(previous[i] + damped[i]))
            return EK_LINSOLVE_NOT_FINITE;
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

int solveAndApply(UpdateKind kind, const ekBandMatrix& A, const double* rhs, double* update, double* previous,
                  double* x, int* iterations, double* error, const char* optionText, double damp, int dampMode)
{
    *error = 1.0;
    *iterations = 0;
    ekSolverOptions options;
    if (!ek_parseSolverOptions(optionText, &options, nullptr))
        return EK_LINSOLVE_BAD_OPTION;
    const int n = A.size();
    try {
        // The previous update starts the Krylov iteration; the solution lands
        // in a scratch vector so a failure leaves update as it was.
        std::vector<double> solution(update, update + n);
        ekLinearSolveInfo info;
        const int status = ek_solveBand(A, rhs, solution.data(), options, &info);
        *iterations = info.iterations;
        if (status != EK_LINSOLVE_OK)
            return status;
        return applyUpdate(kind, solution, update, previous, x, n, damp, dampMode, error);
    } catch (const std::bad_alloc&) {
        return EK_LINSOLVE_NO_MEMORY;
    }
}

}  // namespace

int ek_solveTriDiagLis(const double* lower, const double* diag, const double* upper, const double* rhs,
                       double* update, double* previous, double* x, int n, int* iterations, double* error,
                       const char* options, double damp, int dampMode)
{
    if (!lower || !diag || !upper || !rhs || !update || !previous || !x || !iterations || !error || n < 1)
        return EK_LINSOLVE_BAD_ARGUMENT;
    ekBandMatrix A;
    if (!A.resize(n, 1, 1))
        return EK_LINSOLVE_NO_MEMORY;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            A.at(i, i - 1) = lower[i];
        A.at(i, i) = diag[i];
        if (i + 1 < n)
            A.at(i, i + 1) = upper[i];
    }
    return solveAndApply(UpdateKind::TriDiag, A, rhs, update, previous, x, iterations, error, options, damp,
                         dampMode);
}

int ek_solveNewtonLis(const ekBandMatrix* jacobian, const double* rhs, double* update, double* previous, double* x,
                      int n, int* iterations, double* error, int /*maxIter*/, double /*tol*/, const char* options,
                      double damp, int dampMode)
{
    if (!jacobian || !rhs || !update || !previous || !x || !iterations || !error || n < 3 || n % 3 != 0 ||
        jacobian->size() != n)
        return EK_LINSOLVE_BAD_ARGUMENT;
    return solveAndApply(UpdateKind::Newton, *jacobian, rhs, update, previous, x, iterations, error, options, damp,
                         dampMode);
}
