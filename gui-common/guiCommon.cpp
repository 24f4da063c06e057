#include "guiCommon.h"

#include <cstdio>
#include <cstring>

#include "iupScintillaMessages.h"
#include "libkovra.h"

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

void Iup_setActive(const char* name, int active)
{
    Ihandle* element = name != nullptr ? IupGetHandle(name) : nullptr;
    if (element == nullptr) {
        return;
    }
    const char* wanted = active == 1 ? "YES" : "NO";
    const char* now = IupGetAttribute(element, "ACTIVE");
    if (now == nullptr || std::strcmp(now, wanted) != 0) {
        IupSetAttribute(element, "ACTIVE", wanted);
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

std::string Editor_validText(std::string_view text, size_t maxBytes)
{
    std::string valid(text.size() + 1, '\0');
    valid.resize(normalizeStringToAnsi(text.data(), valid.data(), text.size()));
    if (valid.size() > maxBytes) {
        size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(valid[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        valid.resize(cut);
    }
    return valid;
}

namespace {

sptr_t textArgument(const std::string& text) { return reinterpret_cast<sptr_t>(text.c_str()); }

}  // namespace

long Editor_setText(Ihandle* view, std::string_view text)
{
    if (view == nullptr) {
        return 0;
    }
    const std::string valid = Editor_validText(text);
    Editor_send(view, SCI_SETTEXT, 0, textArgument(valid));
    return static_cast<long>(valid.size());
}

long Editor_appendText(Ihandle* view, std::string_view text)
{
    if (view == nullptr) {
        return 0;
    }
    const std::string valid = Editor_validText(text);
    Editor_send(view, SCI_APPENDTEXT, valid.size(), textArgument(valid));
    return static_cast<long>(valid.size());
}

long Editor_insertText(Ihandle* view, long position, std::string_view text)
{
    if (view == nullptr) {
        return 0;
    }
    const std::string valid = Editor_validText(text);
    Editor_send(view, SCI_INSERTTEXT, static_cast<uptr_t>(position), textArgument(valid));
    return static_cast<long>(valid.size());
}

long Editor_replaceSelection(Ihandle* view, std::string_view text)
{
    if (view == nullptr) {
        return 0;
    }
    const std::string valid = Editor_validText(text);
    Editor_send(view, SCI_REPLACESEL, 0, textArgument(valid));
    return static_cast<long>(valid.size());
}

long Editor_replaceRange(Ihandle* view, long start, long end, std::string_view text)
{
    if (view == nullptr) {
        return 0;
    }
    const std::string valid = Editor_validText(text);
    Editor_send(view, SCI_SETTARGETSTART, static_cast<uptr_t>(start), 0);
    Editor_send(view, SCI_SETTARGETEND, static_cast<uptr_t>(end), 0);
    Editor_send(view, SCI_REPLACETARGET, valid.size(), textArgument(valid));
    return static_cast<long>(valid.size());
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
