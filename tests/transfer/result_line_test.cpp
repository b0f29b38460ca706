// The line the window shows after a publish.
#include "transfer/result_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ResultLine, CountsWhatWasAndWasNotSent) {
    const struct {
        std::size_t planned, sent, unchanged;
        const char* line;
    } kRows[] = {
        {15, 3, 12, "3 Dateien übertragen, 12 unverändert"},
        {2, 1, 1, "1 Datei übertragen, 1 unverändert"},
        {4, 4, 0, "4 Dateien übertragen"},
        {15, 0, 15, "0 Dateien übertragen, 15 unverändert"},
        {5, 1, 2, "1 Datei übertragen, 2 unverändert, 2 nicht übertragen"},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.line);
        transfer::TPublishPlan plan;
        plan.files.assign(row.planned, "f");
        transfer::TPublishResult result;
        result.sent.assign(row.sent, "f");
        result.unchanged.assign(row.unchanged, "f");
        EXPECT_EQ(transfer::ResultLine(plan, result), row.line);
    }
}

}  // namespace
