// The per-layer Lua models of ekLayer: script setters and the evaluators
// that the structure set-up calls at each mesh point. The shared steps live
// in runLuaModel and in the model table (ekLuaModels); each evaluator only
// prepares its inputs, checks its results and applies them.
#include "ekLayer.h"

#include <cmath>
#include <cwchar>
#include <initializer_list>
#include <iterator>
#include <string>

#include "LuaEngineCore.h"
#include "ekHelpers.h"
#include "ekLevel.h"
#include "ekLuaModels.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

// Below this a density counts as absent; a level model's positive density
// under it is raised to it (graded doping scripts may go much lower).
constexpr double DENSITY_FLOOR = 1e6;
constexpr double GRADED_DENSITY_FLOOR = 1e-6;

// Results of the level models (doping, trap), as the scripts return them.
enum LevelSlot { NA = 0, ND, NR, TAUN, TAUP, ENERGY, DEGENERACY, LEVEL_SLOTS };

std::wstring num(double v) { return nu_numberText(v); }

// "[INFO]    <model> from Lua model (z = ... um): "
std::wstring infoHead(const wchar_t* model, double z)
{
    return std::wstring(L"[INFO]    ") + model + L" from Lua model (z = " + ek_luaPosition(z) +
           L" um): ";
}

// The long form of a level model's refusal, listing where and what.
std::wstring levelRefusal(const wchar_t* head, double z, const double* r)
{
    return std::wstring(head) + L":  z = " + ek_luaPosition(z) + L" um   Na = " + num(r[NA]) +
           L" 1/cm3   Nd = " + num(r[ND]) + L" 1/cm3";
}

// Net level of an acceptor and a donor density: the larger one wins.
void netLevel(double na, double nd, double floor, uint8_t* type, double* N)
{
    if (na > 0.0 && na < floor) {
        na = floor;
    }
    if (nd > 0.0 && nd < floor) {
        nd = floor;
    }
    if (na > nd) {
        *type = ekLevel::TYPE_ACCEPTOR;
        *N = na - nd;
    } else {
        *type = ekLevel::TYPE_DONOR;
        *N = nd - na;
    }
}

// Script-side presets of a level: acceptor density in Na, donor in Nd.
void levelPresets(const ekLevel* level, double* r)
{
    const bool acceptor = level->getType() == ekLevel::TYPE_ACCEPTOR;
    r[NA] = acceptor ? level->getN() : 0.0;
    r[ND] = acceptor ? 0.0 : level->getN();
    r[NR] = level->getNr();
    r[TAUN] = level->getTn();
    r[TAUP] = level->getTp();
    r[ENERGY] = level->getE();
    r[DEGENERACY] = level->getF();
}

void levelOwnValues(const ekLevel* level, uint8_t* type, double* N, double* Nr, double* E,
                    double* W, double* taun, double* taup, double* F)
{
    *type = level->getType();
    *N = level->getN();
    *Nr = level->getNr();
    *E = level->getE();
    *W = level->getW();
    *taun = level->getTn();
    *taup = level->getTp();
    *F = level->getF();
}

bool anyNull(std::initializer_list<const void*> pointers)
{
    for (const void* p : pointers) {
        if (!p) {
            return true;
        }
    }
    return false;
}

}  // namespace

// ---- setters ----------------------------------------------------------------

