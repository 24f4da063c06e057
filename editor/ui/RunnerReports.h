// The results a run reports through its exchange file, and the plot list
// written from them for the plot tool.
//
// The driver appends report lines "[SEND]XX:value" to the exchange file
// ("simulcomm.txt" in its output folder): point counts (ZP mesh, VP
// voltage, WP wavelength) and the names of the result files (EE and EN
// distributions, JV, CV and QW sweeps).
#pragma once

#include <string>
#include <vector>

// Result flags of a run.
enum RunResultFlag {
    RUN_RESULT_EE = 0x01,
    RUN_RESULT_EN = 0x02,
    RUN_RESULT_JV = 0x10,
    RUN_RESULT_CV = 0x20,
    RUN_RESULT_QW = 0x40,
};

// The result block of a document: what its last run reported.
struct RunResults {
    int flags = 0;
    int meshPoints = 0;
    int voltagePoints = 0;
    int wavelengthPoints = 0;
    std::string ee, en, jv, qw, cv;
    void clear() { *this = RunResults(); }
};

// Takes one report line (without its line end) into the results. False for
// a line that is too short or has an unknown tag: the reading stops there.
// A point count out of its range (mesh 50..20000, voltage and wavelength
// 1..1000) is stored as 0.
bool RunnerReports_take(const std::string& line, RunResults& results);

// Reads the report lines of the exchange file from offset on, at most 1025,
// into the results; offset moves past every line taken. Stops at the end
// of the file, at a line without its line end yet (the driver may still be
// writing it), at a short or unknown line, or when the file cannot be
// opened. Returns the number of lines taken.
int RunnerReports_read(const std::string& path, long& offset, RunResults& results);

// The lines of the plot list: with EN the EN and EE names, then CV and JV
// when JV was reported, or "#", "#" and QW when QW was; with EE alone the EE
// name; nothing without either.
std::vector<std::string> RunnerReports_plotLines(const RunResults& results);

// The plot list path beside the EE result: its folder and "simulplot.txt".
// A name without a folder gives fallbackFolder (with its separator) and
// "simulplot.txt".
std::string RunnerReports_plotListPath(const std::string& eeName,
                                       const std::string& fallbackFolder);

// Writes the plot list; false when it cannot be written.
bool RunnerReports_writePlotList(const std::string& path, const RunResults& results);
