#pragma once
// What Preview hands a rule: the selected rows in list order, each with its
// working name. A rule rewrites the names in place, may read anything the scan
// learnt about a row (its folder, size and times), and may drop a row: Preview
// then deselects it and gives it no new name.

#include "rules/FileRow.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quorvane {

class RuleRows {
public:
    // `names` holds one entry per selected row of `rows`, in list order.
    RuleRows(const FileRows& rows, std::vector<std::string>& names)
        : m_rows(rows), m_names(names) {}

    std::vector<std::string>& Names() { return m_names; }

    // Which entries name folders; empty when none does, as in most lists.
    std::vector<bool> Folders() const {
        std::vector<bool> folders;
        std::size_t entry = 0;
        for (const FileRow& row : m_rows) {
            if (!row.selected)
                continue;
            if (row.isFolder) {
                folders.resize(m_names.size());
                if (entry < folders.size())
                    folders[entry] = true;
            }
            ++entry;
        }
        return folders;
    }

    // Calls visit(row, name) for every entry in order, with its entry index.
    template <typename Visit> void ForEach(Visit&& visit) {
        std::size_t entry = 0;
        for (const FileRow& row : m_rows) {
            if (!row.selected)
                continue;
            if (entry >= m_names.size())
                return;
            visit(entry, row, m_names[entry]);
            ++entry;
        }
    }

    void Drop(std::size_t entry) {
        if (m_dropped.size() < m_names.size())
            m_dropped.resize(m_names.size());
        if (entry < m_dropped.size())
            m_dropped[entry] = true;
    }
    bool Dropped(std::size_t entry) const { return entry < m_dropped.size() && m_dropped[entry]; }

private:
    const FileRows& m_rows;
    std::vector<std::string>& m_names;
    std::vector<bool> m_dropped; // empty until a rule drops a row
};

} // namespace quorvane
