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
    std::uint64_t inode = 0;      // with the device: which file this is
    std::uint32_t device = 0;     // see CompactDevice
    std::uint64_t stamp = 0;      // see FileStampOf: tells the file from a later one
    bool symbolicLink = false;    // the name is a link; the rest describes its target
};

// A device number in 32 bits without loss: the kernel's own device numbers
// have 12 bits of major and 20 of minor number, and the C library's 64-bit
// encoding of those fits the low 32 bits.
inline std::uint32_t CompactDevice(std::uint64_t device) {
    return static_cast<std::uint32_t>(device);
}

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
    [[nodiscard]] bool Next(DirEntry& entry);

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

// One folder opened for a listing that several threads share: one thread at a
// time reads the next chunk of raw entries (getdents64) while others examine
// and stat the entries of earlier chunks through the same descriptor. A
// folder that cannot be opened is a listing without entries.
class FolderListing {
public:
    enum class Links {
        Follow,   // the folder a walk starts from, as the user named it
        NotFollow // a subfolder found by the walk, which never follows a link
    };
    FolderListing() = default;
    FolderListing(const std::string& folder, Links links);
    ~FolderListing();
    FolderListing(FolderListing&& other) noexcept;
    FolderListing& operator=(FolderListing&& other) noexcept;

    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }
    // Which folder this is (0 when it is not open); one fstat per folder.
    std::uint64_t Inode() const { return m_inode; }
    std::uint64_t Device() const { return m_device; }
    // The folder itself as a row sees it: its own time, attributes and
    // identity. False when it is not open or cannot be stat'ed.
    bool Describe(std::string_view name, DirEntry& entry) const;
    // Whether the folder's stored attribute word marks it hidden or system,
    // which keeps a walk out of it.
    bool HasStoredHiddenOrSystemBit() const;

    // Reads the next raw entries into `buffer` (aligned for dirent64); the
    // bytes read, or 0 at the end of the folder or on an error. Not to be
    // called by two threads at once.
    std::size_t ReadChunk(char* buffer, std::size_t size);
    void Close();

private:
    int m_fd = -1;
    std::uint64_t m_inode = 0;
    std::uint64_t m_device = 0;
};

// One raw entry of a chunk; the name points into the chunk.
struct RawEntry {
    std::string_view name;
    unsigned char type = DT_UNKNOWN;
};

// Calls visit(const RawEntry&) for every entry of a chunk, in order ("." and
// ".." included).
template <typename Visit> void ForEachEntry(const char* chunk, std::size_t bytes, Visit&& visit) {
    std::size_t at = 0;
    while (at < bytes) {
        const auto* record = reinterpret_cast<const dirent64*>(chunk + at);
        if (record->d_reclen == 0)
            break;
        visit(RawEntry{record->d_name, record->d_type});
        at += record->d_reclen;
    }
}

enum class EntryKind {
    Other,    // not listed: no match, "." or "..", a hidden name, a device, a link to a folder...
    File,     // a matching regular file (or a link to one)
    Subfolder // a folder to walk: not hidden by its name, not a link; not yet stat'ed
};

// What one entry of an open folder is for a walk with this filter: a file,
// stat'ed exactly once and filled into `file`, or a subfolder (when
// subfolders are wanted), which costs no stat when the file system gives
// entry types. Files follow links, as in DirectorySearch's Files mode;
// subfolders never do.
EntryKind ExamineEntry(int folder, const RawEntry& entry, std::string_view filter,
                       bool wantSubfolders, DirEntry& file);

} // namespace quorvane
