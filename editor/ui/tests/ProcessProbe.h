// Whether a process that a test's stand-in program recorded in a file
// still lives.
#pragma once

#include <signal.h>

#include <fstream>
#include <iterator>
#include <string>

// True while the process of the id in the file runs; a zombie (ended, not
// yet reaped by whoever adopted it) counts as ended.
inline bool processAlive(const std::string& pidFile)
{
    std::ifstream in(pidFile);
    int pid = 0;
    if (!(in >> pid) || pid <= 0 || kill(pid, 0) != 0) {
        return false;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() || text[close + 2] != 'Z';
}

// True once the process of the id in the file is gone for good: ended and
// collected by its parent (a zombie is not gone).
inline bool processGone(const std::string& pidFile)
{
    std::ifstream in(pidFile);
    int pid = 0;
    return (in >> pid) && pid > 0 && kill(pid, 0) != 0;
}
