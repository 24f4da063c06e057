// The restricted state of the Lua engine: which libraries model scripts
// get, the require of our own that loads Lua text from the device's
// folders only, and the bounds of every entry (instructions, memory, stop).
#include "LuaEngineCore.h"

#include <lua.hpp>

#include <cstdlib>
#include <cstring>
#include <string>

#include "kovbase.h"
#include "nuSigma.h"

namespace {

// Base functions that load files, bytecode or arbitrary chunks, and the
// coroutine library, whose resume would swallow a bound's error.
const char* const REMOVED_GLOBALS[] = {"dofile", "loadfile", "load",    "loadstring", "coroutine",
                                       "module", "require",  "package", "gcinfo"};

// Libraries a script may require by name: they are already open.
const char* const OPEN_LIBRARIES[] = {LUA_MATHLIBNAME, LUA_STRLIBNAME, LUA_TABLIBNAME,
                                      LUA_BITLIBNAME};

constexpr const char* LOADED_KEY = "___KovraLoadedModules___";
constexpr long long MODULE_SIZE_LIMIT = 4 * 1024 * 1024;

int openOne(lua_State* L, lua_CFunction open, const char* name)
{
    lua_pushcfunction(L, open);
    lua_pushstring(L, name);
    return lua_pcall(L, 1, 0, 0);
}

// A module name is a plain name: letters, digits, '_', '-' and '.' (a
// folder separator as in Lua), never a path of its own.
bool isModuleName(const std::string& name)
{
    if (name.empty() || name.size() > 128 || name.front() == '.' ||
        name.find("..") != std::string::npos) {
        return false;
    }
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool readModuleText(const std::string& path, std::string& text)
{
    if (kov_fileExistsA(path.c_str()) < 1) {
        return false;  // regular files only
    }
    FILE* file = kov_FileOpenA(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    text.clear();
    char buffer[65536];
    size_t got;
    bool ok = true;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
        if (static_cast<long long>(text.size()) > MODULE_SIZE_LIMIT) {
            ok = false;
            break;
        }
    }
    ok = ok && !std::ferror(file);
    kov_FileClose(&file);
    return ok;
}

}  // namespace

bool LuaEngineCore::openRestrictedLibraries()
{
    if (openOne(L, luaopen_base, "") != 0 || openOne(L, luaopen_math, LUA_MATHLIBNAME) != 0 ||
        openOne(L, luaopen_string, LUA_STRLIBNAME) != 0 ||
        openOne(L, luaopen_table, LUA_TABLIBNAME) != 0 ||
        openOne(L, luaopen_bit, LUA_BITLIBNAME) != 0) {
        return false;
    }
    for (const char* name : REMOVED_GLOBALS) {
        lua_pushnil(L);
        lua_setfield(L, LUA_GLOBALSINDEX, name);
    }
    // string.dump gives bytecode, which nothing here may load anyway.
    lua_getfield(L, LUA_GLOBALSINDEX, LUA_STRLIBNAME);
    lua_pushnil(L);
    lua_setfield(L, -2, "dump");
    lua_pop(L, 1);

    // Modules loaded so far, kept out of the scripts' reach.
    lua_newtable(L);
    for (const char* name : OPEN_LIBRARIES) {
        lua_getfield(L, LUA_GLOBALSINDEX, name);
        lua_setfield(L, -2, name);
    }
    lua_setfield(L, LUA_REGISTRYINDEX, LOADED_KEY);

    lua_pushcfunction(L, &LuaEngineCore::requireModule);
    lua_setfield(L, LUA_GLOBALSINDEX, "require");
    lua_pushcfunction(L, &LuaEngineCore::boundedPcall);
    lua_setfield(L, LUA_GLOBALSINDEX, "pcall");
    lua_pushcfunction(L, &LuaEngineCore::boundedXpcall);
    lua_setfield(L, LUA_GLOBALSINDEX, "xpcall");
    return true;
}

int LuaEngineCore::requireModule(lua_State* L)
{
    const std::string name = luaL_checkstring(L, 1);
    lua_settop(L, 1);
    lua_getfield(L, LUA_REGISTRYINDEX, LOADED_KEY);  // 2
    lua_getfield(L, 2, name.c_str());
    if (!lua_isnil(L, -1)) {
        return 1;
    }
    lua_pop(L, 1);
    if (!isModuleName(name)) {
        return luaL_error(L, "module '%s' not found: not a module name", name.c_str());
    }

    LuaEngineCore* engine = fromState(L);
    std::string relative = name;
    for (char& c : relative) {
        if (c == '.') {
            c = '/';
        }
    }
    std::string tried;
    std::string text;
    std::string found;
    for (const std::string& folder :
         engine ? engine->luaModuleFolders : std::vector<std::string>()) {
        const std::string candidate = folder + relative + ".lua";
        if (readModuleText(candidate, text)) {
            found = candidate;
            break;
        }
        tried += "\n\tno file '" + candidate + "'";
    }
    if (found.empty()) {
        return luaL_error(L, "module '%s' not found:%s", name.c_str(), tried.c_str());
    }
    const std::string chunkName = "@" + found;
    // Text only: bytecode is not checked by the loader.
    if (luaL_loadbufferx(L, text.data(), text.size(), chunkName.c_str(), "t") != 0) {
        return lua_error(L);
    }
    lua_pushstring(L, name.c_str());
    lua_call(L, 1, 1);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        lua_pushboolean(L, 1);
    }
    lua_pushvalue(L, -1);
    lua_setfield(L, 2, name.c_str());
    return 1;
}

