-- Test fixture: a spontaneous polarisation graded linearly across the layer
-- (from -2.9e-6 to -1.9e-6) on a constant lattice constant, so the layer
-- carries the uniform bound charge -dPsp/dz and no strain. Lattice scripts
-- give e31, e33 and Psp in thousandths of the layer's unit.
function kov_lattice(z, thickness)
    local psp = -2.9e-3 + 1e-3 * z / thickness
    return 0.3189, -3.4e-2, 6.7e-2, 106, 398, psp, 1
end
