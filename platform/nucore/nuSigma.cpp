// The status channel: log lines, report lines, the stop request and the
// tracked allocators of one run.
#include "nuSigma.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kovbase.h"

namespace {

// A stop request is looked for at most this often: the engine polls between
// iterations, far more often than a user can click.
constexpr double STOP_POLL_MS = 40.0;
// At most this much of the exchange file is read per poll, however large
// it grows: a stop line is short and comes last.
constexpr long long STOP_WINDOW_BYTES = 64 * 1024;

// One line of output: the text with exactly one line end.
std::string asLine(const wchar_t* text)
{
    std::string line = kov_toUtf8(text);
    if (line.empty() || line.back() != '\n') {
        line.push_back('\n');
    }
    return line;
}

bool isStopLine(std::string line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.pop_back();
    }
    size_t first = 0;
    while (first < line.size() && (line[first] == ' ' || line[first] == '\t')) {
        ++first;
    }
    return line.compare(first, std::string::npos, "Stop") == 0;
}

}  // namespace

nuSigma::nuSigma() = default;
nuSigma::~nuSigma() = default;

void nuSigma::reset()
{
    status = -1;
    err = 0;
    std::wmemset(message, L'\0', MESSAGE_SIZE);
    std::wmemset(caption, L'\0', sizeof caption / sizeof caption[0]);
}

bool nuSigma::appendLine(const wchar_t* path, const wchar_t* text)
{
    FILE* file = kov_FileOpenW(path, "a");
    if (file == nullptr) {
        return false;
    }
    const std::string line = asLine(text);
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written;
}

void nuSigma::update(const wchar_t* text, int level, const wchar_t* captionText)
{
    if (text == nullptr) {
        text = L"";
    }
    kov_copyW(message, MESSAGE_SIZE, text);
    kov_copyW(caption, sizeof caption / sizeof caption[0], captionText);
    if (level == 1) {
        err = 1;
        if (std::wcsstr(text, KOV_NO_MEMORY_W) != nullptr) {
            memoryReported = true;
        }
    }
    const std::string line = asLine(text);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    if ((outputType & OUTPUT_LOGFILE) != 0 && logFilename[0] != L'\0' && !logLost &&
        !appendLine(logFilename, text)) {
        // A log cut short on a full disk would read as a run that ended
        // there: the run fails, said on the console alone.
        logLost = true;
        outputLost = true;
        err = 1;
        const std::string lost =
            NU_ERROR_TAG "cannot write the log file \"" + kov_toUtf8(logFilename) + "\"\n";
        std::fwrite(lost.data(), 1, lost.size(), stdout);
        std::fflush(stdout);
    }
}

void nuSigma::error(const std::wstring& what, const wchar_t* caption)
{
    update((std::wstring(ERROR_TAG) + what + L"\n").c_str(), 1, caption);
}

void nuSigma::reportNoMemory()
{
    ++failedAllocations;
    reportIfOutOfMemory();
}

bool nuSigma::reportIfOutOfMemory()
{
    if (failedAllocations < 1) {
        return false;
    }
    if (memoryReported) {
        err = 1;
        return true;
    }
    try {
        update(NO_MEMORY_LINE, 1);
    } catch (const std::bad_alloc&) {
        // Not even the line could be built: said without building it.
        kov_copyW(message, MESSAGE_SIZE, NO_MEMORY_LINE);
        err = 1;
        memoryReported = true;
        std::fputs(NU_NO_MEMORY_LINE, stdout);
        std::fflush(stdout);
    }
    return true;
}

bool nuSigma::writeComm(const wchar_t* line)
{
    if (line == nullptr || commFilename[0] == L'\0') {
        return false;
    }
    FILE* file = kov_FileOpenW(commFilename, "a");
    if (file == nullptr) {
        return false;
    }
    const std::string text = asLine(line);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        // The results stay in their files; only the one watching the run
        // through the exchange file misses a line.
        if (!commLost) {
            commLost = true;
            update((L"[WARNING] cannot write the exchange file \"" + std::wstring(commFilename) +
                    L"\"\n")
                       .c_str(),
                   2);
        }
        return false;
    }
    return true;
}

bool nuSigma::stopIt()
{
    if (stopSeen) {
        return true;
    }
    if (nu_stopRequested()) {
        stopSeen = true;
        return true;
    }
    if (commFilename[0] == L'\0') {
        return false;
    }
    const double now = kov_clockMs();
    if (now - lastStopCheckMs < STOP_POLL_MS) {
        return false;
    }
    lastStopCheckMs = now;
    // The engine may point the channel at another exchange file; the read
    // position belongs to the file it was taken from.
    if (stopScanFile != commFilename) {
        stopScanFile = commFilename;
        stopScanOffset = 0;
        skippingLine = false;
        refusedFile = false;
    }
    const std::string path = kov_toUtf8(commFilename);
    // Non-blocking: a FIFO put in the file's place must not hold the run.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (!refusedFile) {
            refusedFile = true;
            const std::wstring line =
                L"[WARNING] the exchange file \"" + std::wstring(commFilename) +
                L"\" is not a regular file: stop requests through it are ignored\n";
            update(line.c_str(), 2);
        }
        return false;
    }
    const long long size = static_cast<long long>(info.st_size);
    if (size < stopScanOffset) {
        stopScanOffset = 0;  // the file was replaced: read it anew
        skippingLine = false;
    }
    // A stop request is appended at the end: of a large unread part only
    // the last window matters, and the line cut by the window is not one.
    if (size - stopScanOffset > STOP_WINDOW_BYTES) {
        stopScanOffset = size - STOP_WINDOW_BYTES;
        skippingLine = true;
    }
    std::string tail(static_cast<size_t>(size - stopScanOffset), '\0');
    const ssize_t got = tail.empty() ? 0 : ::pread(fd, tail.data(), tail.size(), stopScanOffset);
    ::close(fd);
    tail.resize(got > 0 ? static_cast<size_t>(got) : 0);

    size_t begin = 0;
    size_t end = 0;
    while ((end = tail.find('\n', begin)) != std::string::npos) {
        if (!skippingLine && isStopLine(tail.substr(begin, end - begin))) {
            stopSeen = true;
        }
        skippingLine = false;
        begin = end + 1;
    }
    // An unfinished last line is read again next time, unless it already
    // says "Stop" (a writer that ends the request without a line end).
    if (!skippingLine && begin < tail.size() && isStopLine(tail.substr(begin))) {
        stopSeen = true;
    }
    // Part of a line longer than the window is never read twice.
    stopScanOffset += static_cast<long long>(skippingLine ? tail.size() : begin);
    if (!skippingLine && tail.size() - begin >= static_cast<size_t>(STOP_WINDOW_BYTES)) {
        stopScanOffset += static_cast<long long>(tail.size() - begin);
        skippingLine = true;
    }
    return stopSeen;
}

namespace {

volatile std::sig_atomic_t stopRequested = 0;

}  // namespace

void nu_requestStop() { stopRequested = 1; }

bool nu_stopRequested() { return stopRequested != 0; }

void nu_clearStopRequest() { stopRequested = 0; }
