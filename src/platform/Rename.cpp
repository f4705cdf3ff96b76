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

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// True when the folder lists an entry spelled byte for byte like the name. A
// folder that cannot be listed counts as having it, so nothing gets replaced.
bool HasEntrySpelledExactly(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return true;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// After EEXIST on a change of letter case alone: the target may be the source
// itself, reached through a file system that ignores letter case. It is when
// both names lead to the same file, or (file systems whose inode numbers
// cannot be trusted, such as FAT through FUSE) when no entry is spelled
// exactly like the target. The move then goes through a temporary name; its
// second step still refuses to replace, so a hard link "A" of "a" on a file
// system that tells case apart stays untouched.
bool TargetIsTheSourceItself(const std::string& folder, const std::string& oldName,
                             const std::string& newName) {
    if (!EqualIgnoringAsciiCase(oldName, newName))
        return false;
    return SameFile(folder + oldName, folder + newName) || !HasEntrySpelledExactly(folder, newName);
}

std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    // Short plain ASCII, which every file system takes.
    return ".qv-case-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

} // namespace

namespace detail {

int RenameByLink(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str()); // the old name still holds the file
        return error;
    }
    return 0;
}

int RenameAfterCheck(const std::string& from, const std::string& to) {
    // The one racy path: between the check and the rename another program could
    // create the target, and rename() would replace it. Only file systems that
    // refuse both RENAME_NOREPLACE and hard links (FAT through FUSE) get here.
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        // Some FUSE file systems were seen to drop the source of a refused
        // rename; that must not pass as an ordinary failure.
        if (error != ENOENT && ::lstat(from.c_str(), &info) != 0 && errno == ENOENT &&
            ::lstat(to.c_str(), &info) != 0)
            return kErrorSourceLost;
        return error;
    }
    return 0;
}

int MoveNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
    // The file system does not know the flag (NFS, FUSE).
    const int linkError = RenameByLink(from, to);
    switch (linkError) {
    case EPERM:
    case EXDEV:
    case EOPNOTSUPP:
    case EMLINK:
    case ENOSYS:
        return RenameAfterCheck(from, to);
    default:
        return linkError;
    }
}

int RenameThroughTemporary(const std::string& folder, const std::string& oldName,
                           const std::string& newName) {
    const std::string source = folder + oldName;
    const std::string target = folder + newName;
    std::string temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < 16 && error == EEXIST; ++attempt) {
        temporary = folder + TemporaryName();
        error = MoveNoReplace(source, temporary);
    }
    if (error != 0)
        return error;
    error = MoveNoReplace(temporary, target);
    // Back to the old name. Should even that fail, the file stays whole under
    // the temporary name; the error of the move itself is what is reported,
    // so the error of the way back is dropped on purpose.
    if (error != 0)
        static_cast<void>(MoveNoReplace(temporary, source));
    return error;
}

} // namespace detail

int RenameNoReplace(const std::string& folder, const std::string& oldName,
                    const std::string& newName) {
    if (!IsValidEntryName(oldName) || !IsValidEntryName(newName))
        return EINVAL;
    if (oldName == newName)
        return 0;
    const int error = detail::MoveNoReplace(folder + oldName, folder + newName);
    // No stat of the target before the move: RENAME_NOREPLACE is the guarantee,
    // and the case check costs only when the move has already been refused.
    if (error == EEXIST && TargetIsTheSourceItself(folder, oldName, newName))
        return detail::RenameThroughTemporary(folder, oldName, newName);
    return error;
}

} // namespace quorvane
