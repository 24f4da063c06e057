// Roads of ek_simulate that end in an error: each returns false, leaves
// the five name buffers as they were and says why.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "runEntryTestSupport.h"

namespace {

struct ErrorRoad {
    const char* what;
    // Prepares the scratch folder and returns the device file to run.
    std::function<std::wstring(const TempFolder&)> prepare;
    const char* line;
    bool inLog;  // the line comes after the log file was set up
};

void PrintTo(const ErrorRoad& road, std::ostream* os) { *os << road.what; }

std::string folderOf(const TempFolder& s) { return kov_toUtf8(s.wideFolder()); }

std::wstring junctionWith(const TempFolder& s, const std::string& numeric, const std::string& extra)
{
    s.write("cell.kovra", junctionFile(folderOf(s), 100, 100, numeric, extra));
    return s.wideFile("cell.kovra");
}

const ErrorRoad ROADS[] = {
    {"missing device file", [](const TempFolder& s) { return s.wideFile("absent.kovra"); },
     "absent.kovra (no such file, or not readable)\n", false},
    {"invalid device file",
     [](const TempFolder& s) {
         s.write("cell.kovra", "# Kovra <XX>\n[Layer1]\n    Thickness=1\n");
         return s.wideFile("cell.kovra");
     },
     "[ERROR]   invalid input file header at line 1: \"# Kovra <XX>\" (the first line of a device "
     "file is exactly \"# Kovra <SL>\")\n",
     false},
    {"output folder cannot be made",
     [](const TempFolder& s) {
         // Without Command.OutDir the run makes "cell_out/" beside the
         // file; a plain file of that name is in the way.
         s.write("cell.kovra", junctionFile(""));
         s.write("cell_out", "in the way");
         return s.wideFile("cell.kovra");
     },
     "[ERROR]   cannot access the output directory: check permissions\n", false},
    {"AM1.5 without voltage source",
     [](const TempFolder& s) {
         return junctionWith(s, "", "[Light]\n    Light.Source=\"AM1.5\"\n");
     },
     // Refused as the file is read, at the line of the source, before
     // there is a log file.
     ": Light.Source = \"AM1.5\" needs a bias sweep or a bias file in [Voltage] (without one, use "
     "Light.Source=\"EQE\" for a wavelength sweep)\n",
     false},
    {"one wavelength without voltage source",
     [](const TempFolder& s) {
         return junctionWith(s, "",
                             "[Light]\n    Light.Source=\"Mono\"\n    Light.Wavelength=0.5\n"
                             "    Light.Flux=1e17\n");
     },
     ": Light.Source = \"Mono\" needs a bias sweep or a bias file in [Voltage] (without one, use "
     "Light.Source=\"EQE\" for a wavelength sweep)\n",
     false},
    {"mesh file gone",
     [](const TempFolder& s) {
         // The exchange file exists when the file is read and is removed
         // when the output folder is set up: a mesh file that vanished.
         s.write("simulcomm.txt", "0\n");
         return junctionWith(
             s, "    Numeric.Mesh=\"" + kov_toUtf8(s.wideFile("simulcomm.txt")) + "\"\n", "");
     },
     "[ERROR]   invalid mesh file\n", true},
    {"initial guess file gone",
     [](const TempFolder& s) {
         s.write("simulcomm.txt", "0\t0\t0\t0\n");
         return junctionWith(
             s, "    Numeric.Guess=\"" + kov_toUtf8(s.wideFile("simulcomm.txt")) + "\"\n", "");
     },
     "[ERROR]   invalid initial guess file\n", true},
    {"device summary cannot be written",
     [](const TempFolder& s) {
         // A failure before the solver must end the run, not pass for a
         // convergence failure that earns a second attempt.
         std::filesystem::create_directory(s.folder() / "simuldevice.txt");
         return junctionWith(s, "", "");
     },
     "[ERROR]   cannot open file \"", true},
    {"too few mesh points",
     [](const TempFolder& s) {
         s.write("cell.kovra", junctionFile(folderOf(s), 5, 20));
         return s.wideFile("cell.kovra");
     },
     "[ERROR]   invalid total number of mesh points: 25\n", true},
};

class RunEntryErrors : public ::testing::TestWithParam<ErrorRoad> {};

TEST_P(RunEntryErrors, ReturnsFalseLeavesTheNamesAndSaysWhy)
{
    const ErrorRoad& road = GetParam();
    TempFolder scratch;
    const std::wstring file = road.prepare(scratch);
    NameBuffers names;
    const RunResult run = runDevice(file, names);
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(names.allUntouched());
    EXPECT_FALSE(run.plot);
    EXPECT_NE(run.console.find(road.line), std::string::npos) << run.console;
    if (road.inLog) {
        const std::string log = readText(scratch.wideFile("simulog.txt"));
        EXPECT_NE(log.find(road.line), std::string::npos) << log;
    }
    // Nothing was solved, so no distribution was written.
    EXPECT_FALSE(scratch.exists("simulout_dist_1.txt"));
}

INSTANTIATE_TEST_SUITE_P(Roads, RunEntryErrors, ::testing::ValuesIn(ROADS), [](const auto& info) {
    std::string name = info.param.what;
    for (char& c : name) {
        c = (c == ' ' || c == '.') ? '_' : c;
    }
    return name;
});

TEST(RunEntryArguments, NullOrOverlongInputIsRefusedWithoutTouchingAnything)
{
    NameBuffers names;
    bool plot = true;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(ek_simulate(nullptr, false, false, false, &plot, false, names.ee, names.en,
                             names.cv, names.jv, names.qw, nullptr));
    const std::wstring longName = L"/tmp/" + std::wstring(2000, L'a') + L".kovra";
    EXPECT_FALSE(ek_simulate(longName.c_str(), false, false, false, &plot, false, names.ee,
                             names.en, names.cv, names.jv, names.qw, nullptr));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(plot);
    EXPECT_TRUE(names.allUntouched());
    EXPECT_NE(out.find("[ERROR]   invalid input filename\n"), std::string::npos) << out;
}

}  // namespace
