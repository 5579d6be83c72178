// Painting one record's map against a plain copy of the base map, the floor
// that every painting starts from.

#include "map/base_map.h"
#include "map/territory_maps.h"
#include "tools/savegen/synthetic_save.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// The war of the demo save.
const std::vector<senki::HistoryRecord>& DemoWar()
{
    static const auto war = senki::savegen::SyntheticWar(144, 1939);
    return war;
}

void BM_CopyBaseMap(benchmark::State& state)
{
    senki::TerritoryMaps maps(senki::LoadBaseMap());
    for (auto _ : state) {
        maps.ClearWorkMap();
        benchmark::DoNotOptimize(maps.WorkMap().constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyBaseMap)->Unit(benchmark::kMicrosecond);

// PaintMap over the demo's records in turn. The counter paint_per_copy
// compares it with a copy of the base map timed in the same run.
void BM_PaintMap(benchmark::State& state)
{
    senki::TerritoryMaps maps(senki::LoadBaseMap());
    constexpr int kCopies = 2000;
    const auto copyStart = Clock::now();
    for (int i = 0; i < kCopies; ++i) {
        maps.ClearWorkMap();
        benchmark::DoNotOptimize(maps.WorkMap().constBits());
        benchmark::ClobberMemory();
    }
    const double copyNs = std::chrono::duration<double, std::nano>(Clock::now() - copyStart).count() / kCopies;

    const auto& war = DemoWar();
    std::size_t next = 0;
    const auto paintStart = Clock::now();
    for (auto _ : state) {
        maps.PaintMap(war[next].OwnerCodes);
        next = (next + 1) % war.size();
        benchmark::DoNotOptimize(maps.WorkMap().constBits());
        benchmark::ClobberMemory();
    }
    const double paintNs = std::chrono::duration<double, std::nano>(Clock::now() - paintStart).count()
                           / double(state.iterations());
    state.counters["copy_us"] = copyNs / 1000;
    state.counters["paint_us"] = paintNs / 1000;
    state.counters["paint_per_copy"] = paintNs / copyNs;
}
BENCHMARK(BM_PaintMap)->Unit(benchmark::kMicrosecond);

}  // namespace
