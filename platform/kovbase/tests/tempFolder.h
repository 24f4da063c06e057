// Test fixtures shared by the tests of every module (each test program sees
// this folder through the kovra_test_support target): a scratch folder
// removed at the end of the test, and a locale whose decimal separator is a
// comma. The module helpers wrap these so that there is one way to make
// either.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

class TempFolder {
public:
    // The prefix names the folder after the tests that own it, so that a
    // folder left behind by a crash tells where it came from.
    explicit TempFolder(const std::string& prefix = "kovra-test-")
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
        if (mkdtemp(pattern.data()) != nullptr) {
            slashedPath = pattern + "/";
        } else {
            ADD_FAILURE() << "no scratch folder could be made for " << pattern;
        }
    }
    ~TempFolder()
    {
        if (!slashedPath.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(slashedPath, ignored);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The prefix followed by the running test's suite and name (each '/'
    // of a parameterised name made a '_'): a folder of one test.
    static std::string prefixForTest(const std::string& prefix)
    {
        std::string name;
        if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
            name = std::string(info->test_suite_name()) + "_" + info->name() + "_";
        }
        for (char& c : name) {
            c = c == '/' ? '_' : c;
        }
        return prefix + name;
    }

    // The folder with a trailing '/', or empty when it could not be made.
    const std::string& path() const { return slashedPath; }
    // The folder without the trailing '/', or empty when it could not be made.
    std::filesystem::path folder() const
    {
        return slashedPath.empty()
                   ? std::filesystem::path()
                   : std::filesystem::path(slashedPath.substr(0, slashedPath.size() - 1));
    }
    std::string file(const std::string& name) const { return slashedPath + name; }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
    // The names of what the folder holds, hidden ones too (a test of a save
    // finds a temporary left behind this way).
    std::set<std::string> names() const
    {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder())) {
            found.insert(entry.path().filename().string());
        }
        return found;
    }
    // The folder and its files as the engine takes them: wide, the folder
    // with a trailing '/'.
    std::wstring wideFolder() const { return folder().wstring() + L"/"; }
    std::wstring wideFile(const std::string& name) const { return (folder() / name).wstring(); }

    // Writes bytes as they are (no newline translation) and returns the path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(file(name), std::ios::binary);
        out << bytes;
        return file(name);
    }

private:
    std::string slashedPath;
};

inline std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Switches LC_ALL (or the one category given) to a locale that writes and
// reads numbers with a decimal comma and switches back when it goes out of
// scope: LC_ALL to "C", a single category to what it was before; LOCPATH is
// put back as well. When no such
// locale is installed, one is compiled once into the build folder (if the
// system has localedef); active() is false when neither works.
#if defined(__SANITIZE_ADDRESS__)
// glibc keeps the LOCPATH search list of setlocale for good; that is no
// leak of the code under test.
extern "C" __attribute__((used)) inline const char* __lsan_default_suppressions()
{
    return "leak:__argz_add_sep\n";
}
#endif

class DecimalCommaLocale {
public:
    explicit DecimalCommaLocale(int category = LC_ALL) : localeCategory(category)
    {
        if (const char* current =
                localeCategory == LC_ALL ? nullptr : std::setlocale(localeCategory, nullptr)) {
            restore = current;
        }
        if (const char* locpath = std::getenv("LOCPATH")) {
            hadLocpath = true;
            savedLocpath = locpath;
        }
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "it_IT.UTF-8"}) {
            if (trySet(name)) {
                return;
            }
        }
#ifdef KOVRA_BIN_DIR
        const std::string root = std::string(KOVRA_BIN_DIR) + "/test-locales";
        const std::string target = root + "/de_DE.UTF-8";
        if (!std::filesystem::exists(target) &&
            std::system("command -v localedef >/dev/null 2>&1") == 0) {
            // Parallel test processes may race here: each builds into its own
            // folder and the first rename wins.
            std::filesystem::create_directories(root);
            std::string scratch = root + "/build-XXXXXX";
            if (mkdtemp(scratch.data()) != nullptr) {
                const std::string command =
                    "localedef -i de_DE -f UTF-8 '" + scratch + "/de_DE.UTF-8' >/dev/null 2>&1";
                if (std::system(command.c_str()) == 0) {
                    std::rename((scratch + "/de_DE.UTF-8").c_str(), target.c_str());
                }
                std::error_code ignored;
                std::filesystem::remove_all(scratch, ignored);
            }
        }
        if (std::filesystem::exists(target)) {
            setenv("LOCPATH", root.c_str(), 1);
            trySet("de_DE.UTF-8");
        }
#endif
    }
    ~DecimalCommaLocale()
    {
        std::setlocale(localeCategory, restore.c_str());
        if (hadLocpath) {
            setenv("LOCPATH", savedLocpath.c_str(), 1);
        } else {
            unsetenv("LOCPATH");
        }
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool active() const { return decimalComma; }

private:
    bool trySet(const char* name)
    {
        if (std::setlocale(localeCategory, name) != nullptr &&
            std::string(std::localeconv()->decimal_point) == ",") {
            decimalComma = true;
            return true;
        }
        std::setlocale(localeCategory, restore.c_str());
        return false;
    }
    int localeCategory;
    std::string restore = "C";
    bool hadLocpath = false;
    std::string savedLocpath;
    bool decimalComma = false;
};
