// The layer parameters, mobility, Urbach, material and numeric dialogs in
// the real main window: each opens from its menu item, key, buttons and the
// canvas, once, on the main window's layer; what they change is saved.
#include <fstream>
#include <sstream>

#include "DeviceCanvas.h"
#include "Dialogs.h"
#include "MainWindowFixture.h"
#include "kovraHandles.h"

namespace {

using LayerOpenerTest = MainWindowTest;

TEST_F(LayerOpenerTest, MenusKeysAndButtonsOpenEachDialogOnce)
{
    start({example("silicon-pn.kovra")});
    struct Way {
        const char* dialog;
        std::vector<const char*> controls;  // menu items and buttons
        int key;                            // 0: none
    };
    const Way ways[] = {
        {KOV_WindowParam, {KOV_DeviceLayerParam, KOV_WindowMain_LayerParam}, K_F5},
        {KOV_WindowMobility,
         {KOV_DeviceLayerMobility, KOV_WindowMain_LayerMobility, KOV_Actionbar_Btn_Mobility},
         K_F7},
        {KOV_WindowUrbach, {KOV_DeviceLayerUrbach}, 0},
        {KOV_WindowMaterial, {KOV_DeviceLayerMaterial}, 0},
        {KOV_WindowNumeric, {KOV_OptionsNumeric}, 0},
    };
    for (const Way& w : ways) {
        SCOPED_TRACE(w.dialog);
        for (const char* control : w.controls) {
            SCOPED_TRACE(control);
            fire(control);
            Ihandle* first = IupGetHandle(w.dialog);
            ASSERT_NE(first, nullptr);
            fire(control);
            EXPECT_EQ(IupGetHandle(w.dialog), first) << "one dialog however often it is asked for";
            EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 1);
            Dialogs_closeAll();
            EXPECT_FALSE(dialogOpen(w.dialog));
        }
        if (w.key != 0) {
            key(w.key);
            EXPECT_TRUE(dialogOpen(w.dialog)) << "the key opens it too";
            Dialogs_closeAll();
        }
    }
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 0);
}

TEST_F(LayerOpenerTest, DoubleClickOnALayerOpensItsParameters)
{
    start({example("silicon-pn.kovra")});
    Ihandle* canvas = h(KOV_DeviceCanvas);
    DeviceCanvas_draw(canvas, 0, 0);
    const int* r = device()->layers[1]->canvasRect;
    DeviceCanvas_onButton(canvas, IUP_BUTTON1, 1, (r[0] + r[2]) / 2, (r[1] + r[3]) / 2,
                          const_cast<char*>("1    D    "));
    IupFlush();
    ASSERT_TRUE(dialogOpen(KOV_WindowParam));
    EXPECT_EQ(IupGetInt(h(KOV_WindowParam_LayerList), KOV_WindowParam_LayerSelected), 2);
    char text[PARAM_VALUE_SIZE] = "";
    Layer_getValueText(device()->layers[1], "Thickness", text);
    EXPECT_EQ(attr(KOV_WindowParam_Thickness, "VALUE"), text);
    Dialogs_closeAll();
}

// The material goes to the layer the dialog opened on, through the
// application record's scratch layer, and the layer stack stays locked
// meanwhile.
TEST_F(LayerOpenerTest, MaterialChangesTheLayerItOpenedOn)
{
    start({example("silicon-pn.kovra")});
    WindowMain_selectLayer(2);
    fire(KOV_DeviceLayerMaterial);
    ASSERT_TRUE(dialogOpen(KOV_WindowMaterial));
    ASSERT_NE(App_getScratchLayer(), nullptr);
    WindowMain_selectLayer(1);
    const int layers = device()->layerCount;
    fire(KOV_DeviceLayerInsert);
    EXPECT_EQ(device()->layerCount, layers) << "no layer commands under an open dialog";
    Ihandle* list = h(KOV_WindowMaterial_MaterialList);
    int item = 0;
    for (int i = 1; i <= IupGetInt(list, "COUNT") && item == 0; ++i) {
        if (std::string(IupGetAttribute(list, std::to_string(i).c_str())) == "GaAs") {
            item = i;
        }
    }
    ASSERT_GT(item, 0);
    IupSetInt(list, "VALUE", item);
    auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
        reinterpret_cast<void (*)()>(IupGetCallback(list, "ACTION")));
    action(list, const_cast<char*>("GaAs"), item, 1);
    fire(KOV_WindowMaterial_OK);
    EXPECT_FALSE(dialogOpen(KOV_WindowMaterial));
    char text[PARAM_VALUE_SIZE] = "";
    Layer_getValueText(device()->layers[1], "Material", text);
    EXPECT_STREQ(text, "GaAs");
    Layer_getValueText(device()->layers[0], "Material", text);
    EXPECT_STREQ(text, "Si");
    EXPECT_TRUE(Document_isModified(doc()));
}

// A label and a mobility set in the dialogs reach the saved file and come
// back when it is opened again.
TEST_F(LayerOpenerTest, DialogChangesAreSavedAndReadBack)
{
    const std::string file = example("silicon-pn.kovra", "saved-pn.kovra");
    start({file});
    WindowMain_selectLayer(1);
    key(K_F5);
    IupSetAttribute(h(KOV_WindowParam_Label), "VALUE", "emitter");
    fire(KOV_WindowParam_OK);
    key(K_F7);
    IupSetAttribute(h(KOV_WindowMobility_N), "VALUE", "321");
    fire(KOV_WindowMobility_OK);
    EXPECT_NE(std::string(IupGetAttribute(h(KOV_WindowMain_LayerList), "1")).find("emitter"),
              std::string::npos)
        << IupGetAttribute(h(KOV_WindowMain_LayerList), "1");
    key(K_cS);
    EXPECT_FALSE(Document_isModified(doc()));
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    EXPECT_NE(text.str().find("Label=\"emitter\""), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("Mobility.N=321"), std::string::npos) << text.str();
    ASSERT_EQ(Document_open(file.c_str(), 0, 1), 1);
    char value[PARAM_VALUE_SIZE] = "";
    Layer_getValueText(device()->layers[0], "Label", value);
    EXPECT_STREQ(value, "emitter");
    EXPECT_EQ(layerReal(1, "Mobility.N"), 321);
}

}  // namespace
