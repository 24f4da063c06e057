// POSIX process start, pipe and end for the runner.
#include "DriverProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

std::unique_ptr<DriverProcess> DriverProcess::start(const std::vector<std::string>& argv, const std::string& folder,
                                                    bool withPipe, std::string& error)
{
    if (argv.empty() || argv[0].empty()) {
        error = "no program to start";
        return nullptr;
    }
    std::unique_ptr<DriverProcess> process(new DriverProcess);
    process->killOnClose_ = withPipe;
    int fds[2] = {-1, -1};
    if (withPipe && pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (withPipe) {
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group: a stop that must end the driver ends whatever
    // the driver started as well.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0].c_str(), &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (withPipe) {
        close(fds[1]);
    }
    if (rc != 0) {
        if (withPipe) {
            close(fds[0]);
        }
        error = "cannot start " + argv[0] + ": " + std::strerror(rc);
        return nullptr;
    }
    process->pid_ = pid;
    if (withPipe) {
        process->pipe_ = fds[0];
        fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    }
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

void DriverProcess::reap(int status)
{
    reaped_ = true;
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 0;
}

bool DriverProcess::running()
{
    if (reaped_ || pid_ <= 0) {
        return false;
    }
    int status = 0;
    const pid_t rc = waitpid(pid_, &status, WNOHANG);
    if (rc == 0) {
        return true;
    }
    if (rc == pid_) {
        reap(status);
    } else {
        reaped_ = true;  // not our child any more: never signal that id
    }
    return false;
}

void DriverProcess::kill()
{
    if (!running()) {
        return;
    }
    ::kill(-pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reap(status);
}
