// The writer's output loads again into the same device: load, save, load
// and compare every field, for each valid file of the corpus and each
// example a user starts from.
#include "deviceCompare.h"

using namespace inputtest;

namespace {

// Loads a file, saves it into the scratch folder, loads the copy, and
// compares; returns the saved text.
std::string roundTrip(const std::string& file, const TempFolder& scratch)
{
    SCOPED_TRACE(file);
    DeviceRun first;
    EXPECT_TRUE(first.load(file)) << first.message();
    const std::string saved = scratch.file("saved.kovra");
    EXPECT_TRUE(first.save(saved)) << first.message();
    DeviceRun second;
    EXPECT_TRUE(second.load(saved)) << second.message() << "\n" << readText(saved);
    expectSameRun(first, second);
    return readText(saved);
}

std::vector<std::string> filesToCheck()
{
    std::vector<std::string> files = deviceFiles(corpusPath("valid"));
    const std::vector<std::string> examples = deviceFiles(examplesPath(""));
    files.insert(files.end(), examples.begin(), examples.end());
    return files;
}

}  // namespace

TEST(InputRoundTrip, EveryValidFileAndExampleLoadsBackIntoTheSameDevice)
{
    const std::vector<std::string> files = filesToCheck();
    ASSERT_GE(files.size(), 14u);
    for (const std::string& file : files) {
        TempFolder scratch;
        roundTrip(file, scratch);
    }
}

// A second save of the reloaded device writes the same text: nothing drifts
// from one generation to the next.
TEST(InputRoundTrip, SavingTheReloadedDeviceWritesTheSameText)
{
    for (const std::string& file : filesToCheck()) {
        SCOPED_TRACE(file);
        TempFolder scratch;
        const std::string once = roundTrip(file, scratch);
        DeviceRun again;
        ASSERT_TRUE(again.load(scratch.file("saved.kovra"))) << again.message();
        ASSERT_TRUE(again.save(scratch.file("again.kovra"))) << again.message();
        EXPECT_EQ(readText(scratch.file("again.kovra")), once);
    }
}

// Index, bias, spectrum, mesh and initial-guess files exist only where the
// device file lives; the device names them and keeps naming them.
TEST(InputRoundTrip, FilesNamedByTheDeviceAreKept)
{
    TempFolder scratch;
    std::string index = "# wavelength (um), n, k\n";
    for (int i = 0; i < 60; ++i) {
        char row[64];
        std::snprintf(row, sizeof row, "%.3f\t%.4f\t%.4f\n", 0.3 + 0.01 * i, 3.5 + 0.001 * i,
                      0.01 * (60 - i));
        index += row;
    }
    writeText(scratch.file("si.nk"), index);
    writeText(scratch.file("bias.txt"), "0\n0.1\n0.2\n");
    writeText(scratch.file("spectrum.txt"), "0.4\t1e15\n0.5\t2e15\n");
    writeText(scratch.file("mesh.txt"), "0\n1\n2\n");
    writeText(scratch.file("guess.txt"), "0\t0\t0\t0\n2\t0\t0\t0\n");
    const std::string device = scratch.file("files.kovra");
    writeText(device, "# Kovra <SL>\n\n[Layer1]\n    Thickness=2\n    Dopant.Type=\"N\"\n"
                      "    Dopant.N=1e16\n    Index.File=\"" +
                          scratch.file("si.nk") +
                          "\"\n"
                          "[Anode]\n    Anode.Index.File=\"anode.nk\"\n"
                          "[Voltage]\n    Voltage.Source=\"" +
                          scratch.file("bias.txt") +
                          "\"\n"
                          "[Light]\n    Light.Source=\"" +
                          scratch.file("spectrum.txt") +
                          "\"\n"
                          "[Numeric]\n    Numeric.Mesh=\"" +
                          scratch.file("mesh.txt") +
                          "\"\n"
                          "    Numeric.Guess=\"" +
                          scratch.file("guess.txt") + "\"\n");
    DeviceRun first;
    ASSERT_TRUE(first.load(device)) << first.message();
    EXPECT_EQ(first.layer(0)->getIndexModel(), ekRegion::INDEX_FILE);
    EXPECT_EQ(first.excitation->biasType, ekExcitation::BIAS_FILE);
    EXPECT_EQ(first.excitation->lightType, ekExcitation::LIGHT_FILE);
    EXPECT_EQ(textOf(first.simulator->getMeshFilename()), scratch.file("mesh.txt"));
    EXPECT_EQ(textOf(first.simulator->getInitialGuessFilename()), scratch.file("guess.txt"));
    roundTrip(device, scratch);
}
