-- Test fixture: kov_bandgap answers as the global `scenario` asks.
function kov_bandgap(z, thickness, T, N)
  if scenario == "range" then
    return 1.42, 4.07, 1e5, 9e18, false
  elseif scenario == "error" then
    error("bandgap table missing")
  elseif scenario == "status" then
    return 1.42, 4.07, 4.7e17, 9e18, false, false
  elseif scenario == "few" then
    return 1.42, 4.07
  elseif scenario == "graded" then
    return 1.42 + 0.5 * z / thickness, 4.07 - 0.4 * z / thickness, 4.7e17, 9e18, true
  end
  return 1.42, 4.07, 4.7e17, 9e18, false
end
