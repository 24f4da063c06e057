// The Light dialog: the source toggles as radio buttons, the fields they
// govern, the spectrum file and the voltage sweep that a wavelength sweep
// switches off.
#include "DialogTestSupport.h"

#include <fstream>

namespace {

const DialogDescription& G = LightDialog;

class LightTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-light-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "lamp.light") << "0.4 1e15\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        DialogTest::TearDown();
    }
    std::string light(const char* key) { return recordText(Device_findLightParam(device(), key)); }
    std::string voltageSource()
    {
        return recordText(Device_findVoltageParam(device(), "Voltage.Source"));
    }
    void setLight(const char* key, const char* text)
    {
        ASSERT_EQ(Param_setValueText(Device_findLightParam(device(), key), text, "", 0), 1);
    }
    static void toggle(const char* word, int on)
    {
        Ihandle* t = ctl(G, word);
        IupSetAttribute(t, "VALUE", on ? "ON" : "OFF");
        auto action = reinterpret_cast<int (*)(Ihandle*, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(t, "ACTION")));
        action(t, on);
    }
    static bool on(const char* word) { return IupGetInt(ctl(G, word), "VALUE") != 0; }
    static bool active(const char* word) { return IupGetInt(ctl(G, word), "ACTIVE") != 0; }
    std::string folder;
};

struct LightCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;
    const char* refusal;
};

TEST_F(LightTest, TableOfEntries)
{
    setLight("Light.Source", "Sweep");
    const LightCase cases[] = {
        {"Flux", "Light.Flux", "2e17", "2e+17", nullptr},
        {"LambdaStart", "Light.Start", "0.3", "0.3", nullptr},
        {"LambdaEnd", "Light.End", "1.1", "1.1", nullptr},
        {"LambdaStep", "Light.Step", "0.1/4", "0.1/4", nullptr},
        {"LambdaStart", "Light.Start", "0.01", nullptr, "Start (um): invalid value"},
        {"Flux", "Light.Flux", "bright", nullptr,
         "Flux (1/cm2/s): invalid expression for Light.Flux"},
    };
    for (const LightCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        const std::string before = light(c.key);
        Document_setModified(document(), 0);
        WindowLight_show();
        type(G, c.word, c.text);
        click(G, "OK");
        EXPECT_EQ(Dialog_isOpen(&G) != 0, c.refusal != nullptr);
        EXPECT_EQ(light(c.key), c.stored != nullptr ? c.stored : before);
        EXPECT_EQ(Document_isModified(document()) != 0, c.refusal == nullptr);
        if (c.refusal != nullptr) {
            EXPECT_NE(message(G).find(c.refusal), std::string::npos) << message(G);
            Dialog_close(&G);
        }
    }
    EXPECT_EQ(light("Light.Source"), "Sweep");
}

TEST_F(LightTest, TogglesActAsRadioButtonsAndGovernTheFields)
{
    setLight("Light.Source", "AM1.5");
    WindowLight_show();
    EXPECT_TRUE(on("AM15"));
    EXPECT_FALSE(active("Flux")) << "the spectrum fixes the flux";
    toggle("Mono", 1);
    EXPECT_FALSE(on("AM15"));
    EXPECT_FALSE(on("Sweep"));
    EXPECT_TRUE(active("Flux"));
    EXPECT_TRUE(active("LambdaStart"));
    EXPECT_FALSE(active("LambdaEnd"));
    EXPECT_FALSE(active("LambdaStep"));
    click(G, "Apply");
    EXPECT_EQ(light("Light.Source"), "Mono");
    EXPECT_TRUE(Document_isModified(document()));

    toggle("Mono", 0);
    for (const char* f : {"Flux", "LambdaStart", "LambdaEnd", "LambdaStep"}) {
        EXPECT_FALSE(active(f)) << f;
    }
    click(G, "OK");
    EXPECT_EQ(light("Light.Source"), "None") << "no toggle on: no light";
}

TEST_F(LightTest, SweepTurnsTheVoltageSweepOffAtOnce)
{
    ASSERT_EQ(voltageSource(), "Sweep");
    WindowLight_show();
    Document_setModified(document(), 0);
    toggle("Sweep", 1);
    EXPECT_EQ(voltageSource(), "None") << "before Apply";
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_TRUE(active("LambdaEnd"));
    closeBox(G);
    EXPECT_EQ(light("Light.Source"), "None") << "the close box stores nothing else";
}

TEST_F(LightTest, SpectrumFileReplacesTheTogglesAndACancelKeepsTheSource)
{
    setLight("Light.Source", "AM1.5");
    WindowLight_show();
    IupScriptAnswer("Select custom light spectrum?", "YES");
    IupScriptAnswer(nullptr, "");
    click(G, "File");
    EXPECT_EQ(light("Light.Source"), "AM1.5") << "a cancelled choice changes nothing";
    EXPECT_FALSE(Document_isModified(document()));

    IupScriptAnswer("Select custom light spectrum?", "YES");
    IupScriptAnswer(nullptr, (folder + "lamp.light").c_str());
    click(G, "File");
    EXPECT_EQ(light("Light.Source"), "lamp.light");
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(std::string(IupGetAttribute(ctl(G, "File"), "TITLE")), "File*...");
    for (const char* t : {"Mono", "AM15", "Sweep"}) {
        EXPECT_FALSE(on(t)) << t;
        EXPECT_FALSE(active(t)) << t;
    }
    EXPECT_FALSE(active("Flux"));
    click(G, "Apply");
    EXPECT_EQ(light("Light.Source"), "lamp.light") << "Apply keeps the file";

    IupScriptAnswer("Select custom light spectrum?", "CANCEL");
    click(G, "File");
    EXPECT_EQ(light("Light.Source"), "lamp.light");
    IupScriptAnswer("Select custom light spectrum?", "NO");
    click(G, "File");
    EXPECT_EQ(light("Light.Source"), "None");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(G, "File"), "TITLE")), "File...");
    EXPECT_TRUE(active("AM15"));
    toggle("AM15", 1);
    click(G, "OK");
    EXPECT_EQ(light("Light.Source"), "AM1.5");
}

TEST_F(LightTest, Screenshot)
{
    setLight("Light.Source", "Sweep");
    WindowLight_show();
    screenshot(G);
}

}  // namespace
