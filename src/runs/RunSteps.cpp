#include "runs/RunSteps.h"

#include <unordered_set>

namespace quorvane {

StepPlan PlanSteps(const FileRows& rows, FolderLister& lister) {
    StepPlan plan;
    while (plan.end < rows.size() && rows[plan.end].folder)
        ++plan.end;
    plan.endedEarly = plan.end < rows.size();
    plan.planned = PlanFileRows(rows, lister);
    return plan;
}

std::size_t FilesOfSteps(const std::vector<RecordedStep>& steps) {
    std::unordered_set<std::size_t> rows;
    rows.reserve(steps.size());
    for (const RecordedStep& step : steps)
        rows.insert(step.row);
    return rows.size();
}

} // namespace quorvane

namespace quorvane {

std::vector<RecordedStep> RecordOfPlan(const StepPlan& plan, const FileRows& rows) {
    std::vector<RecordedStep> record;
    const RenameSteps& steps = plan.planned.plan.steps;
    record.reserve(steps.size());
    for (const RenameStep& step : steps) {
        RecordedStep recorded;
        recorded.row = plan.planned.listRow[step.row];
        recorded.folder = step.folder;
        recorded.from = step.from;
        recorded.to = step.to;
        if (recorded.row < rows.size()) {
            recorded.device = rows[recorded.row].device;
            recorded.inode = rows[recorded.row].inode;
            recorded.stamp = rows[recorded.row].stamp;
        }
        record.push_back(std::move(recorded));
    }
    return record;
}

} // namespace quorvane
