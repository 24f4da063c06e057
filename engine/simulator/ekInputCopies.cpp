// Copies of the inputs of a run in its output folder: the device file, the
// Lua scripts it names (with the modules they require), the spectrum, bias,
// mesh and guess files, and the device file rewritten to name the copies,
// so the run can be repeated from the output folder alone.
#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <system_error>

#include "ElecDevice.h"
#include "ekContact.h"
#include "ekExcitation.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekInput.h"
#include "ekLayer.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr size_t FOLDER_MAX = 991;
constexpr size_t SCRIPT_LINE_SIZE = 256;
constexpr int SCRIPT_LINES_MAX = 4096;

// The per-layer scripts in the order they are copied; MODEL_COUNT stands
// for the optical index script, which the layer keeps as a region.
struct ScriptCopy {
    int kind;
    const wchar_t* suffix;
};
constexpr ScriptCopy SCRIPT_COPIES[] = {
    {ekLayer::MODEL_MOBILITY, L"_mobility"},
    {ekLayer::MODEL_BANDGAP, L"_bandgap"},
    {ekLayer::MODEL_DOPING, L"_doping"},
    {ekLayer::MODEL_TRAP, L"_trap"},
    {ekLayer::MODEL_PERMITTIVITY, L"_permittivity"},
    {ekLayer::MODEL_RECOMBINATION, L"_recombination"},
    {ekLayer::MODEL_COUNT, L"_index"},
    {ekLayer::MODEL_LATTICE, L"_lattice"},
};

std::wstring folderOf(const wchar_t* path)
{
    const std::wstring text = path != nullptr ? path : L"";
    const size_t separator = text.find_last_of(L"/\\");
    return separator == std::wstring::npos ? std::wstring() : text.substr(0, separator + 1);
}

// Rewriting the copy must never touch the input itself, whatever way the
// two paths are spelled.
bool isSameFile(const wchar_t* a, const std::wstring& b)
{
    std::wstring left = a != nullptr ? a : L"";
    std::wstring right = b;
    for (std::wstring* text : {&left, &right}) {
        std::replace(text->begin(), text->end(), L'\\', L'/');
    }
    if (left == right) {
        return true;
    }
    std::error_code error;
    const bool same = std::filesystem::equivalent(std::filesystem::path(kov_toUtf8(left)),
                                                  std::filesystem::path(kov_toUtf8(right)), error);
    return !error && same;
}

// File of the module a line "require <name>" loads, relative to a folder
// on the Lua search path: quotes (and the parentheses of the call form)
// dropped, dots read as folder separators as Lua does, ".lua" added. Empty
// for a line that names none, or a name that would reach outside the
// folder (it would be copied outside the output folder).
std::wstring requiredModule(const wchar_t* line)
{
    static const wchar_t PREFIX[] = L"require ";
    if (std::wcsncmp(line, PREFIX, 8) != 0) {
        return {};
    }
    std::wstring name = line + 8;
    const auto isTrim = [](wchar_t c) {
        return c == L' ' || c == L'\t' || c == L'"' || c == L'\'' || c == L'(' || c == L')' ||
               c == L';' || c == L'\r';
    };
    while (!name.empty() && isTrim(name.front())) {
        name.erase(name.begin());
    }
    while (!name.empty() && isTrim(name.back())) {
        name.pop_back();
    }
    if (name.size() > 4 && name.compare(name.size() - 4, 4, L".lua") == 0) {
        name.resize(name.size() - 4);
    }
    if (name.empty() || name.find_first_of(L"\\/\"' \t:") != std::wstring::npos ||
        name.front() == L'.' || name.back() == L'.' || name.find(L"..") != std::wstring::npos) {
        return {};
    }
    std::replace(name.begin(), name.end(), L'.', L'/');
    return name + L".lua";
}

// Copies source to target through a temporary file renamed into place:
// a planted link under the copy's name is replaced, never followed, and a
// copy cut short by a full disk never stands under the final name.
bool copyWhole(const wchar_t* source, const std::wstring& target, nuSigma* sigma)
{
    FILE* f = ekResult::open(target);
    if (f == nullptr) {
        ekResult::logCannotOpen(sigma, target);
        return false;
    }
    if (!kov_copyIntoW(source, f)) {
        // A source that cannot be read whole is no copy; a failed write
        // is said by the close.
        if (std::ferror(f) == 0) {
            ekResult::discard(f);
            return false;
        }
    }
    return ekResult::close(f, sigma);
}

