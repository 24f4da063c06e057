// The simulation runner: start, pipe reading, watching, stop, end, plot.
#include "SimulationRunner.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int STYLE_ERROR = 125;

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// Only '/' separates here: the folder is where the driver starts, and on
// this system a '\' is part of a file name.
std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

// The state of one run, from the driver's start to the end of the run.
struct SimulationRunner::Run {
    std::unique_ptr<DriverProcess> driver;
    PipeLineSplitter splitter;
    std::string exchangePath;  // named by the driver; emptied by a stop request
    long exchangeOffset = 0;
    bool reading = false;  // a pipe-reading loop is active (flush may re-enter)
    bool timer = false;
    int timerMilliseconds = 0;   // the poll timer's current interval
    long linesRead = 0;          // lines taken from the pipe so far
    Clock::time_point lastLine;  // when the last lines were taken
    bool stopRequested = false;
    Clock::time_point stopTime;
    bool finished = false;  // the loop found the driver ended
    bool pipeClosed = false;
    int errorLines = 0;
};

SimulationRunner::SimulationRunner(RunnerHost& host, RunnerSettings settings)
    : host(host), settings(std::move(settings))
{
}

SimulationRunner::~SimulationRunner()
{
    if (activeRun) {
        activeRun->driver.reset();  // ends a driver that still runs
        activeRun.reset();
    }
}

std::vector<std::string> SimulationRunner::driverArguments(const std::string& documentPath) const
{
    return {settings.driverPath, "-run", documentPath, "-comm", "-nowarn"};
}

std::vector<std::string> SimulationRunner::plotArguments(const std::string& documentPath) const
{
    // "-kovra" takes the plot list as its value: without a list it would
    // take the next option for one.
    std::vector<std::string> args = {settings.plotToolPath};
    if (!plotListFile.empty()) {
        args.push_back("-kovra");
        args.push_back(plotListFile);
    }
    args.push_back("-title");
    args.push_back(fileExists(documentPath) ? documentPath : std::string("KovraPlot"));
    return args;
}

bool SimulationRunner::isRunning()
{
    return activeRun && activeRun->driver && activeRun->driver->running();
}

bool SimulationRunner::hasResultsFor(const std::string& documentPath) const
{
    return !documentPath.empty() && documentPath == resultsDocument && !runResults.ee.empty() &&
           runResults.meshPoints >= 1;
}

bool SimulationRunner::plotToolRunning() { return plotTool && plotTool->running(); }

void SimulationRunner::printStamp(const char* format)
{
    char stamp[64] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    }
    char message[256];
    std::snprintf(message, sizeof message, format, stamp);
    host.printColored(message);
}

// A device file is run as it stands on disk, so the document is saved
// first when it has no file yet or unsaved changes. A file changed on disk
// by another program is not written over without asking.
bool SimulationRunner::ensureSaved(std::string& path)
{
    path = host.documentPath();
    bool saved = true;
    if (path.empty() || !fileExists(path)) {
        saved = host.saveDocument(path.empty());
    } else if (host.documentChangedOnDisk()) {
        const int answer = host.ask("The device file was changed on disk by another program:\n" +
                                    path + "\nSave the editor's device over it and run?");
        if (answer != 3) {
            host.showStatus("Run cancelled: the device file on disk was left as it is", 0);
            return false;
        }
        saved = host.saveDocument(false);
    } else if (host.documentModified()) {
        saved = host.saveDocument(false);
    }
    path = host.documentPath();
    if (!saved || !fileExists(path)) {
        host.showStatus("Cannot run simulator: document not saved", 1);
        return false;
    }
    return true;
}

bool SimulationRunner::start()
{
    if (isRunning()) {
        host.showStatus("Already running...", 0);
        return false;
    }
    host.showStatus("", 9);
    runResults.clear();
    host.clearConsole();
    std::string path;
    if (!ensureSaved(path)) {
        return false;
    }
    end();  // whatever is left of an earlier run
    runFolder = folderOf(path);
    resultsDocument = path;

    if (!fileExists(settings.driverPath)) {
        host.printColored("[ERROR]   Kovra simulator driver not found: " + settings.driverPath +
                          "\n");
        host.showStatus("Cannot run the Kovra simulator", 1);
        return false;
    }
    std::string error;
    auto driver = DriverProcess::start(driverArguments(path), runFolder, true, error);
    if (!driver) {
        host.printColored("[ERROR]   " + error + "\n");
        host.showStatus("Cannot run the Kovra simulator", 1);
        return false;
    }
    activeRun = std::make_unique<Run>();
    activeRun->driver = std::move(driver);
    printStamp("[SIMUL]   started at %s\n");
    host.updateRunButtons();
    monitor();
    return true;
}

