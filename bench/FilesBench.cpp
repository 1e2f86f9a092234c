#include "files/AtomicFile.h"
#include "files/DeviceImage.h"
#include "files/KeyDefinitionFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace keyloom;

// Every key of a 48-key document filled: a full Level 1 on even keys, both levels on odd keys.
KeypadDocument FullDocument() {
    KeypadDocument document;
    document.numberOfKeys = 48;
    const uint8_t pattern[] = {0x12, 0x1C, 0xF0, 0x12, 0xE2, 0x01, 0x32, 0xE0, 0x75, 0x90, 0x20};
    for (int key = 0; key < 48; ++key) {
        const std::size_t level1 = key % 2 == 0 ? 220 : 111;
        for (std::size_t i = 0; i < level1; ++i)
            document.keys[key].level1Codes[i] = pattern[i % sizeof pattern];
        if (key % 2 == 1)
            for (std::size_t i = 0; i < 111; ++i)
                document.keys[key].level2Codes[i] = pattern[i % sizeof pattern];
        document.keys[key].name = {"Level one of key " + std::to_string(key + 1), "Level two"};
    }
    return document;
}

std::filesystem::path BenchFile(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

// Saving a document that differs from the file on disk: every value is replaced in place.
void BM_WriteFullKeyDefinitionFile(benchmark::State& state) {
    KeypadDocument document = FullDocument();
    const std::filesystem::path path = BenchFile("keyloom-bench-write.ckd");
    std::filesystem::remove(path);
    int flip = 0;
    for (auto _ : state) {
        document.settings.keyRollOver = 2 + (flip ^= 1);
        WriteKeyDefinitionFile(document, path);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteFullKeyDefinitionFile)->Unit(benchmark::kMicrosecond);

void BM_ReadFullKeyDefinitionFile(benchmark::State& state) {
    const std::filesystem::path path = BenchFile("keyloom-bench-read.ckd");
    std::filesystem::remove(path);
    WriteKeyDefinitionFile(FullDocument(), path);
    KeypadDocument document;
    for (auto _ : state) {
        document.ResetDocument();
        ReadKeyDefinitionFile(document, path);
        benchmark::DoNotOptimize(document);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadFullKeyDefinitionFile)->Unit(benchmark::kMicrosecond);

void BM_BuildFullDeviceImage(benchmark::State& state) {
    const std::filesystem::path ckd = BenchFile("keyloom-bench-image.ckd");
    const std::filesystem::path bin = BenchFile("keyloom-bench-image.bin");
    std::filesystem::remove(ckd);
    WriteKeyDefinitionFile(FullDocument(), ckd);
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteDeviceImage(ckd, bin, 48));
    std::filesystem::remove(ckd);
    std::filesystem::remove(bin);
}
BENCHMARK(BM_BuildFullDeviceImage)->Unit(benchmark::kMicrosecond);

// The same work without the disk: the writer onto the lines of a file already read, then the bytes.
void BM_WriteFullKeyDefinitionInMemory(benchmark::State& state) {
    KeypadDocument document = FullDocument();
    IniFile written;
    WriteKeyDefinition(document, written);
    const std::string bytes = written.ToBytes();
    int flip = 0;
    for (auto _ : state) {
        document.settings.keyRollOver = 2 + (flip ^= 1);
        IniFile ini = IniFile::FromBytes(bytes);
        WriteKeyDefinition(document, ini);
        benchmark::DoNotOptimize(ini.ToBytes());
    }
}
BENCHMARK(BM_WriteFullKeyDefinitionInMemory)->Unit(benchmark::kMicrosecond);

void BM_BuildFullDeviceImageInMemory(benchmark::State& state) {
    IniFile written;
    WriteKeyDefinition(FullDocument(), written);
    const std::string bytes = written.ToBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildDeviceImage(IniFile::FromBytes(bytes), 48));
}
BENCHMARK(BM_BuildFullDeviceImageInMemory)->Unit(benchmark::kMicrosecond);

// The share of the file system in the figures above: replacing a file of an image's size.
void BM_ReplaceFileAtomically(benchmark::State& state) {
    const std::filesystem::path path = BenchFile("keyloom-bench-atomic.bin");
    const std::string bytes(5000, 'x');
    for (auto _ : state)
        WriteFileAtomically(path, bytes);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReplaceFileAtomically)->Unit(benchmark::kMicrosecond);

} // namespace
