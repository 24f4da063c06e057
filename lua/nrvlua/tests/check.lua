-- Small assertion helpers of the module's Lua tests. Each failure is
-- counted and printed; finish() exits non-zero when any check failed.
local check = { failures = 0 }

local function report(what)
  check.failures = check.failures + 1
  io.stderr:write("FAIL: ", what, "\n", debug.traceback("", 3), "\n")
end

function check.eq(actual, expected, what)
  if actual ~= expected then
    report(string.format("%s: expected %s, got %s", what or "value", tostring(expected), tostring(actual)))
  end
end

function check.near(actual, expected, tolerance, what)
  if type(actual) ~= "number" or math.abs(actual - expected) > tolerance then
    report(string.format("%s: expected %s within %g, got %s", what or "value", tostring(expected), tolerance, tostring(actual)))
  end
end

function check.truthy(value, what)
  if not value then report(what or "condition") end
end

-- The call must raise exactly message, behind the position of the calling
-- line ("file:line: "). The call is made from a Lua function (not straight
-- from pcall, a C function, which has no line to name).
function check.raises(message, f, ...)
  local ok, err = pcall(function(...)
    local result = f(...)
    return result
  end, ...)
  if ok then
    report("no error, expected: " .. message)
    return
  end
  local where, text = tostring(err):match("^(.-:%d+: )(.*)$")
  if not where then
    report("error without position: " .. tostring(err))
  elseif text ~= message then
    report(string.format("expected error %q, got %q", message, text))
  end
end

function check.finish()
  if check.failures > 0 then
    io.stderr:write(check.failures, " check(s) failed\n")
    os.exit(1)
  end
  print("all checks passed")
end

return check
