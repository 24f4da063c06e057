// What a run of the CdS/CdTe cell of the examples says about its voltage
// settings and its failures: a step equal to its range is a sweep of two
// points; a step or a voltage beyond what the first layer's bandgap allows
// is refused with its line, key, value and limit; a solve that does not
// converge is reported once, with where it failed, how far it got and what
// usually helps.
#include <filesystem>
#include <string>

#include "runFixture.h"

namespace {

class SweepMessages : public RunFixture {
protected:
    // The example with its lines from replaced by to, run; the log kept.
    bool runCell(const std::vector<std::pair<std::string, std::string>>& changes)
    {
        std::string cell = read(std::string(KOVRA_SOURCE_DIR) + "/examples/cds-cdte.kovra");
        for (const auto& [from, to] : changes) {
            const size_t at = cell.find(from);
            EXPECT_NE(at, std::string::npos) << from;
            if (at != std::string::npos) {
                cell.replace(at, from.size(), to);
            }
        }
        return run(write("cell.kovra", cell));
    }

    static size_t count(const std::string& text, const std::string& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
            ++n;
        }
        return n;
    }
};

TEST_F(SweepMessages, AStepEqualToItsRangeIsASweepOfTwoPoints)
{
    // -0.4 - -0.5 is 0.09999999999999998 in doubles, below the step.
    ASSERT_TRUE(runCell({{"Voltage.Start=-0.9", "Voltage.Start=-0.5"},
                         {"Voltage.End=0", "Voltage.End=-0.4"},
                         {"Voltage.Step=0.01", "Voltage.Step=0.1"}}))
        << log;
    const auto jv = rows(at("simulout_jv.txt"));
    ASSERT_EQ(jv.size(), 2u);
    EXPECT_DOUBLE_EQ(jv[0][0], -0.5);
    EXPECT_DOUBLE_EQ(jv[1][0], -0.4);
}

struct Limit {
    const char* name;
    const char* from;
    const char* to;
    const char* message;
};

class SweepLimit : public SweepMessages, public ::testing::WithParamInterface<Limit> {};

// Layer1 of the cell is CdS, whose bandgap of 2.42 eV allows voltages within
// 48.4 V and steps up to 0.484 V.
const Limit LIMITS[] = {
    {"StepAboveAFifthOfTheBandgap", "Voltage.Step=0.01", "Voltage.Step=0.5",
     "[ERROR]   invalid value at line 57: Voltage.Step = \"0.5\" (accepted: at most 0.484 V, a "
     "fifth of the bandgap of Layer1, 2.42 eV)\n"},
    {"EndBeyondTwentyBandgaps", "Voltage.End=0", "Voltage.End=60",
     "[ERROR]   invalid value at line 56: Voltage.End = \"60\" (accepted: from -48.4 to 48.4 V, "
     "20 times the bandgap of Layer1, 2.42 eV)\n"},
};

TEST_P(SweepLimit, IsRefusedWithItsLineKeyValueAndLimit)
{
    const Limit& l = GetParam();
    EXPECT_FALSE(runCell({{l.from, l.to}}));
    // Refused before anything else is said about the sweep.
    EXPECT_EQ(log, l.message);
}

INSTANTIATE_TEST_SUITE_P(Voltage, SweepLimit, ::testing::ValuesIn(LIMITS),
                         [](const auto& info) { return std::string(info.param.name); });

struct Failure {
    const char* name;
    const char* temperature;
    const char* where;  // the start of the one failure line
    const char* reached;
    const char* remedy;
    // The error said lies above this: a failure's last update is damped,
    // at most 1 / damping (0.5 after the pass damped by 2), and once was
    // what was said whatever happened; the error the iterations reached is
    // their undamped update.
    double above;
};

class ConvergenceFailure : public SweepMessages, public ::testing::WithParamInterface<Failure> {};

