#include "nrvluaCheck.h"

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "kovbase.h"
#include "vinelib.h"

namespace {
// Message buffer: at most this many bytes with the terminator.
constexpr size_t MESSAGE_SIZE = 2048;
}  // namespace

void Lua_error(lua_State* L, const char* format, ...)
{
    char text[MESSAGE_SIZE] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    luaL_errorlevel(L, text);
    __builtin_unreachable();
}

int Lua_checkArgType(lua_State* L, int k, int type)
{
    if (lua_type(L, k) == type) {
        return 1;
    }
    lua_getfield(L, LUA_GLOBALSINDEX, "NRVLUAstatus");
    if (lua_isstring(L, -1)) {
        Lua_error(L, "%s: invalid type of argument #%d", lua_tostring(L, -1), k);
    }
    Lua_error(L, "invalid type of argument #%d", k);
}

namespace nrvlua {

void checkCount(lua_State* L, const char* function, int least, int most, const char* counts)
{
    const int n = lua_gettop(L);
    if (n < least || n > most) {
        Lua_error(L, "nrvlua.%s: invalid number of arguments %s", function, counts);
    }
}

void checkAllNumbers(lua_State* L)
{
    for (int k = 1; k <= lua_gettop(L); ++k) {
        Lua_checkArgType(L, k, NRVLUA_NUMBER);
    }
}

void checkOptional(lua_State* L, int k, int type)
{
    if (lua_gettop(L) >= k) {
        Lua_checkArgType(L, k, type);
    }
}

bool intFits(lua_State* L, int k, int offset)
{
    const double value = std::trunc(lua_tonumber(L, k)) - offset;
    return value >= double(INT_MIN) && value <= double(INT_MAX);  // false for NaN too
}

int intArg(lua_State* L, int k, const char* function, int offset)
{
    if (!intFits(L, k, offset)) {
        Lua_error(L, "nrvlua.%s: failed: 'index out of range'", function);
    }
    return int(std::trunc(lua_tonumber(L, k)) - offset);
}

void* handleValue(lua_State* L, int k)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(lua_tointeger(L, k)));
}

namespace {
kov_hash_table* tableOf(lua_State* L, const char* key)
{
    lua_getfield(L, LUA_REGISTRYINDEX, key);
    auto* table = static_cast<kov_hash_table*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return table;
}
}  // namespace

void* lookup(lua_State* L, const char* key, void* handle)
{
    if (!handle) {
        return nullptr;
    }
    kov_hash_table* table = tableOf(L, key);
    return table ? kov_hash_table_find_pointer(table, handle) : nullptr;
}

void* lookupArg(lua_State* L, const char* key, int k) { return lookup(L, key, handleValue(L, k)); }

nrv_tensor* tensorArg(lua_State* L, int k, const char* function)
{
    auto* t = static_cast<nrv_tensor*>(lookupArg(L, NRVLUA_TENSORS, k));
    if (!t) {
        Lua_error(L, "nrvlua.%s: invalid argument #%d (nil tensor)", function, k);
    }
    return t;
}

nrv_network* networkArg(lua_State* L, int k, const char* function)
{
    auto* n = static_cast<nrv_network*>(lookupArg(L, NRVLUA_NETWORKS, k));
    if (!n) {
        Lua_error(L, "nrvlua.%s: invalid argument #%d (nil NRV)", function, k);
    }
    return n;
}

nrv_layer* layerArg(lua_State* L, int k, const char* function)
{
    auto* l = static_cast<nrv_layer*>(lookupArg(L, NRVLUA_LAYERS, k));
    if (!l) {
        Lua_error(L, "nrvlua.%s: invalid argument #%d (nil layer)", function, k);
    }
    return l;
}

const char* fileArg(lua_State* L, int k, const char* function)
{
    size_t length = 0;
    const char* file = lua_tolstring(L, k, &length);
    if (!file || length == 0) {
        Lua_error(L, "nrvlua.%s: invalid argument #%d (empty filename)", function, k);
    }
    if (const char* kind = kov_otherFileKindA(file)) {
        Lua_error(L, "nrvlua.%s: invalid argument #%d ('%s' is %s, not a regular file)", function,
                  k, file, kind);
    }
    return file;
}

float finiteArg(lua_State* L, int k, const char* function)
{
    const float value = float(lua_tonumber(L, k));
    if (!std::isfinite(value)) {
        Lua_error(L, "nrvlua.%s: invalid argument #%d (not a finite number)", function, k);
    }
    return value;
}

void checkOpen(lua_State* L, const char* function)
{
    for (const char* key : {NRVLUA_TENSORS, NRVLUA_NETWORKS}) {
        if (!tableOf(L, key)) {
            Lua_error(L, "nrvlua.%s: failed: 'module closed'", function);
        }
    }
}

bool enter(lua_State* L, const char* key, void* object)
{
    kov_hash_table* table = tableOf(L, key);
    if (!table) {
        return false;
    }
    kov_hash_table_add_pointer(table, object);  // an entry already there stays once
    return true;
}

void removeEntry(lua_State* L, const char* key, void* object)
{
    if (kov_hash_table* table = tableOf(L, key)) {
        kov_hash_table_remove_pointer(table, object, 0);
    }
}

void pushHandle(lua_State* L, const void* object)
{
    lua_pushinteger(L, static_cast<lua_Integer>(reinterpret_cast<intptr_t>(object)));
}

void checkStatus(lua_State* L, const nrv_network* n, const char* function)
{
    if ((n->status & NRV_STATUS_MASK) == NRV_STATUS_FAILED) {
        Lua_error(L, "nrvlua.%s: failed: '%s'", function, n->message);
    }
}

void checkStatus(lua_State* L, const nrv_tensor* t, const char* function)
{
    if ((t->status & NRV_STATUS_MASK) == NRV_STATUS_FAILED) {
        Lua_error(L, "nrvlua.%s: failed: '%s'", function, t->message);
    }
}

}  // namespace nrvlua
