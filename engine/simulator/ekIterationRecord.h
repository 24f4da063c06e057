// What the iteration driver keeps from one solve to the next.
#pragma once

#include <limits>

struct ekIterationRecord {
    char loggedOptions[128] = {};  // linear-solver option text last shown in debug mode
    // Largest update of each iteration of the last pass: historyLength
    // entries from the status channel, null when the iteration limit is 1.
    double* errorHistory = nullptr;
    int historyLength = 0;
    // The last solve ended on a linear system it could not solve (singular,
    // or an update that is not a number): what a failure report says.
    bool linearFailed = false;
    // The smallest relative error the iterations of the present solve
    // reached, over its relaxation passes and both methods (infinite: no
    // iteration finished), each measured by its undamped update. The
    // error of the last iteration of a failed solve says little: a damped
    // update is at most 1 / damping, so it ends at the same value whatever
    // happened. Whoever starts a new solve
    // (a bias point, the equilibrium) clears it.
    double bestError = std::numeric_limits<double>::infinity();
    // The largest undamped update of the last iteration: the error it
    // measured before the damping shortened it (bestError keeps these).
    double lastRawError = 0.0;
    void clearBestError() { bestError = std::numeric_limits<double>::infinity(); }
};
