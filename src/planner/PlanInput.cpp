#include "planner/PlanInput.h"

#include <cstring>
#include <limits>

namespace quorvane {

PlanInput::PlanInput(const FileRows& rows) {
    constexpr std::size_t kMostBytes = std::numeric_limits<std::uint32_t>::max();
    std::size_t count = 0, bytes = 0;
    for (; count < rows.size() && rows[count].folder; ++count) {
        const FileRow& row = rows[count];
        const std::size_t more =
            row.newName.empty() ? 0 : row.originalName.size() + row.newName.size();
        if (bytes + more > kMostBytes)
            break;
        bytes += more;
    }
    m_names = std::unique_ptr<char[], FreeNames>(static_cast<char*>(AllocateLargeBlock(bytes + 1)),
                                                 FreeNames{bytes + 1}); // all written below
    m_rows.reserve(count);
    m_listRow.reserve(count);
    std::size_t at = 0;
    const FolderPath* lastFolder = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        const FileRow& row = rows[i];
        if (row.newName.empty())
            continue;
        // Rows of one folder share its text; a copy is kept at each change.
        if (!lastFolder || !(*lastFolder == row.folder))
            m_folders.push_back(row.folder);
        lastFolder = &row.folder;
        std::memcpy(m_names.get() + at, row.originalName.data(), row.originalName.size());
        std::memcpy(m_names.get() + at + row.originalName.size(), row.newName.data(),
                    row.newName.size());
        m_rows.push_back({static_cast<std::uint32_t>(m_folders.size() - 1),
                          static_cast<std::uint32_t>(at),
                          static_cast<std::uint32_t>(row.originalName.size()),
                          static_cast<std::uint32_t>(row.newName.size())});
        m_listRow.push_back(static_cast<std::uint32_t>(i));
        at += row.originalName.size() + row.newName.size();
    }
}

} // namespace quorvane
