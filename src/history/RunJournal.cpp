#include "history/RunJournal.h"

#include <algorithm>

namespace quorvane {

RunJournal::RunJournal(HistoryStore& store, std::int64_t run, std::size_t batchSteps,
                       std::chrono::milliseconds batchAge)
    : m_store(store), m_run(run), m_batchSteps(batchSteps ? batchSteps : 1), m_batchAge(batchAge),
      m_batchStart(std::chrono::steady_clock::now()) {
    m_pending.reserve(m_batchSteps);
}

void RunJournal::StepFinished(std::size_t step, StepState state, int error) {
    m_pending.push_back({step, state, error});
    if (m_pending.size() >= m_batchSteps ||
        std::chrono::steady_clock::now() - m_batchStart >= m_batchAge)
        Commit();
}

bool RunJournal::Commit() {
    const bool ok = m_store.RecordOutcomes(m_run, m_pending);
    m_pending.clear();
    m_batchStart = std::chrono::steady_clock::now();
    return ok;
}

bool RunJournal::Finish(HistoryRunState state, std::size_t filesDone) {
    const bool committed = Commit();
    return m_store.EndRun(m_run, state, filesDone) && committed;
}

namespace {

// Files whose every step is done. Rows are list positions, so a vector
// indexed by them is small and quick.
std::size_t FilesDone(const std::vector<RecordedStep>& steps) {
    std::size_t rows = 0;
    for (const RecordedStep& step : steps)
        rows = std::max(rows, step.row + 1);
    std::vector<std::uint8_t> state(rows, 0); // 0 none, 1 all done, 2 one not done
    for (const RecordedStep& step : steps) {
        std::uint8_t& row = state[step.row];
        row = step.state == StepState::Done && row != 2 ? 1 : 2;
    }
    return static_cast<std::size_t>(std::count(state.begin(), state.end(), 1));
}

// Every planned row has one step that ends under its new name.
std::size_t FilesOfPlan(const StepPlan& plan) {
    const std::vector<RenameStep>& steps = plan.planned.plan.steps;
    return static_cast<std::size_t>(std::count_if(
        steps.begin(), steps.end(), [](const RenameStep& step) { return !step.isTemporary; }));
}

} // namespace

RunResult RenameWithJournal(FileRows& rows, const StepPlan& plan, RunFileSystem& fileSystem,
                            HistoryStore* store, std::optional<std::int64_t> run,
                            const RunProgress& progress) {
    if (!store || !run)
        return RenameBySteps(rows, plan, fileSystem, nullptr, progress);
    RunJournal journal(*store, *run);
    const RunResult result = RenameBySteps(rows, plan, fileSystem, &journal, progress);
    // Refused rows count as failed files but never had a step.
    const std::vector<RowVerdict>& verdicts = plan.planned.plan.rows;
    const auto refused = static_cast<std::size_t>(std::count_if(
        verdicts.begin(), verdicts.end(), [](const RowVerdict& row) { return row.refused; }));
    const std::size_t files = FilesOfPlan(plan);
    const std::size_t failedSteppedRows =
        result.failedFiles > refused ? result.failedFiles - refused : 0;
    journal.Finish(HistoryRunState::Finished,
                   files > failedSteppedRows ? files - failedSteppedRows : 0);
    return result;
}

UndoOfRun UndoRecordedRun(HistoryStore& store, std::int64_t run, RunFileSystem& fileSystem,
                          std::int64_t nowUtc, const RunProgress& progress) {
    UndoOfRun undo;
    const std::optional<HistoryRun> recorded = store.Run(run);
    if (!recorded)
        return undo;
    undo.found = true;
    undo.steps = PlanUndoOfRecord(store.Steps(run));
    // The undo is recorded like any run; where that fails it goes on without
    // a record: giving files back must not wait for the history.
    const std::optional<std::int64_t> undoRun =
        store.BeginRun(HistoryRunKind::Undo, recorded->folder, nowUtc, undo.steps, run);
    if (undoRun) {
        RunJournal journal(store, *undoRun);
        undo.result = UndoRecordedSteps(undo.steps, fileSystem, &journal, progress);
        journal.Finish(HistoryRunState::Finished, FilesDone(undo.steps));
    } else {
        undo.result = UndoRecordedSteps(undo.steps, fileSystem, nullptr, progress);
    }
    undo.result.selectedAtStart = recorded->files;
    store.SetState(run, HistoryRunState::Undone);
    return undo;
}

} // namespace quorvane
