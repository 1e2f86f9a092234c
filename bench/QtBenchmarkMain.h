#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

namespace keyloom {

// Runs the benchmarks inside a QApplication, offscreen unless a platform is chosen.
inline int RunBenchmarksInApplication(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace keyloom
