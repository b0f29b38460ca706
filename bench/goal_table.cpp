#include "bench/goal_table.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>

namespace bench {
namespace {

// Keeps the best figure of every benchmark and passes the runs on to the
// usual console report, which goes to stderr as a log.
class TBestOfReporter : public benchmark::ConsoleReporter {
public:
    TBestOfReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
            const std::string key = KeyOf(run);
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            Keep(bestTime_, key, seconds);
            const auto peak = run.counters.find(kPeakMemoryCounter);
            if (peak != run.counters.end()) Keep(bestMemory_, key, peak->second.value);
            const auto bytes = run.counters.find(kBytesCounter);
            if (bytes != run.counters.end()) Keep(bestBytes_, key, bytes->second.value);
        }
    }

    // Returns a negative value when the benchmark did not run.
    double Best(const std::string& name, TQuantity quantity) const {
        const auto& best = quantity == TQuantity::Time     ? bestTime_
                           : quantity == TQuantity::Memory ? bestMemory_
                                                           : bestBytes_;
        const auto found = best.find(name);
        return found == best.end() ? -1 : found->second;
    }

private:
    static std::string KeyOf(const Run& run) {
        return run.run_name.args.empty() ? run.run_name.function_name
                                         : run.run_name.function_name + "/" + run.run_name.args;
    }

    static void Keep(std::map<std::string, double>& best, const std::string& key, double value) {
        const auto [it, added] = best.emplace(key, value);
        if (!added) it->second = std::min(it->second, value);
    }

    std::map<std::string, double> bestTime_;
    std::map<std::string, double> bestMemory_;
    std::map<std::string, double> bestBytes_;
};

std::string Format(double value, TQuantity quantity) {
    if (value < 0) return "-";
    char text[32];
    if (quantity == TQuantity::Memory)
        std::snprintf(text, sizeof text, "%.1f MiB", value / 1024);
    else if (quantity == TQuantity::Bytes)
        std::snprintf(text, sizeof text, "%.1f MB", value / 1e6);
    else if (value >= 1)
        std::snprintf(text, sizeof text, "%.2f s", value);
    else if (value >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", value * 1e3);
    else if (value >= 1e-6)
        std::snprintf(text, sizeof text, "%.2f us", value * 1e6);
    else
        std::snprintf(text, sizeof text, "%.0f ns", value * 1e9);
    return text;
}

// Pads to a width in characters, not bytes: case names may hold umlauts.
std::string Padded(const std::string& text, std::size_t width) {
    std::size_t characters = 0;
    for (const char byte : text) characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    return text + std::string(characters < width ? width - characters : 0, ' ');
}

void PrintLine(const std::string& name, const std::string& time, const std::string& floor, const std::string& ratio,
               const std::string& goal, const std::string& met) {
    std::printf("%s %11s %11s %7s %7s  %s\n", Padded(name, 72).c_str(), time.c_str(), floor.c_str(), ratio.c_str(),
                goal.c_str(), met.c_str());
}

std::string FormatRatio(double ratio) {
    if (ratio < 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2fx", ratio);
    return text;
}

enum class TVerdict { Met, NotMet, NotMeasured };

TVerdict PrintRow(const TGoalRow& row, const TBestOfReporter& best) {
    const bool ofRatios = !row.baseMeasured.empty() && !row.baseFloor.empty();
    const auto ratioOf = [&](const std::string& measured, const std::string& floor) {
        const double top = best.Best(measured, row.quantity);
        const double bottom = floor.empty() ? -1 : best.Best(floor, row.quantity);
        return top >= 0 && bottom > 0 ? top / bottom : -1.0;
    };
    const double measured = ofRatios ? ratioOf(row.measured, row.floor) : best.Best(row.measured, row.quantity);
    const double floor = ofRatios ? ratioOf(row.baseMeasured, row.baseFloor)
                                  : (row.floor.empty() ? -1 : best.Best(row.floor, row.quantity));
    const bool haveRatio = measured >= 0 && floor > 0;
    const double ratio = haveRatio ? measured / floor : 0;
    char ratioText[32] = "-";
    char goalText[32] = "-";
    if (haveRatio) std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
    if (row.goal > 0) std::snprintf(goalText, sizeof goalText, "<=%.1f", row.goal);
    const bool met = row.goal <= 0 || (haveRatio && ratio <= row.goal);
    // A case or floor that did not run leaves its figure out.
    const bool measuredAll = measured >= 0 && (row.floor.empty() || floor >= 0);
    PrintLine(row.caseName, ofRatios ? FormatRatio(measured) : Format(measured, row.quantity),
              ofRatios ? FormatRatio(floor) : Format(floor, row.quantity), ratioText, goalText,
              !measuredAll    ? "not measured"
              : row.goal <= 0 ? "-"
                              : (met ? "yes" : "no"));
    return !measuredAll ? TVerdict::NotMeasured : met ? TVerdict::Met : TVerdict::NotMet;
}

bool TakeFlag(int& argc, char** argv, const char* flag) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], flag) != 0) continue;
        std::copy(argv + i + 1, argv + argc, argv + i);
        --argc;
        return true;
    }
    return false;
}

}  // namespace

int RunWithGoals(int argc, char** argv, const std::vector<TGoalRow>& rows) {
    const bool rowsOnly = TakeFlag(argc, argv, "--rows_only");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

    TBestOfReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    if (!rowsOnly) PrintLine("case", "time", "floor", "ratio", "goal", "met");
    int status = 0;
    for (const TGoalRow& row : rows) {
        const TVerdict verdict = PrintRow(row, reporter);
        status = std::max(status, verdict == TVerdict::NotMeasured ? 2 : verdict == TVerdict::NotMet ? 1 : 0);
    }
    std::fflush(stdout);
    return status;
}

}  // namespace bench
