// The plot window, headless: a plot list opens a tab per result with the
// charts of its kind, an unreadable file is named, and a tab is written as
// PNG and SVG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>
#include <QtCharts/QChartView>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QCategoryAxis>

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

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

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
    std::string write(const std::string& name, const std::string& text) { return folder.write(name, text); }
    QList<QChartView*> charts(int tab) const { return window->tabs()->widget(tab)->findChildren<QChartView*>(); }
};

TEST(PlotWindow, PlotListOpensATabPerResult)
{
    Fixture f;
    const std::string en = f.write("simulout_dist_72.txt", fixtures::dist("EN"));
    const std::string ee = f.write("simulout_dist_01.txt", fixtures::dist("EE"));
    const std::string cv = f.write("simulout_cv.txt", fixtures::CV);
    const std::string jv = f.write("simulout_jv.txt", fixtures::JV);
    f.write("simulout_photovoltaic.txt", fixtures::PHOTOVOLTAIC);
    const std::string list = f.write("simulplot.txt", en + "\n" + ee + "\n" + cv + "\n" + jv + "\n");

    EXPECT_EQ(f.window->openPlotList(q(list)), 4);
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    QTabWidget* tabs = f.window->tabs();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), "Band diagram (V = 0.7 V)");
    EXPECT_EQ(tabs->tabText(1), "Band diagram (equilibrium)");
    EXPECT_EQ(tabs->tabText(2), "C-V");
    EXPECT_EQ(tabs->tabText(3), "J-V");
    EXPECT_EQ(f.window->windowTitle(), "KovraPlot - /home/user/cell.kovra");

    ASSERT_EQ(f.charts(0).size(), 4);
    // The densities chart has a log axis; the J-V tab a linear and a log one.
    int logAxes = 0;
    for (QChartView* view : f.charts(0)) {
        logAxes += !view->chart()->axes(Qt::Vertical, nullptr).isEmpty() &&
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
    EXPECT_NE(qobject_cast<QLogValueAxis*>(jvCharts[1]->chart()->axes(Qt::Vertical).first()), nullptr);
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
    const std::string list = f.write("simulplot.txt", f.folder.file("gone.txt") + "\n" + bad + "\n" + jv + "\n");
    EXPECT_EQ(f.window->openPlotList(q(list)), 1);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains(q(f.folder.file("gone.txt")))) << f.messages[0].toStdString();
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
}

TEST(ChartFactory, LogAxisStepsKeepLabelsFew)
{
    EXPECT_EQ(ChartFactory_logBase(1e-3, 1e3), 10.0);
    EXPECT_EQ(ChartFactory_logBase(1.0, 1e16), 100.0);
    EXPECT_EQ(ChartFactory_logBase(1e-10, 1e20), 1e4);
    EXPECT_EQ(ChartFactory_logBase(0.0, 1.0), 10.0);
    EXPECT_DOUBLE_EQ(ChartFactory_tickStep(100.6), 20.0);
    EXPECT_DOUBLE_EQ(ChartFactory_tickStep(0.7), 0.2);
    EXPECT_DOUBLE_EQ(ChartFactory_tickStep(0.03), 0.005);
    EXPECT_DOUBLE_EQ(ChartFactory_tickStep(6.0), 1.0);
}

TEST(ChartFactory, TickLabelsReadCleanly)
{
    const struct {
        double value, step;
        const char* label;
    } cases[] = {{-3 * 0.2 + 3 * 0.2, 0.2, "0"}, {1e-17, 0.2, "0"}, {-0.4, 0.2, "-0.4"}, {0.6, 0.2, "0.6"},
                 {100, 20, "100"}, {4.5e-8, 5e-9, "4.5×10⁻⁸"}, {3e15, 1e15, "3×10¹⁵"}, {0.005, 0.005, "0.005"},
                 {-2e-4, 1e-4, "-2×10⁻⁴"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ChartFactory_tickLabel(c.value, c.step), c.label) << c.value;
    }
}

}  // namespace
