#pragma once
// One row of the renaming list: a file with its proposed new name.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane {

// The folder of a row, ending in "/". All rows of one folder share one copy
// of the text through one pointer: a million rows must fit in little memory,
// and a shared_ptr would take twice the room in every row.
class FolderPath {
public:
    FolderPath() noexcept = default;
    explicit FolderPath(std::string path);
    // For code that keeps its folder in a shared string: the text is copied once.
    FolderPath(const std::shared_ptr<const std::string>& path);
    FolderPath(const FolderPath& other) noexcept;
    FolderPath(FolderPath&& other) noexcept : m_shared(other.m_shared) { other.m_shared = nullptr; }
    FolderPath& operator=(FolderPath other) noexcept {
        std::swap(m_shared, other.m_shared);
        return *this;
    }
    ~FolderPath();

    explicit operator bool() const noexcept { return m_shared != nullptr; }
    const std::string& operator*() const noexcept { return m_shared->text; }
    const std::string* operator->() const noexcept { return &m_shared->text; }
    // Which folder the scan listed (the raw device number and the inode; 0
    // when unknown): a run checks it before it changes anything there, so a
    // folder swapped for another or for a link since is left alone. Set once
    // by the scan, before the rows are handed on.
    void SetIdentity(std::uint64_t device, std::uint64_t inode) noexcept {
        m_shared->device = device;
        m_shared->inode = inode;
    }
    std::uint64_t Device() const noexcept { return m_shared ? m_shared->device : 0; }
    std::uint64_t Inode() const noexcept { return m_shared ? m_shared->inode : 0; }
    // True when both share one copy (as rows of one scanned folder do).
    friend bool operator==(const FolderPath& a, const FolderPath& b) noexcept {
        return a.m_shared == b.m_shared;
    }

private:
    struct Shared {
        std::atomic<std::size_t> owners{1};
        std::string text;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
    };
    Shared* m_shared = nullptr;
};

struct FileRow {
    std::string originalName; // current name, without folder
    std::string newName;      // proposal of the last preview, or a run's status text
    FolderPath folder;        // "Path": the file's folder, ending in "/"
    std::uint64_t sizeBytes = 0;
    std::int64_t modifiedUtc = 0; // seconds since the epoch
    // Which file this is, from the scan's one stat: the journal of a run
    // keeps them to find the same file again. For a symbolic link they are
    // those of the file it points to, like its size and time.
    std::uint64_t inode = 0;
    // With them, what tells the file from a later one given the same inode
    // (platform/FileStamp.h); 0 when the scan could not learn it.
    std::uint64_t stamp = 0;
    std::uint32_t device = 0;     // the kernel's device number, which has 32 bits
    std::uint16_t attributes = 0; // kAttr* bits
    bool selected = false;
    // The bits a Samba share stores (filelist/StoredAttributes.h) are merged
    // into `attributes`: they are read once per row, not each time it is drawn.
    bool storedAttributesMerged : 1 = false;
    // The listed name is a symbolic link (its size and time are those of the
    // file it points to). A run that changes the file itself must not reach
    // through it. Bit fields: the row stays at 112 bytes.
    bool symbolicLink : 1 = false;
    // The row is a folder, not a file: its whole name is its base name, and
    // a run renames it after every file, the deepest folders first.
    bool isFolder : 1 = false;

    const std::string& Path() const;
    std::string FullPath() const { return Path() + originalName; }
};

using FileRows = std::vector<FileRow>;

std::size_t SelectedRowCount(const FileRows& rows);

// A command over the selected rows takes every row when none is selected, and
// leaves them all selected. Returns the number selected before.
std::size_t SelectAllWhenNoneSelected(FileRows& rows);

struct NameParts {
    std::string base;
    std::string extension; // from the last "." to the end, dot included; may be empty
};

// The one name split every rule uses: report.final.txt -> report.final + .txt,
// README -> README + "", notes. -> notes + ".", .profile -> "" + .profile.
NameParts SplitName(const std::string& name);
// Where the extension of the name begins: the byte offset of its last ".", or
// the name's length when it has no extension. Allocates nothing.
std::size_t ExtensionOffset(std::string_view name);
// The same for entry `entry` of a list of working names, where `folders`
// marks the entries that name folders (empty when none does): a folder's
// whole name is its base name.
inline std::size_t ExtensionOffset(std::string_view name, const std::vector<bool>& folders,
                                   std::size_t entry) {
    return entry < folders.size() && folders[entry] ? name.size() : ExtensionOffset(name);
}
std::string ExtensionOf(const std::string& name);
std::string BaseNameOf(const std::string& name);

// Column texts derived from the row.
std::string TypeText(const FileRow& row);            // "Type": the extension, or "Folder"
std::string AttributeText(std::uint32_t attributes); // "Attribute": R A H S slots
std::string SizeText(std::uint64_t sizeBytes);       // "Size": bytes / 1024 + 1
std::string ModifiedText(std::int64_t modifiedUtc);  // "Modified": local yyyy/mm/dd,hh:mm:ss

} // namespace quorvane