bool ekLayer::updateScript(ModelKind kind, const wchar_t* fileName, bool report)
{
    if (kind < 0 || kind >= MODEL_COUNT || isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    script[kind][0] = L'\0';
    scriptActive[kind] = false;
    if (!fileName || !*fileName) {
        return true;
    }

    const ekLuaModel& model = ek_luaModel(kind);
    const size_t length = std::wcslen(fileName);
    if (length >= PATH_SIZE) {
        reportError(model.invalidModel);
        return false;
    }
    if (length > 4 && std::wcscmp(fileName + length - 4, L".lua") == 0) {
        kov_copyW(script[kind], PATH_SIZE, fileName);
        scriptActive[kind] = true;
    } else if (report) {
        // 255 characters as printed, tag included.
        wchar_t line[256 - nuSigma::ERROR_TAG.size()];
        std::swprintf(line, std::size(line), model.invalidModelNamed, fileName);
        line[std::size(line) - 1] = L'\0';
        reportError(line);
    }
    return scriptActive[kind];
}

bool ekLayer::updateMobilityScript(const wchar_t* f, bool r)
{
    return updateScript(MODEL_MOBILITY, f, r);
}
bool ekLayer::updateBandgapScript(const wchar_t* f, bool r)
{
    return updateScript(MODEL_BANDGAP, f, r);
}
bool ekLayer::updatePermittivityScript(const wchar_t* f, bool r)
{
    return updateScript(MODEL_PERMITTIVITY, f, r);
}
bool ekLayer::updateDopingScript(const wchar_t* f, bool r)
{
    return updateScript(MODEL_DOPING, f, r);
}
bool ekLayer::updateTrapScript(const wchar_t* f, bool r) { return updateScript(MODEL_TRAP, f, r); }
bool ekLayer::updateRecombinationScript(const wchar_t* f, bool r)
{
    return updateScript(MODEL_RECOMBINATION, f, r);
}
bool ekLayer::updateLatticeScript(const wchar_t* f, bool r)
{
    return updateScript(MODEL_LATTICE, f, r);
}

bool ekLayer::isScriptInfoPrinted(ModelKind kind) const
{
    return kind >= 0 && kind < MODEL_COUNT && scriptInfoPrinted[kind];
}

// ---- shared steps -------------------------------------------------------------

ekLayer::LuaRun ekLayer::runLuaModel(ModelKind kind, double z, double step, const double* inputs,
                                     double* results, double* graded)
{
    if (isBlocked()) {
        return LuaRun::Failed;
    }
    const ekLuaModel& model = ek_luaModel(kind);
    if (step > z) {
        scriptGraded[kind] = true;
    }

    const bool hasScript =
        script[kind][0] != L'\0' && (!model.needsScriptFlag || scriptActive[kind]);
    if (!hasScript || !luaEngine || !ek_isLuaScriptUsable(script[kind])) {
        updateScript(kind, nullptr, false);
        scriptGraded[kind] = false;
        return LuaRun::OwnValues;
    }
    if (ek_runLuaModel(kind, luaEngine, sigma, script[kind], inputs, results, graded) !=
        ekLuaOutcome::Done) {
        return LuaRun::Failed;
    }
    return LuaRun::Done;
}

bool ekLayer::wantsLuaInfo(ModelKind kind, bool first) const
{
    return first && !scriptInfoPrinted[kind] && sigma->isVerbose();
}

void ekLayer::reportLuaInfo(ModelKind kind, const wchar_t* line)
{
    reportInfo(line);
    scriptInfoPrinted[kind] = true;
}

bool ekLayer::levelResultsValid(ModelKind kind, double z, const double* results) const
{
    if (ek_luaResultsInRange(kind, results)) {
        return true;
    }
    const wchar_t* head = kind == MODEL_DOPING ? L"invalid doping parameters (Lua model)"
                                               : L"invalid trap parameters (Lua model)";
    if (sigma->debug) {
        reportError(levelRefusal(head, z, results));
    } else {
        reportError(head);
    }
    return false;
}

// ---- evaluators ---------------------------------------------------------------

bool ekLayer::updateMobilityLua(double z, double step, double thick, double* mobn, double* mobp)
{
    if (anyNull({mobn, mobp})) {
        return false;
    }
    const double inputs[] = {z, thick, T, dopant ? dopant->getN() : 0.0};
    double r[2] = {Mobn, Mobp};
    double graded = 0.0;
    const LuaRun run = runLuaModel(MODEL_MOBILITY, z, step, inputs, r, &graded);
    if (run == LuaRun::Failed) {
        return false;
    }
    if (run == LuaRun::OwnValues) {
        *mobn = Mobn;
        *mobp = Mobp;
        return true;
    }
    if (!ek_luaResultsInRange(EK_LUA_MOBILITY, r)) {
        reportError(L"invalid mobility (Lua model)");
        return false;
    }
    *mobn = r[0];
    *mobp = r[1];
    scriptGraded[MODEL_MOBILITY] = ek_isEqual(graded, 1.0);
    const bool first = step > z;
    if (first) {
        Mobn = r[0];
        Mobp = r[1];
    }
    if (wantsLuaInfo(MODEL_MOBILITY, first)) {
        reportLuaInfo(MODEL_MOBILITY, (infoHead(L"mobility", z) + L"(" + num(r[0]) + L"   " +
                                       num(r[1]) + L") cm2/Vs\n")
                                          .c_str());
    }
    return true;
}

bool ekLayer::updateBandgapLua(double z, double step, double thick, double* eg, double* chi,
                               double* nc, double* nv, bool* ownValues)
{
    if (anyNull({eg, chi, nc, nv, ownValues})) {
        return false;
    }
    const double inputs[] = {z, thick, T, dopant ? dopant->getN() : 0.0};
    double r[4] = {Eg, Chi, NC, NV};
    double graded = 0.0;
    const LuaRun run = runLuaModel(MODEL_BANDGAP, z, step, inputs, r, &graded);
    if (run == LuaRun::Failed) {
        return false;
    }
    if (run == LuaRun::OwnValues) {
        *eg = Eg;
        *chi = Chi;
        *nc = NC;
        *nv = NV;
        *ownValues = true;
        return true;
    }
    if (!ek_luaResultsInRange(EK_LUA_BANDGAP, r)) {
        reportError((L"invalid bandgap parameters (Lua model): Eg = " + num(r[0]) +
                     L" eV   Chi = " + num(r[1]) + L" eV   NC = " + num(r[2]) + L" 1/cm3   NV = " +
                     num(r[3]) + L"1/cm3"));
        return false;
    }
    *eg = r[0];
    *chi = r[1];
    *nc = r[2];
    *nv = r[3];
    *ownValues = false;
    scriptGraded[MODEL_BANDGAP] = ek_isEqual(graded, 1.0);
    const bool first = step > z;
    if (first && !updateEnergy(r[0], r[1], r[2], r[3])) {
        return false;
    }
    if (wantsLuaInfo(MODEL_BANDGAP, first)) {
        reportLuaInfo(MODEL_BANDGAP, (infoHead(L"bandgap", z) + L"(Eg   Chi) = (" + num(r[0]) +
                                      L"   " + num(r[1]) + L") eV   (NC   NV) = (" + num(r[2]) +
                                      L"   " + num(r[3]) + L") 1/cm3\n")
                                         .c_str());
    }
    return true;
}

bool ekLayer::updatePermittivityLua(double z, double step, double thick, double* eps)
{
    if (!eps) {
        return false;
    }
    const double inputs[] = {z, thick, T};
    double r[1] = {Eps};
    double graded = 0.0;
    const LuaRun run = runLuaModel(MODEL_PERMITTIVITY, z, step, inputs, r, &graded);
    if (run == LuaRun::Failed) {
        return false;
    }
    if (run == LuaRun::OwnValues) {
        *eps = Eps;
        return true;
    }
    if (!ek_luaResultsInRange(EK_LUA_PERMITTIVITY, r)) {
        reportError(L"invalid permittivity (Lua model)");
        return false;
    }
    *eps = r[0];
    scriptGraded[MODEL_PERMITTIVITY] = ek_isEqual(graded, 1.0);
    const bool first = step > z;
    if (first && !updatePermittivity(r[0])) {
        return false;
    }
    if (wantsLuaInfo(MODEL_PERMITTIVITY, first)) {
        reportLuaInfo(MODEL_PERMITTIVITY,
                      (infoHead(L"permittivity", z) + L"Eps = " + num(r[0]) + L"\n").c_str());
    }
    return true;
}

bool ekLayer::updateDopantLua(double z, double step, double thick, uint8_t* type, double* N,
                              double* Nr, double* E, double* W, double* taun, double* taup,
                              double* F)
{
    if (anyNull({type, N, Nr, E, W, taun, taup, F}) || !dopant) {
        return false;
    }
    const double inputs[] = {z, thick};
    double r[LEVEL_SLOTS];
    levelPresets(dopant, r);
    double graded = 0.0;
    const LuaRun run = runLuaModel(MODEL_DOPING, z, step, inputs, r, &graded);
    if (run == LuaRun::Failed) {
        return false;
    }
    if (run == LuaRun::OwnValues) {
        levelOwnValues(dopant, type, N, Nr, E, W, taun, taup, F);
        return true;
    }
    // A graded profile may fall far below the usual density floor.
    const bool isGraded = ek_isEqual(graded, 1.0);
    scriptGraded[MODEL_DOPING] = isGraded;
    if (!levelResultsValid(MODEL_DOPING, z, r)) {
        return false;
    }

    uint8_t netType = 0;
    double netN = 0.0;
    netLevel(r[NA], r[ND], isGraded ? GRADED_DENSITY_FLOOR : DENSITY_FLOOR, &netType, &netN);
    const double degeneracy = std::round(r[DEGENERACY]);
    *type = netType;
    *N = netN;
    *Nr = r[NR];
    *E = r[ENERGY];
    *taun = r[TAUN];
    *taup = r[TAUP];
    *F = degeneracy;
    if (!updateDopant(netType, netN, r[NR], r[ENERGY], 0.0, r[TAUN], r[TAUP], degeneracy)) {
        return false;
    }
    if (wantsLuaInfo(MODEL_DOPING, step > z)) {
        reportLuaInfo(MODEL_DOPING, (infoHead(L"doping", z) + num(netN) + L"  1/cm3\n").c_str());
    }
    return true;
}

bool ekLayer::updateTrapLua(double z, double step, double thick, int index, uint8_t* type,
                            double* N, double* Nr, double* E, double* W, double* taun, double* taup,
                            double* F)
{
    if (anyNull({type, N, Nr, E, W, taun, taup, F}) || isBlocked()) {
        return false;
    }
    ekLevel* trap = getTrap(index);
    if (!trap) {
        return false;
    }
    const double inputs[] = {static_cast<double>(index), z, thick};
    double r[LEVEL_SLOTS];
    levelPresets(trap, r);
    double graded = 0.0;
    const LuaRun run = runLuaModel(MODEL_TRAP, z, step, inputs, r, &graded);
    if (run == LuaRun::Failed) {
        return false;
    }
    if (run == LuaRun::OwnValues) {
        levelOwnValues(trap, type, N, Nr, E, W, taun, taup, F);
        *W = 0.0;
        return true;
    }
    if (!levelResultsValid(MODEL_TRAP, z, r)) {
        return false;
    }

    const bool first = step > z;
    const double degeneracy = std::round(r[DEGENERACY]);
    *Nr = r[NR];
    *E = r[ENERGY];
    *W = 0.0;
    *taun = r[TAUN];
    *taup = r[TAUP];
    *F = degeneracy;
    if (r[NA] < DENSITY_FLOOR && r[ND] < DENSITY_FLOOR) {
        // No trap at this point: the layer's trap keeps its kind and, at the
        // first point, takes the empty density (the dopant is never touched).
        *type = trap->getType();
        *N = 0.0;
        scriptGraded[MODEL_TRAP] = ek_isEqual(graded, 1.0);
        if (first && !updateTrap(index, trap->getType(), 0.0, r[NR], r[ENERGY], trap->getW(),
                                 r[TAUN], r[TAUP], degeneracy)) {
            return false;
        }
        return true;
    }
    uint8_t netType = 0;
    double netN = 0.0;
    netLevel(r[NA], r[ND], DENSITY_FLOOR, &netType, &netN);
    *type = netType;
    *N = netN;
    scriptGraded[MODEL_TRAP] = ek_isEqual(graded, 1.0);
    if (first && !updateTrap(index, netType, netN, r[NR], r[ENERGY], trap->getW(), r[TAUN], r[TAUP],
                             degeneracy)) {
        return false;
    }
    if (wantsLuaInfo(MODEL_TRAP, first)) {
        reportLuaInfo(MODEL_TRAP, (L"[INFO]    trap from Lua model: " + num(netN) +
                                   L" 1/cm3 @ z = " + ek_luaPosition(z) + L" um\n")
                                      .c_str());
    }
    return true;
}

bool ekLayer::updateRecombinationLua(double z, double step, double thick, double* beta, double* cn,
                                     double* cp, double* taun, double* taup)
{
    if (anyNull({beta, cn, cp, taun, taup})) {
        return false;
    }
    const double inputs[] = {z, thick};
    double r[5] = {Beta, Cn, Cp, Taun, Taup};
    double graded = 0.0;
    const LuaRun run = runLuaModel(MODEL_RECOMBINATION, z, step, inputs, r, &graded);
    if (run == LuaRun::Failed) {
        return false;
    }
    const auto values = [&r] {
        return L"Beta = " + num(r[0]) + L" cm3/s   Cn = " + num(r[1]) + L" cm6/s   Cp = " +
               num(r[2]) + L" cm6/s   Taun = " + num(r[3]) + L" s   Taup = " + num(r[4]) + L" s";
    };
    if (run == LuaRun::OwnValues) {
        *beta = Beta;
        *cn = Cn;
        *cp = Cp;
        *taun = Taun;
        *taup = Taup;
        return true;
    }
    if (!ek_luaResultsInRange(EK_LUA_RECOMBINATION, r)) {
        reportError(L"invalid recombination parameters (Lua model): " + values());
        return false;
    }
    *beta = r[0];
    *cn = r[1];
    *cp = r[2];
    *taun = r[3];
    *taup = r[4];
    scriptGraded[MODEL_RECOMBINATION] = ek_isEqual(graded, 1.0);
    const bool first = step > z;
    if (first && !updateRecomb(r[0], r[1], r[2], r[3], r[4])) {
        return false;
    }
    if (wantsLuaInfo(MODEL_RECOMBINATION, first)) {
        reportLuaInfo(MODEL_RECOMBINATION,
                      (infoHead(L"recombination", z) + values() + L"\n").c_str());
    }
    return true;
}

bool ekLayer::updateLatticeLua(double z, double step, double thick, double* a, double* e31,
                               double* e33, double* c13, double* c33, double* psp)
{
    if (anyNull({a, e31, e33, c13, c33, psp})) {
        return false;
    }
    const double inputs[] = {z, thick};
    double r[6] = {LatticeA, LatticeE31, LatticeE33, LatticeC13, LatticeC33, Psp};
    double graded = 0.0;
    const LuaRun run = runLuaModel(MODEL_LATTICE, z, step, inputs, r, &graded);
    if (run == LuaRun::Failed) {
        return false;
    }
    if (run == LuaRun::OwnValues) {
        *a = LatticeA;
        *e31 = LatticeE31;
        *e33 = LatticeE33;
        *c13 = LatticeC13;
        *c33 = LatticeC33;
        *psp = Psp;
        return true;
    }
    const auto values = [&r] {
        return L"a = " + num(r[0]) + L" nm   e31 = " + num(r[1]) + L" C/m2   e33 = " + num(r[2]) +
               L" C/m2   c13 = " + num(r[3]) + L" GPa   c33 = " + num(r[4]) + L" GPa   Psp = " +
               num(r[5]) + L" C/m2";
    };
    if (!ek_luaResultsInRange(EK_LUA_LATTICE, r)) {
        reportError((L"invalid lattice parameters (Lua model): z = " + ek_luaPosition(z) +
                     L" um   " + values()));
        return false;
    }
    *a = r[0];
    *e31 = r[1];
    *e33 = r[2];
    *c13 = r[3];
    *c33 = r[4];
    *psp = r[5];
    scriptGraded[MODEL_LATTICE] = ek_isEqual(graded, 1.0);
    const bool first = step > z;
    if (first && !updateLattice(latticeType, r[0], LatticeB, LatticeC, r[1], r[2], LatticeC11,
                                LatticeC12, r[3], r[4], r[5])) {
        return false;
    }
    if (wantsLuaInfo(MODEL_LATTICE, first)) {
        reportLuaInfo(MODEL_LATTICE, (infoHead(L"lattice", z) + values() + L"\n").c_str());
    }
    return true;
}
