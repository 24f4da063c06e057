// A scratch output folder and file readers for the result-file tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kovbase.h"
#include "tempFolder.h"

inline std::string readText(const std::filesystem::path& file) { return readAll(file.string()); }

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
