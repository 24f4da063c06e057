// The plot list that the device editor hands to the plot tool: one result
// file path a line, "#" for a place left empty (a J-V run without C-V
// leaves an empty line, a quantum-efficiency run "#" lines).
#pragma once

#include <string>
#include <vector>

// The paths of the list in order, without the empty places. False with an
// error naming the list when it cannot be read.
bool PlotList_read(const std::string& path, std::vector<std::string>& files, std::string& error);

// The summary file written beside a sweep: the photovoltaic figures beside
// "..._jv.txt", the highest EQE beside "..._qw.txt"; empty for other files.
std::string PlotList_summaryOf(const std::string& resultPath);
