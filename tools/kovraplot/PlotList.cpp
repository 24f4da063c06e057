// Plot-list reader.
#include "PlotList.h"

#include <sstream>

#include "ResultFile.h"

namespace {

bool replaceSuffix(const std::string& path, const std::string& suffix,
                   const std::string& replacement, std::string& out)
{
    if (path.size() < suffix.size() ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    out = path.substr(0, path.size() - suffix.size()) + replacement;
    return true;
}

}  // namespace

bool PlotList_read(const std::string& path, std::vector<std::string>& files, std::string& error)
{
    files.clear();
    // A list names a handful of files; anything much larger is no plot list.
    constexpr size_t MOST_BYTES = size_t(1) << 20;
    std::string text;
    std::string reason;
    if (!ResultFile_readText(path, MOST_BYTES, text, reason)) {
        error = reason.rfind("cannot open ", 0) == 0 ? "cannot open the plot list " + path
                                                     : "plot list " + reason;
        return false;
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.pop_back();
        }
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        files.push_back(line.substr(first));
    }
    return true;
}

std::string PlotList_summaryOf(const std::string& resultPath)
{
    std::string summary;
    if (replaceSuffix(resultPath, "_jv.txt", "_photovoltaic.txt", summary) ||
        replaceSuffix(resultPath, "_qw.txt", "_photocurrent.txt", summary)) {
        return summary;
    }
    return {};
}
