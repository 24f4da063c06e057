// The reaping timer over the common library's collection of ended children.
// A timer rather than a SIGCHLD handler: the handler could run at any point
// of the program, while the timer runs between events like everything else.
#include "ChildReaper.h"

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

void ChildReaper_watch()
{
    Ihandle* timer = IupGetHandle(TIMER);
    if (timer == nullptr) {
        timer = IupTimer();
        if (timer == nullptr) {
            return;
        }
        IupSetHandle(TIMER, timer);
        IupSetCallback(timer, "ACTION_CB", onTick);
        IupSetInt(timer, "TIME", CHILD_REAPER_INTERVAL_MS);
    }
    if (IupGetInt(timer, "RUN") != 1) {
        IupSetAttribute(timer, "RUN", "YES");
    }
}

bool ChildReaper_active()
{
    Ihandle* timer = IupGetHandle(TIMER);
    return timer != nullptr && IupGetInt(timer, "RUN") == 1;
}
