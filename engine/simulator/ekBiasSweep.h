// The bias sweep's own workings over the work arrays of one sweep, kept out
// of the simulator's interface (the simulator befriends the driver): the
// solve of one point by either method, the step to the next point, the
// segments of the sweep's plan and the closing results and messages.
#pragma once

#include <vector>

#include "ekBiasWork.h"
#include "ekSweepPlan.h"

class ekBiasDriver {
public:
    ekBiasDriver(ekSimulator& sim, ekSimulator::BiasWork& w) : sim(sim), w(w) {}

    // ---- one point (ekBiasPoint.cpp) ----
    // The passes of one point at the present Va: Poisson alone at 0 V in
    // the dark, else the Gummel or the Newton iteration. They return the
    // iterations of the last pass.
    int solveEquilibrium();
    int solveGummel();
    int solveNewton();
    // Counts a solved point (iters iterations) and, when it converged,
    // makes its solution the start of the next one.
    void finishPoint(int iters);
    // The next point of a range at bias target: first the whole step from
    // the solution extrapolated along the range's last two points; when
    // Newton does not reach the tolerance that way, one sub-step of at most
    // h towards target from the last solution (h = 0: the whole step).
    int advance(double target, double h);
    // Keeps the stored point just solved as the newest of the two the
    // whole-step prediction extrapolates from.
    void recordPoint();

    // ---- a range (ekBiasRange.cpp) ----
    // Stores the converged point: per-point quantities, J, Q+ and Q- (at
    // 0 V in the dark those of the equilibrium).
    void storePoint();

    // ---- photovoltaic figures (ekPVRefine.cpp) ----
    // After the stored point `index` went through the photovoltaic
    // tracking: keeps the solved states its figures will be refined from.
    void keepPVStates(int index);
    // Replaces the tracked figures of an illuminated sweep by those of
    // solves of their own, from the kept states: Jsc at exactly 0 V, Voc
    // where the current is 0, the maximum-power point where V J is
    // largest. The sweep's rows and the stored solution (which the last
    // distribution file writes) stay those of the sweep's last point. A
    // figure whose solves fail keeps its tracked value, with a warning.
    void refinePV();

    // ---- the sweep (ekBiasSweep.cpp) ----
    // Puts the solution just solved (the equilibrium) aside and lays it as
    // the start of the first point, in both the Gummel and the Newton form.
    void keepEquilibrium();
    // Runs the segments in order. Once the sweep is interrupted (a stop or
    // an error) no further segment runs but the announcement; a start that
    // fails ends the run too. tolerance and damping: the settings the sweep
    // started with, which every derivative point starts from again.
    void run(const std::vector<ekSweepSegment>& plan, const ekSweepShape& shape, double tolerance,
             double damping);
    // Points stored so far.
    int stored() const { return storedPoints; }
    // Result files and closing messages of a sweep that stored `stored`
    // points; *result: the largest iteration count, or -1.
    void finish(int stored, int* result);

private:
    // False when the run ends here.
    bool runSegment(const ekSweepSegment& s, const ekSweepShape& shape);
    void restoreEquilibrium();
    void solveDerivatives(double delta);
    void announce(const ekSweepShape& shape) const;
    void fillZeroRow(int z, bool dark);
    void fillEquilibriumRow(int index);
    // The terminal current (normalised) at bias Va (Vt) solved from the
    // nearest kept state; not a finite number when the solve failed. The
    // solution is kept as a further start.
    double currentAt(double Va);
    void loadState(const ekSimulator::BiasWork::State& state);
    ekSimulator::BiasWork::State keepState() const;
    std::vector<ekSimulator::BiasWork::State> refineStates;

    ekSimulator& sim;
    ekSimulator::BiasWork& w;
    double startTolerance = 0.0;
    double startDamping = 0.0;
    int storedPoints = 0;
    // J, Q+ and Q- just below and just above 0 V, when both converged.
    bool derivatives = false;
    double minus[3] = {};
    double plus[3] = {};
};
