// The editor's parameter dialogs: one entry per dialog for the main
// window's menus, keys and canvas, and each dialog's field table (the
// tests drive the dialogs through these).
#pragma once

#include "DialogFrame.h"

extern const DialogSpec LatticeDialog;
extern const DialogSpec TemperatureDialog;
extern const DialogSpec VoltageDialog;
extern const DialogSpec VariableDialog;
extern const DialogSpec DopingDialog;

// Shows the dialog (or focuses it when it is open).
void WindowLattice_show();
void WindowTemperature_show();
void WindowVoltage_show();
void WindowVariable_show();
void WindowDoping_show();

// Hands the main window the dialogs' entries (menus, keys, canvas) and the
// main-window routines the dialogs call; once, before the menus are built.
void Dialogs_install();
