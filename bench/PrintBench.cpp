// The PDF sheets of a full 48-key document, every key with both levels filled to their shared
// room (110 + 110 bytes) and both descriptions set: the keymap (its table then runs over several
// pages), the large and the small keycap labels drawn into memory, and the keymap saved as well.
//
// Target (medians, Release): each sheet ≤ 100 ms from the menu item to the file on the disk, a
// delay a click does not show as waiting; drawing the labels well under that.

#include "bench/QtBenchmarkMain.h"
#include "document/KeypadDocument.h"
#include "print/KeycapLabelsPdf.h"
#include "print/KeymapPdf.h"
#include "support/TemporaryFolder.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace keyloom;

KeypadDocument BothLevelsFull() {
    // Modifiers, a shifted letter, a delay, an extended key, a mouse move: 11 bytes, 7 cells.
    const uint8_t pattern[] = {0x12, 0x1C, 0xF0, 0x12, 0xE2, 0x01, 0x32, 0xE0, 0x75, 0x90, 0x20};
    KeypadDocument document;
    document.numberOfKeys = 48;
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        for (std::size_t i = 0; i < 110; ++i) {
            document.keys[key].level1Codes[i] = pattern[i % sizeof pattern];
            document.keys[key].level2Codes[i] = pattern[i % sizeof pattern];
        }
        document.keys[key].name = {"Level one of key " + std::to_string(key + 1),
                                   "Level two of key " + std::to_string(key + 1)};
    }
    return document;
}

void Keymap(benchmark::State& state) {
    const KeypadDocument document = BothLevelsFull();
    for (auto _ : state)
        benchmark::DoNotOptimize(print::KeymapPdf(document, 48, QStringLiteral("full.ckd")));
}

void Labels(benchmark::State& state) {
    const KeypadDocument document = BothLevelsFull();
    const auto size = state.range(0) == 0 ? print::KeycapSize::Large : print::KeycapSize::Small;
    for (auto _ : state)
        benchmark::DoNotOptimize(print::KeycapLabelsPdf(document, 48, size, QStringLiteral("full.ckd")));
}

// Drawn and saved durably, as the menu item and vkxx-print do.
void SaveKeymap(benchmark::State& state) {
    const KeypadDocument document = BothLevelsFull();
    test::TemporaryFolder folder;
    for (auto _ : state)
        print::WriteKeymapPdf(document, 48, QStringLiteral("full.ckd"), folder / "full.pdf");
}

} // namespace

BENCHMARK(Keymap)->Unit(benchmark::kMillisecond);
BENCHMARK(Labels)->Arg(0)->Arg(1)->ArgName("small")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveKeymap)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return keyloom::RunBenchmarksInApplication(argc, argv);
}
