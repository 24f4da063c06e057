#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

#include "ekInput.h"

namespace {

struct SectionCase {
    int position;
    int id;
    const wchar_t* name;
    const _ekRecord* table;
    int keys;
};

TEST(EkInputKeys, SixteenSectionsWithIdsTablesAndKeyCounts)
{
    const SectionCase cases[] = {
        {0, 0, L"Device", ekInput::RECORD_DEVICE, 3},
        {1, 1, L"Anode", ekInput::RECORD_ANODE, 14},
        {2, 2, L"Layer1", ekInput::RECORD_LAYER, 112},
        {6, 2, L"Layer5", ekInput::RECORD_LAYER, 112},
        {10, 2, L"Layer9", ekInput::RECORD_LAYER, 112},
        {11, 11, L"Cathode", ekInput::RECORD_CATHODE, 14},
        {12, 12, L"Voltage", ekInput::RECORD_VOLTAGE, 7},
        {13, 13, L"Light", ekInput::RECORD_LIGHT, 8},
        {14, 14, L"Numeric", ekInput::RECORD_NUMERIC, 9},
        {15, 15, L"Command", ekInput::RECORD_COMMAND, 3},
    };
    ASSERT_EQ(ekInput::SECTIONCOUNT, 16);
    for (const SectionCase& c : cases) {
        const _ekSection& s = ekInput::SECTION[c.position];
        EXPECT_EQ(s.id, c.id) << c.position;
        EXPECT_STREQ(s.name, c.name);
        EXPECT_EQ(s.records, c.table) << c.position;
        EXPECT_EQ(ekInput::sectionRecordCount(c.position), c.keys) << c.position;
    }
    for (int layer = 2; layer <= 10; ++layer) {
        EXPECT_EQ(ekInput::SECTION[layer].id, 2);
        EXPECT_EQ(std::wstring(ekInput::SECTION[layer].name),
                  L"Layer" + std::to_wstring(layer - 1));
    }
    const _ekSection& end = ekInput::SECTION[ekInput::SECTIONCOUNT];
    EXPECT_EQ(end.id, -1);
    EXPECT_EQ(end.name, nullptr);
    EXPECT_EQ(end.records, nullptr);

    EXPECT_EQ(ekInput::sectionRecordCount(-1), 0);
    EXPECT_EQ(ekInput::sectionRecordCount(16), 0);  // no read past the table
}

TEST(EkInputKeys, SectionNamesMatchWithoutCaseButUntrimmed)
{
    const std::pair<const wchar_t*, int> cases[] = {
        {L"layer2", 3},  {L"LAYER2", 3},   {L"Layer2", 3}, {L" Layer2 ", -1},
        {L"device", 0},  {L"COMMAND", 15}, {L"Layer", -1}, {L"Layer10", -1},
        {L"Signal", -1}, {L"", -1},        {nullptr, -1},
    };
    for (const auto& [name, position] : cases) {
        EXPECT_EQ(ekInput::sectionIndex(name), position) << (name ? name : L"(null)");
    }
}

TEST(EkInputKeys, DopantFFoundAtFirstPosition)
{
    bool isText = true;
    EXPECT_EQ(ekInput::keyIndex(L"Layer1", L"Dopant.F", &isText), 55);
    EXPECT_FALSE(isText);
    EXPECT_EQ(ekInput::keyIndex(L"layer4", L"dopant.f", &isText), 55);
    EXPECT_STREQ(ekInput::RECORD_LAYER[59].key, L"Dopant.F");
}

struct KeyCase {
    const wchar_t* section;
    const wchar_t* key;
    int position;
    bool isText;
};

TEST(EkInputKeys, KeyLookupGivesPositionAndTextFlag)
{
    const KeyCase cases[] = {
        {L"Device", L"Name", 0, true},
        {L"Device", L"polarization.scale", 2, false},
        {L"Anode", L"Anode.Type", 1, true},
        {L"Cathode", L"Cathode.Type", 1, false},
        {L"Anode", L"Anode.Material", 9, false},
        {L"Anode", L"Anode.Index.Database", 13, true},
        {L"Layer7", L"Trap.Count", 105, false},
        {L"Layer7", L"Mesh.Points", 111, false},
        {L"Layer3", L"BandgapType", 5, true},
        {L"Layer9", L"Trap5.Taup", 99, false},
        {L"Voltage", L"Voltage.Source", 0, true},
        {L"Voltage", L"Voltage.Points", 6, false},
        {L"Light", L"LIGHT.PROPAGATION", 7, true},
        {L"Numeric", L"Numeric.Guess", 8, true},
        {L"Command", L"Command.Plot", 2, true},
    };
    for (const KeyCase& c : cases) {
        bool isText = !c.isText;
        EXPECT_EQ(ekInput::keyIndex(c.section, c.key, &isText), c.position) << c.key;
        EXPECT_EQ(isText, c.isText) << c.key;
    }
}

TEST(EkInputKeys, UnknownSectionOrKeyLeavesFlag)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Signal", L"Name"},        {L"Layer10", L"Thickness"},   {nullptr, L"Name"},
        {L"Device", nullptr},        {L"Anode", L"Phi"},           {L"Layer1", L"Layer1.Name"},
        {L"Device", L"Device.Name"}, {L"Voltage", L"Light.Start"},
    };
    for (const auto& [section, key] : cases) {
        bool isText = true;
        EXPECT_EQ(ekInput::keyIndex(section, key, &isText), -1) << (key ? key : L"(null)");
        EXPECT_TRUE(isText);
    }
    EXPECT_EQ(ekInput::keyIndex(L"Device", L"Name", nullptr), 0);
}

