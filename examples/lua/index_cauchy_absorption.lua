-- Optical index model (kov_index): Cauchy dispersion below the gap and a
-- direct-gap absorption edge above it.
--
--   n(lambda) = A + B / lambda^2
--   alpha(E)  = alpha0 sqrt(E - Eg)  for E > Eg, else 0   (1/cm)
--   k         = alpha lambda / (4 pi)                       (lambda in cm)
--
-- with the photon energy E = 1.23984198 / lambda (eV, lambda in um) and the
-- bandgap Eg handed in by the engine.

local A = 3.3
local B = 0.09          -- um2
local alpha0 = 2e4      -- 1/cm/eV^0.5

-- z, thickness (um), bandgap (eV), wavelength (um); returns n, k and the
-- graded flag (the index does not depend on the position).
function kov_index(z, thickness, bandgap, wavelength)
  local n = A + B / (wavelength * wavelength)
  local energy = 1.23984198 / wavelength
  local alpha = 0.0
  if energy > bandgap then
    alpha = alpha0 * sqrt(energy - bandgap)
  end
  local k = alpha * wavelength * 1e-4 / (4.0 * pi)
  return n, k, false
end
