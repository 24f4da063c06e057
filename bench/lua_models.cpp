// Time of 100,000 Lua model calls, the structure set-up's worst case (one
// call per mesh point and model): the engine's call with the compiled chunk
// kept, the layer evaluator (file check, call, range check) on top of it,
// and, for comparison, compiling the script text afresh before every call.
#include <lua.hpp>

#include <chrono>
#include <cstdio>
#include <string>

#include "LuaEngineCore.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "kovbase.h"
#include "nuSigma.h"

namespace {

constexpr int CALLS = 100000;

const std::string SCRIPT =
    std::string(KOVRA_SOURCE_DIR) + "/examples/lua/mobility_caughey_thomas.lua";

template <typename F>
double seconds(F&& body)
{
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, double s)
{
    std::printf("%-44s %8.3f s   %7.2f us/call\n", what, s, s * 1e6 / CALLS);
}

bool engineCalls(LuaEngineCore& engine, const std::string& text)
{
    bool ok = true;
    double z = 0, thickness = 1, T = 300, N = 1e16, mobn = 0, mobp = 0, graded = 0;
    int status = 0;
    for (int i = 0; i < CALLS && ok; ++i) {
        z = i * 1e-5;
        ok = engine.call(text.c_str(), "kov_mobility", &z, &thickness, &T, &N, &mobn, &mobp,
                         &graded, nullptr, nullptr, nullptr, nullptr, nullptr, &status);
    }
    return ok;
}

bool layerCalls(ekLayer& layer)
{
    bool ok = true;
    double mobn = 0, mobp = 0;
    for (int i = 0; i < CALLS && ok; ++i) {
        ok = layer.updateMobilityLua(i * 1e-5 + 0.02, 0.01, 1.0, &mobn, &mobp);
    }
    return ok;
}

// What rerunning the script text costs without the compiled chunk.
bool recompiledCalls(lua_State* L, const std::string& text)
{
    for (int i = 0; i < CALLS; ++i) {
        if (luaL_loadstring(L, text.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
            return false;
        }
        lua_getglobal(L, "kov_mobility");
        lua_pushnumber(L, i * 1e-5);
        lua_pushnumber(L, 1.0);
        lua_pushnumber(L, 300.0);
        lua_pushnumber(L, 1e16);
        if (lua_pcall(L, 4, LUA_MULTRET, 0) != 0) {
            return false;
        }
        lua_settop(L, 0);
    }
    return true;
}

}  // namespace

int main()
{
    nuSigma sigma;
    LuaEngineCore engine;
    if (!engine.init()) {
        std::printf("cannot start the Lua engine\n");
        return 1;
    }
    int error = 0;
    const std::wstring path = kov_toWide(SCRIPT);
    const std::string* text = engine.scriptText(path.c_str(), &error);
    if (!text) {
        std::printf("cannot read %s\n", SCRIPT.c_str());
        return 1;
    }

    std::printf("%d calls of kov_mobility (%s)\n", CALLS, SCRIPT.c_str());
    bool ok = true;
    report("LuaEngineCore::call (compiled chunk kept)",
           seconds([&] { ok = ok && engineCalls(engine, *text); }));

    ekLayer layer(&sigma);
    layer.setLuaEngine(&engine);
    layer.updateDopant(ekLevel::TYPE_ACCEPTOR, 1e16, 1e19);
    layer.updateMobilityScript(path.c_str(), false);
    report("ekLayer::updateMobilityLua", seconds([&] { ok = ok && layerCalls(layer); }));

    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    report("reference: script compiled before each call",
           seconds([&] { ok = ok && recompiledCalls(L, *text); }));
    lua_close(L);

    if (!ok) {
        std::printf("a call failed: %s\n", engine.getMessageA());
        return 1;
    }
    return 0;
}
