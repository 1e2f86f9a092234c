// The editor's steps as the user feels them: the step itself, then the event loop until the
// window is idle again (the layouts it asked for, the updates and the paint). Each runs at macro
// lengths 4, 64, 219 and 220 on key 1's Level 1. The counters give the paints and the layout
// requests per step.
//
// Run on the offscreen platform by default; under a real X server with
//   xvfb-run -a env QT_QPA_PLATFORM=xcb editor_bench
// Targets (medians, Release): record, type and erase ≤ 200 µs; switching key or level ≤ 300 µs;
// the reveal-codes toggle ≤ 1 ms; an undo on a full 48-key document ≤ 1 ms; a letter typed into
// the code finder ≤ 2 ms.

#include "bench/QtBenchmarkMain.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "editor/TfrmMain.h"
#include "gui/Prompts.h"
#include "support/EventTrace.h"
#include "support/FakePlatform.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace keyloom;

// 20 bytes, 12 cells of every kind the rendering tells apart: modifiers, a shifted letter, a
// delay, an extended key, a mouse move, Caps Lock around a digit.
constexpr std::array<uint8_t, 20> kMixedCodes = {
    0x12, 0x1C, 0xF0, 0x12, 0xE2, 0x01, 0x32, 0xE0, 0x75, 0x90,
    0x32, 0xE0, 0x14, 0x24, 0xE0, 0xF0, 0x14, 0x58, 0x16, 0x58,
};
constexpr uint8_t kLetterA = 0x1C;
constexpr uint8_t kLetterB = 0x32;

class QuietPrompts final : public Prompts {
public:
    void warning(const QString& text) override { // every step must find room
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
    void information(const QString&) override {}
    void error(const QString&) override {}
    Answer question(const QString&, bool) override { return Answer::No; }
    std::optional<QString> openFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
};

// length bytes: whole copies of the mixed codes, then letters.
void Fill(std::span<uint8_t> codes, int length) {
    int at = 0;
    for (; at + static_cast<int>(kMixedCodes.size()) <= length && at < 200; at += kMixedCodes.size())
        std::copy(kMixedCodes.begin(), kMixedCodes.end(), codes.begin() + at);
    for (; at < length; ++at)
        codes[static_cast<std::size_t>(at)] = kLetterA;
}

// A shown, exposed main window in scratch folders, key 1 holding length bytes on Level 1 (key 2
// as many B's, so that every cell changes between them), key 1 selected with the selection after
// its last code.
class ShownWindow {
public:
    explicit ShownWindow(int length) {
        Fill(document.keys[0].level1Codes, length);
        std::fill_n(document.keys[1].level1Codes.begin(), length, kLetterB);
        window->show();
        while (window->windowHandle() == nullptr || !window->windowHandle()->isExposed())
            QCoreApplication::processEvents();
        window->RefreshMacroView();
        window->SelectEndCell();
        Idle();
    }

    void Idle() { test::ProcessEventsUntilIdle(trace); }

    // Back to length bytes on Level 1 of the selected key, the selection after the last code.
    void Restore(int length) {
        const int key = window->session().selectedKey();
        const auto now = [&] { return static_cast<int>(document.Length(Level::One, key)); };
        if (now() > length)
            document.EraseCodes(Level::One, key, length, now() - length);
        const std::array<uint8_t, 2> letter = {kLetterA, 0};
        while (now() < length)
            document.InsertCodes(Level::One, key, now(), letter);
        window->RefreshMacroView();
        window->SelectEndCell();
        Idle();
    }

    template <typename T> T* Find(const char* name) { return window->findChild<T*>(QString::fromLatin1(name)); }

    // Scratch folders, so that the run neither reads nor changes the user's files.
    test::TemporaryFolder folder;
    test::FakePlatform platform{folder.path()};
    QuietPrompts prompts;
    KeypadDocument document;
    std::unique_ptr<TfrmMain> window = std::make_unique<TfrmMain>(document, platform, prompts, QStringList{});
    test::EventTrace trace;
};

void Report(benchmark::State& state, const test::EventTrace& trace) {
    state.counters["paints"] = benchmark::Counter(trace.paints, benchmark::Counter::kAvgIterations);
    state.counters["layouts"] = benchmark::Counter(trace.layoutRequests, benchmark::Counter::kAvgIterations);
}

// The step runs timed; the untimed setUp before it and restore after it are not counted in the
// counters either.
template <typename SetUp, typename Step, typename Restore>
void TimeStep(benchmark::State& state, ShownWindow& shown, SetUp setUp, Step step, Restore restore) {
    int paints = 0;
    int layouts = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setUp();
        shown.trace.clear();
        state.ResumeTiming();

        step();
        shown.Idle();

        state.PauseTiming();
        paints += shown.trace.paints;
        layouts += shown.trace.layoutRequests;
        restore();
        state.ResumeTiming();
    }
    shown.trace.paints = paints;
    shown.trace.layoutRequests = layouts;
    Report(state, shown.trace);
}

// A letter recorded from the on-screen keyboard's step, ending at the given length.
void Record(benchmark::State& state) {
    const int length = static_cast<int>(state.range(0));
    ShownWindow shown(length - 1);
    const std::array<uint8_t, 2> letter = {kLetterA, 0};
    TimeStep(
        state, shown, [] {}, [&] { shown.window->RecordCodes(letter); }, [&] { shown.Restore(length - 1); });
}

