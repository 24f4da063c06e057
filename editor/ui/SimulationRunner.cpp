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
    bool reading = false;      // a pipe-reading loop is active (flush may re-enter)
    bool timer = false;
    int timerMilliseconds = 0;  // the poll timer's current interval
    long linesRead = 0;        // lines taken from the pipe so far
    Clock::time_point lastLine;  // when the last lines were taken
    bool stopRequested = false;
    Clock::time_point stopTime;
    bool finished = false;     // the loop found the driver ended
    bool pipeClosed = false;
    int errorLines = 0;
};

SimulationRunner::SimulationRunner(RunnerHost& host, RunnerSettings settings)
    : host_(host), settings_(std::move(settings))
{
}

SimulationRunner::~SimulationRunner()
{
    if (run_) {
        run_->driver.reset();  // ends a driver that still runs
        run_.reset();
    }
}

std::vector<std::string> SimulationRunner::driverArguments(const std::string& documentPath) const
{
    return {settings_.driverPath, "-run", documentPath, "-comm", "-nowarn"};
}

std::vector<std::string> SimulationRunner::plotArguments(const std::string& documentPath) const
{
    std::vector<std::string> args = {settings_.plotToolPath, "-kovra"};
    if (!plotListPath_.empty()) {
        args.push_back(plotListPath_);
    }
    args.push_back("-title");
    args.push_back(fileExists(documentPath) ? documentPath : std::string("KovraPlot"));
    return args;
}

bool SimulationRunner::isRunning()
{
    return run_ && run_->driver && run_->driver->running();
}

bool SimulationRunner::plotToolRunning()
{
    return plotTool_ && plotTool_->running();
}

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
    host_.printColored(message);
}

// A device file is run as it stands on disk, so the document is saved
// first when it has no file yet or unsaved changes. A file changed on disk
// by another program is not written over without asking.
bool SimulationRunner::ensureSaved(std::string& path)
{
    path = host_.documentPath();
    bool saved = true;
    if (path.empty() || !fileExists(path)) {
        saved = host_.saveDocument(path.empty());
    } else if (host_.documentChangedOnDisk()) {
        const int answer = host_.ask("The device file was changed on disk by another program:\n" + path +
                                     "\nSave the editor's device over it and run?");
        if (answer != 3) {
            host_.showStatus("Run cancelled: the device file on disk was left as it is", 0);
            return false;
        }
        saved = host_.saveDocument(false);
    } else if (host_.documentModified()) {
        saved = host_.saveDocument(false);
    }
    path = host_.documentPath();
    if (!saved || !fileExists(path)) {
        host_.showStatus("Cannot run simulator: document not saved", 1);
        return false;
    }
    return true;
}

bool SimulationRunner::start()
{
    if (isRunning()) {
        host_.showStatus("Already running...", 0);
        return false;
    }
    host_.showStatus("", 9);
    results_.clear();
    host_.clearConsole();
    std::string path;
    if (!ensureSaved(path)) {
        return false;
    }
    end();  // whatever is left of an earlier run
    workingFolder_ = folderOf(path);
    resultsDocument_ = path;

    if (!fileExists(settings_.driverPath)) {
        host_.print("[ERROR]   Kovra simulator driver not found: " + settings_.driverPath + "\n");
        host_.showStatus("Cannot run the Kovra simulator", 1);
        return false;
    }
    std::string error;
    auto driver = DriverProcess::start(driverArguments(path), workingFolder_, true, error);
    if (!driver) {
        host_.print("[ERROR]   " + error + "\n");
        host_.showStatus("Cannot run the Kovra simulator", 1);
        return false;
    }
    run_ = std::make_unique<Run>();
    run_->driver = std::move(driver);
    printStamp("[SIMUL]   started at %s\n");
    host_.updateRunButtons();
    monitor();
    return true;
}

void SimulationRunner::monitor()
{
    if (!run_) {
        return;
    }
    if (!host_.consoleExists()) {
        end();
        return;
    }
    const Outcome outcome = readPipe();
    if (outcome == Outcome::Ended) {
        end();
        return;
    }
    if (run_ && !run_->timer) {
        run_->lastLine = Clock::now();
        pollAt(run_->linesRead > 0 ? settings_.busyPollMilliseconds : settings_.pollMilliseconds);
        if (!run_->timer) {
            end();
        }
    }
}

void SimulationRunner::pollAt(int milliseconds)
{
    if (run_->timer && run_->timerMilliseconds == milliseconds) {
        return;
    }
    run_->timer = host_.startTimer(milliseconds);
    run_->timerMilliseconds = milliseconds;
}

void SimulationRunner::handleLine(const std::string& line)
{
    const RunnerLineAction action =
        RunnerLines_interpret(line, host_.consoleEmpty(), host_.consoleEndsWithLf());
    switch (action.kind) {
    case RunnerLineAction::ExchangeFile:
        // After a stop request the exchange file is no longer read.
        if (!run_->stopRequested) {
            run_->exchangePath = action.text;
        }
        break;
    case RunnerLineAction::ClearConsole:
        host_.clearConsole();
        break;
    case RunnerLineAction::Show:
        if (host_.printColored(action.text) == STYLE_ERROR) {
            ++run_->errorLines;
        }
        break;
    case RunnerLineAction::Ignore:
        break;
    }
}

