// Numeric settings of one run and the relaxation ladders of the iteration
// driver.
#include "nuParam.h"

#include <cmath>
#include <cwchar>

#include "kovKeyLimits.h"
#include "kovbase.h"

// Tolerance ladder, loosest first. The driver relaxes a failing solve by
// moving the tolerance up this ladder (1e-6 -> 1e-5 -> ... -> 1e-2) and,
// once the loosest entry is reached, restarts at RELTOL[4] (1e-6, the
// default tolerance) with damping.
const double nuParam::RELTOL[nuParam::ARRLEN] = {1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7};

// Damping ladder, weakest first. A factor d shrinks an update dx to
// dx / (1 + |dx d|) (potentials in units of the thermal voltage), so a
// larger entry takes shorter, safer steps.
const double nuParam::DAMP[nuParam::ARRLEN] = {1.0, 2.0, 5.0, 10.0, 20.0, 50.0};

namespace {

constexpr int MAXITER_MIN = 1;
constexpr int MAXITER_MAX = 1000;
// The ranges a device file may give (Numeric.Tol, Numeric.Damp). A damping
// of 0 switches damping off; the bias ramp asks for 0.1 / step, up to 100.
constexpr double RELTOL_MIN = kov_keyLimit(KovKeySection::NUMERIC, "Numeric.Tol").minimum;
constexpr double RELTOL_MAX = kov_keyLimit(KovKeySection::NUMERIC, "Numeric.Tol").maximum;
constexpr double DAMP_MIN = kov_keyLimit(KovKeySection::NUMERIC, "Numeric.Damp").minimum;
constexpr double DAMP_MAX = kov_keyLimit(KovKeySection::NUMERIC, "Numeric.Damp").maximum;
constexpr uint8_t MESH_BITS = nuParam::MESH_UNIFORM | nuParam::MESH_LAYER | nuParam::MESH_EXACT;

// The iterative linear solvers by the names device files and messages use.
struct IterativeSolver {
    uint8_t nibble;
    const wchar_t* name;
};
constexpr IterativeSolver ITERATIVE_SOLVERS[] = {
    {nuParam::SOLVER_BICGSTAB, L"bicgstab"}, {nuParam::SOLVER_BICGSTABL, L"bicgstabl"},
    {nuParam::SOLVER_BICGSAFE, L"bicgsafe"}, {nuParam::SOLVER_GMRES, L"gmres"},
    {nuParam::SOLVER_FGMRES, L"fgmres"},     {nuParam::SOLVER_MINRES, L"minres"},
    {nuParam::SOLVER_TFQMR, L"tfqmr"},       {nuParam::SOLVER_BICRSTAB, L"bicrstab"},
};

// The smallest ladder entry above value (entries equal to value within
// rounding do not count), or value itself when there is none.
double nextAbove(const double* ladder, int length, double value)
{
    double next = value;
    bool found = false;
    for (int i = 0; i < length; ++i) {
        if (ladder[i] > value * (1.0 + 1e-9) && (!found || ladder[i] < next)) {
            next = ladder[i];
            found = true;
        }
    }
    return next;
}

}  // namespace

void nuParam::reset()
{
    // The defaults of a device file without [Numeric] keys (kovKeyLimits.h):
    // Newton, tfqmr, the first damping and the fifth tolerance of the ladders.
    method = METHOD_NEWTON;
    solver = SOLVER_DEFAULT;
    damp = KOV_RUN_DEFAULT_DAMP;
    dampMode = 0;
    lastError = 1.0;
    mesh = MESH_LAYER;
    points = 0;
    maxiter = 100;
    reltol = KOV_RUN_DEFAULT_TOL;
    std::wmemset(outDir, L'\0', sizeof outDir / sizeof outDir[0]);
    outDirDate = false;
    plot = false;
    ticMs = kov_clockMs();
}

void nuParam::Tic() { ticMs = kov_clockMs(); }

double nuParam::Toc() const { return kov_clockMs() - ticMs; }

bool nuParam::setMaxiter(int n)
{
    if (n < MAXITER_MIN || n > MAXITER_MAX) {
        return false;
    }
    maxiter = n;
    return true;
}

bool nuParam::setReltol(double tol)
{
    if (!(tol >= RELTOL_MIN && tol <= RELTOL_MAX)) {  // also refuses NaN
        return false;
    }
    reltol = tol;
    return true;
}

bool nuParam::setDamp(double factor)
{
    if (!(factor >= DAMP_MIN && factor <= DAMP_MAX)) {
        return false;
    }
    damp = factor;
    return true;
}

void nuParam::increaseReltol() { reltol = nextAbove(RELTOL, ARRLEN, reltol); }

void nuParam::increaseDamp() { damp = nextAbove(DAMP, ARRLEN, damp); }

bool nuParam::setMesh(uint8_t mode, int count)
{
    if (mode == 0 || (mode & ~MESH_BITS) != 0) {
        return false;
    }
    if (count != 0 && (count < POINTS_MIN || count > POINTS_MAX)) {
        return false;
    }
    mesh = mode;
    if (count != 0) {
        points = count;
    }
    return true;
}

bool nuParam::setOutDir(const wchar_t* dir)
{
    const size_t size = sizeof outDir / sizeof outDir[0];
    if (dir == nullptr || std::wcslen(dir) >= size) {
        return false;  // a cut folder would name another place
    }
    kov_copyW(outDir, size, dir);
    return true;
}

bool nuParam::setSolverTransport(uint8_t m)
{
    if (m != METHOD_GUMMEL && m != METHOD_NEWTON) {
        return false;
    }
    method = m;
    return true;
}

const wchar_t* nuParam::getSolverLinsysName() const
{
    // The high nibble as the iteration driver reads it; a code it does not
    // know falls back to bicgstab there, and so here.
    const uint8_t nibble = solver & SOLVER_MASK;
    if (nibble == SOLVER_TRIDIAG) {
        return L"tridiag";
    }
    const wchar_t* name = iterativeSolverName(nibble);
    return name != nullptr ? name : L"bicgstab";
}

const wchar_t* nuParam::iterativeSolverName(uint8_t nibble)
{
    for (const IterativeSolver& solver : ITERATIVE_SOLVERS) {
        if (solver.nibble == nibble) {
            return solver.name;
        }
    }
    return nullptr;
}

uint8_t nuParam::iterativeSolverNibble(const wchar_t* name)
{
    for (const IterativeSolver& solver : ITERATIVE_SOLVERS) {
        if (name != nullptr && wcscasecmp(name, solver.name) == 0) {
            return solver.nibble;
        }
    }
    return 0;
}
