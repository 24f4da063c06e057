// The plot tool's window: one tab per result file, each with the charts of
// its kind; File > Open adds a result file, File > Save writes the shown tab
// as PNG or SVG. Failures to read a file name it through one reporter, and
// file choosers go through one chooser, so tests answer both.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

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
    // Unreadable files are reported together, by name (the first few, and
    // how many more).
    int openPlotList(const QString& listPath);
    // Adds a tab for each file, as a plot list does; returns how many opened.
    int openResults(const QStringList& paths);
    // Writes the shown tab: SVG for a name ending ".svg", PNG otherwise.
    bool saveCurrent(const QString& path);

    QTabWidget* tabs() const { return tabWidget; }
    // The page of a tab with its charts made (a page makes them when first
    // shown); null for no such tab.
    QWidget* page(int index) const;
    void setReporter(Reporter next) { reporter = std::move(next); }
    void setChooser(Chooser next) { chooser = std::move(next); }

private:
    void buildMenus();
    void showTabsOrHint();
    void report(const QString& message);
    // Adds the tab; named false leaves its caption to the caller.
    bool addTab(const std::string& path, std::string& error, bool named = true);
    // Opens the files as one batch: the tab bar is laid out once at the end
    // rather than after every tab. Failures are collected in failures.
    int addTabs(const std::vector<std::string>& paths, std::vector<std::string>& failures);
    // Tabs are captioned with their kind alone while a kind has one tab, and
    // with the kind and the file once it has several (a light J-V of two
    // runs). A new tab names itself, and the first of its kind when it is
    // the second, so opening N files renames O(N) tabs, not O(N²).
    void nameNewTab(int index, const QString& kind);
    // After a tab of the kind was closed: the last one left goes back to the
    // kind alone.
    void nameTabsAfterClosing(const QString& kind);
    QString captionWithFile(int index, const QString& kind) const;

    QStackedWidget* stack = nullptr;
    QTabWidget* tabWidget = nullptr;
    Reporter reporter;
    Chooser chooser;
    QHash<QString, int> tabsOfKind;  // open tabs per kind
};
