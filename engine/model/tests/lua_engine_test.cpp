// LuaEngineCore: result rules of model calls, error lines, native
// exceptions, search paths and the stack discipline of repeated calls.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "LuaEngineCore.h"
#include "caseName.h"
#include "kovbase.h"
#include "luaTestSupport.h"

namespace {

struct CallResult {
    bool ok = false;
    std::vector<double> out;
    int status = -1;
    std::string message;
};

constexpr double PRESET = 7.0;

// Calls kov_f of script with the given inputs and `slots` result slots,
// each preset to PRESET.
CallResult callWith(LuaEngineCore& engine, const std::string& script, int slots,
                    const std::vector<const double*>& inputs = {})
{
    CallResult r;
    r.out.assign(LuaEngineCore::MAX_OUTPUTS, PRESET);
    const double* in[LuaEngineCore::MAX_INPUTS] = {};
    for (size_t i = 0; i < inputs.size() && i < 4; ++i) {
        in[i] = inputs[i];
    }
    double* out[LuaEngineCore::MAX_OUTPUTS] = {};
    for (int i = 0; i < slots; ++i) {
        out[i] = &r.out[i];
    }
    r.ok = engine.call(script.c_str(), "kov_f", in, out, &r.status);
    r.out.resize(slots);
    r.message = engine.getMessageA();
    return r;
}

std::string returning(const std::string& values)
{
    return "function kov_f()\n  return " + values + "\nend\n";
}

class LuaEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.init()); }
    LuaEngineCore engine;
};

// ---- result rules ----------------------------------------------------------

struct ResultCase {
    const char* returns;
    int slots;
    bool ok;
    std::vector<double> values;
    int status;
    const char* message;
};

void PrintTo(const ResultCase& c, std::ostream* os)
{
    *os << "return " << c.returns << " (" << c.slots << " slots)";
}

class ResultRules : public LuaEngineTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ResultRules, FillSlotsOrFail)
{
    const ResultCase& c = GetParam();
    const CallResult r = callWith(engine, returning(c.returns), c.slots);
    ASSERT_EQ(r.ok, c.ok) << c.returns << " -> " << r.message;
    if (c.ok) {
        for (size_t i = 0; i < c.values.size(); ++i) {
            EXPECT_DOUBLE_EQ(r.out[i], c.values[i]) << "slot " << i;
        }
        EXPECT_EQ(r.status, c.status);
    } else {
        EXPECT_EQ(r.message, c.message);
        EXPECT_FALSE(engine.isLoaded());
        // A refused result list hands nothing over.
        for (int i = 0; i + 1 < c.slots; ++i) {
            EXPECT_EQ(r.out[i], PRESET);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    LuaEngine, ResultRules,
    ::testing::Values(ResultCase{"1, 2, 3", 3, true, {1, 2, 3}, 1, ""},
                      ResultCase{"1, 2", 3, true, {1, 2, 0}, 1, ""},
                      ResultCase{"1, 2, 3, false", 3, true, {1, 2, 3}, 0, ""},
                      ResultCase{"1, 2, 3, true", 3, true, {1, 2, 3}, 1, ""},
                      ResultCase{"1, 2, true", 3, true, {1, 2, 1}, 1, ""},
                      ResultCase{"1, 2, false", 3, true, {1, 2, 0}, 1, ""},
                      ResultCase{"1, 2, true, false", 3, true, {1, 2, 1}, 0, ""},
                      ResultCase{"9, 1, 2, 3", 3, true, {1, 2, 3}, 1, ""},
                      ResultCase{"'2.5', '-1e3', 0", 3, true, {2.5, -1000, 0}, 1, ""},
                      ResultCase{"4", 2, true, {4, 0}, 1, ""},
                      ResultCase{"{}, 1, 0", 3, false, {}, 0, "invalid returned value"},
                      ResultCase{"'abc', 1, 0", 3, false, {}, 0, "invalid returned value"},
                      ResultCase{"1, true, 0", 3, false, {}, 0, "invalid returned value"},
                      ResultCase{"1, nil, 0", 3, false, {}, 0, "invalid returned value"},
                      ResultCase{"1", 3, false, {}, 0, "invalid number of returned values"},
                      ResultCase{
                          "1, 2, 3, 4, 5", 3, false, {}, 0, "invalid number of returned values"},
                      ResultCase{"1, 2", 1, false, {}, 0, "invalid number of parameters"}),
    NamedByPrint());

TEST_F(LuaEngineTest, InputsArePushedInOrderAndNonFiniteOnesAsZero)
{
    const std::string script = "function kov_f(...)\n"
                               "  local t = {...}\n"
                               "  return #t, t[1] + 10 * t[2] + 100 * t[3] + 1000 * t[4], 0\n"
                               "end\n";
    const double one = 1, nan = std::nan(""), inf = std::numeric_limits<double>::infinity(),
                 four = 4;
    CallResult r = callWith(engine, script, 3, {&one, &nan, &inf, &four});
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.out[0], 4);
    EXPECT_EQ(r.out[1], 4001);

    const std::string two = "function kov_f(a, b, c) return (c and 1 or 0), a - b, 0 end";
    const double x = 5, y = 2;
    r = callWith(engine, two, 3, {nullptr, &x, nullptr, &y});
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.out[0], 0);  // only two arguments arrive
    EXPECT_EQ(r.out[1], 3);
}

