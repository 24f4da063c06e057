// Malformed input never crashes the reader: mutations of the valid corpus
// and the examples (byte flips, truncations, long lines, huge numbers,
// deep '$' chains, shuffled lines) are loaded one after the other. Each
// load either succeeds cleanly, and its saved copy loads again into the
// same device, or fails with a level-1 line. The case count is fixed and
// the seed too, so a failure repeats; the time cap keeps slow machines
// within a few seconds.
// KOVRA_FUZZ_CASES and KOVRA_FUZZ_SEED in the environment allow a longer
// search by hand (the time cap then grows with the case count).
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "deviceCompare.h"
#include "fuzzMutator.h"
#include "fuzzSettings.h"

using namespace inputtest;

namespace {

constexpr int CASES = 1000;
constexpr double TIME_CAP_SECONDS = 3.0;
constexpr unsigned SEED = 20241210u;

// One mutation of a device file: the shared byte and line mutations, and
// the device file's own (odd numbers after '=', deep '$' chains, stray
// syntax, references far too long).
std::string mutateDevice(FuzzMutator& mutator, std::string text)
{
    if (text.empty()) {
        return "# Kovra <SL>\n";
    }
    std::vector<std::string> lines = FuzzMutator::splitLines(text);
    const size_t line = mutator.pickLine(lines);
    switch (mutator.pick(10)) {
    case 0: return mutator.flipBytes(text);
    case 1: return mutator.cut(text);
    case 2:
        mutator.insertLongLine(lines, line, "x=$[\"#@", 1000, 3000);
        return FuzzMutator::joinLines(lines);
    case 3: {  // a huge or odd number in place of a value
        static const char* const numbers[] = {
            "1e308",   "-1e308", "1e999", "-1e-400", "nan",
            "inf",     "-inf",   "0",     "1e-320",  "99999999999999999999",
            "(((1)))", "1/0"};
        const size_t equals = lines.empty() ? std::string::npos : lines[line].find('=');
        if (equals == std::string::npos) {
            return text;
        }
        lines[line] = lines[line].substr(0, equals + 1) + mutator.oneOf(numbers);
        return FuzzMutator::joinLines(lines);
    }
    case 4: {  // a deep chain of references before the first section
        std::string chain = "$c0 = 2\n";
        const int depth = 10 + mutator.pick(80);
        for (int i = 1; i < depth; ++i) {
            chain += "$c" + std::to_string(i) + " = $c" + std::to_string(i - 1) + " * $c" +
                     std::to_string(i - 1) + "\n";
        }
        const size_t first = text.find('\n');
        return text.substr(0, first + 1) + chain + text.substr(first + 1) +
               "[Layer1]\n    Thickness=$c" + std::to_string(depth - 1) + "\n";
    }
    case 5: mutator.removeOrRepeatLine(lines, line, 1); return FuzzMutator::joinLines(lines);
    case 6: mutator.swapLines(lines, line); return FuzzMutator::joinLines(lines);
    case 7: {  // a stray fragment of syntax
        static const char* const fragments[] = {"[",
                                                "]",
                                                "[Layer]",
                                                "[Layer9]",
                                                "[Signal]",
                                                "=",
                                                "$",
                                                "$x=",
                                                "\"",
                                                "Thickness=\"",
                                                "@cls",
                                                "[Device",
                                                "Trap5.Type=Donor",
                                                "Trap.Count=5",
                                                "Numeric.Mesh=.",
                                                "Command.OutDir=/"};
        mutator.insertOneOf(lines, line, fragments);
        return FuzzMutator::joinLines(lines);
    }
    case 8: {  // an odd but plausible number, to reach the writer often
        const size_t equals = lines.empty() ? std::string::npos : lines[line].find('=');
        if (equals == std::string::npos) {
            return text;
        }
        lines[line] = lines[line].substr(0, equals + 1) + mutator.plausibleNumber(-20, 40);
        return FuzzMutator::joinLines(lines);
    }
    default: {  // a reference to something far too long
        const std::string name(200 + mutator.pick(400), 'v');
        lines.insert(lines.begin() + static_cast<long>(line), "    Thickness=$" + name);
        return FuzzMutator::joinLines(lines);
    }
    }
}

}  // namespace

TEST(InputFuzz, MutatedDeviceFilesNeverCrashTheReader)
{
    std::vector<std::string> seeds;
    for (const std::string& file : deviceFiles(corpusPath("valid"))) {
        seeds.push_back(readText(file));
    }
    for (const std::string& file : deviceFiles(examplesPath(""))) {
        seeds.push_back(readText(file));
    }
    ASSERT_FALSE(seeds.empty());

    TempFolder scratch;
    const std::string path = scratch.file("mutated.kovra");
    const std::string copy = scratch.file("copy.kovra");
    const int caseCount = static_cast<int>(fuzzSetting("KOVRA_FUZZ_CASES", CASES));
    const double timeCap =
        FUZZ_TIME_SCALE * TIME_CAP_SECONDS * std::max(1.0, double(caseCount) / CASES);
    FuzzMutator mutator(static_cast<unsigned>(fuzzSetting("KOVRA_FUZZ_SEED", SEED)));
    const auto start = std::chrono::steady_clock::now();
    int cases = 0, loaded = 0;
    for (; cases < caseCount; ++cases) {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > timeCap) {
            break;
        }
        const std::string text =
            mutator.mutate(seeds[static_cast<size_t>(cases) % seeds.size()], mutateDevice);
        writeText(path, text);
        DeviceRun run;
        const bool ok = run.load(path);
        if (!ok) {
            ASSERT_NE(run.sigma.err, 0) << "refused without an error line:\n" << text;
            ASSERT_GE(run.line, -1);
            ASSERT_LE(run.line, 16384);
            continue;
        }
        ++loaded;
        ASSERT_EQ(run.sigma.err, 0) << text;
        ASSERT_GE(run.device->getLayerCount(), 1);
        ASSERT_LE(run.device->getLayerCount(), 9);
        // What loads, saves; and what is saved, loads.
        ASSERT_TRUE(run.save(copy)) << run.message() << "\n" << text;
        DeviceRun again;
        ASSERT_TRUE(again.load(copy)) << again.message() << "\nfrom:\n"
                                      << text << "\nsaved:\n"
                                      << readText(copy);
        expectSameRun(run, again);
        ASSERT_FALSE(HasFailure()) << "reloaded copy differs; from:\n" << text;
    }
    std::printf("fuzz: %d cases, %d loaded\n", cases, loaded);
    EXPECT_GE(cases, 50);
}
