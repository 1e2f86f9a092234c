#pragma once

#include <benchmark/benchmark.h>

namespace keyloom::bench {

// Runs the benchmarks named on the command line, as benchmark_main does, for programs with a
// main of their own.
inline int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace keyloom::bench
