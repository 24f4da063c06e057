-- Bandgap model of a graded AlGaAs window layer (kov_bandgap).
--
-- The aluminium fraction x falls linearly from x_front at the front of the
-- layer (z = 0) to x_back at its back. For the direct-gap range (x < 0.45):
--
--   Eg(x, T) = Eg_GaAs(T) + 1.247 x            (Vegard-type linear law)
--   Eg_GaAs(T) = 1.519 - 5.405e-4 T^2 / (T + 204)   (Varshni)
--   Chi(x)   = 4.07 - 1.1 x
--   NC = 2.5e19 (me/m0)^1.5 (T/300)^1.5,  me = 0.063 + 0.083 x
--   NV = 2.5e19 (mh/m0)^1.5 (T/300)^1.5,  mh = 0.51 + 0.25 x
--
-- The values change along the layer, so the model is graded.

local x_front = 0.3
local x_back = 0.0

local function composition(z, thickness)
  return x_front + (x_back - x_front) * z / thickness
end

-- Returns Eg (eV), Chi (eV), NC, NV (1/cm3) and the graded flag.
function kov_bandgap(z, thickness, T, N)
  local x = composition(z, thickness)
  local eg_gaas = 1.519 - 5.405e-4 * T * T / (T + 204.0)
  local thermal = (T / 300.0) ^ 1.5
  local me = 0.063 + 0.083 * x
  local mh = 0.51 + 0.25 * x
  return eg_gaas + 1.247 * x,
         4.07 - 1.1 * x,
         2.5e19 * me ^ 1.5 * thermal,
         2.5e19 * mh ^ 1.5 * thermal,
         true
end
