-- Mobility model for crystalline silicon (kov_mobility).
--
-- Caughey-Thomas doping dependence with a power-law temperature dependence
-- of the lattice-limited mobility:
--
--   mu(N, T) = mu_min + (mu_max * (T/300)^(-theta) - mu_min) / (1 + (N/N_ref)^alpha)
--
-- The dopant density does not change along the layer, so the model is not
-- graded: the engine calls it once per layer.

local electron = { mu_min = 52.2, mu_max = 1417.0, n_ref = 9.68e16, alpha = 0.68,  theta = 2.5 }
local hole     = { mu_min = 44.9, mu_max = 470.5,  n_ref = 2.23e17, alpha = 0.719, theta = 2.2 }

local function caughey_thomas(p, N, T)
  local mu_lattice = p.mu_max * (T / 300.0) ^ (-p.theta)
  return p.mu_min + (mu_lattice - p.mu_min) / (1.0 + (N / p.n_ref) ^ p.alpha)
end

-- z: position in the layer (um), thickness: layer thickness (um),
-- T: temperature (K), N: dopant density (1/cm3).
-- Returns the electron and hole mobilities (cm2/Vs) and the graded flag.
function kov_mobility(z, thickness, T, N)
  return caughey_thomas(electron, N, T), caughey_thomas(hole, N, T), false
end
