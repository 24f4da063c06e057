// Waiting in a test for what another process, a timer, the disk or the
// window brings about. A fixed pause is either too long on an idle machine
// or too short on a busy one, so a test asks again and again until the
// thing has happened, and fails only after a deadline that a machine with
// every core busy still meets.
#pragma once

#include <chrono>
#include <thread>

// Long enough for a process start, a kill or a file write on a machine
// with every core busy; an idle machine is done within milliseconds.
inline constexpr std::chrono::milliseconds WAIT_DEADLINE = std::chrono::seconds(10);

// The pause between two looks: short against the deadline, long enough
// not to take the processor from what the test waits for.
inline constexpr std::chrono::milliseconds WAIT_STEP = std::chrono::milliseconds(10);

// Asks the condition until it holds or the deadline has passed; true when
// it held. The condition may also do the work that brings it about (a
// step of the window's event loop, a timer tick); it is asked once more
// after the deadline, so a slow last step is not lost.
template <typename Condition>
bool waitUntil(Condition&& condition, std::chrono::milliseconds deadline = WAIT_DEADLINE,
               std::chrono::milliseconds step = WAIT_STEP)
{
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= until) {
            return condition();
        }
        std::this_thread::sleep_for(step);
    }
    return true;
}
