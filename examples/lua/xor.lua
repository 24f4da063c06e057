-- Learns XOR with a 2-8-1 network: tanh hidden layer, sigmoid output, mean
-- squared error, Adam.
--   LUA_CPATH=build/bin/?.so luajit examples/lua/xor.lua
local nrv = require "nrvlua"

local started = nrv.milliseconds()
local net = nrv.create("xor", nrv.CRITERION_MSE, nrv.VALIDATION_LOSS, nrv.OPTIMIZER_ADAM, false, 0.05)
nrv.add_layer(net, 2, nrv.ACTIVATION_NONE, 0, "input")
nrv.add_layer(net, 8, nrv.ACTIVATION_TANH, 0, "hidden")
nrv.add_layer(net, 1, nrv.ACTIVATION_SIGMOID, 0, "output")
nrv.compile(net)

local inputs = nrv.tensor_from_table({0, 0, 0, 1, 1, 0, 1, 1})
local targets = nrv.tensor_from_table({0, 1, 1, 0})
nrv.set_train_data(net, 4, inputs, targets)
-- 500 epochs of the four samples in one batch, in order (seed 0), at the
-- network's rate, without early stopping.
local cost = nrv.train(net, 500, 4, 0, 0, 0)

local outputs = nrv.tensor_create(4, nrv.TENSOR_ZERO, "outputs")
nrv.predict(net, inputs, 0, outputs)
local y = nrv.tensor_to_table(outputs)
local right = 0
for i, pair in ipairs({{0, 0}, {0, 1}, {1, 0}, {1, 1}}) do
  local expected = (pair[1] + pair[2]) % 2
  local ok = (y[i] > 0.5) == (expected == 1)
  if ok then right = right + 1 end
  print(string.format("%d xor %d = %.3f  (%d)%s", pair[1], pair[2], y[i], expected, ok and "" or "  WRONG"))
end
print(string.format("final cost %.5f, %d of 4 right", cost, right))
nrv.print_duration("trained in", nrv.milliseconds() - started, "m")
nrv.destroy(net)
if right ~= 4 then os.exit(1) end
