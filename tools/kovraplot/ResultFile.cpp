// Result-file reader: header, column titles and rows of numbers.
#include "ResultFile.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "kovText.h"
#include "kovbase.h"

namespace {

// Numbers are written in the C locale whatever the reader's locale is. A
// number beyond the range of a double reads as an infinity (counted and left
// out of the charts), one too small for it as zero.
bool parseNumber(std::string_view text, double& value)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size()) {
        return false;
    }
    if (ec == std::errc::result_out_of_range) {
        const bool negative = text.front() == '-';
        const size_t e = text.find_first_of("eE");
        const std::string_view whole =
            text.substr(negative ? 1 : 0, text.find_first_of(".eE") - (negative ? 1 : 0));
        const bool tiny = e != std::string_view::npos
                              ? text.substr(e + 1, 1) == "-"
                              : whole.find_first_not_of('0') == std::string_view::npos;
        value = tiny ? 0.0 : HUGE_VAL;
        value = negative ? -value : value;
        return true;
    }
    return ec == std::errc();
}

std::vector<std::string_view> splitFields(std::string_view line, bool tabsOnly)
{
    std::vector<std::string_view> fields;
    const char* separators = tabsOnly ? "\t" : " \t";
    size_t pos = 0;
    while (pos <= line.size()) {
        size_t next = line.find_first_of(separators, pos);
        if (next == std::string_view::npos) {
            next = line.size();
        }
        const std::string_view field = kov_trimmedView(line.substr(pos, next - pos));
        if (!field.empty() || tabsOnly) {
            fields.push_back(field);
        }
        pos = next + 1;
    }
    // A trailing tab leaves an empty last title.
    while (tabsOnly && !fields.empty() && fields.back().empty()) {
        fields.pop_back();
    }
    return fields;
}

// The numbers of a data line, separated by blanks or tabs; false when a
// field is not a number.
bool readRow(std::string_view line, std::vector<double>& row)
{
    row.clear();
    size_t pos = 0;
    while (true) {
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string_view::npos) {
            return true;
        }
        size_t end = line.find_first_of(" \t", pos);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        double value = 0.0;
        if (!parseNumber(line.substr(pos, end - pos), value)) {
            return false;
        }
        row.push_back(value);
        pos = end;
    }
}

// "300 MB", "32 MB", "512 bytes".
std::string megabytes(uintmax_t bytes)
{
    if (bytes < (uintmax_t(1) << 20)) {
        return std::to_string(bytes) + " bytes";
    }
    return std::to_string(bytes >> 20) + " MB";
}

// "Eff = 14.3186 %", "Eff\t14.3186\t%", "EQEmax = 0.90 @ 0.78 um".
bool parseFigure(std::string_view line, ResultFigure& figure)
{
    std::string_view name, rest;
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
        name = kov_trimmedView(line.substr(0, equals));
        rest = kov_trimmedView(line.substr(equals + 1));
    } else {
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            return false;
        }
        name = kov_trimmedView(line.substr(0, tab));
        rest = kov_trimmedView(line.substr(tab + 1));
    }
    const size_t end = rest.find_first_of(" \t");
    const std::string_view number = rest.substr(0, end);
    if (name.empty() || !parseNumber(number, figure.value)) {
        return false;
    }
    figure.name = std::string(name);
    figure.unit = end == std::string_view::npos ? std::string()
                                                : std::string(kov_trimmedView(rest.substr(end)));
    return true;
}

ResultKind kindOfPath(std::string_view path)
{
    if (kov_endsWith(path, "_photovoltaic.txt")) {
        return ResultKind::PHOTOVOLTAIC;
    }
    if (kov_endsWith(path, "_photocurrent.txt")) {
        return ResultKind::PHOTOCURRENT;
    }
    if (kov_endsWith(path, "_jv.txt")) {
        return ResultKind::JV;
    }
    if (kov_endsWith(path, "_cv.txt")) {
        return ResultKind::CV;
    }
    if (kov_endsWith(path, "_qw.txt")) {
        return ResultKind::QW;
    }
    return ResultKind::UNKNOWN;
}

bool isSummary(ResultKind kind)
{
    return kind == ResultKind::PHOTOVOLTAIC || kind == ResultKind::PHOTOCURRENT;
}

