// The plot window, headless: a plot list opens a tab per result with the
// charts of its kind, an unreadable file is named, and a tab is written as
// PNG and SVG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QtCharts/QChartView>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QValueAxis>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include <set>

#include "ChartFactory.h"
#include "PlotWindow.h"
#include "resultFixtures.h"
#include "tempFolder.h"

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "kovraplot_window_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own clean-up at process exit runs after the
    // static destructors and must still find the application.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

QString q(const std::string& text) { return QString::fromStdString(text); }

struct Fixture {
    TempFolder folder{"kovraplot-"};
    QStringList messages;
    std::unique_ptr<PlotWindow> window;

    Fixture()
    {
        app();
        window = std::make_unique<PlotWindow>("/home/user/cell.kovra");
        window->setReporter([this](const QString& m) { messages << m; });
        window->resize(1200, 800);
    }
    std::string write(const std::string& name, const std::string& text)
    {
        return folder.write(name, text);
    }
    QList<QChartView*> charts(int tab) const
    {
        return window->page(tab)->findChildren<QChartView*>();
    }
};

TEST(PlotWindow, PlotListOpensATabPerResult)
{
    Fixture f;
    const std::string en = f.write("simulout_dist_72.txt", fixtures::dist("EN"));
    const std::string ee = f.write("simulout_dist_01.txt", fixtures::dist("EE"));
    const std::string cv = f.write("simulout_cv.txt", fixtures::CV);
    const std::string jv = f.write("simulout_jv.txt", fixtures::JV);
    f.write("simulout_photovoltaic.txt", fixtures::PHOTOVOLTAIC);
    const std::string list =
        f.write("simulplot.txt", en + "\n" + ee + "\n" + cv + "\n" + jv + "\n");

    EXPECT_EQ(f.window->openPlotList(q(list)), 4);
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    QTabWidget* tabs = f.window->tabs();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), "Band diagram (V = 0.7 V)");
    EXPECT_EQ(tabs->tabText(1), "Band diagram (equilibrium)");
    EXPECT_EQ(tabs->tabText(2), "C-V");
    EXPECT_EQ(tabs->tabText(3), "J-V (light)");
    EXPECT_EQ(f.window->windowTitle(), "KovraPlot - /home/user/cell.kovra");

    ASSERT_EQ(f.charts(0).size(), 4);
    // The densities chart has a log axis; the J-V tab a linear and a log one.
    int logAxes = 0;
    for (QChartView* view : f.charts(0)) {
        logAxes +=
            !view->chart()->axes(Qt::Vertical, nullptr).isEmpty() &&
            qobject_cast<QLogValueAxis*>(view->chart()->axes(Qt::Vertical).first()) != nullptr;
    }
    EXPECT_EQ(logAxes, 1);
    const QList<QChartView*> jvCharts = f.charts(3);
    ASSERT_EQ(jvCharts.size(), 2);
    EXPECT_EQ(jvCharts[0]->chart()->axes(Qt::Horizontal).first()->titleText(), "Voltage (V)");
    auto* jAxis = qobject_cast<QCategoryAxis*>(jvCharts[0]->chart()->axes(Qt::Vertical).first());
    ASSERT_NE(jAxis, nullptr);
    EXPECT_EQ(jAxis->titleText(), "J (A/cm²)");
    EXPECT_TRUE(jAxis->categoriesLabels().contains("0"));
    EXPECT_NE(qobject_cast<QLogValueAxis*>(jvCharts[1]->chart()->axes(Qt::Vertical).first()),
              nullptr);
    // The photovoltaic figures stand beside the J-V curve.
    QLabel* notes = tabs->widget(3)->findChild<QLabel*>("notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->text().contains("Voc")) << notes->text().toStdString();
    EXPECT_TRUE(notes->text().contains("0.584781 V"));
}

