#include "platform/PrivateFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

OwnFileTrouble TroubleOf(const struct stat& info) {
    if (S_ISLNK(info.st_mode))
        return OwnFileTrouble::Link;
    if (!S_ISREG(info.st_mode))
        return OwnFileTrouble::NotPlainFile;
    if (info.st_uid != ::geteuid())
        return OwnFileTrouble::OtherOwner;
    return OwnFileTrouble::None;
}

int ErrorOf(OwnFileTrouble trouble) {
    switch (trouble) {
    case OwnFileTrouble::Link:
        return ELOOP;
    case OwnFileTrouble::OtherOwner:
        return EPERM;
    case OwnFileTrouble::NotPlainFile:
        return EINVAL;
    case OwnFileTrouble::None:
        break;
    }
    return 0;
}

} // namespace

OwnFileTrouble OwnFileTroubleAt(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return OwnFileTrouble::None;
    return TroubleOf(info);
}

const char* OwnFileTroubleText(OwnFileTrouble trouble) {
    switch (trouble) {
    case OwnFileTrouble::Link:
        return "it is a link";
    case OwnFileTrouble::OtherOwner:
        return "it belongs to another user";
    case OwnFileTrouble::NotPlainFile:
        return "it is not a plain file";
    case OwnFileTrouble::None:
        break;
    }
    return "";
}

int OpenOwnFile(const std::string& path, int flags, mode_t mode) {
    // Without O_TRUNC until the owner is known: another user's file must not
    // lose its contents to the check. O_NONBLOCK so a planted pipe cannot
    // hold the program up; it changes nothing for a plain file.
    const int openFlags = (flags & ~O_TRUNC) | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    const int fd = ::open(path.c_str(), openFlags, mode);
    if (fd < 0)
        return -1;
    struct stat info {};
    int error = ::fstat(fd, &info) != 0 ? errno : ErrorOf(TroubleOf(info));
    if (error == 0 && !(flags & O_NONBLOCK) &&
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error == 0 && (flags & O_TRUNC) && ::ftruncate(fd, 0) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

} // namespace quorvane
