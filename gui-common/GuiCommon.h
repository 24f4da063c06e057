// Helpers both GUI programs (KovraDevice and KovraCalc) share: elements by
// handle name, popup positions, and the text-view helpers of a Scintilla
// control. Every helper does nothing (or returns 0) for a null element.
#pragma once

#include "iup.h"

// Destroys the element registered under name and forgets the name; a NULL
// or unknown name does nothing.
void Iup_destroyNamed(const char* name);
// The element's SCREENPOSITION ("x,y"); 1 when read, 0 for a null element
// or a missing attribute.
int Iup_getScreenPosition(Ihandle* element, int* x, int* y);
// ACTIVE of the named control := "YES"/"NO", written only when it changes.
void Iup_setActive(const char* name, int active);

// ---- text views (a Scintilla control) ----------------------------------
sptr_t Editor_send(Ihandle* view, unsigned int message, uptr_t wParam, sptr_t lParam);
// The character at position; 0 for a null view or a position above
// 0x0FFFFFFF (never asked of the control).
int Editor_getCharAt(Ihandle* view, sptr_t position);
// Copies the selection to the clipboard, only when it is not empty.
void Editor_copy(Ihandle* view);
void Editor_zoomIn(Ihandle* view);
void Editor_zoomOut(Ihandle* view);
void Editor_zoomReset(Ihandle* view);
