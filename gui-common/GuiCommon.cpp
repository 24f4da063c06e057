// Helpers shared by the GUI programs.
#include "GuiCommon.h"

#include <cstdio>
#include <cstring>

void Iup_destroyNamed(const char* name)
{
    if (name == nullptr) return;
    Ihandle* element = IupGetHandle(name);
    if (element == nullptr) return;
    IupSetHandle(name, nullptr);
    IupDestroy(element);
}

int Iup_getScreenPosition(Ihandle* element, int* x, int* y)
{
    if (element == nullptr || x == nullptr || y == nullptr) return 0;
    const char* position = IupGetAttribute(element, "SCREENPOSITION");
    if (position == nullptr) return 0;
    return std::sscanf(position, "%d,%d", x, y) == 2 ? 1 : 0;
}

void Iup_setActive(const char* name, int active)
{
    Ihandle* element = name != nullptr ? IupGetHandle(name) : nullptr;
    if (element == nullptr) return;
    const char* wanted = active == 1 ? "YES" : "NO";
    const char* now = IupGetAttribute(element, "ACTIVE");
    if (now == nullptr || std::strcmp(now, wanted) != 0) IupSetAttribute(element, "ACTIVE", wanted);
}

sptr_t Editor_send(Ihandle* view, unsigned int message, uptr_t wParam, sptr_t lParam)
{
    return view != nullptr ? IupScintillaSendMessage(view, message, wParam, lParam) : 0;
}

int Editor_getCharAt(Ihandle* view, sptr_t position)
{
    if (view == nullptr || static_cast<unsigned long long>(position) > 0x0FFFFFFFull) return 0;
    return static_cast<int>(Editor_send(view, SCI_GETCHARAT, static_cast<uptr_t>(position), 0));
}

void Editor_copy(Ihandle* view)
{
    if (view != nullptr && Editor_send(view, SCI_GETSELECTIONEMPTY, 0, 0) == 0) {
        Editor_send(view, SCI_COPY, 0, 0);
    }
}

void Editor_zoomIn(Ihandle* view)
{
    Editor_send(view, SCI_ZOOMIN, 0, 0);
}

void Editor_zoomOut(Ihandle* view)
{
    Editor_send(view, SCI_ZOOMOUT, 0, 0);
}

void Editor_zoomReset(Ihandle* view)
{
    Editor_send(view, SCI_SETZOOM, 0, 0);
}
