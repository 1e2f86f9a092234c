#include "bench/BenchFiles.h"
#include "files/AtomicFile.h"
#include "files/DeviceImage.h"
#include "files/KeyDefinitionFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace keyloom;
using bench::FullDocument;

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

void BM_ReadFullKeyDefinitionInMemory(benchmark::State& state) {
    const std::string bytes = bench::FullFileBytes();
    KeypadDocument document;
    for (auto _ : state) {
        document.ResetDocument();
        ReadKeyDefinition(document, IniFile::FromBytes(bytes), "bench.ckd");
        benchmark::DoNotOptimize(document);
    }
}
BENCHMARK(BM_ReadFullKeyDefinitionInMemory)->Unit(benchmark::kMicrosecond);

// A document written into a file of empty key sections followed by 10 MB of notes: every key
// is missing and is added before the notes.
void BM_AddMissingKeysBeforeALongTail(benchmark::State& state) {
    std::string bytes = "[GLOBAL_PARAMETERS]\r\n";
    for (int key = 0; key < 48; ++key)
        bytes += "[KEY" + std::to_string(key) + "]\r\n";
    bytes += bench::NotesSection(10u << 20);
    const KeypadDocument document = FullDocument();
    for (auto _ : state) {
        IniFile ini = IniFile::FromBytes(bytes);
        WriteKeyDefinition(document, ini);
        benchmark::DoNotOptimize(ini.ToBytes());
    }
}
BENCHMARK(BM_AddMissingKeysBeforeALongTail)->Unit(benchmark::kMillisecond);

void BM_BuildFullDeviceImageInMemory(benchmark::State& state) {
    IniFile written;
    WriteKeyDefinition(FullDocument(), written);
    const std::string bytes = written.ToBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildDeviceImage(IniFile::FromBytes(bytes), 48));
}
BENCHMARK(BM_BuildFullDeviceImageInMemory)->Unit(benchmark::kMicrosecond);

// The share of the file system in the figures above, for a file of an image's size: a plain
// write of a new file renamed over the old one, and the durable replacement that saving does
// (the same with the file and its folder flushed to the disk). Their difference is the flush.
void BM_WriteAndRenameOverAFile(benchmark::State& state) {
    const std::filesystem::path path = BenchFile("keyloom-bench-rename.bin");
    const std::filesystem::path temporary = BenchFile("keyloom-bench-rename.tmp");
    const std::string bytes(5000, 'x');
    for (auto _ : state) {
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        std::filesystem::rename(temporary, path);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteAndRenameOverAFile)->Unit(benchmark::kMicrosecond);

void BM_ReplaceFileAtomically(benchmark::State& state) {
    const std::filesystem::path path = BenchFile("keyloom-bench-atomic.bin");
    const std::string bytes(5000, 'x');
    for (auto _ : state)
        WriteFileAtomically(path, bytes);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReplaceFileAtomically)->Unit(benchmark::kMicrosecond);

} // namespace
