// Runs a file operation that must not wait on a FIFO: when it is still
// waiting after a deadline, an alarm opens and closes the FIFO's other end
// so that it returns, and the test fails instead of hanging. The operation
// runs on the calling thread (the window's routines must).
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <string>

namespace fifoGuard {

inline char path[4096];
inline volatile std::sig_atomic_t fired = 0;

inline void onAlarm(int)
{
    fired = 1;
    // Both ends, without blocking: whichever end the operation waits for.
    for (int mode : {O_RDONLY | O_NONBLOCK, O_WRONLY | O_NONBLOCK}) {
        const int fd = ::open(path, mode);
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

}  // namespace fifoGuard

// True when operation returned by itself within 10 seconds.
template <typename Operation>
bool returnsWithoutWaiting(const std::string& fifo, Operation operation)
{
    std::strncpy(fifoGuard::path, fifo.c_str(), sizeof fifoGuard::path - 1);
    fifoGuard::fired = 0;
    struct sigaction action {};
    action.sa_handler = fifoGuard::onAlarm;
    struct sigaction before {};
    sigaction(SIGALRM, &action, &before);
    // A writer whose reader went away gets an error, not the end of the test.
    void (*pipeBefore)(int) = std::signal(SIGPIPE, SIG_IGN);
    ::alarm(10);
    operation();
    ::alarm(0);
    std::signal(SIGPIPE, pipeBefore);
    sigaction(SIGALRM, &before, nullptr);
    return fifoGuard::fired == 0;
}
