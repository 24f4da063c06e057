// File services. Paths are UTF-8 on disk; a '\' written on another system is
// read as '/' so that device files keep working when they travel.
#include "kovbase.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

std::string diskPath(const wchar_t* path)
{
    std::string utf8 = kov_toUtf8(path);
    kov_normalizeSeparatorsA(utf8.data());
    return utf8;
}

std::string diskPathA(const char* path)
{
    std::string utf8 = path != nullptr ? path : "";
    kov_normalizeSeparatorsA(utf8.data());
    return utf8;
}

bool statPath(const std::string& path, struct stat* info)
{
    return !path.empty() && ::stat(path.c_str(), info) == 0;
}

// Appends one byte to the line unless the byte budget is spent; returns
// whether the line had to be cut.
bool keepByte(std::string& bytes, size_t budget, int c)
{
    if (bytes.size() >= budget) {
        return true;
    }
    bytes.push_back(static_cast<char>(c));
    return false;
}

}  // namespace

FILE* kov_FileOpenW(const wchar_t* path, const char* mode)
{
    if (path == nullptr || mode == nullptr) {
        return nullptr;
    }
    const std::string utf8 = diskPath(path);
    return utf8.empty() ? nullptr : std::fopen(utf8.c_str(), mode);
}

FILE* kov_FileOpenA(const char* path, const char* mode)
{
    if (path == nullptr || mode == nullptr) {
        return nullptr;
    }
    const std::string utf8 = diskPathA(path);
    return utf8.empty() ? nullptr : std::fopen(utf8.c_str(), mode);
}

void kov_FileClose(FILE** stream)
{
    if (stream == nullptr || *stream == nullptr) {
        return;
    }
    std::fclose(*stream);
    *stream = nullptr;
}

namespace {

// One line of bytes, LF or CR LF ending it, a byte-order mark at the start
// of the stream dropped. At most budget bytes are kept; *overflow tells
// that more were dropped. False at end of file.
bool readLineBytes(FILE* stream, size_t budget, std::string* bytes, bool* overflow)
{
    // Only the start of the stream may carry a byte-order mark; a stream
    // that cannot tell its position (a pipe) is checked on every line.
    const long start = std::ftell(stream);
    *overflow = false;
    bool gotAny = false;
    int c = 0;
    while ((c = std::fgetc(stream)) != EOF) {
        gotAny = true;
        if (c == '\n') {
            break;
        }
        *overflow = keepByte(*bytes, budget + 1, c) || *overflow;
    }
    if (!gotAny) {
        return false;
    }
    if (!bytes->empty() && bytes->back() == '\r' && !*overflow) {
        bytes->pop_back();
    }
    if (start <= 0 && bytes->size() >= 3 && bytes->compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes->erase(0, 3);
    }
    return true;
}

}  // namespace

bool kov_FileReadLineW(FILE* stream, wchar_t* line, size_t size, bool* cut)
{
    if (cut != nullptr) {
        *cut = false;
    }
    if (stream == nullptr || line == nullptr || size == 0) {
        return false;
    }
    line[0] = L'\0';
    // Every character takes at most 4 bytes, so this budget always yields
    // size-1 characters when bytes had to be dropped.
    std::string bytes;
    bool overflow = false;
    if (!readLineBytes(stream, (size - 1) * 4, &bytes, &overflow)) {
        return false;
    }
    const std::wstring wide = kov_toWide(bytes);
    const size_t kept = kov_copyW(line, size, wide.c_str());
    if (cut != nullptr) {
        *cut = overflow || kept < wide.size();
    }
    return true;
}

bool kov_FileReadLineA(FILE* stream, char* line, size_t size, bool* cut)
{
    if (cut != nullptr) {
        *cut = false;
    }
    if (stream == nullptr || line == nullptr || size == 0) {
        return false;
    }
    line[0] = '\0';
    std::string bytes;
    bool overflow = false;
    if (!readLineBytes(stream, size - 1, &bytes, &overflow)) {
        return false;
    }
    const size_t kept = kov_copyA(line, size, bytes.c_str());
    if (cut != nullptr) {
        *cut = overflow || kept < bytes.size();
    }
    return true;
}

