// Plot window: tabs, menus, saving.
#include "PlotWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyleOptionTab>
#include <QSvgGenerator>
#include <QTabBar>
#include <QTabWidget>

#include <string>
#include <vector>

#include "ChartFactory.h"
#include "PlotList.h"
#include "PlotRecipe.h"
#include "ResultFile.h"
#include "kovbase.h"

namespace {

// The page property holding the kind of its tab ("J-V (light)"), which the
// caption carries alone, or followed by the file when two tabs share it.
const char* const KIND = "kovraplotKind";

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* notesPanel(const std::vector<std::string>& notes, QWidget* parent)
{
    QString html = "<table cellspacing='4'>";
    for (const std::string& line : notes) {
        const size_t equals = line.find(" = ");
        if (equals == std::string::npos) {
            html += "<tr><td colspan='2'>" + fromUtf8(line).toHtmlEscaped() + "</td></tr>";
        } else {
            html += "<tr><td><b>" + fromUtf8(line.substr(0, equals)).toHtmlEscaped() +
                    "</b></td><td>" + fromUtf8(line.substr(equals + 3)).toHtmlEscaped() +
                    "</td></tr>";
        }
    }
    html += "</table>";
    auto* label = new QLabel(html, parent);
    label->setObjectName("notes");
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(8);
    label->setStyleSheet("QLabel#notes { background: white; }");
    return label;
}

// One page of charts: one alone, two side by side, more in a 2-column grid;
// named figures in a panel at the right. The charts are made when the page
// is first shown (or saved): a chart costs milliseconds and megabytes, and
// a window opened on hundreds of files shows one page of them at a time.
class PlotPage : public QWidget {
public:
    explicit PlotPage(PlotTab content) : tab(std::move(content))
    {
        setObjectName("page");
        setAutoFillBackground(true);
        QPalette shade = palette();
        shade.setColor(QPalette::Window, Qt::white);
        setPalette(shade);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(4, 4, 4, 4);
        if (!tab.charts.empty()) {
            grid = new QGridLayout;
            grid->setSpacing(4);
            row->addLayout(grid, 1);
        }
        if (!tab.notes.empty()) {
            QWidget* notes = notesPanel(tab.notes, this);
            if (tab.charts.empty()) {
                row->addWidget(notes, 1);
            } else {
                notes->setMaximumWidth(240);
                row->addWidget(notes, 0, Qt::AlignTop);
            }
        }
        setToolTip(fromUtf8(tab.path));
    }

    // Makes the charts, once; the series are dropped afterwards, the charts
    // hold their own copies.
    void buildCharts()
    {
        if (grid == nullptr || tab.charts.empty()) {
            return;
        }
        const int columns = tab.charts.size() == 1 ? 1 : 2;
        for (size_t i = 0; i < tab.charts.size(); ++i) {
            grid->addWidget(ChartFactory_create(tab.charts[i], this), static_cast<int>(i) / columns,
                            static_cast<int>(i) % columns);
        }
        tab.charts.clear();
        tab.charts.shrink_to_fit();
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        buildCharts();
        QWidget::showEvent(event);
    }

private:
    PlotTab tab;
    QGridLayout* grid = nullptr;
};

// Qt's tab bar lays out every tab at each insertion, and three times for a
// closable one (for its close button and hover state), even while hidden:
// each layout asks every tab for its size and places every close button,
// so N tabs going in one by one cost N² of those. While a batch goes in the
// bar is hidden and is laid out again once shown, so the layouts made in
// between only need to be cheap: sizes are taken from the first tab of the
// same caption, and the close buttons are placed from the tab's rectangle
// alone.
class BatchTabBar : public QTabBar {
public:
    void setBatch(bool on)
    {
        batch = on;
        for (Sizes& known : sizes) {
            known.clear();
        }
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        return batch ? sizeOf(index, false) : QTabBar::tabSizeHint(index);
    }
    QSize minimumTabSizeHint(int index) const override
    {
        return batch ? sizeOf(index, true) : QTabBar::minimumTabSizeHint(index);
    }
    void initStyleOption(QStyleOptionTab* option, int index) const override
    {
        if (!batch) {
            QTabBar::initStyleOption(option, index);
            return;
        }
        option->rect = tabRect(index);
        option->shape = shape();
        option->documentMode = documentMode();
    }

private:
    using Sizes = QHash<QString, QSize>;

