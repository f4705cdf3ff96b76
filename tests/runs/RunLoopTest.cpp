#include "runs/RunLoop.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace quorvane {
namespace {

TEST(RunLoop, VisitsEachRowOnceAndStopsAtARowWithoutFolder) {
    using Progress = std::vector<std::pair<std::size_t, std::size_t>>;
    struct Case {
        RunOrder order;
        std::vector<bool> hasFolder;
        std::vector<std::string> visited;
        Progress progress;
        bool endedEarly;
    };
    const Case cases[] = {
        {RunOrder::FirstToLast,
         {true, true, true},
         {"0", "1", "2"},
         {{1, 3}, {2, 3}, {3, 3}},
         false},
        {RunOrder::LastToFirst,
         {true, true, true},
         {"2", "1", "0"},
         {{1, 3}, {2, 3}, {3, 3}},
         false},
        {RunOrder::FirstToLast, {true, false, true}, {"0"}, {{1, 3}}, true},
        {RunOrder::LastToFirst, {true, false, true}, {"2"}, {{1, 3}}, true},
        {RunOrder::LastToFirst, {false, true}, {"1"}, {{1, 2}}, true},
        {RunOrder::FirstToLast, {}, {}, {}, false},
    };
    const auto folder = std::make_shared<const std::string>("/f/");
    for (const Case& c : cases) {
        FileRows rows(c.hasFolder.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].originalName = std::to_string(i);
            if (c.hasFolder[i])
                rows[i].folder = folder;
        }
        std::vector<std::string> visited;
        Progress progress;
        RunResult result;
        VisitRunRows(
            rows, c.order,
            [&](std::size_t done, std::size_t total) { progress.emplace_back(done, total); },
            result, [&](FileRow& row) { visited.push_back(row.originalName); });
        EXPECT_EQ(visited, c.visited);
        EXPECT_EQ(progress, c.progress);
        EXPECT_EQ(result.endedEarly, c.endedEarly);
    }
}

} // namespace
} // namespace quorvane
