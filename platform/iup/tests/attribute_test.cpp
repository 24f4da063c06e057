// Attribute dispatch: what a program sets through IupSetAttribute on each
// element kind is what it reads back through IupGetAttribute (or what the
// setting did to the control), a container's ACTIVE and VISIBLE reach its
// children, and a name the element does not know is kept as program data.
#include <cstring>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "caseName.h"
#include "iupQt.h"
#include "iupTestApp.h"

namespace {

// How each element kind is made; controls are shown inside a dialog.
struct Maker {
    const char* kind;
    Ihandle* (*make)();
    bool control;
};

const Maker MAKERS[] = {
    {"label", [] { return IupLabel("Name"); }, true},
    {"button", [] { return IupButton("OK", nullptr); }, true},
    {"toggle", [] { return IupToggle("Light", nullptr); }, true},
    {"text", [] { return IupText(nullptr); }, true},
    {"list", [] { return IupList(nullptr); }, true},
    {"canvas", [] { return IupCanvas(nullptr); }, true},
    {"scintilla", [] { return IupScintilla(); }, true},
    {"vbox", [] { return IupVbox(IupLabel("inside"), nullptr); }, true},
    {"dialog", [] { return IupDialog(IupVbox(nullptr)); }, false},
    {"item", [] { return IupItem("Line Numbers", nullptr); }, false},
    {"timer", [] { return IupTimer(); }, false},
    {"clipboard", [] { return IupClipboard(); }, false},
    {"filedlg", [] { return IupFileDlg(); }, false},
};

// The elements of one test, destroyed at its end.
class Elements {
public:
    Ihandle* make(const std::string& kind)
    {
        for (const Maker& maker : MAKERS) {
            if (kind != maker.kind) {
                continue;
            }
            Ihandle* ih = maker.make();
            top = maker.control ? IupDialog(IupVbox(ih, nullptr)) : ih;
            if (IupGetClassName(top) == std::string("dialog")) {
                IupShow(top);
                IupFlush();
            }
            return ih;
        }
        return nullptr;
    }
    ~Elements()
    {
        if (top != nullptr) {
            IupDestroy(top);
        }
        IupFlush();
    }

private:
    Ihandle* top = nullptr;
};

struct AttributeCase {
    const char* kind;
    std::vector<std::pair<const char*, const char*>> set;  // in this order
    const char* read;
    const char* expected;
};

const AttributeCase ATTRIBUTE_CASES[] = {
    {"label", {{"TITLE", "Thickness"}}, "TITLE", "Thickness"},
    {"button", {{"TITLE", "Cancel"}}, "TITLE", "Cancel"},
    {"button", {{"ACTIVE", "NO"}}, "ACTIVE", "NO"},
    {"button", {{"ACTIVE", "NO"}, {"ACTIVE", "YES"}}, "ACTIVE", "YES"},
    {"button", {{"TIP", "Runs the device"}}, "TIP", "Runs the device"},
    {"label", {{"VISIBLE", "NO"}}, "VISIBLE", "NO"},
    {"toggle", {{"VALUE", "ON"}}, "VALUE", "ON"},
    {"toggle", {{"VALUE", "YES"}}, "VALUE", "ON"},
    {"toggle", {{"VALUE", "ON"}, {"VALUE", "OFF"}}, "VALUE", "OFF"},
    {"toggle", {{"VALUE", "TOGGLE"}}, "VALUE", "ON"},
    {"toggle", {{"VALUE", "ON"}, {"VALUE", "TOGGLE"}}, "VALUE", "OFF"},
    {"toggle", {{"TITLE", "Dark"}}, "TITLE", "Dark"},
    {"text", {{"VALUE", "Solar cell"}}, "VALUE", "Solar cell"},
    {"text", {{"VALUE", "ab"}, {"APPEND", "cd"}}, "VALUE", "abcd"},
    {"text", {{"VALUE", "abcd"}}, "COUNT", "4"},
    {"text", {{"NC", "3"}, {"VALUE", "abcdef"}}, "VALUE", "abc"},
    {"text", {{"READONLY", "YES"}}, "READONLY", "YES"},
    {"text", {{"VALUE", "abcdef"}, {"CARETPOS", "2"}}, "CARETPOS", "2"},
    {"text", {{"VALUE", "abcdef"}, {"CARETPOS", "2"}}, "CARET", "3"},
    {"text", {{"VALUE", "abcdef"}, {"SELECTION", "2:4"}}, "SELECTEDTEXT", "bc"},
    {"text", {{"VALUE", "abcdef"}, {"SELECTION", "ALL"}}, "SELECTEDTEXT", "abcdef"},
    {"list", {{"1", "Si"}, {"2", "GaAs"}, {"APPENDITEM", "CdTe"}}, "COUNT", "3"},
    {"list", {{"1", "Si"}, {"APPENDITEM", "CdTe"}}, "2", "CdTe"},
    {"list", {{"1", "Si"}, {"2", "GaAs"}, {"INSERTITEM1", "Ge"}}, "1", "Ge"},
    {"list", {{"1", "Si"}, {"2", "GaAs"}, {"REMOVEITEM", "1"}}, "1", "GaAs"},
    {"list", {{"1", "Si"}, {"2", "GaAs"}, {"REMOVEITEM", "ALL"}}, "COUNT", "0"},
    {"list", {{"1", "Si"}, {"2", "GaAs"}, {"VALUE", "2"}}, "VALUESTRING", "GaAs"},
    {"list", {{"1", "Si"}, {"2", "GaAs"}, {"VALUE", "2"}, {"REMOVEITEM", "ALL"}}, "VALUE", "0"},
    // Turning into a drop-down keeps the items and the choice.
    {"list",
     {{"1", "Si"}, {"2", "GaAs"}, {"VALUE", "2"}, {"DROPDOWN", "YES"}},
     "VALUESTRING",
     "GaAs"},
    {"scintilla", {{"VALUE", "x = 1\ny = 2"}}, "VALUE", "x = 1\ny = 2"},
    {"scintilla", {{"VALUE", "x = 1\ny = 2"}}, "LINECOUNT", "2"},
    {"scintilla", {{"READONLY", "YES"}}, "READONLY", "YES"},
    {"dialog", {{"TITLE", "KovraDevice"}}, "TITLE", "KovraDevice"},
    {"item", {{"TITLE", "&Save"}}, "TITLE", "&Save"},
    {"item", {{"VALUE", "ON"}}, "VALUE", "ON"},
    {"item", {{"ACTIVE", "NO"}}, "ACTIVE", "NO"},
    {"timer", {{"TIME", "250"}}, "TIME", "250"},
    {"timer", {{"TIME", "250"}, {"RUN", "YES"}}, "RUN", "YES"},
    {"timer", {{"RUN", "YES"}, {"RUN", "NO"}}, "RUN", "NO"},
    {"clipboard", {{"TEXT", "copied"}}, "TEXT", "copied"},
    {"filedlg", {{"DIALOGTYPE", "SAVE"}}, "DIALOGTYPE", "SAVE"},
};

void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.kind << " " << c.read; }

