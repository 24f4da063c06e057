// The road of a bias sweep as a list of segments: which biases are ramped
// through, which ranges of sweep points are solved and in which direction,
// where the equilibrium is laid back and which rows are filled without a
// solve. The sweep driver runs the list in order; the plan itself reads
// only the shape of the sweep, so it can be checked without solving.
#pragma once

#include <vector>

// The shape of a bias sweep (voltages normalised by Vt).
struct ekSweepShape {
    // Bias of point i: from the sweep's own voltages when they are given,
    // else S + i d with the last point at E.
    double bias(int i) const;

    int points = 1;
    double S = 0.0;  // bias of the first point
    double E = 0.0;  // bias of the last point
    double d = 0.0;  // second point's bias minus the first's (0 for one point)
    // Zero crossing: last point below 0 V, the point at 0 V, first point
    // above 0 V (-1: none).
    int posL = -1;
    int posC = -1;
    int posR = -1;
    // The point at posR lies within EQUILIBRIUM_BIAS of 0 V (a custom bias
    // a rounding away from 0 V).
    bool posRAtZero = false;
    bool dark = true;
    // The sweep's voltages (column 0), when known; empty: uniform.
    std::vector<double> biases;
};

enum class ekSweepStep {
    // Solve just below and just above 0 V (bias -step and +step): their
    // means give the dark 0 V row a centred difference.
    Derivatives,
    // The verbose lines that open the J-V characteristic.
    Announce,
    // Lay the start of the transport solution at bias `from`; when that
    // fails the sweep ends.
    Start,
    // Ramp from `from` to `to` in steps of `step`, storing nothing.
    Ramp,
    // Solve and store the sweep points `first` to `last` (either direction).
    Range,
    // Lay the equilibrium solution back as the start of the next range.
    RestoreEquilibrium,
    // Row `first` at 0 V under light: its charges are the means of the
    // neighbouring rows (its current was solved).
    ZeroRowLit,
    // Row `first` at 0 V in the dark: current and charges from the
    // derivative points, else the neighbouring rows; marked computed.
    ZeroRowDark,
    // Row `first` is 0 V in the dark: no current, the equilibrium charges.
    EquilibriumRow,
};

struct ekSweepSegment {
    ekSweepStep kind = ekSweepStep::Announce;
    double from = 0.0;
    double to = 0.0;
    double step = 0.0;
    int first = 0;
    int last = 0;
};

// The segments of a sweep of more than one point or away from the dark
// equilibrium (that one case is a plain Poisson solve, not a sweep).
std::vector<ekSweepSegment> ekPlanSweep(const ekSweepShape& shape);
