// The quantum-efficiency sweep's steps and the state its driver and its
// wavelength loop share.
#pragma once

#include <cstdint>
#include <vector>

#include "ekSimulator.h"

class nuParam;

// Numeric settings of a sweep, restored when a wavelength fails with both
// methods and at the end.
struct ekQESettings {
    uint8_t method;
    uint8_t solver;
    int maxiter;
    double damp;
    double reltol;

    explicit ekQESettings(const nuParam* p);
    void restore(nuParam* p) const;
};

// What one attempt of the sweep achieved.
struct ekQEOutcome {
    int accepted = 0;
    bool started = false;        // the dark state at Va was reached
    bool failedAtBias = false;   // a wavelength failed with both methods at a nonzero Va
    bool lastConverged = false;  // the last solve converged
    double Jdark = 0.0;          // normalised
    double JdarkError = 0.0;     // its accuracy (currentError), normalised
    // Wavelengths (um) whose IQE is written as 0 because the step that
    // checks how well their current is known failed; said as the sweep
    // ends, so a repeat at 0 V says only its own.
    std::vector<double> uncheckedWavelengths;
    // The same check of the dark current at Va failed: no IQE is resolved.
    bool darkUnchecked = false;
};

// A computed quantum efficiency as stored: one that overshoots 1 by no more
// than the solver's noise (1e-4) is 1; one clearly above 1, or not a
// number, is no result (0).
double ekPhysicalEfficiency(double value);

// The steps of one quantum-efficiency sweep on the simulator's state and
// the sweep's work arrays; ekSimulator::sweepQE runs them and decides on
// the repeat at 0 V.
class ekQESweep {
public:
    ekQESweep(ekSimulator& sim, ekSimulator::BiasWork& w) : sim(sim), w(w) {}
    // One attempt over the whole grid at bias (normalised); restart names
    // the second attempt at 0 V in the log.
    void run(double bias, bool restart, ekQEOutcome& out);
    // The messages, the QW file, the photocurrent summary and the
    // distribution of the last wavelength; *result as sweepQE returns it.
    void finish(const ekQEOutcome& out, int* result);
    // Warns, one line per wavelength (or one for all, when the dark
    // current's check failed), of the IQE left unresolved by a failed check
    // step: a result written as 0 that says nothing of the device.
    void warnUncheckedWavelengths(const ekQEOutcome& out) const;

private:
    // Brings the work arrays to the dark solution at bias; false when that
    // cannot be reached.
    bool start(double bias);
    // Tabulates the cathode's extinction at every wavelength and sizes the
    // layers' tables (filled as the optics first use them).
    bool tabulateIndex();
    // How well the terminal current of the solution just solved and
    // stored is known: how far one more iteration moves it (the solve
    // stops at its tolerance; the next iteration takes most of what is
    // left). Normalised; the stored solution stays the one solved.
    // Infinite when that iteration could not be made.
    double currentError();

    ekSimulator& sim;
    ekSimulator::BiasWork& w;
};
