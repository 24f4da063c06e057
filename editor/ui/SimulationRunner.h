// The editor's side of a simulation: saves the device file when needed,
// starts the simulator driver on it, shows every line the driver prints in
// the output console while the window stays alive, watches the driver on a
// 700 ms timer once its output falls silent, takes the result names from
// the exchange file when the run ends, and starts the plot tool on them.
// It also carries the Stop request and the Plot command.
//
// One runner belongs to one document and keeps that document's results and
// plot tool between runs. Everything runs on the user-interface thread; the
// window, the console and the document are reached only through
// RunnerHost, so the runner works (and is tested) without a main window.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DriverProcess.h"
#include "RunnerLines.h"
#include "RunnerReports.h"

// What the runner needs from the editor around it.
class RunnerHost {
public:
    virtual ~RunnerHost() = default;

    // The document: its device file ("" while it has none), whether it has
    // unsaved changes, whether its file was changed on disk since it was
    // loaded or saved, saving it (chooseName: ask for a file name first;
    // true when saved), its plot-after-run option.
    virtual std::string documentPath() = 0;
    virtual bool documentModified() = 0;
    virtual bool documentChangedOnDisk() = 0;
    virtual bool saveDocument(bool chooseName) = 0;
    virtual bool plotAfterRun() = 0;

    // The output console. printColored styles the text by its tag and
    // returns the style (125 for an error line).
    virtual bool consoleExists() = 0;
    virtual int printColored(const std::string& text) = 0;
    virtual void print(const std::string& text) = 0;
    virtual void clearConsole() = 0;
    virtual bool consoleEmpty() = 0;
    virtual bool consoleEndsWithLf() = 0;

    // The window: let it handle its events (IupFlush); status-bar text
    // (kind 0 information, 1 error, 9 clear); a question answered 3 yes,
    // 4 no, 5 cancel; the Run, Stop and Plot buttons.
    virtual void flush() = 0;
    virtual void showStatus(const std::string& text, int kind) = 0;
    virtual int ask(const std::string& question) = 0;
    virtual void updateRunButtons() = 0;
    // The poll timer: from startTimer on, the host calls
    // SimulationRunner::onTimer every milliseconds until it returns false or
    // stopTimer is called (also from inside a tick). False when no timer
    // could be made.
    virtual bool startTimer(int milliseconds) = 0;
    virtual void stopTimer() = 0;
    // A program was started that runs on its own (the plot tool): the host
    // collects it once it ends, so it leaves no zombie behind.
    virtual void programStarted() {}
};

struct RunnerSettings {
    std::string driverPath;    // the programs' folder and "kovracomp"
    std::string plotToolPath;  // the programs' folder and "kovraplot"
    // After a stop request the driver has this long to end by itself before
    // it is ended (it checks for the request between points and iterations).
    std::chrono::milliseconds stopGrace{5000};
    // The timer looks at the driver this often while its output is silent,
    // and after busyPollMilliseconds while lines keep arriving, so a driver
    // that prints fast never waits on a full pipe.
    int pollMilliseconds = 700;
    int busyPollMilliseconds = 20;
    // Lines that have arrived are shown in batches: the window runs (and
    // redraws) after at most this many lines or this long, not after each.
    int linesPerFlush = 500;
    std::chrono::milliseconds flushInterval{50};
};

class SimulationRunner {
public:
    SimulationRunner(RunnerHost& host, RunnerSettings settings);
    ~SimulationRunner();  // ends a run that is alive
    SimulationRunner(const SimulationRunner&) = delete;
    SimulationRunner& operator=(const SimulationRunner&) = delete;

    // The Run command. True when the driver was started.
    bool start();
    // True while a run's driver process lives.
    bool isRunning();
    // The Stop command: appends "Stop" to the exchange file. False when no
    // run is alive or the driver has not named its exchange file yet.
    bool requestStop();
    // The Plot command (automatic false) or the plot after a clean run
    // (automatic true). True when the plot tool runs.
    bool plot(bool automatic);
    // The poll timer's tick: false when the timer should stop.
    bool onTimer();
    // Ends the run: the driver is ended when it still lives (a run is never
    // reported ended while its process runs).
    void end();

    const RunResults& results() const { return runResults; }
    const std::string& plotListPath() const { return plotListFile; }
    // The device file whose run gave results() (empty before a run).
    const std::string& resultsPath() const { return resultsDocument; }
    // True when the device file has results of its own to plot: its last
    // run reported an equilibrium result file with mesh points.
    bool hasResultsFor(const std::string& documentPath) const;
    const std::string& workingFolder() const { return runFolder; }
    // The driver's exit status of the last run that ended.
    int lastExitStatus() const { return lastStatus; }
    bool plotToolRunning();

    // The driver's argument vector for a device file.
    std::vector<std::string> driverArguments(const std::string& documentPath) const;
    // The plot tool's argument vector.
    std::vector<std::string> plotArguments(const std::string& documentPath) const;

private:
    enum class Outcome { ENDED, STILL_RUNNING, BUSY };
    struct Run;

    bool ensureSaved(std::string& path);
    void monitor();
    Outcome readPipe();
    std::optional<std::string> nextLine();
    void pollAt(int milliseconds);
    void handleLine(const std::string& line);
    void printStamp(const char* format);

    RunnerHost& host;
    RunnerSettings settings;
    std::unique_ptr<Run> activeRun;
    std::unique_ptr<DriverProcess> plotTool;
    // Plot tools started before the current one: collected once they have
    // ended, so none lingers as a zombie while the editor runs.
    std::vector<std::unique_ptr<DriverProcess>> earlierPlotTools;
    RunResults runResults;
    std::string resultsDocument;  // the device file whose run gave runResults
    std::string runFolder;
    std::string plotListFile;
    std::string plotListDocument;  // the device file plotListFile was written for
    int lastStatus = 0;
};
