// Mesh sizes (per layer, the uniform ladder, exact counts, growth), the
// mesh and initial-guess files, and the control boxes of the points.
#include <cmath>
#include <cwchar>
#include <sstream>
#include <vector>

#include "simulatorFixture.h"

namespace {

class MeshTest : public SimulatorFixture {};

// Positions from 0 to thickness in equal steps.
std::vector<double> positions(int rows, double thickness)
{
    std::vector<double> z(rows);
    for (int r = 0; r < rows; ++r) {
        z[r] = thickness * r / (rows - 1);
    }
    return z;
}

std::string rowsText(const std::vector<double>& z)
{
    std::ostringstream out;
    out.precision(17);
    out << "# z (um)\n";
    for (double v : z) {
        out << v << "\n";
    }
    return out.str();
}

std::string meshText(int rows, double thickness) { return rowsText(positions(rows, thickness)); }

bool strictlyIncreasing(const ekSimulator& sim)
{
    const double* z = sim.getMesh().sol.z;
    for (int i = 1; i < sim.getPoints(); ++i) {
        if (!(z[i] > z[i - 1])) {
            return false;
        }
    }
    return true;
}

TEST_F(MeshTest, UniformTotalIsRoundedUpAlongTheLadder)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    const struct {
        int total;
        int points;
    } cases[] = {{101, 200}, {1000, 1000}, {1001, 2000}, {19999, 20000}, {50, 50}, {20000, 20000}};
    for (const auto& c : cases) {
        build(nuParam::MESH_UNIFORM, c.total);
        ASSERT_TRUE(sigma.isOK()) << c.total;
        EXPECT_EQ(sim.getPoints(), c.points) << c.total;
        EXPECT_EQ(param.points, c.points);
        EXPECT_TRUE(strictlyIncreasing(sim)) << c.total;
    }
}

TEST_F(MeshTest, MeshSizeIsReportedUnlessTheMeshIsAboutToGrow)
{
    addLayer(L"Si", 10.0, 0x20, 1e16);
    addLayer(L"Si", 0.1, 0x10, 1e18);
    const std::wstring comm = path("simulcomm.txt");
    std::wcsncpy(sigma.commFilename, comm.c_str(), nuSigma::PATH_SIZE - 1);
    sigma.comm = true;
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    EXPECT_NE(readFile(comm).find("[SEND]ZP:200"), std::string::npos);
    // A coarse mesh growing along the ladder reports only the size at which
    // it is fine enough: 800, 900 and 1000 are still too coarse.
    build(nuParam::MESH_UNIFORM, 700);
    ASSERT_TRUE(sim.isCoarseMesh());
    EXPECT_TRUE(sim.checkMeshStep());
    const std::string text = readFile(comm);
    EXPECT_NE(text.find("[SEND]ZP:700"), std::string::npos);
    EXPECT_EQ(text.find("[SEND]ZP:800"), std::string::npos);
    EXPECT_EQ(text.find("[SEND]ZP:1000"), std::string::npos);
    EXPECT_NE(text.find("[SEND]ZP:2000"), std::string::npos);
}

TEST_F(MeshTest, TotalOutsideTheRangeIsRefused)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    for (int total : {40, 20001}) {
        sigma.reset();
        build(nuParam::MESH_UNIFORM, total);
        EXPECT_FALSE(sigma.isOK());
        EXPECT_TRUE(messageHas(L"[ERROR]   invalid simulation parameters\n")) << total;
    }
}

TEST_F(MeshTest, PerLayerCountsAddUp)
{
    addLayer(L"Si", 0.5, 0x20, 1e16, 120);
    addLayer(L"Si", 1.5, 0x10, 1e18, 80);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    EXPECT_EQ(sim.getPoints(), 200);
    EXPECT_EQ(param.points, 200);
    // Each layer uniform with its own step; the interface point on the boundary.
    const double* z = sim.getMesh().sol.z;
    const double L = sim.getNorm().length;
    EXPECT_NEAR(z[1] * L, 0.5 / 120, 1e-12);
    EXPECT_EQ(sim.getMesh().getInterfaceIndex(0), 120);
    EXPECT_NEAR(z[120] * L, 0.5, 1e-12);
    EXPECT_NEAR(z[199] * L, 2.0, 1e-12);
}

