-- Permittivity of the graded AlGaAs window layer (kov_permittivity),
-- with the same composition grading as bandgap_vegard_algaas.lua:
--
--   eps(x) = 12.90 - 2.84 x

local x_front = 0.3
local x_back = 0.0

-- Returns the relative permittivity and the graded flag.
function kov_permittivity(z, thickness, T)
  local x = x_front + (x_back - x_front) * z / thickness
  return 12.90 - 2.84 * x, true
end
