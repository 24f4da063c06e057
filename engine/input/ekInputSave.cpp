// Device-file writer: the device, excitation and settings of a run as a
// device file that the reader loads back into the same device. The
// sections are first built in the configuration store ekInput inherits,
// then printed after the header and the variables.
#include <ctime>
#include <cwchar>
#include <memory>
#include <new>

#include "kovraVersion.h"
#include "ElecDevice.h"
#include "ekContact.h"
#include "ekExcitation.h"
#include "ekInput.h"
#include "ekInputWriter.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr const wchar_t* FIRST_LINE = L"# Kovra <SL>";
constexpr const wchar_t* VERSION = KOVRA_VERSION_W;
constexpr const wchar_t* BUILD = KOVRA_BUILD_W;
constexpr const wchar_t* PLATFORM = L"Linux";

bool writeHeader(FILE* stream, const ElecDevice* device)
{
    const wchar_t* header = device->getHeader();
    if (header != nullptr && device->getHeaderLength() >= 13 &&
        std::wcsncmp(header, FIRST_LINE, 12) == 0) {
        return kov_FileWriteW(stream, header) && kov_FileWriteW(stream, L"\n");
    }
    wchar_t saved[64] = L"";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        std::wcsftime(saved, 64, L"%Y-%m-%d %H:%M:%S", &local);
    }
    wchar_t text[512];
    std::swprintf(text, 512,
                  L"%ls\n# The above first line is mandatory\n#\n# Kovra <Version %ls Build "
                  L"%ls%ls\n#\n# Saved: %ls \n",
                  FIRST_LINE, VERSION, BUILD, PLATFORM, saved);
    return kov_FileWriteW(stream, text);
}

bool writeVariables(FILE* stream, const ElecDevice* device)
{
    const int count = device->getVariableCount();
    if (count < 1) {
        return true;
    }
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const wchar_t* name = device->getVariableName(i);
        const wchar_t* value = device->getVariableValue(i);
        if (name == nullptr || value == nullptr) {
            continue;
        }
        ok = kov_FileWriteW(stream, (L"$" + std::wstring(name) + L"=" + value + L"\n").c_str()) &&
             ok;
    }
    return kov_FileWriteW(stream, L"\n") && ok;
}

// The checks and the sections of a save, before any file is touched: a
// device that cannot be saved leaves the file as it was.
bool fillForSave(ekInput& store, ekSimulator* simulator, ElecDevice* device,
                 ekExcitation* excitation, nuSigma* sigma, nuParam* param)
{
    if (sigma == nullptr || param == nullptr || sigma->err != 0) {
        return false;
    }
    sigma->reset();
    if (device == nullptr || excitation == nullptr) {
        sigma->error(L"invalid device");
        return false;
    }
    if (device->getLayerCount() < 1) {
        sigma->error(L"invalid device (no layers)");
        return false;
    }
    store.removeAll();
    ekInputWriter writer(store, simulator, device, excitation, sigma, param);
    return writer.fillSections();
}

bool writeSaved(const ekInput& store, FILE* stream, ElecDevice* device)
{
    bool ok = writeHeader(stream, device);
    ok = writeVariables(stream, device) && ok;
    return store.writeTo(stream) && ok;
}

}  // namespace

bool ekInput::save(const wchar_t* fileName, ekSimulator* simulator, ElecDevice* device,
                   ekExcitation* excitation, nuSigma* sigma, nuParam* param)
{
    if (!fillForSave(*this, simulator, device, excitation, sigma, param)) {
        return false;
    }
    if (fileName == nullptr || fileName[0] == L'\0') {
        sigma->error(L"device not saved: cannot create file");
        return false;
    }
    if (kov_fileExistsW(fileName)) {
        kov_fileReadWriteW(fileName);
    }
    FILE* stream = kov_FileOpenW(fileName, "w");
    if (stream == nullptr) {
        sigma->error(L"device not saved: cannot create file");
        return false;
    }
    bool ok = writeSaved(*this, stream, device);
    ok = std::fclose(stream) == 0 && ok;
    if (!ok) {
        sigma->error(L"device not saved: cannot write file");
        return false;
    }
    return true;
}

