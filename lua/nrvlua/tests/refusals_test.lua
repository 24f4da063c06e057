-- Values and paths the module refuses before the library sees them: rates,
-- scales and statistics that are not finite numbers, and paths that name
-- something other than a regular file (a FIFO would block the call for
-- ever); and the empty IDX set, named for what it is.
local check = require "check"
local nrv = require "nrvlua"

local inf, nan = 1 / 0, 0 / 0

-- A small network with data to train on, used by every case below.
local function trainedNetwork()
  local net = nrv.create("values", nrv.CRITERION_MSE, nrv.VALIDATION_LOSS, nrv.OPTIMIZER_ADAM)
  nrv.add_layer(net, 2, nrv.ACTIVATION_NONE)
  nrv.add_layer(net, 1, nrv.ACTIVATION_NONE)
  nrv.compile(net)
  nrv.set_train_data(net, 4, nrv.tensor_from_table({0, 0, 0, 1, 1, 0, 1, 1}),
    nrv.tensor_from_table({0, 1, 1, 2}))
  return net
end

local net = trainedNetwork()
local t = nrv.tensor_from_table({1, 2, 3})
local x = nrv.tensor_from_table({1, 1})

-- 1e39 is finite for Lua but beyond the float range the library computes in.
local values = {
  {"train", 5, function(v) return nrv.train(net, 1, 4, 0, v, 0) end},
  {"update_parameters", 2, function(v) return nrv.update_parameters(net, v) end},
  {"create", 6, function(v) return nrv.create("r", 1, 1, 1, false, v) end},
  {"tensor_normalize", 2, function(v) return nrv.tensor_normalize(t, v, 1) end},
  {"tensor_normalize", 3, function(v) return nrv.tensor_normalize(t, 0, v) end},
  {"add_layer", 4, function(v) return nrv.add_layer(nrv.create("s"), 2, nrv.ACTIVATION_NONE, v) end},
  {"add_layer_conv", 8, function(v)
    return nrv.add_layer_conv(nrv.create("c"), 1, 2, 1, 1, 1, nrv.ACTIVATION_NONE, v)
  end},
}
for _, case in ipairs(values) do
  local message = string.format("nrvlua.%s: invalid argument #%d (not a finite number)", case[1], case[2])
  for _, v in ipairs({inf, -inf, nan, 1e39}) do
    check.raises(message, case[3], v)
  end
end

-- The refusals left the network and the tensor as they were: training and
-- prediction still give finite numbers.
local cost = nrv.train(net, 2, 4, 0, 0.01, 0)
check.truthy(cost == cost and cost < inf, "training after the refusals gives a finite cost")
local prediction = nrv.predict(net, x)
check.truthy(prediction == prediction and math.abs(prediction) < inf, "prediction stays finite")
check.eq(nrv.tensor_get(t, 2), 3, "the tensor was not normalized by a refused call")

-- Paths that are no regular file: a FIFO (which would block the call until
-- another program opened it) and a folder, for every reader and writer.
local folder = os.tmpname()
os.remove(folder)
local made = os.execute("mkdir '" .. folder .. "' && mkfifo '" .. folder .. "/pipe'")
check.truthy(made == 0 or made == true, "FIFO made")
local fifo = folder .. "/pipe"
local idx = folder .. "/images.idx"
local function refusedAs(path, kind, position, name)
  return string.format("nrvlua.%s: invalid argument #%d ('%s' is %s, not a regular file)",
    name, position, path, kind)
end
local readersAndWriters = {
  {"tensor_load", 1, function(p) return nrv.tensor_load(p) end},
  {"tensor_save", 2, function(p) return nrv.tensor_save(t, p) end},
  {"load", 1, function(p) return nrv.load(p) end},
  {"save", 2, function(p) return nrv.save(net, p, true) end},
  {"set_log", 2, function(p) return nrv.set_log(net, p, true) end},
  {"save_cost", 2, function(p) return nrv.save_cost(net, p) end},
  {"mnist_load_train", 2, function(p) return nrv.mnist_load_train(net, p, idx) end},
  {"mnist_load_test", 3, function(p) return nrv.mnist_load_test(net, idx, p) end},
}
for _, case in ipairs(readersAndWriters) do
  check.raises(refusedAs(fifo, "a FIFO", case[2], case[1]), case[3], fifo)
  check.raises(refusedAs(folder, "a folder", case[2], case[1]), case[3], folder)
end

-- IDX files whose counts agree on no samples at all: an empty set, not a
-- disagreement of counts.
local function bigEndian(...)
  local bytes = {}
  for _, v in ipairs({...}) do
    bytes[#bytes + 1] = string.char(math.floor(v / 16777216) % 256, math.floor(v / 65536) % 256,
      math.floor(v / 256) % 256, v % 256)
  end
  return table.concat(bytes)
end
local labels = folder .. "/labels.idx"
local f = assert(io.open(idx, "wb"))
f:write(bigEndian(0x803, 0, 1, 2))
f:close()
f = assert(io.open(labels, "wb"))
f:write(bigEndian(0x801, 0))
f:close()
check.raises("nrvlua.mnist_load_train: failed: ''" .. idx .. "' and '" .. labels
  .. "' hold no samples (an empty set)'", nrv.mnist_load_train, net, idx, labels)

os.remove(fifo)
os.remove(idx)
os.remove(labels)
os.remove(folder)
check.finish()
