-- Integers that do not fit, sizes no memory holds, damaged files and stale
-- handles: each refused with the function's own message, never wrapped
-- into another value and never the bare "C++ exception" of LuaJIT.
local check = require "check"
local nrv = require "nrvlua"
local scratch = os.tmpname()

local t = nrv.tensor_from_table({1, 2, 3})
local net = nrv.create("n", nrv.CRITERION_MSE, nrv.VALIDATION_LOSS, nrv.OPTIMIZER_ADAM)
nrv.add_layer(net, 3, nrv.ACTIVATION_NONE)
nrv.add_layer(net, 1, nrv.ACTIVATION_SIGMOID)
nrv.compile(net)
nrv.set_train_data(net, 1, t, nrv.tensor_from_table({1}))
nrv.set_test_data(net, 1, t, nrv.tensor_from_table({1}))
nrv.train(net, 1, 1, 0, 0.01, 0)

-- An integer beyond 32 bits, or no number at all, never reaches the library
-- wrapped: 2^32 would have been element 0, kind TENSOR_ZERO, a 3-unit layer.
local outOfRange = "failed: 'index out of range'"
local cases = {
  {"tensor_set", nrv.tensor_set, t, 2^32, 9},
  {"tensor_set", nrv.tensor_set, t, -2^32, 9},
  {"tensor_set", nrv.tensor_set, t, 2^31, 9},
  {"tensor_get", nrv.tensor_get, t, 1e300},
  {"tensor_get", nrv.tensor_get, t, -1e300},
  {"tensor_get", nrv.tensor_get, t, 0/0},
  {"tensor_get", nrv.tensor_get, t, math.huge},
  {"tensor_get", nrv.tensor_get, t, 2^31 - 1},  -- fits: the library's own refusal
  {"tensor_create", nrv.tensor_create, 2^32 + 3, nrv.TENSOR_ZERO, "w"},
  {"tensor_create", nrv.tensor_create, 3, 2^32, "w"},
  {"tensor_reset", nrv.tensor_reset, t, 2^32 + 7},
  {"tensor_print", nrv.tensor_print, t, "x", 2^40},
  {"print_duration", nrv.print_duration, "x", 2^32, "s"},
  {"create", nrv.create, "c", 2^32 + 1},
  {"add_layer", nrv.add_layer, nrv.create("a"), 2^32 + 3, nrv.ACTIVATION_NONE},
  {"add_layer_conv", nrv.add_layer_conv, nrv.create("a"), 1, 2^32 + 3, 3, 1, 1, nrv.ACTIVATION_NONE},
  {"add_layer_conv", nrv.add_layer_conv, nrv.create("a"), 1, 3, 3, 1, 1, nrv.ACTIVATION_NONE, 0, "c", 2^33},
  {"init_train", nrv.init_train, nrv.create("a"), 2^31, 1, 1, 0},
  {"init_test", nrv.init_test, nrv.create("a"), 1, 2^32 + 1, 1},
  {"set_data", nrv.set_train_data, net, 2^32 + 1, t, t},
  {"train", nrv.train, net, 2^32 + 1, 1, 0, 0.01, 0},
  {"train", nrv.train, net, 1, 1, 0, 0.01, -2^40},
  {"get_train_input", nrv.get_train_input, net, 2^32 + 1},
  {"get_train_input", nrv.get_train_input, net, -2^31},  -- less one does not fit
  {"get_test_target", nrv.get_test_target, net, 1e10},
  {"get_cost_train", nrv.get_cost_train, net, 2^32 + 1},
  {"get_accuracy", nrv.get_accuracy, net, -1e300},
  {"predict", nrv.predict, net, 2^31 - 1},  -- a sample number the data lacks
}
for _, case in ipairs(cases) do
  check.raises("nrvlua." .. case[1] .. ": " .. outOfRange, unpack(case, 2, table.maxn(case)))
end
check.eq(nrv.tensor_get(t, 0), 1, "element 0 untouched by the refused writes")
check.eq(nrv.tensor_get(t, 2.9), 3, "a fraction is cut toward zero")
check.eq(nrv.tensor_get(t, -0.5), 1, "also below zero")
check.truthy(nrv.predict(net, 1) >= 0, "sample 1 still predicts")

-- predict(N, T): a live tensor is predicted, a destroyed one refused like
-- everywhere else (its handle is no sample number).
local input = nrv.tensor_from_table({1, 2, 3})
check.truthy(nrv.predict(net, input) >= 0, "predict with a tensor alone")
nrv.tensor_destroy(input)
check.raises("nrvlua.predict: invalid argument #2 (nil tensor)", nrv.predict, net, input)
check.raises("nrvlua.tensor_size: invalid argument #1 (nil tensor)", nrv.tensor_size, input)

-- Memory no machine holds is refused by its size, at once, with the
-- function's message (not allocated towards it for minutes).
local function raisesInsufficientMemory(function_name, f, ...)
  local ok, err = pcall(f, ...)
  check.truthy(not ok, function_name .. " refused")
  local prefix = "nrvlua." .. function_name .. ": failed: 'insufficient memory: "
  check.truthy(tostring(err):find(prefix, 1, true), function_name .. ": " .. tostring(err))
end
raisesInsufficientMemory("init_train", nrv.init_train, nrv.create("big"), 2^31 - 1, 2^20, 1, 0)
raisesInsufficientMemory("init_test", nrv.init_test, nrv.create("big"), 2^31 - 1, 2^20, 1)
local wide = nrv.create("wide", nrv.CRITERION_MSE, nrv.VALIDATION_LOSS)
nrv.add_layer(wide, 16000000, nrv.ACTIVATION_NONE)
nrv.add_layer(wide, 16000000, nrv.ACTIVATION_RELU)
raisesInsufficientMemory("compile", nrv.compile, wide)

-- A network file whose damaged header asks for two layers of 2^24 units:
-- its length is checked before anything is set aside for them.
local function u32(v)
  return string.char(v % 256, math.floor(v / 256) % 256, math.floor(v / 65536) % 256,
                     math.floor(v / 16777216) % 256)
end
local function layer(kind, size)
  return u32(kind) .. u32(0) .. u32(nrv.ACTIVATION_NONE) .. u32(size) .. u32(size) .. string.rep(u32(0), 7) .. u32(0)
end
local damaged = scratch .. ".nrv"
local file = assert(io.open(damaged, "wb"))
file:write("NRVN", u32(1), u32(1), "h", u32(nrv.CRITERION_MSE), u32(nrv.VALIDATION_LOSS), u32(0), "\0",
           u32(0x3F800000), u32(0), "\0", u32(0), u32(0), u32(2), layer(0, 2^24), layer(1, 2^24))
file:close()
check.raises("nrvlua.load: failed: ''" .. damaged .. "': truncated network file'", nrv.load, damaged)

-- A tensor file promising 2^27 elements and holding three: refused (0).
nrv.tensor_save(t, scratch .. ".nrt")
local bytes = assert(io.open(scratch .. ".nrt", "rb")):read("*a")
file = assert(io.open(scratch .. ".nrt", "wb"))
file:write(bytes:sub(1, 8), u32(2^27), bytes:sub(13))
file:close()
check.eq(nrv.tensor_load(scratch .. ".nrt"), 0, "short tensor file refused")
os.remove(damaged)
os.remove(scratch .. ".nrt")
os.remove(scratch)
check.finish()
