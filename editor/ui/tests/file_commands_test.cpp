// The File menu through the real window: open, save, save as, reload, new
// and templates with their guards, recent files across a restart, and the
// edit-save-run round trip with the engine's driver.
#include <fstream>
#include <sstream>
#include <utime.h>

#include "MainWindowFixture.h"
#include "kovbase.h"
#include "kovraHandles.h"

namespace {

std::vector<std::string> lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

}  // namespace

TEST_F(MainWindowTest, CtrlSWritesTheEditedThicknessAndTheEngineRunsIt)
{
    std::string file = example("silicon-pn.kovra");
    std::string original = readAll(file);
    start({file});
    type(KOV_WindowMain_Thickness, "0.7");
    key(K_cS);
    EXPECT_FALSE(Document_isModified(doc()));
    EXPECT_NE(status().find("saved"), std::string::npos);

    // The saved file reads back to the same device with the new thickness.
    stop();
    start({file});
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.7);
    EXPECT_DOUBLE_EQ(layerReal(2, "Thickness"), 20.0);
    EXPECT_EQ(device()->layerCount, 2);
    stop();

    // Only the thickness of layer 1 (and the header's save time) changed.
    std::string copy = folder.write("original.kovra", original);
    std::string command = std::string(KOVRA_BIN_DIR) + "/kovracomp -run \"" + file + "\" > \"" +
                          folder.file("run.log") + "\" 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << readAll(folder.file("run.log"));
    auto saved = lines(file);
    bool found = false;
    for (const std::string& line : saved) {
        found = found || line.find("Thickness=0.7") != std::string::npos;
    }
    EXPECT_TRUE(found);
    for (const char* kept :
         {"Dopant.N=1e+18", "Dopant.N=1e+16", "Thickness=20", "Mesh.Points=200"}) {
        EXPECT_NE(readAll(file).find(kept), std::string::npos) << kept;
    }
    (void)copy;
}

TEST_F(MainWindowTest, OpenAsksWhenModifiedAndANoChangesNothing)
{
    std::string first = example("silicon-pn.kovra");
    std::string second = example("gaas-cell.kovra");
    start({first});
    type(KOV_WindowMain_Thickness, "0.6");
    IupScriptAnswer("Device modified", "NO");
    key(K_cO);
    EXPECT_EQ(std::string(doc()->filename), first);
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.6);
    EXPECT_TRUE(Document_isModified(doc()));

    IupScriptAnswer("Device modified", "YES");
    IupScriptAnswer("Open file", second.c_str());
    key(K_cO);
    EXPECT_EQ(std::string(doc()->filename), second);
    EXPECT_FALSE(Document_isModified(doc()));
}

TEST_F(MainWindowTest, NewTemplateExampleAndRecentAllGuardAModifiedDocument)
{
    std::string file = example("silicon-pn.kovra");
    start({file});
    type(KOV_WindowMain_Thickness, "0.6");
    IupScriptAnswer("Device modified", "NO");
    key(K_cN);
    IupScriptAnswer("Device modified", "NO");
    WindowMain_onFileNewTemplate(h(KOV_Template02));
    IupScriptAnswer("Device modified", "NO");
    WindowMain_onExample(h(KOV_Example03));
    WindowMain_onRecentMenuOpen(nullptr);
    IupScriptAnswer("Device modified", "NO");
    WindowMain_onFileRecent(h(KOV_FileRecent01));
    EXPECT_EQ(std::string(doc()->filename), file);
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 0.6);

    IupScriptAnswer("Device modified", "YES");
    WindowMain_onFileNewTemplate(h(KOV_Template02));
    EXPECT_EQ(device()->layerCount, 3);
    EXPECT_EQ(std::string(doc()->filename), "");
    EXPECT_EQ(title(), "KovraDevice");
    WindowMain_onExample(h(KOV_Example03));  // not modified: no question
    EXPECT_EQ(device()->layerCount, 1);
}

