// kovraplot: draws the result files of a simulation.
//
//   kovraplot [-kovra PLOTLIST] [-title TITLE] [RESULTFILE ...]
//
// The device editor starts it after a run with the plot list it wrote
// (simulplot.txt) and the device file as title.
#include <QApplication>

#include <cstdio>
#include <cstring>

#include "PlotWindow.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("KovraPlot");
    QString list, title;
    QStringList files;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == "-kovra" && i + 1 < args.size()) {
            list = args[++i];
        } else if (args[i] == "-title" && i + 1 < args.size()) {
            title = args[++i];
        } else if (args[i].startsWith('-')) {
            std::fputs("usage: kovraplot [-kovra PLOTLIST] [-title TITLE] [RESULTFILE ...]\n", stderr);
            return 2;
        } else {
            files << args[i];
        }
    }
    PlotWindow window(title);
    window.show();
    if (!list.isEmpty()) {
        window.openPlotList(list);
    }
    for (const QString& file : files) {
        window.openResult(file);
    }
    return app.exec();
}
