// Exchange-file report lines and the plot list.
#include "RunnerReports.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int MAX_REPORT_LINES = 1025;
constexpr size_t MAX_REPORT_LINE = 1021;
constexpr size_t MAX_NAME = 1023;

int countOrZero(const std::string& value, int low, int high)
{
    const int count = std::atoi(value.c_str());
    return count >= low && count <= high ? count : 0;
}

}  // namespace

bool RunnerReports_take(const std::string& line, RunResults& results)
{
    if (line.size() < 10) {
        return false;
    }
    const std::string tag = line.substr(0, 9);
    const std::string value = line.substr(9);
    const std::string name = value.substr(0, MAX_NAME);
    if (tag == "[SEND]ZP:") {
        results.meshPoints = countOrZero(value, 50, 20000);
    } else if (tag == "[SEND]VP:") {
        results.voltagePoints = countOrZero(value, 1, 1000);
    } else if (tag == "[SEND]WP:") {
        results.wavelengthPoints = countOrZero(value, 1, 1000);
    } else if (tag == "[SEND]JV:") {
        results.jv = name;
        results.flags |= RUN_RESULT_JV;
    } else if (tag == "[SEND]CV:") {
        results.cv = name;
        results.flags |= RUN_RESULT_CV;
    } else if (tag == "[SEND]QW:") {
        results.qw = name;
        results.flags |= RUN_RESULT_QW;
    } else if (tag == "[SEND]EE:") {
        results.ee = name;
        results.flags |= RUN_RESULT_EE;
    } else if (tag == "[SEND]EN:") {
        results.en = name;
        results.flags |= RUN_RESULT_EN;
    } else {
        return false;
    }
    return true;
}

int RunnerReports_read(const std::string& path, long& offset, RunResults& results)
{
    if (path.empty()) {
        return 0;
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return 0;
    }
    int taken = 0;
    if (std::fseek(file, offset, SEEK_SET) == 0 && std::ftell(file) == offset) {
        char buffer[MAX_REPORT_LINE + 2];
        while (taken < MAX_REPORT_LINES && std::fgets(buffer, sizeof buffer, file) != nullptr) {
            std::string line(buffer);
            // Only a whole line counts: one still being written is read at
            // the next look, from the same offset.
            if (line.empty() || line.back() != '\n') {
                break;
            }
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
                line.pop_back();
            }
            if (!RunnerReports_take(line, results)) {
                break;
            }
            offset = std::ftell(file);
            ++taken;
        }
    }
    std::fclose(file);
    return taken;
}

std::vector<std::string> RunnerReports_plotLines(const RunResults& results)
{
    if (results.flags & RUN_RESULT_EN) {
        std::vector<std::string> lines = {results.en, results.ee};
        if (results.flags & RUN_RESULT_JV) {
            lines.push_back(results.cv);
            lines.push_back(results.jv);
        } else if (results.flags & RUN_RESULT_QW) {
            lines.insert(lines.end(), {"#", "#", results.qw});
        }
        return lines;
    }
    if (results.flags & RUN_RESULT_EE) {
        return {results.ee};
    }
    return {};
}

std::string RunnerReports_plotListPath(const std::string& eeName, const std::string& fallbackFolder)
{
    // The engine reports full paths; a file from elsewhere may use '\'.
    const size_t separator = eeName.find_last_of("/\\");
    if (separator == std::string::npos) {
        std::string folder = fallbackFolder;
        if (!folder.empty() && folder.back() != '/') {
            folder += '/';
        }
        return folder + "simulplot.txt";
    }
    return eeName.substr(0, separator + 1) + "simulplot.txt";
}

bool RunnerReports_writePlotList(const std::string& path, const RunResults& results)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    bool ok = true;
    for (const std::string& line : RunnerReports_plotLines(results)) {
        ok = std::fprintf(file, "%s\n", line.c_str()) >= 0 && ok;
    }
    return std::fclose(file) == 0 && ok;
}