TEST_F(MeshTest, PerLayerTotalBelowTheMinimumIsRefused)
{
    addLayer(L"Si", 0.5, 0x20, 1e16, 5);
    addLayer(L"Si", 0.5, 0x10, 1e16, 44);
    build(nuParam::MESH_LAYER, 1000);
    EXPECT_TRUE(messageHas(L"[ERROR]   invalid total number of mesh points: 49\n"));
    EXPECT_EQ(sim.getMesh().mat.Eg, nullptr);
}

TEST_F(MeshTest, IncreasePointsSteps)
{
    // Ladder sizes through the uniform mode, others through per-layer counts.
    ekLayer* layers[3] = {addLayer(L"Si", 0.2, 0x20, 1e16), addLayer(L"Si", 0.3, 0x20, 1e16),
                          addLayer(L"Si", 0.5, 0x20, 1e16)};
    const struct {
        uint8_t mode;
        int counts[3];
        int from;
        int to;
    } cases[] = {
        {nuParam::MESH_UNIFORM, {}, 50, 100},
        {nuParam::MESH_UNIFORM, {}, 1000, 2000},
        {nuParam::MESH_UNIFORM, {}, 18000, 20000},
        {nuParam::MESH_LAYER, {50, 50, 50}, 150, 200},
        {nuParam::MESH_LAYER, {5000, 5000, 2345}, 12345, 14000},
    };
    for (const auto& c : cases) {
        for (int l = 0; l < 3 && c.mode == nuParam::MESH_LAYER; ++l) {
            layers[l]->updateMesh(c.counts[l]);
        }
        build(c.mode, c.from);
        ASSERT_TRUE(sigma.isOK());
        ASSERT_EQ(sim.getPoints(), c.from);
        EXPECT_TRUE(sim.increasePoints()) << c.from;
        EXPECT_EQ(sim.getPoints(), c.to) << c.from;
        EXPECT_TRUE(strictlyIncreasing(sim));
        EXPECT_EQ(sim.getMesh().interfaceCount, 2);
    }
    EXPECT_TRUE(sim.increasePoints());
    EXPECT_EQ(sim.getPoints(), 16000);
    build(nuParam::MESH_UNIFORM, 20000);
    EXPECT_FALSE(sim.increasePoints());
    EXPECT_EQ(sim.getPoints(), 20000);
}

TEST_F(MeshTest, CoarseMeshGrowsUntilTheThinnestLayerIsResolved)
{
    // Ten base steps (1.5 T / N each) must fit into the thinnest layer:
    // 15 x 10.1 um / N < 0.1 um needs N = 2000.
    addLayer(L"Si", 10.0, 0x20, 1e16);
    addLayer(L"Si", 0.1, 0x10, 1e18);
    build(nuParam::MESH_UNIFORM, 1000);
    ASSERT_TRUE(sigma.isOK());
    EXPECT_TRUE(sim.isCoarseMesh());
    EXPECT_TRUE(sim.checkMeshStep());
    EXPECT_FALSE(sim.isCoarseMesh());
    EXPECT_EQ(sim.getPoints(), 2000);
}

TEST_F(MeshTest, CoarseMeshThatTenGrowthsCannotResolveFails)
{
    addLayer(L"Si", 10.0, 0x20, 1e16);
    addLayer(L"Si", 0.01, 0x10, 1e18);
    build(nuParam::MESH_UNIFORM, 50);
    EXPECT_FALSE(sim.checkMeshStep());
    EXPECT_EQ(sim.getPoints(), 1000);
    EXPECT_EQ(lastMessage(),
              L"[ERROR]   Too large spatial step, relatively to the thinnest layer\n");
}

TEST_F(MeshTest, CoarseMeshAtTheTopOfTheLadderFails)
{
    addLayer(L"Si", 10.0, 0x20, 1e16);
    addLayer(L"Si", 0.001, 0x10, 1e18);
    build(nuParam::MESH_UNIFORM, 18000);
    EXPECT_FALSE(sim.checkMeshStep());
    EXPECT_EQ(sim.getPoints(), 20000);
    EXPECT_EQ(lastMessage(),
              L"[ERROR]   too large spatial step, relatively to the thinnest layer\n");
}

