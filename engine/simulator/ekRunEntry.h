// The run entry with its arguments gathered in one record, so that a caller
// inside the engine (the tests) can also adjust the numeric settings once
// the device file is read. ek_simulate (ekcore.h) is this with no hook.
#pragma once

#include <functional>

class nuParam;
class nuSigma;
class ekSimulator;

struct ekRunRequest {
    const wchar_t* inputFile = nullptr;
    bool debug = false;
    bool comm = false;
    bool verbose = false;
    bool* plot = nullptr;
    bool nowarn = false;
    // Equilibrium and non-equilibrium distribution, C-V, J-V and quantum
    // efficiency names; each null or a buffer of 1024 wide characters.
    wchar_t* filenameEE = nullptr;
    wchar_t* filenameEN = nullptr;
    wchar_t* filenameCV = nullptr;
    wchar_t* filenameJV = nullptr;
    wchar_t* filenameQW = nullptr;
    const wchar_t* summaryFile = nullptr;
    // Runs right after the device file was read, before anything is meshed.
    std::function<void(nuParam&)> adjustSettings;
    // Makes the run's simulator (null: a plain one), so that a test can run
    // a whole device file on a simulator with a step of its own.
    std::function<ekSimulator*(nuSigma*, nuParam*)> makeSimulator;
};

bool ek_runSimulation(const ekRunRequest& request);