void SimulationRunner::monitor()
{
    if (!activeRun) {
        return;
    }
    if (!host.consoleExists()) {
        end();
        return;
    }
    const Outcome outcome = readPipe();
    if (outcome == Outcome::ENDED) {
        end();
        return;
    }
    if (activeRun && !activeRun->timer) {
        activeRun->lastLine = Clock::now();
        pollAt(activeRun->linesRead > 0 ? settings.busyPollMilliseconds
                                        : settings.pollMilliseconds);
        if (!activeRun->timer) {
            end();
        }
    }
}

void SimulationRunner::pollAt(int milliseconds)
{
    if (activeRun->timer && activeRun->timerMilliseconds == milliseconds) {
        return;
    }
    activeRun->timer = host.startTimer(milliseconds);
    activeRun->timerMilliseconds = milliseconds;
}

void SimulationRunner::handleLine(const std::string& line)
{
    const RunnerLineAction action =
        RunnerLines_interpret(line, host.consoleEmpty(), host.consoleEndsWithLf());
    switch (action.kind) {
    case RunnerLineAction::EXCHANGE_FILE:
        // After a stop request the exchange file is no longer read.
        if (!activeRun->stopRequested) {
            activeRun->exchangePath = action.text;
        }
        break;
    case RunnerLineAction::CLEAR_CONSOLE: host.clearConsole(); break;
    case RunnerLineAction::SHOW:
        if (host.printColored(action.text) == STYLE_ERROR) {
            ++activeRun->errorLines;
        }
        break;
    case RunnerLineAction::IGNORE: break;
    }
}

// The next complete line that has arrived from the driver, if any; the rest
// of the output once the driver has closed it.
std::optional<std::string> SimulationRunner::nextLine()
{
    std::optional<std::string> line;
    DriverProcess::Read read = DriverProcess::Read::NOTHING;
    char byte = 0;
    while (!line && (read = activeRun->driver->readByte(byte)) == DriverProcess::Read::BYTE) {
        line = activeRun->splitter.add(byte);
    }
    if (!line && read == DriverProcess::Read::CLOSED) {
        activeRun->pipeClosed = true;
        line = activeRun->splitter.finish();
    }
    return line;
}

// Reads and shows the driver's lines until its output falls silent. The
// window handles its events between batches of lines (each batch is what
// has arrived, up to a size and a time), so it stays alive during a long
// run without redrawing for every line; whatever it does meanwhile (a stop
// request, the end of the run) is seen before the next batch.
SimulationRunner::Outcome SimulationRunner::readPipe()
{
    if (!activeRun || activeRun->reading || activeRun->finished) {
        return activeRun && activeRun->finished ? Outcome::ENDED : Outcome::BUSY;
    }
    if (!host.consoleExists()) {
        return Outcome::BUSY;
    }
    Run* const current = activeRun.get();
    current->reading = true;
    bool exitedSeen = false;
    for (;;) {
        host.flush();
        if (activeRun.get() != current) {
            // The run was ended from inside the flush (and perhaps another
            // started, which has its own loop).
            return Outcome::BUSY;
        }
        int batch = 0;
        const Clock::time_point batchStart = Clock::now();
        while (std::optional<std::string> line = nextLine()) {
            handleLine(*line);
            ++activeRun->linesRead;
            if (++batch >= settings.linesPerFlush ||
                Clock::now() - batchStart >= settings.flushInterval) {
                break;
            }
        }
        if (batch > 0) {
            continue;
        }
        if (activeRun->driver->running()) {
            activeRun->reading = false;
            return Outcome::STILL_RUNNING;
        }
        // The driver has ended: what it wrote last may have arrived after
        // the look at the pipe, so the pipe is read once more to its end.
        if (!exitedSeen && !activeRun->pipeClosed) {
            exitedSeen = true;
            continue;
        }
        if (auto rest = activeRun->splitter.finish()) {
            handleLine(*rest);
        }
        activeRun->reading = false;
        activeRun->finished = true;
        return Outcome::ENDED;
    }
}

