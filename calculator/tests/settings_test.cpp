// The settings file: window settings and all 32 history lines written and
// read back; values outside their ranges are ignored key by key.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "CalcSettings.h"
#include "fifoGuard.h"
#include "tempFolder.h"

namespace {

// Writes the settings, history and console colours of one session and reads
// them into fresh records, through the file on disk, as the window does at
// close and start.
void roundTrip(const CalcSettings& in, const kov_Parser* parserIn, CalcSettings* out,
               kov_Parser* parserOut, const std::string& path, EditorPrefs* prefsOut = nullptr)
{
    EditorPrefs prefsIn{};
    EditorPrefs_init(&prefsIn, 0);
    prefsIn.styles[0].fore = 0x224466;
    prefsIn.lineSpacing = 5;
    Config* config = Config_create();
    ASSERT_EQ(Settings_writeConfig(config, path.c_str(), nullptr, &in, &prefsIn, parserIn), 1);
    Config_destroy(&config);
    config = Config_create();
    EditorPrefs prefs{};
    EditorPrefs_init(&prefs, 0);
    ASSERT_EQ(Settings_readConfig(config, path.c_str(), out, &prefs, parserOut), 1);
    EXPECT_EQ(Config_sectionCount(config), 14);
    EXPECT_EQ(prefs.styles[0].fore, 0x224466);
    EXPECT_EQ(prefs.lineSpacing, 5);
    if (prefsOut != nullptr) {
        *prefsOut = prefs;
    }
    Config_destroy(&config);
}

TEST(CalcSettings, AMissingFileLeavesTheDefaults)
{
    TempFolder folder;
    CalcSettings s;
    kov_copyA(s.windowSize, sizeof s.windowSize, "999x999");
    s.viewNumpad = 0;
    EditorPrefs prefs{};
    EditorPrefs_init(&prefs, 0);
    kov_Parser* parser = kov_ParserCreate();
    Config* config = Config_create();
    EXPECT_EQ(Settings_readConfig(config, folder.file("none.kovr").c_str(), &s, &prefs, parser), 0);
    EXPECT_STREQ(s.windowSize, "480x340");
    EXPECT_EQ(s.viewNumpad, 1);
    EXPECT_EQ(parser->count, 0);
    Config_destroy(&config);
    kov_ParserDelete(&parser);
}

TEST(CalcSettings, EverythingWrittenIsReadBack)
{
    TempFolder folder;
    CalcSettings in;
    Settings_setDefaults(&in);
    in.viewNumpad = 0;
    kov_copyA(in.windowSize, sizeof in.windowSize, "700x500");
    kov_Parser* parser = kov_ParserCreate();
    for (int i = 1; i <= 32; ++i) {
        kov_ParserHistory(parser, ("x = \"" + std::to_string(i) + "\" ; ").c_str());
    }
    kov_Parser* back = kov_ParserCreate();
    CalcSettings out;
    roundTrip(in, parser, &out, back, folder.file(CALC_SETTINGS_FILE));
    EXPECT_EQ(out.viewNumpad, 0);
    EXPECT_STREQ(out.windowSize, "700x500");
    ASSERT_EQ(back->count, 32);  // all 32, not the 24 an older schema listed
    EXPECT_EQ(back->current, 31);
    for (int i = 0; i < 32; ++i) {
        EXPECT_STREQ(back->history[i], parser->history[i]);
    }
    kov_ParserDelete(&parser);
    kov_ParserDelete(&back);
}

TEST(CalcSettings, FiveEntriesGiveCountFiveAndCurrentFour)
{
    TempFolder folder;
    CalcSettings in;
    Settings_setDefaults(&in);
    kov_Parser* parser = kov_ParserCreate();
    for (const char* line : {"1", "2", "3", "4", "5"}) {
        kov_ParserHistory(parser, line);
    }
    kov_Parser* back = kov_ParserCreate();
    CalcSettings out;
    roundTrip(in, parser, &out, back, folder.file(CALC_SETTINGS_FILE));
    EXPECT_EQ(back->count, 5);
    EXPECT_EQ(back->current, 4);
    EXPECT_STREQ(back->history[4], "5");
    EXPECT_EQ(out.viewNumpad, 1);
    kov_ParserDelete(&parser);
    kov_ParserDelete(&back);
}

TEST(CalcSettings, OutOfRangeValuesAreIgnoredKeyByKey)
{
    const struct {
        const char* viewNumpad;
        const char* windowSize;
        int numpad;
        const char* size;
    } cases[] = {
        {"No", "361x500", 0, "480x340"},     {"no", "800x2401", 1, "480x340"},
        {"Yes", "362x302", 1, "362x302"},    {"", "2400x2400", 1, "2400x2400"},
        {"No", "800x600junk", 0, "480x340"}, {"No", "wide", 0, "480x340"},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        const std::string path = folder.file("case.kovr");
        std::ofstream(path) << "[Common]\nViewNumpad=\"" << c.viewNumpad << "\"\nWindowSize=\""
                            << c.windowSize << "\"\n[History]\n";
        Config* config = Config_create();
        ASSERT_NE(Config_load(SettingsSchema, config, path.c_str()), 0);
        CalcSettings s;
        Settings_setDefaults(&s);
        kov_Parser* parser = kov_ParserCreate();
        EXPECT_EQ(CalcSettings_readCommon(config, &s, parser), 1);
        EXPECT_EQ(s.viewNumpad, c.numpad) << c.viewNumpad;
        EXPECT_STREQ(s.windowSize, c.size) << c.windowSize;
        EXPECT_EQ(parser->count, 0);
        kov_ParserDelete(&parser);
        Config_destroy(&config);
    }
}

// A FIFO in the settings file's place is neither read nor written: the
// window would otherwise not appear until something wrote into it.
TEST(CalcSettings, AFifoIsNeitherReadNorWritten)
{
    TempFolder folder;
    const std::string fifo = folder.file("kovracalc.kovr");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    CalcSettings s;
    EditorPrefs prefs{};
    EditorPrefs_init(&prefs, 0);
    kov_Parser* parser = kov_ParserCreate();
    Config* config = Config_create();
    int read = -1, written = -1;
    EXPECT_TRUE(returnsWithoutWaiting(
        fifo, [&] { read = Settings_readConfig(config, fifo.c_str(), &s, &prefs, parser); }));
    EXPECT_EQ(read, 0);
    EXPECT_STREQ(s.windowSize, "480x340");  // the defaults
    EXPECT_TRUE(returnsWithoutWaiting(fifo, [&] {
        written = Settings_writeConfig(config, fifo.c_str(), nullptr, &s, &prefs, parser);
    }));
    EXPECT_EQ(written, 0);
    struct stat info {};
    ASSERT_EQ(stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));  // not replaced by a regular file either
    Config_destroy(&config);
    kov_ParserDelete(&parser);
}

}  // namespace
