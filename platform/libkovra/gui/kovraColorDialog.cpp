// The colours-and-font dialog over the windowing layer. It edits a copy of
// one style slot at a time; Apply and OK store into the record and call its
// change callbacks.
#include <cstdio>
#include <cstring>
#include <string>

#include "kovragui.h"
#include "kovraHandles.h"

namespace {

const char* SLOT_NAMES[EDITOR_STYLE_SLOTS] = {
    "Default",  "Comment",   "Comment line", "Comment doc",  "Number",    "Keyword",
    "String",   "Character", "Text 8",       "Preprocessor", "Operator",  "Identifier",
    "Style 12", "Style 13",  "Style 14",     "Style 15",     "Library",   "Style 17",
    "Style 18", "Style 19",  "Line numbers", "Caret line",   "Selection", "White space"};

EditorPrefs* editing = nullptr;
int changed = 0;

std::string rgbText(long color)
{
    char text[32];
    std::snprintf(text, sizeof text, "%ld %ld %ld", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return text;
}

bool readRgb(const char* text, long* color)
{
    int r, g, b;
    if (text == nullptr || std::sscanf(text, "%d %d %d", &r, &g, &b) != 3 || r < 0 || g < 0 ||
        b < 0 || r > 255 || g > 255 || b > 255) {
        return false;
    }
    *color = r | (g << 8) | (static_cast<long>(b) << 16);
    return true;
}

int selectedSlot()
{
    const int slot = IupGetInt(IupGetHandle(KOV_WindowColor_Slot), "VALUE") - 1;
    return slot >= 0 && slot < EDITOR_STYLE_SLOTS ? slot : 0;
}

void load()
{
    if (editing == nullptr) {
        return;
    }
    const EditorStyle& s = editing->styles[selectedSlot()];
    IupSetStrAttribute(IupGetHandle(KOV_WindowColor_Font), "VALUE", s.fontName);
    IupSetInt(IupGetHandle(KOV_WindowColor_Size), "VALUE", s.fontSize);
    IupSetAttribute(IupGetHandle(KOV_WindowColor_Bold), "VALUE", (s.fontStyle & 1) ? "ON" : "OFF");
    IupSetAttribute(IupGetHandle(KOV_WindowColor_Italic), "VALUE",
                    (s.fontStyle & 2) ? "ON" : "OFF");
    IupSetStrAttribute(IupGetHandle(KOV_WindowColor_Fore), "VALUE", rgbText(s.fore).c_str());
    IupSetStrAttribute(IupGetHandle(KOV_WindowColor_Back), "VALUE", rgbText(s.back).c_str());
    Ihandle* sample = IupGetHandle(KOV_WindowColor_Sample);
    IupSetStrAttribute(sample, "FGCOLOR", rgbText(s.fore).c_str());
    IupSetStrAttribute(sample, "BGCOLOR", rgbText(s.back).c_str());
}

// Stores the fields into the selected slot; 0 (nothing stored) for a bad
// size or colour, which the dialog names in its status line.
int store()
{
    if (editing == nullptr) {
        return 0;
    }
    EditorStyle s = editing->styles[selectedSlot()];
    Ihandle* status = IupGetHandle(KOV_WindowColor_Status);
    const int size = IupGetInt(IupGetHandle(KOV_WindowColor_Size), "VALUE");
    if (size < 6 || size > 48) {
        IupSetStrAttribute(status, "TITLE", "Size: a number from 6 to 48");
        return 0;
    }
    if (!readRgb(IupGetAttribute(IupGetHandle(KOV_WindowColor_Fore), "VALUE"), &s.fore) ||
        !readRgb(IupGetAttribute(IupGetHandle(KOV_WindowColor_Back), "VALUE"), &s.back)) {
        IupSetStrAttribute(status, "TITLE", "Colours: three numbers 0..255 (red green blue)");
        return 0;
    }
    const char* font = IupGetAttribute(IupGetHandle(KOV_WindowColor_Font), "VALUE");
    if (font != nullptr && *font != '\0') {
        std::memset(s.fontName, 0, sizeof s.fontName);
        std::strncpy(s.fontName, font, sizeof s.fontName - 1);
    }
    s.fontSize = size;
    s.fontStyle = (s.fontStyle & ~3) |
                  (IupGetInt(IupGetHandle(KOV_WindowColor_Bold), "VALUE") ? 1 : 0) |
                  (IupGetInt(IupGetHandle(KOV_WindowColor_Italic), "VALUE") ? 2 : 0);
    editing->styles[selectedSlot()] = s;
    IupSetStrAttribute(status, "TITLE", "");
    changed = 1;
    if (editing->onChange) {
        editing->onChange(editing);
    }
    if (editing->onApply) {
        editing->onApply(editing);
    }
    load();
    return 1;
}

int onSlot(Ihandle*, char*, int, int state)
{
    if (state == 1) {
        load();
    }
    return IUP_DEFAULT;
}

int onApply(Ihandle*)
{
    store();
    return IUP_DEFAULT;
}

int onOk(Ihandle*)
{
    if (store()) {
        IupHide(IupGetHandle(KOV_WindowColor));
    }
    return IUP_DEFAULT;
}

int onCancel(Ihandle*)
{
    IupHide(IupGetHandle(KOV_WindowColor));
    return IUP_DEFAULT;
}

Ihandle* named(const char* name, Ihandle* ih)
{
    IupSetHandle(name, ih);
    return ih;
}

Ihandle* field(const char* name, const char* attributes)
{
    Ihandle* text = named(name, IupText(nullptr));
    IupSetAttributes(text, attributes);
    return text;
}

Ihandle* caption(const char* title)
{
    Ihandle* label = IupLabel(title);
    IupSetAttributes(label, "SIZE=40x, ALIGNMENT=ARIGHT");
    return label;
}

}  // namespace

Ihandle* WindowColor_create(EditorPrefs* prefs)
{
    if (prefs == nullptr) {
        return nullptr;
    }
    if (Ihandle* open = IupGetHandle(KOV_WindowColor)) {
        IupDestroy(open);
    }
    editing = prefs;
    changed = 0;
    Ihandle* slots = named(KOV_WindowColor_Slot, IupList(nullptr));
    IupSetAttributes(slots, "EXPAND=YES, VISIBLELINES=12, SIZE=90x");
    for (int i = 0; i < EDITOR_STYLE_SLOTS; ++i) {
        IupSetStrAttributeId(slots, "", i + 1, SLOT_NAMES[i]);
    }
    IupSetAttribute(slots, "VALUE", "1");
    IupSetCallback(slots, "ACTION", onSlot);

    Ihandle* bold = named(KOV_WindowColor_Bold, IupToggle("Bold", nullptr));
    Ihandle* italic = named(KOV_WindowColor_Italic, IupToggle("Italic", nullptr));
    Ihandle* sample = named(KOV_WindowColor_Sample, IupLabel("  sin(pi/4) = 0.7071  "));
    IupSetAttributes(sample, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, PADDING=4x6");
    Ihandle* form = IupVbox(
        IupHbox(caption("Font"), field(KOV_WindowColor_Font, "SIZE=100x, NC=31"), nullptr),
        IupHbox(caption("Size"), field(KOV_WindowColor_Size, "SIZE=30x, NC=2, MASK=/d+"),
                caption("pt"), nullptr),
        IupHbox(caption(""), bold, italic, nullptr),
        IupHbox(caption("Text"), field(KOV_WindowColor_Fore, "SIZE=70x, NC=11"), nullptr),
        IupHbox(caption("Background"), field(KOV_WindowColor_Back, "SIZE=70x, NC=11"), nullptr),
        sample, nullptr);
    IupSetAttributes(form, "GAP=6, ALIGNMENT=ALEFT");
    for (int i = 0; i < IupGetChildCount(form); ++i) {
        IupSetAttributes(IupGetChild(form, i), "GAP=6, ALIGNMENT=ACENTER");
    }

    Ihandle* apply = named(KOV_WindowColor_Apply, IupButton("Apply", nullptr));
    Ihandle* ok = named(KOV_WindowColor_OK, IupButton("OK", nullptr));
    Ihandle* cancel = named(KOV_WindowColor_Cancel, IupButton("Cancel", nullptr));
    for (Ihandle* b : {apply, ok, cancel}) {
        IupSetAttribute(b, "SIZE", "50x");
    }
    IupSetCallback(apply, "ACTION", onApply);
    IupSetCallback(ok, "ACTION", onOk);
    IupSetCallback(cancel, "ACTION", onCancel);
    Ihandle* status = named(KOV_WindowColor_Status, IupLabel(""));
    IupSetAttributes(status, "EXPAND=HORIZONTAL, FGCOLOR=\"200 30 30\"");

    Ihandle* body = IupVbox(IupHbox(slots, form, nullptr), status,
                            IupHbox(IupFill(), apply, ok, cancel, nullptr), nullptr);
    IupSetAttributes(body, "MARGIN=10x10, GAP=10");
    IupSetAttributes(IupGetChild(body, 0), "GAP=12");
    IupSetAttributes(IupGetChild(body, 2), "GAP=8, EXPAND=HORIZONTAL");
    Ihandle* dialog = named(KOV_WindowColor, IupDialog(body));
    IupSetAttributes(dialog, "TITLE=\"Colors and Font\", RESIZE=NO, MAXBOX=NO, MINBOX=NO, "
                             "DEFAULTENTER=KOV_WindowColor_OK, DEFAULTESC=KOV_WindowColor_Cancel");
    load();
    return dialog;
}

int WindowColor_show(EditorPrefs* prefs, const char* parentName)
{
    Ihandle* dialog = WindowColor_create(prefs);
    if (dialog == nullptr) {
        return 0;
    }
    if (parentName != nullptr) {
        IupSetStrAttribute(dialog, "PARENTDIALOG", parentName);
    }
    IupPopup(dialog, IUP_CENTERPARENT, IUP_CENTERPARENT);
    const int result = changed;
    IupDestroy(dialog);
    editing = nullptr;
    return result;
}
