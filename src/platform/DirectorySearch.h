#pragma once
// Walking one folder in the directory's own order, with a wildcard filter.

#include <cstdint>
#include <dirent.h>
#include <string>
#include <string_view>

namespace quorvane {

// Attribute bits in the encoding the program has always used.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;

// The bits a stored attribute word (user.DOSATTRIB, as Samba keeps it) can
// add to what the mode and the name say. Read-only is either: a clear owner
// write bit or the stored bit, since a Samba client may set it either way.
inline constexpr std::uint32_t kAttrStoredBits =
    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

struct DirEntry {
    std::string name;             // bytes exactly as the file system gives them
    std::uint32_t attributes = 0; // kAttr* bits
    std::uint64_t size = 0;       // full 64-bit size
    std::int64_t modifiedUtc = 0; // last-write time, seconds since the epoch (UTC)
};

enum class SearchMode {
    Files,  // regular files, hidden/system/read-only/archive included; folders skipped
    Folders // sub-folders; hidden and system folders, "." and ".." skipped
};

// "*" and "?" wildcards; A-Z match without regard to case; "*.*" matches every
// name; an empty pattern matches nothing.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// Reads the entries of one folder. A folder that cannot be read yields nothing.
class DirectorySearch {
public:
    DirectorySearch(const std::string& folder, std::string filter, SearchMode mode);
    ~DirectorySearch();
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    // Fills the next matching entry; false at the end.
    bool Next(DirEntry& entry);

    // Whether entries carry the stored bits (kAttrStoredBits).
    // On by default; reading them is one getxattr per file, which roughly
    // doubles the cost of a listing. Folders mode always reads them, since
    // hidden and system folders are skipped by them.
    void SetReadStoredAttributes(bool read) { m_readStoredBits = read; }

private:
    bool Admit(const char* name, unsigned char type, DirEntry& entry);

    DIR* m_dir = nullptr;
    std::string m_filter;
    SearchMode m_mode;
    std::string m_path; // the folder, ending in "/", then the current name
    std::size_t m_folderLength = 0;
    bool m_readStoredBits = true;
    bool m_canStoreAttributes = true; // false once the file system refused extended attributes
};

// The stored attribute bits (read-only, hidden, system, archive) of a file, 0
// when it has none or they cannot be read.
std::uint32_t ReadStoredAttributes(const std::string& path);

} // namespace quorvane
