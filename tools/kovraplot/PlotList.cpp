// Plot-list reader.
#include "PlotList.h"

#include <cstdio>
#include <filesystem>
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

// Length of the well-formed UTF-8 sequence of two to four bytes starting at
// text[i], or 0 when none starts there.
size_t utf8SequenceLength(std::string_view text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                                                         : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, surrogates and code points beyond U+10FFFF.
    const unsigned char second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

}  // namespace

std::string PlotList_printable(std::string_view text, size_t most)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t sequence = c >= 0x80 ? utf8SequenceLength(text, i) : 0;
        // The C1 controls (U+0080..U+009F) are as invisible as the C0 ones.
        if (sequence == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            sequence = 0;
        }
        std::string piece;
        size_t advance = 1;
        if (c >= 0x20 && c < 0x7F) {
            piece.assign(1, static_cast<char>(c));
        } else if (sequence > 0) {
            piece.assign(text.substr(i, sequence));
            advance = sequence;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            piece = escaped;
        }
        if (out.size() + piece.size() > most) {
            return out + "...";
        }
        out += piece;
        i += advance;
    }
    return out;
}

std::string PlotList_failureReport(const std::vector<std::string>& failures, size_t shown)
{
    std::string report = "Some results could not be read:";
    for (size_t i = 0; i < failures.size() && i < shown; ++i) {
        report += '\n';
        report += PlotList_printable(failures[i]);
    }
    if (failures.size() > shown) {
        const size_t more = failures.size() - shown;
        report += "\n... and ";
        report += std::to_string(more);
        report += " more";
    }
    return report;
}

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
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
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
        // A relative path names a file beside the list, wherever the plot
        // tool was started from.
        const std::filesystem::path file = line.substr(first);
        files.push_back(file.is_relative() ? (folder / file).string() : file.string());
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
