// What the solves built on the iteration driver share around it: the
// passes with relaxation between them, and the method name of their log
// lines (defined in ekIteration.cpp).
#pragma once

#include <functional>

class ekSimulator;
class nuParam;

// Whole passes of one solve with relaxation between them: each pass runs
// solve() from lastError 1 and puts its iterations in *iters. It ends on a
// stop (the simulator remembers it), an error, convergence, an exhausted
// ladder or after nuParam::ARRLEN passes; any other pass relaxes the
// settings (ekSimulator::relaxSolver) and restart() lays the start of the
// next one. False when restart() failed.
bool ek_solveRelaxed(ekSimulator& sim, const std::function<int()>& solve,
                     const std::function<bool()>& restart, int* iters);

// "Newton" or "Gummel": the present method, as the log lines name it.
const wchar_t* ek_methodName(const nuParam* param);

// The linear solver that runs for the present solver code, as the log lines
// name it: "bicgstab" or "gmres" (Eigen's), else "banded LU", which serves
// every other name of Numeric.InnermostSolver, the default tfqmr included.
const wchar_t* ek_linearSolverName(const nuParam* param);
