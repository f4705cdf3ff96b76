#pragma once
// The names a plan needs, copied out of a list, so that the plan can be made
// on another thread while the list goes on changing. The names of all rows
// sit in one block and each row takes 16 bytes more: a million rows cost a
// few allocations, not two million, and less than the rows' own names twice.

#include "planner/RenamePlan.h"
#include "platform/LargeBlocks.h"
#include "rules/FileRow.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorvane {

class PlanInput {
public:
    PlanInput() = default;
    // The rows a rename run would take: those with a new name, up to the
    // first row without a folder. Rows past 4 GiB of names are left out.
    explicit PlanInput(const FileRows& rows);

    std::size_t Size() const { return m_rows.size(); }
    PlanRow Row(std::size_t i) const {
        const Kept& row = m_rows[i];
        const char* from = m_names.get() + row.at;
        return {&*m_folders[row.folder], {from, row.fromSize}, {from + row.fromSize, row.toSize}};
    }
    // The list position of each row.
    using ListRowNumbers = std::vector<std::uint32_t, LargeBlockAllocator<std::uint32_t>>;
    const ListRowNumbers& ListRows() const { return m_listRow; }

private:
    struct Kept {
        std::uint32_t folder = 0; // in m_folders
        std::uint32_t at = 0;     // the name, then the new name, in m_names
        std::uint32_t fromSize = 0;
        std::uint32_t toSize = 0;
    };

    // Made on the window's thread for every preview: the large arrays skip
    // the faults of fresh pages (platform/LargeBlocks.h).
    struct FreeNames {
        FreeNames() noexcept : bytes(0) {}
        explicit FreeNames(std::size_t size) noexcept : bytes(size) {}
        std::size_t bytes;
        void operator()(char* names) const noexcept { FreeLargeBlock(names, bytes); }
    };
    std::vector<FolderPath> m_folders; // one at each change of folder
    std::unique_ptr<char[], FreeNames> m_names;
    std::vector<Kept, LargeBlockAllocator<Kept>> m_rows;
    ListRowNumbers m_listRow;
};

} // namespace quorvane
