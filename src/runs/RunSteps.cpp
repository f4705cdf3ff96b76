#include "runs/RunSteps.h"

#include <unordered_set>

namespace quorvane {

StepPlan PlanStepsByRow(const FileRows& rows) {
    StepPlan plan;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FileRow& row = rows[i];
        if (!row.folder) {
            plan.endedEarly = true;
            break;
        }
        if (!row.newName.empty())
            plan.steps.push_back({i, row.folder, row.originalName, row.newName});
    }
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
    record.reserve(plan.steps.size());
    for (const PlannedStep& step : plan.steps) {
        RecordedStep recorded;
        recorded.row = step.row;
        recorded.folder = *step.folder;
        recorded.from = step.from;
        recorded.to = step.to;
        if (step.row < rows.size()) {
            recorded.device = rows[step.row].device;
            recorded.inode = rows[step.row].inode;
        }
        record.push_back(std::move(recorded));
    }
    return record;
}

} // namespace quorvane
