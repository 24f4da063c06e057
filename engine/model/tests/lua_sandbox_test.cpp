// Model scripts come with device files from anyone: the Lua state they run
// in can neither reach the system nor run without bound.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "LuaEngineCore.h"
#include "kovbase.h"
#include "luaTestSupport.h"

namespace {

struct Outcome {
    bool ok = false;
    double value = 0.0;
    std::string message;
    double seconds = 0.0;
};

// Runs kov_f() of a script whose body is `body`, expecting two results.
Outcome callBody(LuaEngineCore& engine, const std::string& body)
{
    const std::string script = "function kov_f()\n" + body + "\nend\n";
    double value = -1.0, graded = 0.0;
    double* out[LuaEngineCore::MAX_OUTPUTS] = {&value, &graded};
    const double* in[LuaEngineCore::MAX_INPUTS] = {};
    int status = 0;
    Outcome o;
    const auto start = std::chrono::steady_clock::now();
    o.ok = engine.call(script.c_str(), "kov_f", in, out, &status);
    o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    o.value = value;
    o.message = engine.getMessageA();
    return o;
}

class LuaSandbox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.init()); }
    LuaEngineCore engine;
    luatest::ScratchDir dir;
    std::string sentinel() const { return (dir.path() / "planted").string(); }
};

// Each line tries to reach the system; the sentinel file must never appear
// and the process must live on.
struct Escape {
    const char* name;
    const char* body;  // %S stands for the sentinel's path
};

class LuaSandboxEscapes : public LuaSandbox, public testing::WithParamInterface<Escape> {};

TEST_P(LuaSandboxEscapes, IsRefusedWithoutSideEffect)
{
    std::string body = GetParam().body;
    const size_t at = body.find("%S");
    if (at != std::string::npos) {
        body.replace(at, 2, sentinel());
    }
    const Outcome o = callBody(engine, body + "\nreturn 1, 0");
    EXPECT_FALSE(o.ok) << GetParam().name;
    EXPECT_FALSE(o.message.empty());
    EXPECT_FALSE(std::filesystem::exists(sentinel())) << GetParam().name;
    // The state stays usable.
    EXPECT_TRUE(callBody(engine, "return 2, 0").ok) << engine.getMessageA();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LuaSandboxEscapes,
    testing::Values(
        Escape{"OsExecute", "os.execute('touch %S')"}, Escape{"OsExit", "os.exit(3)"},
        Escape{"OsRemove", "os.remove('%S')"},
        Escape{"IoOpenWrite", "io.open('%S', 'w'):write('x')"},
        Escape{"IoPopen", "io.popen('touch %S')"}, Escape{"Loadfile", "loadfile('/etc/passwd')"},
        Escape{"Dofile", "dofile('/etc/passwd')"}, Escape{"Loadstring", "loadstring('return 1')()"},
        Escape{"Load", "load(function() return nil end)"},
        Escape{"PackageLoadlib", "package.loadlib('libc.so.6', 'system')"},
        Escape{"RequireFfi", "local ffi = require('ffi') ffi.cdef('int system(const char*);') "
                             "ffi.C.system('touch %S')"},
        Escape{"GlobalFfi", "ffi.cast('int*', 0)[0] = 1"},
        Escape{"RequireOs", "require('os').execute('touch %S')"},
        Escape{"RequireIo", "require('io')"}, Escape{"RequirePath", "require('../../etc/passwd')"},
        Escape{"RequireAbsolute", "require('/etc/passwd')"}, Escape{"Debug", "debug.sethook()"},
        Escape{"Jit", "jit.on()"},
        Escape{"Coroutine", "coroutine.resume(coroutine.create(function() end))"},
        Escape{"StringDump", "loadstring(string.dump(function() end))"}),
    [](const testing::TestParamInfo<Escape>& info) { return std::string(info.param.name); });

// What model scripts do need stays.
TEST_F(LuaSandbox, MathStringTableBitAndTheirRequireRemain)
{
    const Outcome o =
        callBody(engine, "local m = require('math')\n"
                         "local parts = {}\n"
                         "table.insert(parts, string.format('%d', bit.band(7, 3)))\n"
                         "local ok, err = pcall(error, 'caught')\n"
                         "assert(not ok and err:find('caught'))\n"
                         "return m.sqrt(16) + tonumber(parts[1]) + select('#', 1, 2), 0");
    ASSERT_TRUE(o.ok) << o.message;
    EXPECT_EQ(o.value, 4.0 + 3.0 + 2.0);
}

// Every bound ends the script soon with a message that says which bound,
// even when the script tries to catch the error itself.
struct Runaway {
    const char* name;
    const char* body;
    const char* says;
};

class LuaSandboxBounds : public LuaSandbox, public testing::WithParamInterface<Runaway> {};

TEST_P(LuaSandboxBounds, EndTheScriptWithTheirMessage)
{
    const Outcome o = callBody(engine, std::string(GetParam().body) + "\nreturn 1, 0");
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.message.find(GetParam().says), std::string::npos) << o.message;
    EXPECT_LT(o.seconds, 30.0);
    // The next call starts with a fresh budget.
    const Outcome next =
        callBody(engine, "local s = 0 for i = 1, 1000 do s = s + i end return s, 0");
    ASSERT_TRUE(next.ok) << next.message;
    EXPECT_EQ(next.value, 500500.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LuaSandboxBounds,
    testing::Values(Runaway{"EndlessLoop", "while true do end", "million instructions"},
                    Runaway{"EndlessRecursionCaught",
                            "local function f() while true do end end\nwhile true do pcall(f) end",
                            "million instructions"},
                    Runaway{"EndlessXpcall",
                            "while true do xpcall(function() while true do end end, print) end",
                            "million instructions"},
                    Runaway{"GrowingTable",
                            "local t = {} local i = 0 while true do i = i + 1 t[i] = "
                            "string.rep('x', 65536) .. i end",
                            "MB of memory"},
                    Runaway{"OneHugeString", "local s = string.rep('x', 2^30)", "MB of memory"},
                    Runaway{"MemoryCaught", "while true do pcall(string.rep, 'x', 2^30) end",
                            "MB of memory"}),
    [](const testing::TestParamInfo<Runaway>& info) { return std::string(info.param.name); });

TEST_F(LuaSandbox, StopEndsARunningScript)
{
    int asked = 0;
    engine.setStopTest([&asked] { return ++asked > 10; });
    const Outcome o = callBody(engine, "while true do end");
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.message.find("stopped by the user"), std::string::npos) << o.message;
    EXPECT_LT(asked, 20);  // the first stop is honoured
}

TEST_F(LuaSandbox, RunOfAChunkIsBoundedToo)
{
    testing::internal::CaptureStdout();
    EXPECT_FALSE(engine.run("while true do end"));
    testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string(engine.getMessageA()).find("million instructions"), std::string::npos)
        << engine.getMessageA();
}

}  // namespace
