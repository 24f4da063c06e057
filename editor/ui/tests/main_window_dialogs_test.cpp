// Parameter dialogs while the main window replaces its device: a reload or
// an open binds every open dialog to the new device before anything can
// be stored through it, a new document closes them, and a dialog's "save
// first" question saves the document through the window's own Save.
#include <fstream>

#include "Dialogs.h"
#include "MainWindowFixture.h"
#include "layer.h"
#include "kovraHandles.h"

namespace {

class MainWindowDialogsTest : public MainWindowTest {
protected:
    void click(const char* name)
    {
        IupTestClick(h(name));
        IupFlush();
    }
    ParamRecord* boundRecord(const char* control)
    {
        return reinterpret_cast<ParamRecord*>(IupGetAttribute(h(control), KOV_Record));
    }
    void replaceInFile(const std::string& path, const std::string& from, const std::string& to)
    {
        std::string text = readAll(path);
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(path, std::ios::binary) << text;
    }
};

TEST_F(MainWindowDialogsTest, ReloadWithADialogOpenBindsItToTheNewDevice)
{
    const std::string file = example("silicon-pn.kovra");
    start({file});
    WindowDoping_show();
    ASSERT_NE(IupGetHandle(KOV_WindowDoping), nullptr);
    EXPECT_EQ(attr(KOV_WindowDoping_N, "VALUE"), "1e+18");
    EXPECT_EQ(boundRecord(KOV_WindowDoping_N), Layer_findParam(device()->layers[0], "Dopant.N"));

    // Another program changes the file; Reload replaces the device.
    replaceInFile(file, "Dopant.N=1e18", "Dopant.N=3e18");
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(2));
    IupScriptAnswer("Reload it anyway", "YES");
    WindowMain_onFileReload(nullptr);
    ASSERT_NE(IupGetHandle(KOV_WindowDoping), nullptr) << "the dialog stays open";
    EXPECT_EQ(attr(KOV_WindowDoping_N, "VALUE"), "3e+18") << "and shows the new device";
    EXPECT_EQ(boundRecord(KOV_WindowDoping_N), Layer_findParam(device()->layers[0], "Dopant.N"));

    // Stored through the dialog, a value lands in the device now shown.
    IupSetAttribute(h(KOV_WindowDoping_N), "VALUE", "5e18");
    click(KOV_WindowDoping_Apply);
    EXPECT_DOUBLE_EQ(layerReal(1, "Dopant.N"), 5e18);
    EXPECT_TRUE(Document_isModified(doc()));
}

TEST_F(MainWindowDialogsTest, AnExampleOrANewDocumentClosesTheOpenDialogs)
{
    start({example("silicon-pn.kovra")});
    WindowDoping_show();
    WindowVoltage_show();
    ASSERT_EQ(Dialogs_openCount(), 2);
    click(KOV_Example01);
    EXPECT_EQ(Dialogs_openCount(), 0);
    EXPECT_EQ(IupGetHandle(KOV_WindowDoping), nullptr);
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 0);
    // The layer commands work again on the new device.
    const int layers = device()->layerCount;
    WindowMain_insertLayer();
    EXPECT_EQ(device()->layerCount, layers + 1);
    IupScriptAnswer("Proceed anyway", "YES");
    WindowDoping_show();
    click(KOV_FileNew);
    EXPECT_EQ(Dialogs_openCount(), 0);
}

TEST_F(MainWindowDialogsTest, ModelFileOfANeverSavedDeviceSavesItThroughTheWindowsSaveFirst)
{
    start();
    ASSERT_FALSE(Document_fileExists(doc()));
    WindowDoping_show();
    const std::string deviceFile = folder.file("new-cell.kovra");
    const std::string model =
        folder.write("doping.lua", "function kov_doping(x) return 1e16 end\n");
    IupScriptAnswer("Select doping model", "YES");
    IupScriptAnswer("Save the device before", "YES");
    IupScriptAnswer("Save file", deviceFile.c_str());
    IupScriptAnswer("Doping model", model.c_str());
    click(KOV_WindowDoping_Model);
    EXPECT_EQ(IupScriptPending(), 0);
    EXPECT_STREQ(doc()->filename, deviceFile.c_str());
    EXPECT_NE(readAll(deviceFile).find("[Layer1]"), std::string::npos)
        << "saved before the model was chosen";
    // The model lies beside the device file, so it is named bare.
    ParamRecord* record = Layer_findParam(device()->layers[0], "Dopant.Model");
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->value.text, "doping.lua");
}

