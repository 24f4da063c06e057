// The run entry: one call runs one device file from end to end. It creates
// the run's objects, reads the file, prepares the output folder, sets up
// bias, light and mesh, runs one kind of run (quantum-efficiency sweep,
// equilibrium, voltage sweep) with its two fallbacks, and hands the result
// names back.
#include <cstdio>
#include <cwchar>
#include <new>
#include <string>

#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekDamping.h"
#include "ekExcitation.h"
#include "ekHelpers.h"
#include "ekInput.h"
#include "ekResultWriter.h"
#include "ekRunEntry.h"
#include "ekRunFolders.h"
#include "ekRunSteps.h"
#include "ekSimulator.h"
#include "ekcore.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

enum class RunKind { None, QuantumEfficiency, Equilibrium, Bias };

// What the run operation of step 11 did, for the re-mesh and the names.
struct Outcome {
    RunKind kind = RunKind::None;
    bool fellBack = false;  // equilibrium in place of a light-less QE sweep
    bool qeResult = false;  // the QE sweep produced its file
    bool biasRun = false;   // a voltage source was swept
    bool jinfReached = false;
    bool jsupReached = false;
};

void configureChannel(ekRun& run, const ekRunRequest& request)
{
    nuSigma* sigma = run.sigma;
    sigma->reset();
    sigma->comm = request.comm;
    sigma->debug = request.debug;
    sigma->nowarn = request.nowarn;
    sigma->setOutputType(request.verbose ? nuSigma::OUTPUT_VERBOSE_LOG : 0);
    sigma->version = 108;
    sigma->summaryFilename = request.summaryFile;
    run.param->reset();
    run.param->mesh = nuParam::MESH_LAYER;
    run.param->dampMode = EK_DAMP_POTENTIAL | EK_DAMP_FERMI_RELATIVE;
}

bool createObjects(ekRun& run, const std::wstring& inputFolder, const ekRunRequest& request)
{
    run.device = new (std::nothrow) ElecDevice(run.sigma, run.param, L"SolarCell", L"SolarCell",
                                               inputFolder.empty() ? nullptr : inputFolder.c_str());
    if (run.device == nullptr) {
        run.sigma->reportNoMemory();
        return false;
    }
    if (!run.device->isValid()) {
        return false;  // the device has said what it lacked
    }
    run.simulator = request.makeSimulator ? request.makeSimulator(run.sigma, run.param)
                                          : new (std::nothrow) ekSimulator(run.sigma, run.param);
    run.input = new (std::nothrow) ekInput(ekInput::SECTIONCOUNT);
    run.excitation = new (std::nothrow) ekExcitation(run.sigma);
    if (run.simulator == nullptr || run.input == nullptr || run.excitation == nullptr) {
        run.sigma->reportNoMemory();
        return false;
    }
    run.excitation->reset();
    return true;
}

bool loadDevice(ekRun& run, const wchar_t* inputFile)
{
    int line = -1;
    if (run.input->load(inputFile, run.simulator, run.device, run.excitation, run.sigma, run.param,
                        &line)) {
        return true;
    }
    // The reader reports its refusals; a refusal it left unexplained still
    // needs a line, or the user would see a failed run without a reason.
    if (run.sigma->err == 0) {
        run.sigma->error(L"invalid input data");
    }
    return false;
}

bool isPerLayerMesh(const nuParam* param) { return param->mesh == nuParam::MESH_LAYER; }

// A run that converged nothing on the per-layer mesh gets one more attempt
// on a uniform mesh (never after a stop).
bool canRemesh(const ekRun& run)
{
    // Short of memory, a finer uniform mesh would only run shorter.
    return !run.simulator->isStopped() && run.simulator->getConvergedCount() < 1 &&
           isPerLayerMesh(run.param) && !run.sigma->isOutOfMemory();
}

