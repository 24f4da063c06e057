-- Test fixture: kov_permittivity answers as the global `scenario` asks.
function kov_permittivity(z, thickness, T)
  if scenario == "range" then
    return 0.5, false
  elseif scenario == "error" then
    error("permittivity table missing")
  elseif scenario == "status" then
    return 12.9, false, false
  elseif scenario == "few" then
    return
  elseif scenario == "graded" then
    return 12.9 - 2 * z / thickness, true
  end
  return 12.9, false
end
