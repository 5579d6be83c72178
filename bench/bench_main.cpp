// senki-bench: the speed figures of the viewer and the exporter. Each
// benchmark file registers its own cases; figures that are compared are
// measured in the same run.

#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
