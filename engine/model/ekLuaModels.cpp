#include "ekLuaModels.h"

#include <cwchar>
#include <string>

#include "LuaEngineCore.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr ekLuaRange kDensity{0.0, 1e22};
constexpr ekLuaRange kReference{1e6, 1e22};
constexpr ekLuaRange kLifetime{1e-15, 1000.0};
constexpr ekLuaRange kLevelEnergy{0.0, 20.0};
constexpr ekLuaRange kDegeneracy{1.0, 16.0};
constexpr ekLuaRange kNone{0.0, 0.0};

#define EK_UNSCALED {1, 1, 1, 1, 1, 1, 1}

// Results of the level models (doping, trap): Na, Nd, Nr, Taun, Taup, E, F.
#define EK_LEVEL_RANGES {kDensity, kDensity, kReference, kLifetime, kLifetime, kLevelEnergy, kDegeneracy}

const ekLuaModel kModels[EK_LUA_MODEL_COUNT] = {
    {"kov_mobility", L"[ERROR]   invalid mobility model", L"[ERROR]   invalid mobility model: %ls",
     L"[ERROR]   mobility model: ", L"[ERROR]   mobility model: returned status false",
     L"[ERROR]   cannot open the mobility model", L"[ERROR]   insufficient memory for the mobility file",
     L"[ERROR]   cannot read the mobility file", false, 4, 3,
     {{0.001, 1e5}, {0.001, 1e5}, kNone, kNone, kNone, kNone, kNone}, EK_UNSCALED},
    {"kov_bandgap", L"[ERROR]   invalid bandgap model", L"[ERROR]   invalid bandgap model: %ls",
     L"[ERROR]   bandgap model: ", L"[ERROR]   bandgap model: returned status false",
     L"[ERROR]   cannot open the bandgap file", L"[ERROR]   insufficient memory for the bandgap model",
     L"[ERROR]   cannot read the bandgap file", true, 4, 5,
     {{0.001, 20}, {0.001, 20}, {1e6, 1e24}, {1e6, 1e24}, kNone, kNone, kNone}, EK_UNSCALED},
    {"kov_permittivity", L"[ERROR]   invalid permittivity model",
     L"[ERROR]   invalid permittivity model: %ls", L"[ERROR]   permittivity model: ",
     L"[ERROR]   permittivity model: returned status false",
     L"[ERROR]   cannot open the permittivity file",
     L"[ERROR]   insufficient memory for the permittivity model",
     L"[ERROR]   cannot read the permittivity file", false, 3, 2,
     {{1, 100}, kNone, kNone, kNone, kNone, kNone, kNone}, EK_UNSCALED},
    // The doping model's trailing status is not looked at.
    {"kov_doping", L"[ERROR]   invalid doping model", L"[ERROR]   invalid doping model: %ls",
     L"[ERROR]   doping model: ", nullptr, L"[ERROR]   cannot open the doping file",
     L"[ERROR]   insufficient memory for the doping model", L"[ERROR]   cannot read the doping file",
     false, 2, 8, EK_LEVEL_RANGES, EK_UNSCALED},
    {"kov_trap", L"[ERROR]   invalid trap model", L"[ERROR]   invalid trap model: %ls",
     L"[ERROR]   trap model: ", L"[ERROR]   trap model: returned status false",
     L"[ERROR]   cannot open the trap file", L"[ERROR]   insufficient memory for the trap model",
     L"[ERROR]   cannot read the trap file", false, 3, 8, EK_LEVEL_RANGES, EK_UNSCALED},
    {"kov_recombination", L"[ERROR]   invalid recombination model",
     L"[ERROR]   invalid recombination model: %ls", L"[ERROR]   recombination model: ",
     L"[ERROR]   recombination model: returned status false",
     L"[ERROR]   cannot open the recombination file",
     L"[ERROR]   insufficient memory for the recombination model",
     L"[ERROR]   cannot read the recombination file", true, 2, 6,
     {{1e-22, 1e-6}, {1e-48, 1e-9}, {1e-48, 1e-9}, kLifetime, kLifetime, kNone, kNone}, EK_UNSCALED},
    // Scripts work in thousandths of the layer's unit for e31, e33 and Psp.
    {"kov_lattice", L"[ERROR]   invalid lattice model", L"[ERROR]   invalid lattice model: %ls",
     L"[ERROR]   lattice model: ", L"[ERROR]   lattice model: returned status false",
     L"[ERROR]   cannot open the lattice file", L"[ERROR]   insufficient memory for the lattice model",
     L"[ERROR]   cannot read the lattice file", true, 2, 7,
     {{0.1, 1}, {-10, 10}, {-10, 10}, {0, 1e4}, {0, 1e4}, {-10, 10}, kNone},
     {1, 1000, 1000, 1, 1, 1000, 1}},
    {"kov_index", L"[ERROR]   invalid index filename", L"[ERROR]   invalid index model: %ls\n",
     L"[ERROR]   index model: ", L"[ERROR]   index model: returned status false",
     L"[ERROR]   cannot open the index file", L"[ERROR]   insufficient memory for the index model",
     L"[ERROR]   cannot read the index file", false, 4, 3,
     {{0, 100}, {0, 100}, kNone, kNone, kNone, kNone, kNone}, EK_UNSCALED},
};

