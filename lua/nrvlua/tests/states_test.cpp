// Two Lua states load the module into one process, as two hosts of the
// same program would: each keeps its own handle tables, and closing one
// neither frees the other's objects nor closes the library under it.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <string>

namespace {

lua_State* stateWithModule()
{
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    const std::string setup = "package.cpath = '" KOVRA_BIN_DIR "/?.so;' .. package.cpath\n"
                              "nrv = require 'nrvlua'";
    if (luaL_dostring(L, setup.c_str()) != 0) {
        ADD_FAILURE() << lua_tostring(L, -1);
    }
    return L;
}

std::string run(lua_State* L, const std::string& code)
{
    if (luaL_dostring(L, code.c_str()) != 0) {
        std::string error = lua_tostring(L, -1);
        lua_pop(L, 1);
        return "error: " + error;
    }
    std::string result = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
    lua_settop(L, 0);
    return result;
}

TEST(NrvluaStates, EachStateKeepsItsObjectsAndClosingOneLeavesTheOtherWorking)
{
    lua_State* first = stateWithModule();
    lua_State* second = stateWithModule();

    const std::string make = "t = nrv.tensor_from_table({1, 2, 3})\n"
                             "n = nrv.create('s')\n"
                             "nrv.add_layer(n, 1, nrv.ACTIVATION_NONE)\n"
                             "nrv.add_layer(n, 1, nrv.ACTIVATION_NONE)\n"
                             "nrv.compile(n)\n"
                             "return tostring(t)";
    const std::string firstTensor = run(first, make);
    run(second, make);
    // A handle of one state names nothing in the other.
    EXPECT_NE(run(second, "return nrv.tensor_size(" + firstTensor + ")").find("(nil tensor)"),
              std::string::npos);

    lua_close(first);
    EXPECT_EQ(run(second, "return tostring(nrv.tensor_size(t))"), "3");
    EXPECT_EQ(run(second, "nrv.propagate_forward(n, nrv.tensor_from_table({2})) "
                          "return tostring(nrv.argmax(nrv.get_output(n)))"),
              "0");
    lua_close(second);
}

}  // namespace
