// The 8-bit twins of the line helpers give what the wide ones give, and the
// key spelling rule of sectioned files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "focore.h"
#include "kovbase.h"

namespace {

TEST(FoConfigNarrow, LineHelpersAgreeWithTheWideOnes)
{
    const char* lines[] = {"  Thickness = 1.5    # um",
                           "Name=\"cell # 1\" ; note",
                           "Model=\"a;b\"",
                           "a=1;2#3",
                           "# a comment line",
                           "Path=\"C:\\x;y\"  @ note",
                           "novalue",
                           "=empty key",
                           "k = ",
                           "tw\xC3\xB6=\xC3\xA9t\xC3\xA9  ; caf\xC3\xA9"};
    for (const char* text : lines) {
        std::string narrow = text;
        std::wstring wide = kov_toWide(text);
        char* narrowComment = nullptr;
        wchar_t* wideComment = nullptr;
        foConfig::remCommentA(narrow.data(), &narrowComment);
        foConfig::remComment(wide.data(), &wideComment);
        EXPECT_EQ(narrow.c_str(), kov_toUtf8(wide.c_str())) << text;
        EXPECT_EQ(narrowComment == nullptr, wideComment == nullptr) << text;
        if (narrowComment != nullptr && wideComment != nullptr) {
            EXPECT_EQ(std::string(narrowComment), kov_toUtf8(wideComment)) << text;
        }

        char key[64], value[64];
        wchar_t wkey[64], wvalue[64];
        const bool a = foConfig::getKeyValueA(narrow.c_str(), key, value, 64, 64);
        const bool b = foConfig::getKeyValue(wide.c_str(), wkey, wvalue, 64, 64);
        EXPECT_EQ(a, b) << text;
        if (a && b) {
            EXPECT_EQ(std::string(key), kov_toUtf8(wkey)) << text;
            EXPECT_EQ(std::string(value), kov_toUtf8(wvalue)) << text;
        }
        std::string trimmed = text;
        std::wstring wtrimmed = kov_toWide(text);
        const int length = foConfig::trimA(trimmed.data());
        EXPECT_EQ(length, static_cast<int>(std::strlen(trimmed.c_str())));
        foConfig::trim(wtrimmed.data());
        EXPECT_EQ(trimmed.c_str(), kov_toUtf8(wtrimmed.c_str())) << text;
    }
}

TEST(FoConfigNarrow, KeysTakeTheirSectionsSpelling)
{
    const struct {
        const char* section;
        bool bare;
        const char* key;
        size_t size;
        const char* result;
    } cases[] = {
        {"Device", true, "Device.Temperature", 64, "Temperature"},
        {"Device", true, "Temperature", 64, "Temperature"},
        {"Layer2", true, "Layer2.Thickness", 64, "Thickness"},
        {"Layer2", true, "Layer1.Thickness", 64, "Layer1.Thickness"},  // another layer's name stays
        {"Layer2", true, "layer2.Thickness", 64, "layer2.Thickness"},  // exact case only
        {"Anode", false, "Phi", 64, "Anode.Phi"},
        {"Anode", false, "Anode.Phi", 64, "Anode.Phi"},
        {"Voltage", false, "VoltageStart", 64, "VoltageStart"},  // the dot is not needed
        {"Voltage", false, "Start", 10, "Start"},                // would not fit: as written
        {"Voltage", false, "Start", 14, "Voltage.Start"},        // exact fit
        {"Anode", false, "1x", 64, "1x"},                        // only keys with a letter first
    };
    for (const auto& c : cases) {
        char key[64];
        kov_copyA(key, sizeof key, c.key);
        foConfig::normalizeKeyA(c.section, c.bare, key, c.size);
        EXPECT_STREQ(key, c.result) << c.section << " " << c.key;
        std::wstring wide = kov_toWide(c.key);
        wide.resize(64, L'\0');
        foConfig::normalizeKey(kov_toWide(c.section).c_str(), c.bare, wide.data(), c.size);
        EXPECT_EQ(kov_toUtf8(wide.c_str()), c.result) << c.section << " " << c.key;
    }
}

}  // namespace