TEST(PlotWindow, UnreadableFilesAreNamedAndTheRestOpens)
{
    Fixture f;
    const std::string jv = f.write("simulout_jv.txt", fixtures::JV);
    const std::string bad = f.write("simulout_cv.txt", "# V\tC\n0\t1\n1\tx\n");
    const std::string list =
        f.write("simulplot.txt", f.folder.file("gone.txt") + "\n" + bad + "\n" + jv + "\n");
    EXPECT_EQ(f.window->openPlotList(q(list)), 1);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains(q(f.folder.file("gone.txt"))))
        << f.messages[0].toStdString();
    EXPECT_TRUE(f.messages[0].contains(q(bad) + ": line 3")) << f.messages[0].toStdString();
    EXPECT_EQ(f.window->tabs()->count(), 1);

    f.messages.clear();
    EXPECT_FALSE(f.window->openResult(q(f.folder.file("missing_jv.txt"))));
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains("missing_jv.txt"));
    f.messages.clear();
    EXPECT_EQ(f.window->openPlotList(q(f.folder.file("nolist.txt"))), 0);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains("nolist.txt"));
}

TEST(PlotWindow, EmptyWindowShowsHowToOpen)
{
    Fixture f;
    auto* stack = f.window->findChild<QStackedWidget*>();
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->currentWidget()->objectName(), "hint");
    EXPECT_TRUE(f.window->openResult(q(f.write("simulout_qw.txt", fixtures::QW))));
    EXPECT_EQ(stack->currentWidget(), f.window->tabs());
}

TEST(PlotWindow, SavesTheShownTabAsPngAndSvg)
{
    Fixture f;
    ASSERT_TRUE(f.window->openResult(q(f.write("simulout_jv.txt", fixtures::JV))));
    f.window->show();
    app().processEvents();

    const std::string png = f.folder.file("jv.png");
    ASSERT_TRUE(f.window->saveCurrent(q(png)));
    QImage image(q(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 600);
    EXPECT_GT(image.height(), 300);
    // Something is drawn: many colours (curve, text, grid), not a blank page.
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 20u);

    const std::string svg = f.folder.file("jv.svg");
    ASSERT_TRUE(f.window->saveCurrent(q(svg)));
    const std::string text = readAll(svg);
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("Voltage (V)"), std::string::npos);
    EXPECT_NE(text.find("<polyline"), std::string::npos);  // the curve, as vectors

    EXPECT_FALSE(f.window->saveCurrent(q("/nonexistent-folder/x.png")));
    EXPECT_EQ(f.messages.size(), 1);

    // A FIFO in the picture's place would block the window until read.
    const std::string fifo = f.folder.file("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(f.window->saveCurrent(q(fifo)));
    ASSERT_EQ(f.messages.size(), 2);
    EXPECT_EQ(f.messages[1], q("Cannot write " + fifo + ": it is a FIFO, not a regular file"));
}

// Every axis a chart got is finite, with a span; a log axis positive.
void expectDrawableAxes(QChartView* view, const std::string& name)
{
    for (QAbstractAxis* axis : view->chart()->axes()) {
        double low = 0.0, high = 0.0;
        if (auto* log = qobject_cast<QLogValueAxis*>(axis)) {
            low = log->min();
            high = log->max();
            EXPECT_GT(low, 0.0) << name;
        } else if (auto* linear = qobject_cast<QValueAxis*>(axis)) {
            low = linear->min();
            high = linear->max();
        }
        EXPECT_TRUE(std::isfinite(low) && std::isfinite(high) && std::isfinite(high - low)) << name;
        EXPECT_LT(low, high) << name;
    }
}

