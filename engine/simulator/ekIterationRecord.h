// What the iteration driver keeps from one solve to the next.
#pragma once

struct ekIterationRecord {
    char loggedOptions[128] = {};  // linear-solver option text last shown in debug mode
    // Largest update of each iteration of the last pass: historyLength
    // entries from the status channel, null when the iteration limit is 1.
    double* errorHistory = nullptr;
    int historyLength = 0;
    // The last solve ended on a linear system it could not solve (singular,
    // or an update that is not a number): what a failure report says.
    bool linearFailed = false;
};
