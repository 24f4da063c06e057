// The runner with the real simulator driver on a small example: the run
// ends by itself, its result files are reported and exist, and the plot
// list names them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "SimulationRunner.h"
#include "FakeRunnerHost.h"
#include "tempFolder.h"

namespace {

TEST(RunnerWithKovracomp, AnEquilibriumRunReportsItsResultFiles)
{
    const std::string driver = std::string(KOVRA_BIN_DIR) + "/kovracomp";
    if (!std::filesystem::exists(driver)) {
        GTEST_SKIP() << "kovracomp is not built";
    }
    TempFolder folder("kovra-runner-real-");
    FakeRunnerHost host;
    host.path = folder.file("silicon-pn.kovra");
    std::filesystem::copy_file(std::string(KOVRA_SOURCE_DIR) + "/examples/silicon-pn.kovra",
                               host.path);
    RunnerSettings settings;
    settings.driverPath = driver;
    settings.plotToolPath =
        folder.write("plot.sh", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(pwd)/plot-args.txt\"\n");
    chmod(settings.plotToolPath.c_str(), 0755);

    SimulationRunner runner(host, settings);
    ASSERT_TRUE(runner.start());
    ASSERT_TRUE(host.runTimer(runner, std::chrono::seconds(60)));
    EXPECT_EQ(runner.lastExitStatus(), 0) << host.console;
    EXPECT_EQ(host.console.find("[ERROR]"), std::string::npos) << host.console;

    const RunResults& r = runner.results();
    EXPECT_EQ(r.flags, RUN_RESULT_EE) << host.console;
    EXPECT_GE(r.meshPoints, 50);
    ASSERT_FALSE(r.ee.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(r.ee)) << r.ee;
    EXPECT_EQ(readAll(r.ee).rfind("# Kovra <EE>", 0), 0u);
    // The exchange file is gone; the plot list names the distribution.
    EXPECT_FALSE(
        std::filesystem::exists(std::filesystem::path(r.ee).parent_path() / "simulcomm.txt"));
    EXPECT_EQ(readAll(runner.plotListPath()), r.ee + "\n");
    EXPECT_NE(host.console.find("[SIMUL]   ended at"), std::string::npos);
}

}  // namespace
