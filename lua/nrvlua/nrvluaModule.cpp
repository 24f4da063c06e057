// Entry of the nrvlua module: function table, constants, handle tables and
// the close-down that frees what scripts left alive.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "kovbase.h"
#include "nrvluaCheck.h"

namespace {

// Registry entries of the module besides the handle tables.
const char CLEANUP_KEY[] = "__gc_modules_cleanup";
// How many opens of the module this Lua state holds: the tables are made by
// the first and freed by the close of the last.
const char OPEN_COUNT_KEY[] = "nrvlua_open_count";

const char* const HANDLE_TABLES[] = {NRVLUA_TENSORS, NRVLUA_LAYERS, NRVLUA_NETWORKS, NRVLUA_OWNED};

// Table capacity the handle tables start with.
constexpr int HASH_TABLE_SIZE = 128;

// The 61 functions in the order scripts list them.
const char* const FUNCTION_ORDER[] = {"version",
                                      "randn",
                                      "rand",
                                      "milliseconds",
                                      "print_duration",
                                      "tensor_create",
                                      "tensor_from_table",
                                      "tensor_to_table",
                                      "tensor_reset",
                                      "tensor_set",
                                      "tensor_get",
                                      "tensor_size",
                                      "tensor_copy",
                                      "tensor_stats",
                                      "tensor_mean",
                                      "tensor_stddev",
                                      "tensor_max",
                                      "tensor_min",
                                      "tensor_normalize",
                                      "tensor_denormalize",
                                      "tensor_print",
                                      "tensor_save",
                                      "tensor_load",
                                      "tensor_destroy",
                                      "create",
                                      "set_log",
                                      "add_layer",
                                      "add_layer_conv",
                                      "get_layer_input_size",
                                      "get_layer_output_size",
                                      "summary",
                                      "compile",
                                      "reset_gradient",
                                      "propagate_forward",
                                      "loss",
                                      "propagate_backward",
                                      "update_parameters",
                                      "get_output",
                                      "argmax",
                                      "init_train",
                                      "get_train_input",
                                      "get_train_target",
                                      "get_train_output",
                                      "set_train_data",
                                      "train",
                                      "init_test",
                                      "get_test_input",
                                      "get_test_target",
                                      "get_test_output",
                                      "set_test_data",
                                      "predict",
                                      "get_best_epoch",
                                      "get_cost_train",
                                      "get_cost_validation",
                                      "get_accuracy",
                                      "destroy",
                                      "save_cost",
                                      "save",
                                      "load",
                                      "mnist_load_train",
                                      "mnist_load_test"};
constexpr int FUNCTION_COUNT = sizeof FUNCTION_ORDER / sizeof FUNCTION_ORDER[0];
static_assert(FUNCTION_COUNT == 61);

struct Constant {
    const char* name;
    int value;
};
const Constant CONSTANTS[] = {
    {"TENSOR_ZERO", 0},        {"TENSOR_RAND", 7},      {"ACTIVATION_NONE", 1},
    {"ACTIVATION_RELU", 2},    {"ACTIVATION_TANH", 4},  {"ACTIVATION_SIGMOID", 5},
    {"ACTIVATION_SOFTMAX", 6}, {"CRITERION_MSE", 1},    {"CRITERION_CCE", 2},
    {"CRITERION_MAE", 3},      {"CRITERION_HUL", 4},    {"OPTIMIZER_RMSPROP", 1},
    {"OPTIMIZER_RPROP", 2},    {"OPTIMIZER_ADAM", 3},   {"OPTIMIZER_ADAMAX", 4},
    {"VALIDATION_LOSS", 1},    {"VALIDATION_ARGMAX", 2}};

lua_CFunction findFunction(const char* name)
{
    for (const luaL_Reg* group :
         {nrvlua::tensorFunctions, nrvlua::networkFunctions, nrvlua::trainingFunctions}) {
        for (const luaL_Reg* r = group; r->name; ++r) {
            if (std::strcmp(r->name, name) == 0) {
                return r->func;
            }
        }
    }
    return nullptr;
}

const luaL_Reg* functionTable()
{
    static luaL_Reg table[FUNCTION_COUNT + 1] = {};
    if (!table[0].name) {
        for (int i = 0; i < FUNCTION_COUNT; ++i) {
            table[i] = {FUNCTION_ORDER[i], findFunction(FUNCTION_ORDER[i])};
        }
        table[FUNCTION_COUNT] = {nullptr, nullptr};
    }
    return table;
}

// The name a function's messages carry: families that share a body share it.
const char* messageName(const char* function)
{
    for (const char* statistic : {"tensor_stddev", "tensor_max", "tensor_min"}) {
        if (std::strcmp(function, statistic) == 0) {
            return "tensor_mean";
        }
    }
    if (std::strcmp(function, "set_train_data") == 0 ||
        std::strcmp(function, "set_test_data") == 0) {
        return "set_data";
    }
    return function;
}

// Every function runs behind this guard (its index in the table is the
// closure's upvalue): a C++ exception of the library, above all running out
// of memory, becomes the function's own failure message instead of reaching
// LuaJIT, which would only say "C++ exception". Lua's own errors pass: they
// are no std::exception. The message is raised after the handler has ended.
int guardedCall(lua_State* L)
{
    const luaL_Reg& entry = functionTable()[lua_tointeger(L, lua_upvalueindex(1))];
    char failure[512] = {};
    try {
        return entry.func(L);
    } catch (const std::bad_alloc&) {
        std::snprintf(failure, sizeof failure, "nrvlua.%s: failed: '%s'", messageName(entry.name),
                      KOV_NO_MEMORY);
    } catch (const std::exception& e) {
        std::snprintf(failure, sizeof failure, "nrvlua.%s: failed: '%s'", messageName(entry.name),
                      e.what());
    }
    Lua_error(L, "%s", failure);
}

int openCount(lua_State* L)
{
    lua_getfield(L, LUA_REGISTRYINDEX, OPEN_COUNT_KEY);
    const int count = int(lua_tointeger(L, -1));
    lua_pop(L, 1);
    return count;
}

void setOpenCount(lua_State* L, int count)
{
    lua_pushinteger(L, count);
    lua_setfield(L, LUA_REGISTRYINDEX, OPEN_COUNT_KEY);
}

// Destroys the table under key with the given destructor for its entries,
// and clears the key, so no later call can reach the freed table.
void closeTable(lua_State* L, const char* key, void (*destructor)(void*))
{
    lua_getfield(L, LUA_REGISTRYINDEX, key);
    auto* table = static_cast<kov_hash_table*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    if (table) {
        kov_hash_table_destroy(table, destructor);
    }
    lua_pushnil(L);
    lua_setfield(L, LUA_REGISTRYINDEX, key);
}

}  // namespace

