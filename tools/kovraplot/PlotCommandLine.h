// The command line of kovraplot:
//
//   kovraplot [-kovra PLOTLIST] [-title TITLE] [RESULTFILE ...]
//   kovraplot --help | -h | --version
//
// Read apart from Qt, so that help and version are answered before a
// display is needed.
#pragma once

#include <string>
#include <vector>

enum class PlotAction {
    SHOW,     // open the window with the list and files given
    HELP,     // print the usage and exit with 0
    VERSION,  // print the suite's version and exit with 0
    REFUSE,   // print the error and the usage and exit with 2
};

struct PlotCommand {
    PlotAction action = PlotAction::SHOW;
    std::string list;   // -kovra
    std::string title;  // -title
    std::vector<std::string> files;
    std::string error;  // for Refuse
};

// The arguments without the program name.
PlotCommand PlotCommandLine_parse(const std::vector<std::string>& args);

// Marks the plot tool's own options and their values ("-kovra LIST",
// "-title TITLE"). Qt takes "-title" for itself on X11 (the title of every
// window) and never hands it on, so these leave the command line before Qt
// reads it; the rest (Qt's options, the files) goes through Qt.
std::vector<bool> PlotCommandLine_ownOptions(const std::vector<std::string>& args);

// The usage text, ending with a line end.
const char* PlotCommandLine_usage();

// "kovraplot 3.0 (build 2412)" and a line end.
std::string PlotCommandLine_version();
