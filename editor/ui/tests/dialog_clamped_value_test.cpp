// A value a record takes at its nearest limit: the dialog's field shows the
// value in force after the store, the message line says so, and a second
// store enters the value in force, so the warning is given once.
#include "DialogTestSupport.h"

#include <algorithm>

namespace {

class ClampedValueTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_EQ(
            Param_setValueText(Device_findNumericParam(device(), "Numeric.Mesh"), "Layer", "", 0),
            1);
    }
    long warnings(const std::string& part)
    {
        return std::count_if(recorder.console.begin(), recorder.console.end(),
                             [&](const std::string& line) {
                                 return line.find("[WARNING]") != std::string::npos &&
                                        line.find(part) != std::string::npos;
                             });
    }
};

TEST_F(ClampedValueTest, TheFieldShowsTheValueInForceAndOkWarnsNoMore)
{
    const DialogDescription& X = NumericDialog;
    WindowNumeric_show();
    type(X, "LayerPoints", "12000");
    click(X, "Apply");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Mesh.Points")), "5000");
    EXPECT_EQ(value(ctl(X, "LayerPoints")), "5000") << "the field shows what the run will use";
    EXPECT_NE(message(X).find("12000 changed to 5000"), std::string::npos) << message(X);
    EXPECT_EQ(warnings("Mesh.Points"), 1);

    click(X, "OK");
    EXPECT_FALSE(Dialog_isOpen(&X));
    EXPECT_EQ(warnings("Mesh.Points"), 1) << "the same warning is not given a second time";
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Mesh.Points")), "5000");
}

// At the lower limit too, and through OK directly; a value in range keeps
// the text typed and leaves the message line empty.
TEST_F(ClampedValueTest, LowerLimitAndAValueInRange)
{
    const DialogDescription& X = NumericDialog;
    WindowNumeric_show();
    type(X, "LayerPoints", "2");
    click(X, "Apply");
    EXPECT_EQ(value(ctl(X, "LayerPoints")), "5");
    EXPECT_NE(message(X).find("Layer Mesh Points"), std::string::npos) << message(X);
    type(X, "LayerPoints", "300");
    click(X, "Apply");
    EXPECT_EQ(value(ctl(X, "LayerPoints")), "300");
    EXPECT_EQ(message(X), "");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Mesh.Points")), "300");
}

}  // namespace
