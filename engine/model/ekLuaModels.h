// The per-layer Lua models (and the optical index model of a region) as one
// table: function name, messages, result ranges and result scaling. One
// routine, ek_runLuaModel, reads the script file, calls the model function
// through the device's Lua engine and reports file, call and status
// failures; the layer and region code only checks and applies the results.
#pragma once

#include <cstddef>
#include <string>

class LuaEngineCore;
class nuSigma;

struct ekLuaRange {
    double low;
    double high;
};

struct ekLuaModel {
    const char* function;              // global function the script defines
    const wchar_t* invalidModel;       // setter: name too long
    const wchar_t* invalidModelNamed;  // setter: name refused, %ls = the name
    const wchar_t* callPrefix;         // before the engine's message
    const wchar_t* statusFalse;        // script returned status false; null: not tested
    const wchar_t* cannotOpen;
    const wchar_t* noMemory;
    const wchar_t* cannotRead;
    bool needsScriptFlag;  // the script counts only with its isScript flag
    int inputCount;
    int resultCount;  // including the trailing graded slot
    // Valid range and script-side scale of each result but the graded one.
    // The script sees value * scale; its result is divided by it again.
    ekLuaRange range[7];
    double scale[7];
};

// Indices into the table: the layer models in the order of their fields,
// then the region's optical index model.
enum ekLuaModelId {
    EK_LUA_MOBILITY = 0,
    EK_LUA_BANDGAP,
    EK_LUA_PERMITTIVITY,
    EK_LUA_DOPING,
    EK_LUA_TRAP,
    EK_LUA_RECOMBINATION,
    EK_LUA_LATTICE,
    EK_LUA_INDEX,
    EK_LUA_MODEL_COUNT
};

const ekLuaModel& ek_luaModel(int id);

// Script files outside these sizes are not model scripts (missing, empty
// or absurd).
constexpr long long EK_LUA_SCRIPT_MIN = 10;
constexpr long long EK_LUA_SCRIPT_MAX = 67108864;

// A script name the engine evaluates: contains ".lua" and names a file of
// 10 bytes to 64 MiB.
bool ek_isLuaScriptUsable(const wchar_t* path);

enum class ekLuaOutcome { Failed, Done };

// Reads the script file (once per engine), calls the model function with
// the inputs and fills results. On entry results hold the current values
// (unscaled); on Done they hold the script's values (unscaled) and
// *graded the last slot. Every failure is an error line on sigma.
ekLuaOutcome ek_runLuaModel(int id, LuaEngineCore* engine, nuSigma* sigma, const wchar_t* path,
                            const double* inputs, double* results, double* graded);

// True when every result but the graded one lies in its range (NaN never).
bool ek_luaResultsInRange(int id, const double* results);

// A position as the model lines print it (0 below 1e-9 um).
std::wstring ek_luaPosition(double z);
