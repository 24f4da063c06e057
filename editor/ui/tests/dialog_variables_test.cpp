// The Variables dialog: the device's variables, a name and a value at a time.
#include "DialogTestSupport.h"
#include "kovraHandles.h"

namespace {

const DialogDescription& D = VariableDialog;

class VariablesTest : public DialogTest {
protected:
    std::string variable(const char* name)
    {
        const char* text = Device_variableText(device(), name);
        return text != nullptr ? text : "<none>";
    }
    std::vector<std::string> listed()
    {
        std::vector<std::string> items;
        Ihandle* list = ctl(D, "VariableList");
        for (int i = 1; i <= IupGetInt(list, "COUNT"); ++i) {
            items.push_back(IupGetAttribute(list, std::to_string(i).c_str()));
        }
        return items;
    }
    void chooseItem(int item)
    {
        Ihandle* list = ctl(D, "VariableList");
        IupSetInt(list, "VALUE", item);
        auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(list, "ACTION")));
        action(list, nullptr, item, 1);
    }
};

struct VariableCase {
    const char* button;
    const char* name;
    const char* value;
    const char* afterwards;  // value text of "$name" afterwards
    bool modified;
    const char* refusal;  // null: taken
};

TEST_F(VariablesTest, TableOfDefinitions)
{
    const VariableCase cases[] = {
        {"Add", "$w", "0.25", "0.25", true, nullptr},
        {"Add", "x", "2*3", "2*3", true, nullptr},
        {"Apply", "$w", "0.5", "0.5", true, nullptr},
        {"Apply", "$w", "0.5", "0.5", false, nullptr},  // the same value again
        {"Add", "1w", "3", "<none>", false, "invalid variable name"},
        {"Add", "$pi", "3", "<none>", false, "reserved variable name"},
        {"Apply", "pi", "3", "<none>", false, "reserved variable name"},
        {"Add", "$a-b", "3", "<none>", false, "invalid variable name"},
    };
    for (const VariableCase& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + c.name + " = " + c.value);
        WindowVariable_show();
        Document_setModified(document(), 0);
        type(D, "VariableName", c.name);
        type(D, "VariableValue", c.value);
        click(D, c.button);
        const std::string bare = c.name[0] == '$' ? c.name : std::string("$") + c.name;
        if (std::string(c.name) != "pi" && std::string(c.name) != "$pi") {
            EXPECT_EQ(variable(bare.c_str()), c.afterwards);
        }
        EXPECT_EQ(Document_isModified(document()) != 0, c.modified);
        if (c.refusal != nullptr) {
            EXPECT_NE(message(D).find(c.refusal), std::string::npos) << message(D);
        } else {
            EXPECT_EQ(message(D), "");
        }
    }
    EXPECT_EQ(listed(), (std::vector<std::string>{"$w", "$x"}));
}

TEST_F(VariablesTest, OkClosesOnlyWhenTheNameWasTaken)
{
    WindowVariable_show();
    type(D, "VariableName", "9lives");
    type(D, "VariableValue", "9");
    click(D, "OK");
    EXPECT_TRUE(Dialog_isOpen(&D));
    EXPECT_NE(message(D).find("invalid variable name"), std::string::npos);
    type(D, "VariableName", "lives");
    click(D, "OK");
    EXPECT_FALSE(Dialog_isOpen(&D));
    EXPECT_EQ(variable("$lives"), "9");
    EXPECT_TRUE(Document_isModified(document()));
}

TEST_F(VariablesTest, SelectionStoresTheEditedItemThenShowsTheChosenOne)
{
    ASSERT_EQ(Device_setVariable(device(), "$a", "1"), 1);
    ASSERT_EQ(Device_setVariable(device(), "$b", "2"), 1);
    WindowVariable_show();
    EXPECT_EQ(value(ctl(D, "VariableName")), "$a");
    EXPECT_EQ(value(ctl(D, "VariableValue")), "1");
    type(D, "VariableValue", "10");
    chooseItem(2);
    EXPECT_EQ(variable("$a"), "10");
    EXPECT_EQ(value(ctl(D, "VariableName")), "$b");
    EXPECT_TRUE(Document_isModified(document()));

    type(D, "VariableName", "$2bad");
    chooseItem(1);
    EXPECT_EQ(IupGetInt(ctl(D, "VariableList"), KOV_WindowVariable_Selected), 2)
        << "a refusal stops the switch";
    EXPECT_EQ(value(ctl(D, "VariableName")), "$2bad");
    EXPECT_NE(message(D).find("invalid variable name"), std::string::npos);
}

TEST_F(VariablesTest, DeleteAndTheLimits)
{
    WindowVariable_show();
    EXPECT_EQ(IupGetInt(ctl(D, "Delete"), "ACTIVE"), 0) << "nothing to delete";
    EXPECT_EQ(value(ctl(D, "VariableName")), "");
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(Device_setVariable(device(), ("$v" + std::to_string(i)).c_str(), "1"), 1);
    }
    Dialog_load(&D);
    EXPECT_EQ(IupGetInt(ctl(D, "Add"), "ACTIVE"), 0) << "64 variables at most";
    IupSetInt(ctl(D, "VariableList"), KOV_WindowVariable_Selected, 64);
    Dialog_load(&D);
    EXPECT_EQ(value(ctl(D, "VariableName")), "$v63");
    click(D, "Delete");
    EXPECT_EQ(variable("$v63"), "<none>");
    EXPECT_EQ(IupGetInt(ctl(D, "VariableList"), "COUNT"), 63);
    EXPECT_EQ(IupGetInt(ctl(D, "VariableList"), KOV_WindowVariable_Selected), 63)
        << "kept within the count";
    EXPECT_EQ(IupGetInt(ctl(D, "Add"), "ACTIVE"), 1);
    EXPECT_TRUE(Document_isModified(document()));
}

TEST_F(VariablesTest, Screenshot)
{
    ASSERT_EQ(Device_setVariable(device(), "$thickness", "0.35"), 1);
    ASSERT_EQ(Device_setVariable(device(), "$doping", "1e17"), 1);
    WindowVariable_show();
    EXPECT_STREQ(IupGetAttribute(IupGetHandle(KOV_WindowVariable), "DEFAULTENTER"),
                 KOV_WindowVariable_Add);
    screenshot(D);
}

// A variable built from another follows it through the dialog, and a
// change that would build a variable from itself is refused in words.
TEST_F(VariablesTest, AChangeReachesTheVariablesAndFieldsBuiltFromIt)
{
    ASSERT_EQ(Device_setVariable(device(), "$emitter", "0.3"), 1);
    ASSERT_EQ(Device_setVariable(device(), "$base", "100 * $emitter"), 1);
    ParamRecord* thickness = Layer_findParam(device()->layers[0], "Thickness");
    ASSERT_EQ(Param_setValueText(thickness, "$base", nullptr, 0), 1);
    ASSERT_DOUBLE_EQ(thickness->value.real, 30);
    WindowVariable_show();
    type(D, "VariableName", "$emitter");
    type(D, "VariableValue", "2.0");
    click(D, "Apply");
    EXPECT_DOUBLE_EQ(thickness->value.real, 200);
    EXPECT_EQ(variable("$base"), "100 * $emitter");

    type(D, "VariableValue", "$base / 100");
    click(D, "Apply");
    EXPECT_NE(message(D).find("cannot be built from $base, which is built from $emitter"),
              std::string::npos)
        << message(D);
    EXPECT_EQ(variable("$emitter"), "2.0");
    EXPECT_DOUBLE_EQ(thickness->value.real, 200);
}

}  // namespace
