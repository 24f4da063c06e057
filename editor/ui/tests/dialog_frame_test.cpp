// The parameter dialog frame, driven through the Lattice dialog (its
// plainest instance) and the Temperature dialog (a second one open at once).
#include "DialogTestSupport.h"

#include <cstdio>
#include <fstream>
#include "kovraHandles.h"

namespace {

const DialogDescription& L = LatticeDialog;

TEST_F(DialogTest, ShownOnceRegisteredAndCounted)
{
    WindowLattice_show();
    Ihandle* first = IupGetHandle(KOV_WindowLattice);
    ASSERT_NE(first, nullptr);
    WindowLattice_show();
    EXPECT_EQ(IupGetHandle(KOV_WindowLattice), first) << "a second show builds no second dialog";
    EXPECT_EQ(Dialogs_openCount(), 1);
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 1);
    EXPECT_EQ(std::string(IupGetAttribute(first, "DEFAULTENTER")), KOV_WindowLattice_OK);
}

TEST_F(DialogTest, LoadShowsTheMainWindowsLayerAndBindsRecords)
{
    recorder.mainLayer = 2;
    ASSERT_EQ(Layer_setParam(layer(2), "Lattice.a", "0.3189", nullptr, nullptr, 0), 1);
    WindowLattice_show();
    EXPECT_EQ(IupGetInt(ctl(L, "LayerList"), KOV_WindowLattice_LayerSelected), 2);
    EXPECT_EQ(IupGetInt(ctl(L, "LayerList"), "COUNT"), device()->layerCount);
    EXPECT_EQ(value(ctl(L, "A")), "0.3189");
    EXPECT_EQ(reinterpret_cast<ParamRecord*>(IupGetAttribute(ctl(L, "A"), KOV_Record)),
              Layer_findParam(layer(2), "Lattice.a"));
    EXPECT_EQ(
        reinterpret_cast<ParamRecord*>(IupGetAttribute(ctl(L, "PolarizationScale"), KOV_Record)),
        Params_find(device()->records, device()->recordCount, "Polarization.Scale"));
}

// (field, text) -> record value, revision moved, document modified, refusal words.
struct EntryCase {
    const char* word;
    const char* key;
    bool layerRecord;
    const char* text;
    const char* stored;  // value text afterwards
    bool counted;
    bool taken;
    const char* refusal;  // words in the dialog's message line
};

TEST_F(DialogTest, ApplyTableOfEntries)
{
    const EntryCase cases[] = {
        {"A", "Lattice.a", true, "0.5", "0.5", true, true, ""},
        {"E31", "Lattice.e31", true, "-0.49", "-0.49", true, true, ""},
        {"C33", "Lattice.c33", true, "2*201", "2*201", true, true, ""},
        {"PolarizationScale", "Polarization.Scale", false, "0.5", "0.5", true, true, ""},
        {"A", "Lattice.a", true, "abc", nullptr, false, false, "invalid expression for Lattice.a"},
        {"A", "Lattice.a", true, "50", nullptr, false, false, "invalid value"},
        {"A", "Lattice.a", true, "$nothere", nullptr, false, false, "a (nm):"},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        recorder.mainLayer = 1;
        WindowLattice_show();
        ParamRecord* record = c.layerRecord
                                  ? Layer_findParam(layer(1), c.key)
                                  : Params_find(device()->records, device()->recordCount, c.key);
        ASSERT_NE(record, nullptr);
        const std::string before = recordText(record);
        const int revision = record->revision;
        Document_setModified(document(), 0);
        type(L, c.word, c.text);
        click(L, "Apply");
        EXPECT_EQ(recordText(record), c.stored ? std::string(c.stored) : before);
        EXPECT_EQ(record->revision != revision, c.counted);
        EXPECT_EQ(Document_isModified(document()) != 0, c.counted);
        if (c.taken) {
            EXPECT_EQ(message(L), "");
        } else {
            EXPECT_NE(message(L).find(c.refusal), std::string::npos) << message(L);
            EXPECT_EQ(value(ctl(L, c.word)), c.text) << "the refused text stays in its field";
        }
        Dialog_close(&L);
    }
}

