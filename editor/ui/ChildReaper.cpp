// The reaping timer over the common library's collection of ended children.
// A timer rather than a SIGCHLD handler: the handler could run at any point
// of the program, while the timer runs between events like everything else.
#include "ChildReaper.h"

#include "PollTimer.h"
#include "iup.h"
#include "kovProcess.h"
#include "kovraHandles.h"

namespace {

constexpr const char* TIMER = KOV_ChildReaper;

int onTick(Ihandle* timer)
{
    if (kov_processCollectEnded() == 0) {
        IupSetAttribute(timer, "RUN", "NO");
    }
    return IUP_DEFAULT;
}

}  // namespace

void ChildReaper_watch() { PollTimer_run(TIMER, onTick, CHILD_REAPER_INTERVAL_MS); }

bool ChildReaper_active()
{
    Ihandle* timer = IupGetHandle(TIMER);
    return timer != nullptr && IupGetInt(timer, "RUN") == 1;
}
