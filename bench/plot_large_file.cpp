// The plot tool on large result files: a J-V sweep and a distribution of the
// engine's largest mesh (20,000 points), and files at the row limit the
// reader takes (200,000 rows). Prints, per file, the time to read it, to
// open its tab (read, charts, axes) and to paint that tab once, and the
// peak memory of the process after it.
//   build/bin/plot_large_file [repeats]
#include <QApplication>
#include <QTabWidget>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "PlotWindow.h"
#include "ResultFile.h"
#include "benchClock.h"

namespace {

std::string jvFile(const std::filesystem::path& folder, int rows)
{
    const std::string path = (folder / ("rows" + std::to_string(rows) + "_jv.txt")).string();
    std::ofstream out(path);
    out << "# Kovra <JV>\n#\n# Voltage (V)\tJ (A/cm2)\n#\n";
    char line[96];
    for (int i = 0; i < rows; ++i) {
        const double v = 1.2 * i / rows;
        std::snprintf(line, sizeof line, "%.17g\t%.17g\n", v,
                      1e-12 * std::expm1(v / 0.02585) - 0.03);
        out << line;
    }
    return path;
}

std::string distFile(const std::filesystem::path& folder, int rows)
{
    const std::string path = (folder / ("rows" + std::to_string(rows) + "_dist_1.txt")).string();
    std::ofstream out(path);
    out << "# Kovra <EN>\n#\n# z (um)\tV (V)\t En(V/um)\tEp (V/um)\tFn (eV)\tFp (eV)\tEC (eV)\tEV "
           "(eV)\t"
           "n (1/cm3)\tp (1/cm3)\tNax (1/cm3)\tNdx (1/cm3)\tNtax (1/cm3)\tNtdx (1/cm3)\tQ "
           "(mC/cm3)\t"
           "Qssp (mC/cm2)\tQspi (mC/cm2)\tJn (A/cm2)\tJp (A/cm2)\tJ (A/cm2)\tGop (1/cm3/s)\tRD "
           "(1/cm3/s)\t"
           "RA (1/cm3/s)\tRSRH (1/cm3/s)\n#\n";
    char value[32];
    for (int i = 0; i < rows; ++i) {
        const double z = 4.0 * i / rows;
        out << z;
        for (int c = 1; c < 24; ++c) {
            std::snprintf(value, sizeof value, "\t%.15g",
                          c >= 8 && c <= 13 ? 1e16 * std::exp(-z * c) : std::sin(z * c));
            out << value;
        }
        out << '\n';
    }
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kovraplot-bench";
    std::filesystem::create_directories(folder);
    const std::string files[] = {jvFile(folder, 20000), distFile(folder, 20000),
                                 jvFile(folder, 200000), distFile(folder, 200000 / 24)};

    std::printf("%-22s %8s %10s %10s %10s %12s\n", "file", "MB", "read ms", "open ms", "paint ms",
                "peak MB");
    for (const std::string& path : files) {
        double read = 1e300, open = 1e300, paint = 1e300;
        for (int r = 0; r < repeats; ++r) {
            ResultTable table;
            std::string error;
            auto start = Clock::now();
            if (!ResultFile_read(path, table, error)) {
                std::printf("%s: %s\n", path.c_str(), error.c_str());
                return 1;
            }
            read = std::min(read, msSince(start));

            PlotWindow window;
            window.setReporter(
                [](const QString& message) { std::printf("%s\n", qPrintable(message)); });
            window.resize(1400, 900);
            start = Clock::now();
            window.openResult(QString::fromStdString(path));
            open = std::min(open, msSince(start));
            window.show();
            start = Clock::now();
            window.tabs()->currentWidget()->grab();
            paint = std::min(paint, msSince(start));
        }
        std::printf("%-22s %8.1f %10.1f %10.1f %10.1f %12.1f\n",
                    std::filesystem::path(path).filename().c_str(),
                    std::filesystem::file_size(path) / 1048576.0, read, open, paint,
                    peakKilobytes() / 1024.0);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