bool ekInput::save(FILE* stream, ekSimulator* simulator, ElecDevice* device,
                   ekExcitation* excitation, nuSigma* sigma, nuParam* param)
{
    if (!fillForSave(*this, simulator, device, excitation, sigma, param)) {
        return false;
    }
    if (stream == nullptr) {
        sigma->error(L"device not saved: cannot create file");
        return false;
    }
    if (!writeSaved(*this, stream, device)) {
        sigma->error(L"device not saved: cannot write file");
        return false;
    }
    return true;
}

// ---- sections -------------------------------------------------------------------

ekInputWriter::ekInputWriter(ekInput& store, ekSimulator* simulator, ElecDevice* device,
                             ekExcitation* excitation, nuSigma* sigma, nuParam* param)
    : store(store),
      simulator(simulator),
      device(device),
      excitation(excitation),
      sigma(sigma),
      param(param)
{
}

bool ekInputWriter::fillSections()
{
    if (!begin(L"Device")) {
        return false;
    }
    addText(L"Name", device->getName());
    addNumber(L"Temperature", device->getT());
    addNumber(L"Polarization.Scale", device->getPolarizationScale());
    for (int i = 0; i < device->getLayerCount(); ++i) {
        if (!addLayer(i + 1, device->getLayer(i))) {
            return false;
        }
    }
    if (!addContact(true) || !addContact(false)) {
        return false;
    }
    addVoltage();
    addLight();
    addNumeric();
    addCommand();
    if (!ok) {
        sigma->error(L"device not saved: invalid parameters");
        return false;
    }
    return true;
}

bool ekInputWriter::begin(const wchar_t* name)
{
    currentSection =
        store.addSection(name, ekInput::sectionRecordCount(ekInput::sectionIndex(name)));
    if (currentSection == nullptr) {
        sigma->error(L"device not saved: invalid parameters");
        return false;
    }
    return true;
}

void ekInputWriter::add(const wchar_t* key, const std::wstring& value, bool quoted)
{
    if (currentSection == nullptr ||
        !currentSection->setValue(key, value.c_str(), nullptr, quoted)) {
        ok = false;
    }
}

void ekInputWriter::addText(const wchar_t* key, const wchar_t* value)
{
    add(key, value != nullptr ? value : L"", true);
}

void ekInputWriter::addNumber(const wchar_t* key, double value)
{
    add(key, nu_numberText(value, -1), false);
}

void ekInputWriter::addInteger(const wchar_t* key, int value)
{
    add(key, std::to_wstring(value), false);
}

bool ekInputWriter::addContact(bool anode)
{
    const ekContact* contact = anode ? device->getAnode() : device->getCathode();
    const std::wstring prefix = anode ? L"Anode." : L"Cathode.";
    if (!begin(anode ? L"Anode" : L"Cathode")) {
        return false;
    }
    if (contact == nullptr) {
        return true;
    }
    auto key = [&](const wchar_t* name) { return prefix + name; };
    addText(key(L"Type").c_str(), contact->isSchottky() ? L"Schottky" : L"Ohmic");
    addNumber(key(L"Phi").c_str(), contact->getPhi());
    // Velocities act on a Schottky contact only, and the reader warns
    // about them on an ohmic one: there they are written only when the
    // device file gave them, so the saved file says what its source said.
    const bool schottky = contact->isSchottky();
    if (schottky || contact->getRn() != ekContact::DEFAULT_VELOCITY) {
        addNumber(key(L"Rn").c_str(), contact->getRn());
    }
    if (schottky || contact->getRp() != ekContact::DEFAULT_VELOCITY) {
        addNumber(key(L"Rp").c_str(), contact->getRp());
    }
    if (contact->isTunnel()) {
        addText(key(L"Tunnel").c_str(), L"Yes");
    }
    addNumber(key(L"Thickness").c_str(), contact->getThickness());
    const bool metal = ekContact::isStandardMaterial(contact->getMaterial(), nullptr);
    if (metal) {
        addText(key(L"Material").c_str(), contact->getMaterial());
    }
    if (contact->getIndexFile() != nullptr) {
        addText(key(L"Index.File").c_str(), contact->getIndexFile());
    } else if (contact->getIndexScript() != nullptr) {
        addText(key(L"Index.Model").c_str(), contact->getIndexScript());
    }
    // A metal brings its own index; any other contact keeps its constant
    // pair, which it falls back to without a usable file or script.
    if (!metal) {
        addNumber(key(L"Index.n").c_str(), contact->getIndexn());
        addNumber(key(L"Index.k").c_str(), contact->getIndexk());
    }
    if (contact->isBoundarySet()) {
        addText(key(L"Boundary").c_str(), contact->getBoundary() == ekContact::BOUNDARY_DIRICHLET
                                              ? L"Dirichlet"
                                              : L"Neumann");
    }
    return true;
}

