// Mutated files never crash the Lua module's loaders: network files
// (nrvlua.load), tensor files (nrvlua.tensor_load) and IDX image and label
// files (nrvlua.mnist_load_train) are loaded from a Lua state as scripts
// load them. Each load either gives a result or raises a message of the
// module ("nrvlua.<function>: ..."), never LuaJIT's bare "C++ exception",
// and headers that ask for more than the file holds are refused before
// anything is allocated (the sanitizers report an oversized allocation).
// The case count and the seed are fixed, so a failure repeats; the time
// cap keeps the test within seconds. KOVRA_FUZZ_CASES and KOVRA_FUZZ_SEED
// in the environment allow a longer search by hand.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <string>

#include "fuzzMutator.h"
#include "fuzzSettings.h"
#include "tempFolder.h"

namespace {

constexpr int CASES = 600;
constexpr double TIME_CAP_SECONDS = 3.0;
constexpr unsigned SEED = 20261213u;

class LuaState {
public:
    LuaState() : L(luaL_newstate())
    {
        // The module stays mapped after lua_close unloads it: what the C++
        // runtime set up for it at load time would otherwise be reported
        // as leaked by the sanitized build.
        static void* const pinned = dlopen(KOVRA_BIN_DIR "/nrvlua.so", RTLD_NOW | RTLD_NODELETE);
        EXPECT_NE(pinned, nullptr) << dlerror();
        luaL_openlibs(L);
        run("package.cpath = '" KOVRA_BIN_DIR "/?.so;' .. package.cpath\nnrv = require 'nrvlua'");
    }
    ~LuaState() { lua_close(L); }
    // Runs a chunk; "" when it ran, else its error text.
    std::string run(const std::string& code)
    {
        std::string error;
        if (luaL_dostring(L, code.c_str()) != 0) {
            error = lua_isstring(L, -1) ? lua_tostring(L, -1) : "(no text)";
        }
        lua_settop(L, 0);
        return error;
    }

private:
    lua_State* L;
};

// A Lua string literal of a path (the scratch folder holds no quotes).
std::string quoted(const std::string& path) { return "'" + path + "'"; }

// The seeds: a saved network (with and without the optimiser's state), a
// saved tensor, and an IDX image and label file the network takes.
struct Seeds {
    std::string network, networkWithState, tensor, images, labels;
};

Seeds makeSeeds(LuaState& lua, const TempFolder& folder)
{
    const std::string script =
        "local n = nrv.create('seed', nrv.CRITERION_CCE, nrv.VALIDATION_ARGMAX, "
        "nrv.OPTIMIZER_ADAM)\n"
        "nrv.add_layer(n, 4, nrv.ACTIVATION_NONE)\n"
        "nrv.add_layer_conv(n, 1, 2, 2, 2, 1, nrv.ACTIVATION_RELU, 0, 'c', 1, 0)\n"
        "nrv.add_layer(n, 3, nrv.ACTIVATION_SOFTMAX)\n"
        "nrv.compile(n)\n"
        "assert(nrv.save(n, " +
        quoted(folder.file("n.nrv")) +
        ", false) == 1)\n"
        "assert(nrv.save(n, " +
        quoted(folder.file("s.nrv")) +
        ", true) == 1)\n"
        "nrv.destroy(n)\n"
        "local t = nrv.tensor_from_table({1, 2, 3, 4, 5})\n"
        "assert(nrv.tensor_save(t, " +
        quoted(folder.file("t.nrt")) + ") == 1)\n";
    EXPECT_EQ(lua.run(script), "");
    Seeds seeds;
    seeds.network = readAll(folder.file("n.nrv"));
    seeds.networkWithState = readAll(folder.file("s.nrv"));
    seeds.tensor = readAll(folder.file("t.nrt"));
    auto bigEndian = [](std::initializer_list<uint32_t> words) {
        std::string bytes;
        for (uint32_t w : words) {
            for (int s = 24; s >= 0; s -= 8) {
                bytes.push_back(static_cast<char>((w >> s) & 0xFF));
            }
        }
        return bytes;
    };
    seeds.images = bigEndian({0x803, 3, 2, 2}) +
                   std::string("\x00\xFF\x10\x20\x30\x40\x50\x60\x70\x80\x90\xA0", 12);
    seeds.labels = bigEndian({0x801, 3}) + std::string("\x00\x01\x02", 3);
    return seeds;
}

// A refusal is the module's own message; a result is a number.
void expectClean(const std::string& error, const char* function, int index)
{
    if (error.empty()) {
        return;
    }
    EXPECT_NE(error.find(std::string("nrvlua.") + function + ": "), std::string::npos)
        << "case " << index << ": " << error;
    EXPECT_EQ(error.find("C++ exception"), std::string::npos) << "case " << index << ": " << error;
}

TEST(NrvluaLoadersFuzz, MutatedFilesLoadOrAreRefusedByTheModule)
{
    TempFolder folder;
    LuaState lua;
    const Seeds seeds = makeSeeds(lua, folder);
    // A network whose 4 inputs and 3 outputs the IDX seeds fit.
    ASSERT_EQ(
        lua.run(
            "net = nrv.create('m', nrv.CRITERION_CCE, nrv.VALIDATION_ARGMAX, nrv.OPTIMIZER_ADAM)\n"
            "nrv.add_layer(net, 4, nrv.ACTIVATION_NONE)\n"
            "nrv.add_layer(net, 3, nrv.ACTIVATION_SOFTMAX)\n"
            "nrv.compile(net)"),
        "");
    const int caseCount = static_cast<int>(fuzzSetting("KOVRA_FUZZ_CASES", CASES));
    const double timeCap =
        FUZZ_TIME_SCALE * TIME_CAP_SECONDS * std::max(1.0, double(caseCount) / CASES);
    FuzzMutator mutator(static_cast<unsigned>(fuzzSetting("KOVRA_FUZZ_SEED", SEED)));
    const auto started = std::chrono::steady_clock::now();
    const std::string file = folder.file("fuzz.bin"), labels = folder.file("labels.idx");
    int ran = 0;
    for (int i = 0; i < caseCount; ++i) {
        switch (i % 4) {
        case 0:
        case 1:
            folder.write("fuzz.bin",
                         mutator.mutate(i % 4 == 0 ? seeds.network : seeds.networkWithState));
            expectClean(lua.run("local n = nrv.load(" + quoted(file) +
                                ")\n"
                                "nrv.destroy(n)"),
                        "load", i);
            break;
        case 2:
            folder.write("fuzz.bin", mutator.mutate(seeds.tensor));
            expectClean(lua.run("local t = nrv.tensor_load(" + quoted(file) +
                                ")\n"
                                "if t ~= 0 then nrv.tensor_stats(t) nrv.tensor_destroy(t) end"),
                        "tensor_load", i);
            break;
        default:
            folder.write("fuzz.bin", mutator.mutate(seeds.images));
            folder.write("labels.idx",
                         mutator.pick(2) == 0 ? seeds.labels : mutator.mutate(seeds.labels));
            expectClean(
                lua.run("nrv.mnist_load_train(net, " + quoted(file) + ", " + quoted(labels) + ")"),
                "mnist_load_train", i);
            break;
        }
        ++ran;
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() >
            timeCap) {
            break;
        }
    }
    EXPECT_GT(ran, 40);
    // The state and the module still work.
    EXPECT_EQ(lua.run("assert(nrv.tensor_size(nrv.tensor_from_table({1, 2})) == 2)"), "");
}

}  // namespace
