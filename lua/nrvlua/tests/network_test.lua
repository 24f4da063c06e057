-- Network, layer, training, test-data and prediction functions on sound
-- arguments.
local check = require "check"
local nrv = require "nrvlua"
local bin = assert(arg[1], "usage: network_test.lua BIN_FOLDER")
local data = bin .. "/data/"
local scratch = os.tmpname()

local function values(t) return table.concat(nrv.tensor_to_table(t), ",") end

-- Building: add_layer chains, add_layer_conv hands back its layer.
local net = nrv.create("digits", nrv.CRITERION_CCE, nrv.VALIDATION_ARGMAX, nrv.OPTIMIZER_ADAM, false, 0.01)
check.truthy(net ~= 0, "create")
check.eq(nrv.add_layer(net, 64, nrv.ACTIVATION_NONE), net, "add_layer returns the network")
local conv = nrv.add_layer_conv(net, 1, 8, 8, 4, 3, nrv.ACTIVATION_RELU)
check.truthy(conv ~= 0 and conv ~= net, "add_layer_conv returns its layer")
check.eq(nrv.get_layer_input_size(conv), 64, "conv input size")
check.eq(nrv.get_layer_output_size(conv), 4 * 8 * 8, "conv output size, padding 1 keeps 8x8")
local strided = nrv.add_layer_conv(net, 4, 8, 8, 2, 2, nrv.ACTIVATION_TANH, 0, "down", 2, 0)
check.eq(nrv.get_layer_output_size(strided), 2 * 4 * 4, "stride 2 halves each side")
nrv.add_layer(nrv.add_layer(net, 16, nrv.ACTIVATION_RELU, 0, "hidden"), 10, nrv.ACTIVATION_SOFTMAX, 0.1, "out")
nrv.summary(net)
nrv.compile(net)
nrv.set_log(net, scratch .. ".log", false)

-- Digits from the IDX files: counts, sample views, argmax of owned tensors.
check.eq(nrv.init_train(net, 0, 64, 10, 10), 0, "init_train sets the validation share")
check.eq(nrv.mnist_load_train(net, data .. "digits-train-images.idx", data .. "digits-train-labels.idx"), 1348, "train images")
check.eq(nrv.mnist_load_test(net, data .. "digits-test-images.idx", data .. "digits-test-labels.idx"), 449, "test images")
local target1 = nrv.get_train_target(net, 1)
check.eq(nrv.argmax(target1), 0, "first digit of the set is a 0")
check.eq(nrv.argmax(nrv.get_train_target(net, 2)), 1, "second is a 1")
local input1 = nrv.get_train_input(net, 1)
check.truthy(input1 ~= 0, "get_train_input")
check.truthy(nrv.get_test_input(net, 449) ~= 0, "last test sample")
check.truthy(nrv.argmax(nrv.get_test_target(net, 1)) >= 0, "test target")

local cost = nrv.train(net, 6, 16, 1, 0, 0)
check.truthy(cost > 0 and cost < 1, "train returns the last epoch's cost")
local best = nrv.get_best_epoch(net)
check.truthy(best >= 1 and best <= 6, "best epoch counted from 1")
check.truthy(nrv.get_cost_train(net, 6) < nrv.get_cost_train(net, 1), "cost falls")
check.truthy(nrv.get_cost_validation(net, best) <= nrv.get_cost_validation(net, 1), "best epoch has the lowest validation cost")
check.truthy(nrv.get_accuracy(net, 6) > 0.8, "accuracy after six epochs")
local log = io.open(scratch .. ".log"):read("*a")
check.truthy(log:find("epoch 6\tcost ", 1, true), "the log holds a line per epoch")
nrv.save_cost(net, scratch .. ".cost")
local lines = 0
for _ in io.lines(scratch .. ".cost") do lines = lines + 1 end
check.eq(lines, 7, "cost file: a header and six epochs")

-- Prediction by index agrees with the argmax of the sample's output.
local right = 0
for i = 1, 449 do
  local class = nrv.predict(net, i)
  check.eq(class, nrv.argmax(nrv.get_test_output(net, i)), "predict by index is the output's class")
  if class == nrv.argmax(nrv.get_test_target(net, i)) then right = right + 1 end
end
check.truthy(right / 449 > 0.8, "test accuracy")
check.truthy(nrv.argmax(nrv.get_train_output(net, 1)) >= 0, "get_train_output")

-- Save and load: the same predictions.
check.eq(nrv.save(net, scratch .. ".nrv", true), 1, "save")
local copy = nrv.load(scratch .. ".nrv")
check.truthy(copy ~= net, "load gives a new network")
nrv.init_test(copy, 0, 64, 10)
nrv.mnist_load_test(copy, data .. "digits-test-images.idx", data .. "digits-test-labels.idx")
for i = 1, 20 do check.eq(nrv.predict(copy, i), nrv.predict(net, i), "loaded network predicts the same") end
nrv.destroy(copy)

-- The single steps on tensors: XOR by hand with plain updates.
local xor = nrv.create("xor", nrv.CRITERION_MSE, nrv.VALIDATION_LOSS, nrv.OPTIMIZER_ADAM, false, 0.05)
nrv.add_layer(xor, 2, nrv.ACTIVATION_NONE)
nrv.add_layer(xor, 8, nrv.ACTIVATION_TANH)
nrv.add_layer(xor, 1, nrv.ACTIVATION_SIGMOID)
nrv.compile(xor)
local x = nrv.tensor_from_table({0, 0, 0, 1, 1, 0, 1, 1})
local y = nrv.tensor_from_table({0, 1, 1, 0})
for _ = 1, 400 do
  nrv.reset_gradient(xor)
  nrv.propagate_forward(xor, x)
  nrv.loss(xor, y)
  nrv.propagate_backward(xor)
  nrv.update_parameters(xor, 0.05)
end
nrv.propagate_forward(xor, x)
local out = nrv.get_output(xor)
check.eq(nrv.argmax(out), 1, "argmax takes the network's output")
local outputs = nrv.tensor_create(4, nrv.TENSOR_ZERO, "outputs")
local mse = nrv.predict(xor, x, y, outputs)
check.truthy(mse < 0.05, "predict with a target gives the loss")
local o = nrv.tensor_to_table(outputs)
check.truthy(o[1] < 0.5 and o[2] > 0.5 and o[3] > 0.5 and o[4] < 0.5, "XOR learnt: " .. values(outputs))
check.near(nrv.predict(xor, nrv.tensor_from_table({1, 0}), 0, 0), o[3], 1e-6, "predict without target gives the output")

-- Training data from tensors, test data from tensors.
check.eq(nrv.init_train(xor, 4, 2, 1, 0), 4, "init_train")
check.eq(nrv.set_train_data(xor, 4, x, y), 4, "set_train_data")
check.eq(nrv.set_test_data(xor, 4, x, y), 4, "set_test_data")
check.truthy(nrv.train(xor, 50, 4, 0, 0.01, 0) < 0.05, "train on tensors")
check.eq(nrv.get_accuracy(xor, 50), 1, "all four right")
check.truthy(nrv.predict(xor, 2) > 0.5, "predict test sample 2 (0,1)")
check.eq(nrv.argmax(nrv.get_test_target(xor, 2)), 0, "single target")

nrv.destroy(xor)
nrv.destroy(net)
for _, suffix in ipairs({"", ".log", ".cost", ".nrv"}) do os.remove(scratch .. suffix) end
check.finish()
