// The calculator's action bar.
#include "Actionbar.h"

#include <cstdio>

#include "Console.h"
#include "Functions.h"
#include "CalcState.h"
#include "WindowMain.h"
#include "guiCommon.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

int popupFunctionsAtMouse(Ihandle*)
{
    Ihandle* menu = Functions_createMainMenu();
    IupSetAttribute(menu, "PARENTDIALOG", KOV_WindowMain);
    IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    IupDestroy(menu);
    return IUP_DEFAULT;
}

struct ActionButton {
    int image;  // -1: a separator
    const char* handle;
    Icallback action;
};

const ActionButton ACTION_BAR[] = {
    {10, KOV_Actionbar_Btn_Cut, WindowMain_onEditCut},
    {11, KOV_Actionbar_Btn_Copy, WindowMain_onEditCopy},
    {12, KOV_Actionbar_Btn_Paste, WindowMain_onEditPaste},
    {-1, nullptr, nullptr},
    {160, KOV_Actionbar_Btn_Reset, WindowMain_onEditReset},
    {-1, nullptr, nullptr},
    {50, KOV_Actionbar_Btn_Tools, popupFunctionsAtMouse},
    {-1, nullptr, nullptr},
    {51, KOV_Actionbar_Btn_Run, WindowMain_onRun},
};

// The size of the bar's buttons for the GUI library: 22 by 22 unless the
// Calculate button gives a plausible one.
void publishButtonSize()
{
    int width = 22, height = 22;
    int w = 0, h = 0;
    const char* size = IupGetAttribute(IupGetHandle(KOV_Actionbar_Btn_Run), "RASTERSIZE");
    if (size != nullptr && std::sscanf(size, "%dx%d", &w, &h) == 2 && w >= 1 && w <= 64 && h >= 1 &&
        h <= 64) {
        width = w;
        height = h;
    }
    IupSetInt(nullptr, KOV_MainButtonW, width);
    IupSetInt(nullptr, KOV_MainButtonH, height);
}

}  // namespace

Ihandle* Actionbar_create()
{
    if (Ihandle* existing = IupGetHandle(KOV_Actionbar)) {
        return existing;
    }
    Ihandle* vbox = IupGetHandle(KOV_WindowMainVBox);
    Ihandle* dialog = IupGetHandle(KOV_WindowMain);
    if (vbox == nullptr || dialog == nullptr) {
        return nullptr;
    }
    Ihandle* bar = IupHbox(nullptr);
    IupSetHandle(KOV_Actionbar_Toolbar, bar);
    for (const ActionButton& b : ACTION_BAR) {
        if (b.image < 0) {
            Ihandle* separator = IupLabel(nullptr);
            IupSetAttributes(separator, "SEPARATOR=VERTICAL, PADDING=0x0");
            IupAppend(bar, separator);
            continue;
        }
        Ihandle* button = IupButton(nullptr, nullptr);
        IupSetAttributes(button, "FLAT=YES, CANFOCUS=NO, PADDING=0x0");
        IupSetHandle(b.handle, button);
        char tip[256] = "";
        const char* image = Images_get(b.image, tip, sizeof tip);
        if (image != nullptr) {
            IupSetStrAttribute(button, "IMAGE", image);
        }
        IupSetStrAttribute(button, "TIP",
                           b.image == 50   ? "Functions"
                           : b.image == 51 ? "Calculate"
                                           : tip);
        IupSetCallback(button, "ACTION", b.action);
        IupAppend(bar, button);
    }
    Ihandle* info = IupLabel("");
    IupSetAttributes(info,
                     "EXPAND=HORIZONTAL, ALIGNMENT=ARIGHT, PADDING=2x0, SHRINK=YES, ELLIPSIS=YES");
    IupSetHandle(KOV_Actionbar_Info, info);
    IupAppend(bar, info);
    IupSetAttributes(bar, "EXPAND=HORIZONTAL, MARGIN=2x2, GAP=5, NORMALIZESIZE=VERTICAL");
    Ihandle* separator = IupLabel(nullptr);
    IupSetAttributes(separator, "SEPARATOR=HORIZONTAL, EXPAND=HORIZONTAL");
    Ihandle* box = IupVbox(bar, separator, nullptr);
    IupSetAttributes(box, "EXPAND=HORIZONTAL, MARGIN=0x0, GAP=0");
    IupSetHandle(KOV_Actionbar, box);
    IupInsert(vbox, IupGetChild(vbox, 0), box);  // first, above the console
    IupMap(box);
    IupRefresh(vbox);
    publishButtonSize();
    Actionbar_update();
    return box;
}

void Actionbar_update()
{
    Ihandle* console = Console_get();
    const int selection = Console_hasSelection(console);
    const kov_Parser* parser = App_getParser();
    Iup_setActive(KOV_Actionbar_Btn_Cut, selection && Console_caretOnLastLine(console));
    Iup_setActive(KOV_Actionbar_Btn_Copy, selection);
    Iup_setActive(KOV_Actionbar_Btn_Paste, Console_canPaste(console));
    Iup_setActive(KOV_Actionbar_Btn_Run, parser != nullptr && !parser->busy);
}
