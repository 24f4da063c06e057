// The runner's processes over the common library's process calls.
#include "DriverProcess.h"

#include <unistd.h>

#include <cerrno>

#include "kovProcess.h"

std::unique_ptr<DriverProcess> DriverProcess::start(const std::vector<std::string>& argv,
                                                    const std::string& folder, bool withPipe,
                                                    std::string& error)
{
    if (argv.empty() || argv[0].empty()) {
        error = "no program to start";
        return nullptr;
    }
    std::unique_ptr<DriverProcess> process(new DriverProcess);
    process->killOnClose = withPipe;
    int pid = -1;
    int output = -1;
    if (kov_startProcessArgs(folder.c_str(), argv, &pid, withPipe ? &output : nullptr) != 1) {
        error = "cannot start " + argv[0];
        return nullptr;
    }
    process->processId = pid;
    process->pipeEnd = output;
    return process;
}

DriverProcess::~DriverProcess()
{
    if (killOnClose) {
        kill();
    }
    if (pipeEnd >= 0) {
        close(pipeEnd);
    }
}

DriverProcess::Read DriverProcess::readByte(char& byte)
{
    if (bufferRead < bufferUsed) {
        byte = buffer[bufferRead++];
        return Read::BYTE;
    }
    if (pipeEnd < 0) {
        return Read::CLOSED;
    }
    // Whatever has arrived is taken at once; nothing is held back waiting
    // for more, so a line is shown as soon as its end arrives.
    const ssize_t n = read(pipeEnd, buffer, sizeof buffer);
    if (n > 0) {
        bufferUsed = static_cast<size_t>(n);
        bufferRead = 1;
        byte = buffer[0];
        return Read::BYTE;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return Read::NOTHING;
    }
    close(pipeEnd);
    pipeEnd = -1;
    return Read::CLOSED;
}

bool DriverProcess::running()
{
    return processId > 0 && kov_processRunning(processId, &endStatus) == 1;
}

void DriverProcess::kill(int graceMs)
{
    if (running()) {
        kov_processKill(processId, graceMs);
        kov_processRunning(processId, &endStatus);
    }
}
