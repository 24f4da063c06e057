#include "ekSolutionTotals.h"

#include <initializer_list>

#include "ekPointPhysics.h"

void ekSolutionTotals::begin()
{
    chargePlus = chargeMinus = 0.0;
    chargeLeft = chargeRight = 0.0;
    terminalCurrent = 0.0;
    terminalScale = -1.0;
}

void ekSolutionTotals::finish(int points)
{
    meanCurrent = terminalCurrent;
    if (!hasDepletionPlane(points)) {
        return;
    }
    for (double side : {chargeLeft, chargeRight}) {
        (side > 0.0 ? chargePlus : chargeMinus) += side;
    }
}

void ekSolutionTotals::locateDepletionPlane(const ekMeshFields& fields, const double* V, int points)
{
    depletionPlane = -1;
    if (V == nullptr || fields.mat.niRef == nullptr || points < 2) {
        return;
    }
    double fewest = 0.0;
    for (int k = 0; k < points; ++k) {
        const double carriers =
            ek_electronDensity(fields, V[k], 0.0, k) + ek_holeDensity(fields, V[k], 0.0, k);
        if (depletionPlane < 0 || carriers < fewest) {
            fewest = carriers;
            depletionPlane = k;
        }
    }
}
