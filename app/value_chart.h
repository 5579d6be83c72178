#pragma once
// The value chart: three lines over the records from the first one up to the
// one shown, on the chart's panel colour or on a background picture stretched
// over the whole chart.

#include "history/history_store.h"

#include <QChartView>
#include <QImage>

#include <array>

class QLineSeries;
class QValueAxis;

namespace senki {

class ValueChart : public QChartView {
public:
    explicit ValueChart(QWidget* parent = nullptr);

    // Series1, Series2 and Series3, fed by columns 0, 1 and 2 of the table.
    QLineSeries* Series(int s) const { return series_[std::size_t(s)]; }

    // The two steps of the chart refill. EmptySeries removes every point.
    // FillSeries gives each series the points (i, table[s][i]) for i = 0..last
    // in one replacement and ranges the axes over them; for `last` 0 it adds
    // nothing, as the first record shows an empty chart. Filling right after
    // emptying is the fast order: the axes then change while no line is laid out.
    void EmptySeries();
    void FillSeries(const SeriesTableArray& table, int last);

    // The background becomes an independent copy of `picture`.
    void SetBackgroundPicture(const QImage& picture);
    void RemoveBackgroundPicture();
    const QImage& BackgroundPicture() const { return background_; }

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;

private:
    void SetAxisRange(QValueAxis* axis, double low, double high);

    std::array<QLineSeries*, kSeriesCount> series_{};
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QImage background_;
};

}  // namespace senki
