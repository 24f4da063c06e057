// The shared table of a device file's number ranges: finding a key as each
// side spells it, and the words that name a range.
#include <gtest/gtest.h>

#include <string>

#include "kovKeyLimits.h"

namespace {

TEST(KeyLimits, KeysAreFoundAsTheirSectionsSpellThem)
{
    const struct {
        const char* section;
        const char* key;
        const char* found;  // the table's key, null: none
    } cases[] = {
        {"Layer4", "Trap3.Taun", "Trap#.Taun"},
        {"Layer1", "Trap5.F", "Trap#.F"},
        {"Layer1", "Trap6.N", nullptr},  // five traps only
        {"Layer1", "Trap.Count", "Trap.Count"},
        {"Cathode", "Cathode.Rn", "Rn"},
        {"Cathode", "Anode.Rn", nullptr},  // another contact's key
        {"Anode", "Rn", nullptr},          // a contact key carries its name
        {"Device", "Temperature", "Temperature"},
        {"Voltage", "Voltage.Jsup", "Voltage.Jsup"},
        {"Voltage", "voltage.jsup", nullptr},    // spelled as the tables spell it
        {"Numeric", "Numeric.Method", nullptr},  // a word, no range
        {"Command", "Command.OutDir", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " " + c.key);
        const KovKeyLimit* limit = kov_findKeyLimit(c.section, c.key);
        if (c.found == nullptr) {
            EXPECT_EQ(limit, nullptr);
        } else {
            ASSERT_NE(limit, nullptr);
            EXPECT_STREQ(limit->key, c.found);
        }
    }
    // The engine spells its keys in wide text.
    const KovKeyLimit* wide = kov_findKeyLimit(L"Layer2", L"Dopant.Taun");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->maximum, 1000.0);
    static_assert(kov_keyLimit(KovKeySection::LAYER, "Mesh.Points").outside == KovOutside::CLAMP);
}

TEST(KeyLimits, EveryKeyOfASectionStandsOnceWithAnOrderedRange)
{
    for (size_t i = 0; i < KOV_KEY_LIMIT_COUNT; ++i) {
        const KovKeyLimit& a = KOV_KEY_LIMITS[i];
        SCOPED_TRACE(a.key);
        EXPECT_LT(a.minimum, a.maximum);
        for (size_t j = i + 1; j < KOV_KEY_LIMIT_COUNT; ++j) {
            EXPECT_FALSE(a.section == KOV_KEY_LIMITS[j].section &&
                         std::string(a.key) == KOV_KEY_LIMITS[j].key);
        }
    }
}

TEST(KeyLimits, RangesAreNamedInTheSuitesNumberForm)
{
    EXPECT_EQ(kov_rangeText(1e-4, 1e8, "cm/s"), "from 0.0001 to 1e+08 cm/s");
    EXPECT_EQ(kov_rangeText(-10, 10, ""), "from -10 to 10");
    EXPECT_EQ(kov_rangeText(1e-15, 1000, nullptr), "from 1e-15 to 1000");
    EXPECT_EQ(kov_rangeText(*kov_findKeyLimit("Layer1", "Mesh.Points")), "from 5 to 5000 points");
    EXPECT_EQ(kov_limitNumberText(99.99), "99.99");
}

}  // namespace
