// The binding of parameter records to the input controls of a window: a
// control shows its record's value text and carries the record in its
// "KOV_Record" attribute; storing reads the controls back through the one
// value entry of the records.
#pragma once

#include "iup.h"
#include "param.h"

ParamRecord* ParamControl_record(Ihandle* control);
void ParamControl_bind(Ihandle* control, ParamRecord* record);

// Shows the records named by a control table in its controls (active, value
// text, "KOV_Record", caret at the end).
void Params_fillControls(const ControlRow* table, ParamRecord* const* records, int count);
// The same for toggles: "ON" when the value text is exactly "Yes".
void Params_fillControlsFromTexts(const ControlRow* table, ParamRecord* const* records, int count);
// Stores every active, non-empty control of the table into its record; 0 at
// the first refusal (the rows after it are left), else 1. changed counts
// the records whose revision moved.
int Params_applyControls(const ControlRow* table, int* changed, int console);