// pcall and xpcall as scripts know them, except that the error of a bound
// (budget, memory, stop) passes through: a script cannot catch its way past
// its limits.
int LuaEngineCore::boundedPcall(lua_State* L)
{
    luaL_checkany(L, 1);
    const int status = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
    LuaEngineCore* engine = fromState(L);
    if (status != 0 && engine && engine->exceeded != Bound::None) {
        return lua_error(L);
    }
    lua_pushboolean(L, status == 0);
    lua_insert(L, 1);
    return lua_gettop(L);
}

int LuaEngineCore::boundedXpcall(lua_State* L)
{
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    lua_insert(L, 1);  // handler below the function
    const int status = lua_pcall(L, 0, LUA_MULTRET, 1);
    LuaEngineCore* engine = fromState(L);
    if (status != 0 && engine && engine->exceeded != Bound::None) {
        return lua_error(L);
    }
    lua_pushboolean(L, status == 0);
    lua_replace(L, 1);  // the handler's slot
    return lua_gettop(L);
}

void LuaEngineCore::startBudget()
{
    budgetLeft = INSTRUCTION_BUDGET;
    exceeded = Bound::None;
}

void LuaEngineCore::countHook(lua_State* L, lua_Debug*)
{
    LuaEngineCore* engine = fromState(L);
    if (!engine) {
        return;
    }
    if (engine->exceeded != Bound::None) {
        luaL_error(L, "model script stopped");  // a bound already hit, caught and ignored
        return;
    }
    engine->budgetLeft -= HOOK_EVERY;
    if (engine->budgetLeft < 0) {
        engine->exceeded = Bound::Instructions;
        luaL_error(L, "model script stopped");
        return;
    }
    if (engine->stopTest && engine->stopTest()) {
        engine->exceeded = Bound::Stop;
        luaL_error(L, "model script stopped");
    }
}

void* LuaEngineCore::allocate(void* self, void* block, size_t oldSize, size_t newSize)
{
    auto* engine = static_cast<LuaEngineCore*>(self);
    const size_t old = block ? oldSize : 0;
    if (newSize == 0) {
        std::free(block);
        engine->allocatedBytes -= old;
        return nullptr;
    }
    if (newSize > old && engine->allocatedBytes - old + newSize > MEMORY_CEILING) {
        engine->exceeded = Bound::Memory;
        return nullptr;  // Lua raises "not enough memory"
    }
    void* grown = std::realloc(block, newSize);
    if (grown) {
        engine->allocatedBytes = engine->allocatedBytes - old + newSize;
    }
    return grown;
}

bool LuaEngineCore::boundFailure(std::string& text) const
{
    switch (exceeded) {
    case Bound::None: return false;
    case Bound::Instructions:
        text = NU_ERROR_TAG "the script ran past its budget of " +
               std::to_string(INSTRUCTION_BUDGET / 1000000) +
               " million instructions (an endless loop?)";
        return true;
    case Bound::Memory:
        text = NU_ERROR_TAG "the script needs more than " +
               std::to_string(MEMORY_CEILING / (1024 * 1024)) + " MB of memory";
        return true;
    case Bound::Stop: text = NU_ERROR_TAG "the script was stopped by the user"; return true;
    }
    return false;
}
