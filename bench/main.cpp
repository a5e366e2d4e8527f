// The benchmark program's entry point (Google Benchmark's own main).
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
