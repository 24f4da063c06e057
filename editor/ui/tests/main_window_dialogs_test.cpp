// Parameter dialogs while the main window replaces its device: a reload or
// an open binds every open dialog to the new device before anything can
// be stored through it, a new document closes them, and a dialog's "save
// first" question saves the document through the window's own Save.
#include <fstream>

#include "Dialogs.h"
#include "MainWindowFixture.h"
#include "layer.h"

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
        return reinterpret_cast<ParamRecord*>(IupGetAttribute(h(control), "KOV_Record"));
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
    ASSERT_NE(IupGetHandle("KOV_WindowDoping"), nullptr);
    EXPECT_EQ(attr("KOV_WindowDoping_N", "VALUE"), "1e+18");
    EXPECT_EQ(boundRecord("KOV_WindowDoping_N"), Layer_findParam(device()->layers[0], "Dopant.N"));

    // Another program changes the file; Reload replaces the device.
    replaceInFile(file, "Dopant.N=1e18", "Dopant.N=3e18");
    std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() +
                                               std::chrono::seconds(2));
    IupScriptAnswer("Reload it anyway", "YES");
    WindowMain_onFileReload(nullptr);
    ASSERT_NE(IupGetHandle("KOV_WindowDoping"), nullptr) << "the dialog stays open";
    EXPECT_EQ(attr("KOV_WindowDoping_N", "VALUE"), "3e+18") << "and shows the new device";
    EXPECT_EQ(boundRecord("KOV_WindowDoping_N"), Layer_findParam(device()->layers[0], "Dopant.N"));

    // Stored through the dialog, a value lands in the device now shown.
    IupSetAttribute(h("KOV_WindowDoping_N"), "VALUE", "5e18");
    click("KOV_WindowDoping_Apply");
    EXPECT_DOUBLE_EQ(layerReal(1, "Dopant.N"), 5e18);
    EXPECT_TRUE(Document_isModified(doc()));
}

TEST_F(MainWindowDialogsTest, AnExampleOrANewDocumentClosesTheOpenDialogs)
{
    start({example("silicon-pn.kovra")});
    WindowDoping_show();
    WindowVoltage_show();
    ASSERT_EQ(Dialogs_openCount(), 2);
    click("KOV_Example01");
    EXPECT_EQ(Dialogs_openCount(), 0);
    EXPECT_EQ(IupGetHandle("KOV_WindowDoping"), nullptr);
    EXPECT_EQ(IupGetInt(nullptr, "KOV_WindowInput_Shown"), 0);
    // The layer commands work again on the new device.
    const int layers = device()->layerCount;
    WindowMain_insertLayer();
    EXPECT_EQ(device()->layerCount, layers + 1);
    IupScriptAnswer("Proceed anyway", "YES");
    WindowDoping_show();
    click("KOV_FileNew");
    EXPECT_EQ(Dialogs_openCount(), 0);
}

TEST_F(MainWindowDialogsTest, ModelFileOfANeverSavedDeviceSavesItThroughTheWindowsSaveFirst)
{
    start();
    ASSERT_FALSE(Document_fileExists(doc()));
    WindowDoping_show();
    const std::string deviceFile = folder.file("new-cell.kovra");
    const std::string model = folder.write("doping.lua", "function kov_doping(x) return 1e16 end\n");
    IupScriptAnswer("Select doping model", "YES");
    IupScriptAnswer("Save the device before", "YES");
    IupScriptAnswer("Save file", deviceFile.c_str());
    IupScriptAnswer("Doping model", model.c_str());
    click("KOV_WindowDoping_Model");
    EXPECT_EQ(IupScriptPending(), 0);
    EXPECT_STREQ(doc()->filename, deviceFile.c_str());
    EXPECT_NE(readAll(deviceFile).find("[Layer1]"), std::string::npos) << "saved before the model was chosen";
    // The model lies beside the device file, so it is named bare.
    ParamRecord* record = Layer_findParam(device()->layers[0], "Dopant.Model");
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->value.text, "doping.lua");
}

}  // namespace