    QSize sizeOf(int index, bool minimum) const
    {
        // A close button widens the tab, and the first tab is measured
        // before its button is set: sizes are kept apart by the buttons.
        const int buttons = (tabButton(index, LeftSide) != nullptr ? 1 : 0) +
                            (tabButton(index, RightSide) != nullptr ? 2 : 0);
        Sizes& known = sizes[buttons * 2 + (minimum ? 1 : 0)];
        const QString text = tabText(index);
        auto found = known.constFind(text);
        if (found == known.constEnd()) {
            found = known.insert(
                text, minimum ? QTabBar::minimumTabSizeHint(index) : QTabBar::tabSizeHint(index));
        }
        return *found;
    }

    bool batch = false;
    mutable Sizes sizes[8];  // by buttons and minimum or not
};

// QTabWidget takes its own tab bar only from a subclass.
class BatchTabWidget : public QTabWidget {
public:
    explicit BatchTabWidget(QWidget* parent) : QTabWidget(parent), bar(new BatchTabBar)
    {
        setTabBar(bar);
    }
    BatchTabBar* batchBar() const { return bar; }

private:
    BatchTabBar* bar;
};

}  // namespace

PlotWindow::PlotWindow(const QString& title, QWidget* parent) : QMainWindow(parent)
{
    setObjectName("KovraPlot");
    setWindowTitle(title.isEmpty() ? QStringLiteral("KovraPlot")
                                   : QStringLiteral("KovraPlot - ") + title);
    stack = new QStackedWidget(this);
    auto* hint =
        new QLabel("No result open.\nUse File > Open to read a result file of a simulation "
                   "(simulout_jv.txt, simulout_dist_1.txt, ...).",
                   stack);
    hint->setObjectName("hint");
    hint->setAlignment(Qt::AlignCenter);
    tabWidget = new BatchTabWidget(stack);
    tabWidget->setObjectName("tabs");
    tabWidget->setTabsClosable(true);
    tabWidget->setDocumentMode(true);
    QObject::connect(tabWidget, &QTabWidget::tabCloseRequested, this, [this](int index) {
        QWidget* page = tabWidget->widget(index);
        const QString kind = page->property(KIND).toString();
        tabWidget->removeTab(index);
        delete page;
        nameTabsAfterClosing(kind);
        showTabsOrHint();
    });
    stack->addWidget(hint);
    stack->addWidget(tabWidget);
    setCentralWidget(stack);
    reporter = [this](const QString& message) { QMessageBox::warning(this, "KovraPlot", message); };
    chooser = [this](bool save) {
        const QString filter =
            save ? QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)")
                 : QStringLiteral("Result files (simul*.txt *.txt);;All files (*)");
        return save ? QFileDialog::getSaveFileName(this, "Save plot", QString(), filter)
                    : QFileDialog::getOpenFileName(this, "Open result file", QString(), filter);
    };
    buildMenus();
    resize(1200, 800);
    showTabsOrHint();
}

void PlotWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Open...", QKeySequence::Open, this, [this] {
        const QString path = chooser(false);
        if (!path.isEmpty()) {
            openResult(path);
        }
    });
    QAction* save = file->addAction("&Save as PNG or SVG...", QKeySequence::Save, this, [this] {
        if (tabWidget->count() == 0) {
            report("There is no plot to save.");
            return;
        }
        QString path = chooser(true);
        if (path.isEmpty()) {
            return;
        }
        if (QFileInfo(path).suffix().isEmpty()) {
            path += ".png";
        }
        if (saveCurrent(path)) {
            statusBar()->showMessage("Saved " + path, 5000);
        }
    });
    save->setObjectName("save");
    file->addSeparator();
    file->addAction("&Close tab", QKeySequence::Close, this, [this] {
        if (tabWidget->count() > 0) {
            emit tabWidget->tabCloseRequested(tabWidget->currentIndex());
        }
    });
    file->addAction("&Quit", QKeySequence::Quit, this, [this] { close(); });
}