// Where the copies of a run go: the output folder, the device file (a
// module may sit beside it) and the channel that reports a failed copy.
struct CopyTarget {
    std::wstring folder;
    const wchar_t* inputFile;
    nuSigma* sigma;
};

// Copies an existing file to the output folder as "simulinput" + suffix;
// copyPath (ekSimulator::PATH_SIZE) receives the copy's name. False when
// there is nothing to copy or the copy failed.
bool copyInput(const CopyTarget& to, const wchar_t* source, const wchar_t* suffix,
               wchar_t* copyPath)
{
    if (source == nullptr || source[0] == 0 || kov_fileExistsW(source) < 1) {
        return false;
    }
    std::wstring target = to.folder + L"simulinput";
    target += suffix;
    if (!copyWhole(source, target, to.sigma)) {
        return false;
    }
    // The copy of the device file names its side files by their bare names,
    // which the engine takes from the device file's folder: the output
    // folder can be moved and still repeat the run.
    kov_copyW(copyPath, ekSimulator::PATH_SIZE, (std::wstring(L"simulinput") + suffix).c_str());
    return true;
}

// Copies the modules named by the "require" lines of a script into the
// output folder.
void copyRequiredModules(const CopyTarget& to, const wchar_t* script)
{
    FILE* f = kov_FileOpenW(script, "r");
    if (f == nullptr) {
        return;
    }
    // A module is looked for beside the script, then beside the device file
    // (the folder the run puts on the Lua search path).
    const std::wstring folders[2] = {folderOf(script), folderOf(to.inputFile)};
    wchar_t line[SCRIPT_LINE_SIZE];
    for (int count = 0; count < SCRIPT_LINES_MAX && kov_FileReadLineW(f, line, SCRIPT_LINE_SIZE);
         ++count) {
        const std::wstring name = requiredModule(line);
        if (name.empty()) {
            continue;
        }
        for (const std::wstring& folder : folders) {
            const std::wstring source = folder + name;
            if (kov_fileExistsW(source.c_str()) >= 1) {
                // A module in a subfolder keeps its place below the copy.
                std::error_code error;
                const std::filesystem::path copy(kov_toUtf8(to.folder + name));
                std::filesystem::create_directories(copy.parent_path(), error);
                copyWhole(source.c_str(), to.folder + name, to.sigma);
                break;
            }
        }
    }
    kov_FileClose(&f);
}

// Removes the side-file copies ("simulinput_*") an earlier run left in
// the output folder.
void removeEarlierCopies(const std::wstring& folder)
{
    const auto isCopy = [](const std::wstring& name) { return name.rfind(L"simulinput_", 0) == 0; };
    for (const std::wstring& name : ekResult::filesIn(folder, isCopy, true)) {
        kov_removeFileW((folder + name).c_str());
    }
}

}  // namespace