TEST_F(LuaEngineTest, ResultSlotsWithAGapAreFilledInOrder)
{
    double a = 0, b = 0, c = 0;
    int status = -1;
    const std::string script = returning("1, 2, 3");
    ASSERT_TRUE(engine.call(script.c_str(), "kov_f", nullptr, nullptr, nullptr, nullptr, &a,
                            nullptr, &b, nullptr, nullptr, &c, nullptr, nullptr, &status));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
}

TEST_F(LuaEngineTest, ScriptIsRerunBeforeEveryCall)
{
    const std::string counter = "n = 0\nfunction kov_f() n = n + 1 return n, 0 end\n";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(callWith(engine, counter, 2).out[0], 1);
    }

    // Two scripts defining the same function: each call runs its own.
    const std::string other = returning("20, 0");
    EXPECT_EQ(callWith(engine, other, 2).out[0], 20);
    EXPECT_EQ(callWith(engine, counter, 2).out[0], 1);
    EXPECT_EQ(callWith(engine, other, 2).out[0], 20);
}

TEST_F(LuaEngineTest, CallFailuresCarryTheirMessages)
{
    EXPECT_EQ(callWith(engine, "x = 1\n", 2).message, "function not found");
    EXPECT_EQ(callWith(engine, "kov_f = 3\n", 2).message, "function not found");

    CallResult r = callWith(engine, "function kov_f()\n  error('negative density')\nend\n", 2);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "[ERROR]   at line 2: negative density");
    EXPECT_EQ(engine.getErrorLine(), 1);
    EXPECT_EQ(std::wstring(engine.getMessage()), L"[ERROR]   at line 2: negative density");

    // A failed require keeps the module's name in the message.
    r = callWith(engine, "local m = require('kovra_no_such_module')\n" + returning("1, 0"), 2);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("kovra_no_such_module"), std::string::npos) << r.message;
    EXPECT_FALSE(engine.run("require('kovra_no_such_module')"));
    EXPECT_NE(std::string(engine.getMessageA()).find("kovra_no_such_module"), std::string::npos);

    r = callWith(engine, "error('broken at load')\n", 2);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "[ERROR]   at line 1: broken at load");

    int status = 0;
    double a = 0, b = 0;
    EXPECT_FALSE(engine.call("", "kov_f", nullptr, nullptr, nullptr, nullptr, &a, &b, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ(engine.getMessageA(), "invalid status argument");

    LuaEngineCore bare;  // never initialised
    EXPECT_FALSE(bare.call(returning("1, 0").c_str(), "kov_f", nullptr, nullptr, nullptr, nullptr,
                           &a, &b, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &status));
    EXPECT_STREQ(bare.getMessageA(), "Lua engine not loaded");
}

TEST_F(LuaEngineTest, FailingMetamethodsDoNotEndTheProcess)
{
    // A "strict" globals table that raises on every unknown name.
    CallResult r = callWith(
        engine, "setmetatable(_G, {__index = function(t, k) error('undeclared ' .. k) end})\n", 2);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "function not found");
    EXPECT_TRUE(engine.addPackagePath("/tmp"));

    // An error value whose __tostring fails itself.
    r = callWith(engine,
                 "function kov_f()\n"
                 "  error(setmetatable({}, {__tostring = function() error('again') end}))\n"
                 "end\n",
                 2);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message.rfind("table: ", 0), 0u) << r.message;
    EXPECT_EQ(lua_gettop(engine.L), 0);
}

