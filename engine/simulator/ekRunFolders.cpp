// Folders of a run.
#include "ekRunFolders.h"

#include <cerrno>
#include <cstring>
#include <cwchar>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "focore.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr const wchar_t* LOG_NAME = L"simulog.txt";
// The lock of a run in its output folder; hidden, as it holds nothing.
constexpr const char* LOCK_NAME = ".simulock";
constexpr size_t INPUT_MIN = 2, INPUT_MAX = 1021;

bool isSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

std::wstring withSeparator(std::wstring folder)
{
    if (!folder.empty() && !isSeparator(folder.back())) {
        folder += L'/';
    }
    return folder;
}

// A folder given relative to the current one ("d/", "./") as a full path:
// the output folder and the paths built on it must not depend on a short
// relative text (which the path checks refuse) or on the current folder
// staying the same.
std::wstring absoluteFolder(std::wstring folder)
{
    // A drive letter ("C:\\cells\\") marks a full path of a file made elsewhere.
    if (isSeparator(folder.front()) || (folder.size() >= 2 && folder[1] == L':')) {
        return folder;
    }
    while (folder.size() >= 2 && folder[0] == L'.' && isSeparator(folder[1])) {
        folder.erase(0, 2);
    }
    char current[FO_PATH_SIZE];
    if (kov_getCurrentDir(current, sizeof current) == 0) {
        return folder;
    }
    return withSeparator(kov_toWide(current)) + folder;
}

}  // namespace

std::wstring ek_inputFolder(const wchar_t* input)
{
    const size_t length = input != nullptr ? std::wcslen(input) : 0;
    if (length < INPUT_MIN || length > INPUT_MAX) {
        return {};
    }
    // The first character is not looked at: a separator there would make
    // the root the folder, which is not a folder a device file is given by.
    for (size_t i = length - 1; i >= 1; --i) {
        if (isSeparator(input[i])) {
            return absoluteFolder(std::wstring(input, i + 1));
        }
    }
    return {};
}

bool ek_outputFolder(const wchar_t* input, const std::wstring& inputFolder, nuParam* param,
                     nuSigma* sigma, std::wstring* folder, std::wstring* log)
{
    const std::wstring wanted = param->outDir;
    if (wanted == L".") {
        // The device file's folder; a bare file name lives in the current one.
        if (!inputFolder.empty()) {
            param->setOutDir(inputFolder.c_str());
        } else {
            const size_t length = input != nullptr ? std::wcslen(input) : 0;
            char current[FO_PATH_SIZE];
            if (length >= INPUT_MIN && length <= INPUT_MAX &&
                kov_getCurrentDir(current, sizeof current) != 0) {
                kov_dirReadWrite(current);
                param->setOutDir(kov_toWide(current).c_str());
            }
        }
        // A folder that could not be found stays ".", which the path set-up
        // refuses with its own message.
        *folder = param->outDir == std::wstring(L".") ? std::wstring(param->outDir)
                                                      : withSeparator(param->outDir);
        *log = withSeparator(*folder) + LOG_NAME;
        return true;
    }
    if (!wanted.empty() && kov_dirExistsW(wanted.c_str()) != 0) {
        *folder = withSeparator(absoluteFolder(wanted));
        *log = *folder + LOG_NAME;
        return true;
    }

    // A folder of its own beside the device file.
    char path[FO_PATH_SIZE];
    kov_wideToUtf8(path, sizeof path, input);
    std::string inputPath = path;
    if (inputPath.find_first_of("/\\") == std::string::npos) {
        char current[FO_PATH_SIZE];
        if (kov_getCurrentDir(current, sizeof current) != 0) {
            inputPath = std::string(current) + inputPath;
        }
    }
    if (inputPath.size() > FO_PATH_SIZE - 1) {
        inputPath.clear();
    }
    wchar_t made[FO_PATH_SIZE] = {};
    wchar_t name[FO_PATH_SIZE] = {};
    wchar_t madeLog[FO_PATH_SIZE] = {};
    if (!fo_createOutputDir(inputPath.c_str(), LOG_NAME, made, name, madeLog, param->outDirDate)) {
        const bool named = std::wcspbrk(made, L"/\\") != nullptr;
        sigma->error(named ? L"cannot access the output directory: check permissions"
                           : L"invalid output directory");
        return false;
    }
    // The folder just made must be writable for the results (the device
    // file itself is left as it is).
    kov_dirReadWrite(kov_toUtf8(made).c_str());
    *folder = made;
    *log = madeLog;
    return true;
}

int ek_lockOutputFolder(const std::wstring& folder, nuSigma* sigma)
{
    std::string path = kov_toUtf8(withSeparator(folder));
    kov_normalizeSeparatorsA(path.data());
    path += LOCK_NAME;
    const int lock = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (lock < 0) {
        sigma->error(L"cannot lock the output directory \"" + folder + L"\": " +
                     kov_toWide(std::strerror(errno)));
        return -1;
    }
    if (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock);
        sigma->error(L"the output directory \"" + folder + L"\" is in use by another run");
        return -1;
    }
    return lock;
}

void ek_unlockOutputFolder(int& lock)
{
    if (lock >= 0) {
        ::close(lock);  // releases the lock
        lock = -1;
    }
}
