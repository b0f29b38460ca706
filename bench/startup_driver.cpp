// Starts startup_bench again and again as a child process, as the program
// and as a minimal Qt program, and compares wall time and peak
// resident memory (from wait4) of the two. It links no Qt itself, so that
// nothing of its own memory is counted for the children.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

#include "bench/goal_table.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string ChildProgram() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : std::string("./x");
    path.erase(path.rfind('/') + 1);
    return path + "startup_bench";
}

std::vector<char*> OffscreenEnvironment(std::vector<std::string>& storage) {
    storage.clear();
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::string(*entry).rfind("QT_QPA_PLATFORM=", 0) != 0) storage.emplace_back(*entry);
    storage.emplace_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> pointers;
    for (std::string& entry : storage) pointers.push_back(entry.data());
    pointers.push_back(nullptr);
    return pointers;
}

void BM_Startup(benchmark::State& state, const char* mode) {
    const std::string program = ChildProgram();
    std::string modeFlag = std::string("--mode=") + mode;
    std::vector<std::string> storage;
    std::vector<char*> environment = OffscreenEnvironment(storage);
    char* arguments[] = {const_cast<char*>(program.c_str()), modeFlag.data(), nullptr};
    double peakKib = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        pid_t child = 0;
        if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environment.data()) != 0) {
            state.SkipWithError("cannot start startup_bench");
            break;
        }
        int status = 0;
        struct rusage usage {};
        if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("startup_bench failed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        peakKib += static_cast<double>(usage.ru_maxrss);
    }
    state.counters[bench::kPeakMemoryCounter] = benchmark::Counter(peakKib, benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(BM_Startup, minimal, "minimal")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Startup, program, "program")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Startup, start_window, "start-window")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Startup, label, "label")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    using bench::TGoalRow;
    using bench::TQuantity;
    return bench::RunWithGoals(
        argc, argv,
        {
            TGoalRow{"start window on screen vs minimal Qt window", "BM_Startup/start_window", "BM_Startup/minimal"},
            // Both start the font system; what is left is the start window's own.
            TGoalRow{"start window on screen vs window with one label", "BM_Startup/start_window", "BM_Startup/label",
                     1.1},
            // The font system's start, which no window with text avoids.
            TGoalRow{"window with one label vs minimal Qt window", "BM_Startup/label", "BM_Startup/minimal"},
            TGoalRow{"start-up to idle, wizard created", "BM_Startup/program", "BM_Startup/minimal"},
            TGoalRow{"start-up peak memory vs minimal Qt window", "BM_Startup/program", "BM_Startup/minimal", 1.3,
                     TQuantity::Memory},
        });
}