// The next complete line that has arrived from the driver, if any; the rest
// of the output once the driver has closed it.
std::optional<std::string> SimulationRunner::nextLine()
{
    std::optional<std::string> line;
    DriverProcess::Read read = DriverProcess::Read::Nothing;
    char byte = 0;
    while (!line && (read = run_->driver->readByte(byte)) == DriverProcess::Read::Byte) {
        line = run_->splitter.add(byte);
    }
    if (!line && read == DriverProcess::Read::Closed) {
        run_->pipeClosed = true;
        line = run_->splitter.finish();
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
    if (!run_ || run_->reading || run_->finished) {
        return run_ && run_->finished ? Outcome::Ended : Outcome::Busy;
    }
    if (!host_.consoleExists()) {
        return Outcome::Busy;
    }
    Run* const current = run_.get();
    current->reading = true;
    bool exitedSeen = false;
    for (;;) {
        host_.flush();
        if (run_.get() != current) {
            // The run was ended from inside the flush (and perhaps another
            // started, which has its own loop).
            return Outcome::Busy;
        }
        int batch = 0;
        const Clock::time_point batchStart = Clock::now();
        while (std::optional<std::string> line = nextLine()) {
            handleLine(*line);
            ++run_->linesRead;
            if (++batch >= settings_.linesPerFlush || Clock::now() - batchStart >= settings_.flushInterval) {
                break;
            }
        }
        if (batch > 0) {
            continue;
        }
        if (run_->driver->running()) {
            run_->reading = false;
            return Outcome::StillRunning;
        }
        // The driver has ended: what it wrote last may have arrived after
        // the look at the pipe, so the pipe is read once more to its end.
        if (!exitedSeen && !run_->pipeClosed) {
            exitedSeen = true;
            continue;
        }
        if (auto rest = run_->splitter.finish()) {
            handleLine(*rest);
        }
        run_->reading = false;
        run_->finished = true;
        return Outcome::Ended;
    }
}

bool SimulationRunner::onTimer()
{
    if (!run_) {
        return false;
    }
    if (run_->finished) {
        end();
        return false;
    }
    const long linesBefore = run_->linesRead;
    const Outcome outcome = readPipe();
    if (outcome == Outcome::Busy) {
        return true;
    }
    if (outcome == Outcome::Ended) {
        end();
        return false;
    }
    // Look again soon while the driver prints, slowly once it has been
    // silent for a whole slow interval.
    const Clock::time_point now = Clock::now();
    if (run_->linesRead > linesBefore) {
        run_->lastLine = now;
    }
    const bool flowing = now - run_->lastLine < std::chrono::milliseconds(settings_.pollMilliseconds);
    pollAt(flowing ? settings_.busyPollMilliseconds : settings_.pollMilliseconds);
    // A driver that has not honoured the stop request in time is ended.
    if (run_->stopRequested && Clock::now() - run_->stopTime >= settings_.stopGrace) {
        host_.printColored("[SIMUL]   the simulator did not stop by itself: ended\n");
        end();
        return false;
    }
    return true;
}

bool SimulationRunner::requestStop()
{
    if (!run_ || run_->stopRequested || run_->exchangePath.empty()) {
        return false;
    }
    FILE* file = std::fopen(run_->exchangePath.c_str(), "a");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fputs("Stop\n", file) >= 0;
    if (std::fclose(file) != 0 || !written) {
        return false;
    }
    // The driver stops by itself when it sees the line; the run is watched
    // until it has, and ended by force when it has not within the grace.
    run_->exchangePath.clear();
    run_->stopRequested = true;
    run_->stopTime = Clock::now();
    if (!run_->timer && !run_->reading) {
        pollAt(settings_.pollMilliseconds);
    }
    host_.updateRunButtons();
    return true;
}

void SimulationRunner::end()
{
    if (!run_) {
        return;
    }
    std::unique_ptr<Run> run = std::move(run_);
    if (run->timer) {
        host_.stopTimer();
    }
    const bool endedNormally = run->finished;
    run->driver->kill();  // nothing when it has ended by itself
    lastExitStatus_ = run->driver->exitStatus();
    run->driver.reset();

    if (!run->exchangePath.empty()) {
        RunnerReports_read(run->exchangePath, run->exchangeOffset, results_);
        std::remove(run->exchangePath.c_str());
    }
    host_.updateRunButtons();
    if (endedNormally) {
        printStamp("[SIMUL]   ended at %s\n");
    }
    if (endedNormally && !run->stopRequested && run->errorLines < 1 && lastExitStatus_ == 0 &&
        host_.plotAfterRun()) {
        plot(true);
    }
}

bool SimulationRunner::plot(bool automatic)
{
    if (settings_.plotToolPath.empty()) {
        return false;
    }
    if (!automatic && plotToolRunning()) {
        // The window is left where it is; the desktop decides what is in front.
        host_.showStatus("KovraPlot already open", 0);
        return true;
    }
    // The results and the plot list belong to the device that was run: the
    // list goes beside that run's results, and another device opened since
    // (perhaps from another folder) never gets them.
    const std::string document = host_.documentPath();
    if (document == resultsDocument_ && !results_.ee.empty() && results_.meshPoints >= 1) {
        plotListPath_ = RunnerReports_plotListPath(results_.ee, workingFolder_);
        plotListDocument_ = document;
        if (!RunnerReports_writePlotList(plotListPath_, results_)) {
            return false;
        }
    }
    if (plotListDocument_ != document) {
        plotListPath_.clear();
        plotListDocument_.clear();
    }
    const std::string folder = document == resultsDocument_ ? workingFolder_ : folderOf(document);
    std::string error;
    auto tool = DriverProcess::start(plotArguments(document), folder, false, error);
    if (!tool) {
        host_.showStatus("Cannot run KovraPlot", 1);
        return false;
    }
    if (plotTool_) {
        earlierPlotTools_.push_back(std::move(plotTool_));
    }
    std::erase_if(earlierPlotTools_, [](const std::unique_ptr<DriverProcess>& p) { return !p->running(); });
    plotTool_ = std::move(tool);
    host_.programStarted();
    return true;
}
