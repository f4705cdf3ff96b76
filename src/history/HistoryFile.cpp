#include "history/HistoryFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {
namespace {

std::string Judge(const struct stat& info) {
    if (!S_ISREG(info.st_mode))
        return "it is not a plain file";
    if (info.st_uid != ::geteuid())
        return "it belongs to another user";
    return {};
}

} // namespace

std::string RefuseForeignFile(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? std::string() : std::strerror(errno);
    if (S_ISLNK(info.st_mode))
        return "\"" + path + "\" is a link";
    const std::string reason = Judge(info);
    return reason.empty() ? reason : "\"" + path + "\": " + reason;
}

int OpenOwnFile(const std::string& path, std::string& reason) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        reason = errno == ELOOP ? "\"" + path + "\" is a link" : std::strerror(errno);
        return -1;
    }
    struct stat info {};
    reason = ::fstat(fd, &info) == 0 ? Judge(info) : std::strerror(errno);
    if (reason.empty())
        return fd;
    reason = "\"" + path + "\": " + reason;
    ::close(fd);
    return -1;
}

FileAt FileAtPath(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::uint64_t FileSize(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

bool CopyFileAside(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool ok = out >= 0;
    char buffer[1 << 16];
    while (ok) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = ::write(out, buffer, static_cast<std::size_t>(got)) == got;
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0)
        ok = false;
    if (!ok && out >= 0)
        ::unlink(to.c_str());
    return ok;
}

} // namespace quorvane
