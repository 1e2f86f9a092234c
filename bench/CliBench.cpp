// vkxx as a whole process, as a script runs it: start, read, work, write, exit, for a full
// 48-key file and for the same file with 10 MB of notes after its keys. Counters: the peak
// resident memory, and for the large file that peak as a multiple of the file's size.
// Targets: a full file ≤ 3 ms per command; the 10 MB file ≤ 100 ms, at most 3x its size.

#include "bench/BenchFiles.h"
#include "bench/Process.h"
#include "bench/RunBenchmarks.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace keyloom;
namespace fs = std::filesystem;

class Folder {
public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "keyloom-cli-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_path = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

fs::path WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

enum class Size { Full, Large };

// The input of its size, written once into folder.
fs::path Input(const Folder& folder, Size size) {
    std::string bytes = bench::FullFileBytes();
    if (size == Size::Large)
        bytes += bench::NotesSection(10u << 20);
    return WriteFile(folder.path() / (size == Size::Full ? "full.ckd" : "large.ckd"), bytes);
}

// Times the command built by arguments(input, folder) as a process; prepare runs untimed
// before each run.
template <typename Arguments, typename Prepare>
void TimeCommand(benchmark::State& state, Arguments arguments, Prepare prepare) {
    const Folder folder;
    const fs::path input = Input(folder, static_cast<Size>(state.range(0)));
    const long peak = bench::TimeProcessRuns(
        state, [&] { return arguments(input, folder); }, [&] { prepare(input, folder); });
    state.counters["peak_per_size"] = static_cast<double>(peak) * 1024 / static_cast<double>(fs::file_size(input));
}

void Image(benchmark::State& state) {
    TimeCommand(
        state,
        [](const fs::path& input, const Folder& folder) {
            return std::vector<std::string>{VKXX_PATH, "image", input.string(), "-o", (folder.path() / "out.bin").string()};
        },
        [](const fs::path&, const Folder&) {});
}

void ShowJson(benchmark::State& state) {
    TimeCommand(
        state,
        [](const fs::path& input, const Folder&) {
            return std::vector<std::string>{VKXX_PATH, "show", "--json", input.string()};
        },
        [](const fs::path&, const Folder&) {});
}

// Into a new file, as a conversion does.
void Resave(benchmark::State& state) {
    TimeCommand(
        state,
        [](const fs::path& input, const Folder& folder) {
            return std::vector<std::string>{VKXX_PATH, "resave", input.string(), (folder.path() / "out.ckd").string()};
        },
        [](const fs::path&, const Folder& folder) { fs::remove(folder.path() / "out.ckd"); });
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgName("large")->Arg(static_cast<int>(Size::Full))->Arg(static_cast<int>(Size::Large));
    benchmark->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(Image)->Apply(Sizes);
BENCHMARK(ShowJson)->Apply(Sizes);
BENCHMARK(Resave)->Apply(Sizes);

} // namespace

int main(int argc, char** argv) {
    if (bench::IsMeasureChild(argc, argv))
        return bench::MeasureChildMain(argv);
    return bench::RunBenchmarks(argc, argv);
}
