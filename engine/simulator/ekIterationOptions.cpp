// Option text of the linear solvers, built from the nuParam solver code:
// the high nibble names the solver, the low nibble the preconditioner.
#include <cstdio>
#include <cstring>

#include "ekSimulator.h"
#include "nucore.h"

namespace {

constexpr uint8_t FALLBACK_CODE = nuParam::SOLVER_BICGSTAB | nuParam::PRECONDITIONER_ILU;
constexpr size_t OPTION_SIZE = 128;

// Text after "-i " for a solver nibble; null for an unknown one.
const char* solverText(uint8_t high)
{
    switch (high) {
    case nuParam::SOLVER_TRIDIAG: return "none";
    case nuParam::SOLVER_BICGSTAB: return "bicgstab -p ";
    case nuParam::SOLVER_BICGSTABL: return "bicgstabl -ell 2 -p ";
    case nuParam::SOLVER_BICGSAFE: return "bicgsafe -p ";
    case nuParam::SOLVER_GMRES: return "gmres -p ";
    case nuParam::SOLVER_FGMRES: return "fgmres -p ";
    case nuParam::SOLVER_MINRES: return "minres -p ";
    case nuParam::SOLVER_TFQMR: return "tfqmr -p ";
    case nuParam::SOLVER_BICRSTAB: return "bicrstab -p ";
    default: return nullptr;
    }
}

const char* preconditionerText(uint8_t low)
{
    switch (low) {
    case nuParam::PRECONDITIONER_NONE: return "none";
    case nuParam::PRECONDITIONER_ILU: return "ilu -ilu_fill 0";
    case nuParam::PRECONDITIONER_JACOBI: return "jacobi";
    case nuParam::PRECONDITIONER_SSOR: return "ssor -ssor_w 1.0";
    default: return nullptr;
    }
}

void append(char* text, const char* part)
{
    const size_t used = std::strlen(text);
    std::snprintf(text + used, OPTION_SIZE - used, "%s", part);
}

}  // namespace

void ekSimulator::makeSolverOptions(char* text)
{
    if (text == nullptr || param == nullptr) {
        return;
    }
    char tol[32];
    nu_reformatAutoA(param->reltol, tol, sizeof tol, nullptr, nullptr, -1);
    std::snprintf(text, OPTION_SIZE, "-maxiter %d -tol %s -i ", param->maxiter, tol);

    const char* solver = solverText(param->solver & nuParam::SOLVER_MASK);
    if (solver == nullptr) {
        solver = solverText(nuParam::SOLVER_BICGSTAB);
        param->solver = FALLBACK_CODE;
    }
    append(text, solver);
    if ((param->solver & nuParam::SOLVER_MASK) == nuParam::SOLVER_TRIDIAG) {
        return;  // the direct solver takes no preconditioner
    }
    const char* preconditioner = preconditionerText(param->solver & nuParam::PRECONDITIONER_MASK);
    if (preconditioner == nullptr) {
        preconditioner = preconditionerText(nuParam::PRECONDITIONER_ILU);
        param->solver = FALLBACK_CODE;
    }
    append(text, preconditioner);
}
