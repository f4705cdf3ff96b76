#pragma once
// What a run (rename, undo, attribute change) reports back to the window.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quorvane {

struct RunResult {
    std::size_t selectedAtStart = 0; // rows selected when the run began
    std::size_t failedFiles = 0;     // files with at least one failed operation
    std::vector<std::string> log;    // one line per failure, without line ends
    std::size_t lostFiles = 0;       // files the file system dropped on a failed rename
    // A row without a folder stopped the loop; the rows before it were handled,
    // no log file is written and no summary is shown.
    bool endedEarly = false;
    // Why the run history could not keep this run's outcomes; empty when it did.
    std::string historyError;

    bool AllWell() const { return failedFiles == 0; }
};

// Called once per visited row with the rows done so far and the row count.
// The window throttles what it draws; the call itself must stay cheap.
using RunProgress = std::function<void(std::size_t done, std::size_t total)>;

} // namespace quorvane