TEST(PlotWindow, HostileFilesGiveAWindowOrAClearMessage)
{
    const std::string jv = fixtures::header("JV") + "# Voltage (V)\tJ (A/cm2)\n#\n";
    const std::string cv = fixtures::header("CV") + "# Voltage (V)\tQ (C/cm2)\tC (F/cm2)\n#\n";
    std::string extremes;  // the 23 values of a distribution row after z
    for (int c = 1; c < 24; ++c) {
        extremes += c % 2 ? "\t1e308" : "\t-1e308";
    }
    struct Case {
        const char* name;
        std::string text;
        const char* message;  // empty: a tab opens
    };
    const Case cases[] = {
        {"one J of 5e306", jv + "0\t-0.02\n0.5\t-0.01\n0.7\t5e306\n", ""},
        {"J of the largest double", jv + "0\t-0.02\n0.7\t1.7976931348623157e308\n", ""},
        {"-1e308 .. 1e308 in both columns", jv + "-1e308\t1\n0\t-1e308\n1e308\t1e308\n", ""},
        {"inf and nan", jv + "0\tinf\n0.5\tnan\n0.7\t-inf\n0.8\t0.1\n", ""},
        {"only inf and nan", jv + "0\tinf\n0.5\tnan\n", ""},
        {"all identical", jv + "0.3\t0.3\n0.3\t0.3\n0.3\t0.3\n", ""},
        {"all zero", jv + "0\t0\n0\t0\n", ""},
        {"one row", jv + "0.3\t-0.02\n", ""},
        {"denormals", jv + "0\t4.9e-324\n1e-320\t-1e-320\n", ""},
        {"large offset, small span", jv + "1e15\t-0.02\n1000000000000001\t1e-3\n", ""},
        {"zero and huge capacitance", cv + "0\t0\t0\n0.1\t1e300\t1e300\n0.2\t-1e300\t1e-300\n", ""},
        {"distribution of extremes",
         fixtures::header("EN") + fixtures::DIST_TITLES + "0" + extremes + "\n1e-300" + extremes +
             "\n",
         ""},
        {"empty", "", "no data"},
        {"header only", jv, "no data"},
        {"garbage",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0\x03\x00>\x00\n\xff\xfe garbage",
                     30),
         "line 1"},
        {"a word among the numbers", jv + "0\t0.1\n0.1\tabc\n",
         "line 13 is neither a comment nor a row"},
        {"ragged rows", jv + "0\t0.1\n0.1\n", "line 13 holds 1 values where the rows above hold 2"},
        {"rows of 3 of 24 titled columns",
         fixtures::header("EN") + fixtures::DIST_TITLES + "0\t0.48\t-0\n1\t0.2\t0\n",
         "simulout_jv.txt: line 12 holds 3 values where the column titles name 24; missing: Ep, "
         "Fn"},
        {"one column", fixtures::header("JV") + "# Voltage (V)\n#\n0\n0.1\n", "nothing to draw"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        const std::string path = f.write("simulout_jv.txt", c.text);
        const bool opened = f.window->openResult(q(path));
        if (c.message[0] != '\0') {
            EXPECT_FALSE(opened);
            ASSERT_EQ(f.messages.size(), 1);
            EXPECT_TRUE(f.messages[0].contains(c.message)) << f.messages[0].toStdString();
            EXPECT_EQ(f.window->tabs()->count(), 0);
            continue;
        }
        ASSERT_TRUE(opened) << f.messages.join("\n").toStdString();
        EXPECT_TRUE(f.messages.isEmpty());
        // Drawn for real: the axes and the paint of every chart.
        f.window->show();
        app().processEvents();
        for (QChartView* view : f.charts(0)) {
            expectDrawableAxes(view, c.name);
        }
        EXPECT_FALSE(f.window->tabs()->widget(0)->grab().isNull());
    }
}

