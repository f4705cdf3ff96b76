#include "runs/RenameRun.h"

#include "planner/RenamePlan.h"
#include "platform/Rename.h"
#include "runs/RunLoop.h"

#include <cerrno>

namespace quorvane {
namespace {

std::string Marked(std::string_view mark, const std::string& name) {
    std::string text;
    text.reserve(mark.size() + name.size());
    text.append(mark).append(name);
    return text;
}

// A new name that is not one plain entry of the folder ("/", NUL, "." or "..")
// would move the file elsewhere; it is refused before the file system sees it.
int RenameInFolder(RunFileSystem& fileSystem, const std::string& folder, const std::string& from,
                   const std::string& to) {
    if (!IsValidEntryName(to) || !IsValidEntryName(from))
        return EINVAL;
    return fileSystem.Rename(folder, from, to);
}

struct StepOutcome {
    int error = 0;
    bool finished = false;  // every step of the row was tried
    std::string strandedAs; // the temporary name a file could not leave
};

// The last move of a cycle failed: the moves since its first step are taken
// back in reverse, so every file of the cycle ends under its old name. A move
// that cannot be taken back stops the way back and leaves the file whose cycle
// it was under the temporary name, which the log then names.
void UnwindCycle(const RenamePlan& plan, std::size_t first, std::size_t failed,
                 RunFileSystem& fileSystem, std::vector<StepOutcome>& outcomes) {
    for (std::size_t k = failed - 1; k > first; --k) {
        const RenameStep& step = plan.steps[k];
        if (outcomes[step.row].error != 0)
            continue;
        if (RenameInFolder(fileSystem, step.folder, step.to, step.from) != 0) {
            outcomes[plan.steps[first].row].strandedAs = plan.steps[first].to;
            return;
        }
        outcomes[step.row].error = ECANCELED;
    }
    const RenameStep& parked = plan.steps[first];
    if (RenameInFolder(fileSystem, parked.folder, parked.to, parked.from) != 0)
        outcomes[parked.row].strandedAs = parked.to;
}

// Carries out the plan's moves, each without replace. A row refused by the
// plan is never tried; a row in a cycle whose second move fails is moved back
// from its temporary name.
void RunSteps(const RenamePlan& plan, RunFileSystem& fileSystem, const RunProgress& progress,
              std::size_t total, std::vector<StepOutcome>& outcomes) {
    // Where each row went into a temporary name, for the way back.
    std::vector<std::size_t> intoTemporary(plan.rows.size(), kNoRow);
    const std::size_t stepCount = plan.steps.size();
    for (std::size_t s = 0; s < stepCount; ++s) {
        const RenameStep& step = plan.steps[s];
        StepOutcome& outcome = outcomes[step.row];
        if (outcome.error == 0) {
            outcome.error = RenameInFolder(fileSystem, step.folder, step.from, step.to);
            if (outcome.error == 0 && step.isTemporary)
                intoTemporary[step.row] = s;
            if (outcome.error != 0 && !step.isTemporary && intoTemporary[step.row] != kNoRow)
                UnwindCycle(plan, intoTemporary[step.row], s, fileSystem, outcomes);
        }
        if (!step.isTemporary)
            outcome.finished = true;
        if (progress)
            progress(total * (s + 1) / stepCount, total);
    }
    if (progress && stepCount == 0 && total > 0)
        progress(total, total);
}

// Marks every finished row by its outcome, in list order, and logs its
// failure; unfinished rows (a run cut short) are left as they were.
void MarkRows(FileRows& rows, const FileRowsPlan& planned, const std::vector<StepOutcome>& outcomes,
              RunResult& result) {
    for (std::size_t p = 0; p < planned.listRow.size(); ++p) {
        const StepOutcome& outcome = outcomes[p];
        if (!outcome.finished)
            continue;
        FileRow& row = rows[planned.listRow[p]];
        const std::string& folder = *row.folder;
        if (outcome.error != 0) {
            ++result.failedFiles;
            result.log.push_back(RenameFailureLine(folder, row.originalName, row.newName));
        }
        if (outcome.error == kErrorSourceLost) {
            ++result.lostFiles;
            result.log.push_back(folder + row.originalName +
                                 "   [Lost: the file system dropped it when the rename failed]");
        }
        if (!outcome.strandedAs.empty()) {
            result.log.push_back(folder + row.originalName + " -------> " + folder +
                                 outcome.strandedAs + "   [Kept under this name]");
        }
        std::string mark = Marked(outcome.error == 0 ? kOkMark : kErrMark, row.originalName);
        row.originalName = std::move(row.newName);
        row.newName = std::move(mark);
    }
}

} // namespace

std::string RenameFailureLine(const std::string& folder, const std::string& from,
                              const std::string& to) {
    std::string line;
    line.reserve(2 * folder.size() + from.size() + to.size() + 20);
    line.append(folder)
        .append(from)
        .append(" -------> ")
        .append(folder)
        .append(to)
        .append("   [Fail]");
    return line;
}

RunResult RenameFiles(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress) {
    RunResult result;
    result.selectedAtStart = SelectedRowCount(rows);
    // A row without a folder ends the run there, as the row loop does.
    std::size_t end = 0;
    while (end < rows.size() && rows[end].folder)
        ++end;
    result.endedEarly = end < rows.size();

    RunFolderLister lister(fileSystem);
    const FileRowsPlan planned = PlanFileRows(rows, lister);
    std::vector<StepOutcome> outcomes(planned.plan.rows.size());
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const RowVerdict& verdict = planned.plan.rows[i];
        if (verdict.refused)
            outcomes[i].error = verdict.plan == RowPlan::CannotHold ? EINVAL : EEXIST;
        outcomes[i].finished = verdict.refused || verdict.plan == RowPlan::Unchanged;
    }
    try {
        RunSteps(planned.plan, fileSystem, progress, end, outcomes);
    } catch (...) {
        // The rows done so far show their outcome; the rest stay as they were.
        MarkRows(rows, planned, outcomes, result);
        throw;
    }
    MarkRows(rows, planned, outcomes, result);
    return result;
}

RunResult UndoRenames(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress) {
    RunResult result;
    result.selectedAtStart = SelectedRowCount(rows);
    VisitRunRows(rows, RunOrder::LastToFirst, progress, result, [&](FileRow& row) {
        if (row.newName.compare(0, kOkMark.size(), kOkMark) != 0)
            return;
        const std::string& folder = *row.folder;
        const std::string oldName = row.newName.substr(kOkMark.size());
        if (RenameInFolder(fileSystem, folder, row.originalName, oldName) == 0) {
            // The row now matches the disk again and has nothing left to undo,
            // so a second Undo before the next scan cannot touch the file.
            row.originalName = oldName;
            row.newName.clear();
        } else {
            ++result.failedFiles;
            result.log.push_back(RenameFailureLine(folder, row.originalName, oldName));
        }
    });
    return result;
}

} // namespace quorvane
