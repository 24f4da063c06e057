-- require "nrvlua": the function table, the constants and the banner.
local check = require "check"
local nrv = require "nrvlua"

check.eq(nrv, nrvlua, "module table is the global nrvlua")
check.eq(package.loaded.nrvlua, nrv, "package.loaded entry")

local names = {
  "version", "randn", "rand", "milliseconds", "print_duration", "tensor_create",
  "tensor_from_table", "tensor_to_table", "tensor_reset", "tensor_set", "tensor_get",
  "tensor_size", "tensor_copy", "tensor_stats", "tensor_mean", "tensor_stddev", "tensor_max",
  "tensor_min", "tensor_normalize", "tensor_denormalize", "tensor_print", "tensor_save",
  "tensor_load", "tensor_destroy", "create", "set_log", "add_layer", "add_layer_conv",
  "get_layer_input_size", "get_layer_output_size", "summary", "compile", "reset_gradient",
  "propagate_forward", "loss", "propagate_backward", "update_parameters", "get_output",
  "argmax", "init_train", "get_train_input", "get_train_target", "get_train_output",
  "set_train_data", "train", "init_test", "get_test_input", "get_test_target",
  "get_test_output", "set_test_data", "predict", "get_best_epoch", "get_cost_train",
  "get_cost_validation", "get_accuracy", "destroy", "save_cost", "save", "load",
  "mnist_load_train", "mnist_load_test" }
check.eq(#names, 61, "listed functions")
for _, name in ipairs(names) do check.eq(type(nrv[name]), "function", name) end

local constants = {
  TENSOR_ZERO = 0, TENSOR_RAND = 7, ACTIVATION_NONE = 1, ACTIVATION_RELU = 2,
  ACTIVATION_TANH = 4, ACTIVATION_SIGMOID = 5, ACTIVATION_SOFTMAX = 6, CRITERION_MSE = 1,
  CRITERION_CCE = 2, CRITERION_MAE = 3, CRITERION_HUL = 4, OPTIMIZER_RMSPROP = 1,
  OPTIMIZER_RPROP = 2, OPTIMIZER_ADAM = 3, OPTIMIZER_ADAMAX = 4, VALIDATION_LOSS = 1,
  VALIDATION_ARGMAX = 2 }
local functions, numbers = 0, 0
for name, value in pairs(nrv) do
  if type(value) == "function" then functions = functions + 1
  elseif type(value) == "number" then
    numbers = numbers + 1
    check.eq(value, constants[name], "constant " .. name)
    check.truthy(not (name:match("^ACTIVATION_") and value == 3), "no ACTIVATION constant is 3")
  else check.truthy(false, "unexpected entry " .. name) end
end
check.eq(functions, 61, "functions in the table")
check.eq(numbers, 17, "constants in the table")

local banner = nrv.version()
check.eq(banner:sub(1, 1), "\n", "banner starts with a newline")
check.eq(banner:sub(-2), "\n\n", "banner ends with an empty line")
check.truthy(banner:find("nrvlua", 1, true), "banner names the module")

-- A second require gives the same table and does not open again.
check.eq(require "nrvlua", nrv, "second require")
check.finish()