TEST_F(LuaEngineTest, SyntaxErrorIsReportedWithItsLine)
{
    const std::string script =
        "-- mobility: a comment with a colon\nx = 1\ny = 2\nfunction kov_f( return 1 end\n";
    CallResult r = callWith(engine, script, 2);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message.rfind("[ERROR]   at line 4: ", 0), 0u) << r.message;
    EXPECT_GT(r.message.size(), std::string("[ERROR]   at line 4: ").size());
    EXPECT_EQ(engine.getErrorLine(), 3);

    EXPECT_FALSE(engine.run(script.c_str()));
    EXPECT_EQ(std::string(engine.getMessageA()).rfind("[ERROR]   at line 4: ", 0), 0u);
    EXPECT_EQ(engine.getErrorLine(), 3);
}

TEST_F(LuaEngineTest, RunKeepsOnlyTheFirstLineOfAnError)
{
    EXPECT_FALSE(engine.run("error('first:\\nsecond')"));
    EXPECT_STREQ(engine.getMessageA(), "[ERROR]   at line 1: first");
    EXPECT_FALSE(engine.isLoaded());

    EXPECT_TRUE(engine.run("answer = 42 return 1, 2, 3"));
    lua_getglobal(engine.L, "answer");
    EXPECT_EQ(lua_tonumber(engine.L, -1), 42);
    lua_pop(engine.L, 1);
    EXPECT_EQ(lua_gettop(engine.L), 0);  // returned values are not left behind
}

TEST_F(LuaEngineTest, BytecodeIsRefused)
{
    const std::string bytecode = std::string("\x1bLJ\x02\x0a", 5) + "garbage";
    CallResult r = callWith(engine, bytecode, 2);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(engine.run(bytecode.c_str()));
    // The engine stays usable.
    EXPECT_TRUE(callWith(engine, returning("1, 0"), 2).ok);
}

// ---- error lines -----------------------------------------------------------

struct LineCase {
    const char* text;
    int result;
    const char* out;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.text; }

class ErrorLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(ErrorLines, ParseLineAndMessage)
{
    const LineCase& c = GetParam();
    std::string out;
    EXPECT_EQ(LuaEngineCore::parseErrorLine(c.text, out), c.result) << c.text;
    EXPECT_EQ(out, c.out) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    LuaEngine, ErrorLines,
    ::testing::Values(
        LineCase{"<!line=4!>bad doping", 4, "[ERROR]   at line 5: bad doping"},
        LineCase{"<!line=4 no end", -1, "<!line=4 no end"},
        LineCase{"<!line=!>empty", -1, "<!line=!>empty"},
        LineCase{"C:\\models\\mobility.lua:12: word", 11, "[ERROR]   at line 12: word"},
        LineCase{"/home/user/models/bandgap.lua:3: attempt to call nil", 2,
                 "[ERROR]   at line 3: attempt to call nil"},
        LineCase{"script:4: unexpected symbol near 'x'", 3,
                 "[ERROR]   at line 4: unexpected symbol near 'x'"},
        LineCase{"script:7:", 6, "[ERROR]   at line 7: "},
        LineCase{"C:\\no\\line\\here", -1, "C:\\no\\line\\here"},
        LineCase{"module: this text is much too long to be a line number: rest", -1,
                 "module: this text is much too long to be a line number: rest"},
        LineCase{"parser failed (at line 9) near token", 8, "[ERROR]   at line 9: near token"},
        LineCase{"no line at all", -1, "no line at all"},
        LineCase{"error: file: missing", -1, "error: file: missing"}),
    NamedByPrint());

TEST(LuaEngineErrorLines, NullTextGivesZero)
{
    std::string out = "unchanged";
    EXPECT_EQ(LuaEngineCore::parseErrorLine(nullptr, out), 0);
}

TEST(LuaEngineErrorLines, LongMessageIsBounded)
{
    const std::string text = "script:2: " + std::string(1000, 'x');
    std::string out;
    EXPECT_EQ(LuaEngineCore::parseErrorLine(text.c_str(), out), 1);
    EXPECT_EQ(out.size(), 255u);
}

// ---- native functions --------------------------------------------------------

