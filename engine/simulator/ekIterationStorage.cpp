// Work arrays of one nonlinear solve. The Newton Jacobian lives in band
// storage: its entries all lie within five columns of the diagonal, so the
// memory grows as N (a dense 3N x 3N matrix would need 28.8 GB at N = 20000).
#include <array>
#include <new>

#include "ekBandMatrix.h"
#include "ekBiasWork.h"
#include "ekSimulator.h"
#include "nucore.h"

namespace {

bool allHandles(double** a, double** b, double** c, double** d, ekBandMatrix** j, double** e,
                double** f, double** g)
{
    return a && b && c && d && j && e && f && g;
}

}  // namespace

bool ek_allocArrays(nuSigma* sigma, std::span<double** const> arrays, size_t length)
{
    bool ok = true;
    for (double** a : arrays) {
        *a = sigma->mallocDbl(length, true);
        ok = ok && *a != nullptr;
    }
    return ok;
}

void ek_freeArrays(nuSigma* sigma, std::span<double** const> arrays)
{
    for (double** a : arrays) {
        if (*a != nullptr) {
            sigma->freeDbl(a);
        }
        *a = nullptr;
    }
}

bool ekSimulator::allocSystem(double** previous, double** start, double** update, double** rhs,
                              ekBandMatrix** jacobian, double** lower, double** diag,
                              double** upper)
{
    if (sigma == nullptr || param == nullptr || Points < 1 ||
        !allHandles(previous, start, update, rhs, jacobian, lower, diag, upper)) {
        return false;
    }
    freeSystem(previous, start, update, rhs, jacobian, lower, diag, upper);
    const bool newton = param->method == nuParam::METHOD_NEWTON;
    const size_t L = static_cast<size_t>(Points) * (newton ? 3 : 1);

    const std::array<double**, 7> vectors{previous, start, update, rhs, lower, diag, upper};
    bool ok = ek_allocArrays(sigma, vectors, L);
    if (ok && param->maxiter > 1) {
        iteration.errorHistory = sigma->mallocDbl(static_cast<size_t>(param->maxiter), true);
        iteration.historyLength = iteration.errorHistory != nullptr ? param->maxiter : 0;
        ok = iteration.errorHistory != nullptr;
    }
    if (ok && newton) {
        *jacobian = new (std::nothrow) ekBandMatrix();
        ok = *jacobian != nullptr &&
             (*jacobian)->resize(static_cast<int>(L), EK_NEWTON_KL, EK_NEWTON_KU);
    }
    if (!ok) {
        freeSystem(previous, start, update, rhs, jacobian, lower, diag, upper);
        sigma->reportNoMemory();
        return false;
    }
    return true;
}

void ekSimulator::freeSystem(double** previous, double** start, double** update, double** rhs,
                             ekBandMatrix** jacobian, double** lower, double** diag, double** upper)
{
    if (sigma == nullptr ||
        !allHandles(previous, start, update, rhs, jacobian, lower, diag, upper)) {
        return;
    }
    const std::array<double**, 7> vectors{previous, start, update, rhs, lower, diag, upper};
    ek_freeArrays(sigma, vectors);
    delete *jacobian;
    *jacobian = nullptr;
    if (iteration.errorHistory != nullptr) {
        sigma->freeDbl(&iteration.errorHistory);
    }
    iteration.errorHistory = nullptr;
    iteration.historyLength = 0;
}

bool ekSystemArrays::allocate(ekSimulator& sim)
{
    return sim.allocSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
}

void ekSystemArrays::release(ekSimulator& sim)
{
    sim.freeSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
}
