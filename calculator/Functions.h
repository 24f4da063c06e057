// The function list: the Functions menu, and the same list popped up by the
// action bar's Tools button and the keypad's functions key "F".
#pragma once

#include "iup.h"

// The functions in menu order; a text beginning with a blank is a separator.
extern const char* const FUNCTION_ITEMS[12];

// A new menu of the function list (the caller destroys or attaches it).
Ihandle* Functions_createMainMenu();
// Inserts the item's function at the caret.
int Functions_onItem(Ihandle* item);
// The function list popped up with its left edge at the console's right
// edge (at the mouse when the console's place cannot be read).
int Functions_popup(Ihandle* button);
