// Whole runs through the run entry: a junction at equilibrium, a voltage
// sweep, and the uniform re-mesh of a per-layer run that converged nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runEntryTestSupport.h"

namespace {

constexpr double VT = 0.02585202874;  // V at 300 K

// The report lines of one kind ("[SEND]ZP:" ...) in the exchange file.
std::vector<std::string> reportLines(const TempFolder& scratch, const std::string& code)
{
    std::vector<std::string> found;
    for (const std::string& line : splitLines(readText(scratch.wideFile("simulcomm.txt")))) {
        if (line.rfind(code, 0) == 0) {
            found.push_back(line.substr(code.size()));
        }
    }
    return found;
}

TEST(RunEntry, JunctionAtEquilibriumWritesOnlyTheEquilibriumDistribution)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder()), 100, 100, "", "") +
                                    "    Command.Plot=\"Yes\"\n");
    // A distribution of an earlier run with another digit count.
    scratch.write("simulout_dist_0007.txt", "old");
    NameBuffers names;
    bool plot = false;
    const std::wstring file = scratch.wideFile("cell.kovra");
    ::testing::internal::CaptureStdout();
    const bool ok = ek_simulate(file.c_str(), false, true, false, &plot, false, names.ee, names.en,
                                names.cv, names.jv, names.qw, nullptr);
    const std::string console = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok) << console;
    EXPECT_TRUE(plot);

    const std::wstring dist = scratch.wideFile("simulout_dist_1.txt");
    EXPECT_EQ(std::wstring(names.ee), dist);
    EXPECT_TRUE(names.untouched(names.en));
    EXPECT_TRUE(names.untouched(names.cv));
    EXPECT_TRUE(names.untouched(names.jv));
    EXPECT_TRUE(names.untouched(names.qw));
    EXPECT_FALSE(scratch.exists("simulout_dist_0007.txt"));

    const std::string text = readText(dist);
    const std::vector<std::string> lines = splitLines(text);
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines[0], "# Kovra <EE>");
    EXPECT_EQ(lines[1], "# The above first line is mandatory");
    EXPECT_NE(text.find("\n# Junction\n"), std::string::npos);
    const std::vector<std::string> rows = dataRows(text);
    ASSERT_EQ(rows.size(), 200u);

    // The file's own columns obey the junction at rest: the potential
    // across it is the built-in potential of the two bulk dopings over the
    // intrinsic density, which the mass action n p = ni^2 gives.
    const std::vector<double> first = parseRow(rows.front());
    const std::vector<double> last = parseRow(rows.back());
    ASSERT_EQ(first.size(), 24u);
    const double ni2 = first[8] * first[9];
    EXPECT_NEAR(last[8] * last[9], ni2, 1e-6 * ni2);
    const double Na = first[10], Nd = last[11];
    EXPECT_NEAR(Na, 1e17, 0.05e17);
    EXPECT_NEAR(Nd, 1e16, 0.05e16);
    const double Vbi = VT * std::log(Na * Nd / ni2);
    EXPECT_NEAR(last[1] - first[1], Vbi, 0.01 * Vbi);
    EXPECT_NEAR(last[0], 1.5, 1e-9);

    // The equilibrium file was announced on the exchange file, with the
    // mesh size.
    EXPECT_EQ(reportLines(scratch, "[SEND]EE:"), std::vector<std::string>{kov_toUtf8(dist)});
    EXPECT_EQ(reportLines(scratch, "[SEND]ZP:"), std::vector<std::string>{"200"});
    EXPECT_TRUE(scratch.exists("simuldevice.txt"));
    EXPECT_TRUE(scratch.exists("simulog.txt"));
}

TEST(RunEntry, AVoltageSweepHandsBackItsFourNames)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder()), 100, 100, "",
                                             "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.2\n"
                                             "    Voltage.Step=0.1\n"));
    NameBuffers names;
    const RunResult run = runDevice(scratch.wideFile("cell.kovra"), names);
    ASSERT_TRUE(run.ok) << run.console;
    EXPECT_FALSE(run.plot);  // the file does not ask for a plot
    EXPECT_EQ(std::wstring(names.ee), scratch.wideFile("simulout_dist_1.txt"));
    EXPECT_EQ(std::wstring(names.jv), scratch.wideFile("simulout_jv.txt"));
    EXPECT_EQ(std::wstring(names.cv), scratch.wideFile("simulout_cv.txt"));
    EXPECT_TRUE(names.untouched(names.qw));
    ASSERT_FALSE(names.untouched(names.en));
    EXPECT_TRUE(scratch.exists(
        kov_toUtf8(std::wstring(names.en).substr(scratch.wideFolder().size())).c_str()));
    EXPECT_EQ(dataRows(readText(scratch.wideFile("simulout_jv.txt"))).size(), 3u);
}

TEST(RunEntry, NothingConvergedOnAPerLayerMeshIsRerunOnceOnAUniformMesh)
{
    TempFolder scratch;
    scratch.write("cell.kovra", junctionFile(kov_toUtf8(scratch.wideFolder()), 73, 73));
    NameBuffers names;
    // One iteration per solve: the equilibrium cannot converge.
    const RunResult run = runDevice(scratch.wideFile("cell.kovra"), names, true, true,
                                    [](nuParam& p) { p.setMaxiter(1); });
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(names.allUntouched());
    const char* remesh = "[INFO]    non-optimal mesh: switching to the uniform mesh...\n";
    const size_t at = run.console.find(remesh);
    ASSERT_NE(at, std::string::npos) << run.console;
    EXPECT_EQ(run.console.find(remesh, at + 1), std::string::npos) << "re-meshed twice";
    // The per-layer mesh of 146 points, then the uniform one rounded up
    // along the ladder.
    EXPECT_EQ(reportLines(scratch, "[SEND]ZP:"), (std::vector<std::string>{"146", "200"}));
    // The second attempt did run on the new mesh.
    const size_t afterRemesh = run.console.find("starting simulation at equilibrium", at);
    EXPECT_NE(afterRemesh, std::string::npos) << run.console;
}

