// The runner against a scripted stand-in driver: a shell script that prints
// lines, writes report lines, sleeps, honours or ignores "Stop" and exits
// with a chosen status, started through the real process calls.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>

#include "SimulationRunner.h"
#include "FakeRunnerHost.h"
#include "ProcessProbe.h"
#include "tempFolder.h"
#include "waitUntil.h"

namespace {

// Writes an executable shell script. In it $2 is the device file; COMM is
// the exchange file beside it and DIR its folder.
std::string script(const TempFolder& folder, const std::string& name, const std::string& body)
{
    const std::string path = folder.write(
        name, "#!/bin/sh\nDIR=$(dirname \"$2\")\nCOMM=\"$DIR/simulcomm.txt\"\n" + body);
    chmod(path.c_str(), 0755);
    return path;
}

struct RunnerFixture {
    TempFolder folder{"kovra-runner-"};
    FakeRunnerHost host;
    RunnerSettings settings;

    explicit RunnerFixture(const std::string& driverBody)
    {
        host.path = folder.write("cell.kovra", "# Kovra <SL>\n");
        settings.driverPath = script(folder, "driver.sh", driverBody);
        settings.plotToolPath = folder.write(
            "plot.sh", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(pwd)/plot-args.txt\"\n");
        chmod(settings.plotToolPath.c_str(), 0755);
        settings.stopGrace = std::chrono::milliseconds(400);
    }
    // Waits for the plot tool stand-in to have written its arguments.
    std::string plotArgs()
    {
        waitUntil([&] { return !readAll(folder.file("plot-args.txt")).empty(); });
        return readAll(folder.file("plot-args.txt"));
    }
};

TEST(Runner, LinesReachTheConsoleInOrderWithTheirStyles)
{
    // A line is shown once its end has come, however the output is cut; the
    // last one without a line end when the driver ends.
    RunnerFixture f(
        "echo '[INPUT]   loading...'\nprintf 'plain text\\r\\n'\necho '[WARNING] careful'\n"
        "printf '[LIGHT]   o'\nsleep 0.2\necho 'n'\nprintf 'last;'\nexit 0\n");
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    EXPECT_TRUE(f.host.runTimer(runner));
    EXPECT_TRUE(f.host.askedForInterval(700)) << "the silent driver is watched every 700 ms";
    const auto shown = f.host.shown();
    ASSERT_EQ(shown.size(), 7u) << f.host.console;
    EXPECT_EQ(shown[0].rfind("[SIMUL]   started at ", 0), 0u);
    EXPECT_EQ(shown[1], "[INPUT]   loading...\r\n");
    EXPECT_EQ(shown[2], "plain text\r\n");
    EXPECT_EQ(shown[3], "[WARNING] careful\r\n");
    EXPECT_EQ(shown[4], "[LIGHT]   on\r\n");
    EXPECT_EQ(shown[5], "last\r\n");
    EXPECT_EQ(shown[6].rfind("[SIMUL]   ended at ", 0), 0u);
    EXPECT_EQ(f.host.messages[1].style, OutputStyleInfo);
    EXPECT_EQ(f.host.messages[2].style, OutputStylePlain);
    EXPECT_EQ(f.host.messages[3].style, OutputStyleWarning);
    // The window ran before every line.
    EXPECT_GE(f.host.flushes, 5);
    EXPECT_FALSE(runner.isRunning());
}

// A driver that prints fast is read in batches: the window runs between
// batches of what has arrived (never more than the batch size at once),
// not before every line, and every line still arrives in order.
TEST(Runner, ManyLinesAreShownInBatchesBetweenFlushes)
{
    // The lines are written at once, as a driver that prints faster than
    // the window reads does.
    RunnerFixture f("i=0\nwhile [ $i -lt 5000 ]; do echo \"[INFO]    line $i\"; i=$((i+1)); done > "
                    "\"$DIR/lines.txt\"\n"
                    "cat \"$DIR/lines.txt\"\nsleep 0.2\nexit 0\n");
    f.host.plotAfter = false;
    f.settings.linesPerFlush = 100;
    f.settings.flushInterval = std::chrono::seconds(60);
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    ASSERT_TRUE(f.host.runTimer(runner));
    const auto shown = f.host.shown();
    ASSERT_EQ(shown.size(), 5002u);  // started, 5000 lines, ended
    for (int i = 0; i < 5000; i += 997) {
        EXPECT_EQ(shown[static_cast<size_t>(i) + 1],
                  "[INFO]    line " + std::to_string(i) + "\r\n");
    }
    EXPECT_LE(f.host.largestBatch, 100u + 1);  // a batch, and perhaps the start line before it
    // One flush per batch, two per look at the pipe and a few where the
    // pipe ran dry for a moment: per line there would be 5000.
    EXPECT_LE(f.host.flushes, 5000 / 100 + 2 * (f.host.ticks + 1) + 20) << f.host.ticks << " ticks";
}

// The timer looks again soon while lines keep arriving, so a fast driver
// never waits long on a full pipe, and every 700 ms once it falls silent.
TEST(Runner, TheTimerLooksOftenWhileLinesFlowAndSlowlyWhenSilent)
{
    RunnerFixture f(
        "sleep 0.1\ni=0\nwhile [ $i -lt 10 ]; do echo \"line $i\"; i=$((i+1)); sleep 0.05; done\n"
        "sleep 1.2\nexit 0\n");
    f.host.plotAfter = false;
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    EXPECT_EQ(f.host.timerIntervals, std::vector<int>{700}) << "nothing has arrived yet";
    ASSERT_TRUE(f.host.runTimer(runner));
    EXPECT_TRUE(f.host.askedForInterval(f.settings.busyPollMilliseconds));
    EXPECT_EQ(f.host.timerIntervals.back(), 700) << "silent for 700 ms before the end";
    // Only changes are asked for, not every tick.
    EXPECT_LT(f.host.timerIntervals.size(), static_cast<size_t>(f.host.ticks));
}

TEST(Runner, CommandLinesActAndVanish)
{
    RunnerFixture f(
        "echo 'before'\necho '[COMM]LUA:cls()'\necho \"[COMM]ELE:$COMM\"\necho '[COMM]'\n"
        "echo '[COMM]OTHER:1'\necho 'after'\nexit 0\n");
    f.host.plotAfter = false;
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    f.host.runTimer(runner);
    const auto shown = f.host.shown();
    ASSERT_EQ(shown.size(), 3u) << f.host.console;
    EXPECT_EQ(shown[0], "[COMM]\r\n");  // six characters are text; "before" was cleared
    EXPECT_EQ(shown[1], "after\r\n");
}

TEST(Runner, ReportLinesFillTheResultsAndTheCleanRunIsPlotted)
{
    RunnerFixture f(
        "echo \"[COMM]ELE:$COMM\"\n"
        "printf '[SEND]ZP:1120\\n[SEND]VP:71\\n[SEND]EE:%s/d1.txt\\n' \"$DIR\" >> \"$COMM\"\n"
        "echo '[INFO]    sweeping'\nsleep 0.3\n"
        "printf '[SEND]JV:%s/jv.txt\\n[SEND]CV:%s/cv.txt\\n[SEND]EN:%s/d72.txt\\n' \"$DIR\" "
        "\"$DIR\" \"$DIR\" >> \"$COMM\"\n"
        "exit 0\n");
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    f.host.runTimer(runner);
    const RunResults& r = runner.results();
    const std::string dir = f.folder.path();
    EXPECT_EQ(r.flags, RUN_RESULT_EE | RUN_RESULT_EN | RUN_RESULT_JV | RUN_RESULT_CV);
    EXPECT_EQ(r.meshPoints, 1120);
    EXPECT_EQ(r.voltagePoints, 71);
    EXPECT_EQ(r.jv, dir + "jv.txt");
    // The exchange file is read and removed; the plot list stands beside
    // the results and the plot tool got it with the device file as title.
    EXPECT_FALSE(std::filesystem::exists(f.folder.file("simulcomm.txt")));
    EXPECT_EQ(runner.plotListPath(), dir + "simulplot.txt");
    EXPECT_EQ(readAll(dir + "simulplot.txt"),
              dir + "d72.txt\n" + dir + "d1.txt\n" + dir + "cv.txt\n" + dir + "jv.txt\n");
    EXPECT_EQ(f.plotArgs(), "-kovra\n" + dir + "simulplot.txt\n-title\n" + f.host.path + "\n");
}

// The plot list belongs to the device that was run: after another device
// is opened from another folder, its run writes its own list beside its own
// results, and a device that has not been run gets no list at all.
TEST(Runner, ThePlotListStandsBesideTheResultsOfTheDeviceThatWasRun)
{
    RunnerFixture f(
        "echo \"[COMM]ELE:$COMM\"\n"
        "printf '[SEND]ZP:100\\n[SEND]EE:%s/d1.txt\\n' \"$DIR\" >> \"$COMM\"\nexit 0\n");
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    f.host.runTimer(runner);
    const std::string firstList = f.folder.file("simulplot.txt");
    EXPECT_EQ(runner.plotListPath(), firstList);
    EXPECT_EQ(readAll(firstList), f.folder.file("d1.txt") + "\n");
    ASSERT_NE(f.plotArgs(), "");

    // The same document now holds a device opened from another folder.
    std::filesystem::create_directories(f.folder.file("other"));
    f.host.path = f.folder.write("other/second.kovra", "# Kovra <SL>\n");
    std::filesystem::remove(f.folder.file("plot-args.txt"));
    ASSERT_TRUE(runner.start());
    f.host.runTimer(runner);
    const std::string secondList = f.folder.file("other/simulplot.txt");
    EXPECT_EQ(runner.plotListPath(), secondList);
    EXPECT_EQ(readAll(secondList), f.folder.file("other/d1.txt") + "\n");
    EXPECT_EQ(readAll(firstList), f.folder.file("d1.txt") + "\n");  // untouched
    // The plot tool runs in the second device's folder on its own list.
    waitUntil([&] { return !readAll(f.folder.file("other/plot-args.txt")).empty(); });
    EXPECT_EQ(readAll(f.folder.file("other/plot-args.txt")),
              "-kovra\n" + secondList + "\n-title\n" + f.host.path + "\n");

    // A third device, opened but not run: the Plot command hands it neither
    // the results nor the list of the device run before, and starts no plot
    // tool that could only fail on it: it says why nothing is plotted.
    std::filesystem::create_directories(f.folder.file("third"));
    f.host.path = f.folder.write("third/third.kovra", "# Kovra <SL>\n");
    f.host.statuses.clear();
    const int startedBefore = f.host.programsStarted;
    EXPECT_FALSE(runner.plot(false));
    ASSERT_FALSE(f.host.statuses.empty());
    EXPECT_EQ(f.host.statuses.back().first, "Nothing to plot: run this device first");
    EXPECT_FALSE(runner.hasResultsFor(f.host.path));
    EXPECT_TRUE(runner.hasResultsFor(f.folder.file("other/second.kovra")));
    EXPECT_EQ(f.host.programsStarted, startedBefore);
    EXPECT_FALSE(std::filesystem::exists(f.folder.file("third/plot-args.txt")));
    EXPECT_FALSE(std::filesystem::exists(f.folder.file("third/simulplot.txt")));
}

TEST(Runner, NoAutomaticPlotAfterAnErrorLineOrAFailureStatus)
{
    const std::string reports = "echo \"[COMM]ELE:$COMM\"\nprintf "
                                "'[SEND]ZP:100\\n[SEND]EE:%s/d1.txt\\n' \"$DIR\" >> \"$COMM\"\n";
    for (const std::string& tail :
         {std::string("echo '[ERROR]   no convergence'\nexit 0\n"), std::string("exit 3\n")}) {
        RunnerFixture f(reports + tail);
        SimulationRunner runner(f.host, f.settings);
        ASSERT_TRUE(runner.start());
        f.host.runTimer(runner);
        EXPECT_EQ(runner.results().ee, f.folder.file("d1.txt"));
        // The plot tool would have been started by the tick that saw the end.
        EXPECT_EQ(f.host.programsStarted, 0) << tail;
        EXPECT_FALSE(std::filesystem::exists(f.folder.file("plot-args.txt"))) << tail;
        // The Plot command still plots.
        EXPECT_TRUE(runner.plot(false));
        EXPECT_NE(f.plotArgs(), "");
    }
}

// Each plot starts a plot tool of its own; one that has ended is collected
// at the next plot, so closed plot windows leave no zombie behind.
TEST(Runner, EndedPlotToolsAreCollected)
{
    RunnerFixture f(
        "echo \"[COMM]ELE:$COMM\"\n"
        "printf '[SEND]ZP:100\\n[SEND]EE:%s/d1.txt\\n' \"$DIR\" >> \"$COMM\"\nexit 0\n");
    f.settings.plotToolPath =
        f.folder.write("plot.sh", "#!/bin/sh\ncd \"$(dirname \"$0\")\"\necho $$ > \"plot-$(ls | "
                                  "grep -c '^plot-.*pid').pid\"\n");
    chmod(f.settings.plotToolPath.c_str(), 0755);
    f.host.plotAfter = false;
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    f.host.runTimer(runner);  // a device with results to plot
    ASSERT_TRUE(runner.plot(true));
    ASSERT_TRUE(waitUntil([&] { return !readAll(f.folder.file("plot-0.pid")).empty(); }));
    ASSERT_TRUE(waitUntil([&] { return !processAlive(f.folder.file("plot-0.pid")); }))
        << "the first tool has ended";
    ASSERT_TRUE(runner.plot(true));
    EXPECT_TRUE(processGone(f.folder.file("plot-0.pid")));
}

TEST(Runner, AStoppedRunEndsOnlyAfterTheDriverHasExited)
{
    RunnerFixture f("echo \"[COMM]ELE:$COMM\"\nprintf '[SEND]ZP:100\\n' >> \"$COMM\"\necho $$ > "
                    "\"$DIR/driver.pid\"\n"
                    "echo '[INFO]    computing'\n"
                    "while ! grep -q '^Stop' \"$COMM\"; do sleep 0.05; done\n"
                    "sleep 0.2\necho '[INFO]    simulation stopped by the user'\nexit 0\n");
    f.settings.stopGrace = std::chrono::seconds(10);
    SimulationRunner patient(f.host, f.settings);
    EXPECT_FALSE(patient.requestStop());  // no run
    ASSERT_TRUE(patient.start());
    // Wait until the driver has named its exchange file and computes.
    ASSERT_TRUE(waitUntil([&] {
        patient.onTimer();
        return f.host.console.find("computing") != std::string::npos;
    })) << f.host.console;
    ASSERT_TRUE(patient.requestStop());
    EXPECT_FALSE(patient.requestStop());  // once
    EXPECT_TRUE(patient.isRunning());     // still winding down
    EXPECT_TRUE(patient.onTimer());
    EXPECT_TRUE(f.host.runTimer(patient));
    EXPECT_FALSE(patient.isRunning());
    EXPECT_FALSE(processAlive(f.folder.file("driver.pid")));
    EXPECT_NE(f.host.console.find("stopped by the user"), std::string::npos);
    // A stopped run's reports are not read, its exchange file is left, and
    // nothing is plotted.
    EXPECT_EQ(patient.results().meshPoints, 0);
    EXPECT_TRUE(std::filesystem::exists(f.folder.file("simulcomm.txt")));
    EXPECT_FALSE(std::filesystem::exists(f.folder.file("plot-args.txt")));
}

TEST(Runner, ADriverThatIgnoresStopIsEndedWithWhatItStarted)
{
    RunnerFixture f("echo \"[COMM]ELE:$COMM\"\necho $$ > \"$DIR/driver.pid\"\n"
                    "sleep 30 &\necho $! > \"$DIR/child.pid\"\necho '[INFO]    busy'\nwait\n");
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    ASSERT_TRUE(waitUntil([&] {
        runner.onTimer();
        return f.host.console.find("busy") != std::string::npos;
    })) << f.host.console;
    ASSERT_TRUE(processAlive(f.folder.file("child.pid")));
    ASSERT_TRUE(runner.requestStop());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(f.host.runTimer(runner, std::chrono::seconds(10)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(runner.isRunning());
    EXPECT_FALSE(processAlive(f.folder.file("driver.pid")));
    EXPECT_TRUE(waitUntil([&] { return !processAlive(f.folder.file("child.pid")); }))
        << "the driver's own child was ended with it";
    EXPECT_NE(f.host.console.find("did not stop by itself"), std::string::npos);
    EXPECT_EQ(f.host.console.find("[SIMUL]   ended at"), std::string::npos);
}

TEST(Runner, AFailedStartReports)
{
    RunnerFixture f("exit 0\n");
    RunnerSettings missing = f.settings;
    missing.driverPath = f.folder.file("no-kovracomp");
    SimulationRunner runner(f.host, missing);
    EXPECT_FALSE(runner.start());
    EXPECT_EQ(f.host.console,
              "[ERROR]   Kovra simulator driver not found: " + missing.driverPath + "\n");
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].style, OutputStyleError);
    EXPECT_TRUE(f.host.hasStatus("Cannot run the Kovra simulator"));

    // A file that is there but cannot be started.
    RunnerSettings unusable = f.settings;
    unusable.driverPath = f.folder.write("not-a-program", "text");
    SimulationRunner second(f.host, unusable);
    f.host.statuses.clear();
    EXPECT_FALSE(second.start());
    EXPECT_FALSE(second.isRunning());
    EXPECT_TRUE(f.host.hasStatus("Cannot run the Kovra simulator"));
}

TEST(Runner, TheDocumentIsSavedBeforeARunAndAChangeOnDiskIsNotOverwrittenUnasked)
{
    RunnerFixture f("exit 0\n");
    f.host.plotAfter = false;
    {
        // No file yet: the file chooser names one; declined, nothing runs.
        f.host.path.clear();
        SimulationRunner runner(f.host, f.settings);
        EXPECT_FALSE(runner.start());
        EXPECT_TRUE(f.host.hasStatus("Cannot run simulator: document not saved"));
        f.host.saveAsPath = f.folder.file("new.kovra");
        EXPECT_TRUE(runner.start());
        EXPECT_EQ(f.host.path, f.folder.file("new.kovra"));
        f.host.runTimer(runner);
    }
    {
        // Changed on disk by another program: asked; "no" runs nothing.
        f.host.changedOnDisk = true;
        f.host.answer = 4;
        const int saves = f.host.saves;
        SimulationRunner runner(f.host, f.settings);
        EXPECT_FALSE(runner.start());
        EXPECT_EQ(f.host.questions, 1);
        EXPECT_EQ(f.host.saves, saves);
        f.host.answer = 3;
        EXPECT_TRUE(runner.start());
        EXPECT_EQ(f.host.saves, saves + 1);
        f.host.runTimer(runner);
    }
    {
        f.host.modified = true;
        const int saves = f.host.saves;
        SimulationRunner runner(f.host, f.settings);
        EXPECT_TRUE(runner.start());
        EXPECT_EQ(f.host.saves, saves + 1);
        f.host.runTimer(runner);
    }
}

TEST(Runner, OneRunAtATimeAndEndingFromInsideTheWindowLoop)
{
    RunnerFixture f("echo one\nsleep 0.3\necho two\nsleep 5\nexit 0\n");
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    EXPECT_FALSE(runner.start());
    EXPECT_TRUE(f.host.hasStatus("Already running..."));
    // The document is closed while the window handles its events.
    f.host.onFlush = [&] {
        if (f.host.console.find("two") != std::string::npos) {
            runner.end();
        }
    };
    EXPECT_TRUE(f.host.runTimer(runner, std::chrono::seconds(4)));
    EXPECT_FALSE(runner.isRunning());
}

TEST(Runner, ALongDevicePathWithBlanksAndQuotesReachesTheDriverWhole)
{
    RunnerFixture f("echo \"doc=$2\"\necho \"cwd=$(pwd)/\"\nexit 0\n");
    f.host.plotAfter = false;
    std::string folder = f.folder.path() + "my \"cells\" v2/";
    for (int i = 0; i < 3; ++i) {
        folder += std::string(150, static_cast<char>('a' + i)) + "/";
    }
    std::filesystem::create_directories(folder);
    f.host.path = folder + "cell one.kovra";
    std::ofstream(f.host.path) << "# Kovra <SL>\n";
    ASSERT_GT(f.host.path.size(), 500u);
    SimulationRunner runner(f.host, f.settings);
    ASSERT_TRUE(runner.start());
    f.host.runTimer(runner);
    EXPECT_NE(f.host.console.find("doc=" + f.host.path + "\r\n"), std::string::npos)
        << f.host.console;
    // The driver runs in the device file's folder.
    EXPECT_NE(f.host.console.find("cwd=" + folder + "\r\n"), std::string::npos) << f.host.console;
}

TEST(Runner, ArgumentVectorsKeepLongPathsWhole)
{
    RunnerFixture f("exit 0\n");
    SimulationRunner runner(f.host, f.settings);
    const std::string longPath = "/data/" + std::string(600, 'd') + "/my cell \"v2\".kovra";
    EXPECT_EQ(
        runner.driverArguments(longPath),
        (std::vector<std::string>{f.settings.driverPath, "-run", longPath, "-comm", "-nowarn"}));
    // Without a plot list "-kovra" is left out: it would take "-title" for
    // the list.
    EXPECT_EQ(runner.plotArguments(f.host.path),
              (std::vector<std::string>{f.settings.plotToolPath, "-title", f.host.path}));
    EXPECT_EQ(runner.plotArguments("/gone.kovra").back(), "KovraPlot");
}

}  // namespace
