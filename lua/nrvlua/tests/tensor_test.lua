-- Tensor and utility functions: what each one does on sound arguments.
local check = require "check"
local nrv = require "nrvlua"
local scratch = os.tmpname()

-- Utilities.
local draws = {}
for i = 1, 2000 do draws[i] = nrv.rand(2, 4) end
local lo, hi, sum = 10, -10, 0
for _, v in ipairs(draws) do lo = math.min(lo, v); hi = math.max(hi, v); sum = sum + v end
check.truthy(lo >= 2 and hi < 4, "rand stays in [2, 4)")
check.near(sum / #draws, 3, 0.05, "rand mean")
local s, squares = 0, 0
for i = 1, 4000 do local v = nrv.randn(1, 0.5); s = s + v; squares = squares + v * v end
check.near(s / 4000, 1, 0.03, "randn mean")
check.near(math.sqrt(squares / 4000 - (s / 4000) ^ 2), 0.5, 0.03, "randn spread")
local t0 = nrv.milliseconds()
check.truthy(t0 >= 0 and t0 == math.floor(t0), "milliseconds is a count")
check.eq(nrv.print_duration("step", 1500, "m"), nil, "print_duration returns nothing")
nrv.print_duration("none", 3, "")

-- Creation, elements, sizes.
local a = nrv.tensor_create(4, nrv.TENSOR_ZERO, "a")
check.truthy(a ~= 0, "tensor_create gives a handle")
check.eq(nrv.tensor_size(a), 4, "tensor_size")
check.eq(nrv.tensor_get(a, 3), 0, "zero tensor")
nrv.tensor_set(a, 0, 1.5)
nrv.tensor_set(a, 3, -2)
check.eq(nrv.tensor_get(a, 0), 1.5, "tensor_set/get, first element")
check.eq(nrv.tensor_get(a, 3), -2, "tensor_set/get, last element")
local r = nrv.tensor_create(100, nrv.TENSOR_RAND, "r")
check.truthy(nrv.tensor_max(r) < 1 and nrv.tensor_min(r) >= 0 and nrv.tensor_max(r) > nrv.tensor_min(r), "random tensor")
local sourced = nrv.tensor_create(6, nrv.TENSOR_ZERO, "s", a)
check.eq(nrv.tensor_get(sourced, 3), -2, "source copied")
check.eq(nrv.tensor_get(sourced, 5), 0, "rest by kind")
local unsourced = nrv.tensor_create(2, nrv.TENSOR_ZERO, "u", 12345)
check.truthy(unsourced ~= 0, "a source naming no tensor is no source")
check.eq(nrv.tensor_create(0, nrv.TENSOR_ZERO, "empty"), 0, "refused size gives 0")

-- Tables.
local f = nrv.tensor_from_table({1, "2", "x"})
check.eq(table.concat(nrv.tensor_to_table(f), ","), "1,2,0", "from_table conversions")
local p = nrv.tensor_to_table(nrv.tensor_from_table({0.1, 0.2}))
check.truthy(p[1] ~= 0.1 and math.abs(p[1] - 0.1) < 1e-7, "single precision")
check.eq(#p, 2, "to_table length")

-- Statistics and the fourth value.
local st = nrv.tensor_from_table({1, 2, 3, 4})
local mean, sd, norm, fresh = nrv.tensor_stats(st)
check.eq(mean, 2.5, "mean")
check.near(sd, math.sqrt(1.25), 1e-6, "stddev")
check.near(norm, math.sqrt(30), 1e-5, "norm")
check.eq(fresh, 1, "fresh after stats")
nrv.tensor_set(st, 0, 5)
check.eq(nrv.tensor_mean(st), 3.5, "tensor_mean after a write")
check.near(nrv.tensor_stddev(st), math.sqrt(1.25), 1e-6, "tensor_stddev")
check.eq(nrv.tensor_max(st), 5, "tensor_max")
check.eq(nrv.tensor_min(st), 2, "tensor_min")
check.eq(select(4, nrv.tensor_stats(st)), 1, "recomputed")

-- Normalisation.
local n = nrv.tensor_from_table({3, 5, 9})
check.eq(nrv.tensor_normalize(n, 5, 2), nil, "normalize returns nothing")
check.eq(table.concat(nrv.tensor_to_table(n), ","), "-1,0,2", "normalized")
check.eq(nrv.tensor_denormalize(n), n, "denormalize returns its handle")
check.eq(table.concat(nrv.tensor_to_table(n), ","), "3,5,9", "denormalized")

-- Reset, copy, argmax, print.
nrv.tensor_reset(n, nrv.TENSOR_ZERO)
check.eq(nrv.tensor_max(n), 0, "reset to zero")
nrv.tensor_reset(n, nrv.TENSOR_ZERO, st)
check.eq(table.concat(nrv.tensor_to_table(n), ","), "5,2,3", "reset from a source")
local c = nrv.tensor_copy(st)
check.truthy(c ~= st and c ~= 0, "copy is a new tensor")
check.eq(nrv.tensor_mean(c), 3.5, "copy holds the same elements")
check.eq(nrv.argmax(st), 0, "argmax")
nrv.tensor_print(st, "st", 0)

-- Files.
check.eq(nrv.tensor_save(st, scratch), 1, "tensor_save")
local loaded = nrv.tensor_load(scratch)
check.eq(table.concat(nrv.tensor_to_table(loaded), ","), "5,2,3,4", "tensor_load")
local target = nrv.tensor_create(4, nrv.TENSOR_ZERO, "target")
check.eq(nrv.tensor_load(scratch, target), target, "load into a tensor of the same size")
check.eq(nrv.tensor_get(target, 0), 5, "loaded into the target")
local other = io.open(scratch, "wb"); other:write("not a tensor"); other:close()
check.eq(nrv.tensor_load(scratch), 0, "a file that holds no tensor gives 0")
os.remove(scratch)

-- Destroy.
check.eq(nrv.tensor_destroy(c), c, "destroy returns the handle")
check.eq(nrv.tensor_destroy(c), 0, "twice gives 0")
check.eq(nrv.tensor_destroy(0), 0, "0 gives 0")
check.finish()
