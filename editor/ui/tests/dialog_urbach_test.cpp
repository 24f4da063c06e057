// The Urbach Tail dialog: eight values and the toggle that decides whether
// the tail reaches the device file.
#include "DialogTestSupport.h"

#include <cstdio>

#include "deviceFile.h"
#include "kovraHandles.h"

namespace {

const DialogDescription& U = UrbachDialog;

const char* const ValueKeys[] = {"Urbach.EA",    "Urbach.ED",    "Urbach.GA",    "Urbach.GD",
                                 "Urbach.TaunA", "Urbach.TaupA", "Urbach.TaunD", "Urbach.TaupD"};

// The layer's section as the writer writes it.
std::string written(Layer* layer)
{
    FILE* stream = std::tmpfile();
    Params_write(stream, layer->records, layer->count, nullptr);
    std::rewind(stream);
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        text.append(buffer, n);
    }
    std::fclose(stream);
    return text;
}

struct UrbachCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;   // null: unchanged
    const char* refusal;  // null: taken
};

TEST_F(DialogTest, UrbachTableOfEntries)
{
    const UrbachCase cases[] = {
        {"EA", "Urbach.EA", "0.05", "0.05", nullptr},
        {"GD", "Urbach.GD", "1e19", "1e+19", nullptr},
        {"TaupD", "Urbach.TaupD", "2e-9/2", "2e-9/2", nullptr},
        {"ED", "Urbach.ED", "-0.1", nullptr, "ED (eV): invalid value"},
        {"GA", "Urbach.GA", "lots", nullptr, "GA (1/cm3/eV): invalid expression for Urbach.GA"},
    };
    for (const UrbachCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        ParamRecord* record = Layer_findParam(layer(1), c.key);
        const std::string before = recordText(record);
        Document_setModified(document(), 0);
        WindowUrbach_show();
        type(U, c.word, c.text);
        click(U, "OK");
        if (c.refusal == nullptr) {
            EXPECT_FALSE(Dialog_isOpen(&U));
            EXPECT_EQ(recordText(record), c.stored);
            EXPECT_TRUE(Document_isModified(document()));
        } else {
            EXPECT_TRUE(Dialog_isOpen(&U));
            EXPECT_EQ(recordText(record), before);
            EXPECT_NE(message(U).find(c.refusal), std::string::npos) << message(U);
            EXPECT_FALSE(Document_isModified(document()));
            Dialog_close(&U);
        }
    }
}

TEST_F(DialogTest, UrbachToggleDecidesWhatIsWritten)
{
    ASSERT_EQ(written(layer(1)).find("Urbach."), std::string::npos) << "a new layer writes no tail";
    WindowUrbach_show();
    EXPECT_EQ(value(ctl(U, "Enable")), "OFF");
    IupSetAttribute(ctl(U, "Enable"), "VALUE", "ON");
    click(U, "Apply");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Urbach.Enable")), "Yes");
    EXPECT_TRUE(Document_isModified(document()));
    std::string file = written(layer(1));
    EXPECT_NE(file.find("Urbach.Enable"), std::string::npos) << file;
    for (const char* key : ValueKeys) {
        EXPECT_NE(file.find(key), std::string::npos) << key << " is written though never edited";
    }

    type(U, "EA", "0.07");
    IupSetAttribute(ctl(U, "Enable"), "VALUE", "OFF");
    Document_setModified(document(), 0);
    click(U, "OK");
    EXPECT_TRUE(Document_isModified(document())) << "turning the tail off changes the file";
    file = written(layer(1));
    EXPECT_EQ(file.find("Urbach."), std::string::npos) << file;
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Urbach.EA")), "0.07")
        << "the layer keeps its values";
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Urbach.Enable")), "No");
}

TEST_F(DialogTest, UrbachRefusalLeavesTheToggleUntaken)
{
    ASSERT_EQ(Layer_setParam(layer(2), "Urbach.Enable", "YES", nullptr, nullptr, 0), 1);
    recorder.mainLayer = 2;
    WindowUrbach_show();
    EXPECT_EQ(value(ctl(U, "Enable")), "ON") << "any case of yes shows on";
    IupSetAttribute(ctl(U, "Enable"), "VALUE", "OFF");
    type(U, "TaunA", "-3");
    click(U, "OK");
    EXPECT_TRUE(Dialog_isOpen(&U));
    EXPECT_NE(message(U).find("TaunA (s): invalid value"), std::string::npos) << message(U);
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Urbach.Enable")), "YES");

    // The refused value also stops a layer switch.
    chooseLayer(U, 1);
    EXPECT_EQ(IupGetInt(ctl(U, "LayerList"), KOV_WindowUrbach_LayerSelected), 2);
    EXPECT_TRUE(recorder.selected.empty());
    type(U, "TaunA", "1e-9");
    chooseLayer(U, 1);
    EXPECT_EQ(IupGetInt(ctl(U, "LayerList"), KOV_WindowUrbach_LayerSelected), 1);
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Urbach.Enable")), "No")
        << "stored into the layer it showed";
    EXPECT_EQ(value(ctl(U, "Enable")), "OFF");
}

TEST_F(DialogTest, UrbachScreenshot)
{
    WindowUrbach_show();
    screenshot(U);
}

}  // namespace
