// The text-view preferences in a settings file: written and read back, the
// older "Default" section, broken values ignored key by key, and a broken
// default font size returning everything to the defaults.
#include <gtest/gtest.h>

#include <string>

#include "textPrefs.h"

namespace {

Config* configWith(const char* section, const char* key, const char* value)
{
    Config* config = Config_create();
    Config_addSection(config, section, 1);
    Config_setValue(config, section, key, value, 0, 0);
    return config;
}

TEST(TextPrefs, WrittenPreferencesReadBackUnchanged)
{
    EditorPrefs written;
    EditorPrefs_init(&written, 0);
    written.syntaxEnabled = 0;
    written.lineSpacing = 5;
    written.markerError = 0x0000C0;
    written.styles[0].fore = 0x123456;
    written.styles[0].fontSize = 14;
    written.styles[5].fore = 0xABCDEF;
    written.styles[5].fontStyle = 3;
    written.styles[22].back = 0x102030;
    std::snprintf(written.styles[0].fontName, sizeof written.styles[0].fontName, "%s",
                  "Liberation Mono");
    Config* config = Config_create();
    TextPrefs_write(config, &written);
    EditorPrefs read;
    EditorPrefs_init(&read, 0);
    ASSERT_EQ(TextPrefs_read(config, &read), 1);
    EXPECT_EQ(read.syntaxEnabled, 0);
    EXPECT_EQ(read.lineSpacing, 5);
    EXPECT_EQ(read.markerError, 0x0000C0);
    EXPECT_EQ(read.markerErrorShade, normalizeColor(0x0000C0, 40, 40, 40));
    EXPECT_EQ(read.styles[0].fore, 0x123456);
    EXPECT_EQ(read.styles[5].fore, 0xABCDEF);
    EXPECT_EQ(read.styles[5].fontStyle, 3);
    EXPECT_EQ(read.styles[22].back, 0x102030);
    // Lexer slots share the default font, size and background.
    EXPECT_STREQ(read.styles[5].fontName, "Liberation Mono");
    EXPECT_EQ(read.styles[5].fontSize, 14);
    EXPECT_EQ(read.styles[10].fore, 0x123456);
    Config_destroy(&config);
}

struct KeyCase {
    const char* section;
    const char* key;
    const char* value;
    int EditorPrefs::*field;
    int expected;  // -1: the default stays
};

const KeyCase KEY_CASES[] = {
    {"EditorCommon", "LineSpacing", "1", &EditorPrefs::lineSpacing, -1},
    {"EditorCommon", "LineSpacing", "9", &EditorPrefs::lineSpacing, -1},
    {"EditorCommon", "LineSpacing", "8", &EditorPrefs::lineSpacing, 8},
    {"EditorCommon", "EnableSyntax", "true", &EditorPrefs::syntaxEnabled, -1},
    {"EditorCommon", "EnableSyntax", "0", &EditorPrefs::syntaxEnabled, 0},
    {"EditorCommon", "ShowLinenum", "1", &EditorPrefs::lineNumbers, 1},
};

TEST(TextPrefs, CommonKeysOutsideTheirRangeAreIgnored)
{
    for (const KeyCase& c : KEY_CASES) {
        EditorPrefs prefs;
        EditorPrefs_init(&prefs, 0);
        const int before = prefs.*c.field;
        Config* config = configWith(c.section, c.key, c.value);
        TextPrefs_read(config, &prefs);
        EXPECT_EQ(prefs.*c.field, c.expected < 0 ? before : c.expected) << c.key << "=" << c.value;
        Config_destroy(&config);
    }
}

TEST(TextPrefs, AnOlderDefaultSectionIsReadAndABrokenFontSizeResetsEverything)
{
    EditorPrefs prefs;
    EditorPrefs_init(&prefs, 0);
    Config* old = configWith("Default", "ColorFore", "0000FF");
    ASSERT_EQ(TextPrefs_read(old, &prefs), 1);
    EXPECT_EQ(prefs.styles[0].fore, 0x0000FF);
    Config_destroy(&old);

    Config* broken = configWith("EditorDefault", "FontSize", "50");
    Config_setValue(broken, "EditorCommon", "LineSpacing", "6", 0, 0);
    prefs.styles[0].fore = 0x111111;
    EXPECT_EQ(TextPrefs_read(broken, &prefs), 0);
    EditorPrefs defaults;
    EditorPrefs_init(&defaults, 0);
    EXPECT_EQ(prefs.styles[0].fore, defaults.styles[0].fore);
    EXPECT_EQ(prefs.styles[0].fontSize, defaults.styles[0].fontSize);
    Config_destroy(&broken);
}

}  // namespace