bool SimulationRunner::onTimer()
{
    if (!activeRun) {
        return false;
    }
    if (activeRun->finished) {
        end();
        return false;
    }
    const long linesBefore = activeRun->linesRead;
    const Outcome outcome = readPipe();
    if (outcome == Outcome::BUSY) {
        return true;
    }
    if (outcome == Outcome::ENDED) {
        end();
        return false;
    }
    // Look again soon while the driver prints, slowly once it has been
    // silent for a whole slow interval.
    const Clock::time_point now = Clock::now();
    if (activeRun->linesRead > linesBefore) {
        activeRun->lastLine = now;
    }
    const bool flowing =
        now - activeRun->lastLine < std::chrono::milliseconds(settings.pollMilliseconds);
    pollAt(flowing ? settings.busyPollMilliseconds : settings.pollMilliseconds);
    // A driver that has not honoured the stop request in time is ended.
    if (activeRun->stopRequested && Clock::now() - activeRun->stopTime >= settings.stopGrace) {
        host.printColored("[SIMUL]   the simulator did not stop by itself: ended\n");
        end();
        return false;
    }
    return true;
}

bool SimulationRunner::requestStop()
{
    if (!activeRun || activeRun->stopRequested || activeRun->exchangePath.empty()) {
        return false;
    }
    FILE* file = std::fopen(activeRun->exchangePath.c_str(), "a");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fputs("Stop\n", file) >= 0;
    if (std::fclose(file) != 0 || !written) {
        return false;
    }
    // The driver stops by itself when it sees the line; the run is watched
    // until it has, and ended by force when it has not within the grace.
    activeRun->exchangePath.clear();
    activeRun->stopRequested = true;
    activeRun->stopTime = Clock::now();
    if (!activeRun->timer && !activeRun->reading) {
        pollAt(settings.pollMilliseconds);
    }
    host.updateRunButtons();
    return true;
}

void SimulationRunner::end()
{
    if (!activeRun) {
        return;
    }
    std::unique_ptr<Run> run = std::move(activeRun);
    if (run->timer) {
        host.stopTimer();
    }
    const bool endedNormally = run->finished;
    run->driver->kill();  // nothing when it has ended by itself
    lastStatus = run->driver->exitStatus();
    run->driver.reset();

    if (!run->exchangePath.empty()) {
        RunnerReports_read(run->exchangePath, run->exchangeOffset, runResults);
        std::remove(run->exchangePath.c_str());
    }
    host.updateRunButtons();
    if (endedNormally) {
        printStamp("[SIMUL]   ended at %s\n");
    }
    if (endedNormally && !run->stopRequested && run->errorLines < 1 && lastStatus == 0 &&
        host.plotAfterRun()) {
        plot(true);
    }
}

bool SimulationRunner::plot(bool automatic)
{
    if (settings.plotToolPath.empty()) {
        return false;
    }
    // The results and the plot list belong to the device that was run: the
    // list goes beside that run's results, and another device opened since
    // (perhaps from another folder) never gets them.
    const std::string document = host.documentPath();
    if (hasResultsFor(document)) {
        plotListFile = RunnerReports_plotListPath(runResults.ee, runFolder);
        plotListDocument = document;
        if (!RunnerReports_writePlotList(plotListFile, runResults)) {
            return false;
        }
    }
    if (plotListDocument != document) {
        plotListFile.clear();
        plotListDocument.clear();
    }
    // A device without results of its own has nothing to plot: the plot
    // tool would only report the device file as a list it cannot read.
    if (plotListFile.empty()) {
        host.showStatus("Nothing to plot: run this device first", 0);
        return false;
    }
    if (!automatic && plotToolRunning()) {
        // The window is left where it is; the desktop decides what is in front.
        host.showStatus("KovraPlot already open", 0);
        return true;
    }
    const std::string folder = document == resultsDocument ? runFolder : folderOf(document);
    std::string error;
    auto tool = DriverProcess::start(plotArguments(document), folder, false, error);
    if (!tool) {
        host.showStatus("Cannot run KovraPlot", 1);
        return false;
    }
    if (plotTool) {
        earlierPlotTools.push_back(std::move(plotTool));
    }
    std::erase_if(earlierPlotTools,
                  [](const std::unique_ptr<DriverProcess>& p) { return !p->running(); });
    plotTool = std::move(tool);
    host.programStarted();
    return true;
}
