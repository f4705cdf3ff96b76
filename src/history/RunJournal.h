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
// `batchAge` or `batchSteps` steps. A commit that fails (a database another
// program holds locked, a full disk) neither stops nor stalls the run: the
// outcomes wait in memory and go with the next commit. What never reached
// the record is judged by the disk if the run is ever given back.
class RunJournal final : public StepRecorder {
public:
    RunJournal(HistoryStore& store, std::int64_t run, std::size_t batchSteps = 1000,
               std::chrono::milliseconds batchAge = std::chrono::milliseconds(50));
    ~RunJournal() override;
    void StepFinished(std::size_t step, StepState state, int error) override;
    // Commits what is left (waiting for a lock now), then marks the run's end.
    // False when some of it could not be written; LastError says why.
    bool Finish(HistoryRunState state, std::size_t filesDone);
    const std::string& LastError() const { return m_error; }

private:
    bool Commit();

    HistoryStore& m_store;
    std::int64_t m_run;
    std::size_t m_batchSteps;
    std::chrono::milliseconds m_batchAge;
    std::chrono::steady_clock::time_point m_batchStart;
    std::vector<StepOutcome> m_pending;
    std::string m_error;
};

// A journalled rename run over the planned steps. With no run id (the user
// chose to rename without a record) it runs without a journal. When the
// history could not keep the outcomes, the result says so (historyError).
RunResult RenameWithJournal(FileRows& rows, const StepPlan& plan, RunFileSystem& fileSystem,
                            HistoryStore* store, std::optional<std::int64_t> run,
                            const RunProgress& progress = {});

struct UndoOfRun {
    RunResult result;
    std::vector<RecordedStep> steps; // the undo steps with their outcomes
    bool found = false;              // false when the history holds no such run
    bool damaged = false;            // its record cannot be read whole: nothing was done
};

// Gives a recorded run back (see UndoRecordedSteps), journalled as an undo
// run of its own; the run given back is then marked undone, or partly undone
// when some of its files could not come back (a later try skips the files
// already back). "Total files" of its summary is the number of files the
// run set out to rename.
UndoOfRun UndoRecordedRun(HistoryStore& store, std::int64_t run, RunFileSystem& fileSystem,
                          std::int64_t nowUtc, const RunProgress& progress = {});

// Carries on an undo run that did not finish, as the same run: the files it
// gave back are skipped, the rest come back.
UndoOfRun FinishUndoRun(HistoryStore& store, std::int64_t undoRun, RunFileSystem& fileSystem,
                        const RunProgress& progress = {});

// What an unfinished run left on disk, for the question at the next start.
struct UnfinishedRunOnDisk {
    HistoryRun run;
    bool damaged = false;    // the record cannot be read whole
    std::size_t done = 0;    // renamed (a rename run) or given back (an undo run)
    std::size_t arrived = 0; // of those, the files whose every step is done
    std::size_t files = 0;
};
UnfinishedRunOnDisk JudgeUnfinishedRun(HistoryStore& store, const HistoryRun& run,
                                       RunFileSystem& fileSystem);

// The user chose to keep an unfinished run as it is; an undo leaves the run
// it gave back partly undone, for Run History to try again. False when the
// history could not keep that (see the store's LastError).
bool KeepUnfinishedRun(HistoryStore& store, const UnfinishedRunOnDisk& judged);

// Marks a run whose every file is where it was going as finished, without
// a question (its end was never recorded: the history could not be
// written). True when it did.
bool EndRunFinishedOnDisk(HistoryStore& store, const UnfinishedRunOnDisk& judged);

} // namespace quorvane
