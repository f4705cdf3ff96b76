#include "planner/PlanInput.h"

#include <cstring>

namespace quorvane {

PlanInput::PlanInput(const FileRows& rows) {
    std::size_t count = 0, bytes = 0;
    for (; count < rows.size() && rows[count].folder; ++count) {
        if (!rows[count].newName.empty())
            bytes += rows[count].originalName.size() + rows[count].newName.size();
    }
    m_names = std::make_unique_for_overwrite<char[]>(bytes + 1); // all written below
    char* at = m_names.get();
    auto keep = [&at](const std::string& name) {
        std::memcpy(at, name.data(), name.size());
        const std::string_view kept(at, name.size());
        at += name.size();
        return kept;
    };
    m_rows.reserve(count);
    m_listRow.reserve(count);
    const FolderPath* lastFolder = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        const FileRow& row = rows[i];
        if (row.newName.empty())
            continue;
        // Rows of one folder share its text; a copy is kept at each change.
        if (!lastFolder || !(*lastFolder == row.folder))
            m_folders.push_back(row.folder);
        lastFolder = &row.folder;
        const std::string_view from = keep(row.originalName);
        m_rows.push_back({&*m_folders.back(), from, keep(row.newName)});
        m_listRow.push_back(i);
    }
}

} // namespace quorvane
