-- Wrong calls and the exact message each one raises.
local check = require "check"
local nrv = require "nrvlua"
local missing = os.tmpname() .. ".none/x"

local t = nrv.tensor_create(3, nrv.TENSOR_ZERO, "t")
local net = nrv.create("n", nrv.CRITERION_MSE, nrv.VALIDATION_LOSS, nrv.OPTIMIZER_ADAM)
nrv.add_layer(net, 3, nrv.ACTIVATION_NONE)
local conv = nrv.add_layer_conv(net, 1, 3, 1, 1, 1, nrv.ACTIVATION_NONE, 0, "c", 1, 0)
nrv.add_layer(net, 1, nrv.ACTIVATION_SIGMOID)
local raw = nrv.create("raw")  -- no layers, not compiled
local destroyed = nrv.tensor_create(2, nrv.TENSOR_ZERO, "d")
nrv.tensor_destroy(destroyed)

local cases = {
  -- argument counts
  {"nrvlua.version: invalid number of arguments (should be none)", nrv.version, 1},
  {"nrvlua.randn: invalid number of arguments (should be 2)", nrv.randn, 1},
  {"nrvlua.milliseconds: invalid number of arguments (should be none)", nrv.milliseconds, 1},
  {"nrvlua.print_duration: invalid number of arguments (should be 3)", nrv.print_duration, "a", 1},
  {"nrvlua.tensor_create: invalid number of arguments (should be 3 or 4)", nrv.tensor_create, 1, 0},
  {"nrvlua.tensor_reset: invalid number of arguments (should be 2 or 3)", nrv.tensor_reset, t},
  {"nrvlua.tensor_load: invalid number of arguments (should be 1 or 2)", nrv.tensor_load},
  {"nrvlua.tensor_mean: invalid number of arguments (should be 1)", nrv.tensor_max},
  {"nrvlua.create: invalid number of arguments (should be between 1 and 6)", nrv.create, "a", 1, 1, 1, false, 0.1, 7},
  {"nrvlua.add_layer: invalid number of arguments (should be 3, 4 or 5)", nrv.add_layer, net, 1},
  {"nrvlua.add_layer_conv: invalid number of arguments (should be between 7 and 11)", nrv.add_layer_conv, net, 1, 1, 1, 1, 1},
  {"nrvlua.get_layer_input_size: invalid number of arguments (should be 1)", nrv.get_layer_input_size},
  {"nrvlua.get_layer_output_size: invalid number of arguments (should be 1)", nrv.get_layer_output_size, conv, 1},
  {"nrvlua.init_train: invalid number of arguments (should be 5)", nrv.init_train, net, 1, 1, 1},
  {"nrvlua.set_data: invalid number of arguments (should be 4)", nrv.set_train_data, net, 1, t},
  {"nrvlua.set_data: invalid number of arguments (should be 4)", nrv.set_test_data, net},
  {"nrvlua.train: invalid number of arguments (should be 6)", nrv.train, net},
  {"nrvlua.init_test: invalid number of arguments (should be 4)", nrv.init_test, net},
  {"nrvlua.predict: invalid number of arguments (should be 2, 3 or 4)", nrv.predict, net},
  {"nrvlua.mnist_load_test: invalid number of arguments (should be 3)", nrv.mnist_load_test, net, "a"},
  -- types (NRVLUAstatus unset)
  {"invalid type of argument #2", nrv.tensor_create, 3, "0", "x"},
  {"invalid type of argument #3", nrv.tensor_create, 3, 0, 5},
  {"invalid type of argument #1", nrv.tensor_from_table, "x"},
  {"invalid type of argument #1", nrv.tensor_load, 5},
  {"invalid type of argument #3", nrv.save, net, "f", 1},
  {"invalid type of argument #5", nrv.create, "a", 1, 1, 1, 0},
  {"invalid type of argument #9", nrv.add_layer_conv, net, 1, 1, 1, 1, 1, 1, 0, 5},
  {"invalid type of argument #3", nrv.set_train_data, net, 1, "t", t},
  {"invalid type of argument #5", nrv.train, net, 1, 1, 1, "0.1", 0},
  {"invalid type of argument #2", nrv.propagate_forward, net, "t"},
  -- nil handles
  {"nrvlua.tensor_size: invalid argument #1 (nil tensor)", nrv.tensor_size, 0},
  {"nrvlua.tensor_size: invalid argument #1 (nil tensor)", nrv.tensor_size, destroyed},
  {"nrvlua.tensor_mean: invalid argument #1 (nil tensor)", nrv.tensor_stddev, net},
  {"nrvlua.compile: invalid argument #1 (nil NRV)", nrv.compile, 0},
  {"nrvlua.compile: invalid argument #1 (nil NRV)", nrv.compile, t},
  {"nrvlua.get_layer_input_size: invalid argument #1 (nil layer)", nrv.get_layer_input_size, net},
  {"nrvlua.propagate_forward: invalid argument #2 (nil tensor)", nrv.propagate_forward, net, destroyed},
  {"nrvlua.loss: invalid argument #1 (nil NRV)", nrv.loss, 0, "not even looked at"},
  {"nrvlua.set_data: invalid argument #1 (nil NRV)", nrv.set_test_data, 0, 1, t, t},
  {"nrvlua.set_data: invalid argument #3 (nil tensor)", nrv.set_train_data, net, 1, 0, t},
  {"nrvlua.set_data: invalid argument #4 (nil tensor)", nrv.set_train_data, net, 1, t, destroyed},
  {"nrvlua.predict: invalid argument #2 (nil tensor)", nrv.predict, net, destroyed, 0},
  {"nrvlua.argmax: invalid argument #1 (nil tensor)", nrv.argmax, 0},
  {"nrvlua.argmax: invalid argument #1 (nil tensor)", nrv.argmax, 4096},
  {"nrvlua.argmax: invalid argument #1 (nil tensor)", nrv.argmax, net},
  {"nrvlua.get_train_input: invalid argument #1 (nil NRV)", nrv.get_train_input, t, 1},
  {"nrvlua.get_test_output: invalid argument #1 (nil NRV)", nrv.get_test_output, 0, 1},
  -- empty file names
  {"nrvlua.tensor_save: invalid argument #2 (empty filename)", nrv.tensor_save, t, ""},
  {"nrvlua.tensor_load: invalid argument #1 (empty filename)", nrv.tensor_load, ""},
  {"nrvlua.load: invalid argument #1 (empty filename)", nrv.load, ""},
  {"nrvlua.save: invalid argument #2 (empty filename)", nrv.save, net, "", false},
  {"nrvlua.set_log: invalid argument #2 (empty filename)", nrv.set_log, net, "", false},
  {"nrvlua.save_cost: invalid argument #2 (empty filename)", nrv.save_cost, net, ""},
  {"nrvlua.mnist_load_train: invalid argument #2 (empty filename)", nrv.mnist_load_train, net, "", "x"},
  {"nrvlua.mnist_load_train: invalid argument #3 (empty filename)", nrv.mnist_load_train, net, "x", ""},
  -- value tests and files
  {"nrvlua.tensor_from_table: invalid table size", nrv.tensor_from_table, {}},
  {"nrvlua.tensor_normalize: invalid argument #3 (stddev <= 0)", nrv.tensor_normalize, t, 0, 1e-50},
  {"nrvlua.tensor_normalize: invalid argument #3 (stddev <= 0)", nrv.tensor_normalize, t, 0, -1},
  {"nrvlua.tensor_save: cannot create file: '" .. missing .. "'", nrv.tensor_save, t, missing},
  {"nrvlua.tensor_load: cannot open file: '" .. missing .. "'", nrv.tensor_load, missing},
  -- library failures
  {"nrvlua.compile: failed: 'a network needs an input layer and at least one more'", nrv.compile, raw},
  {"nrvlua.propagate_forward: failed: 'network not compiled'", nrv.propagate_forward, raw, t},
  {"nrvlua.create: failed: 'unknown criterion 9'", nrv.create, "bad", 9},
  {"nrvlua.create: failed: 'learning rate must be positive'", nrv.create, "bad", 1, 1, 1, false, 0},
  {"nrvlua.load: failed: 'cannot open file '" .. missing .. "''", nrv.load, missing},
  {"nrvlua.add_layer: failed: 'unknown activation 3'", nrv.add_layer, raw, 2, 3},
  {"nrvlua.add_layer_conv: failed: 'invalid convolution geometry'", nrv.add_layer_conv, raw, 0, 1, 1, 1, 1, 1},
  {"nrvlua.mnist_load_train: failed: 'network has no layers'", nrv.mnist_load_train, raw, "a", "b"},
  {"nrvlua.set_log: failed: 'cannot open log file '" .. missing .. "''", nrv.set_log, net, missing, true},
  {"nrvlua.save_cost: failed: 'cannot create file '" .. missing .. "''", nrv.save_cost, net, missing},
  {"nrvlua.tensor_set: failed: 'index out of range'", nrv.tensor_set, t, 3, 1},
  {"nrvlua.tensor_get: failed: 'index out of range'", nrv.tensor_get, t, -1},
  {"nrvlua.tensor_reset: failed: 'unknown tensor kind 3'", nrv.tensor_reset, t, 3},
}
for _, case in ipairs(cases) do check.raises(case[1], unpack(case, 2, table.maxn(case))) end

