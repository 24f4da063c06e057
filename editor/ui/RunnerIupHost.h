// The window side of the runner's host over the windowing layer: the window
// handles its events (IupFlush) before every driver line, and the poll
// timer is an IUP timer whose ticks go to the runner. RunnerConsoleHost
// adds the output console; the editor's main window derives from that and
// adds the document and the status bar.
#pragma once

#include <string>

#include "SimulationRunner.h"
#include "iup.h"

class RunnerIupHost : public RunnerHost {
public:
    ~RunnerIupHost() override;

    // The runner whose onTimer the timer calls.
    void setRunner(SimulationRunner* ticked) { runner = ticked; }

    void flush() override;
    bool startTimer(int milliseconds) override;
    void stopTimer() override;
    void programStarted() override;

    // The poll timer ("KOV_RunnerTimer"), null before the first run.
    Ihandle* timer() const { return pollTimer; }

private:
    static int onTimerAction(Ihandle* timer);

    SimulationRunner* runner = nullptr;
    Ihandle* pollTimer = nullptr;
};

// The same host writing the driver's lines into the output console
// ("KOV_Output"), as the main window does.
class RunnerConsoleHost : public RunnerIupHost {
public:
    bool consoleExists() override;
    int printColored(const std::string& text) override;
    void print(const std::string& text) override;
    void clearConsole() override;
    bool consoleEmpty() override;
    bool consoleEndsWithLf() override;
};
