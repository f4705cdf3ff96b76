#pragma once
// Rename and undo runs with their journal: the plan is committed before the
// first rename, the outcomes in batches while the run goes, the end last.

#include "history/HistoryStore.h"
#include "runs/RenameRun.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// Keeps the outcomes of one run's steps, committing them at least every
// `batchAge` or `batchSteps` steps. A failed commit does not stop the run:
// the steps it lost are judged by the disk if the run is ever given back.
class RunJournal final : public StepRecorder {
public:
    RunJournal(HistoryStore& store, std::int64_t run, std::size_t batchSteps = 1000,
               std::chrono::milliseconds batchAge = std::chrono::milliseconds(50));
    void StepFinished(std::size_t step, StepState state, int error) override;
    // Commits what is left, then marks the run's end.
    bool Finish(HistoryRunState state, std::size_t filesDone);

private:
    bool Commit();

    HistoryStore& m_store;
    std::int64_t m_run;
    std::size_t m_batchSteps;
    std::chrono::milliseconds m_batchAge;
    std::chrono::steady_clock::time_point m_batchStart;
    std::vector<StepOutcome> m_pending;
};

// A journalled rename run over the planned steps. With no run id (the user
// chose to rename without a record) it runs without a journal.
RunResult RenameWithJournal(FileRows& rows, const StepPlan& plan, RunFileSystem& fileSystem,
                            HistoryStore* store, std::optional<std::int64_t> run,
                            const RunProgress& progress = {});

struct UndoOfRun {
    RunResult result;
    std::vector<RecordedStep> steps; // the undo steps with their outcomes
    bool found = false;              // false when the history holds no such run
};

// Gives a recorded run back (see UndoRecordedSteps), journalled as an undo
// run of its own; the run given back is then marked undone. "Total files"
// of its summary is the number of files the run set out to rename.
UndoOfRun UndoRecordedRun(HistoryStore& store, std::int64_t run, RunFileSystem& fileSystem,
                          std::int64_t nowUtc, const RunProgress& progress = {});

} // namespace quorvane
