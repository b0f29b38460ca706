#pragma once

#include <string>
#include <vector>

// Every benchmark program measures a case and the floor it is compared with
// in the same run, so that the ratio survives a busy, noisy machine. The
// programs print their verdicts as rows of one shared table.
namespace bench {

enum class TQuantity { Time, Memory, Bytes };

struct TGoalRow {
    std::string caseName;
    std::string measured;  // benchmark name, "function/args"
    std::string floor;     // benchmark name of what it is compared with
    double goal = 0;       // largest acceptable ratio; 0 shows the row only
    TQuantity quantity = TQuantity::Time;
    // When both are set, the row compares ratios: measured/floor against
    // baseMeasured/baseFloor, each pair measured side by side.
    std::string baseMeasured = {};
    std::string baseFloor = {};
};

// A memory figure is read from this counter (KiB) of the benchmark's runs.
inline constexpr const char* kPeakMemoryCounter = "peak_kib";
// A size of what a case made (bytes) is read from this counter.
inline constexpr const char* kBytesCounter = "bytes";

// Runs the registered benchmarks and prints the rows; the smallest figure of
// all repetitions counts. Extra flag: --rows_only leaves out the table head.
// Returns 0 when every goal is met, 1 when one is not, 2 when a case or its
// floor could not be measured (the benchmark failed or did not run).
int RunWithGoals(int argc, char** argv, const std::vector<TGoalRow>& rows);

}  // namespace bench
