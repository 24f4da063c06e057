// Shared pieces of the result writers.
#include "ekResultWriter.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ekFormat.h"
#include "ekHelpers.h"
#include "kovbase.h"
#include "nucore.h"

namespace ekResult {

std::wstring path(const wchar_t* folder, const wchar_t* suffix)
{
    std::wstring result = folder != nullptr ? folder : L"";
    result += L"simulout";
    result += suffix;
    return result;
}

namespace {

struct PendingFile {
    std::string temporary;
    std::string target;
};

// Files of open() not yet closed, by stream.
std::map<FILE*, PendingFile>& pendingFiles()
{
    static std::map<FILE*, PendingFile> files;
    return files;
}

std::string diskPath(const std::wstring& path)
{
    std::string text = kov_toUtf8(path);
    kov_normalizeSeparatorsA(text.data());
    return text;
}

}  // namespace

FILE* open(const std::wstring& path)
{
    PendingFile file;
    file.target = diskPath(path);
    if (file.target.empty()) {
        return nullptr;
    }
    // A folder under the name cannot be replaced; refused here, as opening
    // the name itself would be.
    struct stat existing {};
    if (::lstat(file.target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        return nullptr;
    }
    file.temporary = file.target + TEMPORARY_MARK + std::to_string(::getpid());
    ::unlink(file.temporary.c_str());  // left by a run that died; never followed
    const int fd =
        ::open(file.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return nullptr;
    }
    FILE* stream = ::fdopen(fd, "w");
    if (stream == nullptr) {
        ::close(fd);
        ::unlink(file.temporary.c_str());
        return nullptr;
    }
    pendingFiles()[stream] = std::move(file);
    return stream;
}

bool isLeftoverTemporary(const std::wstring& name)
{
    // A process id has at most 10 digits.
    constexpr size_t PID_DIGITS_MAX = 10;
    const std::wstring mark = kov_toWide(TEMPORARY_MARK);
    const size_t at = name.rfind(mark);
    if (at == std::wstring::npos || at == 0) {
        return false;
    }
    const size_t digits = name.size() - at - mark.size();
    if (digits == 0 || digits > PID_DIGITS_MAX ||
        !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(at + mark.size()), name.end(),
                     [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
        return false;
    }
    // The results ("simulout_jv.txt"), the input copies ("simulinput.kovra",
    // "simulinput_bias.txt") and the device summary, and a copied module.
    const std::wstring written = name.substr(0, at);
    for (const wchar_t* prefix : {L"simulout_", L"simulinput.", L"simulinput_", L"simuldevice."}) {
        if (written.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    const std::wstring module = L".lua";
    return written.size() > module.size() &&
           written.compare(written.size() - module.size(), module.size(), module) == 0;
}

void removeLeftoverTemporaries(const std::wstring& folder)
{
    std::wstring dir = folder;
    kov_normalizeSeparatorsW(dir.data());
    if (dir.empty()) {
        return;
    }
    if (dir.back() != L'/') {
        dir += L'/';
    }
    for (const std::wstring& name : filesIn(dir, isLeftoverTemporary, true)) {
        kov_removeFileW((dir + name).c_str());
    }
}

bool close(FILE*& f, nuSigma* sigma)
{
    if (f == nullptr) {
        return false;
    }
    const auto found = pendingFiles().find(f);
    if (found == pendingFiles().end()) {
        kov_FileClose(&f);
        return true;
    }
    const PendingFile file = found->second;
    pendingFiles().erase(found);
    int error = 0;
    if (std::fflush(f) != 0 || std::ferror(f) != 0) {
        error = errno != 0 ? errno : EIO;
    }
    if (std::fclose(f) != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    f = nullptr;
    if (error == 0 && std::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(file.temporary.c_str());
        if (sigma != nullptr) {
            sigma->outputLost = true;
            sigma->error(L"cannot write file \"" + kov_toWide(file.target) + L"\": " +
                         kov_toWide(std::strerror(error)));
        }
        return false;
    }
    return true;
}

void discard(FILE*& f)
{
    if (f == nullptr) {
        return;
    }
    const auto found = pendingFiles().find(f);
    kov_FileClose(&f);
    if (found != pendingFiles().end()) {
        ::unlink(found->second.temporary.c_str());
        ::unlink(found->second.target.c_str());
        pendingFiles().erase(found);
    }
}

void appendSummary(const wchar_t* path, const std::wstring& text, nuSigma* sigma)
{
    if (path == nullptr || path[0] == 0) {
        return;
    }
    FILE* f = kov_FileOpenW(path, "a");
    bool written = f != nullptr && kov_FileWriteW(f, text.c_str());
    if (f != nullptr && std::fclose(f) != 0) {
        written = false;
    }
    if (!written && sigma != nullptr) {
        sigma->outputLost = true;
        sigma->error(L"cannot write the summary file \"" + std::wstring(path) + L"\"");
    }
}

void appendNumber(std::wstring& row, double value, int digits)
{
    row += nu_numberText(value, digits);
}

int sweepDecimals(const double* values, int count)
{
    constexpr int MOST = 12;
    // A millionth of the last decimal: far above double round-off, far
    // below any step a sweep is given in.
    constexpr double SLACK = 1e-6;
    int decimals = 0;
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) {
            continue;
        }
        while (decimals <= MOST) {
            const double scaled = values[i] * std::pow(10.0, decimals);
            if (std::fabs(scaled - std::round(scaled)) <=
                SLACK * std::max(1.0, std::fabs(scaled) * 1e-9)) {
                break;
            }
            ++decimals;
        }
        if (decimals > MOST) {
            return -1;
        }
    }
    return decimals;
}

void appendFixed(std::wstring& row, double value, int decimals)
{
    if (decimals < 0 || !std::isfinite(value)) {
        appendNumber(row, value);
        return;
    }
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0.0) {
        rounded = 0.0;  // no "-0.00"
    }
    // to_chars never looks at the locale: the point stays a point.
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, decimals);
    row.append(text, end.ptr);
}

void writeRow(FILE* f, const double* values, int count, bool lastRow, int firstDecimals)
{
    std::wstring row;
    for (int c = 0; c < count; ++c) {
        if (c > 0) {
            row += L'\t';
        }
        if (c == 0 && firstDecimals >= 0) {
            appendFixed(row, values[c], firstDecimals);
        } else {
            appendNumber(row, values[c]);
        }
    }
    if (!lastRow) {
        row += L'\n';
    }
    kov_FileWriteW(f, row.c_str());
}

void writeRows(FILE* f, nuSigma* sigma, bool& stopped, int count, int points,
               const std::function<void(int, double*)>& rowValues)
{
    double values[8];
    for (int i = 0; i < points; ++i) {
        rowValues(i, values);
        writeRow(f, values, count, i == points - 1);
        if (!stopped && sigma->stopIt()) {
            stopped = true;
        }
    }
}

void logUnphysical(nuSigma* sigma, const wchar_t* what, bool guessExists)
{
    sigma->update(ek_format(L"[WARNING] unphysical %lsvalues (check device parameters%ls)\n", what,
                            guessExists ? L" and initial guess" : L"")
                      .c_str(),
                  2);
    ek_resetSigma(sigma);
}

void logCannotOpen(nuSigma* sigma, const std::wstring& path)
{
    sigma->outputLost = true;
    sigma->error(L"cannot open file \"" + path + L"\"");
}

std::vector<std::wstring> filesIn(const std::wstring& folder,
                                  const std::function<bool(const std::wstring&)>& match,
                                  bool skipLinks)
{
    std::vector<std::wstring> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(std::filesystem::path(kov_toUtf8(folder)), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::wstring name = kov_toWide(entries->path().filename().string());
        std::error_code typeError;
        if (match(name) && entries->is_regular_file(typeError) &&
            !(skipLinks && entries->is_symlink(typeError))) {
            names.push_back(name);
        }
    }
    return names;
}

}  // namespace ekResult
