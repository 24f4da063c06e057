// Current and program folders, always returned with a trailing '/' so that
// callers can append a file name directly.
#include "kovbase.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

bool withSeparator(std::string folder, char* buffer, size_t size)
{
    if (folder.empty() || buffer == nullptr) {
        return false;
    }
    kov_normalizeSeparatorsA(folder.data());
    if (folder.back() != '/') {
        folder.push_back('/');
    }
    if (folder.size() + 1 > size) {
        return false;  // a cut folder would name another place
    }
    kov_copyA(buffer, size, folder.c_str());
    return true;
}

std::string programFolder()
{
    const char* redirect = std::getenv("KOVRA_APPDIR");
    if (redirect != nullptr && redirect[0] != '\0') {
        return redirect;
    }
    char path[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0) {
        return {};
    }
    std::string exe(path, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

}  // namespace

int kov_getCurrentDir(char* buffer, size_t size)
{
    char path[PATH_MAX + 1];
    if (::getcwd(path, sizeof path) == nullptr) {
        return 0;
    }
    return withSeparator(path, buffer, size) ? 1 : 0;
}

int kov_getAppDirA(char* buffer, size_t size)
{
    return withSeparator(programFolder(), buffer, size) ? 1 : 0;
}

int kov_getAppDirW(wchar_t* buffer, size_t size)
{
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    char utf8[PATH_MAX + 2];
    if (!withSeparator(programFolder(), utf8, sizeof utf8)) {
        return 0;
    }
    const std::wstring wide = kov_toWide(utf8);
    if (wide.size() + 1 > size) {
        return 0;
    }
    kov_copyW(buffer, size, wide.c_str());
    return 1;
}
