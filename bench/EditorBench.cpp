// One recording step of the main window: a code inserted at the insertion point and the full
// redraw of the macro view after it, on a Level 1 macro one byte short of its room; and the same
// step started by a key typed on the grid. Target: under 1 ms each.

#include "editor/MacroGrid.h"
#include "bench/QtBenchmarkMain.h"
#include "gui/Prompts.h"
#include "editor/TfrmMain.h"
#include "platform/Platform.h"
#include "support/FakePlatform.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace keyloom;

// 20 bytes, 12 cells of every kind the rendering tells apart: modifiers, a shifted letter, a
// delay, an extended key, a mouse move, Caps Lock around a digit.
constexpr std::array<uint8_t, 20> kMixedCodes = {
    0x12, 0x1C, 0xF0, 0x12, 0xE2, 0x01, 0x32, 0xE0, 0x75, 0x90,
    0x32, 0xE0, 0x14, 0x24, 0xE0, 0xF0, 0x14, 0x58, 0x16, 0x58,
};

class QuietPrompts final : public Prompts {
public:
    void warning(const QString&) override { std::abort(); } // the step must always find room
    void information(const QString&) override {}
    void error(const QString&) override {}
    Answer question(const QString&, bool) override { return Answer::No; }
    std::optional<QString> openFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
};

// Key 1's Level 1 with 219 bytes, ten times the mixed codes then nineteen letters, shown with the
// selection after its last code.
void FillLevel1(TfrmMain& window, KeypadDocument& document) {
    auto& codes = document.keys[0].level1Codes;
    std::size_t length = 0;
    for (int copy = 0; copy < 10; ++copy)
        for (const uint8_t code : kMixedCodes)
            codes[length++] = code;
    while (length < 219)
        codes[length++] = 0x1C;
    window.RefreshMacroView();
    window.SelectEndCell();
}

// Takes the last byte out again, so that every step finds the same full level.
void Restore(TfrmMain& window, KeypadDocument& document) {
    document.EraseCodes(Level::One, 0, 219, 1);
    window.RefreshMacroView();
    window.SelectEndCell();
    QCoreApplication::processEvents();
}

// A shown main window whose key 1, Level 1 holds 219 bytes.
struct WindowWithFullLevel1 {
    WindowWithFullLevel1() {
        window->show();
        QCoreApplication::processEvents();
        FillLevel1(*window, document);
    }

    // Scratch folders, so that the run neither reads nor changes the user's files.
    test::TemporaryFolder folder;
    test::FakePlatform platform{folder.path()};
    QuietPrompts prompts;
    KeypadDocument document;
    std::unique_ptr<TfrmMain> window = std::make_unique<TfrmMain>(document, platform, prompts, QStringList{});
};

void RecordingStepOnAFullLevel1(benchmark::State& state) {
    WindowWithFullLevel1 shown;
    TfrmMain* window = shown.window.get();
    KeypadDocument& document = shown.document;

    constexpr std::array<uint8_t, 2> kLetter = {0x1C, 0x00};
    for (auto _ : state) {
        const bool inserted = window->RecordCodes(kLetter);
        benchmark::DoNotOptimize(inserted);

        state.PauseTiming();
        Restore(*window, document);
        state.ResumeTiming();
    }
}
BENCHMARK(RecordingStepOnAFullLevel1)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// "a" typed on the grid: the key event through the grid and the adapter into the typing handler,
// the recording step and the redraw.
void TypingOneKeyIntoAFullLevel1(benchmark::State& state) {
    WindowWithFullLevel1 shown;
    TfrmMain* window = shown.window.get();
    KeypadDocument& document = shown.document;
    MacroGrid* grid = window->CurrentGrid();

    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(grid, &press);

        state.PauseTiming();
        if (document.Length(Level::One, 0) != 220) {
            state.SkipWithError("the typed key was not recorded");
            break;
        }
        Restore(*window, document);
        state.ResumeTiming();
    }
}
BENCHMARK(TypingOneKeyIntoAFullLevel1)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    return keyloom::RunBenchmarksInApplication(argc, argv);
}
