// vinelib: helpers for Lua modules of the suite, over the Lua 5.1 API that
// the host program supplies.
#pragma once

#include <lua.hpp>

// Raises text as a Lua error, prefixed like luaL_error with the position of
// the Lua code that called the running C function ("script.lua:12: ").
// The text is taken as it is, never as a format. Does not return.
extern "C" int luaL_errorlevel(lua_State* L, const char* text);
