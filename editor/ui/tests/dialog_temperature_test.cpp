// The Temperature dialog: one device value; its close box stores.
#include "DialogTestSupport.h"

namespace {

const DialogDescription& T = TemperatureDialog;

ParamRecord* temperature(Device* device)
{
    return Params_find(device->records, device->recordCount, "Temperature");
}

struct TemperatureCase {
    const char* text;
    const char* stored;  // null: unchanged
    bool modified;
    const char* refusal;
};

// Each case leaves the dialog with OK, then with its close box.
TEST_F(DialogTest, TemperatureTable)
{
    const TemperatureCase cases[] = {
        {"310", "310", true, nullptr},
        {"300", "300", false, nullptr},  // the template's own value
        {"273.15+25", "273.15+25", true, nullptr},
        {"hot", nullptr, false, "invalid expression for Temperature"},
        {"5000", nullptr, false, "invalid value"},
    };
    for (int closeWithBox = 0; closeWithBox < 2; ++closeWithBox) {
        for (const TemperatureCase& c : cases) {
            SCOPED_TRACE(std::string(c.text) + (closeWithBox ? " (close box)" : " (OK)"));
            ASSERT_EQ(Param_setValueText(temperature(device()), "300", nullptr, 0), 1);
            Document_setModified(document(), 0);
            WindowTemperature_show();
            EXPECT_EQ(value(ctl(T, "T")), "300");
            type(T, "T", c.text);
            if (closeWithBox) {
                closeBox(T);
            } else {
                click(T, "OK");
            }
            EXPECT_EQ(recordText(temperature(device())), c.stored ? c.stored : "300");
            EXPECT_EQ(Document_isModified(document()) != 0, c.modified);
            if (c.refusal == nullptr) {
                EXPECT_FALSE(Dialog_isOpen(&T));
            } else {
                EXPECT_TRUE(Dialog_isOpen(&T)) << "a refused value keeps the dialog open";
                EXPECT_NE(message(T).find(c.refusal), std::string::npos) << message(T);
                EXPECT_NE(message(T).find("T (K)"), std::string::npos) << message(T);
                Dialog_close(&T);
            }
        }
    }
}

}  // namespace
