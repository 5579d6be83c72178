// The movie export's frame loop (every record shown, dated and handed to the
// writer fifteen times, the window repainted) against the bare writing of the
// same number of frames of one picture, in the same run.

#include "app/main_window.h"
#include "tools/savegen/synthetic_save.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include <unistd.h>

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_ExportFrameLoopAgainstBareWriting(benchmark::State& state)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::string save = (dir / "senki-bench-export.sav").string();
    const QString movie = QString::fromStdString((dir / "senki-bench-export.avi").string());
    senki::savegen::SaveOptions options;  // the demo's war: 144 records
    options.records = 144;
    options.seed = 1939;
    std::string error;
    if (!senki::savegen::WriteSaveFile(save, options, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    senki::TForm1 window;
    window.OpenFile(QString::fromStdString(save));
    window.show();
    senki::TAviWriter& writer = window.AviWriter1;
    writer.SetCompress(false);  // frames only: no re-save
    writer.SetFileName(movie);
    writer.SetWidth(560);
    writer.SetHeight(375);
    const QImage picture = window.Maps->WorkMap();
    const int records = window.History.LastIndex() + 1;

    double exportSeconds = 0, bareSeconds = 0;
    auto run = [&](bool exportLoop) {
        const auto start = std::chrono::steady_clock::now();
        if (!writer.Open()) {
            state.SkipWithError("cannot open the movie");
            return 0.0;
        }
        if (exportLoop)
            window.WriteMovieFrames();
        else
            for (int frame = 0; frame < records * 15; ++frame)
                writer.AddFrame(picture);
        writer.Close();
        const double seconds = Seconds(start);
        std::filesystem::remove(movie.toStdString());
        ::sync();  // untimed: the next run starts without dirty pages waiting
        return seconds;
    };
    bool exportFirst = true;
    for (auto _ : state) {
        // Alternate the order so that neither side always meets a busy disk.
        if (exportFirst) {
            exportSeconds += run(true);
            bareSeconds += run(false);
        } else {
            bareSeconds += run(false);
            exportSeconds += run(true);
        }
        exportFirst = !exportFirst;
    }
    const double iterations = double(state.iterations());
    state.counters["export_records_per_s"] = records * iterations / exportSeconds;
    state.counters["bare_records_per_s"] = records * iterations / bareSeconds;
    state.counters["export_per_bare"] = exportSeconds / bareSeconds;
    std::filesystem::remove(save);
}
BENCHMARK(BM_ExportFrameLoopAgainstBareWriting)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
