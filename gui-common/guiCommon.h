// Helpers that both GUI programs (the device editor and the calculator)
// share: finding an element's place on the screen, destroying a dialog by
// its handle name, switching a named control on or off, and the text-view functions over a
// Scintilla control (guarded message sending, text in, copy and zoom). Each takes the element first
// and does nothing (or returns 0) for a null one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "iup.h"

// Reads the element's SCREENPOSITION ("x,y"); 0 when the element is null or
// the position is unknown, else 1.
int Iup_getScreenPosition(Ihandle* element, int* x, int* y);
// Destroys the element registered under the name and forgets the name.
void Iup_destroyNamed(const char* name);
// ACTIVE of the named element := "YES" for 1, else "NO"; written only when
// it changes (the callers run on every caret move, and each write redraws).
void Iup_setActive(const char* name, int active);

// Sends a message to the view; 0 for a null view.
sptr_t Editor_send(Ihandle* view, unsigned int message, uptr_t wParam = 0, sptr_t lParam = 0);
// The character at a position; 0 for a null view or a position above
// 0x0FFFFFFF (no control holds that much).
int Editor_getCharAt(Ihandle* view, long position);
// Text as the views take it. The control works in UTF-8 and cannot take
// other bytes (its lexers and layout assume whole characters), while files,
// settings, pipes and the clipboard may carry anything: valid UTF-8 passes
// unchanged, each byte of an invalid or cut sequence becomes '?', a NUL
// byte ends the text, and the result holds at most maxBytes bytes without
// ending inside a character.
std::string Editor_validText(std::string_view text, size_t maxBytes = std::string_view::npos);
// Every text that enters a view goes through one of these, which pass it
// through Editor_validText; each returns the number of bytes put in.
long Editor_setText(Ihandle* view, std::string_view text);
long Editor_appendText(Ihandle* view, std::string_view text);
long Editor_insertText(Ihandle* view, long position, std::string_view text);
long Editor_replaceSelection(Ihandle* view, std::string_view text);
// Replaces the bytes from start to end (the control's target range).
long Editor_replaceRange(Ihandle* view, long start, long end, std::string_view text);

// Copies the selection; an empty selection leaves the clipboard alone.
void Editor_copy(Ihandle* view);
void Editor_zoomIn(Ihandle* view);
void Editor_zoomOut(Ihandle* view);
void Editor_zoomReset(Ihandle* view);
