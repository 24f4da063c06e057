// What a run says when a solve does not converge: where it failed (the
// equilibrium, or the bias point in volts), how far the iteration got (its
// relative error against the tolerance, after how many iterations) and
// what usually helps. A run that is tried again on a uniform mesh when
// nothing converged holds its first report back, so that each failure is
// said once.
#include <cmath>
#include <string>

#include "ekSimulator.h"
#include "nucore.h"

namespace {

const wchar_t* const EQUILIBRIUM_REMEDY =
    L"what usually helps: more mesh points (Mesh.Points of the layers, or Numeric.Mesh=\"Uniform\" "
    L"with Numeric.Points), a stronger damping (Numeric.Damp), or the solution of a run that "
    L"converged as the start (Numeric.Guess)";
const wchar_t* const BIAS_REMEDY =
    L"what usually helps: a smaller Voltage.Step, more mesh points (Mesh.Points of the layers), "
    L"or starting with the Gummel method (Numeric.Method=\"Gummel\")";

}  // namespace

// The error of the last iteration is a damped update, at most 1 / damping:
// the same figure whatever happened. The smallest error the iterations
// reached says how close the solve came.
double ekSimulator::reachedError() const
{
    return std::isfinite(iteration.bestError) ? iteration.bestError : param->lastError;
}

// How far the last solve got: the relative error it stopped at against the
// tolerance, or the linear system it could not solve.
std::wstring ekSimulator::reachedText() const
{
    if (iteration.linearFailed) {
        return L"its linear system could not be solved (a singular matrix, or densities beyond "
               L"the range of the numbers, as at very low temperatures)";
    }
    return L"the smallest relative error it reached was " + nu_numberText(reachedError()) +
           L" (tolerance " + nu_numberText(param->reltol) + L")";
}

std::wstring ekSimulator::equilibriumFailure() const
{
    return L"[ERROR]   Poisson convergence not achieved at equilibrium (0 V): " + reachedText() +
           L"; " + EQUILIBRIUM_REMEDY + L"\n";
}

std::wstring ekSimulator::biasFailure(double bias, const wchar_t* prefix) const
{
    return std::wstring(prefix) + L"convergence not achieved at V = " + nu_numberText(bias) +
           L" V with the Newton and the Gummel method: " + reachedText() + L"; " + BIAS_REMEDY;
}

void ekSimulator::reportFailure(const std::wstring& text, int level)
{
    if (!failuresHeld) {
        sigma->update(text.c_str(), level);
        return;
    }
    heldFailure += text;
    if (level == 1) {
        heldFailureLevel = 1;
        sigma->err = 1;
    }
}

void ekSimulator::holdFailures()
{
    failuresHeld = true;
    heldFailure.clear();
    heldFailureLevel = 0;
}

void ekSimulator::releaseFailures(bool print)
{
    failuresHeld = false;
    if (print && !heldFailure.empty()) {
        sigma->update(heldFailure.c_str(), heldFailureLevel);
    }
    heldFailure.clear();
}
