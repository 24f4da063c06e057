// Tensor and utility functions of the module.
#include <cstdio>

#include "kovText.h"
#include "nrvluaCheck.h"

namespace nrvlua {
namespace {

// Elements a Lua table or tensor handed between the two sides may hold.
constexpr size_t MAX_TABLE_SIZE = size_t(1) << 27;

const char BANNER[] = "\n"
                      "nrvlua 1.0: Lua binding of the nrvcore deep-learning library\n"
                      "float32 tensors; dense and 2-D convolution layers; OpenBLAS\n"
                      "\n";

int version(lua_State* L)
{
    checkCount(L, "version", 0, 0, "(should be none)");
    lua_pushstring(L, BANNER);
    return 1;
}

// randn and rand: two numbers in, one draw out.
int draw(lua_State* L, const char* function, float (*generator)(float, float))
{
    checkCount(L, function, 2, 2, "(should be 2)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    lua_pushnumber(L, generator(float(lua_tonumber(L, 1)), float(lua_tonumber(L, 2))));
    return 1;
}
int randn(lua_State* L) { return draw(L, "randn", nrv_randn); }
int rand(lua_State* L) { return draw(L, "rand", nrv_rand); }

int milliseconds(lua_State* L)
{
    checkCount(L, "milliseconds", 0, 0, "(should be none)");
    lua_pushinteger(L, lua_Integer(nrv_milliseconds()));
    return 1;
}

int print_duration(lua_State* L)
{
    checkCount(L, "print_duration", 3, 3, "(should be 3)");
    Lua_checkArgType(L, 1, NRVLUA_STRING);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    Lua_checkArgType(L, 3, NRVLUA_STRING);
    nrv_print_duration(lua_tostring(L, 1), intArg(L, 2, "print_duration"), lua_tostring(L, 3)[0]);
    return 0;
}

int tensor_create(lua_State* L)
{
    checkCount(L, "tensor_create", 3, 4, "(should be 3 or 4)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    Lua_checkArgType(L, 3, NRVLUA_STRING);
    checkOptional(L, 4, NRVLUA_NUMBER);
    const int size = intArg(L, 1, "tensor_create");
    const int kind = intArg(L, 2, "tensor_create");
    const char* name = lua_tostring(L, 3);
    // A source that names no tensor is no source, not an error.
    auto* source =
        lua_gettop(L) >= 4 ? static_cast<nrv_tensor*>(lookupArg(L, NRVLUA_TENSORS, 4)) : nullptr;
    checkOpen(L, "tensor_create");
    nrv_tensor* t = nrv_tensor_create(size, kind, name, source);
    if (t && !enter(L, NRVLUA_TENSORS, t)) {
        nrv_tensor_destroy(t);
        t = nullptr;
    }
    pushHandle(L, t);
    return 1;
}

int tensor_from_table(lua_State* L)
{
    checkCount(L, "tensor_from_table", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_TABLE);
    const size_t n = lua_objlen(L, 1);
    if (n < 1 || n > MAX_TABLE_SIZE) {
        Lua_error(L, "nrvlua.tensor_from_table: invalid table size");
    }
    checkOpen(L, "tensor_from_table");
    nrv_tensor* t = nrv_tensor_create(int(n), NRV_TENSOR_ZERO, "from_table", nullptr);
    if (t && !enter(L, NRVLUA_TENSORS, t)) {
        nrv_tensor_destroy(t);
        t = nullptr;
    }
    if (!t) {
        Lua_error(L, "nrvlua.tensor_from_table: %s", KOV_NO_MEMORY);
    }
    for (size_t i = 1; i <= n; ++i) {
        lua_rawgeti(L, 1, int(i));
        t->data[i - 1] = float(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    clearStatistics(t);
    pushHandle(L, t);
    return 1;
}

int tensor_to_table(lua_State* L)
{
    checkCount(L, "tensor_to_table", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    nrv_tensor* t = tensorArg(L, 1, "tensor_to_table");
    if (t->size < 1 || size_t(t->size) > MAX_TABLE_SIZE) {
        Lua_error(L, "nrvlua.tensor_to_table: invalid tensor size");
    }
    lua_createtable(L, t->size, 0);
    for (int i = 0; i < t->size; ++i) {
        lua_pushnumber(L, t->data[i]);
        lua_rawseti(L, -2, i + 1);
    }
    return 1;
}

int tensor_reset(lua_State* L)
{
    checkCount(L, "tensor_reset", 2, 3, "(should be 2 or 3)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    checkOptional(L, 3, NRVLUA_NUMBER);
    nrv_tensor* t = tensorArg(L, 1, "tensor_reset");
    auto* source =
        lua_gettop(L) >= 3 ? static_cast<nrv_tensor*>(lookupArg(L, NRVLUA_TENSORS, 3)) : nullptr;
    nrv_tensor_reset(t, intArg(L, 2, "tensor_reset"), source);
    clearStatistics(t);
    checkStatus(L, t, "tensor_reset");
    return 0;
}

int tensor_set(lua_State* L)
{
    checkCount(L, "tensor_set", 3, 3, "(should be 3)");
    for (int k = 1; k <= 3; ++k) {
        Lua_checkArgType(L, k, NRVLUA_NUMBER);
    }
    nrv_tensor* t = tensorArg(L, 1, "tensor_set");
    nrv_tensor_set(t, intArg(L, 2, "tensor_set"), float(lua_tonumber(L, 3)));
    clearStatistics(t);
    checkStatus(L, t, "tensor_set");
    return 0;
}

int tensor_get(lua_State* L)
{
    checkCount(L, "tensor_get", 2, 2, "(should be 2)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    nrv_tensor* t = tensorArg(L, 1, "tensor_get");
    const float value = nrv_tensor_get(t, intArg(L, 2, "tensor_get"));
    checkStatus(L, t, "tensor_get");
    lua_pushnumber(L, value);
    return 1;
}

int tensor_size(lua_State* L)
{
    checkCount(L, "tensor_size", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    lua_pushinteger(L, nrv_tensor_size(tensorArg(L, 1, "tensor_size")));
    return 1;
}

int tensor_copy(lua_State* L)
{
    checkCount(L, "tensor_copy", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    nrv_tensor* copy = nrv_tensor_copy(tensorArg(L, 1, "tensor_copy"));
    if (copy && !enter(L, NRVLUA_TENSORS, copy)) {
        nrv_tensor_destroy(copy);
        copy = nullptr;
    }
    if (copy) {
        clearStatistics(copy);
    }
    pushHandle(L, copy);
    return 1;
}

int tensor_stats(lua_State* L)
{
    checkCount(L, "tensor_stats", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    nrv_tensor* t = tensorArg(L, 1, "tensor_stats");
    nrv_tensor_stats(t);
    for (float s : t->stats) {
        lua_pushnumber(L, s);
    }
    return 4;
}

// One body for the four statistics; its messages name tensor_mean for all.
int statistic(lua_State* L, float (*function)(nrv_tensor*))
{
    checkCount(L, "tensor_mean", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    lua_pushnumber(L, function(tensorArg(L, 1, "tensor_mean")));
    return 1;
}
int tensor_mean(lua_State* L) { return statistic(L, nrv_tensor_mean); }
int tensor_stddev(lua_State* L) { return statistic(L, nrv_tensor_stddev); }
int tensor_max(lua_State* L) { return statistic(L, nrv_tensor_max); }
int tensor_min(lua_State* L) { return statistic(L, nrv_tensor_min); }

int tensor_normalize(lua_State* L)
{
    checkCount(L, "tensor_normalize", 3, 3, "(should be 3)");
    for (int k = 1; k <= 3; ++k) {
        Lua_checkArgType(L, k, NRVLUA_NUMBER);
    }
    nrv_tensor* t = tensorArg(L, 1, "tensor_normalize");
    const float mean = finiteArg(L, 2, "tensor_normalize");
    const float stddev = finiteArg(L, 3, "tensor_normalize");
    if (!(stddev > 0.f)) {
        Lua_error(L, "nrvlua.tensor_normalize: invalid argument #3 (stddev <= 0)");
    }
    nrv_tensor_normalize(t, mean, stddev);
    return 0;
}

int tensor_denormalize(lua_State* L)
{
    checkCount(L, "tensor_denormalize", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    nrv_tensor_denormalize(tensorArg(L, 1, "tensor_denormalize"));
    lua_pushvalue(L, 1);
    return 1;
}

int tensor_print(lua_State* L)
{
    checkCount(L, "tensor_print", 3, 3, "(should be 3)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_STRING);
    Lua_checkArgType(L, 3, NRVLUA_NUMBER);
    nrv_tensor_print(tensorArg(L, 1, "tensor_print"), lua_tostring(L, 2),
                     intArg(L, 3, "tensor_print"));
    return 0;
}

int tensor_save(lua_State* L)
{
    checkCount(L, "tensor_save", 2, 2, "(should be 2)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_STRING);
    nrv_tensor* t = tensorArg(L, 1, "tensor_save");
    const char* file = fileArg(L, 2, "tensor_save");
    FILE* f = std::fopen(file, "wb");
    if (!f) {
        Lua_error(L, "nrvlua.tensor_save: cannot create file: '%s'", file);
    }
    uint64_t bytes = 0;
    const int result = nrv_tensor_save(f, t, &bytes, 0);
    std::fclose(f);
    lua_pushinteger(L, result);
    return 1;
}

int tensor_load(lua_State* L)
{
    checkCount(L, "tensor_load", 1, 2, "(should be 1 or 2)");
    Lua_checkArgType(L, 1, NRVLUA_STRING);
    checkOptional(L, 2, NRVLUA_NUMBER);
    const char* file = fileArg(L, 1, "tensor_load");
    nrv_tensor* into =
        lua_gettop(L) >= 2 ? static_cast<nrv_tensor*>(lookupArg(L, NRVLUA_TENSORS, 2)) : nullptr;
    checkOpen(L, "tensor_load");
    FILE* f = std::fopen(file, "rb");
    if (!f) {
        Lua_error(L, "nrvlua.tensor_load: cannot open file: '%s'", file);
    }
    uint64_t bytes = 0, records = 0;
    nrv_tensor* t = nrv_tensor_load(f, &bytes, &records, 0, &into);
    std::fclose(f);
    if (t && t != into && !enter(L, NRVLUA_TENSORS, t)) {
        nrv_tensor_destroy(t);
        t = nullptr;
    }
    if (t) {
        clearStatistics(t);
    }
    pushHandle(L, t);
    return 1;
}

int tensor_destroy(lua_State* L)
{
    checkCount(L, "tensor_destroy", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    auto* t = static_cast<nrv_tensor*>(lookupArg(L, NRVLUA_TENSORS, 1));
    if (!t) {
        lua_pushinteger(L, 0);
        return 1;
    }
    removeEntry(L, NRVLUA_TENSORS, t);
    nrv_tensor_destroy(t);
    lua_pushvalue(L, 1);
    return 1;
}

int argmax(lua_State* L)
{
    checkCount(L, "argmax", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    // Script tensors and the tensors live networks hand out; nothing else.
    void* handle = handleValue(L, 1);
    auto* t = static_cast<nrv_tensor*>(lookup(L, NRVLUA_TENSORS, handle));
    if (!t) {
        t = static_cast<nrv_tensor*>(lookup(L, NRVLUA_OWNED, handle));
    }
    if (!t) {
        Lua_error(L, "nrvlua.argmax: invalid argument #1 (nil tensor)");
    }
    lua_pushinteger(L, nrv_argmax(t));
    return 1;
}

}  // namespace

const luaL_Reg tensorFunctions[] = {{"version", version},
                                    {"randn", randn},
                                    {"rand", rand},
                                    {"milliseconds", milliseconds},
                                    {"print_duration", print_duration},
                                    {"tensor_create", tensor_create},
                                    {"tensor_from_table", tensor_from_table},
                                    {"tensor_to_table", tensor_to_table},
                                    {"tensor_reset", tensor_reset},
                                    {"tensor_set", tensor_set},
                                    {"tensor_get", tensor_get},
                                    {"tensor_size", tensor_size},
                                    {"tensor_copy", tensor_copy},
                                    {"tensor_stats", tensor_stats},
                                    {"tensor_mean", tensor_mean},
                                    {"tensor_stddev", tensor_stddev},
                                    {"tensor_max", tensor_max},
                                    {"tensor_min", tensor_min},
                                    {"tensor_normalize", tensor_normalize},
                                    {"tensor_denormalize", tensor_denormalize},
                                    {"tensor_print", tensor_print},
                                    {"tensor_save", tensor_save},
                                    {"tensor_load", tensor_load},
                                    {"tensor_destroy", tensor_destroy},
                                    {"argmax", argmax},
                                    {nullptr, nullptr}};

}  // namespace nrvlua
