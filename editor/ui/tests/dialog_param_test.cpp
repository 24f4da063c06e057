// The Layer Parameters dialog: thirteen fields, three model buttons, the
// intrinsic doping field, the colour swatch and its bond with the Doping
// dialog.
#include "DialogTestSupport.h"

#include <fstream>

namespace {

const DialogDescription& P = ParamDialog;

struct ParamCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;   // null: unchanged
    const char* refusal;  // null: taken
};

TEST_F(DialogTest, ParamTableOfEntries)
{
    const ParamCase cases[] = {
        {"Label", "Label", "absorber", "absorber", nullptr},
        {"Thickness", "Thickness", "2.5", "2.5", nullptr},
        {"Bandgap", "Bandgap", "2*0.6", "2*0.6", nullptr},
        {"NC", "NC", "3e19", "3e+19", nullptr},
        {"Permittivity", "Permittivity", "11.7", "11.7", nullptr},
        {"Taup", "Taup", "1e-6", "1e-06", nullptr},
        {"Doping", "Dopant.N", "5e16", "5e+16", nullptr},
        {"Thickness", "Thickness", "-1", nullptr, "Thickness (um): invalid value"},
        {"Bandgap", "Bandgap", "wide", nullptr, "Bandgap (eV): invalid expression for Bandgap"},
        {"Cn", "Cn", "$nothere", nullptr, "Cn (cm6/s):"},
    };
    for (const ParamCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        ParamRecord* record = Layer_findParam(layer(1), c.key);
        const std::string before = recordText(record);
        Document_setModified(document(), 0);
        WindowParam_show();
        type(P, c.word, c.text);
        click(P, "OK");
        if (c.refusal == nullptr) {
            EXPECT_FALSE(Dialog_isOpen(&P));
            EXPECT_EQ(recordText(record), c.stored);
            EXPECT_TRUE(Document_isModified(document()));
        } else {
            EXPECT_TRUE(Dialog_isOpen(&P));
            EXPECT_EQ(recordText(record), before);
            EXPECT_NE(message(P).find(c.refusal), std::string::npos) << message(P);
            EXPECT_FALSE(Document_isModified(document()));
            Dialog_close(&P);
        }
    }
}

TEST_F(DialogTest, ParamLabelRenamesTheLayerInTheLists)
{
    recorder.mainLayer = 2;
    WindowParam_show();
    type(P, "Label", "window");
    click(P, "Apply");
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Label")), "window");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(P, "LayerList"), "2")).rfind("2 window", 0), 0u)
        << IupGetAttribute(ctl(P, "LayerList"), "2");
    EXPECT_EQ(IupGetInt(ctl(P, "LayerList"), "VALUE"), 2) << "the list stays on its layer";
}

TEST_F(DialogTest, ParamIntrinsicLayerKeepsItsDensity)
{
    ASSERT_EQ(Layer_setDopantType(layer(1), DOPANT_INTRINSIC), DOPANT_INTRINSIC);
    const std::string density = recordText(Layer_findParam(layer(1), "Dopant.N"));
    WindowParam_show();
    EXPECT_EQ(value(ctl(P, "Doping")), "");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(P, "Doping"), "CUEBANNER")), "Intrinsic");
    click(P, "Apply");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Dopant.N")), density);
    EXPECT_FALSE(Document_isModified(document())) << "nothing was changed";
}

TEST_F(DialogTest, ParamAndDopingDialogsReloadEachOther)
{
    WindowParam_show();
    WindowDoping_show();
    type(P, "Doping", "3e17");
    click(P, "Apply");
    EXPECT_EQ(value(ctl(DopingDialog, "N")), "3e+17");
    type(DopingDialog, "N", "4e15");
    click(DopingDialog, "Apply");
    EXPECT_EQ(value(ctl(P, "Doping")), "4e+15");
}

class ParamModelTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-param-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "varshni.lua") << "--\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        DialogTest::TearDown();
    }
    std::string folder;
};

