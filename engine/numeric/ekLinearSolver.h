// Linear solves of the engine's band systems: banded LU (ekBandLU, in LAPACK layout) and
// Eigen's Krylov solvers with the fallback to the banded LU.
#pragma once

#include <vector>

#include "ekBandMatrix.h"
#include "ekSolverOptions.h"

// Results of a linear solve. Zero is success; every other value means the
// solution vector was left as it was.
enum ekLinearStatus : int {
    EK_LINSOLVE_OK = 0,
    EK_LINSOLVE_NOT_FINITE = -1,  // NaN or infinity in the matrix, right side or solution
    EK_LINSOLVE_NO_MEMORY = -2,
    EK_LINSOLVE_BAD_OPTION = 1,    // option text not understood
    EK_LINSOLVE_BAD_ARGUMENT = 2,  // null array, size mismatch
    EK_LINSOLVE_SINGULAR = 3,      // exactly singular matrix
    EK_LINSOLVE_BAD_MATRIX = 4,    // the assembler wrote outside the band
};

// Readable text of a status, for log lines.
const wchar_t* ek_linearStatusText(int status);

struct ekLinearSolveInfo {
    int status = EK_LINSOLVE_BAD_ARGUMENT;
    ekLinearMethod method = ekLinearMethod::BandLU;  // solver whose result was kept
    int iterations = 0;  // Krylov iterations run; 1 for the banded LU alone
    bool iterativeConverged = false;
    bool fellBack = false;  // Krylov result rejected, banded LU used instead
    double residual = 0.0;  // ||Ax - b|| / ||b|| of the kept solution (||Ax|| for b = 0);
                            // 0 from the in-place LU, which keeps no A to form it
};

// Solves A x = b exactly by banded LU with partial pivoting. On success x
// receives the solution; on failure x is untouched. A stays as it was (the
// factors go to a copy); info->residual is that of the solution.
int ek_solveBandLU(const ekBandMatrix& A, const double* b, double* x,
                   ekLinearSolveInfo* info = nullptr);

// The same solve for a matrix assembled anew before each solve: A is
// overwritten by its factors and bx, holding b on entry, by the solution
// (on failure it holds no solution). pivots is the caller's, kept from one
// solve to the next, so that a Newton iteration allocates nothing once it
// has the size. A NaN or infinity in A or b is reported as
// EK_LINSOLVE_NOT_FINITE through the pivots and the solution alone (see
// ek_bandFactor), without a pass over the matrix; no residual is formed
// (info->residual stays 0).
int ek_solveBandLUInPlace(ekBandMatrix& A, double* bx, std::vector<int>& pivots,
                          ekLinearSolveInfo* info = nullptr);

// Solves A x = b with the solver the options name. x holds the starting
// guess of a Krylov solver on entry. A Krylov result counts only when its
// true residual ||Ax - b|| / ||b|| is within options.tol; otherwise the
// banded LU solves the system again. On success x receives the solution; on
// failure x is untouched.
int ek_solveBand(const ekBandMatrix& A, const double* b, double* x, const ekSolverOptions& options,
                 ekLinearSolveInfo* info = nullptr);

// Banded LU factorisations made so far by this process: what a bias point
// costs, as the benchmarks count it.
long ek_bandFactorisations();

// ||Ax - b|| / ||b||, or ||Ax|| when b is zero.
double ek_relativeResidual(const ekBandMatrix& A, const double* b, const double* x);
