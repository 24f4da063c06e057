// A scratch output folder and file readers for the result-file tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kovbase.h"

class ScratchFolder {
public:
    ScratchFolder()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("kovra_results_") + info->test_suite_name() + "_" + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the engine takes it: wide, with a trailing separator.
    std::wstring folder() const { return path_.wstring() + L"/"; }
    std::wstring file(const char* name) const { return (path_ / name).wstring(); }
    bool exists(const char* name) const { return std::filesystem::exists(path_ / name); }

    void write(const char* name, const std::string& text) const
    {
        std::ofstream out(path_ / name, std::ios::binary);
        out << text;
    }

private:
    std::filesystem::path path_;
};

inline std::string readText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string readText(const std::wstring& file)
{
    return readText(std::filesystem::path(file));
}

// Lines without their line ends; a text ending in "\n" gives a last empty
// line, so a file's final line end shows.
inline std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
        lines.push_back(text.substr(begin, end - begin));
    }
    lines.push_back(text.substr(begin));
    return lines;
}

// The numbers of a tab-separated row, read whatever the locale.
inline std::vector<double> parseRow(const std::string& row)
{
    std::vector<double> values;
    const char* p = row.c_str();
    while (*p != '\0') {
        char* end = nullptr;
        const double v = kov_strtod(p, &end);
        if (end == p) {
            break;
        }
        values.push_back(v);
        p = end;
        while (*p == '\t') {
            ++p;
        }
    }
    return values;
}

// The data rows of a result file: every line that does not begin with '#'.
inline std::vector<std::string> dataRows(const std::string& text)
{
    std::vector<std::string> rows;
    for (const std::string& line : splitLines(text)) {
        if (!line.empty() && line[0] != '#') {
            rows.push_back(line);
        }
    }
    return rows;
}