TEST_F(DialogTest, OkClosesOnlyWhenEveryValueWasTaken)
{
    WindowLattice_show();
    type(L, "A", "0.45");
    type(L, "E33", "not a number");
    click(L, "OK");
    EXPECT_TRUE(Dialog_isOpen(&L));
    EXPECT_NE(message(L).find("e33 (C/m2)"), std::string::npos) << message(L);
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Lattice.a")), "0.45")
        << "values before the refusal are taken";
    EXPECT_TRUE(Document_isModified(document())) << "and the document knows it";
    type(L, "E33", "0.73");
    EXPECT_EQ(click(L, "OK"), IUP_IGNORE);
    EXPECT_FALSE(Dialog_isOpen(&L));
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Lattice.e33")), "0.73");
    EXPECT_EQ(Dialogs_openCount(), 0);
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 0);
}

TEST_F(DialogTest, CloseBoxDropsTypedTextAndOkWithNothingChangedLeavesDocumentClean)
{
    WindowLattice_show();
    const std::string before = recordText(Layer_findParam(layer(1), "Lattice.a"));
    type(L, "A", "0.77");
    closeBox(L);
    EXPECT_FALSE(Dialog_isOpen(&L));
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Lattice.a")), before);
    EXPECT_FALSE(Document_isModified(document()));
    WindowLattice_show();
    click(L, "OK");
    EXPECT_FALSE(Dialog_isOpen(&L));
    EXPECT_FALSE(Document_isModified(document()));
}

TEST_F(DialogTest, LayerSwitchStoresIntoTheOldLayerAndFollowsTheMainWindow)
{
    WindowLattice_show();
    type(L, "A", "0.61");
    chooseLayer(L, 2);
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Lattice.a")), "0.61");
    EXPECT_EQ(IupGetInt(ctl(L, "LayerList"), KOV_WindowLattice_LayerSelected), 2);
    EXPECT_EQ(value(ctl(L, "A")), recordText(Layer_findParam(layer(2), "Lattice.a")));
    ASSERT_EQ(recorder.selected.size(), 1u);
    EXPECT_EQ(recorder.selected[0], 2);
}

TEST_F(DialogTest, LayerSwitchWithARefusedValueStaysAndSaysWhy)
{
    WindowLattice_show();
    type(L, "C13", "1e9");
    chooseLayer(L, 3);
    EXPECT_EQ(IupGetInt(ctl(L, "LayerList"), KOV_WindowLattice_LayerSelected), 1);
    EXPECT_EQ(IupGetInt(ctl(L, "LayerList"), "VALUE"), 1);
    EXPECT_EQ(value(ctl(L, "C13")), "1e9");
    EXPECT_NE(message(L).find("c13 (GPa)"), std::string::npos) << message(L);
    EXPECT_TRUE(recorder.selected.empty());
}

TEST_F(DialogTest, FocusTitleShowsTheFieldsCaption)
{
    WindowLattice_show();
    Ihandle* dialog = IupGetHandle(KOV_WindowLattice);
    auto focus = reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(ctl(L, "E31"), "GETFOCUS_CB"));
    auto lost = reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(ctl(L, "E31"), "KILLFOCUS_CB"));
    focus(ctl(L, "E31"));
    EXPECT_EQ(std::string(IupGetAttribute(dialog, "TITLE")), "Lattice - e31 (C/m2)");
    lost(ctl(L, "E31"));
    EXPECT_EQ(std::string(IupGetAttribute(dialog, "TITLE")), "Lattice");
}

class ModelTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-model-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "gan.lua") << "-- lattice\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        DialogTest::TearDown();
    }
    std::string model() { return recordText(Layer_findParam(layer(1), "Lattice.Model")); }
    std::string folder;
};

TEST_F(ModelTest, YesStoresTheFileAndTheModelGovernsTheLayerFields)
{
    WindowLattice_show();
    const std::string a = recordText(Layer_findParam(layer(1), "Lattice.a"));
    IupScriptAnswer("Select lattice model?", "YES");
    IupScriptAnswer(nullptr, (folder + "gan.lua").c_str());
    click(L, "Model");
    EXPECT_EQ(model(), "gan.lua") << "a file beside the device is kept by its bare name";
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(std::string(IupGetAttribute(ctl(L, "Model"), "TITLE")), "Model*...");
    EXPECT_EQ(value(ctl(L, "A")), "Model");
    EXPECT_EQ(IupGetInt(ctl(L, "A"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(L, "PolarizationScale"), "ACTIVE"), 1)
        << "the device-wide value is not the model's";
    click(L, "Apply");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Lattice.a")), a) << "\"Model\" is never stored";

    IupScriptAnswer("Select lattice model?", "NO");
    click(L, "Model");
    EXPECT_EQ(model(), "None");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(L, "Model"), "TITLE")), "Model...");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(L, "Model"), "TIP")), "None");
    EXPECT_EQ(value(ctl(L, "A")), a);
    EXPECT_EQ(IupGetInt(ctl(L, "A"), "ACTIVE"), 1);
}