// Header comment lines carry the device name on the line before the time
// stamp ("# Saved: ..."), or as "# Device: name"; and the solution's state
// as "# Voltage = ...".
void readHeaderLines(const std::vector<std::string_view>& comments, ResultTable& table)
{
    for (size_t i = 0; i < comments.size(); ++i) {
        const std::string_view line = comments[i];
        if (kov_startsWith(line, "Device:")) {
            table.deviceName = std::string(kov_trimmedView(line.substr(7)));
        } else if ((kov_startsWith(line, "Saved:") || kov_startsWith(line, "Date:")) &&
                   table.deviceName.empty() && i > 0) {
            const std::string_view before = comments[i - 1];
            if (!before.empty() && !kov_startsWith(before, "Kovra") &&
                before.find('\t') == std::string_view::npos) {
                table.deviceName = std::string(before);
            }
        } else if (kov_startsWith(line, "Voltage =") || kov_startsWith(line, "Wavelength =")) {
            table.state += table.state.empty() ? "" : "   ";
            table.state += std::string(line);
        }
    }
}

// The titles from index `from` on, as a list for a message: the first few
// names and how many more.
std::string missingTitles(const std::vector<std::string_view>& titles, size_t from)
{
    constexpr size_t SHOWN = 8;
    std::string list;
    for (size_t c = from; c < titles.size() && c < from + SHOWN; ++c) {
        list += (c == from ? "" : ", ") + ResultFile_splitTitle(titles[c]).name;
    }
    if (titles.size() - from > SHOWN) {
        list += " and " + std::to_string(titles.size() - from - SHOWN) + " more";
    }
    return list;
}

}  // namespace

int ResultTable::columnIndex(std::string_view name) const
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const ResultColumn* ResultTable::column(std::string_view name) const
{
    const int index = columnIndex(name);
    return index < 0 ? nullptr : &columns[static_cast<size_t>(index)];
}

const std::vector<double>* ResultTable::series(std::string_view name) const
{
    const int index = columnIndex(name);
    return index < 0 ? nullptr : &values[static_cast<size_t>(index)];
}

const ResultFigure* ResultTable::figure(std::string_view name) const
{
    for (const ResultFigure& f : figures) {
        if (f.name == name) {
            return &f;
        }
    }
    return nullptr;
}

ResultKind ResultFile_kindOfTag(std::string_view tag)
{
    static const struct {
        std::string_view tag;
        ResultKind kind;
    } tags[] = {{"JV", ResultKind::JV},          {"CV", ResultKind::CV},
                {"QW", ResultKind::QW},          {"EE", ResultKind::EE},
                {"EN", ResultKind::EN},          {"PV", ResultKind::PHOTOVOLTAIC},
                {"PC", ResultKind::PHOTOCURRENT}};
    for (const auto& entry : tags) {
        if (entry.tag == tag) {
            return entry.kind;
        }
    }
    return ResultKind::UNKNOWN;
}

ResultColumn ResultFile_splitTitle(std::string_view title)
{
    ResultColumn column;
    title = kov_trimmedView(title);
    column.title = std::string(title);
    const size_t open = title.rfind('(');
    if (open != std::string_view::npos && kov_endsWith(title, ")")) {
        column.name = std::string(kov_trimmedView(title.substr(0, open)));
        column.unit = std::string(kov_trimmedView(title.substr(open + 1, title.size() - open - 2)));
    }
    if (column.name.empty()) {
        column.name = column.title;
        column.unit.clear();
    }
    return column;
}

