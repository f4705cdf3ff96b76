#pragma once
// The names a plan needs, copied out of a list, so that the plan can be made
// on another thread while the list goes on changing. The names of all rows
// sit in one block: a million rows cost a few allocations, not two million.

#include "planner/RenamePlan.h"
#include "rules/FileRow.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace quorvane {

class PlanInput {
public:
    PlanInput() = default;
    // The rows a rename run would take: those with a new name, up to the
    // first row without a folder.
    explicit PlanInput(const FileRows& rows);

    const std::vector<PlanRow>& Rows() const { return m_rows; }
    // The list position of each of Rows().
    const std::vector<std::size_t>& ListRows() const { return m_listRow; }

private:
    std::vector<FolderPath> m_folders; // keep the texts the rows point at
    std::unique_ptr<char[]> m_names;
    std::vector<PlanRow> m_rows;
    std::vector<std::size_t> m_listRow;
};

} // namespace quorvane
