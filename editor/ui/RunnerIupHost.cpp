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
    if (timer_ != nullptr) {
        IupSetAttribute(timer_, "RUN", "NO");
        IupDestroy(timer_);
    }
}

void RunnerIupHost::flush()
{
    IupFlush();
}

// One timer serves every run of the host. It is only stopped when a run
// ends (also from inside its own tick) and released with the host, never
// while one of its callbacks may be running.
bool RunnerIupHost::startTimer(int milliseconds)
{
    if (timer_ == nullptr) {
        timer_ = IupTimer();
        if (timer_ == nullptr) {
            return false;
        }
        IupSetHandle(KOV_RunnerTimer, timer_);
        IupSetAttribute(timer_, HOST_ATTRIBUTE, reinterpret_cast<char*>(this));
        IupSetCallback(timer_, "ACTION_CB", onTimerAction);
    }
    IupSetInt(timer_, "TIME", milliseconds);
    IupSetAttribute(timer_, "RUN", "YES");
    return true;
}

void RunnerIupHost::stopTimer()
{
    if (timer_ != nullptr) {
        IupSetAttribute(timer_, "RUN", "NO");
    }
}

void RunnerIupHost::programStarted()
{
    ChildReaper_watch();
}

int RunnerIupHost::onTimerAction(Ihandle* timer)
{
    auto* host = reinterpret_cast<RunnerIupHost*>(IupGetAttribute(timer, HOST_ATTRIBUTE));
    // A tick that finds no run to watch stops its timer; it returns a code
    // the windowing layer knows, and the main loop goes on.
    if (host == nullptr || host->runner_ == nullptr || !host->runner_->onTimer()) {
        IupSetAttribute(timer, "RUN", "NO");
        return IUP_DEFAULT;
    }
    return IUP_CONTINUE;
}

bool RunnerConsoleHost::consoleExists()
{
    return IupGetHandle(KOV_Output) != nullptr;
}

int RunnerConsoleHost::printColored(const std::string& text)
{
    return Output_printColored(text.c_str());
}

void RunnerConsoleHost::print(const std::string& text)
{
    Output_print(text.c_str());
}

void RunnerConsoleHost::clearConsole()
{
    Output_clear();
}

bool RunnerConsoleHost::consoleEmpty()
{
    return Output_getLength() == 0;
}

bool RunnerConsoleHost::consoleEndsWithLf()
{
    const long length = Output_getLength();
    Ihandle* view = IupGetHandle(KOV_Output);
    return length > 0 && IupScintillaSendMessage(view, SCI_GETCHARAT, length - 1, 0) == '\n';
}
