// The binding of records to controls: fill shows and binds, apply takes the
// active controls' texts in table order and stops at the first refusal.
#include "DialogTestSupport.h"

#include "ParamControls.h"

namespace {

class ParamControlsTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        for (const char* name : {"T_Thickness", "T_Bandgap", "T_Taun"}) {
            Ihandle* text = IupText(nullptr);
            IupSetHandle(name, text);
            controls.push_back(text);
        }
        toggle = IupToggle("Urbach", nullptr);
        IupSetHandle("T_Urbach", toggle);
    }
    void TearDown() override
    {
        for (Ihandle* c : controls) {
            IupDestroy(c);
        }
        IupDestroy(toggle);
        DialogTest::TearDown();
    }
    std::vector<Ihandle*> controls;
    Ihandle* toggle = nullptr;
};

const ControlRow Table[] = {{"T_Thickness", "Thickness"},
                            {"T_Missing", "Bandgap"},
                            {"T_Bandgap", "Bandgap"},
                            {"T_Taun", "Taun"},
                            {nullptr, nullptr}};

TEST_F(ParamControlsTest, FillShowsAndBindsEachRecord)
{
    Layer* l = layer(2);
    Params_fillControls(Table, l->records, l->count);
    EXPECT_EQ(value(IupGetHandle("T_Thickness")), recordText(Layer_findParam(l, "Thickness")));
    EXPECT_EQ(ParamControl_record(IupGetHandle("T_Bandgap")), Layer_findParam(l, "Bandgap"));
    EXPECT_EQ(IupGetInt(IupGetHandle("T_Taun"), "ACTIVE"), 1);

    const ControlRow toggles[] = {{"T_Urbach", "Urbach.Enable"}, {nullptr, nullptr}};
    for (const auto& [text, shown] :
         std::vector<std::pair<const char*, const char*>>{{"Yes", "ON"}, {"No", "OFF"}}) {
        ASSERT_EQ(Layer_setParam(l, "Urbach.Enable", text, nullptr, nullptr, 0), 1);
        Params_fillControlsFromTexts(toggles, l->records, l->count);
        EXPECT_EQ(value(toggle), shown) << text;
        EXPECT_EQ(ParamControl_record(toggle), Layer_findParam(l, "Urbach.Enable"));
    }
}

TEST_F(ParamControlsTest, ApplyTakesActiveTextsAndStopsAtTheFirstRefusal)
{
    Layer* l = layer(1);
    Params_fillControls(Table, l->records, l->count);
    const std::string taun = recordText(Layer_findParam(l, "Taun"));
    IupSetAttribute(IupGetHandle("T_Thickness"), "VALUE", "4");
    IupSetAttribute(IupGetHandle("T_Bandgap"), "VALUE", "-1");
    IupSetAttribute(IupGetHandle("T_Taun"), "VALUE", "5e-7");
    int changed = 0;
    EXPECT_EQ(Params_applyControls(Table, &changed, 0), 0);
    EXPECT_EQ(recordText(Layer_findParam(l, "Thickness")), "4")
        << "rows before the refusal are taken";
    EXPECT_EQ(recordText(Layer_findParam(l, "Taun")), taun) << "rows after it are not";
    EXPECT_EQ(changed, 1);

    // An inactive control and an empty one are left alone.
    IupSetAttribute(IupGetHandle("T_Bandgap"), "ACTIVE", "NO");
    IupSetAttribute(IupGetHandle("T_Thickness"), "VALUE", "");
    changed = 0;
    EXPECT_EQ(Params_applyControls(Table, &changed, 0), 1);
    EXPECT_EQ(recordText(Layer_findParam(l, "Thickness")), "4");
    EXPECT_EQ(recordText(Layer_findParam(l, "Taun")), "5e-07");
    EXPECT_EQ(changed, 1);
}

}  // namespace
