#pragma once
// The frame every run over the list shares: each row is visited once, a row
// without a folder stops the run there, and the progress callback hears of
// every visited row.

#include "rules/FileRow.h"
#include "runs/RunResult.h"

#include <cstddef>

namespace quorvane {

enum class RunOrder { FirstToLast, LastToFirst };

// Calls `visit(row)` for each row in `order`. The vector must not change size
// while the run goes on. A row without a folder sets `result.endedEarly` and
// ends the loop before that row is visited or reported.
template <typename Visit>
void VisitRunRows(FileRows& rows, RunOrder order, const RunProgress& progress, RunResult& result,
                  Visit&& visit) {
    const std::size_t total = rows.size();
    for (std::size_t done = 0; done < total; ++done) {
        FileRow& row = rows[order == RunOrder::FirstToLast ? done : total - 1 - done];
        if (!row.folder) {
            result.endedEarly = true;
            return;
        }
        visit(row);
        if (progress)
            progress(done + 1, total);
    }
}

} // namespace quorvane
