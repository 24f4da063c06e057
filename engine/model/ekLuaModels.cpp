#include "ekLuaModels.h"

#include <cwchar>
#include <string>

#include "LuaEngineCore.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr ekLuaRange DENSITY_RANGE{0.0, 1e22};
constexpr ekLuaRange REFERENCE_RANGE{1e6, 1e22};
constexpr ekLuaRange LIFETIME_RANGE{1e-15, 1000.0};
constexpr ekLuaRange LEVEL_ENERGY_RANGE{0.0, 20.0};
constexpr ekLuaRange DEGENERACY_RANGE{1.0, 16.0};
constexpr ekLuaRange NO_RANGE{0.0, 0.0};

#define EK_UNSCALED         \
    {                       \
        1, 1, 1, 1, 1, 1, 1 \
    }

// Results of the level models (doping, trap): Na, Nd, Nr, Taun, Taup, E, F.
#define EK_LEVEL_RANGES                                                                \
    {                                                                                  \
        DENSITY_RANGE, DENSITY_RANGE, REFERENCE_RANGE, LIFETIME_RANGE, LIFETIME_RANGE, \
            LEVEL_ENERGY_RANGE, DEGENERACY_RANGE                                       \
    }

const ekLuaModel MODELS[EK_LUA_MODEL_COUNT] = {
    {"kov_mobility",
     L"invalid mobility model",
     L"invalid mobility model: %ls",
     L"mobility model: ",
     L"mobility model: returned status false",
     L"cannot open the mobility model",
     L"insufficient memory for the mobility file",
     L"cannot read the mobility file",
     false,
     4,
     3,
     {{0.001, 1e5}, {0.001, 1e5}, NO_RANGE, NO_RANGE, NO_RANGE, NO_RANGE, NO_RANGE},
     EK_UNSCALED},
    {"kov_bandgap",
     L"invalid bandgap model",
     L"invalid bandgap model: %ls",
     L"bandgap model: ",
     L"bandgap model: returned status false",
     L"cannot open the bandgap file",
     L"insufficient memory for the bandgap model",
     L"cannot read the bandgap file",
     true,
     4,
     5,
     {{0.001, 20}, {0.001, 20}, {1e6, 1e24}, {1e6, 1e24}, NO_RANGE, NO_RANGE, NO_RANGE},
     EK_UNSCALED},
    {"kov_permittivity",
     L"invalid permittivity model",
     L"invalid permittivity model: %ls",
     L"permittivity model: ",
     L"permittivity model: returned status false",
     L"cannot open the permittivity file",
     L"insufficient memory for the permittivity model",
     L"cannot read the permittivity file",
     false,
     3,
     2,
     {{1, 100}, NO_RANGE, NO_RANGE, NO_RANGE, NO_RANGE, NO_RANGE, NO_RANGE},
     EK_UNSCALED},
    // The doping model's trailing status is not looked at.
    {"kov_doping", L"invalid doping model", L"invalid doping model: %ls", L"doping model: ",
     nullptr, L"cannot open the doping file", L"insufficient memory for the doping model",
     L"cannot read the doping file", false, 2, 8, EK_LEVEL_RANGES, EK_UNSCALED},
    {"kov_trap", L"invalid trap model", L"invalid trap model: %ls", L"trap model: ",
     L"trap model: returned status false", L"cannot open the trap file",
     L"insufficient memory for the trap model", L"cannot read the trap file", false, 3, 8,
     EK_LEVEL_RANGES, EK_UNSCALED},
    {"kov_recombination",
     L"invalid recombination model",
     L"invalid recombination model: %ls",
     L"recombination model: ",
     L"recombination model: returned status false",
     L"cannot open the recombination file",
     L"insufficient memory for the recombination model",
     L"cannot read the recombination file",
     true,
     2,
     6,
     {{1e-22, 1e-6},
      {1e-48, 1e-9},
      {1e-48, 1e-9},
      LIFETIME_RANGE,
      LIFETIME_RANGE,
      NO_RANGE,
      NO_RANGE},
     EK_UNSCALED},
    // Scripts work in thousandths of the layer's unit for e31, e33 and Psp.
    {"kov_lattice",
     L"invalid lattice model",
     L"invalid lattice model: %ls",
     L"lattice model: ",
     L"lattice model: returned status false",
     L"cannot open the lattice file",
     L"insufficient memory for the lattice model",
     L"cannot read the lattice file",
     true,
     2,
     7,
     {{0.1, 1}, {-10, 10}, {-10, 10}, {0, 1e4}, {0, 1e4}, {-10, 10}, NO_RANGE},
     {1, 1000, 1000, 1, 1, 1000, 1}},
    {"kov_index",
     L"invalid index filename",
     L"invalid index model: %ls",
     L"index model: ",
     L"index model: returned status false",
     L"cannot open the index file",
     L"insufficient memory for the index model",
     L"cannot read the index file",
     false,
     4,
     3,
     {{0, 100}, {0, 100}, NO_RANGE, NO_RANGE, NO_RANGE, NO_RANGE, NO_RANGE},
     EK_UNSCALED},
};