void ekSimulator::saveFiles(ekExcitation* excitation)
{
    if (isBlocked()) {
        return;
    }
    ek_resetSigma(sigma);
    // The inputs and the results of a folder belong to one run: the earlier
    // run's results and side-file copies go before this run's inputs come,
    // so a run that fails leaves no earlier results beside its inputs.
    clearOutput();
    const CopyTarget target{
        std::wstring(output.folder, std::min(std::wcslen(output.folder), FOLDER_MAX)),
        output.inputFile, sigma};
    const std::wstring copyPath = target.folder + L"simulinput.kovra";
    // A run of the copy itself, from its folder, reads the copies: they stay.
    if (!isSameFile(output.inputFile, copyPath)) {
        removeEarlierCopies(target.folder);
    }
    if (isSameFile(output.inputFile, copyPath) || !copyWhole(output.inputFile, copyPath, sigma) ||
        device == nullptr || excitation == nullptr) {
        return;
    }
    std::unique_ptr<ElecDevice> copy(new (std::nothrow) ElecDevice(sigma, param));
    if (copy == nullptr || !copy->copy(device) || !sigma->isOK()) {
        return;
    }
    wchar_t name[PATH_SIZE];
    for (int i = 0; i < device->getLayerCount(); ++i) {
        ekLayer* layer = device->getLayer(i);
        ekLayer* copied = copy->getLayer(i);
        if (layer == nullptr || copied == nullptr) {
            continue;
        }
        const std::wstring number = L"_layer" + std::to_wstring(i + 1);
        for (const ScriptCopy& entry : SCRIPT_COPIES) {
            const bool index = entry.kind == ekLayer::MODEL_COUNT;
            const wchar_t* script =
                index ? (layer->isIndexScript() ? layer->getIndexScript() : nullptr)
                      : layer->getScript(static_cast<ekLayer::ModelKind>(entry.kind));
            if (!copyInput(target, script, (entry.suffix + number + L".lua").c_str(), name)) {
                continue;
            }
            if (index) {
                copied->updateIndexScript(name, false);
            } else {
                copied->updateScript(static_cast<ekLayer::ModelKind>(entry.kind), name, false);
            }
            copyRequiredModules(target, script);
        }
        // An index table file is an input too: without it the copy could
        // not be run from the output folder alone.
        if (layer->getIndexModel() == ekRegion::INDEX_FILE &&
            copyInput(target, layer->getIndexFile(), (L"_index" + number + L".nk").c_str(), name)) {
            copied->updateIndexFile(name, false);
        }
    }
    struct ContactCopy {
        ekContact* source;
        ekContact* copied;
        const wchar_t* suffix;
    };
    for (const ContactCopy& contact :
         {ContactCopy{device->getAnode(), copy->getAnode(), L"_anodeindex.lua"},
          ContactCopy{device->getCathode(), copy->getCathode(), L"_cathodeindex.lua"}}) {
        if (contact.source == nullptr || contact.copied == nullptr ||
            !contact.source->isIndexScript()) {
            continue;
        }
        const wchar_t* script = contact.source->getIndexScript();
        if (copyInput(target, script, contact.suffix, name)) {
            contact.copied->updateIndexScript(name, false);
            copyRequiredModules(target, script);
        }
    }
    // The run's own file names are lent to the writer and given back after.
    const std::wstring biasFile = excitation->getBiasFilename();
    const std::wstring lightFile = excitation->getLightFilename();
    const std::wstring meshFile = MeshFilename;
    const std::wstring guessFile = InitialGuessFilename;
    if (copyInput(target, biasFile.c_str(), L"_bias.txt", name)) {
        kov_copyW(excitation->biasFilename, ekExcitation::FILENAME_SIZE, name);
    }
    if (copyInput(target, lightFile.c_str(), L"_light.txt", name)) {
        excitation->setLightFilename(name);
    }
    if (copyInput(target, meshFile.c_str(), L"_mesh.txt", name)) {
        setMeshFilename(name);
    }
    if (copyInput(target, guessFile.c_str(), L"_guess.txt", name)) {
        setInitialGuessFilename(name);
    }
    bool saved = false;
    std::unique_ptr<ekInput> writer(new (std::nothrow) ekInput(ekInput::SECTIONCOUNT));
    if (writer != nullptr) {
        // The copy sends its results to its own folder.
        const std::wstring outDir = param->outDir;
        kov_copyW(param->outDir, sizeof param->outDir / sizeof param->outDir[0], L".");
        FILE* f = ekResult::open(copyPath);
        if (f == nullptr) {
            ekResult::logCannotOpen(sigma, copyPath);
        } else if (writer->save(f, this, copy.get(), excitation, sigma, param)) {
            saved = ekResult::close(f, sigma);
        } else {
            // The device could not be written out (said at level 1): the
            // run fails, and no copy stands for it.
            ekResult::discard(f);
        }
        kov_copyW(param->outDir, sizeof param->outDir / sizeof param->outDir[0], outDir.c_str());
    }
    copy.reset();
    kov_copyW(excitation->biasFilename, ekExcitation::FILENAME_SIZE, biasFile.c_str());
    excitation->setLightFilename(lightFile.c_str());
    setMeshFilename(meshFile.c_str());
    setInitialGuessFilename(guessFile.c_str());
    if (saved && sigma->isVerbose()) {
        sigma->update(
            ek_format(L"[INFO]    input file saved to \"%ls\"\n", copyPath.c_str()).c_str(), 0);
    }
}
