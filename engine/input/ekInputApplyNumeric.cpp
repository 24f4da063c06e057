// Device-file reader: the solver settings ([Numeric]) and where the results
// go ([Command]).
#include <cwchar>

#include "ekLimits.h"
#include "ekHelpers.h"
#include "ekInputReader.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

struct SolverName {
    const wchar_t* name;
    uint8_t code;
};

// Linear solvers by name; the stored code adds the ILU preconditioner.
constexpr SolverName SOLVERS[] = {
    {L"bicgstab", 0x20}, {L"bicgstabl", 0x30}, {L"bicgsafe", 0x40}, {L"gmres", 0x50},
    {L"fgmres", 0x60},   {L"minres", 0x70},    {L"tfqmr", 0x80},    {L"bicrstab", 0x90},
};
constexpr uint8_t SOLVER_DEFAULT = 0x80;
constexpr uint8_t PRECONDITIONER_ILU = 0x01;

using ekLimits::DEVICE_POINTS_MAX;
using ekLimits::DEVICE_POINTS_MIN;

}  // namespace

bool ekInputReader::applyNumeric()
{
    const wchar_t* s = L"Numeric";
    const int line = headerLine(ekInput::SECTION_NUMERIC);
    const std::initializer_list<const wchar_t*> yes = {L"Yes", L"Y"};
    const std::initializer_list<const wchar_t*> no = {L"None", L"No", L"N", L""};

    bool verbose = verbose_;
    std::wstring word;
    if (text(s, L"Numeric.Verbose", &word)) {
        if (isWord(word, yes)) {
            sigma_->setOutputType(0x11);
            verbose = true;
        }
        else if (isWord(word, no)) {
            sigma_->setOutputType(0);
            verbose = false;
        }
    }
    if (text(s, L"Numeric.SaveFull", &word)) {
        if (isWord(word, yes)) {
            sigma_->setSaveFull(true);
            if (verbose && !sigma_->isNoWarn()) {
                sigma_->update(L"[WARNING] setting Numeric.SaveFull to 'Yes' implies saving full "
                               L"output data for every applied voltage and excitation "
                               L"wavelength\n",
                               2);
                ek_resetSigma(sigma_);
            }
        }
        else if (isWord(word, no)) {
            sigma_->setSaveFull(false);
        }
    }
    if (text(s, L"Numeric.Method", &word)) {
        if (isWord(word, {L"Newton"}))
            param_->method = nuParam::METHOD_NEWTON;
        else if (isWord(word, {L"Gummel"}))
            param_->setSolverTransport(nuParam::METHOD_GUMMEL);
    }
    long points = 0;
    if (integer(s, L"Numeric.Points", &points)) {
        param_->points = static_cast<int>(points < DEVICE_POINTS_MIN   ? DEVICE_POINTS_MIN
                                          : points > DEVICE_POINTS_MAX ? DEVICE_POINTS_MAX
                                                                : points);
    }
    if (text(s, L"Numeric.Mesh", &word)) {
        if (isWord(word, {L"Layer"}))
            param_->mesh = nuParam::MESH_LAYER;
        else if (isWord(word, {L"Uniform"}))
            param_->setMesh(nuParam::MESH_UNIFORM);
        else if (kov_fileExistsW(word.c_str()))
            simulator_->setMeshFilename(word.c_str());
        else
            param_->setMesh(nuParam::MESH_LAYER);
    }
    if (text(s, L"Numeric.Guess", &word) && kov_fileExistsW(word.c_str()))
        simulator_->setInitialGuessFilename(word.c_str());
    double value = 0.0;
    if (real(s, L"Numeric.Tol", &value))
        param_->setReltol(value);
    if (real(s, L"Numeric.Damp", &value))
        param_->setDamp(value);

    uint8_t solver = SOLVER_DEFAULT;
    if (text(s, L"Numeric.InnermostSolver", &word)) {
        bool known = false;
        for (const SolverName& entry : SOLVERS) {
            if (wcscasecmp(word.c_str(), entry.name) == 0) {
                solver = entry.code;
                known = true;
            }
        }
        if (!known) {
            return fail(line, format(L"[ERROR]   InnermostSolver not valid at line %d (innermost "
                                     L"solvers: bicgstab bicgstabl bicgsafe gmres fgmres minres "
                                     L"tfqmr bicrstab)\n",
                                     line + 1));
        }
    }
    param_->solver = static_cast<uint8_t>(solver + PRECONDITIONER_ILU);
    return true;
}

bool ekInputReader::applyCommand()
{
    const wchar_t* s = L"Command";
    std::wstring word;
    if (text(s, L"Command.OutDir", &word)) {
        if (word == L".") {
            // The folder of the device file, with its separator; a bare
            // file name lives in the current folder.
            const std::wstring input(fileName_);
            const size_t separator = input.find_last_of(L"\\/");
            if (separator != std::wstring::npos) {
                param_->setOutDir(input.substr(0, separator + 1).c_str());
            }
            else {
                char current[1024];
                if (kov_getCurrentDir(current, sizeof current))
                    param_->setOutDir(kov_toWide(current).c_str());
            }
        }
        else if (kov_dirExistsW(word.c_str())) {
            param_->setOutDir(word.c_str());
        }
    }
    if (text(s, L"Command.OutDirDate", &word)) {
        if (isWord(word, {L"Yes"}))
            param_->setOutDirDate(true);
        else if (isWord(word, {L"No"}))
            param_->setOutDirDate(false);
    }
    if (text(s, L"Command.Plot", &word)) {
        if (isWord(word, {L"Yes", L"Y"}))
            param_->setPlot(true);
        else if (isWord(word, {L"None", L"No", L"N", L""}))
            param_->setPlot(false);
    }
    return true;
}