void ekInputWriter::addVoltage()
{
    if (!begin(L"Voltage")) {
        return;
    }
    const uint8_t type = excitation->biasType;
    if (type & ekExcitation::BIAS_SWEEP) {
        addText(L"Voltage.Source", L"Sweep");
    } else if (type & ekExcitation::BIAS_FILE) {
        addText(L"Voltage.Source", excitation->biasFilename);
    } else {
        addText(L"Voltage.Source", L"None");
    }
    // The sweep values are kept for a file source too: they are part of
    // the excitation the file must reproduce.
    addNumber(L"Voltage.Start", excitation->Vstart);
    addNumber(L"Voltage.End", excitation->Vend);
    addNumber(L"Voltage.Step", excitation->Vstep);
    addNumber(L"Voltage.Jinf", excitation->Jinf);
    addNumber(L"Voltage.Jsup", excitation->Jsup);
}

void ekInputWriter::addLight()
{
    if (!begin(L"Light")) {
        return;
    }
    const uint8_t type = excitation->lightType;
    if (type & ekExcitation::LIGHT_AM15) {
        addText(L"Light.Source", L"AM1.5");
    } else if (type & ekExcitation::LIGHT_FILE) {
        addText(L"Light.Source", excitation->lightFilename);
    } else if (ekExcitation::isLightSweep(type)) {
        addText(L"Light.Source", L"Sweep");
    } else if (type & ekExcitation::LIGHT_MONO) {
        addText(L"Light.Source", L"Mono");
    } else {
        addText(L"Light.Source", L"None");
    }
    addNumber(L"Light.Start", excitation->Wstart);
    addNumber(L"Light.End", excitation->Wend);
    addNumber(L"Light.Step", excitation->Wstep);
    addNumber(L"Light.Flux", excitation->flux[2]);
}

void ekInputWriter::addNumeric()
{
    if (!begin(L"Numeric")) {
        return;
    }
    // Verbose output and the log file share the output type: "No" switches
    // both off, so it is written only for a channel that has neither.
    if (sigma->isVerbose()) {
        addText(L"Numeric.Verbose", L"Yes");
    } else if (sigma->outputType == 0) {
        addText(L"Numeric.Verbose", L"No");
    }
    addText(L"Numeric.SaveFull", sigma->saveFull ? L"Yes" : L"No");
    addText(L"Numeric.Method", param->method == nuParam::METHOD_NEWTON ? L"Newton" : L"Gummel");
    if (param->mesh < 128 && param->points >= 50 && param->points <= 20000) {
        addInteger(L"Numeric.Points", param->points);
    }
    const wchar_t* meshFile = simulator != nullptr ? simulator->getMeshFilename() : nullptr;
    if (meshFile != nullptr && meshFile[0] != L'\0') {
        addText(L"Numeric.Mesh", meshFile);
    } else if (param->mesh & nuParam::MESH_LAYER) {
        addText(L"Numeric.Mesh", L"Layer");
    } else {
        addText(L"Numeric.Mesh", L"Uniform");
    }
    const wchar_t* guess = simulator != nullptr ? simulator->getInitialGuessFilename() : nullptr;
    if (guess != nullptr && guess[0] != L'\0') {
        addText(L"Numeric.Guess", guess);
    }
    addNumber(L"Numeric.Tol", param->reltol);
    addNumber(L"Numeric.Damp", param->damp);
    // The direct solver has no name in a device file.
    if (const wchar_t* solver =
            nuParam::iterativeSolverName(param->solver & nuParam::SOLVER_MASK)) {
        addText(L"Numeric.InnermostSolver", solver);
    }
}

void ekInputWriter::addCommand()
{
    if (!begin(L"Command")) {
        return;
    }
    const wchar_t* outDir = param->outDir;
    if (std::wcscmp(outDir, L".") == 0 || (outDir[0] != L'\0' && kov_dirExistsW(outDir))) {
        addText(L"Command.OutDir", outDir);
    }
    addText(L"Command.OutDirDate", param->outDirDate ? L"Yes" : L"No");
    addText(L"Command.Plot", param->plot ? L"Yes" : L"No");
}
