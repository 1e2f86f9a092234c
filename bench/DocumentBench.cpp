#include "document/CellList.h"
#include "document/KeypadDocument.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

using keyloom::CellList;
using keyloom::KeypadDocument;
using keyloom::Level;

// 20 bytes, 12 cells: modifiers pressed and released, a shifted letter, a delay, an extended key,
// a mouse move, a Caps Lock toggle around a symbol. Eleven of them fill Level 1 exactly.
constexpr std::array<uint8_t, 20> kMixedCodes = {
    0x12, 0x1C, 0xF0, 0x12,       // L Shift Dn, A, L Shift Up
    0xE2, 0x01, 0x32,             // Dly 200ms
    0xE0, 0x75,                   // Up
    0x90, 0x32,                   // X+ 50
    0xE0, 0x14, 0x24, 0xE0, 0xF0, 0x14, // R Ctrl Dn, e, R Ctrl Up
    0x58, 0x16, 0x58,             // Caps Lock, 1, Caps Lock
};

void BM_RenderLevelFull(benchmark::State& state) {
    KeypadDocument document;
    auto& codes = document.keys[0].level1Codes;
    for (std::size_t offset = 0; offset + kMixedCodes.size() < codes.size();
         offset += kMixedCodes.size())
        std::copy(kMixedCodes.begin(), kMixedCodes.end(), codes.begin() + offset);

    CellList cells;
    if (cells.RenderLevel(document, 0, Level::One) != 220) {
        state.SkipWithError("the macro does not fill Level 1");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(cells.RenderLevel(document, 0, Level::One));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * cells.cellCount());
}
BENCHMARK(BM_RenderLevelFull);

// One recorded key press into the middle of a long macro; the erase puts the level back, so
// every iteration works on the same 200 bytes.
void BM_InsertCodes(benchmark::State& state) {
    KeypadDocument document;
    auto& codes = document.keys[0].level1Codes;
    std::fill_n(codes.begin(), 200, uint8_t{0x1C});
    constexpr std::array<uint8_t, 2> kKeyPress = {0x1D, 0x00};

    for (auto _ : state) {
        benchmark::DoNotOptimize(document.InsertCodes(Level::One, 0, 100, kKeyPress));
        benchmark::DoNotOptimize(document.EraseCodes(Level::One, 0, 100, 1));
        benchmark::ClobberMemory();
    }
    if (document.Length(Level::One, 0) != 200)
        state.SkipWithError("the level did not return to 200 bytes");
}
BENCHMARK(BM_InsertCodes);

} // namespace
