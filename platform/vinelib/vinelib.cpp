#include "vinelib.h"

extern "C" int luaL_errorlevel(lua_State* L, const char* text)
{
    luaL_where(L, 1);
    lua_pushstring(L, text ? text : "");
    lua_concat(L, 2);
    return lua_error(L);
}
