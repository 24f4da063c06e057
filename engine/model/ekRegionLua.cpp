// The optical index of a region from a Lua model script (kov_index), run
// through the device's Lua engine with the shared model routine.
#include "ekRegion.h"

#include <string>

#include "LuaEngineCore.h"
#include "ekHelpers.h"
#include "ekLuaModels.h"
#include "nucore.h"

bool ekRegion::getIndexLua(double z, double thickness, double bandgap, double wavelength, double* n,
                           double* k, bool report)
{
    if (isBlocked() || !n || !k) {
        return false;
    }
    if (!indexScriptFirstCall) {
        indexScriptGraded = true;
    }

    if (!luaEngine || !ek_isLuaScriptUsable(indexScript)) {
        *n = indexN;
        *k = indexK;
        updateIndexScript(nullptr, false);
        indexScriptGraded = false;
        return true;
    }

    const double inputs[] = {z, thickness, bandgap, wavelength};
    double r[2] = {indexN, indexK};
    double graded = 1.0;
    if (ek_runLuaModel(EK_LUA_INDEX, luaEngine, sigma, indexScript, inputs, r, &graded) !=
        ekLuaOutcome::Done) {
        return false;
    }
    if (!ek_luaResultsInRange(EK_LUA_INDEX, r)) {
        reportError(L"invalid layer index (script)");
        return false;
    }
    *n = r[0];
    *k = r[1];
    const bool first = !indexScriptFirstCall;
    if (first) {
        indexN = r[0];
        indexK = r[1];
    }
    // Whether the index depends on the position is known once the whole
    // spectrum has been through the model.
    if (isIndexSpectrumAcquired()) {
        indexScriptGraded = ek_isEqual(graded, 1.0);
    }
    if (report && first && sigma->isVerbose()) {
        const std::wstring line = L"[INFO]    index from Lua model (z = " + ek_luaPosition(z) +
                                  L" um): (wl   n   k) = (" + nu_numberText(wavelength) + L"   " +
                                  nu_numberText(r[0]) + L"   " + nu_numberText(r[1]) + L")\n";
        reportInfo(line.c_str());
    }
    indexScriptFirstCall = true;
    return true;
}
