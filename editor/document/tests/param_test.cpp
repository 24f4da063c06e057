// Value entry into a parameter record: texts, numbers, expressions,
// variables, comments, ranges, revisions and the words of every refusal.
#include <cmath>
#include <cstring>

#include "docTestSupport.h"
#include "param.h"

namespace {

class ValueEntry : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        ASSERT_EQ(Device_defineVariable(device(), "x", "0.3", 0), 1);
        ASSERT_EQ(Device_defineVariable(device(), "n", "150", 0), 1);
        ASSERT_EQ(Device_defineVariable(device(), "big", "1e9", 0), 1);
        Param_setReal(&real, "Thickness", 5, 1.0, 0.001, 1000, 0.01, "um");
        Param_setInteger(&integer, "Mesh.Points", 107, 100, 5, 5000, 1, "");
        Param_setText(&text, "Material", 2, "Si");
        real.revision = integer.revision = text.revision = 2;
    }
    ParamRecord real{};
    ParamRecord integer{};
    ParamRecord text{};
};

TEST_F(ValueEntry, RealsIntegersAndTextsFromATableOfEntries)
{
    enum Kind { REAL, INTEGER, TEXT };
    const struct {
        Kind kind;
        const char* entry;
        int result;
        double real;       // stored real or integer
        const char* text;  // stored text
        int revisionAdded;
        const char* message;  // words of the refusal, "" for none
    } cases[] = {
        {REAL, "0.5", 1, 0.5, nullptr, 1, ""},
        {REAL, " 5e-3 # base doping ", 1, 0.005, nullptr, 2, ""},  // value and comment
        {REAL, "1;2", 1, 1.0, nullptr, 1, ""},  // ';' starts the comment; same value
        {REAL, "2*pi", 1, 2 * M_PI, nullptr, 1, ""},
        {REAL, "0.25 + 0.25", 1, 0.5, nullptr, 1, ""},
        {REAL, "1.23456789012345", 1, 1.23456789012345, nullptr, 1, ""},  // full precision
        {REAL, "Model", 1, 1.0, nullptr, 0, ""},
        {REAL, "1.0", 1, 1.0, nullptr, 0, ""},  // same value: no revision
        {REAL, "2000", 0, 1.0, nullptr, 0, "[ERROR]   invalid value for Thickness: 2000"},
        {REAL, "$x", 1, 0.3, nullptr, 1, "[INFO]    variable defined: $x = 0.3"},
        // Out of range through a variable: refused as the engine refuses it.
        {REAL, "$big", 0, 1.0, nullptr, 0,
         "[ERROR]   invalid value for Thickness: $big = 1e9 (accepted: from 0.001 to 1000 um)\n"},
        {REAL, "$nothere", 0, 1.0, nullptr, 0, "[ERROR]   variable not defined: $nothere\n"},
        {REAL, "$x*2", 1, 0.6, nullptr, 1, ""},  // an expression over $x
        {REAL, "3 +", 0, 1.0, nullptr, 0, "[ERROR]   invalid expression for Thickness: 3 +\n"},
        {REAL, "", 0, 1.0, nullptr, 0, ""},
        {INTEGER, "150", 1, 150, nullptr, 1, ""},
        {INTEGER, "$n", 1, 150, nullptr, 1, ""},
        {INTEGER, "2 * 60", 1, 120, nullptr, 1, ""},
        {INTEGER, "4", 0, 100, nullptr, 0, "[ERROR]   invalid value for Mesh.Points"},
        {INTEGER, "abc", 0, 100, nullptr, 0, "[ERROR]   invalid expression for Mesh.Points\n"},
        {TEXT, "\"GaAs\"", 1, 0, "GaAs", 1, ""},
        {TEXT, "GaAs", 1, 0, "GaAs", 1, ""},
        {TEXT, "\"\"", 1, 0, "", 1, ""},                    // empty quoted text
        {TEXT, "\"a # b ; c\"", 1, 0, "a # b ; c", 1, ""},  // marks inside quotes
        {TEXT, "\"path/x.lua\" # model", 1, 0, "path/x.lua", 2, ""},
        {TEXT, "Ga\"As", 0, 0, "Si", 0, "[ERROR]   invalid string: Ga\"As\n"},
        {TEXT, "\"GaAs", 0, 0, "Si", 0, "[ERROR]   invalid string: \"GaAs\n"},
        {TEXT, "Si", 1, 0, "Si", 0, ""},
    };
    for (const auto& c : cases) {
        SetUp();
        ParamRecord* r = c.kind == REAL ? &real : c.kind == INTEGER ? &integer : &text;
        recorder.lines.clear();
        const int before = r->revision;
        EXPECT_EQ(Param_setValueText(r, c.entry, nullptr, 1), c.result) << c.entry;
        if (c.kind == REAL) {
            EXPECT_DOUBLE_EQ(r->value.real, c.real) << c.entry;
        } else if (c.kind == INTEGER) {
            EXPECT_EQ(r->value.integer, static_cast<int>(c.real)) << c.entry;
        } else {
            EXPECT_STREQ(r->value.text, c.text) << c.entry;
        }
        EXPECT_EQ(r->revision - before, c.revisionAdded) << c.entry;
        if (c.result == 0 && c.message[0] != '\0') {
            EXPECT_NE(recorder.console().find(c.message), std::string::npos)
                << c.entry << " printed: " << recorder.console();
            EXPECT_NE(r->status & PARAM_REFUSED, 0) << c.entry;
        }
        if (c.result == 1 && c.message[0] != '\0') {
            EXPECT_STREQ(r->message, c.message) << c.entry;
        }
    }
}

