// Helpers that both GUI programs (the device editor and the calculator)
// share: finding an element's place on the screen, destroying a dialog by
// its handle name, and the text-view functions over a Scintilla control
// (guarded message sending, copy and zoom). Each takes the element first
// and does nothing (or returns 0) for a null one.
#pragma once

#include "iup.h"

// Reads the element's SCREENPOSITION ("x,y"); 0 when the element is null or
// the position is unknown, else 1.
int Iup_getScreenPosition(Ihandle* element, int* x, int* y);
// Destroys the element registered under the name and forgets the name.
void Iup_destroyNamed(const char* name);

sptr_t Editor_send(Ihandle* view, unsigned int message, uptr_t wParam, sptr_t lParam);
// The character at a position; 0 for a null view or a position above
// 0x0FFFFFFF (no control holds that much).
int Editor_getCharAt(Ihandle* view, long position);
// Copies the selection; an empty selection leaves the clipboard alone.
void Editor_copy(Ihandle* view);
void Editor_zoomIn(Ihandle* view);
void Editor_zoomOut(Ihandle* view);
void Editor_zoomReset(Ihandle* view);
