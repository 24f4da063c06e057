// Where the result files go: the output paths of a run, the number format
// of the distribution files, and the removal of an earlier run's results.
#include <cmath>
#include <cwchar>
#include <string>

#include "ekPointLimits.h"
#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekOutputFolder.h"
#include "ekResultWriter.h"
#include "ekSimulator.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr size_t LOG_MIN = 3, LOG_MAX = 1022;
constexpr const wchar_t* EXCHANGE_NAME = L"simulcomm.txt";
constexpr const wchar_t* DIST_PREFIX = L"simulout_dist_";
constexpr const wchar_t* DIST_SUFFIX = L".txt";
constexpr size_t DIST_DIGITS_MAX = 9;

bool isSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// "simulout_dist_" + 1 to 9 digits + ".txt": the distribution files this
// engine writes, whatever digit count the run that wrote them used.
bool isDistributionName(const std::wstring& name)
{
    const size_t prefix = std::wcslen(DIST_PREFIX);
    const size_t suffix = std::wcslen(DIST_SUFFIX);
    if (name.size() < prefix + 1 + suffix || name.compare(0, prefix, DIST_PREFIX) != 0 ||
        name.compare(name.size() - suffix, suffix, DIST_SUFFIX) != 0) {
        return false;
    }
    const size_t digits = name.size() - prefix - suffix;
    if (digits > DIST_DIGITS_MAX) {
        return false;
    }
    for (size_t i = prefix; i < prefix + digits; ++i) {
        if (name[i] < L'0' || name[i] > L'9') {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ekResult::outputPathsValid(const wchar_t* folder, const wchar_t* log, nuSigma* sigma)
{
    if (folder == nullptr || !ekOutputFolder::isValidName(folder)) {
        sigma->error(L"invalid output directory");
        return false;
    }
    const size_t logLength = log != nullptr ? std::wcslen(log) : 0;
    if (logLength < LOG_MIN || logLength > LOG_MAX) {
        sigma->error(L"invalid log filename");
        return false;
    }
    if (kov_dirExistsW(folder) == 0) {
        sigma->error(L"output directory not found '" + std::wstring(folder) + L"'");
        return false;
    }
    return true;
}

void ekSimulator::setPath(const wchar_t* input, const wchar_t* folder, const wchar_t* log)
{
    if (isBlocked()) {
        return;
    }
    if (!ekResult::outputPathsValid(folder, log, sigma)) {
        return;
    }

    // Result names are appended to the folder, so it must end with a
    // separator; a folder typed without one would scatter the results
    // beside it under mangled names.
    std::wstring dir(folder);
    if (!isSeparator(dir.back())) {
        dir += L'/';
    }
    kov_copyW(output.folder, PATH_SIZE, dir.c_str());
    kov_copyW(output.logFile, PATH_SIZE, log);
    kov_removeFileW(output.logFile);
    kov_copyW(sigma->logFilename, nuSigma::PATH_SIZE, output.logFile);
    sigma->outputType |= nuSigma::OUTPUT_LOGFILE;

    const std::wstring exchange = dir + EXCHANGE_NAME;
    kov_removeFileW(exchange.c_str());
    kov_copyW(sigma->commFilename, nuSigma::PATH_SIZE, exchange.c_str());
    if (sigma->comm) {
        sigma->update((L"[COMM]ELE:" + exchange).c_str(), 0);
    }

    kov_copyW(output.inputFile, PATH_SIZE, input);
    if (sigma->isVerbose()) {
        sigma->update(ek_format(L"[INFO]    output directory: \"%ls\"\n", output.folder).c_str(),
                      0);
    }
}

void ekSimulator::setDistFormat(int count)
{
    if (sigma != nullptr && sigma->err != 0) {
        kov_copyW(output.distFormat, sizeof output.distFormat / sizeof output.distFormat[0],
                  L"%04d");
        return;
    }
    // The equilibrium is number 1 and sweep row i is number i + 1, so the
    // numbers run to count + 1: every name of the run has the same width.
    int digits = 1;
    if (count > 0) {
        digits = static_cast<int>(std::floor(std::log10(static_cast<double>(count) + 1.0))) + 1;
    }
    digits = digits < 1 ? 1 : (digits > 9 ? 9 : digits);
    std::swprintf(output.distFormat, sizeof output.distFormat / sizeof output.distFormat[0],
                  L"%%0%dd", digits);
}

bool ekSimulator::clearOutput()
{
    if (output.cleared) {
        return true;
    }
    if (isBlocked()) {
        return false;
    }
    // The figures files go too: a run that finds no figures must not leave
    // an earlier run's beside its own curves.
    for (const wchar_t* suffix :
         {L"_jv.txt", L"_cv.txt", L"_qw.txt", L"_photovoltaic.txt", L"_photocurrent.txt"}) {
        kov_removeFileW(ekResult::path(output.folder, suffix).c_str());
    }

    // Every distribution file of the folder goes, not only those of the
    // digit count this run expects: a file of an earlier run with more or
    // fewer points would otherwise be read as part of this one.
    std::wstring folder(output.folder);
    kov_normalizeSeparatorsW(folder.data());
    for (const std::wstring& name : ekResult::filesIn(folder, isDistributionName, false)) {
        if (stopRequested()) {
            break;
        }
        kov_removeFileW((folder + name).c_str());
    }
    FileIndex = 0;
    output.cleared = true;
    return true;
}

bool ekResult::deviceValid(const ElecDevice* device, double thickness, int points, nuSigma* sigma)
{
    if (device == nullptr) {
        sigma->error(L"invalid device data");
        return false;
    }
    if (thickness < 0.01) {
        sigma->error(L"invalid device size");
        return false;
    }
    const int layers = device->getLayerCount();
    if (points < ekLimits::DEVICE_POINTS_MIN || points > ekLimits::DEVICE_POINTS_MAX ||
        layers < 1 || layers > ekSimulator::LAYERS_MAX) {
        sigma->error(L"invalid device data");
        return false;
    }
    return true;
}