TEST_F(MainWindowTest, SaveAsAppendsTheExtensionAndAFailedSaveIsReported)
{
    start();
    IupScriptAnswer("Save file", folder.file("cell").c_str());
    WindowMain_onFileSaveAs(nullptr);
    EXPECT_EQ(std::string(doc()->filename), folder.file("cell.kovra"));
    EXPECT_TRUE(std::filesystem::exists(folder.file("cell.kovra")));

    std::string missingFolder = folder.file("no/such/folder/cell.kovra");
    IupScriptAnswer("Save file", missingFolder.c_str());
    IupScriptAnswer("Cannot save file", "OK");
    WindowMain_onFileSaveAs(nullptr);
    EXPECT_EQ(std::string(doc()->filename), folder.file("cell.kovra"));

    IupScriptAnswer("Save file", "");  // cancelled
    WindowMain_onFileSaveAs(nullptr);
    EXPECT_EQ(std::string(doc()->filename), folder.file("cell.kovra"));
}

TEST_F(MainWindowTest, ReloadAsksOnlyWhenTheFileChangedOutside)
{
    std::string file = example("silicon-pn.kovra");
    start({file});
    WindowMain_onFileReload(nullptr);  // no question
    struct utimbuf later {};
    later.actime = later.modtime = time(nullptr) + 60;
    ASSERT_EQ(utime(file.c_str(), &later), 0);
    IupScriptAnswer("Reload it anyway?", "NO");
    WindowMain_onFileReload(nullptr);
    IupScriptAnswer("Reload it anyway?", "YES");
    WindowMain_onFileReload(nullptr);
    WindowMain_updateTitle();
    EXPECT_EQ(info().find("[outside]"), std::string::npos);
}

TEST_F(MainWindowTest, MissingAndOversizedFilesAreReported)
{
    start();
    EXPECT_EQ(Document_open(folder.file("gone.kovra").c_str(), 0, 1), 0);
    EXPECT_NE(status().find("no such file"), std::string::npos) << status();
    std::string big = folder.write("big.kovra", std::string(0x800001, '#'));
    IupScriptAnswer("invalid size (max: 8 MB)", "OK");
    EXPECT_EQ(Document_open(big.c_str(), 0, 1), 0);
    EXPECT_EQ(std::string(doc()->filename), "");
}

TEST_F(MainWindowTest, RecentFilesSurviveARestart)
{
    std::string first = example("silicon-pn.kovra");
    std::string second = example("gaas-cell.kovra");
    start({first});
    Document_open(second.c_str(), 1, 1);
    stop();
    EXPECT_TRUE(std::filesystem::exists(folder.file("config/KovraDevice/kovradevice.kovr")));

    std::filesystem::remove(first);  // vanished files leave the list
    start();
    WindowMain_onRecentMenuOpen(nullptr);
    EXPECT_EQ(attr(KOV_FileRecent01, KOV_RecentFilename), second);
    EXPECT_EQ(attr(KOV_FileRecent01, "TITLE"), "gaas-cell.kovra");
    EXPECT_EQ(attr(KOV_FileRecent02, "TITLE"), "Recent Device");
    EXPECT_EQ(attr(KOV_FileRecent02, "ACTIVE"), "NO");
    EXPECT_NE(IupGetHandle(KOV_FileRecent12), nullptr);
    WindowMain_onFileRecent(h(KOV_FileRecent01));
    EXPECT_EQ(std::string(doc()->filename), second);
}

TEST_F(MainWindowTest, CloseIsRefusedWhenTheUserKeepsChanges)
{
    start({example("silicon-pn.kovra")});
    type(KOV_WindowMain_Thickness, "0.6");
    IupScriptAnswer("Close anyway", "NO");
    WindowMain_close();
    EXPECT_NE(IupGetHandle(KOV_WindowMain), nullptr);
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowMainClosing), 0);
}

// A file read only in part (reading ends at a variable line without a
// name) loses its rest when saved: Save asks first, and No keeps the file.
TEST_F(MainWindowTest, SavingAFileReadInPartAsksFirst)
{
    const std::string text = "# Kovra <SL>\n[Device]\n[Layer1]\n    Thickness=2\n$ = "
                             "5\n[Voltage]\n    Voltage.End=0.5\n";
    std::string file = folder.write("cut.kovra", text);
    start({file});
    type(KOV_WindowMain_Thickness, "0.7");
    IupScriptAnswer("was read only up to line 5", "NO");
    key(K_cS);
    EXPECT_EQ(readAll(file), text);
    EXPECT_TRUE(Document_isModified(doc()));

    IupScriptAnswer("was read only up to line 5", "YES");
    key(K_cS);
    EXPECT_FALSE(Document_isModified(doc()));
    EXPECT_EQ(readAll(file).find("Voltage.End"), std::string::npos);
    EXPECT_NE(readAll(file).find("Thickness=0.7"), std::string::npos);
}
