// The calculator's file opening and bounded line reading.
#include "CalcFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "kovbase.h"

namespace {

std::string kindOf(mode_t mode)
{
    const char* kind = kov_otherFileKindOfMode(mode);
    return kind != nullptr ? std::string("it is ") + kind : "it is not a regular file";
}

std::string diskName(const char* fileName)
{
    std::string name = fileName != nullptr ? fileName : "";
    kov_normalizeSeparatorsA(name.data());
    return name;
}

bool isBlank(const std::string& line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return kov_isBlank(c); });
}

}  // namespace

std::string CalcFile_refusal(const char* fileName)
{
    struct stat info {};
    const std::string name = diskName(fileName);
    if (name.empty() || ::stat(name.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
        return "";
    }
    return kindOf(info.st_mode);
}

FILE* CalcFile_open(const char* fileName, const char* mode, std::string* reason)
{
    const std::string name = diskName(fileName);
    const bool writing = mode != nullptr && mode[0] == 'w';
    if (name.empty() || mode == nullptr) {
        *reason = "no file name";
        return nullptr;
    }
    // Refused before opening: opening a FIFO for writing would empty nothing
    // but wait for a reader, and a folder cannot be opened at all.
    std::string refusal = CalcFile_refusal(name.c_str());
    if (!refusal.empty()) {
        *reason = refusal;
        return nullptr;
    }
    // Not blocking while opening: something that became a FIFO since the
    // check would otherwise wait here for its other end.
    const int flags = (writing ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
    const int fd = ::open(name.c_str(), flags, 0666);
    if (fd < 0) {
        *reason = errno == ENXIO ? "it is a FIFO" : std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *reason = kindOf(info.st_mode);
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = ::fdopen(fd, writing ? "w" : "r");
    if (file == nullptr) {
        *reason = std::strerror(errno);
        ::close(fd);
    }
    return file;
}

bool CalcFile_readLines(const char* fileName, size_t maxLines, size_t maxLength,
                        std::vector<std::string>* lines, std::string* reason)
{
    lines->clear();
    FILE* file = CalcFile_open(fileName, "r", reason);
    if (file == nullptr) {
        return false;
    }
    std::string line;
    int lineNumber = 1;
    bool ok = true;
    bool more = true;
    while (more && lines->size() < maxLines) {
        line.clear();
        int c = 0;
        while ((c = std::fgetc(file)) != EOF && c != '\n') {
            if (c == '\0') {
                *reason = "line " + std::to_string(lineNumber) + " holds a NUL byte";
                ok = false;
                break;
            }
            line.push_back(static_cast<char>(c));
            // One byte more than allowed may still be the CR of a CR LF.
            if (line.size() > maxLength + 1) {
                break;
            }
        }
        if (!ok) {
            break;
        }
        more = c != EOF;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > maxLength) {
            *reason = "line " + std::to_string(lineNumber) + " is longer than " +
                      std::to_string(maxLength) + " characters";
            ok = false;
            break;
        }
        if (!isBlank(line)) {
            lines->push_back(line);
        }
        ++lineNumber;
    }
    if (ok && std::ferror(file) != 0) {
        *reason = "it cannot be read";
        ok = false;
    }
    std::fclose(file);
    return ok;
}
