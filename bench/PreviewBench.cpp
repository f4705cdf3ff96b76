// Preview of 100,000 rows with each rule (budget: under 0.2 s each; a
// regular-expression Replace under 0.3 s), core Preview over file rows. Not part of the test run:
// bench/run.sh builds and runs it.
//
//   bench_preview [ROWS] [RUNS]

#include "BenchSupport.h"
#include "rules/Preview.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using quorvane::FileRows;
using quorvane::PreviewSettings;

FileRows MakeRows(std::size_t count) {
    FileRows rows(count);
    for (std::size_t i = 0; i < count; ++i)
        rows[i].originalName = "Holiday photo " + std::to_string(i) + " - Überlingen.JPEG";
    return rows;
}

double PreviewSeconds(FileRows& rows, const PreviewSettings& settings) {
    return quorvane::bench::TimeSeconds([&] { quorvane::PreviewFileRows(rows, settings); });
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t rowCount = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int runCount = argc > 2 ? std::atoi(argv[2]) : 5;
    FileRows rows = MakeRows(rowCount);
    struct Named {
        const char* name;
        PreviewSettings settings;
        double budget = 0.2;
    };
    std::vector<Named> runs(11);
    runs[0] = {"case: capitalize + new extension", {}};
    runs[0].settings.caseAndExtension = {quorvane::NameCase::CapitalizeWords,
                                         quorvane::ExtensionCase::NewExtension, "jpg"};
    runs[1] = {"insert from end", {}};
    runs[1].settings.activePage = quorvane::RulePage::Insert;
    runs[1].settings.insert = {"_v2", "3", true};
    runs[2] = {"delete", {}};
    runs[2].settings.activePage = quorvane::RulePage::Delete;
    runs[2].settings.deletion = {"2", "5", false};
    runs[3] = {"replace all", {}};
    runs[3].settings.activePage = quorvane::RulePage::Replace;
    runs[3].settings.replace = {"o", "0", quorvane::ReplaceMode::Replace, true, false};
    runs[4] = {"remove all", {}};
    runs[4].settings.activePage = quorvane::RulePage::Replace;
    runs[4].settings.replace = {" ", "", quorvane::ReplaceMode::Remove, true, true};
    runs[5] = {"number serial", {}};
    runs[5].settings.activePage = quorvane::RulePage::Enumeration;
    runs[5].settings.enumeration.prefix = "Holiday_";
    runs[5].settings.enumeration.fixedPart = "jpg";
    runs[6] = runs[5];
    runs[6].name = "letter serial, step 37";
    runs[6].settings.enumeration.serialKind = quorvane::kLowerLetterSerial;
    runs[6].settings.enumeration.startFrom = "a";
    runs[6].settings.enumeration.step = "37";
    runs[7] = {"regex replace all, groups", {}, 0.3};
    runs[7].settings.activePage = quorvane::RulePage::Replace;
    runs[7].settings.replace = {"(\\w+) (\\d+)", "$2_${1}", quorvane::ReplaceMode::Replace, true,
                                false,           true};
    runs[8] = {"regex remove all", {}, 0.3};
    runs[8].settings.activePage = quorvane::RulePage::Replace;
    runs[8].settings.replace = {"[aeiou]+", "", quorvane::ReplaceMode::Remove, true, true, true};
    runs[9] = {"regex replace first, anchored", {}, 0.3};
    runs[9].settings.activePage = quorvane::RulePage::Replace;
    runs[9].settings.replace = {"^Holiday", "Trip", quorvane::ReplaceMode::Replace,
                                false,      false,  true};
    // The worst case of an ordinary pattern: an empty match between every two
    // characters, so one match per character.
    runs[10] = {"regex replace all, an empty match at every character", {}, 0.3};
    runs[10].settings.activePage = quorvane::RulePage::Replace;
    runs[10].settings.replace = {"x*", "-", quorvane::ReplaceMode::Replace, true, true, true};
    for (const Named& run : runs) {
        // A warm-up run, then the median: the machine is shared.
        PreviewSeconds(rows, run.settings);
        std::vector<double> times;
        for (int i = 0; i < runCount; ++i)
            times.push_back(PreviewSeconds(rows, run.settings));
        quorvane::bench::PrintTimeRow("Preview " + std::to_string(rowCount) + " rows: " + run.name,
                                      quorvane::bench::Median(times), run.budget);
    }
    return 0;
}