void PrintTo(const Maker& m, std::ostream* os) { *os << m.kind; }

class AttributeTest : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeTest, ReadsBackWhatWasSet)
{
    const AttributeCase& c = GetParam();
    Elements elements;
    Ihandle* ih = elements.make(c.kind);
    ASSERT_NE(ih, nullptr);
    EXPECT_STREQ(IupGetClassName(ih), c.kind);
    for (const auto& [name, value] : c.set) {
        IupSetAttribute(ih, name, value);
    }
    IupFlush();
    EXPECT_STREQ(IupGetAttribute(ih, c.read), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AttributeTest, ::testing::ValuesIn(ATTRIBUTE_CASES),
                         [](const ::testing::TestParamInfo<AttributeCase>& info) {
                             std::string text = info.param.kind;
                             for (const auto& [attribute, value] : info.param.set) {
                                 text += std::string(" ") + attribute + " " + value;
                             }
                             return caseName(text + " read " + info.param.read);
                         });

// A name no element kind knows is program data: IupSetAttribute keeps the
// pointer, IupSetStrAttribute a copy, NULL removes it; on every kind.
class UnknownAttributeTest : public ::testing::TestWithParam<Maker> {};

TEST_P(UnknownAttributeTest, IsKeptAsProgramData)
{
    Elements elements;
    Ihandle* ih = elements.make(GetParam().kind);
    ASSERT_NE(ih, nullptr);
    static char record[] = "record";
    IupSetAttribute(ih, "KOV_Record", record);
    EXPECT_EQ(IupGetAttribute(ih, "KOV_Record"), record) << "the pointer itself";

    char text[] = "copied";
    IupSetStrAttribute(ih, "KOV_Note", text);
    std::strcpy(text, "change");
    EXPECT_STREQ(IupGetAttribute(ih, "KOV_Note"), "copied") << "a copy of the text";

    IupSetAttribute(ih, "KOV_Record", nullptr);
    EXPECT_EQ(IupGetAttribute(ih, "KOV_Record"), nullptr);
    EXPECT_EQ(IupGetAttribute(ih, "KOV_NeverSet"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnknownAttributeTest, ::testing::ValuesIn(MAKERS),
                         [](const ::testing::TestParamInfo<Maker>& info) {
                             return std::string(info.param.kind);
                         });

// A container's ACTIVE and VISIBLE reach the controls inside it, and
// setting them back restores the children.
struct InheritCase {
    const char* name;
    const char* off;
    const char* on;
};

const InheritCase INHERIT_CASES[] = {
    {"ACTIVE", "NO", "YES"},
    {"VISIBLE", "NO", "YES"},
};

TEST(AttributeInheritance, AContainerSwitchesItsChildren)
{
    for (const InheritCase& c : INHERIT_CASES) {
        SCOPED_TRACE(c.name);
        Ihandle* button = IupButton("OK", nullptr);
        Ihandle* box = IupHbox(button, nullptr);
        Ihandle* dialog = IupDialog(IupVbox(box, nullptr));
        IupShow(dialog);
        IupFlush();
        EXPECT_STREQ(IupGetAttribute(button, c.name), c.on);
        IupSetAttribute(box, c.name, c.off);
        IupFlush();
        EXPECT_STREQ(IupGetAttribute(button, c.name), c.off);
        IupSetAttribute(box, c.name, c.on);
        IupFlush();
        EXPECT_STREQ(IupGetAttribute(button, c.name), c.on);
        IupDestroy(dialog);
        IupFlush();
    }
}

// The setter and reader forms around IupSetAttribute / IupGetAttribute.
TEST(AttributeForms, EachFormReadsBackThroughTheOthers)
{
    Elements elements;
    Ihandle* ih = elements.make("label");
    IupSetInt(ih, "KOV_Count", 42);
    EXPECT_STREQ(IupGetAttribute(ih, "KOV_Count"), "42");
    EXPECT_EQ(IupGetInt(ih, "KOV_Count"), 42);
    IupSetfAttribute(ih, "KOV_Format", "%d:%s", 7, "a");
    EXPECT_STREQ(IupGetAttribute(ih, "KOV_Format"), "7:a");
    IupSetAttributes(ih, "KOV_A=1, KOV_B=\"x, y\", TITLE=Width");
    EXPECT_STREQ(IupGetAttribute(ih, "KOV_A"), "1");
    EXPECT_STREQ(IupGetAttribute(ih, "KOV_B"), "x, y");
    EXPECT_STREQ(IupGetAttribute(ih, "TITLE"), "Width");
    IupSetStrAttributeId(ih, "KOV_Item", 3, "third");
    EXPECT_STREQ(IupGetAttribute(ih, "KOV_Item3"), "third");
    for (const char* yes : {"YES", "ON", "TRUE", "yes"}) {
        IupSetAttribute(ih, "KOV_Flag", yes);
        EXPECT_EQ(IupGetInt(ih, "KOV_Flag"), 1) << yes;
    }
    int w = 0, h = 0;
    IupSetAttribute(ih, "KOV_Size", "640x480");
    EXPECT_EQ(IupGetIntInt(ih, "KOV_Size", &w, &h), 2);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(IupGetInt(ih, "KOV_Missing"), 0);

    // A handle attribute names the other element.
    Ihandle* timer = IupTimer();
    IupSetAttributeHandle(ih, "KOV_Timer", timer);
    EXPECT_EQ(IupGetHandle(IupGetAttribute(ih, "KOV_Timer")), timer);
    IupDestroy(timer);
}

// A NULL element means the globals, the same store IupSetGlobal uses.
TEST(AttributeForms, ANullElementMeansTheGlobals)
{
    IupSetStrAttribute(nullptr, "KOV_AppDir", "/opt/kovra/");
    EXPECT_STREQ(IupGetGlobal("KOV_AppDir"), "/opt/kovra/");
    IupSetStrGlobal("KOV_AppDir", "/usr/share/kovra/");
    EXPECT_STREQ(IupGetAttribute(nullptr, "KOV_AppDir"), "/usr/share/kovra/");
    IupSetGlobal("KOV_AppDir", nullptr);
    EXPECT_EQ(IupGetGlobal("KOV_AppDir"), nullptr);
}

}  // namespace
