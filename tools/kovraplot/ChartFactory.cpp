// Qt chart views from chart descriptions.
#include "ChartFactory.h"

#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "PlotAxis.h"

namespace {

// Colours that stay apart on screen, on paper and in grey.
const QColor PALETTE[] = {QColor(0x1f, 0x4e, 0x9c), QColor(0xc0, 0x39, 0x2b),
                          QColor(0x1e, 0x84, 0x49), QColor(0xd3, 0x84, 0x0b),
                          QColor(0x6c, 0x3a, 0x9e), QColor(0x55, 0x55, 0x55)};

QFont titleFont(const QFont& base, int delta, bool bold)
{
    QFont font = base;
    font.setPointSize(std::max(6, base.pointSize() + delta));
    font.setBold(bold);
    return font;
}

void styleAxis(QAbstractAxis* axis, const QString& title)
{
    axis->setTitleText(title);
    QFont font = axis->titleFont();
    font.setBold(false);
    font.setPointSize(10);
    axis->setTitleFont(font);
    QFont labels = axis->labelsFont();
    labels.setPointSize(9);
    axis->setLabelsFont(labels);
    axis->setGridLineColor(QColor(0xdd, 0xdd, 0xdd));
    axis->setLinePenColor(QColor(0x44, 0x44, 0x44));
}

// A linear axis with a label at each tick, each written on its own.
QCategoryAxis* linearAxis(const LinearAxis& numbers, const QString& title)
{
    auto* axis = new QCategoryAxis;
    axis->setRange(numbers.low, numbers.high);
    axis->setStartValue(numbers.low);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (size_t i = 0; i < numbers.ticks.size(); ++i) {
        axis->append(QString::fromStdString(numbers.labels[i]), numbers.ticks[i]);
    }
    styleAxis(axis, title);
    return axis;
}

QLogValueAxis* logAxis(const LogAxis& numbers, const QString& title)
{
    auto* axis = new QLogValueAxis;
    axis->setBase(numbers.base);
    // A hair beyond the whole decades, so that a rounding in the axis's own
    // logarithms never drops the label of the first or the last one.
    const double top = numbers.high * (1.0 + 1e-12);
    axis->setRange(numbers.low * (1.0 - 1e-12), std::isfinite(top) ? top : numbers.high);
    axis->setLabelFormat("%.0e");
    const int decades = static_cast<int>(std::lround(std::log10(numbers.base)));
    axis->setMinorTickCount(decades == 1 ? 8 : decades - 1);
    axis->setMinorGridLineColor(QColor(0xf0, 0xf0, 0xf0));
    styleAxis(axis, title);
    return axis;
}

}  // namespace

QChartView* ChartFactory_create(const PlotChart& description, QWidget* parent)
{
    auto* chart = new QChart;
    chart->setTitle(QString::fromStdString(description.title));
    chart->setTitleFont(titleFont(chart->titleFont(), 2, true));
    chart->setBackgroundRoundness(0);
    // Room on the right for half of the last tick label ("1.0×10³⁰⁸"), which
    // stands centred on the end of a position axis.
    chart->setMargins(QMargins(6, 6, 24, 6));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(description.series.size() > 1);
    QFont legendFont = chart->legend()->font();
    legendFont.setPointSize(9);
    chart->legend()->setFont(legendFont);

    const ChartAxes numbers = PlotAxis_forChart(description);
    QAbstractAxis* x = linearAxis(numbers.x, QString::fromStdString(description.xTitle));
    const QString yTitle = QString::fromStdString(description.yTitle);
    QAbstractAxis* y = description.logY ? static_cast<QAbstractAxis*>(logAxis(numbers.log, yTitle))
                                        : linearAxis(numbers.y, yTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    int index = 0;
    for (const PlotSeries& s : description.series) {
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(s.name));
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(s.x.size()));
        for (size_t i = 0; i < s.x.size(); ++i) {
            points.append(QPointF(s.x[i] / numbers.x.unit, s.y[i] / numbers.y.unit));
        }
        series->replace(points);
        QPen pen(PALETTE[index % std::size(PALETTE)]);
        pen.setWidthF(2.0);
        if (s.dashed) {
            pen.setStyle(Qt::DashLine);
            pen.setWidthF(1.5);
        }
        series->setPen(pen);
        // A single point draws no line: it is shown as a dot.
        series->setPointsVisible(s.x.size() == 1);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        ++index;
    }

    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    // Drag a rectangle to zoom into a region (the junction of a thick
    // device); the right button zooms back out.
    view->setRubberBand(QChartView::RectangleRubberBand);
    view->setMinimumSize(360, 260);
    return view;
}