enum class Throw { StdException, CString, LuaException };

int throwing(lua_State* L)
{
    switch (static_cast<Throw>(lua_tointeger(L, 1))) {
    case Throw::StdException: throw std::runtime_error("native failure (std)");
    case Throw::CString: throw "native failure (text)";
    case Throw::LuaException: throw luaexception("native failure (lua)");
    }
    return 0;
}

int raising(lua_State* L) { return luaL_error(L, "plain Lua error from C"); }

TEST_F(LuaEngineTest, CppExceptionInNativeFunctionBecomesLuaError)
{
    lua_register(engine.L, "native_throw", throwing);
    const struct {
        Throw kind;
        const char* text;
    } cases[] = {{Throw::StdException, "native failure (std)"},
                 {Throw::CString, "native failure (text)"},
                 {Throw::LuaException, "native failure (lua)"}};
    for (const auto& c : cases) {
        const std::string script = "function kov_f()\n  native_throw(" +
                                   std::to_string(static_cast<int>(c.kind)) +
                                   ")\n  return 1, 0\nend\n";
        CallResult r = callWith(engine, script, 2);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(c.text), std::string::npos) << r.message;

        // Lua code can catch it like any error.
        const std::string caught = "local ok, e = pcall(native_throw, " +
                                   std::to_string(static_cast<int>(c.kind)) +
                                   ")\nassert(not ok and e:find('native failure', 1, true))\n";
        EXPECT_TRUE(engine.run(caught.c_str())) << engine.getMessageA();
    }
    EXPECT_TRUE(callWith(engine, returning("3, 0"), 2).ok);
    EXPECT_EQ(lua_gettop(engine.L), 0);
}

TEST_F(LuaEngineTest, LuaErrorRaisedByNativeFunctionPassesThroughTheWrapper)
{
    lua_register(engine.L, "native_raise", raising);
    CallResult r = callWith(engine, "function kov_f()\n  native_raise()\nend\n", 2);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("plain Lua error from C"), std::string::npos) << r.message;
}

// ---- stack discipline --------------------------------------------------------

TEST_F(LuaEngineTest, StackTopUnchangedAfterManyCalls)
{
    const std::string scripts[] = {
        returning("1, 2, true"),                    // success
        returning("1, 2, 3, false"),                // success, status false
        returning("1"),                             // too few values
        returning("{}, 1, 0"),                      // not a number
        "x = 1\n",                                  // function not found
        "function kov_f() error('runtime') end\n",  // runtime error
        "function kov_f( return end\n",             // syntax error
    };
    const double z = 0.5;
    const int top = lua_gettop(engine.L);
    int successes = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::string& s = scripts[i % 7];
        if (callWith(engine, s, 3, {&z}).ok) {
            ++successes;
        }
    }
    EXPECT_EQ(lua_gettop(engine.L), top);
    // Two of every seven scripts succeed.
    EXPECT_EQ(successes, 2 * (100000 / 7) + std::min(100000 % 7, 2));
}

// ---- state -----------------------------------------------------------------

TEST_F(LuaEngineTest, RegistryPointsBackToTheEngine)
{
    EXPECT_EQ(LuaEngineCore::fromState(engine.L), &engine);
    lua_getfield(engine.L, LUA_REGISTRYINDEX, "___LuaEngine___");
    EXPECT_EQ(lua_touserdata(engine.L, -1), &engine);
    lua_pop(engine.L, 1);
}

struct PreludeCase {
    const char* expression;
    double expected;
};

TEST_F(LuaEngineTest, PreludeGivesShortMathNames)
{
    const PreludeCase cases[] = {
        {"abs(-2)", 2},      {"pi", M_PI},        {"atan2(1, 0)", M_PI / 2},
        {"max(3, 7, 5)", 7}, {"min(3, 7, 5)", 3}, {"pow(2, 10)", 1024},
        {"fmod(7, 3)", 1},   {"sqrt(16)", 4},     {"exp(0) + log(1)", 1},
        {"floor(2.7)", 2},   {"ldexp(1, 3)", 8},  {"deg(pi)", 180},
    };
    for (const auto& c : cases) {
        CallResult r = callWith(engine, returning(std::string(c.expression) + ", 0"), 2);
        ASSERT_TRUE(r.ok) << c.expression << ": " << r.message;
        EXPECT_DOUBLE_EQ(r.out[0], c.expected) << c.expression;
    }
    CallResult r = callWith(engine, returning("huge, 0"), 2);
    EXPECT_TRUE(std::isinf(r.out[0]));

    // A script's own definition wins over the prelude's.
    r = callWith(engine, "function abs(x) return 42 end\n" + returning("abs(-2), 0"), 2);
    EXPECT_EQ(r.out[0], 42);
}

