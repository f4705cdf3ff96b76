#include "history/RunJournal.h"

#include <algorithm>

namespace quorvane {

RunJournal::RunJournal(HistoryStore& store, std::int64_t run, std::size_t batchSteps,
                       std::chrono::milliseconds batchAge)
    : m_store(store), m_run(run), m_batchSteps(batchSteps ? batchSteps : 1), m_batchAge(batchAge),
      m_batchStart(std::chrono::steady_clock::now()) {
    m_pending.reserve(m_batchSteps);
    m_store.WaitForLocks(false);
}

RunJournal::~RunJournal() {
    m_store.WaitForLocks(true);
}

void RunJournal::StepFinished(std::size_t step, StepState state, int error) {
    m_pending.push_back({step, state, error});
    // After a failed commit the outcomes wait for a whole batch or age more.
    if (m_pending.size() % m_batchSteps == 0 ||
        std::chrono::steady_clock::now() - m_batchStart >= m_batchAge)
        Commit();
}

bool RunJournal::Commit() {
    m_batchStart = std::chrono::steady_clock::now();
    if (!m_store.RecordOutcomes(m_run, m_pending)) {
        m_error = m_store.LastError();
        return false;
    }
    m_pending.clear();
    return true;
}

bool RunJournal::Finish(HistoryRunState state, std::size_t filesDone) {
    m_store.WaitForLocks(true);
    const bool committed = Commit();
    if (m_store.EndRun(m_run, state, filesDone))
        return committed;
    m_error = m_store.LastError();
    return false;
}

namespace {

// A record that cannot be read whole, or that lost whole files, gives
// nothing back.
std::optional<std::vector<RecordedStep>> WholeSteps(HistoryStore& store, const HistoryRun& run) {
    std::optional<std::vector<RecordedStep>> steps = store.Steps(run.id);
    if (steps && FilesOfSteps(*steps) != run.files)
        steps.reset();
    return steps;
}

// Undoes the steps under the journal of `undoRun`, then marks the run they
// give back by how many of its files came back.
void UndoUnderJournal(HistoryStore& store, std::int64_t undoRun, std::int64_t givenBack,
                      RunFileSystem& fileSystem, const RunProgress& progress, UndoOfRun& undo) {
    RunJournal journal(store, undoRun);
    undo.result = UndoRecordedSteps(undo.steps, fileSystem, &journal, progress);
    const std::size_t files = FilesOfSteps(undo.steps);
    const std::size_t back = files - std::min(files, undo.result.failedFiles);
    if (!journal.Finish(HistoryRunState::Finished, back))
        undo.result.historyError = journal.LastError();
    const bool whole = undo.result.failedFiles == 0;
    if (!store.SetState(givenBack, whole ? HistoryRunState::Undone : HistoryRunState::PartlyUndone,
                        back) &&
        undo.result.historyError.empty())
        undo.result.historyError = store.LastError();
}

} // namespace

RunResult RenameWithJournal(FileRows& rows, const StepPlan& plan, RunFileSystem& fileSystem,
                            HistoryStore* store, std::optional<std::int64_t> run,
                            const RunProgress& progress) {
    if (!store || !run)
        return RenameBySteps(rows, plan, fileSystem, nullptr, progress);
    RunJournal journal(*store, *run);
    RunResult result = RenameBySteps(rows, plan, fileSystem, &journal, progress);
    // Refused rows count as failed files but never had a step.
    const RowVerdicts& verdicts = plan.planned.plan.rows;
    const auto refused = static_cast<std::size_t>(std::count_if(
        verdicts.begin(), verdicts.end(), [](const RowVerdict& row) { return row.refused; }));
    const std::size_t files = FilesOfPlan(plan);
    const std::size_t failedSteppedRows =
        result.failedFiles > refused ? result.failedFiles - refused : 0;
    if (!journal.Finish(HistoryRunState::Finished,
                        files > failedSteppedRows ? files - failedSteppedRows : 0))
        result.historyError = journal.LastError();
    return result;
}

UndoOfRun UndoRecordedRun(HistoryStore& store, std::int64_t run, RunFileSystem& fileSystem,
                          std::int64_t nowUtc, const RunProgress& progress) {
    UndoOfRun undo;
    const std::optional<HistoryRun> recorded = store.Run(run);
    if (!recorded)
        return undo;
    undo.found = true;
    std::optional<std::vector<RecordedStep>> steps = WholeSteps(store, *recorded);
    if (!steps) {
        undo.damaged = true;
        return undo;
    }
    undo.steps = PlanUndoOfRecord(std::move(*steps));
    // The undo is recorded like any run; where that fails it goes on without
    // a record: giving files back must not wait for the history.
    const std::optional<std::int64_t> undoRun =
        store.BeginRun(HistoryRunKind::Undo, recorded->folder, nowUtc, undo.steps, run);
    if (undoRun) {
        UndoUnderJournal(store, *undoRun, run, fileSystem, progress, undo);
    } else {
        undo.result = UndoRecordedSteps(undo.steps, fileSystem, nullptr, progress);
        undo.result.historyError = store.LastError();
    }
    undo.result.selectedAtStart = recorded->files;
    return undo;
}

UndoOfRun FinishUndoRun(HistoryStore& store, std::int64_t undoRun, RunFileSystem& fileSystem,
                        const RunProgress& progress) {
    UndoOfRun undo;
    const std::optional<HistoryRun> recorded = store.Run(undoRun);
    if (!recorded || recorded->kind != HistoryRunKind::Undo)
        return undo;
    undo.found = true;
    // The same steps again, from the record of the run it gives back: the
    // files already back are found under their old names and skipped.
    const std::optional<HistoryRun> givenBack = store.Run(recorded->undoOf);
    std::optional<std::vector<RecordedStep>> steps =
        givenBack ? WholeSteps(store, *givenBack) : std::nullopt;
    const std::optional<std::vector<RecordedStep>> own = WholeSteps(store, *recorded);
    if (steps)
        undo.steps = PlanUndoOfRecord(std::move(*steps));
    if (!steps || !own || own->size() != undo.steps.size()) {
        undo.damaged = true;
        undo.steps.clear();
        return undo;
    }
    store.ResumeRun();
    UndoUnderJournal(store, undoRun, givenBack->id, fileSystem, progress, undo);
    undo.result.selectedAtStart = givenBack->files;
    return undo;
}

UnfinishedRunOnDisk JudgeUnfinishedRun(HistoryStore& store, const HistoryRun& run,
                                       RunFileSystem& fileSystem) {
    UnfinishedRunOnDisk judged;
    judged.run = run;
    judged.files = run.files;
    const std::optional<std::vector<RecordedStep>> steps = WholeSteps(store, run);
    if (!steps) {
        judged.damaged = true;
        return judged;
    }
    if (run.kind == HistoryRunKind::Undo) {
        judged.done = judged.arrived = FilesBackOnDisk(*steps, fileSystem);
        return judged;
    }
    const RenamedOnDisk renamed = JudgeRenamesOnDisk(*steps, fileSystem);
    judged.done = renamed.away;
    judged.arrived = renamed.arrived;
    return judged;
}

bool KeepUnfinishedRun(HistoryStore& store, const UnfinishedRunOnDisk& judged) {
    if (judged.damaged)
        return store.EndRun(judged.run.id, HistoryRunState::Damaged, 0);
    if (!store.EndRun(judged.run.id, HistoryRunState::Interrupted, judged.done))
        return false;
    if (judged.run.kind == HistoryRunKind::Undo && judged.run.undoOf != 0)
        return store.SetState(judged.run.undoOf, HistoryRunState::PartlyUndone, judged.done);
    return true;
}

bool EndRunFinishedOnDisk(HistoryStore& store, const UnfinishedRunOnDisk& judged) {
    if (judged.damaged || judged.arrived != judged.files || judged.files == 0)
        return false;
    store.EndRun(judged.run.id, HistoryRunState::Finished, judged.done);
    if (judged.run.kind == HistoryRunKind::Undo && judged.run.undoOf != 0)
        store.SetState(judged.run.undoOf, HistoryRunState::Undone, judged.done);
    return true;
}

} // namespace quorvane
