// Reads a one-row result table (the photovoltaic and photocurrent figures):
// the last comment line before the row holds the tab-separated column
// titles, "Voc (V)" giving the key "Voc".
#pragma once

#include <locale>
#include <map>
#include <sstream>
#include <string>

inline std::map<std::string, double> readResultTable(const std::string& text)
{
    std::map<std::string, double> figures;
    std::istringstream lines(text);
    std::string line, titles;
    while (std::getline(lines, line)) {
        if (line.rfind("# ", 0) == 0) {
            titles = line.substr(2);
            continue;
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream names(titles), values(line);
        values.imbue(std::locale::classic());
        std::string title;
        double value = 0.0;
        while (std::getline(names, title, '\t') && values >> value) {
            figures[title.substr(0, title.find(" ("))] = value;
        }
        break;
    }
    return figures;
}
