// The runner's process calls over kovbase's process starter.
#include "kovProcess.h"
#include "libkovra.h"

int startProcess(const char* commandLine, int* pipeMode, int* processHandle, int* pipeHandle, void*,
                 void*, void*, const char* workingFolder, const char*, char* tempPath,
                 int* processId)
{
    if (processHandle != nullptr) {
        *processHandle = -1;
    }
    if (pipeHandle != nullptr) {
        *pipeHandle = -1;
    }
    if (processId != nullptr) {
        *processId = -1;
    }
    if (tempPath != nullptr) {
        tempPath[0] = '\0';
    }
    const bool piped = pipeMode != nullptr && *pipeMode == 1 && pipeHandle != nullptr;
    int pid = -1, output = -1;
    if (!kov_startProcess(workingFolder, commandLine, &pid, piped ? &output : nullptr)) {
        return -1;
    }
    if (pipeMode != nullptr) {
        *pipeMode = piped ? 1 : 0;
    }
    if (piped) {
        *pipeHandle = output;
    }
    if (processHandle != nullptr) {
        *processHandle = pid;
    }
    if (processId != nullptr) {
        *processId = pid;
    }
    return 1;
}

int isProcessRunning(int processId, int* exitStatus)
{
    return kov_processRunning(processId, exitStatus);
}

int killProcess(int processId) { return kov_processKill(processId); }
