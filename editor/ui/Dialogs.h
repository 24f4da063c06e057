// The editor's parameter dialogs: one entry per dialog for the main
// window's menus, keys and canvas, and each dialog's field table (the
// tests drive the dialogs through these).
#pragma once

#include "DialogFrame.h"

extern const DialogDescription LatticeDialog;
extern const DialogDescription TemperatureDialog;
extern const DialogDescription VoltageDialog;
extern const DialogDescription VariableDialog;
extern const DialogDescription DopingDialog;
extern const DialogDescription ContactDialog;
extern const DialogDescription TrapDialog;
extern const DialogDescription IndexDialog;
extern const DialogDescription LightDialog;
extern const DialogDescription ParamDialog;
extern const DialogDescription UrbachDialog;
extern const DialogDescription MobilityDialog;
extern const DialogDescription NumericDialog;
extern const DialogDescription MaterialDialog;

// Shows the dialog (or focuses it when it is open).
void WindowLattice_show();
void WindowTemperature_show();
void WindowVoltage_show();
void WindowVariable_show();
void WindowDoping_show();
void WindowContact_show();
void WindowTrap_show();
void WindowIndex_show();
void WindowLight_show();
void WindowParam_show();
void WindowUrbach_show();
void WindowMobility_show();
void WindowNumeric_show();
void WindowMaterial_show();

// The traps' rule for a layer about to be written: with a ".lua" trap
// model the count is written (at least 1); without one it is not, the
// engine counting the traps it finds. 1 with a model.
struct Layer;
int WindowTrap_applyModel(Layer* layer);

// Hands the main window the dialogs' entries (menus, keys, canvas) and the
// main-window routines the dialogs call; once, before the menus are built.
void Dialogs_install();
