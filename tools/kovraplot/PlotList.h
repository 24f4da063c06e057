// The plot list that the device editor hands to the plot tool: one result
// file path a line, "#" for a place left empty (a J-V run without C-V
// leaves an empty line, a quantum-efficiency run "#" lines).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The paths of the list in order, without the empty places. False with an
// error naming the list when it cannot be read.
bool PlotList_read(const std::string& path, std::vector<std::string>& files, std::string& error);

// The message for results that could not be read: a heading, the first
// `shown` reasons and how many more there are, each reason cut to a line a
// message box can show and with its unprintable bytes made visible (a binary
// file read as a plot list gives lines of garbage).
std::string PlotList_failureReport(const std::vector<std::string>& failures, size_t shown = 5);

// The text with control bytes and bytes that are no UTF-8 written as \xNN,
// cut to at most most bytes (then ending in "...").
std::string PlotList_printable(std::string_view text, size_t most = 200);

// The summary file written beside a sweep: the photovoltaic figures beside
// "..._jv.txt", the highest EQE beside "..._qw.txt"; empty for other files.
std::string PlotList_summaryOf(const std::string& resultPath);
