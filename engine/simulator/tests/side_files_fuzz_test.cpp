// Malformed side files never crash or hang a run: the mesh, bias, spectrum
// and index files and a Lua model script of a small lit p-n junction are
// mutated one at a time (byte flips, truncation, odd numbers, long lines,
// lines removed or repeated) and the device is run through ek_simulate.
// Each run either succeeds with its results named, or fails with an
// "[ERROR]" line. The seed and the case count are fixed so a failure
// repeats; the time cap keeps slow machines within a few seconds (the
// sanitized build runs the same cases).
// KOVRA_FUZZ_CASES and KOVRA_FUZZ_SEED in the environment allow a longer
// search by hand.
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "runFixture.h"
#include "fuzzMutator.h"
#include "fuzzSettings.h"

namespace {

constexpr int CASES = 120;
constexpr double TIME_CAP_SECONDS = 6.0;
constexpr unsigned SEED = 20261210u;

struct SideFile {
    const char* name;
    std::string text;
};

std::vector<SideFile> sideFiles()
{
    std::string mesh;
    for (int i = 0; i <= 60; ++i) {
        mesh += std::to_string(1.5 * i / 60.0) + "\n";
    }
    std::string spectrum;
    for (int i = 0; i < 12; ++i) {
        const double wavelength = 0.35 + 0.07 * i;
        spectrum += std::to_string(wavelength) + "\t" + std::to_string(0.1 + 0.01 * i) + "\n";
    }
    std::string index = "# wavelength\tn\tk\n";
    for (const char* row : {"0.2\t3.5\t0.5", "0.4\t3.5\t0.1", "0.6\t3.5\t0.02", "0.8\t3.5\t0.005",
                            "1.0\t3.5\t0.0", "2.0\t3.5\t0.0"}) {
        index += std::string(row) + "\n";
    }
    return {
        {"mesh.txt", mesh},
        {"bias.txt", "0\n0.1\n0.2\n0.3\n"},
        {"spectrum.txt", spectrum},
        {"table.nk", index},
        {"mobility.lua", "local function mu(max, min, ref, N)\n"
                         "  return min + (max - min) / (1.0 + (N / ref) ^ 0.7)\n"
                         "end\n"
                         "function kov_mobility(z, thickness, T, N)\n"
                         "  return mu(1417, 52, 9.7e16, N), mu(470, 45, 2.2e17, N), false\n"
                         "end\n"},
    };
}

// One mutation of a side file (mesh, bias, spectrum, index or mobility
// columns): the shared byte and line mutations, whole lines of odd numbers,
// and the file emptied.
std::string mutateSideFile(FuzzMutator& mutator, std::string text)
{
    if (text.empty()) {
        return std::string(1 + mutator.pick(64), static_cast<char>(mutator.pick(256)));
    }
    std::vector<std::string> lines = FuzzMutator::splitLines(text);
    const size_t line = mutator.pickLine(lines);
    switch (mutator.pick(7)) {
    case 0: return mutator.flipBytes(text, 6);
    case 1: return mutator.cut(text);
    case 2: {  // an odd number in place of a field
        static const char* const numbers[] = {
            "1e308", "-1e308", "nan", "inf", "-inf", "0", "-1", "1e-320", "99999999999999999999",
            "",      "x"};
        lines[line] = mutator.oneOf(numbers) + std::string(mutator.pick(2) == 0 ? "\t1" : "");
        return FuzzMutator::joinLines(lines);
    }
    case 3:
        mutator.insertLongLine(lines, line, "7", 500, 5000);
        return FuzzMutator::joinLines(lines);
    case 4: mutator.removeOrRepeatLine(lines, line, 200); return FuzzMutator::joinLines(lines);
    case 5: mutator.swapLines(lines, line); return FuzzMutator::joinLines(lines);
    default:  // empty
        return mutator.pick(4) == 0 ? std::string() : text;
    }
}

class SideFilesFuzz : public RunFixture {
protected:
    // A p-n junction whose mesh, bias, spectrum, index and mobility come
    // from the side files; a few points, so a run takes milliseconds.
    std::string device()
    {
        return write("cell.kovra",
                     "# Kovra <SL>\n"
                     "[Device]\n    Name=\"fuzzed\"\n"
                     "[Layer1]\n    Material=\"Si\"\n    Thickness=0.5\n    Dopant.Type=\"N\"\n"
                     "    Dopant.N=1e17\n    Mobility.Model=\"mobility.lua\"\n"
                     "[Layer2]\n    Material=\"Si\"\n    Thickness=1\n    Dopant.Type=\"P\"\n"
                     "    Dopant.N=1e16\n    Index.File=\"table.nk\"\n"
                     "[Voltage]\n    Voltage.Source=\"bias.txt\"\n"
                     "[Light]\n    Light.Source=\"spectrum.txt\"\n"
                     "[Numeric]\n    Numeric.Method=\"Newton\"\n    Numeric.Mesh=\"mesh.txt\"\n"
                     "[Command]\n    Command.OutDir=\"out\"\n");
    }
};

TEST_F(SideFilesFuzz, MutatedSideFilesNeverCrashOrHangARun)
{
    const std::vector<SideFile> files = sideFiles();
    for (const SideFile& file : files) {
        write(file.name, file.text);
    }
    const std::string cell = device();
    // The unmutated device runs: the cases below start from a working run.
    ASSERT_TRUE(run(cell)) << log;
    // Every side file took part: the run copied each one beside its results.
    for (const char* copy : {"simulinput_mesh.txt", "simulinput_bias.txt", "simulinput_light.txt",
                             "simulinput_index_layer2.nk", "simulinput_mobility_layer1.lua"}) {
        EXPECT_TRUE(std::filesystem::exists(at(std::string("out/") + copy))) << copy;
    }

    const long cases = fuzzSetting("KOVRA_FUZZ_CASES", CASES);
    FuzzMutator mutator(static_cast<unsigned>(fuzzSetting("KOVRA_FUZZ_SEED", SEED)));
    const auto start = std::chrono::steady_clock::now();
    const double cap = FUZZ_TIME_SCALE * TIME_CAP_SECONDS * static_cast<double>(cases) / CASES;
    long done = 0;
    for (; done < cases; ++done) {
        const SideFile& target =
            files[static_cast<size_t>(mutator.pick(static_cast<int>(files.size())))];
        const std::string mutated = mutator.mutate(target.text, mutateSideFile, 2);
        write(target.name, mutated);
        std::wstring names[5];
        const bool ok = run(cell, names);
        const bool named =
            !names[0].empty() || !names[1].empty() || !names[4].empty() || !names[3].empty();
        // A run tells the truth about itself: failure with its reason, or
        // success with its results.
        if (ok) {
            EXPECT_TRUE(named) << "case " << done << " (" << target.name << "): no result\n" << log;
        } else {
            EXPECT_NE(log.find("[ERROR]"), std::string::npos)
                << "case " << done << " (" << target.name << "): failed without a reason\n"
                << log;
        }
        write(target.name, target.text);
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        if (spent.count() > cap) {
            break;
        }
    }
    // The time cap must leave a meaningful number of cases on any machine.
    EXPECT_GE(done, 10);
}

}  // namespace
