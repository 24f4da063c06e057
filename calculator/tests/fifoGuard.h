// Runs a file operation that must not wait on a FIFO: when it is still
// waiting after a deadline, the FIFO's other end is opened and closed so
// that it returns, and the test fails instead of hanging.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

// True when operation returned by itself within 10 seconds.
template <typename Operation>
bool returnsWithoutWaiting(const std::string& fifo, Operation operation)
{
    auto done = std::async(std::launch::async, operation);
    if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready) {
        done.get();
        return true;
    }
    // Both ends, without blocking: whichever end the operation waits for.
    for (int mode : {O_RDONLY | O_NONBLOCK, O_WRONLY | O_NONBLOCK}) {
        const int fd = ::open(fifo.c_str(), mode);
        if (fd >= 0) {
            ::close(fd);
        }
    }
    done.get();
    return false;
}
