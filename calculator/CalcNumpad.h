// The keypad to the right of the console (KOV_Numpad: buttons Numpad_Btn_*,
// the functions button KOV_FuncList and Numpad_Btn_Run "Calculate") and the
// function list of the Functions menu and popup.
#pragma once

#include "iup.h"

struct NumpadKey {
    const char* value;   // inserted at the caret; "C" clears the line
    const char* handle;
};
// The 19 keys of the grid, four to a line; the functions button "F" is the
// twentieth cell.
extern const NumpadKey NumpadKeys[19];
// The function list; a text beginning with a blank is a separator.
extern const char* const FunctionItems[12];

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

// A new menu of the function list (the caller destroys or attaches it).
Ihandle* Functions_createMainMenu();
// Inserts the item's function at the caret.
int Functions_onItem(Ihandle* item);
// The function list popped up with its left edge at the console's right
// edge (at the mouse when the console's place cannot be read).
int Functions_popup(Ihandle* button);
