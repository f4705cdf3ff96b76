#include "runs/RenameRun.h"

#include "platform/Rename.h"
#include "runs/RunLoop.h"

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

std::string LogLine(const std::string& folder, const std::string& from, const std::string& to,
                    std::string_view tail) {
    std::string line;
    line.reserve(2 * folder.size() + from.size() + to.size() + 24);
    line.append(folder).append(from).append(" -------> ").append(folder).append(to).append(tail);
    return line;
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
    // A row is marked at its last step, so that the rows done before an
    // error that ends the run show their outcome.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> lastStep(rows.size(), kNone);
    for (std::size_t i = 0; i < plan.steps.size(); ++i)
        if (plan.steps[i].row < rows.size())
            lastStep[plan.steps[i].row] = i;
    std::vector<bool> rowFailed(rows.size(), false);
    const std::size_t total = plan.steps.size();
    for (std::size_t i = 0; i < total; ++i) {
        const PlannedStep& step = plan.steps[i];
        const int error = RenameInFolder(fileSystem, *step.folder, step.from, step.to);
        if (recorder)
            recorder->StepFinished(i, error == 0 ? StepState::Done : StepState::Failed, error);
        if (error != 0)
            result.log.push_back(RenameFailureLine(*step.folder, step.from, step.to));
        if (step.row < rows.size()) {
            const bool failed = rowFailed[step.row] || error != 0;
            rowFailed[step.row] = failed;
            if (lastStep[step.row] == i) {
                FileRow& row = rows[step.row];
                result.failedFiles += failed ? 1 : 0;
                std::string mark = Marked(failed ? kErrMark : kOkMark, row.originalName);
                row.originalName = std::move(row.newName);
                row.newName = std::move(mark);
            }
        }
        if (progress)
            progress(i + 1, total);
    }
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

RunResult UndoRecordedSteps(std::vector<RecordedStep>& steps, RunFileSystem& fileSystem,
                            StepRecorder* recorder, const RunProgress& progress) {
    struct EndOfRun {
        RunFileSystem& fileSystem;
        ~EndOfRun() { fileSystem.RunEnded(); }
    } endOfRun{fileSystem};
    RunResult result;
    std::unordered_set<std::size_t> failedRows;
    const std::size_t total = steps.size();
    for (std::size_t i = 0; i < total; ++i) {
        RecordedStep& step = steps[i];
        const bool recordedDone = step.state == StepState::Done;
        const std::optional<FileIdentity> found = fileSystem.Identify(step.folder, step.from);
        const bool sameFile =
            found && (step.inode == 0 || *found == FileIdentity{step.device, step.inode});
        int error = 0;
        if (!sameFile) {
            step.state = recordedDone ? StepState::Failed : StepState::Skipped;
            error = recordedDone ? ESTALE : 0;
            if (recordedDone)
                result.log.push_back(ChangedFileLine(step.folder, step.from, step.to));
        } else {
            error = RenameInFolder(fileSystem, step.folder, step.from, step.to);
            step.state = error == 0 ? StepState::Done : StepState::Failed;
            if (error == EEXIST)
                result.log.push_back(ChangedFileLine(step.folder, step.from, step.to));
            else if (error != 0)
                result.log.push_back(RenameFailureLine(step.folder, step.from, step.to));
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
    // Undo steps run from the last name back to the first, so a row's last
    // undo step ends at its old name.
    for (const RecordedStep& step : undoSteps) {
        if (step.state != StepState::Done)
            continue;
        auto found = marked.find(step.folder + step.from);
        if (found == marked.end())
            continue;
        FileRow* row = found->second;
        marked.erase(found);
        row->originalName = step.to;
        if (row->newName.compare(kOkMark.size(), std::string::npos, step.to) == 0)
            row->newName.clear();
        else
            marked.emplace(step.folder + step.to, row); // a temporary name on the way back
    }
}

RunResult RenameFiles(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress) {
    return RenameBySteps(rows, PlanStepsByRow(rows), fileSystem, nullptr, progress);
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
