#include "WindowRunner.h"

#include <memory>
#include <string>

#include "App.h"
#include "RunnerIupHost.h"
#include "SimulationRunner.h"
#include "WindowMain.h"
#include "document.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

class WindowHost : public RunnerConsoleHost {
public:
    explicit WindowHost(Document* document) : document_(document) {}

    std::string documentPath() override { return Document_fileExists(document_) ? document_->filename : ""; }
    bool documentModified() override { return Document_isModified(document_) != 0; }
    bool documentChangedOnDisk() override { return Document_isChangedOnDisk(document_) != 0; }
    bool saveDocument(bool chooseName) override
    {
        // The runner has asked already whether a file changed on disk may
        // be overwritten; the save does not ask a second time.
        if (!chooseName && Document_isChangedOnDisk(document_)) {
            Document_keepFileTime(document_);
        }
        return Document_save(document_, nullptr) == 1;
    }
    bool plotAfterRun() override { return document_->plotAfterRun == 1; }

    void showStatus(const std::string& text, int kind) override { kovraShowInfo(text.c_str(), 0, kind); }
    int ask(const std::string& question) override
    {
        return kovraAskQuestion(question.c_str(), "KovraDevice", 4, KOV_WindowMain);
    }
    void updateRunButtons() override
    {
        copyResults();
        WindowMain_updateRunButtons(document_);
        WindowMain_updateTitle();
    }

    Document* document() const { return document_; }
    void copyResults();

private:
    Document* document_;
};

// One runner for the current document; a new document gets a new one (the
// old one ends its run when it goes).
struct Attached {
    std::unique_ptr<WindowHost> host;
    std::unique_ptr<SimulationRunner> runner;
};
Attached attached;

SimulationRunner* runnerFor(Document* document)
{
    if (document == nullptr) {
        return nullptr;
    }
    if (!attached.host || attached.host->document() != document) {
        attached.runner.reset();
        attached.host = std::make_unique<WindowHost>(document);
        const char* binDir = IupGetGlobal(KOV_BinDir);
        RunnerSettings settings;
        settings.driverPath = std::string(binDir ? binDir : "") + "kovracomp";
        settings.plotToolPath = std::string(binDir ? binDir : "") + "kovraplot";
        attached.runner = std::make_unique<SimulationRunner>(*attached.host, settings);
        attached.host->setRunner(attached.runner.get());
    }
    return attached.runner.get();
}

void WindowHost::copyResults()
{
    if (attached.runner) {
        const RunResults& r = attached.runner->results();
        document_->results.flags = r.flags;
        document_->results.meshPoints = r.meshPoints;
        document_->results.voltagePoints = r.voltagePoints;
        document_->results.wavelengthPoints = r.wavelengthPoints;
    }
}

int start(Document* document)
{
    SimulationRunner* runner = runnerFor(document);
    return runner && runner->start() ? 1 : 0;
}
int stop(Document* document)
{
    SimulationRunner* runner = runnerFor(document);
    return runner && runner->requestStop() ? 1 : 0;
}
int plot(Document* document, int)
{
    SimulationRunner* runner = runnerFor(document);
    return runner && runner->plot(false) ? 1 : 0;
}
int isRunning(Document* document)
{
    return attached.host && attached.host->document() == document && attached.runner->isRunning() ? 1 : 0;
}
void end(Document* document, int)
{
    if (attached.host && attached.host->document() == document) {
        attached.runner->end();
        attached.runner.reset();
        attached.host.reset();
    }
}

}  // namespace

void WindowRunner_install()
{
    static const RunnerCalls calls{start, stop, plot, isRunning, end};
    WindowMain_setRunner(&calls);
}