TEST(RunEntry, AUniformMeshIsNeverRemeshed)
{
    TempFolder scratch;
    scratch.write("cell.kovra",
                  junctionFile(kov_toUtf8(scratch.wideFolder()), 73, 73,
                               "    Numeric.Mesh=\"Uniform\"\n    Numeric.Points=146\n"));
    NameBuffers names;
    const RunResult run = runDevice(scratch.wideFile("cell.kovra"), names, true, true,
                                    [](nuParam& p) { p.setMaxiter(1); });
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.console.find("non-optimal mesh"), std::string::npos) << run.console;
    EXPECT_EQ(reportLines(scratch, "[SEND]ZP:"), std::vector<std::string>{"200"});
}

TEST(RunEntry, TheCoarsestLayerOfAPerLayerMeshGetsMorePoints)
{
    TempFolder scratch;
    // A 0.1 um p layer and a 1 um n layer of 20 points each: the n layer's
    // 0.05 um step exceeds a fifth of the thin layer (0.02 um), so it gets
    // int(0.05 / 0.02) = 2, raised to the least factor 5: 100 points.
    std::string file = junctionFile(kov_toUtf8(scratch.wideFolder()), 20, 20);
    file.replace(file.find("Thickness=0.5"), 13, "Thickness=0.1");
    scratch.write("cell.kovra", file);
    NameBuffers names;
    const RunResult run = runDevice(scratch.wideFile("cell.kovra"), names, false, true);
    EXPECT_TRUE(run.ok) << run.console;
    // Said without verbose output.
    EXPECT_NE(run.console.find("[INFO]    too large step relatively to the thinnest layer: "
                               "increasing the number of points in [Layer2]...\n"),
              std::string::npos)
        << run.console;
    EXPECT_EQ(reportLines(scratch, "[SEND]ZP:"), std::vector<std::string>{"120"});
}

TEST(RunEntry, TheGrowthFactorIsRoundedUpSoTheStepFallsBelowTheThreshold)
{
    TempFolder scratch;
    // The n layer's step 3.16 / 20 = 0.158 um is 7.9 times a fifth of the
    // 0.1 um layer: a factor of 7 would leave 0.0226 um, still above 0.02 um,
    // and a rerun of the written input would grow the mesh again. Rounded up,
    // 8 x 20 = 160 points give 0.01975 um.
    std::string file = junctionFile(kov_toUtf8(scratch.wideFolder()), 20, 20);
    file.replace(file.find("Thickness=0.5"), 13, "Thickness=0.1");
    file.replace(file.find("Thickness=1\n"), 11, "Thickness=3.16");
    scratch.write("cell.kovra", file);
    NameBuffers names;
    const RunResult run = runDevice(scratch.wideFile("cell.kovra"), names, false, true);
    EXPECT_TRUE(run.ok) << run.console;
    EXPECT_EQ(reportLines(scratch, "[SEND]ZP:"), std::vector<std::string>{"180"});
}

TEST(RunEntry, AWavelengthSweepWithoutUsableLightFallsBackToEquilibrium)
{
    TempFolder scratch;
    // A thick absorbing anode lets no photon through: at 0 V the sweep has
    // nothing to do and the run solves the equilibrium instead.
    scratch.write("cell.kovra",
                  junctionFile(kov_toUtf8(scratch.wideFolder()), 100, 100, "",
                               "[Anode]\n    Anode.Thickness=10\n    Anode.Index.n=2\n"
                               "    Anode.Index.k=5\n"
                               "[Light]\n    Light.Source=\"Sweep\"\n    Light.Start=0.4\n"
                               "    Light.End=0.8\n    Light.Step=0.1\n    Light.Flux=1e17\n"));
    NameBuffers names;
    const RunResult run = runDevice(scratch.wideFile("cell.kovra"), names);
    ASSERT_TRUE(run.ok) << run.console;
    EXPECT_EQ(std::wstring(names.ee), scratch.wideFile("simulout_dist_1.txt"));
    EXPECT_TRUE(names.untouched(names.en));
    EXPECT_TRUE(names.untouched(names.qw));
    EXPECT_FALSE(scratch.exists("simulout_qw.txt"));
}

TEST(RunEntry, AWavelengthSweepWithoutUsableLightAtABiasSaysWhy)
{
    TempFolder scratch;
    // The same opaque anode at 0.2 V: there is no fallback, nothing is
    // solved, and the run must not end without a word.
    scratch.write("cell.kovra",
                  junctionFile(kov_toUtf8(scratch.wideFolder()), 100, 100, "",
                               "[Anode]\n    Anode.Thickness=10\n    Anode.Index.n=2\n"
                               "    Anode.Index.k=5\n"
                               "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0.2\n"
                               "    Voltage.End=0.4\n    Voltage.Step=0.1\n"
                               "[Light]\n    Light.Source=\"Sweep\"\n    Light.Start=0.4\n"
                               "    Light.End=0.8\n    Light.Step=0.1\n    Light.Flux=1e17\n"));
    NameBuffers names;
    const RunResult run = runDevice(scratch.wideFile("cell.kovra"), names);
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(names.allUntouched());
    EXPECT_NE(run.console.find("[WARNING] no usable light for the quantum-efficiency sweep"),
              std::string::npos)
        << run.console;
}

}  // namespace
