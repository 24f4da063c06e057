-- Test fixture: kov_lattice answers as the global `scenario` asks.
-- Results: a (nm), e31, e33 (thousandths), c13, c33 (GPa), Psp
-- (thousandths), graded.
function kov_lattice(z, thickness)
  if scenario == "range" then
    return 1.5, -34, 67, 106, 398, -2.9, false
  elseif scenario == "error" then
    error("lattice table missing")
  elseif scenario == "status" then
    return 0.3189, -34, 67, 106, 398, -2.9, false, false
  elseif scenario == "few" then
    return 0.3189
  elseif scenario == "graded" then
    return 0.3189 - 0.0077 * z / thickness, -34, 67, 106, 398, -2.9, true
  end
  return 0.3189, -34, 67, 106, 398, -2.9, false
end
