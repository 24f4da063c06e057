// The window side of the runner's host over the windowing layer: the window
// handles its events (IupFlush) before every driver line, and the poll
// timer is an IUP timer whose ticks go to the runner. The editor's main
// window derives from this and adds the document, the console and the
// status bar.
#pragma once

#include "SimulationRunner.h"
#include "iup.h"

class RunnerIupHost : public RunnerHost {
public:
    ~RunnerIupHost() override;

    // The runner whose onTimer the timer calls.
    void setRunner(SimulationRunner* runner) { runner_ = runner; }

    void flush() override;
    bool startTimer(int milliseconds) override;
    void stopTimer() override;
    void programStarted() override;

    // The poll timer ("KOV_RunnerTimer"), null before the first run.
    Ihandle* timer() const { return timer_; }

private:
    static int onTimerAction(Ihandle* timer);

    SimulationRunner* runner_ = nullptr;
    Ihandle* timer_ = nullptr;
};
