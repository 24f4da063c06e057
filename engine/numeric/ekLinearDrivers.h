// The two linear-solve steps of the iteration driver (ekSimulator::solveSystem):
// solve the linearised system for the update, damp it, and apply it.
//
// Both return 0 on success, else an ekLinearStatus code (ekLinearSolver.h).
// What they need besides the caller's arrays (the option text's reading,
// the tridiagonal band, pivots and a solution vector) is kept per thread
// from one call to the next, so an iteration allocates nothing.
// A failure leaves x, previous and update exactly as they were, so the
// caller can check the result before anything moved and retry without
// undoing a half-applied step; error then reads 1 and iterations the Krylov
// iterations run (refused arguments, EK_LINSOLVE_BAD_ARGUMENT, write
// nothing at all). The update is committed only when every new x is finite.
//
// On success, for each component i: update[i] = the damped solution,
// x[i] = previous[i] + update[i], previous[i] = x[i]; previous must hold the
// iterate the update applies to (the iteration driver keeps it equal to x).
// error receives the largest |update[i]| after damping, iterations the
// Krylov iteration count (1 for the banded LU).
#pragma once

#include "ekBandMatrix.h"

// Tridiagonal system (Poisson, or one Gummel continuity equation) of n
// unknowns: row i reads lower[i] u[i-1] + diag[i] u[i] + upper[i] u[i+1] =
// rhs[i] (lower[0] and upper[n-1] unused). update is also the starting guess
// of a Krylov solver. With bit 0x10 of dampMode and damp >= 1e-6 every
// component is damped as dx / (1 + |dx damp|).
int ek_solveTriDiagLis(const double* lower, const double* diag, const double* upper,
                       const double* rhs, double* update, double* previous, double* x, int n,
                       int* iterations, double* error, const char* options, double damp,
                       int dampMode);

// Newton system of n = 3N unknowns (V, Fn, Fp per node) with the band
// Jacobian (jacobian->size() == n). Damping per node as ek_dampNewtonNode.
// maxIter and tol are not read: the option text carries the iteration limit
// and tolerance of the Krylov solvers. The banded LU factorises the
// Jacobian in place: it holds its factors afterwards, and the assembler
// writes it anew for the next step.
int ek_solveNewtonLis(ekBandMatrix* jacobian, const double* rhs, double* update, double* previous,
                      double* x, int n, int* iterations, double* error, int maxIter, double tol,
                      const char* options, double damp, int dampMode);
