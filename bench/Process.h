#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace keyloom::bench {

// The peak memory of a process counts the memory of the process it was started from until it
// runs its own program (a fork copies it, a spawn shares it), and a benchmark grows large. So
// each process is started by a small copy of the benchmark program itself: RunProcess runs
// "<this program> --measure-child PROGRAM ARGS...", which starts PROGRAM right away and reports
// its time and peak memory on its output.
struct ProcessRun {
    double seconds = 0;      // from its start to its exit
    long peakKilobytes = 0;  // its largest resident set
    int exitStatus = -1;     // -1: it did not exit normally
};

inline bool IsMeasureChild(int argc, char** argv) {
    return argc > 2 && std::string_view(argv[1]) == "--measure-child";
}

// The small copy's work: argv[2] with its arguments, its output thrown away.
inline int MeasureChildMain(char** argv) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execv(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.9f %ld %d\n", seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}

inline ProcessRun RunProcess(const std::vector<std::string>& arguments) {
    const auto quoted = [](const std::string& text) {
        std::string result = "'";
        for (const char c : text)
            result += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return result + "'";
    };
    std::string command = quoted(std::filesystem::read_symlink("/proc/self/exe").string()) + " --measure-child";
    for (const std::string& argument : arguments)
        command += " " + quoted(argument);

    ProcessRun run;
    if (std::FILE* output = popen(command.c_str(), "r")) {
        if (std::fscanf(output, "%lf %ld %d", &run.seconds, &run.peakKilobytes, &run.exitStatus) != 3)
            run.exitStatus = -1;
        pclose(output);
    }
    return run;
}

// Times each run of the process that arguments() names, with prepare() run untimed before it,
// for a benchmark with UseManualTime. Sets the counter peak_MB and gives back the largest peak
// in kilobytes.
template <typename Arguments, typename Prepare>
long TimeProcessRuns(benchmark::State& state, Arguments arguments, Prepare prepare) {
    long peak = 0;
    for (auto _ : state) {
        prepare();
        const ProcessRun run = RunProcess(arguments());
        if (run.exitStatus != 0) {
            state.SkipWithError("the process failed");
            break;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakKilobytes);
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024;
    return peak;
}

} // namespace keyloom::bench