bool kov_FileWriteW(FILE* stream, const wchar_t* text)
{
    if (stream == nullptr || text == nullptr) {
        return false;
    }
    const std::string utf8 = kov_toUtf8(text);
    return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

int kov_fileExistsW(const wchar_t* path)
{
    struct stat info {};
    return path != nullptr && statPath(diskPath(path), &info) && S_ISREG(info.st_mode) ? 1 : 0;
}

int kov_fileExistsA(const char* path)
{
    struct stat info {};
    return path != nullptr && statPath(diskPathA(path), &info) && S_ISREG(info.st_mode) ? 1 : 0;
}

int kov_sameFileA(const char* a, const char* b)
{
    struct stat infoA {};
    struct stat infoB {};
    if (a == nullptr || b == nullptr || !statPath(diskPathA(a), &infoA) ||
        !statPath(diskPathA(b), &infoB)) {
        return 0;
    }
    return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino ? 1 : 0;
}

int kov_dirExistsW(const wchar_t* path)
{
    struct stat info {};
    return path != nullptr && statPath(diskPath(path), &info) && S_ISDIR(info.st_mode) ? 1 : 0;
}

int kov_dirExistsA(const char* path)
{
    struct stat info {};
    return path != nullptr && statPath(diskPathA(path), &info) && S_ISDIR(info.st_mode) ? 1 : 0;
}

namespace {
// What stands at a path, named as kov_otherFileKindOfMode names it; null
// when nothing is there or when it is a regular file.
const char* otherKind(const std::string& path)
{
    struct stat info {};
    return statPath(path, &info) ? kov_otherFileKindOfMode(info.st_mode) : nullptr;
}
}  // namespace

const wchar_t* kov_otherFileKindW(const wchar_t* path)
{
    const char* kind = path != nullptr ? otherKind(diskPath(path)) : nullptr;
    if (kind == nullptr) {
        return nullptr;
    }
    static const struct {
        const char* narrow;
        const wchar_t* wide;
    } phrases[] = {{"a folder", L"a folder"},
                   {"a FIFO", L"a FIFO"},
                   {"a device", L"a device"},
                   {"a socket", L"a socket"}};
    for (const auto& phrase : phrases) {
        if (std::strcmp(kind, phrase.narrow) == 0) {
            return phrase.wide;
        }
    }
    return L"no regular file";
}

const char* kov_otherFileKindA(const char* path)
{
    return path != nullptr ? otherKind(diskPathA(path)) : nullptr;
}

const char* kov_otherFileKindOfMode(unsigned mode)
{
    if (S_ISREG(mode)) {
        return nullptr;
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "no regular file";
}

int kov_dirReadWrite(const char* path)
{
    struct stat info {};
    const std::string utf8 = diskPathA(path);
    if (!statPath(utf8, &info)) {
        return 0;
    }
    // A folder also needs its search bit to be usable.
    mode_t wanted = S_IRUSR | S_IWUSR;
    if (S_ISDIR(info.st_mode)) {
        wanted |= S_IXUSR;
    }
    if ((info.st_mode & wanted) == wanted) {
        return 1;
    }
    return ::chmod(utf8.c_str(), (info.st_mode & 07777) | wanted) == 0 ? 1 : 0;
}

int kov_fileReadWriteW(const wchar_t* path)
{
    struct stat info {};
    const std::string utf8 = diskPath(path);
    if (path == nullptr || !statPath(utf8, &info) || !S_ISREG(info.st_mode)) {
        return 0;
    }
    const mode_t wanted = S_IRUSR | S_IWUSR;
    if ((info.st_mode & wanted) == wanted) {
        return 1;
    }
    return ::chmod(utf8.c_str(), (info.st_mode & 07777) | wanted) == 0 ? 1 : 0;
}

long long kov_getFileSizeW(const wchar_t* path)
{
    struct stat info {};
    if (path == nullptr || !statPath(diskPath(path), &info) || !S_ISREG(info.st_mode)) {
        return -1;
    }
    return static_cast<long long>(info.st_size);
}

int kov_copyFileW(const wchar_t* source, const wchar_t* target)
{
    if (source == nullptr || target == nullptr) {
        return 0;
    }
    const std::string from = diskPath(source);
    const std::string to = diskPath(target);
    struct stat fromInfo {};
    struct stat toInfo {};
    if (!statPath(from, &fromInfo) || !S_ISREG(fromInfo.st_mode)) {
        return 0;
    }
    // Opening the target for writing would empty the source when both name
    // the same file; that file already holds the wanted content.
    if (statPath(to, &toInfo) && toInfo.st_dev == fromInfo.st_dev &&
        toInfo.st_ino == fromInfo.st_ino) {
        return 1;
    }
    FILE* out = std::fopen(to.c_str(), "wb");
    if (out == nullptr) {
        return 0;
    }
    bool ok = kov_copyIntoW(source, out) != 0;
    ok = (std::fclose(out) == 0) && ok;
    if (!ok) {
        std::remove(to.c_str());  // no half copy left behind
    }
    return ok ? 1 : 0;
}

int kov_copyIntoW(const wchar_t* source, FILE* out)
{
    if (source == nullptr || out == nullptr) {
        return 0;
    }
    const std::string from = diskPath(source);
    struct stat fromInfo {};
    if (!statPath(from, &fromInfo) || !S_ISREG(fromInfo.st_mode)) {
        return 0;
    }
    FILE* in = std::fopen(from.c_str(), "rb");
    if (in == nullptr) {
        return 0;
    }
    char buffer[65536];
    bool ok = true;
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        if (std::fwrite(buffer, 1, n, out) != n) {
            ok = false;
            break;
        }
    }
    ok = ok && !std::ferror(in);
    std::fclose(in);
    return ok ? 1 : 0;
}

int kov_removeFileW(const wchar_t* path)
{
    const std::string utf8 = diskPath(path);
    return path != nullptr && !utf8.empty() && ::unlink(utf8.c_str()) == 0 ? 1 : 0;
}

int kov_getFileTimes(const char* path, int reserved1, kov_FileTimes* times, int reserved2)
{
    (void)reserved1;
    (void)reserved2;
    struct stat info {};
    if (path == nullptr || times == nullptr || !statPath(diskPathA(path), &info)) {
        return 0;
    }
    auto ns = [](const struct timespec& t) {
        return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
    };
    times->modified = ns(info.st_mtim);
    times->accessed = ns(info.st_atim);
    times->changed = ns(info.st_ctim);
    return 1;
}

int kov_compareFileTimes(const kov_FileTimes* a, const kov_FileTimes* b)
{
    if (a == nullptr || b == nullptr) {
        return 0;
    }
    return a->modified > b->modified ? 1 : (a->modified < b->modified ? -1 : 0);
}

const char* kov_getShortFilename(const char* path)
{
    if (path == nullptr) {
        return nullptr;
    }
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            name = p + 1;
        }
    }
    return *name != '\0' ? name : nullptr;
}