TEST_F(ValueEntry, OutOfRangeRealReportsTwoLinesAndKeepsTheValue)
{
    EXPECT_EQ(Param_setValueText(&real, "0", nullptr, 1), 0);
    ASSERT_EQ(recorder.lines.size(), 2u);
    EXPECT_EQ(recorder.lines[0], "[ERROR]   invalid value: 0\n");
    EXPECT_EQ(recorder.lines[1],
              "[ERROR]   invalid value for Thickness: 0 (accepted: from 0.001 to 1000 um)\n");
    EXPECT_DOUBLE_EQ(real.value.real, 1.0);
}

// A record whose key the engine clamps takes the nearest limit, typed or
// through a variable, and says so with the range; the value is stored.
TEST_F(ValueEntry, AClampingRecordTakesTheNearestLimitAndSaysSo)
{
    ParamRecord points{};
    Param_setLimited(&points, "Mesh.Points", 107, 100, 1,
                     kov_findKeyLimit(KovKeySection::LAYER, "Mesh.Points"));
    ASSERT_EQ(Device_defineVariable(device(), "many", "12000", 0), 1);
    const struct {
        const char* entry;
        int stored;
        const char* said;  // "" for nothing
    } cases[] = {
        {"12000", 5000,
         "[WARNING] Mesh.Points = 12000 changed to 5000 (accepted: from 5 to 5000 points)\n"},
        {"2", 5, "[WARNING] Mesh.Points = 2 changed to 5 (accepted: from 5 to 5000 points)\n"},
        {"$many", 5000,
         "[WARNING] Mesh.Points = $many = 12000 changed to 5000 (accepted: from 5 to 5000 "
         "points)\n"},
        {"400", 400, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        recorder.lines.clear();
        EXPECT_EQ(Param_setValueText(&points, c.entry, nullptr, 1), 1);
        EXPECT_EQ(points.value.integer, c.stored);
        EXPECT_EQ(recorder.console(), c.said);
        EXPECT_EQ((points.status & PARAM_CLAMPED) != 0, c.said[0] != '\0');
        EXPECT_EQ(points.status & PARAM_REFUSED, 0);
    }
    EXPECT_STREQ(points.variableRef, "") << "a plain entry after the reference";
}

TEST_F(ValueEntry, CommentCountsOnceAndReenteringTheLineCountsNothing)
{
    const int before = real.revision;
    EXPECT_EQ(Param_setValueText(&real, "5e-3 # base doping", nullptr, 0), 1);
    EXPECT_STREQ(real.comment, "base doping");
    EXPECT_EQ(real.revision, before + 2);
    EXPECT_EQ(Param_setValueText(&real, "5e-3 # Base Doping", nullptr, 0), 1);
    EXPECT_EQ(real.revision, before + 2);  // same comment ignoring case, same value
    EXPECT_EQ(Param_setValueText(&real, "0.25", "# given apart", 0), 1);
    EXPECT_STREQ(real.comment, "given apart");
}

TEST_F(ValueEntry, ReferenceIsKeptThenClearedByDollarAt)
{
    EXPECT_EQ(Param_setValueText(&real, "$x", nullptr, 0), 1);
    EXPECT_STREQ(real.variableRef, "$x");
    char shown[PARAM_VALUE_SIZE];
    Param_valueText(&real, shown, sizeof shown);
    EXPECT_STREQ(shown, "$x");
    const int revision = real.revision;
    EXPECT_EQ(Param_setValueText(&real, "$x", nullptr, 0), 1);
    EXPECT_EQ(real.revision, revision);  // same reference: nothing counted
    EXPECT_EQ(Param_setValueText(&real, "$@", nullptr, 0), 1);
    EXPECT_STREQ(real.variableRef, "");
    EXPECT_DOUBLE_EQ(real.value.real, 0.3);
    EXPECT_EQ(real.revision, revision);
}

TEST_F(ValueEntry, RevisionWrapsAbove1024To12)
{
    real.revision = 1024;
    EXPECT_EQ(Param_setValueText(&real, "7", nullptr, 0), 1);
    EXPECT_EQ(real.revision, 12);
}

TEST_F(ValueEntry, LongTextsKeepTheirFullLengthUpToTheLineLimit)
{
    const std::string path(800, 'p');
    EXPECT_EQ(Param_setValueText(&text, ("\"" + path + "\"").c_str(), nullptr, 0), 1);
    EXPECT_EQ(std::string(text.value.text), path);
    const std::string bare(70, 'b');
    EXPECT_EQ(Param_setValueText(&text, bare.c_str(), nullptr, 0), 1);
    EXPECT_EQ(std::string(text.value.text), bare);
    const std::string tooLong(PARAM_TEXT_MAX + 1, 't');
    EXPECT_EQ(Param_setValueText(&text, ("\"" + tooLong + "\"").c_str(), nullptr, 1), 0);
    EXPECT_NE(recorder.console().find("[ERROR]   text too long for Material"), std::string::npos);
    EXPECT_EQ(std::string(text.value.text), bare);
}

TEST_F(ValueEntry, WithoutADeviceNothingIsEntered)
{
    Doc_setHooks(nullptr);  // no application record, so no device and no parser
    EXPECT_EQ(Param_setValueText(&real, "0.5", nullptr, 0), 0);
    EXPECT_DOUBLE_EQ(real.value.real, 1.0);
}

TEST(RecordHelpers, EqualityVariableNamesAndShortestNumbers)
{
    EXPECT_EQ(Real_equal(0.1 + 0.2, 0.3), 1);
    EXPECT_EQ(Real_equal(1.0, 1.0 + 1e-9), 0);
    EXPECT_EQ(Real_equal(NAN, NAN), 0);
    EXPECT_EQ(Text_isVariableRef("$a1"), 1);
    EXPECT_EQ(Text_isVariableRef("$1a"), 0);
    EXPECT_EQ(Text_isVariableRef("$a_b"), 0);
    EXPECT_EQ(Text_isVariableRef("$"), 0);
    const double values[] = {1e16, 0.1 + 0.2, 300.15, -1e-300, 1.0 / 3.0, 5e-324};
    for (double v : values) {
        char text[64];
        Real_format(v, text, sizeof text);
        EXPECT_EQ(std::strtod(text, nullptr), v) << text;
    }
    char text[64];
    Real_format(0.5, text, sizeof text);
    EXPECT_STREQ(text, "0.5");
}

// Values are shown as a person writes them, and read back exactly.
TEST(RecordHelpers, RealsAreShownAsTheUserWritesThem)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0007, "0.0007"},
        {1e-7, "1e-07"},
        {1e16, "1e+16"},
        {300.15, "300.15"},
        {300, "300"},
        {0.5, "0.5"},
        {-0.02, "-0.02"},
        {1e-5, "1e-05"},
        {1e6, "1e+06"},
        {123456, "123456"},
        {1234567, "1234567"},
        {2.5e-5, "2.5e-05"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1.0 / 3.0, "0.3333333333333333"},
        {0, "0"},
        {-1e3, "-1000"},
        {6.02214076e23, "6.02214076e+23"},
    };
    for (const auto& c : cases) {
        char text[64];
        Real_format(c.value, text, sizeof text);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(std::strtod(text, nullptr), c.value) << text;
    }
}

TEST(RecordHelpers, CursorSearchFindsEachKeyAndChecksValueTexts)
{
    ParamRecord a{}, b{}, c{};
    Param_setReal(&a, "A", 0, 1.5, 0, 10, 1, "");
    Param_setInteger(&b, "B", 1, 3, 0, 10, 1, "");
    Param_setText(&c, "C", 2, "word");
    ParamRecord* records[] = {&a, &b, &c};
    for (const char* key : {"C", "A", "B", "B", "A"}) {
        EXPECT_STREQ(Params_find(records, 3, key)->key, key);
    }
    EXPECT_EQ(Params_find(records, 3, "b"), nullptr);
    char out[PARAM_VALUE_SIZE];
    EXPECT_EQ(Params_getValueText(records, 3, "A", out), 1);
    EXPECT_STREQ(out, "1.5");
    EXPECT_EQ(Param_checkValueText(&a, "11"), 0);
    EXPECT_EQ(Param_checkValueText(&a, "2*3"), 0);  // no expressions here
    EXPECT_EQ(Param_isValueEqualText(&a, "1.50"), 1);
    EXPECT_EQ(Param_isValueEqualText(&b, "3"), 1);
    EXPECT_EQ(Param_equals(&a, &b), 0);
}

}  // namespace
