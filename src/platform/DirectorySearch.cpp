#include "platform/DirectorySearch.h"

#include "platform/DosAttribBlob.h"
#include "platform/FileStamp.h"
#include "text/AsciiCase.h"
#include "text/Utf8.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace quorvane {
namespace {

// One "?" stands for one character: a byte and the UTF-8 continuation bytes after it.
std::size_t CharacterLength(std::string_view name, std::size_t at) {
    std::size_t length = 1;
    while (at + length < name.size() && length < 4 &&
           IsUtf8ContinuationByte(static_cast<unsigned char>(name[at + length])))
        ++length;
    return length;
}

// Plain "*"/"?" matching, backtracking to the last "*" on a mismatch.
bool MatchesGlob(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += CharacterLength(name, n);
        } else if (p < pattern.size() && ToAsciiLower(pattern[p]) == ToAsciiLower(name[n])) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            starName += CharacterLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    if (pattern.empty())
        return false;
    // The filters of nearly every scan, asked once per entry.
    if (pattern == "*.*" || pattern == "*")
        return true;
    if (MatchesGlob(name, pattern))
        return true;
    // As in the classic file search, a final ".*" also admits a name without
    // any extension: "*.*" lists every name and "README.*" lists "README".
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return name.find('.') == std::string_view::npos &&
               MatchesGlob(name, pattern.substr(0, pattern.size() - 2));
    return false;
}

namespace {

std::uint32_t StoredBits(const std::string& path, bool& supported) {
    char buffer[256];
    const ssize_t size = ::getxattr(path.c_str(), kDosAttribName, buffer, sizeof buffer);
    if (size < 0 && (errno == ENOTSUP || errno == ENOSYS))
        supported = false;
    if (size <= 0)
        return 0;
    const auto word = ParseDosAttribBlob(std::string_view(buffer, static_cast<std::size_t>(size)));
    return word.value_or(0) & kAttrStoredBits;
}

} // namespace

std::uint32_t ReadStoredAttributes(const std::string& path) {
    bool supported = true;
    return StoredBits(path, supported);
}

DirectorySearch::DirectorySearch(const std::string& folder, std::string filter, SearchMode mode)
    : m_filter(std::move(filter)), m_mode(mode), m_path(folder) {
    if (m_path.empty())
        m_path = "./";
    else if (m_path.back() != '/')
        m_path += '/';
    m_folderLength = m_path.size();
    // An empty filter matches nothing, so the folder need not even be opened.
    if (!m_filter.empty())
        m_dir = ::opendir(m_path.c_str());
}

DirectorySearch::~DirectorySearch() {
    if (m_dir)
        ::closedir(m_dir);
}

bool DirectorySearch::Next(DirEntry& entry) {
    if (!m_dir)
        return false;
    while (const dirent* found = ::readdir(m_dir)) {
        if (Admit(found->d_name, found->d_type, entry))
            return true;
    }
    // A read error ends the listing just like the end of the folder.
    ::closedir(m_dir);
    m_dir = nullptr;
    return false;
}

bool DirectorySearch::Admit(const char* name, unsigned char type, DirEntry& entry) {
    const std::string_view view(name);
    if (view == "." || view == "..")
        return false;
    const bool wantFolders = m_mode == SearchMode::Folders;
    // The entry type spares a stat for what is plainly of the other kind.
    if (type != DT_UNKNOWN && type != DT_LNK && (type == DT_DIR) != wantFolders)
        return false;
    if (wantFolders && type == DT_LNK)
        return false; // a link to a folder is not walked: it could lead back up
    if (!MatchesWildcard(view, m_filter))
        return false;

    // Files: a symbolic link lists as what it points to, so a link to a file is
    // a file (its target's size and time); a dangling link is left out. Folders:
    // links are never followed.
    struct statx info {};
    if (StatxAt(dirfd(m_dir), name, !wantFolders, info) != 0)
        return false;
    if (wantFolders ? !S_ISDIR(info.stx_mode) : !S_ISREG(info.stx_mode))
        return false;

    m_path.resize(m_folderLength);
    m_path += view;
    // The one call per file besides the stat: the bits a Samba share keeps. A
    // file system without extended attributes is asked only once per folder.
    const bool readStored = m_canStoreAttributes && (m_readStoredBits || wantFolders);
    std::uint32_t attributes = readStored ? StoredBits(m_path, m_canStoreAttributes) : 0;
    if (view.front() == '.')
        attributes |= kAttrHidden;
    if (wantFolders) {
        if (attributes & (kAttrHidden | kAttrSystem))
            return false;
        attributes |= kAttrDirectory;
    }
    if ((info.stx_mode & S_IWUSR) == 0)
        attributes |= kAttrReadOnly;

    entry.name.assign(view);
    entry.attributes = attributes;
    entry.size = static_cast<std::uint64_t>(info.stx_size);
    entry.modifiedUtc = static_cast<std::int64_t>(info.stx_mtime.tv_sec);
    entry.inode = static_cast<std::uint64_t>(info.stx_ino);
    entry.device = DeviceOf(info);
    entry.stamp = wantFolders ? 0 : FileStampOf(dirfd(m_dir), name, true, info);
    entry.symbolicLink = type == DT_LNK;
    return true;
}

