-- Test fixture: kov_mobility answers as the global `scenario` asks
-- (set by the test before each call).
function kov_mobility(z, thickness, T, N)
  if scenario == "range" then
    return 0.0005, 480, false
  elseif scenario == "error" then
    error("mobility table missing")
  elseif scenario == "status" then
    return 1350, 480, false, false
  elseif scenario == "few" then
    return 1350
  elseif scenario == "graded" then
    return 1000 + 100 * z / thickness, 400 + T / 10, true
  end
  return 1350, 480, false
end
