// The calculator's About dialog.
#include "WindowAbout.h"

#include "guiCommon.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

int closeAbout(Ihandle*)
{
    Iup_destroyNamed(KOV_WindowAbout);
    IupSetInt(nullptr, KOV_WindowPopupShown, 0);
    // Typing goes on where it was: the window system does not hand the
    // focus back by itself when the dialog is gone.
    if (Ihandle* console = IupGetHandle(KOV_Console)) {
        IupSetFocus(console);
    }
    return IUP_IGNORE;
}

}  // namespace

void WindowAbout_show()
{
    if (Ihandle* open = IupGetHandle(KOV_WindowAbout)) {
        IupShow(open);
        return;
    }
    Ihandle* name = IupLabel("KovraCalc");
    IupSetAttributes(name, "FONTSTYLE=Bold, ALIGNMENT=ACENTER, EXPAND=HORIZONTAL");
    Ihandle* version =
        IupLabel("Version " KOVRA_GUI_VERSION " Build " KOVRA_GUI_BUILD KOVRA_RELEASE "\n"
                 "The scientific calculator of the Kovra suite");
    IupSetAttributes(version, "ALIGNMENT=ACENTER, EXPAND=HORIZONTAL");
    Ihandle* link = IupLabel("Documentation: the Lua guide kovra_lua.pdf (Help > Contents)");
    IupSetAttributes(link, "ALIGNMENT=ACENTER, EXPAND=HORIZONTAL");
    Ihandle* termsTitle = IupLabel("Terms of use");
    IupSetAttribute(termsTitle, "FONTSTYLE", "Bold");
    Ihandle* terms = IupLabel("This program is provided as it is, without warranty of any kind.\n"
                              "Check the results of your calculations before relying on them.");
    Ihandle* ok = IupButton("OK", nullptr);
    IupSetAttribute(ok, "SIZE", "48x");
    IupSetHandle(KOV_WindowAbout_OK, ok);
    IupSetCallback(ok, "ACTION", closeAbout);
    Ihandle* buttons = IupHbox(IupFill(), ok, nullptr);
    Ihandle* box = IupVbox(name, version, link, termsTitle, terms, buttons, nullptr);
    IupSetAttributes(box, "MARGIN=12x12, GAP=8");
    Ihandle* dialog = IupDialog(box);
    IupSetAttributes(dialog,
                     "TITLE=\"About KovraCalc\", RESIZE=NO, MAXBOX=NO, MINBOX=NO, MINSIZE=120x80");
    if (Ihandle* main = IupGetHandle(KOV_WindowMain)) {
        IupSetStrAttribute(dialog, "ICON", IupGetAttribute(main, "ICON"));
    }
    IupSetAttribute(dialog, "PARENTDIALOG", KOV_WindowMain);
    IupSetAttribute(dialog, "DEFAULTENTER", KOV_WindowAbout_OK);
    IupSetAttribute(dialog, "DEFAULTESC", KOV_WindowAbout_OK);
    IupSetCallback(dialog, "CLOSE_CB", closeAbout);
    IupSetHandle(KOV_WindowAbout, dialog);
    IupSetInt(nullptr, KOV_WindowPopupShown, 1);
    IupShowXY(dialog, IUP_CENTERPARENT, IUP_CENTERPARENT);
}
