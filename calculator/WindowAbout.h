// The calculator's About dialog (KOV_WindowAbout).
#pragma once

// Shows the dialog; raises it again when it is open already.
void WindowAbout_show();
