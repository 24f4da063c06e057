// A window timer that looks after something between events (ended child
// processes, a watched program) until its tick finds nothing left to do.
#pragma once

#include "iup.h"

// Runs the timer named handle: made the first time, with onTick called every
// intervalMs, and started again when it was stopped. The tick stops it by
// setting its RUN attribute to NO.
void PollTimer_run(const char* handle, Icallback onTick, int intervalMs);
