// The contacts, traps, index and light dialogs in the real main window:
// each opens from its menu item, key, action-bar button or the canvas, once,
// on the main window's layer, and holds the layer commands while open.
#include "DeviceCanvas.h"
#include "Dialogs.h"
#include "MainWindowFixture.h"
#include "kovraHandles.h"

namespace {

class OpenerTest : public MainWindowTest {
protected:
    void closeAll() { Dialogs_closeAll(); }
};

TEST_F(OpenerTest, MenusKeysAndButtonsOpenEachDialogOnce)
{
    start({example("silicon-pn.kovra")});
    struct Way {
        const char* dialog;
        const char* item;    // menu item
        const char* button;  // action-bar button
        int key;             // 0: none
    };
    const Way ways[] = {
        {KOV_WindowContact, KOV_DeviceContact, KOV_Actionbar_Btn_Contact, 0},
        {KOV_WindowTrap, KOV_DeviceLayerTrap, KOV_Actionbar_Btn_Trap, 0},
        {KOV_WindowIndex, KOV_DeviceLayerIndex, KOV_Actionbar_Btn_Index, K_F8},
        {KOV_WindowLight, KOV_ExcitationLight, KOV_Actionbar_Btn_Light, K_F10},
    };
    for (const Way& w : ways) {
        SCOPED_TRACE(w.dialog);
        fire(w.item);
        Ihandle* first = IupGetHandle(w.dialog);
        ASSERT_NE(first, nullptr);
        fire(w.button);
        if (w.key != 0) {
            key(w.key);
        }
        EXPECT_EQ(IupGetHandle(w.dialog), first) << "one dialog however it is asked for";
        closeAll();
        EXPECT_FALSE(dialogOpen(w.dialog));
        fire(w.button);
        EXPECT_TRUE(dialogOpen(w.dialog)) << "the button opens it too";
        closeAll();
        if (w.key != 0) {
            key(w.key);
            EXPECT_TRUE(dialogOpen(w.dialog)) << "and the key";
            closeAll();
        }
    }
}

TEST_F(OpenerTest, LayerDialogsShowTheMainWindowsLayerAndLockTheStack)
{
    start({example("silicon-pn.kovra")});
    IupSetInt(h(KOV_WindowMain_LayerList), "VALUE", 2);
    WindowMain_selectLayer(2);
    fire(KOV_DeviceLayerTrap);
    EXPECT_EQ(IupGetInt(h(KOV_WindowTrap_LayerList), KOV_WindowTrap_LayerSelected), 2);
    fire(KOV_DeviceLayerIndex);
    EXPECT_EQ(IupGetInt(h(KOV_WindowIndex_LayerList), KOV_WindowIndex_LayerSelected), 2);
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 2);
    const int layers = device()->layerCount;
    fire(KOV_DeviceLayerTrap);  // focuses only
    closeAll();
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 0);
    EXPECT_EQ(device()->layerCount, layers);
}

TEST_F(OpenerTest, DoubleClickOnTheCathodeOpensTheContactsDialogOnIt)
{
    start({example("silicon-pn.kovra")});
    Ihandle* canvas = h(KOV_DeviceCanvas);
    DeviceCanvas_draw(canvas, 0, 0);
    const int* r = device()->cathode->canvasRect;
    DeviceCanvas_onButton(canvas, IUP_BUTTON1, 1, (r[0] + r[2]) / 2, (r[1] + r[3]) / 2,
                          const_cast<char*>("1    D    "));
    IupFlush();
    ASSERT_TRUE(dialogOpen(KOV_WindowContact));
    EXPECT_EQ(IupGetInt(h(KOV_WindowContact_ContactList), "VALUE"), 2);
    char text[PARAM_VALUE_SIZE] = "";
    Contact_getValueText(device()->cathode, "Cathode.Rn", text);
    EXPECT_EQ(attr(KOV_WindowContact_Rn, "VALUE"), text);
    closeAll();
}

}  // namespace

namespace {

// Opening a file replaces the device the dialogs were bound to: they show
// the new device, and nothing typed for the old one reaches it.
TEST_F(OpenerTest, OpeningAFileRebindsOpenDialogsAndANewDocumentClosesThem)
{
    start({example("silicon-pn.kovra")});
    WindowMain_selectLayer(2);
    fire(KOV_DeviceLayerTrap);
    fire(KOV_ExcitationLight);
    IupSetAttribute(h(KOV_WindowTrap_N), "VALUE", "7e15");
    ASSERT_EQ(Document_open(example("traps.kovra").c_str(), 0, 1), 1);
    ASSERT_TRUE(dialogOpen(KOV_WindowTrap));
    EXPECT_EQ(attr(KOV_WindowTrap_N, "VALUE"), "1e+16") << "the new file's trap";
    EXPECT_EQ(IupGetInt(h(KOV_WindowTrap_CountList), "VALUE"), 2);
    EXPECT_NE(IupGetInt(h(KOV_WindowLight_AM15), "VALUE"), 0) << "the new file's light";
    fire(KOV_WindowTrap_Apply);
    char text[PARAM_VALUE_SIZE] = "";
    Layer_getValueText(device()->layers[1], "Trap1.N", text);
    EXPECT_STREQ(text, "1e+16");
    EXPECT_FALSE(Document_isModified(doc()));

    fire(KOV_FileNew);
    EXPECT_FALSE(dialogOpen(KOV_WindowTrap));
    EXPECT_FALSE(dialogOpen(KOV_WindowLight));
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 0);
}

}  // namespace