// "a" typed on the grid, ending at the given length: the key event through the grid and the
// key adapter into the typing handler, the recording step, the paint.
void Type(benchmark::State& state) {
    const int length = static_cast<int>(state.range(0));
    ShownWindow shown(length - 1);
    MacroGrid* grid = shown.window->CurrentGrid();
    TimeStep(
        state, shown, [] {},
        [&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(grid, &press);
        },
        [&] {
            if (static_cast<int>(shown.document.Length(Level::One, 0)) != length)
                state.SkipWithError("the typed key was not recorded");
            shown.Restore(length - 1);
        });
}

// The last cell selected and erased with "Erase Selected", from the given length.
void Erase(benchmark::State& state) {
    const int length = static_cast<int>(state.range(0));
    ShownWindow shown(length);
    QPushButton* erase = shown.Find<QPushButton>("btnEraseSelectedL1");
    MacroGrid* grid = shown.window->CurrentGrid();
    TimeStep(
        state, shown,
        [&] {
            grid->selectIndex(shown.window->cells().CountCells(Level::One) - 1);
            shown.Idle();
        },
        [&] { erase->click(); }, [&] { shown.Restore(length); });
}

// A click on key 2, then on key 1: both hold the given length, in other cells.
void SwitchKey(benchmark::State& state) {
    ShownWindow shown(static_cast<int>(state.range(0)));
    int next = 1;
    TimeStep(
        state, shown, [] {}, [&] { shown.window->ButtonOfKeyIndex(next)->click(); }, [&] { next ^= 1; });
}

// Level 2, then Level 1 again, by the tabs.
void SwitchLevel(benchmark::State& state) {
    ShownWindow shown(static_cast<int>(state.range(0)));
    int next = 1;
    TimeStep(
        state, shown, [] {}, [&] { shown.window->TabControl1->setCurrentIndex(next); }, [&] { next ^= 1; });
}

// Reveal Codes on, then off again.
void RevealCodes(benchmark::State& state) {
    ShownWindow shown(static_cast<int>(state.range(0)));
    QCheckBox* reveal = shown.Find<QCheckBox>("cboxRevealCodes1");
    TimeStep(state, shown, [] {}, [&] { reveal->click(); }, [] {});
}

// Undo on a document whose 48 keys are full on both levels: a letter recorded by the on-screen
// keyboard (untimed), then taken back by the Undo button, with the view it shows again.
void UndoStep(benchmark::State& state) {
    // Both levels in use leave each 111 bytes; Level 1 has room for the letter.
    constexpr int kLength = 110;
    ShownWindow shown(kLength);
    for (KeyRecord& key : shown.document.keys) {
        key.level1Codes.fill(0);
        Fill(key.level1Codes, kLength);
        Fill(key.level2Codes, kLength + 1);
        key.name = {"Level one of a key", "Level two of a key"};
    }
    shown.window->keypadPanel->btn48Keys->click();
    shown.Restore(kLength);
    QPushButton* letter = shown.Find<QPushButton>("keyA");
    TimeStep(
        state, shown,
        [&] {
            letter->click();
            shown.Idle();
        },
        [&] { shown.window->btnUndo->click(); },
        [&] {
            if (shown.document.Length(Level::One, 0) != kLength)
                state.SkipWithError("the letter was not taken back");
        });
}

// One letter typed into the code finder: the codes catalogued and matched afresh, the list
// filled and painted. Query 0 ends "vo" + "l" (3 rows), query 1 is "e" alone (most rows).
void FindCodeLetter(benchmark::State& state) {
    struct Query {
        const char* before;
        Qt::Key key;
        const char* letter;
    };
    static constexpr Query kQueries[] = {{"vo", Qt::Key_L, "l"}, {"", Qt::Key_E, "e"}};
    const Query& query = kQueries[state.range(0)];
    ShownWindow shown(4);
    QLineEdit* field = shown.Find<QLineEdit>("edFindCode");
    field->setFocus();
    TimeStep(
        state, shown, [&] { field->setText(QString::fromLatin1(query.before)); },
        [&] {
            QKeyEvent press(QEvent::KeyPress, query.key, Qt::NoModifier, QString::fromLatin1(query.letter));
            QApplication::sendEvent(field, &press);
        },
        [] {});
}

void Lengths(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgName("length")->Arg(4)->Arg(64)->Arg(219)->Arg(220);
    // Short runs: the untimed restore after each step costs more than the step.
    benchmark->Unit(benchmark::kMicrosecond)->MinTime(0.1)->Repetitions(3)->ReportAggregatesOnly();
}

BENCHMARK(Record)->Apply(Lengths);
BENCHMARK(Type)->Apply(Lengths);
BENCHMARK(Erase)->Apply(Lengths);
BENCHMARK(SwitchKey)->Apply(Lengths);
BENCHMARK(SwitchLevel)->Apply(Lengths);
BENCHMARK(RevealCodes)->Apply(Lengths);
BENCHMARK(UndoStep)->Unit(benchmark::kMicrosecond)->MinTime(0.1)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(FindCodeLetter)
    ->ArgName("query")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.1)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    return keyloom::RunBenchmarksInApplication(argc, argv);
}
