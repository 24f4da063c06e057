// The window's look as the program sets it: the colours-and-font dialog
// answered through the seam restyles the console and the keypad at once
// (and Cancel changes nothing), the colours published for the GUI library,
// the action-bar button size, and the console's one-time preparation.
#include <cstdio>

#include "CalcWindowFixture.h"
#include "guiCommon.h"
#include "kovraHandles.h"
#include "iupScintillaMessages.h"

namespace {

class AppearanceTest : public CalcWindowFixture {
protected:
    // Options > Colors and Font... with the dialog's buttons clicked in turn.
    void colorsDialog(std::initializer_list<const char*> clicks)
    {
        IupScriptBegin();
        for (const char* click : clicks) {
            IupScriptAnswer("Colors and Font", click);
        }
        IupTestClick(IupGetHandle(KOV_OptionsColors));
        EXPECT_EQ(IupScriptEnd(), 0);
    }
};

TEST_F(AppearanceTest, TheColoursDialogRestylesTheConsoleAndKeypadOnOkOnly)
{
    EditorPrefs* prefs = App_getEditorPrefs();
    ASSERT_NE(prefs, nullptr);
    ASSERT_EQ(prefs->styles[0].fontStyle & 1, 0);
    ASSERT_EQ(Editor_send(console, SCI_STYLEGETBOLD, 0, 0), 0);

    // Bold ticked, then Cancel: neither the record nor the console changes.
    colorsDialog({KOV_WindowColor_Bold, KOV_WindowColor_Cancel});
    EXPECT_EQ(prefs->styles[0].fontStyle & 1, 0);
    EXPECT_EQ(Editor_send(console, SCI_STYLEGETBOLD, 0, 0), 0);
    EXPECT_STREQ(IupGetAttribute(IupGetHandle("Numpad_Btn_7"), "FONTSTYLE"), "");

    // A text colour set in the record reaches the console only through the
    // dialog's OK, which also takes the ticked Bold.
    prefs->styles[0].fore = 0x336699;
    EXPECT_NE(Editor_send(console, SCI_STYLEGETFORE, 0, 0), 0x336699);
    colorsDialog({KOV_WindowColor_Bold, KOV_WindowColor_OK});
    EXPECT_EQ(prefs->styles[0].fontStyle & 1, 1);
    EXPECT_EQ(Editor_send(console, SCI_STYLEGETBOLD, 0, 0), 1);
    EXPECT_EQ(Editor_send(console, SCI_STYLEGETFORE, 0, 0), 0x336699);
    EXPECT_STREQ(IupGetAttribute(IupGetHandle("Numpad_Btn_7"), "FONTSTYLE"), "Bold");
    EXPECT_STREQ(IupGetAttribute(IupGetHandle("Numpad_Btn_Run"), "FONTSTYLE"), "Bold");
    EXPECT_STREQ(IupGetGlobal(KOV_ColorDefault), "153 102 51");

    // What the dialog set is what the next start shows.
    WindowMain_close();
    open();
    EXPECT_EQ(Editor_send(console, SCI_STYLEGETFORE, 0, 0), 0x336699);
    EXPECT_EQ(Editor_send(console, SCI_STYLEGETBOLD, 0, 0), 1);
}

TEST(CalcColours, PublishedForTheGuiLibraryAsRedGreenBlue)
{
    const struct {
        long textBack;
        long lineNumberBack;
        const char* separator;  // lighter on a dark background, darker on a light one
    } cases[] = {
        {0xFFFFFF, 0xF0F0F0, "192 192 192"},
        {0x202020, 0x303030, "96 96 96"},
        {0x0000C0, 0x102030, "96 80 64"},  // red byte 0xC0 (192) is below 193: lighter
        {0x0000C1, 0x102030, "0 0 0"},     // 0xC1: darker, clamped at 0
    };
    for (const auto& c : cases) {
        EditorPrefs prefs{};
        EditorPrefs_init(&prefs, 0);
        prefs.styles[0].fore = 0x0A141E;  // r 30, g 20, b 10
        prefs.styles[0].back = c.textBack;
        prefs.styles[20].back = c.lineNumberBack;
        prefs.styles[22].back = 0x403020;
        ASSERT_EQ(Settings_publishColors(&prefs), 1);
        EXPECT_STREQ(IupGetGlobal(KOV_ColorDefault), "30 20 10");
        EXPECT_STREQ(IupGetGlobal(KOV_ColorSelection), "32 48 64");
        EXPECT_STREQ(IupGetGlobal(KOV_ColorSelectionMotion), "42 58 74");
        char back[32];
        std::snprintf(back, sizeof back, "%ld %ld %ld", c.textBack & 0xFF, (c.textBack >> 8) & 0xFF,
                      (c.textBack >> 16) & 0xFF);
        EXPECT_STREQ(IupGetGlobal(KOV_ColorBack), back);
        EXPECT_STREQ(IupGetGlobal(KOV_ColorSeparator), c.separator) << std::hex << c.textBack;
    }
    EXPECT_EQ(Settings_publishColors(nullptr), 0);
}

TEST_F(AppearanceTest, ActionbarButtonSizeIsPublished)
{
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(IupGetAttribute(IupGetHandle(KOV_Actionbar_Btn_Run), "RASTERSIZE"),
                          "%dx%d", &width, &height),
              2);
    const int expectedW = width >= 1 && width <= 64 && height >= 1 && height <= 64 ? width : 22;
    const int expectedH = width >= 1 && width <= 64 && height >= 1 && height <= 64 ? height : 22;
    EXPECT_EQ(IupGetInt(nullptr, KOV_MainButtonW), expectedW);
    EXPECT_EQ(IupGetInt(nullptr, KOV_MainButtonH), expectedH);
}

TEST_F(AppearanceTest, PreparationTakesTheLayoutCacheAndCharacterWidth)
{
    int charWidth = 0, charHeight = 0;
    ASSERT_EQ(std::sscanf(IupGetAttribute(dialog, "CHARSIZE"), "%dx%d", &charWidth, &charHeight),
              2);
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowMain_CharSize),
              charWidth >= 3 && charWidth <= 48 ? charWidth : 6);
    EditorPrefs* prefs = App_getEditorPrefs();
    for (int flag : {1, 0, 1}) {
        prefs->layoutCache = flag;
        Console_prepare();
        EXPECT_EQ(Editor_send(console, SCI_GETLAYOUTCACHE, 0, 0),
                  flag == 1 ? SC_CACHE_DOCUMENT : SC_CACHE_PAGE);
    }
    // A cleared console scrolls over its width less 64, never below 64.
    Console_clear(console);
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(IupGetAttribute(console, "RASTERSIZE"), "%dx%d", &width, &height), 2);
    EXPECT_EQ(Editor_send(console, SCI_GETSCROLLWIDTH, 0, 0), width - 64 < 64 ? 64 : width - 64);
}

}  // namespace