TEST(EkInputKeys, EveryKeyIsFoundAtItsOwnPosition)
{
    for (int section = 0; section < ekInput::SECTIONCOUNT; ++section) {
        const _ekSection& s = ekInput::SECTION[section];
        std::set<std::wstring> seen;
        for (int i = 0; s.records[i].key != nullptr; ++i) {
            const _ekRecord& r = s.records[i];
            ASSERT_TRUE(r.type >= 1 && r.type <= 3) << r.key;
            bool isText = false;
            const int found = ekInput::keyIndex(s.name, r.key, &isText);
            if (seen.insert(r.key).second) {
                EXPECT_EQ(found, i) << s.name << " " << r.key;
            } else {
                EXPECT_LT(found, i) << "repeated key " << r.key;
            }
            EXPECT_EQ(isText, ekInput::SECTION[section].records[found].type == 3);
        }
    }
}

TEST(EkInputKeys, ContactTablesDifferOnlyInPrefixAndTypeOfType)
{
    for (int i = 0; i < 14; ++i) {
        std::wstring anode = ekInput::RECORD_ANODE[i].key;
        const std::wstring cathode = ekInput::RECORD_CATHODE[i].key;
        EXPECT_EQ(L"Cathode" + anode.substr(5), cathode) << i;
        if (i != 1) {
            EXPECT_EQ(ekInput::RECORD_ANODE[i].type, ekInput::RECORD_CATHODE[i].type) << i;
        }
    }
}

struct NormalizeCase {
    int section;
    const wchar_t* written;
    const wchar_t* normalized;
    bool known;  // the normalised key is in the section's table
};

TEST(EkInputKeys, NormalizeKeyAddsAndDropsPrefixes)
{
    const NormalizeCase cases[] = {
        {0, L"Device.Temperature", L"Temperature", true},
        {0, L"Device.Name", L"Name", true},
        {0, L"Device", L"Device", false},
        {0, L"device.Name", L"device.Name", false},
        {0, L"Temperature", L"Temperature", true},
        {4, L"Layer3.Thickness", L"Thickness", true},
        {4, L"Thickness", L"Thickness", true},
        {4, L"layer3.Thickness", L"layer3.Thickness", false},
        {4, L"Layer2.Thickness", L"Layer2.Thickness", false},
        {2, L"Layer1.Dopant.F", L"Dopant.F", true},
        {10, L"Layer9.Trap5.N", L"Trap5.N", true},
        {1, L"Phi", L"Anode.Phi", true},
        {1, L"Anode.Phi", L"Anode.Phi", true},
        {1, L"anode.Phi", L"Anode.anode.Phi", false},
        {1, L"AnodePhi", L"AnodePhi", false},
        {11, L"Rn", L"Cathode.Rn", true},
        {12, L"Start", L"Voltage.Start", true},
        {13, L"Flux", L"Light.Flux", true},
        {14, L"Tol", L"Numeric.Tol", true},
        {15, L"Plot", L"Command.Plot", true},
        {1, L"1Phi", L"1Phi", false},  // not a letter first: untouched
        {1, L".Phi", L".Phi", false},
        {1, L"", L"", false},
        {16, L"Phi", L"Phi", false},  // outside the sections
        {-1, L"Phi", L"Phi", false},
    };
    for (const NormalizeCase& c : cases) {
        wchar_t key[ekInput::KEY_WORK_SIZE];
        wcscpy(key, c.written);
        ekInput::normalizeKey(c.section, key);
        EXPECT_STREQ(key, c.normalized) << c.section << " " << c.written;
        if (c.section >= 0 && c.section < 16) {
            const int found = ekInput::keyIndex(ekInput::SECTION[c.section].name, key, nullptr);
            EXPECT_EQ(found >= 0, c.known) << c.written;
        }
    }
}

TEST(EkInputKeys, NormalizeKeyNeverOverrunsTheBuffer)
{
    // 250 characters + "Anode." would need 257 with the terminator.
    std::wstring longKey(250, L'k');
    wchar_t key[ekInput::KEY_WORK_SIZE];
    wcscpy(key, longKey.c_str());
    ekInput::normalizeKey(1, key);
    EXPECT_EQ(std::wstring(key), longKey);

    std::wstring fits(249, L'k');  // "Anode." + 249 = 255 characters
    wcscpy(key, fits.c_str());
    ekInput::normalizeKey(1, key);
    EXPECT_EQ(std::wstring(key), L"Anode." + fits);

    // A smaller caller buffer is respected too.
    wchar_t small[10] = L"Phi";
    ekInput::normalizeKey(11, small, sizeof(small) / sizeof(small[0]));  // "Cathode.Phi" needs 12
    EXPECT_STREQ(small, L"Phi");
    ekInput::normalizeKey(1, small, sizeof(small) / sizeof(small[0]));  // "Anode.Phi" needs 10
    EXPECT_STREQ(small, L"Anode.Phi");
}

}  // namespace