void PlotWindow::showTabsOrHint() { stack->setCurrentIndex(tabWidget->count() > 0 ? 1 : 0); }

void PlotWindow::report(const QString& message)
{
    statusBar()->showMessage(message, 10000);
    if (reporter) {
        reporter(message);
    }
}

bool PlotWindow::addTab(const std::string& path, std::string& error, bool named)
{
    ResultTable table;
    std::string message;
    if (!ResultFile_read(path, table, message)) {
        error = message;
        return false;
    }
    PlotTab tab = PlotRecipe_forTable(table);
    // The photovoltaic figures and the highest EQE belong beside their sweep.
    const std::string summaryPath = PlotList_summaryOf(table.path);
    ResultTable summary;
    if (!summaryPath.empty() && QFileInfo::exists(fromUtf8(summaryPath)) &&
        ResultFile_read(summaryPath, summary, message)) {
        for (const std::string& line : PlotRecipe_figureLines(summary)) {
            tab.notes.push_back(line);
        }
    }
    if (tab.charts.empty() && tab.notes.empty()) {
        error = path + ": nothing to draw (fewer than two columns)";
        return false;
    }
    const QString kind = fromUtf8(tab.title);
    auto* page = new PlotPage(std::move(tab));
    page->setProperty(KIND, kind);
    const int index = tabWidget->addTab(page, named ? kind : QString());
    tabWidget->setTabToolTip(index, fromUtf8(path));
    if (named) {
        nameNewTab(index, kind);
    }
    if (table.nonFinite > 0) {
        statusBar()->showMessage(QFileInfo(fromUtf8(path)).fileName() + ": " +
                                     fromUtf8(PlotRecipe_nonFiniteNote(table.nonFinite)),
                                 10000);
    }
    return true;
}

QString PlotWindow::captionWithFile(int index, const QString& kind) const
{
    // Folder and name: the runs of two folders write the same names.
    const QFileInfo file(tabWidget->tabToolTip(index));
    return kind + " — " + file.dir().dirName() + "/" + file.fileName();
}

void PlotWindow::nameNewTab(int index, const QString& kind)
{
    const int count = ++tabsOfKind[kind];
    if (count == 1) {
        tabWidget->setTabText(index, kind);
        return;
    }
    tabWidget->setTabText(index, captionWithFile(index, kind));
    if (count == 2) {
        for (int i = 0; i < tabWidget->count(); ++i) {
            if (i != index && tabWidget->widget(i)->property(KIND).toString() == kind) {
                tabWidget->setTabText(i, captionWithFile(i, kind));
                break;
            }
        }
    }
}

void PlotWindow::nameTabsAfterClosing(const QString& kind)
{
    const int count = --tabsOfKind[kind];
    if (count <= 0) {
        tabsOfKind.remove(kind);
        return;
    }
    if (count == 1) {
        for (int i = 0; i < tabWidget->count(); ++i) {
            if (tabWidget->widget(i)->property(KIND).toString() == kind) {
                tabWidget->setTabText(i, kind);
                break;
            }
        }
    }
}

