-- Test fixture: a bandgap graded linearly across the layer, from 1.42 eV at
-- its start to 1.72 eV at its end; affinity and band densities fixed.
function kov_bandgap(z, thickness, T, N)
    local Eg = 1.42 + 0.3 * z / thickness
    return Eg, 4.07, 4.7e17, 9e18, 1
end
