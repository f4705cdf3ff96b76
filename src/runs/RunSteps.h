#pragma once
// The steps of a rename run, worked out before anything on disk changes, so
// that the journal can hold the whole run before its first rename. A row may
// have more than one step (through a temporary name); it counts as renamed
// once its last step is done.

#include "planner/RenamePlan.h"
#include "rules/FileRow.h"
#include "runs/RunFileSystem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The whole-batch plan of a run (chains from their free end, cycles through a
// temporary name). Its steps, in run order, are `planned.plan.steps`; a step's
// row is a row of the plan, `planned.listRow` gives its place in the list.
struct StepPlan {
    FileRowsPlan planned;
    std::size_t end = 0; // the rows the run reaches: up to the first row without a folder
    // A row without a folder stopped the planning there: the rows before it
    // are planned, the run ends at it without a log or a summary.
    bool endedEarly = false;
};

// The plan of the rows with a new name, with one listing of each folder.
StepPlan PlanSteps(const FileRows& rows, FolderLister& lister);

// What a step came to. The numbers are stored in the run history.
enum class StepState : std::uint8_t {
    Pending = 0, // planned; no outcome recorded (the run may have stopped before it or just after)
    Done = 1,
    Failed = 2,
    Skipped = 3, // an undo step with nothing to do: never renamed, or already given back
};

// A step as the journal keeps it: which file it moved, and where.
struct RecordedStep {
    std::size_t row = 0;
    std::string folder; // ends in "/"
    std::string from;
    std::string to;
    std::uint32_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t stamp = 0; // see FileIdentity; 0 when the record has none
    StepState state = StepState::Pending;
    int error = 0; // errno value of a failed step
};

// The identity the step recorded for its file.
inline FileIdentity IdentityOf(const RecordedStep& step) {
    return {step.device, step.inode, step.stamp};
}

// The number of files a run touches (rows with at least one step).
std::size_t FilesOfSteps(const std::vector<RecordedStep>& steps);

} // namespace quorvane

namespace quorvane {

// The files a plan renames.
std::size_t FilesOfPlan(const StepPlan& plan);

// A step as the journal writes it, looking at names that stay where they are.
struct StepView {
    std::size_t row = 0;
    std::string_view folder;
    std::string_view from;
    std::string_view to;
    std::uint32_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t stamp = 0;
};

// The steps a run records, read where they are: from a plan and its rows,
// each step with the identity of its row's file (from the scan; nothing is
// stat'ed for it), or from steps already recorded. Both must outlive this
// object.
class StepsToRecord {
public:
    StepsToRecord(const std::vector<RecordedStep>& steps) : m_recorded(&steps) {}
    StepsToRecord(const StepPlan& plan, const FileRows& rows) : m_plan(&plan), m_rows(&rows) {}

    std::size_t Size() const;
    StepView At(std::size_t i) const;
    // The files the run touches: rows with at least one step.
    std::size_t Files() const;

private:
    const std::vector<RecordedStep>* m_recorded = nullptr;
    const StepPlan* m_plan = nullptr;
    const FileRows* m_rows = nullptr;
};

} // namespace quorvane
