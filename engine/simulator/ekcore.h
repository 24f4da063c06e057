// ekcore: the simulation engine as a shared library. Besides the classes of
// the device model, the device file and the simulator (their own headers),
// it exports the one run entry its driver calls.
#pragma once

#if defined(__GNUC__)
#define EKCORE_API __attribute__((visibility("default")))
#else
#define EKCORE_API
#endif

// Size, in wide characters, of each result-name buffer of ek_simulate.
constexpr int EK_FILENAME_SIZE = 1024;

// Runs one device file from end to end: reads it, prepares the output
// folder, meshes the device and runs the equilibrium solution, the voltage
// sweep or the quantum-efficiency sweep it asks for, writing the result
// files, the log "simulog.txt" and (with comm) the report lines of the
// exchange file "simulcomm.txt" in the output folder.
//
// Flags: debug lines, report lines (comm), verbose console output, and
// suppressed warnings (nowarn). plot (may be null) receives whether a
// converged run asks its driver to plot (Command.Plot). The five buffers
// (each EK_FILENAME_SIZE wide characters, or null) receive the names of the
// equilibrium and non-equilibrium distribution, C-V, J-V and
// quantum-efficiency files of a successful run, as far as the run made
// them; the other buffers, and all five after a failure, are left as they
// were. summaryFile (may be null) is the file
// the photovoltaic and quantum-efficiency summary lines are appended to.
//
// True when the run reached its end and at least one point converged;
// false on every error, on a stop request and when nothing converged.
EKCORE_API bool ek_simulate(const wchar_t* inputFile, bool debug, bool comm, bool verbose,
                            bool* plot, bool nowarn, wchar_t* filenameEE, wchar_t* filenameEN,
                            wchar_t* filenameCV, wchar_t* filenameJV, wchar_t* filenameQW,
                            const wchar_t* summaryFile);