#undef EK_UNSCALED
#undef EK_LEVEL_RANGES

// The engine's message without its own "[ERROR]   " tag, at most 192
// characters, so the model's prefix reads as one line.
std::wstring engineMessage(const LuaEngineCore* engine)
{
    std::wstring text = engine->getMessage();
    const size_t tag = text.find(nuSigma::ERROR_TAG);
    if (tag != std::wstring::npos) {
        text = text.substr(tag + nuSigma::ERROR_TAG.size());
    }
    if (text.size() > 192) {
        text.resize(192);
    }
    return text;
}

}  // namespace

const ekLuaModel& ek_luaModel(int id)
{
    if (id < 0 || id >= EK_LUA_MODEL_COUNT) {
        id = EK_LUA_MOBILITY;
    }
    return MODELS[id];
}

bool ek_isLuaScriptUsable(const wchar_t* path)
{
    if (!path || !*path || !std::wcsstr(path, L".lua")) {
        return false;
    }
    const long long size = kov_getFileSizeW(path);
    return size >= EK_LUA_SCRIPT_MIN && size <= EK_LUA_SCRIPT_MAX;
}

ekLuaOutcome ek_runLuaModel(int id, LuaEngineCore* engine, nuSigma* sigma, const wchar_t* path,
                            const double* inputs, double* results, double* graded)
{
    const ekLuaModel& model = ek_luaModel(id);
    if (!engine || !sigma) {
        return ekLuaOutcome::Failed;
    }

    int fileError = 0;
    const std::string* text = engine->scriptText(path, &fileError);
    if (!text) {
        sigma->error(fileError == 2   ? model.noMemory
                     : fileError == 3 ? model.cannotRead
                                      : model.cannotOpen);
        return ekLuaOutcome::Failed;
    }

    const int resultCount = model.resultCount;
    double slots[LuaEngineCore::MAX_OUTPUTS] = {};
    for (int i = 0; i < resultCount - 1; ++i) {
        slots[i] = results[i] * model.scale[i];
    }
    double* out[LuaEngineCore::MAX_OUTPUTS] = {};
    for (int i = 0; i < resultCount; ++i) {
        out[i] = &slots[i];
    }
    const double* in[LuaEngineCore::MAX_INPUTS] = {};
    for (int i = 0; i < model.inputCount; ++i) {
        in[i] = &inputs[i];
    }

    int status = 1;
    if (!engine->call(text->c_str(), model.function, in, out, &status)) {
        // The script is named: a device may run several of them.
        sigma->error(model.callPrefix + engineMessage(engine) + L" (script \"" + path + L"\")");
        return ekLuaOutcome::Failed;
    }
    if (model.statusFalse && status == 0) {
        sigma->error(model.statusFalse);
        return ekLuaOutcome::Failed;
    }
    for (int i = 0; i < resultCount - 1; ++i) {
        results[i] = slots[i] / model.scale[i];
    }
    if (graded) {
        *graded = slots[resultCount - 1];
    }
    return ekLuaOutcome::Done;
}

bool ek_luaResultsInRange(int id, const double* results)
{
    const ekLuaModel& model = ek_luaModel(id);
    for (int i = 0; i < model.resultCount - 1; ++i) {
        const ekLuaRange& r = model.range[i];
        if (!(results[i] >= r.low && results[i] <= r.high)) {
            return false;
        }
    }
    return true;
}

std::wstring ek_luaPosition(double z) { return nu_numberText(z < 1e-9 ? 0.0 : z); }
