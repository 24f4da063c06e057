// Option text of the linear solvers, built from the nuParam solver code:
// the high nibble names the solver, the low nibble the preconditioner.
#include <cstdio>
#include <cstring>

#include "ekSimulator.h"
#include "nucore.h"

namespace {

constexpr uint8_t FALLBACK_CODE = 0x21;  // bicgstab with ILU(0)
constexpr size_t OPTION_SIZE = 128;

// Text after "-i " for a solver nibble; null for an unknown one.
const char* solverText(uint8_t high)
{
    switch (high) {
    case 0x10: return "none";
    case 0x20: return "bicgstab -p ";
    case 0x30: return "bicgstabl -ell 2 -p ";
    case 0x40: return "bicgsafe -p ";
    case 0x50: return "gmres -p ";
    case 0x60: return "fgmres -p ";
    case 0x70: return "minres -p ";
    case 0x80: return "tfqmr -p ";
    case 0x90: return "bicrstab -p ";
    default: return nullptr;
    }
}

const char* preconditionerText(uint8_t low)
{
    switch (low) {
    case 0x0: return "none";
    case 0x1: return "ilu -ilu_fill 0";
    case 0x2: return "jacobi";
    case 0x3: return "ssor -ssor_w 1.0";
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

    const char* solver = solverText(param->solver & 0xF0);
    if (solver == nullptr) {
        solver = solverText(0x20);
        param->solver = FALLBACK_CODE;
    }
    append(text, solver);
    if ((param->solver & 0xF0) == 0x10) {
        return;  // the direct solver takes no preconditioner
    }
    const char* preconditioner = preconditionerText(param->solver & 0x0F);
    if (preconditioner == nullptr) {
        preconditioner = preconditionerText(0x1);
        param->solver = FALLBACK_CODE;
    }
    append(text, preconditioner);
}