#undef EK_UNSCALED
#undef EK_LEVEL_RANGES

void reportError(nuSigma* sigma, const std::wstring& text)
{
    if (sigma) sigma->update(text.c_str(), 1);
}

// The engine's message without its own "[ERROR]   " tag, at most 192
// characters, so the model's prefix reads as one line.
std::wstring engineMessage(const LuaEngineCore* engine)
{
    std::wstring text = engine->getMessage();
    const size_t tag = text.find(L"[ERROR]   ");
    if (tag != std::wstring::npos) text = text.substr(tag + 10);
    if (text.size() > 192) text.resize(192);
    return text;
}

}  // namespace

const ekLuaModel& ek_luaModel(int id)
{
    if (id < 0 || id >= EK_LUA_MODEL_COUNT) id = EK_LUA_MOBILITY;
    return kModels[id];
}

bool ek_isLuaScriptUsable(const wchar_t* path)
{
    if (!path || !*path || !std::wcsstr(path, L".lua")) return false;
    const long long size = kov_getFileSizeW(path);
    return size >= EK_LUA_SCRIPT_MIN && size <= EK_LUA_SCRIPT_MAX;
}

ekLuaOutcome ek_runLuaModel(int id, LuaEngineCore* engine, nuSigma* sigma, const wchar_t* path,
                            const double* inputs, double* results, double* graded)
{
    const ekLuaModel& model = ek_luaModel(id);
    if (!engine || !sigma) return ekLuaOutcome::Failed;

    int fileError = 0;
    const std::string* text = engine->scriptText(path, &fileError);
    if (!text) {
        reportError(sigma, fileError == 2 ? model.noMemory
                           : fileError == 3 ? model.cannotRead
                                            : model.cannotOpen);
        return ekLuaOutcome::Failed;
    }

    const int resultCount = model.resultCount;
    double slots[LuaEngineCore::MAX_OUTPUTS] = {};
    for (int i = 0; i < resultCount - 1; ++i) slots[i] = results[i] * model.scale[i];
    double* out[LuaEngineCore::MAX_OUTPUTS] = {};
    for (int i = 0; i < resultCount; ++i) out[i] = &slots[i];
    const double* in[LuaEngineCore::MAX_INPUTS] = {};
    for (int i = 0; i < model.inputCount; ++i) in[i] = &inputs[i];

    int status = 1;
    if (!engine->call(text->c_str(), model.function, in, out, &status)) {
        // The script is named: a device may run several of them.
        reportError(sigma, model.callPrefix + engineMessage(engine) + L" (script \"" + path + L"\")");
        return ekLuaOutcome::Failed;
    }
    if (model.statusFalse && status == 0) {
        reportError(sigma, model.statusFalse);
        return ekLuaOutcome::Failed;
    }
    for (int i = 0; i < resultCount - 1; ++i) results[i] = slots[i] / model.scale[i];
    if (graded) *graded = slots[resultCount - 1];
    return ekLuaOutcome::Done;
}

bool ek_luaResultsInRange(int id, const double* results)
{
    const ekLuaModel& model = ek_luaModel(id);
    for (int i = 0; i < model.resultCount - 1; ++i) {
        const ekLuaRange& r = model.range[i];
        if (!(results[i] >= r.low && results[i] <= r.high)) return false;
    }
    return true;
}

std::wstring ek_luaPosition(double z)
{
    return nu_numberText(z < 1e-9 ? 0.0 : z);
}
