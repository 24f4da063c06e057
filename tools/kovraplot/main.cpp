// kovraplot: draws the result files of a simulation.
//
//   kovraplot [-kovra PLOTLIST] [-title TITLE] [RESULTFILE ...]
//   kovraplot --help | -h | --version
//
// The device editor starts it after a run with the plot list it wrote
// (simulplot.txt) and the device file as title. Exit status 0, also for
// --help and --version; 2 on a bad command line.
#include <QApplication>

#include <cstdio>

#include "PlotCommandLine.h"
#include "PlotWindow.h"

namespace {

std::vector<std::string> argumentsOf(const QStringList& list)
{
    std::vector<std::string> args;
    for (qsizetype i = 1; i < list.size(); ++i) {
        args.push_back(list[i].toStdString());
    }
    return args;
}

// Help and version are answered, and a bad command line refused, with the
// exit status; -1 lets the window open.
int answerWithoutWindow(const PlotCommand& command)
{
    switch (command.action) {
    case PlotAction::HELP: std::fputs(PlotCommandLine_usage(), stdout); return 0;
    case PlotAction::VERSION: std::fputs(PlotCommandLine_version().c_str(), stdout); return 0;
    case PlotAction::REFUSE:
        std::fprintf(stderr, "kovraplot: %s\n%s", command.error.c_str(), PlotCommandLine_usage());
        return 2;
    case PlotAction::SHOW: break;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    // Help and version need no display: they are answered before Qt starts.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const PlotCommand early = PlotCommandLine_parse(args);
    if (early.action == PlotAction::HELP || early.action == PlotAction::VERSION) {
        return answerWithoutWindow(early);
    }
    // Qt's own options (-platform, -style ...) are known only to Qt: the rest
    // of the command line is read once Qt has taken them out, with the plot
    // tool's options kept away from Qt, which would take -title for itself.
    const std::vector<bool> own = PlotCommandLine_ownOptions(args);
    std::vector<std::string> ownArgs;
    std::vector<char*> qtArgv = {argv[0]};
    for (size_t i = 0; i < args.size(); ++i) {
        if (own[i]) {
            ownArgs.push_back(args[i]);
        } else {
            qtArgv.push_back(argv[i + 1]);
        }
    }
    int qtArgc = static_cast<int>(qtArgv.size());
    qtArgv.push_back(nullptr);
    QApplication app(qtArgc, qtArgv.data());
    QApplication::setApplicationName("KovraPlot");
    std::vector<std::string> rest = argumentsOf(QApplication::arguments());
    ownArgs.insert(ownArgs.end(), rest.begin(), rest.end());
    const PlotCommand command = PlotCommandLine_parse(ownArgs);
    if (const int status = answerWithoutWindow(command); status >= 0) {
        return status;
    }
    PlotWindow window(QString::fromStdString(command.title));
    window.show();
    if (!command.list.empty()) {
        window.openPlotList(QString::fromStdString(command.list));
    }
    if (!command.files.empty()) {
        QStringList files;
        for (const std::string& file : command.files) {
            files << QString::fromStdString(file);
        }
        window.openResults(files);
    }
    return app.exec();
}
