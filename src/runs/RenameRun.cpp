#include "runs/RenameRun.h"

#include "planner/RenamePlan.h"
#include "platform/Rename.h"
#include "runs/RunLoop.h"

#include <algorithm>
#include <cerrno>
#include <unordered_map>
#include <unordered_set>

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
                 RunFileSystem& fileSystem, StepRecorder* recorder,
                 std::vector<StepOutcome>& outcomes) {
    for (std::size_t k = failed - 1; k > first; --k) {
        const RenameStep& step = plan.steps[k];
        if (outcomes[step.row].error != 0)
            continue;
        if (RenameInFolder(fileSystem, step.folder, step.to, step.from) != 0) {
            outcomes[plan.steps[first].row].strandedAs = plan.steps[first].to;
            return;
        }
        outcomes[step.row].error = ECANCELED;
        if (recorder)
            recorder->StepFinished(k, StepState::Failed, ECANCELED);
    }
    const RenameStep& parked = plan.steps[first];
    if (RenameInFolder(fileSystem, parked.folder, parked.to, parked.from) != 0)
        outcomes[parked.row].strandedAs = parked.to;
    else if (recorder)
        recorder->StepFinished(first, StepState::Failed, ECANCELED);
}

// Carries out the plan's moves, each without replace. A row refused by the
// plan is never tried; a row in a cycle whose second move fails is moved back
// from its temporary name.
void RunSteps(const RenamePlan& plan, RunFileSystem& fileSystem, StepRecorder* recorder,
              const RunProgress& progress, std::size_t total, std::vector<StepOutcome>& outcomes) {
    // Where each row went into a temporary name, for the way back.
    std::vector<std::size_t> intoTemporary(plan.rows.size(), kNoRow);
    const std::size_t stepCount = plan.steps.size();
    for (std::size_t s = 0; s < stepCount; ++s) {
        const RenameStep& step = plan.steps[s];
        StepOutcome& outcome = outcomes[step.row];
        if (outcome.error == 0) {
            // Control bytes are refused in a name a run gives, not in the way
            // back, which restores names the files already had.
            const bool refused = !step.isTemporary && !IsAcceptableNewName(step.to);
            outcome.error =
                refused ? EINVAL : RenameInFolder(fileSystem, step.folder, step.from, step.to);
            if (recorder)
                recorder->StepFinished(s, outcome.error == 0 ? StepState::Done : StepState::Failed,
                                       outcome.error);
            if (outcome.error == 0 && step.isTemporary)
                intoTemporary[step.row] = s;
            if (outcome.error != 0 && !step.isTemporary && intoTemporary[step.row] != kNoRow)
                UnwindCycle(plan, intoTemporary[step.row], s, fileSystem, recorder, outcomes);
        } else if (recorder) {
            recorder->StepFinished(s, StepState::Skipped, 0); // its row failed a step before
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
            // ESTALE: the folder is no longer the one the scan listed.
            result.log.push_back(outcome.error == ESTALE
                                     ? ChangedFileLine(folder, row.originalName, row.newName)
                                     : RenameFailureLine(folder, row.originalName, row.newName));
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

std::string LogLine(const std::string& folder, const std::string& from, const std::string& to,
                    std::string_view tail) {
    std::string line;
    line.reserve(2 * folder.size() + from.size() + to.size() + 24);
    line.append(folder).append(from).append(" -------> ").append(folder).append(to).append(tail);
    return line;
}

// A folder a run renamed: its path before and after, both ending in "/".
struct FolderMove {
    std::string from;
    std::string to;
};

// `path` once the moves are carried out in their order.
std::string MovedPath(std::string path, const std::vector<FolderMove>& moves) {
    for (const FolderMove& move : moves) {
        if (path.compare(0, move.from.size(), move.from) == 0)
            path = move.to + path.substr(move.from.size());
    }
    return path;
}

// Rows in folders the run renamed show the folders' new paths, so the next
// run finds their files. A renamed folder is still the folder the scan
// listed: it keeps its identity. Rows of one folder share its new path.
void MoveRowFolders(FileRows& rows, const std::vector<FolderMove>& moves) {
    if (moves.empty())
        return;
    std::unordered_map<std::string, FolderPath> moved; // old path: new path, or none
    const FolderPath* lastOld = nullptr;
    FolderPath lastNew;
    for (FileRow& row : rows) {
        if (!row.folder)
            continue;
        if (!lastOld || !(*lastOld == row.folder)) {
            const auto [found, added] = moved.try_emplace(*row.folder);
            if (added) {
                std::string path = MovedPath(*row.folder, moves);
                if (path != *row.folder) {
                    found->second = FolderPath(std::move(path));
                    found->second.SetIdentity(row.folder.Device(), row.folder.Inode());
                }
            }
            lastNew = found->second;
            lastOld = &row.folder;
        }
        if (lastNew) {
            row.folder = lastNew;
            lastOld = &row.folder;
        }
    }
}

} // namespace

std::string RenameFailureLine(const std::string& folder, const std::string& from,
                              const std::string& to) {
    return LogLine(folder, from, to, "   [Fail]");
}

std::string ChangedFileLine(const std::string& folder, const std::string& from,
                            const std::string& to) {
    return LogLine(folder, from, to, "   [Changed]");
}

RunResult RenameBySteps(FileRows& rows, const StepPlan& plan, RunFileSystem& fileSystem,
                        StepRecorder* recorder, const RunProgress& progress) {
    RunResult result;
    result.selectedAtStart = SelectedRowCount(rows);
    result.endedEarly = plan.endedEarly;
    const RunScope scope(fileSystem);
    ExpectScannedFolders(rows, fileSystem);
    const FileRowsPlan& planned = plan.planned;
    std::vector<StepOutcome> outcomes(planned.plan.rows.size());
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const RowVerdict& verdict = planned.plan.rows[i];
        if (verdict.refused)
            outcomes[i].error = verdict.plan == RowPlan::CannotHold ? EINVAL : EEXIST;
        outcomes[i].finished = verdict.refused || verdict.plan == RowPlan::Unchanged;
    }
    // The rows done so far show their outcome, and those inside a renamed
    // folder its new path; the rest stay as they were.
    const auto markRows = [&] {
        MarkRows(rows, planned, outcomes, result);
        std::vector<FolderMove> moves;
        for (const RenameStep& step : planned.plan.steps) {
            if (step.isFolder && outcomes[step.row].finished && outcomes[step.row].error == 0)
                moves.push_back({step.folder + step.from + "/", step.folder + step.to + "/"});
        }
        MoveRowFolders(rows, moves);
    };
    try {
        RunSteps(planned.plan, fileSystem, recorder, progress, plan.end, outcomes);
    } catch (...) {
        markRows();
        throw;
    }
    markRows();
    return result;
}

std::vector<RecordedStep> PlanUndoOfRecord(std::vector<RecordedStep> recorded) {
    std::vector<RecordedStep> steps;
    steps.reserve(recorded.size());
    for (auto it = recorded.rbegin(); it != recorded.rend(); ++it) {
        if (it->state != StepState::Done && it->state != StepState::Pending)
            continue;
        RecordedStep& back = steps.emplace_back(std::move(*it));
        std::swap(back.from, back.to);
        back.error = 0;
    }
    return steps;
}

namespace {

// Where each row's file ends when it is given back: the last undo step of
// the row leads to the name it had before the run. Rows are list positions,
// so a vector indexed by them is small and quick.
std::vector<const std::string*> OriginalNames(const std::vector<RecordedStep>& steps) {
    std::size_t rows = 0;
    for (const RecordedStep& step : steps)
        rows = std::max(rows, step.row + 1);
    std::vector<const std::string*> names(rows, nullptr);
    for (const RecordedStep& step : steps)
        names[step.row] = &step.to;
    return names;
}

enum class UndoCheck { Move, AlreadyBack, Changed, NeverMoved };

// One statx while all is well: the file under the step's current name is the
// one the run renamed. Otherwise a second look at the row's old name tells a
// file given back before (an undo tried again) from one that changed.
UndoCheck CheckUndoStep(const RecordedStep& step, const std::string& originalName,
                        RunFileSystem& fileSystem) {
    const FileIdentity recorded = IdentityOf(step);
    const std::optional<FileIdentity> found = fileSystem.Identify(step.folder, step.from);
    if (found && found->SameFileAs(recorded))
        return UndoCheck::Move;
    const std::optional<FileIdentity> atOriginal = fileSystem.Identify(step.folder, originalName);
    if (atOriginal && atOriginal->SameFileAs(recorded))
        return UndoCheck::AlreadyBack;
    // A step that may never have happened and left nothing under its name.
    if (step.state == StepState::Pending && !found)
        return UndoCheck::NeverMoved;
    return UndoCheck::Changed;
}

} // namespace

RunResult UndoRecordedSteps(std::vector<RecordedStep>& steps, RunFileSystem& fileSystem,
                            StepRecorder* recorder, const RunProgress& progress) {
    struct EndOfRun {
        RunFileSystem& fileSystem;
        ~EndOfRun() { fileSystem.RunEnded(); }
    } endOfRun{fileSystem};
    RunResult result;
    const auto originalNames = OriginalNames(steps);
    std::unordered_set<std::size_t> failedRows;
    const std::size_t total = steps.size();
    for (std::size_t i = 0; i < total; ++i) {
        RecordedStep& step = steps[i];
        int error = 0;
        switch (CheckUndoStep(step, *originalNames[step.row], fileSystem)) {
        case UndoCheck::Move:
            error = RenameInFolder(fileSystem, step.folder, step.from, step.to);
            step.state = error == 0 ? StepState::Done : StepState::Failed;
            if (error == EEXIST)
                result.log.push_back(ChangedFileLine(step.folder, step.from, step.to));
            else if (error != 0)
                result.log.push_back(RenameFailureLine(step.folder, step.from, step.to));
            break;
        case UndoCheck::AlreadyBack:
        case UndoCheck::NeverMoved:
            step.state = StepState::Skipped;
            break;
        case UndoCheck::Changed:
            step.state = StepState::Failed;
            error = ESTALE;
            result.log.push_back(ChangedFileLine(step.folder, step.from, step.to));
            break;
        }
        step.error = error;
        if (step.state == StepState::Failed)
            failedRows.insert(step.row);
        if (recorder)
            recorder->StepFinished(i, step.state, error);
        if (progress)
            progress(i + 1, total);
    }
    result.failedFiles = failedRows.size();
    return result;
}

void MarkRowsUndone(FileRows& rows, const std::vector<RecordedStep>& undoSteps) {
    // Rows may have been sorted since the run: they are found by folder and name.
    std::unordered_map<std::string, FileRow*> marked;
    for (FileRow& row : rows) {
        if (row.folder && row.newName.compare(0, kOkMark.size(), kOkMark) == 0)
            marked.emplace(*row.folder + row.originalName, &row);
    }
    if (marked.empty())
        return;
    // A folder given back first holds the rest under its old path, while its
    // rows still show the new one: a step's folder is looked up as the rows
    // show it, the folders given back so far taken back out of it.
    std::vector<FolderMove> givenBack, shownAs;
    // Undo steps run from the last name back to the first, so a row's last
    // undo step ends at its old name.
    for (const RecordedStep& step : undoSteps) {
        if (step.state != StepState::Done)
            continue;
        const std::string shown = shownAs.empty() ? step.folder : MovedPath(step.folder, shownAs);
        auto found = marked.find(shown + step.from);
        if (found == marked.end())
            continue;
        FileRow* row = found->second;
        marked.erase(found);
        if (row->isFolder) {
            givenBack.push_back({step.folder + step.from + "/", step.folder + step.to + "/"});
            shownAs.insert(shownAs.begin(), {step.folder + step.to + "/", shown + step.from + "/"});
        }
        row->originalName = step.to;
        if (row->newName.compare(kOkMark.size(), std::string::npos, step.to) == 0)
            row->newName.clear();
        else
            marked.emplace(shown + step.to, row); // a temporary name on the way back
    }
    MoveRowFolders(rows, givenBack);
}

RunResult RenameFiles(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress) {
    RunFolderLister lister(fileSystem);
    return RenameBySteps(rows, PlanSteps(rows, lister), fileSystem, nullptr, progress);
}

RunResult UndoRenames(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress) {
    RunResult result;
    result.selectedAtStart = SelectedRowCount(rows);
    const RunScope scope(fileSystem);
    ExpectScannedFolders(rows, fileSystem);
    VisitRunRows(rows, RunOrder::LastToFirst, progress, result, [&](FileRow& row) {
        if (row.newName.compare(0, kOkMark.size(), kOkMark) != 0)
            return;
        const std::string& folder = *row.folder;
        const std::string oldName = row.newName.substr(kOkMark.size());
        if (RenameInFolder(fileSystem, folder, row.originalName, oldName) == 0) {
            // The row now matches the disk again and has nothing left to undo,
            // so a second Undo before the next scan cannot touch the file.
            const std::string newName = std::move(row.originalName);
            row.originalName = oldName;
            row.newName.clear();
            // The rows inside show the folder's old path again before any
            // of them is given back, whatever the list's order.
            if (row.isFolder)
                MoveRowFolders(rows, {{folder + newName + "/", folder + oldName + "/"}});
        } else {
            ++result.failedFiles;
            result.log.push_back(RenameFailureLine(folder, row.originalName, oldName));
        }
    });
    return result;
}

} // namespace quorvane
