// The plot tool opening many result files of one kind at once, as the
// device editor's plot list or a command line of files hands them over:
// 10, 100 and 1,000 distribution files (every tab of one kind, so every
// caption names its file), through a plot list and as a list of files,
// into a shown window (offscreen). Prints the time until the window
// answers again, the time per file and the peak memory of the process.
// Opening N files should cost time in proportion to N: the time per file
// stays about the same from 10 to 1,000.
//   build/bin/plot_many_files [largest count]
#include <QApplication>
#include <QTabWidget>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PlotWindow.h"
#include "benchClock.h"

namespace {

// A distribution of the engine's 24 columns over a small mesh: the cost
// measured is that of a tab, not of reading a long file.
std::string distFile(const std::filesystem::path& folder, int index, int rows)
{
    const std::filesystem::path run = folder / ("run" + std::to_string(index));
    std::filesystem::create_directories(run);
    const std::string path = (run / "simulout_dist_1.txt").string();
    std::ofstream out(path);
    out << "# Kovra <EN>\n#\n# z (um)\tV (V)\tEn (V/um)\tEp (V/um)\tFn (eV)\tFp (eV)\tEC (eV)\t"
           "EV (eV)\tn (1/cm3)\tp (1/cm3)\tNax (1/cm3)\tNdx (1/cm3)\tNtax (1/cm3)\tNtdx (1/cm3)\t"
           "Q (mC/cm3)\tQssp (mC/cm2)\tQspi (mC/cm2)\tJn (A/cm2)\tJp (A/cm2)\tJ (A/cm2)\t"
           "Gop (1/cm3/s)\tRD (1/cm3/s)\tRA (1/cm3/s)\tRSRH (1/cm3/s)\n#\n";
    char value[32];
    for (int i = 0; i < rows; ++i) {
        const double z = 4.0 * i / rows;
        out << z;
        for (int c = 1; c < 24; ++c) {
            std::snprintf(value, sizeof value, "\t%.15g",
                          c >= 8 && c <= 13 ? 1e16 * std::exp(-z * c) : std::sin(z * c + index));
            out << value;
        }
        out << '\n';
    }
    return path;
}

// Opens the files in a fresh shown window and returns the milliseconds
// until the window has handled every event the opening left.
double timeOpening(const std::vector<std::string>& files, const std::string& list, bool throughList)
{
    PlotWindow window;
    int messages = 0;
    window.setReporter([&messages](const QString&) { ++messages; });
    window.resize(1400, 900);
    window.show();
    QApplication::processEvents();
    const auto start = Clock::now();
    int opened = 0;
    if (throughList) {
        opened = window.openPlotList(QString::fromStdString(list));
    } else {
        QStringList paths;
        for (const std::string& file : files) {
            paths << QString::fromStdString(file);
        }
        opened = window.openResults(paths);
    }
    QApplication::processEvents();
    const double ms = msSince(start);
    if (opened != static_cast<int>(files.size()) || messages != 0) {
        std::printf("opened %d of %zu files, %d messages\n", opened, files.size(), messages);
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int largest = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "kovraplot-bench-many";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    std::printf("%-8s %-12s %10s %12s %10s\n", "files", "opened by", "ms", "ms per file",
                "peak MB");
    for (int count = 10; count <= largest; count *= 10) {
        std::vector<std::string> files;
        std::string listText;
        for (int i = 0; i < count; ++i) {
            files.push_back(distFile(folder, i, 50));
            listText += files.back() + "\n";
        }
        const std::string list = (folder / "simulplot.txt").string();
        std::ofstream(list) << listText;
        for (const bool throughList : {true, false}) {
            const double ms = timeOpening(files, list, throughList);
            std::printf("%-8d %-12s %10.0f %12.2f %10.1f\n", count,
                        throughList ? "plot list" : "file list", ms, ms / count,
                        peakKilobytes() / 1024.0);
            std::fflush(stdout);
        }
    }
    std::filesystem::remove_all(folder);
    return 0;
}
