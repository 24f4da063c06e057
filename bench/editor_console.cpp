// The device editor's output console and settings file under load, in the
// real (headless) main window:
//   - appending 20,000 warning lines to the console: lines/s per block of
//     4,000 (a rate that falls from block to block would mean appends that
//     grow with the console);
//   - a stand-in driver that prints 20,000 lines as fast as it can, read by
//     the simulation runner as the editor does (batched flushes, quick poll
//     while lines flow) and as it did before (the window run before every
//     line, a 700 ms poll): lines/s and the run's wall time;
//   - reading a settings file of 50,000 sections.
// Run it as build/bin/editor_console (QT_QPA_PLATFORM=offscreen is set).
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "Output.h"
#include "RunnerIupHost.h"
#include "WindowMain.h"
#include "iup.h"
#include "libkovra.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The runner's host over the real console, as the main window has it.
struct ConsoleHost : RunnerConsoleHost {
    std::string path;
    std::string documentPath() override { return path; }
    bool documentModified() override { return false; }
    bool documentChangedOnDisk() override { return false; }
    bool saveDocument(bool) override { return true; }
    bool plotAfterRun() override { return false; }
    void showStatus(const std::string&, int) override {}
    int ask(const std::string&) override { return 4; }
    void updateRunButtons() override {}
};

void appendBench()
{
    Output_clear();
    constexpr int blocks = 5, perBlock = 4000;
    std::printf("console append, %d warning lines:\n", blocks * perBlock);
    for (int b = 0; b < blocks; ++b) {
        const auto start = Clock::now();
        for (int i = 0; i < perBlock; ++i) {
            const int n = b * perBlock + i;
            const std::string line = "[WARNING] unknown section [Extra" + std::to_string(n) +
                                     "] at line " + std::to_string(40 + 2 * n) + ": skipped\n";
            Output_printColored(line.c_str());
        }
        IupFlush();
        std::printf("  lines %6d..%6d: %8.0f lines/s\n", b * perBlock, (b + 1) * perBlock - 1,
                    perBlock / seconds(start));
    }
}

void runnerBench(const std::string& folder, bool asBefore)
{
    Output_clear();
    const int lines = 20000;
    ConsoleHost host;
    host.path = folder + "cell.kovra";
    std::ofstream(host.path) << "# Kovra <SL>\n";
    RunnerSettings settings;
    settings.driverPath = folder + "driver.sh";
    std::ofstream(settings.driverPath)
        << "#!/bin/sh\ni=0\nwhile [ $i -lt " << lines
        << " ]; do echo \"[INFO]    point $i of the sweep converged\"; "
           "i=$((i+1)); done\nexit 0\n";
    chmod(settings.driverPath.c_str(), 0755);
    if (asBefore) {
        settings.linesPerFlush = 1;
        settings.busyPollMilliseconds = settings.pollMilliseconds;
    }
    SimulationRunner runner(host, settings);
    host.setRunner(&runner);
    const auto start = Clock::now();
    if (!runner.start()) {
        std::printf("  the stand-in driver did not start\n");
        return;
    }
    while (runner.isRunning() || (host.timer() != nullptr && IupGetInt(host.timer(), "RUN") == 1)) {
        IupLoopStep();
        usleep(1000);
    }
    const double took = seconds(start);
    std::printf("  %-44s %8.0f lines/s (%d lines in %.2f s)\n",
                asBefore ? "window run before every line, 700 ms poll:"
                         : "batched, quick poll while lines flow:",
                lines / took, lines, took);
}

void settingsBench(const std::string& folder)
{
    const std::string path = folder + "many.kovr";
    {
        std::ofstream out(path);
        out << "[Common]\nDefaultMaterial=\"Si\"\n[GUI]\nWindowMainWidth=1024\n";
        for (int i = 0; i < 50000; ++i) {
            out << "[Extra" << i << "]\nKey=" << i << "\n";
        }
    }
    Config* config = Config_create();
    const auto start = Clock::now();
    Config_load(nullptr, config, path.c_str());
    const double took = seconds(start);
    std::printf("settings file of 50,002 sections: read in %.3f s, %zu name lookups\n", took,
                Config_nameLookups(config));
    Config_destroy(&config);
}

}  // namespace

int main()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string folder = std::filesystem::temp_directory_path().string() +
                               "/kovra-bench-console-" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(folder);
    setenv("XDG_CONFIG_HOME", (folder + "config").c_str(), 1);
    char name[] = "editor_console";
    char* argv[] = {name, nullptr};
    if (WindowMain_start(1, argv) != 0) {
        std::printf("the editor did not start\n");
        return 1;
    }
    IupFlush();
    appendBench();
    std::printf("driver of 20,000 lines read by the runner:\n");
    runnerBench(folder, true);
    runnerBench(folder, false);
    settingsBench(folder);
    WindowMain_close();
    WindowMain_shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
