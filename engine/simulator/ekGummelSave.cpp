// Saving a converged Gummel point: the same per-point quantities as a
// Newton point, from the three separate arrays.
#include "ekSimulator.h"
#include "nuSigma.h"

void ekSimulator::transportSaveGummel(double* V, double* Fn, double* Fp, int sweepFlags)
{
    if (prevPoint == 0 || V == nullptr || Fn == nullptr || Fp == nullptr || mesh.sol.V == nullptr) {
        return;
    }
    storeSolution(V, Fn, Fp);
    if (sigma->saveFull) {
        saveDist(nullptr, TAG_EN, -1, sweepFlags);
    }
}
