// Programs the editor starts and then leaves to themselves (the plot tool,
// the tools of the Help menu) are collected as soon as they end, so a closed
// plot window leaves no zombie process behind while the editor runs.
#pragma once

// Starts watching: a timer collects every ended child and stops by itself
// once none of the editor's children runs any more. Call it after starting
// a program; calling it again while it watches changes nothing.
void ChildReaper_watch();
// True while the timer watches.
bool ChildReaper_active();
// How often the timer looks, in milliseconds.
constexpr int CHILD_REAPER_INTERVAL_MS = 500;
