// File-name rules: folders split at '/', the extension of the file name
// itself, the Save name, the output-folder text and the tool command line.
#include <gtest/gtest.h>

#include "FileNames.h"

TEST(FileNames, FoldersAndNames)
{
    EXPECT_EQ(FileNames_folder("/home/me/cell.kovra"), "/home/me/");
    EXPECT_EQ(FileNames_folder("C:\\work\\cell.kovra"), "C:\\work\\");
    EXPECT_EQ(FileNames_folder("cell.kovra"), "");
    EXPECT_EQ(FileNames_fileName("/home/me/cell.kovra"), "cell.kovra");
    EXPECT_EQ(FileNames_stem("/w/cell.old.kovra"), "cell.old");
    EXPECT_EQ(FileNames_stem("/w.d/cell"), "cell");
}

TEST(FileNames, KovraExtensionIsThatOfTheFileName)
{
    EXPECT_TRUE(FileNames_hasKovraExtension("/home/me/cell.kovra"));
    EXPECT_TRUE(FileNames_hasKovraExtension("CELL.KOVRA"));
    EXPECT_FALSE(FileNames_hasKovraExtension("/home/x.kovra/notes.txt"));
    EXPECT_FALSE(FileNames_hasKovraExtension("/home/me/.kovra"));
    EXPECT_FALSE(FileNames_hasKovraExtension("/home/me/cell.kovrax"));
}

TEST(FileNames, TheKindOfFileARecordNamesGoesByItsExactEnding)
{
    const struct {
        const char* path;
        bool lua, voltage, light;
    } cases[] = {
        {"model.lua", true, false, false},     {"/w/model.LUA", false, false, false},
        {"sweep.voltage", false, true, false}, {"am15.light", false, false, true},
        {"data.txt", false, true, true},       {"data.dat", false, true, true},
        {"data.txt.bak", false, false, false}, {"", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNames_namesLua(c.path), c.lua) << c.path;
        EXPECT_EQ(FileNames_namesVoltageFile(c.path), c.voltage) << c.path;
        EXPECT_EQ(FileNames_namesLightFile(c.path), c.light) << c.path;
    }
}

TEST(FileNames, SaveNameGetsTheExtensionWhenItHasNone)
{
    EXPECT_EQ(FileNames_saveName("/w/cell"), "/w/cell.kovra");
    EXPECT_EQ(FileNames_saveName("/w/cell."), "/w/cell..kovra");
    EXPECT_EQ(FileNames_saveName("/w/cell.dev"), "/w/cell.dev");
    EXPECT_EQ(FileNames_saveName("/w/a.b"), "/w/a.b.kovra");  // four characters or fewer
    EXPECT_EQ(FileNames_saveName("/w.x/cell"),
              "/w.x/cell.kovra");  // the folder's dot does not count
}

TEST(FileNames, OutputFolderText)
{
    EXPECT_EQ(FileNames_outputFolderText("/data/out/", true, "/w/cell.kovra", true),
              "Output Directory: /data/out/");
    EXPECT_EQ(FileNames_outputFolderText("/data/none/", false, "/w/cell.old.kovra", true),
              "Output Directory: /w/cell.old_out");
    EXPECT_EQ(FileNames_outputFolderText("", false, "", false),
              "Output Directory: automatically set");
}

TEST(FileNames, OutputFoldersOfTheDeviceFileLieBesideIt)
{
    struct Case {
        const char* folder;
        const char* document;
        const char* expected;
    } cases[] = {
        {".", "/w/cell.kovra", "/w/"},
        {"./", "/w/cell.kovra", "/w/"},
        {"results", "/w/cell.kovra", "/w/results"},
        {"./results/", "/w/cell.kovra", "/w/results/"},
        {"../shared", "/w/cell.kovra", "/w/../shared"},
        {"/data/out", "/w/cell.kovra", "/data/out"},
        {"results", "", "results"},  // never saved: nothing to lie beside
        {"", "/w/cell.kovra", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileNames_folderBesideDocument(c.folder, c.document), c.expected) << c.folder;
    }
}

TEST(FileNames, ToolCommandIsTheQuotedPathAndRefusesOverlongFolders)
{
    EXPECT_EQ(FileNames_toolCommand("/opt/kovra/bin/", "kovradatabase"),
              "\"/opt/kovra/bin/kovradatabase\"");
    EXPECT_EQ(FileNames_toolCommand("", "kovraedit"), "");
    EXPECT_EQ(FileNames_toolCommand("/" + std::string(1010, 'd') + "/", "kovradatabase"), "");
}