int Lua_closeModule(lua_State* L)
{
    const int remaining = openCount(L) - 1;
    setOpenCount(L, remaining > 0 ? remaining : 0);
    if (remaining <= 0) {
        closeTable(L, NRVLUA_TENSORS, nrv_tensor_destroy);
        closeTable(L, NRVLUA_NETWORKS, nrv_destroy);
        // Layers and owned tensors went with their networks.
        closeTable(L, NRVLUA_LAYERS, nullptr);
        closeTable(L, NRVLUA_OWNED, nullptr);
    }
    nrv_close();
    return 0;
}

extern "C" __attribute__((visibility("default"))) int luaopen_nrvlua(lua_State* L)
{
    const luaL_Reg none[] = {{nullptr, nullptr}};
    luaL_register(L, "nrvlua", none);
    const int module = lua_gettop(L);
    const luaL_Reg* functions = functionTable();
    for (int i = 0; i < FUNCTION_COUNT; ++i) {
        lua_pushinteger(L, i);
        lua_pushcclosure(L, guardedCall, 1);
        lua_setfield(L, module, functions[i].name);
    }

    for (const Constant& c : CONSTANTS) {
        lua_getfield(L, LUA_GLOBALSINDEX, "nrvlua");
        if (lua_type(L, -1) == LUA_TTABLE) {
            lua_pushnumber(L, c.value);
            lua_setfield(L, -2, c.name);
        }
        lua_pop(L, 1);
    }

    // Sentinel: collected, and the library closed, with the module table or the state.
    lua_pushvalue(L, module);
    lua_newuserdata(L, 8);
    lua_createtable(L, 0, 1);
    lua_pushcclosure(L, Lua_closeModule, 0);
    lua_setfield(L, -2, "__gc");
    lua_setmetatable(L, -2);
    lua_getfield(L, LUA_REGISTRYINDEX, CLEANUP_KEY);
    if (lua_isnoneornil(L, -1)) {
        lua_pop(L, 1);
        lua_createtable(L, 0, 2);
        lua_pushstring(L, "v");
        lua_setfield(L, -2, "__mode");
        lua_pushvalue(L, -1);
        lua_setfield(L, -2, "__index");
        lua_pushvalue(L, -1);
        lua_setmetatable(L, -2);
        lua_pushvalue(L, -1);
        lua_setfield(L, LUA_REGISTRYINDEX, CLEANUP_KEY);
    }
    // Stack: module, module copy, sentinel, cleanup.
    lua_insert(L, -3);  // module, cleanup, module copy, sentinel
    lua_insert(L, -2);  // module, cleanup, sentinel, module copy
    lua_settable(L, -3);
    lua_settop(L, module);

    // A second open in the same state keeps the tables of the first: replacing
    // them would strand every handle already given out.
    const int opens = openCount(L);
    if (opens == 0) {
        for (const char* key : HANDLE_TABLES) {
            if (kov_hash_table* table = kov_hash_table_create(HASH_TABLE_SIZE)) {
                lua_pushlightuserdata(L, table);
                lua_setfield(L, LUA_REGISTRYINDEX, key);
            }
        }
    }
    setOpenCount(L, opens + 1);
    nrv_open();
    return 1;
}
