// Data rows of a tab-separated result file, read back as numbers.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Every line that is not blank and does not start with '#' is one row.
inline std::vector<std::vector<double>> readTableRows(const std::filesystem::path& file)
{
    std::vector<std::vector<double>> table;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::vector<double> row;
        std::string field;
        while (std::getline(fields, field, '\t')) {
            row.push_back(std::stod(field));
        }
        table.push_back(row);
    }
    return table;
}
