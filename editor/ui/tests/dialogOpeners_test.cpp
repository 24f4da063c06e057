// The contacts, traps, index and light dialogs in the real main window:
// each opens from its menu item, key, action-bar button or the canvas, once,
// on the main window's layer, and holds the layer commands while open.
#include "DeviceCanvas.h"
#include "Dialogs.h"
#include "MainWindowFixture.h"

namespace {

class OpenerTest : public MainWindowTest {
protected:
    void fire(const char* name)
    {
        auto action = reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(h(name), "ACTION"));
        ASSERT_NE(action, nullptr) << name;
        action(h(name));
        IupFlush();
    }
    bool open(const char* dialog) { return IupGetHandle(dialog) != nullptr; }
    void closeAll() { Dialogs_closeAll(); }
};

TEST_F(OpenerTest, MenusKeysAndButtonsOpenEachDialogOnce)
{
    start({example("silicon-pn.kovra")});
    struct Way {
        const char* dialog;
        const char* item;      // menu item
        const char* button;    // action-bar button
        int key;               // 0: none
    };
    const Way ways[] = {
        {"KOV_WindowContact", "KOV_DeviceContact", "KOV_Actionbar_Btn_Contact", 0},
        {"KOV_WindowTrap", "KOV_DeviceLayerTrap", "KOV_Actionbar_Btn_Trap", 0},
        {"KOV_WindowIndex", "KOV_DeviceLayerIndex", "KOV_Actionbar_Btn_Index", K_F8},
        {"KOV_WindowLight", "KOV_ExcitationLight", "KOV_Actionbar_Btn_Light", K_F10},
    };
    for (const Way& w : ways) {
        SCOPED_TRACE(w.dialog);
        fire(w.item);
        Ihandle* first = IupGetHandle(w.dialog);
        ASSERT_NE(first, nullptr);
        fire(w.button);
        if (w.key != 0)
            key(w.key);
        EXPECT_EQ(IupGetHandle(w.dialog), first) << "one dialog however it is asked for";
        closeAll();
        EXPECT_FALSE(open(w.dialog));
        fire(w.button);
        EXPECT_TRUE(open(w.dialog)) << "the button opens it too";
        closeAll();
        if (w.key != 0) {
            key(w.key);
            EXPECT_TRUE(open(w.dialog)) << "and the key";
            closeAll();
        }
    }
}

TEST_F(OpenerTest, LayerDialogsShowTheMainWindowsLayerAndLockTheStack)
{
    start({example("silicon-pn.kovra")});
    IupSetInt(h("KOV_WindowMain_LayerList"), "VALUE", 2);
    WindowMain_selectLayer(2);
    fire("KOV_DeviceLayerTrap");
    EXPECT_EQ(IupGetInt(h("KOV_WindowTrap_LayerList"), "KOV_WindowTrap_LayerSelected"), 2);
    fire("KOV_DeviceLayerIndex");
    EXPECT_EQ(IupGetInt(h("KOV_WindowIndex_LayerList"), "KOV_WindowIndex_LayerSelected"), 2);
    EXPECT_EQ(IupGetInt(nullptr, "KOV_WindowInput_Shown"), 2);
    const int layers = device()->layerCount;
    fire("KOV_DeviceLayerTrap");  // focuses only
    closeAll();
    EXPECT_EQ(IupGetInt(nullptr, "KOV_WindowInput_Shown"), 0);
    EXPECT_EQ(device()->layerCount, layers);
}

TEST_F(OpenerTest, DoubleClickOnTheCathodeOpensTheContactsDialogOnIt)
{
    start({example("silicon-pn.kovra")});
    Ihandle* canvas = h("KOV_DeviceCanvas");
    DeviceCanvas_draw(canvas, 0, 0);
    const int* r = device()->cathode->canvasRect;
    DeviceCanvas_onButton(canvas, IUP_BUTTON1, 1, (r[0] + r[2]) / 2, (r[1] + r[3]) / 2,
                          const_cast<char*>("1    D    "));
    IupFlush();
    ASSERT_TRUE(open("KOV_WindowContact"));
    EXPECT_EQ(IupGetInt(h("KOV_WindowContact_ContactList"), "VALUE"), 2);
    char text[PARAM_VALUE_SIZE] = "";
    Contact_getValueText(device()->cathode, "Cathode.Rn", text);
    EXPECT_EQ(attr("KOV_WindowContact_Rn", "VALUE"), text);
    closeAll();
}

}  // namespace
