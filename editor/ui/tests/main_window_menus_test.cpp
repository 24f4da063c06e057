// The menus of the real window as the user meets them: which File, Device
// and Run items are active in which state, the default input, opening the
// device in the outside editor, a file dropped on the canvas, the output
// options stored in the device, and the status bar switched off and on.
#include <chrono>
#include <filesystem>
#include <thread>

#include "DeviceCanvas.h"
#include "Dialogs.h"
#include "MainWindowFixture.h"
#include "Output.h"
#include "kovbase.h"
#include "kovragui.h"
#include "kovraHandles.h"
#include "waitUntil.h"

namespace {

class MenusTest : public MainWindowTest {
protected:
    std::string command(const char* key)
    {
        char text[PARAM_VALUE_SIZE] = {};
        Device_getCommandValueText(device(), key, text);
        return text;
    }
    std::string numeric(const char* key)
    {
        char text[PARAM_VALUE_SIZE] = {};
        Device_getNumericValueText(device(), key, text);
        return text;
    }
    bool active(const char* name) { return attr(name, "ACTIVE") == "YES"; }
};

TEST_F(MenusTest, FileMenuItemsFollowTheDocumentAndTheDefaultInput)
{
    const std::string file = example("silicon-pn.kovra");
    start({file});
    WindowMain_onFileMenuOpen(nullptr);
    EXPECT_FALSE(active(KOV_FileSave)) << "nothing to save";
    EXPECT_TRUE(active(KOV_FileReload));
    EXPECT_TRUE(active(KOV_FileDefault));
    EXPECT_TRUE(active(KOV_FileReopen));
    EXPECT_FALSE(active(KOV_FileDefaultReset)) << "no default input yet";

    type(KOV_WindowMain_Thickness, "0.6");
    fire(KOV_FileDefault);
    WindowMain_onFileMenuOpen(nullptr);
    EXPECT_TRUE(active(KOV_FileSave));
    EXPECT_TRUE(active(KOV_FileDefaultReset));
    EXPECT_STREQ(App_getSettings()->DefaultInput, file.c_str());
    WindowMain_onFileDefaultHighlight(h(KOV_FileDefault));
    EXPECT_EQ(status(), "Default Input: " + file);

    fire(KOV_FileDefaultReset);
    EXPECT_STREQ(App_getSettings()->DefaultInput, "");

    // A document never saved has no file to reload, reopen or make the default.
    IupScriptAnswer("Device modified", "YES");
    fire(KOV_FileNew);
    WindowMain_onFileMenuOpen(nullptr);
    for (const char* item : {KOV_FileReload, KOV_FileDefault, KOV_FileReopen, KOV_FileSave}) {
        EXPECT_FALSE(active(item)) << item;
    }
}

TEST_F(MenusTest, OpenWithKovraEditHandsTheWholeFileNameToTheEditor)
{
    const std::string file = example("silicon-pn.kovra", "my cell.kovra");
    start({file});
    // A stand-in kovraedit that writes down its arguments, one a line.
    std::filesystem::create_directories(folder.file("bin"));
    const std::string edit = folder.write(
        "bin/kovraedit", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
    std::filesystem::permissions(edit, std::filesystem::perms::owner_all);
    IupSetStrGlobal(KOV_BinDir, folder.file("bin/").c_str());
    fire(KOV_FileReopen);
    waitUntil([&] {
        IupLoopStep();
        return !readAll(folder.file("bin/args.txt")).empty();
    });
    EXPECT_EQ(readAll(folder.file("bin/args.txt")), file + "\n") << "one argument, blank and all";

    // Unsaved changes are only left behind after a "Yes".
    type(KOV_WindowMain_Thickness, "0.6");
    IupScriptAnswer("Device modified. Proceed anyway?", "NO");
    fire(KOV_FileReopen);
    EXPECT_TRUE(Document_isModified(doc()));

    // Without the editor beside the program, a message says so.
    IupSetStrGlobal(KOV_BinDir, (folder.path() + "nowhere/").c_str());
    IupScriptAnswer("Device modified. Proceed anyway?", "YES");
    IupScriptAnswer("Cannot open file: KovraEdit not found", "OK");
    fire(KOV_FileReopen);
}

TEST_F(MenusTest, AFileDroppedOnTheCanvasIsOpenedBehindTheGuard)
{
    const std::string first = example("silicon-pn.kovra");
    const std::string second = example("gaas-cell.kovra");
    start({first});
    Ihandle* canvas = h(KOV_DeviceCanvas);
    EXPECT_EQ(DeviceCanvas_onDropFiles(canvas, second.c_str(), 0, 10, 10), IUP_IGNORE);
    EXPECT_STREQ(doc()->filename, second.c_str());
    EXPECT_EQ(App_getSettings()->FileRecent[0], second);

    type(KOV_WindowMain_Thickness, "0.6");
    IupScriptAnswer("Device modified. Proceed anyway?", "NO");
    DeviceCanvas_onDropFiles(canvas, first.c_str(), 0, 10, 10);
    EXPECT_STREQ(doc()->filename, second.c_str()) << "a No keeps the edited device";
    EXPECT_TRUE(Document_isModified(doc()));
}

TEST_F(MenusTest, OutputOptionsAreStoredInTheDevice)
{
    const std::string file = example("silicon-pn.kovra");
    start({file});
    // Save All Output: on as the simulator reads it ("yes" too), so a click
    // turns it off.
    Device_setNumericParam(device(), "Numeric.SaveFull", "yes", nullptr, nullptr, 0);
    WindowMain_onOptionsMenuOpen(nullptr);
    EXPECT_EQ(attr(KOV_OptionsSaveFull, "VALUE"), "ON");
    fire(KOV_OptionsSaveFull);
    EXPECT_EQ(numeric("Numeric.SaveFull"), "No");
    EXPECT_EQ(attr(KOV_OptionsSaveFull, "VALUE"), "OFF") << "the mark follows at once";
    fire(KOV_OptionsSaveFull);
    EXPECT_EQ(numeric("Numeric.SaveFull"), "Yes");
    EXPECT_EQ(attr(KOV_OptionsSaveFull, "VALUE"), "ON");
    EXPECT_TRUE(Document_isModified(doc()));

    // Recreate Output Directory flips the simulator's yes and no words in
    // any case, nothing else.
    Device_setCommandParam(device(), "Command.OutDirDate", "YES", nullptr, nullptr, 0);
    fire(KOV_OptionsDirDate);
    EXPECT_EQ(command("Command.OutDirDate"), "No");
    WindowMain_onOptionsMenuOpen(nullptr);
    EXPECT_EQ(attr(KOV_OptionsDirDate, "VALUE"), "OFF");
    Device_setCommandParam(device(), "Command.OutDirDate", "Sometimes", nullptr, nullptr, 0);
    fire(KOV_OptionsDirDate);
    EXPECT_EQ(command("Command.OutDirDate"), "Sometimes");

    // Plot after the run is the document's, not the file's.
    Document_setModified(doc(), 0);
    fire(KOV_OptionsPlot);
    EXPECT_EQ(doc()->plotAfterRun, 0);
    EXPECT_FALSE(Document_isModified(doc()));
    WindowMain_onOptionsMenuOpen(nullptr);
    EXPECT_EQ(attr(KOV_OptionsPlot, "VALUE"), "OFF");

    // Output Directory: a chosen folder, then back to automatic; the hint
    // names where the results go.
    const std::string results = folder.path() + "results";
    std::filesystem::create_directories(results);
    IupScriptAnswer("Manually select the output directory?", "YES");
    IupScriptAnswer("Select Output Directory", results.c_str());
    fire(KOV_OptionsOutDir);
    EXPECT_EQ(command("Command.OutDir"), results);
    WindowMain_onOutDirHighlight(h(KOV_OptionsOutDir));
    EXPECT_EQ(status(), "Output Directory: " + results);
    IupScriptAnswer("Manually select the output directory?", "CANCEL");
    fire(KOV_OptionsOutDir);
    EXPECT_EQ(command("Command.OutDir"), results);
    IupScriptAnswer("Manually select the output directory?", "NO");
    fire(KOV_OptionsOutDir);
    EXPECT_EQ(command("Command.OutDir"), "");
    WindowMain_onOutDirHighlight(h(KOV_OptionsOutDir));
    EXPECT_EQ(status(), "Output Directory: " + folder.path() + "silicon-pn_out");
    // "." is the device file's own folder.
    Device_setCommandParam(device(), "Command.OutDir", ".", nullptr, nullptr, 0);
    WindowMain_onOutDirHighlight(h(KOV_OptionsOutDir));
    EXPECT_EQ(status(), "Output Directory: " + folder.path());
}

TEST_F(MenusTest, DeviceMenuKeepsLayerItemsForALayerAndRunMenuFollowsTheConsole)
{
    start({example("silicon-pn.kovra")});
    const char* layerItems[] = {
        KOV_DeviceLayerInsert,   KOV_DeviceLayerMoveUp, KOV_DeviceLayerMoveDown,
        KOV_DeviceLayerDelete,   KOV_DeviceLayerParam,  KOV_DeviceLayerMaterial,
        KOV_DeviceLayerDoping,   KOV_DeviceLayerTrap,   KOV_DeviceLayerUrbach,
        KOV_DeviceLayerMobility, KOV_DeviceLayerIndex};
    WindowMain_onLayerMenuOpen(nullptr);
    for (const char* item : layerItems) {
        EXPECT_TRUE(active(item)) << item;
    }
    WindowMain_setSelection(1, 2);  // the cathode
    WindowMain_onLayerMenuOpen(nullptr);
    for (const char* item : layerItems) {
        EXPECT_FALSE(active(item)) << item;
    }
    for (const char* item : {KOV_DeviceLayerLattice, KOV_DeviceLayerVariable, KOV_DeviceTemperature,
                             KOV_DeviceContact}) {
        EXPECT_TRUE(active(item)) << item;
    }

    Output_print("a line\n");
    WindowMain_onRunMenuOpen(nullptr);
    EXPECT_TRUE(active(KOV_RunRun));
    EXPECT_FALSE(active(KOV_RunStop));
    EXPECT_FALSE(active(KOV_RunPlot)) << "no results yet";
    EXPECT_TRUE(active(KOV_RunClear));
    fire(KOV_RunClear);
    EXPECT_EQ(Output_getLength(), 0);
    WindowMain_onRunMenuOpen(nullptr);
    EXPECT_FALSE(active(KOV_RunClear));
}

TEST_F(MenusTest, StatusBarGoesAndComesBackAndIsRemembered)
{
    start();
    WindowMain_onViewMenuOpen(nullptr);
    EXPECT_EQ(attr(KOV_ViewStatusbar, "VALUE"), "ON");
    EXPECT_EQ(attr(KOV_ViewActionbar, "VALUE"), "ON");
    fire(KOV_ViewStatusbar);
    EXPECT_EQ(IupGetHandle(KOV_Statusbar), nullptr);
    EXPECT_EQ(App_getSettings()->ViewStatusbar, 0);
    WindowMain_onViewMenuOpen(nullptr);
    EXPECT_EQ(attr(KOV_ViewStatusbar, "VALUE"), "OFF");
    kovraShowInfo("no bar to show this", 0, 0);  // must not fail without the bar
    fire(KOV_ViewStatusbar);
    EXPECT_NE(IupGetHandle(KOV_Statusbar), nullptr);
    EXPECT_EQ(App_getSettings()->ViewStatusbar, 1);
}

}  // namespace
