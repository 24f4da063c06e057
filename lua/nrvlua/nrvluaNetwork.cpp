// Network and layer functions of the module.
#include <cstdio>

#include "nrvluaCheck.h"

namespace nrvlua {
namespace {

// Failure texts of create and load are built in a buffer of this size.
constexpr size_t FAILURE_SIZE = 320;

// A network enters its table with the tensors it owns, which argmax accepts.
bool enterNetwork(lua_State* L, nrv_network* n)
{
    if (!enter(L, NRVLUA_NETWORKS, n)) {
        return false;
    }
    for (int i = 0; i < nrv_owned_tensor_count(n); ++i) {
        enter(L, NRVLUA_OWNED, nrv_owned_tensor(n, i));
    }
    return true;
}

// Steps shared by create and load once the library has answered.
int finishConstruction(lua_State* L, nrv_network* n, const char* function)
{
    if (!n) {
        Lua_error(L, "nrvlua.%s: failed", function);
    }
    if ((n->status & NRV_STATUS_MASK) == NRV_STATUS_FAILED || !enterNetwork(L, n)) {
        char failure[FAILURE_SIZE] = {};
        std::snprintf(failure, sizeof failure, "nrvlua.%s: failed: '%s'", function,
                      n->status ? n->message : "no network table");
        nrv_destroy(n);
        Lua_error(L, "%s", failure);
    }
    pushHandle(L, n);
    return 1;
}

int create(lua_State* L)
{
    checkCount(L, "create", 1, 6, "(should be between 1 and 6)");
    Lua_checkArgType(L, 1, NRVLUA_STRING);
    for (int k = 2; k <= 4; ++k) {
        checkOptional(L, k, NRVLUA_NUMBER);
    }
    checkOptional(L, 5, NRVLUA_BOOLEAN);
    checkOptional(L, 6, NRVLUA_NUMBER);
    const int top = lua_gettop(L);
    const int criterion = top >= 2 ? intArg(L, 2, "create") : 2;
    const int validation = top >= 3 ? intArg(L, 3, "create") : 2;
    const int optimizer = top >= 4 ? intArg(L, 4, "create") : 1;
    const bool verbose = top >= 5 ? lua_toboolean(L, 5) != 0 : false;
    const float rate = top >= 6 ? finiteArg(L, 6, "create") : 0.001f;
    checkOpen(L, "create");
    return finishConstruction(
        L, nrv_create(lua_tostring(L, 1), criterion, validation, optimizer, verbose, rate),
        "create");
}

int load(lua_State* L)
{
    checkCount(L, "load", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_STRING);
    const char* file = fileArg(L, 1, "load");
    checkOpen(L, "load");
    return finishConstruction(L, nrv_load(file), "load");
}

int save(lua_State* L)
{
    checkCount(L, "save", 3, 3, "(should be 3)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_STRING);
    Lua_checkArgType(L, 3, NRVLUA_BOOLEAN);
    nrv_network* n = networkArg(L, 1, "save");
    const char* file = fileArg(L, 2, "save");
    lua_pushinteger(L, nrv_save(n, file, lua_toboolean(L, 3) != 0));
    return 1;
}

int destroy(lua_State* L)
{
    checkCount(L, "destroy", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    nrv_network* n = networkArg(L, 1, "destroy");
    // Its layers and owned tensors go with it: their handles must not reach freed memory.
    for (int i = 0; i < nrv_layer_count(n); ++i) {
        removeEntry(L, NRVLUA_LAYERS, nrv_get_layer(n, i));
    }
    for (int i = 0; i < nrv_owned_tensor_count(n); ++i) {
        removeEntry(L, NRVLUA_OWNED, nrv_owned_tensor(n, i));
    }
    removeEntry(L, NRVLUA_NETWORKS, n);
    nrv_destroy(n);
    return 0;
}

int set_log(lua_State* L)
{
    checkCount(L, "set_log", 3, 3, "(should be 3)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_STRING);
    Lua_checkArgType(L, 3, NRVLUA_BOOLEAN);
    nrv_network* n = networkArg(L, 1, "set_log");
    nrv_set_log(n, fileArg(L, 2, "set_log"), lua_toboolean(L, 3) != 0);
    // A log that cannot be opened is said, not passed over.
    checkStatus(L, n, "set_log");
    return 0;
}

int summary(lua_State* L)
{
    checkCount(L, "summary", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    nrv_summary(networkArg(L, 1, "summary"));
    return 0;
}

int add_layer(lua_State* L)
{
    checkCount(L, "add_layer", 3, 5, "(should be 3, 4 or 5)");
    for (int k = 1; k <= 3; ++k) {
        Lua_checkArgType(L, k, NRVLUA_NUMBER);
    }
    checkOptional(L, 4, NRVLUA_NUMBER);
    checkOptional(L, 5, NRVLUA_STRING);
    nrv_network* n = networkArg(L, 1, "add_layer");
    const int top = lua_gettop(L);
    nrv_layer* layer = nrv_add_layer(n, intArg(L, 2, "add_layer"), intArg(L, 3, "add_layer"),
                                     top >= 4 ? finiteArg(L, 4, "add_layer") : 0.f,
                                     top >= 5 ? lua_tostring(L, 5) : nullptr);
    if (!layer || (n->status & NRV_STATUS_MASK) == NRV_STATUS_FAILED) {
        Lua_error(L, "nrvlua.add_layer: failed: '%s'", n->message);
    }
    enter(L, NRVLUA_LAYERS, layer);
    lua_pushvalue(L, 1);
    return 1;
}

int add_layer_conv(lua_State* L)
{
    checkCount(L, "add_layer_conv", 7, 11, "(should be between 7 and 11)");
    for (int k = 1; k <= 7; ++k) {
        Lua_checkArgType(L, k, NRVLUA_NUMBER);
    }
    checkOptional(L, 8, NRVLUA_NUMBER);
    checkOptional(L, 9, NRVLUA_STRING);
    checkOptional(L, 10, NRVLUA_NUMBER);
    checkOptional(L, 11, NRVLUA_NUMBER);
    nrv_network* n = networkArg(L, 1, "add_layer_conv");
    const int top = lua_gettop(L);
    int v[6];
    for (int k = 0; k < 6; ++k) {
        v[k] = intArg(L, k + 2, "add_layer_conv");
    }
    nrv_layer* layer = nrv_add_layer_conv(
        n, v[0], v[1], v[2], v[3], v[4], v[5], top >= 8 ? finiteArg(L, 8, "add_layer_conv") : 0.f,
        top >= 9 ? lua_tostring(L, 9) : nullptr, top >= 10 ? intArg(L, 10, "add_layer_conv") : 1,
        top >= 11 ? intArg(L, 11, "add_layer_conv") : 1);
    if (!layer || (n->status & NRV_STATUS_MASK) == NRV_STATUS_FAILED) {
        Lua_error(L, "nrvlua.add_layer_conv: failed: '%s'", n->message);
    }
    enter(L, NRVLUA_LAYERS, layer);
    pushHandle(L, layer);
    return 1;
}

int get_layer_input_size(lua_State* L)
{
    checkCount(L, "get_layer_input_size", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    lua_pushinteger(L, nrv_get_layer_input_size(layerArg(L, 1, "get_layer_input_size")));
    return 1;
}

int get_layer_output_size(lua_State* L)
{
    checkCount(L, "get_layer_output_size", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    lua_pushinteger(L, nrv_get_layer_output_size(layerArg(L, 1, "get_layer_output_size")));
    return 1;
}

// The steps that take the network alone and end with the status test.
int networkStep(lua_State* L, const char* function, void (*step)(nrv_network*), bool status)
{
    checkCount(L, function, 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    nrv_network* n = networkArg(L, 1, function);
    step(n);
    if (status) {
        checkStatus(L, n, function);
    }
    return 0;
}

int compile(lua_State* L) { return networkStep(L, "compile", nrv_compile, true); }
int reset_gradient(lua_State* L)
{
    return networkStep(L, "reset_gradient", nrv_reset_gradient, false);
}
int propagate_backward(lua_State* L)
{
    return networkStep(L, "propagate_backward", nrv_propagate_backward, true);
}

// propagate_forward and loss: the tensor is type-tested after the network lookup.
nrv_tensor* networkAndTensor(lua_State* L, const char* function, nrv_network*& n)
{
    checkCount(L, function, 2, 2, "(should be 2)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    n = networkArg(L, 1, function);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    return tensorArg(L, 2, function);
}

int propagate_forward(lua_State* L)
{
    nrv_network* n;
    nrv_tensor* input = networkAndTensor(L, "propagate_forward", n);
    nrv_propagate_forward(n, input);
    checkStatus(L, n, "propagate_forward");
    return 0;
}

int loss(lua_State* L)
{
    nrv_network* n;
    nrv_tensor* target = networkAndTensor(L, "loss", n);
    nrv_loss(n, target);
    checkStatus(L, n, "loss");
    return 0;
}

int update_parameters(lua_State* L)
{
    checkCount(L, "update_parameters", 2, 2, "(should be 2)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    nrv_network* n = networkArg(L, 1, "update_parameters");
    nrv_update_parameters(n, finiteArg(L, 2, "update_parameters"));
    checkStatus(L, n, "update_parameters");
    return 0;
}

int get_output(lua_State* L)
{
    checkCount(L, "get_output", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    pushHandle(L, nrv_get_output(networkArg(L, 1, "get_output")));
    return 1;
}

int save_cost(lua_State* L)
{
    checkCount(L, "save_cost", 2, 2, "(should be 2)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_STRING);
    nrv_network* n = networkArg(L, 1, "save_cost");
    nrv_save_cost(n, fileArg(L, 2, "save_cost"));
    checkStatus(L, n, "save_cost");
    return 0;
}

}  // namespace

const luaL_Reg networkFunctions[] = {{"create", create},
                                     {"set_log", set_log},
                                     {"add_layer", add_layer},
                                     {"add_layer_conv", add_layer_conv},
                                     {"get_layer_input_size", get_layer_input_size},
                                     {"get_layer_output_size", get_layer_output_size},
                                     {"summary", summary},
                                     {"compile", compile},
                                     {"reset_gradient", reset_gradient},
                                     {"propagate_forward", propagate_forward},
                                     {"loss", loss},
                                     {"propagate_backward", propagate_backward},
                                     {"update_parameters", update_parameters},
                                     {"get_output", get_output},
                                     {"destroy", destroy},
                                     {"save_cost", save_cost},
                                     {"save", save},
                                     {"load", load},
                                     {nullptr, nullptr}};

}  // namespace nrvlua
