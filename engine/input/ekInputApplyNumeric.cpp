// Device-file reader: the solver settings ([Numeric]) and where the results
// go ([Command]).
#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <system_error>

#include "ekLimits.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekInputReader.h"
#include "ekOutputFolder.h"
#include "ekPointLimits.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

// The numeric settings' setters and the file's table hold the same ranges.
constexpr bool sameRange(const char* key, double low, double high)
{
    const KovKeyLimit& limit = kov_keyLimit(KovKeySection::NUMERIC, key);
    return limit.minimum == low && limit.maximum == high;
}
static_assert(sameRange("Numeric.Points", ekLimits::DEVICE_POINTS_MIN,
                        ekLimits::DEVICE_POINTS_MAX));

}  // namespace

bool ekInputReader::applyNumeric()
{
    const wchar_t* s = L"Numeric";
    const std::initializer_list<const wchar_t*> yes = {L"Yes", L"Y"};
    const std::initializer_list<const wchar_t*> no = {L"None", L"No", L"N", L""};

    bool verbose = wasVerbose;
    std::wstring word;
    if (!checkWord(s, L"Numeric.Verbose", {L"Yes", L"Y", L"None", L"No", L"N", L""}) ||
        !checkWord(s, L"Numeric.SaveFull", {L"Yes", L"Y", L"None", L"No", L"N", L""}) ||
        !checkWord(s, L"Numeric.Method", {L"Newton", L"Gummel"})) {
        return false;
    }
    if (text(s, L"Numeric.Verbose", &word)) {
        if (isWord(word, yes)) {
            sigma->setOutputType(nuSigma::OUTPUT_VERBOSE_LOG);
            verbose = true;
        } else if (isWord(word, no)) {
            sigma->setOutputType(0);
            verbose = false;
        }
    }
    if (text(s, L"Numeric.SaveFull", &word)) {
        if (isWord(word, yes)) {
            sigma->setSaveFull(true);
            if (verbose && !sigma->isNoWarn()) {
                sigma->update(L"[WARNING] setting Numeric.SaveFull to 'Yes' implies saving full "
                              L"output data for every applied voltage and excitation "
                              L"wavelength\n",
                              2);
                ek_resetSigma(sigma);
            }
        } else if (isWord(word, no)) {
            sigma->setSaveFull(false);
        }
    }
    if (text(s, L"Numeric.Method", &word)) {
        if (isWord(word, {L"Newton"})) {
            param->method = nuParam::METHOD_NEWTON;
        } else if (isWord(word, {L"Gummel"})) {
            param->setSolverTransport(nuParam::METHOD_GUMMEL);
        }
    }
    long points = param->points;
    if (!integerValue(s, L"Numeric.Points", &points)) {
        return false;
    }
    param->points = static_cast<int>(points);
    if (text(s, L"Numeric.Mesh", &word)) {
        if (isWord(word, {L"Layer", L""})) {
            param->mesh = nuParam::MESH_LAYER;
        } else if (isWord(word, {L"Uniform"})) {
            param->setMesh(nuParam::MESH_UNIFORM);
        } else {
            // Any other value names a mesh file, which must be there: the
            // per-layer mesh in its place would be a different run.
            std::wstring path;
            if (!existingFile(s, L"Numeric.Mesh", &path)) {
                return false;
            }
            simulator->setMeshFilename(path.c_str());
        }
    }
    if (text(s, L"Numeric.Guess", &word) && !word.empty()) {
        std::wstring path;
        if (!existingFile(s, L"Numeric.Guess", &path)) {
            return false;
        }
        simulator->setInitialGuessFilename(path.c_str());
    }
    double value = 0.0;
    if (!checkRange(s, L"Numeric.Tol") || !checkRange(s, L"Numeric.Damp")) {
        return false;
    }
    if (real(s, L"Numeric.Tol", &value)) {
        param->setReltol(value);
    }
    if (real(s, L"Numeric.Damp", &value)) {
        param->setDamp(value);
    }

    uint8_t solver = nuParam::SOLVER_DEFAULT;
    if (text(s, L"Numeric.InnermostSolver", &word)) {
        // An iterative solver by name, with the ILU preconditioner.
        const uint8_t nibble = nuParam::iterativeSolverNibble(word.c_str());
        if (nibble == 0) {
            const int at = keyLine(s, L"Numeric.InnermostSolver");
            return fail(at, ek_format(L"InnermostSolver not valid at line %d: %ls (innermost "
                                      L"solvers: bicgstab bicgstabl bicgsafe gmres fgmres minres "
                                      L"tfqmr bicrstab)",
                                      at + 1, written(s, L"Numeric.InnermostSolver").c_str()));
        }
        solver = static_cast<uint8_t>(nibble | nuParam::PRECONDITIONER_ILU);
    }
    param->solver = solver;
    return true;
}

