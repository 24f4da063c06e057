// IUP flush and poll timer for the runner.
#include "RunnerIupHost.h"

#include "ChildReaper.h"
#include "Output.h"
#include "kovraHandles.h"
#include "iupScintillaMessages.h"

namespace {
constexpr const char* HOST_ATTRIBUTE = KOV_RunnerHost;
}

RunnerIupHost::~RunnerIupHost()
{
    if (pollTimer != nullptr) {
        IupSetAttribute(pollTimer, "RUN", "NO");
        IupDestroy(pollTimer);
    }
}

void RunnerIupHost::flush() { IupFlush(); }

// One timer serves every run of the host. It is only stopped when a run
// ends (also from inside its own tick) and released with the host, never
// while one of its callbacks may be running.
bool RunnerIupHost::startTimer(int milliseconds)
{
    if (pollTimer == nullptr) {
        pollTimer = IupTimer();
        if (pollTimer == nullptr) {
            return false;
        }
        IupSetHandle(KOV_RunnerTimer, pollTimer);
        IupSetAttribute(pollTimer, HOST_ATTRIBUTE, reinterpret_cast<char*>(this));
        IupSetCallback(pollTimer, "ACTION_CB", onTimerAction);
    }
    IupSetInt(pollTimer, "TIME", milliseconds);
    IupSetAttribute(pollTimer, "RUN", "YES");
    return true;
}

void RunnerIupHost::stopTimer()
{
    if (pollTimer != nullptr) {
        IupSetAttribute(pollTimer, "RUN", "NO");
    }
}

void RunnerIupHost::programStarted() { ChildReaper_watch(); }

int RunnerIupHost::onTimerAction(Ihandle* timer)
{
    auto* host = reinterpret_cast<RunnerIupHost*>(IupGetAttribute(timer, HOST_ATTRIBUTE));
    // A tick that finds no run to watch stops its timer; it returns a code
    // the windowing layer knows, and the main loop goes on.
    if (host == nullptr || host->runner == nullptr || !host->runner->onTimer()) {
        IupSetAttribute(timer, "RUN", "NO");
        return IUP_DEFAULT;
    }
    return IUP_CONTINUE;
}

bool RunnerConsoleHost::consoleExists() { return IupGetHandle(KOV_Output) != nullptr; }

int RunnerConsoleHost::printColored(const std::string& text)
{
    return Output_printColored(text.c_str());
}

void RunnerConsoleHost::print(const std::string& text) { Output_print(text.c_str()); }

void RunnerConsoleHost::clearConsole() { Output_clear(); }

bool RunnerConsoleHost::consoleEmpty() { return Output_getLength() == 0; }

bool RunnerConsoleHost::consoleEndsWithLf()
{
    const long length = Output_getLength();
    Ihandle* view = IupGetHandle(KOV_Output);
    return length > 0 && IupScintillaSendMessage(view, SCI_GETCHARAT, length - 1, 0) == '\n';
}
