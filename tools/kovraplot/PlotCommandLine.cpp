// Command line of the plot tool.
#include "PlotCommandLine.h"

#include "kovraVersion.h"

PlotCommand PlotCommandLine_parse(const std::vector<std::string>& args)
{
    PlotCommand command;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            command.action = PlotAction::HELP;
            return command;
        }
        if (arg == "--version") {
            command.action = PlotAction::VERSION;
            return command;
        }
        if (arg == "-kovra" || arg == "-title") {
            if (i + 1 >= args.size()) {
                command.action = PlotAction::REFUSE;
                command.error = arg + " needs a value";
                return command;
            }
            (arg == "-kovra" ? command.list : command.title) = args[++i];
        } else if (arg.size() > 1 && arg.front() == '-') {
            command.action = PlotAction::REFUSE;
            command.error = "unknown option '" + arg + "'";
            return command;
        } else {
            command.files.push_back(arg);
        }
    }
    return command;
}

std::vector<bool> PlotCommandLine_ownOptions(const std::vector<std::string>& args)
{
    std::vector<bool> own(args.size(), false);
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "-kovra" || args[i] == "-title") {
            own[i] = own[i + 1] = true;
            ++i;
        }
    }
    return own;
}

const char* PlotCommandLine_usage()
{
    return "usage: kovraplot [-kovra PLOTLIST] [-title TITLE] [RESULTFILE ...]\n"
           "       kovraplot --help | -h | --version\n"
           "  -kovra PLOTLIST  open a tab for each result file the plot list names\n"
           "                   (one path a line, as simulplot.txt of a run)\n"
           "  -title TITLE     show TITLE in the window title (the device file)\n"
           "  RESULTFILE       open a tab for the result file (simulout_jv.txt, ...)\n"
           "  -h, --help       print this help and exit\n"
           "  --version        print the version and exit\n"
           "Result files of more than 32 MB or 200000 rows are refused.\n";
}

std::string PlotCommandLine_version()
{
    return std::string("kovraplot ") + KOVRA_VERSION_TEXT + "\n";
}
