// Device variables: listing, defining, deleting and re-applying a changed
// variable to the records that refer to it.
#include <string>

#include "docTestSupport.h"

namespace {

TEST_F(DocTest, DefiningAndDeletingAVariableReachesTheRecordsThatUseIt)
{
    Device* d = device();
    Layer* layer = d->layers[0];
    ASSERT_EQ(Device_setVariable(d, "$x", "0.7"), 1);
    ASSERT_EQ(Layer_setParam(layer, "Thickness", "$x", nullptr, nullptr, 0), 1);
    ASSERT_EQ(Device_setVoltageParam(d, "Voltage.End", "$x", nullptr, nullptr, 0), 1);
    const int revision = Layer_findParam(layer, "Thickness")->revision;

    EXPECT_NE(Device_setVariable(d, "$x", "2"), 0);
    EXPECT_DOUBLE_EQ(Layer_findParam(layer, "Thickness")->value.real, 2);
    EXPECT_DOUBLE_EQ(Device_findVoltageParam(d, "Voltage.End")->value.real, 2);
    // The reference did not change, so neither did the revision.
    EXPECT_EQ(Layer_findParam(layer, "Thickness")->revision, revision);

    EXPECT_NE(Device_setVariable(d, "$x", ""), 0);
    EXPECT_EQ(Device_hasVariable(d, "$x", 0), 0);
    EXPECT_DOUBLE_EQ(Layer_findParam(layer, "Thickness")->value.real, 2);
    EXPECT_STREQ(Layer_findParam(layer, "Thickness")->variableRef, "");

    // Without '$' the same parser variable is set, but no record refers to it.
    ASSERT_EQ(Layer_setParam(layer, "Thickness", "1", nullptr, nullptr, 0), 1);
    EXPECT_NE(Device_setVariable(d, "y", "3"), 0);
    EXPECT_EQ(Device_hasVariable(d, "$y", 0), 1);
    EXPECT_DOUBLE_EQ(Layer_findParam(layer, "Thickness")->value.real, 1);
}

TEST_F(DocTest, VariablesAreListedByIndexAndPiIsReserved)
{
    Device* d = device();
    ASSERT_EQ(Device_defineVariable(d, "a", "1", 0), 1);
    ASSERT_EQ(Device_defineVariable(d, "name", "\"My cell\"", 0), 1);
    EXPECT_EQ(Device_variableCount(d), 2);
    EXPECT_EQ(Device_variableName(d, -1), nullptr);
    EXPECT_EQ(Device_variableName(d, 2), nullptr);
    EXPECT_STREQ(Device_variableValue(d, 1), "\"My cell\"");
    recorder.lines.clear();
    EXPECT_EQ(Device_defineVariable(d, "PI", "3", 4), 0);
    EXPECT_EQ(Device_defineVariable(d, "$pi", "3", 4), 0);
    ASSERT_EQ(recorder.lines.size(), 2u);
    EXPECT_EQ(recorder.lines[0], "[ERROR]   reserved variable name at line 5\n");
    // Setting it as the variables dialog does is refused too, and leaves pi alone.
    EXPECT_EQ(Device_setVariable(d, "pi", "3"), 0);
    EXPECT_EQ(Device_setVariable(d, "$Pi", "3"), 0);
    EXPECT_EQ(Device_hasVariable(d, "$pi", 0), 0);
    EXPECT_EQ(Device_variableCount(d), 2);
    // A text variable gives a text record its value and stays referred to.
    EXPECT_EQ(Device_setDeviceParam(d->records, "Name", "$name", nullptr, nullptr, 0), 1);
    EXPECT_STREQ(d->records[0]->value.text, "My cell");
    EXPECT_STREQ(d->records[0]->variableRef, "$name");
}

// examples/variables.kovra builds $base from $emitter: changing $emitter
// shows the new base thickness at once, and the saved file reopens with
// exactly what was shown.
TEST_F(DocTest, AVariableBuiltFromAnotherFollowsIt)
{
    const std::string path = folder.write(
        "variables.kovra", readText(std::string(KOVRA_SOURCE_DIR) + "/examples/variables.kovra"));
    ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    Device* d = device();
    ParamRecord* base = Layer_findParam(d->layers[1], "Thickness");
    ASSERT_DOUBLE_EQ(base->value.real, 30);

    ASSERT_NE(Device_setVariable(d, "$emitter", "2.0"), 0) << Device_variableRefusal();
    EXPECT_DOUBLE_EQ(Layer_findParam(d->layers[0], "Thickness")->value.real, 2);
    EXPECT_DOUBLE_EQ(base->value.real, 200);
    EXPECT_STREQ(Device_variableText(d, "$base"), "100 * $emitter");  // kept as written
    char probe[PARAM_WORK_SIZE] = "$base";
    ASSERT_EQ(Device_evaluate(d, probe), 1);
    EXPECT_STREQ(probe, "200");

    ASSERT_EQ(Device_save(document(), path.c_str()), 1);
    ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    EXPECT_DOUBLE_EQ(Layer_findParam(device()->layers[1], "Thickness")->value.real, 200);
}

TEST_F(DocTest, AVariableCannotBeBuiltFromItselfNorDeletedWhileUsed)
{
    Device* d = device();
    ASSERT_EQ(Device_setVariable(d, "$a", "1"), 1);
    ASSERT_EQ(Device_setVariable(d, "$b", "$a * 2"), 1);
    ASSERT_EQ(Device_setVariable(d, "$c", "$b + 1"), 1);
    ASSERT_EQ(Layer_setParam(d->layers[0], "Thickness", "$c", nullptr, nullptr, 0), 1);
    const struct {
        const char* name;
        const char* value;  // null: delete
        const char* refusal;
    } cases[] = {
        {"$a", "$a + 1", "[ERROR]   variable $a cannot be built from $a: a = $a + 1"},
        {"$a", "$c / 3",
         "[ERROR]   variable $a cannot be built from $c, which is built from $a: a = $c / 3"},
        {"$b", nullptr, "[ERROR]   variable $b is used by $c: change or delete that one first"},
        {"$a", "$nothere", "Value: not accepted for $a: $nothere: unknown variable: nothere"},
    };
    for (const auto& c : cases) {
        recorder.lines.clear();
        EXPECT_EQ(Device_setVariable(d, c.name, c.value), 0) << c.name;
        EXPECT_STREQ(Device_variableRefusal(), c.refusal);
        EXPECT_STREQ(Device_variableText(d, "$a"), "1");
        EXPECT_DOUBLE_EQ(Layer_findParam(d->layers[0], "Thickness")->value.real, 3);
    }
    // A change that leaves a variable built from it without a value is
    // taken back whole.
    ASSERT_EQ(Device_setVariable(d, "$r", "sqrt($a)"), 1);
    EXPECT_EQ(Device_setVariable(d, "$a", "-4"), 0);
    EXPECT_NE(std::string(Device_variableRefusal()).find("leaves no value for r = sqrt($a)"),
              std::string::npos)
        << Device_variableRefusal();
    EXPECT_STREQ(Device_variableText(d, "$a"), "1");
    char probe[PARAM_WORK_SIZE] = "$r";
    ASSERT_EQ(Device_evaluate(d, probe), 1);
    EXPECT_STREQ(probe, "1");

    // Through two steps: Thickness takes $c = $a * 2 + 1.
    ASSERT_EQ(Device_setVariable(d, "$a", "4"), 1);
    EXPECT_DOUBLE_EQ(Layer_findParam(d->layers[0], "Thickness")->value.real, 9);
    EXPECT_STREQ(Device_variableRefusal(), "");
}

// A variable changed to one defined after it is written after that one, so
// that the file reads back.
TEST_F(DocTest, VariablesAreWrittenAfterThoseTheyAreBuiltFrom)
{
    Device* d = device();
    ASSERT_EQ(Device_setVariable(d, "$first", "1"), 1);
    ASSERT_EQ(Device_setVariable(d, "$second", "2"), 1);
    ASSERT_EQ(Device_setVariable(d, "$first", "$second * 3"), 1);
    ASSERT_EQ(Layer_setParam(d->layers[0], "Thickness", "$first", nullptr, nullptr, 0), 1);
    const std::string path = folder.file("order.kovra");
    ASSERT_EQ(Device_save(document(), path.c_str()), 1);
    const std::string text = readText(path);
    EXPECT_LT(text.find("$second=2"), text.find("$first=$second * 3")) << text;
    ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    EXPECT_DOUBLE_EQ(Layer_findParam(device()->layers[0], "Thickness")->value.real, 6);
}

}  // namespace
