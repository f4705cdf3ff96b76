#pragma once
// What a rename plan needs to know of one folder, taken in one listing.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The names of a folder's entries in one block of bytes: a folder of a
// hundred thousand files costs a few allocations, not a hundred thousand.
// A name stays where it is until the list is changed.
class EntryNames {
public:
    EntryNames() = default;
    EntryNames(const std::vector<std::string>& names) { assign(names.begin(), names.end()); }

    template <typename It> void assign(It first, It last) {
        m_bytes.clear();
        m_ends.clear();
        for (; first != last; ++first)
            push_back(*first);
    }
    void push_back(std::string_view name) {
        m_bytes.append(name);
        m_ends.push_back(m_bytes.size());
    }

    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t start = i == 0 ? 0 : m_ends[i - 1];
        return {m_bytes.data() + start, m_ends[i] - start};
    }

private:
    std::string m_bytes;
    std::vector<std::size_t> m_ends; // where each name ends in m_bytes
};

struct FolderFacts {
    bool listed = false;      // the folder could be read
    EntryNames names;         // every entry, as the folder spells it
    bool ignoresCase = false; // "a.txt" and "A.TXT" are one entry
    // A FAT-like volume (FAT or exFAT, by the kernel or through FUSE, or an
    // unknown volume through FUSE): refuses the characters FAT refuses and
    // the names Windows keeps for devices.
    bool fatLike = false;
    bool asciiOnly = false;    // takes no byte above 127 (FAT without long names)
    bool utf8Only = false;     // takes only valid UTF-8 (exFAT, NTFS)
    std::size_t nameMax = 255; // the longest entry name, in bytes
    std::string fileSystem;    // what the volume is, for messages ("fuse.fusefat"...)
};

// One readdir pass, one statfs, one pathconf and one flags query of the folder
// (ending in "/"); for a FUSE volume also a read of the mount table and
// perhaps of the volume's boot sector (platform/MountInfo.h).
FolderFacts DescribeFolder(const std::string& folder);

} // namespace quorvane
