// Limits and codes the engine's modules share, each named once here so the
// reader, the mesh and the solvers cannot drift apart.
#pragma once

namespace ekLimits {

// A bias closer to 0 V than this (in Vt) is the equilibrium.
inline constexpr double EQUILIBRIUM_BIAS = 0.001;

// Largest bias step (in Vt) of one solve along a sweep: a longer step is
// walked in sub-steps of this size.
inline constexpr double BIAS_SUBSTEP = 0.4;

// A swept voltage lies within this many bandgaps of the first layer (the
// bandgap in eV read as volts), and a step is at most this fraction of one.
inline constexpr double BIAS_RANGE_BANDGAPS = 20.0;
inline constexpr double BIAS_STEP_BANDGAPS = 0.2;
// Smallest step of a sweep from one voltage to another, in Vt (a
// thousandth of the thermal voltage kT/q): below it the points differ by
// less than the solver's own error.
inline constexpr double BIAS_STEP_MIN = 0.001;

// Photon flux of a quantum-efficiency sweep (1/cm2/s): the efficiency is
// the response to a small light, which needs enough photons to stand out
// of the dark current and few enough to leave the device in low injection.
inline constexpr double QE_FLUX_MIN = 1e15;
inline constexpr double QE_FLUX_MAX = 1e22;

// Smallest residual norm an iteration reports (ten machine epsilons): a
// norm of exactly 0 would make the relative error undefined.
inline constexpr double NORM_FLOOR = 2.220446049250313e-15;

// How a material parameter is averaged onto the edge between two points.
inline constexpr int MEAN_ARITHMETIC = 0x10;
inline constexpr int MEAN_HARMONIC = 0x20;

// Dopant and trap kinds (0 is no level).
inline constexpr unsigned char KIND_DONOR = 0x10;
inline constexpr unsigned char KIND_ACCEPTOR = 0x20;
inline constexpr bool isLevelKind(unsigned char kind)
{
    return kind == KIND_DONOR || kind == KIND_ACCEPTOR;
}

// Growths of a mesh too coarse for its thinnest layer before a solve
// gives up on it.
inline constexpr int MESH_REFINEMENTS = 10;

// A junction zone reaches this many times the depleted width into each
// layer, so that the start of the equilibrium solve covers the tails; the
// structure set-up draws the zone and the starting potential undoes it.
inline constexpr double JUNCTION_ZONE_MARGIN = 1.2;

}  // namespace ekLimits
