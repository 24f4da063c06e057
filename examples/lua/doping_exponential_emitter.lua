-- Doping model of a diffused emitter (kov_doping).
--
-- Phosphorus diffused from the front surface into a boron-doped base:
--
--   Nd(z) = Ns exp(-z / L)      surface density Ns, decay length L
--   Na    = N_base              uniform base doping
--
-- The junction lies where Nd = Na, at z_j = L ln(Ns / N_base). The engine
-- forms the net level (donor in front of the junction, acceptor behind it).
-- The SRH lifetimes fall with the total impurity density (Scharfetter).

local Ns = 1e20        -- 1/cm3
local L = 0.05         -- um
local N_base = 1e16    -- 1/cm3
local tau0 = 1e-5      -- s
local N_tau = 5e16     -- 1/cm3

-- Returns Na, Nd, Nr (1/cm3), Taun, Taup (s), E (eV), F and the graded flag.
function kov_doping(z, thickness)
  local nd = Ns * exp(-z / L)
  local na = N_base
  local tau = tau0 / (1.0 + (na + nd) / N_tau)
  local degeneracy = (nd >= na) and 2 or 4
  return na, nd, 1e18, tau, tau, 0.045, degeneracy, true
end