TEST(PlotWindow, NonFiniteValuesAreCountedBesideTheCharts)
{
    Fixture f;
    ASSERT_TRUE(f.window->openResult(q(f.write(
        "simulout_jv.txt", fixtures::header("JV") + "# Voltage (V)\tJ (A/cm2)\n#\n"
                                                    "0\tinf\n0.5\tnan\n0.7\t-0.01\n0.8\t0.1\n"))));
    QLabel* notes = f.window->tabs()->widget(0)->findChild<QLabel*>("notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->text().contains("2 values are not finite numbers"))
        << notes->text().toStdString();
}

TEST(PlotWindow, OversizedFileIsRefusedByName)
{
    // Sparse: 40 MB on paper, nothing on the disk, refused before reading.
    Fixture f;
    const std::string big = f.write("simulout_dist_1.txt", "");
    std::filesystem::resize_file(big, size_t(40) << 20);
    EXPECT_FALSE(f.window->openResult(q(big)));
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(
        f.messages[0].contains("simulout_dist_1.txt: 40 MB is more than the 32 MB kovraplot reads"))
        << f.messages[0].toStdString();
}

TEST(PlotWindow, TabsOfOneKindAreToldApartByTheirFiles)
{
    Fixture f;
    const std::string dark =
        fixtures::header("JV") + "# Voltage (V)\tJ (A/cm2)\n#\n-0.5\t-1e-9\n0\t0\n0.5\t1e-3\n";
    for (const char* run : {"run-a", "run-b", "run-c"}) {
        std::filesystem::create_directory(f.folder.file(run));
    }
    const std::string lightA = f.write("run-a/simulout_jv.txt", fixtures::JV);
    const std::string darkB = f.write("run-b/simulout_jv.txt", dark);
    const std::string lightC = f.write("run-c/simulout_jv.txt", fixtures::JV);
    QTabWidget* tabs = f.window->tabs();
    ASSERT_TRUE(f.window->openResult(q(lightA)));
    ASSERT_TRUE(f.window->openResult(q(darkB)));
    EXPECT_EQ(tabs->tabText(0), "J-V (light)");
    EXPECT_EQ(tabs->tabText(1), "J-V (dark)");
    // A second light J-V: both light tabs name their folder and file.
    ASSERT_TRUE(f.window->openResult(q(lightC)));
    EXPECT_EQ(tabs->tabText(0), "J-V (light) — run-a/simulout_jv.txt");
    EXPECT_EQ(tabs->tabText(1), "J-V (dark)");
    EXPECT_EQ(tabs->tabText(2), "J-V (light) — run-c/simulout_jv.txt");
    // Closing one leaves the other alone with its kind.
    emit tabs->tabCloseRequested(0);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "J-V (light)");
}

// Many files of one kind opened at once, through a plot list and as a list
// of files: every tab names its folder and file while its kind has several,
// and the first of a kind goes back to the kind alone when it is left alone.
// Only the shown page has made its charts.
TEST(PlotWindow, ManyTabsOfOneKindOpenedTogetherAreNamedByTheirFiles)
{
    Fixture f;
    std::string list;
    QStringList more;
    for (int run = 0; run < 30; ++run) {
        const std::string folder = "run" + std::to_string(run);
        std::filesystem::create_directory(f.folder.file(folder));
        const std::string path = f.write(folder + "/simulout_dist_1.txt", fixtures::dist("EN"));
        if (run < 20) {
            list += path + "\n";
        } else {
            more << q(path);
        }
    }
    list += f.write("simulout_jv.txt", fixtures::JV) + "\n";
    f.window->show();
    QTabWidget* tabs = f.window->tabs();
    ASSERT_EQ(f.window->openPlotList(q(f.write("simulplot.txt", list))), 21);
    ASSERT_EQ(f.window->openResults(more), 10);
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    ASSERT_EQ(tabs->count(), 31);
    const QString kind = "Band diagram (V = 0.7 V)";
    for (int i = 0; i < 31; ++i) {
        const int run = i < 20 ? i : i - 1;
        const QString expected =
            i == 20 ? "J-V (light)"
                    : kind + " — run" + QString::number(run) + "/simulout_dist_1.txt";
        EXPECT_EQ(tabs->tabText(i), expected) << i;
    }
    // The first page of each batch was shown; no other page made charts.
    EXPECT_EQ(tabs->currentIndex(), 21);
    app().processEvents();
    EXPECT_EQ(f.window->findChildren<QChartView*>().size(), 8);

    // Closing down to one distribution gives it back its kind alone.
    while (tabs->count() > 2) {
        emit tabs->tabCloseRequested(tabs->tabText(1).startsWith("J-V") ? 2 : 1);
    }
    EXPECT_EQ(tabs->tabText(0), kind);
    EXPECT_EQ(tabs->tabText(1), "J-V (light)");
    // A second of the kind named anew: both carry their files again.
    ASSERT_TRUE(f.window->openResult(more[0]));
    EXPECT_EQ(tabs->tabText(0), kind + " — run0/simulout_dist_1.txt");
    EXPECT_EQ(tabs->tabText(2), kind + " — run20/simulout_dist_1.txt");
}

