#include "WindowRunner.h"

#include <memory>
#include <string>

#include "App.h"
#include "RunnerIupHost.h"
#include "SimulationRunner.h"
#include "WindowMain.h"
#include "document.h"
#include "kovbase.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

class WindowHost : public RunnerConsoleHost {
public:
    explicit WindowHost(Document* document) : document(document) {}

    std::string documentPath() override
    {
        return Document_fileExists(document) ? document->filename : "";
    }
    bool documentModified() override { return Document_isModified(document) != 0; }
    bool documentChangedOnDisk() override { return Document_isChangedOnDisk(document) != 0; }
    bool saveDocument(bool chooseName) override
    {
        // The runner has asked already whether a file changed on disk may
        // be overwritten; the save does not ask a second time.
        if (!chooseName && Document_isChangedOnDisk(document)) {
            Document_keepFileTime(document);
        }
        return Document_save(document, nullptr) == 1;
    }
    bool plotAfterRun() override { return document->plotAfterRun == 1; }

    void showStatus(const std::string& text, int kind) override
    {
        kovraShowInfo(text.c_str(), 0, kind);
    }
    int ask(const std::string& question) override
    {
        return kovraAskQuestion(question.c_str(), "KovraDevice", 4, KOV_WindowMain);
    }
    void updateRunButtons() override
    {
        copyResults();
        WindowMain_updateRunButtons(document);
        WindowMain_updateTitle();
    }

    void copyResults();

    Document* const document;  // the document whose runs this host serves
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
    if (!attached.host || attached.host->document != document) {
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
        document->results.flags = r.flags;
        document->results.meshPoints = r.meshPoints;
        document->results.voltagePoints = r.voltagePoints;
        document->results.wavelengthPoints = r.wavelengthPoints;
        // The results belong to the device file that was run; another
        // file opened into this document later has none.
        kov_copyA(document->runDocumentPath, DOC_PATH_SIZE, attached.runner->resultsPath().c_str());
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
    return attached.host && attached.host->document == document && attached.runner->isRunning() ? 1
                                                                                                : 0;
}
void end(Document* document, int)
{
    if (attached.host && attached.host->document == document) {
        attached.runner->end();
        attached.runner.reset();
        attached.host.reset();
    }
}

}  // namespace

void WindowRunner_install()
{
    static const RunnerCalls calls{
        .start = start, .stop = stop, .plot = plot, .isRunning = isRunning, .end = end};
    WindowMain_setRunner(&calls);
}
