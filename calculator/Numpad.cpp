// The keypad.
#include "Numpad.h"

#include <cstring>

#include "Console.h"
#include "CalcState.h"
#include "Functions.h"
#include "guiCommon.h"
#include "kovraHandles.h"

const NumpadKey NumpadKeys[19] = {
    {"7", "Numpad_Btn_7"},    {"8", "Numpad_Btn_8"},    {"9", "Numpad_Btn_9"},
    {"/", "Numpad_Btn_Div"},  {"4", "Numpad_Btn_4"},    {"5", "Numpad_Btn_5"},
    {"6", "Numpad_Btn_6"},    {"*", "Numpad_Btn_Mult"}, {"1", "Numpad_Btn_1"},
    {"2", "Numpad_Btn_2"},    {"3", "Numpad_Btn_3"},    {"-", "Numpad_Btn_Minus"},
    {"0", "Numpad_Btn_0"},    {"E", "Numpad_Btn_E"},    {".", "Numpad_Btn_Dot"},
    {"+", "Numpad_Btn_Plus"}, {"(", "Numpad_Btn_PR"},   {")", "Numpad_Btn_PL"},
    {"C", "Numpad_Btn_C"},
};

namespace {

Ihandle* keyButton(const char* value, const char* handle, const char* size, Icallback action)
{
    Ihandle* b = IupButton(value, nullptr);
    IupSetHandle(handle, b);
    IupSetStrAttribute(b, KOV_Value, value);
    IupSetAttribute(b, "FLAT", "YES");
    // No PADDING: the windowing layer keeps it inside the given SIZE, where
    // it would clip the labels; the SIZE alone leaves room around them.
    IupSetAttributes(b, "ALIGNMENT=ACENTER:ACENTER, BORDER=NO");
    // The keys leave the focus in the console, where the caret is.
    IupSetAttribute(b, "CANFOCUS", "NO");
    IupSetAttribute(b, "SIZE", size);
    IupSetCallback(b, "ACTION", action);
    return b;
}

}  // namespace

Ihandle* Numpad_create()
{
    if (Ihandle* existing = IupGetHandle(KOV_Numpad)) {
        return existing;
    }
    Ihandle* box = IupGetHandle(KOV_WindowMainBox);
    const CalcSettings* settings = App_getSettings();
    if (box == nullptr || settings == nullptr || settings->viewNumpad == 0) {
        return nullptr;
    }
    Ihandle* grid = IupGridBox(nullptr);
    for (const NumpadKey& k : NumpadKeys) {
        IupAppend(grid, keyButton(k.value, k.handle, "20x16", Numpad_onButton));
    }
    Ihandle* functions = keyButton("F", KOV_FuncList, "20x16", Functions_popup);
    IupSetAttribute(functions, "TIP", "Functions");
    IupAppend(grid, functions);
    IupSetAttributes(
        grid,
        "ORIENTATION=HORIZONTAL, NUMDIV=4, EXPAND=VERTICAL, ALIGNMENT=ACENTER:ACENTER, MARGIN=0x0, "
        "GAPLIN=5, GAPCOL=5, HOMOGENEOUSLIN=YES, HOMOGENEOUSCOL=YES");
    Ihandle* run = keyButton("Calculate", "Numpad_Btn_Run", "90x16", Numpad_onButton);
    IupSetStrAttribute(run, KOV_Value, "=");
    IupSetAttribute(run, "MARGIN", "5x5");
    Ihandle* keys = IupVbox(grid, run, nullptr);
    // The keypad keeps its own width; the console takes the rest.
    IupSetAttributes(keys, "ALIGNMENT=ACENTER:ACENTER, EXPAND=VERTICAL, MARGIN=10x10, GAP=10");
    Ihandle* separator = IupLabel(nullptr);
    IupSetAttributes(separator, "SEPARATOR=VERTICAL, EXPAND=VERTICAL, PADDING=0x0");
    Ihandle* numpad = IupHbox(separator, keys, nullptr);
    IupSetAttributes(numpad, "ALIGNMENT=ACENTER:ACENTER, EXPAND=VERTICAL, MARGIN=0x0, GAP=0");
    IupSetHandle(KOV_Numpad, numpad);
    IupAppend(box, numpad);
    IupMap(numpad);
    IupRefresh(box);
    Numpad_update();
    return numpad;
}

void Numpad_destroy()
{
    Ihandle* numpad = IupGetHandle(KOV_Numpad);
    if (numpad == nullptr) {
        return;
    }
    IupDetach(numpad);
    Iup_destroyNamed(KOV_Numpad);
    if (Ihandle* box = IupGetHandle(KOV_WindowMainBox)) {
        IupRefresh(box);
    }
}

void Numpad_update()
{
    const EditorPrefs* prefs = App_getEditorPrefs();
    if (IupGetHandle(KOV_Numpad) == nullptr || prefs == nullptr) {
        return;
    }
    const char* style = prefs->styles[0].fontStyle == 1 ? "Bold" : "";
    auto apply = [style](const char* handle) {
        if (Ihandle* b = IupGetHandle(handle)) {
            IupSetAttribute(b, "FONTSTYLE", style);
            IupRefresh(b);
        }
    };
    for (const NumpadKey& k : NumpadKeys) {
        apply(k.handle);
    }
    apply(KOV_FuncList);
    apply("Numpad_Btn_Run");
}

int Numpad_onButton(Ihandle* button)
{
    const char* value = IupGetAttribute(button, KOV_Value);
    if (value == nullptr) {
        return IUP_DEFAULT;
    }
    Ihandle* console = Console_get();
    if (std::strcmp(value, "=") == 0) {
        Console_run(console);
    } else if (std::strcmp(value, "C") == 0) {
        Console_clearLine(console);
    } else {
        Console_insertText(console, value);
    }
    return IUP_DEFAULT;
}
