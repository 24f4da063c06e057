// Numeric settings of one run and the relaxation ladders of the iteration
// driver.
#include "nuParam.h"

#include <cmath>
#include <cwchar>

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
constexpr double RELTOL_MIN = 1e-12;
constexpr double RELTOL_MAX = 0.1;
// 0 switches damping off; the bias ramp asks for 0.1 / step, up to 100.
constexpr double DAMP_MIN = 0.0;
constexpr double DAMP_MAX = 1000.0;
constexpr uint8_t MESH_BITS = nuParam::MESH_UNIFORM | nuParam::MESH_LAYER | nuParam::MESH_EXACT;

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
    method = METHOD_NEWTON;
    solver = 0x81;  // tfqmr with ILU, the device file's default
    damp = DAMP[0];
    dampMode = 0;
    lastError = 1.0;
    mesh = MESH_LAYER;
    points = 0;
    maxiter = 100;
    reltol = RELTOL[4];
    std::wmemset(outDir, L'\0', sizeof outDir / sizeof outDir[0]);
    outDirDate = false;
    plot = false;
    ticMs_ = kov_clockMs();
}

void nuParam::Tic()
{
    ticMs_ = kov_clockMs();
}

double nuParam::Toc() const
{
    return kov_clockMs() - ticMs_;
}

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

void nuParam::increaseReltol()
{
    reltol = nextAbove(RELTOL, ARRLEN, reltol);
}

void nuParam::increaseDamp()
{
    damp = nextAbove(DAMP, ARRLEN, damp);
}

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
    switch (solver & 0xF0) {
    case 0x10: return L"tridiag";
    case 0x20: return L"bicgstab";
    case 0x30: return L"bicgstabl";
    case 0x40: return L"bicgsafe";
    case 0x50: return L"gmres";
    case 0x60: return L"fgmres";
    case 0x70: return L"minres";
    case 0x80: return L"tfqmr";
    case 0x90: return L"bicrstab";
    default: return L"bicgstab";
    }
}