FolderListing::FolderListing(const std::string& folder, Links links) {
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (links == Links::NotFollow)
        flags |= O_NOFOLLOW;
    m_fd = ::open(folder.empty() ? "." : folder.c_str(), flags);
    struct stat info {};
    if (m_fd >= 0 && ::fstat(m_fd, &info) != 0)
        Close();
    m_inode = static_cast<std::uint64_t>(info.st_ino);
    m_device = static_cast<std::uint64_t>(info.st_dev);
}

FolderListing::~FolderListing() {
    Close();
}

FolderListing::FolderListing(FolderListing&& other) noexcept
    : m_fd(other.m_fd), m_inode(other.m_inode), m_device(other.m_device) {
    other.m_fd = -1;
}

FolderListing& FolderListing::operator=(FolderListing&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        m_inode = other.m_inode;
        m_device = other.m_device;
        other.m_fd = -1;
    }
    return *this;
}

void FolderListing::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool FolderListing::Describe(std::string_view name, DirEntry& entry) const {
    struct statx info {};
    if (m_fd < 0 || StatxAt(m_fd, "", false, info) != 0 || !S_ISDIR(info.stx_mode))
        return false;
    entry.name = std::string(name);
    entry.attributes = (info.stx_mode & S_IWUSR) == 0 ? kAttrReadOnly : 0;
    entry.size = 0;
    entry.modifiedUtc = static_cast<std::int64_t>(info.stx_mtime.tv_sec);
    entry.inode = static_cast<std::uint64_t>(info.stx_ino);
    entry.device = DeviceOf(info);
    entry.stamp = FileStampOf(m_fd, "", false, info);
    entry.symbolicLink = false;
    return true;
}

bool FolderListing::HasStoredHiddenOrSystemBit() const {
    if (m_fd < 0)
        return false;
    char buffer[256];
    const ssize_t size = ::fgetxattr(m_fd, kDosAttribName, buffer, sizeof buffer);
    if (size <= 0)
        return false;
    const auto word = ParseDosAttribBlob(std::string_view(buffer, static_cast<std::size_t>(size)));
    return (word.value_or(0) & (kAttrHidden | kAttrSystem)) != 0;
}

std::size_t FolderListing::ReadChunk(char* buffer, std::size_t size) {
    if (m_fd < 0)
        return 0;
    ssize_t got = -1;
    do
        got = ::getdents64(m_fd, buffer, size);
    while (got < 0 && errno == EINTR);
    // A read error ends the listing just like the end of the folder.
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

namespace {

bool IsDotOrDotDot(std::string_view name) {
    return name == "." || name == "..";
}

void FillFile(int folder, std::string_view name, const struct statx& info, bool followed,
              DirEntry& file) {
    std::uint32_t attributes = 0;
    if (name.front() == '.')
        attributes |= kAttrHidden;
    if ((info.stx_mode & S_IWUSR) == 0)
        attributes |= kAttrReadOnly;
    // A fresh string of the exact size: assigning into the empty one left by
    // the last move would round its room up, and the row keeps it for good.
    file.name = std::string(name);
    file.attributes = attributes;
    file.size = static_cast<std::uint64_t>(info.stx_size);
    file.modifiedUtc = static_cast<std::int64_t>(info.stx_mtime.tv_sec);
    file.inode = static_cast<std::uint64_t>(info.stx_ino);
    file.device = DeviceOf(info);
    // The name is a C string inside the chunk (see RawEntry).
    file.stamp = FileStampOf(folder, name.data(), followed, info);
    file.symbolicLink = false;
}

// The entry's name is a C string inside the chunk, so it can go to the kernel as it is.
EntryKind StatFile(int folder, const RawEntry& entry, DirEntry& file, bool link) {
    struct statx info {};
    if (StatxAt(folder, entry.name.data(), true, info) != 0 || !S_ISREG(info.stx_mode))
        return EntryKind::Other;
    FillFile(folder, entry.name, info, true, file);
    file.symbolicLink = link;
    return EntryKind::File;
}

} // namespace

EntryKind ExamineEntry(int folder, const RawEntry& entry, std::string_view filter,
                       bool wantSubfolders, DirEntry& file) {
    if (IsDotOrDotDot(entry.name))
        return EntryKind::Other;
    // A name that begins with "." is a hidden folder, which is never walked.
    const bool walkable = wantSubfolders && entry.name.front() != '.';
    switch (entry.type) {
    case DT_DIR:
        return walkable ? EntryKind::Subfolder : EntryKind::Other;
    case DT_REG:
    case DT_LNK: // listed as what it points to; a link to a folder is not walked
        return MatchesWildcard(entry.name, filter)
                   ? StatFile(folder, entry, file, entry.type == DT_LNK)
                   : EntryKind::Other;
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other; // devices, pipes and sockets are not files to rename
    }

    // The file system gives no entry types: one stat tells, without following a link.
    const bool matches = MatchesWildcard(entry.name, filter);
    if (!matches && !walkable)
        return EntryKind::Other;
    struct statx info {};
    if (StatxAt(folder, entry.name.data(), false, info) != 0)
        return EntryKind::Other;
    if (S_ISDIR(info.stx_mode))
        return walkable ? EntryKind::Subfolder : EntryKind::Other;
    if (!matches)
        return EntryKind::Other;
    if (S_ISREG(info.stx_mode)) {
        FillFile(folder, entry.name, info, false, file);
        return EntryKind::File;
    }
    return S_ISLNK(info.stx_mode) ? StatFile(folder, entry, file, true) : EntryKind::Other;
}

} // namespace quorvane