-- With NRVLUAstatus holding a text (or a number), type errors carry it.
NRVLUAstatus = "training step"
check.raises("training step: invalid type of argument #2", nrv.tensor_create, 3, "0", "x")
NRVLUAstatus = 42
check.raises("42: invalid type of argument #1", nrv.init_train, "n", 1, 1, 1, 1)
NRVLUAstatus = {}
check.raises("invalid type of argument #1", nrv.tensor_size, "1")
NRVLUAstatus = nil

-- Sample and epoch numbers outside the data.
nrv.compile(net)
local x = nrv.tensor_from_table({1, 2, 3, 4, 5, 6})
local y = nrv.tensor_from_table({0, 1})
nrv.set_train_data(net, 2, x, y)
nrv.train(net, 2, 2, 0, 0.01, 0)
check.raises("nrvlua.get_train_input: failed: 'index out of range'", nrv.get_train_input, net, 3)
check.raises("nrvlua.get_train_target: failed: 'index out of range'", nrv.get_train_target, net, 0)
check.raises("nrvlua.get_test_input: failed: 'index out of range'", nrv.get_test_input, net, 1)
check.raises("nrvlua.get_cost_train: failed: 'index out of range'", nrv.get_cost_train, net, 3)
check.raises("nrvlua.get_cost_validation: failed: 'index out of range'", nrv.get_cost_validation, net, 0)
check.raises("nrvlua.get_accuracy: failed: 'index out of range'", nrv.get_accuracy, net, 3)
check.raises("nrvlua.predict: failed: 'index out of range'", nrv.predict, net, 0)
check.raises("nrvlua.set_data: failed: '3 samples need 9 inputs and 3 targets, not 6 and 2'", nrv.set_train_data, net, 3, x, y)
check.raises("nrvlua.train: failed: 'invalid batch size 0'", nrv.train, net, 1, 0, 0, 0, 0)
check.truthy(nrv.get_cost_train(net, 2) > 0, "the network works on after a refusal")