TEST_F(ParamModelTest, EachModelLocksItsOwnFields)
{
    struct Model {
        const char* button;
        const char* key;
        const char* question;
        const char* title;
        std::vector<const char*> governed;
    };
    const Model models[] = {
        {"BandgapModel",
         "Bandgap.Model",
         "Select bandgap model?",
         "Bandgap",
         {"Bandgap", "NC", "NV", "Affinity"}},
        {"PermittivityModel",
         "Permittivity.Model",
         "Select permittivity model?",
         "Permittivity",
         {"Permittivity"}},
        {"RecombinationModel",
         "Recombination.Model",
         "Select recombination model?",
         "Recombination",
         {"Beta", "Cn", "Cp", "Taun", "Taup"}},
    };
    const char* const all[] = {"Label", "Thickness",    "Bandgap", "Affinity", "NC",
                               "NV",    "Permittivity", "Beta",    "Cn",       "Cp",
                               "Taun",  "Taup",         "Doping"};
    WindowParam_show();
    for (const Model& m : models) {
        SCOPED_TRACE(m.button);
        ParamRecord* record = Layer_findParam(layer(1), m.key);
        // Cancel at the question, then at the file chooser: nothing changes.
        IupScriptAnswer(m.question, "CANCEL");
        click(P, m.button);
        IupScriptAnswer(m.question, "YES");
        IupScriptAnswer(nullptr, "");
        click(P, m.button);
        EXPECT_EQ(recordText(record), "None");
        EXPECT_FALSE(Document_isModified(document()));

        IupScriptAnswer(m.question, "YES");
        IupScriptAnswer(nullptr, (folder + "varshni.lua").c_str());
        click(P, m.button);
        EXPECT_EQ(recordText(record), "varshni.lua");
        EXPECT_TRUE(Document_isModified(document()));
        EXPECT_EQ(std::string(IupGetAttribute(ctl(P, m.button), "TITLE")),
                  std::string(m.title) + "*...");
        for (const char* word : all) {
            const bool governed =
                std::find_if(m.governed.begin(), m.governed.end(), [&](const char* g) {
                    return std::string(g) == word;
                }) != m.governed.end();
            EXPECT_EQ(IupGetInt(ctl(P, word), "ACTIVE"), governed ? 0 : 1) << word;
            if (governed) {
                EXPECT_EQ(value(ctl(P, word)), "Model") << word;
            }
        }
        IupScriptAnswer(m.question, "NO");
        click(P, m.button);
        EXPECT_EQ(recordText(record), "None");
        EXPECT_EQ(std::string(IupGetAttribute(ctl(P, m.button), "TITLE")),
                  std::string(m.title) + "...");
        for (const char* word : m.governed) {
            EXPECT_EQ(IupGetInt(ctl(P, word), "ACTIVE"), 1) << word;
        }
        Document_setModified(document(), 0);
    }
}

// The swatch's fill, read back from the drawn canvas.
QColor swatchFill(Ihandle* canvas)
{
    QWidget* widget = iupWidget(canvas);
    const QImage picture = widget->grab().toImage();
    return picture.pixelColor(3, 3);
}

TEST_F(DialogTest, ParamSwatchFollowsTheColouringMode)
{
    WindowParam_show();
    Ihandle* canvas = ctl(P, "LayerCanvas");
    ASSERT_NE(canvas, nullptr);
    recorder.settings.DeviceColorize = COLORIZE_NONE;
    EXPECT_EQ(swatchFill(canvas), QColor(240, 245, 250));
    recorder.settings.DeviceColorize = COLORIZE_DOPING;
    const int* c = layer(1)->dopingColor;
    EXPECT_EQ(swatchFill(canvas), QColor(c[0], c[1], c[2]));
}

TEST_F(DialogTest, ParamScreenshot)
{
    recorder.settings.DeviceColorize = COLORIZE_DOPING;
    WindowParam_show();
    screenshot(P);
}

}  // namespace
