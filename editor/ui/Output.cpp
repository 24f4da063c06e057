#include "App.h"
#include "document.h"
#include "kovragui.h"
#include "libkovra.h"
#include "Output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "OutputText.h"
#include "guiCommon.h"
#include "kovraHandles.h"
#include "iupScintillaMessages.h"

namespace {

constexpr const char* CONSOLE = KOV_Output;

Ihandle* console() { return IupGetHandle(CONSOLE); }

int digitCount(long n)
{
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

// Margin 0 wide enough for the line numbers (plus one digit of room).
void sizeNumberMargin(Ihandle* view)
{
    long lines = Editor_send(view, SCI_GETLINECOUNT, 0, 0);
    int width = 0;
    if (lines >= 1 && lines <= 0x40000) {
        std::string sample(std::clamp(digitCount(lines) + 1, 2, 15), '0');
        const sptr_t sampleWidth =
            Editor_send(view, SCI_TEXTWIDTH, 33, reinterpret_cast<sptr_t>(sample.c_str()));
        width = std::max<int>(10, sampleWidth);
    }
    Editor_send(view, SCI_SETMARGINWIDTHN, 0, width);
    Editor_send(view, SCI_SETMARGINSENSITIVEN, 0, width > 0);
}

bool lineNumbersShown()
{
    const EditorPrefs* prefs = App_getEditorPrefs();
    return prefs == nullptr || prefs->lineNumbers != 0;
}

// The start and length of the bytes one append added.
struct Appended {
    long start = 0;
    long length = 0;
};

Appended appendText(Ihandle* view, const char* text, int mode)
{
    Appended added;
    if (view == nullptr) {
        return added;
    }
    if (text == nullptr || *text == '\0') {
        if (mode == 0) {
            Output_clear();
        }
        return added;
    }
    long length = Editor_send(view, SCI_GETLENGTH, 0, 0);
    if (static_cast<size_t>(length) >= OUTPUT_SIZE_CAP) {
        // Drop the older half up to the start of the line after the middle,
        // so that what stays begins at a line start and no character is cut.
        long line = Editor_send(view, SCI_LINEFROMPOSITION, length / 2, 0);
        long cut = Editor_send(view, SCI_POSITIONFROMLINE, line + 1, 0);
        if (cut <= 0) {
            cut = length;
        }
        Editor_send(view, SCI_SETREADONLY, 0, 0);
        Editor_send(view, SCI_DELETERANGE, 0, cut);
        Editor_send(view, SCI_SETREADONLY, 1, 0);
    }
    const long lines0 = Editor_send(view, SCI_GETLINECOUNT, 0, 0);
    const bool endsEmptyLine = lines0 > 1 && Editor_send(view, SCI_LINELENGTH, lines0 - 1, 0) < 1;
    const std::string bytes = OutputText_prepare(text, endsEmptyLine).text();

    // The text helpers turn broken UTF-8 (8-bit pipe lines, foreign device
    // files) into '?', so the view shows what it is given.
    Editor_send(view, SCI_SETREADONLY, 0, 0);
    if (mode == 1) {
        added.start = Editor_send(view, SCI_GETLENGTH, 0, 0);
        added.length = Editor_appendText(view, bytes);
    } else {
        added.start = 0;
        added.length = Editor_setText(view, bytes);
    }
    Editor_send(view, SCI_SETREADONLY, 1, 0);

    const long lines = Editor_send(view, SCI_GETLINECOUNT, 0, 0);
    if (added.length == 0 && lines == lines0) {
        return added;
    }
    if (lineNumbersShown() && (digitCount(lines) != digitCount(lines0) || lines0 <= 1)) {
        sizeNumberMargin(view);
    }
    Editor_send(view, SCI_GOTOLINE, lines - 1, 0);
    Output_updateResetButton();
    return added;
}

void style(Ihandle* view, const Appended& added, int styleNumber)
{
    if (added.length > 0) {
        Editor_send(view, SCI_STARTSTYLING, added.start, 0);
        Editor_send(view, SCI_SETSTYLING, added.length, styleNumber);
    }
}

Ihandle* consoleOf(Ihandle* item)
{
    Ihandle* view = item ? reinterpret_cast<Ihandle*>(IupGetAttribute(item, KOV_Output)) : nullptr;
    return view ? view : console();
}

}  // namespace

Ihandle* Output_create()
{
    if (Ihandle* existing = console()) {
        return existing;
    }
    Output_setDefaultPrefs(App_getEditorPrefs());
    Ihandle* view = IupScintilla();
    IupSetHandle(CONSOLE, view);
    IupSetAttributes(
        view, "EXPAND=YES, BORDER=NO, VISIBLECOLUMNS=80, SCROLLWIDTH=100, RASTERSIZE=100x100");
    IupSetCallback(view, "BUTTON_CB", Output_onButton);
    IupSetCallback(view, "MARGINCLICK_CB", Output_onMarginClick);

    char tip[256] = {};
    Ihandle* reset = IupButton(nullptr, nullptr);
    IupSetHandle(KOV_OutputReset, reset);
    IupSetAttributes(reset, "FLAT=YES, CANFOCUS=NO");
    IupSetStrAttribute(reset, "IMAGE", Images_get(159, tip));
    if (tip[0] != '\0') {
        IupSetStrAttribute(reset, "TIP", tip);
    }
    IupSetAttribute(reset, KOV_Output, reinterpret_cast<char*>(view));
    IupSetAttribute(reset, "VALUE", "OFF");
    IupSetCallback(reset, "ACTION", Output_onClear);

    Ihandle* title = IupLabel("Simulation Output");
    Ihandle* separator = IupLabel(nullptr);
    IupSetAttribute(separator, "SEPARATOR", "VERTICAL");
    Ihandle* bar = IupHbox(title, separator, reset, IupFill(), nullptr);
    IupSetHandle(KOV_OutputActionbar, bar);
    IupSetAttributes(
        bar, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, MARGIN=0x4, GAP=10, NORMALIZESIZE=VERTICAL");
    Ihandle* viewBox = IupHbox(view, nullptr);
    IupSetHandle(KOV_OutputHbox, viewBox);
    IupSetAttributes(viewBox, "EXPAND=YES, ALIGNMENT=ALEFT, MARGIN=0x0, GAP=0");
    Ihandle* box = IupVbox(bar, viewBox, nullptr);
    IupSetHandle(KOV_OutputVbox, box);
    IupSetAttributes(box, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=0");
    return box;
}

void Output_setup()
{
    Ihandle* view = console();
    if (view == nullptr) {
        return;
    }
    Editor_send(view, SCI_SETCODEPAGE, 65001, 0);
    Editor_send(view, SCI_SETEOLMODE, SC_EOL_CRLF, 0);
    Editor_send(view, SCI_SETVIEWWS, 0, 0);
    Editor_send(view, SCI_SETWRAPMODE, 0, 0);
    Editor_send(view, SCI_SETMARGINLEFT, 0, 10);
    Editor_send(view, SCI_SETMARGINRIGHT, 0, 10);
    Editor_send(view, SCI_SETTABWIDTH, 3, 0);
    Editor_send(view, SCI_SETUSETABS, 0, 0);
    Editor_send(view, SCI_SETINDENTATIONGUIDES, 0, 0);

    EditorPrefs* prefs = App_getEditorPrefs();
    Editor_applyStyle(view, prefs, 1, 1);
    if (lineNumbersShown()) {
        sizeNumberMargin(view);
    } else {
        Editor_send(view, SCI_SETMARGINWIDTHN, 0, 0);
        Editor_send(view, SCI_SETMARGINSENSITIVEN, 0, 0);
    }
    if (prefs != nullptr) {
        prefs->lineNumberWidth = static_cast<int>(Editor_send(view, SCI_GETMARGINWIDTHN, 0, 0));
    }

    Editor_send(view, SCI_SETHSCROLLBAR, 1, 0);
    Editor_send(view, SCI_SETSCROLLWIDTHTRACKING, 1, 0);
    int width = 0, height = 0;
    IupGetIntInt(view, "RASTERSIZE", &width, &height);
    Editor_send(view, SCI_SETSCROLLWIDTH, width >= 200 ? width - 100 : 100, 0);
    Editor_send(view, SCI_USEPOPUP, 0, 0);
    // The main window's own Ctrl keys (file commands, copy, zoom) must reach
    // it while the console has the focus.
    for (const char* keys : {"mMnNoOsSpPzZyYxX", "cCvV0+-fFhHrRgG"}) {
        for (const char* k = keys; *k; ++k) {
            Editor_send(view, SCI_CLEARCMDKEY, static_cast<uptr_t>(*k) + (SCMOD_CTRL << 16), 0);
        }
    }
    Editor_send(view, SCI_EMPTYUNDOBUFFER, 0, 0);
    Editor_send(view, SCI_SETUNDOCOLLECTION, 0, 0);
    // Nothing watches the log's changes, and each change notification makes
    // the text control count the characters from the start of the text up
    // to the change (for accessibility): appends would grow slower with
    // every line the console holds. The log asks for no notifications.
    Editor_send(view, SCI_SETMODEVENTMASK, 0, 0);
    Editor_send(view, SCI_SETREADONLY, 1, 0);
}

void Output_appendText(Ihandle* view, const char* text, int mode) { appendText(view, text, mode); }

void Output_print(const char* text)
{
    Ihandle* view = console();
    if (view != nullptr) {
        style(view, appendText(view, text, 1), OutputStylePlain);
    }
}

int Output_printColored(const char* text)
{
    Ihandle* view = console();
    if (view == nullptr || text == nullptr) {
        return OutputStylePlain;
    }
    const char* start = text + std::strspn(text, "\r\n");
    if (*start == '\0') {
        return OutputStylePlain;
    }
    int chosen = OutputText_styleOf(text);
    style(view, appendText(view, text, 1), chosen);
    return chosen;
}

void Output_clear()
{
    Ihandle* view = console();
    if (view == nullptr) {
        return;
    }
    Editor_send(view, SCI_SETREADONLY, 0, 0);
    Editor_send(view, SCI_CLEARALL, 0, 0);
    Editor_send(view, SCI_SETREADONLY, 1, 0);
    Output_updateResetButton();
}

long Output_getLength() { return static_cast<long>(Editor_send(console(), SCI_GETLENGTH, 0, 0)); }

void Output_updateResetButton()
{
    Ihandle* reset = IupGetHandle(KOV_OutputReset);
    if (console() == nullptr || reset == nullptr || IupGetHandle(KOV_OutputActionbar) == nullptr) {
        return;
    }
    const char* wanted = Output_getLength() > 0 ? "ON" : "OFF";
    const char* current = IupGetAttribute(reset, "VALUE");
    if (current == nullptr || std::strcmp(current, wanted) != 0) {
        IupSetAttribute(reset, "VALUE", wanted);
    }
}

int Output_onClear(Ihandle* item)
{
    appendText(consoleOf(item), nullptr, 0);
    return IUP_IGNORE;
}

int Output_onCopy(Ihandle* item)
{
    Ihandle* view = consoleOf(item);
    if (view && !Editor_send(view, SCI_GETSELECTIONEMPTY, 0, 0)) {
        Editor_send(view, SCI_COPY, 0, 0);
    }
    return IUP_IGNORE;
}

int Output_onSelectAll(Ihandle* item)
{
    Editor_send(consoleOf(item), SCI_SELECTALL, 0, 0);
    return IUP_IGNORE;
}

int Output_onZoomIn(Ihandle* item)
{
    Editor_send(consoleOf(item), SCI_ZOOMIN, 0, 0);
    return IUP_DEFAULT;
}

int Output_onZoomOut(Ihandle* item)
{
    Editor_send(consoleOf(item), SCI_ZOOMOUT, 0, 0);
    return IUP_DEFAULT;
}

int Output_onZoomReset(Ihandle* item)
{
    Editor_send(consoleOf(item), SCI_SETZOOM, 0, 0);
    return IUP_DEFAULT;
}

int Output_onButton(Ihandle* view, int button, int pressed, int x, int y, char* status)
{
    if (button != IUP_BUTTON3) {
        return IUP_DEFAULT;
    }
    if (!pressed) {
        Output_contextMenu();
    }
    return IUP_IGNORE;
}

int Output_onMarginClick(Ihandle* view, int margin, int line, char* status)
{
    Document* document = App_getDocument();
    if (view != console() || document == nullptr || Output_getLength() <= 0) {
        return IUP_IGNORE;
    }
    if (status == nullptr || std::strlen(status) < 3 || status[2] != '1') {
        return IUP_DEFAULT;
    }
    if (margin == 0 && line >= 0 && line < Editor_send(view, SCI_GETLINECOUNT, 0, 0)) {
        long start = Editor_send(view, SCI_POSITIONFROMLINE, line, 0);
        long end = Editor_send(view, SCI_POSITIONFROMLINE, line + 1, 0);
        if (end <= start) {
            end = Editor_send(view, SCI_GETLINEENDPOSITION, line, 0);
        }
        Editor_send(view, SCI_SETSELECTIONSTART, start, 0);
        Editor_send(view, SCI_SETSELECTIONEND, end, 0);
    }
    return IUP_DEFAULT;
}
