#include "runs/RunSteps.h"

#include <algorithm>

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

std::size_t FilesOfPlan(const StepPlan& plan) {
    // Each row of a plan has one step that ends under its new name.
    const RenameSteps& steps = plan.planned.plan.steps;
    return static_cast<std::size_t>(std::count_if(
        steps.begin(), steps.end(), [](const RenameStep& step) { return !step.isTemporary; }));
}

std::size_t StepsToRecord::Size() const {
    return m_recorded ? m_recorded->size() : m_plan->planned.plan.steps.size();
}

StepView StepsToRecord::At(std::size_t i) const {
    if (m_recorded) {
        const RecordedStep& step = (*m_recorded)[i];
        return {step.row, step.folder, step.from, step.to, step.device, step.inode, step.stamp};
    }
    const RenameStep& step = m_plan->planned.plan.steps[i];
    StepView view{m_plan->planned.listRow[step.row], step.folder, step.from, step.to};
    if (view.row < m_rows->size()) {
        const FileRow& row = (*m_rows)[view.row];
        view.device = row.device;
        view.inode = row.inode;
        view.stamp = row.stamp;
    }
    return view;
}

std::size_t StepsToRecord::Files() const {
    if (m_recorded)
        return FilesOfSteps(*m_recorded);
    return FilesOfPlan(*m_plan);
}

} // namespace quorvane
