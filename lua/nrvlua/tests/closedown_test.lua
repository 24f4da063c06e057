-- Close-down: live objects are freed when the module goes away, later
-- calls through kept functions are refused, and a second open in the same
-- state shares the first one's tables. Run under the sanitizer build, any
-- use of freed memory here fails the test.
local check = require "check"
local nrv = require "nrvlua"
local path = package.searchpath and package.searchpath("nrvlua", package.cpath)
  or (os.getenv("LUA_CPATH"):gsub("%?", "nrvlua"):match("[^;]+"))

-- A second open (the module's entry called again) keeps the handles valid.
local t = nrv.tensor_from_table({1, 2, 3})
local open = assert(package.loadlib(path, "luaopen_nrvlua"))
local again = open()
check.eq(again, nrv, "the second open registers into the same table")
check.eq(nrv.tensor_size(t), 3, "handles of the first open stay valid")

-- Objects left alive, of every kind.
local net = nrv.create("left", nrv.CRITERION_MSE, nrv.VALIDATION_LOSS, nrv.OPTIMIZER_ADAM)
nrv.add_layer(net, 2, nrv.ACTIVATION_NONE)
local conv = nrv.add_layer_conv(net, 1, 2, 1, 2, 1, nrv.ACTIVATION_RELU, 0, "c", 1, 0)
nrv.add_layer(net, 1, nrv.ACTIVATION_NONE)
nrv.compile(net)
local out = nrv.get_output(net)
local size = nrv.tensor_size
local layerSize = nrv.get_layer_output_size
local argmax = nrv.argmax
local create = nrv.tensor_create
local createNetwork = nrv.create
local fromTable = nrv.tensor_from_table
local load = nrv.tensor_load
local compile = nrv.compile

-- Drop every reference to the module table: both sentinels are collected
-- and the second of them frees the objects.
nrv, nrvlua, again, package.loaded.nrvlua = nil, nil, nil, nil
collectgarbage()
collectgarbage()

check.raises("nrvlua.tensor_size: invalid argument #1 (nil tensor)", size, t)
check.raises("nrvlua.get_layer_output_size: invalid argument #1 (nil layer)", layerSize, conv)
check.raises("nrvlua.argmax: invalid argument #1 (nil tensor)", argmax, out)
check.raises("nrvlua.compile: invalid argument #1 (nil NRV)", compile, net)
-- Nothing is made once the module closed, and every maker says so alike.
check.raises("nrvlua.tensor_create: failed: 'module closed'", create, 3, 0, "late")
check.raises("nrvlua.create: failed: 'module closed'", createNetwork, "late")
check.raises("nrvlua.tensor_from_table: failed: 'module closed'", fromTable, {1})
check.raises("nrvlua.tensor_load: failed: 'module closed'", load, "late.tensor")

-- A fresh require opens anew with empty tables.
local fresh = require "nrvlua"
check.raises("nrvlua.tensor_size: invalid argument #1 (nil tensor)", fresh.tensor_size, t)
local kept = fresh.tensor_from_table({4, 5})
local keptNet = fresh.create("kept")
fresh.add_layer(keptNet, 4, fresh.ACTIVATION_NONE)
check.eq(fresh.tensor_size(kept), 2, "the new open works")
-- The state closes with these alive: the collector frees them at exit.
check.finish()
