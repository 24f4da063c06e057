// Work arrays of the solves: those of the iteration driver, which every
// solve holds, and those of one bias sweep.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "ekSimulator.h"

// Allocates each listed array, zero-filled and length doubles long, through
// the status channel; false when any failed (those made stay listed for
// ek_freeArrays). Every work-array list of the solves goes through these.
bool ek_allocArrays(nuSigma* sigma, std::span<double** const> arrays, size_t length);
// Frees each listed array that exists and clears its pointer.
void ek_freeArrays(nuSigma* sigma, std::span<double** const> arrays);

// Arrays of the iteration driver (ekSimulator::allocSystem, solveSystem).
struct ekSystemArrays {
    // ekSimulator::allocSystem and freeSystem on these arrays.
    bool allocate(ekSimulator& sim);
    void release(ekSimulator& sim);

    double* previous = nullptr;
    double* start = nullptr;
    double* update = nullptr;
    double* rhs = nullptr;
    ekBandMatrix* jacobian = nullptr;
    double* lower = nullptr;
    double* diag = nullptr;
    double* upper = nullptr;
};

// The solution of a solve as three N-long arrays, V, Fn, Fp, and their
// backup V0, Fn0, Fp0 (the start of the present point or pass), with the
// arrays of the iteration driver: what every solve of the equilibrium
// and of a bias point works on.
struct ekSolutionWork : ekSystemArrays {
    double* V = nullptr;
    double* Fn = nullptr;
    double* Fp = nullptr;
    double* V0 = nullptr;
    double* Fn0 = nullptr;
    double* Fp0 = nullptr;
};

// Work arrays of one bias sweep, shared by the sweep driver and its point
// solvers. The solution is kept twice: as V, Fn, Fp (Gummel) and as the
// interleaved 3N vector x (Newton); after every converged point both forms
// and their backups hold it, so a point that fails can be retried with the
// other method from the same start.
struct ekSimulator::BiasWork : ekSolutionWork {
    // Newton vector, its backup and the residual (3N each).
    double* x = nullptr;
    double* x0 = nullptr;
    double* work = nullptr;
    // The equilibrium (N each).
    double* Veq = nullptr;
    double* Fneq = nullptr;
    double* Fpeq = nullptr;

    // The range's last two stored points (3N each) and their biases: the
    // whole step to the next point starts from their linear extrapolation.
    double* xLast = nullptr;
    double* xBefore = nullptr;
    double biasLast = 0.0;
    double biasBefore = 0.0;
    // Their terminal currents (normalised).
    double currentLast = 0.0;
    double currentBefore = 0.0;
    int history = 0;  // how many of the two hold a point of this range

    bool allocFailed = false;
    bool lightOn = false;
    // The bias point a range ended at because neither method solved it,
    // as the warning that says so (empty: none).
    std::wstring failure;
    // Tolerance and damping at the start of the present range; each point
    // starts from them (the relaxation of a hard point is its own).
    double tolerance = 0.0;
    double damping = 0.0;

    // The photovoltaic tracking of the sweep's stored points (trackPVPoint):
    // started anew by each range, the largest power kept over the sweep.
    struct PVTrack {
        bool started = false;
        double prevJ = 0.0;
        double prevV = 0.0;
        double maxPower = 0.0;
    } pv;

    // Solved states the photovoltaic figures are refined from after the
    // sweep (ekPVRefine.cpp): a bias (Vt), its terminal current and its 3N
    // Newton vector.
    struct State {
        double bias = 0.0;
        double current = 0.0;
        std::vector<double> x;
        bool held() const { return !x.empty(); }
    };
    struct PVStates {
        State nearestZero;  // the stored point nearest 0 V
        State vocBefore;    // the two stored points the current changed sign between
        State vocAfter;
        State bestPower;  // the stored point of the largest power
    } pvStates;

    double** vectors3N[5] = {&x, &x0, &work, &xLast, &xBefore};
    double** vectorsN[9] = {&V, &Fn, &Fp, &V0, &Fn0, &Fp0, &Veq, &Fneq, &Fpeq};
};
