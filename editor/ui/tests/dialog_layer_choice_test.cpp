// Every dialog with a layer list of its own: choosing another layer there
// moves the list, the fields and the layer a store changes together, and
// the main window follows; none of the three is left on the old layer.
#include "DialogTestSupport.h"

namespace {

struct LayerDialogCase {
    const DialogDescription* description;
    void (*show)();
    // A field of the layer and its record: the value layer 2 and layer 3
    // hold before, and what the user types on layer 3 (null word: the
    // dialog has no plain field of the layer to type into).
    const char* word;
    const char* key;
    const char* second;
    const char* third;
    const char* typed;
};

const LayerDialogCase LayerDialogs[] = {
    {&ParamDialog, WindowParam_show, "Thickness", "Thickness", "2", "3", "5"},
    {&DopingDialog, WindowDoping_show, "N", "Dopant.N", "1e+16", "2e+16", "5e+16"},
    {&IndexDialog, WindowIndex_show, "n", "Index.n", "3.1", "3.2", "3.5"},
    {&LatticeDialog, WindowLattice_show, "A", "Lattice.a", "0.31", "0.32", "0.35"},
    {&MobilityDialog, WindowMobility_show, "N", "Mobility.N", "100", "200", "500"},
    {&NumericDialog, WindowNumeric_show, "LayerPoints", "Mesh.Points", "100", "200", "500"},
    {&UrbachDialog, WindowUrbach_show, "EA", "Urbach.EA", "0.01", "0.02", "0.05"},
    {&TrapDialog, WindowTrap_show, nullptr, nullptr, nullptr, nullptr, nullptr},
};

class LayerChoiceTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        // Three layers told apart by name and dopant mark.
        ASSERT_EQ(Param_setValueText(Layer_findParam(layer(2), "Label"), "Base", "", 0), 1);
        ASSERT_EQ(Param_setValueText(Layer_findParam(layer(3), "Label"), "Si", "", 0), 1);
        ASSERT_NE(Layer_setDopantType(layer(2), DOPANT_ACCEPTOR), DOPANT_UNKNOWN);
        ASSERT_NE(Layer_setDopantType(layer(3), DOPANT_DONOR), DOPANT_UNKNOWN);
        // The layer mesh points are live only with a mesh of the layers.
        ASSERT_NE(Device_findNumericParam(device(), "Numeric.Mesh"), nullptr);
        ASSERT_EQ(
            Param_setValueText(Device_findNumericParam(device(), "Numeric.Mesh"), "Layer", "", 0),
            1);
    }
    std::string layerText(int number, const char* key)
    {
        return recordText(Layer_findParam(layer(number), key));
    }
    std::string listText(const DialogDescription& description)
    {
        const char* text = IupGetAttribute(ctl(description, "LayerList"), "VALUESTRING");
        return text != nullptr ? text : "";
    }
    int selectedAttribute(const DialogDescription& description)
    {
        return IupGetInt(ctl(description, "LayerList"),
                         (std::string(description.handle) + "_LayerSelected").c_str());
    }
};

TEST_F(LayerChoiceTest, TheListTheFieldsAndTheStoreFollowTheChosenLayer)
{
    for (const LayerDialogCase& c : LayerDialogs) {
        SCOPED_TRACE(c.description->handle);
        if (c.word != nullptr) {
            ASSERT_EQ(Layer_setParam(layer(2), c.key, c.second, "", nullptr, 0), 1);
            ASSERT_EQ(Layer_setParam(layer(3), c.key, c.third, "", nullptr, 0), 1);
        }
        recorder.mainLayer = 2;
        recorder.selected.clear();
        c.show();
        ASSERT_TRUE(Dialog_isOpen(c.description));
        EXPECT_EQ(listText(*c.description), "2 Base (P)");

        // The user picks layer 3 in the dialog's own list.
        IupTestSelect(ctl(*c.description, "LayerList"), 3);

        EXPECT_EQ(recorder.selected, std::vector<int>{3}) << "the main window follows";
        EXPECT_EQ(IupGetInt(ctl(*c.description, "LayerList"), "VALUE"), 3);
        EXPECT_EQ(listText(*c.description), "3 Si (N)") << "the list names the layer it edits";
        EXPECT_EQ(selectedAttribute(*c.description), 3);
        EXPECT_EQ(Dialog_selectedLayer(c.description), layer(3));
        if (c.word != nullptr) {
            EXPECT_EQ(value(ctl(*c.description, c.word)), c.third) << "the fields show layer 3";
            type(*c.description, c.word, c.typed);
            click(*c.description, "Apply");
            EXPECT_EQ(message(*c.description), "");
            EXPECT_EQ(layerText(3, c.key), c.typed) << "Apply changes the layer the list names";
            EXPECT_EQ(layerText(2, c.key), c.second) << "the layer left keeps its value";
            EXPECT_EQ(listText(*c.description), "3 Si (N)") << "a store keeps the list where it is";
        }
        Dialog_close(c.description);
    }
}

// Going back and forth: each choice lands where it was made, also after a
// store rebuilt the list in between.
TEST_F(LayerChoiceTest, BackAndForthAfterAStoreThatRebuildsTheList)
{
    for (const LayerDialogCase& c : LayerDialogs) {
        SCOPED_TRACE(c.description->handle);
        recorder.mainLayer = 1;
        c.show();
        for (int number : {3, 2, 1, 3}) {
            IupTestSelect(ctl(*c.description, "LayerList"), number);
            EXPECT_EQ(IupGetInt(ctl(*c.description, "LayerList"), "VALUE"), number);
            EXPECT_EQ(selectedAttribute(*c.description), number);
            EXPECT_EQ(recorder.mainLayer, number);
            click(*c.description, "Apply");
            EXPECT_EQ(IupGetInt(ctl(*c.description, "LayerList"), "VALUE"), number);
            EXPECT_EQ(Dialog_selectedLayer(c.description), layer(number));
        }
        Dialog_close(c.description);
    }
}

}  // namespace
