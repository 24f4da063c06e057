// The main window driven as a user would: start-up with a file, the fields
// of the right side (valid, refused, expressions, variables), the layer
// commands and their refusal while a dialog is open, and the title and
// action-bar markers.
#include <sys/stat.h>
#include <utime.h>

#include "MainWindowFixture.h"
#include "kovbase.h"
#include "kovraHandles.h"

TEST_F(MainWindowTest, StartsWithTheFileOfTheCommandLineAndShowsIt)
{
    std::string file = example("silicon-pn.kovra");
    start({file});
    ASSERT_NE(device(), nullptr);
    EXPECT_EQ(device()->layerCount, 2);
    EXPECT_EQ(std::string(doc()->filename), file);
    EXPECT_EQ(title(), file + " - KovraDevice");
    EXPECT_EQ(info(), "silicon-pn.kovra");
    EXPECT_EQ(attr(KOV_DeviceName, "VALUE"), "Silicon p-n junction");
    EXPECT_EQ(attr(KOV_WindowMain_Thickness, "VALUE"), "0.5");
    EXPECT_EQ(attr(KOV_WindowMain_Doping, "VALUE"), "1e+18");
    EXPECT_EQ(IupGetInt(h(KOV_WindowMain_LayerList), "COUNT"), 2);
    EXPECT_EQ(attr(KOV_WindowMain_LayerList, "1"), "1 Si (N)");
    EXPECT_EQ(attr(KOV_Actionbar_Btn_Save, "ACTIVE"), "NO");
    EXPECT_NE(status().find("loaded"), std::string::npos);
}

TEST_F(MainWindowTest, CommandLinesThatNameNoSingleExistingFileOpenTheTemplate)
{
    std::string file = example("silicon-pn.kovra");
    start({file, file});
    EXPECT_EQ(std::string(doc()->filename), "");
    EXPECT_EQ(title(), "KovraDevice");
    stop();
    start({folder.file("missing.kovra")});
    EXPECT_EQ(std::string(doc()->filename), "");
    // A mistyped name is not passed over in silence.
    EXPECT_EQ(status(), "Cannot open '" + folder.file("missing.kovra") + "': no such file");
}

TEST_F(MainWindowTest, EnterCommitsAFieldAndRedrawsWithoutLeavingIt)
{
    start({example("silicon-pn.kovra")});
    type(KOV_WindowMain_Thickness, "0.75");
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.75);
    EXPECT_TRUE(Document_isModified(doc()));
    EXPECT_NE(info().find(" * "), std::string::npos);
    EXPECT_EQ(attr(KOV_Actionbar_Btn_Save, "ACTIVE"), "YES");
}

TEST_F(MainWindowTest, RefusedValuesLeaveTheRecordAndTheDocumentUnchanged)
{
    start({example("silicon-pn.kovra")});
    for (const char* bad : {"abc", "-5", "1e99"}) {
        type(KOV_WindowMain_Thickness, bad);
        EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.5) << bad;
    }
    EXPECT_FALSE(Document_isModified(doc()));
    // A refusal also stops the store before a command.
    IupSetAttribute(h(KOV_WindowMain_Thickness), "VALUE", "abc");
    EXPECT_EQ(WindowMain_applyFields(0, 0), 0);
}

TEST_F(MainWindowTest, ExpressionsAndVariablesAreEvaluated)
{
    start({example("variables.kovra")});
    // The file's emitter is $emitter = 0.3.
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.3);
    type(KOV_WindowMain_Thickness, "2*0.4");
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.8);
    type(KOV_WindowMain_Thickness, "$emitter + 0.1");
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.4);
    type(KOV_WindowMain_Thickness, "$nosuch");
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.4);
}

TEST_F(MainWindowTest, LayerCommandsInsertMoveAndDelete)
{
    start({example("silicon-pn.kovra")});
    ASSERT_EQ(device()->layerCount, 2);
    WindowMain_insertLayer();
    EXPECT_EQ(device()->layerCount, 3);
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 2);
    EXPECT_EQ(IupGetInt(h(KOV_WindowMain_LayerList), "VALUE"), 2);
    EXPECT_TRUE(Document_isModified(doc()));

    // The last layer (the thick base) moves up one place.
    WindowMain_selectLayer(3);
    double base = layerReal(3, "Thickness");
    WindowMain_moveLayer(-1);
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 2);
    EXPECT_DOUBLE_EQ(layerReal(2, "Thickness"), base);

    IupScriptAnswer("Delete the selected layer?", "NO");
    WindowMain_deleteLayer();
    EXPECT_EQ(device()->layerCount, 3);
    IupScriptAnswer("Delete the selected layer?", "YES");
    WindowMain_deleteLayer();
    EXPECT_EQ(device()->layerCount, 2);
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 1);
}

TEST_F(MainWindowTest, LayerCommandsAreRefusedWhileADialogIsOpen)
{
    start({example("silicon-pn.kovra")});
    WindowAbout_show(nullptr);
    ASSERT_EQ(Dialog_isShown(), 1);
    WindowMain_insertLayer();
    WindowMain_moveLayer(+1);
    WindowMain_deleteLayer();  // would ask; asks nothing
    EXPECT_EQ(device()->layerCount, 2);
    EXPECT_FALSE(Document_isModified(doc()));
    WindowAbout_close(nullptr);
    EXPECT_EQ(Dialog_isShown(), 0);
    WindowMain_insertLayer();
    EXPECT_EQ(device()->layerCount, 3);
}

