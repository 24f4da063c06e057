// Output and application folders.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>

#include "focore.h"
#include "kovbase.h"

namespace {

std::string folderName(const std::string& stem, bool dated)
{
    if (!dated) {
        return stem + "_out";
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
    return stem + "_" + stamp;
}

bool makeWritableFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;  // a file of that name is in the way
    }
    if (::access(folder.c_str(), W_OK | X_OK) == 0) {
        return true;
    }
    kov_dirReadWrite(folder.c_str());
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool copyOut(wchar_t* out, const std::wstring& text)
{
    if (out == nullptr) {
        return true;
    }
    if (text.size() + 1 > FO_PATH_SIZE) {
        out[0] = L'\0';
        return false;
    }
    kov_copyW(out, FO_PATH_SIZE, text.c_str());
    return true;
}

}  // namespace

bool fo_createOutputDir(const char* inputPath, const wchar_t* logName, wchar_t* folderOut,
                        wchar_t* secondOut, wchar_t* logPathOut, bool dated)
{
    for (wchar_t* out : {folderOut, secondOut, logPathOut}) {
        if (out != nullptr) {
            out[0] = L'\0';
        }
    }
    if (inputPath == nullptr || inputPath[0] == '\0') {
        return false;
    }
    std::string path = inputPath;
    kov_normalizeSeparatorsA(path.data());
    const size_t slash = path.rfind('/');
    std::string parent;
    std::string file;
    if (slash == std::string::npos) {
        char current[FO_PATH_SIZE];
        if (kov_getCurrentDir(current, sizeof current) == 0) {
            return false;
        }
        parent = current;
        file = path;
    } else {
        parent = path.substr(0, slash + 1);
        file = path.substr(slash + 1);
    }
    const size_t dot = file.rfind('.');
    const std::string stem = dot != std::string::npos && dot > 0 ? file.substr(0, dot) : file;
    if (stem.empty()) {
        return false;  // no file name to name the folder after
    }
    const std::string name = folderName(stem, dated);
    const std::string folder = parent + name + "/";
    const std::wstring wideFolder = kov_toWide(folder);
    if (!copyOut(folderOut, wideFolder)) {
        return false;  // too long: no usable folder
    }
    if (!makeWritableFolder(folder)) {
        return false;  // folderOut tells which folder failed
    }
    std::wstring logPath;
    if (logName != nullptr && logName[0] != L'\0') {
        logPath = wideFolder + logName;
    }
    return copyOut(secondOut, kov_toWide(name)) && copyOut(logPathOut, logPath);
}

bool fo_getAppDirA(char* first, char* second)
{
    char folder[FO_PATH_SIZE];
    if (kov_getAppDirA(folder, sizeof folder) == 0) {
        return false;
    }
    const std::string data = std::string(folder) + "etc/";
    if (data.size() + 1 > FO_PATH_SIZE) {
        return false;
    }
    kov_copyA(first, FO_PATH_SIZE, folder);
    kov_copyA(second, FO_PATH_SIZE, data.c_str());
    return true;
}
