-- Test fixture: kov_doping answers as the global `scenario` asks.
-- Results: Na, Nd, Nr, Taun, Taup, E, F, graded.
function kov_doping(z, thickness)
  if scenario == "range" then
    return 1e17, 3e17, 1e19, 1e-7, 1e-7, 0.05, 20, false
  elseif scenario == "error" then
    error("doping table missing")
  elseif scenario == "status" then
    -- the doping model does not look at the status
    return 1e17, 3e17, 1e19, 1e-7, 1e-7, 0.05, 2, false, false
  elseif scenario == "few" then
    return 1e17, 3e17, 1e19
  elseif scenario == "graded" then
    return 0, 1e18 * math.exp(-z / 0.1), 1e19, 1e-7, 1e-7, 0, 1, true
  end
  return 1e17, 3e17, 1e19, 1e-7, 2e-7, 0.05, 2, false
end
