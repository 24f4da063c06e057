// A layer dialog in the real main window: F5 on the second of three layers,
// then the third chosen in the dialog's own list as a click would: the main
// window shows the third layer, the dialog's list names it, and Thickness
// typed and applied changes it and no other.
#include <fstream>
#include <string>
#include <sstream>

#include "DeviceCanvas.h"
#include "Dialogs.h"
#include "MainWindowFixture.h"
#include "kovraHandles.h"

namespace {

class LayerDialogWindowTest : public MainWindowTest {
protected:
    // The three-layer example with labels on its second and third layers.
    std::string labelledDevice()
    {
        const std::string path = example("traps.kovra", "labelled.kovra");
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        std::string body = text.str();
        body.replace(body.find("[Layer2]\n"), 9, "[Layer2]\n    Label=\"Base\"\n");
        body.replace(body.find("[Layer3]\n"), 9, "[Layer3]\n    Label=\"Si\"\n");
        std::ofstream(path) << body;
        return path;
    }
    std::string item(const char* list)
    {
        const char* text = IupGetAttribute(h(list), "VALUESTRING");
        return text != nullptr ? text : "";
    }
};

TEST_F(LayerDialogWindowTest, ChoosingALayerInTheDialogListMovesEverythingToIt)
{
    start({labelledDevice()});
    ASSERT_EQ(device()->layerCount, 3);
    WindowMain_selectLayer(2);
    key(K_F5);
    ASSERT_TRUE(dialogOpen(KOV_WindowParam));
    EXPECT_EQ(item(KOV_WindowParam_LayerList), "2 Base (I)");

    IupTestSelect(h(KOV_WindowParam_LayerList), 3);
    IupFlush();
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 3) << "the main window follows";
    EXPECT_EQ(item(KOV_WindowParam_LayerList), "3 Si (N)") << "the list names the layer shown";
    const double second = layerReal(2, "Thickness");
    IupSetStrAttribute(h(KOV_WindowParam_Thickness), "VALUE", "5");
    IupTestClick(IupGetHandle((std::string(KOV_WindowParam) + "_Apply").c_str()));
    IupFlush();
    EXPECT_DOUBLE_EQ(layerReal(3, "Thickness"), 5.0);
    EXPECT_DOUBLE_EQ(layerReal(2, "Thickness"), second);
    EXPECT_EQ(item(KOV_WindowParam_LayerList), "3 Si (N)");
    EXPECT_EQ(attr(KOV_WindowMain_Thickness, "VALUE"), "5") << "the main window shows it";
    Dialogs_closeAll();
}

}  // namespace