-- A message longer than 2047 characters is cut to 2047.
local long = string.rep("d", 3000)
local ok, err = pcall(nrv.tensor_load, long)  -- straight from pcall: no position
local text = tostring(err)
check.eq(#text, 2047, "long message cut")
check.eq(text:sub(1, 38), "nrvlua.tensor_load: cannot open file: ", "cut message start")

-- Owned tensors: argmax takes them, the tensor functions do not.
nrv.propagate_forward(net, x)
local out = nrv.get_output(net)
check.eq(nrv.argmax(out), 1, "argmax of the output of both samples")
check.raises("nrvlua.tensor_size: invalid argument #1 (nil tensor)", nrv.tensor_size, out)
check.eq(nrv.tensor_destroy(out), 0, "tensor_destroy refuses an owned tensor")
local sample = nrv.get_train_input(net, 1)

-- After destroy: the network, its layers and its tensors are refused.
nrv.destroy(net)
check.raises("nrvlua.train: invalid argument #1 (nil NRV)", nrv.train, net, 1, 1, 0, 0, 0)
check.raises("nrvlua.destroy: invalid argument #1 (nil NRV)", nrv.destroy, net)
check.raises("nrvlua.get_layer_output_size: invalid argument #1 (nil layer)", nrv.get_layer_output_size, conv)
check.raises("nrvlua.argmax: invalid argument #1 (nil tensor)", nrv.argmax, out)
check.raises("nrvlua.argmax: invalid argument #1 (nil tensor)", nrv.argmax, sample)
check.finish()
