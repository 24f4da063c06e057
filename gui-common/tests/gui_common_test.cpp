// Shared GUI helpers on real elements, headless.
#include "GuiCommon.h"
#include "iupTestApp.h"

namespace {

TEST(GuiCommon, DestroyNamedForgetsTheName)
{
    Ihandle* label = IupLabel("x");
    IupSetHandle("KOV_TestLabel", label);
    Iup_destroyNamed("KOV_TestLabel");
    EXPECT_EQ(IupGetHandle("KOV_TestLabel"), nullptr);
    Iup_destroyNamed("KOV_TestLabel");  // gone already: nothing happens
    Iup_destroyNamed(nullptr);
}

TEST(GuiCommon, SetActiveWritesOnlyTheNamedControl)
{
    Ihandle* button = IupButton("Run", nullptr);
    IupSetHandle("KOV_TestButton", button);
    Iup_setActive("KOV_TestButton", 0);
    EXPECT_STREQ(IupGetAttribute(button, "ACTIVE"), "NO");
    Iup_setActive("KOV_TestButton", 1);
    EXPECT_STREQ(IupGetAttribute(button, "ACTIVE"), "YES");
    Iup_setActive("KOV_NoSuchControl", 1);
    Iup_destroyNamed("KOV_TestButton");
}

TEST(GuiCommon, TextViewHelpers)
{
    Ihandle* view = IupScintilla();
    Ihandle* dialog = IupDialog(view);
    IupMap(dialog);
    Editor_send(view, SCI_SETTEXT, 0, reinterpret_cast<sptr_t>("abc"));
    EXPECT_EQ(Editor_getCharAt(view, 1), 'b');
    EXPECT_EQ(Editor_getCharAt(view, 0x10000000), 0);
    EXPECT_EQ(Editor_getCharAt(nullptr, 0), 0);
    EXPECT_EQ(Editor_send(nullptr, SCI_GETLENGTH, 0, 0), 0);
    Editor_zoomIn(view);
    Editor_zoomIn(view);
    EXPECT_EQ(Editor_send(view, SCI_GETZOOM, 0, 0), 2);
    Editor_zoomOut(view);
    EXPECT_EQ(Editor_send(view, SCI_GETZOOM, 0, 0), 1);
    Editor_zoomReset(view);
    EXPECT_EQ(Editor_send(view, SCI_GETZOOM, 0, 0), 0);
    int x = 0, y = 0;
    EXPECT_EQ(Iup_getScreenPosition(nullptr, &x, &y), 0);
    IupShow(dialog);
    EXPECT_EQ(Iup_getScreenPosition(view, &x, &y), 1);
    IupDestroy(dialog);
}

}  // namespace
