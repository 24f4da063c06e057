// The settings file "kovradevice.kovr": written and read back, and the
// check of every key when read.
#include <cstring>
#include <string>

#include "docTestSupport.h"
#include "libkovra.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { config = Config_create(); }
    void TearDown() override { Config_destroy(&config); }
    // Reads a file of the given text into s; the result of the read.
    int read(const std::string& text)
    {
        const std::string path = folder.write("kovradevice.kovr", text);
        return Settings_readConfig(config, path.c_str(), &s);
    }
    DocRecorder recorder;
    TempFolder folder{"kovradoc-settings-"};
    Config* config = nullptr;
    Settings s{};
};

TEST_F(SettingsFile, WrittenAndReadBack)
{
    Settings out;
    Settings_setDefaults(&out);
    const std::string input = folder.write("input.kovra", "# Kovra <SL>\n");
    std::strcpy(out.DefaultMaterial, "GaAs");
    std::strcpy(out.DefaultInput, input.c_str());
    out.DeviceColorize = COLORIZE_MESH;
    std::strcpy(out.FileRecent[0], "/a/one.kovra");
    std::strcpy(out.FileRecent[1], "/b/two with blanks.kovra");
    out.FileLastOpenEnable = 1;
    std::strcpy(out.FileLastOpen, input.c_str());
    out.WindowMainWidth = 1200;
    out.WindowMainHeight = 900;
    out.WindowMainMaximized = 1;
    out.ViewStatusbar = 0;
    const std::string path = folder.path() + "kovradevice.kovr";
    ASSERT_EQ(Settings_writeConfig(config, path.c_str(), nullptr, &out), 1);
    const std::string text = readText(path);
    EXPECT_NE(text.find("FileRecent02"), std::string::npos);
    EXPECT_EQ(text.find("FileRecent03"), std::string::npos);
    EXPECT_EQ(text.find("ReopenRecent"), std::string::npos);

    ASSERT_EQ(Settings_readConfig(config, path.c_str(), &s), 1);
    EXPECT_STREQ(s.DefaultMaterial, "GaAs");
    EXPECT_STREQ(s.DefaultInput, input.c_str());
    EXPECT_EQ(s.DeviceColorize, COLORIZE_MESH);
    EXPECT_STREQ(s.FileRecent[0], "/a/one.kovra");
    EXPECT_STREQ(s.FileRecent[1], "/b/two with blanks.kovra");
    EXPECT_STREQ(s.FileRecent[2], "");
    EXPECT_EQ(s.FileLastOpenEnable, 1);
    EXPECT_STREQ(s.FileLastOpen, input.c_str());
    EXPECT_EQ(s.WindowMainWidth, 1200);
    EXPECT_EQ(s.WindowMainHeight, 900);
    EXPECT_EQ(s.WindowMainMaximized, 1);
    EXPECT_EQ(s.ViewStatusbar, 0);
    EXPECT_EQ(s.ViewActionbar, 1);
}

TEST_F(SettingsFile, EachKeyIsCheckedAndABadValueKeepsItsDefault)
{
    ASSERT_EQ(read("[Common]\nDefaultMaterial=\"si\"\nDefaultInput=\"/no/such/file\"\n"
                   "DeviceColorize=\"mesh\"\n[Recent]\nFileRecent01=\"/x/A.kovra\"\n"
                   "FileRecent03=\"/y/B.kovra\"\nFileRecent04=\"/x/a.kovra\"\n"
                   "FileLastOpenEnable=yes\nFileLastOpen=\"/x/A.kovra\"\n"
                   "[GUI]\nWindowMainWidth=719\nWindowMainHeight=480\nWindowMainMaximized=YES\n"
                   "ViewStatusbar=no\n"),
              1);
    EXPECT_STREQ(s.DefaultMaterial, "Si");  // "si" is no built-in name
    EXPECT_STREQ(s.DefaultInput, "");       // no such file
    EXPECT_EQ(s.DeviceColorize, COLORIZE_MESH);
    EXPECT_STREQ(s.FileRecent[0], "/x/A.kovra");
    EXPECT_STREQ(s.FileRecent[1], "/y/B.kovra");  // no gap, the duplicate dropped
    EXPECT_STREQ(s.FileRecent[2], "");
    EXPECT_EQ(s.FileLastOpenEnable, 0);  // "yes" is not "Yes"
    EXPECT_STREQ(s.FileLastOpen, "");
    EXPECT_EQ(s.WindowMainWidth, 1024);
    EXPECT_EQ(s.WindowMainHeight, 480);
    EXPECT_EQ(s.WindowMainMaximized, 1);  // read ignoring case
    EXPECT_EQ(s.ViewStatusbar, 1);        // "no" is not "No"
}

TEST_F(SettingsFile, MissingOrEmptyFileGivesTheDefaults)
{
    EXPECT_EQ(Settings_readConfig(config, (folder.path() + "none.kovr").c_str(), &s), 0);
    EXPECT_STREQ(s.DefaultMaterial, "Si");
    EXPECT_EQ(s.WindowMainWidth, 1024);
    EXPECT_EQ(read("; nothing but a comment\n"), 0);
    EXPECT_EQ(Settings_writeConfig(nullptr, "x", nullptr, &s), 0);
}

}  // namespace

namespace {

TEST_F(SettingsFile, WindowSizeMustFitTheScreen)
{
    DocHooks hooks{};
    hooks.getSettings = []() { return &DocRecorder::current()->settings; };
    hooks.screenSize = [](int* w, int* h) {
        *w = 1000;
        *h = 700;
        return 1;
    };
    Doc_setHooks(&hooks);
    ASSERT_EQ(read("[GUI]\nWindowMainWidth=1001\nWindowMainHeight=700\n"), 1);
    EXPECT_EQ(s.WindowMainWidth, 1024);  // wider than the screen: the default stays
    EXPECT_EQ(s.WindowMainHeight, 700);
    ASSERT_EQ(read("[GUI]\nWindowMainWidth=720\n"), 1);
    EXPECT_EQ(s.WindowMainWidth, 720);
}

}  // namespace
