// One run of a bias sweep: the sweep's own workings over its work arrays,
// kept out of the simulator's interface (the simulator befriends it).
#pragma once

#include <vector>

#include "ekBiasWork.h"
#include "ekSweepPlan.h"

class ekBiasSweepRun {
public:
    // tolerance and damping: the settings the sweep started with, which
    // every derivative point starts from again.
    ekBiasSweepRun(ekSimulator& sim, ekSimulator::BiasWork& w, double tolerance, double damping)
        : sim(sim), w(w), startTolerance(tolerance), startDamping(damping)
    {
    }

    // Puts the solution just solved (the equilibrium) aside and lays it as
    // the start of the first point, in both the Gummel and the Newton form.
    void keepEquilibrium();

    // Runs the segments in order. Once the sweep is interrupted (a stop or
    // an error) no further segment runs but the announcement; a start that
    // fails ends the run too.
    void run(const std::vector<ekSweepSegment>& plan, const ekSweepShape& shape);
    // Points stored so far.
    int stored() const { return storedPoints; }

private:
    // False when the run ends here.
    bool runSegment(const ekSweepSegment& s, const ekSweepShape& shape);
    void restoreEquilibrium();
    void solveDerivatives(double delta);
    void announce(const ekSweepShape& shape) const;
    void fillZeroRow(int z, bool dark);
    void fillEquilibriumRow(int index);

    ekSimulator& sim;
    ekSimulator::BiasWork& w;
    const double startTolerance;
    const double startDamping;
    ekSimulator::PVTrack pv;
    int storedPoints = 0;
    // J, Q+ and Q- just below and just above 0 V, when both converged.
    bool derivatives = false;
    double minus[3] = {};
    double plus[3] = {};
};
