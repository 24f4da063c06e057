// What the plot benchmarks measure: the time from a start, in
// milliseconds, and the peak memory of the process.
#pragma once

#include <sys/resource.h>

#include <chrono>

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The largest resident size the process has had, in kilobytes.
inline long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
