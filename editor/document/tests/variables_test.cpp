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

}  // namespace