// Step 11: the one operation of the run. False ends the run; true goes on
// to the re-mesh check and the names.
bool runOperation(ekRun& run, Outcome& outcome)
{
    ekSimulator* sim = run.simulator;
    nuSigma* sigma = run.sigma;
    // A failure of the device summary or the input copies ends the run
    // here; only the operation's own failure may lead to the re-mesh.
    if (run.isFailed()) {
        return false;
    }
    if (run.isLightOn() && run.sweep) {
        outcome.kind = RunKind::QuantumEfficiency;
        run.param->setReltol(0.001);
        run.param->setDamp(0.2);
        if (sim->getSweepLight() == nullptr) {
            return false;
        }
        sim->setDistFormat(sim->getSweepLight()->getPoints());
        const double Va = run.startVoltage();
        int r = sim->sweepQE(Va);
        if (r == -7 && ek_isZero(Va)) {
            // No usable light at 0 V: the equilibrium is all there is to solve.
            sim->setDistFormat(1);
            r = sim->setEquilibrium();
            outcome.fellBack = true;
            if (sim->isStopped() || sigma->err != 0 || r < 0) {
                return false;
            }
        } else if (sim->isStopped() || sigma->err != 0 || (r < 0 && r != -7)) {
            return false;
        } else if (r == -7) {
            // Nothing was solved: say why, or the run would end without a word.
            sigma->update(L"[WARNING] no usable light for the quantum-efficiency sweep: the photon "
                          L"flux through the anode is below 1000 1/cm2/s\n",
                          2);
        }
        outcome.qeResult = r > 0 && !outcome.fellBack;
        return true;
    }
    // On the per-layer mesh a run that converges nothing is tried again on
    // a uniform mesh: the first attempt's failure is said only when no
    // second attempt follows.
    if (isPerLayerMesh(run.param)) {
        sim->holdFailures();
    }
    if (run.equilibriumOnly) {
        outcome.kind = RunKind::Equilibrium;
        sim->setDistFormat(1);
        const int r = sim->setEquilibrium();
        if (sim->isStopped()) {
            return false;
        }
        return canRemesh(run) || (sigma->err == 0 && r >= 0);
    }
    if (run.isBiasOn() || ekExcitation::isMonoLight(run.lightType)) {
        outcome.kind = RunKind::Bias;
        if (sim->getSweepBias() == nullptr) {
            return false;
        }
        sim->setDistFormat(sim->getSweepBias()->getPoints());
        const int r =
            sim->sweepBias(run.Jinf, run.Jsup, &outcome.jinfReached, &outcome.jsupReached);
        if (sim->isStopped()) {
            return false;
        }
        // A run that converged nothing on a per-layer mesh goes on to the
        // re-mesh; any other failure ends here.
        if (!canRemesh(run) && (sigma->err != 0 || r < 0)) {
            return false;
        }
        if (outcome.jinfReached || outcome.jsupReached) {
            const bool low = outcome.jinfReached;
            const std::wstring line =
                std::wstring(low ? L"[INFO]    Jinf (" : L"[INFO]    Jsup (") +
                nu_numberText(low ? run.Jinf : run.Jsup) + L" A/cm2) reached\n";
            sigma->update(line.c_str(), 0);
        }
        outcome.biasRun = run.isBiasOn();
    }
    return true;
}

// Step 12: when nothing converged on the per-layer mesh, the run is
// repeated once on a uniform mesh. The failed operation has raised the
// error flag by then; it is cleared, or the second attempt could not run.
void remeshIfNothingConverged(ekRun& run, Outcome& outcome)
{
    ekSimulator* sim = run.simulator;
    if (outcome.kind == RunKind::QuantumEfficiency || outcome.kind == RunKind::None ||
        !canRemesh(run)) {
        return;
    }
    ek_resetSigma(run.sigma);
    sim->releaseFailures(false);
    if (run.sigma->isVerbose()) {
        run.sigma->update(L"[INFO]    non-optimal mesh: switching to the uniform mesh...\n", 0);
    }
    run.param->setMesh(nuParam::MESH_UNIFORM);
    ek_runMeshSetup(run);
    if (run.isFailed()) {
        return;
    }
    if (outcome.kind == RunKind::Equilibrium) {
        sim->setEquilibrium();
    } else if (outcome.kind == RunKind::Bias) {
        sim->sweepBias(run.Jinf, run.Jsup, &outcome.jinfReached, &outcome.jsupReached);
        outcome.biasRun = run.isBiasOn();
    }
}

// A stopped run fails; the reason is said whatever the verbosity, or a user
// without -verbose would see a failed run without a word.
void reportStop(ekRun& run)
{
    if (run.simulator->stopRequested()) {
        run.sigma->error(L"simulation stopped by the user");
    }
}

// Step 13: the names of the files this kind of run made.
void handBackNames(const ekRun& run, const Outcome& outcome, const ekRunRequest& request)
{
    const ekSimulator* sim = run.simulator;
    kov_copyW(request.filenameEE, EK_FILENAME_SIZE, sim->getFilenameEE());
    if (outcome.kind == RunKind::Equilibrium || outcome.fellBack) {
        return;
    }
    kov_copyW(request.filenameEN, EK_FILENAME_SIZE, sim->getFilenameEN());
    if (outcome.biasRun) {
        kov_copyW(request.filenameJV, EK_FILENAME_SIZE, sim->getFilenameJV());
        kov_copyW(request.filenameCV, EK_FILENAME_SIZE, sim->getFilenameCV());
    } else if (outcome.qeResult) {
        kov_copyW(request.filenameQW, EK_FILENAME_SIZE, sim->getFilenameQW());
    }
}

