// The simulation runner attached to the main window: the window's side of
// the runner's host (document, console, status line, questions, buttons,
// poll timer) and the routines the window's Run, Stop and Plot commands
// reach through WindowMain_setRunner.
#pragma once

// Installs the runner's routines into the main window.
void WindowRunner_install();
