// Replacing a file's whole content so that a reader (or the next start of
// a program) finds either the old file or the whole new one, never a cut
// one: the new text goes to a temporary file in the same folder, is flushed
// to the disk and renamed over the old file. Any failure leaves the old
// file as it was and removes the temporary.
#include "kovbase.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

// Temporaries are named ".<file name>.<six characters>.kovtmp": hidden, and
// a name no user file takes, so that one a killed program left behind can
// be recognised and removed.
constexpr const char* TEMP_SUFFIX = ".kovtmp";
constexpr size_t TEMP_RANDOM = 6;
// A temporary older than this is no save in progress.
constexpr time_t STALE_SECONDS = 60;

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Built by appending: g++ 12 at -O3 mistakes text put in front of a
// temporary string for an overlapping copy (-Wrestrict).
std::string tempPrefix(const std::string& target)
{
    std::string prefix = ".";
    prefix += nameOf(target);
    prefix += '.';
    return prefix;
}

bool isOurTemporary(const std::string& entry, const std::string& prefix)
{
    const size_t suffix = std::strlen(TEMP_SUFFIX);
    return entry.size() == prefix.size() + TEMP_RANDOM + suffix &&
           entry.compare(0, prefix.size(), prefix) == 0 &&
           entry.compare(entry.size() - suffix, suffix, TEMP_SUFFIX) == 0;
}

bool writeAll(int fd, const char* text, size_t length)
{
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, text + done, length - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void ignoreResult(int) {}

void setReason(char* reason, size_t size, const std::string& text)
{
    if (reason != nullptr && size > 0) {
        kov_copyA(reason, size, text.c_str());
    }
}

// A name for the temporary: the prefix, six characters, the suffix.
std::string randomTempName(const std::string& folder, const std::string& prefix)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned long long state = static_cast<unsigned long long>(std::time(nullptr)) ^
                                      (static_cast<unsigned long long>(getpid()) << 20);
    std::string name = folder + "/" + prefix;
    for (size_t i = 0; i < TEMP_RANDOM; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        name += letters[(state >> 33) % (sizeof letters - 1)];
    }
    return name + TEMP_SUFFIX;
}

// A new file without a name in folder (O_TMPFILE), which nothing can leave
// behind; -1 with errno set when the file system offers none.
int openUnnamed(const std::string& folder, mode_t mode)
{
#ifdef O_TMPFILE
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// A new file named by the prefix in folder; -1 with errno set.
int openNamed(const std::string& folder, const std::string& prefix, mode_t mode, std::string* named)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = randomTempName(folder, prefix);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            *named = name;
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

// Gives the unnamed file a name in its folder, just before the rename.
// False with errno set.
bool nameUnnamed(int fd, const std::string& folder, const std::string& prefix, std::string* named)
{
    std::string self = "/proc/self/fd/";
    self += std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = randomTempName(folder, prefix);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            *named = name;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// The content written to a temporary in folder, flushed to the disk and
// named (*named) for the rename. 1 done; 0 with errno set when the folder
// takes no new file; -1 with errno set when writing failed.
int writeTemporary(const std::string& folder, const std::string& prefix, mode_t mode,
                   const struct stat* old, const char* text, size_t length, std::string* named)
{
    named->clear();
    bool unnamed = true;
    int fd = openUnnamed(folder, mode);
    if (fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
            return 0;
        }
        unnamed = false;
        fd = openNamed(folder, prefix, mode, named);
        if (fd < 0) {
            return 0;
        }
    }
    bool ok = ::fchmod(fd, mode) == 0;
    if (ok && old != nullptr && (old->st_uid != ::geteuid() || old->st_gid != ::getegid())) {
        // The owner is kept where the program may (root), a group of the
        // user's own as well; not being allowed is no failure.
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            ignoreResult(::fchown(fd, static_cast<uid_t>(-1), old->st_gid));
        }
    }
    ok = ok && writeAll(fd, text, length) && ::fsync(fd) == 0;
    bool retryNamed = false;
    if (ok && unnamed && !nameUnnamed(fd, folder, prefix, named)) {
        // No way to name it here (no /proc): written once more, named.
        retryNamed = true;
    }
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok && !retryNamed) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        if (!named->empty()) {
            ::unlink(named->c_str());
        }
        named->clear();
        errno = error;
        return -1;
    }
    if (retryNamed) {
        fd = openNamed(folder, prefix, mode, named);
        if (fd < 0) {
            return 0;
        }
        ok = ::fchmod(fd, mode) == 0 && writeAll(fd, text, length) && ::fsync(fd) == 0;
        error = ok ? 0 : errno;
        if (::close(fd) != 0 && ok) {
            ok = false;
            error = errno;
        }
        if (!ok) {
            ::unlink(named->c_str());
            named->clear();
            errno = error;
            return -1;
        }
    }
    return 1;
}

}  // namespace

int kov_removeStaleTemporariesA(const char* path)
{
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    std::string target = path;
    kov_normalizeSeparatorsA(target.data());
    const std::string folder = folderOf(target);
    const std::string prefix = tempPrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    const time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isOurTemporary(entry->d_name, prefix)) {
            continue;
        }
        const std::string name = folder + "/" + entry->d_name;
        struct stat info {};
        if (::lstat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            now - info.st_mtime >= STALE_SECONDS && ::unlink(name.c_str()) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

int kov_replaceFileA(const char* path, const char* text, size_t length, char* reason,
                     size_t reasonSize)
{
    setReason(reason, reasonSize, "");
    if (path == nullptr || path[0] == '\0' || (text == nullptr && length > 0)) {
        setReason(reason, reasonSize, "no file name");
        return 0;
    }
    std::string target = path;
    kov_normalizeSeparatorsA(target.data());
    // A linked file stays a link: the file it points to is replaced.
    struct stat link {};
    char resolved[PATH_MAX];
    if (::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
        ::realpath(target.c_str(), resolved) != nullptr) {
        target = resolved;
    }

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    mode_t mode = 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) {
            setReason(reason, reasonSize, "not a regular file");
            return 0;
        }
        // A file nobody may write is kept as it is, also by a program
        // that could replace it (root): its owner made it read-only.
        if ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            setReason(reason, reasonSize, "the file is read-only");
            return 0;
        }
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    const std::string folder = folderOf(target);
    const std::string prefix = tempPrefix(target);
    kov_removeStaleTemporariesA(target.c_str());
    std::string named;
    const int written =
        writeTemporary(folder, prefix, mode, exists ? &old : nullptr, text, length, &named);
    if (written == 0) {
        setReason(reason, reasonSize,
                  "cannot write in folder '" + folder + "': " + std::strerror(errno));
        return 0;
    }
    if (written < 0) {
        const int error = errno != 0 ? errno : EIO;
        setReason(reason, reasonSize, std::strerror(error));
        errno = error;
        return 0;
    }
    if (std::rename(named.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(named.c_str());
        setReason(reason, reasonSize, std::strerror(error));
        errno = error;
        return 0;
    }
    // The new name itself reaches the disk with the folder.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 1;
}
