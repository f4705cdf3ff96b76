#pragma once
// The rows of a plan grouped by folder: each folder is listed once and
// planned on its own, whatever order the list has.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quorvane {

// The rows of each folder, in list order.
class FolderGroups {
public:
    // `rowAt(i)` gives a PlanRow (or one alike) of each of `count` rows.
    template <typename RowAt> FolderGroups(std::size_t count, RowAt rowAt) {
        std::unordered_map<std::string_view, std::uint32_t> byPath;
        std::vector<std::uint32_t> folderOf(count);
        const std::string* lastPath = nullptr;
        std::uint32_t last = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const auto row = rowAt(i);
            if (row.folder != lastPath) {
                lastPath = row.folder;
                const auto [where, added] =
                    byPath.try_emplace(*lastPath, static_cast<std::uint32_t>(m_paths.size()));
                if (added) {
                    m_paths.push_back(lastPath);
                    m_start.push_back(0);
                    m_changed.push_back(false);
                }
                last = where->second;
            }
            folderOf[i] = last;
            ++m_start[last];
            m_changed[last] = m_changed[last] || row.from != row.to;
        }
        // Counts to the start of each folder's run of members.
        std::size_t at = 0;
        for (std::size_t& start : m_start)
            at += std::exchange(start, at);
        m_start.push_back(at);
        m_members.resize(count);
        std::vector<std::size_t> next(m_start.begin(), m_start.end() - 1);
        for (std::size_t i = 0; i < count; ++i)
            m_members[next[folderOf[i]]++] = i;
    }

    std::size_t Count() const { return m_paths.size(); }
    const std::string& Path(std::size_t f) const { return *m_paths[f]; }
    const std::size_t* Members(std::size_t f) const { return m_members.data() + m_start[f]; }
    std::size_t Size(std::size_t f) const { return m_start[f + 1] - m_start[f]; }
    // Whether a row of the folder has a new name; a folder without one
    // needs no listing.
    bool AnyChanged(std::size_t f) const { return m_changed[f]; }

private:
    std::vector<const std::string*> m_paths;
    std::vector<std::size_t> m_start;
    std::vector<std::size_t> m_members;
    std::vector<bool> m_changed;
};

} // namespace quorvane
