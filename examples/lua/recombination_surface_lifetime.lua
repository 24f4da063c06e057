-- Recombination model with a damaged front surface (kov_recombination).
--
-- Radiative and Auger coefficients of silicon; the SRH lifetimes recover
-- from their surface value to the bulk value over a length L:
--
--   tau(z) = tau_surf + (tau_bulk - tau_surf) (1 - exp(-z / L))

local beta = 1.1e-14      -- cm3/s
local cn = 2.8e-31        -- cm6/s
local cp = 9.9e-32        -- cm6/s
local tau_bulk = 1e-5     -- s
local tau_surf = 1e-9     -- s
local L = 0.2             -- um

-- Returns Beta, Cn, Cp, Taun, Taup and the graded flag.
function kov_recombination(z, thickness)
  local tau = tau_surf + (tau_bulk - tau_surf) * (1.0 - exp(-z / L))
  return beta, cn, cp, tau, tau, true
end
