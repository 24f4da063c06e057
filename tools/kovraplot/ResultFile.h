// Reading the result files of a simulation into columns of numbers, apart
// from any drawing, so that the plot tool and its tests share one reader.
//
// A result file is text: comment lines start with '#', the first of them
// "# Kovra <XX>" names the kind of result, one comment line holds the
// tab-separated column titles ("Voltage (V)\tJ (A/cm2)"), and every other
// line is a row of tab-separated numbers written in the C locale. The
// photovoltaic and photocurrent summaries are lines of named figures
// ("Eff = 14.3 %", or the same as tab-separated "name\tvalue\tunit").
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class ResultKind {
    UNKNOWN,
    JV,            // current-voltage sweep
    CV,            // charge and capacitance against voltage
    QW,            // quantum efficiency against wavelength
    EE,            // distribution at equilibrium
    EN,            // distribution out of equilibrium
    PHOTOVOLTAIC,  // efficiency, Jsc, Voc, fill factor ...
    PHOTOCURRENT,  // highest EQE and its wavelength
};

// "Voltage (V)" split into its name "Voltage" and its unit "V"; a title
// without a parenthesised unit has an empty unit.
struct ResultColumn {
    std::string title;
    std::string name;
    std::string unit;
};

// A named figure of a summary file: "Voc = 0.58 V" -> {"Voc", 0.58, "V"}.
struct ResultFigure {
    std::string name;
    double value = 0.0;
    std::string unit;
};

// What the reader takes on: a result file of a run is at most a few MB (a
// distribution of 20000 points is about 6 MB), so a larger file is no
// result file, and would only freeze the window and fill the memory.
struct ResultLimits {
    size_t maxBytes = size_t(32) << 20;
    size_t maxRows = 200000;
};

struct ResultTable {
    std::string path;
    std::string tag;  // "JV" from "# Kovra <JV>", empty without that line
    ResultKind kind = ResultKind::UNKNOWN;
    std::string deviceName;  // from the header's comment lines, may be empty
    std::string state;       // "Voltage = 0.7 V   Current = 1.81 A/cm2", may be empty
    std::vector<ResultColumn> columns;
    std::vector<std::vector<double>> values;  // values[column][row]
    std::vector<ResultFigure> figures;        // summary files only
    // Values that are not finite numbers ("inf", "nan", "1e999"): kept in
    // the columns, left out of the charts and counted for the reader.
    size_t nonFinite = 0;

    size_t rowCount() const { return values.empty() ? 0 : values.front().size(); }
    // Index of the column of that name (case-sensitive, as the engine writes
    // it), or -1.
    int columnIndex(std::string_view name) const;
    const ResultColumn* column(std::string_view name) const;
    const std::vector<double>* series(std::string_view name) const;
    const ResultFigure* figure(std::string_view name) const;
};

// The kind named by a tag ("JV", "EN", ...), Unknown for others.
ResultKind ResultFile_kindOfTag(std::string_view tag);

// Splits a column title into name and unit: "J (A/cm2)", " En(V/um)", "EQE".
ResultColumn ResultFile_splitTitle(std::string_view title);

// Reads a result file. On failure returns false with error holding a message
// that names the file and, for a malformed line, its line number; a file
// beyond the limits, or one that is no regular file (a FIFO, a device), is
// refused before it is read.
bool ResultFile_read(const std::string& path, ResultTable& table, std::string& error,
                     const ResultLimits& limits = {});

// The same from text already in memory (path used for messages and kind).
bool ResultFile_parse(std::string_view text, const std::string& path, ResultTable& table,
                      std::string& error, const ResultLimits& limits = {});

// The whole text of a regular file of at most maxBytes; false with an error
// naming the file otherwise. The plot list is read through it too.
bool ResultFile_readText(const std::string& path, size_t maxBytes, std::string& text,
                         std::string& error);
