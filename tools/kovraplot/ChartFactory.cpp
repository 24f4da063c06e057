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
#include <limits>

namespace {

// Colours that stay apart on screen, on paper and in grey.
const QColor PALETTE[] = {QColor(0x1f, 0x4e, 0x9c), QColor(0xc0, 0x39, 0x2b), QColor(0x1e, 0x84, 0x49),
                          QColor(0xd3, 0x84, 0x0b), QColor(0x6c, 0x3a, 0x9e), QColor(0x55, 0x55, 0x55)};

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

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool valid() const { return low <= high; }
};

Range rangeOf(const PlotChart& chart, bool yAxis)
{
    Range r;
    for (const PlotSeries& s : chart.series) {
        for (double v : yAxis ? s.y : s.x) {
            r.low = std::min(r.low, v);
            r.high = std::max(r.high, v);
        }
    }
    return r;
}

// A linear axis over the data with labels at whole multiples of a round
// step, each computed and written on its own (a zero reads "0", never a
// rounding remainder such as -5.6e-17): the position axis spans exactly the
// device, a value axis is widened to the next labels.
QCategoryAxis* linearAxis(Range r, const QString& title, bool tight)
{
    auto* axis = new QCategoryAxis;
    if (!r.valid()) {
        r = {0.0, 1.0};
    }
    if (r.high - r.low <= std::fabs(r.high) * 1e-12) {
        // A constant series (a flat potential, a zero field) still needs a span.
        const double pad = r.high == 0.0 ? 1.0 : std::fabs(r.high) * 0.1;
        r.low -= pad;
        r.high += pad;
    }
    const double step = ChartFactory_tickStep(r.high - r.low);
    if (!tight) {
        r.low = std::floor(r.low / step + 1e-9) * step;
        r.high = std::ceil(r.high / step - 1e-9) * step;
    }
    const double first = std::ceil(r.low / step - 1e-9);
    const double last = std::floor(r.high / step + 1e-9);
    axis->setRange(r.low, r.high);
    axis->setStartValue(r.low);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (double k = first; k <= last; k += 1.0) {
        axis->append(QString::fromStdString(ChartFactory_tickLabel(k * step, step)), k * step);
    }
    styleAxis(axis, title);
    return axis;
}

QLogValueAxis* logAxis(Range r, const QString& title)
{
    auto* axis = new QLogValueAxis;
    if (!r.valid() || r.low <= 0.0) {
        r = {1.0, 10.0};
    }
    // Twenty decades below the largest value are plenty: a density that
    // falls to 1e-22 at a wide-gap contact would squeeze everything else.
    r.low = std::max(r.low, r.high * 1e-20);
    const double base = ChartFactory_logBase(r.low, r.high);
    const double decades = std::log10(base);
    // Whole steps of the base around the data, so that labels are round.
    const double low = std::pow(10.0, std::floor(std::log10(r.low) / decades) * decades);
    const double high = std::pow(10.0, std::ceil(std::log10(r.high) / decades) * decades);
    axis->setBase(base);
    axis->setRange(low, high > low ? high : low * base);
    axis->setLabelFormat("%.0e");
    axis->setMinorTickCount(base == 10.0 ? 8 : static_cast<int>(decades) - 1);
    axis->setMinorGridLineColor(QColor(0xf0, 0xf0, 0xf0));
    styleAxis(axis, title);
    return axis;
}

}  // namespace

std::string ChartFactory_tickLabel(double value, double step)
{
    if (value == 0.0 || std::fabs(value) < step * 1e-6) {
        return "0";
    }
    const int stepExponent = static_cast<int>(std::floor(std::log10(step) + 1e-9));
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value)) + 1e-9));
    char text[64];
    if (exponent >= -3 && exponent < 5) {
        std::snprintf(text, sizeof text, "%.*f", std::max(0, -stepExponent), value);
        return text;
    }
    // Large and small values as a mantissa times a power of ten.
    static const char* const SUPERSCRIPT[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::snprintf(text, sizeof text, "%.*f", std::max(0, exponent - stepExponent), value / std::pow(10.0, exponent));
    std::string label = std::string(text) + "×10";
    if (exponent < 0) {
        label += "⁻";
    }
    for (char digit : std::to_string(std::abs(exponent))) {
        label += SUPERSCRIPT[digit - '0'];
    }
    return label;
}

double ChartFactory_tickStep(double span)
{
    if (!(span > 0.0) || !std::isfinite(span)) {
        return 1.0;
    }
    // 1, 2 or 5 times a power of ten, giving at most six intervals.
    const double magnitude = std::pow(10.0, std::floor(std::log10(span / 6.0)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (span / (factor * magnitude) <= 6.0 + 1e-9) {
            return factor * magnitude;
        }
    }
    return 10.0 * magnitude;
}

double ChartFactory_logBase(double low, double high)
{
    if (!(low > 0.0) || !(high > low)) {
        return 10.0;
    }
    const double decades = std::log10(high) - std::log10(low);
    const int step = std::max(1, static_cast<int>(std::ceil(decades / 8.0)));
    return std::pow(10.0, step);
}

QChartView* ChartFactory_create(const PlotChart& description, QWidget* parent)
{
    auto* chart = new QChart;
    chart->setTitle(QString::fromStdString(description.title));
    chart->setTitleFont(titleFont(chart->titleFont(), 2, true));
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(6, 6, 6, 6));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(description.series.size() > 1);
    QFont legendFont = chart->legend()->font();
    legendFont.setPointSize(9);
    chart->legend()->setFont(legendFont);

    QAbstractAxis* x = linearAxis(rangeOf(description, false), QString::fromStdString(description.xTitle), true);
    QAbstractAxis* y = description.logY
                           ? static_cast<QAbstractAxis*>(logAxis(rangeOf(description, true),
                                                                 QString::fromStdString(description.yTitle)))
                           : linearAxis(description.yWindow ? Range{description.yLow, description.yHigh}
                                                            : rangeOf(description, true),
                                        QString::fromStdString(description.yTitle), false);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    int index = 0;
    for (const PlotSeries& s : description.series) {
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(s.name));
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(s.x.size()));
        for (size_t i = 0; i < s.x.size(); ++i) {
            points.append(QPointF(s.x[i], s.y[i]));
        }
        series->replace(points);
        QPen pen(PALETTE[index % std::size(PALETTE)]);
        pen.setWidthF(2.0);
        if (s.dashed) {
            pen.setStyle(Qt::DashLine);
            pen.setWidthF(1.5);
        }
        series->setPen(pen);
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
