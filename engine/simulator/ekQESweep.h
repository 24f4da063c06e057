// State shared by the quantum-efficiency sweep's driver and its wavelength
// loop.
#pragma once

#include <cstdint>

#include "ekSimulator.h"
#include "nuParam.h"

// Numeric settings of a sweep, restored when a wavelength fails with both
// methods and at the end.
struct ekQESettings {
    uint8_t method;
    uint8_t solver;
    int maxiter;
    double damp;
    double reltol;

    explicit ekQESettings(const nuParam* p)
        : method(p->method), solver(p->solver), maxiter(p->maxiter), damp(p->damp),
          reltol(p->reltol)
    {
    }
    void restore(nuParam* p) const
    {
        p->method = method;
        p->solver = solver;
        p->maxiter = maxiter;
        p->damp = damp;
        p->reltol = reltol;
    }
};

// What one attempt of the sweep achieved.
struct ekSimulator::QEOutcome {
    int accepted = 0;
    bool started = false;        // the dark state at Va was reached
    bool failedAtBias = false;   // a wavelength failed with both methods at a nonzero Va
    bool lastConverged = false;  // the last solve converged
    double Jdark = 0.0;          // normalised
};
