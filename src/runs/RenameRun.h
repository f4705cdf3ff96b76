#pragma once
// The rename run and its undo. The rows themselves are the undo record: after a
// run, a renamed row holds its new name and "<ok>" + the old name, a refused
// one its intended name and "<err>" + the old name.

#include "planner/RenamePlan.h"
#include "rules/FileRow.h"
#include "runs/RunFileSystem.h"
#include "runs/RunResult.h"
#include "runs/RunSteps.h"

#include <string_view>

namespace quorvane {

inline constexpr std::string_view kOkMark = "<ok>";
inline constexpr std::string_view kErrMark = "<err>";

// The plan's one listing of each folder, through the run's file system.
class RunFolderLister final : public FolderLister {
public:
    explicit RunFolderLister(RunFileSystem& fileSystem) : m_fileSystem(fileSystem) {}
    FolderFacts Describe(const std::string& folder) override {
        return m_fileSystem.DescribeFolder(folder);
    }

private:
    RunFileSystem& m_fileSystem;
};

// Hears the outcome of every step right after it, so that a journal can keep
// them. It must not throw for a failed write: the renames go on regardless.
class StepRecorder {
public:
    virtual ~StepRecorder() = default;
    // `error` is 0 or the errno value of the rename; `state` what the step came to.
    virtual void StepFinished(std::size_t step, StepState state, int error) = 0;
};

// Renames every row with a non-empty new name, in the order of the plan
// (chains from their free end, cycles through a temporary name), so the
// outcome does not depend on the list order. The caller must not reorder the
// vector while the run is going (re-sort after it, when the model is told).
RunResult RenameFiles(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress = {});

// Carries out the planned steps in their order, each without replace, and
// marks the rows in list order: "<ok>" when the row ended under its new name,
// else "<err>". A row the plan refuses is never tried; a cycle whose last
// move fails is taken back. Every step's outcome goes to the recorder, a
// step taken back once more as failed.
RunResult RenameBySteps(FileRows& rows, const StepPlan& plan, RunFileSystem& fileSystem,
                        StepRecorder* recorder, const RunProgress& progress = {});

// The steps that give a recorded run back: the done and possibly done steps
// in reverse run order, each from its new name to its old one, with the
// file's identity. A step keeps Done when the record says it was done, and
// Pending when its outcome was never recorded (the disk decides).
std::vector<RecordedStep> PlanUndoOfRecord(std::vector<RecordedStep> recorded);

// Carries out such undo steps, each only after checking that the file under
// its current name is the recorded one (device, inode and stamp; a step
// recorded without a stamp is never taken for its file). A recorded-done step
// whose file has changed or whose old name is taken fails with a "[Changed]"
// line and nothing moves; a pending one whose file is not there never
// happened, and a file already under its old name (an undo tried again) was
// given back before: both are Skipped. Each step's state becomes its outcome.
RunResult UndoRecordedSteps(std::vector<RecordedStep>& steps, RunFileSystem& fileSystem,
                            StepRecorder* recorder, const RunProgress& progress = {});

// The rows an undo gave back: their names and no mark left, so a second
// Undo before the next scan cannot touch them.
void MarkRowsUndone(FileRows& rows, const std::vector<RecordedStep>& undoSteps);

// Gives every "<ok>" row its old name back. Rows are walked from last to first,
// so a chain such as b -> c then a -> b comes apart in the reverse order it was
// built. A row whose rename back succeeded no longer carries an undo mark.
RunResult UndoRenames(FileRows& rows, RunFileSystem& fileSystem, const RunProgress& progress = {});

// The log line of a failed rename from folder + from to folder + to.
std::string RenameFailureLine(const std::string& folder, const std::string& from,
                              const std::string& to);
// The same for an undo step refused because the file is no longer the one
// the run renamed, or its old name is taken.
std::string ChangedFileLine(const std::string& folder, const std::string& from,
                            const std::string& to);

} // namespace quorvane
