// Starting programs without a shell: the command line is split into an
// argument vector (double quotes group words and are removed), the child
// runs in its own process group, and its exit status is kept per process id
// once it has been collected, so that later questions get the same answer
// and no signal ever goes to a process id that may have been reused.
#pragma once

#include <string>
#include <vector>

// Splits a command line at blanks; double quotes group words ("a b" is one
// argument, "" an empty one) and are removed. Backslashes are kept (a path
// written elsewhere may hold them). False for an unclosed quote.
bool kov_splitCommandLine(const char* commandLine, std::vector<std::string>* arguments);

// Starts the program named by the first word (searched in PATH when it holds
// no '/') in folder (NULL or empty: the current one). With output non-NULL
// the child's standard output and error go to one pipe whose read end
// (close-on-exec, non-blocking) is stored there; otherwise they stay the
// caller's. Standard input is /dev/null. Returns 1 with *pid set, else 0
// (and *pid -1).
int kov_startProcess(const char* folder, const char* commandLine, int* pid, int* output);

// The same from an argument vector, taken as it is: no length limit, no
// quoting (a path may hold blanks or double quotes).
int kov_startProcessArgs(const char* folder, const std::vector<std::string>& arguments, int* pid,
                         int* output);

// The original's call: flags and the last two arguments are unused here.
int kov_spawnProcess(const char* workingFolder, int flags, const char* commandLine, int* pid,
                     void* reserved, int reserved2);

// 1 while the process runs, 0 once it has ended (its exit status, or 128 +
// the signal that ended it, in *exitStatus when given). Unknown ids (not
// started here) are asked of the system and report status 0.
int kov_processRunning(int pid, int* exitStatus);

// Collects every child started here that has ended (without waiting), so
// that none lingers as a zombie; their exit statuses stay known. Returns the
// number of those children still running. Safe to call from a timer at any
// time: children started elsewhere in the program are not touched.
int kov_processCollectEnded();

// Ends the process and everything in its process group: SIGTERM, then
// SIGKILL after a grace of graceMs, then collects it. A process already
// collected gets no signal. 1 when it is gone, 0 for an unknown id.
int kov_processKill(int pid, int graceMs = 1000);
