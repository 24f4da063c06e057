// The examples as a user runs them: every one runs to its end without a
// single warning (each of its lines is valid), and so does the input copy
// it leaves in its result folder, and the Lua-model example
// runs from any current folder, its script named relative to the device
// file, with the script's Caughey-Thomas mobilities on the mesh.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ekRunEntry.h"
#include "kovbase.h"
#include "tempFolder.h"

namespace {

namespace fs = std::filesystem;

// Caughey-Thomas at 300 K with the parameters of
// examples/lua/mobility_caughey_thomas.lua.
double caugheyThomas(double muMin, double muMax, double nRef, double alpha, double N)
{
    return muMin + (muMax - muMin) / (1.0 + std::pow(N / nRef, alpha));
}

double electronMobility(double N) { return caugheyThomas(52.2, 1417.0, 9.68e16, 0.68, N); }

double holeMobility(double N) { return caugheyThomas(44.9, 470.5, 2.23e17, 0.719, N); }

// Rows of z, Mobn, Mobp from the input-data file.
struct PointMobility {
    double z, mun, mup;
};

std::vector<PointMobility> readMobilities(const std::string& file)
{
    std::ifstream in(file);
    std::vector<PointMobility> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream cells(line);
        std::vector<double> values;
        double value = 0.0;
        while (cells >> value) {
            values.push_back(value);
        }
        if (values.size() >= 8) {
            rows.push_back({values[0], values[6], values[7]});
        }
    }
    return rows;
}

// Runs with the current folder set elsewhere, and sets it back.
bool runFrom(const std::string& folder, const std::string& device, bool debug = true)
{
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    ekRunRequest request;
    const std::wstring input = kov_toWide(device);
    request.inputFile = input.c_str();
    request.debug = debug;  // writes the parameters on the mesh
    ::testing::internal::CaptureStdout();
    const bool ok = ek_runSimulation(request);
    const std::string console = ::testing::internal::GetCapturedStdout();
    fs::current_path(before);
    EXPECT_EQ(console.find("[WARNING]"), std::string::npos) << console;
    EXPECT_TRUE(ok) << console;
    return ok;
}

}  // namespace

TEST(ExampleLuaModel, RunsFromAnotherFolderWithTheScriptsMobilities)
{
    TempFolder scratch("kovra-lua-example-");
    const fs::path root(scratch.path());
    const fs::path examples = fs::path(KOVRA_SOURCE_DIR) / "examples";
    fs::create_directories(root / "cell" / "lua");
    fs::create_directories(root / "elsewhere");
    fs::copy_file(examples / "lua-mobility.kovra", root / "cell" / "lua-mobility.kovra");
    fs::copy_file(examples / "lua" / "mobility_caughey_thomas.lua",
                  root / "cell" / "lua" / "mobility_caughey_thomas.lua");

    // A device path relative to a current folder that holds no script.
    ASSERT_TRUE(runFrom((root / "elsewhere").string(), "../cell/lua-mobility.kovra"));

    const std::vector<PointMobility> rows =
        readMobilities((root / "cell" / "simulout_input.txt").string());
    ASSERT_GT(rows.size(), 200u);
    int p = 0, n = 0;
    for (const PointMobility& row : rows) {
        // Layer1: p-type 1e18 over 0..0.5 um; Layer2: n-type 1e16 beyond.
        if (row.z < 0.45) {
            EXPECT_NEAR(row.mun, electronMobility(1e18), 1e-3 * electronMobility(1e18)) << row.z;
            EXPECT_NEAR(row.mup, holeMobility(1e18), 1e-3 * holeMobility(1e18)) << row.z;
            ++p;
        } else if (row.z > 0.55) {
            EXPECT_NEAR(row.mun, electronMobility(1e16), 1e-3 * electronMobility(1e16)) << row.z;
            EXPECT_NEAR(row.mup, holeMobility(1e16), 1e-3 * holeMobility(1e16)) << row.z;
            ++n;
        }
    }
    EXPECT_GT(p, 50);
    EXPECT_GT(n, 100);
    EXPECT_TRUE(fs::exists(root / "cell" / "simulout_jv.txt"));
}

class ExampleRun : public testing::TestWithParam<std::string> {};

TEST_P(ExampleRun, RunsToItsEndWithoutWarning)
{
    TempFolder scratch("kovra-example-run-");
    const fs::path root(scratch.path());
    const fs::path examples = fs::path(KOVRA_SOURCE_DIR) / "examples";
    fs::copy(examples / "lua", root / "lua", fs::copy_options::recursive);
    fs::copy_file(examples / GetParam(), root / GetParam());
    if (!runFrom(root.string(), GetParam(), false)) {
        return;
    }

    // The input copy and the files copied beside it repeat the run from a
    // folder of their own, without a warning either: the copy names only
    // what the run used.
    fs::create_directories(root / "again");
    int copies = 0;
    for (const auto& entry : fs::directory_iterator(root)) {
        if (entry.is_regular_file() &&
            entry.path().filename().string().rfind("simulinput", 0) == 0) {
            fs::copy_file(entry.path(), root / "again" / entry.path().filename());
            ++copies;
        }
    }
    ASSERT_GE(copies, 1);
    SCOPED_TRACE("simulinput.kovra of " + GetParam());
    runFrom((root / "again").string(), "simulinput.kovra", false);
}

std::vector<std::string> exampleNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(KOVRA_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() == ".kovra") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleRun, testing::ValuesIn(exampleNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name;
                             for (char c : info.param.substr(0, info.param.size() - 6)) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) {
                                     name += c;
                                 }
                             }
                             return name;
                         });

// A script that is nowhere stops the run as the file is read, naming the
// line, the key and where the script was looked for.
TEST(ExampleLuaModel, AMissingScriptIsNamedWithItsLine)
{
    TempFolder scratch("kovra-lua-missing-");
    const fs::path root(scratch.path());
    std::ofstream(root / "cell.kovra") << "# Kovra <SL>\n[Layer1]\n    Thickness=1\n"
                                          "    Dopant.N=1e16\n[Layer2]\n    Thickness=1\n"
                                          "    Dopant.Type=\"P\"\n    Dopant.N=1e16\n"
                                          "    Mobility.Model=\"models/absent.lua\"\n";
    const fs::path before = fs::current_path();
    fs::current_path(root);
    ekRunRequest request;
    request.inputFile = L"cell.kovra";
    ::testing::internal::CaptureStdout();
    const bool ok = ek_runSimulation(request);
    const std::string console = ::testing::internal::GetCapturedStdout();
    fs::current_path(before);
    EXPECT_FALSE(ok);
    EXPECT_NE(console.find("[ERROR]   model file not found at line 9: Mobility.Model = "
                           "\"models/absent.lua\" (looked for models/absent.lua)"),
              std::string::npos)
        << console;
}
