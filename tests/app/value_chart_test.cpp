#include "app/map_view.h"
#include "app/value_chart.h"
#include "history/calendar.h"
#include "window_fixture.h"

#include <QLineSeries>
#include <QSlider>
#include <QValueAxis>

namespace senki {
namespace {

using testing::Utf8;

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 128, 0);
constexpr QRgb kYellow = qRgb(255, 255, 0);

QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

bool HasColour(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

class ValueChartTest : public testing::WindowFixture {
protected:
    std::vector<int> PointCounts() const
    {
        return {int(window.Series1->count()), int(window.Series2->count()), int(window.Series3->count())};
    }
    std::vector<int> Counts(int n) const { return {n, n, n}; }
    bool ShowsMap() const { return !window.Image1->isHidden() && window.Chart1->isHidden(); }
    bool ShowsChart() const { return window.Image1->isHidden() && !window.Chart1->isHidden(); }
    QRgb PanelColour() const { return window.Chart1->chart()->backgroundBrush().color().rgb() & 0xFFFFFF; }
};

TEST_F(ValueChartTest, ViewsBeforeAnyLoad)
{
    EXPECT_TRUE(ShowsMap());
    EXPECT_TRUE(window.Chart1->BackgroundPicture().isNull());

    window.N8->trigger();  // 表: an empty chart on the panel colour
    EXPECT_TRUE(ShowsChart());
    EXPECT_TRUE(window.N8->isChecked());
    EXPECT_FALSE(window.N7->isChecked() || window.N9->isChecked());
    EXPECT_EQ(PointCounts(), Counts(0));
    QImage chart = Grab(window.Chart1);
    EXPECT_EQ(At(chart, 3, 3), PanelColour());
    EXPECT_FALSE(HasColour(chart, kRed));

    window.N9->trigger();  // マップ+表: the clean map behind the empty chart
    EXPECT_TRUE(window.N9->isChecked());
    EXPECT_EQ(window.Chart1->BackgroundPicture(), window.Maps->BaseMap());
    EXPECT_EQ(window.Maps->ChartBackMap(), window.Maps->BaseMap());
    chart = Grab(window.Chart1);
    EXPECT_EQ(At(chart, 3, 3), At(window.Maps->BaseMap(), 3, 3));

    window.N7->trigger();
    EXPECT_TRUE(ShowsMap());
    EXPECT_TRUE(window.N7->isChecked());
}

TEST_F(ValueChartTest, RefillGivesEachSeriesThePointsUpToTheRecordShown)
{
    Open(Save(300, 6));
    const auto& table = window.History.SeriesTable();
    struct Row {
        int record;
        int points;
    };
    // Record 0 leaves the chart empty; past 255 the lines stop at record 255.
    for (const Row row : {Row{0, 0}, Row{1, 2}, Row{5, 6}, Row{255, 256}, Row{299, 256}, Row{0, 0}}) {
        window.ShowRecord(row.record);
        ASSERT_EQ(PointCounts(), Counts(row.points)) << row.record;
        for (int s = 0; s < 3; ++s) {
            const QList<QPointF> points = window.Chart1->Series(s)->points();
            for (int i = 0; i < row.points; ++i)
                ASSERT_EQ(points[i], QPointF(i, table[s][i])) << "record " << row.record << " series " << s;
        }
    }
    // The axes span the points present.
    window.ShowRecord(5);
    auto* x = qobject_cast<QValueAxis*>(window.Chart1->chart()->axes(Qt::Horizontal).first());
    auto* y = qobject_cast<QValueAxis*>(window.Chart1->chart()->axes(Qt::Vertical).first());
    EXPECT_EQ(x->min(), 0);
    EXPECT_EQ(x->max(), 5);
    int low = table[0][0], high = table[0][0];
    for (int s = 0; s < 3; ++s)
        for (int i = 0; i <= 5; ++i) {
            low = std::min(low, table[s][i]);
            high = std::max(high, table[s][i]);
        }
    EXPECT_EQ(y->min(), low);
    EXPECT_EQ(y->max(), high);
}

TEST_F(ValueChartTest, TheChartIsRefilledWhileHidden)
{
    Open(Save(40));
    window.TrackBar1->setValue(12);
    EXPECT_TRUE(window.Chart1->isHidden());
    EXPECT_EQ(PointCounts(), Counts(13));
    window.N8->trigger();
    const QImage chart = Grab(window.Chart1);
    EXPECT_TRUE(HasColour(chart, kRed));
    EXPECT_TRUE(HasColour(chart, kGreen));
    EXPECT_TRUE(HasColour(chart, kYellow));
}

TEST_F(ValueChartTest, TheBackgroundFollowsTheViewAndTheRecordShown)
{
    Open(Save(40, 3));
    window.TrackBar1->setValue(4);

    window.N8->trigger();  // Map → Table: no background
    EXPECT_TRUE(window.Chart1->BackgroundPicture().isNull());

    window.N9->trigger();  // Table → Map+Table: the current map
    EXPECT_EQ(window.Chart1->BackgroundPicture(), window.Maps->WorkMap());
    EXPECT_EQ(window.Maps->ChartBackMap(), window.Maps->WorkMap());

    window.TrackBar1->setValue(30);  // every record shown renews it
    EXPECT_EQ(window.Chart1->BackgroundPicture(), window.Maps->WorkMap());

    window.N7->trigger();  // Map+Table → Map → another record → Map+Table
    window.TrackBar1->setValue(9);
    EXPECT_NE(window.Chart1->BackgroundPicture(), window.Maps->WorkMap()) << "left as it was in the Map view";
    window.N9->trigger();
    EXPECT_EQ(window.Chart1->BackgroundPicture(), window.Maps->WorkMap());
    EXPECT_TRUE(window.N9->isChecked());

    // Choosing it again copies the current map again and keeps the mark.
    window.N9->trigger();
    EXPECT_TRUE(window.N9->isChecked());
    EXPECT_EQ(window.Maps->ChartBackMap(), window.Maps->WorkMap());

    // The view's copies are independent of the maps they came from.
    EXPECT_NE(window.Chart1->BackgroundPicture().constBits(), window.Maps->WorkMap().constBits());
    EXPECT_NE(window.Chart1->BackgroundPicture().constBits(), window.Maps->ChartBackMap().constBits());
}

TEST(ValueChartDrawingTest, TheBackgroundIsStretchedBehindEverything)
{
    // Blue above, green below: the 375 rows go into the chart's 374.
    QImage picture(560, 375, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    for (int y = 188; y < 375; ++y)
        for (int x = 0; x < 560; ++x)
            picture.setPixel(x, y, qRgb(0, 200, 0));
    ValueChart chart;
    chart.resize(560, 374);
    chart.SetBackgroundPicture(picture);
    picture.fill(Qt::white);  // the chart holds its own copy
    QImage drawn = Grab(&chart);
    ASSERT_EQ(drawn.size(), QSize(560, 374));
    EXPECT_EQ(At(drawn, 1, 1), 0x0000FFu) << "outside the axes too";
    EXPECT_EQ(At(drawn, 558, 1), 0x0000FFu);
    EXPECT_EQ(At(drawn, 280, 100), 0x0000FFu) << "the plot area is not filled";
    EXPECT_EQ(At(drawn, 280, 250), 0x00C800u);
    EXPECT_EQ(At(drawn, 1, 372), 0x00C800u);

    chart.RemoveBackgroundPicture();
    drawn = Grab(&chart);
    EXPECT_EQ(At(drawn, 1, 1), chart.chart()->backgroundBrush().color().rgb() & 0xFFFFFF);
}

}  // namespace
}  // namespace senki
