-- Lattice model of a graded AlGaN layer (kov_lattice).
--
-- The aluminium fraction rises linearly from 0 at z = 0 to x_top at the
-- back of the layer; every constant follows Vegard's law between GaN and
-- AlN. The engine keeps e31, e33 and Psp in the units of its material
-- table and hands them to scripts multiplied by 1000, so they are returned
-- that way too.

local x_top = 0.3

local GaN = { a = 0.3189, e31 = -3.4e-5, e33 = 6.7e-5,  c13 = 106, c33 = 398, psp = -2.9e-6 }
local AlN = { a = 0.3112, e31 = -5.8e-5, e33 = 1.55e-4, c13 = 99,  c33 = 389, psp = -8.1e-6 }

local function vegard(key, x)
  return (1.0 - x) * GaN[key] + x * AlN[key]
end

-- Returns a (nm), e31, e33 (x1000), c13, c33 (GPa), Psp (x1000) and the
-- graded flag.
function kov_lattice(z, thickness)
  local x = x_top * z / thickness
  return vegard("a", x),
         1000 * vegard("e31", x),
         1000 * vegard("e33", x),
         vegard("c13", x),
         vegard("c33", x),
         1000 * vegard("psp", x),
         true
end
