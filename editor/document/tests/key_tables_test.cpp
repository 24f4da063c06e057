// The editor's key tables against the engine's: every key the engine's
// reader accepts reaches a record of the editor or is kept as written, so
// that no key is dropped by opening and saving a file.
#include <cstring>
#include <string>

#include "docTestSupport.h"
#include "ekInput.h"
#include "kovbase.h"

namespace {

TEST_F(DocTest, EveryEngineKeyIsKnownToTheEditor)
{
    Layer* layer = Device_appendLayer(device());
    ASSERT_NE(layer, nullptr);
    int checked = 0;
    for (int s = 0; s < ekInput::SECTIONCOUNT; ++s) {
        const std::string section = kov_toUtf8(ekInput::SECTION[s].name);
        const int number = Section_find(section.c_str());
        ASSERT_EQ(number, s) << section;
        for (const _ekRecord* r = ekInput::SECTION[s].records; r->key != nullptr; ++r) {
            const std::string key = kov_toUtf8(r->key);
            const char* const* kept = Section_keptKeys(s);
            if (kept != nullptr && KeptKeys_find(kept, key.c_str()) != nullptr) {
                ++checked;
                continue;
            }
            ParamRecord* record = recordFor(device(), layer, s, key.c_str());
            ASSERT_NE(record, nullptr)
                << "[" << section << "] " << key << " is unknown to the editor";
            EXPECT_NE(record->type, PARAM_EMPTY)
                << "[" << section << "] " << key << " has no record";
            const bool engineText = r->type == ekInput::TYPE_TEXT;
            // A text of the engine is never read as a number here, except the
            // bandgap type, which both read as 1 or 2.
            if (engineText && key != "BandgapType") {
                EXPECT_EQ(record->type, PARAM_TEXT) << key;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 150);
}

TEST_F(DocTest, EveryEditorKeyIsOneTheEngineReads)
{
    for (int s = 0; s < SEC_COUNT; ++s) {
        const KeyEntry* table = Section_keyTable(s);
        for (int i = 0; table[i].key != nullptr; ++i) {
            const std::string key = table[i].key;
            // Doping.Model hands its value to Dopant.Model, the key written.
            if (key == "Doping.Model") {
                continue;
            }
            bool text = false;
            EXPECT_GE(ekInput::keyIndex(ekInput::SECTION[s].name, kov_toWide(key).c_str(), &text),
                      0)
                << "[" << SectionKeys[s].key << "] " << key;
        }
    }
}

}  // namespace
