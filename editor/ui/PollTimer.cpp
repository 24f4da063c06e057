#include "PollTimer.h"

void PollTimer_run(const char* handle, Icallback onTick, int intervalMs)
{
    Ihandle* timer = IupGetHandle(handle);
    if (timer == nullptr) {
        timer = IupTimer();
        if (timer == nullptr) {
            return;
        }
        IupSetHandle(handle, timer);
        IupSetCallback(timer, "ACTION_CB", onTick);
        IupSetInt(timer, "TIME", intervalMs);
    }
    if (IupGetInt(timer, "RUN") != 1) {
        IupSetAttribute(timer, "RUN", "YES");
    }
}
