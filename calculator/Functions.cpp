// The function list and its menus.
#include "Functions.h"

#include <cstdio>

#include "CalcState.h"
#include "Console.h"
#include "guiCommon.h"
#include "kovraHandles.h"

const char* const FUNCTION_ITEMS[12] = {"acos()", "asin()",  "atan()", "cos()",
                                        "sin()",  "tan()",   " ",      "exp()",
                                        "log()",  "log10()", "pow(,)", "sqrt()"};

Ihandle* Functions_createMainMenu()
{
    Ihandle* menu = IupMenu(nullptr);
    for (const char* f : FUNCTION_ITEMS) {
        if (f[0] == ' ') {
            IupAppend(menu, IupSeparator());
            continue;
        }
        Ihandle* item = IupItem(f, nullptr);
        IupSetStrAttribute(item, KOV_Value, f);
        IupSetCallback(item, "ACTION", Functions_onItem);
        IupAppend(menu, item);
    }
    return menu;
}

int Functions_onItem(Ihandle* item)
{
    const char* value = IupGetAttribute(item, KOV_Value);
    if (value != nullptr && value[0] != ' ') {
        Console_insertText(Console_get(), value);
    }
    return IUP_DEFAULT;
}

int Functions_popup(Ihandle*)
{
    Ihandle* console = Console_get();
    if (console == nullptr || App_getEditorPrefs() == nullptr) {
        return IUP_DEFAULT;
    }
    Ihandle* menu = Functions_createMainMenu();
    IupSetAttribute(menu, "PARENTDIALOG", KOV_WindowMain);
    int x = 0, y = 0, width = 0, height = 0;
    const char* size = IupGetAttribute(console, "RASTERSIZE");
    if (Iup_getScreenPosition(console, &x, &y) && size != nullptr &&
        std::sscanf(size, "%dx%d", &width, &height) == 2) {
        IupPopup(menu, x + width, y);
    } else {
        IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    }
    IupDestroy(menu);
    return IUP_DEFAULT;
}