TEST_F(MainWindowTest, DeletingTheLastLayerIsRefusedAndNineLayersAreTheMost)
{
    start({example("silicon-pn.kovra")});
    for (int i = 0; i < 10; ++i) {
        WindowMain_insertLayer();
    }
    EXPECT_EQ(device()->layerCount, 9);
    EXPECT_EQ(IupGetInt(h(KOV_WindowMain_LayerList), "COUNT"), 9);
    for (int i = 0; i < 9; ++i) {
        IupScriptAnswer("Delete the selected layer?", "YES");
        WindowMain_deleteLayer();
    }
    EXPECT_EQ(device()->layerCount, 1);
}

TEST_F(MainWindowTest, KeysWalkTheStackFromAnodeToCathode)
{
    start({example("silicon-pn.kovra")});
    WindowMain_stepSelection(0, -1);
    EXPECT_EQ(WindowMain_selectedContact(), 1);
    WindowMain_stepSelection(0, -1);
    EXPECT_EQ(WindowMain_selectedContact(), 1);
    WindowMain_stepSelection(0, +1);
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 1);
    EXPECT_EQ(WindowMain_selectedContact(), -1);
    WindowMain_stepSelection(0, +1);
    WindowMain_stepSelection(0, +1);
    EXPECT_EQ(WindowMain_selectedContact(), 2);
    WindowMain_stepSelection(0, -1);
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 2);
    EXPECT_EQ(attr(KOV_WindowMain_Thickness, "VALUE"), "20");
}

TEST_F(MainWindowTest, TitleMarkersForReadOnlyAndChangedOutside)
{
    std::string file = example("silicon-pn.kovra");
    start({file});
    // Changed by another program: newer on disk than when it was loaded.
    struct utimbuf later {};
    later.actime = later.modtime = time(nullptr) + 60;
    ASSERT_EQ(utime(file.c_str(), &later), 0);
    WindowMain_updateTitle();
    EXPECT_NE(info().find("*[outside]"), std::string::npos) << info();
    // Read-only wins over a modification.
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    type(KOV_WindowMain_Thickness, "0.6");
    EXPECT_NE(info().find("[readonly]"), std::string::npos) << info();
    chmod(file.c_str(), 0644);
}

TEST_F(MainWindowTest, ColourModesToggleBackToDoping)
{
    start({example("silicon-pn.kovra")});
    Settings* settings = App_getSettings();
    ASSERT_EQ(settings->DeviceColorize, COLORIZE_DOPING);
    WindowMain_onColorize(h(KOV_OptionsColorizeEg));
    EXPECT_EQ(settings->DeviceColorize, COLORIZE_BANDGAP);
    WindowMain_onColorize(h(KOV_OptionsColorizeEg));
    EXPECT_EQ(settings->DeviceColorize, COLORIZE_DOPING);
    WindowMain_onColorize(h(KOV_OptionsColorizeNone));
    WindowMain_onColorizeMenuOpen(nullptr);
    EXPECT_EQ(attr(KOV_OptionsColorizeNone, "VALUE"), "ON");
    EXPECT_EQ(attr(KOV_OptionsColorizeN, "VALUE"), "OFF");
    WindowMain_onColorize(h(KOV_OptionsColorizeNone));
    EXPECT_EQ(settings->DeviceColorize, COLORIZE_DOPING);
}

TEST_F(MainWindowTest, AllEighteenKeysAreBoundAndNoOther)
{
    start();
    const char* keys[] = {"K_cN",  "K_cO",  "K_cS", "K_mF4",   "K_F12",    "K_mF12",
                          "K_F1",  "K_mF1", "K_F5", "K_F6",    "K_F7",     "K_F8",
                          "K_F10", "K_F11", "K_cC", "K_cPlus", "K_cMinus", "K_c0"};
    for (const char* k : keys) {
        EXPECT_NE(IupGetCallback(h(KOV_WindowMain), k), nullptr) << k;
    }
    for (const char* k : {"K_F2", "K_F3", "K_F9", "K_cF12", "K_cA"}) {
        EXPECT_EQ(IupGetCallback(h(KOV_WindowMain), k), nullptr) << k;
    }
    // Console keys pass on while the console does not have the focus.
    IupSetFocus(h(KOV_WindowMain_Thickness));
    EXPECT_EQ(WindowMain_onConsoleCopy(nullptr), IUP_CONTINUE);
}

TEST_F(MainWindowTest, HelpOpensTheGuideAndAboutRegistersAsADialog)
{
    start();
    key(K_F1);
    std::string launched = IupScriptLastLaunched() ? IupScriptLastLaunched() : "";
    std::string help = IupGetGlobal(KOV_HelpFilenameSimulator);
    if (kov_fileExistsA(help.c_str()) == 1) {
        EXPECT_EQ(launched, help);
    } else {
        EXPECT_NE(status().find("not found"), std::string::npos);
    }
    key(K_mF1);
    EXPECT_NE(IupGetHandle(KOV_WindowAbout), nullptr);
    EXPECT_EQ(Dialog_isShown(), 1);
    WindowAbout_close(nullptr);
    EXPECT_EQ(IupGetHandle(KOV_WindowAbout), nullptr);
}