int PlotWindow::addTabs(const std::vector<std::string>& paths, std::vector<std::string>& failures)
{
    // The tab bar lays out every tab at each insertion, measuring each
    // caption, and a shown one again at each new caption. So the tabs go in
    // without captions and with the bar's layouts made cheap, and are
    // captioned while the bar is hidden, which then lays them out once, in
    // full, when shown again.
    BatchTabBar* bar = static_cast<BatchTabWidget*>(tabWidget)->batchBar();
    const bool barShown = !bar->isHidden();
    bar->hide();
    bar->setBatch(true);
    // A closable tab costs two more layouts as it goes in, placing every
    // close button. Giving the buttons afterwards costs one layout per tab,
    // but for every tab open, so it pays only when the batch is at least
    // as long as the tabs already open.
    const int first = tabWidget->count();
    const bool buttonsAfter = static_cast<qsizetype>(paths.size()) >= first;
    if (buttonsAfter) {
        tabWidget->setTabsClosable(false);
    }
    int opened = 0;
    for (const std::string& path : paths) {
        std::string error;
        if (addTab(path, error, false)) {
            ++opened;
        } else {
            failures.push_back(error);
        }
    }
    tabWidget->setTabsClosable(true);  // gives the buttons left out above
    bar->setBatch(false);
    for (int i = first; i < tabWidget->count(); ++i) {
        nameNewTab(i, tabWidget->widget(i)->property(KIND).toString());
    }
    if (barShown) {
        bar->show();
    }
    if (opened > 0) {
        tabWidget->setCurrentIndex(first);
    }
    showTabsOrHint();
    return opened;
}

bool PlotWindow::openResult(const QString& path)
{
    std::string error;
    if (!addTab(path.toStdString(), error)) {
        report("Cannot read " + QFileInfo(path).fileName() + ":\n" + fromUtf8(error));
        return false;
    }
    tabWidget->setCurrentIndex(tabWidget->count() - 1);
    showTabsOrHint();
    return true;
}

namespace {
std::vector<std::string> utf8Strings(const QStringList& texts)
{
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(texts.size()));
    for (const QString& text : texts) {
        out.push_back(text.toStdString());
    }
    return out;
}
}  // namespace

int PlotWindow::openResults(const QStringList& paths)
{
    std::vector<std::string> failures;
    const int opened = addTabs(utf8Strings(paths), failures);
    if (!failures.empty()) {
        report(fromUtf8(PlotList_failureReport(failures)));
    }
    return opened;
}

int PlotWindow::openPlotList(const QString& listPath)
{
    std::vector<std::string> files;
    std::string message;
    if (!PlotList_read(listPath.toStdString(), files, message)) {
        report(fromUtf8(message));
        return 0;
    }
    std::vector<std::string> failures;
    const int opened = addTabs(files, failures);
    if (!failures.empty()) {
        report(fromUtf8(PlotList_failureReport(failures)));
    } else if (files.empty()) {
        report("The plot list " + listPath + " names no result file.");
    }
    return opened;
}

QWidget* PlotWindow::page(int index) const
{
    auto* page = static_cast<PlotPage*>(tabWidget->widget(index));
    if (page != nullptr) {
        page->buildCharts();
    }
    return page;
}

bool PlotWindow::saveCurrent(const QString& path)
{
    QWidget* page = this->page(tabWidget->currentIndex());
    if (page == nullptr) {
        report("There is no plot to save.");
        return false;
    }
    // Writing into a FIFO would block the window until another program
    // read it; a folder or a device is no place for a picture either.
    if (const char* kind = kov_otherFileKindA(path.toStdString().c_str())) {
        report("Cannot write " + path + ": it is " + kind + ", not a regular file");
        return false;
    }
    bool saved = false;
    if (path.endsWith(".svg", Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(page->size());
        svg.setViewBox(QRect(QPoint(0, 0), page->size()));
        svg.setTitle(tabWidget->tabText(tabWidget->currentIndex()));
        svg.setDescription("KovraPlot: " + tabWidget->tabToolTip(tabWidget->currentIndex()));
        QPainter painter;
        if (painter.begin(&svg)) {
            page->render(&painter);
            saved = painter.end();
        }
    } else {
        saved = page->grab().save(path, "PNG");
    }
    if (!saved) {
        report("Cannot write " + path);
    }
    return saved;
}
