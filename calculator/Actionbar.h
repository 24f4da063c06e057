// The action bar above the console (KOV_Actionbar): Cut, Copy, Paste,
// Reset, the function list and Calculate as picture buttons
// (KOV_Actionbar_Btn_*), and the label KOV_Actionbar_Info at its end.
#pragma once

#include "iup.h"

// Builds the bar into the top of KOV_WindowMainVBox (the existing bar when
// there is one; NULL without the box or the dialog) and publishes the
// button size as KOV_MainButtonW and KOV_MainButtonH.
Ihandle* Actionbar_create();
// Cut and Copy need a selection (Cut also the caret on the prompt line),
// Paste a place to paste, Calculate an idle parser. Runs on every caret
// move, so ACTIVE is written only when it changes.
void Actionbar_update();
