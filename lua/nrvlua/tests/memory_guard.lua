-- Run with the address space limited (see CMakeLists.txt): the library runs
-- out of memory inside a call, and the call raises its own failure message
-- where LuaJIT would only have said "C++ exception". (A machine with less
-- than twice the layer's memory refuses it by its size before allocating;
-- the message starts the same.)
local check = require "check"
local nrv = require "nrvlua"

local net = nrv.create("wide", nrv.CRITERION_MSE, nrv.VALIDATION_LOSS)
nrv.add_layer(net, 14000, nrv.ACTIVATION_NONE)
nrv.add_layer(net, 14000, nrv.ACTIVATION_RELU)
local ok, err = pcall(nrv.compile, net)
check.truthy(not ok, "compile refused")
check.truthy(tostring(err):find("nrvlua.compile: failed: 'insufficient memory", 1, true), tostring(err))
-- The state goes on working, the network included.
check.eq(nrv.tensor_size(nrv.tensor_from_table({1, 2})), 2, "module still usable")
nrv.destroy(net)
check.finish()
