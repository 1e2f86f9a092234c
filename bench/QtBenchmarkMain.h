#pragma once

#include "bench/RunBenchmarks.h"

#include <QApplication>

namespace keyloom {

// Runs the benchmarks inside a QApplication, offscreen unless a platform is chosen.
inline int RunBenchmarksInApplication(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return bench::RunBenchmarks(argc, argv);
}

} // namespace keyloom
