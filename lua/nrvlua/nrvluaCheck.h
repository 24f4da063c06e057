// Argument checking, handle tables and error raising shared by every
// function of the nrvlua module.
#pragma once

#include <lua.hpp>

#include "nrvcore.h"

// Registry keys of the handle tables.
#define NRVLUA_TENSORS "pointers_table_tensors"
#define NRVLUA_LAYERS "pointers_table_layers"
#define NRVLUA_NETWORKS "pointers_table_nrv"
// Tensors that live networks own and hand out (outputs and sample views):
// only argmax takes them.
#define NRVLUA_OWNED "pointers_table_owned"

// Lua 5.1 type codes the checks use.
enum {
    NRVLUA_BOOLEAN = LUA_TBOOLEAN,
    NRVLUA_NUMBER = LUA_TNUMBER,
    NRVLUA_STRING = LUA_TSTRING,
    NRVLUA_TABLE = LUA_TTABLE
};

// Formats a message (at most 2047 characters) and raises it; never returns.
[[noreturn]] void Lua_error(lua_State* L, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// 1 when argument k has the type; otherwise raises the type error.
int Lua_checkArgType(lua_State* L, int k, int type);

namespace nrvlua {

// The argument count must lie in [least, most]; counts is the text of the
// message, e.g. "(should be 3 or 4)".
void checkCount(lua_State* L, const char* function, int least, int most, const char* counts);
// The inline test of the training functions: every argument a number.
void checkAllNumbers(lua_State* L);
// Type of an optional argument, tested only when present.
void checkOptional(lua_State* L, int k, int type);

// An integer argument (an index, a size, a count, a kind) as the library's
// 32-bit int, less offset (samples and epochs count from 1 in Lua). A
// fraction is cut toward zero; a value that does not fit (beyond the 32-bit
// range, or not finite) raises "nrvlua.<function>: failed: 'index out of
// range'" rather than reaching the library wrapped (2^32 would be 0).
int intArg(lua_State* L, int k, const char* function, int offset = 0);
// Whether argument k, less offset, fits intArg.
bool intFits(lua_State* L, int k, int offset = 0);

// Handle of argument k: 0 stands for no object.
void* handleValue(lua_State* L, int k);
// The object of a handle when it is in the table under key, else null.
void* lookup(lua_State* L, const char* key, void* handle);
void* lookupArg(lua_State* L, const char* key, int k);
// Lookups that raise "nrvlua.<function>: invalid argument #k (nil ...)".
nrv_tensor* tensorArg(lua_State* L, int k, const char* function);
nrv_network* networkArg(lua_State* L, int k, const char* function);
nrv_layer* layerArg(lua_State* L, int k, const char* function);
// A file-name argument, refused when empty, and refused when the path names
// something other than a regular file (a FIFO, a folder, a device): a FIFO
// would block the call, and the script with it, until another program opens
// its other end. Every function that reads or writes a file takes its name
// through here. A path where nothing stands yet passes (a file to create).
const char* fileArg(lua_State* L, int k, const char* function);
// A rate, scale or statistic the library computes with, as its float: a
// value that is not finite there (inf, nan, or beyond the float range)
// would turn every weight or element it touches into nan, so it raises
// "nrvlua.<function>: invalid argument #k (not a finite number)".
float finiteArg(lua_State* L, int k, const char* function);
// The functions that make a tensor or a network enter it in a handle table;
// once the module is closed (the module table collected, its tables freed)
// they raise "nrvlua.<function>: failed: 'module closed'" before the library
// makes anything, as every other kept function refuses its handles.
void checkOpen(lua_State* L, const char* function);

// Handle tables: false when the table was never created (or is closed).
bool enter(lua_State* L, const char* key, void* object);
void removeEntry(lua_State* L, const char* key, void* object);
void pushHandle(lua_State* L, const void* object);

// Raises "nrvlua.<function>: failed: '<message>'" when the network's (or
// tensor's) last operation failed.
void checkStatus(lua_State* L, const nrv_network* n, const char* function);
void checkStatus(lua_State* L, const nrv_tensor* t, const char* function);
// The fourth statistics value goes to 0 after every write through the module.
inline void clearStatistics(nrv_tensor* t) { t->stats[3] = 0.f; }

// Function tables of the three groups (null-terminated).
extern const luaL_Reg tensorFunctions[];
extern const luaL_Reg networkFunctions[];
extern const luaL_Reg trainingFunctions[];

}  // namespace nrvlua