TEST_F(LuaEngineTest, ToStringByType)
{
    ASSERT_TRUE(
        engine.run("t_meta = setmetatable({}, {__tostring = function() return 'custom' end})\n"
                   "t_plain = {}\n"));
    lua_State* L = engine.L;
    struct {
        void (*push)(lua_State*);
        const char* expected;
    } cases[] = {
        {[](lua_State* s) { lua_pushnil(s); }, "nil"},
        {[](lua_State* s) { lua_pushboolean(s, 1); }, "true"},
        {[](lua_State* s) { lua_pushboolean(s, 0); }, "false"},
        {[](lua_State* s) { lua_pushnumber(s, 3.0); }, "3"},
        {[](lua_State* s) { lua_pushnumber(s, -12.00000001); }, "-12"},
        {[](lua_State* s) { lua_pushnumber(s, 2.5); }, "2.5"},
        {[](lua_State* s) { lua_pushstring(s, "text"); }, "text"},
        {[](lua_State* s) { lua_getglobal(s, "t_meta"); }, "custom"},
    };
    for (const auto& c : cases) {
        c.push(L);
        const char* text = engine.toString();
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.expected);
        lua_settop(L, 0);
    }
    lua_getglobal(L, "t_plain");
    EXPECT_EQ(std::string(engine.toString()).rfind("table: ", 0), 0u);
    lua_settop(L, 0);
    EXPECT_EQ(engine.toString(), nullptr);  // empty stack
}

TEST(LuaException, KeepsTheWholeText)
{
    const std::string text(5000, 'e');
    luaexception e(text.c_str());
    luaexception copy = e;
    EXPECT_EQ(std::string(copy.what()), text);
    const std::exception& base = e;
    EXPECT_EQ(std::string(base.what()).size(), 5000u);
}

// ---- search paths ---------------------------------------------------------------

TEST_F(LuaEngineTest, PackagePathTakesAFolderWithQuotesAndBrackets)
{
    luatest::ScratchDir dir("odd]]name'with\"quotes");
    dir.write("kovra_testmod.lua", "return { value = 42 }\n");
    const std::string folder = dir.path().string();
    ASSERT_TRUE(engine.addPackagePath(folder.c_str()));
    ASSERT_FALSE(engine.moduleFolders().empty());
    EXPECT_EQ(engine.moduleFolders().front(), folder + "/");

    CallResult r =
        callWith(engine, "local m = require('kovra_testmod')\n" + returning("m.value, 0"), 2);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.out[0], 42);
}

TEST_F(LuaEngineTest, PackagePathRefusesSearchPatternCharacters)
{
    const std::vector<std::string> before = engine.moduleFolders();
    EXPECT_FALSE(engine.addPackagePath("/tmp/a;/tmp/b"));
    EXPECT_FALSE(engine.addPackagePath("/tmp/what?"));
    EXPECT_FALSE(engine.addPackagePath(""));
    EXPECT_EQ(engine.moduleFolders(), before);
}

// ---- script files ------------------------------------------------------------------

TEST_F(LuaEngineTest, ScriptFileIsReadOncePerRun)
{
    luatest::ScratchDir dir;
    const auto file = dir.write("model.lua", "-- first\n");
    int error = -1;
    const std::string* text = engine.scriptText(file.wstring().c_str(), &error);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(*text, "-- first\n");

    // The run keeps the text it started with.
    dir.write("model.lua", "-- second version\n");
    EXPECT_EQ(engine.scriptText(file.wstring().c_str(), &error), text);
    EXPECT_EQ(*text, "-- first\n");

    // A new state (the next run) reads the file again.
    ASSERT_TRUE(engine.init());
    text = engine.scriptText(file.wstring().c_str(), &error);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(*text, "-- second version\n");

    EXPECT_EQ(engine.scriptText((dir.path() / "missing.lua").wstring().c_str(), &error), nullptr);
    EXPECT_EQ(error, 1);
}

}  // namespace