bool ResultFile_parse(std::string_view text, const std::string& path, ResultTable& table,
                      std::string& error, const ResultLimits& limits)
{
    table = ResultTable();
    table.path = path;
    table.kind = kindOfPath(path);
    const std::string& name = path;

    std::vector<std::string_view> comments;  // comment lines before the first row, without '#'
    // Rows go straight into their columns: a row is no allocation of its own.
    std::vector<std::vector<double>> columns;
    size_t rowCount = 0;
    size_t firstRowLine = 0;
    std::vector<double> row;
    size_t lineNumber = 0;
    size_t pos = 0;
    bool firstLine = true;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (firstLine) {
            firstLine = false;
            // A UTF-8 byte-order mark from another editor is no part of the header.
            if (kov_startsWith(line, "\xEF\xBB\xBF")) {
                line.remove_prefix(3);
            }
        }
        if (kov_startsWith(kov_trimmedView(line), "#")) {
            const std::string_view body = kov_trimmedView(kov_trimmedView(line).substr(1));
            if (kov_startsWith(body, "Kovra <") && kov_endsWith(body, ">") && table.tag.empty()) {
                table.tag = std::string(body.substr(7, body.size() - 8));
                if (ResultFile_kindOfTag(table.tag) != ResultKind::UNKNOWN) {
                    table.kind = ResultFile_kindOfTag(table.tag);
                }
            }
            if (rowCount == 0) {
                comments.push_back(body);
            }
            continue;
        }
        if (kov_trimmedView(line).empty()) {
            continue;
        }
        if (!readRow(line, row)) {
            ResultFigure figure;
            if (rowCount == 0 && parseFigure(kov_trimmedView(line), figure)) {
                table.figures.push_back(figure);
                continue;
            }
            error = name + ": line " + std::to_string(lineNumber) +
                    " is neither a comment nor a row of numbers";
            return false;
        }
        if (!table.figures.empty()) {
            error = name + ": line " + std::to_string(lineNumber) +
                    ": a row of numbers among named figures";
            return false;
        }
        if (rowCount == 0) {
            columns.resize(row.size());
            firstRowLine = lineNumber;
        } else if (row.size() != columns.size()) {
            error = name + ": line " + std::to_string(lineNumber) + " holds " +
                    std::to_string(row.size()) + " values where the rows above hold " +
                    std::to_string(columns.size());
            return false;
        }
        if (rowCount == limits.maxRows) {
            error = name + ": more than " + std::to_string(limits.maxRows) +
                    " rows; kovraplot draws result files of at most " +
                    std::to_string(limits.maxRows) + " rows";
            return false;
        }
        for (size_t c = 0; c < row.size(); ++c) {
            columns[c].push_back(row[c]);
            table.nonFinite += std::isfinite(row[c]) ? 0 : 1;
        }
        ++rowCount;
    }
    readHeaderLines(comments, table);

    if (rowCount == 0 && table.figures.empty()) {
        error = name + ": no data (no row of numbers and no named figure)";
        return false;
    }
    if (rowCount == 0) {
        return true;
    }

    // The column titles: the last non-empty comment line above the rows.
    const size_t count = columns.size();
    std::vector<std::string_view> titles;
    for (auto it = comments.rbegin(); it != comments.rend(); ++it) {
        if (it->empty()) {
            continue;
        }
        if (it->find('\t') != std::string_view::npos || count == 1) {
            titles = splitFields(*it, true);
        }
        break;
    }
    // Rows shorter than the titles would leave the columns they lack empty
    // and their charts blank: the file is refused, naming what is missing.
    if (titles.size() > count) {
        error = name + ": line " + std::to_string(firstRowLine) + " holds " +
                std::to_string(count) + (count == 1 ? " value" : " values") +
                " where the column titles name " + std::to_string(titles.size()) +
                "; missing: " + missingTitles(titles, count);
        return false;
    }
    for (size_t c = 0; c < count; ++c) {
        if (c < titles.size() && !titles[c].empty()) {
            table.columns.push_back(ResultFile_splitTitle(titles[c]));
        } else {
            table.columns.push_back(ResultFile_splitTitle("column " + std::to_string(c + 1)));
        }
    }
    table.values = std::move(columns);
    // A summary written as one row under its titles is a list of figures.
    if (isSummary(table.kind) && rowCount == 1) {
        for (size_t c = 0; c < count; ++c) {
            table.figures.push_back(
                {table.columns[c].name, table.values[c][0], table.columns[c].unit});
        }
    }
    return true;
}

bool ResultFile_readText(const std::string& path, size_t maxBytes, std::string& text,
                         std::string& error)
{
    // A FIFO would block the window until something writes to it, and a
    // device such as /dev/zero never ends: only regular files are read.
    // A name with a NUL byte (a line of a binary file read as a plot list)
    // names no file; its leading part might name another.
    if (path.find('\0') != std::string::npos) {
        error = "cannot open " + path;
        return false;
    }
    if (const char* kind = kov_otherFileKindA(path.c_str())) {
        error = path + " is " + kind + ", not a regular file";
        return false;
    }
    std::error_code failure;
    if (!std::filesystem::exists(path, failure)) {
        error = "cannot open " + path;
        return false;
    }
    const auto size = std::filesystem::file_size(path, failure);
    if (!failure && size > maxBytes) {
        error = path + ": " + megabytes(size) + " is more than the " + megabytes(maxBytes) +
                " kovraplot reads";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    // The size read before opening may be out of date (a file still
    // growing): never read more than the limit.
    text.assign(failure ? 0 : static_cast<size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    char more[4096];
    while (in.read(more, sizeof more) || in.gcount() > 0) {
        if (text.size() + static_cast<size_t>(in.gcount()) > maxBytes) {
            error = path + ": more than the " + megabytes(maxBytes) + " kovraplot reads";
            return false;
        }
        text.append(more, static_cast<size_t>(in.gcount()));
    }
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool ResultFile_read(const std::string& path, ResultTable& table, std::string& error,
                     const ResultLimits& limits)
{
    std::string text;
    if (!ResultFile_readText(path, limits.maxBytes, text, error)) {
        return false;
    }
    return ResultFile_parse(text, path, table, error, limits);
}