// Tabs opened together go in with the tab bar's layouts cut short, and
// their close buttons given at the end when the batch is long; once shown
// they are laid out as tabs opened one by one: same captions, same places,
// and each tab with its close button, on the tab.
TEST(PlotWindow, TabsOpenedTogetherAreLaidOutAsTabsOpenedOneByOne)
{
    Fixture together;
    Fixture oneByOne;
    QStringList paths;
    for (int run = 0; run < 12; ++run) {
        const std::string folder = "run" + std::to_string(run);
        std::filesystem::create_directory(together.folder.file(folder));
        paths << q(together.write(folder + "/simulout_dist_1.txt", fixtures::dist("EN")));
    }
    paths << q(together.write("simulout_jv.txt", fixtures::JV));
    together.window->show();
    oneByOne.window->show();
    // A batch into an empty window, a longer one, and a shorter one.
    ASSERT_EQ(together.window->openResults(paths.mid(0, 4)), 4);
    ASSERT_EQ(together.window->openResults(paths.mid(4, 8)), 8);
    ASSERT_EQ(together.window->openResults(paths.mid(12)), 1);
    for (const QString& path : paths) {
        ASSERT_TRUE(oneByOne.window->openResult(path));
    }
    together.window->tabs()->setCurrentIndex(0);
    oneByOne.window->tabs()->setCurrentIndex(0);
    app().processEvents();

    QTabBar* bar = together.window->tabs()->tabBar();
    QTabBar* expected = oneByOne.window->tabs()->tabBar();
    ASSERT_EQ(bar->count(), paths.size());
    int placed = 0;
    for (int i = 0; i < bar->count(); ++i) {
        EXPECT_EQ(bar->tabText(i), expected->tabText(i)) << i;
        EXPECT_EQ(bar->tabRect(i), expected->tabRect(i)) << i;
        QWidget* close = bar->tabButton(i, QTabBar::RightSide);
        if (close == nullptr) {
            close = bar->tabButton(i, QTabBar::LeftSide);
        }
        ASSERT_NE(close, nullptr) << i;
        if (bar->tabRect(i).intersects(bar->rect())) {
            EXPECT_TRUE(bar->tabRect(i).contains(close->geometry())) << i;
            ++placed;
        }
    }
    EXPECT_GT(placed, 0);
}

// A plot list names its files relative to its own folder, whatever folder
// the plot tool was started from.
TEST(PlotWindow, PlotListWithRelativePathsOpensTheFilesBesideIt)
{
    Fixture f;
    std::filesystem::create_directory(f.folder.file("sub"));
    f.write("simulout_jv.txt", fixtures::JV);
    f.write("sub/simulout_cv.txt", fixtures::CV);
    const std::string list = f.write("simulplot.txt", "simulout_jv.txt\nsub/simulout_cv.txt\n");
    ASSERT_NE(std::filesystem::current_path(), std::filesystem::path(f.folder.path()));
    EXPECT_EQ(f.window->openPlotList(q(list)), 2) << f.messages.join("\n").toStdString();
    EXPECT_TRUE(f.messages.isEmpty());
}

// A binary file given as a plot list: one message, a few lines long, whose
// unprintable bytes are shown as \xNN, with the count of the reasons left out.
TEST(PlotWindow, BinaryPlotListGivesAShortReadableMessage)
{
    Fixture f;
    std::string garbage;
    for (int line = 0; line < 300; ++line) {
        for (int b = 0; b < 40; ++b) {
            garbage += static_cast<char>(
                (line * 31 + b * 7) % 256 == '\n' ? 0 : (line * 31 + b * 7) % 256);
        }
        garbage += '\n';
    }
    EXPECT_EQ(f.window->openPlotList(q(f.write("simulplot.txt", garbage))), 0);
    ASSERT_EQ(f.messages.size(), 1);
    const QString message = f.messages[0];
    EXPECT_LE(message.count('\n'), 6) << message.toStdString();
    EXPECT_TRUE(message.contains(QRegularExpression("\\.\\.\\. and \\d+ more$")))
        << message.toStdString();
    EXPECT_TRUE(message.contains("\\x00")) << message.toStdString();
    for (const QChar c : message) {
        EXPECT_TRUE(c == '\n' || (c.isPrint() && c != QChar::ReplacementCharacter))
            << "unprintable U+" << std::hex << static_cast<unsigned>(c.unicode());
    }
}

}  // namespace