TEST_F(ModelTest, CancelledQuestionOrFileChoiceChangesNothing)
{
    ASSERT_EQ(Layer_setParam(layer(1), "Lattice.Model", "\"gan.lua\"", "", nullptr, 0), 1);
    WindowLattice_show();
    Document_setModified(document(), 0);
    IupScriptAnswer("Select lattice model?", "CANCEL");
    click(L, "Model");
    IupScriptAnswer("Select lattice model?", "YES");
    IupScriptAnswer(nullptr, "");
    click(L, "Model");
    EXPECT_EQ(model(), "gan.lua");
    EXPECT_FALSE(Document_isModified(document()));
}

TEST_F(ModelTest, AFileElsewhereIsKeptWithItsFullPath)
{
    WindowLattice_show();
    const std::string elsewhere = folder + "models/";
    QDir().mkpath(QString::fromStdString(elsewhere));
    std::ofstream(elsewhere + "a b#1.lua") << "--\n";
    IupScriptAnswer("Select lattice model?", "YES");
    IupScriptAnswer(nullptr, (elsewhere + "a b#1.lua").c_str());
    click(L, "Model");
    EXPECT_EQ(model(), elsewhere + "a b#1.lua") << "a '#' in a path is no comment";
}

TEST_F(DialogTest, NeverSavedDocumentIsNotGivenAModelFile)
{
    WindowLattice_show();
    IupScriptAnswer("Select lattice model?", "YES");
    IupScriptAnswer("Save the device before setting the model file?", "NO");
    click(L, "Model");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Lattice.Model")), "None");
}

TEST_F(DialogTest, TwoDialogsOpenCountAsTwo)
{
    WindowLattice_show();
    WindowTemperature_show();
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 2);
    click(TemperatureDialog, "OK");
    EXPECT_FALSE(Dialog_isOpen(&TemperatureDialog));
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 1)
        << "layer moves stay refused under the Lattice dialog";
    closeBox(L);
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 0);
}

TEST_F(DialogTest, ReplacedDeviceIsNeverWrittenThroughOldRecords)
{
    recorder.mainLayer = 3;
    WindowLattice_show();
    WindowTemperature_show();
    type(L, "A", "0.42");
    Device* fresh = Device_create("fresh");
    ASSERT_NE(fresh, nullptr);
    ASSERT_NE(Device_appendLayer(fresh), nullptr);
    ASSERT_EQ(Layer_setParam(fresh->layers[0], "Lattice.a", "0.55", nullptr, nullptr, 0), 1);
    ASSERT_EQ(Document_setDevice(document(), fresh), 1);  // frees the old device
    // A store before the main window rebinds: layer 3 no longer exists, so
    // nothing is written anywhere.
    EXPECT_EQ(Dialog_store(&L), 0);
    Dialogs_rebindAll();
    EXPECT_EQ(IupGetInt(ctl(L, "LayerList"), "COUNT"), 1);
    EXPECT_EQ(IupGetInt(ctl(L, "LayerList"), KOV_WindowLattice_LayerSelected), 1);
    EXPECT_EQ(value(ctl(L, "A")), "0.55");
    type(TemperatureDialog, "T", "310");
    click(TemperatureDialog, "Apply");
    EXPECT_EQ(recordText(Params_find(fresh->records, fresh->recordCount, "Temperature")), "310");
    Dialogs_closeAll();
    EXPECT_EQ(Dialogs_openCount(), 0);
    EXPECT_FALSE(Dialog_isOpen(&L));
    EXPECT_FALSE(Dialog_isOpen(&TemperatureDialog));
}

TEST_F(DialogTest, Screenshots)
{
    WindowLattice_show();
    screenshot(L);
    WindowTemperature_show();
    screenshot(TemperatureDialog);
}

}  // namespace
