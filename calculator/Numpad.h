// The keypad to the right of the console (KOV_Numpad: buttons Numpad_Btn_*,
// the functions button KOV_FuncList and Numpad_Btn_Run "Calculate").
#pragma once

#include "iup.h"

struct NumpadKey {
    const char* value;  // inserted at the caret; "C" clears the line
    const char* handle;
};
// The 19 keys of the grid, four to a line; the functions button "F" is the
// twentieth cell.
extern const NumpadKey NumpadKeys[19];

// Builds the keypad into KOV_WindowMainBox when the settings ask for it
// (viewNumpad); returns it (the existing one when there is one), else NULL.
Ihandle* Numpad_create();
// Takes the keypad out of the window.
void Numpad_destroy();
// The keys' labels follow the console's default font: bold beside bold.
void Numpad_update();
// "=" evaluates the prompt line, "C" clears it, any other value is
// inserted at the caret.
int Numpad_onButton(Ihandle* button);
