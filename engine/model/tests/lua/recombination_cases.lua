-- Test fixture: kov_recombination answers as the global `scenario` asks.
-- Results: Beta, Cn, Cp, Taun, Taup, graded.
function kov_recombination(z, thickness)
  if scenario == "range" then
    return 1e-5, 2.8e-31, 9.9e-32, 1e-6, 1e-6, false
  elseif scenario == "error" then
    error("recombination table missing")
  elseif scenario == "status" then
    return 1.1e-14, 2.8e-31, 9.9e-32, 1e-6, 1e-6, false, false
  elseif scenario == "few" then
    return 1.1e-14, 2.8e-31
  elseif scenario == "graded" then
    return 1.1e-14, 2.8e-31, 9.9e-32, 1e-6 * (1 + z), 1e-6, true
  end
  return 1.1e-14, 2.8e-31, 9.9e-32, 1e-6, 2e-6, false
end
