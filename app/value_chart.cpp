#include "app/value_chart.h"

#include "app/picture_copy.h"

#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace senki {

namespace {

constexpr QRgb kSeriesColours[kSeriesCount] = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(255, 255, 0)};

// A round distance between axis labels (1, 2 or 5 times a power of ten, at
// least 1) that gives about five labels over `span`.
double LabelStep(double span)
{
    const double raw = std::max(span / 5.0, 1.0);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * magnitude)
            return factor * magnitude;
    return 10.0 * magnitude;
}

}  // namespace

ValueChart::ValueChart(QWidget* parent) : QChartView(parent)
{
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing, false);

    QChart* chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(palette().button());
    chart->setBackgroundPen(Qt::NoPen);
    chart->setPlotAreaBackgroundVisible(false);

    QFont labelFont;
    labelFont.setFamilies({QString::fromUtf8("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho")});
    labelFont.setPixelSize(12);
    axisX_ = new QValueAxis;
    axisY_ = new QValueAxis;
    for (QValueAxis* axis : {axisX_, axisY_}) {
        axis->setLabelsFont(labelFont);
        axis->setLabelsColor(Qt::black);
        axis->setLabelFormat(QStringLiteral("%d"));
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
    }
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);

    for (int s = 0; s < kSeriesCount; ++s) {
        auto* series = new QLineSeries;
        series->setPen(QPen(QColor(kSeriesColours[s]), 2));
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_[std::size_t(s)] = series;
    }
    setChart(chart);  // the view owns the chart, the chart its axes and series
    FillSeries({}, 0);
}

void ValueChart::EmptySeries()
{
    for (QLineSeries* series : series_)
        series->clear();
}

void ValueChart::FillSeries(const SeriesTableArray& table, int last)
{
    if (last <= 0) {
        // No points: the axes keep a plain range of their own.
        SetAxisRange(axisX_, 0, 1);
        SetAxisRange(axisY_, 0, 1);
        return;
    }
    last = std::min(last, kSeriesTableLength - 1);
    std::array<QList<QPointF>, kSeriesCount> points;
    double low = table[0][0], high = table[0][0];
    for (int s = 0; s < kSeriesCount; ++s) {
        points[std::size_t(s)].reserve(last + 1);
        for (int i = 0; i <= last; ++i) {
            const double value = table[std::size_t(s)][std::size_t(i)];
            points[std::size_t(s)].append(QPointF(i, value));
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (low == high) {
        low -= 1;
        high += 1;
    }
    // The axes first: every change of a range lays out every series again,
    // which costs little while the series are still empty.
    SetAxisRange(axisX_, 0, std::max(last, 1));
    SetAxisRange(axisY_, low, high);
    for (int s = 0; s < kSeriesCount; ++s)
        series_[std::size_t(s)]->replace(points[std::size_t(s)]);
}

void ValueChart::SetAxisRange(QValueAxis* axis, double low, double high)
{
    // Every change lays the chart out again, so only what changed is set, and
    // never so that the old label step meets the new range on the way: that
    // could ask the axis for a huge number of labels.
    const double step = LabelStep(high - low);
    if (step > axis->tickInterval())
        axis->setTickInterval(step);
    axis->setRange(low, high);
    if (step < axis->tickInterval())
        axis->setTickInterval(step);
}

void ValueChart::SetBackgroundPicture(const QImage& picture)
{
    CopyPicture(background_, picture);
    chart()->setBackgroundVisible(false);
    viewport()->update();
}

void ValueChart::RemoveBackgroundPicture()
{
    background_ = QImage();
    chart()->setBackgroundVisible(true);
    viewport()->update();
}

void ValueChart::drawBackground(QPainter* painter, const QRectF& rect)
{
    if (background_.isNull()) {
        QChartView::drawBackground(painter, rect);
        return;
    }
    // Stretched over the whole chart, behind the axes, the plot area and the lines.
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(sceneRect(), background_);
    painter->restore();
}

}  // namespace senki