// Steps 2 to 13 on a run whose channel and settings exist.
bool runWhole(ekRun& run, const ekRunRequest& request)
{
    configureChannel(run, request);

    const std::wstring inputFolder = ek_inputFolder(request.inputFile);
    if (!createObjects(run, inputFolder, request) || !loadDevice(run, request.inputFile)) {
        return false;
    }
    if (request.adjustSettings) {
        request.adjustSettings(*run.param);
    }

    std::wstring folder, log;
    if (!ek_outputFolder(request.inputFile, inputFolder, run.param, run.sigma, &folder, &log)) {
        return false;
    }
    // The folder is checked before it is locked: the lock is a file in it,
    // and a folder the run refuses gets nothing of the run.
    if (!ekResult::outputPathsValid(folder.c_str(), log.c_str(), run.sigma)) {
        return false;
    }
    // Before anything in the folder is removed or written.
    run.folderLock = ek_lockOutputFolder(folder, run.sigma);
    if (run.folderLock < 0) {
        return false;
    }
    // No other run writes here now: a temporary file is one a killed run
    // left behind.
    ekResult::removeLeftoverTemporaries(folder);
    run.simulator->setPath(request.inputFile, folder.c_str(), log.c_str());
    if (run.isFailed()) {
        return false;
    }

    ek_runReadSettings(run);
    if (!ek_runApplyBias(run) || !ek_runApplyLight(run) || !ek_runMesh(run)) {
        return false;
    }

    run.simulator->saveDevice();
    run.simulator->saveFiles(run.excitation);
    Outcome outcome;
    if (!runOperation(run, outcome)) {
        run.simulator->releaseFailures(true);
        reportStop(run);
        return false;
    }
    remeshIfNothingConverged(run, outcome);
    run.simulator->releaseFailures(true);
    if (run.simulator->isStopped()) {
        reportStop(run);
        return false;
    }

    // A file the run could not write whole (a full disk) has said so in an
    // error line; the steps since may have cleared the error flag, and a
    // run with lost output is no success, however well it converged.
    if (run.sigma->outputLost) {
        return false;
    }
    // Points solved before memory ran short are kept in their files, as
    // after a stop; the run itself failed.
    if (run.sigma->reportIfOutOfMemory()) {
        return false;
    }
    const bool converged = run.simulator->getConvergedCount() > 0;
    if (request.plot != nullptr) {
        *request.plot = converged && run.param->plot;
    }
    if (converged) {
        handBackNames(run, outcome, request);
    }
    return converged;
}

}  // namespace

bool ek_runSimulation(const ekRunRequest& request)
{
    ekRun run;
    run.sigma = new (std::nothrow) nuSigma();
    if (run.sigma == nullptr) {
        // No channel to say it through.
        std::fputs(NU_NO_MEMORY_LINE, stdout);
        std::fflush(stdout);
        return false;
    }
    run.param = new (std::nothrow) nuParam();
    if (run.param == nullptr) {
        run.sigma->reportNoMemory();
        return false;
    }
    // A container of the engine that cannot grow (a work vector, a text)
    // throws: the run ends with the memory line, wherever that happened.
    try {
        return runWhole(run, request);
    } catch (const std::bad_alloc&) {
        run.sigma->reportNoMemory();
        return false;
    }
}

bool ek_simulate(const wchar_t* inputFile, bool debug, bool comm, bool verbose, bool* plot,
                 bool nowarn, wchar_t* filenameEE, wchar_t* filenameEN, wchar_t* filenameCV,
                 wchar_t* filenameJV, wchar_t* filenameQW, const wchar_t* summaryFile)
{
    ekRunRequest request;
    request.inputFile = inputFile;
    request.debug = debug;
    request.comm = comm;
    request.verbose = verbose;
    request.plot = plot;
    request.nowarn = nowarn;
    request.filenameEE = filenameEE;
    request.filenameEN = filenameEN;
    request.filenameCV = filenameCV;
    request.filenameJV = filenameJV;
    request.filenameQW = filenameQW;
    request.summaryFile = summaryFile;
    return ek_runSimulation(request);
}
