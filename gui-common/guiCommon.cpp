#include "guiCommon.h"

#include <cstdio>

int Iup_getScreenPosition(Ihandle* element, int* x, int* y)
{
    if (element == nullptr) {
        return 0;
    }
    const char* position = IupGetAttribute(element, "SCREENPOSITION");
    int px = 0, py = 0;
    if (position == nullptr || std::sscanf(position, "%d,%d", &px, &py) != 2) {
        return 0;
    }
    if (x != nullptr) {
        *x = px;
    }
    if (y != nullptr) {
        *y = py;
    }
    return 1;
}

void Iup_destroyNamed(const char* name)
{
    if (name == nullptr) {
        return;
    }
    if (Ihandle* element = IupGetHandle(name)) {
        IupSetHandle(name, nullptr);
        IupDestroy(element);
    }
}

sptr_t Editor_send(Ihandle* view, unsigned int message, uptr_t wParam, sptr_t lParam)
{
    return view != nullptr ? IupScintillaSendMessage(view, message, wParam, lParam) : 0;
}

int Editor_getCharAt(Ihandle* view, long position)
{
    if (view == nullptr || static_cast<unsigned long>(position) > 0x0FFFFFFFul) {
        return 0;
    }
    return static_cast<int>(Editor_send(view, SCI_GETCHARAT, static_cast<uptr_t>(position), 0));
}

void Editor_copy(Ihandle* view)
{
    if (view != nullptr && Editor_send(view, SCI_GETSELECTIONEMPTY, 0, 0) == 0) {
        Editor_send(view, SCI_COPY, 0, 0);
    }
}

void Editor_zoomIn(Ihandle* view) { Editor_send(view, SCI_ZOOMIN, 0, 0); }
void Editor_zoomOut(Ihandle* view) { Editor_send(view, SCI_ZOOMOUT, 0, 0); }
void Editor_zoomReset(Ihandle* view) { Editor_send(view, SCI_SETZOOM, 0, 0); }
