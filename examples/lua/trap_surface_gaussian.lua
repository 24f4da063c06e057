-- Trap model of a damaged front surface (kov_trap).
--
-- Acceptor-like defects left by surface processing: a Gaussian profile on
-- top of a uniform bulk density,
--
--   N(z) = N_bulk + N_surf exp(-(z / w)^2)
--
-- Only the layer's first trap (index 0) follows the profile; any further
-- trap keeps the bulk density.

local N_bulk = 1e13    -- 1/cm3
local N_surf = 1e17    -- 1/cm3
local w = 0.05         -- um

-- index: trap number (0-based); returns Na, Nd, Nr (1/cm3), Taun, Taup (s),
-- E (eV), F and the graded flag.
function kov_trap(index, z, thickness)
  local N = N_bulk
  if index == 0 then
    N = N_bulk + N_surf * exp(-(z / w) ^ 2)
  end
  return N, 0, 1e19, 1e-8, 1e-8, 0.5, 1, true
end