const Failure FAILURES[] = {
    // At 20 K the densities leave the range of the numbers.
    {"EquilibriumWithASingularSystem", "Temperature=20",
     "[ERROR]   Poisson convergence not achieved at equilibrium (0 V): ",
     "its linear system could not be solved", "what usually helps: more mesh points", 0.0},
    {"EquilibriumThatStalls", "Temperature=40",
     "[ERROR]   Poisson convergence not achieved at equilibrium (0 V): ",
     "the smallest relative error it reached was ", "what usually helps: more mesh points", 0.5},
    // At 60 K the equilibrium converges, the lit cell at 0 V does not.
    {"BiasPoint", "Temperature=60",
     "[ERROR]   convergence not achieved at V = 0 V with the Newton and the Gummel method: ",
     "the smallest relative error it reached was ", "what usually helps: a smaller Voltage.Step",
     1e-6},
};

TEST_P(ConvergenceFailure, IsSaidOnceWithWhereHowFarAndWhatHelps)
{
    const Failure& f = GetParam();
    EXPECT_FALSE(runCell({{"Temperature=300", f.temperature}}));
    // One attempt on the layers' mesh and one on a uniform mesh; the
    // failure is said once, by the attempt that ends the run.
    EXPECT_EQ(count(log, "convergence not achieved"), 1u) << log;
    const size_t at = log.find(f.where);
    ASSERT_NE(at, std::string::npos) << log;
    const std::string line = log.substr(at, log.find('\n', at) - at);
    EXPECT_NE(line.find(f.reached), std::string::npos) << line;
    EXPECT_NE(line.find(f.remedy), std::string::npos) << line;
    if (std::string(f.reached).find("relative error") != std::string::npos) {
        EXPECT_NE(line.find("(tolerance 1e-06)"), std::string::npos) << line;
        const size_t number = line.find(f.reached);
        ASSERT_NE(number, std::string::npos) << line;
        EXPECT_GT(std::stod(line.substr(number + std::string(f.reached).size())), f.above) << line;
    }
}

TEST_F(SweepMessages, ASweepCutShortKeepsItsPointsAndSaysWhereItStopped)
{
    // At 60 K in the dark the equilibrium converges, the first step below
    // 0 V does not: the run keeps its 0 V row and warns (even with the
    // warnings switched off) where and why the sweep ended.
    ASSERT_TRUE(runCell({{"Temperature=300", "Temperature=60"},
                         {"Light.Source=\"AM1.5\"", "Light.Source=\"None\""}}))
        << log;
    EXPECT_EQ(count(log, "convergence not achieved"), 1u) << log;
    const std::string warning =
        "[WARNING] convergence not achieved at V = -0.01 V with the Newton and the Gummel "
        "method: the smallest relative error it reached was ";
    const size_t where = log.find(warning);
    ASSERT_NE(where, std::string::npos) << log;
    const std::string line = log.substr(where, log.find('\n', where) - where);
    EXPECT_NE(line.find("(tolerance 1e-06); what usually helps: a smaller Voltage.Step"),
              std::string::npos)
        << line;
    EXPECT_NE(line.find("; the sweep has no points beyond it"), std::string::npos) << line;
    const auto jv = rows(at("simulout_jv.txt"));
    ASSERT_EQ(jv.size(), 1u);
    EXPECT_EQ(jv[0][0], 0.0);

    const double reached = std::stod(line.substr(warning.size()));
    EXPECT_GT(reached, 1e-6);

    // The last distribution holds the 0 V state the sweep kept, and is
    // headed with its bias, not with that of the solve that failed.
    std::filesystem::path last;
    for (const auto& entry : std::filesystem::directory_iterator(scratch)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("simulout_dist_", 0) == 0 && entry.path() > last) {
            last = entry.path();
        }
    }
    ASSERT_FALSE(last.empty());
    const std::string distribution = read(last.string());
    EXPECT_NE(distribution.find("# Voltage = 0 V   Current = 0 A/cm2"), std::string::npos) << last;
}

INSTANTIATE_TEST_SUITE_P(Runs, ConvergenceFailure, ::testing::ValuesIn(FAILURES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
