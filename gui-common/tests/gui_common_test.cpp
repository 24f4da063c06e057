// The shared helpers on real elements: destroy by name, screen position,
// and the text-view functions on a Scintilla control.
#include <gtest/gtest.h>

#include "guiCommon.h"
#include "../../platform/iup/tests/iupTestApp.h"
#include "iupScintillaMessages.h"

TEST(GuiCommon, DestroyNamedForgetsTheNameAndIgnoresUnknownNames)
{
    Ihandle* dialog = IupDialog(IupLabel("x"));
    IupSetHandle("GuiCommonTest_Dialog", dialog);
    Iup_destroyNamed("GuiCommonTest_Dialog");
    EXPECT_EQ(IupGetHandle("GuiCommonTest_Dialog"), nullptr);
    Iup_destroyNamed("GuiCommonTest_Dialog");
    Iup_destroyNamed(nullptr);
}

TEST(GuiCommon, SetActiveSwitchesANamedElementAndIgnoresUnknownNames)
{
    Ihandle* button = IupButton("x", nullptr);
    IupSetHandle("GuiCommonTest_Button", button);
    struct Case {
        int active;
        const char* expected;
    };
    // Only exactly 1 switches on: any other value switches off.
    for (const Case& c :
         {Case{0, "NO"}, Case{1, "YES"}, Case{2, "NO"}, Case{1, "YES"}, Case{-1, "NO"}}) {
        Iup_setActive("GuiCommonTest_Button", c.active);
        EXPECT_STREQ(IupGetAttribute(button, "ACTIVE"), c.expected) << "active " << c.active;
    }
    Iup_setActive("GuiCommonTest_Unknown", 1);
    Iup_setActive(nullptr, 1);
    IupSetHandle("GuiCommonTest_Button", nullptr);
    IupDestroy(button);
}

TEST(GuiCommon, ScreenPositionOfAShownDialog)
{
    int x = -1, y = -1;
    EXPECT_EQ(Iup_getScreenPosition(nullptr, &x, &y), 0);
    Ihandle* dialog = IupDialog(IupLabel("x"));
    IupShowXY(dialog, 40, 30);
    EXPECT_EQ(Iup_getScreenPosition(dialog, &x, &y), 1);
    EXPECT_GE(x, 0);
    EXPECT_GE(y, 0);
    IupDestroy(dialog);
}

TEST(GuiCommon, TextViewHelpers)
{
    IupScintillaOpen();
    Ihandle* view = IupScintilla();
    Ihandle* dialog = IupDialog(view);
    IupMap(dialog);
    const char* text = "hello";
    Editor_send(view, SCI_SETTEXT, 0, reinterpret_cast<sptr_t>(text));
    EXPECT_EQ(Editor_getCharAt(view, 1), 'e');
    EXPECT_EQ(Editor_getCharAt(view, 0x10000000), 0);
    EXPECT_EQ(Editor_getCharAt(nullptr, 0), 0);
    EXPECT_EQ(Editor_send(nullptr, SCI_GETLENGTH, 0, 0), 0);

    Ihandle* clipboard = IupClipboard();
    IupSetAttribute(clipboard, "TEXT", "kept");
    Editor_copy(view);  // nothing selected: the clipboard keeps its text
    EXPECT_STREQ(IupGetAttribute(clipboard, "TEXT"), "kept");
    Editor_send(view, SCI_SETSEL, 0, 4);
    Editor_copy(view);
    EXPECT_STREQ(IupGetAttribute(clipboard, "TEXT"), "hell");

    Editor_zoomIn(view);
    Editor_zoomIn(view);
    EXPECT_EQ(Editor_send(view, SCI_GETZOOM, 0, 0), 2);
    Editor_zoomOut(view);
    EXPECT_EQ(Editor_send(view, SCI_GETZOOM, 0, 0), 1);
    Editor_zoomReset(view);
    EXPECT_EQ(Editor_send(view, SCI_GETZOOM, 0, 0), 0);
    IupDestroy(dialog);
}

TEST(GuiCommon, ValidTextKeepsUtf8AndReplacesEveryOtherByte)
{
    const struct {
        std::string in;
        size_t limit;
        std::string out;
    } cases[] = {
        {"1+2", std::string::npos, "1+2"},
        {"caf\xC3\xA9", std::string::npos, "caf\xC3\xA9"},
        {"caf\xE9", std::string::npos, "caf?"},  // Latin-1
        {"\xC3", std::string::npos, "?"},        // a lone lead byte
        {"\x80\xBF", std::string::npos, "??"},   // lone continuation bytes
        {"\xE2\x82", std::string::npos, "??"},   // a character cut short
        {std::string("a\0b", 3), std::string::npos, "a"},
        {"ab\xC3\xA9", 3, "ab"},  // the limit never splits a character
        {"ab\xC3\xA9", 4, "ab\xC3\xA9"},
        {"abc", 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Editor_validText(c.in, c.limit), c.out) << c.in;
    }
}

TEST(GuiCommon, EveryWayOfPuttingTextInAViewMakesItValid)
{
    IupScintillaOpen();
    Ihandle* view = IupScintilla();
    Ihandle* dialog = IupDialog(view);
    IupMap(dialog);
    auto text = [view]() {
        std::string all;
        for (long p = 0, n = static_cast<long>(Editor_send(view, SCI_GETLENGTH, 0, 0)); p < n;
             ++p) {
            all.push_back(static_cast<char>(Editor_getCharAt(view, p)));
        }
        return all;
    };
    EXPECT_EQ(Editor_setText(view, "a\xE9"), 2);
    EXPECT_EQ(text(), "a?");
    EXPECT_EQ(Editor_appendText(view, "\xC3"), 1);
    EXPECT_EQ(text(), "a??");
    Editor_insertText(view, 0, "\xFF");
    EXPECT_EQ(text(), "?a??");
    Editor_replaceRange(view, 1, 2, "\xE9\xE9");
    EXPECT_EQ(text(), "???"
                      "??");
    Editor_send(view, SCI_SETSEL, 0, 5);
    Editor_replaceSelection(view, "ok \xC3\xA9");
    EXPECT_EQ(text(), "ok \xC3\xA9");
    EXPECT_EQ(Editor_setText(nullptr, "x"), 0);
    IupDestroy(dialog);
}