TEST_F(MeshTest, EquilibriumOnAMeshTooCoarseToGrowSaysItAsAnError)
{
    // The run ends here: said as an error, not as an information line that
    // raises the error flag.
    addLayer(L"Si", 10.0, 0x20, 1e16);
    addLayer(L"Si", 0.001, 0x10, 1e18);
    build(nuParam::MESH_UNIFORM, 18000);
    EXPECT_LT(sim.solvePoisson(), 1);
    EXPECT_EQ(lastMessage(),
              L"[ERROR]   too large spatial step, relatively to the thinnest layer\n");
    EXPECT_EQ(sigma.err, 1);
}

TEST_F(MeshTest, CheckMeshStepRefusesATooThinDevice)
{
    addLayer(L"Si", 0.005, 0x20, 1e16);
    build(nuParam::MESH_UNIFORM, 100);
    EXPECT_FALSE(sim.checkMeshStep());
    EXPECT_TRUE(messageHas(L"[ERROR]   invalid device mesh parameters (points, dimension, "
                           L"layers count)\nSimulation Ended"));
}

TEST_F(MeshTest, ControlBoxesTileTheDevice)
{
    addLayer(L"Si", 0.3, 0x20, 1e16);
    addLayer(L"Si", 1.7, 0x10, 1e18);
    build(nuParam::MESH_UNIFORM, 400);  // half steps near the layer edges
    ASSERT_TRUE(sigma.isOK());
    const double* z = sim.getMesh().sol.z;
    const int N = sim.getPoints();
    double sum = 0.0;
    bool stepsDiffer = false;
    for (int i = 0; i < N; ++i) {
        sum += sim.getMesh().controlWidth(i);
        if (i > 1 && std::fabs((z[i] - z[i - 1]) - (z[i - 1] - z[i - 2])) > 1e-6 * z[N - 1]) {
            stepsDiffer = true;
        }
    }
    EXPECT_TRUE(stepsDiffer);
    EXPECT_NEAR(sum, sim.getDeviceLength(), 1e-12 * sim.getDeviceLength());
    EXPECT_DOUBLE_EQ(sim.getMesh().controlWidth(0), (z[1] - z[0]) / 2.0);
    EXPECT_DOUBLE_EQ(sim.getMesh().controlWidth(N - 1), (z[N - 1] - z[N - 2]) / 2.0);
    EXPECT_EQ(sim.getMesh().controlWidth(N), 0.0);
}

// ---- mesh file ------------------------------------------------------------------

TEST_F(MeshTest, MeshFileSetsTheExactMesh)
{
    addLayer(L"Si", 0.4, 0x20, 1e16);
    addLayer(L"Si", 0.6, 0x10, 1e18);
    std::ostringstream text;
    text.precision(17);
    // Non-uniform: finer near the junction at 0.4 um.
    for (int r = 0; r < 80; ++r) {
        const double u = double(r) / 79;
        text << 0.5 * (1 - std::cos(M_PI * u)) << "\n";
    }
    sim.setMeshFilename(writeFile("mesh.txt", text.str()).c_str());
    const int rows = sim.meshInit(1.0);
    ASSERT_EQ(rows, 80);
    EXPECT_EQ(param.mesh, nuParam::MESH_EXACT);
    EXPECT_NEAR(sim.getCustomMesh()[79] * sim.getNorm().length, 1.0, 1e-12);
    sim.setDevice(&device, rows);
    ASSERT_TRUE(sigma.isOK());
    EXPECT_EQ(sim.getPoints(), 80);
    EXPECT_TRUE(strictlyIncreasing(sim));
    const int first = sim.getMesh().getInterfaceIndex(0);
    const double* z = sim.getMesh().sol.z;
    const double L = sim.getNorm().length;
    EXPECT_GE(z[first] * L, 0.4 - 1e-9);
    EXPECT_LT(z[first - 1] * L, 0.4);
    EXPECT_EQ(sim.getMesh().getPointLayer(first), 1);
    EXPECT_EQ(sim.getMesh().getPointLayer(first - 1), 0);
}

