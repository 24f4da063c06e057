// The runner's processes over the common library's process calls.
#include "DriverProcess.h"

#include <unistd.h>

#include <cerrno>

#include "kovProcess.h"

std::unique_ptr<DriverProcess> DriverProcess::start(const std::vector<std::string>& argv, const std::string& folder,
                                                    bool withPipe, std::string& error)
{
    if (argv.empty() || argv[0].empty()) {
        error = "no program to start";
        return nullptr;
    }
    std::unique_ptr<DriverProcess> process(new DriverProcess);
    process->killOnClose_ = withPipe;
    int pid = -1;
    int output = -1;
    if (kov_startProcessArgs(folder.c_str(), argv, &pid, withPipe ? &output : nullptr) != 1) {
        error = "cannot start " + argv[0];
        return nullptr;
    }
    process->pid_ = pid;
    process->pipe_ = output;
    return process;
}

DriverProcess::~DriverProcess()
{
    if (killOnClose_) {
        kill();
    }
    if (pipe_ >= 0) {
        close(pipe_);
    }
}

DriverProcess::Read DriverProcess::readByte(char& byte)
{
    if (bufferRead_ < bufferUsed_) {
        byte = buffer_[bufferRead_++];
        return Read::Byte;
    }
    if (pipe_ < 0) {
        return Read::Closed;
    }
    // Whatever has arrived is taken at once; nothing is held back waiting
    // for more, so a line is shown as soon as its end arrives.
    const ssize_t n = read(pipe_, buffer_, sizeof buffer_);
    if (n > 0) {
        bufferUsed_ = static_cast<size_t>(n);
        bufferRead_ = 1;
        byte = buffer_[0];
        return Read::Byte;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return Read::Nothing;
    }
    close(pipe_);
    pipe_ = -1;
    return Read::Closed;
}

bool DriverProcess::running()
{
    return pid_ > 0 && kov_processRunning(pid_, &exitStatus_) == 1;
}

void DriverProcess::kill(int graceMs)
{
    if (running()) {
        kov_processKill(pid_, graceMs);
        kov_processRunning(pid_, &exitStatus_);
    }
}
