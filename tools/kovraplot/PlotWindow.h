// The plot tool's window: one tab per result file, each with the charts of
// its kind; File > Open adds a result file, File > Save writes the shown tab
// as PNG or SVG. Failures to read a file name it through one reporter, and
// file choosers go through one chooser, so tests answer both.
#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>

class QStackedWidget;
class QTabWidget;

class PlotWindow : public QMainWindow {
public:
    // Shows a message about a file that could not be read or written.
    using Reporter = std::function<void(const QString& message)>;
    // Asks for a file name: save false to open, true to save; empty when
    // the user declines.
    using Chooser = std::function<QString(bool save)>;

    explicit PlotWindow(const QString& title = QString(), QWidget* parent = nullptr);

    // Adds a tab for the result file; false (and a report) when unreadable.
    bool openResult(const QString& path);
    // Adds a tab for each file the plot list names; returns how many opened.
    // Unreadable files are reported together, by name.
    int openPlotList(const QString& listPath);
    // Writes the shown tab: SVG for a name ending ".svg", PNG otherwise.
    bool saveCurrent(const QString& path);

    QTabWidget* tabs() const { return tabWidget; }
    void setReporter(Reporter next) { reporter = std::move(next); }
    void setChooser(Chooser next) { chooser = std::move(next); }

private:
    void buildMenus();
    void showTabsOrHint();
    void report(const QString& message);
    bool addTab(const QString& path, QString& error);
    // Captions the tabs of one kind: the kind alone for a single tab, the
    // kind and the file for several (a light J-V of two runs).
    void nameTabsOfKind(const QString& kind);

    QStackedWidget* stack = nullptr;
    QTabWidget* tabWidget = nullptr;
    Reporter reporter;
    Chooser chooser;
};
