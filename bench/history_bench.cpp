// Loading a save: reading the history area and decoding the chart values.

#include "history/history_loader.h"
#include "history/history_store.h"
#include "tools/savegen/synthetic_save.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_LoadHistory(benchmark::State& state)
{
    const std::string path = (std::filesystem::temp_directory_path() / "senki-bench-load.sav").string();
    senki::savegen::SaveOptions options;
    options.records = int(state.range(0));
    std::string error;
    if (!senki::savegen::WriteSaveFile(path, options, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        senki::HistoryStore store;
        store.Replace(senki::ReadSaveFile(path).historyArea);
        benchmark::DoNotOptimize(store.SeriesTable());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadHistory)->Arg(144)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
