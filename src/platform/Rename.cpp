#include "platform/Rename.h"

#include "platform/RenameSteps.h"
#include "text/AsciiCase.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

bool SameFile(int folder, const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::fstatat(folder, a.c_str(), &first, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstatat(folder, b.c_str(), &second, AT_SYMLINK_NOFOLLOW) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// After EEXIST on a change of letter case alone: the target may be the source
// itself, reached through a file system that ignores letter case. It is when
// both names lead to the same file, or (file systems whose inode numbers
// cannot be trusted, such as FAT through FUSE) when no entry is spelled
// exactly like the target. The move then goes through a temporary name; its
// second step still refuses to replace, so a hard link "A" of "a" on a file
// system that tells case apart stays untouched.
bool TargetIsTheSourceItself(int folder, const std::string& oldName, const std::string& newName) {
    if (!EqualIgnoringAsciiCase(oldName, newName))
        return false;
    return SameFile(folder, oldName, newName) || !detail::IsListed(folder, newName);
}

std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    // Short plain ASCII, which every file system takes.
    return ".qv-case-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

// The folder part of a name relative to a descriptor ("." when it has none)
// and its last part.
std::pair<std::string, std::string> SplitFolder(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos)
        return {".", name};
    return {slash == 0 ? "/" : name.substr(0, slash), name.substr(slash + 1)};
}

// Creates the empty placeholder of the source's kind (a folder can only be
// renamed over an empty folder). Its identity, or an errno value.
int CreatePlaceholder(int folder, const std::string& to, bool isFolder, struct stat& made) {
    if (isFolder) {
        if (::mkdirat(folder, to.c_str(), 0700) != 0)
            return errno;
        return ::fstatat(folder, to.c_str(), &made, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
    }
    const int fd =
        ::openat(folder, to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    const int error = ::fstat(fd, &made) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

// Removes the placeholder only while the name still leads to it, empty: a
// file that arrived under that name after all is never removed.
void RemovePlaceholder(int folder, const std::string& to, const struct stat& made) {
    struct stat now {};
    if (::fstatat(folder, to.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        now.st_ino != made.st_ino || now.st_dev != made.st_dev ||
        (now.st_mode & S_IFMT) != (made.st_mode & S_IFMT))
        return;
    if (S_ISDIR(made.st_mode))
        ::unlinkat(folder, to.c_str(), AT_REMOVEDIR); // refused unless still empty
    else if (now.st_size == 0)
        ::unlinkat(folder, to.c_str(), 0);
}

// After a refused rename whose source is gone: whether the file arrived under
// the target after all. A placeholder left behind is not the file, so the
// target must be listed and have the source's size; an empty folder left
// there tells nothing, so a folder never counts as arrived.
bool TargetHoldsTheSource(int folder, const std::string& to, const struct stat& source) {
    struct stat target {};
    return !S_ISDIR(source.st_mode) && detail::IsListed(folder, to) &&
           ::fstatat(folder, to.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(target.st_mode) == S_ISREG(source.st_mode) && target.st_size == source.st_size;
}

// Runs one step on the folder's descriptor, opened for that step alone: the
// path forms serve callers that hold no descriptor of their own.
template <typename Step> int ThroughFolder(const std::string& folder, Step step) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = step(fd);
    ::close(fd);
    return error;
}

} // namespace

namespace detail {

bool IsListed(int folder, const std::string& name) {
    const auto [parent, leaf] = SplitFolder(name);
    const int fd = ::openat(folder, parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return true;
    }
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (leaf == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

int RenameByLink(int folder, const std::string& from, const std::string& to) {
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0)
        return errno;
    if (::unlinkat(folder, from.c_str(), 0) != 0) {
        const int error = errno;
        ::unlinkat(folder, to.c_str(), 0); // the old name still holds the file
        return error;
    }
    return 0;
}

int RenameOverPlaceholder(int folder, const std::string& from, const std::string& to) {
    struct stat source {};
    if (::fstatat(folder, from.c_str(), &source, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    struct stat placeholder {};
    if (const int error = CreatePlaceholder(folder, to, S_ISDIR(source.st_mode), placeholder))
        return error;
    if (::renameat(folder, from.c_str(), folder, to.c_str()) == 0)
        return 0;
    const int error = errno;
    RemovePlaceholder(folder, to, placeholder);
    // Some FUSE file systems drop the source of a rename they refuse; that
    // must not pass as an ordinary failure. Its cached entry may still answer
    // a lookup by name, so the folder is listed afresh.
    if (!IsListed(folder, from))
        return TargetHoldsTheSource(folder, to, source) ? 0 : kErrorSourceLost;
    return error;
}

int MoveNoReplace(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
    // The file system does not know the flag (NFS, FUSE).
    const int linkError = RenameByLink(folder, from, to);
    switch (linkError) {
    case EPERM:
    case EXDEV:
    case EOPNOTSUPP:
    case EMLINK:
    case ENOSYS:
        return RenameOverPlaceholder(folder, from, to);
    default:
        return linkError;
    }
}

int RenameThroughTemporary(int folder, const std::string& oldName, const std::string& newName) {
    std::string temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < 16 && error == EEXIST; ++attempt) {
        temporary = TemporaryName();
        error = MoveNoReplace(folder, oldName, temporary);
    }
    if (error != 0)
        return error;
    error = MoveNoReplace(folder, temporary, newName);
    // Back to the old name. Should even that fail, the file stays whole under
    // the temporary name; the error of the move itself is what is reported,
    // so the error of the way back is dropped on purpose.
    if (error != 0)
        static_cast<void>(MoveNoReplace(folder, temporary, oldName));
    return error;
}

int RenameThroughTemporary(const std::string& folder, const std::string& oldName,
                           const std::string& newName) {
    return ThroughFolder(folder,
                         [&](int fd) { return RenameThroughTemporary(fd, oldName, newName); });
}

} // namespace detail

int RenameNoReplaceAt(int folder, const std::string& oldName, const std::string& newName) {
    if (!IsValidEntryName(oldName) || !IsValidEntryName(newName))
        return EINVAL;
    if (oldName == newName)
        return 0;
    const int error = detail::MoveNoReplace(folder, oldName, newName);
    // No stat of the target before the move: RENAME_NOREPLACE is the guarantee,
    // and the case check costs only when the move has already been refused.
    if (error == EEXIST && TargetIsTheSourceItself(folder, oldName, newName))
        return detail::RenameThroughTemporary(folder, oldName, newName);
    return error;
}

int RenameNoReplace(const std::string& folder, const std::string& oldName,
                    const std::string& newName) {
    if (!IsValidEntryName(oldName) || !IsValidEntryName(newName))
        return EINVAL;
    if (oldName == newName)
        return 0;
    return ThroughFolder(folder, [&](int fd) { return RenameNoReplaceAt(fd, oldName, newName); });
}

} // namespace quorvane