// What the main window changes while a dialog is open reaches the dialog at
// once, so the dialog's next Apply keeps it instead of putting back what the
// dialog showed when it opened; a value typed into the dialog and not yet
// applied stays.
TEST_F(MainWindowDialogsTest, OpenDialogsFollowTheMainWindowsLightAndVoltageChanges)
{
    start({example("silicon-pn.kovra")});
    ParamRecord* light = Device_findLightParam(device(), "Light.Source");
    ParamRecord* voltage = Device_findVoltageParam(device(), "Voltage.Source");
    ASSERT_NE(light, nullptr);
    ASSERT_NE(voltage, nullptr);
    ASSERT_STREQ(light->value.text, "None");
    WindowLight_show();
    WindowVoltage_show();
    ASSERT_EQ(IupGetInt(h(KOV_WindowLight_AM15), "VALUE"), 0);
    IupSetAttribute(h(KOV_WindowVoltage_Jsup), "VALUE", "250");  // typed, not applied

    click(KOV_WindowMain_LightAM15);
    EXPECT_STREQ(light->value.text, "AM1.5") << "the main window's toggle is taken at once";
    EXPECT_NE(IupGetInt(h(KOV_WindowLight_AM15), "VALUE"), 0) << "and the light dialog shows it";
    EXPECT_EQ(IupGetInt(h(KOV_WindowLight_Mono), "VALUE"), 0);

    click(KOV_WindowLight_Apply);
    EXPECT_STREQ(light->value.text, "AM1.5") << "Apply keeps the main window's choice";
    EXPECT_NE(IupGetInt(h(KOV_WindowMain_LightAM15), "VALUE"), 0);

    // The voltage sweep chosen in the main window reaches the voltage dialog,
    // and so does a sweep field committed there.
    IupTestSelect(h(KOV_WindowMain_VoltageSweep), 1);
    EXPECT_STREQ(voltage->value.text, "Sweep");
    EXPECT_NE(IupGetInt(h(KOV_WindowVoltage_Sweep), "VALUE"), 0);
    IupSetAttribute(h(KOV_WindowMain_VoltageEnd), "VALUE", "0.45");
    WindowMain_commitField(h(KOV_WindowMain_VoltageEnd));
    EXPECT_EQ(attr(KOV_WindowVoltage_End, "VALUE"), "0.45");
    EXPECT_EQ(attr(KOV_WindowVoltage_Jsup, "VALUE"), "250")
        << "an unapplied value in the dialog stays";

    // A quantum-efficiency sweep in the main window runs at one voltage:
    // both dialogs show it, and the voltage dialog's Apply keeps it.
    click(KOV_WindowMain_LightSweep);
    EXPECT_STREQ(light->value.text, "Sweep");
    EXPECT_STREQ(voltage->value.text, "None");
    EXPECT_NE(IupGetInt(h(KOV_WindowLight_Sweep), "VALUE"), 0);
    EXPECT_EQ(IupGetInt(h(KOV_WindowVoltage_Sweep), "VALUE"), 0);
    click(KOV_WindowVoltage_OK);
    EXPECT_STREQ(voltage->value.text, "None");
    EXPECT_DOUBLE_EQ(Device_findVoltageParam(device(), "Voltage.End")->value.real, 0.45);
    EXPECT_DOUBLE_EQ(Device_findVoltageParam(device(), "Voltage.Jsup")->value.real, 250.0);

    // The other way: the light dialog's store reaches the main window.
    IupTestClick(h(KOV_WindowLight_Mono));
    click(KOV_WindowLight_OK);
    EXPECT_STREQ(light->value.text, "Mono");
    EXPECT_NE(IupGetInt(h(KOV_WindowMain_LightMono), "VALUE"), 0);
}

}  // namespace

// The function keys are the main window's: they work from whichever of its
// own controls has the focus, and a parameter dialog, a window of its own,
// keeps its keys to itself.
TEST_F(MainWindowDialogsTest, FunctionKeysWorkFromEveryControlOfTheMainWindow)
{
    start({example("gaas-cell.kovra")});
    const char* controls[] = {KOV_DeviceName,
                              KOV_WindowMain_LayerList,
                              KOV_WindowMain_Doping,
                              KOV_WindowMain_Thickness,
                              KOV_WindowMain_Bandgap,
                              KOV_WindowMain_VoltageSweep,
                              KOV_WindowMain_VoltageEnd,
                              KOV_WindowMain_LightAM15,
                              KOV_DeviceCanvas,
                              KOV_Output};
    const struct {
        int code;
        const char* dialog;
    } keys[] = {{K_F5, KOV_WindowParam}, {K_F6, KOV_WindowDoping}, {K_F7, KOV_WindowMobility},
                {K_F8, KOV_WindowIndex}, {K_F10, KOV_WindowLight}, {K_F11, KOV_WindowVoltage}};
    for (const char* control : controls) {
        SCOPED_TRACE(control);
        ASSERT_STREQ(IupGetAttribute(h(control), "ACTIVE"), "YES");
        for (const auto& k : keys) {
            SCOPED_TRACE(k.dialog);
            IupTestKey(h(control), k.code);
            IupFlush();
            EXPECT_TRUE(dialogOpen(k.dialog));
            Dialogs_closeAll();
        }
    }
    // F1 from a field opens the guide (or says it is missing).
    IupTestKey(h(KOV_WindowMain_Thickness), K_F1);
    const std::string help = IupGetGlobal(KOV_HelpFilenameSimulator);
    const char* launched = IupScriptLastLaunched();
    EXPECT_TRUE((launched && help == launched) || status().find("not found") != std::string::npos);

    key(K_F6);
    ASSERT_TRUE(dialogOpen(KOV_WindowDoping));
    IupTestKey(h(KOV_WindowDoping_N), K_F7);
    IupFlush();
    EXPECT_FALSE(dialogOpen(KOV_WindowMobility)) << "the dialog's keys are its own";
    Dialogs_closeAll();
}