bool ekInputReader::outputFolder(const std::wstring& name)
{
    // A folder named by the file is where the user will look for the
    // results: it is made when missing, and a folder that cannot be made
    // stops the run rather than the results going elsewhere.
    const std::wstring folder = resolvePath(name);
    // A folder no run may fill (the root, too long a name) is refused
    // before it is made: nothing is made that the run would then refuse.
    if (!ekOutputFolder::isValidName(folder)) {
        const int at = keyLine(L"Command", L"Command.OutDir");
        return fail(at, ek_format(L"invalid output directory at line %d: %ls (the root folder "
                                  L"and names of more than %d characters are refused)",
                                  at + 1, written(L"Command", L"Command.OutDir").c_str(),
                                  static_cast<int>(ekOutputFolder::LENGTH_MAX)));
    }
    if (!kov_dirExistsW(folder.c_str())) {
        std::error_code error;
        std::filesystem::create_directories(kov_toUtf8(folder), error);
        if (!kov_dirExistsW(folder.c_str())) {
            const int at = keyLine(L"Command", L"Command.OutDir");
            return fail(at,
                        ek_format(L"cannot make the output folder at line %d: %ls (%ls)", at + 1,
                                  written(L"Command", L"Command.OutDir").c_str(), folder.c_str()));
        }
        info(ek_format(L"[INFO]    output folder made: %ls\n", folder.c_str()));
    }
    param->setOutDir(folder.c_str());
    return true;
}

bool ekInputReader::applyCommand()
{
    const wchar_t* s = L"Command";
    std::wstring word;
    if (!checkWord(s, L"Command.OutDirDate", {L"Yes", L"No"}) ||
        !checkWord(s, L"Command.Plot", {L"Yes", L"Y", L"None", L"No", L"N", L""})) {
        return false;
    }
    if (text(s, L"Command.OutDir", &word)) {
        if (word == L".") {
            // The folder of the device file, with its separator; a bare
            // file name lives in the current folder.
            const std::wstring input(fileName);
            const size_t separator = input.find_last_of(L"\\/");
            if (separator != std::wstring::npos) {
                param->setOutDir(input.substr(0, separator + 1).c_str());
            } else {
                char current[1024];
                if (kov_getCurrentDir(current, sizeof current)) {
                    param->setOutDir(kov_toWide(current).c_str());
                }
            }
        } else if (!word.empty() && !outputFolder(word)) {
            return false;  // empty: the run's own folder beside the device file
        }
    }
    if (text(s, L"Command.OutDirDate", &word)) {
        if (isWord(word, {L"Yes"})) {
            param->setOutDirDate(true);
        } else if (isWord(word, {L"No"})) {
            param->setOutDirDate(false);
        }
    }
    if (text(s, L"Command.Plot", &word)) {
        if (isWord(word, {L"Yes", L"Y"})) {
            param->setPlot(true);
        } else if (isWord(word, {L"None", L"No", L"N", L""})) {
            param->setPlot(false);
        }
    }
    return true;
}
