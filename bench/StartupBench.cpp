// Start-up to the first shown window: the platform, the main window with its creation (folders,
// settings, the stored layout) and its first exposed frame, in this process; and the editor's
// whole process from its start to its first painted frame (loading Qt, the platform's
// connection, fonts), with its peak memory. Targets: the whole process ≤ 150 ms, ≤ 45 MB.
// Under a real X server: xvfb-run -a env QT_QPA_PLATFORM=xcb startup_bench

#include "bench/Process.h"
#include "bench/QtBenchmarkMain.h"
#include "gui/Prompts.h"
#include "editor/TfrmMain.h"
#include "platform/desktop/DesktopPlatform.h"

#include <QApplication>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace keyloom;

// Nothing is asked at a start with nothing to open; should it be, the answer is the harmless one.
class QuietPrompts final : public Prompts {
public:
    void warning(const QString&) override {}
    void information(const QString&) override {}
    void error(const QString&) override {}
    Answer question(const QString&, bool) override { return Answer::No; }
    std::optional<QString> openFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
};

void StartupToFirstShownWindow(benchmark::State& state) {
    for (auto _ : state) {
        DesktopPlatform platform;
        KeypadDocument document;
        QuietPrompts prompts;
        auto window = std::make_unique<TfrmMain>(document, platform, prompts, QStringList{});
        window->show();
        while (!window->windowHandle() || !window->windowHandle()->isExposed())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();

        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(StartupToFirstShownWindow)->Unit(benchmark::kMillisecond);

void WholeProcessToFirstPaintedWindow(benchmark::State& state) {
    bench::TimeProcessRuns(
        state, [] { return std::vector<std::string>{STARTUP_PROBE_PATH}; }, [] {});
}
BENCHMARK(WholeProcessToFirstPaintedWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

// A home folder of its own, so that the runs neither read nor change the user's documents.
class TemporaryHome {
public:
    TemporaryHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "keyloom-startup-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_path = pattern;
        std::filesystem::create_directories(m_path / "run");
        std::filesystem::permissions(m_path / "run", std::filesystem::perms::owner_all);
        qputenv("HOME", m_path.string().c_str());
        qputenv("XDG_CONFIG_HOME", (m_path / "config").string().c_str());
        qputenv("XDG_RUNTIME_DIR", (m_path / "run").string().c_str());
    }
    ~TemporaryHome() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

private:
    std::filesystem::path m_path;
};

} // namespace

int main(int argc, char** argv) {
    if (keyloom::bench::IsMeasureChild(argc, argv))
        return keyloom::bench::MeasureChildMain(argv);
    TemporaryHome home;
    return keyloom::RunBenchmarksInApplication(argc, argv);
}
