// One whole record display as the slider and auto-play run it: the painting,
// the chart refill at 256 points, the caption and the map view's picture,
// followed by a forced repaint of what is on screen.

#include "app/main_window.h"
#include "app/map_view.h"
#include "app/value_chart.h"
#include "tools/savegen/synthetic_save.h"

#include <QAction>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// A window with a 300-record history loaded, so that records 255 and up
// draw 256 points per series.
class LoadedWindow {
public:
    LoadedWindow()
    {
        path_ = (std::filesystem::temp_directory_path() / "senki-bench-show.sav").string();
        senki::savegen::SaveOptions options;
        options.records = 300;
        options.seed = 1939;
        std::string error;
        if (!senki::savegen::WriteSaveFile(path_, options, error))
            throw std::runtime_error(error);
        window.OpenFile(QString::fromStdString(path_));
        window.show();
    }
    ~LoadedWindow() { std::filesystem::remove(path_); }

    senki::TForm1 window;

private:
    std::string path_;
};

enum View { kMap, kTable, kMapAndTable };

void Render(QWidget* widget, QImage& into)
{
    QPainter painter(&into);
    widget->render(&painter);
}

// Arg: the view (0 マップ, 1 表, 2 マップ+表). The shown widget is rendered
// after every record.
void BM_ShowRecord(benchmark::State& state)
{
    LoadedWindow loaded;
    senki::TForm1& window = loaded.window;
    const View view = View(state.range(0));
    (view == kMap ? window.N7 : view == kTable ? window.N8 : window.N9)->trigger();
    QWidget* shown = view == kMap ? static_cast<QWidget*>(window.Image1) : window.Chart1;
    QImage screen(560, 374, QImage::Format_RGB32);
    int record = 255;
    for (auto _ : state) {
        window.ShowRecord(record);
        Render(shown, screen);
        record = record == 255 ? 299 : 255;  // both draw 256 points per series
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.SetLabel(view == kMap ? "map" : view == kTable ? "table" : "map+table");
}
BENCHMARK(BM_ShowRecord)->Arg(kMap)->Arg(kTable)->Arg(kMapAndTable)->Unit(benchmark::kMicrosecond);

// A drag over records 192..255 and back in the map+table view: 193 to 256
// points, and the axes change with every record.
void BM_ShowRecordScrub(benchmark::State& state)
{
    LoadedWindow loaded;
    senki::TForm1& window = loaded.window;
    window.N9->trigger();
    QImage screen(560, 374, QImage::Format_RGB32);
    int record = 192, direction = 1;
    for (auto _ : state) {
        window.ShowRecord(record);
        Render(window.Chart1, screen);
        if (record + direction < 192 || record + direction > 255)
            direction = -direction;
        record += direction;
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_ShowRecordScrub)->Unit(benchmark::kMicrosecond);

// The chart's share of the map+table display: its refill at 256 points, its
// background and its repaint, without the map painting and the caption.
void BM_ChartOnly(benchmark::State& state)
{
    LoadedWindow loaded;
    senki::TForm1& window = loaded.window;
    window.N9->trigger();
    QImage screen(560, 374, QImage::Format_RGB32);
    for (auto _ : state) {
        window.Chart1->EmptySeries();
        window.Chart1->FillSeries(window.History.SeriesTable(), 255);
        window.Chart1->SetBackgroundPicture(window.Maps->WorkMap());
        Render(window.Chart1, screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_ChartOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