TEST_F(MeshTest, MeshFileFaults)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    std::vector<double> first = positions(60, 1.0);
    first[0] = 0.001;
    std::vector<double> beyond = positions(60, 1.0);
    beyond[30] = 1.5;
    std::vector<double> repeated = positions(60, 1.0);
    repeated[30] = repeated[29];
    // Each message names the file and what in it is wrong.
    const std::wstring rule = L" (a mesh has 50 to 20000 positions, one row each)\n";
    const std::wstring ends = L" um (the first and last position values should correspond to the "
                              L"device limits, 0 and 1 um)\n";
    const struct {
        const char* name;
        std::string text;
        std::wstring message;  // after "[ERROR]   invalid mesh file <path>: "
    } cases[] = {
        {"first", rowsText(first), L"the positions run from 0.001 to 1" + ends},
        {"last", meshText(60, 0.9), L"the positions run from 0 to 0.9" + ends},
        {"beyond", rowsText(beyond), L"position 31, 1.5 um, lies outside the device, 0 to 1 um\n"},
        {"repeated", rowsText(repeated),
         L"position 31, 0.491525 um, is not above position 30, 0.491525 um (positions "
         L"increase)\n"},
        {"short", meshText(49, 1.0), L"49 positions" + rule},
        {"long", meshText(20001, 1.0), L"more than 20000 positions" + rule},
    };
    for (const auto& c : cases) {
        sigma.reset();
        param.mesh = nuParam::MESH_LAYER;
        sim.setMeshFilename(writeFile(c.name, c.text).c_str());
        EXPECT_EQ(sim.meshInit(1.0), 0) << c.name;
        EXPECT_FALSE(sigma.isOK()) << c.name;
        EXPECT_EQ(lastMessage(), L"[ERROR]   invalid mesh file " + path(c.name) + L": " + c.message)
            << c.name;
        EXPECT_FALSE(sim.hasCustomMesh()) << c.name;
        EXPECT_EQ(param.mesh, nuParam::MESH_LAYER) << c.name;
    }
    sigma.reset();
    sim.setMeshFilename(writeFile("text", "0\nabc\n1\n").c_str());
    EXPECT_EQ(sim.meshInit(1.0), 0);
    EXPECT_EQ(lastMessage(), L"[ERROR]   cannot read the mesh file " + path("text") +
                                 L" as rows of numbers" + rule);
    sigma.reset();
    sim.setMeshFilename(path("missing.txt").c_str());
    EXPECT_EQ(sim.meshInit(1.0), 0);
    EXPECT_EQ(lastMessage(), L"[ERROR]   invalid custom mesh file\n");
    sigma.reset();
    sim.setMeshFilename(L"");
    EXPECT_EQ(sim.meshInit(1.0), 0);
    EXPECT_TRUE(sigma.isOK());
}

TEST_F(MeshTest, MeshFileToleratesRoundingOfTheDeviceEnd)
{
    // 0.1 + 0.2 is not 0.3 in binary; a file written with 0.3 still fits.
    addLayer(L"Si", 0.1, 0x20, 1e16);
    addLayer(L"Si", 0.2, 0x10, 1e16);
    device.updateThickness();
    sim.setMeshFilename(writeFile("mesh.txt", meshText(60, 0.3)).c_str());
    EXPECT_EQ(sim.meshInit(device.getThickness()), 60);
}

TEST_F(MeshTest, MeshFileWithoutAPointInALayerIsRefused)
{
    addLayer(L"Si", 0.5, 0x20, 1e16);
    addLayer(L"Si", 0.001, 0x10, 1e16);
    addLayer(L"Si", 0.499, 0x10, 1e16);
    device.updateThickness();
    sim.setMeshFilename(writeFile("mesh.txt", meshText(50, 1.0)).c_str());
    const int rows = sim.meshInit(device.getThickness());
    ASSERT_EQ(rows, 50);
    sim.setDevice(&device, rows);
    EXPECT_EQ(lastMessage(), L"[ERROR]   the custom mesh has no point in [Layer2]\n");
    EXPECT_EQ(sim.getMesh().mat.Eg, nullptr);
}

