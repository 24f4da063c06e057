// Training, test data and prediction functions of the module. Samples and
// epochs count from 1 here and from 0 in the library.
#include "nrvluaCheck.h"

namespace nrvlua {
namespace {

int init_train(lua_State* L)
{
    checkCount(L, "init_train", 5, 5, "(should be 5)");
    checkAllNumbers(L);
    nrv_network* n = networkArg(L, 1, "init_train");
    int v[4];
    for (int k = 0; k < 4; ++k) {
        v[k] = intArg(L, k + 2, "init_train");
    }
    const int result = nrv_init_train(n, v[0], v[1], v[2], v[3]);
    checkStatus(L, n, "init_train");
    lua_pushinteger(L, result);
    return 1;
}

int init_test(lua_State* L)
{
    checkCount(L, "init_test", 4, 4, "(should be 4)");
    checkAllNumbers(L);
    nrv_network* n = networkArg(L, 1, "init_test");
    const int result = nrv_init_test(n, intArg(L, 2, "init_test"), intArg(L, 3, "init_test"),
                                     intArg(L, 4, "init_test"));
    checkStatus(L, n, "init_test");
    lua_pushinteger(L, result);
    return 1;
}

// get_train_* and get_test_*: the network must be a live one before the
// library sees it; the tensor handed back belongs to the network.
int sampleTensor(lua_State* L, const char* function, nrv_tensor* (*get)(nrv_network*, int))
{
    checkCount(L, function, 2, 2, "(should be 2)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    nrv_network* n = networkArg(L, 1, function);
    nrv_tensor* t = get(n, intArg(L, 2, function, 1));
    checkStatus(L, n, function);
    pushHandle(L, t);
    return 1;
}

int get_train_input(lua_State* L)
{
    return sampleTensor(L, "get_train_input", nrv_get_train_input);
}
int get_train_target(lua_State* L)
{
    return sampleTensor(L, "get_train_target", nrv_get_train_target);
}
int get_train_output(lua_State* L)
{
    return sampleTensor(L, "get_train_output", nrv_get_train_output);
}
int get_test_input(lua_State* L) { return sampleTensor(L, "get_test_input", nrv_get_test_input); }
int get_test_target(lua_State* L)
{
    return sampleTensor(L, "get_test_target", nrv_get_test_target);
}
int get_test_output(lua_State* L)
{
    return sampleTensor(L, "get_test_output", nrv_get_test_output);
}

// set_train_data and set_test_data raise every message as set_data.
int setData(lua_State* L, int (*set)(nrv_network*, int, const nrv_tensor*, const nrv_tensor*))
{
    checkCount(L, "set_data", 4, 4, "(should be 4)");
    checkAllNumbers(L);
    nrv_network* n = networkArg(L, 1, "set_data");
    const int count = intArg(L, 2, "set_data");
    nrv_tensor* inputs = tensorArg(L, 3, "set_data");
    nrv_tensor* targets = tensorArg(L, 4, "set_data");
    const int result = set(n, count, inputs, targets);
    checkStatus(L, n, "set_data");
    lua_pushinteger(L, result);
    return 1;
}

int set_train_data(lua_State* L) { return setData(L, nrv_set_train_data); }
int set_test_data(lua_State* L) { return setData(L, nrv_set_test_data); }

int train(lua_State* L)
{
    checkCount(L, "train", 6, 6, "(should be 6)");
    checkAllNumbers(L);
    nrv_network* n = networkArg(L, 1, "train");
    const float cost =
        nrv_train(n, intArg(L, 2, "train"), intArg(L, 3, "train"), intArg(L, 4, "train"),
                  finiteArg(L, 5, "train"), intArg(L, 6, "train"));
    checkStatus(L, n, "train");
    lua_pushnumber(L, cost);
    return 1;
}

int predict(lua_State* L)
{
    checkCount(L, "predict", 2, 4, "(should be 2, 3 or 4)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    checkOptional(L, 3, NRVLUA_NUMBER);
    checkOptional(L, 4, NRVLUA_NUMBER);
    nrv_network* n = networkArg(L, 1, "predict");
    float result;
    // Two arguments name a sample, or a tensor: handles are addresses, far
    // beyond any sample number, so a value no sample number can take is a
    // tensor handle, refused as such once its tensor is gone.
    auto* alone =
        lua_gettop(L) == 2 ? static_cast<nrv_tensor*>(lookupArg(L, NRVLUA_TENSORS, 2)) : nullptr;
    if (lua_gettop(L) == 2 && !alone && !intFits(L, 2, 1)) {
        Lua_error(L, "nrvlua.predict: invalid argument #2 (nil tensor)");
    }
    if (alone) {
        result = nrv_predict(n, alone, nullptr, nullptr);
    } else if (lua_gettop(L) == 2) {
        result = nrv_predict_byindex(n, intArg(L, 2, "predict", 1));
    } else {
        nrv_tensor* input = tensorArg(L, 2, "predict");
        auto* target = static_cast<nrv_tensor*>(lookupArg(L, NRVLUA_TENSORS, 3));
        auto* output = lua_gettop(L) >= 4
                           ? static_cast<nrv_tensor*>(lookupArg(L, NRVLUA_TENSORS, 4))
                           : nullptr;
        result = nrv_predict(n, input, target, output);
        if (output) {
            clearStatistics(output);
        }
    }
    checkStatus(L, n, "predict");
    lua_pushnumber(L, result);
    return 1;
}

int get_best_epoch(lua_State* L)
{
    checkCount(L, "get_best_epoch", 1, 1, "(should be 1)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    lua_pushinteger(L, nrv_get_best_epoch(networkArg(L, 1, "get_best_epoch")) + 1);
    return 1;
}

// The per-epoch figures; an epoch the run never reached is refused.
int epochFigure(lua_State* L, const char* function, float (*get)(nrv_network*, int))
{
    checkCount(L, function, 2, 2, "(should be 2)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_NUMBER);
    nrv_network* n = networkArg(L, 1, function);
    const float value = get(n, intArg(L, 2, function, 1));
    checkStatus(L, n, function);
    lua_pushnumber(L, value);
    return 1;
}

int get_cost_train(lua_State* L) { return epochFigure(L, "get_cost_train", nrv_get_cost_train); }
int get_cost_validation(lua_State* L)
{
    return epochFigure(L, "get_cost_validation", nrv_get_cost_validation);
}
int get_accuracy(lua_State* L) { return epochFigure(L, "get_accuracy", nrv_get_accuracy); }

int mnistLoad(lua_State* L, const char* function,
              int (*load)(nrv_network*, const char*, const char*))
{
    checkCount(L, function, 3, 3, "(should be 3)");
    Lua_checkArgType(L, 1, NRVLUA_NUMBER);
    Lua_checkArgType(L, 2, NRVLUA_STRING);
    Lua_checkArgType(L, 3, NRVLUA_STRING);
    nrv_network* n = networkArg(L, 1, function);
    const char* images = fileArg(L, 2, function);
    const char* labels = fileArg(L, 3, function);
    const int count = load(n, images, labels);
    if (count == 0 || (n->status & NRV_STATUS_MASK) == NRV_STATUS_FAILED) {
        Lua_error(L, "nrvlua.%s: failed: '%s'", function, n->message);
    }
    lua_pushinteger(L, count);
    return 1;
}

int mnist_load_train(lua_State* L)
{
    return mnistLoad(L, "mnist_load_train", nrv_mnist_load_train);
}
int mnist_load_test(lua_State* L) { return mnistLoad(L, "mnist_load_test", nrv_mnist_load_test); }

}  // namespace

const luaL_Reg trainingFunctions[] = {{"init_train", init_train},
                                      {"get_train_input", get_train_input},
                                      {"get_train_target", get_train_target},
                                      {"get_train_output", get_train_output},
                                      {"set_train_data", set_train_data},
                                      {"train", train},
                                      {"init_test", init_test},
                                      {"get_test_input", get_test_input},
                                      {"get_test_target", get_test_target},
                                      {"get_test_output", get_test_output},
                                      {"set_test_data", set_test_data},
                                      {"predict", predict},
                                      {"get_best_epoch", get_best_epoch},
                                      {"get_cost_train", get_cost_train},
                                      {"get_cost_validation", get_cost_validation},
                                      {"get_accuracy", get_accuracy},
                                      {"mnist_load_train", mnist_load_train},
                                      {"mnist_load_test", mnist_load_test},
                                      {nullptr, nullptr}};

}  // namespace nrvlua
