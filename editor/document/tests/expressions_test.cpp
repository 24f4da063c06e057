// Values written as expressions keep their text: a file is saved back with
// each expression as the user wrote it, a field shows it, and a change of a
// variable it uses gives the record its new value.
#include <string>

#include "docTestSupport.h"

namespace {

class Expressions : public DocTest {
protected:
    // A copy of examples/variables.kovra, opened.
    void openVariablesExample()
    {
        path = folder.write("variables.kovra",
                            readText(std::string(KOVRA_SOURCE_DIR) + "/examples/variables.kovra"));
        ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    }
    std::string saved()
    {
        EXPECT_EQ(Device_save(document(), path.c_str()), 1);
        return readText(path);
    }
    ParamRecord* layerRecord(int layer, const char* key)
    {
        return Layer_findParam(device()->layers[layer], key);
    }
    ParamRecord* temperature()
    {
        return Params_find(device()->records, device()->recordCount, "Temperature");
    }
    static std::string shown(const ParamRecord* record)
    {
        char text[PARAM_VALUE_SIZE];
        Param_valueText(record, text, sizeof text);
        return text;
    }
    std::string path;
};

TEST_F(Expressions, AFileIsSavedBackWithItsExpressionsAsWritten)
{
    const std::string text = "# Kovra <SL>\n$t = 0.5\n[Device]\n    Temperature=273.15 + 27\n"
                             "[Layer1]\n    Thickness=$t * 4\n    Dopant.N=1e16\n"
                             "    Mesh.Points=2 * 75\n    Dopant.Taun=$t\n"
                             "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n"
                             "    Voltage.End=0.7\n    Voltage.Step=0.7 / 70\n";
    path = folder.write("expressions.kovra", text);
    ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    const struct {
        ParamRecord* record;
        const char* line;  // as saved
        double value;
    } cases[] = {
        {temperature(), "    Temperature=273.15 + 27\n", 300.15},
        {layerRecord(0, "Thickness"), "    Thickness=$t * 4\n", 2.0},
        {layerRecord(0, "Dopant.N"), "    Dopant.N=1e+16\n", 1e16},
        {layerRecord(0, "Mesh.Points"), "    Mesh.Points=2 * 75\n", 150},
        {layerRecord(0, "Dopant.Taun"), "    Dopant.Taun=$t\n", 0.5},
        {Device_findVoltageParam(device(), "Voltage.Step"), "    Voltage.Step=0.7 / 70\n", 0.01},
    };
    const std::string first = saved();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_NE(c.record, nullptr);
        const double value =
            c.record->type == PARAM_INTEGER ? c.record->value.integer : c.record->value.real;
        EXPECT_NEAR(value, c.value, 1e-12 * c.value);
        EXPECT_NE(first.find(c.line), std::string::npos) << first;
        // The field shows what the file says.
        EXPECT_EQ("    " + std::string(c.record->key) + "=" + shown(c.record) + "\n", c.line);
    }
    // Read back, the saved file gives the same device and the same text.
    ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    EXPECT_EQ(saved(), first);
}

// In examples/variables.kovra Dopant.Taup is $tau / 2: a new $tau gives it
// a new value, and the file still says $tau / 2.
TEST_F(Expressions, AnExpressionFollowsTheVariablesItUses)
{
    openVariablesExample();
    ParamRecord* taup = layerRecord(1, "Dopant.Taup");
    ParamRecord* doping = layerRecord(0, "Dopant.N");  // 1000 * $doping
    ASSERT_DOUBLE_EQ(taup->value.real, 5e-6);
    ASSERT_DOUBLE_EQ(doping->value.real, 1e19);

    ASSERT_NE(Device_setVariable(device(), "$tau", "4e-5"), 0) << Device_variableRefusal();
    EXPECT_DOUBLE_EQ(taup->value.real, 2e-5);
    EXPECT_DOUBLE_EQ(layerRecord(1, "Dopant.Taun")->value.real, 4e-5);
    EXPECT_EQ(shown(taup), "$tau / 2");
    ASSERT_NE(Device_setVariable(device(), "$doping", "2e15"), 0) << Device_variableRefusal();
    EXPECT_DOUBLE_EQ(doping->value.real, 2e18);

    const std::string text = saved();
    for (const char* line : {"    Dopant.Taup=$tau / 2\n", "    Dopant.N=1000 * $doping\n",
                             "    Temperature=273.15 + 27    #", "    Voltage.Step=0.7 / 70\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
    ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    EXPECT_DOUBLE_EQ(layerRecord(1, "Dopant.Taup")->value.real, 2e-5);
}

// An expression that uses a variable built from another follows both.
TEST_F(Expressions, AnExpressionFollowsAVariableThroughAnother)
{
    openVariablesExample();
    ParamRecord* thickness = layerRecord(0, "Thickness");
    ASSERT_EQ(Param_setValueText(thickness, "$base / 50", nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(thickness->value.real, 0.6);  // $base = 100 * $emitter = 30
    ASSERT_NE(Device_setVariable(device(), "$emitter", "0.2"), 0) << Device_variableRefusal();
    EXPECT_DOUBLE_EQ(thickness->value.real, 0.4);
    EXPECT_NE(saved().find("    Thickness=$base / 50\n"), std::string::npos);
}

// What the user types replaces the expression; a variable deleted leaves
// its expressions their last value, written as a number.
TEST_F(Expressions, AnEditOrADeletedVariableEndsTheExpression)
{
    openVariablesExample();
    ParamRecord* taup = layerRecord(1, "Dopant.Taup");
    ParamRecord* step = Device_findVoltageParam(device(), "Voltage.Step");
    const int revision = step->revision;
    // The same number typed over the expression: the file changes.
    ASSERT_EQ(Param_setValueText(step, "0.01", nullptr, 0), 1);
    EXPECT_EQ(shown(step), "0.01");
    EXPECT_NE(step->revision, revision);

    ASSERT_EQ(Param_setValueText(layerRecord(1, "Dopant.Taun"), "1e-5", nullptr, 0), 1);
    ASSERT_NE(Device_setVariable(device(), "$tau", ""), 0) << Device_variableRefusal();
    EXPECT_DOUBLE_EQ(taup->value.real, 5e-6);
    EXPECT_EQ(shown(taup), "5e-06");

    const std::string text = saved();
    EXPECT_NE(text.find("    Voltage.Step=0.01\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    Dopant.Taup=5e-06\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("$tau"), std::string::npos) << text;
}

// A refused expression changes neither the value nor the expression kept.
TEST_F(Expressions, ARefusedExpressionKeepsTheOldOne)
{
    openVariablesExample();
    ParamRecord* taup = layerRecord(1, "Dopant.Taup");
    EXPECT_EQ(Param_setValueText(taup, "$tau * -2", nullptr, 0), 0);
    EXPECT_EQ(shown(taup), "$tau / 2");
    EXPECT_DOUBLE_EQ(taup->value.real, 5e-6);
}

}  // namespace
