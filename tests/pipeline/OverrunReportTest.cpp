#include "pipeline/OverrunReport.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

TEST(OverrunReport, SaysTheFirstLossOfARecordingOnce) {
    // Each step: frames the device dropped, the queue's drop total, the text.
    const struct {
        const char* name;
        std::uint64_t resultsAtBegin;
        std::vector<std::tuple<std::uint64_t, std::uint64_t, std::string>> steps;
    } cases[] = {
        {"device drops", 0, {{0, 0, ""}, {300, 0, "input overrun: 300 frames dropped"}, {900, 0, ""}}},
        // Results dropped before this recording began are not its loss; the
        // ones after it count one hop of 256 frames each.
        {"queue drops", 7, {{0, 7, ""}, {0, 9, "input overrun: 512 frames dropped"}}},
        {"both", 0, {{100, 1, "input overrun: 356 frames dropped"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OverrunReport report;
        EXPECT_EQ(report.Take(100, c.resultsAtBegin + 1), "");  // no recording yet
        report.Begin(c.resultsAtBegin, 256);
        for (const auto& [frames, results, text] : c.steps) EXPECT_EQ(report.Take(frames, results), text);
        report.End();
        EXPECT_EQ(report.Take(5000, 5000), "");
        report.Begin(5000, 256);  // the next recording may say it again
        EXPECT_EQ(report.Take(1, 5000), "input overrun: 1 frames dropped");
    }
}
