// Malformed model scripts never crash the engine nor reach the system: the
// model scripts of examples/lua are mutated (bytes changed, lines dropped,
// repeated or cut, numbers replaced by odd values, hostile or odd
// statements put in) and each mutant is called as the engine calls a
// model. Each call either succeeds or fails with a message, the state
// stays usable for the next script, and no file appears. The seed and the
// case count are fixed so a failure repeats; the time cap keeps slow
// machines (and the sanitized build, which runs the same cases) within a
// few seconds.
// KOVRA_FUZZ_CASES and KOVRA_FUZZ_SEED in the environment allow a longer
// search by hand.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LuaEngineCore.h"
#include "fuzzMutator.h"
#include "fuzzSettings.h"
#include "luaTestSupport.h"

namespace {

constexpr int CASES = 1500;
constexpr double TIME_CAP_SECONDS = 5.0;
constexpr unsigned SEED = 20261211u;

struct ModelScript {
    std::string name;
    std::string text;
    std::string function;  // the model function the engine calls
    int outputs = 0;       // result slots the unmutated script fills
};

std::string readWhole(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Calls the script's model function with four inputs (position, thickness,
// temperature, density: what the models take, in that order) and outputs
// result slots.
bool callModel(LuaEngineCore& engine, const std::string& text, const std::string& function,
               int outputs)
{
    const double z = 0.25, thickness = 1.0, T = 300.0, N = 1e16;
    const double* const in[LuaEngineCore::MAX_INPUTS] = {&z, &thickness, &T, &N};
    double values[LuaEngineCore::MAX_OUTPUTS] = {};
    double* out[LuaEngineCore::MAX_OUTPUTS] = {};
    for (int i = 0; i < outputs; ++i) {
        out[i] = &values[i];
    }
    int status = 0;
    return engine.call(text.c_str(), function.c_str(), in, out, &status);
}

// Model scripts of the examples with the result count each one fills.
std::vector<ModelScript> modelScripts(LuaEngineCore& engine)
{
    std::vector<ModelScript> scripts;
    static const std::string MODEL = "\nfunction kov_";
    for (const auto& entry : std::filesystem::directory_iterator(luatest::exampleDir())) {
        if (entry.path().extension() != ".lua") {
            continue;
        }
        ModelScript script;
        script.name = entry.path().filename().string();
        script.text = readWhole(entry.path());
        const size_t at = script.text.find(MODEL);
        const size_t open = script.text.find('(', at == std::string::npos ? 0 : at);
        if (at == std::string::npos || open == std::string::npos) {
            continue;  // not a model (a program of the Lua module)
        }
        script.function = script.text.substr(at + 10, open - at - 10);  // after "\nfunction "
        for (int outputs = 2; outputs <= LuaEngineCore::MAX_OUTPUTS; ++outputs) {
            if (callModel(engine, script.text, script.function, outputs)) {
                script.outputs = outputs;
                break;
            }
        }
        scripts.push_back(script);
    }
    return scripts;
}

// One mutation of a model script: the shared byte and line mutations (the
// bytes stay printable, so that the script still reads as text), numbers
// replaced by odd values, and odd or hostile statements; those that would
// reach the system touch the sentinel file.
std::string mutateScript(FuzzMutator& mutator, std::string text, const std::string& sentinel)
{
    std::vector<std::string> all = FuzzMutator::splitLines(text);
    if (all.empty()) {
        return "return 1\n";
    }
    const size_t at = mutator.pickLine(all);
    switch (mutator.pick(7)) {
    case 0: return mutator.flipBytes(text, 6, true);
    case 1: mutator.removeLine(all, at); return FuzzMutator::joinLines(all);
    case 2: mutator.repeatLine(all, at, 1); return FuzzMutator::joinLines(all);
    case 3: return mutator.cut(text);
    case 4: {  // a number replaced by an odd value
        static const char* const odd[] = {"0",   "-1",     "1e308", "-1e308", "(0/0)", "math.huge",
                                          "nil", "'text'", "{}",    "true",   "1e-320"};
        std::string& line = all[at];
        const size_t first = line.find_first_of("0123456789");
        if (first != std::string::npos) {
            size_t end = first;
            while (end < line.size() &&
                   (std::isdigit(static_cast<unsigned char>(line[end])) || line[end] == '.' ||
                    line[end] == 'e' || line[end] == 'E')) {
                ++end;
            }
            line.replace(first, end - first, mutator.oneOf(odd));
        }
        return FuzzMutator::joinLines(all);
    }
    default: {  // an odd or hostile statement put in
        const std::string statements[] = {
            "os.execute('touch " + sentinel + "')",
            "io.open('" + sentinel + "', 'w'):write('x')",
            "require('ffi')",
            "error('deliberate')",
            "error({})",
            "return",
            "return nil, 'text', {}",
            "local s = string.rep('x', 2^30)",
            "local function f() return f() + 1 end f()",
            "setmetatable(_G, {__index = function(t, k) error(k) end})",
            "getmetatable('').__index = nil",
            "kov_mobility, kov_bandgap, kov_doping, kov_index = nil",
            "collectgarbage('collect')",
            "local t = {} for i = 1, 100000 do t[i] = i end",
            "string.format('%d', 'x')",
            "(nil)()",
        };
        const auto count = static_cast<int>(sizeof statements / sizeof statements[0]);
        all.insert(all.begin() + static_cast<long>(at), statements[mutator.pick(count)]);
        return FuzzMutator::joinLines(all);
    }
    }
}

TEST(LuaScriptFuzz, MutatedModelScriptsNeverCrashOrReachTheSystem)
{
    LuaEngineCore engine;
    ASSERT_TRUE(engine.init());
    const std::vector<ModelScript> scripts = modelScripts(engine);
    ASSERT_GE(scripts.size(), 5u);
    for (const ModelScript& script : scripts) {
        ASSERT_GT(script.outputs, 0) << script.name << " does not run: " << engine.getMessageA();
    }

    luatest::ScratchDir scratch;
    const std::string sentinel = (scratch.path() / "planted").string();
    const long cases = fuzzSetting("KOVRA_FUZZ_CASES", CASES);
    FuzzMutator mutator(static_cast<unsigned>(fuzzSetting("KOVRA_FUZZ_SEED", SEED)));
    const auto mutateWithSentinel = [&sentinel](FuzzMutator& m, std::string text) {
        return mutateScript(m, std::move(text), sentinel);
    };
    const double cap =
        FUZZ_TIME_SCALE * TIME_CAP_SECONDS * std::max(1.0, static_cast<double>(cases) / CASES);
    const auto start = std::chrono::steady_clock::now();
    long done = 0, succeeded = 0;
    for (; done < cases; ++done) {
        const ModelScript& script = scripts[static_cast<size_t>(done) % scripts.size()];
        const std::string mutant = mutator.mutate(script.text, mutateWithSentinel);
        if (callModel(engine, mutant, script.function, script.outputs)) {
            ++succeeded;
        } else {
            // A failure always says why.
            ASSERT_STRNE(engine.getMessageA(), "") << "case " << done << ":\n" << mutant;
        }
        ASSERT_FALSE(std::filesystem::exists(sentinel)) << "case " << done << ":\n" << mutant;
        // Whatever the mutant did to the state, the next model still runs.
        ASSERT_TRUE(callModel(engine, script.text, script.function, script.outputs))
            << "case " << done << " left the state broken: " << engine.getMessageA() << "\n"
            << mutant;
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        if (spent.count() > cap) {
            break;
        }
    }
    std::printf("fuzz: %ld cases, %ld succeeded\n", done, succeeded);
    EXPECT_GE(done, 50);
}

}  // namespace
