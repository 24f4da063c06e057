-- Test fixture: kov_trap answers as the global `scenario` asks.
-- Results: Na, Nd, Nr, Taun, Taup, E, F, graded.
function kov_trap(index, z, thickness)
  if scenario == "range" then
    return 1e15, 0, 1e19, 1e-7, 1e-7, 25, 1, false
  elseif scenario == "error" then
    error("trap table missing")
  elseif scenario == "status" then
    return 1e15, 0, 1e19, 1e-7, 1e-7, 0.5, 1, false, false
  elseif scenario == "few" then
    return 1e15
  elseif scenario == "empty" then
    return 5e5, 0, 1e19, 1e-7, 1e-7, 0.5, 1, true
  elseif scenario == "graded" then
    return 1e15 * (1 + z / thickness), 0, 1e19, 1e-7, 1e-7, 0.5, 1, true
  end
  -- the trap index comes first: trap 1 is ten times denser than trap 0
  return 1e14 * 10 ^ index, 0, 1e19, 1e-8, 2e-8, 0.4, 2, false
end