// ---- initial-guess file -------------------------------------------------------------

TEST_F(MeshTest, GuessFileAloneGivesTheMeshAndTheStartValues)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    std::ostringstream text;
    text.precision(17);
    for (int r = 0; r < 60; ++r) {
        const double z = r / 59.0;
        text << z << "\t" << 0.1 * z << "\t" << -0.2 * z << "\t" << 0.3 * z << "\n";
    }
    sim.setInitialGuessFilename(writeFile("guess.txt", text.str()).c_str());
    const int rows = sim.guessInit(1.0);
    ASSERT_EQ(rows, 60);
    EXPECT_EQ(param.mesh, nuParam::MESH_EXACT);
    ASSERT_TRUE(sim.hasCustomMesh());
    ASSERT_TRUE(sim.hasInitialGuess());
    const double Vt = sim.getNorm().Vt;
    EXPECT_NEAR(sim.getGuessV()[59] * Vt, 0.1, 1e-12);
    EXPECT_NEAR(sim.getGuessFn()[59] * Vt, -0.2, 1e-12);
    EXPECT_NEAR(sim.getGuessFp()[59] * Vt, 0.3, 1e-12);
    sim.setDevice(&device, rows);
    ASSERT_TRUE(sigma.isOK());
    const double* z = sim.getMesh().sol.z;
    for (int i = 0; i < 60; ++i) {
        EXPECT_NEAR(z[i] * sim.getNorm().length, i / 59.0, 1e-12);
    }
    // The guess written back reads in again unchanged.
    ASSERT_TRUE(sim.saveInitialGuess(z, sim.getGuessV(), sim.getGuessFn(), sim.getGuessFp()));
    ekSimulator again(&sigma, &param);
    again.setInitialGuessFilename(path("simulout_initialguess.txt").c_str());
    ASSERT_EQ(again.guessInit(1.0), 60);
    for (int i = 0; i < 60; ++i) {
        EXPECT_DOUBLE_EQ(again.getGuessFp()[i], sim.getGuessFp()[i]);
        EXPECT_DOUBLE_EQ(again.getCustomMesh()[i], sim.getCustomMesh()[i]);
    }
}

TEST_F(MeshTest, GuessFileFaults)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    std::ostringstream bad;
    for (int r = 0; r < 60; ++r) {
        const double z = r / 59.0;
        bad << z << "\t" << (r == 30 ? 25.0 : 0.0) << "\t0.5\t-0.25\n";
    }
    sim.setInitialGuessFilename(writeFile("bad.txt", bad.str()).c_str());
    EXPECT_EQ(sim.guessInit(1.0), 0);
    EXPECT_EQ(
        lastMessage(),
        L"[ERROR]   invalid initial guess values (z V  EFn  EFp): 0.508475  25  0.5  -0.25\n");
    EXPECT_FALSE(sim.hasInitialGuess());
    EXPECT_FALSE(sim.hasCustomMesh());

    sigma.reset();
    sim.setInitialGuessFilename(writeFile("three.txt", "0\t0\t0\n1\t0\t0\n").c_str());
    EXPECT_EQ(sim.guessInit(1.0), 0);
    EXPECT_EQ(lastMessage(), L"[ERROR]   cannot read the initial guess file " + path("three.txt") +
                                 L" as rows of numbers (a mesh has 50 to 20000 positions, one "
                                 L"row each)\n");

    sigma.reset();
    sim.setInitialGuessFilename(path("missing.txt").c_str());
    EXPECT_EQ(sim.guessInit(1.0), 0);
    EXPECT_EQ(lastMessage(), L"[ERROR]   invalid initial guess file\n");
}

TEST_F(MeshTest, SavedMeshHasTheResultHeaderAndNoFinalLineEnd)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    build(nuParam::MESH_UNIFORM, 50);
    ASSERT_TRUE(sim.saveMesh(sim.getMesh().sol.z));
    const std::string text = readFile(path("simulout_mesh.txt"));
    EXPECT_EQ(text.rfind("# Kovra <DG>\n# The above first line is mandatory\n#\n", 0), 0u);
    EXPECT_NE(text.find("#\n# z (um)\n#\n0\n"), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), "1");
}

}  // namespace
