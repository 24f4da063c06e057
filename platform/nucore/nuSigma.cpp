// The status channel: log lines, report lines, the stop request and the
// tracked allocators of one run.
#include "nuSigma.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "kovbase.h"

namespace {

// A stop request is looked for at most this often: the engine polls between
// iterations, far more often than a user can click.
constexpr double STOP_POLL_MS = 40.0;

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

void nuSigma::appendLine(const wchar_t* path, const wchar_t* text)
{
    FILE* file = kov_FileOpenW(path, "a");
    if (file == nullptr) {
        return;
    }
    const std::string line = asLine(text);
    std::fwrite(line.data(), 1, line.size(), file);
    kov_FileClose(&file);
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
    }
    const std::string line = asLine(text);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    if ((outputType & OUTPUT_LOGFILE) != 0 && logFilename[0] != L'\0') {
        appendLine(logFilename, text);
    }
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
    kov_FileClose(&file);
    return written;
}

bool nuSigma::stopIt()
{
    if (stopSeen_) {
        return true;
    }
    if (commFilename[0] == L'\0') {
        return false;
    }
    const double now = kov_clockMs();
    if (now - lastStopCheckMs_ < STOP_POLL_MS) {
        return false;
    }
    lastStopCheckMs_ = now;
    // The engine may point the channel at another exchange file; the read
    // position belongs to the file it was taken from.
    if (stopScanFile_ != commFilename) {
        stopScanFile_ = commFilename;
        stopScanOffset_ = 0;
    }
    FILE* file = kov_FileOpenW(commFilename, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    if (size < stopScanOffset_) {
        stopScanOffset_ = 0;  // the file was replaced: read it anew
    }
    std::string tail;
    if (size > stopScanOffset_ && std::fseek(file, static_cast<long>(stopScanOffset_), SEEK_SET) == 0) {
        tail.resize(static_cast<size_t>(size - stopScanOffset_));
        tail.resize(std::fread(tail.data(), 1, tail.size(), file));
    }
    kov_FileClose(&file);

    size_t begin = 0;
    size_t end = 0;
    while ((end = tail.find('\n', begin)) != std::string::npos) {
        if (isStopLine(tail.substr(begin, end - begin))) {
            stopSeen_ = true;
        }
        begin = end + 1;
    }
    // An unfinished last line is read again next time, unless it already
    // says "Stop" (a writer that ends the request without a line end).
    if (begin < tail.size() && isStopLine(tail.substr(begin))) {
        stopSeen_ = true;
    }
    stopScanOffset_ += static_cast<long long>(begin);
    return stopSeen_;
}
